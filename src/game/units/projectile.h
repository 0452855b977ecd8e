#pragma once
// Shots in flight between a firing unit and its target. Each projectile carries the damage fixed at launch
// and, on arrival, hands it to the target and shows its impact effect. A shot whose life ends without a hit
// still arrives at the target point, so that an attack never costs ammunition for nothing.
#include <memory>

#include "engine/core/matrix.h"
#include "engine/core/vector.h"
#include "game/units/unit_view.h"

namespace game {

class Unit;
class UnitServices;

inline constexpr float kGravity = 9.80665f;
inline constexpr float kProjectileTick = 0.02f;

// How a projectile's arrival looks and sounds.
enum class ImpactStyle { kBullet, kBurst, kShell, kLobbedRocket, kMortar, kHomingRocket, kFireSpit };

class Projectile {
public:
    Projectile(Unit& attacker, Unit& target, float damage, ProjectileModel model, bool trail = false);
    virtual ~Projectile() = default;
    Projectile(const Projectile&) = delete;
    Projectile& operator=(const Projectile&) = delete;

    // One tick; true when the projectile is finished (after its impact).
    virtual bool Tick() = 0;
    virtual void Draw() = 0;
    // The damage to the target, then the impact effect and sound.
    virtual void Impact();

    float GetDamage() const { return damage_; }
    const engine::Vec3& GetTargetPoint() const { return targetPoint_; }
    const engine::Vec3& GetPosition() const { return position_; }
    Unit& GetTarget() const { return target_; }
    // True once the projectile has reached its target in flight (rather than by the end of its life).
    bool HitInFlight() const { return hitInFlight_; }
    int GetLifeLeft() const { return life_; }

protected:
    UnitServices& Services() const;
    // True when the position lies within the radius of the target point.
    bool Within(float radius) const;
    // Lowers the delay counter (to -100 at most).
    void CountDown() {
        if (delay_ > -100) --delay_;
    }

    Unit& attacker_;
    Unit& target_;
    float damage_;
    std::unique_ptr<ProjectileView> view_;
    engine::Vec3 targetPoint_;
    engine::Vec3 position_;
    ImpactStyle style_ = ImpactStyle::kBullet;
    int life_ = 80;
    int delay_ = 0;
    int ticks_ = 0;
    bool hitInFlight_ = false;
};

// Hits on its 13th tick, wherever the target stands.
class Bullet final : public Projectile {
public:
    Bullet(Unit& attacker, Unit& target, float damage);
    bool Tick() override;
    void Draw() override {}
};

// One shot of a burst: hits when its delay has run out.
class BurstShot final : public Projectile {
public:
    BurstShot(Unit& attacker, Unit& target, float damage, int delay);
    bool Tick() override;
    void Draw() override {}
};

// Flies straight at the target point; hits within the radius or once the distance grows again.
class StraightShot : public Projectile {
public:
    StraightShot(Unit& attacker, Unit& target, float damage, ProjectileModel model, const engine::Vec3& from,
                 float speed, float radius);
    bool Tick() override;
    void Draw() override;

protected:
    // One tick of flight; true on a hit.
    bool Fly();

    engine::Vec3 direction_;
    float speed_;
    float radius_;
    float lastDistanceSquared_ = 0.0f;
    float scale_ = 1.0f;
    bool hitAtOnce_ = false;
};

class Shell final : public StraightShot {
public:
    Shell(Unit& attacker, Unit& target, float damage, const engine::Vec3& from, float size);
};

// A fire spit of a barrage: hidden and still until its delay runs out.
class FireSpit final : public StraightShot {
public:
    FireSpit(Unit& attacker, Unit& target, float damage, const engine::Vec3& from, int delay);
    bool Tick() override;
};

// What tells the three ballistic shots apart.
struct BallisticKind {
    ImpactStyle style;
    ProjectileModel model;
    int life;
    float radius;
};
inline constexpr BallisticKind kLobbedRocketKind{ImpactStyle::kLobbedRocket, ProjectileModel::kRocket, 80, 0.5f};
inline constexpr BallisticKind kMortarKind{ImpactStyle::kMortar, ProjectileModel::kRocket, 80, 0.5f};
inline constexpr BallisticKind kGrenadeKind{ImpactStyle::kMortar, ProjectileModel::kGrenade, 120, 0.6f};

// Ballistic flight from the launch frame at the solved speed. A launch without a solution (speed -1 or 0)
// flies straight at the target point instead, as a shell does.
class BallisticShot final : public Projectile {
public:
    BallisticShot(Unit& attacker, Unit& target, float damage, const BallisticKind& kind,
                  const engine::Matrix44& frame, float speed);
    bool Tick() override;
    void Draw() override;
    bool IsFallback() const { return straight_; }

private:
    engine::Vec3 step_;
    float radius_;
    bool straight_ = false;
    engine::Vec3 direction_;
    float lastDistanceSquared_ = 0.0f;
};

// Accelerates from the launch frame and turns toward the target once at full speed.
class HomingRocket final : public Projectile {
public:
    HomingRocket(Unit& attacker, Unit& target, float damage, const engine::Matrix44& frame, int delay);
    bool Tick() override;
    void Draw() override;

private:
    engine::Vec3 heading_;
    float speed_ = 0.0f;
    float acceleration_ = 0.0f;
};

// The launch speed that carries a shot at the elevation from one point to the other: -1 without a solution
// (also for a vertical shot), 0 for a degenerate one.
float SolveLaunchSpeed(float elevationDegrees, const engine::Vec3& from, const engine::Vec3& to);

}  // namespace game
