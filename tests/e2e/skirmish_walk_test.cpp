// Skirmish walks through the real program: from the main menu into a battle against the computer player,
// orders given with the pointer, the turn passed to the computer and back.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

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

constexpr int kEngineerType = 2;

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

// Buys a unit at the producer just tapped.
void Shop(ProgramDriver& d, game::Team& team) {
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
}

// The live units of every side other than the human one and neutral.
std::vector<game::Unit*> EnemyUnits(ProgramDriver& d, int human) {
    std::vector<game::Unit*> units;
    game::TeamManager* teams = d.GetGame().GetTeamManager();
    for (int slot = 0; slot < game::kTeamKindCount; ++slot) {
        game::Team* enemy = teams->GetTeam(slot);
        if (enemy == nullptr || enemy->GetKind() == human || enemy->GetKind() == game::kTeamNeutral) continue;
        for (int index = 0; index < game::kMaxTeamUnits; ++index) {
            game::Unit* u = enemy->GetUnit(index);
            if (u != nullptr && u->GetState() != game::kUnitGone) units.push_back(u);
        }
    }
    return units;
}

// Some unit of the team attacks an enemy unit it may reach: the enemy loses health. False when none can.
bool Attack(ProgramDriver& d, game::Team& team, int human) {
    for (int slot = 0; slot < game::kMaxTeamUnits; ++slot) {
        game::Unit* unit = team.GetUnit(slot);
        if (unit == nullptr || unit->GetState() == game::kUnitGone || unit->GetType() == kEngineerType) continue;
        int x = 0;
        int y = 0;
        if (!d.HexOnScreen(unit->GetHexPos(), x, y) || !Select(d, *unit)) continue;
        for (game::Unit* target : EnemyUnits(d, human)) {
            if (!target->IsTargetMarked()) continue;
            const float before = target->GetHealth();
            if (!d.ClickHex(target->GetHexPos())) continue;
            const bool hit = d.WaitFor(
                [&] { return target->GetState() == game::kUnitGone || target->GetHealth() < before; }, 20 * kSeconds);
            Settle(d);
            if (hit) return true;
        }
        LetGo(d, *unit);
    }
    return false;
}

// The engineer takes an order to capture the structure once it is marked for it; true once the structure
// belongs to the side or its capture has begun.
bool Capture(ProgramDriver& d, game::Unit& engineer, game::Structure& structure, int human) {
    if (!Select(d, engineer)) return false;
    if (!structure.IsTargetMarked() || !d.ClickHex(structure.GetHex())) {
        LetGo(d, engineer);
        return false;
    }
    const bool taken = d.WaitFor(
        [&] { return structure.GetTeam() == human || structure.GetCapturingTeam() == human; }, 20 * kSeconds);
    Settle(d);
    return taken;
}

// The neutral structure nearest the unit.
game::Structure* NearestNeutral(ProgramDriver& d, const game::Unit& unit) {
    game::StructureManager& structures = d.GetGame().GetLevel()->GetStructureManager();
    game::Structure* best = nullptr;
    for (int slot = 0; slot < game::kMaxStructures; ++slot) {
        game::Structure* s = structures.GetStructure(slot);
        if (s == nullptr || s->GetTeam() != game::kTeamNeutral || s->GetType() == game::kStructureBuildPad) continue;
        if (best == nullptr || game::HexDistance(s->GetHex(), unit.GetHexPos()) <
                                   game::HexDistance(best->GetHex(), unit.GetHexPos())) {
            best = s;
        }
    }
    return best;
}

// The nearest enemy unit.
game::Unit* NearestEnemy(ProgramDriver& d, const game::Unit& unit, int human) {
    game::Unit* best = nullptr;
    for (game::Unit* u : EnemyUnits(d, human)) {
        if (best == nullptr ||
            game::HexDistance(u->GetHexPos(), unit.GetHexPos()) < game::HexDistance(best->GetHexPos(), unit.GetHexPos())) {
            best = u;
        }
    }
    return best;
}

// What the human side did in the battle so far.
struct DayOrders {
    int moves = 0;
    int attacks = 0;
    int captures = 0;
};

// One day of the human side: an attack where one can be made, the engineer toward the nearest neutral
// structure and into its capture, every other unit toward the nearest enemy, and attacks again.
void PlayDay(ProgramDriver& d, game::Team& team, int human, DayOrders& done) {
    if (Attack(d, team, human)) ++done.attacks;
    for (int slot = 0; slot < game::kMaxTeamUnits; ++slot) {
        game::Unit* unit = team.GetUnit(slot);
        int x = 0;
        int y = 0;
        if (unit == nullptr || unit->GetState() == game::kUnitGone || !d.HexOnScreen(unit->GetHexPos(), x, y)) continue;
        if (unit->GetType() == kEngineerType) {
            game::Structure* goal = NearestNeutral(d, *unit);
            if (goal == nullptr) continue;
            if (Capture(d, *unit, *goal, human)) {
                ++done.captures;
            } else if (MoveToward(d, *unit, goal->GetHex())) {
                ++done.moves;
                if (Capture(d, *unit, *goal, human)) ++done.captures;
            }
            continue;
        }
        const game::Unit* enemy = NearestEnemy(d, *unit, human);
        if (enemy != nullptr && MoveToward(d, *unit, enemy->GetHexPos())) ++done.moves;
    }
    if (Attack(d, team, human)) ++done.attacks;
}

TEST(SkirmishWalk, BuysMovesAttacksCapturesAndTheComputerPlaysItsTurns) {
    ProgramDriver driver;
    const int code = driver.Run(
        [](ProgramDriver& d) {
            ASSERT_TRUE(StartSkirmish(d)) << "state " << d.State();
            const int human = d.CurrentSide();
            EXPECT_EQ(d.Day(), 1);
            d.DumpPng(Png("battle"));

            // The shop of a producer: one unit bought.
            game::Team* team = CurrentTeam(d);
            ASSERT_NE(team, nullptr);
            game::Structure* producer = OwnProducer(d, human);
            ASSERT_NE(producer, nullptr) << "no producer of the human side on screen";
            ASSERT_TRUE(d.ClickHex(producer->GetHex()));
            ASSERT_TRUE(game::IsValidHex(d.GetGame().GetPointerHex())) << "a tap on a structure picks no hex";
            Shop(d, *team);

            // Day by day: moves toward the enemy, attacks once in reach, the engineer's capture; the turn
            // passes to the computer, whose turn must end.
            DayOrders done;
            constexpr int kDays = 4;
            for (int day = 1; day <= kDays && d.State() == game::kGameSideTurn; ++day) {
                PlayDay(d, *team, human, done);
                std::printf("day %d: moves %d attacks %d captures %d\n", day, done.moves, done.attacks, done.captures);
                ASSERT_TRUE(EndTurnAndWaitForComputer(d))
                    << "the computer's turn did not end; state " << d.State() << " side " << d.CurrentSide() << " frame " << d.Frame() << " alive " << d.Frames(1);
                EXPECT_EQ(d.CurrentSide(), human);
                EXPECT_EQ(d.Day(), day + 1);
                if (day == 1) d.DumpPng(Png("battle_day2"));
                if (done.attacks > 0 && done.captures > 0) break;
            }
            EXPECT_GT(done.moves, 0) << "no unit moved";
            EXPECT_GT(done.attacks, 0) << "no attack by day " << d.Day();
            EXPECT_GT(done.captures, 0) << "no capture by day " << d.Day();
        },
        60 * 60 * 30);
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
