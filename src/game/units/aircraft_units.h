#pragma once
// The helicopters: the SKYHOOK transport, which carries one vehicle or soldier (no ship and no aircraft),
// and the bomber and fighter, which carry nothing. They are drawn at their flight height with two rotors
// turning on the game clock, lift off from where they stand and refill beside a supplier when they land.
// A shot-down bomber or fighter climbs briefly, then falls spinning and tumbling until it hits the ground,
// where the ordinary death effects play.
#include "game/battle/battle_types.h"
#include "game/units/unit_catalogue.h"
#include "game/units/unit_class_table.h"

namespace game {

class AircraftUnit : public CatalogueUnit {
public:
    AircraftUnit(int unitType, BattleContext& battle, UnitTeam* team, Presentation presentation);

    // Lift-off takes the flight height from the position; landing refills beside a supplier when fuel or
    // ammunition is below full.
    void SetAirborne(bool airborne) override;
    // Replaces the base update: the model at the flight height, the hit shake, the crash spin, the rotors,
    // the world matrices and the tint.
    void UpdateAnimation() override;

protected:
    void OnModelBuilt() override;
    // The crash turns of a dying bomber or fighter; none for the transport.
    virtual void Spin(engine::Matrix44&, float) {}
    // The tail rotor turns about X; the transport's second rotor turns about Y like the first.
    virtual bool HasTailRotor() const { return true; }

    const UnitClassRow& row_;
    int rotor1_ = 0;
    int rotor2_ = 0;
};

class SkyhookUnit final : public AircraftUnit {
public:
    SkyhookUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : AircraftUnit(UT_SKYHOOK, battle, team, presentation) {}
    bool CanCarryType(int unitType) const override;
    bool IsCarrier() const override { return true; }
    void UpdateAnimation() override;

protected:
    bool HasTailRotor() const override { return false; }
};

// The armed helicopters: their crash and their weapon.
class CombatHelicopter : public AircraftUnit {
public:
    CombatHelicopter(int unitType, float spinRate, BattleContext& battle, UnitTeam* team, Presentation p)
        : AircraftUnit(unitType, battle, team, p), spinRate_(spinRate) {}
    bool CanCarryType(int) const override { return false; }
    // The fall starts: no base death effects yet, the crash sound.
    void Die(Unit* killer) override;
    // One tick of the fall (Tick calls it once per tick while dying); true on the impact, which runs the base
    // death effects with no killer.
    bool IsDeathFinished() override;
    void Fire(Unit* target) override;

    float GetFallSpeed() const { return fallSpeed_; }
    float GetSpin() const { return spin_; }

protected:
    void Spin(engine::Matrix44& matrix, float dt) override;

private:
    float spinRate_;
    float fallSpeed_ = 0.0f;
    float spin_ = 0.0f;
};

class BomberUnit final : public CombatHelicopter {
public:
    BomberUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : CombatHelicopter(UT_BOMBER, 20.0f, battle, team, presentation) {}
};

class FighterUnit final : public CombatHelicopter {
public:
    FighterUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : CombatHelicopter(UT_FIGHTER, 10.0f, battle, team, presentation) {}
    void PlayShoot() override { fired_ = 1.0f; }
    bool AimAtTarget(Unit* target) override;
    bool IsFiringFinished() override { return fired_ != 0.0f; }
    void UpdateAnimation() override;
    float GetFired() const { return fired_; }

private:
    float fired_ = 0.0f;
};

}  // namespace game
