// Scenery fading on an in-memory level model of named box nodes.
#include "game/level/decorations.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/scene_node.h"

namespace {

using namespace game;

class DecorationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(engine::GetMaterialLib().Init(512, nullptr));
        bark = engine::GetMaterialLib().Create("Bark", 0, 0, 0, 0);
        ASSERT_NE(bark, 0);
        engine::GetMaterialLib().Get(bark)->SetColourF(0, {0.2f, 0.4f, 0.6f, 1.0f});
        root = engine::SceneNode::Init(engine::kNodeGroup, "Map");
    }
    void TearDown() override {
        decorations.Clear();
        root->Destroy();
        engine::GetMaterialLib().Free();
    }
    // A box node (about 3.7 across its sphere) at a ground point.
    engine::SceneNode* Add(const char* name, float x, float z, engine::SceneNode* parent = nullptr) {
        engine::SceneNode* node = engine::SceneNode::Init(engine::kNodeBox, name);
        node->SetMaterial(bark);
        node->LocalMatrix().SetRow(3, {x, 0.0f, z});
        (parent != nullptr ? parent : root)->AddChild(node);
        return node;
    }
    void Collect() {
        root->UpdateWorldMatrix();
        decorations.Collect(root);
    }

    int bark = 0;
    engine::SceneNode* root = nullptr;
    Decorations decorations;
};

TEST_F(DecorationsTest, OnlyExactNamesAreCollectedWithTheirWorldSpheres) {
    engine::SceneNode* group = Add("Grove", 10.0f, 0.0f);
    Add("Palm3/Palm3", 1.0f, 2.0f, group);
    Add("tree1/tree1", 0.0f, 0.0f);
    Add("Tree1", 0.0f, 0.0f);
    Add("Tree1/Tree1x", 0.0f, 0.0f);
    Add("Cactus2/Cactus2", -5.0f, 4.0f);
    Collect();
    ASSERT_EQ(decorations.GetCount(), 2);
    const DecorationEntry& palm = decorations.GetEntry(0);
    EXPECT_EQ(std::string(palm.node->GetName().GetNarrow()), "Palm3/Palm3");
    EXPECT_FLOAT_EQ(palm.centre.x, 11.0f);
    EXPECT_FLOAT_EQ(palm.centre.z, 2.0f);
    EXPECT_NEAR(palm.radius, 0.5f * std::sqrt(5.0f * 5.0f + 2.0f * 2.0f + 5.0f * 5.0f), 1e-5f);
    EXPECT_EQ(palm.baseMaterial, bark);
    EXPECT_NE(palm.fadeMaterial, 0);
    EXPECT_NE(palm.fadeMaterial, bark);
    EXPECT_EQ(std::string(decorations.GetEntry(1).node->GetName().GetNarrow()), "Cactus2/Cactus2");
}

TEST_F(DecorationsTest, TheFirst128OfTheWalkAreKept) {
    std::vector<engine::SceneNode*> trees;
    for (int i = 0; i < 130; ++i) trees.push_back(Add(i % 2 == 0 ? "Tree2/Tree2" : "Crystal1/Crystal1", i, 0.0f));
    Collect();
    ASSERT_EQ(decorations.GetCount(), kMaxDecorations);
    for (int i = 0; i < kMaxDecorations; ++i) ASSERT_EQ(decorations.GetEntry(i).node, trees[static_cast<std::size_t>(i)]);
}

