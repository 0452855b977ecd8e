#include "engine/scene/particle_emitter.h"

#include <cmath>
#include <new>

#include "engine/core/frame_timer.h"
#include "engine/core/random_streams.h"
#include "engine/image/colour_gradient.h"
#include "engine/platform/engine_root.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/billboard_list.h"
#include "engine/scene/scene_node.h"

namespace engine {
namespace {

constexpr int kRandomStream = 1;
constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
constexpr std::uint32_t kYellow = 0xFFFFFF00u;
// Particles are born this long after their slot's turn, so that time 0 is never a birth time.
constexpr float kBirthEpsilon = 0.000001f;
// A particle stopped at birth is put back this far, out of the way of later births.
constexpr float kStoppedSetBack = 10000.0f;

ParticleClock EngineClock() {
    const Engine* engine = GetEngine();
    if (engine == nullptr) return {};
    const FrameTimer* timer = engine->GetTimer();
    return {engine->GetPresentedFrameCount(), timer != nullptr ? timer->GetDeltaMs(true) : 0};
}

ParticleClockSource g_clock = nullptr;

ParticleClock Clock() { return g_clock != nullptr ? g_clock() : EngineClock(); }

RandomStreams& Random() {
    if (RandomStreams* streams = RandomStreams::Get()) return *streams;
    // Without the engine's streams (tools, tests that set none) a fixed-seed pair stands in.
    static RandomStreams fallback([] { return 5489u; });
    return fallback;
}

bool AllFinite(const ParticleParams& p) {
    const float values[] = {p.quadSize,  p.emissionDuration,  p.particleLife,      p.emissionRate, p.startSize,
                            p.endSize,   p.gravity,           p.drag,              p.positionRadiusMin,
                            p.positionRadiusMax, p.coneAngleMin, p.coneAngleMax,   p.speedMin,     p.speedMax,
                            p.extraValue, p.trailLag,         p.trailValue,        p.spriteDuration, p.rise,
                            p.spinMin,   p.spinMax};
    for (float v : values) {
        if (!std::isfinite(v)) return false;
    }
    return true;
}

// The particle count of the parameters, 0 when they are refused. Sets spacing when the life limits it.
int ParticleCount(const ParticleParams& p, bool& spacing) {
    spacing = false;
    if (!AllFinite(p) || p.emissionDuration < 0.0f || p.emissionRate < 0.0f) return 0;
    if (p.colourKeyCount < 0 || p.colourKeyCount > ParticleParams::kMaxColourKeys) return 0;
    // Doubles: a large rate times a long duration must not overflow before it is compared.
    double count = std::trunc(static_cast<double>(p.emissionRate));
    if (p.emissionDuration != 0.0f) {
        count = std::trunc(static_cast<double>(p.emissionRate) * p.emissionDuration);
        const double overLife = std::trunc(static_cast<double>(p.particleLife) * p.emissionRate);
        if (overLife < count) {
            count = overLife;
            spacing = true;
        }
    }
    if (count > ParticleEmitter::kMaxParticles) return 0;
    return count < 1.0 ? 1 : static_cast<int>(count);
}

// The unit vector of v, or the fallback when v is zero or not finite (a placement read from a file may hold
// anything, and a random cone about a non-finite axis never settles).
Vec3 UnitOr(const Vec3& v, const Vec3& fallback) {
    const float length = v.Length();
    if (!std::isfinite(length) || !(length > 1e-6f)) return fallback;
    return v.Scale(1.0f / length);
}

float DragFactor(float k, float age) {
    if (k == 0.0f) return age;
    return (1.0f - std::exp2(-k * age)) / k;
}

}  // namespace

void SetParticleClockSource(ParticleClockSource source) { g_clock = source; }

ParticleEmitter::ParticleEmitter(SceneNode* owner) : owner_(owner) { params_.emissionRate = 1000.0f; }

ParticleEmitter::~ParticleEmitter() = default;

void ParticleEmitter::Refuse() {
    refused_ = true;
    particles_.clear();
    particles_.shrink_to_fit();
    quadList_.reset();
    gradient_.reset();
}

bool ParticleEmitter::Setup(const ParticleParams& params) {
    params_ = params;
    remaining_ = params.emissionDuration;
    bool spacing = false;
    const int count = ParticleCount(params, spacing);
    refused_ = false;
    quadList_.reset();
    blended_ = false;
    if (count == 0) {
        Refuse();
        return false;
    }
    spacingOverLife_ = spacing;
    try {
        if (static_cast<int>(particles_.size()) != count) {
            particles_.clear();
            particles_.shrink_to_fit();
            particles_.resize(static_cast<std::size_t>(count));
        }
        if (params.quadKind == kParticleStreaks) {
            auto list = std::make_unique<BillboardList>();
            list->Reserve(count, params.material, params.quadSize);
            quadList_ = std::move(list);
        } else {
            auto list = std::make_unique<SortedBillboardList>();
            list->SetSortFlag(params.sortFlag);
            list->Resize(count, 1.0f, 1.0f, kYellow, params.material, params.quadSize);
            list->SetGroundFlag(quadListMode_);
            quadList_ = std::move(list);
        }
        gradient_ = std::make_unique<ColourGradient>(ParticleParams::kMaxColourKeys);
        for (int i = 0; i < params.colourKeyCount; ++i) gradient_->AddKey(params.colourKeys[i]);
    } catch (const std::bad_alloc&) {
        Refuse();
        return false;
    }
    params_.material = quadList_->GetMaterial();
    const MaterialDef* material = GetMaterialLib().Get(params_.material);
    blended_ = material != nullptr && material->blendMode != 0;
    return true;
}

void ParticleEmitter::SetQuadListMode(int mode) {
    quadListMode_ = mode;
    if (SortedBillboardList* sprites = GetSprites()) sprites->SetGroundFlag(mode);
}

SortedBillboardList* ParticleEmitter::GetSprites() const {
    return params_.quadKind != kParticleStreaks ? static_cast<SortedBillboardList*>(quadList_.get()) : nullptr;
}

BillboardList* ParticleEmitter::GetStreaks() const {
    return params_.quadKind == kParticleStreaks ? static_cast<BillboardList*>(quadList_.get()) : nullptr;
}

int ParticleEmitter::GetQuadCount() const { return quadList_ != nullptr ? quadList_->GetCount() : 0; }

bool ParticleEmitter::IsFinished() const {
    if (refused_ || particles_.empty()) return true;
    return !restartPending_ && particles_.back().time > params_.particleLife && GetQuadCount() == 0;
}

int ParticleEmitter::UpdateOncePerFrame(const Matrix44& placement, SceneNode* node) {
    const ParticleClock clock = Clock();
    if (static_cast<std::int64_t>(clock.frame) == lastFrame_) return 0;
    lastFrame_ = clock.frame;
    const int finished = Update(placement);
    if (node != nullptr) {
        const std::uint32_t flags = node->GetFlags() & ~kNodeNothingToDraw;
        node->SetFlags(GetQuadCount() == 0 ? flags | kNodeNothingToDraw : flags);
    }
    return finished;
}

void ParticleEmitter::UpdateAndDraw(const Matrix44& placement, Camera& view, int depthOnly,
                                    const BillboardTarget& target) {
    const ParticleClock clock = Clock();
    if (static_cast<std::int64_t>(clock.frame) != lastFrame_) {
        lastFrame_ = clock.frame;
        Update(placement);
    }
    if (quadList_ != nullptr) quadList_->Draw(view, depthOnly, target);
}

int ParticleEmitter::Update(const Matrix44& placement) {
    if (refused_ || quadList_ == nullptr) return params_.deleteWhenFinished != 0 ? 1 : 0;
    if (!(params_.particleLife > 0.0f)) return 0;
    if (restartPending_) Restart();
    const int deltaMs = Clock().deltaMs;
    const float dt = static_cast<float>(deltaMs < 0 || deltaMs > 100 ? 100 : deltaMs) * 0.001f;
    quadList_->Clear();
    if (remaining_ > 0.0f) remaining_ -= dt;
    return params_.quadKind == kParticleStreaks ? UpdateStreaks(placement, dt) : UpdateSprites(placement, dt);
}

void ParticleEmitter::Restart() {
    remaining_ = params_.emissionDuration;
    const float span = spacingOverLife_ ? params_.particleLife : params_.emissionDuration;
    const float spacing = span / static_cast<float>(particles_.size());
    for (std::size_t i = 0; i < particles_.size(); ++i) {
        particles_[i].time = -(kBirthEpsilon + static_cast<float>(i) * spacing);
    }
    spawnCounter_ = 0;
    restartPending_ = false;
}

void ParticleEmitter::Spawn(int index, const Matrix44& placement) {
    Particle& p = particles_[static_cast<std::size_t>(index)];
    if (p.attached != nullptr) {
        if (ParticleEmitter* emitter = p.attached->GetParticleEmitter()) emitter->SetRestart();
    }
    RandomStreams& random = Random();
    const ParticleParams& q = params_;
    const Vec3 forward = UnitOr(placement.Row(2), {0.0f, 0.0f, 1.0f});
    Vec3 offset;
    if (q.positionMode == 1) {
        const float angle = random.NextFloat(0.0f, 90.0f, kRandomStream);
        offset = random.NextConeDirection(kRandomStream, forward, angle)
                     .NormalisedSafe()
                     .Scale(random.NextFloat(q.positionRadiusMin, q.positionRadiusMax, kRandomStream));
    } else if (q.positionMode == 2) {
        offset = random.NextShellVector(q.positionRadiusMin, q.positionRadiusMax);
    }
    p.origin = placement.GetTranslation().Add(offset);
    const Vec3 aroundOffset = UnitOr(offset, {0.0f, 0.0f, 0.0f});
    if (q.directionMode == 2) {
        p.direction = aroundOffset;
    } else {
        const Vec3 axis = q.directionMode == 1 ? aroundOffset : forward;
        const float cone = random.NextFloat(q.coneAngleMin, q.coneAngleMax, kRandomStream);
        p.direction = random.NextConeDirection(kRandomStream, axis, cone).NormalisedSafe();
    }
    p.speed = q.speedMode == 1 ? random.NextFloat(q.speedMin, q.speedMax, kRandomStream) : q.speedMin;
    if (q.spinMode >= 1 && q.spinMode <= 3) {
        const float spin = random.NextFloat(q.spinMin, q.spinMax, kRandomStream);
        p.spin = q.spinMode == 1 ? -spin : spin;
        if (q.spinMode == 3 && (index & 1) != 0) p.spin = -spin;
        p.angle = random.NextFloat(0.0f, 360.0f, kRandomStream);
    } else {
        p.spin = 0.0f;
        p.angle = 0.0f;
    }
    lastOffset_ = offset;
    lastDirection_ = p.direction;
    ++spawnCounter_;
}

Vec3 ParticleEmitter::PositionAt(const Particle& p, float age) const {
    Vec3 position = p.origin.Add(p.direction.Scale(p.speed * DragFactor(params_.drag, age)));
    // The downward term as the effects are tuned to it: a x (0.5 g a + 1).
    if (params_.gravity != 0.0f) position.y -= age * (0.5f * params_.gravity * age + 1.0f);
    position.y += params_.rise;
    return position;
}

std::uint32_t ParticleEmitter::ColourAt(float fraction) const {
    if (gradient_ == nullptr || gradient_->KeyCount() == 0) return kWhite;
    return gradient_->Sample(fraction);
}

float ParticleEmitter::SizeAt(float fraction) const {
    if (params_.sizeMode != 1) return params_.startSize;
    return params_.startSize + (params_.endSize - params_.startSize) * fraction;
}

void ParticleEmitter::SpriteRect(int index, float time, float rect[4]) const {
    rect[0] = 0.0f, rect[1] = 0.0f, rect[2] = 1.0f, rect[3] = 1.0f;
    const ParticleParams& q = params_;
    if (q.spriteFrameCount <= 0) return;
    // A sheet without columns or rows, or a frame-by-age sheet without a duration, shows frame 0 over the
    // whole texture rather than dividing by zero.
    if (q.spriteColumns < 1 || q.spriteRows < 1) return;
    if (q.spriteFrameMode != 1 && !(q.spriteDuration > 0.0f)) return;
    double frame = q.spriteFrameMode == 1
                       ? static_cast<double>(index)
                       : std::trunc(static_cast<double>(q.spriteFrameCount) / q.spriteDuration * time);
    frame = std::fmod(frame, static_cast<double>(q.spriteFrameCount));
    if (!(frame >= 0.0)) frame = 0.0;
    const int n = static_cast<int>(frame);
    const int column = n % q.spriteColumns;
    const int row = n / q.spriteColumns;
    const float columns = static_cast<float>(q.spriteColumns);
    const float rows = static_cast<float>(q.spriteRows);
    rect[0] = static_cast<float>(column) / columns;
    rect[1] = static_cast<float>(row) / rows;
    rect[2] = static_cast<float>(column + 1) / columns;
    rect[3] = static_cast<float>(row + 1) / rows;
}

bool ParticleEmitter::FinishedAfterUpdate() const {
    return GetQuadCount() == 0 && !(remaining_ > 0.0f) && params_.deleteWhenFinished != 0;
}

int ParticleEmitter::UpdateSprites(const Matrix44& placement, float dt) {
    auto* list = static_cast<SortedBillboardList*>(quadList_.get());
    const float life = params_.particleLife;
    const int count = static_cast<int>(particles_.size());
    for (int i = 0; i < count; ++i) {
        Particle& p = particles_[static_cast<std::size_t>(i)];
        const float before = p.time;
        p.time += dt;
        if (p.time < 0.0f) continue;
        if (p.time > life) {
            if (stopped_ || !(remaining_ > 0.0f)) continue;
            // fmod rather than a loop of subtractions: a tiny life would take ages.
            p.time = std::fmod(p.time, life);
            Spawn(i, placement);
        } else if (before <= 0.0f) {
            if (stopped_) {
                p.time -= kStoppedSetBack;
                continue;
            }
            Spawn(i, placement);
        }
        const float age = playForward_ != 0 ? p.time : life - p.time;
        const Vec3 position = PositionAt(p, age);
        p.angle += p.spin * dt;
        if (p.attached != nullptr) {
            Matrix44 at;
            at.SetTranslationV(position);
            p.attached->SetWorldMatrix(at);
        }
        const float fraction = age / life;
        float rect[4];
        SpriteRect(i, p.time, rect);
        list->AddColouredItemWithUV({position.x, position.y, position.z, 1.0f}, rect, ColourAt(fraction),
                                    SizeAt(fraction), p.angle);
    }
    return FinishedAfterUpdate() ? 1 : 0;
}

int ParticleEmitter::UpdateStreaks(const Matrix44& placement, float dt) {
    auto* list = static_cast<BillboardList*>(quadList_.get());
    const float life = params_.particleLife;
    const int count = static_cast<int>(particles_.size());
    for (int i = 0; i < count; ++i) {
        Particle& p = particles_[static_cast<std::size_t>(i)];
        const float before = p.time;
        p.time += dt;
        if (p.time < 0.0f) continue;
        bool spawn = false;
        if (p.time > life) {
            if (!(remaining_ > 0.0f)) continue;
            p.time = std::fmod(p.time, life);
            spawn = true;
        } else {
            spawn = before <= 0.0f;
        }
        if (spawn) {
            Spawn(i, placement);
            // As the streak effects are tuned to it: the counter runs from -count up to count.
            if (spawnCounter_ >= count) spawnCounter_ = -count;
        }
        p.angle += p.spin * dt;
        // The tail trails the head by the lag in seconds; its colour mixes a life fraction with the same lag.
        const float tailTime = std::fmax(0.0f, p.time - params_.trailLag);
        const Vec3 tail = PositionAt(p, tailTime);
        const Vec3 head = PositionAt(p, p.time);
        BillboardEnd a;
        a.position = {tail.x, tail.y, tail.z, 1.0f};
        a.colour = ColourAt(std::fmax(0.0f, p.time / life - params_.trailLag));
        a.halfWidth = SizeAt(tailTime / life) * 0.5f;
        BillboardEnd b;
        b.position = {head.x, head.y, head.z, 1.0f};
        b.colour = ColourAt(p.time / life);
        b.halfWidth = SizeAt(p.time / life) * 0.5f;
        list->AddItemParts(a, b);
    }
    return FinishedAfterUpdate() ? 1 : 0;
}

}  // namespace engine
