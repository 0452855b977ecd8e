// The level's scene over in-memory models: the "/Map" container under the world node with its "MapTopTree"
// node, the reach marker standing on the tile to reach, the crater sheet's quads in the blended draw list, a
// missing model, effect or texture leaving only its own part out, and nothing left after the level goes.
#include "game/level/scene_level_presenter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/billboard_list.h"
#include "engine/scene/render_queue.h"
#include "engine/scene/scene_node.h"
#include "level_fakes.h"

namespace level_test {
namespace {

constexpr const char* kReachMission = "[WIN]\nWLC_CASHGRAB, 5000\nWLC_REACHTILE_ANY, D4\n[ENDWIN]\n";

class SceneLevelPresenterTest : public LevelTest {
protected:
    void SetUp() override {
        LevelTest::SetUp();
        ASSERT_TRUE(engine::GetMaterialLib().Init(256, nullptr));
        world = engine::SceneNode::Init(engine::kNodeGroup, "MainWorld");
        flare = engine::SceneNode::Init(engine::kNodeGroup, "ComboFlare");
        textures = {{kCraterTexture, 11}, {kCraterNormals, 12}, {kShadowTexture, 13}};
        battle.level = &sceneLevel;
    }
    void TearDown() override {
        sceneLevel.Destroy();
        battle.level = &level;
        presenter.Release();
        flare->Destroy();
        world->Destroy();
        LevelTest::TearDown();
        engine::GetMaterialLib().Free();
    }

    // A group holding the ground and, below a second group, the tree layer.
    static engine::SceneNode* MapModel() {
        engine::SceneNode* root = engine::SceneNode::Init(engine::kNodeGroup, "Levels/Test/Map");
        root->AddChild(engine::SceneNode::Init(engine::kNodeGroup, "Ground"));
        engine::SceneNode* props = engine::SceneNode::Init(engine::kNodeGroup, "Props");
        root->AddChild(props);
        props->AddChild(engine::SceneNode::Init(engine::kNodeGroup, "Map01_MapTopTree"));
        return root;
    }

    void Load(const char* mission) {
        WriteLevel(data, "Test", LandSource(10, ""), mission);
        ASSERT_TRUE(sceneLevel.Load("Levels/Test", &diagnostics));
    }

    engine::SceneNode* world = nullptr;
    engine::SceneNode* flare = nullptr;
    bool hasModel = true;
    bool hasFlare = true;
    std::map<std::string, int> textures;
    std::vector<std::string> containersAsked;
    SceneLevelPresenter presenter{[this] {
        LevelSceneHooks hooks;
        hooks.worldNode = [this] { return world; };
        hooks.loadContainer = [this](const char* name) -> engine::SceneNode* {
            containersAsked.emplace_back(name);
            return hasModel && std::string(name) == "Levels/Test/Map" ? MapModel() : nullptr;
        };
        hooks.findEffect = [this](const char* name) -> const engine::SceneNode* {
            return hasFlare && std::string(name) == "Particles/ComboFlare" ? flare : nullptr;
        };
        hooks.loadTexture = [this](const char* name) {
            const auto found = textures.find(name);
            return found != textures.end() ? found->second : 0;
        };
        return hooks;
    }()};
    Level sceneLevel{battle, levelServices, &presenter};
    engine::RenderQueue queue{64};
};

TEST_F(SceneLevelPresenterTest, TheModelHangsUnderTheWorldWithItsTopTreeAndTheReachMarkerOnTheTile) {
    Load(kReachMission);
    ASSERT_EQ(containersAsked, std::vector<std::string>{"Levels/Test/Map"});
    engine::SceneNode* model = presenter.GetModelNode();
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->GetParent(), world);

    engine::SceneNode* tree = presenter.GetMapTopTree();
    ASSERT_NE(tree, nullptr) << "found by a part of its name, two levels down";
    EXPECT_TRUE(tree->GetName().EqualsNarrow("Map01_MapTopTree"));
    sceneLevel.SetMapTopTreeVisible(false);
    EXPECT_EQ(tree->GetFlags() & engine::kNodeActive, 0u);
    sceneLevel.SetMapTopTreeVisible(true);
    EXPECT_NE(tree->GetFlags() & engine::kNodeActive, 0u);

    // The first reach entry places one copy of the flare, turned upright, at the tile's level point.
    engine::SceneNode* marker = presenter.GetReachMarker();
    ASSERT_NE(marker, nullptr);
    EXPECT_NE(marker, flare);
    EXPECT_EQ(marker->GetParent(), world);
    engine::Vec3 point;
    sceneLevel.GetHexMap().GetLevelPoint(point, L("D4"));
    const engine::Matrix44& placed = marker->GetLocalMatrix();
    EXPECT_FLOAT_EQ(placed.m[3][0], point.x);
    EXPECT_FLOAT_EQ(placed.m[3][1], point.y);
    EXPECT_FLOAT_EQ(placed.m[3][2], point.z);
    EXPECT_NEAR(placed.m[1][1], 0.0f, 1e-6f) << "turned a quarter about x";
    EXPECT_NEAR(std::abs(placed.m[1][2]), 1.0f, 1e-6f);
    presenter.ShowReachMarker(L("B2"), {});
    EXPECT_EQ(presenter.GetReachMarker(), marker) << "placed once";

