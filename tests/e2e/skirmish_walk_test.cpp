// Skirmish walks through the real program: from the main menu into a battle against the computer player,
// orders given with the pointer, the turn passed to the computer and back.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "e2e/battle_walks.h"
#include "e2e/frame_audit.h"
#include "engine/core/int_rect.h"
#include "game/battle/hex_map.h"
#include "game/battle/structure.h"
#include "game/battle/structure_manager.h"
#include "game/core/game.h"
#include "game/level/camera_controller.h"
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

constexpr int kEngineerType = game::UT_ENGINEER;

game::Team* CurrentTeam(ProgramDriver& d) {
    game::TeamManager* teams = d.GetGame().GetTeamManager();
    return teams != nullptr ? teams->GetCurrentTeam() : nullptr;
}

// The structure of the side of the type with a free pad for a new unit; null when there is none.
game::Structure* OwnProducer(ProgramDriver& d, int side, int type) {
    game::StructureManager& structures = d.GetGame().GetLevel()->GetStructureManager();
    for (int slot = 0; slot < game::kMaxStructures; ++slot) {
        game::Structure* s = structures.GetStructure(slot);
        if (s != nullptr && s->GetTeam() == side && s->GetType() == type && s->FindFreePad() != nullptr) return s;
    }
    return nullptr;
}

game::ShopZone& TheShop(ProgramDriver& d) { return dynamic_cast<game::ShopZone&>(*d.Zones().Get(ZoneId::kShop)); }

// A tap on the producer opens its shop; the unit type is picked in the shop's grid and bought when the side
// can pay for it, else the shop is cancelled. True once the unit stands on the producer's pad.
bool Buy(ProgramDriver& d, game::Team& team, game::Structure& producer, int unitType, bool pictures) {
    const int unitsBefore = team.CountLiveUnits();
    if (!BringOnScreen(d, producer.GetHex()) || !d.ClickHex(producer.GetHex())) return false;
    if (!d.WaitFor([&d] { return d.IsShown(ZoneId::kShop); }, 2 * kSeconds)) return false;
    game::ShopZone& shop = TheShop(d);
    int index = -1;
    for (int i = 0; i < shop.GetCount(); ++i) {
        if (shop.GetEntry(i).unitType == unitType) index = i;
    }
    if (index >= 0 && index != shop.GetSelected()) {
        const engine::IntRect r = shop.GetEntry(index).hitRect;
        d.ClickAt(r.x + r.width / 2, r.y + r.height / 2);
        d.Frames(3);
    }
    if (pictures) d.DumpPng(Png("shop"));
    const bool buy = index >= 0 && shop.GetSelected() == index && shop.GetEntry(index).affordable &&
                     d.IsEnabled(ZoneId::kShop, game::kShopBuy);
    if (!d.Click(ZoneId::kShop, buy ? game::kShopBuy : game::kShopCancel)) return false;
    if (!d.WaitFor([&] { return d.State() == game::kGameSideTurn && !d.IsShown(ZoneId::kShop); }, 5 * kSeconds)) {
        return false;
    }
    const bool bought = buy && d.WaitFor([&] { return team.CountLiveUnits() == unitsBefore + 1; }, 10 * kSeconds);
    Settle(d);
    return bought;
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
            if (u != nullptr && u->GetState() != game::kUnitGone && u->GetState() != game::kUnitDying) {
                units.push_back(u);
            }
        }
    }
    return units;
}

// The side's live units, by id, so that a unit lost during the turn is not reached through a stale pointer.
std::vector<int> OwnUnitIds(game::Team& team) {
    std::vector<int> ids;
    for (int index = 0; index < game::kMaxTeamUnits; ++index) {
        const game::Unit* u = team.GetUnit(index);
        if (u != nullptr && u->GetState() != game::kUnitGone && u->GetState() != game::kUnitDying) {
            ids.push_back(u->GetId());
        }
    }
    return ids;
}

game::Unit* LiveUnit(game::Team& team, int id) {
    game::Unit* u = team.FindUnitById(id);
    return u != nullptr && u->GetState() != game::kUnitGone && u->GetState() != game::kUnitDying ? u : nullptr;
}

