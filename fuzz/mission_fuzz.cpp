// Arbitrary text read as a level's Mission file, then both condition lists, the opponent check, the unlocks
// and the tuning evaluated on the fixture battle in every game mode. The lists never exceed 24 entries,
// hold only readable conditions with checked arguments, and the checks answer ids of their own list.
#include <cstddef>
#include <cstdint>

#include "fuzz_battle.h"
#include "fuzz_level.h"
#include "game/level/mission.h"

namespace {

using namespace game;
using fuzz::Check;

bool InList(const std::vector<MissionCondition>& list, int id) {
    for (const MissionCondition& entry : list) {
        if (entry.id == id) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
    InitTeamColours();
    fuzz::UseFuzzLevelData();
    fuzz::FuzzBattle battle;
    Level level(battle, battle);
    TeamManager teams(battle, battle);
    battle.level = &level;
    battle.teams = &teams;
    Check(level.Load(fuzz::kFuzzLevelFolder));
    level.LoadMissionFromImage(input, size);
    const MissionSettings& mission = level.GetMission();
    Check(mission.win.size() <= static_cast<std::size_t>(kMaxConditions));
    Check(mission.lose.size() <= static_cast<std::size_t>(kMaxConditions));
    Check(!mission.survivor || (mission.win.empty() && mission.survivorTurns > 0));
    for (const auto* list : {&mission.win, &mission.lose}) {
        for (const MissionCondition& entry : *list) {
            Check(ParseWinLoseKeyword(WinLoseConditionName(entry.id)) == entry.id);
            if (entry.id >= WLC_REACHTILE_GENERAL && entry.id <= WLC_REACHTILE_ANY) Check(IsValidHex(entry.tile));
            if (entry.id == WLC_CASHGRAB) Check(entry.amount >= 0);
        }
    }
    Check((mission.unlockMask & kDefaultUnlockMask) == kDefaultUnlockMask);
    level.SetupTeams(teams);
    teams.AdvanceTurn();
    for (int mode : {kGameModeCampaign, kGameModePassAndPlay, kGameModeSkirmish}) {
        battle.gameMode = mode;
        const int win = level.CheckWinLose(true, teams);
        const int lose = level.CheckWinLose(false, teams);
        Check(win == 0 || InList(mission.win, win));
        Check(lose == 0 || InList(mission.lose, lose));
        const int hq = level.CheckOpponentHQ(teams);
        Check(hq == 0 || hq == WLC_NO_ENEMY_HQ);
        Check(!level.IsUnitTypeUnlocked(UT_SUBMARINE));
        for (int type = -1; type <= 33; ++type) level.IsUnitTypeUnlocked(type);
        for (int index = -1; index <= kAIConfigCount; ++index) level.GetAIConfig(index);
    }
    teams.Destroy();
    return 0;
}
