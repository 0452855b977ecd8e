// The cursor, the resource counts of the statistics and the order of the frame's four overlay steps, with a
// scripted input device, a recording target and font, and resource tables without a device.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/geometry.h"
#include "engine/gui/bitmap_font.h"
#include "engine/gui/debug_overlay.h"
#include "engine/gui/frame_overlays.h"
#include "engine/gui/stats_overlay.h"
#include "engine/platform/engine_hooks.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/render/texture.h"
#include "engine/render/texture_table.h"
#include "engine/scene/model_generators.h"
#include "engine/scene/model_table.h"
#include "engine/scene/mesh_model.h"
#include "gui_fixtures.h"

namespace {

using guitest::RecordingFont;
using guitest::RecordingTarget;
using guitest::ScriptedInput;

// A texture-table entry of a size, without a GPU texture.
class TableTextures : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(engine::TextureTable::Init(8)); }
    void TearDown() override { engine::TextureTable::Free(); }

    static int MakeTexture(std::uint32_t width, std::uint32_t height) {
        auto* texture = new engine::Texture(engine::WideString("Cursor"));
        texture->width = width;
        texture->height = height;
        return texture->handle;
    }
};

using CursorTest = TableTextures;

TEST_F(CursorTest, DrawnWhiteAtThePointerOrHalfItsSizeUpAndLeftWhenCentred) {
    ScriptedInput input;
    input.pointerX = 100;
    input.pointerY = 60;
    const int texture = MakeTexture(32, 16);
    input.SetMouseCursor(texture, true);

    RecordingTarget plain;
    engine::DrawCursor(input, plain);
    ASSERT_EQ(plain.textures.size(), 1u);
    EXPECT_EQ(plain.textures[0].x, 100.0f);
    EXPECT_EQ(plain.textures[0].y, 60.0f);
    EXPECT_EQ(plain.textures[0].handle, static_cast<std::uint32_t>(texture));
    EXPECT_EQ(plain.textures[0].colour, 0xFFFFFFFFu);

    input.SetCentreCursorOnTexture(true);
    RecordingTarget centred;
    engine::DrawCursor(input, centred);
    ASSERT_EQ(centred.textures.size(), 1u);
    EXPECT_EQ(centred.textures[0].x, 84.0f);
    EXPECT_EQ(centred.textures[0].y, 52.0f);
}

class PointerlessInput final : public engine::InputDevice {
public:
    PointerlessInput() : InputDevice(host, 1) {}
    bool Poll(engine::RawKeyValues&) override { return false; }
    bool HasPointer() const override { return pointer; }

    testsupport::FakeInputHost host;
    bool pointer = true;
};

TEST_F(CursorTest, NothingWithoutATextureWhileHiddenOrOnADeviceWithoutAPointer) {
    const int texture = MakeTexture(8, 8);
    ScriptedInput noTexture;
    noTexture.SetMouseCursor(0, true);
    ScriptedInput hidden;
    hidden.SetMouseCursor(texture, false);
    PointerlessInput pointerless;
    pointerless.SetMouseCursor(texture, true);  // taken while it has a pointer
    pointerless.pointer = false;
    for (engine::InputDevice* input : std::vector<engine::InputDevice*>{&noTexture, &hidden, &pointerless}) {
        RecordingTarget target;
        engine::DrawCursor(*input, target);
        EXPECT_TRUE(target.textures.empty()) << input->GetDeviceId();
    }
}

class ResourceCountTest : public TableTextures {
protected:
    void SetUp() override {
        TableTextures::SetUp();
        ASSERT_TRUE(engine::GetMaterialLib().Init(16, nullptr));
        ASSERT_TRUE(engine::ModelTable::Init(8));
    }
    void TearDown() override {
        engine::ModelTable::Free();
        engine::GetMaterialLib().Free();
        TableTextures::TearDown();
    }
};

