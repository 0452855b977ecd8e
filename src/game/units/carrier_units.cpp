#include "game/units/carrier_units.h"

namespace game {

bool ApcUnit::CanCarryType(int unitType) const {
    switch (unitType) {
        case UT_TROOPER:
        case UT_ENGINEER:
        case UT_SNIPER:
        case UT_GRENADIER:
        case UT_GRUNT:
        case UT_GENERAL:
        case UT_SUPERSOLDIER:
            return true;
        default:
            return false;
    }
}

// Ships and the door included: only another ferry and the aircraft are refused.
bool FerryUnit::CanCarryType(int unitType) const {
    if (unitType < 1 || unitType >= kUnitTypeCount) return false;
    return unitType < UT_FERRY || unitType > UT_FIGHTER;
}

}  // namespace game
