#pragma once
// Particle emitters: the payload of a type-4 scene node. A fixed pool of particles is born, flies, fades and is
// reborn, and each frame becomes camera-facing sprites (quad kind 0, a sorted quad list) or streaks (quad kind 1,
// a segment list). The render queue updates each emitter once per engine frame and deletes the node of an
// emitter that has finished.
//
// Parameters come from scene containers and game code, so Setup checks them: a negative emission duration or
// rate, a value that is not finite, or more than kMaxParticles particles leave the emitter refused: it has no
// particles and no quad list, draws nothing and counts as finished.
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/core/matrix.h"
#include "engine/core/vector.h"

namespace engine {

class BillboardList;
class BillboardListBase;
class Camera;
class ColourGradient;
class SceneNode;
class SortedBillboardList;
struct BillboardTarget;

enum ParticleQuadKind : std::int32_t { kParticleSprites = 0, kParticleStreaks = 1 };

struct ParticleParams {
    static constexpr int kMaxColourKeys = 8;

    float quadSize = 0.0f;
    float emissionDuration = 0.0f;  // seconds; 0 = one burst
    float particleLife = 0.0f;      // seconds; 0 or less: the emitter does nothing
    float emissionRate = 0.0f;      // particles per second
    float startSize = 0.0f;
    float endSize = 0.0f;
    float gravity = 0.0f;
    float drag = 0.0f;  // k of the drag curve
    std::int32_t colourKeyCount = 0;
    std::uint32_t colourKeys[kMaxColourKeys] = {};
    std::int32_t quadKind = kParticleSprites;
    std::int32_t positionMode = 0;   // 0 origin, 1 hemisphere shell about forward, 2 sphere shell
    std::int32_t directionMode = 0;  // 0 cone about forward, 1 cone about the offset, 2 along the offset
    std::int32_t speedMode = 0;      // 0 minimum, 1 random between minimum and maximum
    std::int32_t sizeMode = 0;       // 0 start size, 1 start to end size over the life
    float positionRadiusMin = 0.0f;
    float positionRadiusMax = 0.0f;
    float coneAngleMin = 0.0f;  // degrees
    float coneAngleMax = 0.0f;
    float speedMin = 0.0f;
    float speedMax = 0.0f;
    float extraValue = 0.0f;  // stored only
    float trailLag = 0.0f;    // seconds by which a streak's tail trails its head
    float trailValue = 0.0f;  // stored only
    std::int32_t deleteWhenFinished = 0;
    std::int32_t material = 0;  // 1-based material handle of the quads
    std::int32_t spriteFrameCount = 0;
    std::int32_t spriteColumns = 0;
    std::int32_t spriteRows = 0;
    float spriteDuration = 0.0f;
    std::int32_t spriteFrameMode = 0;  // 0 frame by age, 1 frame by particle index
    float rise = 0.0f;                 // added to the height of every drawn position
    std::int32_t spinMode = 0;         // 0 none, 1 negative, 2 positive, 3 sign alternating by index
    std::int32_t sortFlag = 0;
    float spinMin = 0.0f;  // degrees per second
    float spinMax = 0.0f;
};

struct Particle {
    Vec3 origin;
    Vec3 direction;
    float time = 0.0f;  // seconds since birth; negative = not yet born
    float speed = 0.0f;
    SceneNode* attached = nullptr;
    float spin = 0.0f;
    float angle = 0.0f;
};

// Where an emitter takes the frame number and the frame time from. The default reads the engine: its
// presented-frame count and its real-clock delta in whole milliseconds (at most 100); without an engine
// frame 0 and 0 ms.
struct ParticleClock {
    std::uint32_t frame = 0;
    int deltaMs = 0;
};
using ParticleClockSource = ParticleClock (*)();
// Null restores the engine's clock.
void SetParticleClockSource(ParticleClockSource source);

class ParticleEmitter {
public:
    static constexpr int kMaxParticles = 65536;

    // No quad list, no particles, emission rate 1000, no colour keys, sprites, playing forward.
    explicit ParticleEmitter(SceneNode* owner);
    ~ParticleEmitter();
    ParticleEmitter(const ParticleEmitter&) = delete;
    ParticleEmitter& operator=(const ParticleEmitter&) = delete;