TEST_F(ResourceCountTest, TheResourceLineFollowsCreatingAndDeletingAMaterialATextureAndAModel) {
    const auto res = [] {
        engine::StatsOverlay overlay;
        return std::string(overlay.Update(engine::GatherEngineStats())[4].GetNarrow());
    };
    const engine::StatsSample before = engine::GatherEngineStats();
    EXPECT_EQ(before.textures, 0);
    EXPECT_EQ(before.models, 0);
    const std::string base = "RES:@J[80]" + std::to_string(before.materials) + "/0/0";
    EXPECT_EQ(res(), base);

    const int material = engine::GetMaterialLib().Create("m", 0, 0, 0, 0);
    ASSERT_NE(material, 0);
    const int texture = MakeTexture(4, 4);
    const int model = engine::CreateBoxModel(engine::Aabb{{0, 0, 0}, {1, 1, 1}}, engine::WideString("box"), 0);
    ASSERT_NE(model, 0);
    EXPECT_EQ(res(), "RES:@J[80]" + std::to_string(before.materials + 1) + "/1/1");

    engine::GetMaterialLib().DeleteMaterial(material);
    engine::TextureTable::Release(texture);
    engine::GetModelByHandle(model)->Delete();
    EXPECT_EQ(res(), base);
}

// The four steps log into one list: "texture" (cursor), "fill" (statistics box), "glyph" (text), then the
// border's four fills.
class OverlayOrderTest : public TableTextures {
protected:
    void SetUp() override {
        TableTextures::SetUp();
        font.log = &target.log;
        input.SetMouseCursor(MakeTexture(8, 8), true);
        sources.input = &input;
        sources.statsFlag = 1;
        sources.statsOverlay = &stats;
        sources.font = &font;
        sources.borderTarget = &target;
        sources.border = 5.0f;
    }
    void TearDown() override {
        engine::DebugOverlay::Clear();
        TableTextures::TearDown();
    }

    RecordingTarget target;
    RecordingFont font;
    ScriptedInput input;
    engine::StatsOverlay stats;
    engine::OverlaySources sources;
};

TEST_F(OverlayOrderTest, CursorThenStatisticsThenDebugLinesThenBorder) {
    engine::DebugOverlay::SetLine(2, "debug");
    engine::DrawOverlays(target, sources);
    EXPECT_EQ(target.log, (std::vector<std::string>{"texture", "fill", "glyph", "fill", "fill", "fill", "fill"}));
    // The last glyphs are the debug line's, at y = 32.
    EXPECT_EQ(font.quads.back().y + font.GetVerticalOffset(), 32);
}

TEST_F(OverlayOrderTest, EachStepIsLeftOutWhenItHasNothingToShow) {
    sources.statsFlag = 0;
    engine::DrawOverlays(target, sources);
    EXPECT_EQ(target.log, (std::vector<std::string>{"texture", "fill", "fill", "fill", "fill"}));  // no box, no lines
    EXPECT_TRUE(font.quads.empty());

    target.log.clear();
    sources.statsFlag = 1;
    sources.border = 0.0f;
    engine::DrawOverlays(target, sources);
    EXPECT_EQ(target.log, (std::vector<std::string>{"texture", "fill", "glyph"}));

    // Without a font the statistics draw nothing at all, and set debug lines draw nothing either.
    target.log.clear();
    engine::DebugOverlay::SetLine(0, "debug");
    sources.font = nullptr;
    engine::DrawOverlays(target, sources);
    EXPECT_EQ(target.log, (std::vector<std::string>{"texture"}));
}

TEST(OverlayHooksTest, TheInstalledHookClearsTheDebugLines) {
    engine::InstallDebugOverlayHooks();
    engine::DebugOverlay::SetLine(1, "left over");
    ASSERT_TRUE(engine::GetEngineHooks().overlay.clear);
    engine::GetEngineHooks().overlay.clear();
    EXPECT_EQ(engine::DebugOverlay::LineCount(), 0);
    engine::ClearEngineHooks();
}

TEST(OverlayHooksTest, WithoutAnEngineDrawOverlaysDrawsNothing) {
    RecordingTarget target;
    engine::DrawOverlays(target);
    EXPECT_TRUE(target.log.empty());
}

}  // namespace