// The unit attacks the weakest enemy unit it may reach: true when the enemy lost health. False when it
// reaches none.
bool AttackWith(ProgramDriver& d, game::Unit& unit, int human) {
    if (!unit.CanStillAct() || !BringOnScreen(d, unit.GetHexPos()) || !Select(d, unit)) return false;
    game::Unit* target = nullptr;
    for (game::Unit* enemy : EnemyUnits(d, human)) {
        int x = 0;
        int y = 0;
        if (!enemy->IsTargetMarked() || !d.HexOnScreen(enemy->GetHexPos(), x, y)) continue;
        if (target == nullptr || enemy->GetHealth() < target->GetHealth()) target = enemy;
    }
    if (target == nullptr) {
        LetGo(d, unit);
        return false;
    }
    const float before = target->GetHealth();
    d.ClickHex(target->GetHexPos());
    const bool hit = d.WaitFor(
        [&] { return target->GetState() == game::kUnitGone || target->GetHealth() < before; }, 20 * kSeconds);
    Settle(d);
    return hit;
}

// The engineer takes an order to capture the structure once it is marked for it; true once the structure
// belongs to the side or its capture has advanced.
bool Capture(ProgramDriver& d, game::Unit& engineer, game::Structure& structure, int human) {
    if (!engineer.CanStillAct() || !BringOnScreen(d, engineer.GetHexPos()) || !Select(d, engineer)) return false;
    if (!structure.IsTargetMarked() || !d.ClickHex(structure.GetHex())) {
        LetGo(d, engineer);
        return false;
    }
    const float progressBefore = structure.GetCapturingTeam() == human ? structure.GetCaptureProgress() : 0.0f;
    const bool taken = d.WaitFor(
        [&] {
            return structure.GetTeam() == human ||
                   (structure.GetCapturingTeam() == human && structure.GetCaptureProgress() > progressBefore);
        },
        20 * kSeconds);
    Settle(d);
    return taken;
}

// The structure an engineer goes for: one whose capture the side has begun, else the nearest of another side
// (build pads aside), the enemy's unit-making buildings counting as six hexes nearer: the battle is won once
// the enemy has none.
game::Structure* CaptureGoal(ProgramDriver& d, const game::Unit& unit, int human) {
    game::StructureManager& structures = d.GetGame().GetLevel()->GetStructureManager();
    constexpr int kProducerPull = 6;
    game::Structure* best = nullptr;
    int bestScore = 0;
    for (int slot = 0; slot < game::kMaxStructures; ++slot) {
        game::Structure* s = structures.GetStructure(slot);
        if (s == nullptr || s->GetTeam() == human || s->GetType() == game::kStructureBuildPad) continue;
        const bool producer = s->GetTeam() != game::kTeamNeutral && s->GetType() >= game::kStructureFactory &&
                              s->GetType() <= game::kStructureHQ;
        int score = game::HexDistance(s->GetHex(), unit.GetHexPos()) - (producer ? kProducerPull : 0);
        if (s->GetCapturingTeam() == human) score -= 100;
        if (best == nullptr || score < bestScore) {
            best = s;
            bestScore = score;
        }
    }
    return best;
}

// Where a fighting unit heads: the nearest enemy unit, else the nearest structure of the enemy.
bool FightGoal(ProgramDriver& d, const game::Unit& unit, int human, game::HexCoord& goal) {
    int best = -1;
    for (const game::Unit* u : EnemyUnits(d, human)) {
        const int distance = game::HexDistance(u->GetHexPos(), unit.GetHexPos());
        if (best < 0 || distance < best) {
            best = distance;
            goal = u->GetHexPos();
        }
    }
    if (best >= 0) return true;
    game::StructureManager& structures = d.GetGame().GetLevel()->GetStructureManager();
    for (int slot = 0; slot < game::kMaxStructures; ++slot) {
        const game::Structure* s = structures.GetStructure(slot);
        if (s == nullptr || s->GetTeam() == human || s->GetTeam() == game::kTeamNeutral) continue;
        const int distance = game::HexDistance(s->GetHex(), unit.GetHexPos());
        if (best < 0 || distance < best) {
            best = distance;
            goal = s->GetHex();
        }
    }
    return best >= 0;
}

// What the human side did in the battle so far.
struct DayOrders {
    int bought = 0;
    int moves = 0;
    int attacks = 0;
    int captures = 0;
};

