#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/platform/data_folders.h"
#include "engine/render/material_def.h"
#include "engine/render/material_file.h"
#include "fake_material_textures.h"
#include "mtl_fixture.h"
#include "support/temp_folder.h"

namespace {

using namespace engine;
using mtltest::FakeMaterialTextures;
using mtltest::MtlRecipe;
using mtltest::WriteMtl;

class MaterialFileTest : public ::testing::Test {
protected:
    MaterialFileTest() {
        textures_.available = {{"load:Tex/a.tga", 11}, {"load:Tex/b.tga", 12},     {"load:Tex/g.tga", 17},
                               {"flagged:Tex/bump.tga", 20}, {"load:Tex/fur.tga", 30}};
        lib_.SetGroupSource([this] { return group_; });
        EXPECT_TRUE(lib_.Init(64, &textures_));
    }

    int Parse(const std::vector<std::uint8_t>& bytes, const char* name = "Units/Tank") {
        return ParseMaterialFile(lib_, name, bytes.data(), bytes.size());
    }

    int LiveCount() const {
        int n = 0;
        for (int h = 1; h < lib_.Count(); ++h) n += lib_.Get(h) != nullptr ? 1 : 0;
        return n;
    }

    FakeMaterialTextures textures_;
    MaterialLib lib_;
    int group_ = 0;
};

TEST_F(MaterialFileTest, EveryVersionLoadsItsItemsWithAndWithoutThePrefix) {
    for (int v : {8, 14, 20, 25, 29}) {
        for (bool prefix : {false, true}) {
            SCOPED_TRACE(testing::Message() << "version " << v << (prefix ? " with prefix" : ""));
            MtlRecipe s;
            s.version = v;
            s.lightingByte = 2;
            if (v < 15) s.oldName = v == 8 ? "old" : "";
            const MaterialDef* m = lib_.Get(Parse(WriteMtl(s, prefix)));
            ASSERT_NE(m, nullptr);
            ASSERT_GT(m->GetIndex(), 4);
            EXPECT_EQ(std::string(m->GetName().GetNarrow()), "Units/Tank");
            // Below version 29 byte 2 is model 1; the old name's model (taken raw) replaces it in version 8.
            EXPECT_EQ(m->lightingModel, v == 8 ? 2 : (v < 29 ? 1 : 2));
            EXPECT_EQ(m->GetShaderSetIndex(), v >= 16 ? 1 : 0);
            EXPECT_EQ(m->GetFlags(), 0x0280u);
            EXPECT_EQ(m->GetTexture(0), 11);
            EXPECT_EQ(m->GetTexture(1), 12);
            EXPECT_EQ(m->GetTexture(2), 0);
            EXPECT_EQ(m->GetTexture(5), 0);
            EXPECT_EQ(m->extraTexture, 20);
            EXPECT_EQ(m->furTexture, v >= 14 ? 30 : 0);
            EXPECT_FLOAT_EQ(m->colours[0].g, 0.25f);
            EXPECT_FLOAT_EQ(m->colours[3].a, 12.0f);
            EXPECT_EQ(m->addressModes[0], 2);
            EXPECT_EQ(m->addressModes[3], 1);
            EXPECT_EQ(m->addressModes[5], v >= 25 ? 3 : 1);
            EXPECT_EQ(m->drawOrder, v >= 19 ? 1234 : 1000);
            EXPECT_FLOAT_EQ(m->storedFloat0, v >= 19 ? 1.5f : 0.0f);
            EXPECT_EQ(m->alphaTestMode, 2);
            EXPECT_EQ(m->blendMode, 3);
            EXPECT_EQ(m->cullMode, v >= 21 ? 1 : 3);
            EXPECT_EQ(m->alphaRef, v >= 23 ? 100 : 255);
            EXPECT_EQ(m->ambientColour, 0xFF102030u);
            EXPECT_EQ(m->diffuseColour, v >= 20 ? 0xFF405060u : 0xFFF0F0F0u);
            EXPECT_EQ(m->specularColour, v >= 20 ? 0xFF708090u : (v >= 15 ? 0xFF405060u : 0xFFFFFFFFu));
            EXPECT_FLOAT_EQ(m->specularPower, 7.0f);
            EXPECT_FLOAT_EQ(m->specularStrength, 0.4f);
            EXPECT_FLOAT_EQ(m->cookFresnel, v >= 13 ? 0.8f : 0.9f);
            EXPECT_FLOAT_EQ(m->cookRoughness, v >= 13 ? 0.2f : 0.3f);
            EXPECT_FLOAT_EQ(m->cookScale, v >= 13 ? 0.5f : 0.6f);
            EXPECT_EQ(m->furShellCount, v >= 14 ? 12 : 16);
            EXPECT_FLOAT_EQ(m->furLength, v >= 14 ? 0.05f : 0.02f);
            EXPECT_FLOAT_EQ(m->furTexScale, v >= 14 ? 2.0f : 1.0f);
            EXPECT_FLOAT_EQ(m->storedFloat1, v >= 24 ? 3.0f : 0.0f);
            EXPECT_FLOAT_EQ(m->storedFloat2, v >= 24 ? 4.0f : 0.0f);
            EXPECT_EQ(m->storedBytes[2], v >= 26 ? 9 : 0);
            EXPECT_FLOAT_EQ(m->storedFloat3, v >= 26 ? 5.0f : 0.0f);
        }
    }
}

TEST_F(MaterialFileTest, VersionTwentyFiveResolvesSevenNamesAndKeepsSix) {
    MtlRecipe s;
    s.version = 25;
    s.textures = {"Tex/a.tga", "", "", "", "", "Tex/b.tga", "Tex/g.tga"};
    const MaterialDef* m = lib_.Get(Parse(WriteMtl(s, false)));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->GetTexture(5), 12);
    EXPECT_EQ(m->addressModes[5], 3);
    EXPECT_NE(std::find(textures_.calls.begin(), textures_.calls.end(), "load:Tex/g.tga"), textures_.calls.end());
}

