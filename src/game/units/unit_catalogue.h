#pragma once
// The catalogue of the 24 unit types: for each its keyword, class, model prototype, composite root name,
// tint material name, the constants of its class and its move and stop sounds. The unit classes read their
// constants from it, and the asset check reads the names the models must hold. The material names are
// spelt as the models are authored ("destoyer", "anitair boat", "genralisimo").
#include <span>

#include "game/units/unit.h"

namespace game {

// A move or stop sound of -1: the base choice (by airborne state, soft target and domain).
inline constexpr int kBaseSound = -1;

struct UnitDescriptor {
    int type = 0;
    const char* keyword = "";  // "UT_" + the type's name; the unit texts take the part after "UT_"
    const char* className = "";
    const char* prototypePath = "";
    const char* compositeRootName = nullptr;  // null: the model is the prototype's clone itself
    const char* tintMaterialName = "";
    int domain = 0;
    bool movesOnLand = false;
    bool crossesRoughTerrain = false;
    bool crossesWater = false;
    bool landFlag = false;
    bool isAircraft = false;
    bool isAirOrWarship = false;
    bool canHitLandedAircraft = false;
    bool canHitAircraft = false;
    bool isArmed = false;
    int category = 0;
    int moveSound = kBaseSound;
    int stopSound = kBaseSound;
};

// The 24 rows in type order (row i describes type i + 1).
std::span<const UnitDescriptor> UnitCatalogue();
// The row of a type 1..24, or null.
const UnitDescriptor* FindUnitDescriptor(int unitType);

// A unit whose class constants, tint material name and move sounds come from its catalogue row.
class CatalogueUnit : public Unit {
public:
    // The type must be 1..24.
    CatalogueUnit(int unitType, BattleContext& battle, UnitTeam* team, Presentation presentation);

    int GetType() const override { return row_.type; }
    int GetDomain() const override { return row_.domain; }
    bool MovesOnLand() const override { return row_.movesOnLand; }
    bool CrossesRoughTerrain() const override { return row_.crossesRoughTerrain; }
    bool CrossesWater() const override { return row_.crossesWater; }
    bool GetLandFlag() const override { return row_.landFlag; }
    bool IsAircraft() const override { return row_.isAircraft; }
    bool IsAirOrWarship() const override { return row_.isAirOrWarship; }
    bool CanHitLandedAircraft() const override { return row_.canHitLandedAircraft; }
    bool CanHitAircraft() const override { return row_.canHitAircraft; }
    bool IsArmed() const override { return row_.isArmed; }
    int GetCategory() const override { return row_.category; }
    int GetMoveLoopSound() const override;
    int GetStopSound() const override;
    const char* GetTeamMaterialName() const override { return row_.tintMaterialName; }

    const UnitDescriptor& Descriptor() const { return row_; }

private:
    const UnitDescriptor& row_;
};

}  // namespace game
