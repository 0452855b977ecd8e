// The level generator on a 3 x 3 map with every kind of ground, and the level checks on models built from it
// and from deliberately wrong copies of its map.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/platform/data_folders.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/model_table.h"
#include "engine/scene/scene_container.h"
#include "engine/scene/scene_node.h"
#include "game/battle/battle_types.h"
#include "game/battle/hex_map.h"
#include "game/battle/hex_map_file.h"
#include "game/battle/hex_map_source.h"
#include "level_art.h"
#include "level_checks.h"
#include "level_mesh.h"
#include "level_writer.h"
#include "support/temp_folder.h"

namespace {

using namespace levelmodel;
using game::HexCoord;
using game::MakeHexCoord;

// Row A climbs through levels 0 to 2 (a road on A0); row B is water, shore and a ford; row C is a wall, its
// door and a wall again.
const char* const kFixture = R"(grid 3 3
L0 L1 L2
W0 S0 R0
L0 L0 L0
overlay A0
feature C0 5
feature C1 6 owner 1
feature C2 5
)";
const std::string kFolder = "Levels/Test";

game::HexMap LoadSource(const std::string& source) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(game::BuildHexMapFromSource(source, bytes, error)) << error;
    game::HexMap map;
    EXPECT_TRUE(game::LoadHexMapFromMemory(map, bytes.data(), bytes.size()));
    return map;
}

HexCoord Label(const char* label) {
    HexCoord hex;
    EXPECT_TRUE(game::ParseHexLabel(label, hex)) << label;
    return hex;
}

engine::Vec3 Centre(HexCoord hex) {
    const engine::Vec2 c = game::HexToWorld(hex);
    return {c.x, 0.0f, c.y};
}

struct Hit {
    float t;
    std::string material;
    bool front;  // the ray meets the side the triangle faces
};

// Every triangle of the mesh the ray from o along d meets (both faces), nearest first.
std::vector<Hit> Cast(const mdlbuild::AuthorMesh& mesh, const engine::Vec3& o, const engine::Vec3& d) {
    std::vector<Hit> hits;
    for (const mdlbuild::AuthorTriangle& tri : mesh.triangles) {
        const engine::Vec3 a = mesh.vertices[static_cast<std::size_t>(tri.corners[0])].position;
        const engine::Vec3 e1 = mesh.vertices[static_cast<std::size_t>(tri.corners[1])].position.Sub(a);
        const engine::Vec3 e2 = mesh.vertices[static_cast<std::size_t>(tri.corners[2])].position.Sub(a);
        const engine::Vec3 p = d.Cross(e2);
        const float det = e1.Dot(p);
        if (std::fabs(det) < 1e-9f) continue;
        const engine::Vec3 s = o.Sub(a);
        const float u = s.Dot(p) / det;
        const engine::Vec3 q = s.Cross(e1);
        const float v = d.Dot(q) / det;
        const float t = e2.Dot(q) / det;
        if (u < -1e-5f || v < -1e-5f || u + v > 1 + 1e-5f || t < 0) continue;
        hits.push_back({t, tri.material, e1.Cross(e2).Dot(d) < 0.0f});
    }
    std::sort(hits.begin(), hits.end(), [](const Hit& x, const Hit& y) { return x.t < y.t; });
    return hits;
}

// Heights met by a ray straight down near the hex centre (off the diagonals of its top), top first.
std::vector<Hit> Down(const mdlbuild::AuthorMesh& mesh, HexCoord hex) {
    engine::Vec3 o = Centre(hex);
    o.x += 0.05f;
    o.z += 0.03f;
    o.y = 10.0f;
    std::vector<Hit> hits = Cast(mesh, o, {0, -1, 0});
    for (Hit& h : hits) h.t = 10.0f - h.t;
    return hits;
}