TEST_F(DecorationsTest, FadeByPlaceAndPitchAndRestore) {
    // The focus at the origin; the horizontal camera stands 20 back on -z looking along +z.
    engine::SceneNode* between = Add("Tree1/Tree1", 0.0f, -10.0f);
    engine::SceneNode* beyond = Add("Tree3/Tree3", 0.0f, 10.0f);
    engine::SceneNode* aside = Add("Palm1/Palm1", 15.0f, -10.0f);
    Collect();
    decorations.SetFocus({0.0f, 0.0f, 0.0f}, 1.0f);
    engine::Matrix44 horizontal;
    horizontal.SetRow(3, {0.0f, 0.0f, -20.0f});
    decorations.Update(horizontal);
    EXPECT_EQ(between->GetMaterial(), decorations.GetEntry(0).fadeMaterial);
    EXPECT_EQ(beyond->GetMaterial(), bark);
    EXPECT_EQ(aside->GetMaterial(), bark);
    const engine::MaterialDef* copy = engine::GetMaterialLib().Get(decorations.GetEntry(0).fadeMaterial);
    EXPECT_FLOAT_EQ(copy->GetColourF(0).a, 0.5f);
    EXPECT_FLOAT_EQ(copy->GetColourF(0).g, 0.4f);
    EXPECT_EQ(copy->blendMode, 3);
    EXPECT_EQ(copy->alphaTestMode, 2);
    EXPECT_NE(copy->GetFlags() & 0x40u, 0u);

    // Tilted 45 degrees down the fade is 0.5 + 0.5 x (sin 45)^3; straight down it is opaque.
    struct Case {
        float pitch;
        float fade;
    };
    for (const Case& c : {Case{45.0f, 0.5f + 0.5f * 0.35355339f}, Case{90.0f, 1.0f}}) {
        SCOPED_TRACE(c.pitch);
        engine::Matrix44 camera;
        camera.InitRotationX(c.pitch);
        camera.TranslateLocal(0.0f, 0.0f, -20.0f);
        const engine::Vec3 eye = camera.GetTranslation();
        const engine::Vec3 centre = eye.Add(camera.Row(2).Scale(8.0f));
        engine::Matrix44 basis;
        basis.InitBasisFromDirection(engine::kAxisY, camera.Row(2));
        basis.SetRow(3, eye);
        engine::Cone cone;
        cone.Init(5.0f, 20.0f, basis);
        EXPECT_NEAR(Decorations::GetFade(camera, cone, {0.0f, 0.0f, 0.0f}, centre, 1.0f), c.fade, 1e-5f);
    }

    decorations.RestoreMaterials();
    EXPECT_FALSE(decorations.IsActive());
    EXPECT_EQ(between->GetMaterial(), bark);
    // Off: a later update changes nothing.
    decorations.Update(horizontal);
    EXPECT_EQ(between->GetMaterial(), bark);
}

TEST_F(DecorationsTest, ACameraOnItsFocusFadesNothing) {
    engine::SceneNode* near = Add("Tree1/Tree1", 0.0f, 1.0f);
    Collect();
    engine::Matrix44 horizontal;
    horizontal.SetRow(3, {0.0f, 0.0f, -30.0f});
    decorations.SetFocus({0.0f, 0.0f, 5.0f}, 1.0f);
    decorations.Update(horizontal);
    ASSERT_EQ(near->GetMaterial(), decorations.GetEntry(0).fadeMaterial);
    // The camera reaches its focus: every node is back to its own material, and nothing is NaN.
    decorations.SetFocus({0.0f, 0.0f, -30.0f}, 1.0f);
    decorations.Update(horizontal);
    EXPECT_EQ(near->GetMaterial(), bark);
}

TEST_F(DecorationsTest, ANodeWhoseMaterialCannotBeCopiedIsLeftOut) {
    const int gone = engine::GetMaterialLib().Create("Gone", 0, 0, 0, 0);
    engine::GetMaterialLib().DeleteMaterial(gone);
    engine::SceneNode* broken = Add("Tree2/Tree2", 0.0f, -10.0f);
    broken->SetMaterial(gone);
    engine::SceneNode* good = Add("Tree2/Tree2", 0.0f, -12.0f);
    Collect();
    ASSERT_EQ(decorations.GetCount(), 1);
    EXPECT_EQ(decorations.GetEntry(0).node, good);
    decorations.SetFocus({0.0f, 0.0f, 0.0f}, 1.0f);
    engine::Matrix44 horizontal;
    horizontal.SetRow(3, {0.0f, 0.0f, -20.0f});
    decorations.Update(horizontal);
    EXPECT_EQ(broken->GetMaterial(), gone);
    EXPECT_NE(good->GetMaterial(), 0);
}

}  // namespace