TEST_F(MaterialFileTest, TextureNamesFallBackInOrder) {
    struct Case {
        const char* available;  // the one request that succeeds; null: none does
        std::vector<std::string> calls;
        int handle;
    };
    const std::vector<Case> cases = {
        {"load:Art/x.tga", {"load:Art/x.tga"}, 5},
        {"load:Units/x.tga", {"load:Art/x.tga", "load:Units/x.tga"}, 5},
        {"cube:Art/x.tga", {"load:Art/x.tga", "load:Units/x.tga", "cube:Art/x.tga"}, 5},
        {"cube:Units/x.tga", {"load:Art/x.tga", "load:Units/x.tga", "cube:Art/x.tga", "cube:Units/x.tga"}, 5},
        {nullptr, {"load:Art/x.tga", "load:Units/x.tga", "cube:Art/x.tga", "cube:Units/x.tga"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.available != nullptr ? c.available : "none");
        textures_.available.clear();
        if (c.available != nullptr) textures_.available[c.available] = 5;
        textures_.calls.clear();
        MtlRecipe s;
        s.textures = {"Art/x.tga", "", "", "", "", ""};
        s.extra = "";
        s.fur = "";
        const MaterialDef* m = lib_.Get(Parse(WriteMtl(s, false), "Units/Tank"));
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->GetTexture(0), c.handle);
        EXPECT_EQ(textures_.calls, c.calls);
    }
    // The extra texture asks the flagged loader twice; the fur texture asks the plain loader twice.
    textures_.available.clear();
    textures_.calls.clear();
    MtlRecipe s;
    s.textures = {"", "", "", "", "", ""};
    s.extra = "Art/e.tga";
    s.fur = "Art/f.tga";
    ASSERT_NE(Parse(WriteMtl(s, false)), 0);
    EXPECT_EQ(textures_.calls, (std::vector<std::string>{"flagged:Art/e.tga", "flagged:Units/e.tga",
                                                         "load:Art/f.tga", "load:Units/f.tga"}));
}

