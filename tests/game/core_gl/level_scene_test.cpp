// The level in the game's scene over generated data files: the folder's map model and its top-tree layer
// under the world node, the tile markers and the ground marks drawn into the frame from straight above, and
// the movement marker attached where a move goes and detached when the battle ends.
#include "engine/image/surface_copy.h"
#include "game/battle/battle_types.h"
#include "scene_view_fixture.h"

namespace core_test {
namespace {

class LevelSceneTest : public SceneGameViewTest {
protected:
    void SetUp() override {
        useSceneLevel = true;
        ASSERT_NO_FATAL_FAILURE(SceneGameViewTest::SetUp());
        // The map: a group with the tree layer a level down; no mesh, so only markers and marks show.
        WriteContainer("Levels/Map/Map", {Node(engine::kNodeGroup, "Props", 0), Node(engine::kNodeGroup, "MapTopTree_A", 1)});
        ASSERT_NE(engine::CreateBoxModel({{-0.3f, 0, -0.3f}, {0.3f, 0.3f, 0.3f}}, engine::WideString("StandIn/Pin"), 0),
                  0);
        cntbuild::AuthorNode pin = Node(engine::kNodeMesh, "pin", 0);
        pin.mesh = "StandIn/Pin";
        WriteContainer("Markers/Movement/Marker", {pin});
        for (const char* name : {"Common/MoveMarker", "Common/FireMarker", "Common/ExitMarker", "Common/DRUV_craters",
                                 "Common/DRUV_shadow"}) {
            WritePng(name);
        }
        view->LoadResources();
        LoadLevel();
        ASSERT_NE(game->GetLevel(), nullptr);
        hex = level_test::L("C3");
        game->GetLevel()->GetHexMap().GetSurfacePoint(surface, hex);
        engine::Matrix44 camera;  // straight down from above the tile
        camera.SetRow(0, {1, 0, 0});
        camera.SetRow(1, {0, 0, 1});
        camera.SetRow(2, {0, -1, 0});
        camera.SetRow(3, {surface.x, surface.y + 4.0f, surface.z});
        view->GetSceneView()->GetViewTransform().SetMatrix(camera);
    }

    static cntbuild::AuthorNode Node(int type, const char* name, int depth) {
        cntbuild::AuthorNode node;
        node.type = type;
        node.name = name;
        node.depth = depth;
        return node;
    }
    void WriteContainer(const std::string& path, std::vector<cntbuild::AuthorNode> children) {
        cntbuild::AuthorNode root = Node(engine::kNodeGroup, path.c_str(), -1);
        children.insert(children.begin(), root);
        const std::vector<std::uint8_t> bytes = cntbuild::EncodeContainer(children, {});
        ASSERT_TRUE(data->Write(path + ".CNT", std::string(bytes.begin(), bytes.end())));
    }
    // An opaque white texture.
    void WritePng(const std::string& name) {
        const std::vector<std::uint32_t> texels(16, 0xFFFFFFFFu);
        const auto surface = engine::PackedSurface(engine::SurfaceFormat::kA8R8G8B8, 4, 4,
                                                   reinterpret_cast<const std::uint8_t*>(texels.data()));
        const std::vector<std::uint8_t> png = engine::EncodePng(surface);
        ASSERT_TRUE(data->Write(name + ".PNG", std::string(png.begin(), png.end())));
    }

    // One battle frame through the game's order of the view's steps; the middle pixel as RGB.
    std::array<int, 3> DrawFrame() {
        Level& level = *game->GetLevel();
        view->BuildRenderQueue();
        view->DrawTileMarkers(level);
        view->DrawLevelEffects(level);
        view->BeginFrame(0xFF003F7Fu);
        view->RenderQueue();
        view->EndFrame();
        made->FrameStep();
        const std::vector<std::uint8_t>& image = sys::GpuHooks().presentedImage;
        const std::uint8_t* p = image.data() + (static_cast<std::size_t>(kHeight / 2) * kWidth + kWidth / 2) * 4;
        return {p[0], p[1], p[2]};
    }
    static bool IsClearColour(const std::array<int, 3>& rgb) {
        return rgb[0] == kClear[0] && rgb[1] == kClear[1] && rgb[2] == kClear[2];
    }
    int CountBlended(const void* object) {
        engine::DrawList& blended = view->GetRenderQueue()->GetDrawList(1);
        int count = 0;
        for (int i = 0; i < blended.Count(); ++i) count += blended.Get(i).object == object ? 1 : 0;
        return count;
    }

