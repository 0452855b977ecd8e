// The start-of-turn queue: which steps a turn start gathers, their order, their effects animated or not,
// the tick count of an animated step, the 100-step cap and the income counter.
#include <gtest/gtest.h>

#include <string>

#include "game/level/battle_steps.h"
#include "game/level/turn_start_queue.h"
#include "game/units/unit_tables.h"
#include "level_fakes.h"

namespace level_test {
namespace {

long CountText(const Level& level, const char* text) {
    const std::vector<std::string> texts = LiveTexts(level);
    return std::count(texts.begin(), texts.end(), text);
}

// Blue: a factory at C4 with its pad B4, a RepairS at H2 with its pad G2, a Radio at K6 and refineries at
// M2, M4 and M6. The enemy: barracks at C10 with its pad B10 and a refinery at H10.
const char* const kBases =
    "structure C4 2 owner 1\nstructure B4 1\nstructure H2 7 owner 1\nstructure G2 1\nstructure K6 9 owner 1\n"
    "structure M2 8 owner 1\nstructure M4 8 owner 1\nstructure M6 8 owner 1\n"
    "structure C10 5 owner 4\nstructure B10 1\nstructure H10 8 owner 4\n";

class QueueTest : public LevelTest {
protected:
    void SetUp() override {
        LevelTest::SetUp();
        LoadLevel(LandSource(14, kBases), nullptr);
        level.SetupTeams(manager);
        blue = manager.FindTeam(kTeamBlue);
        enemy = manager.FindTeam(kTeamEnemy);
        ASSERT_NE(blue, nullptr);
        ASSERT_NE(enemy, nullptr);
        blue->SetCash(0);
        enemy->SetCash(0);
        Turn(kTeamBlue, 1);
    }
    // The turn of the team of that kind on the day.
    void Turn(int kind, int day) {
        for (int slot = 0; slot < kTeamKindCount; ++slot) {
            if (manager.GetTeam(slot) != nullptr && manager.GetTeam(slot)->GetKind() == kind) {
                manager.RestoreTurnOrder(day, day, slot);
            }
        }
    }
    Unit* Spawn(Team* team, int type, const char* label) {
        const int id = team->SpawnUnit(type, L(label), 0, false, 1.0f);
        EXPECT_NE(id, 0) << label;
        return team->FindUnitById(id);
    }
    // Runs the queue to its end through the battle tick; the number of ticks.
    int RunQueue(int limit = 10000) {
        int ticks = 0;
        while (ticks < limit) {
            ++ticks;
            if (RunBattleTick(&level, &manager, queue, kStateTurnStart).outcome == BattleStepResult::kQueueDone) break;
        }
        return ticks;
    }
    std::vector<HexCoord> Order() const {
        std::vector<HexCoord> hexes;
        for (int i = 0; i < queue.GetCount(); ++i) hexes.push_back(queue.GetEvent(i)->GetHex());
        return hexes;
    }
    void Animated(bool on) { battle.options = on ? kOptionUpkeeps : 0u; }

