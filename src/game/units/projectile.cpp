#include "game/units/projectile.h"

#include <cmath>

#include "engine/core/random_streams.h"
#include "game/battle/battle_context.h"
#include "game/units/unit.h"
#include "game/units/unit_assets.h"
#include "game/units/unit_services.h"

namespace game {

namespace {

constexpr float kEpsilon = 1.1920929e-7f;
constexpr float kShellSpeed = 8.0f;
constexpr float kFireSpitSpeed = 15.0f;
constexpr float kHomingTopSpeed = 7.0f;
constexpr int kBulletHitTick = 13;

// The unit vector of v; false for a zero vector (no direction).
bool UnitVector(const engine::Vec3& v, engine::Vec3& out) {
    const float length = v.Length();
    if (!(length > kEpsilon)) return false;
    out = v.Scale(1.0f / length);
    return true;
}

engine::Matrix44 Placed(const engine::Vec3& at, float xDegrees) {
    engine::Matrix44 matrix;
    if (xDegrees != 0.0f) matrix.InitRotationX(xDegrees);
    matrix.SetRow(3, at);
    return matrix;
}

engine::Matrix44 Oriented(const engine::Vec3& forward, const engine::Vec3& at) {
    engine::Matrix44 matrix;
    matrix.SetBasisFromDirection(forward);
    matrix.SetRow(3, at);
    return matrix;
}

}  // namespace

float SolveLaunchSpeed(float elevationDegrees, const engine::Vec3& from, const engine::Vec3& to) {
    const double radians = static_cast<double>(elevationDegrees) * 3.14159265358979323846 / 180.0;
    const float c = static_cast<float>(std::cos(radians));
    const float s = static_cast<float>(std::sin(radians));
    const float dx = to.x - from.x;
    const float dz = to.z - from.z;
    const float h = std::sqrt(dx * dx + dz * dz);
    const float dy = to.y - from.y;
    // No unit fires vertically; such a shot has no solution here.
    if (std::fabs(kGravity * c) < kEpsilon) return -1.0f;
    const float k = (h * s - dy * c) / (kGravity * c);
    if (k < -kEpsilon) return -1.0f;
    if (k < kEpsilon) return 0.0f;
    const float t = std::sqrt(2.0f * k);
    if (std::fabs(c) > kEpsilon) return h / (t * c);
    return (dy + kGravity * k) / (t * s);
}

// --- Projectile ---------------------------------------------------------------------------------------------

Projectile::Projectile(Unit& attacker, Unit& target, float damage, ProjectileModel model, bool trail)
    : attacker_(attacker), target_(target), damage_(damage) {
    view_ = GetUnitViewFactory().CreateProjectileView(model, trail);
    if (!view_) view_ = std::make_unique<ProjectileView>();
    target.GetAimPoint(targetPoint_);
}

UnitServices& Projectile::Services() const { return attacker_.Services(); }

bool Projectile::Within(float radius) const {
    return position_.Sub(targetPoint_).LengthSquared() < radius * radius;
}

void Projectile::Impact() {
    target_.TakeDamage(damage_, &attacker_);
    UnitServices& services = Services();
    engine::RandomStreams& random = attacker_.Battle().GetRandomStreams();
    engine::Vec3 aim;
    target_.GetAimPoint(aim);
    const bool soft = target_.IsSoftTarget();
    const bool dying = target_.GetState() == kUnitDying;
    const auto blood = [&] { services.AddEffect("Particles/BloodSplatSmall", Placed(aim, -90.0f)); };
    switch (style_) {
        case ImpactStyle::kBullet:
            if (soft) {
                services.PlayLevelSound(12);
                blood();
            } else {
                services.PlayLevelSound(11);
                engine::Vec3 from;
                attacker_.GetAimPoint(from);
                engine::Vec3 back;
                services.AddEffect("Particles/Ricochet",
                                   UnitVector(from.Sub(aim), back) ? Oriented(back, aim) : Placed(aim, 0.0f));
            }
            break;
        case ImpactStyle::kBurst: {
            services.PlayLevelSound(19);
            engine::Matrix44 placement;
            placement.InitRotationX(random.NextFloat(0.0f, 360.0f, 0));
            placement.RotateYWorld(random.NextFloat(0.0f, 360.0f, 0));
            placement.SetRow(3, aim);
            services.AddEffect("Particles/Ricochet", placement);
            break;
        }
        case ImpactStyle::kShell:
            if (soft) {
                services.PlayLevelSound(14);
                blood();
            } else if (!dying) {
                services.PlayLevelSound(13);
            }
            services.AddEffect("Particles/ComboExplosion_missile", Placed(aim, 0.0f));
            break;
        case ImpactStyle::kLobbedRocket:
            services.PlayLevelSound(18);
            services.AddEffect("Particles/ComboExplosion_grenade", Placed(aim, -90.0f));
            break;
        case ImpactStyle::kMortar:
            if (soft) {
                services.PlayLevelSound(14);
                blood();
            } else if (!dying) {
                services.PlayLevelSound(17);
            }
            services.AddEffect("Particles/ComboExplosion_grenade", Placed(aim, 0.0f));
            break;
        case ImpactStyle::kHomingRocket: {
            if (soft) {
                services.PlayLevelSound(14);
                blood();
            } else if (!dying) {
                services.PlayLevelSound(15);
            }
            engine::Vec3 at = aim;
            at.x += random.NextFloat(-0.2f, 0.2f, 0);
            at.y += random.NextFloat(-0.2f, 0.2f, 0);
            at.z += random.NextFloat(-0.2f, 0.2f, 0);
            services.AddEffect("Particles/ComboExplosion_barrage", Placed(at, 0.0f));
            break;
        }
        case ImpactStyle::kFireSpit:
            if (soft) {
                services.PlayLevelSound(14);
                blood();
            } else {
                if (!dying) services.PlayLevelSound(16);
                services.AddEffect("Particles/ComboExplosion_missile", Placed(aim, 0.0f));
            }
            break;
    }
}

// --- Bullet and burst ------------------------------------------------------------------------------------------

Bullet::Bullet(Unit& attacker, Unit& target, float damage)
    : Projectile(attacker, target, damage, ProjectileModel::kNone) {
    style_ = ImpactStyle::kBullet;
}

bool Bullet::Tick() {
    if (ticks_ == 0) attacker_.PlayShoot();
    if (++ticks_ < kBulletHitTick) return false;
    hitInFlight_ = true;
    Impact();
    return true;
}

BurstShot::BurstShot(Unit& attacker, Unit& target, float damage, int delay)
    : Projectile(attacker, target, damage, ProjectileModel::kNone) {
    style_ = ImpactStyle::kBurst;
    delay_ = delay;
}

bool BurstShot::Tick() {
    CountDown();
    if (delay_ == 20) attacker_.PlayShoot();
    --life_;
    hitInFlight_ = delay_ == 0;
    if (!hitInFlight_ && life_ > 0) return false;
    Impact();
    return true;
}

// --- Straight flight ---------------------------------------------------------------------------------------------

StraightShot::StraightShot(Unit& attacker, Unit& target, float damage, ProjectileModel model,
                           const engine::Vec3& from, float speed, float radius)
    : Projectile(attacker, target, damage, model), speed_(speed), radius_(radius) {
    position_ = from;
    // A launch on the target point has no direction: it hits at once.
    hitAtOnce_ = !UnitVector(targetPoint_.Sub(from), direction_);
    lastDistanceSquared_ = targetPoint_.Sub(from).LengthSquared();
}

bool StraightShot::Fly() {
    if (hitAtOnce_) return true;
    position_.AddInPlace(direction_.Scale(kProjectileTick * speed_));
    const float distance = position_.Sub(targetPoint_).LengthSquared();
    // A shell that overshoots hits as soon as the distance grows again.
    const bool receding = style_ == ImpactStyle::kShell && distance > lastDistanceSquared_;
    lastDistanceSquared_ = distance;
    return receding || distance < radius_ * radius_;
}

bool StraightShot::Tick() {
    if (ticks_++ == 0) attacker_.PlayShoot();
    --life_;
    hitInFlight_ = Fly();
    if (!hitInFlight_ && life_ > 0) return false;
    Impact();
    return true;
}

void StraightShot::Draw() {
    engine::Matrix44 matrix;
    matrix.SetScale(scale_, scale_, scale_);
    matrix.SetRow(3, position_);
    view_->SetMatrix(matrix);
}

Shell::Shell(Unit& attacker, Unit& target, float damage, const engine::Vec3& from, float size)
    : StraightShot(attacker, target, damage, ProjectileModel::kCanonBall, from, kShellSpeed, 0.25f) {
    style_ = ImpactStyle::kShell;
    scale_ = size;
}

FireSpit::FireSpit(Unit& attacker, Unit& target, float damage, const engine::Vec3& from, int delay)
    : StraightShot(attacker, target, damage, ProjectileModel::kFireSpit, from, kFireSpitSpeed, 0.25f) {
    style_ = ImpactStyle::kFireSpit;
    delay_ = delay;
    view_->SetHidden(delay_ >= 1);
}

bool FireSpit::Tick() {
    CountDown();
    if (delay_ == -2) attacker_.PlayShoot();
    if (delay_ == 0) Services().PlayLevelSound(8);
    if (delay_ >= 1) return false;
    view_->SetHidden(false);
    --life_;
    hitInFlight_ = Fly();
    if (!hitInFlight_ && life_ > 0) {
        view_->SetMatrix(Oriented(direction_, position_));
        return false;
    }
    attacker_.PlayShoot();
    Impact();
    return true;
}

// --- Ballistic flight ----------------------------------------------------------------------------------------------

BallisticShot::BallisticShot(Unit& attacker, Unit& target, float damage, const BallisticKind& kind,
                             const engine::Matrix44& frame, float speed)
    : Projectile(attacker, target, damage, kind.model), radius_(kind.radius) {
    style_ = kind.style;
    life_ = kind.life;
    position_ = frame.Row(3);
    engine::Vec3 forward;
    if (!UnitVector(frame.Row(2), forward)) forward = {0.0f, 0.0f, 1.0f};
    step_ = forward.Scale(speed * kProjectileTick);
    if (!(speed > 0.0f)) {
        // No ballistic solution: straight at the target point, as a shell flies.
        straight_ = true;
        if (!UnitVector(targetPoint_.Sub(position_), direction_)) direction_ = {};
        lastDistanceSquared_ = targetPoint_.Sub(position_).LengthSquared();
    }
}

bool BallisticShot::Tick() {
    if (ticks_++ == 0) attacker_.PlayShoot();
    --life_;
    bool hit = false;
    if (straight_) {
        position_.AddInPlace(direction_.Scale(kProjectileTick * kShellSpeed));
        const float distance = position_.Sub(targetPoint_).LengthSquared();
        hit = direction_.LengthSquared() == 0.0f || distance > lastDistanceSquared_ || Within(radius_);
        lastDistanceSquared_ = distance;
    } else {
        step_.y -= kGravity * kProjectileTick * kProjectileTick;
        position_.AddInPlace(step_);
        hit = Within(radius_);
    }
    hitInFlight_ = hit;
    if (!hit && life_ > 0) return false;
    Impact();
    return true;
}

void BallisticShot::Draw() {
    engine::Vec3 forward;
    if (!UnitVector(straight_ ? direction_ : step_, forward)) forward = {0.0f, 0.0f, 1.0f};
    view_->SetMatrix(Oriented(forward, position_));
}

// --- Homing rocket ----------------------------------------------------------------------------------------------------

HomingRocket::HomingRocket(Unit& attacker, Unit& target, float damage, const engine::Matrix44& frame, int delay)
    : Projectile(attacker, target, damage, ProjectileModel::kRocket, true) {
    style_ = ImpactStyle::kHomingRocket;
    life_ = 120;
    delay_ = delay;
    position_ = frame.Row(3);
    if (!UnitVector(frame.Row(2), heading_)) heading_ = {0.0f, 0.0f, 1.0f};
    view_->SetHidden(delay_ >= 1);
}

bool HomingRocket::Tick() {
    CountDown();
    if (delay_ == 0) Services().PlayLevelSound(6);
    if (delay_ == -20) attacker_.PlayShoot();
    if (delay_ >= 1) return false;
    view_->SetHidden(false);
    acceleration_ += kProjectileTick;
    speed_ = std::fmin(speed_ + acceleration_, kHomingTopSpeed);
    if (speed_ >= kHomingTopSpeed) {
        engine::Vec3 toTarget;
        // A rocket on its target point has no way to turn: it hits.
        if (!UnitVector(targetPoint_.Sub(position_), toTarget)) {
            hitInFlight_ = true;
            Impact();
            return true;
        }
        engine::Vec3 turned;
        if (UnitVector(heading_.Add(toTarget.Scale(0.35f)), turned)) heading_ = turned;
    }
    --life_;
    position_.AddInPlace(heading_.Scale(kProjectileTick * speed_));
    hitInFlight_ = Within(0.25f);
    if (!hitInFlight_ && life_ > 0) return false;
    Impact();
    return true;
}

void HomingRocket::Draw() {
    const engine::Matrix44 matrix = Oriented(heading_, position_);
    view_->SetMatrix(matrix);
    engine::Matrix44 trail = matrix;
    trail.RotateXLocal(180.0f);
    trail.TranslateLocal(0.0f, 0.0f, 0.3f);
    view_->SetTrailMatrix(trail);
}

}  // namespace game
