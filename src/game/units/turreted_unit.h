#pragma once
// The armed vehicles and warships that aim with a turning part: a turret (the rocket launcher's launcher)
// turned in the hull's frame and a barrel raised toward the target or to a fixed elevation. After a shot the
// barrel recoils; while idle or driving turret and barrel swing back to rest; standing, the vehicle
// vibrates. Each class's parts and figures come from its row of the class table.
#include "game/units/unit_catalogue.h"
#include "game/units/unit_class_table.h"
#include "game/units/unit_weapons.h"

namespace game {

class TurretedUnit : public CatalogueUnit {
public:
    TurretedUnit(int unitType, BattleContext& battle, UnitTeam* team, Presentation presentation);
    ~TurretedUnit() override;

    void PlayShoot() override { recoil_ = 1.0f; }
    // Recoil cleared, one aiming step; true when turret and barrel settled in it and no battle zoom runs.
    bool AimAtTarget(Unit* target) override;
    // One step back to rest.
    void IdleUpdate() override;
    void StepAlongPath() override;
    void Fire(Unit* target) override;
    // The shot has left and the effects have died out (anti-air: the firing loop has ended).
    bool IsFiringFinished() override;
    // The pose, the base update, then the anti-air firing loop on the frame delta.
    void UpdateAnimation() override;

    float GetTurretYaw() const { return turretYaw_; }
    float GetBarrelPitch() const { return barrelPitch_; }
    float GetRecoil() const { return recoil_; }
    float GetFireTimer() const { return fireTimer_; }
    void SetTurretYaw(float degrees) { turretYaw_ = degrees; }
    void SetBarrelPitch(float degrees) { barrelPitch_ = degrees; }
    void SetRecoil(float recoil) { recoil_ = recoil; }
    const EffectNodes& GetEffectNodes() const { return effects_; }
    const TurretRow& Turret() const { return turret_; }
    // The local matrices the pose update gives the turret, the barrel and the body for the vibration term v.
    engine::Matrix44 TurretPose(float v) const;
    engine::Matrix44 BarrelPose() const;
    engine::Matrix44 BodyPose(float v) const;

protected:
    void OnModelBuilt() override;

private:
    void ReturnToRest();
    // The frame effects and launches start from: the barrel, or the turret when there is none.
    engine::Matrix44 MuzzleBase() const;

    const UnitClassRow& row_;
    const TurretRow& turret_;
    float turretYaw_ = 0.0f;
    float barrelPitch_ = 0.0f;
    int turretPart_ = 0;
    int barrelPart_ = 0;
    int bodyPart_ = 0;
    int launchPart_ = 0;
    EffectNodes effects_{};
    float recoil_ = 0.0f;
    engine::Vec3 turretRest_;
    engine::Vec3 barrelRest_;
    engine::Vec3 barrelPivot_;
    engine::Vec3 bodyRest_;
    float fireTimer_ = 0.0f;
    int fireSound_ = 0;
};

}  // namespace game
