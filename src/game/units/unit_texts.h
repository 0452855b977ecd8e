#pragma once
// The three localised texts of each unit type: its name ("UT_" + the type's name), its long description
// ("UTL_") and its detail text ("UTD_"), copied from the string table when the unit assets load. Each key
// is stored at the index of the type whose keyword it names.
#include <array>

#include "engine/core/wide_string.h"
#include "game/battle/battle_types.h"

namespace game {

class BattleContext;

class UnitTexts {
public:
    // Copies the texts of all 24 types through the game's text lookup.
    bool Load(const BattleContext& game);
    void Clear();

    // The copied text of type 1..24; empty for any other type.
    const engine::WideString& Name(int unitType) const;
    const engine::WideString& LongDescription(int unitType) const;
    const engine::WideString& Detail(int unitType) const;

private:
    std::array<engine::WideString, kUnitTypeCount> names_;
    std::array<engine::WideString, kUnitTypeCount> longDescriptions_;
    std::array<engine::WideString, kUnitTypeCount> details_;
};

// The process-wide texts, filled by LoadUnitAssets, and copies of them (empty for a type outside 1..24).
UnitTexts& GetUnitTexts();
void UnitTypeName(engine::WideString& out, int unitType);
void UnitTypeLongDesc(engine::WideString& out, int unitType);
void UnitTypeDetailText(engine::WideString& out, int unitType);

}  // namespace game
