// Whole turns through the battle driver: a four-day campaign, survivor and pass-and-play endings, the
// battle steps' checks, frame-rate independence of the turn start, and a snapshot resumed.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "battle_driver.h"
#include "game/units/unit_tables.h"

namespace level_test {
namespace {

Unit* At(BattleDriver& d, const char* label) { return d.Teams().FindUnitAt(L(label)); }

int CountPlaced(const Team& team) {
    int count = 0;
    for (int i = 0; i < kMaxTeamUnits; ++i) {
        const Unit* u = team.GetUnit(i);
        count += u != nullptr && u->GetState() != kUnitGone;
    }
    return count;
}

// The four-day fixture with the units the map cannot hold: an enemy grunt on blue's factory pad, a damaged
// light tank on the RepairS pad; the tank beside the truck short of fuel and the fighter in the air.
struct FourDays {
    explicit FourDays(std::uint32_t options) : driver("four_days", SetupOf(kGameModeCampaign, options)) {
        EXPECT_TRUE(driver.Loaded());
        Team* blue = driver.Teams().FindTeam(kTeamBlue);
        Team* enemy = driver.Teams().FindTeam(kTeamEnemy);
        squatterId = enemy->SpawnUnit(UT_GRUNT, L("B4"), 0, false, 1.0f);
        padTankId = blue->SpawnUnit(UT_LIGHT_TANK, L("G2"), 0, false, 0.5f);
        Unit* padTank = blue->FindUnitById(padTankId);
        padTank->SetFuel(1.0f);
        At(driver, "F9")->SetFuel(2.0f);
        fighter = At(driver, "E11");
        fighterId = fighter->GetId();
        fighter->SetAirborneFlag(true);
        fuelCapacity = fighter->GetParams().fuelCapacity;
        fighter->SetFuel(fuelCapacity * 0.12f);
    }

