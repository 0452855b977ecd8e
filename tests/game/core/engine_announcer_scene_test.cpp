// The announcer's walker over the game's battle rules: a fresh id for every announcement, no place in any
// team, and a model made by the scene views units use, hung in the announcer's own scene.
#include <string>

#include "engine/scene/scene_node.h"
#include "game/core/engine_announcer_scene.h"
#include "game/units/scene_unit_view_factory.h"
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

// The nodes of a tree named like the path, depth first.
int CountNamed(const engine::SceneNode* node, const std::string& name) {
    if (node == nullptr) return 0;
    int count = node->GetName().EqualsNarrow(name.c_str()) ? 1 : 0;
    for (int i = 0; i < node->GetChildCount(); ++i) count += CountNamed(node->GetChild(i), name);
    return count;
}

// The unit views over small generated prototypes: a model is a group named by its path, an effect an
// emitter. The battle's world node is the test's.
class SceneWalkerTest : public GameTest {
protected:
    void SetUp() override {
        GameTest::SetUp();
        FreeUnitAssets();
        world = engine::SceneNode::Init(engine::kNodeGroup, "MainWorld");
        UnitSceneHooks hooks;
        hooks.worldNode = [this] { return world; };
        hooks.loadContainer = [](const char* path) {
            const bool effect = std::string(path).rfind("Particles/", 0) == 0;
            return engine::SceneNode::Init(effect ? engine::kNodeEmitter : engine::kNodeGroup, path);
        };
        factory = std::make_unique<SceneUnitViewFactory>(std::move(hooks));
        ASSERT_EQ(LoadUnitAssets(*game, factory.get()), 1);
    }
    void TearDown() override {
        scene.reset();
        FreeUnitAssets();
        factory.reset();
        world->Destroy();
        GameTest::TearDown();
    }

    engine::SceneNode* world = nullptr;
    std::unique_ptr<SceneUnitViewFactory> factory;
    std::unique_ptr<EngineAnnouncerScene> scene;
};

TEST_F(SceneWalkerTest, TheWalkerHangsInTheAnnouncersSceneWithItsTrackSmoke) {
    scene = std::make_unique<EngineAnnouncerScene>(*game);
    scene->Init(320, 200);
    engine::SceneNode* root = scene->GetRoot();
    ASSERT_NE(root, nullptr);
    EXPECT_TRUE(root->GetName().EqualsNarrow("AnnouncerWorld"));

    // Types 3 to 7 are land vehicles: each walks with its track smoke hung under its model.
    ASSERT_TRUE(scene->CreateWalker(UT_HEAVY_TANK, 1));
    ASSERT_EQ(root->GetChildCount(), 1);
    EXPECT_EQ(world->GetChildCount(), 0) << "the walker is not in the battle's scene";
    const engine::SceneNode* model = root->GetChild(0);
    EXPECT_FLOAT_EQ(model->GetWorldMatrix().m[3][0], -10000.0f) << "far off until the first frame";
    EXPECT_EQ(CountNamed(model, "Particles/tank_track_smoke"), 1);

    scene->PlaceWalker(2.5f, -90.0f);
    EXPECT_FLOAT_EQ(root->GetChild(0)->GetWorldMatrix().m[3][0], 2.5f);

    // A new announcement replaces the walker; a soft target carries no smoke.
    ASSERT_TRUE(scene->CreateWalker(UT_TROOPER, 4));
    ASSERT_EQ(root->GetChildCount(), 1);
    EXPECT_EQ(CountNamed(root, "Particles/tank_track_smoke"), 0);
    scene->DeleteWalker();
    EXPECT_EQ(root->GetChildCount(), 0);
}

}  // namespace
}  // namespace core_test
