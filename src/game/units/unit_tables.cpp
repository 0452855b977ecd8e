#include "game/units/unit_tables.h"

#include <climits>

#include "engine/platform/data_table.h"

namespace game {

namespace {

const UnitParams kNoParams{};

bool IsUnitType(int unitType) { return unitType >= 1 && unitType < kUnitTypeCount; }

}  // namespace

bool HasUnitTableShape(const engine::DataTable& table, int minCells, int maxCells) {
    if (table.RowCount() != static_cast<std::size_t>(kUnitTableRows)) return false;
    for (int row = 1; row < kUnitTableRows; ++row) {
        const std::size_t cells = table.Row(static_cast<std::size_t>(row))->CellCount();
        if (cells < static_cast<std::size_t>(minCells) || cells > static_cast<std::size_t>(maxCells)) return false;
    }
    return true;
}

bool UnitTables::Load(const engine::DataTable* basicParams, const engine::DataTable* damage) {
    Clear();
    if (basicParams == nullptr || damage == nullptr) return false;
    if (!HasUnitTableShape(*basicParams, kBasicParamsCells, INT_MAX)) return false;
    if (!HasUnitTableShape(*damage, kDamageCells, kDamageCells)) return false;

    const engine::DataTable& t = *basicParams;
    for (int type = 1; type < kUnitTypeCount; ++type) {
        UnitParams& p = params_[static_cast<std::size_t>(type)];
        p.moveAllowance = t.GetFloat(type, 1);
        for (int i = 0; i < 7; ++i) p.moveCost[i] = t.GetFloat(type, 2 + i);
        p.cost = t.GetInt(type, 9);
        p.minRange = t.GetInt(type, 10);
        p.maxRange = t.GetInt(type, 11);
        p.lineOfSight = t.GetInt(type, 12) != 0 ? 1 : 0;
        p.fuelCapacity = t.GetFloat(type, 13);
        p.ammoCapacity = t.GetInt(type, 14);
        p.stepTicks = t.GetInt(type, 15);
        p.vsInfantry = t.GetInt(type, 16);
        p.vsVehicles = t.GetInt(type, 17);
        p.vsAirborne = t.GetInt(type, 18);
        p.vsShips = t.GetInt(type, 19);
    }
    for (int attacker = 1; attacker < kUnitTypeCount; ++attacker) {
        for (int defender = 1; defender < kUnitTypeCount; ++defender) {
            damage_[attacker][defender] = static_cast<float>(damage->GetInt(attacker, defender)) * 0.01f;
        }
    }
    return true;
}

void UnitTables::Clear() {
    params_.fill(UnitParams{});
    for (auto& row : damage_) {
        for (float& entry : row) entry = 0.0f;
    }
}

const UnitParams& UnitTables::GetParams(int unitType) const {
    return IsUnitType(unitType) ? params_[static_cast<std::size_t>(unitType)] : kNoParams;
}

float UnitTables::LookupDamage(int attacker, int defender, int rank) const {
    if (!IsUnitType(attacker) || !IsUnitType(defender) || rank < 0 || rank > 2) return 0.0f;
    const float value = damage_[attacker][defender];
    if (rank == 1) return value * 1.5f;
    if (rank == 2) return value * 2.5f;
    return value;
}

UnitTables& GetUnitTables() {
    static UnitTables tables;
    return tables;
}

const UnitParams& GetUnitParams(int unitType) { return GetUnitTables().GetParams(unitType); }

float DamageTableLookup(int attacker, int defender, int rank) {
    return GetUnitTables().LookupDamage(attacker, defender, rank);
}

int GetUnitTypeCost(int unitType) { return GetUnitTables().GetCost(unitType); }

}  // namespace game
