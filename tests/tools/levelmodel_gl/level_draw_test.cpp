// A generated level drawn from above on the GL test context, through the engine's own texture loads and
// shader sets: its ground shows its textures, never the placeholder checkerboard.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/platform/data_folders.h"
#include "engine/render/material_manager_hooks.h"
#include "engine/scene/scene_container.h"
#include "game/battle/hex_map.h"
#include "game/battle/hex_map_file.h"
#include "game/battle/hex_map_source.h"
#include "level_writer.h"
#include "scene_gl/scene_render_fixture.h"
#include "support/temp_folder.h"

namespace {

using namespace levelmodel;

// Land, water and a ford in a row, with a wall below them.
const char* const kLevel = R"(grid 3 2
L0 W0 R0
L0 L0 L0
feature B1 5
)";

class LevelDrawTest : public scenegl::SceneRenderTest {
protected:
    void TearDown() override {
        engine::SetBaseFolderNarrow("");
        SceneRenderTest::TearDown();
    }

    // Writes the level, then loads it into fresh tables whose materials take their textures from the files.
    engine::SceneNode* WriteAndLoad(const std::string& source, const std::string& folder) {
        engine::SetActiveArchiveSet(nullptr);
        engine::SetBaseFolderNarrow(folder_.Path().c_str());
        std::vector<std::uint8_t> bytes;
        std::string error;
        EXPECT_TRUE(game::BuildHexMapFromSource(source, bytes, error)) << error;
        EXPECT_TRUE(game::LoadHexMapFromMemory(map_, bytes.data(), bytes.size()));
        Palette palette;
        EXPECT_TRUE(
            ParsePalette("land 6E9448\nhill 7C6A3E\nshore B09A5E\nroad A89070\nblocked 3A3A3A\n"
                         "tree 2F5A28\nwall 505050\nwater 2E5E8C\nford 5FA0A8\n",
                         palette, error));
        const std::string data = folder_.File("Data/PC");
        EXPECT_TRUE(WriteCommonAssets(data, palette, error)) << error;
        EXPECT_TRUE(WriteLevel(data, folder, map_, palette, error)) << error;
        engine::ModelTable::Free();
        engine::GetMaterialLib().Free();
        EXPECT_TRUE(engine::GetMaterialLib().Init(256, &textures_));
        EXPECT_TRUE(engine::ModelTable::Init(64));
        engine::SceneNode* level = engine::LoadSceneContainer((folder + "/Map").c_str());
        if (level == nullptr) return nullptr;
        UploadTree(*level);
        EXPECT_TRUE(root->AddChild(level));
        return level;
    }

    void UploadTree(engine::SceneNode& node) {
        if (node.GetType() == engine::kNodeMesh && node.GetModel() != nullptr) {
            if (engine::MeshModel* mesh = engine::GetMeshModelByHandle(node.GetModel()->GetHandle())) {
                for (engine::MeshBatch& batch : mesh->batches->batches) {
                    if (!batch.vertexBuffer) {
                        EXPECT_TRUE(engine::CreateDeviceBuffers(batch, &Gpu()));
                    }
                }
            }
        }
        for (int i = 0; i < node.GetChildCount(); ++i) UploadTree(*node.GetChild(i));
    }

    engine::Vec3 Centre(const char* label) const {
        game::HexCoord hex;
        EXPECT_TRUE(game::ParseHexLabel(label, hex));
        engine::Vec3 point;
        map_.GetSurfacePoint(point, hex);
        return point;
    }

    testsupport::TempFolder folder_;
    engine::TextureTableMaterialSource textures_;
    game::HexMap map_;
};

bool IsChecker(const std::array<int, 4>& p) {
    return (p[0] > 200 && p[1] < 40 && p[2] < 40) || (p[0] < 40 && p[1] < 40 && p[2] > 200);
}

TEST_F(LevelDrawTest, GroundWaterAndWallsShowTheirTextures) {
    ASSERT_NE(WriteAndLoad(kLevel, "Levels/Draw"), nullptr);
    const engine::Vec3 water = Centre("A1");
    const std::vector<std::uint8_t> picture = Render(scenegl::LookFrom({water.x, 6.0f, water.z - 0.5f}, water));
    const std::array<int, 4> land = PixelOf(picture, Centre("A0"));
    const std::array<int, 4> sea = PixelOf(picture, Centre("A1"));
    const std::array<int, 4> ford = PixelOf(picture, Centre("A2"));
    engine::Vec3 wallTop = Centre("B1");
    wallTop.y = map_.GetTile(game::MakeHexCoord(1, 1)).height;
    const std::array<int, 4> wall = PixelOf(picture, wallTop);
    for (const auto& [name, p] :
         {std::pair{"land", land}, std::pair{"water", sea}, std::pair{"ford", ford}, std::pair{"wall", wall}}) {
        EXPECT_FALSE(IsChecker(p)) << name << ": " << p[0] << ", " << p[1] << ", " << p[2];
        EXPECT_GT(p[0] + p[1] + p[2], 30) << name << " is black";
    }
    EXPECT_GT(land[1], land[2]) << "land is green: " << land[0] << ", " << land[1] << ", " << land[2];
    EXPECT_GT(sea[2], sea[0]) << "water is blue: " << sea[0] << ", " << sea[1] << ", " << sea[2];
    EXPECT_GT(ford[2], ford[0]) << "the ford shows its water: " << ford[0] << ", " << ford[1] << ", " << ford[2];
    EXPECT_LT(std::abs(wall[0] - wall[2]), 40)
        << "the wall is grey stone: " << wall[0] << ", " << wall[1] << ", " << wall[2];
}

}  // namespace
