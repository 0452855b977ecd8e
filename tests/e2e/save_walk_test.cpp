// Saving through the real program: the first campaign mission, whose script puts help icons on the map, is
// saved to a slot from the pause menu on its second day; the program is quit and started again on the same
// user folder (it comes back into the battle), the battle is left for the main menu and the slot loaded from
// there. Units, structures, cash, day, side to move and the standing help icons are as saved, and the
// mission is played on from the loaded slot until it is won. A skirmish, whose slot names its map rather
// than a mission, goes the same way through a save, a restart and a load, and its computer side plays on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "e2e/battle_walks.h"
#include "e2e/frame_audit.h"
#include "game/core/game.h"
#include "game/level/help_icons.h"
#include "game/level/level.h"
#include "game/screens/battle_dialogs.h"
#include "game/screens/campaign_zones.h"
#include "game/screens/comic_overlay_zone.h"
#include "game/screens/hud_zones.h"
#include "game/screens/main_menu_zones.h"
#include "game/screens/result_screens.h"
#include "game/screens/save_load_zone.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"
#include "game/units/unit.h"

namespace e2e {
namespace {

using game::SaveLoadZone;
using game::ZoneId;

constexpr int kSlot = 1;
// The first mission's goal: any unit of the player on this tile wins it.
constexpr game::HexCoord kGoal{15, 6};
// The tile of a help icon the first day's script puts next to the player's start.
constexpr game::HexCoord kFirstDayIcon{4, 6};

// A battle as saved: the sides, units and structures, and each help icon standing on the map as (key, text,
// column, row, banner seconds).
struct SavedState {
    BattleSnapshot battle;
    std::vector<std::tuple<std::string, std::string, int, int, int>> helpIcons;

    bool operator==(const SavedState&) const = default;
};

std::string Narrow(const engine::WideString& text) {
    std::string out;
    for (std::size_t i = 0; i < text.Length(); ++i) {
        const char16_t c = text.Data()[i];
        out += c < 0x80 ? static_cast<char>(c) : '?';
    }
    return out;
}

SavedState TakeState(ProgramDriver& d) {
    SavedState state;
    state.battle = TakeSnapshot(d);
    const game::Level* level = d.GetGame().GetLevel();
    if (level == nullptr) return state;
    for (int slot = 0; slot < game::kHelpIconCount; ++slot) {
        const game::HelpIconEntry& icon = level->GetHelpIcons().GetEntry(slot);
        if (icon.model == nullptr) continue;
        state.helpIcons.emplace_back(icon.key, Narrow(icon.text), icon.hex.column, icon.hex.row,
                                     static_cast<int>(std::lround(icon.bannerSeconds)));
    }
    std::sort(state.helpIcons.begin(), state.helpIcons.end());
    return state;
}

void PrintIcons(const SavedState& state, const char* when) {
    for (const auto& [key, text, column, row, seconds] : state.helpIcons) {
        std::printf("%s: help icon %s at (%d, %d), %d s: %s\n", when, key.c_str(), column, row, seconds, text.c_str());
    }
}

// From the main menu through the campaign map and the comic into the first mission: true once the player
// may give orders on its first day.
bool StartFirstMission(ProgramDriver& d) {
    if (!OpenCampaignMap(d)) return false;
    if (!d.Click(ZoneId::kCampaignMap, game::CampaignMapZone::kPlayId)) return false;
    if (!d.WaitFor([&d] { return d.IsShown(ZoneId::kComicOverlay); }, 10 * kSeconds)) return false;
    if (!d.Click(ZoneId::kComicOverlay, game::ComicOverlayZone::kSkipId)) return false;
    if (!d.WaitFor([&d] { return d.GetGame().GetLevel() != nullptr; }, 30 * kSeconds)) return false;
    return d.WaitFor([&d] { return d.IsHumanTurn() && !d.IsBannerShowing(); }, 60 * kSeconds);
}

// The pause menu's save screen: the slot written over; pictures named after the walk.
void SaveToSlot(ProgramDriver& d, const std::string& walk) {
    ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kTopBar); }, 5 * kSeconds));
    ASSERT_TRUE(d.Click(ZoneId::kTopBar, game::kHudPause));
    ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kPause); }, 2 * kSeconds));
    d.DumpPng(Png(walk + "_pause"));
    ASSERT_TRUE(d.Click(ZoneId::kPause, game::kPauseSave));
    ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kSaveLoad); }, 2 * kSeconds));
    ASSERT_TRUE(d.Click(ZoneId::kSaveLoad, SaveLoadZone::kFirstSlotId + kSlot));
    d.DumpPng(Png(walk + "_save"));
    ASSERT_TRUE(d.Click(ZoneId::kSaveLoad, SaveLoadZone::kOverwriteId));
    ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kPause); }, 2 * kSeconds)) << "the save did not close";
    ASSERT_TRUE(d.Click(ZoneId::kPause, game::kPauseResume));
}

