#pragma once
// The eight slots of projectiles in flight and the launchers the unit classes fire through. Damage is
// computed once per launch from the attacker's health and split evenly over a volley; a launch that finds
// no free slot drops the rest of its volley.
#include <array>
#include <memory>

#include "engine/core/matrix.h"
#include "engine/core/vector.h"
#include "game/units/projectile.h"

namespace game {

class Unit;

inline constexpr int kProjectileSlots = 8;

class ProjectileManager {
public:
    ProjectileManager() = default;
    ~ProjectileManager() { Clear(); }
    ProjectileManager(const ProjectileManager&) = delete;
    ProjectileManager& operator=(const ProjectileManager&) = delete;

    void LaunchBullet(const engine::Vec3& from, Unit& attacker, Unit& target);
    void LaunchShell(const engine::Vec3& from, Unit& attacker, Unit& target, float size);
    void LaunchLobbedRocket(float elevation, const engine::Matrix44& frame, Unit& attacker, Unit& target);
    void LaunchGrenade(float elevation, const engine::Matrix44& frame, Unit& attacker, Unit& target);
    void LaunchMortar(float elevation, const engine::Matrix44& frame, Unit& attacker, Unit& target);
    void LaunchFireBarrage(const engine::Matrix44& frame, Unit& target, Unit& attacker);
    void LaunchBurst(Unit& attacker, Unit& target);
    void LaunchRocketSalvo(const engine::Matrix44& frame, Unit& target, Unit& attacker);

    // Once per tick: every projectile ticks; the finished ones are deleted.
    void Update();
    // Once per frame.
    void DrawAll();
    bool IsBusy() const;
    // Deletes every projectile without impact (the level ends; they hold unit pointers).
    void Clear();
    int CountInFlight() const;
    Projectile* Get(int slot) const { return slots_[static_cast<std::size_t>(slot)].get(); }

private:
    // Takes a free slot; false (the projectile dropped) when all are used.
    bool Add(std::unique_ptr<Projectile> projectile);
    void LaunchBallistic(const BallisticKind& kind, int sound, float elevation, const engine::Matrix44& frame,
                         Unit& attacker, Unit& target);

    std::array<std::unique_ptr<Projectile>, kProjectileSlots> slots_;
};

}  // namespace game
