#include "engine/gui/stats_overlay.h"

#include <climits>

#include "engine/core/frame_timer.h"
#include "engine/gui/bitmap_font.h"
#include "engine/platform/engine_root.h"
#include "engine/render/graphics_device.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/render/render_target.h"
#include "engine/render/texture_table.h"
#include "engine/scene/model_table.h"

namespace engine {
namespace {

constexpr std::uint32_t kOpaqueWhite = 0xFFFFFFFFu;
constexpr std::uint32_t kBoxColour = 0x80000000u;  // black at alpha 128
constexpr int kBoxBlend = 3;
constexpr int kTextOffset = 2;

float Smooth(float old, std::uint32_t count) {
    const float now = static_cast<float>(count);
    return old == 0.0f ? now : 0.1f * now + 0.9f * old;
}

WideString Line(const char* label) { return WideString(label); }

}  // namespace

void AppendSmoothedCount(WideString& text, float value) {
    const double shown = static_cast<double>(value) + 0.99999;
    // Counts come from 32-bit counters; anything past the int range shows as its largest value.
    const int whole = shown >= static_cast<double>(INT_MAX) ? INT_MAX : static_cast<int>(shown);
    text.AppendInt(whole, true);
}

std::array<WideString, StatsOverlay::kLineCount> StatsOverlay::Update(const StatsSample& sample) {
    for (std::size_t i = 0; i < smoothed_.size(); ++i) smoothed_[i] = Smooth(smoothed_[i], sample.counts[i]);

    std::array<WideString, kLineCount> lines{Line("FPS:@J[80]"), Line("VERTS:@J[80]"), Line("TRIS:@J[80]"),
                                             Line("BATCHES:@J[80]"), Line("RES:@J[80]")};
    lines[0].AppendFloat(sample.smoothedDeltaMs != 0.0f ? 1000.0f / sample.smoothedDeltaMs : 0.0f);
    AppendSmoothedCount(lines[1], smoothed_[kFrameVertices]);
    AppendSmoothedCount(lines[2], smoothed_[kFrameTriangles]);
    AppendSmoothedCount(lines[3], smoothed_[kFrameBatches]);
    lines[3].AppendNarrow("@J[120](");
    AppendSmoothedCount(lines[3], smoothed_[kFrameObjects]);
    lines[3].AppendNarrow(")");
    lines[4].AppendInt(sample.materials, false);
    lines[4].AppendNarrow("/");
    lines[4].AppendInt(sample.textures, false);
    lines[4].AppendNarrow("/");
    lines[4].AppendInt(sample.models, false);
    return lines;
}

void StatsOverlay::Draw(RenderTargetBase& target, BitmapFont* font, const StatsSample& sample) {
    if (font == nullptr) return;
    font->SetColour(0, kOpaqueWhite);
    const int b = font->GetGlyphHeight();
    const int x = target.Width() - kBoxWidth;
    target.FillRect(IntRect{x, 0, kBoxWidth, 7 * b + 14}, kBoxColour, kBoxBlend);
    const auto lines = Update(sample);
    for (int i = 0; i < kLineCount; ++i) {
        font->Draw(target, lines[static_cast<std::size_t>(i)], x + kTextOffset, i * b + 2 * (i + 1), 0);
    }
}

StatsSample GatherEngineStats() {
    StatsSample sample;
    // The resource tables are the engine's, but they exist (empty) without it.
    sample.materials = GetMaterialLib().LiveCount();
    sample.textures = TextureTable::LiveCount();
    sample.models = ModelTable::Count();
    Engine* engine = GetEngine();
    if (engine == nullptr) return sample;
    if (const FrameTimer* timer = engine->GetTimer()) sample.smoothedDeltaMs = timer->GetSmoothedDeltaMs();
    const auto& counters = engine->FrameCounters();
    for (std::size_t i = 0; i < sample.counts.size(); ++i) sample.counts[i] = counters[i];
    return sample;
}

StatsOverlay& GetStatsOverlay() {
    static StatsOverlay overlay;
    return overlay;
}

}  // namespace engine