bool BattleGoesOn(ProgramDriver& d) { return d.State() == game::kGameSideTurn || d.IsHumanTurn(); }

// One day of the human side. Each fighting unit attacks what it reaches, else marches on the nearest enemy
// and attacks from there; each engineer captures the nearest structure of another side, marching to it
// first. Then the side buys what it can pay for: engineers at the barracks, tanks at the factory.
void PlayDay(ProgramDriver& d, game::Team& team, int human, DayOrders& done) {
    for (const int id : OwnUnitIds(team)) {
        game::Unit* unit = LiveUnit(team, id);
        if (unit == nullptr || !BattleGoesOn(d)) continue;
        if (unit->GetType() == kEngineerType) {
            game::Structure* goal = CaptureGoal(d, *unit, human);
            if (goal == nullptr) continue;
            if (Capture(d, *unit, *goal, human)) {
                ++done.captures;
            } else if (MoveToward(d, *unit, goal->GetHex(), true)) {
                ++done.moves;
                unit = LiveUnit(team, id);
                if (unit != nullptr && Capture(d, *unit, *goal, human)) ++done.captures;
            }
            continue;
        }
        if (AttackWith(d, *unit, human)) {
            ++done.attacks;
            continue;
        }
        game::HexCoord goal{};
        if (!FightGoal(d, *unit, human, goal)) continue;
        if (MoveToward(d, *unit, goal)) ++done.moves;
        unit = LiveUnit(team, id);
        if (unit != nullptr && AttackWith(d, *unit, human)) ++done.attacks;
    }
    const int cash = team.GetCash();
    const int tank = cash >= 375 ? game::UT_HEAVY_TANK : cash >= 275 ? game::UT_MED_TANK : game::UT_LIGHT_TANK;
    const std::pair<int, int> wishes[] = {{game::kStructureBarracks, kEngineerType}, {game::kStructureFactory, tank}};
    for (const auto& [type, unitType] : wishes) {
        game::Structure* producer = OwnProducer(d, human, type);
        if (producer != nullptr && BattleGoesOn(d) && Buy(d, team, *producer, unitType, false)) {
            ++done.bought;
        }
    }
}

// The match options of the skirmish setup: each cash slider tapped at its far left (0) or far right (its
// largest amount); back to the setup. True once the profile holds the amounts.
bool SetCash(ProgramDriver& d, const std::array<bool, 4>& most) {
    if (!d.Click(ZoneId::kSkirmishSetup, game::kSkirmishSetupStyle.optionsId)) return false;
    if (!d.WaitFor([&d] { return d.IsShown(ZoneId::kMatchOptions); }, 5 * kSeconds)) return false;
    for (std::size_t i = 0; i < most.size(); ++i) {
        const engine::IntRect r = d.ControlRect(ZoneId::kMatchOptions, game::kOptionSliders[i]);
        if (r.width <= 0) return false;
        d.ClickAt(most[i] ? r.x + r.width - 2 : r.x + 2, r.y + r.height / 2);
        d.Frames(3);
    }
    d.DumpPng(Png("match_options"));
    if (!d.Click(ZoneId::kMatchOptions, game::kOptionsDone)) return false;
    if (!d.WaitFor([&d] { return d.IsShown(ZoneId::kSkirmishSetup); }, 5 * kSeconds)) return false;
    const std::array<int, 4> options = d.GetGame().GetMatchOptions();
    for (std::size_t i = 0; i < most.size(); ++i) {
        const auto& table = i < 2 ? game::kStartCashTable : game::kBonusCashTable;
        if (options[i] != (most[i] ? table.back() : table.front())) return false;
    }
    return true;
}

