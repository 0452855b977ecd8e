#include "game/units/unit_texts.h"

#include <string>

#include "game/battle/battle_context.h"
#include "game/units/unit_catalogue.h"

namespace game {

namespace {

const engine::WideString kEmpty;

bool IsUnitType(int unitType) { return unitType >= 1 && unitType < kUnitTypeCount; }

}  // namespace

bool UnitTexts::Load(const BattleContext& game) {
    Clear();
    bool ok = true;
    for (const UnitDescriptor& row : UnitCatalogue()) {
        // The keyword is "UT_" + the type's name.
        const std::string suffix = row.keyword + 3;
        const auto index = static_cast<std::size_t>(row.type);
        ok = names_[index].Assign(game.GetText(("UT_" + suffix).c_str())) && ok;
        ok = longDescriptions_[index].Assign(game.GetText(("UTL_" + suffix).c_str())) && ok;
        ok = details_[index].Assign(game.GetText(("UTD_" + suffix).c_str())) && ok;
    }
    return ok;
}

void UnitTexts::Clear() {
    for (auto* table : {&names_, &longDescriptions_, &details_}) {
        for (engine::WideString& text : *table) text.Clear();
    }
}

const engine::WideString& UnitTexts::Name(int unitType) const {
    return IsUnitType(unitType) ? names_[static_cast<std::size_t>(unitType)] : kEmpty;
}

const engine::WideString& UnitTexts::LongDescription(int unitType) const {
    return IsUnitType(unitType) ? longDescriptions_[static_cast<std::size_t>(unitType)] : kEmpty;
}

const engine::WideString& UnitTexts::Detail(int unitType) const {
    return IsUnitType(unitType) ? details_[static_cast<std::size_t>(unitType)] : kEmpty;
}

UnitTexts& GetUnitTexts() {
    static UnitTexts texts;
    return texts;
}

void UnitTypeName(engine::WideString& out, int unitType) { out.Assign(GetUnitTexts().Name(unitType)); }

void UnitTypeLongDesc(engine::WideString& out, int unitType) { out.Assign(GetUnitTexts().LongDescription(unitType)); }

void UnitTypeDetailText(engine::WideString& out, int unitType) { out.Assign(GetUnitTexts().Detail(unitType)); }

}  // namespace game
