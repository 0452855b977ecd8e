#pragma once
// The balance rules of the unit tables, checked beside CheckUnitTables by the data build and the validator.
// They keep the shops worth using and the computer player's buying working:
// - every buyable armed type has a buyable counter at most 2.5 times its price that deals at least 1.5 times
//   the damage it takes from the type, or reaches farther (and hurts it);
// - no buyable type is at least as good as another armed type of its building (allowance, maximum range,
//   every damage cell dealt and taken) while costing no more (an unarmed type's worth, capture, carrying or
//   supply, is not in the tables);
// - the shop ratings (BasicParams columns 16..19) follow the damage cells: within a building, a type whose
//   best cell against a defender category is higher never has the lower rating;
// - the prices keep the computer player's buying thresholds (GRUNT at most 50, TROOPER 100, LIGHT_TANK 125,
//   DESTROYER 200) and the GENERAL costs more than every barracks unit;
// - for a land type a road costs less than plain land, and a ford or a hill more where the type may enter
//   them; land types (all of which a FERRY can carry) have an allowance of at least 20.
#include <vector>

#include "game/units/unit_table_check.h"

namespace game {

// The 21 types the shops sell (every type but SUBMARINE, GENERAL and DOOR).
bool IsBuyableUnitType(int unitType);

// Runs on tables that pass CheckUnitTables. Appends one fault per broken rule (file, row of the type, column
// of the cell where one is to blame) and returns true when there is none.
bool CheckUnitBalance(const UnitTableText& basicParams, const UnitTableText& damage,
                      std::vector<UnitTableFault>& faults);

}  // namespace game
