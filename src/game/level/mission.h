#pragma once
// The mission file of a level folder: how the mission is won and lost, which unit types the shops offer,
// how the computer player is tuned and whether it is a survivor mission. Read from a keyword text; lines
// that are refused go to a diagnostics sink with their line number.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "game/battle/hex_coord.h"

namespace engine {
class ScriptReader;
}  // namespace engine

namespace game {

// Win and lose condition numbers; the same numbers are the reason codes of a won or lost mission.
enum WinLoseCondition : int {
    WLC_NULL = 0,
    WLC_CHEAT = 1,
    WLC_NO_ALLIED_ENGINEER = 2,
    WLC_NO_ENEMY_HQ = 3,
    WLC_NO_ALLIED_HQ = 4,
    WLC_NO_ALLIED_SUPERSOLDIER = 5,
    WLC_NO_ENEMY_SUPERSOLDIER = 6,
    WLC_NO_ALLIED_GENERAL = 7,
    WLC_NO_ENEMY_GENERAL = 8,
    WLC_NO_ALLIED_UNITS = 9,
    WLC_NO_ENEMY_UNITS = 10,
    WLC_REACHTILE_GENERAL = 11,
    WLC_REACHTILE_SUPERSOLDIER = 12,
    WLC_REACHTILE_ANY = 13,
    WLC_UNABLE_TO_TAKE_A_TURN = 14,
    WLC_SURVIVOR_FAIL = 15,
    WLC_NO_ENEMY_STRUCTURES = 16,
    WLC_NO_ALLIED_STRUCTURES = 17,
    WLC_NO_ENEMY_SHOPS = 18,
    WLC_NO_ALLIED_SHOPS = 19,
    WLC_ALL_ENEMY_STRUCTURES = 20,
    WLC_ALL_ALLIED_STRUCTURES = 21,
    WLC_CASHGRAB = 22,
    WLC_NO_ALLIED_SKIRMISH = 23,
};
inline constexpr int kWinLoseConditionCount = 24;
inline constexpr int kMaxConditions = 24;

// The keyword of an id 0..23; an empty text for any other.
const char* WinLoseConditionName(int id);
// The id of a readable keyword (2..13 and 16..23), compared without regard to case; 0 for any other.
int ParseWinLoseKeyword(std::string_view keyword);
// Unit type 1..24 of a keyword "UT_TROOPER" .. "UT_DOOR", compared without regard to case; 0 for any other.
int ParseUnitTypeKeyword(std::string_view keyword);

// One condition: its id and the argument text after the keyword, already checked: the tile of a REACHTILE
// condition, the amount of a CASHGRAB.
struct MissionCondition {
    int id = WLC_NULL;
    std::string argument;
    HexCoord tile{-1, -1};
    std::int64_t amount = 0;
};

// Computer-player tuning values.
enum AIConfigIndex : int {
    AICFG_ENGINEER_AGRO = 0,
    AICFG_FUNDS_DONATION = 1,
    AICFG_LANDUNITS_RATIO = 2,
    AICFG_AIRUNITS_RATIO = 3,
    AICFG_SEAUNITS_RATIO = 4,
    AICFG_OFFENCE_AGGRO = 5,
};
inline constexpr int kAIConfigCount = 6;
inline constexpr std::array<float, kAIConfigCount> kAIConfigDefaults = {0.4f, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f};
// Engineers and the unit before any file is read: types 2 and 17.
inline constexpr std::uint32_t kDefaultUnlockMask = 0x20004u;

struct MissionSettings {
    std::vector<MissionCondition> win;  // at most kMaxConditions each
    std::vector<MissionCondition> lose;
    std::uint32_t unlockMask = kDefaultUnlockMask;
    std::array<float, kAIConfigCount> aiConfig = kAIConfigDefaults;
    bool survivor = false;
    int survivorTurns = 0;
};

// Where refused lines of a mission file go: a log line in the game, a list for the data validator.
class MissionDiagnostics {
public:
    virtual ~MissionDiagnostics() = default;
    // line: 1-based line number in the file.
    virtual void Refuse(int line, const std::string& message) = 0;
};

// Reads the mission text into the settings: both lists emptied, tuning at its defaults and survivor mode
// off first; the unlock mask keeps its bits and gains the listed types. Every block is looked for from the
// start. An unknown key ends its block and keeps earlier lines; an entry whose argument does not fit its id
// is refused and later entries are kept; entries past the 24th of a list are refused. A null sink drops the
// reports.
void ReadMission(engine::ScriptReader& reader, MissionSettings& settings, MissionDiagnostics* diagnostics);

}  // namespace game
