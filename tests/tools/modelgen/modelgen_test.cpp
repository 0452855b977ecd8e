// The model generators: the shape kit's faces point outward, the soldier's skin reads back as the bones were
// posed, and the actions carry the end modes and lengths the unit classes wait on.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/animation_player.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/model_generators.h"
#include "engine/scene/model_file.h"
#include "engine/scene/model_table.h"
#include "engine/scene/scene_node.h"
#include "engine/scene/skeleton.h"
#include "game/battle/battle_types.h"
#include "modelgen/actions.h"
#include "modelgen/mesh_kit.h"
#include "modelgen/model_output.h"
#include "modelgen/unit_models.h"

namespace {

using engine::Matrix44;
using engine::Vec3;
using modelgen::MeshKit;

// The soldier's poses and actions from the data's source.
modelgen::PoseBook SoldierPoses() {
    modelgen::ModelOutput out("", TINMARCH_SOURCE_DIR "/data", true);
    modelgen::PoseBook book = modelgen::ReadPoses(out);
    EXPECT_TRUE(out.Faults().empty());
    return book;
}

class ModelgenTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(engine::GetMaterialLib().Init(256, nullptr));
        ASSERT_TRUE(engine::ModelTable::Init(256));
        folder_ = std::filesystem::temp_directory_path() / ("modelgen_test_" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder_);
    }
    void TearDown() override {
        engine::ModelTable::Free();
        engine::GetMaterialLib().Free();
        std::filesystem::remove_all(folder_);
    }

    // The mesh file written by the generator, loaded into the model table.
    engine::MeshModel* LoadWritten(const std::string& entry) {
        std::ifstream in(folder_ / entry, std::ios::binary);
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        engine::ModelDescription description;
        const auto none = [](const char*) { return 0; };
        if (!engine::ParseModelFile(bytes.data(), bytes.size(), engine::WideString(entry.c_str()), none, description)) {
            return nullptr;
        }
        engine::MeshModel* model = engine::NewMeshModel(engine::WideString(entry.c_str()), 0, 0);
        if (model == nullptr || !model->Upload(std::move(description))) return nullptr;
        return model;
    }

    std::filesystem::path folder_;
};

// Every triangle of a closed part faces away from the part's centre (the engine culls the other side).
TEST_F(ModelgenTest, ShapesFaceOutward) {
    const Vec3 centre{0.1f, 0.2f, -0.3f};
    struct Shape {
        const char* name;
        void (*make)(MeshKit& kit, const Vec3& c);
    };
    const Shape shapes[] = {
        {"box",
         [](MeshKit& k, const Vec3& c) {
             k.BoxAt(c, {0.4f, 0.2f, 0.6f});
         }},
        {"tapered",
         [](MeshKit& k, const Vec3& c) {
             k.Tapered(c - Vec3{0.2f, 0.1f, 0.2f}, c + Vec3{0.2f, 0.1f, 0.2f}, 0.05f, 0.08f);
         }},
        {"prism along z",
         [](MeshKit& k, const Vec3& c) {
             k.Prism(c - Vec3{0, 0, 0.3f}, c + Vec3{0, 0, 0.3f}, 0.1f, 6);
         }},
        {"prism along y",
         [](MeshKit& k, const Vec3& c) {
             k.Prism(c - Vec3{0, 0.3f, 0}, c + Vec3{0, 0.3f, 0}, 0.1f, 5);
         }},
        {"cone",
         [](MeshKit& k, const Vec3& c) {
             k.Cone(c - Vec3{0.2f, 0, 0}, c + Vec3{0.2f, 0, 0}, 0.1f, 8);
         }},
        {"hex slab", [](MeshKit& k, const Vec3& c) { k.HexSlab(c, 0.5f, c.y - 0.05f, c.y + 0.05f); }},
    };
    for (const Shape& shape : shapes) {
        MeshKit kit;
        shape.make(kit, centre);
        const auto& mesh = kit.Mesh();
        ASSERT_FALSE(mesh.triangles.empty()) << shape.name;
        for (const auto& t : mesh.triangles) {
            const Vec3 a = mesh.vertices[t.corners[0]].position;
            const Vec3 b = mesh.vertices[t.corners[1]].position;
            const Vec3 c = mesh.vertices[t.corners[2]].position;
            const Vec3 normal = (b - a).Cross(c - a);
            const Vec3 middle = (a + b + c) * (1.0f / 3.0f);
            EXPECT_GT(normal.Dot(middle - centre), 0.0f) << shape.name;
        }
    }
}

