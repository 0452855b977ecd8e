#include <gtest/gtest.h>

#include <string>

#include "engine/render/material_def.h"
#include "engine/render/shader_set_codes.h"
#include "fake_material_textures.h"

namespace {

using namespace engine;

std::string Name(const MaterialDef* m) { return m != nullptr ? std::string(m->GetName().GetNarrow()) : "<null>"; }

TEST(MaterialLib, BuiltInsTakeHandlesOneToFourWithTheirSettings) {
    mtltest::FakeMaterialTextures textures;
    MaterialLib lib;
    ASSERT_TRUE(lib.Init(0, &textures));
    EXPECT_EQ(lib.Count(), 1024);
    EXPECT_EQ(Name(lib.Get(1)), "Default");
    EXPECT_EQ(Name(lib.Get(2)), "DefaultWithNormals");
    EXPECT_EQ(Name(lib.Get(3)), "$$$NullMat");
    EXPECT_EQ(Name(lib.Get(4)), "$$$DebugMat");
    EXPECT_EQ(lib.Get(1)->GetColourF(0).ToArgb(), 0xFFC0C0C0u);
    EXPECT_EQ(lib.Get(2)->lightingModel, 1);
    const MaterialDef* null = lib.NullMaterial();
    EXPECT_EQ(null->alphaTestMode, 2);
    EXPECT_EQ(null->blendMode, 3);
    EXPECT_EQ(null->GetColourF(0).ToArgb(), MakeArgb(128, 255, 255, 192));
    EXPECT_EQ(lib.DebugMaterial()->GetShaderSetIndex(), 1);
    EXPECT_EQ(lib.DebugMaterial()->GetTexture(0), 901);
    // Defaults of a fresh material.
    const MaterialDef* m = lib.Get(lib.Create("fresh", 2, 3, 0, 0));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->cullMode, 3);
    EXPECT_EQ(m->ambientColour, 0xFF808080u);
    EXPECT_EQ(m->diffuseColour, 0xFFF0F0F0u);
    EXPECT_EQ(m->drawOrder, 1000);
    EXPECT_EQ(m->furShellCount, 16);
    EXPECT_EQ(m->alphaRef, 255);
    EXPECT_FLOAT_EQ(m->GetHalfTexelU(), 1.0f / 512.0f);
}

TEST(MaterialLib, GetFallsBackToHandleOneAndDeleteIgnoresBadHandles) {
    MaterialLib lib;
    ASSERT_TRUE(lib.Init(16, nullptr));
    for (int bad : {0, -1, 16, 9999}) {
        EXPECT_EQ(lib.Get(bad), lib.Get(1)) << bad;
        lib.DeleteMaterial(bad);
    }
    EXPECT_EQ(lib.Get(5), nullptr);  // empty slot
    for (int h = 1; h <= 4; ++h) EXPECT_NE(lib.Get(h), nullptr) << h;
    const int h = lib.Create("x", 0, 0, 0, 0);
    lib.DeleteMaterial(h);
    EXPECT_EQ(lib.Get(h), nullptr);
    EXPECT_EQ(lib.Create("y", 0, 0, 0, 0), h);  // the lowest empty slot is taken again
}

TEST(MaterialLib, ATableOf1024HoldsAtMost1023Materials) {
    MaterialLib lib;
    ASSERT_TRUE(lib.Init(1024, nullptr));
    int last = 0;
    for (int i = 5; i < 1024; ++i) last = lib.Create("m", 0, 0, 0, 0);
    EXPECT_EQ(last, 1023);
    EXPECT_EQ(lib.Create("over", 0, 0, 0, 0), 0);
    EXPECT_EQ(lib.CloneMaterialByIndex(5), 0);
    EXPECT_EQ(lib.CloneCounter(), 0);
}