// Surrender, then whatever stands between the lost mission and the main menu.
void SurrenderToTheMainMenu(ProgramDriver& d) {
    ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kTopBar); }, 5 * kSeconds));
    ASSERT_TRUE(d.Click(ZoneId::kTopBar, game::kHudPause));
    ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kPause); }, 2 * kSeconds));
    ASSERT_TRUE(d.Click(ZoneId::kPause, game::kPauseSurrender));
    ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kSurrenderConfirm); }, 2 * kSeconds));
    ASSERT_TRUE(d.Click(ZoneId::kSurrenderConfirm, game::kSurrenderYes));
    for (int step = 0; step < 3 && !d.IsShown(ZoneId::kMainMenu); ++step) {
        ASSERT_TRUE(d.WaitFor(
            [&d] {
                return d.IsShown(ZoneId::kMainMenu) || d.IsShown(ZoneId::kMissionLost) ||
                       d.IsShown(ZoneId::kCampaignMap);
            },
            30 * kSeconds))
            << "state " << d.State();
        if (d.IsShown(ZoneId::kMissionLost)) {
            d.DumpPng(Png("save_walk_lost"));
            ASSERT_TRUE(d.Click(ZoneId::kMissionLost, game::kLoseBack));
        } else if (d.IsShown(ZoneId::kCampaignMap)) {
            ASSERT_TRUE(d.Click(ZoneId::kCampaignMap, game::CampaignMapZone::kBackId));
        }
        d.Frames(10);
    }
    ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kMainMenu); }, 10 * kSeconds)) << "state " << d.State();
}

// The player's turns from the loaded slot: every unit toward the goal each day until the mission is won.
// The day it was won on; 0 when it was not won within the days.
int MarchToTheGoal(ProgramDriver& d) {
    constexpr int kDays = 10;
    for (int day = 0; day < kDays; ++day) {
        if (!d.WaitFor([&d] { return d.IsHumanTurn() || d.State() == game::kGameWon; }, 30 * kSeconds)) return 0;
        if (d.State() == game::kGameWon) return d.Day();
        game::Team* team = d.GetGame().GetTeamManager()->GetCurrentTeam();
        for (int slot = 0; slot < game::kMaxTeamUnits && d.State() == game::kGameSideTurn; ++slot) {
            game::Unit* unit = team->GetUnit(slot);
            int x = 0;
            int y = 0;
            if (unit == nullptr || unit->GetState() == game::kUnitGone) continue;
            if (!d.HexOnScreen(unit->GetHexPos(), x, y)) continue;
            MoveToward(d, *unit, kGoal);
        }
        if (d.WaitFor([&d] { return d.State() == game::kGameWon; }, kSeconds)) return d.Day();
        if (!EndTurnAndWaitForComputer(d)) return 0;
    }
    return 0;
}

