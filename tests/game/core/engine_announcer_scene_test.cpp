// The announcer's walker over the game's battle rules: a fresh id for every announcement, and no place in
// any team.
#include "game/core/engine_announcer_scene.h"
#include "game/units/unit.h"
#include "game_fixture.h"

namespace core_test {
namespace {

class AnnouncerSceneTest : public GameTest {};

TEST_F(AnnouncerSceneTest, EachWalkerTakesANewId) {
    EngineAnnouncerScene scene(*game);
    EXPECT_FALSE(scene.HasWalker());
    int lastId = game->GetUnitIdCounter();
    for (int kind : {1, 4, 2}) {
        ASSERT_TRUE(scene.CreateWalker(5, kind));
        EXPECT_TRUE(scene.HasWalker());
        EXPECT_EQ(game->GetUnitIdCounter(), lastId + 1);
        lastId = game->GetUnitIdCounter();
        scene.PlaceWalker(-3.5f, 90.0f);
    }
    EXPECT_EQ(game->GetTeamManager(), nullptr) << "the walker belongs to no battle team";
    scene.DeleteWalker();
    EXPECT_FALSE(scene.HasWalker());
}

}  // namespace
}  // namespace core_test