    Team* blue = nullptr;
    Team* enemy = nullptr;
    TurnStartQueue queue;
};

TEST_F(QueueTest, RefineriesPayAPlayerSideInBothModes) {
    for (bool animated : {false, true}) {
        Animated(animated);
        blue->SetCash(0);
        levelServices.effects.clear();
        ASSERT_TRUE(queue.Build(&level, &manager));
        EXPECT_EQ(queue.GetCount(), 3);
        RunQueue();
        EXPECT_EQ(blue->GetCash(), 150) << animated;
        EXPECT_EQ(levelServices.effects.size(), animated ? 3u : 0u);
        EXPECT_EQ(LiveTexts(level).back(), "@X[000]+50");
    }
    EXPECT_EQ(levelServices.totalIncome, 300u);
    EXPECT_EQ(std::count(levelServices.sounds.begin(), levelServices.sounds.end(), 36), 3);
}

TEST_F(QueueTest, TheEnemySeesTheCoinsButGetsNoMoney) {
    Animated(true);
    Turn(kTeamEnemy, 1);
    ASSERT_TRUE(queue.Build(&level, &manager));
    RunQueue();
    EXPECT_EQ(enemy->GetCash(), 0);
    ASSERT_EQ(levelServices.effects.size(), 1u);
    EXPECT_EQ(levelServices.effects[0].first, "Particles/Coins");
    EXPECT_EQ(levelServices.totalIncome, 0u);
    EXPECT_EQ(levelServices.lookAts, std::vector<HexCoord>{L("H10")});
}

TEST_F(QueueTest, PadsServiceTheirSideAndNeighboursResupply) {
    Animated(false);
    Unit* onFactoryPad = Spawn(blue, UT_LIGHT_TANK, "B4");
    Unit* onRepairPad = Spawn(blue, UT_LIGHT_TANK, "G2");
    Unit* truck = Spawn(blue, UT_TRUCK, "F8");
    Unit* besideTruck = Spawn(blue, UT_MED_TANK, "F9");
    Unit* alone = Spawn(blue, UT_MED_TANK, "A12");
    for (Unit* u : {onFactoryPad, onRepairPad, besideTruck, alone}) {
        u->SetHealth(0.5f);
        u->SetFuel(1.0f);
        u->SetMovementLeft(0.0f);
    }
    ASSERT_NE(besideTruck->FindAdjacentSupplier(), nullptr);
    ASSERT_EQ(truck->FindAdjacentSupplier(), nullptr);
    ASSERT_TRUE(queue.Build(&level, &manager));
    EXPECT_EQ(queue.GetCount(), 6);  // three refineries, two pads, one resupply
    RunQueue();
    for (Unit* u : {onFactoryPad, onRepairPad}) {
        EXPECT_FLOAT_EQ(u->GetHealth(), 1.0f);
        EXPECT_FLOAT_EQ(u->GetFuel(), u->GetParams().fuelCapacity);
        EXPECT_FLOAT_EQ(u->GetMovementLeft(), u->GetMoveAllowance());
    }
    EXPECT_FLOAT_EQ(besideTruck->GetHealth(), 0.5f);
    EXPECT_FLOAT_EQ(besideTruck->GetFuel(), besideTruck->GetParams().fuelCapacity);
    EXPECT_FLOAT_EQ(alone->GetFuel(), 1.0f);
    EXPECT_EQ(CountText(level, "@X[002]text REPAIRED"), 2);
    EXPECT_TRUE(levelServices.sounds.empty());
}

TEST_F(QueueTest, AnEnemyOnAFactoryPadDiesAndOnARepairPadStays) {
    Animated(true);
    Unit* onFactoryPad = Spawn(enemy, UT_GRUNT, "B4");
    Unit* onRepairPad = Spawn(enemy, UT_GRUNT, "G2");
    Unit* ownOnEnemyPad = Spawn(blue, UT_GRUNT, "B10");
    ASSERT_TRUE(queue.Build(&level, &manager));
    EXPECT_EQ(queue.GetCount(), 4);
    RunQueue();
    EXPECT_NE(onFactoryPad->GetState(), kUnitIdle);
    EXPECT_EQ(onRepairPad->GetState(), kUnitIdle);
    EXPECT_EQ(ownOnEnemyPad->GetState(), kUnitIdle);
    EXPECT_EQ(CountText(level, "@X[010]text GEN_NOPE"), 1);
    // Not animated the unit is removed at once.
    Animated(false);
    Unit* again = Spawn(enemy, UT_GRUNT, "B4");
    ASSERT_TRUE(queue.Build(&level, &manager));
    RunQueue();
    EXPECT_EQ(again->GetState(), kUnitGone);
}

TEST_F(QueueTest, AirborneAircraftLoseFuelFromDayTwoAndCrashWhenEmpty) {
    Animated(false);
    Unit* fighter = Spawn(blue, UT_FIGHTER, "E8");
    Unit* grounded = Spawn(blue, UT_BOMBER, "E10");
    // A spawned aircraft lifts off; this one is landed.
    grounded->SetAirborneFlag(false);
    fighter->SetAirborneFlag(true);
    const float capacity = fighter->GetParams().fuelCapacity;
    ASSERT_GT(capacity, 0.0f);
    ASSERT_TRUE(queue.Build(&level, &manager));
    EXPECT_EQ(queue.GetCount(), 3);  // day 1: the refineries only
    Turn(kTeamBlue, 2);
    ASSERT_TRUE(queue.Build(&level, &manager));
    EXPECT_EQ(queue.GetCount(), 4);
    RunQueue();
    EXPECT_FLOAT_EQ(fighter->GetFuel(), capacity * 0.95f);
    EXPECT_FLOAT_EQ(grounded->GetFuel(), grounded->GetParams().fuelCapacity);
    EXPECT_EQ(CountText(level, "@X[003]-5%"), 1);
    fighter->SetFuel(capacity * 0.04f);
    ASSERT_TRUE(queue.Build(&level, &manager));
    RunQueue();
    EXPECT_EQ(fighter->GetFuel(), 0.0f);
    EXPECT_NE(fighter->GetState(), kUnitIdle);
}

TEST_F(QueueTest, AnAnimatedCrashWaitsForTheGameToSettle) {
    Animated(true);
    Turn(kTeamBlue, 2);
    Unit* fighter = Spawn(blue, UT_FIGHTER, "E8");
    fighter->SetAirborneFlag(true);
    fighter->SetFuel(0.01f);
    levelServices.zoomActive = true;
    ASSERT_TRUE(queue.Build(&level, &manager));
    const int ticks = RunQueue(400);
    EXPECT_EQ(ticks, 400);  // a zoom that never ends holds the queue
    EXPECT_EQ(fighter->GetFuel(), 0.0f);
    levelServices.zoomActive = false;
    // The aircraft's own ticks run its wait down and end its death; then the queue finishes.
    const int settle = RunQueue(100);
    EXPECT_LT(settle, 100);
    EXPECT_EQ(fighter->GetState(), kUnitGone);
}

TEST_F(QueueTest, StepsRunByColumnThenBottomRowFirst) {
    Animated(false);
    for (const char* label : {"E8", "A8", "J1", "J9", "B12"}) Spawn(blue, UT_LIGHT_TANK, label)->SetHealth(0.5f);
    Spawn(blue, UT_TRUCK, "F8");  // supplies E8 only; the others go without
    Spawn(blue, UT_TRUCK, "B9");
    Spawn(blue, UT_TRUCK, "K1");
    Spawn(blue, UT_TRUCK, "J10");
    Spawn(blue, UT_TRUCK, "A13");
    ASSERT_TRUE(queue.Build(&level, &manager));
    const std::vector<HexCoord> order = Order();
    for (std::size_t i = 1; i < order.size(); ++i) {
        const bool before = order[i - 1].column < order[i].column ||
                            (order[i - 1].column == order[i].column && order[i - 1].row >= order[i].row);
        EXPECT_TRUE(before) << i;
    }
    EXPECT_EQ(order.front(), L("M2"));
}

TEST_F(QueueTest, AnimatedStepsTakeThirtyNineTicksAndPlainOnesOne) {
    Animated(true);
    ASSERT_TRUE(queue.Build(&level, &manager));
    EXPECT_EQ(RunQueue(), 3 * 39 + 1);
    Animated(false);
    ASSERT_TRUE(queue.Build(&level, &manager));
    EXPECT_EQ(RunQueue(), 3 + 1);
}

TEST_F(QueueTest, AStepWhoseUnitDiedEarlierFinishesAtOnce) {
    Animated(true);
    Spawn(blue, UT_TRUCK, "F8");
    Unit* besideTruck = Spawn(blue, UT_MED_TANK, "F9");
    besideTruck->SetFuel(1.0f);
    ASSERT_TRUE(queue.Build(&level, &manager));
    ASSERT_EQ(queue.GetCount(), 4);
    // Killed by an earlier step (a passenger goes with its carrier): its own step does nothing.
    besideTruck->Kill(true, nullptr);
    const int ticks = RunQueue();
    EXPECT_EQ(ticks, 3 * 39 + 1 + 1);
    EXPECT_EQ(LiveTexts(level).size(), 3u);
    EXPECT_EQ(levelServices.lookAts.size(), 3u);
    EXPECT_EQ(services.lookAts, 0);
}

TEST_F(QueueTest, StepsOnOneHexKeepTheirBuildOrder) {
    Animated(false);
    Spawn(blue, UT_TRUCK, "F8");
    Unit* apc = Spawn(blue, UT_APC, "F9");
    Unit* rider = Spawn(blue, UT_GRENADIER, "F9");
    ASSERT_TRUE(apc->LinkPassenger(*rider));
    for (Unit* u : {apc, rider}) {
        u->SetHealth(0.5f);
        u->SetFuel(0.0f);
        u->SetAmmo(0);
    }
    ASSERT_TRUE(queue.Build(&level, &manager));
    std::vector<const Unit*> subjects;
    for (int i = 0; i < queue.GetCount(); ++i) {
        if (const auto* step = dynamic_cast<const UnitTurnStartEvent*>(queue.GetEvent(i))) {
            subjects.push_back(&step->GetUnit());
        }
    }
    EXPECT_EQ(subjects, (std::vector<const Unit*>{apc, rider}));
}

using QueueCapTest = LevelTest;

TEST_F(QueueCapTest, TheQueueHoldsAHundredStepsStillSorted) {
    // 60 refineries and 48 airborne fighters on day 2 are more than the cap.
    std::string source;
    for (int i = 0; i < 60; ++i) source += "structure " + FormatHexLabel(MakeHexCoord(i % 12, i / 12)) + " 8 owner 1\n";
    LoadLevel(LandSource(14, source), nullptr);
    level.SetupTeams(manager);
    Team* blue = manager.FindTeam(kTeamBlue);
    for (int i = 0; i < kMaxTeamUnits; ++i) {
        const int id = blue->SpawnUnit(UT_FIGHTER, MakeHexCoord(i % 12, 6 + i / 12), 0, false, 1.0f);
        ASSERT_NE(id, 0);
        blue->FindUnitById(id)->SetAirborneFlag(true);
    }
    manager.RestoreTurnOrder(2, 2, manager.GetTeam(0) == blue ? 0 : 1);
    ASSERT_EQ(manager.GetCurrentTeam(), blue);
    TurnStartQueue queue;
    ASSERT_TRUE(queue.Build(&level, &manager));
    ASSERT_EQ(queue.GetCount(), kMaxTurnStartEvents);
    int fuelSteps = 0;
    for (int i = 0; i < queue.GetCount(); ++i) {
        fuelSteps += dynamic_cast<const FuelLossEvent*>(queue.GetEvent(i)) != nullptr;
        if (i == 0) continue;
        const HexCoord a = queue.GetEvent(i - 1)->GetHex();
        const HexCoord b = queue.GetEvent(i)->GetHex();
        EXPECT_TRUE(a.column < b.column || (a.column == b.column && a.row > b.row)) << i;
    }
    EXPECT_EQ(fuelSteps, 40);
    EXPECT_EQ(queue.GetIndex(), 0);
}

TEST_F(QueueTest, TheMillionthCoinEarnsTheAchievementOnce) {
    Animated(false);
    struct Case {
        std::uint32_t before;
        int mode;
        bool unlocks;
    };
    const Case cases[] = {
        {999950u, kGameModeCampaign, true},
        {1000000u, kGameModeCampaign, false},
        {999949u - 100u, kGameModeCampaign, false},
        {999950u, kGameModePassAndPlay, false},
        {0xFFFFFFF0u, kGameModeCampaign, false},
    };
    for (const Case& c : cases) {
        battle.achievements.clear();
        battle.gameMode = c.mode;
        levelServices.totalIncome = c.before;
        TurnStartContext context{level, manager, false};
        PayRefineryIncome(context, kTeamBlue);
        EXPECT_EQ(std::count(battle.achievements.begin(), battle.achievements.end(), 14), c.unlocks ? 1 : 0)
            << c.before << " " << c.mode;
        EXPECT_EQ(levelServices.totalIncome, c.mode == kGameModePassAndPlay ? c.before : c.before + 50u);
    }
}

TEST_F(QueueTest, NothingToBuildWithoutALevelOrATurn) {
    EXPECT_FALSE(queue.Build(nullptr, &manager));
    EXPECT_FALSE(queue.Build(&level, nullptr));
    manager.RestoreTurnOrder(1, 1, -1);
    EXPECT_FALSE(queue.Build(&level, &manager));
    EXPECT_TRUE(queue.Step());
}

}  // namespace
}  // namespace level_test