TEST(SaveWalk, ASlotSavedMidBattleLoadsAfterARestartAsSaved) {
    ProgramDriver driver;
    FrameAudit audit(driver);
    SavedState saved;
    int code = driver.Run([&](ProgramDriver& d) {
        ASSERT_TRUE(StartFirstMission(d)) << "state " << d.State();
        // One icon collected by a unit reaching its tile: it must not come back with the slot.
        const game::HelpIcons& icons = d.GetGame().GetLevel()->GetHelpIcons();
        ASSERT_TRUE(icons.HasIconAt(kFirstDayIcon)) << "the first day's script put no icon next to the start";
        game::Team* team = d.GetGame().GetTeamManager()->GetCurrentTeam();
        for (int slot = 0; slot < game::kMaxTeamUnits && icons.HasIconAt(kFirstDayIcon); ++slot) {
            game::Unit* unit = team->GetUnit(slot);
            if (unit != nullptr && unit->GetState() != game::kUnitGone) MoveToward(d, *unit, kFirstDayIcon);
        }
        EXPECT_FALSE(icons.HasIconAt(kFirstDayIcon)) << "no unit collected the icon next to the start";
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsHumanTurn() && !d.IsBannerShowing(); }, 30 * kSeconds));
        // The day played out, so that the computer's side has moved and the second day's script has put its
        // help icons beside the first day's.
        ASSERT_TRUE(EndTurnAndWaitForComputer(d)) << "state " << d.State() << " side " << d.CurrentSide();
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsHumanTurn() && !d.IsBannerShowing(); }, 30 * kSeconds));
        d.Frames(kSeconds);
        saved = TakeState(d);
        SaveToSlot(d, "save_walk");
        EXPECT_EQ(TakeState(d), saved) << "saving changed the battle";
    });
    ASSERT_EQ(code, 0);
    PrintIcons(saved, "saved");
    ASSERT_EQ(saved.battle.day, 2);
    ASSERT_GT(saved.battle.units.size(), 0u);
    ASSERT_GT(saved.battle.structures.size(), 0u);
    ASSERT_GT(saved.helpIcons.size(), 0u) << "no help icon stands on the map; the walk proves nothing of them";

    code = driver.Run([&](ProgramDriver& d) {
        // The program comes back into the battle it was quit in; the player leaves it for the main menu.
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsHumanTurn(); }, 60 * kSeconds)) << "state " << d.State();
        d.Frames(kSeconds);
        EXPECT_EQ(TakeState(d), saved) << "the battle resumed at start-up is not the one quit";
        SurrenderToTheMainMenu(d);
        ASSERT_TRUE(d.Click(ZoneId::kMainMenu, game::kMainLoad));
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kSaveLoad); }, 2 * kSeconds));
        d.DumpPng(Png("save_walk_load"));
        ASSERT_TRUE(d.Click(ZoneId::kSaveLoad, SaveLoadZone::kFirstSlotId + kSlot));
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsHumanTurn(); }, 30 * kSeconds)) << "state " << d.State();
        d.Frames(kSeconds);
        const SavedState loaded = TakeState(d);
        PrintIcons(loaded, "loaded");
        EXPECT_EQ(loaded.battle.day, saved.battle.day);
        EXPECT_EQ(loaded.battle.side, saved.battle.side);
        EXPECT_EQ(loaded.battle.cash, saved.battle.cash);
        EXPECT_EQ(loaded.battle.units, saved.battle.units);
        EXPECT_EQ(loaded.battle.structures, saved.battle.structures);
        EXPECT_EQ(loaded.helpIcons, saved.helpIcons);
        d.DumpPng(Png("save_walk_loaded"));

        // The battle goes on from the slot to its end: the player's units march onto the goal.
        const int wonOn = MarchToTheGoal(d);
        ASSERT_GE(wonOn, saved.battle.day) << "the loaded mission was not won; day " << d.Day() << " state "
                                           << d.State();
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kMissionWon); }, 20 * kSeconds))
            << "state " << d.State();
        d.DumpPng(Png("save_walk_won"));
        std::printf("the loaded mission was won on day %d\n", wonOn);
    }, 60 * 60 * 30);
    EXPECT_EQ(code, 0);
    audit.ExpectClean();
    std::printf("%s", driver.Stderr().c_str());
}

TEST(SaveWalk, ASkirmishSlotLoadsAfterARestartAsSaved) {
    ProgramDriver driver;
    FrameAudit audit(driver);
    SavedState saved;
    int code = driver.Run([&](ProgramDriver& d) {
        ASSERT_TRUE(StartSkirmish(d)) << "state " << d.State();
        // A day played, so that the computer's side has moved and spent before the save.
        ASSERT_TRUE(EndTurnAndWaitForComputer(d)) << "state " << d.State() << " side " << d.CurrentSide();
        saved = TakeState(d);
        SaveToSlot(d, "save_walk_skirmish");
    });
    ASSERT_EQ(code, 0);
    ASSERT_GT(saved.battle.units.size(), 0u);
    ASSERT_GT(saved.battle.structures.size(), 0u);

    code = driver.Run([&](ProgramDriver& d) {
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsHumanTurn(); }, 60 * kSeconds)) << "state " << d.State();
        EXPECT_EQ(TakeState(d), saved) << "the battle resumed at start-up is not the one quit";
        SurrenderToTheMainMenu(d);
        ASSERT_TRUE(d.Click(ZoneId::kMainMenu, game::kMainLoad));
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kSaveLoad); }, 2 * kSeconds));
        ASSERT_TRUE(d.Click(ZoneId::kSaveLoad, SaveLoadZone::kFirstSlotId + kSlot));
        ASSERT_TRUE(d.WaitFor([&d] { return d.IsHumanTurn(); }, 30 * kSeconds)) << "state " << d.State();
        const SavedState loaded = TakeState(d);
        EXPECT_EQ(loaded.battle.day, saved.battle.day);
        EXPECT_EQ(loaded.battle.side, saved.battle.side);
        EXPECT_EQ(loaded.battle.cash, saved.battle.cash);
        EXPECT_EQ(loaded.battle.units, saved.battle.units);
        EXPECT_EQ(loaded.battle.structures, saved.battle.structures);

        // The battle goes on: the computer plays its turn and hands back on the next day.
        ASSERT_TRUE(EndTurnAndWaitForComputer(d)) << "state " << d.State() << " side " << d.CurrentSide();
        EXPECT_EQ(d.Day(), saved.battle.day + 1);
    });
    EXPECT_EQ(code, 0);
    audit.ExpectClean();
}

}  // namespace
}  // namespace e2e