    // Copies the parameters, sizes the particle pool and makes the quad list (the list's material then
    // replaces the parameter's). False when the parameters are refused (see above) or memory runs out; the
    // emitter then holds the parameters but no particles and no list.
    bool Setup(const ParticleParams& params);
    // Kind 0 makes no more births or rebirths.
    void StopEmitting() { stopped_ = true; }
    // The next update starts the emission again from the first particle.
    void SetRestart() { restartPending_ = true; }
    void SetDeleteWhenFinished(bool on) { params_.deleteWhenFinished = on ? 1 : 0; }

    // The update of the emitter's quad kind, once per engine frame (0 and nothing done when it already ran
    // in this frame). placement is the emitter's world placement: row 2 the forward axis, row 3 the origin.
    // Sets node flag 0x4 when no quads were made, else clears it. Returns 1 when the emitter has finished
    // and its node is to be deleted.
    int UpdateOncePerFrame(const Matrix44& placement, SceneNode* node);
    // The same update without touching node flags, then the quad list is drawn.
    void UpdateAndDraw(const Matrix44& placement, Camera& view, int depthOnly, const BillboardTarget& target);
    // True when no restart is pending, the last particle has outlived its life and nothing is drawn; always
    // true for a refused emitter.
    bool IsFinished() const;

    const ParticleParams& GetParams() const { return params_; }
    int GetMaterial() const { return params_.material; }
    bool IsRefused() const { return refused_; }
    bool IsStopped() const { return stopped_; }
    bool IsRestartPending() const { return restartPending_; }
    bool HasSpacingOverLife() const { return spacingOverLife_; }
    bool IsBlended() const { return blended_; }
    int GetParticleCount() const { return static_cast<int>(particles_.size()); }
    Particle& GetParticle(int i) { return particles_[static_cast<std::size_t>(i)]; }
    const Particle& GetParticle(int i) const { return particles_[static_cast<std::size_t>(i)]; }
    float GetRemainingEmission() const { return remaining_; }
    int GetSpawnCounter() const { return spawnCounter_; }
    const Vec3& GetLastSpawnDirection() const { return lastDirection_; }
    const Vec3& GetLastSpawnOffset() const { return lastOffset_; }
    // The quad list: sorted sprites for kind 0, segments for kind 1; null for the other kind or before Setup.
    SortedBillboardList* GetSprites() const;
    BillboardList* GetStreaks() const;
    int GetQuadCount() const;

    // The two values a scene container stores with the parameters: play forward (0 plays each life
    // backwards) and the quad-list mode handed to a sorted list (non-zero: quads lie flat on the ground).
    void SetPlayForward(int forward) { playForward_ = forward; }
    int GetPlayForward() const { return playForward_; }
    void SetQuadListMode(int mode);
    int GetQuadListMode() const { return quadListMode_; }
    SceneNode* GetOwner() const { return owner_; }

    // The position of a particle at the given age in seconds (drag, gravity and rise applied).
    Vec3 PositionAt(const Particle& p, float age) const;

private:
    int Update(const Matrix44& placement);
    int UpdateSprites(const Matrix44& placement, float dt);
    int UpdateStreaks(const Matrix44& placement, float dt);
    void Restart();
    void Spawn(int index, const Matrix44& placement);
    std::uint32_t ColourAt(float fraction) const;
    float SizeAt(float fraction) const;
    // The texture rectangle of the particle's sprite frame.
    void SpriteRect(int index, float time, float rect[4]) const;
    bool FinishedAfterUpdate() const;
    // Drops particles, list and gradient and marks the emitter refused.
    void Refuse();

    SceneNode* owner_ = nullptr;
    ParticleParams params_;
    std::unique_ptr<BillboardListBase> quadList_;
    std::vector<Particle> particles_;
    std::unique_ptr<ColourGradient> gradient_;
    bool refused_ = false;
    bool restartPending_ = false;
    bool stopped_ = false;
    bool spacingOverLife_ = false;
    bool blended_ = false;
    int spawnCounter_ = 0;
    float remaining_ = 0.0f;
    std::int64_t lastFrame_ = -1;
    Vec3 lastDirection_;
    Vec3 lastOffset_;
    int playForward_ = 1;
    int quadListMode_ = 0;
};

}  // namespace engine
