// Reading the mission file.
#include "game/level/mission.h"

#include <charconv>
#include <cstddef>
#include <memory>
#include <system_error>

#include "engine/core/wide_string.h"
#include "engine/platform/script_reader.h"
#include "game/units/unit_catalogue.h"

namespace game {
namespace {

constexpr const char* kConditionNames[kWinLoseConditionCount] = {
    "WLC_NULL",
    "WLC_CHEAT",
    "WLC_NO_ALLIED_ENGINEER",
    "WLC_NO_ENEMY_HQ",
    "WLC_NO_ALLIED_HQ",
    "WLC_NO_ALLIED_SUPERSOLDIER",
    "WLC_NO_ENEMY_SUPERSOLDIER",
    "WLC_NO_ALLIED_GENERAL",
    "WLC_NO_ENEMY_GENERAL",
    "WLC_NO_ALLIED_UNITS",
    "WLC_NO_ENEMY_UNITS",
    "WLC_REACHTILE_GENERAL",
    "WLC_REACHTILE_SUPERSOLDIER",
    "WLC_REACHTILE_ANY",
    "WLC_UNABLE_TO_TAKE_A_TURN",
    "WLC_SURVIVOR_FAIL",
    "WLC_NO_ENEMY_STRUCTURES",
    "WLC_NO_ALLIED_STRUCTURES",
    "WLC_NO_ENEMY_SHOPS",
    "WLC_NO_ALLIED_SHOPS",
    "WLC_ALL_ENEMY_STRUCTURES",
    "WLC_ALL_ALLIED_STRUCTURES",
    "WLC_CASHGRAB",
    "WLC_NO_ALLIED_SKIRMISH",
};

constexpr const char* kAIConfigNames[kAIConfigCount] = {
    "AICFG_ENGINEER_AGRO",   "AICFG_FUNDS_DONATION", "AICFG_LANDUNITS_RATIO",
    "AICFG_AIRUNITS_RATIO",  "AICFG_SEAUNITS_RATIO", "AICFG_OFFENCE_AGGRO",
};

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.remove_suffix(1);
    return text;
}

// The whole trimmed text as a number; nothing may follow it.
template <typename T>
bool ParseWhole(std::string_view text, T& out) {
    text = TrimBlanks(text);
    if (text.empty()) return false;
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return false;
    out = value;
    return true;
}

void Report(MissionDiagnostics* diagnostics, int line, const std::string& message) {
    if (diagnostics != nullptr) diagnostics->Refuse(line, message);
}

// The 1-based line of the reader's cursor.
int LineOf(const engine::ScriptReader& reader) { return static_cast<int>(reader.CurrentLine()) + 1; }

// Checks the argument of a condition; false with the reason when it does not fit the id.
bool TakeArgument(MissionCondition& entry, std::string& reason) {
    switch (entry.id) {
        case WLC_REACHTILE_GENERAL:
        case WLC_REACHTILE_SUPERSOLDIER:
        case WLC_REACHTILE_ANY:
            if (!ParseHexLabel(entry.argument, entry.tile)) {
                reason = "not a tile of the map: \"" + entry.argument + "\"";
                return false;
            }
            return true;
        case WLC_CASHGRAB:
            if (!ParseWhole(entry.argument, entry.amount) || entry.amount < 0 || entry.amount > 0x7FFFFFFF) {
                reason = "not a whole amount: \"" + entry.argument + "\"";
                return false;
            }
            return true;
        default:
            return true;
    }
}

void ReadConditionBlock(engine::ScriptReader& reader, const char* start, const char* end,
                        std::vector<MissionCondition>& out, MissionDiagnostics* diagnostics) {
    std::unique_ptr<engine::ScriptReader> block = reader.ExtractSection(true, start, end);
    if (!block) return;
    for (;;) {
        const int line = LineOf(*block);
        engine::WideString key;
        engine::WideString value;
        if (block->ReadPair(key, value) == 0) return;
        MissionCondition entry;
        entry.id = ParseWinLoseKeyword(TrimBlanks(key.GetNarrow()));
        if (entry.id == WLC_NULL) {
            Report(diagnostics, line, std::string("unknown condition \"") + key.GetNarrow() + "\" ends the " + start +
                                          " block");
            return;
        }
        if (out.size() >= static_cast<std::size_t>(kMaxConditions)) {
            Report(diagnostics, line, std::string("more than 24 conditions in the ") + start + " block: ignored");
            continue;
        }
        entry.argument = value.GetNarrow();
        std::string reason;
        if (!TakeArgument(entry, reason)) {
            Report(diagnostics, line, std::string(WinLoseConditionName(entry.id)) + " refused: " + reason);
            continue;
        }
        out.push_back(std::move(entry));
    }
}

void ReadSurvivor(engine::ScriptReader& reader, MissionSettings& settings, MissionDiagnostics* diagnostics) {
    if (reader.FindKeyword("GAMEMODE", true) == 0) return;
    const int line = LineOf(reader);
    engine::WideString key;
    engine::WideString value;
    if (reader.ReadPair(key, value) == 0 || !EqualsIgnoringCase(TrimBlanks(key.GetNarrow()), "SURVIVOR")) return;
    int turns = 0;
    if (!ParseWhole(std::string_view(value.GetNarrow()), turns) || turns <= 0) {
        Report(diagnostics, line, std::string("SURVIVOR refused: not a whole number above 0: \"") + value.GetNarrow() +
                                      "\"");
        return;
    }
    settings.survivor = true;
    settings.survivorTurns = turns;
}

void ReadUnlocks(engine::ScriptReader& reader, MissionSettings& settings, MissionDiagnostics* diagnostics) {
    std::unique_ptr<engine::ScriptReader> block = reader.ExtractSection(true, "UNLOCK", "ENDUNLOCK");
    if (!block) return;
    for (;;) {
        const int line = LineOf(*block);
        const engine::WideString text = block->ReadLine();
        const std::string_view keyword = TrimBlanks(text.GetNarrow());
        if (keyword.empty()) return;
        const int type = ParseUnitTypeKeyword(keyword);
        if (type == 0) {
            Report(diagnostics, line, "unknown unit type \"" + std::string(keyword) + "\" ends the UNLOCK block");
            return;
        }
        settings.unlockMask |= 1u << type;
    }
}

void ReadAIConfig(engine::ScriptReader& reader, MissionSettings& settings, MissionDiagnostics* diagnostics) {
    settings.aiConfig = kAIConfigDefaults;
    std::unique_ptr<engine::ScriptReader> block = reader.ExtractSection(true, "AICONFIG", "ENDAICONFIG");
    if (!block) return;
    for (;;) {
        const int line = LineOf(*block);
        engine::WideString key;
        engine::WideString value;
        if (block->ReadPair(key, value) == 0) return;
        const std::string_view name = TrimBlanks(key.GetNarrow());
        for (int i = 0; i < kAIConfigCount; ++i) {
            if (!EqualsIgnoringCase(name, kAIConfigNames[i])) continue;
            float number = 0.0f;
            if (ParseWhole(std::string_view(value.GetNarrow()), number)) {
                settings.aiConfig[static_cast<std::size_t>(i)] = number;
            } else {
                Report(diagnostics, line, std::string(kAIConfigNames[i]) + " refused: not a number: \"" +
                                              value.GetNarrow() + "\"");
            }
            break;
        }
    }
}

}  // namespace

