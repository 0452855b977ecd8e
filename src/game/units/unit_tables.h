#pragma once
// The figures every unit type shares: one UnitParams record per type from "Units/BasicParams" and the
// attacker-by-defender damage table from "Units/Damage", both read as data tables.
//
// Layout of the two tables: row 0 is a header and rows 1..24 are the unit types in type order, column 0
// holding the type's "UT_" keyword (not read). BasicParams has at least 20 cells a row: move allowance,
// seven movement costs, cost, minimum and maximum range, line of sight, fuel, ammunition, step ticks and the
// four shop ratings (columns 1..19). Damage has exactly 25 cells a row: the defender types in columns 1..24,
// in percent of full health.
//
// The tables are loaded once at start-up and then only read, from any thread.
#include <array>

#include "game/battle/battle_types.h"
#include "game/battle/unit_params.h"

namespace engine {
class DataTable;
}  // namespace engine

namespace game {

inline constexpr int kBasicParamsCells = 20;
inline constexpr int kDamageCells = kUnitTypeCount;  // the keyword and 24 defenders
inline constexpr int kUnitTableRows = kUnitTypeCount;  // the header and 24 types

class UnitTables {
public:
    // Reads both tables. Refused (false, every record and entry zero) when either is missing, does not
    // hold exactly 25 rows, or has a type row of fewer than 20 cells (BasicParams) or other than 25 cells
    // (Damage): the reader drops empty cells and shifts the rest, and a line that is too long ends a table,
    // so a table of another shape would be read into the wrong fields.
    bool Load(const engine::DataTable* basicParams, const engine::DataTable* damage);
    void Clear();

    // The record of type 1..24; record 0, all zero, for any other type.
    const UnitParams& GetParams(int unitType) const;
    // The damage one full-health hit of the attacker does to the defender, as a share of full health; times
    // 1.5 at rank 1 and 2.5 at rank 2. 0 for a type outside 1..24 or a rank outside 0..2.
    float LookupDamage(int attacker, int defender, int rank) const;
    // The type's price; 0 outside 1..24.
    int GetCost(int unitType) const { return GetParams(unitType).cost; }

private:
    std::array<UnitParams, kUnitTypeCount> params_{};
    float damage_[kUnitTypeCount][kUnitTypeCount] = {};
};

// True when the table holds exactly 25 rows and each type row (1..24) between minCells and maxCells cells.
bool HasUnitTableShape(const engine::DataTable& table, int minCells, int maxCells);

// The process-wide tables, filled by LoadUnitAssets, and the lookups on them.
UnitTables& GetUnitTables();
const UnitParams& GetUnitParams(int unitType);
float DamageTableLookup(int attacker, int defender, int rank);
int GetUnitTypeCost(int unitType);

}  // namespace game
