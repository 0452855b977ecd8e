#pragma once
// The infantry classes: soldiers on foot, soft targets, whose every action shows as a named animation of the
// model. They face whoever shoots at them, cower, flinch, celebrate or despair, pass the time with "bored"
// animations and wait for their death animation. The grunt and the sniper lie prone and get up to walk or to
// turn far; the grenadier throws in two stages; the engineer captures structures and units.
//
// Every animation these classes wait for passes within one tick when the model lacks it or has no player,
// with the outcome the animation would have led to: a unit never stays busy on a missing animation.
#include "game/battle/battle_types.h"
#include "game/units/unit_catalogue.h"
#include "game/units/unit_class_table.h"
#include "game/units/unit_weapons.h"

namespace game {

class InfantryUnit : public CatalogueUnit {
public:
    InfantryUnit(int unitType, BattleContext& battle, UnitTeam* team, Presentation presentation);

    bool IsSoftTarget() const override { return true; }
    // Turns toward the killer, runs the base death and plays "die"; the unit waits for it.
    void Die(Unit* killer) override;
    bool IsDeathFinished() override;
    // The idle choice ("bored%i" 1 time in 16), then the base update.
    void UpdateAnimation() override;
    // The base placing, and the heading taken from the facing.
    void PlaceOnHex(HexCoord hex) override;
    void GetAimPoint(engine::Vec3& out) const override;
    void CelebrateOrDespair(bool celebrate) override;
    void Cower(Unit* attacker) override;
    void HitReaction(Unit* attacker) override;
    // The base step, "run" unless jumping, "idle" once the walk has ended.
    void StepAlongPath() override;
    // "aim", the heading turned to the target; false while the battle zoom runs.
    bool AimAtTarget(Unit* target) override;
    // Muzzle effects from the weapon part, the launch and the class's sound.
    void Fire(Unit* target) override;
    // Fired, and the effects have died out.
    bool IsFiringFinished() override;
    void PlayShoot() override;

    float GetFired() const { return fired_; }
    const EffectNodes& GetEffectNodes() const { return effects_; }

protected:
    void OnModelBuilt() override;
    // The animations during which no idle animation is chosen.
    virtual bool HoldsIdleChoice(const char* current) const;
    // The heading from this unit to the target in degrees, 0..360.
    float HeadingTo(const Unit& target) const;
    // Idle or bored, or nothing playing.
    bool AtRest() const;

    const UnitClassRow& row_;
    EffectNodes effects_{};
    int weaponPart_ = 0;
    float fired_ = 0.0f;
    bool dieShown_ = false;
};

class TrooperUnit final : public InfantryUnit {
public:
    TrooperUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : InfantryUnit(UT_TROOPER, battle, team, presentation) {}
};

class SuperSoldierUnit final : public InfantryUnit {
public:
    SuperSoldierUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : InfantryUnit(UT_SUPERSOLDIER, battle, team, presentation) {}
};

class GeneralUnit final : public InfantryUnit {
public:
    GeneralUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : InfantryUnit(UT_GENERAL, battle, team, presentation) {}
};

// Soldiers who lie in "idle" and stand in "stoodidle": they get up to walk, and to turn 20 degrees or more
// they stand, turn, lie down again and only then report aimed.
class ProneInfantryUnit : public InfantryUnit {
public:
    using InfantryUnit::InfantryUnit;
    void StepAlongPath() override;
    bool AimAtTarget(Unit* target) override;
    // Dying or gone: finished. Else the shot has left (grunt), the flash has died out and the soldier is back
    // at rest after "shoot".
    bool IsFiringFinished() override;
    int GetAimPhase() const { return aimPhase_; }

protected:
    bool HoldsIdleChoice(const char* current) const override;
    virtual bool CountsFired() const { return true; }

private:
    float targetHeading_ = 0.0f;
    int aimPhase_ = 0;
};

class GruntUnit final : public ProneInfantryUnit {
public:
    GruntUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : ProneInfantryUnit(UT_GRUNT, battle, team, presentation) {}
};

class SniperUnit final : public ProneInfantryUnit {
public:
    SniperUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : ProneInfantryUnit(UT_SNIPER, battle, team, presentation) {}
    void PlayShoot() override;
    void ReturnToIdle() override;

protected:
    bool CountsFired() const override { return false; }
};

// Throws in two stages: with zoom battles on (and no fast-forward) the grenade leaves when "shoot1" ends and
// the hand's grenade is hidden (node flag 0x4) until "shoot2" ends with ammunition left or a resupply.
class GrenadierUnit final : public InfantryUnit {
public:
    GrenadierUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : InfantryUnit(UT_GRENADIER, battle, team, presentation) {}
    void Fire(Unit* target) override;
    bool IsFiringFinished() override;
    void PlayShoot() override {}
    void Resupply(bool silent) override;

protected:
    void OnModelBuilt() override;

private:
    // Launches at the stored target when it is still in the battle.
    void Throw();
    enum class Stage { kNone, kShoot1, kShoot2 };
    int grenadePart_ = 0;
    int throwTargetId_ = 0;
    Stage stage_ = Stage::kNone;
    bool grenadePending_ = false;
};

// The unarmed soldier who captures: after a short delay a two-second suction with its looped sound, then the
// capture; when it succeeds the engineer jumps into its prize and leaves the battle. A capture that leaves
// the engineer standing stops the suction effect and takes it out of the scene.
class EngineerUnit final : public InfantryUnit {
public:
    EngineerUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : InfantryUnit(UT_ENGINEER, battle, team, presentation) {}
    ~EngineerUnit() override;

    void PlaceOnHex(HexCoord hex) override { Unit::PlaceOnHex(hex); }
    bool AimAtTarget(Unit* target) override { return Unit::AimAtTarget(target); }
    void Fire(Unit* target) override { Unit::Fire(target); }
    bool IsFiringFinished() override { return Unit::IsFiringFinished(); }
    void PlayShoot() override { Unit::PlayShoot(); }

    void BeginCapture() override;
    bool CaptureStructureStep(Structure& structure) override;
    bool CaptureUnitStep(Unit& unit) override;

    float GetSuckDelay() const { return suckDelay_; }
    float GetSuckTimer() const { return suckTimer_; }
    int GetSuckEffect() const { return suckEffect_; }

private:
    // Steps 1 to 4 of a capture; true when the step has ended here with the result in `finished`.
    bool CommonStep(bool& finished);
    // The engineer stays beside its target: the suction stops and leaves the scene.
    void StayAfterCapture();
    void JumpIn();

    float suckDelay_ = 0.0f;
    float suckTimer_ = 0.0f;
    int suckEffect_ = 0;
    int suckSound_ = 0;
    bool jumpingIn_ = false;
};

}  // namespace game
