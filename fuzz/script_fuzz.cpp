// Arbitrary text read as a level's mission script through the memory entry point, on the fixture battle
// with its start units; then every block is started and all of them are run for 100 frames of 0.02 s, with
// a trigger hex entered on every tenth frame. Loading ends, no block holds more than 127 commands, and the
// commands reach only hexes on the grid.
#include <chrono>
#include <cstddef>
#include <cstdint>

#include "fuzz_battle.h"
#include "fuzz_level.h"
#include "game/level/script_manager.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
    using namespace game;
    using fuzz::Check;
    InitTeamColours();
    fuzz::UseFuzzLevelData();
    fuzz::FuzzBattle battle;
    Level level(battle, battle);
    TeamManager teams(battle, battle);
    battle.level = &level;
    battle.teams = &teams;
    Check(level.Load(fuzz::kFuzzLevelFolder));
    level.SetupTeams(teams);
    teams.AdvanceTurn();

    ScriptManager& script = level.GetScriptManager();
    script.Init(fuzz::kFuzzLevelFolder);
    script.LoadFromImage(input, size);
    Check(script.GetBlockCount() <= kMaxScriptBlocks);
    for (int i = 0; i < script.GetBlockCount(); ++i) {
        Check(script.GetBlock(i)->GetActionCount() < kScriptActionSlots);
        script.GetBlock(i)->Start();
    }
    script.FireDayStart(1);
    for (int frame = 0; frame < 100; ++frame) {
        battle.clockNs += std::chrono::milliseconds(20);
        battle.timer.Tick();
        if (battle.bannerFramesLeft > 0) --battle.bannerFramesLeft;
        if (frame % 10 == 0) {
            for (int r = 0; r < kMapRows; ++r) {
                for (int c = 0; c < kMapColumns; ++c) {
                    const HexCoord hex = MakeHexCoord(c, r);
                    if (IsValidHex(hex) && level.GetHexMap().GetTile(hex).trigger != nullptr) script.SetInputHex(hex);
                }
            }
            script.StartTriggeredBlocks();
        }
        script.RunBlocks();
    }
    teams.Destroy();
    return 0;
}
