// Arbitrary text through the data tables into the unit-table loader and the strict check. The input holds
// the BasicParams text, a zero byte and the Damage text (without a zero byte, the same text for both). A
// refused load leaves every record and damage entry zero; an accepted one has the shape the loader asks
// for; lookups outside the types and ranks give zero; what the check passes, the loader accepts.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "engine/platform/data_table.h"
#include "game/units/unit_table_check.h"
#include "game/units/unit_tables.h"

namespace {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

bool AllZero(const game::UnitTables& tables) {
    for (int type = -1; type <= game::kUnitTypeCount; ++type) {
        const game::UnitParams& p = tables.GetParams(type);
        if (p.moveAllowance != 0.0f || p.cost != 0 || p.minRange != 0 || p.maxRange != 0 || p.lineOfSight != 0 ||
            p.fuelCapacity != 0.0f || p.ammoCapacity != 0 || p.stepTicks != 0 || p.vsShips != 0) {
            return false;
        }
        for (float cost : p.moveCost) {
            if (cost != 0.0f) return false;
        }
        for (int defender = -1; defender <= game::kUnitTypeCount; ++defender) {
            if (tables.LookupDamage(type, defender, 0) != 0.0f) return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
    const auto* split = static_cast<const std::uint8_t*>(std::memchr(input, 0, size));
    const std::size_t basicSize = split != nullptr ? static_cast<std::size_t>(split - input) : size;
    const std::uint8_t* damageBytes = split != nullptr ? split + 1 : input;
    const std::size_t damageSize = split != nullptr ? size - basicSize - 1 : size;

    const auto basic = engine::DataTable::LoadFromImage(input, basicSize);
    const auto damage = engine::DataTable::LoadFromImage(damageBytes, damageSize);
    Check(basic != nullptr && damage != nullptr);

    game::UnitTables tables;
    const bool loaded = tables.Load(basic.get(), damage.get());
    if (loaded) {
        Check(game::HasUnitTableShape(*basic, game::kBasicParamsCells, 1 << 30));
        Check(game::HasUnitTableShape(*damage, game::kDamageCells, game::kDamageCells));
        for (int type = 1; type < game::kUnitTypeCount; ++type) {
            Check(tables.GetParams(type).lineOfSight == 0 || tables.GetParams(type).lineOfSight == 1);
            for (int rank = -1; rank <= 3; ++rank) {
                const float value = tables.LookupDamage(type, type, rank);
                Check(rank >= 0 && rank <= 2 ? std::isfinite(value) : value == 0.0f);
            }
        }
        Check(tables.GetParams(0).cost == 0 && tables.GetParams(game::kUnitTypeCount).cost == 0);
        Check(tables.LookupDamage(0, 1, 0) == 0.0f && tables.LookupDamage(1, game::kUnitTypeCount, 2) == 0.0f);
    } else {
        Check(AllZero(tables));
    }
    Check(!tables.Load(nullptr, damage.get()) && AllZero(tables));

    const game::UnitTableText basicText{"BasicParams", {input, input + basicSize}};
    const game::UnitTableText damageText{"Damage", {damageBytes, damageBytes + damageSize}};
    game::UnitTableFault fault;
    if (game::CheckUnitTables(&basicText, &damageText, fault)) {
        Check(loaded);
    } else {
        Check(!fault.Describe().empty());
    }
    return 0;
}
