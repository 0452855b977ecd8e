#include <gtest/gtest.h>

#include <filesystem>

#include "engine/core/byte_buffer.h"
#include "engine/platform/archive_set.h"
#include "engine/platform/data_folders.h"
#include "model_test_support.h"
#include "support/temp_folder.h"

namespace {

using namespace engine;
using scenetest::ModelTest;

const Aabb kUnit{{-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}};

class SmallTableTest : public ModelTest {
protected:
    SmallTableTest() { tableSize_ = 4; }
};

TEST_F(SmallTableTest, HoldsSizeMinusOneModelsAndReusesFreedHandles) {
    const int a = CreateBoxModel(kUnit, WideString("a"), 0);
    const int b = CreateBoxModel(kUnit, WideString("b"), 0);
    const int c = CreateBoxModel(kUnit, WideString("c"), 0);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(c, 3);
    // The fourth creation finds no slot: 0, and the model is not kept (LeakSanitizer checks the rest).
    EXPECT_EQ(CreateBoxModel(kUnit, WideString("d"), 0), 0);
    EXPECT_EQ(CreateKnotModel(), 0);
    EXPECT_EQ(ModelTable::Count(), 3);
    GetModelByHandle(b)->Delete();
    EXPECT_EQ(GetModelByHandle(b), nullptr);
    EXPECT_EQ(CreateBoxModel(kUnit, WideString("e"), 0), b);
    for (int h : {0, -1, 4, 5}) EXPECT_EQ(GetModelByHandle(h), nullptr) << h;
}

TEST_F(ModelTest, FindModelPrefersTheFullNameWithinTheGroup) {
    group_ = 1;
    const int byPart = CreateBoxModel(kUnit, WideString("Tank"), 0);
    const int full = CreateBoxModel(kUnit, WideString("units/TANK"), 0);
    group_ = 2;
    const int otherGroup = CreateBoxModel(kUnit, WideString("Units/Tank"), 0);
    EXPECT_EQ(FindModel(WideString("Units/Tank"), 1), full);
    EXPECT_EQ(FindModel(WideString("Units/Tank"), 2), otherGroup);
    GetModelByHandle(full)->Delete();
    // Without a full-name match the file-name part is tried.
    EXPECT_EQ(FindModel(WideString("Units/Tank"), 1), byPart);
    EXPECT_EQ(FindModel(WideString("Units/Jeep"), 1), 0);
    EXPECT_EQ(FindModel(WideString(""), 1), 0);
}

TEST_F(ModelTest, LoadingTwiceInAGroupGivesOneHandleAndAnotherGroupLoadsAgain) {
    const int made = CreateBoxModel(kUnit, WideString("Box"), 0);
    std::unique_ptr<ByteBuffer> saved = GetMeshModelByHandle(made)->SaveToBuffer();
    ASSERT_NE(saved, nullptr);
    testsupport::TempFolder folder;
    SetActiveArchiveSet(nullptr);
    SetBaseFolderNarrow(folder.Path().c_str());
    ASSERT_TRUE(folder.Write("Data/PC/Props/Crate.MDL", saved->Data(), saved->Size()));
    group_ = 5;
    const int first = LoadModel("Props/Crate");
    ASSERT_NE(first, 0);
    EXPECT_TRUE(GetModelByHandle(first)->GetName().EqualsNarrow("Props/Crate"));
    EXPECT_EQ(GetModelByHandle(first)->GetGroup(), 5);
    std::filesystem::remove(folder.Path() / "Data/PC/Props/Crate.MDL");
    EXPECT_EQ(LoadModel("Props/Crate"), first);
    group_ = 6;
    EXPECT_EQ(LoadModel("Props/Crate"), 0);  // the file is gone
    ASSERT_TRUE(folder.Write("Data/PC/Props/Crate.MDL", saved->Data(), saved->Size()));
    const int second = LoadModel("Props/Crate");
    EXPECT_NE(second, 0);
    EXPECT_NE(second, first);
    // A purge of group 5 frees only that group's model.
    ModelTable::PurgeResourceGroup(5);
    EXPECT_EQ(GetModelByHandle(first), nullptr);
    EXPECT_NE(GetModelByHandle(second), nullptr);
    // A damaged file leaves nothing behind.
    const int before = ModelTable::Count();
    ASSERT_TRUE(folder.Write("Data/PC/Props/Bad.MDL", saved->Data(), saved->Size() / 2));
    EXPECT_EQ(LoadModel("Props/Bad"), 0);
    EXPECT_EQ(ModelTable::Count(), before);
    SetBaseFolderNarrow("");
}

TEST_F(ModelTest, ListModelMaterialsInOrderOfFirstUse) {
    MaterialLib& lib = GetMaterialLib();
    const int red = lib.Create("red", 0, 0, 0, 0);
    const int blue = lib.Create("blue", 0, 0, 0, 0);
    MeshModel* model = scenetest::BuildMesh(
        "m", {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {1, 0, 1}},
        {{0, 2, 1, blue}, {1, 2, 3, red}, {0, 3, 1, blue}, {0, 1, 2, 0}});
    ASSERT_NE(model, nullptr);
    int out[4] = {9, 9, 9, 9};
    // Batches are ordered by material handle: 0, red, blue.
    EXPECT_EQ(ListModelMaterials(model->handle, out, 4), 3);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], red);
    EXPECT_EQ(out[2], blue);
    EXPECT_EQ(out[3], 0);
    EXPECT_EQ(ListModelMaterials(model->handle, out, 2), 2);
    EXPECT_EQ(ListModelMaterials(0, out, 4), 0);
    // Without batches the mesh triangles are listed.
    model->ReleaseBuffers();
    EXPECT_EQ(ListModelMaterials(model->handle, out, 4), 3);
    EXPECT_EQ(out[0], blue);
    EXPECT_EQ(out[1], red);
}

}  // namespace
