// The resupply goal: truck against pad, the danger around the unit, the hopeless case, the fuel bonuses,
// the truck claim or wish, and the truck and aircraft in execution.
#include <gtest/gtest.h>

#include "computer_battle.h"
#include "game/ai/map_scan.h"
#include "game/ai/resupply_goal.h"
#include "game/battle/unit_params.h"

namespace ai_test {
namespace {

using level_test::L;
using level_test::LandSource;

const std::string kMission =
    "[WIN]\nWLC_NO_ENEMY_HQ\n[ENDWIN]\n[LOSE]\nWLC_NO_ALLIED_UNITS\n[ENDLOSE]\n"
    "[UNLOCK]\nUT_LIGHT_TANK\nUT_TRUCK\nUT_FIGHTER\nUT_SNIPER\n[ENDUNLOCK]\n";

class ResupplyGoalTest : public PlanLevelTest {
protected:
    void LoadWith(const std::string& extra) {
        Load(LandSource(16, "structure O14 6 owner 4\nunit A1 1 owner 1\n" + extra), kMission);
    }
    AIResupplyGoal& Goal(const Unit& unit) {
        auto goal = std::make_unique<AIResupplyGoal>(*ai, unit);
        AIResupplyGoal& ref = *goal;
        EXPECT_TRUE(ai->AddGoal(std::move(goal)));
        return ref;
    }
};

TEST_F(ResupplyGoalTest, APadIsChosenOnlyWithFuelAboveThirtyAndAFifteenStepAboveTheCost) {
    // A factory pad near the tank and no truck at all.
    LoadWith("structure C4 2 owner 4\nstructure D6 1\nunit H6 3 owner 4\n");
    Unit* tank = UnitAt("H6");
    HexPath route;
    ASSERT_TRUE(ai->PlanMap().FindRoute(L("H6"), L("D6"), route, UT_LIGHT_TANK, 0, false));
    const int bracket = static_cast<int>(route.cost) / 15;
    ASSERT_GE(bracket, 1);
    struct Case {
        float fuel;
        bool pad;
    };
    // 25 never; fuel in the cost's own fifteen never; one fifteen above (and above 30) does.
    const Case cases[] = {{25.0f, false},
                          {static_cast<float>(15 * bracket + 14) + 0.5f, false},
                          {static_cast<float>(15 * (bracket + 1) + 5), true}};
    for (const Case& c : cases) {
        tank->SetFuel(c.fuel);
        AIResupplyGoal& goal = Goal(*tank);
        goal.Score();
        EXPECT_EQ(goal.IsPadMode(), c.pad) << c.fuel << " against a pad at " << route.cost;
        if (c.pad) {
            EXPECT_EQ(goal.GetMeetingHex(), L("D6"));
        }
    }
}

TEST_F(ResupplyGoalTest, TheHopelessCaseScoresATokenAndOnlyFuelBonusesAddToIt) {
    // No truck, no factory, no serving pad.
    LoadWith("unit H6 3 owner 4\nunit H9 13 owner 4\nunit H12 14 owner 4\n");
    Unit* tank = UnitAt("H6");
    Unit* fighter = Enemy().FindUnitAt(L("H9"));
    Unit* sniper = UnitAt("H12");
    struct Case {
        Unit* unit;
        float fuelShare;
        int ammo;
        float score;
    };
    const Case cases[] = {
        {tank, 1.0f, 0, 0.01f},        // full fuel, no ammunition
        {tank, 0.25f, 8, 0.01f},       // below 60 % but not 20 %
        {tank, 0.19f, 8, 2.01f},       // a vehicle below 20 %
        {fighter, 0.29f, 5, 3.01f},    // an aircraft below 30 %
        {fighter, 0.31f, 5, 0.01f},
        {sniper, 0.0f, 0, 0.01f},      // a type without fuel: no bonus, no division by its capacity
    };
    for (const Case& c : cases) {
        c.unit->SetFuel(c.fuelShare * c.unit->GetParams().fuelCapacity);
        c.unit->SetAmmo(c.ammo);
        AIResupplyGoal& goal = Goal(*c.unit);
        goal.Score();
        EXPECT_NEAR(goal.GetScore(), c.score, 1e-5f) << c.unit->GetType() << " at " << c.fuelShare;
    }
    tank->SetFuel(200.0f);
    tank->SetAmmo(8);
    AIResupplyGoal& goal = Goal(*tank);
    goal.Score();
    EXPECT_EQ(goal.GetScore(), 0.0f);  // nothing needed
}

TEST_F(ResupplyGoalTest, DangerIsATenthOfTheMeanTruckThreatAroundTheUnit) {
    // A truck three hexes from the tank; a blue mortar within reach of the tank's neighbours.
    LoadWith("unit H6 3 owner 4\nunit H9 9 owner 4\nunit H2 6 owner 1\n");
    Unit* tank = UnitAt("H6");
    tank->SetAmmo(0);
    AIResupplyGoal& goal = Goal(*tank);
    goal.Score();
    const float quiet = goal.GetScore();
    HexPath route;
    ASSERT_TRUE(ai->PlanMap().FindRoute(L("H6"), L("H9"), route, UT_TRUCK, 0, true));
    const float base = 1.0f + 0.5f * (1.0f - route.cost / 200.0f);
    EXPECT_NEAR(quiet, base * base, 1e-4f);

    RebuildTileScratch(ai->PlanMap(), battle->driver->Teams(), 4, ai);
    float sum = 0.0f;
    int valid = 0;
    for (int d = 0; d < kDirectionCount; ++d) {
        HexCoord next;
        if (!HexNeighbour(L("H6"), d, next)) continue;
        sum += ai->PlanMap().GetThreat(next, UT_TRUCK);
        ++valid;
    }
    ASSERT_GT(sum, 0.0f);
    const float danger = 0.1f * sum / static_cast<float>(valid);
    goal.Score();
    const float threatened = std::max(base - danger, 0.0f);
    EXPECT_NEAR(goal.GetScore(), threatened > 0.0f ? threatened * threatened : 0.01f, 1e-4f);
    EXPECT_LT(goal.GetScore(), quiet);
}

// A tank in a pocket of the map: the tiles around it are no ground at all (or, in the second case, all but
// one), and each of them carries a large truck threat.
TEST_F(ResupplyGoalTest, AUnitWhoseNeighboursAreAllInvalidIsInNoDanger) {
    const HexCoord tankHex = MakeHexCoord(8, 7);
    for (const int validNeighbours : {0, 1}) {
        std::string source = "weather 2\ngrid 16 16\n";
        for (int r = 0; r < 16; ++r) {
            for (int c = 0; c < 16; ++c) {
                const HexCoord at = MakeHexCoord(c, r);
                bool hole = false;
                for (int d = validNeighbours; d < kDirectionCount; ++d) {
                    HexCoord next;
                    hole = hole || (HexNeighbour(tankHex, d, next) && next == at);
                }
                source += std::string(hole ? "." : "L0") + (c + 1 < 16 ? " " : "\n");
            }
        }
        Load(source + "structure O14 6 owner 4\nunit A1 1 owner 1\n", kMission);
        Unit* tank = Enemy().FindUnitById(Enemy().SpawnUnit(UT_LIGHT_TANK, tankHex, 0, false, 1.0f));
        ASSERT_NE(tank, nullptr);
        tank->SetAmmo(0);
        float threat = 0.0f;
        for (int d = 0; d < kDirectionCount; ++d) {
            HexCoord next;
            if (!HexNeighbour(tankHex, d, next)) continue;
            ai->PlanMap().EditTile(next)->AddThreat(UT_TRUCK, 4000);
            if (ai->PlanMap().GetTile(next).terrain != kTerrainNone) threat += ai->PlanMap().GetThreat(next, UT_TRUCK);
        }
        AIResupplyGoal& goal = Goal(*tank);
        goal.Score();
        if (validNeighbours == 0) {
            EXPECT_EQ(goal.GetDanger(), 0.0f);
            EXPECT_EQ(goal.GetScore(), 0.01f);  // no truck can reach it either: the token score, not a NaN
        } else {
            ASSERT_GT(threat, 0.0f);
            EXPECT_FLOAT_EQ(goal.GetDanger(), 0.1f * threat);
        }
    }
}

TEST_F(ResupplyGoalTest, AnIdleTruckIsClaimedElseOneTruckIsWishedFor) {
    LoadWith("structure C4 2 owner 4\nstructure D6 1\nunit H6 3 owner 4\n");
    Unit* tank = UnitAt("H6");
    tank->SetFuel(30.0f);  // too little to drive to the factory's pad
    AIResupplyGoal& goal = Goal(*tank);
    goal.Score();
    ASSERT_FALSE(goal.IsPadMode());
    goal.Plan();
    ASSERT_EQ(ai->GetWishCount(), 1);
    EXPECT_EQ(ai->GetWish(0).unitType, UT_TRUCK);
    EXPECT_EQ(ai->GetWish(0).goalId, goal.GetId());
    EXPECT_EQ(ai->GetWish(0).target, L("H6"));
    goal.Score();
    goal.Plan();
    EXPECT_EQ(ai->GetWishCount(), 1);  // one wish while none is found
    // The wish survives pruning while its goal lives; a truck is bought and handed over.
    ai->PruneWishes();
    ASSERT_EQ(ai->GetWishCount(), 1);
    ASSERT_TRUE(ai->BuyNextWish());
    ai->HandOverBoughtUnits();
    EXPECT_EQ(goal.GetSupplierId(), ai->GetBoughtCount() > 0 ? ai->GetBought(0).unitId : -1);
    Unit* truck = Enemy().FindUnitById(goal.GetSupplierId());
    ASSERT_NE(truck, nullptr);
    EXPECT_EQ(truck->GetAIGoalId(), goal.GetId());
    goal.Score();
    goal.Plan();
    HexCoord tile;
    ASSERT_TRUE(ai->GetUnitPlannedTile(truck->GetId(), tile));
    EXPECT_LT(HexDistance(tile, L("H6")), HexDistance(L("D6"), L("H6")));
    ai->ClearGoals();
    EXPECT_EQ(truck->GetAIGoalId(), 0);
}

TEST_F(ResupplyGoalTest, AnAircraftWhoseTruckIsAcrossTheWaterFliesTowardItItself) {
    // Land in rows A-F, water in rows G-J, land again from row K: the truck stands on the far coast.
    std::string source = "weather 2\ngrid 16 16\n";
    for (int r = 0; r < 16; ++r) {
        const char* cell = r >= 6 && r <= 9 ? "W0" : "L0";
        for (int c = 0; c < 16; ++c) source += std::string(cell) + (c + 1 < 16 ? " " : "\n");
    }
    Load(source + "structure B12 6 owner 4\nunit A1 1 owner 1\nunit C8 13 owner 4\nunit N8 9 owner 4\n", kMission);
    Unit* fighter = Enemy().FindUnitAt(L("C8"));
    Unit* truck = UnitAt("N8");
    ASSERT_NE(fighter, nullptr);
    ASSERT_NE(truck, nullptr);
    ASSERT_TRUE(fighter->IsAirborne());
    fighter->SetFuel(0.25f * fighter->GetParams().fuelCapacity);
    AIResupplyGoal& goal = Goal(*fighter);
    goal.Score();
    ASSERT_GT(goal.GetScore(), 0.0f);
    goal.Plan();
    // Another region: the truck is let go and the aircraft plans its own flight.
    EXPECT_EQ(goal.GetSupplierId(), 0);
    EXPECT_EQ(truck->GetAIGoalId(), 0);
    ASSERT_GT(ai->FindUnitPlanner(fighter->GetId())->GetPendingCount(), 0);
    const int distance = HexDistance(fighter->GetHexPos(), truck->GetHexPos());

    int result = goal.Execute(true);
    EXPECT_EQ(ai->FindUnitPlanner(fighter->GetId())->GetPendingCount(), 0);  // committed
    EXPECT_EQ(result, kExecuteAgain);
    for (int i = 0; i < 5000 && result == kExecuteAgain; ++i) {
        battle->driver->Frame(level_test::BattleDriver::kTick);
        result = goal.Execute(false);
    }
    EXPECT_EQ(result, kExecuteNext);  // landed or not, the truck comes next turn
    EXPECT_LT(HexDistance(fighter->GetHexPos(), truck->GetHexPos()), distance);
}

}  // namespace
}  // namespace ai_test
