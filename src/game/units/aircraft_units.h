#pragma once
// The helicopters: the SKYHOOK transport, which carries one vehicle or soldier (no ship and no aircraft),
// and the bomber and fighter, which carry nothing. Flight, rotors and their weapons come with the aircraft
// rules; here they hold their catalogue constants and what they carry.
#include "game/battle/battle_types.h"
#include "game/units/unit_catalogue.h"

namespace game {

class SkyhookUnit final : public CatalogueUnit {
public:
    SkyhookUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : CatalogueUnit(UT_SKYHOOK, battle, team, presentation) {}
    bool CanCarryType(int unitType) const override;
    bool IsCarrier() const override { return true; }
};

class BomberUnit final : public CatalogueUnit {
public:
    BomberUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : CatalogueUnit(UT_BOMBER, battle, team, presentation) {}
    bool CanCarryType(int) const override { return false; }
};

class FighterUnit final : public CatalogueUnit {
public:
    FighterUnit(BattleContext& battle, UnitTeam* team, Presentation presentation)
        : CatalogueUnit(UT_FIGHTER, battle, team, presentation) {}
    bool CanCarryType(int) const override { return false; }
};

}  // namespace game