    BattleDriver driver;
    int squatterId = 0;
    int padTankId = 0;
    int fighterId = 0;
    Unit* fighter = nullptr;
    float fuelCapacity = 0.0f;
};

struct TurnRecord {
    int cash = 0;
    float padTankHealth = 0.0f;
    float padTankFuel = 0.0f;
    float fighterFuel = -1.0f;  // -1: crashing or gone
    bool squatterGone = false;
};

TEST(BattleDriverTest, FourDayCampaignTurnByTurn) {
    FourDays f(0);
    std::map<int, TurnRecord> blueTurns;
    std::vector<int> enemyCash;
    const int state = f.driver.PlayUntilResult(
        [&](BattleDriver& d) {
            Team* current = d.Current();
            if (current->GetKind() == kTeamEnemy) {
                enemyCash.push_back(current->GetCash());
                return;
            }
            TurnRecord r;
            r.cash = current->GetCash();
            const Unit* tank = current->FindUnitById(f.padTankId);
            r.padTankHealth = tank->GetHealth();
            r.padTankFuel = tank->GetFuel();
            const Unit* fighter = current->FindUnitById(f.fighterId);
            const bool flying = fighter != nullptr && fighter->GetState() != kUnitGone && fighter->GetState() != kUnitDying;
            if (flying) r.fighterFuel = fighter->GetFuel();
            const Unit* squatter = d.Teams().FindUnitById(f.squatterId);
            r.squatterGone = squatter == nullptr || squatter->GetState() == kUnitGone;
            blueTurns[d.Teams().GetDay()] = r;
            // Damage taken during the turn is repaired on the pad at the next turn start.
            if (d.Teams().GetDay() == 2) current->FindUnitById(f.padTankId)->SetHealth(0.3f);
        },
        4);
    EXPECT_EQ(state, kStateSideTurn);
    EXPECT_EQ(f.driver.Teams().GetDay(), 5);
    const float tankFuel = GetUnitParams(UT_LIGHT_TANK).fuelCapacity;
    const float cap = f.fuelCapacity;
    const TurnRecord expected[] = {
        {600, 1.0f, tankFuel, cap * 0.12f, true},
        {700, 1.0f, tankFuel, cap * 0.07f, true},
        {800, 1.0f, tankFuel, cap * 0.02f, true},
        {900, 1.0f, tankFuel, -1.0f, true},
    };
    ASSERT_EQ(blueTurns.size(), 4u);
    for (int day = 1; day <= 4; ++day) {
        const TurnRecord& got = blueTurns[day];
        const TurnRecord& want = expected[day - 1];
        EXPECT_EQ(got.cash, want.cash) << day;
        EXPECT_FLOAT_EQ(got.padTankHealth, want.padTankHealth) << day;
        EXPECT_FLOAT_EQ(got.padTankFuel, want.padTankFuel) << day;
        EXPECT_NEAR(got.fighterFuel, want.fighterFuel, 1e-4f) << day;
        EXPECT_EQ(got.squatterGone, want.squatterGone) << day;
    }
    EXPECT_EQ(enemyCash, (std::vector<int>{700, 700, 700, 700}));
    const Unit* besideTruck = At(f.driver, "F9");
    EXPECT_FLOAT_EQ(besideTruck->GetFuel(), besideTruck->GetParams().fuelCapacity);
    EXPECT_EQ(f.driver.Teams().FindUnitById(f.fighterId), nullptr);
    EXPECT_EQ(f.driver.LevelLog().totalIncome, 500u);  // day 5's turn start included
    EXPECT_EQ(f.driver.EndCondition(), 0);
}

TEST(BattleDriverTest, LosingTheLastPlayerUnitLosesWithNine) {
    BattleDriver d("four_days");
    ASSERT_TRUE(d.Loaded());
    d.RunUntilIdle();
    ASSERT_EQ(d.State(), kStateSideTurn);
    Team* blue = d.Teams().FindTeam(kTeamBlue);
    for (int i = 0; i < kMaxTeamUnits; ++i) {
        if (Unit* u = blue->GetUnit(i)) u->Kill(true, nullptr);
    }
    d.Frame(BattleDriver::kTick);
    EXPECT_EQ(d.State(), kStateLost);
    EXPECT_EQ(d.EndCondition(), WLC_NO_ALLIED_UNITS);
}

TEST(BattleDriverTest, WinBeforeLoseAndNothingWhileBusy) {
    BattleDriver d("four_days", SetupOf(kGameModeCampaign, kOptionUpkeeps));
    ASSERT_TRUE(d.Loaded());
    d.RunUntilIdle();
    Team* blue = d.Teams().FindTeam(kTeamBlue);
    d.GetLevel().GetStructureManager().FindAtHex(L("C10"))->SetOwner(kTeamBlue);
    for (int i = 0; i < kMaxTeamUnits; ++i) {
        if (Unit* u = blue->GetUnit(i)) u->Kill(true, nullptr);
    }
    // A unit waiting on its timer keeps the checks back.
    const int id = blue->SpawnUnit(UT_GRUNT, L("A5"), 0, false, 1.0f);
    blue->FindUnitById(id)->StartWaitTimer();
    d.Frame(BattleDriver::kTick);
    EXPECT_EQ(d.State(), kStateSideTurn);
    blue->FindUnitById(id)->Kill(true, nullptr);
    d.Battle().options |= kOptionInstantMove;
    d.Frame(BattleDriver::kTick);
    EXPECT_EQ(d.State(), kStateWon);
    EXPECT_EQ(d.EndCondition(), WLC_NO_ENEMY_HQ);
}

TEST(BattleDriverTest, ACampaignSideUnableToActLosesWithFourteen) {
    BattleDriver d("four_days");
    ASSERT_TRUE(d.Loaded());
    d.RunUntilIdle();
    Team* blue = d.Teams().FindTeam(kTeamBlue);
    for (int i = 0; i < kMaxTeamUnits; ++i) {
        if (Unit* u = blue->GetUnit(i)) u->Kill(true, nullptr);
    }
    blue->SetCash(0);
    d.GetLevel().GetStructureManager().FindAtHex(L("M2"))->SetOwner(kTeamEnemy);
    d.GetLevel().GetStructureManager().FindAtHex(L("M4"))->SetOwner(kTeamEnemy);
    d.GetLevel().GetStructureManager().FindAtHex(L("C4"))->SetOwner(kTeamEnemy);
    const BattleStepResult r = CheckBetweenTurns(&d.GetLevel(), d.Teams(), kGameModeCampaign);
    EXPECT_EQ(r.outcome, BattleStepResult::kLost);
    EXPECT_EQ(r.endCondition, WLC_UNABLE_TO_TAKE_A_TURN);
    EXPECT_EQ(CheckBetweenTurns(&d.GetLevel(), d.Teams(), kGameModeSkirmish).outcome, BattleStepResult::kNothing);
}

TEST(BattleDriverTest, ASurvivorMissionIsWonAfterItsTurns) {
    BattleDriver d("survivor");
    ASSERT_TRUE(d.Loaded());
    EXPECT_EQ(d.GetLevel().GetMissionMode(), 1);
    EXPECT_EQ(d.PlayUntilResult(nullptr, 10), kStateWon);
    EXPECT_EQ(d.Teams().GetDay(), 3);
}

TEST(BattleDriverTest, ASurvivorWithoutUnitsFailsWithFifteen) {
    BattleDriver d("survivor");
    ASSERT_TRUE(d.Loaded());
    d.RunUntilIdle();
    d.Teams().FindTeam(kTeamBlue)->GetUnit(0)->Kill(true, nullptr);
    d.Frame(BattleDriver::kTick);
    EXPECT_EQ(d.State(), kStateLost);
    EXPECT_EQ(d.EndCondition(), WLC_SURVIVOR_FAIL);
}

TEST(BattleDriverTest, PassAndPlayIsWonOnceTheOtherSideOwnsNoHQ) {
    BattleDriver d("pass_and_play", SetupOf(kGameModePassAndPlay));
    ASSERT_TRUE(d.Loaded());
    int turns = 0;
    const int state = d.PlayUntilResult(
        [&](BattleDriver& driver) {
            ++turns;
            if (driver.Teams().GetDay() == 2 && driver.Current()->GetKind() == kTeamGreen) {
                driver.GetLevel().GetStructureManager().FindAtHex(L("C1"))->SetOwner(kTeamGreen);
            }
        },
        5);
    EXPECT_EQ(state, kStateWon);
    EXPECT_EQ(d.EndCondition(), WLC_NO_ENEMY_HQ);
    EXPECT_EQ(d.Current()->GetKind(), kTeamGreen);
    EXPECT_EQ(turns, 4);
    // Start cash from the match options, then the per-turn bonus of day 2.
    EXPECT_EQ(d.Teams().FindTeam(kTeamBlue)->GetCash(), 1000 + 100);
    EXPECT_EQ(d.Teams().FindTeam(kTeamGreen)->GetCash(), 2000 + 200);
}

TEST(BattleDriverTest, InSkirmishTheBattleTickLeavesTheChecksToTheGame) {
    BattleDriver d("pass_and_play", SetupOf(kGameModeSkirmish));
    ASSERT_TRUE(d.Loaded());
    d.RunUntilIdle();
    TurnStartQueue idle;
    const BattleStepResult r = RunBattleTick(&d.GetLevel(), &d.Teams(), idle, kStateSideTurn);
    EXPECT_EQ(r.outcome, BattleStepResult::kSkirmish);
    EXPECT_EQ(RunBattleTick(nullptr, &d.Teams(), idle, kStateSideTurn).outcome, BattleStepResult::kNothing);
    EXPECT_EQ(RunBattleTick(&d.GetLevel(), &d.Teams(), idle, kStateWon).outcome, BattleStepResult::kNothing);
}

struct TurnStartRun {
    long turnStartTicks;
    int cash;
    std::vector<int> states;
};

TurnStartRun RunFirstTurnStart(std::uint32_t options, double dt) {
    FourDays f(options);
    f.driver.RunUntilIdle(100000, dt);
    TurnStartRun run{f.driver.TicksInState(kStateTurnStart), f.driver.Current()->GetCash(), {}};
    for (int kind : {kTeamBlue, kTeamEnemy}) {
        const Team* team = f.driver.Teams().FindTeam(kind);
        for (int i = 0; i < kMaxTeamUnits; ++i) {
            if (const Unit* u = team->GetUnit(i)) run.states.push_back(u->GetState());
        }
    }
    return run;
}

TEST(BattleDriverTest, TheTurnStartTakesTheSameTicksAtAnyFrameRate) {
    // Two refineries, the squatter, the pad service and the resupply: five steps of 39 ticks, then the end.
    const std::uint32_t animated = kOptionUpkeeps | kOptionInstantMove;
    const TurnStartRun reference = RunFirstTurnStart(animated, 1.0 / 60.0);
    EXPECT_EQ(reference.turnStartTicks, 5 * 39 + 1);
    EXPECT_EQ(reference.cash, 600);
    for (double dt : {1.0 / 30.0, 1.0 / 144.0}) {
        const TurnStartRun run = RunFirstTurnStart(animated, dt);
        EXPECT_EQ(run.turnStartTicks, reference.turnStartTicks) << dt;
        EXPECT_EQ(run.cash, reference.cash) << dt;
        EXPECT_EQ(run.states, reference.states) << dt;
    }
    const TurnStartRun plain = RunFirstTurnStart(0, 1.0 / 60.0);
    EXPECT_EQ(plain.turnStartTicks, 5 + 1);
    EXPECT_EQ(plain.cash, 600);
    EXPECT_EQ(plain.states, reference.states);
}

TEST(BattleDriverTest, ASnapshotResumesTheSameBattle) {
    FourDays f(0);
    f.driver.PlayUntilResult(nullptr, 2);
    ASSERT_EQ(f.driver.Teams().GetDay(), 3);
    const GameSlot slot = f.driver.Snapshot();
    const int cash = f.driver.Current()->GetCash();
    const int units = CountPlaced(*f.driver.Teams().FindTeam(kTeamBlue));
    ASSERT_TRUE(f.driver.Resume(slot));
    EXPECT_EQ(f.driver.State(), kStateSideTurn);
    EXPECT_EQ(f.driver.Teams().GetDay(), 3);
    EXPECT_EQ(f.driver.Current()->GetCash(), cash);
    EXPECT_EQ(CountPlaced(*f.driver.Teams().FindTeam(kTeamBlue)), units);
    EXPECT_NEAR(f.driver.Teams().FindUnitById(f.fighterId)->GetFuel(), f.fuelCapacity * 0.02f, 1e-4f);
    // The resumed battle plays on.
    f.driver.EndTurn();
    f.driver.PlayUntilResult(nullptr, 3);
    EXPECT_EQ(f.driver.Teams().GetDay(), 4);
}

}  // namespace
}  // namespace level_test