// The skirmish against the computer on the smallest map, played to its end as a player would: the shop, moves,
// attacks and captures with the pointer, the turn handed to the computer whose turn must end, day after day
// until the computer has neither units nor a building that makes them.
// The skirmish on the smallest map, set up and played by real orders. With toTheWin false the walk ends once
// the side has bought, moved, attacked and captured and the computer has played a turn; with it true the battle
// is played on until the skirmish rule gives the win, and the result screen leads back to the setup.
void PlayTheSkirmish(bool toTheWin) {
    ProgramDriver driver;
    FrameAudit audit(driver);
    const int code = driver.Run(
        [toTheWin](ProgramDriver& d) {
            // The player's side starts rich with a large daily bonus, the computer's with nothing: the battle
            // is won in days rather than weeks.
            ASSERT_TRUE(OpenSkirmishSetup(d)) << "state " << d.State();
            ASSERT_TRUE(SetCash(d, {true, false, true, false})) << "the match options were not kept";
            ASSERT_TRUE(PlaySkirmish(d)) << "state " << d.State();
            const int human = d.CurrentSide();
            EXPECT_EQ(d.Day(), 1);
            d.DumpPng(Png("battle"));
            game::Team* team = CurrentTeam(d);
            ASSERT_NE(team, nullptr);
            // The wheel zooms the camera out as far as it goes: more of the map at a glance, fewer pans.
            const float zoomBefore = d.GetGame().GetCameraController()->GetZoom();
            d.Wheel(-8);
            EXPECT_GT(d.GetGame().GetCameraController()->GetZoom(), zoomBefore) << "the wheel does not zoom out";

            // The shop of the barracks: an engineer bought.
            game::Structure* barracks = OwnProducer(d, human, game::kStructureBarracks);
            ASSERT_NE(barracks, nullptr) << "the human side has no barracks with a free pad";
            const int cashBefore = team->GetCash();
            ASSERT_TRUE(Buy(d, *team, *barracks, kEngineerType, true)) << "state " << d.State();
            EXPECT_LT(team->GetCash(), cashBefore);

            DayOrders done;
            constexpr int kDays = 40;
            for (int day = 1; day <= kDays && BattleGoesOn(d); ++day) {
                PlayDay(d, *team, human, done);
                std::printf("day %d (frame %d): bought %d moves %d attacks %d captures %d; enemy units %zu, cash %d\n",
                            d.Day(), d.Frame(), done.bought, done.moves, done.attacks, done.captures,
                            EnemyUnits(d, human).size(), team->GetCash());
                if (!BattleGoesOn(d)) break;
                ASSERT_TRUE(EndTurnAndWaitForComputer(d) || d.State() == game::kGameWon || d.State() == game::kGameLost)
                    << "the computer's turn did not end; state " << d.State() << " side " << d.CurrentSide();
                if (day == 1) d.DumpPng(Png("battle_day2"));
                if (!toTheWin && done.moves > 0 && done.attacks > 0 && done.captures > 0) break;
            }
            EXPECT_GT(done.moves, 0) << "no unit moved";
            EXPECT_GT(done.attacks, 0) << "no attack by day " << d.Day();
            EXPECT_GT(done.captures, 0) << "no capture by day " << d.Day();
            if (!toTheWin) return;
            ASSERT_TRUE(d.WaitForState(game::kGameWon, 10 * kSeconds))
                << "not won by day " << d.Day() << "; state " << d.State();
            ASSERT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kPassAndPlayResult); }, 20 * kSeconds));
            d.DumpPng(Png("skirmish_won"));
            ASSERT_TRUE(d.Click(ZoneId::kPassAndPlayResult, game::kResultContinue));
            EXPECT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kSkirmishSetup); }, 20 * kSeconds))
                << "state " << d.State();
        },
        60 * 60 * 60);
    EXPECT_EQ(code, 0);
    audit.ExpectClean();
    std::printf("%s", driver.Stderr().c_str());
}

TEST(SkirmishWalk, BuysMovesAttacksCapturesAndTheComputerPlaysItsTurns) { PlayTheSkirmish(false); }

// Fifteen days or so of both sides' play.
TEST(SkirmishWalk, WonByTheSkirmishRule) { PlayTheSkirmish(true); }

}  // namespace
}  // namespace e2e

namespace e2e {
namespace {

// The human side gives no orders and ends its turns until the computer takes its HQ or its last unit; the
// lose screen shows and leads back to the game-type menu. Some five days of the computer's play.
TEST(SkirmishWalk, LostToTheComputerShowsTheLoseScreenAndLeadsBackToTheMenu) {
    ProgramDriver driver;
    FrameAudit audit(driver);
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
    audit.ExpectClean();
}

}  // namespace
}  // namespace e2e