TEST(MaterialLib, SearchesMatchByGroupCaseAndPath) {
    int group = 0;
    MaterialLib lib;
    lib.SetGroupSource([&group] { return group; });
    ASSERT_TRUE(lib.Init(64, nullptr));
    group = 3;
    const int a = lib.Create("Units\\Tank\\Hull", 0, 0, 0, 0);
    group = 4;
    const int b = lib.Create("units/tank/hull", 0, 0, 0, 0);
    EXPECT_EQ(lib.FindInGroup("UNITS\\TANK\\HULL", 3), a);
    EXPECT_EQ(lib.FindInGroup("units/tank/hull", 3), 0);
    EXPECT_EQ(lib.FindInGroup("units/tank/hull", 4), b);
    EXPECT_EQ(lib.FindInGroupContaining("TANK", 4), b);
    EXPECT_EQ(lib.FindInGroupContaining("tree", 4), 0);
    EXPECT_EQ(lib.FindByPath("units/TANK/hull"), a);
    EXPECT_EQ(lib.FindByPath("units\\tank\\hull"), a);
    lib.PurgeResourceGroup(3);
    EXPECT_EQ(lib.Get(a), nullptr);
    EXPECT_EQ(lib.FindByPath("units/tank/hull"), b);
    EXPECT_NE(lib.Get(1), nullptr);  // built-ins belong to group 0
}

TEST(MaterialLib, ClonesCopyFieldsAndNumberTheirNamesOnce) {
    int group = 0;
    MaterialLib lib;
    lib.SetGroupSource([&group] { return group; });
    ASSERT_TRUE(lib.Init(64, nullptr));
    MaterialDef* x = lib.Get(lib.Create("X", 1, 2, 0, 3));
    x->SetTexture(2, 44);
    x->SetColour(1, 0x80FF0000u);
    x->furLength = 0.5f;
    group = 9;
    const int c1 = lib.CloneMaterial(*x);
    const MaterialDef* clone = lib.Get(c1);
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(Name(clone), "X_$$1");
    EXPECT_EQ(clone->GetIndex(), c1);
    EXPECT_EQ(clone->group, 9);
    EXPECT_EQ(clone->GetTexture(2), 44);
    EXPECT_EQ(clone->GetColourF(1).ToArgb(), 0x80FF0000u);
    EXPECT_FLOAT_EQ(clone->furLength, 0.5f);
    EXPECT_EQ(clone->blendMode, 3);
    EXPECT_EQ(Name(lib.Get(lib.CloneMaterialByIndex(c1))), "X_$$2");
    EXPECT_EQ(Name(lib.Get(lib.CloneMaterialByIndex(0))), "Default_$$3");
    EXPECT_EQ(Name(x), "X");
    // Deleting the clone leaves the source's name intact.
    lib.DeleteMaterial(c1);
    EXPECT_EQ(Name(x), "X");
    MaterialDef loose;
    EXPECT_EQ(lib.CloneMaterial(loose), 0);  // no handle
}

TEST(MaterialLib, HalfTexelUFollowsStageZeroWidth) {
    mtltest::FakeMaterialTextures textures;
    MaterialLib lib;
    ASSERT_TRUE(lib.Init(16, &textures));
    MaterialDef* m = lib.Get(lib.Create("t", 1, 0, 0, 0));
    m->SetTexture(0, 77);
    EXPECT_FLOAT_EQ(m->GetHalfTexelU(), 0.5f / 256.0f);
}

TEST(ShaderSetCodes, EightByteCodesFindTheirSetsAndUnknownGivesZero) {
    struct Case {
        const char bytes[9];
        int index;
    };
    for (const Case& c : {Case{"FUR\0\0\0\0\0", 8}, Case{"BLOX\0\0\0\0", 7}, Case{"NOPE\0\0\0\0", 0},
                          Case{"DRUV2WAT", 6}, Case{"TEXTURE\0", 1}, Case{"TEXTURE ", 0}, Case{"BLOXBLOX", 0}}) {
        EXPECT_EQ(FindShaderSetByCode(reinterpret_cast<const std::uint8_t*>(c.bytes)), c.index) << c.bytes;
    }
}

}  // namespace