    HexCoord hex;
    engine::Vec3 surface;
};

TEST_F(LevelSceneTest, TheMapHangsUnderTheWorldAndItsTopTreeLayerCanBeHidden) {
    SceneLevelPresenter& scene = view->GetSceneLevel();
    ASSERT_NE(scene.GetModelNode(), nullptr);
    EXPECT_EQ(scene.GetModelNode()->GetParent(), view->GetWorldNode());
    ASSERT_NE(scene.GetMapTopTree(), nullptr);
    game->GetLevel()->SetMapTopTreeVisible(false);
    EXPECT_EQ(scene.GetMapTopTree()->GetFlags() & engine::kNodeActive, 0u);
    game->EndLevel();
    EXPECT_EQ(scene.GetModelNode(), nullptr);
    EXPECT_EQ(view->GetWorldNode()->GetChildCount(), 1) << "only the explosions node stays";
}

TEST_F(LevelSceneTest, AMarkedTileShowsItsMarkerInTheFrame) {
    ASSERT_TRUE(view->GetTileMarkers().Create());
    while (glGetError() != GL_NO_ERROR) {
    }
    EXPECT_TRUE(IsClearColour(DrawFrame())) << "no marks, nothing drawn";
    game->GetLevel()->GetHexMap().SetMarkBits(hex, kMarkMove);
    const std::array<int, 3> marked = DrawFrame();
    EXPECT_GT(marked[1], kClear[1] + 40) << "the green move tint over the clear colour";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(CountBlended(engine::ModelTable::Get(view->GetTileMarkers().GetModel())), 1);
}

TEST_F(LevelSceneTest, ACraterIsDrawnFlatOnTheGroundWhereTheUnitDied) {
    while (glGetError() != GL_NO_ERROR) {
    }
    EXPECT_TRUE(IsClearColour(DrawFrame()));
    game->GetLevel()->AddCrater(1, surface);
    EXPECT_FALSE(IsClearColour(DrawFrame()));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(CountBlended(view->GetSceneLevel().GetCraterList()), 1);
}

TEST_F(LevelSceneTest, TheMovementMarkerStandsWhereTheMoveGoesUntilItIsDetached) {
    engine::SceneNode* marker = view->GetMoveMarker();
    ASSERT_NE(marker, nullptr);
    EXPECT_EQ(marker->GetParent(), nullptr);
    EXPECT_FALSE(view->IsMoveMarkerFinished()) << "not shown";
    EXPECT_TRUE(IsClearColour(DrawFrame()));

    view->AttachMoveMarker(surface);
    EXPECT_EQ(marker->GetParent(), view->GetWorldNode());
    EXPECT_FLOAT_EQ(marker->GetLocalMatrix().m[3][0], surface.x);
    EXPECT_FLOAT_EQ(marker->GetLocalMatrix().m[3][2], surface.z);
    EXPECT_FALSE(IsClearColour(DrawFrame())) << "the pin seen from above";
    EXPECT_TRUE(view->IsMoveMarkerFinished()) << "a scene without an animation has nothing to wait for";
    view->DetachMoveMarker();
    EXPECT_EQ(marker->GetParent(), nullptr);
    EXPECT_TRUE(IsClearColour(DrawFrame()));

    view->AttachMoveMarker(surface);
    game->EndLevel();
    EXPECT_EQ(marker->GetParent(), nullptr) << "the battle's end takes it off the world";
}

}  // namespace
}  // namespace core_test
