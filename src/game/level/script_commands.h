#pragma once
// What the script commands share: finding a named unit, reading hex and time arguments, and the factory of
// the commands that drive units (script_unit_commands.cpp). The other commands and the keyword factory are
// in script_commands.cpp.
#include <memory>
#include <span>

#include "engine/core/wide_string.h"
#include "game/battle/hex_coord.h"
#include "game/level/script_block.h"

namespace game {

class ScriptManager;
class Unit;

// The unit stored under the name, or null when the name is unknown or the unit is gone or dying.
Unit* FindScriptUnit(ScriptManager& manager, const engine::WideString& name);
// A tile label on the grid; false for anything else.
bool ParseScriptHex(const engine::WideString& text, HexCoord& out);
// Seconds as a decimal number; 0 for text that is not a finite number, and for negative values.
float ParseScriptTime(const engine::WideString& text);

// One keyword of a command factory.
struct ScriptCommandEntry {
    const char* keyword;
    std::unique_ptr<ScriptAction> (*make)(ScriptManager&);
};
template <typename Command>
std::unique_ptr<ScriptAction> MakeScriptCommand(ScriptManager& manager) {
    return std::make_unique<Command>(manager);
}
// The command of the entry whose keyword matches (any case); null when none does.
std::unique_ptr<ScriptAction> CreateFromEntries(std::span<const ScriptCommandEntry> entries,
                                                const engine::WideString& keyword, ScriptManager& manager);

// SPAWN, MOVEUNIT, PICKUPUNIT, DROPUNIT, STOPUNIT, LANDUNIT, KILLUNIT, RELINQUISH, IMMOBILIZEUNIT and
// ASSIGNUNITNAME; null for any other keyword.
std::unique_ptr<ScriptAction> CreateUnitCommand(const engine::WideString& keyword, ScriptManager& manager);

}  // namespace game
