#include "game/units/aircraft_units.h"

namespace game {

bool SkyhookUnit::CanCarryType(int unitType) const {
    if (unitType < 1 || unitType >= kUnitTypeCount) return false;
    const bool ferryOrAircraft = unitType >= UT_FERRY && unitType <= UT_FIGHTER;
    const bool warship = unitType >= UT_SUBMARINE && unitType <= UT_AEGIS;
    return !ferryOrAircraft && !warship;
}

}  // namespace game
