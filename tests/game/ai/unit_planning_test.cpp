// The computer player's work on single units: attack choice, attack from here, free move, landing and the
// commit of pending orders; the unit and target goals.
#include <gtest/gtest.h>

#include "ai_fakes.h"
#include "game/ai/unit_goals.h"
#include "game/units/move_orders.h"
#include "game/units/unit_combat.h"

namespace ai_test {
namespace {

class UnitPlanningTest : public ComputerTest {
protected:
    // A unit with its turn's movement.
    Unit* Enemy(int type, HexCoord hex) {
        Unit* unit = enemy->FindUnitById(enemy->SpawnUnit(type, hex, 0, false, 1.0f));
        unit->StartTurn();
        return unit;
    }
    Unit* Blue(int type, HexCoord hex, float health = 1.0f) {
        return blue->FindUnitById(blue->SpawnUnit(type, hex, 0, false, health));
    }
    AIUnitPlanner& PlannerOf(const Unit* unit) { return *ai->FindUnitPlanner(unit->GetId()); }
    // The plan's map copies the level's tiles as the test set them.
    void FreshPlanMap() { ai->RefreshPlanMap(); }
};

TEST_F(UnitPlanningTest, ATargetPlannedToDieIsNeverChosenAgain) {
    Unit* tank = Enemy(UT_MED_TANK, H(5, 5));
    Unit* trooper = Blue(UT_TROOPER, H(5, 4));
    float score = 0.0f;
    ASSERT_EQ(ai->ChooseAttackTarget(PlannerOf(tank), score, nullptr), trooper);
    EXPECT_GT(score, 0.0f);
    ai->AddPlannedDamage(trooper->GetId(), 1.0f);
    EXPECT_EQ(ai->ChooseAttackTarget(PlannerOf(tank), score, nullptr), nullptr);
    EXPECT_EQ(score, 0.0f);
}

TEST_F(UnitPlanningTest, ACarrierWithAGeneralEndsTheScanWithScore100) {
    Unit* tank = Enemy(UT_MED_TANK, H(5, 5));
    Blue(UT_TROOPER, H(4, 4));
    Unit* apc = Blue(UT_APC, H(6, 5));
    Unit* general = Blue(UT_GENERAL, H(9, 9));
    ASSERT_TRUE(apc->LinkPassenger(*general));
    float score = 0.0f;
    EXPECT_EQ(ai->ChooseAttackTarget(PlannerOf(tank), score, nullptr), apc);
    EXPECT_EQ(score, 100.0f);
}

TEST_F(UnitPlanningTest, EqualScoresKeepTheEarlierHexAndTheUnitIsNeverMoved) {
    Unit* tank = Enemy(UT_MED_TANK, H(5, 5));
    Unit* first = Blue(UT_TROOPER, H(5, 4));
    Unit* second = Blue(UT_TROOPER, H(5, 6));
    float score = 0.0f;
    EXPECT_EQ(ai->ChooseAttackTarget(PlannerOf(tank), score, nullptr), first);
    // From a hypothetical hex two steps on, only the second is in reach of a one-step weapon or both are.
    const HexCoord there = H(5, 7);
    Unit* chosen = ai->ChooseAttackTarget(PlannerOf(tank), score, &there);
    EXPECT_EQ(chosen, second);
    EXPECT_EQ(tank->GetHexPos(), H(5, 5));
    EXPECT_FALSE(tank->IsAirborne());
    EXPECT_FALSE(first->IsTargetMarked());
    EXPECT_FALSE(second->IsTargetMarked());
}

TEST_F(UnitPlanningTest, ALandedAircraftIsJudgedAirborneAndStaysLanded) {
    Unit* fighter = Enemy(UT_FIGHTER, H(5, 5));
    fighter->SetAirborneFlag(false);
    Unit* bomberTarget = Blue(UT_BOMBER, H(5, 4));
    bomberTarget->SetAirborneFlag(true);
    const UnitStance air{fighter->GetHexPos(), true};
    float score = 0.0f;
    Unit* chosen = ai->ChooseAttackTarget(PlannerOf(fighter), score, nullptr);
    EXPECT_EQ(chosen != nullptr, CanAttack(*fighter, air, *bomberTarget, bomberTarget->GetStance()));
    EXPECT_FALSE(fighter->IsAirborne());
}

TEST_F(UnitPlanningTest, AttackFromHerePendsTheAttackAndPlansItsDamage) {
    Unit* tank = Enemy(UT_MED_TANK, H(5, 5));
    Unit* trooper = Blue(UT_TROOPER, H(5, 4));
    AIUnitPlanner& planner = PlannerOf(tank);
    const float expected = trooper->EstimateDamageFrom(*tank, 0.0f);
    ASSERT_TRUE(ai->AttackFromHere(planner));
    ASSERT_EQ(planner.GetPendingCount(), 1);
    EXPECT_EQ(planner.GetPendingOrder(0)->Kind(), kOrderAttack);
    EXPECT_FLOAT_EQ(ai->GetPlannedDamage(trooper->GetId()), expected);
}

TEST_F(UnitPlanningTest, CommittingNothingReturnsFalseWithoutACameraCall) {
    Unit* tank = Enemy(UT_MED_TANK, H(5, 5));
    EXPECT_FALSE(ai->CommitOrders(PlannerOf(tank)));
    EXPECT_TRUE(ports.camera.empty());
}

TEST_F(UnitPlanningTest, CommitMarksTheRouteAndFollowsAMovingUnit) {
    Unit* tank = Enemy(UT_MED_TANK, H(5, 5));
    AIUnitPlanner& planner = PlannerOf(tank);
    HexPath route;
    ASSERT_TRUE(ports.map->FindRoute(H(5, 5), H(5, 7), route, UT_MED_TANK, 2, false));
    planner.AddPendingOrder(std::make_unique<FollowPathOrder>(route));
    ASSERT_TRUE(ai->CommitOrders(planner));
    EXPECT_EQ(planner.GetPendingCount(), 0);
    EXPECT_NE(ports.map->GetMarkBits(H(5, 6)) & 0x10, 0);
    EXPECT_NE(ports.map->GetMarkBits(H(5, 7)) & 0x10, 0);
    ASSERT_EQ(ports.camera.size(), 1u);
    EXPECT_EQ(ports.camera[0], std::make_pair(2, tank->GetId()));
    EXPECT_TRUE(tank->IsBusy());
    // An attack alone: the camera looks at the unit.
    Unit* other = Enemy(UT_MED_TANK, H(8, 8));
    PlannerOf(other).AddPendingOrder(std::make_unique<AttackOrder>(tank->GetId(), false));
    ASSERT_TRUE(ai->CommitOrders(PlannerOf(other)));
    EXPECT_EQ(ports.camera.back(), std::make_pair(1, other->GetId()));
}

TEST_F(UnitPlanningTest, AnAircraftLandsWhereTanksAreLessThreatenedThanItself) {
    struct Case {
        int tankThreat;
        int ownThreat;
        bool lands;
    };
    const Case cases[] = {{50, 80, true}, {120, 150, false}, {80, 50, false}, {0, 0, false}};
    Unit* fighter = Enemy(UT_FIGHTER, H(5, 5));
    for (const Case& c : cases) {
        // The plan's map holds the threats the map scan wrote.
        HexTile* tile = ai->PlanMap().EditTile(H(5, 5));
        tile->threat[UT_LIGHT_TANK] = static_cast<std::uint16_t>(c.tankThreat);
        tile->threat[UT_FIGHTER] = static_cast<std::uint16_t>(c.ownThreat);
        EXPECT_EQ(ai->ShouldLand(PlannerOf(fighter)), c.lands) << c.tankThreat << "/" << c.ownThreat;
    }
    Unit* tank = Enemy(UT_MED_TANK, H(2, 2));
    EXPECT_FALSE(ai->ShouldLand(PlannerOf(tank)));
}

TEST_F(UnitPlanningTest, AnImmobilisedUnitAttacksFromItsHexButNeverMoves) {
    Unit* tank = Enemy(UT_MED_TANK, H(5, 5));
    AIUnitPlanner& planner = PlannerOf(tank);
    ai->SetUnitImmobilized(tank->GetId(), true);
    ports.map->EditTile(H(5, 5))->threat[UT_MED_TANK] = 300;  // anywhere else would be safer
    FreshPlanMap();
    EXPECT_FALSE(ai->PlanFreeMove(planner));
    Unit* trooper = Blue(UT_TROOPER, H(5, 4));
    FreshPlanMap();
    ASSERT_TRUE(ai->PlanFreeMove(planner));
    ASSERT_EQ(planner.GetPendingCount(), 1);
    EXPECT_EQ(planner.GetPendingOrder(0)->Kind(), kOrderAttack);
    HexCoord tile;
    EXPECT_FALSE(planner.GetTarget(tile));
    EXPECT_GT(ai->GetPlannedDamage(trooper->GetId()), 0.0f);
}

TEST_F(UnitPlanningTest, AUnitOnAHotspotOrAskedToMakeWayLeavesItsHex) {
    for (bool hotspot : {true, false}) {
        Unit* tank = Enemy(UT_MED_TANK, H(hotspot ? 3 : 8, 5));
        AIUnitPlanner& planner = PlannerOf(tank);
        ports.map->EditTile(tank->GetHexPos())->hotspot = hotspot ? 1 : 0;
        if (!hotspot) planner.RequestMakeWay();
        FreshPlanMap();
        ASSERT_TRUE(ai->PlanFreeMove(planner)) << hotspot;
        ASSERT_EQ(planner.GetPendingCount(), 1);
        EXPECT_EQ(planner.GetPendingOrder(0)->Kind(), kOrderFollowPath);
        HexCoord tile;
        ASSERT_TRUE(planner.GetTarget(tile));
        EXPECT_FALSE(tile == tank->GetHexPos());
        // The nearest tile gains most: 4 - 0.1 d for the distance, less the movement spent.
        EXPECT_EQ(HexDistance(tile, tank->GetHexPos()), 1) << hotspot;
    }
}

TEST_F(UnitPlanningTest, AUnitWithNothingToGainStays) {
    Unit* tank = Enemy(UT_MED_TANK, H(5, 5));
    EXPECT_FALSE(ai->PlanFreeMove(PlannerOf(tank)));
    EXPECT_EQ(PlannerOf(tank).GetPendingCount(), 0);
}

TEST_F(UnitPlanningTest, UnitGoalCommitsThenWaitsForItsUnit) {
    Unit* tank = Enemy(UT_MED_TANK, H(5, 5));
    Blue(UT_TROOPER, H(5, 4));
    AIUnitGoal goal(*ai, *tank);
    goal.Score();
    EXPECT_FLOAT_EQ(goal.GetScore(), 0.2f);
    goal.Plan();
    EXPECT_EQ(goal.Execute(true), kExecutePauseAgain);
    EXPECT_EQ(goal.Execute(false), kExecuteAgain);
    for (int i = 0; i < 2000 && tank->IsBusy(); ++i) {
        manager.Update();
        battle.Tick();
    }
    ASSERT_FALSE(tank->IsBusy());
    EXPECT_EQ(goal.Execute(false), kExecuteFinished);
    // Without orders the first step ends the goal once the unit is idle.
    AIUnitGoal idle(*ai, *tank);
    EXPECT_EQ(idle.Execute(true), kExecuteFinished);
}

TEST_F(UnitPlanningTest, ABoughtUnitWhosePadIsTakenIsRemovedUnplaced) {
    const int bought = enemy->CreateUnplacedUnit(UT_LIGHT_TANK, H(4, 4));
    Blue(UT_TROOPER, H(4, 4));
    AITargetGoal goal(*ai, bought, H(4, 4));
    goal.Score();
    EXPECT_FLOAT_EQ(goal.GetScore(), 0.1f);
    goal.Plan();
    EXPECT_EQ(goal.GetUnitId(), 0);
    EXPECT_EQ(goal.Execute(true), kExecuteFinished);
    EXPECT_EQ(enemy->FindUnitById(bought)->GetState(), kUnitGone);
}

TEST_F(UnitPlanningTest, ABoughtUnitClearsItsPadOnceDeployed) {
    const int bought = enemy->CreateUnplacedUnit(UT_LIGHT_TANK, H(4, 4));
    Unit* unit = enemy->FindUnitById(bought);
    unit->StartTurn();
    AITargetGoal goal(*ai, bought, H(4, 4));
    goal.Score();
    goal.Plan();
    // Asked to make way, it plans to leave the pad for a tile beside it.
    HexCoord tile;
    ASSERT_TRUE(ai->GetUnitPlannedTile(bought, tile));
    EXPECT_EQ(HexDistance(tile, H(4, 4)), 1);
    EXPECT_EQ(goal.Execute(true), kExecutePauseRestart);
    EXPECT_NE(unit->GetState(), kUnitNotPlaced);
    EXPECT_EQ(ports.camera.front(), std::make_pair(0, static_cast<int>(H(4, 4).Packed())));
    EXPECT_EQ(goal.Execute(true), kExecuteAgain);
    for (int i = 0; i < 2000 && unit->IsBusy(); ++i) {
        manager.Update();
        battle.Tick();
    }
    EXPECT_EQ(unit->GetHexPos(), tile);
    EXPECT_EQ(goal.Execute(false), kExecuteFinished);
}

TEST_F(UnitPlanningTest, AnImmobilisedBoughtUnitWaitsOnItsPad) {
    const int bought = enemy->CreateUnplacedUnit(UT_LIGHT_TANK, H(4, 4));
    ai->SetUnitImmobilized(bought, true);
    AITargetGoal goal(*ai, bought, H(4, 4));
    goal.Score();
    goal.Plan();
    HexCoord tile;
    ASSERT_TRUE(ai->GetUnitPlannedTile(bought, tile));
    EXPECT_EQ(tile, H(4, 4));
    EXPECT_EQ(goal.Execute(true), kExecutePauseAgain);
    EXPECT_EQ(goal.Execute(false), kExecuteFinished);
}

}  // namespace
}  // namespace ai_test
