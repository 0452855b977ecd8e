// Whole computer turns with the standard planning pass in the level's headless driver: buying on the pads,
// engineers capturing, squads attacking, carriers and trucks, one seed giving one battle.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "computer_battle.h"
#include "four_armies_battle.h"
#include "game/ai/front_goal.h"
#include "game/ai/resupply_goal.h"
#include "game/ai/structure_goal.h"
#include "game/battle/structure.h"
#include "game/battle/structure_manager.h"
#include "game/units/move_orders.h"

namespace ai_test {
namespace {

using level_test::L;
using level_test::LandSource;

const std::string kMission =
    "[WIN]\nWLC_NO_ENEMY_HQ\n[ENDWIN]\n[LOSE]\nWLC_NO_ALLIED_UNITS\n[ENDLOSE]\n"
    "[UNLOCK]\nUT_LIGHT_TANK\nUT_TROOPER\nUT_TRUCK\nUT_APC\nUT_SKYHOOK\nUT_FERRY\nUT_FIGHTER\n[ENDUNLOCK]\n";

std::vector<int> UnitIds(const Team& team) {
    std::vector<int> ids;
    for (int slot = 0; slot < kMaxTeamUnits; ++slot) {
        if (const Unit* unit = team.GetUnit(slot); unit != nullptr && unit->GetState() != kUnitGone) {
            ids.push_back(unit->GetId());
        }
    }
    return ids;
}

TEST(ComputerBattleTest, AnEngineerWalksToANeutralFactoryAndCapturesIt) {
    ComputerBattle battle("engineer", false,
                          WrittenLevel(LandSource(16, "structure H9 2\nstructure N3 6 owner 4\n"
                                                      "unit H3 2 owner 4\nunit A15 1 owner 1\n"),
                                       kMission),
                          false);
    ASSERT_TRUE(battle.driver->Loaded());
    const Structure* factory = battle.driver->GetLevel().GetStructureManager().FindAtHex(L("H9"));
    ASSERT_NE(factory, nullptr);
    ASSERT_EQ(factory->GetTeam(), 0);
    const Unit* engineer = battle.Enemy().FindUnitAt(L("H3"));
    ASSERT_NE(engineer, nullptr);
    const int start = HexDistance(engineer->GetHexPos(), factory->GetHex());
    ASSERT_TRUE(battle.PlayRound());
    EXPECT_LT(HexDistance(engineer->GetHexPos(), factory->GetHex()), start);
    for (int round = 0; round < 4 && factory->GetTeam() != 4; ++round) ASSERT_TRUE(battle.PlayRound()) << round;
    EXPECT_EQ(factory->GetTeam(), 4);
}

TEST(ComputerBattleTest, AFactoryWithCashBuysWhatItsGoalsWishAndDeploysItOnThePad) {
    ComputerBattle battle("buying", false,
                          WrittenLevel(LandSource(16, "structure K4 2 owner 4\nstructure L6 1\n"
                                                      "structure N12 6 owner 4\nunit C4 3 owner 1\n"
                                                      "unit C6 3 owner 1\nunit M9 3 owner 4\n"),
                                       kMission),
                          false);
    ASSERT_TRUE(battle.driver->Loaded());
    Team& enemy = battle.Enemy();
    const std::vector<int> before = UnitIds(enemy);
    // The front goal on the blue tanks wishes for light tanks while it scores; the next turn buys them.
    ASSERT_TRUE(battle.PlayRound());
    bool frontWish = false;
    for (int i = 0; i < battle.computer->GetWishCount(); ++i) {
        const BuildWish& wish = battle.computer->GetWish(i);
        const AIGoal* goal = battle.computer->FindGoalById(wish.goalId);
        frontWish = frontWish || (goal != nullptr && goal->GetKind() == kGoalFront && wish.unitType == UT_LIGHT_TANK);
    }
    ASSERT_TRUE(frontWish);
    const std::vector<int> afterFirst = UnitIds(enemy);
    ASSERT_TRUE(battle.PlayRound());
    int joined = 0;
    for (int id : UnitIds(enemy)) {
        if (std::find(afterFirst.begin(), afterFirst.end(), id) != afterFirst.end()) continue;
        const Unit* unit = enemy.FindUnitById(id);
        EXPECT_EQ(unit->GetType(), UT_LIGHT_TANK);
        EXPECT_NE(unit->GetState(), kUnitNotPlaced);
        EXPECT_TRUE(unit->HasPresentation());
        for (int g = 0; g < battle.computer->GetGoalCount(); ++g) {
            const auto* front = dynamic_cast<const AIFrontGoal*>(battle.computer->GetGoal(g));
            if (front != nullptr && front->HoldsUnit(id)) ++joined;
        }
    }
    EXPECT_GE(joined, 1);
    EXPECT_LT(enemy.GetCash(), 700);
    // Units bought on one pad deploy one after another, each leaving the pad for the next.
    const std::vector<int> ids = UnitIds(enemy);
    for (std::size_t i = 0; i < ids.size(); ++i) {
        for (std::size_t j = i + 1; j < ids.size(); ++j) {
            EXPECT_FALSE(enemy.FindUnitById(ids[i])->GetHexPos() == enemy.FindUnitById(ids[j])->GetHexPos());
        }
    }
}

float TotalHealth(const Team& team) {
    float sum = 0.0f;
    for (int slot = 0; slot < kMaxTeamUnits; ++slot) {
        if (const Unit* unit = team.GetUnit(slot); unit != nullptr && unit->GetState() != kUnitGone) {
            sum += unit->GetHealth();
        }
    }
    return sum;
}

bool Beside(HexCoord a, HexCoord b) { return HexDistance(a, b) == 1; }

TEST(ComputerBattleTest, ASquadAdvancesOnTheEnemyClusterAndAttacksItOverTwoTurns) {
    ComputerBattle battle("clash", false, {}, false);
    ASSERT_TRUE(battle.driver->Loaded());
    const float blueBefore = TotalHealth(battle.Blue());
    ASSERT_TRUE(battle.PlayRound());
    bool front = false;
    for (int g = 0; g < battle.computer->GetGoalCount(); ++g) {
        const auto* goal = dynamic_cast<const AIFrontGoal*>(battle.computer->GetGoal(g));
        front = front || (goal != nullptr && goal->GetSquadCount() > 0);
    }
    EXPECT_TRUE(front);
    ASSERT_TRUE(battle.PlayRound());
    EXPECT_LT(TotalHealth(battle.Blue()), blueBefore);
}

TEST(ComputerBattleTest, ATankOutOfAmmunitionGetsATruckBesideItAndIsRefilled) {
    ComputerBattle battle("truck", false,
                          WrittenLevel(LandSource(16, "structure O14 6 owner 4\nunit A1 1 owner 1\n"
                                                      "unit H8 3 owner 4\nunit C8 9 owner 4\n"),
                                       kMission),
                          false);
    ASSERT_TRUE(battle.driver->Loaded());
    Unit* tank = battle.Enemy().FindUnitAt(L("H8"));
    Unit* truck = battle.Enemy().FindUnitAt(L("C8"));
    tank->SetAmmo(0);
    // The computer's first turn ends with a resupply goal; the next brings the truck.
    for (int round = 0; round < 3 && tank->GetAmmo() == 0; ++round) ASSERT_TRUE(battle.PlayRound()) << round;
    EXPECT_TRUE(Beside(truck->GetHexPos(), tank->GetHexPos()));
    EXPECT_EQ(tank->GetAmmo(), tank->GetParams().ammoCapacity);
}

TEST(ComputerBattleTest, AnAircraftLowOnFuelLandsBesideATruckAndLiftsOffOnceServed) {
    ComputerBattle battle("landing", false,
                          WrittenLevel(LandSource(16, "structure O14 6 owner 4\nunit A1 1 owner 1\n"
                                                      "unit H8 13 owner 4 immobile\nunit C8 9 owner 4\n"),
                                       kMission),
                          false);
    ASSERT_TRUE(battle.driver->Loaded());
    Unit* fighter = battle.Enemy().FindUnitAt(L("H8"));
    ASSERT_NE(fighter, nullptr);
    ASSERT_EQ(fighter->GetType(), UT_FIGHTER);
    const float capacity = fighter->GetParams().fuelCapacity;
    // Held where it stands (no squad takes it), it waits for the truck to come.
    fighter->SetFuel(0.25f * capacity);
    bool landed = false;
    battle.afterFrame = [&] { landed = landed || (fighter->GetState() != kUnitGone && !fighter->IsAirborne()); };
    for (int round = 0; round < 3 && fighter->GetFuel() < capacity; ++round) ASSERT_TRUE(battle.PlayRound()) << round;
    EXPECT_TRUE(landed);
    EXPECT_FLOAT_EQ(fighter->GetFuel(), capacity);
    EXPECT_TRUE(fighter->IsAirborne());
}

// The fighter's front goal lands it where the plan's threat scan found tanks safer than aircraft: only the
// blue anti-aircraft gun (which hurts fighters at 30 and light tanks at 8) reaches its tile.
TEST(ComputerBattleTest, AFrontGoalsFighterLowOnFuelLandsWhereThePlanFoundTheGroundSafer) {
    ComputerBattle battle("front landing", false,
                          WrittenLevel(LandSource(16, "structure O14 6 owner 4\nunit A1 1 owner 1\n"
                                                      "unit H8 13 owner 4\nunit H10 15 owner 1\n"),
                                       kMission),
                          false);
    ASSERT_TRUE(battle.driver->Loaded());
    Unit* fighter = battle.Enemy().FindUnitAt(L("H8"));
    ASSERT_NE(fighter, nullptr);
    ASSERT_EQ(fighter->GetType(), UT_FIGHTER);
    ASSERT_TRUE(fighter->IsAirborne());
    fighter->SetFuel(0.3f * fighter->GetParams().fuelCapacity);
    bool landed = false;
    battle.afterFrame = [&] { landed = landed || (fighter->GetState() != kUnitGone && !fighter->IsAirborne()); };
    ASSERT_TRUE(battle.PlayRound());
    bool inSquad = false;
    for (int g = 0; g < battle.computer->GetGoalCount(); ++g) {
        const auto* front = dynamic_cast<const AIFrontGoal*>(battle.computer->GetGoal(g));
        inSquad = inSquad || (front != nullptr && front->HoldsUnit(fighter->GetId()));
    }
    EXPECT_TRUE(inSquad);
    EXPECT_TRUE(landed);
}

// A light tank bought for the front goal on the blue tanks beside the factory's pad: on the turn it is bought
// it is deployed, drives off the pad and fires (the tank has 8 shots), leaving the pad to the next one.
TEST(ComputerBattleTest, AUnitBoughtForAFrontWithATargetInRangeLeavesItsPadAndFiresOnItsFirstTurn) {
    ComputerBattle battle("pad front", false,
                          WrittenLevel(LandSource(16, "structure K4 2 owner 4\nstructure L6 1\n"
                                                      "structure N12 6 owner 4\nunit L7 3 owner 1\n"
                                                      "unit M7 3 owner 1\nunit M9 3 owner 4\n"),
                                       kMission),
                          false);
    ASSERT_TRUE(battle.driver->Loaded());
    Team& enemy = battle.Enemy();
    // The first turn makes the front goal on the blue tanks, which wishes for light tanks; the second buys them.
    ASSERT_TRUE(battle.PlayRound());
    const std::vector<int> before = UnitIds(enemy);
    ASSERT_TRUE(battle.PlayRound());
    int bought = 0;
    for (int id : UnitIds(enemy)) {
        if (std::find(before.begin(), before.end(), id) != before.end()) continue;
        ++bought;
        const Unit* unit = enemy.FindUnitById(id);
        ASSERT_EQ(unit->GetType(), UT_LIGHT_TANK);
        const AIGoal* goal = battle.computer->FindGoalById(unit->GetAIGoalId());
        ASSERT_NE(goal, nullptr);
        EXPECT_EQ(goal->GetKind(), kGoalFront);
        EXPECT_NE(unit->GetHexPos(), L("L6"));
        EXPECT_LT(unit->GetAmmo(), unit->GetParams().ammoCapacity);
    }
    // Each one leaves the pad free for the next.
    EXPECT_GE(bought, 1);
}

// Everything the computer's turns change: each unit's id, type, hex, state, health, fuel and ammunition, each
// building's owner and both sides' cash.
std::vector<float> Board(ComputerBattle& battle) {
    std::vector<float> board;
    for (Team* team : {&battle.Blue(), &battle.Enemy()}) {
        board.push_back(static_cast<float>(team->GetCash()));
        for (int slot = 0; slot < kMaxTeamUnits; ++slot) {
            const Unit* unit = team->GetUnit(slot);
            if (unit == nullptr) continue;
            board.insert(board.end(), {static_cast<float>(unit->GetId()), static_cast<float>(unit->GetType()),
                                       static_cast<float>(unit->GetHexPos().Packed()),
                                       static_cast<float>(unit->GetState()), unit->GetHealth(), unit->GetFuel(),
                                       static_cast<float>(unit->GetAmmo())});
        }
    }
    const StructureManager& structures = battle.driver->GetLevel().GetStructureManager();
    for (int slot = 0; slot < kMaxStructures; ++slot) {
        if (const Structure* s = structures.GetStructure(slot)) board.push_back(static_cast<float>(s->GetTeam()));
    }
    return board;
}

// A battle with purchases, engineers, a truck, squads and fronts.
level_test::DriverSetup BusyLevel() {
    return WrittenLevel(LandSource(20, "structure C4 2 owner 4\nstructure D6 1\nstructure K4 5 owner 4\n"
                                    "structure L6 1\nstructure P3 6 owner 4\nstructure H10 8\nstructure N12 2\n"
                                    "structure O14 1\nunit G3 2 owner 4\nunit F5 3 owner 4\nunit G6 3 owner 4\n"
                                    "unit H4 9 owner 4\nunit H5 17 owner 4\nunit R3 5 owner 1\nunit R5 5 owner 1\n"
                                    "unit S4 7 owner 1\nunit Q16 5 owner 1\nunit R17 4 owner 1\n"),
                     kMission);
}

// Ten rounds of the busy battle; the board after them.
std::vector<float> TenRounds(bool threaded, std::uint32_t seed) {
    level_test::DriverSetup setup = BusyLevel();
    setup.randomSeed = seed;
    ComputerBattle battle("rounds", threaded, setup, false);
    EXPECT_TRUE(battle.driver->Loaded());
    const std::vector<float> start = Board(battle);
    int turnsOver = 0;
    for (int round = 0; round < 10; ++round) {
        if (!battle.PlayRound(50000)) break;
        ++turnsOver;
    }
    EXPECT_EQ(turnsOver, 10);
    // The computer side played: it bought, moved or fought.
    EXPECT_NE(Board(battle), start);
    EXPECT_GT(battle.Enemy().CountLiveUnits(), 5);
    return Board(battle);
}

TEST(ComputerBattleTest, OneSeedGivesOneBoardAfterTenTurnsOnEitherRunner) {
    const std::vector<float> inline1 = TenRounds(false, 7);
    EXPECT_EQ(TenRounds(false, 7), inline1);
    EXPECT_EQ(TenRounds(true, 7), inline1);
}

// 16 x 16: land in rows A-F, a shore row G, water in rows H-J, a shore row K and land again below; the
// enemy HQ in the north, a blue trooper in the far south-east.
std::string Coasts(const std::string& extra) {
    std::string source = "weather 2\ngrid 16 16\n";
    for (int r = 0; r < 16; ++r) {
        const char* cell = r == 6 || r == 10 ? "S0" : (r >= 7 && r <= 9) ? "W0" : "L0";
        for (int c = 0; c < 16; ++c) source += std::string(cell) + (c + 1 < 16 ? " " : "\n");
    }
    return source + "structure B12 6 owner 4\nunit P14 1 owner 1\n" + extra;
}

// Plays rounds until the unit stands on the south coast (row K or below), at most the given number.
bool CarriedSouth(ComputerBattle& battle, const Unit& unit, int rounds) {
    for (int round = 0; round < rounds; ++round) {
        if (!battle.PlayRound()) return false;
        if (unit.GetCarrier() == nullptr && unit.GetHexPos().row >= 10) return true;
    }
    return false;
}

TEST(ComputerBattleTest, ASkyhookCarriesAGruntOverTheWater) {
    ComputerBattle battle("skyhook", false, WrittenLevel(Coasts("unit C3 17 owner 4\nunit D8 11 owner 4\n"), kMission),
                          false);
    ASSERT_TRUE(battle.driver->Loaded());
    battle.driver->RunUntilIdle();
    Unit* grunt = battle.Enemy().FindUnitAt(L("C3"));
    // The grunt asks to be carried across (as a squad member does when its area lies over the water).
    battle.computer->RequestTransport(*battle.computer->FindUnitPlanner(grunt->GetId()), L("M8"));
    bool carried = false;
    battle.afterFrame = [&] { carried = carried || (grunt->GetCarrier() != nullptr && grunt->GetCarrier()->GetType() == UT_SKYHOOK); };
    EXPECT_TRUE(CarriedSouth(battle, *grunt, 5));
    EXPECT_TRUE(carried);
    EXPECT_EQ(battle.computer->GetTransportGoalCount(), 0);
}

TEST(ComputerBattleTest, AFerryCarriesATankOverTheWater) {
    ComputerBattle battle("ferry", false, WrittenLevel(Coasts("unit G8 3 owner 4\nunit H8 10 owner 4\n"), kMission),
                          false);
    ASSERT_TRUE(battle.driver->Loaded());
    battle.driver->RunUntilIdle();
    Unit* tank = battle.Enemy().FindUnitAt(L("G8"));
    battle.computer->RequestTransport(*battle.computer->FindUnitPlanner(tank->GetId()), L("M8"));
    bool carried = false;
    battle.afterFrame = [&] { carried = carried || (tank->GetCarrier() != nullptr && tank->GetCarrier()->GetType() == UT_FERRY); };
    EXPECT_TRUE(CarriedSouth(battle, *tank, 6));
    EXPECT_TRUE(carried);
}

// Under the thread sanitizer this shows the planning thread and the main thread apart: while the plan runs,
// the main thread ticks the units, updates their animations through the recording views and looks up every
// hex in every frame of the plan.
TEST(ComputerBattleTest, TwentyThreadedTurnsWhileTheMainThreadTicksAndLooksUpEveryHex) {
    ComputerBattle battle("threads", true, BusyLevel(), false);
    ASSERT_TRUE(battle.driver->Loaded());
    TeamManager& teams = battle.driver->Teams();
    int lookups = 0;
    battle.afterFrame = [&] {
        if (!battle.computer->IsPlanning()) return;
        for (int r = 0; r < kMapRows; ++r) {
            for (int c = 0; c < kMapColumns; ++c) {
                const HexCoord hex = MakeHexCoord(c, r);
                if (!IsValidHex(hex)) continue;
                lookups += teams.FindUnitAt(hex) != nullptr;
                lookups += teams.FindAirUnitAt(hex) != nullptr;
            }
        }
    };
    int rounds = 0;
    while (rounds < 20 && battle.PlayRound(50000)) ++rounds;
    EXPECT_GE(rounds, 10);
    EXPECT_GT(lookups, 0);
}

// --- The plans of whole passes, recorded ---------------------------------------------------------------------

// The standard factory; after each pass it folds what the pass decided into a number: the goals (kind, id,
// score), every planner's orders (kind and target hex), every unit's claim and the damage planned against
// it, the wishes and the bought units.
class RecordedPassFactory : public AIGoalFactory {
public:
    void RunPlanningPass(ComputerPlayer& player, CancelToken& token) override {
        AIGoalFactory::RunPlanningPass(player, token);
        std::uint64_t h = 1469598103934665603ull;
        const auto add = [&h](std::int64_t v) { h = (h ^ static_cast<std::uint64_t>(v)) * 1099511628211ull; };
        const auto addFloat = [&add](float f) {
            std::uint32_t bits = 0;
            std::memcpy(&bits, &f, sizeof bits);
            add(bits);
        };
        for (int i = 0; i < player.GetGoalCount(); ++i) {
            add(player.GetGoal(i)->GetKind());
            add(player.GetGoal(i)->GetId());
            addFloat(player.GetGoal(i)->GetScore());
        }
        for (int slot = 0; slot < kMaxTeamUnits; ++slot) {
            const AIUnitPlanner* planner = player.GetPlanner(slot);
            if (planner == nullptr) continue;
            add(planner->GetUnitId());
            for (int o = 0; o < planner->GetPendingCount(); ++o) {
                const UnitOrder* order = planner->GetPendingOrder(o);
                HexCoord hex{-1, -1};
                order->GetTargetHex(hex);
                add(order->Kind());
                add(hex.column);
                add(hex.row);
            }
        }
        for (int t = 0; t < kTeamKindCount; ++t) {
            const Team* team = teams->GetTeam(t);
            for (int slot = 0; team != nullptr && slot < kMaxTeamUnits; ++slot) {
                const Unit* unit = team->GetUnit(slot);
                if (unit == nullptr) continue;
                add(unit->GetAIGoalId());
                addFloat(player.GetPlannedDamage(unit->GetId()));
            }
        }
        for (int i = 0; i < player.GetWishCount(); ++i) {
            add(player.GetWish(i).unitType);
            add(player.GetWish(i).goalId);
        }
        for (int i = 0; i < player.GetBoughtCount(); ++i) {
            add(player.GetBought(i).pad.column);
            add(player.GetBought(i).pad.row);
        }
        passes.push_back(h);
    }
    TeamManager* teams = nullptr;
    std::vector<std::uint64_t> passes;
};

// The passes of the first computer turns of a level, inline, with the given seed.
std::vector<std::uint64_t> RecordPasses(const char* name, level_test::DriverSetup setup, int rounds) {
    AIGoal::ResetIdCounter();
    RecordedPassFactory* factory = nullptr;
    ComputerPlayer* computer = nullptr;
    setup.makeComputer = [&](Team& team, Level& level, TeamManager& teams) {
        auto made = std::make_unique<RecordedPassFactory>();
        made->teams = &teams;
        factory = made.get();
        auto ai = std::make_unique<ComputerPlayer>(team, std::make_unique<LevelComputerPorts>(level, teams, false),
                                                   std::move(made));
        computer = ai.get();
        return ai;
    };
    level_test::BattleDriver driver(name, setup);
    EXPECT_TRUE(driver.Loaded());
    if (!driver.Loaded() || factory == nullptr) return {};
    for (int round = 0; round < rounds; ++round) {
        driver.RunUntilIdle();
        while (driver.Current()->GetKind() != 4) {
            driver.EndTurn();
            driver.RunUntilIdle();
        }
        for (int i = 0; i < 20000 && !computer->IsTurnOver(); ++i) driver.Frame(level_test::BattleDriver::kTick);
        driver.EndTurn();
    }
    return factory->passes;
}

// The route searches and lookups the passes make are tuned for speed; these numbers hold the plans they gave
// before, so that such work cannot change a plan unnoticed. A change of the planning rules, the unit tables or
// these levels changes them too: record them again then.
TEST(ComputerBattleTest, WholePassesPlanAsRecorded) {
    EXPECT_EQ(RecordPasses("four_armies", {}, 1), (std::vector<std::uint64_t>{11451322758195786682ull}));
    EXPECT_EQ(RecordPasses("busy", BusyLevel(), 3),
              (std::vector<std::uint64_t>{8013924935167632230ull, 1720902302260428574ull, 11427988191627728500ull}));
}

// The orders a whole computer turn of the four armies gives (the driver's fixed seed), in the order the units
// take them, each as "unit id:order kind@column,row of its target hex" (a route's last hex; -1,-1 without
// one). The unit lookups by hex are tuned for speed; these lists hold what the turn did before, so that such
// work cannot change the game unnoticed. A change of the planning rules or the level changes them too.
std::vector<std::string> FourArmiesTurnOrders(int liveUnits, bool atWar) {
    FourArmiesBattle battle(false, liveUnits);
    EXPECT_TRUE(battle.loaded);
    if (!battle.loaded) return {};
    if (atWar) {
        battle.factory->pass = [&battle](ComputerPlayer& player, CancelToken&) {
            battle.PrepareTurn(player);
            player.RunPlanningPass();
        };
    }
    level_test::BattleDriver& driver = *battle.driver;
    battle.StartComputerTurn();
    EXPECT_EQ(driver.Current()->GetKind(), kTeamEnemy);
    std::vector<std::string> orders;
    std::vector<std::pair<int, int>> seen;
    const auto record = [&] {
        const Team& enemy = battle.Enemy();
        for (int slot = 0; slot < kMaxTeamUnits; ++slot) {
            const Unit* unit = enemy.GetUnit(slot);
            for (int o = 0; unit != nullptr && o < unit->GetOrderCount(); ++o) {
                const UnitOrder* order = unit->GetOrder(o);
                if (order == nullptr) continue;
                const std::pair<int, int> key{unit->GetId(), order->GetId()};
                if (std::find(seen.begin(), seen.end(), key) != seen.end()) continue;
                seen.push_back(key);
                HexCoord hex{-1, -1};
                if (order->Kind() == kOrderFollowPath) {
                    // A route: where it ends.
                    HexList hexes;
                    driver.GetLevel().GetHexMap().PathToHexList(
                        hexes, static_cast<const FollowPathOrder*>(order)->GetRoute());
                    hex = hexes.hexes[static_cast<std::size_t>(hexes.count - 1)];
                } else {
                    order->GetTargetHex(hex);
                }
                orders.push_back(std::to_string(unit->GetId()) + ":" + std::to_string(order->Kind()) + "@" +
                                 std::to_string(hex.column) + "," + std::to_string(hex.row));
            }
        }
    };
    bool over = false;
    for (int i = 0; i < 50000 && !over; ++i) {
        driver.Frame(level_test::BattleDriver::kTick);
        record();
        over = battle.computer->IsTurnOver();
    }
    EXPECT_TRUE(over);
    return orders;
}

TEST(ComputerBattleTest, AWholeFourArmiesTurnGivesTheRecordedOrders) {
    // The whole army (48 units) with the standard pass.
    const std::vector<std::string> full = {
        "147:1@35,26", "186:1@33,37", "169:1@31,35", "177:1@30,34", "185:1@29,35", "178:1@33,32", "179:1@32,36",
        "180:1@32,35", "181:1@36,33", "165:1@33,35", "189:1@37,35", "157:1@40,21", "166:1@40,20", "146:1@33,27",
        "148:1@33,25", "152:1@38,26", "160:1@40,27", "150:1@36,25", "161:1@32,29", "190:1@41,23", "145:1@32,27",
        "149:1@33,28", "151:1@36,27", "174:1@37,28", "182:1@37,33", "167:1@40,30", "175:1@39,33", "183:1@37,36",
        "168:1@38,28", "176:1@41,31", "192:1@40,33", "191:1@38,35", "184:1@43,27", "154:1@34,27", "153:1@31,28",
        "172:1@40,31", "173:1@43,29", "188:1@38,33", "187:1@37,34"};
    EXPECT_EQ(FourArmiesTurnOrders(48, false), full);
    // The side at war (34 units) with what its last turn left: resupply and transport goals, a truck to buy.
    const std::vector<std::string> atWar = {
        "147:1@35,26", "171:1@36,34", "177:1@30,35", "145:1@32,28", "178:1@33,32", "163:1@33,33", "179:1@32,34",
        "164:1@38,29", "165:1@33,35", "167:1@40,31", "176:1@39,30", "168:1@38,32", "157:1@40,21", "166:1@40,20",
        "146:1@33,27", "148:1@33,25", "152:1@38,26", "160:1@40,27", "150:1@36,25", "161:1@32,29", "169:1@33,29",
        "149:1@33,28", "151:1@36,28", "175:1@35,33", "153:1@31,30", "154:1@34,28", "173:1@36,31", "155:1@33,30"};
    EXPECT_EQ(FourArmiesTurnOrders(FourArmiesBattle::kAtWar, true), atWar);
}

// The battle the plan bench times, one inline pass each. Both armies plan structure, front, resupply and
// transport goals, and reserve the APC for the GRUNT. The side at war (34 units) buys the truck wished for
// last turn on the factory's pad, hands it to the tank's resupply goal and wishes another for the fighter; its
// goals then run to the end of the turn, the truck deployed. The full army (48) is at the cap and buys
// nothing: the fighter's goal, the higher score (an aircraft short of fuel), plans first and claims the
// side's own truck, and the tank's goal wishes one.
TEST(ComputerBattleTest, TheFourArmiesPassPlansEveryKindOfGoalAndBuysBelowTheCap) {
    for (const int live : {FourArmiesBattle::kAtWar, 48}) {
        SCOPED_TRACE(live);
        FourArmiesBattle battle(false, live);
        ASSERT_TRUE(battle.loaded);
        EXPECT_EQ(battle.Enemy().CountLiveUnits(), live);
        battle.factory->pass = [&battle](ComputerPlayer& player, CancelToken&) {
            battle.PrepareTurn(player);
            player.RunPlanningPass();
        };
        battle.StartComputerTurn();
        ComputerPlayer& ai = *battle.computer;
        for (int i = 0; i < 100 && ai.GetState() < kAIStateRunGoals; ++i) {
            battle.driver->Frame(level_test::BattleDriver::kTick);
        }
        ASSERT_EQ(ai.GetPassStep(), 16);
        std::vector<int> kinds(kGoalTarget + 1, 0);
        for (int i = 0; i < ai.GetGoalCount(); ++i) ++kinds[static_cast<std::size_t>(ai.GetGoal(i)->GetKind())];
        EXPECT_EQ(kinds[kGoalStructure], 12);  // every structure but the four pads
        EXPECT_GT(kinds[kGoalFront], 0);
        EXPECT_EQ(kinds[kGoalResupply], 2);
        EXPECT_EQ(kinds[kGoalTransport], 1);
        const AIUnitPlanner* grunt = ai.FindUnitPlanner(battle.passengerId);
        ASSERT_NE(grunt, nullptr);
        const AIGoal* transport = ai.FindGoalById(grunt->GetTransportGoalId());
        ASSERT_NE(transport, nullptr);
        const Unit* carrier = battle.Enemy().FindUnitById(transport->GetReservedCarrierId());
        ASSERT_NE(carrier, nullptr);
        EXPECT_EQ(carrier->GetType(), UT_APC);

        Unit* bought = nullptr;
        for (int slot = 0; slot < kMaxTeamUnits; ++slot) {
            Unit* unit = battle.Enemy().GetUnit(slot);
            if (unit != nullptr && unit->GetState() == kUnitNotPlaced) {
                EXPECT_EQ(bought, nullptr) << "a second purchase";
                bought = unit;
            }
        }
        // A truck for one resupply goal, a wish for a truck for the other.
        const AIUnitPlanner* tank = ai.FindUnitPlanner(battle.shortOfAmmoId);
        const AIUnitPlanner* fighter = ai.FindUnitPlanner(battle.shortOfFuelId);
        ASSERT_NE(tank, nullptr);
        ASSERT_NE(fighter, nullptr);
        ASSERT_NE(ai.FindGoalById(tank->GetResupplyGoalId()), nullptr);
        ASSERT_NE(ai.FindGoalById(fighter->GetResupplyGoalId()), nullptr);
        const AIUnitPlanner* served = live == 48 ? fighter : tank;
        const AIUnitPlanner* waiting = live == 48 ? tank : fighter;
        const Unit* truck = battle.FirstOfType(UT_TRUCK);
        ASSERT_NE(truck, nullptr);
        EXPECT_EQ(truck->GetAIGoalId(), served->GetResupplyGoalId());
        bool truckWished = false;
        for (int i = 0; i < ai.GetWishCount(); ++i) {
            truckWished |= ai.GetWish(i).unitType == UT_TRUCK && ai.GetWish(i).goalId == waiting->GetResupplyGoalId();
        }
        EXPECT_TRUE(truckWished);
        if (live == 48) {
            EXPECT_EQ(bought, nullptr);
            continue;
        }
        ASSERT_EQ(bought, truck);
        EXPECT_EQ(truck->GetHexPos(), L(FourArmiesBattle::kPad));

        const int truckId = truck->GetId();
        ASSERT_TRUE(battle.PlayComputerTurn());
        truck = battle.Enemy().FindUnitById(truckId);
        ASSERT_NE(truck, nullptr);
        EXPECT_NE(truck->GetState(), kUnitNotPlaced);
    }
}

}  // namespace
}  // namespace ai_test
