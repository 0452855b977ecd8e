#pragma once
// Test doubles for the GUI: a render target that records its fills and clips, a font over the recording
// render device that also records its glyph quads, and an input device driven by the test.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/gui/bitmap_font.h"
#include "engine/render/recording_render_device.h"
#include "engine/render/render_target.h"
#include "support/null_render_target.h"
#include "support/scripted_input.h"
#include "rfn_writer.h"

namespace guitest {

struct Fill {
    engine::IntRect rect;
    std::uint32_t colour = 0;
    int blend = 0;
};

struct DrawnTexture {
    float x = 0.0f;
    float y = 0.0f;
    std::uint32_t handle = 0;
    std::uint32_t colour = 0;
};

// Every 2D operation is a no-op except fills, clips and whole-texture draws, which are recorded in order.
class RecordingTarget final : public testsupport::NullRenderTarget {
public:
    RecordingTarget() : NullRenderTarget(640, 480) {}
    void DrawTexture(float x, float y, std::uint32_t handle, std::uint32_t colour, int, int) override {
        textures.push_back({x, y, handle, colour});
        log.push_back("texture");
    }
    void FillRect(const engine::IntRect& rect, std::uint32_t colour, int blend) override {
        fills.push_back({rect, colour, blend});
        log.push_back("fill");
    }
    void SetClipRect(const engine::IntRect* rect) override {
        clips.push_back(rect != nullptr ? *rect : engine::IntRect{-1, -1, -1, -1});
        log.push_back(rect != nullptr ? "clip" : "unclip");
    }

    std::vector<Fill> fills;
    std::vector<DrawnTexture> textures;
    std::vector<engine::IntRect> clips;
    std::vector<std::string> log;
};

class NullBindings final : public engine::SpriteBatchBindings {
public:
    void BindTexture(std::uint32_t, std::uint32_t) override {}
    void UseTextureColourShaders() override {}
};

struct Quad {
    int x = 0;
    int y = 0;
    std::uint32_t colour = 0;
    engine::IntRect cell;
};

// A font over the recording device that notes every glyph quad it adds.
class RecordingFont final : public engine::BitmapFont {
public:
    explicit RecordingFont(const RfnDescription& description = SyntheticFont())
        : BitmapFont(device, bindings, &buffer) {
        const auto bytes = WriteRfn(description);
        loaded = ReadMetrics(bytes.data(), bytes.size());
    }
    void AddQuad(float x, float y, std::uint32_t colour, const engine::IntRect& source) override {
        quads.push_back({static_cast<int>(x), static_cast<int>(y), colour, source});
        if (log != nullptr && (log->empty() || log->back() != "glyph")) log->push_back("glyph");
        BitmapFont::AddQuad(x, y, colour, source);
    }
    // The x of every quad, in order.
    std::vector<int> QuadXs() const {
        std::vector<int> xs;
        for (const Quad& q : quads) xs.push_back(q.x);
        return xs;
    }

    testsupport::RecordingRenderDevice device;
    NullBindings bindings;
    testsupport::HostDynamicBuffer buffer;
    std::vector<Quad> quads;
    // When set, each run of glyph quads notes one "glyph" here (next to a target's log).
    std::vector<std::string>* log = nullptr;
    bool loaded = false;
};

using testsupport::ScriptedInput;

}  // namespace guitest
