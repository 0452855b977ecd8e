// Aircraft with the real team manager: spawned or deployed they lift off and climb to their flight height,
// the air layer's lookups find them above a ground unit, and a transport spawned onto a soldier carries it.
#include <gtest/gtest.h>

#include "game/units/unit_factory.h"
#include "level_fakes.h"

namespace level_test {
namespace {

class LiftOffTest : public LevelTest {
protected:
    void SetUp() override {
        LevelTest::SetUp();
        LoadLevel(LandSource(10, "unit A1 3 owner 1\nunit J9 3 owner 4\n"), nullptr);
        level.SetupTeams(manager);
        blue = manager.FindTeam(kTeamBlue);
        ASSERT_NE(blue, nullptr);
    }
    Unit* Spawn(int type, const char* label) {
        const int id = blue->SpawnUnit(type, L(label), 0, false, 1.0f);
        EXPECT_NE(id, 0) << label;
        return blue->FindUnitById(id);
    }
    // Ticks the unit until its flight height settles; the settled height.
    static float Climb(Unit& unit) {
        float last = -1.0f;
        for (int i = 0; i < 2000 && unit.GetFlightHeight() != last; ++i) {
            last = unit.GetFlightHeight();
            unit.Tick();
        }
        return unit.GetFlightHeight();
    }

    Team* blue = nullptr;
};

TEST_F(LiftOffTest, SpawnedOrDeployedAircraftFlyAndClimbToTheirHeight) {
    const char* spawnAt[] = {"C3", "C5", "C7"};
    const char* deployAt[] = {"F3", "F5", "F7"};
    int i = 0;
    for (int type : {UT_FIGHTER, UT_BOMBER, UT_SKYHOOK}) {
        SCOPED_TRACE(type);
        Unit* spawned = Spawn(type, spawnAt[i]);
        ASSERT_NE(spawned, nullptr);
        EXPECT_TRUE(spawned->IsAirborne());
        const float ground = spawned->GetMoveState().position.y;
        const float height = level.GetHexMap().GetUnitHeight(spawned->GetHexPos(), true);
        ASSERT_GT(height, ground);
        EXPECT_FLOAT_EQ(Climb(*spawned), height);

        std::unique_ptr<Unit> made = CreateUnit(battle, type, blue, 0);
        made->SetState(kUnitNotPlaced);
        made->SetHexPos(L(deployAt[i++]));
        Unit* deployed = made.get();
        ASSERT_EQ(blue->InsertUnit(std::move(made)), nullptr);
        deployed->Deploy();
        EXPECT_TRUE(deployed->IsAirborne());
        EXPECT_EQ(deployed->GetFlightHeight(), deployed->GetMoveState().position.y);
        EXPECT_FLOAT_EQ(Climb(*deployed), level.GetHexMap().GetUnitHeight(deployed->GetHexPos(), true));
    }
}

TEST_F(LiftOffTest, AFighterAboveATankIsFoundInTheAirAndATransportCarriesTheSoldierItLandsOn) {
    Unit* tank = Spawn(UT_LIGHT_TANK, "E4");
    Unit* fighter = Spawn(UT_FIGHTER, "E4");
    ASSERT_NE(tank, nullptr);
    ASSERT_NE(fighter, nullptr);
    EXPECT_EQ(manager.FindAirUnitAt(L("E4")), fighter);
    EXPECT_EQ(manager.FindUnitAt(L("E4")), tank);
    EXPECT_EQ(fighter->GetCarrierId(), 0);

    Unit* grunt = Spawn(UT_GRUNT, "G6");
    Unit* skyhook = Spawn(UT_SKYHOOK, "G6");
    ASSERT_NE(grunt, nullptr);
    ASSERT_NE(skyhook, nullptr);
    EXPECT_EQ(skyhook->GetPassengerId(), grunt->GetId());
    EXPECT_EQ(grunt->GetCarrierId(), skyhook->GetId());
    EXPECT_TRUE(grunt->IsAirborne());
}

}  // namespace
}  // namespace level_test
