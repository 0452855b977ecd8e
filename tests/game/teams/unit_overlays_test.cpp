// The team manager's walk over the units' overlays: nothing while no team has the turn.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace teams_test