TEST(LevelMesh, FixtureGroundStandsWhereUnitsStand) {
    game::HexMap map = LoadSource(kFixture);
    LevelMesh level;
    BuildLevelMesh(map, kFolder, level);
    ASSERT_FALSE(level.terrain.triangles.empty());
    EXPECT_TRUE(level.terrain.boxTree);
    EXPECT_TRUE(level.terrain.octree);

    struct Case {
        const char* hex;
        float top;
        Surface surface;
        bool wall;  // a wall stands on the ground, its top at the tile height
    };
    const Case cases[] = {
        {"A0", 0.0f, Surface::kRoad, false},   {"A1", 0.5f, Surface::kLand, false},
        {"A2", 1.0f, Surface::kLand, false},   {"B0", 0.0f, Surface::kWater, false},
        {"B1", 0.25f, Surface::kShore, false}, {"B2", 0.0f, Surface::kWater, false},
        {"C0", 0.0f, Surface::kLand, true},    {"C1", 0.0f, Surface::kLand, false},
        {"C2", 0.0f, Surface::kLand, true},
    };
    for (const Case& c : cases) {
        const std::vector<Hit> hits = Down(level.terrain, Label(c.hex));
        ASSERT_FALSE(hits.empty()) << c.hex;
        EXPECT_NEAR(hits.front().t, c.top, 1e-4f) << c.hex;
        EXPECT_EQ(hits.front().material, SurfaceMaterial(kFolder, c.surface, false)) << c.hex;
        EXPECT_TRUE(hits.front().front) << c.hex << ": the top faces down";
        engine::Vec3 standing;
        map.GetSurfacePoint(standing, Label(c.hex));
        EXPECT_NEAR(hits.front().t, standing.y - 0.001f, 1e-4f) << c.hex;

        const std::vector<Hit> above = Down(level.features, Label(c.hex));
        ASSERT_EQ(above.empty(), !c.wall) << c.hex;
        if (c.wall) {
            EXPECT_NEAR(above.front().t, map.GetTile(Label(c.hex)).height, 1e-4f) << c.hex;
            EXPECT_NEAR(above.front().t, 1.0f, 1e-4f) << c.hex;
            EXPECT_EQ(above.front().material, SurfaceMaterial(kFolder, Surface::kWall, false)) << c.hex;
        }
    }
}

TEST(LevelMesh, FordLiesLowerUnderItsFilm) {
    game::HexMap map = LoadSource(kFixture);
    LevelMesh level;
    BuildLevelMesh(map, kFolder, level);
    const std::vector<Hit> hits = Down(level.terrain, Label("B2"));
    ASSERT_GE(hits.size(), 2u);
    EXPECT_NEAR(hits[0].t, 0.0f, 1e-4f);
    EXPECT_EQ(hits[0].material, SurfaceMaterial(kFolder, Surface::kWater, false));
    EXPECT_NEAR(hits[1].t, -kFordDepth, 1e-4f);
    EXPECT_EQ(hits[1].material, SurfaceMaterial(kFolder, Surface::kFordBed, false));
}

// A level ray from one centre toward the next meets a side face on their shared edge exactly when the
// ray runs below the higher of the two.
TEST(LevelMesh, SideFacesStandBetweenLevels) {
    game::HexMap map = LoadSource(kFixture);
    LevelMesh level;
    BuildLevelMesh(map, kFolder, level);
    struct Case {
        const char* from;
        const char* to;
        float y;
        bool face;
        bool front;
    };
    const Case cases[] = {
        {"A0", "A1", 0.25f, true, true},   // up one level
        {"A1", "A2", 0.75f, true, true},   // and the next
        {"A2", "A1", 0.75f, true, false},  // from inside the higher tile: the same face, from behind
        {"B0", "A0", 0.1f, false, false},  // water and land at one height
        {"A0", "A1", 0.6f, false, false},  // above the higher tile
        {"B2", "B1", 0.1f, true, true},    // over the ford's film against the shore's bank
    };
    for (const Case& c : cases) {
        engine::Vec3 o = Centre(Label(c.from));
        const engine::Vec3 to = Centre(Label(c.to));
        o.y = c.y;
        const std::vector<Hit> hits = Cast(level.terrain, o, {to.x - o.x, 0.0f, to.z - o.z});
        const bool face = !hits.empty() && hits.front().t < 1.0f;
        EXPECT_EQ(face, c.face) << c.from << " to " << c.to << " at " << c.y;
        if (c.face && face) {
            EXPECT_NEAR(hits.front().t, 0.5f, 1e-3f) << c.from << " to " << c.to;
            EXPECT_EQ(hits.front().material, SurfaceMaterial(kFolder, Surface::kCliff, false));
            EXPECT_EQ(hits.front().front, c.front) << c.from << " to " << c.to;
        }
    }
}