// The soldier's file: 16 bones, bone sets within 40, and skin matrices that are
// inverse(F0) x Fk of the posed bones at every frame asked for (the run among them moves the legs).
TEST_F(ModelgenTest, SoldierSkinReadsBackAsPosed) {
    modelgen::ModelOutput out(folder_.string(), TINMARCH_SOURCE_DIR "/data", false);
    modelgen::WriteSwatches(out);
    modelgen::WriteSoldier(out, SoldierPoses(), game::UT_GRUNT);
    ASSERT_TRUE(out.Faults().empty()) << out.Faults().front();
    engine::MeshModel* model = LoadWritten("Units/Grunt/Soldier.MDL");
    ASSERT_NE(model, nullptr);
    ASSERT_NE(model->skeleton, nullptr);
    EXPECT_EQ(model->skeleton->BoneCount(), 16);
    EXPECT_LE(model->GetTriangleCount(), 900);
    for (int b = 0; b < model->GetBatchCount(); ++b) {
        ASSERT_NE(model->GetBatch(b)->boneSet, nullptr);
        EXPECT_LE(model->GetBatch(b)->boneSet->count, 40);
    }

    const auto frames = modelgen::SoldierFrames(SoldierPoses(), game::UT_GRUNT);
    engine::SceneNode* node = engine::SceneNode::Init(engine::kNodeAnimatedMesh, "soldier");
    ASSERT_NE(node, nullptr);
    node->SetPayload(model->handle);
    const int last = static_cast<int>(frames.size()) - 1;
    for (int frame : {0, 1, 37, last / 2, last}) {
        node->SetFixedFrame(frame);
        engine::SkinMatrixCache* cache = node->GetSkinMatrices();
        ASSERT_NE(cache, nullptr);
        for (int b = 0; b < 16; ++b) {
            Matrix44 inverse, expected;
            Matrix44::InverseAffine(frames[0][b], inverse);
            Matrix44::MultiplyAffine(frames[static_cast<std::size_t>(frame)][b], expected, inverse);
            for (int r = 0; r < 4; ++r) {
                for (int c = 0; c < 3; ++c) {
                    EXPECT_NEAR(cache->matrices[static_cast<std::size_t>(b)].m[r][c], expected.m[r][c], 1e-3f)
                        << "frame " << frame << " bone " << b;
                }
            }
        }
    }
    node->Destroy();
}

// The run loop moves the legs from frame to frame; the bind pose is frame 0.
TEST_F(ModelgenTest, RunMovesTheLegs) {
    const auto plans = modelgen::SoldierActions(SoldierPoses(), modelgen::SoldierKind::kStanding);
    int first = 1;
    for (const auto& plan : plans) {
        if (plan.name == "run") break;
        first += modelgen::FrameCount(plan);
    }
    const auto frames = modelgen::SoldierFrames(SoldierPoses(), game::UT_TROOPER);
    const Vec3 a = frames[static_cast<std::size_t>(first)][modelgen::kLeftFoot].GetTranslation();
    const Vec3 b = frames[static_cast<std::size_t>(first + 4)][modelgen::kLeftFoot].GetTranslation();
    EXPECT_GT((b - a).Length(), 0.02f);
}

// Each kind's actions: spawn targets written before the actions that name them, and the lengths and end
// modes the classes wait on.
TEST_F(ModelgenTest, ActionsKeepTheirEndsAndLengths) {
    using cntbuild::EndMode;
    const modelgen::PoseBook poses = SoldierPoses();
    for (auto kind : {modelgen::SoldierKind::kStanding, modelgen::SoldierKind::kProne,
                      modelgen::SoldierKind::kGrenadier, modelgen::SoldierKind::kEngineer}) {
        const auto actions = modelgen::BakeActions(modelgen::SoldierActions(poses, kind), 1);
        std::vector<std::string> seen;
        int next = 1;
        for (const auto& action : actions) {
            if (action.end == EndMode::kSpawn) {
                EXPECT_NE(std::find(seen.begin(), seen.end(), action.target), seen.end()) << action.name;
            }
            ASSERT_EQ(action.frames.size(), 1u);
            EXPECT_EQ(action.frames[0].first, next) << action.name;
            next = action.frames[0].last + 1;
            const float seconds = static_cast<float>(action.frames[0].last - action.frames[0].first + 1) / 30.0f;
            if (action.name == "die") {
                EXPECT_LE(seconds, 2.0f);
            }
            if (action.name == "jump") {
                EXPECT_TRUE(seconds >= 0.5f && seconds <= 0.9f);
            }
            if (action.name == "die" || action.name == "stand" || action.name == "getdown") {
                EXPECT_EQ(action.end, EndMode::kHold);
            }
            seen.push_back(action.name);
        }
    }
}

}  // namespace