    sceneLevel.Destroy();
    EXPECT_EQ(world->GetChildCount(), 0) << "the model and the marker went with the level";
    EXPECT_EQ(presenter.GetModelNode(), nullptr);
    EXPECT_EQ(presenter.GetCraterList(), nullptr);
    EXPECT_EQ(engine::GetMaterialLib().FindByPath("Craters"), 0);
}

TEST_F(SceneLevelPresenterTest, GroundMarksAreQuadsOfTheCraterSheetInTheBlendedList) {
    Load(nullptr);
    const engine::MaterialDef* craters = engine::GetMaterialLib().Get(presenter.GetCraterMaterial());
    ASSERT_NE(craters, nullptr);
    EXPECT_EQ(craters->GetTexture(0), 11);
    EXPECT_EQ(craters->extraTexture, 12);
    EXPECT_EQ(craters->drawOrder, 900);
    EXPECT_EQ(craters->flags, 0x200u);
    EXPECT_EQ(craters->alphaTestMode, 2);
    EXPECT_EQ(craters->blendMode, 3);
    const engine::MaterialDef* shadows = engine::GetMaterialLib().Get(presenter.GetShadowMaterial());
    ASSERT_NE(shadows, nullptr);
    EXPECT_EQ(shadows->GetTexture(0), 13);
    EXPECT_EQ(shadows->drawOrder, 1);
    EXPECT_EQ(shadows->blendMode, 2);
    ASSERT_NE(presenter.GetShadowList(), nullptr);
    EXPECT_EQ(presenter.GetShadowList()->GetCapacity(), 240);
    engine::SortedBillboardList* list = presenter.GetCraterList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetCapacity(), 32);

    presenter.DrawGroundMarks(sceneLevel, queue);
    EXPECT_EQ(queue.GetDrawList(1).Count(), 0) << "no marks, nothing queued";

    sceneLevel.AddCrater(1, {1.0f, 0.5f, 2.0f});
    sceneLevel.AddCrater(0, {3.0f, 0.0f, 4.0f});
    sceneLevel.AddCrater(7, {9.0f, 9.0f, 9.0f});
    presenter.DrawGroundMarks(sceneLevel, queue);
    presenter.DrawGroundMarks(sceneLevel, queue);  // each frame refills the list
    ASSERT_EQ(list->GetCount(), 2) << "one crater, one scorch mark; other kinds leave none";
    const GroundMark& crater = sceneLevel.GetGroundMark(1, 0);
    const engine::BillboardSprite& first = list->GetItem(0);
    EXPECT_FLOAT_EQ(first.position.x, 1.0f);
    EXPECT_FLOAT_EQ(first.position.z, 2.0f);
    EXPECT_FLOAT_EQ(first.angle, crater.angle);
    EXPECT_FLOAT_EQ(first.uMin, static_cast<float>(crater.variant % 4) * 0.25f);
    EXPECT_FLOAT_EQ(first.vMin, static_cast<float>(crater.variant / 4) * 0.25f + 0.5f) << "craters: lower half";
    EXPECT_FLOAT_EQ(first.uMax - first.uMin, 0.25f);
    EXPECT_FLOAT_EQ(first.vMax - first.vMin, 0.25f);
    EXPECT_FLOAT_EQ(first.sizeX, 0.8f);
    const GroundMark& scorch = sceneLevel.GetGroundMark(0, 0);
    EXPECT_FLOAT_EQ(list->GetItem(1).vMin, static_cast<float>(scorch.variant / 4) * 0.25f) << "upper half";

    engine::DrawList& blended = queue.GetDrawList(1);
    ASSERT_EQ(blended.Count(), 2);
    EXPECT_EQ(blended.Get(0).kind, static_cast<std::uint32_t>(engine::kEntrySortedBillboards));
    EXPECT_EQ(blended.Get(0).object, list);
    EXPECT_EQ(blended.Get(0).flags, 2050u);
    EXPECT_EQ(queue.GetDrawList(0).Count(), 0);
}

TEST_F(SceneLevelPresenterTest, AMissingModelEffectOrTextureLeavesOnlyItsOwnPartOut) {
    hasModel = false;
    hasFlare = false;
    textures.erase(kCraterTexture);
    Load(kReachMission);
    EXPECT_EQ(presenter.GetModelNode(), nullptr);
    EXPECT_EQ(world->GetChildCount(), 0);
    EXPECT_EQ(presenter.GetReachMarker(), nullptr);
    sceneLevel.SetMapTopTreeVisible(false);  // no model: nothing to hide, no crash
    EXPECT_EQ(presenter.GetCraterList(), nullptr);
    EXPECT_NE(presenter.GetShadowList(), nullptr) << "the shadow sheet is there";
    sceneLevel.AddCrater(1, {1.0f, 0.0f, 1.0f});
    presenter.DrawGroundMarks(sceneLevel, queue);
    EXPECT_EQ(queue.GetDrawList(1).Count(), 0);
}

}  // namespace
}  // namespace level_test