TEST(LevelMesh, WallsJoinToTheDoorButNotOverIt) {
    game::HexMap map = LoadSource(kFixture);
    LevelMesh level;
    BuildLevelMesh(map, kFolder, level);
    const engine::Vec3 door = Centre(Label("C1"));
    for (const mdlbuild::AuthorMesh* mesh : {&level.terrain, &level.features}) {
        for (const mdlbuild::AuthorVertex& v : mesh->vertices) {
            const float ground = std::hypot(v.position.x - door.x, v.position.z - door.z);
            EXPECT_FALSE(ground < 0.45f && v.position.y > 0.01f)
                << "a vertex at " << v.position.y << " on the door tile";
        }
    }
    // Each wall reaches the door's edge: a ray along the row at half height meets the arm at the edge.
    for (const char* wall : {"C0", "C2"}) {
        engine::Vec3 o = door;
        o.y = 0.5f;
        const engine::Vec3 to = Centre(Label(wall));
        const std::vector<Hit> hits = Cast(level.features, o, {to.x - o.x, 0.0f, to.z - o.z});
        ASSERT_FALSE(hits.empty()) << wall;
        EXPECT_NEAR(hits.front().t, 0.5f, 1e-3f) << wall;
        EXPECT_EQ(hits.front().material, SurfaceMaterial(kFolder, Surface::kWall, false));
    }
}

TEST(LevelMesh, SnowLevelsUseTheSnowyCommonMaterials) {
    game::HexMap map = LoadSource(std::string("weather 3\n") + kFixture);
    LevelMesh level;
    BuildLevelMesh(map, kFolder, level);
    const std::string snowCliff = SurfaceMaterial(kFolder, Surface::kCliff, true);
    EXPECT_EQ(snowCliff, "Levels/Common/SnowCliff");
    EXPECT_TRUE(std::any_of(level.terrain.triangles.begin(), level.terrain.triangles.end(),
                            [&](const mdlbuild::AuthorTriangle& t) { return t.material == snowCliff; }));
}

TEST(LevelMesh, SceneryStandsOnObstaclesAndStopsAt128) {
    // Two rows of 48 wooded tiles and a third of 48 more: 144 candidates.
    std::string source = "grid 48 3\n";
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 48; ++column) source += column == 0 ? "L1" : " L1";
        source += "\n";
    }
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 48; ++column) {
            source += "feature " + game::FormatHexLabel(MakeHexCoord(column, row)) + " 1\n";
        }
    }
    game::HexMap map = LoadSource(source);
    LevelMesh level;
    BuildLevelMesh(map, kFolder, level);
    ASSERT_EQ(level.scenery.size(), static_cast<std::size_t>(kMaxSceneryNodes));
    for (const SceneryPlacement& p : level.scenery) {
        EXPECT_NE(std::find(SceneryNames().begin(), SceneryNames().end(), p.name), SceneryNames().end()) << p.name;
        EXPECT_FLOAT_EQ(p.position.y, 0.5f + 1.0f);  // on the obstacle's top, the tile height
    }
}

TEST(LevelArt, EverySceneryShapeBuildsAndKindsOutsideTheListDoNot) {
    for (const std::string& name : SceneryNames()) {
        mdlbuild::AuthorMesh mesh;
        const std::string kind = name.substr(0, name.find('/'));
        ASSERT_TRUE(SceneryMesh(kind, mesh)) << kind;
        EXPECT_GT(mesh.triangles.size(), 0u) << kind;
        EXPECT_LE(mesh.triangles.size(), 150u) << kind;
        for (const mdlbuild::AuthorTriangle& t : mesh.triangles) EXPECT_TRUE(t.material.empty()) << kind;
    }
    mdlbuild::AuthorMesh mesh;
    EXPECT_FALSE(SceneryMesh("Tree4", mesh));
    EXPECT_FALSE(SceneryMesh("Palm", mesh));
}