TEST_F(MaterialFileTest, EveryTruncationIsRefusedAndLeavesTheTableAsItWas) {
    for (int v : {1, 8, 14, 20, 25, 29}) {
        for (bool prefix : {false, true}) {
            MtlRecipe s;
            s.version = v;
            s.oldName = v < 15 ? "old" : "";
            const std::vector<std::uint8_t> whole = WriteMtl(s, prefix);
            const int before = LiveCount();
            for (std::size_t n = 0; n < whole.size(); ++n) {
                // A prefixed file cut short no longer carries a matching prefix, so it is read from byte 0.
                const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<long>(n));
                const int handle = Parse(cut);
                ASSERT_EQ(handle, 0) << "version " << v << " prefix " << prefix << " cut at " << n;
                ASSERT_EQ(LiveCount(), before);
            }
            const int handle = Parse(whole);
            EXPECT_NE(handle, 0) << v;
            lib_.DeleteMaterial(handle);
        }
    }
}

TEST_F(MaterialFileTest, LightingModelsOutsideTheFiveBecomeZero) {
    struct Case {
        int version;
        int byte;
        const char* oldName;
        int oldModel;
        int expected;
    };
    for (const Case& c : {Case{29, 7, "", 0, 0}, Case{29, 4, "", 0, 4}, Case{20, 9, "", 0, 3},
                          Case{20, 8, "", 0, 2}, Case{20, 5, "", 0, 0}, Case{20, 200, "", 0, 0},
                          Case{14, 1, "old", -1, 0}, Case{14, 1, "old", 40, 0}, Case{14, 1, "old", 3, 3}}) {
        MtlRecipe s;
        s.version = c.version;
        s.lightingByte = c.byte;
        s.oldName = c.oldName;
        s.oldModel = static_cast<std::int16_t>(c.oldModel);
        const MaterialDef* m = lib_.Get(Parse(WriteMtl(s, false)));
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->lightingModel, c.expected) << c.version << " " << c.byte << " " << c.oldModel;
    }
}

TEST_F(MaterialFileTest, UnknownCodeGivesThePlainColourSet) {
    MtlRecipe s;
    s.code = "NOPE";
    const MaterialDef* m = lib_.Get(Parse(WriteMtl(s, false)));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->GetShaderSetIndex(), 0);
    s.code = "FUR";
    EXPECT_EQ(lib_.Get(Parse(WriteMtl(s, false)))->GetShaderSetIndex(), 8);
}

TEST_F(MaterialFileTest, AFullTableRefusesTheFile) {
    MaterialLib small;
    ASSERT_TRUE(small.Init(5, nullptr));  // handles 1-4 taken by the built-ins
    const std::vector<std::uint8_t> bytes = WriteMtl(MtlRecipe{}, false);
    EXPECT_EQ(ParseMaterialFile(small, "x", bytes.data(), bytes.size()), 0);
}

TEST_F(MaterialFileTest, LoadingOneNameTwiceInAGroupReadsTheFileOnce) {
    testsupport::TempFolder folder;
    SetActiveArchiveSet(nullptr);
    SetBaseFolderNarrow(folder.Path().c_str());
    const std::vector<std::uint8_t> bytes = WriteMtl(MtlRecipe{}, true);
    ASSERT_TRUE(folder.Write("Data/PC/Units/Tank.MTL", bytes.data(), bytes.size()));
    group_ = 2;
    const int first = LoadMaterialFile(lib_, "Units/Tank");
    ASSERT_NE(first, 0);
    // The file is gone: a second load in the same group must not need it.
    std::filesystem::remove(folder.Path() / "Data/PC/Units/Tank.MTL");
    EXPECT_EQ(LoadMaterialFile(lib_, "Units/Tank"), first);
    group_ = 3;
    EXPECT_EQ(LoadMaterialFile(lib_, "Units/Tank"), 0);
    ASSERT_TRUE(folder.Write("Data/PC/Units/Tank.MTL", bytes.data(), bytes.size()));
    const int second = LoadMaterialFile(lib_, "Units/Tank");
    EXPECT_NE(second, 0);
    EXPECT_NE(second, first);
    EXPECT_EQ(LoadMaterialFile(lib_, "Units/Missing"), 0);
    SetBaseFolderNarrow("");
}

}  // namespace
