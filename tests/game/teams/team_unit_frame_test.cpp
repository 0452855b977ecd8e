// What the teams do for their units' presentation: the overlay walk (nothing while no team has the turn)
// and a passenger spawned under an aircraft dangling from it.
#include <gtest/gtest.h>

#include <algorithm>

#include "../units/recording_target.h"
#include "team_fakes.h"

namespace teams_test {
namespace {

class FixedProjector : public ScreenProjector {
public:
    bool Project(const engine::Vec3&, engine::Vec2& screen) const override {
        screen = {50.0f, 50.0f};
        return true;
    }
};

TEST_F(TeamsTest, UnitOverlaysAreDrawnOnlyWhileATeamHasTheTurn) {
    Team* blue = manager.GetOrCreateTeam(kTeamBlue);
    ASSERT_NE(blue->SpawnUnit(UT_LIGHT_TANK, H(3, 3), 0, false, 1.0f), 0);
    ASSERT_NE(blue->SpawnUnit(UT_GRUNT, H(4, 4), 0, false, 1.0f), 0);
    FixedProjector projector;
    units_test::RecordingPainter painter;
    units_test::RecordingTarget before;
    manager.DrawUnitOverlays(before, projector, painter, 1);
    EXPECT_TRUE(before.rects.empty());
    ASSERT_FALSE(manager.AdvanceTurn());
    units_test::RecordingTarget during;
    manager.DrawUnitOverlays(during, projector, painter, 1);
    EXPECT_EQ(during.rects.size(), 4u);  // two health bars
}

TEST_F(TeamsTest, APassengerSpawnedUnderAnAircraftDangles) {
    Team* blue = manager.GetOrCreateTeam(kTeamBlue);
    const int heli = blue->SpawnUnit(UT_SKYHOOK, H(3, 3), 0, false, 1.0f);
    blue->FindUnitById(heli)->SetAirborneFlag(true);
    const int grunt = blue->SpawnUnit(UT_GRUNT, H(3, 3), 0, false, 1.0f);
    ASSERT_NE(grunt, 0);
    EXPECT_EQ(blue->FindUnitById(grunt)->GetCarrierId(), heli);
    const auto& played = units_test::LogOf(*blue->FindUnitById(grunt)).animations;
    EXPECT_EQ(std::count(played.begin(), played.end(), "dangle"), 1);
    // A passenger of a ground carrier does not.
    const int apc = blue->SpawnUnit(UT_APC, H(5, 5), 0, false, 1.0f);
    const int rider = blue->SpawnUnit(UT_GRUNT, H(5, 5), 0, false, 1.0f);
    EXPECT_EQ(blue->FindUnitById(rider)->GetCarrierId(), apc);
    const auto& riderPlayed = units_test::LogOf(*blue->FindUnitById(rider)).animations;
    EXPECT_EQ(std::count(riderPlayed.begin(), riderPlayed.end(), "dangle"), 0);
}

}  // namespace
}  // namespace teams_test