// --- The checks, on models written and loaded as the game loads them ---------------------------------------

class LevelChecks : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(engine::GetMaterialLib().Init(1024, nullptr));
        ASSERT_TRUE(engine::ModelTable::Init(256));
        engine::SetActiveArchiveSet(nullptr);
        engine::SetBaseFolderNarrow(folder_.Path().c_str());
        data_ = folder_.File("Data/PC");
        Palette palette;
        std::string error;
        ASSERT_TRUE(
            ParsePalette("land 6E9448\nhill 7C6A3E\nshore B09A5E\nroad A89070\nblocked 3A3A3A\n"
                         "tree 2F5A28\nwall 505050\nwater 2E5E8C\nford 5FA0A8\n",
                         palette_, error))
            << error;
        ASSERT_TRUE(WriteCommonAssets(data_, palette_, error)) << error;
    }
    void TearDown() override {
        if (root_ != nullptr) root_->Destroy();
        engine::ModelTable::Free();
        engine::GetMaterialLib().Free();
        engine::SetBaseFolderNarrow("");
    }

    // Writes the level of the map and loads it back into fresh tables, as the game finds it.
    engine::SceneNode& Load(game::HexMap map, const std::string& folder, const char* remove = nullptr) {
        std::string error;
        EXPECT_TRUE(WriteLevel(data_, folder, map, palette_, error)) << error;
        if (remove != nullptr) std::filesystem::remove(std::filesystem::path(data_) / remove);
        if (root_ != nullptr) root_->Destroy();
        root_ = nullptr;
        engine::ModelTable::Free();
        engine::GetMaterialLib().Free();
        textures_ = std::make_unique<DecodingTextureSource>();
        EXPECT_TRUE(engine::GetMaterialLib().Init(1024, textures_.get()));
        EXPECT_TRUE(engine::ModelTable::Init(256));
        root_ = engine::LoadSceneContainer((folder + "/Map").c_str());
        EXPECT_NE(root_, nullptr);
        return *root_;
    }

    static std::vector<std::string> Where(const std::vector<LevelFault>& faults) {
        std::vector<std::string> out;
        for (const LevelFault& f : faults) out.push_back(f.where + ": " + f.message);
        return out;
    }

    testsupport::TempFolder folder_;
    std::string data_;
    Palette palette_;
    std::unique_ptr<DecodingTextureSource> textures_;
    engine::SceneNode* root_ = nullptr;
};

TEST_F(LevelChecks, TheGeneratedFixturePasses) {
    game::HexMap map = LoadSource(kFixture);
    engine::SceneNode& root = Load(map, kFolder);
    LevelCheckCounts counts;
    EXPECT_THAT(Where(CheckLevelModel(map, root, 7, &counts)), ::testing::IsEmpty());
    EXPECT_EQ(counts.picks, 9);
    EXPECT_EQ(counts.clicks, 9);
}

// The fault rows: a model built from a wrong copy of the map is checked against the map itself.
TEST_F(LevelChecks, ModelsThatDisagreeWithTheirMapAreReported) {
    struct Case {
        const char* name;
        const char* tile;
        void (*spoil)(game::HexMap&);
    };
    const Case cases[] = {
        {"a level 0.1 above one hex", "tile A1", [](game::HexMap& m) { m.EditTile(Label("A1"))->height += 0.1f; }},
        {"a wall on a door tile", "tile C1",
         [](game::HexMap& m) {
             m.EditTile(Label("C1"))->objectType = 5;
             m.EditTile(Label("C1"))->height = 1.0f;
         }},
    };
    int made = 0;
    for (const Case& c : cases) {
        const game::HexMap map = LoadSource(kFixture);
        game::HexMap spoilt = map;
        c.spoil(spoilt);
        // A folder per model: the model table keeps a loaded model by its name.
        engine::SceneNode& root = Load(spoilt, kFolder + std::to_string(++made));
        game::HexMap checked = map;
        std::vector<LevelFault> faults;
        CheckCentrePicks(checked, root, faults);
        ASSERT_EQ(faults.size(), 1u) << c.name << ": " << ::testing::PrintToString(Where(faults));
        EXPECT_EQ(faults[0].where, c.tile) << c.name;
    }
}

