// Buying wishes on the side's pads, handing the bought units to their goals, the front goals on the enemy
// hot spots and the value of the enemies near a hex, on levels written by the tests.
#include <gtest/gtest.h>

#include "computer_battle.h"
#include "game/ai/front_goal.h"
#include "game/ai/resupply_goal.h"
#include "game/ai/structure_goal.h"
#include "game/ai/transport_goal.h"
#include "game/ai/unit_goals.h"
#include "game/ai/map_scan.h"
#include "game/battle/structure.h"
#include "game/battle/structure_manager.h"

namespace ai_test {
namespace {

using level_test::L;
using level_test::LandSource;

const std::string kMission =
    "[WIN]\nWLC_NO_ENEMY_HQ\n[ENDWIN]\n[LOSE]\nWLC_NO_ALLIED_UNITS\n[ENDLOSE]\n"
    "[UNLOCK]\nUT_LIGHT_TANK\nUT_TROOPER\nUT_TRUCK\nUT_APC\nUT_SKYHOOK\n[ENDUNLOCK]\n";

// Two enemy factories with a pad each (pads at D6 and L6), a barracks with its pad at H12, the enemy HQ, a
// blue trooper far away.
const char* kBases =
    "structure C4 2 owner 4\nstructure D6 1\nstructure K4 2 owner 4\nstructure L6 1\n"
    "structure G10 5 owner 4\nstructure H12 1\nstructure O14 6 owner 4\nunit A1 1 owner 1\n";

class BuyingTest : public PlanLevelTest {
protected:
    void Load(const std::string& extra) { PlanLevelTest::Load(LandSource(16, kBases + extra), kMission); }
};

TEST_F(BuyingTest, AWishWhosePadIsTakenStaysUntilPruning) {
    Load("");
    for (const char* pad : {"D6", "L6"}) ASSERT_NE(Enemy().SpawnUnit(UT_LIGHT_TANK, L(pad), 0, false, 1.0f), 0);
    ai->AddBuildWishAnywhere(UT_LIGHT_TANK, 1.0f, 0);
    EXPECT_FALSE(ai->BuyNextWish());
    EXPECT_EQ(ai->GetWishCount(), 1);
    EXPECT_EQ(ai->GetBoughtCount(), 0);
    ai->PruneWishes();
    EXPECT_EQ(ai->GetWishCount(), 0);
}

TEST_F(BuyingTest, TheSecondWishForOnePadPaysAHundredAndMayGoToTheOtherFactory) {
    Load("");
    // F8 is nearer the pad at D6 than the pad at L6, by less than 100.
    ai->AddBuildWish(UT_LIGHT_TANK, 2.0f, 0, L("F8"));
    ai->AddBuildWish(UT_TROOPER, 5.0f, 0, L("F8"));  // bought first: the highest priority
    ai->AddBuildWish(UT_LIGHT_TANK, 1.0f, 0, L("F8"));
    ASSERT_TRUE(ai->BuyNextWish());
    EXPECT_EQ(ai->GetBought(0).pad, L("H12"));  // a trooper comes from the barracks
    ASSERT_TRUE(ai->BuyNextWish());
    ASSERT_TRUE(ai->BuyNextWish());
    ASSERT_EQ(ai->GetBoughtCount(), 3);
    EXPECT_EQ(ai->GetBought(1).pad, L("D6"));
    EXPECT_EQ(ai->GetBought(2).pad, L("L6"));
    EXPECT_EQ(ai->GetFunds(), 10000 - 100 - 125 - 125);
    const Unit* tank = Enemy().FindUnitById(ai->GetBought(1).unitId);
    ASSERT_NE(tank, nullptr);
    EXPECT_EQ(tank->GetState(), kUnitNotPlaced);
    EXPECT_EQ(tank->GetHexPos(), L("D6"));
    EXPECT_NE(ai->FindUnitPlanner(tank->GetId()), nullptr);
    EXPECT_EQ(Enemy().GetCash(), 700);  // paid when deployed
}

TEST_F(BuyingTest, EngineersStopAtTwoATurnAndUnaffordableWishesWait) {
    Load("");
    for (int i = 0; i < 3; ++i) ai->AddBuildWishAnywhere(UT_ENGINEER, 3.0f, 0);
    ai->AddBuildWishAnywhere(UT_LIGHT_TANK, 2.0f, 0);
    ai->SetFunds(75 * 2 + 100);
    int bought = 0;
    while (ai->BuyNextWish()) ++bought;
    EXPECT_EQ(bought, 2);
    EXPECT_EQ(ai->GetEngineersBought(), 2);
    ASSERT_EQ(ai->GetWishCount(), 2);
    EXPECT_EQ(ai->GetWish(0).unitType, UT_ENGINEER);
    EXPECT_EQ(ai->GetWish(1).unitType, UT_LIGHT_TANK);  // 125 > 100
}

TEST_F(BuyingTest, ThirtySixLiveUnitsBuyNothingAndAFullTeamStillUsesUpTheWish) {
    Load("");
    for (int i = 0; i < 36; ++i) ASSERT_NE(Enemy().SpawnUnit(UT_GRUNT, MakeHexCoord(i % 12 + 2, i / 12 + 1), 0, false, 1.0f), 0);
    ai->AddBuildWishAnywhere(UT_LIGHT_TANK, 1.0f, 0);
    EXPECT_FALSE(ai->BuyNextWish());
    EXPECT_EQ(ai->GetWishCount(), 1);
    // 35 live units and 13 waiting to be placed fill the 48 slots: the wish is used up without a unit.
    Enemy().GetUnit(35)->Kill(true, nullptr);
    Enemy().RemoveGoneUnits();
    for (int i = 0; i < 13; ++i) ASSERT_NE(Enemy().CreateUnplacedUnit(UT_GRUNT, L("A3")), 0);
    ASSERT_FALSE(Enemy().HasFreeUnitSlot());
    EXPECT_TRUE(ai->BuyNextWish());
    EXPECT_EQ(ai->GetWishCount(), 0);
    EXPECT_EQ(ai->GetBoughtCount(), 0);
}

TEST_F(BuyingTest, BoughtUnitsGoToTheGoalsThatWishedForThem) {
    Load("unit N2 1 owner 4\n");
    Team& enemy = Enemy();
    const Unit* passenger = enemy.FindUnitAt(L("N2"));
    auto structureGoal = std::make_unique<AIStructureGoal>(*ai, 4, *StructureAt("C4"));
    auto resupply = std::make_unique<AIResupplyGoal>(*ai, *passenger);
    auto transport = std::make_unique<AITransportGoal>(*ai, *passenger, L("A8"));
    auto front = std::make_unique<AIFrontGoal>(*ai, 4, 1.0f, L("A1"));
    AIStructureGoal* s = structureGoal.get();
    AIResupplyGoal* r = resupply.get();
    AITransportGoal* t = transport.get();
    AIFrontGoal* f = front.get();
    ai->AddGoal(std::move(structureGoal));
    ai->AddGoal(std::move(resupply));
    ai->AddGoal(std::move(transport));
    ai->AddGoal(std::move(front));
    const int types[] = {UT_ENGINEER, UT_TRUCK, UT_APC, UT_LIGHT_TANK, UT_LIGHT_TANK};
    const int goals[] = {s->GetId(), r->GetId(), t->GetId(), f->GetId(), 0};
    int ids[5];
    for (int i = 0; i < 5; ++i) {
        ids[i] = enemy.CreateUnplacedUnit(types[i], L("D6"));
        ASSERT_TRUE(ai->AddBoughtUnit({L("D6"), ids[i], goals[i]}));
    }
    ai->HandOverBoughtUnits();
    EXPECT_EQ(s->GetEngineerId(), ids[0]);
    EXPECT_EQ(r->GetSupplierId(), ids[1]);
    EXPECT_EQ(t->GetCarrierId(), ids[2]);
    EXPECT_TRUE(f->HoldsUnit(ids[3]));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(enemy.FindUnitById(ids[i])->GetAIGoalId(), goals[i]) << i;
    // The unit without a goal gets a target goal on its pad.
    ASSERT_EQ(ai->GetGoalCount(), 5);
    const auto* target = dynamic_cast<const AITargetGoal*>(ai->GetGoal(4));
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(target->GetUnitId(), ids[4]);
}

TEST_F(BuyingTest, EnemyValueNearAHexCountsGeneralsEngineersAndPassengers) {
    Load("unit H4 22 owner 1\nunit H5 2 owner 1\nunit I4 3 owner 1\nunit G5 8 owner 1\nunit G4 4 owner 4\n"
         "unit M12 22 owner 1\n");
    Team& blue = battle->Blue();
    Unit* apc = blue.FindUnitAt(L("G5"));
    const int rider = blue.SpawnUnit(UT_ENGINEER, L("A5"), 0, false, 1.0f);
    ASSERT_TRUE(apc->LinkPassenger(*blue.FindUnitById(rider)));
    // GENERAL 900, ENGINEER 500, tank 10, APC 10 with its engineer 500; the own tank and the far general not.
    EXPECT_EQ(ai->ScoreEnemiesNear(L("H4")), 900 + 500 + 10 + 10 + 500);
    apc->UnlinkPassenger();
    EXPECT_EQ(ai->ScoreEnemiesNear(L("H4")), 900 + 500 + 10 + 10);
}

TEST_F(BuyingTest, FrontGoalsGoToEnemyClustersThatNoFrontGoalCovers) {
    Load("unit C10 3 owner 1\nunit C11 3 owner 1\nunit M1 3 owner 1\nunit H8 3 owner 4\nunit I8 3 owner 4\n");
    RebuildTileScratch(ai->PlanMap(), battle->driver->Teams(), 4, ai);
    ai->MakeFrontGoals();
    ASSERT_EQ(ai->GetGoalCount(), 3);  // the clusters at C10-C11, M1 and the trooper at A1
    std::vector<HexCoord> centres;
    for (int i = 0; i < ai->GetGoalCount(); ++i) {
        ASSERT_EQ(ai->GetGoal(i)->GetKind(), kGoalFront);
        centres.push_back(static_cast<AIFrontGoal*>(ai->GetGoal(i))->GetCentre());
    }
    // Again: every cluster is within 3 of a front goal already.
    RebuildTileScratch(ai->PlanMap(), battle->driver->Teams(), 4, ai);
    ai->MakeFrontGoals();
    EXPECT_EQ(ai->GetGoalCount(), 3);
    // With fewer own hot spots than front goals nothing is made.
    ai->ClearGoals();
    for (int i = 0; i < 3; ++i) ai->AddGoal(std::make_unique<AIFrontGoal>(*ai, 4, 1.0f, L("P15")));
    RebuildTileScratch(ai->PlanMap(), battle->driver->Teams(), 4, ai);
    ai->MakeFrontGoals();
    EXPECT_EQ(ai->GetGoalCount(), 3);
}

}  // namespace
}  // namespace ai_test
