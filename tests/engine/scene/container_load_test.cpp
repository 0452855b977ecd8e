// Loading a container through the engine's data files: the ".CNT" beside any extension given, models from
// their files or unit boxes in their place, and the animation text named after the root.
#include <gtest/gtest.h>

#include "container_fixture.h"
#include "engine/core/byte_buffer.h"
#include "engine/platform/archive_set.h"
#include "engine/platform/data_folders.h"
#include "engine/scene/animation_player.h"
#include "engine/scene/animation_set.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/model_generators.h"
#include "engine/scene/model_table.h"
#include "model_test_support.h"
#include "scene_test_support.h"
#include "support/temp_folder.h"

using namespace engine;

namespace {

using ContainerLoadTest = scenetest::ModelTest;

TEST_F(ContainerLoadTest, LoadSceneContainerReadsTheDataFiles) {
    const int made = CreateBoxModel(Aabb{{-1, -1, -1}, {1, 1, 1}}, WideString("Crate"), 0);
    std::unique_ptr<ByteBuffer> model = GetMeshModelByHandle(made)->SaveToBuffer();
    ASSERT_NE(model, nullptr);
    GetModelByHandle(made)->Delete();
    cntbuild::AuthorNode crate = scenetest::Node(0, kNodeMesh, "crate");
    crate.mesh = "Props/Crate";
    cntbuild::AuthorNode gone = scenetest::Node(0, kNodeMesh, "gone");
    gone.mesh = "Props/Gone";
    const std::vector<std::uint8_t> tree = scenetest::Encode({scenetest::Node(-1, kNodeGroup, "x"), crate, gone});
    const std::string text = "[ANIMATION_V1]\r\n[ACTION]\r\ndefault\r\nhold\r\n0,1\r\n[ENDANIMATION]\r\n";

    testsupport::TempFolder folder;
    SetActiveArchiveSet(nullptr);
    SetBaseFolderNarrow(folder.Path().c_str());
    ASSERT_TRUE(folder.Write("Data/PC/Props/Crate.MDL", model->Data(), model->Size()));
    ASSERT_TRUE(folder.Write("Data/PC/Units/Depot.CNT", tree.data(), tree.size()));
    ASSERT_TRUE(folder.Write("Data/PC/Units/ZavicDepot.TXT", text.data(), text.size()));

    scenetest::NodePtr root(LoadSceneContainer("Units/Depot.xyz"));
    ASSERT_NE(root, nullptr);
    EXPECT_TRUE(root->GetName().EqualsNarrow("Units/Depot.CNT"));
    const Model* loaded = root->GetChild(0)->GetModel();
    ASSERT_NE(loaded, nullptr);
    EXPECT_FLOAT_EQ(loaded->GetBounds().max.x, 1.0f);
    // The missing model is a unit box named by the mesh name.
    const Model* standIn = root->GetChild(1)->GetModel();
    ASSERT_NE(standIn, nullptr);
    EXPECT_TRUE(standIn->GetName().EqualsNarrow("Props/Gone"));
    EXPECT_FLOAT_EQ(standIn->GetBounds().max.x, 0.5f);
    ASSERT_NE(root->GetAnimationPlayer(), nullptr);
    EXPECT_TRUE(root->GetAnimationPlayer()->GetCurrentName().EqualsNarrow("default"));

    EXPECT_EQ(LoadSceneContainer("Units/Missing"), nullptr);
    SetBaseFolderNarrow("");
}

}  // namespace
