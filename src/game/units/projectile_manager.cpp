#include "game/units/projectile_manager.h"

#include "game/units/unit.h"
#include "game/units/unit_services.h"

namespace game {

namespace {

engine::Matrix44 Shifted(const engine::Matrix44& frame, float x, float y) {
    engine::Matrix44 moved = frame;
    moved.SetRow(3, frame.Row(3).Add(frame.Row(0).Scale(x)).Add(frame.Row(1).Scale(y)));
    return moved;
}

}  // namespace

bool ProjectileManager::Add(std::unique_ptr<Projectile> projectile) {
    for (auto& slot : slots_) {
        if (!slot) {
            slot = std::move(projectile);
            return true;
        }
    }
    return false;
}

void ProjectileManager::LaunchBullet(const engine::Vec3&, Unit& attacker, Unit& target) {
    Add(std::make_unique<Bullet>(attacker, target, attacker.DamageAgainst(target)));
}

void ProjectileManager::LaunchShell(const engine::Vec3& from, Unit& attacker, Unit& target, float size) {
    if (Add(std::make_unique<Shell>(attacker, target, attacker.DamageAgainst(target), from, size))) {
        attacker.Services().PlayLevelSound(attacker.IsSoftTarget() ? 4 : 1);
    }
}

void ProjectileManager::LaunchBallistic(const BallisticKind& kind, int sound, float elevation,
                                        const engine::Matrix44& frame, Unit& attacker, Unit& target) {
    engine::Vec3 aim;
    target.GetAimPoint(aim);
    const float speed = SolveLaunchSpeed(elevation, frame.Row(3), aim);
    Add(std::make_unique<BallisticShot>(attacker, target, attacker.DamageAgainst(target), kind, frame, speed));
    attacker.Services().PlayLevelSound(sound);
    target.Cower(&attacker);
}

void ProjectileManager::LaunchLobbedRocket(float elevation, const engine::Matrix44& frame, Unit& attacker,
                                           Unit& target) {
    LaunchBallistic(kLobbedRocketKind, 10, elevation, frame, attacker, target);
}

void ProjectileManager::LaunchGrenade(float elevation, const engine::Matrix44& frame, Unit& attacker, Unit& target) {
    LaunchBallistic(kGrenadeKind, 5, elevation, frame, attacker, target);
}

void ProjectileManager::LaunchMortar(float elevation, const engine::Matrix44& frame, Unit& attacker, Unit& target) {
    LaunchBallistic(kMortarKind, 7, elevation, frame, attacker, target);
}

void ProjectileManager::LaunchFireBarrage(const engine::Matrix44& frame, Unit& target, Unit& attacker) {
    const float damage = attacker.DamageAgainst(target) / 8.0f;
    for (int i = 0; i < 8; ++i) {
        const engine::Matrix44 from = Shifted(frame, i % 2 == 0 ? -0.25f : 0.25f, 0.0f);
        if (!Add(std::make_unique<FireSpit>(attacker, target, damage, from.Row(3), 4 * i))) break;
    }
    target.Cower(&attacker);
}

void ProjectileManager::LaunchBurst(Unit& attacker, Unit& target) {
    const float damage = attacker.DamageAgainst(target) / 6.0f;
    for (int i = 0; i < 6; ++i) {
        if (!Add(std::make_unique<BurstShot>(attacker, target, damage, 16 + 8 * i))) break;
    }
}

void ProjectileManager::LaunchRocketSalvo(const engine::Matrix44& frame, Unit& target, Unit& attacker) {
    static constexpr float kX[6] = {-0.15f, 0.0f, 0.15f, -0.15f, 0.0f, 0.15f};
    static constexpr float kY[6] = {-0.05f, 0.05f, -0.05f, 0.05f, -0.05f, 0.05f};
    const float damage = attacker.DamageAgainst(target) / 6.0f;
    for (int i = 0; i < 6; ++i) {
        if (!Add(std::make_unique<HomingRocket>(attacker, target, damage, Shifted(frame, kX[i], kY[i]), 8 * i))) break;
    }
    target.Cower(&attacker);
}

void ProjectileManager::Update() {
    for (auto& slot : slots_) {
        if (slot && slot->Tick()) slot.reset();
    }
}

void ProjectileManager::DrawAll() {
    for (auto& slot : slots_) {
        if (slot) slot->Draw();
    }
}

bool ProjectileManager::IsBusy() const { return CountInFlight() > 0; }

int ProjectileManager::CountInFlight() const {
    int count = 0;
    for (const auto& slot : slots_) count += slot != nullptr;
    return count;
}

void ProjectileManager::Clear() {
    for (auto& slot : slots_) slot.reset();
}

}  // namespace game
