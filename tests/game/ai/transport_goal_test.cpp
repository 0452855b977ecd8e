// The transport goal: which carriers may take the passenger and which one is claimed, the wish for one, the
// meeting and drop tiles of a FERRY, the stage scores and a goal with no way at all.
#include <gtest/gtest.h>

#include "computer_battle.h"
#include "game/ai/transport_goal.h"

namespace ai_test {
namespace {

using level_test::L;
using level_test::LandSource;

const std::string kMission =
    "[WIN]\nWLC_NO_ENEMY_HQ\n[ENDWIN]\n[LOSE]\nWLC_NO_ALLIED_UNITS\n[ENDLOSE]\n"
    "[UNLOCK]\nUT_LIGHT_TANK\nUT_APC\nUT_SKYHOOK\nUT_FERRY\n[ENDUNLOCK]\n";

// 16 x 16: land in rows A-F, a shore row G, water in rows H-J, a shore row K and land again below.
std::string Coasts(const std::string& extra) {
    std::string source = "weather 2\ngrid 16 16\n";
    for (int r = 0; r < 16; ++r) {
        const char* cell = r == 6 || r == 10 ? "S0" : (r >= 7 && r <= 9) ? "W0" : "L0";
        for (int c = 0; c < 16; ++c) source += std::string(cell) + (c + 1 < 16 ? " " : "\n");
    }
    return source + "structure O14 6 owner 4\nunit A1 1 owner 1\n" + extra;
}

class TransportGoalTest : public PlanLevelTest {
protected:
    AITransportGoal& Goal(const Unit& passenger, HexCoord destination) {
        auto goal = std::make_unique<AITransportGoal>(*ai, passenger, destination);
        AITransportGoal& ref = *goal;
        EXPECT_TRUE(ai->AddGoal(std::move(goal)));
        return ref;
    }
};

TEST_F(TransportGoalTest, ASoftUnitStayingInItsRegionMayRideAnAPCWhenItIsTheCheaperCarrier) {
    struct Case {
        const char* passenger;
        int passengerType;  // at H8
        const char* apc;
        int carrier;  // the type claimed
    };
    // The SKYHOOK six hexes up the column; the APC below stops one hex short of the passenger.
    const Case cases[] = {{"grunt, APC dearer", UT_GRUNT, "N8", UT_SKYHOOK},
                          {"grunt, APC cheaper", UT_GRUNT, "K8", UT_APC},
                          {"tank", UT_LIGHT_TANK, "K8", UT_SKYHOOK}};
    for (const Case& c : cases) {
        Load(LandSource(16, "structure O14 6 owner 4\nunit A1 1 owner 1\nunit B8 11 owner 4\nunit " +
                                std::string(c.apc) + " 8 owner 4\n"),
             kMission);
        Unit* passenger = Enemy().FindUnitById(Enemy().SpawnUnit(c.passengerType, L("H8"), 0, false, 1.0f));
        AITransportGoal& goal = Goal(*passenger, L("H14"));
        goal.Score();
        EXPECT_EQ(goal.NeedsAirOrSea(), c.passengerType != UT_GRUNT) << c.passenger;
        goal.Plan();
        const Unit* carrier = Enemy().FindUnitById(goal.GetCarrierId());
        ASSERT_NE(carrier, nullptr) << c.passenger;
        EXPECT_EQ(carrier->GetType(), c.carrier) << c.passenger;
        EXPECT_EQ(carrier->GetAIGoalId(), goal.GetId());
        EXPECT_EQ(goal.GetStage(), kTransportAtMeeting);  // it meets the passenger this turn
        EXPECT_TRUE(goal.IsReady());
    }
}

std::string Label(HexCoord hex) { return std::string(1, static_cast<char>('A' + hex.row)) + std::to_string(hex.column); }

// A map of shore, where an APC pays 7 a hex and 3 on overlay ground, and a SKYHOOK 5 everywhere. A GRUNT
// stands on overlay ground; an APC two hexes away across a middle hex, a SKYHOOK two hexes away on the other
// side (its route must turn: 5 + 5). The APC's route prices its first step (the mean of its two hexes) and
// its stop beside the passenger (the mean of the middle hex and the passenger's).
TEST_F(TransportGoalTest, ASkyhookKeepsATieWithAnApc) {
    const HexCoord passengerHex = MakeHexCoord(8, 7);
    HexCoord middle, apcHex, away, skyhookHex;
    ASSERT_TRUE(HexNeighbour(passengerHex, 0, middle));
    ASSERT_TRUE(HexNeighbour(middle, 0, apcHex));
    ASSERT_TRUE(HexNeighbour(passengerHex, 3, away));
    ASSERT_TRUE(HexNeighbour(away, 4, skyhookHex));
    struct Case {
        const char* name;
        bool apcOnOverlay;
        bool middleOverlay;
        float apcCost;
        int carrier;
    };
    const Case cases[] = {{"tie", true, false, 10.0f, UT_SKYHOOK},
                          {"APC cheaper", true, true, 6.0f, UT_APC},
                          {"APC dearer", false, false, 12.0f, UT_SKYHOOK}};
    for (const Case& c : cases) {
        std::string source = battle_test::UniformSource(16, 16, "S0", "overlay " + Label(passengerHex) + "\n");
        if (c.apcOnOverlay) source += "overlay " + Label(apcHex) + "\n";
        if (c.middleOverlay) source += "overlay " + Label(middle) + "\n";
        Load(source + "structure O14 6 owner 4\nunit A1 1 owner 1\nunit " + Label(skyhookHex) + " 11 owner 4\nunit " +
                 Label(apcHex) + " 8 owner 4\n",
             kMission);
        HexPath route;
        ASSERT_TRUE(ai->PlanMap().FindRouteAllowBlocked(skyhookHex, passengerHex, route, UT_SKYHOOK, 0, false));
        ASSERT_EQ(route.cost, 10.0f) << c.name;
        ASSERT_TRUE(ai->PlanMap().FindRouteAllowBlocked(apcHex, passengerHex, route, UT_APC, 0, true));
        ASSERT_EQ(route.cost, c.apcCost) << c.name;

        Unit* passenger = Enemy().FindUnitById(Enemy().SpawnUnit(UT_GRUNT, passengerHex, 0, false, 1.0f));
        AITransportGoal& goal = Goal(*passenger, MakeHexCoord(8, 14));
        goal.Score();
        ASSERT_FALSE(goal.NeedsAirOrSea()) << c.name;
        goal.Plan();
        const Unit* carrier = Enemy().FindUnitById(goal.GetCarrierId());
        ASSERT_NE(carrier, nullptr) << c.name;
        EXPECT_EQ(carrier->GetType(), c.carrier) << c.name;
    }
}

TEST_F(TransportGoalTest, WithoutACarrierOneWishIsMadeForTheRightType) {
    struct Case {
        int passengerType;
        const char* destination;
        int wished;
    };
    // A GRUNT to the other coast: its own route would cross water, so a FERRY; a GRUNT on its own coast
    // may take an APC; a tank on its own coast needs a SKYHOOK.
    const Case cases[] = {{UT_GRUNT, "N8", UT_FERRY}, {UT_GRUNT, "C12", UT_APC}, {UT_LIGHT_TANK, "C12", UT_SKYHOOK}};
    for (const Case& c : cases) {
        Load(Coasts(""), kMission);
        Unit* passenger = Enemy().FindUnitById(Enemy().SpawnUnit(c.passengerType, L("C3"), 0, false, 1.0f));
        AITransportGoal& goal = Goal(*passenger, L(c.destination));
        goal.Score();
        goal.Plan();
        goal.Score();
        goal.Plan();
        ASSERT_EQ(ai->GetWishCount(), 1) << c.destination;
        EXPECT_EQ(ai->GetWish(0).unitType, c.wished) << c.destination;
        EXPECT_EQ(ai->GetWish(0).goalId, goal.GetId());
        EXPECT_EQ(ai->GetWish(0).target, L("C3"));
    }
}

TEST_F(TransportGoalTest, AFerryMeetsAndDropsOnlyOnTheShore) {
    Load(Coasts("unit C3 17 owner 4\nunit I5 10 owner 4\nunit K9 17 owner 4\n"), kMission);
    Unit* passenger = UnitAt("C3");
    const Unit* ferry = UnitAt("I5");
    AITransportGoal& goal = Goal(*passenger, L("N8"));
    HexCoord meet;
    ASSERT_TRUE(goal.FindMeetTile(*passenger, *ferry, meet));
    EXPECT_EQ(ai->PlanMap().GetTile(meet).terrain, kTerrainShore);
    EXPECT_EQ(meet.row, 6);
    HexCoord drop;
    ASSERT_TRUE(goal.FindDropTile(L("I5"), UT_FERRY, drop));
    EXPECT_EQ(ai->PlanMap().GetTile(drop).terrain, kTerrainShore);
    EXPECT_EQ(drop.row, 10);
    // Own units on scanned tiles are asked to make way, however far from the drop.
    EXPECT_TRUE(ai->IsUnitMakingWay(UnitAt("K9")->GetId()));
    EXPECT_TRUE(ai->IsUnitMakingWay(passenger->GetId()));
    // Any other carrier meets the passenger where it is.
    const Unit* skyhook = Enemy().FindUnitById(Enemy().SpawnUnit(UT_SKYHOOK, L("E12"), 0, false, 1.0f));
    ASSERT_TRUE(goal.FindMeetTile(*passenger, *skyhook, meet));
    EXPECT_EQ(meet, L("C3"));
    ASSERT_TRUE(goal.FindDropTile(L("C3"), UT_SKYHOOK, drop));
    EXPECT_EQ(ai->PlanMap().GetTile(drop).regionId, ai->PlanMap().GetTile(L("N8")).regionId);
}

TEST_F(TransportGoalTest, StageScoresFallWithDistanceAndNoWayAtAllEndsTheGoal) {
    Load(LandSource(16, "structure O14 6 owner 4\nunit A1 1 owner 1\nunit H2 17 owner 4\nunit H6 11 owner 4\n"),
         kMission);
    Unit* passenger = UnitAt("H2");
    AITransportGoal& goal = Goal(*passenger, L("H12"));
    struct Case {
        int stage;
        float score;
    };
    // The SKYHOOK is 4 hexes from the passenger, the passenger 10 from its destination.
    for (const Case& c : {Case{kTransportAtMeeting, 0.1f}, Case{kTransportCarrying, 0.5f}, Case{kTransportDropping, 0.5f}}) {
        goal.SetStage(c.stage);
        goal.Score();
        EXPECT_FLOAT_EQ(goal.GetScore(), c.score) << c.stage;
    }
    goal.ReserveCarrier(UnitAt("H6")->GetId());
    goal.SetStage(kTransportAtMeeting);
    goal.Score();
    EXPECT_FLOAT_EQ(goal.GetScore(), 0.1f);  // 0.5 - 0.4 from four hexes on
    Enemy().FindUnitById(goal.GetCarrierId())->PlaceOnHex(L("H3"));
    goal.Score();
    EXPECT_FLOAT_EQ(goal.GetScore(), 0.4f);

    // No carrier anywhere and the destination in the passenger's region: 1 - 1,000,000 / 200.
    UnitAt("H3")->Kill(true, nullptr);
    Enemy().RemoveGoneUnits();
    AITransportGoal& hopeless = Goal(*passenger, L("H12"));
    hopeless.Score();
    EXPECT_FLOAT_EQ(hopeless.GetScore(), -4999.0f);
    EXPECT_EQ(hopeless.Execute(true), kExecuteFinished);
}

}  // namespace
}  // namespace ai_test