TEST_F(LevelChecks, MaterialsNeedEveryTextureTheirShaderSetDeclares) {
    game::HexMap map = LoadSource(kFixture);
    std::vector<LevelFault> faults;
    CheckLevelMaterials(Load(map, kFolder), faults);
    EXPECT_THAT(Where(faults), ::testing::IsEmpty());
    const engine::MaterialDef* land =
        engine::GetMaterialLib().Get(engine::GetMaterialLib().FindInGroup((kFolder + "/Land").c_str(), 0));
    ASSERT_NE(land, nullptr);
    EXPECT_NE(land->GetTexture(3), 0) << "the map texture";

    CheckLevelMaterials(Load(map, kFolder + "Bare", "Levels/Common/Stone.png"), faults);
    EXPECT_THAT(Where(faults), ::testing::ElementsAre(": the material Levels/Common/Wall has no texture in slot 0",
                                                      ": the material Levels/Common/Wall has no texture in slot 1"));
}

TEST_F(LevelChecks, ALevelOverTheTriangleBudgetIsRefused) {
    // Every hex of the full grid a wall joined to all its neighbours.
    std::string source = "grid 48 38\n";
    for (int row = 0; row < 38; ++row) {
        for (int column = 0; column < 48; ++column) {
            source += column == 0 ? "" : " ";
            source += row == 37 && column % 2 == 0 ? "." : "L0";
        }
        source += "\n";
    }
    for (int row = 0; row < 38; ++row) {
        for (int column = 0; column < 48; ++column) {
            const HexCoord hex = MakeHexCoord(column, row);
            if (game::IsValidHex(hex)) source += "feature " + game::FormatHexLabel(hex) + " 5\n";
        }
    }
    game::HexMap map = LoadSource(source);
    std::string error;
    EXPECT_FALSE(WriteLevel(data_, "Levels/Walls", map, palette_, error));
    EXPECT_THAT(error, ::testing::HasSubstr("triangles, over 40000")) << error;
}

TEST_F(LevelChecks, SceneryMustFitTheDecorations) {
    auto tree = [](int scenery, bool underTop) {
        engine::SceneNode* root = engine::SceneNode::Init(engine::kNodeGroup, "Levels/X/Map");
        engine::SceneNode* top = engine::SceneNode::Init(engine::kNodeGroup, "MapTopTree");
        root->AddChild(top);
        for (int i = 0; i < scenery; ++i) {
            (underTop ? top : root)->AddChild(engine::SceneNode::Init(engine::kNodeGroup, "Tree1/Tree1"));
        }
        return root;
    };
    struct Case {
        const char* name;
        int scenery;
        bool underTop;
        std::size_t faults;
    };
    const Case cases[] = {
        {"128 scenery nodes", 128, true, 0},
        {"129 scenery nodes", 129, true, 1},
        {"scenery outside MapTopTree", 1, false, 1},
    };
    for (const Case& c : cases) {
        engine::SceneNode* root = tree(c.scenery, c.underTop);
        std::vector<LevelFault> faults;
        CheckScenery(*root, faults);
        EXPECT_EQ(faults.size(), c.faults) << c.name << ": " << ::testing::PrintToString(Where(faults));
        root->Destroy();
    }
    engine::SceneNode* bare = engine::SceneNode::Init(engine::kNodeGroup, "Levels/X/Map");
    std::vector<LevelFault> faults;
    CheckScenery(*bare, faults);
    EXPECT_EQ(faults.size(), 1u) << "no MapTopTree";
    bare->Destroy();
}

}  // namespace