const char* WinLoseConditionName(int id) {
    return id >= 0 && id < kWinLoseConditionCount ? kConditionNames[id] : "";
}

int ParseWinLoseKeyword(std::string_view keyword) {
    for (int id = WLC_NO_ALLIED_ENGINEER; id < kWinLoseConditionCount; ++id) {
        if (id == WLC_UNABLE_TO_TAKE_A_TURN || id == WLC_SURVIVOR_FAIL) continue;
        if (EqualsIgnoringCase(keyword, kConditionNames[id])) return id;
    }
    return WLC_NULL;
}

int ParseUnitTypeKeyword(std::string_view keyword) {
    for (const UnitDescriptor& row : UnitCatalogue()) {
        if (EqualsIgnoringCase(keyword, row.keyword)) return row.type;
    }
    return 0;
}

void ReadMission(engine::ScriptReader& reader, MissionSettings& settings, MissionDiagnostics* diagnostics) {
    settings.win.clear();
    settings.lose.clear();
    settings.aiConfig = kAIConfigDefaults;
    settings.survivor = false;
    settings.survivorTurns = 0;
    ReadSurvivor(reader, settings, diagnostics);
    if (!settings.survivor) ReadConditionBlock(reader, "WIN", "ENDWIN", settings.win, diagnostics);
    ReadConditionBlock(reader, "LOSE", "ENDLOSE", settings.lose, diagnostics);
    ReadUnlocks(reader, settings, diagnostics);
    ReadAIConfig(reader, settings, diagnostics);
}

}  // namespace game
