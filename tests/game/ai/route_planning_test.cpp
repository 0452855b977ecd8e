// Walks along routes: advancing towards a destination and boarding a reserved carrier.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "ai_fakes.h"

namespace ai_test {
namespace {

// A transport goal that only answers the carrier it reserved.
class ReservingGoal : public AIGoal {
public:
    explicit ReservingGoal(int carrierId) : carrierId_(carrierId) {}
    int GetKind() const override { return kGoalTransport; }
    void Score() override {}
    void Plan() override {}
    int Execute(bool) override { return kExecuteFinished; }
    int GetReservedCarrierId() const override { return carrierId_; }

private:
    int carrierId_;
};

class RoutePlanningTest : public ComputerTest {
protected:
    Unit* Spawn(Team* team, int type, HexCoord hex) {
        Unit* unit = team->FindUnitById(team->SpawnUnit(type, hex, 0, false, 1.0f));
        unit->StartTurn();
        return unit;
    }
    AIUnitPlanner& PlannerOf(const Unit* unit) { return *ai->FindUnitPlanner(unit->GetId()); }
    // Reserves the carrier for the unit through a transport goal in the list.
    void Reserve(const Unit* unit, const Unit* carrier) {
        auto goal = std::make_unique<ReservingGoal>(carrier->GetId());
        PlannerOf(unit).SetTransportGoalId(goal->GetId());
        ASSERT_TRUE(ai->AddGoal(std::move(goal)));
    }
};

TEST_F(RoutePlanningTest, AWalkReachesANearDestination) {
    Unit* tank = Spawn(enemy, UT_MED_TANK, H(5, 2));
    AIUnitPlanner& planner = PlannerOf(tank);
    EXPECT_TRUE(ai->AdvanceTowards(planner, H(5, 3), true, false, 2));
    HexCoord tile;
    ASSERT_TRUE(planner.GetTarget(tile));
    EXPECT_EQ(tile, H(5, 3));
    ASSERT_EQ(planner.GetPendingCount(), 1);
    EXPECT_EQ(planner.GetPendingOrder(0)->Kind(), kOrderFollowPath);
}

TEST_F(RoutePlanningTest, AnOwnUnitPlannedOntoTheWayIsAskedToMakeWay) {
    // The walk looks units up as the plan sees them: an own unit planned to end on the start hex blocks it.
    Unit* tank = Spawn(enemy, UT_MED_TANK, H(5, 2));
    Unit* other = Spawn(enemy, UT_MED_TANK, H(9, 9));
    ai->SetUnitPlannedTile(other->GetId(), H(5, 2));
    AIUnitPlanner& planner = PlannerOf(tank);
    EXPECT_FALSE(ai->AdvanceTowards(planner, H(5, 8), true, false, 2));
    EXPECT_EQ(planner.GetPendingCount(), 0);
    EXPECT_TRUE(ai->IsUnitMakingWay(other->GetId()));
    EXPECT_FALSE(ai->IsUnitMakingWay(tank->GetId()));
}

TEST_F(RoutePlanningTest, TheWalkStopsBeforeAUnitOnTheRoute) {
    // The route ignores units (mode 0) and runs straight down the column through the unit on row 5; each
    // case has a column of its own.
    struct Case {
        const char* what;
        bool own;
        int column;
    } cases[] = {{"enemy", false, 3}, {"own unit", true, 8}};
    for (const Case& c : cases) {
        Unit* tank = Spawn(enemy, UT_MED_TANK, H(c.column, 2));
        Unit* blocker = Spawn(c.own ? enemy : blue, UT_TROOPER, H(c.column, 5));
        AIUnitPlanner& planner = PlannerOf(tank);
        EXPECT_FALSE(ai->AdvanceTowards(planner, H(c.column, 8), true, false, 0)) << c.what;
        HexCoord tile;
        ASSERT_TRUE(planner.GetTarget(tile)) << c.what;
        EXPECT_EQ(tile, H(c.column, 4)) << c.what;
        ASSERT_EQ(planner.GetPendingCount(), 1) << c.what;
        EXPECT_EQ(planner.GetPendingOrder(0)->Kind(), kOrderFollowPath) << c.what;
        // Only an own unit is asked to make way.
        EXPECT_EQ(ai->IsUnitMakingWay(blocker->GetId()), c.own) << c.what;
    }
}

TEST_F(RoutePlanningTest, AfterTheFirstHexToAttackFromFartherHexesGainNothing) {
    // A blue trooper beside the column: the walk could attack it from two hexes in a row and stops at the
    // first, since the bonus for going farther ends with the first attack.
    Unit* tank = Spawn(enemy, UT_MED_TANK, H(5, 2));
    Unit* trooper = Spawn(blue, UT_TROOPER, H(6, 5));
    std::vector<int> beside;
    for (int d = 0; d < kDirectionCount; ++d) {
        HexCoord next;
        if (HexNeighbour(H(6, 5), d, next) && next.column == 5) beside.push_back(next.row);
    }
    std::sort(beside.begin(), beside.end());
    ASSERT_EQ(beside.size(), 2u);
    AIUnitPlanner& planner = PlannerOf(tank);
    EXPECT_FALSE(ai->AdvanceTowards(planner, H(5, 8), false, false, 2));
    HexCoord tile;
    ASSERT_TRUE(planner.GetTarget(tile));
    EXPECT_EQ(tile, H(5, beside.front()));
    ASSERT_EQ(planner.GetPendingCount(), 2);
    EXPECT_EQ(planner.GetPendingOrder(0)->Kind(), kOrderFollowPath);
    EXPECT_EQ(planner.GetPendingOrder(1)->Kind(), kOrderAttack);
    EXPECT_GT(ai->GetPlannedDamage(trooper->GetId()), 0.0f);
}

TEST_F(RoutePlanningTest, AWalkWithoutRouteLooksOnlyAtItsStart) {
    Unit* tank = Spawn(enemy, UT_MED_TANK, H(5, 2));
    Spawn(blue, UT_TROOPER, H(5, 3));
    for (int r = 0; r < 12; ++r) ports.map->EditTile(H(7, r))->terrain = kTerrainBlocked;
    ai->RefreshPlanMap();
    AIUnitPlanner& planner = PlannerOf(tank);
    // Across the wall there is no strict route: no move, but the attack from the start hex is planned.
    EXPECT_FALSE(ai->AdvanceTowards(planner, H(9, 2), false, false, 2));
    ASSERT_EQ(planner.GetPendingCount(), 1);
    EXPECT_EQ(planner.GetPendingOrder(0)->Kind(), kOrderAttack);
}

TEST_F(RoutePlanningTest, AUnitBesideItsApcEmbarksAtOnce) {
    Unit* trooper = Spawn(enemy, UT_TROOPER, H(5, 5));
    Unit* apc = Spawn(enemy, UT_APC, H(5, 6));
    Reserve(trooper, apc);
    AIUnitPlanner& planner = PlannerOf(trooper);
    EXPECT_EQ(ai->GetTransportId(planner), apc->GetId());
    ASSERT_TRUE(ai->PlanBoarding(planner));
    ASSERT_EQ(planner.GetPendingCount(), 1);
    EXPECT_EQ(planner.GetPendingOrder(0)->Kind(), kOrderEmbark);
    HexCoord tile;
    ASSERT_TRUE(planner.GetTarget(tile));
    EXPECT_EQ(tile, H(5, 6));
}

TEST_F(RoutePlanningTest, ASkyhookComesToTheUnitAndNoCarrierPlansNothing) {
    Unit* trooper = Spawn(enemy, UT_TROOPER, H(5, 5));
    AIUnitPlanner& planner = PlannerOf(trooper);
    EXPECT_FALSE(ai->PlanBoarding(planner));
    Unit* skyhook = Spawn(enemy, UT_SKYHOOK, H(9, 9));
    Reserve(trooper, skyhook);
    EXPECT_TRUE(ai->PlanBoarding(planner));
    EXPECT_EQ(planner.GetPendingCount(), 0);
}

}  // namespace
}  // namespace ai_test
