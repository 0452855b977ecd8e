#include "game/units/carrier_units.h"

namespace game {

bool ApcUnit::CanCarryType(int unitType) const { return IsInfantryType(unitType); }

// Ships and the door included: only another ferry and the aircraft are refused.
bool FerryUnit::CanCarryType(int unitType) const {
    if (unitType < 1 || unitType >= kUnitTypeCount) return false;
    return unitType < UT_FERRY || unitType > UT_FIGHTER;
}

}  // namespace game
