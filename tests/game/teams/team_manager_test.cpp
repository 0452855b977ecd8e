// Turn order by scripted sequences, the day and the bonus, the undo of the last move, and units created on
// a second thread while the main thread spawns into the same team.
#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

#include "team_fakes.h"

namespace teams_test {
namespace {

using TeamManagerTest = TeamsTest;

struct Step {
    bool nobody;    // AdvanceTurn's result
    int kind;       // kind of the current team afterwards
    int day;
    int blueCash;
};

void Play(TeamManager& manager, const std::vector<Step>& steps) {
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& s = steps[i];
        EXPECT_EQ(manager.AdvanceTurn(), s.nobody) << "step " << i;
        ASSERT_NE(manager.GetCurrentTeam(), nullptr) << "step " << i;
        EXPECT_EQ(manager.GetCurrentTeam()->GetKind(), s.kind) << "step " << i;
        EXPECT_EQ(manager.GetDay(), s.day) << "step " << i;
        if (Team* blue = manager.FindTeam(kTeamBlue)) {
            EXPECT_EQ(blue->GetCash(), s.blueCash) << "step " << i;
        }
    }
}

TEST_F(TeamManagerTest, NeutralBlueEnemyInSkirmish) {
    battle.gameMode = kGameModeSkirmish;
    Team* neutral = manager.GetOrCreateTeam(kTeamNeutral);
    manager.GetOrCreateTeam(kTeamBlue);
    Team* enemy = manager.GetOrCreateTeam(kTeamEnemy);
    RecordingAIPlayer* ai = services.lastAI;
    // Blue has nothing on day 1 and still plays; the enemy always plays.
    Play(manager, {{false, kTeamBlue, 1, 0}, {false, kTeamEnemy, 1, 0}});
    EXPECT_EQ(ai->turnStarts, 1);
    EXPECT_EQ(services.turnButtonStarts, 2);  // neutral, then blue
    // Day 2: neutral is started, blue cannot act and is skipped, the enemy takes the turn.
    Play(manager, {{false, kTeamEnemy, 2, 0}});
    EXPECT_EQ(services.turnButtonStarts, 3);
    // With a live unit blue plays again and gets the bonus.
    ASSERT_NE(manager.FindTeam(kTeamBlue)->SpawnUnit(UT_GRUNT, H(1, 1), 0, false, 1.0f), 0);
    Play(manager, {{false, kTeamBlue, 3, 100}, {false, kTeamEnemy, 3, 100}, {false, kTeamBlue, 4, 200}});
    EXPECT_EQ(manager.FindOtherTeam(enemy)->GetKind(), kTeamBlue);
    EXPECT_NE(manager.FindOtherTeam(manager.FindTeam(kTeamBlue)), neutral);
    EXPECT_EQ(enemy->GetCash(), 0);  // never a bonus for the enemy
}

TEST_F(TeamManagerTest, FourSidesBonusByModeAndKind) {
    for (int mode : {kGameModeCampaign, kGameModePassAndPlay, kGameModeSkirmish}) {
        manager.Init();
        battle.gameMode = mode;
        for (int kind : {kTeamBlue, kTeamGreen, kTeamYellow, kTeamEnemy}) {
            Team* team = manager.GetOrCreateTeam(kind);
            ASSERT_NE(team->SpawnUnit(UT_GRUNT, H(kind, 1), 0, false, 1.0f), 0);
        }
        const int bonus = mode == kGameModeCampaign ? 0 : 100;
        Play(manager, {{false, kTeamBlue, 1, 0},
                       {false, kTeamGreen, 1, 0},
                       {false, kTeamYellow, 1, 0},
                       {false, kTeamEnemy, 1, 0},
                       {false, kTeamBlue, 2, bonus},
                       {false, kTeamGreen, 2, bonus}});
        EXPECT_EQ(manager.FindTeam(kTeamGreen)->GetCash(), mode == kGameModeCampaign ? 0 : 200) << mode;
        EXPECT_EQ(manager.FindTeam(kTeamYellow)->GetCash(), 0);
    }
}

TEST_F(TeamManagerTest, EverybodySkippedGivesOne) {
    battle.gameMode = kGameModePassAndPlay;
    manager.GetOrCreateTeam(kTeamBlue);
    manager.GetOrCreateTeam(kTeamGreen);
    Play(manager, {{false, kTeamBlue, 1, 0}, {false, kTeamGreen, 1, 0}});
    // Day 2: neither side can act.
    EXPECT_TRUE(manager.AdvanceTurn());
    EXPECT_EQ(manager.GetDay(), 2);
    EXPECT_EQ(manager.GetCurrentTeam()->GetKind(), kTeamGreen);
    EXPECT_EQ(manager.FindTeam(kTeamBlue)->GetCash(), 0);
    // A running script lets them act.
    services.scriptRunning = true;
    EXPECT_FALSE(manager.AdvanceTurn());
    EXPECT_EQ(manager.GetCurrentTeam()->GetKind(), kTeamBlue);
    EXPECT_EQ(manager.GetDay(), 3);
}

TEST_F(TeamManagerTest, IsNewDayOncePerDay) {
    manager.GetOrCreateTeam(kTeamEnemy);
    int day = 0;
    EXPECT_TRUE(manager.IsNewDay(day));
    EXPECT_EQ(day, 1);
    EXPECT_FALSE(manager.IsNewDay(day));
    manager.AdvanceTurn();
    EXPECT_FALSE(manager.IsNewDay(day));
    manager.AdvanceTurn();
    EXPECT_TRUE(manager.IsNewDay(day));
    EXPECT_EQ(day, 2);
    EXPECT_FALSE(manager.IsNewDay(day));
}

TEST_F(TeamManagerTest, UndoRestoresTheMoveAndSuppliesOnce) {
    Team* blue = manager.GetOrCreateTeam(kTeamBlue);
    manager.AdvanceTurn();
    Unit* tank = manager.FindUnitById(blue->SpawnUnit(UT_MED_TANK, H(2, 2), 1, false, 1.0f));
    Unit* other = manager.FindUnitById(blue->SpawnUnit(UT_APC, H(4, 4), 1, false, 1.0f));
    ASSERT_NE(tank, nullptr);
    const UnitMoveState before = tank->GetMoveState();
    const int otherAmmo = other->GetAmmo();

    manager.SaveUndo(tank);
    EXPECT_TRUE(manager.CanUndo());
    // What a move changes.
    tank->PlaceOnHex(H(3, 2));
    tank->SetFacing(4);
    tank->SetMovementLeft(0.0f);
    tank->SetFuel(before.fuel - 3.0f);
    tank->SetAmmo(0);
    tank->SetHealth(0.4f);
    other->SetAmmo(0);

    manager.Undo();
    EXPECT_FALSE(manager.CanUndo());
    EXPECT_EQ(tank->GetHexPos(), H(2, 2));
    EXPECT_EQ(tank->GetFacing(), before.facing);
    EXPECT_EQ(tank->GetMovementLeft(), before.movementLeft);
    EXPECT_EQ(tank->GetFuel(), before.fuel);
    EXPECT_EQ(tank->GetAmmo(), before.ammo);
    EXPECT_EQ(tank->GetHealth(), 1.0f);
    EXPECT_EQ(tank->GetWorldPos().x, before.position.x);
    EXPECT_EQ(other->GetAmmo(), otherAmmo);
    EXPECT_EQ(services.selectionClears, 1);

    // A second undo does nothing.
    tank->PlaceOnHex(H(3, 2));
    other->SetAmmo(0);
    manager.Undo();
    EXPECT_EQ(tank->GetHexPos(), H(3, 2));
    EXPECT_EQ(other->GetAmmo(), 0);
    EXPECT_EQ(services.selectionClears, 1);

    // The turn advance and a null save clear the record.
    manager.SaveUndo(tank);
    manager.SaveUndo(nullptr);
    EXPECT_FALSE(manager.CanUndo());
    manager.SaveUndo(tank);
    manager.AdvanceTurn();
    EXPECT_FALSE(manager.CanUndo());
}

TEST_F(TeamManagerTest, BusyAndDestroyStopsThePlannerFirst) {
    manager.GetOrCreateTeam(kTeamBlue);
    manager.GetOrCreateTeam(kTeamEnemy);
    EXPECT_FALSE(manager.IsBusy());
    services.projectileBusy = true;
    EXPECT_TRUE(manager.IsBusy());
    services.projectileBusy = false;
    manager.Destroy();
    EXPECT_EQ(manager.FindTeam(kTeamEnemy), nullptr);
    EXPECT_EQ(services.planningStops, 1);
}

TEST_F(TeamManagerTest, AggregatesAndTheComputerDriver) {
    Team* neutral = manager.GetOrCreateTeam(kTeamNeutral);
    Team* blue = manager.GetOrCreateTeam(kTeamBlue);
    Team* green = manager.GetOrCreateTeam(kTeamGreen);
    manager.GetOrCreateTeam(kTeamEnemy);
    RecordingAIPlayer* ai = services.lastAI;
    EXPECT_EQ(manager.GetOrCreateTeam(kTeamBlue), blue);
    EXPECT_EQ(manager.FindFreeSlot(), 4);
    neutral->AddCash(1000);
    blue->AddCash(30);
    green->AddCash(12);
    EXPECT_EQ(manager.GetPlayerCash(), 42);
    EXPECT_EQ(manager.CountPlayerTeams(), 2);
    EXPECT_FALSE(manager.AnyPlayerCanTakeTurn());
    ASSERT_NE(green->SpawnUnit(UT_GRUNT, H(1, 1), 0, false, 1.0f), 0);
    EXPECT_TRUE(manager.AnyPlayerCanTakeTurn());
    EXPECT_EQ(manager.CountPlayerLiveUnits(), 1);

    // The computer player is driven only while a side acts and the announcer is gone.
    manager.Update();
    EXPECT_EQ(ai->updates, 1);
    services.sideActing = false;
    manager.Update();
    EXPECT_EQ(ai->updates, 1);
}

TEST_F(TeamManagerTest, UnplacedUnitsOnAWorkerNeverShareSlotsOrIds) {
    Team* enemy = manager.GetOrCreateTeam(kTeamEnemy);
    std::vector<int> workerIds;
    std::thread worker([&] {
        for (int i = 0; i < 24; ++i) workerIds.push_back(enemy->CreateUnplacedUnit(UT_GRUNT, H(1, 1)));
    });
    std::vector<int> mainIds;
    for (int i = 0; i < 24; ++i) mainIds.push_back(enemy->SpawnUnit(UT_GRUNT, H(i % 12, 2 + i / 12), 0, false, 1.0f));
    worker.join();

    std::set<int> ids;
    for (int id : workerIds) ids.insert(id);
    for (int id : mainIds) ids.insert(id);
    EXPECT_EQ(ids.size(), 48u);
    EXPECT_EQ(ids.count(0), 0u);
    std::set<const Unit*> slots;
    for (int slot = 0; slot < kMaxTeamUnits; ++slot) slots.insert(enemy->GetUnit(slot));
    EXPECT_EQ(slots.size(), 48u);
    EXPECT_EQ(slots.count(nullptr), 0u);
}

}  // namespace
}  // namespace teams_test
