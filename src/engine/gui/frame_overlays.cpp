#include "engine/gui/frame_overlays.h"

#include "engine/core/frame_timer.h"
#include "engine/gui/bitmap_font.h"
#include "engine/gui/debug_overlay.h"
#include "engine/platform/engine_hooks.h"
#include "engine/platform/engine_root.h"
#include "engine/platform/input_device.h"
#include "engine/render/render_target.h"
#include "engine/render/texture_table.h"

namespace engine {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
constexpr int kCursorBlend = 3;
// Grey 64 at alpha 0 with blend mode 2 (zero / inverse source colour) keeps 191/255 of the colour below.
constexpr std::uint32_t kBorderColour = 0x00404040u;
constexpr int kBorderBlend = 2;

void FillBand(RenderTargetBase& target, int x, int y, int width, int height) {
    if (width > 0 && height > 0) target.FillRect(IntRect{x, y, width, height}, kBorderColour, kBorderBlend);
}

// The whole pixels of percent of a length. A float percent x 0.01 falls just short of whole products (5 % of
// 600 gives 29.999998), so the product is taken in double with a small allowance before it is cut. Kept
// within 0 and the length (not-a-number gives 0).
int PercentOf(int length, float percent) {
    const double pixels = static_cast<double>(length) * (static_cast<double>(percent) / 100.0) + 1e-6;
    if (!(pixels > 0.0)) return 0;
    return pixels >= static_cast<double>(length) ? length : static_cast<int>(pixels);
}

}  // namespace

void DrawCursor(InputDevice& input, RenderTargetBase& target) {
    const int texture = input.GetCursorTexture();
    if (!input.HasPointer() || texture == 0 || !input.IsCursorVisible()) return;
    int x = 0;
    int y = 0;
    input.GetMousePosition(x, y, false);
    float left = static_cast<float>(x);
    float top = static_cast<float>(y);
    if (input.GetCentreCursorOnTexture()) {
        left -= static_cast<float>(TextureTable::GetWidth(texture)) * 0.5f;
        top -= static_cast<float>(TextureTable::GetHeight(texture)) * 0.5f;
    }
    target.DrawTexture(left, top, static_cast<std::uint32_t>(texture), kWhite, kCursorBlend, 0);
}

void DrawScreenBorder(RenderTargetBase& target, float percent) {
    if (percent == 0.0f) return;
    const int w = target.Width();
    const int h = target.Height();
    const int band = PercentOf(h, percent);
    const int side = PercentOf(w, percent);
    // The far bands are placed from the same widths, so that the four meet the edges and each other exactly.
    FillBand(target, 0, 0, w, band);
    FillBand(target, 0, band, side, h - 2 * band);
    FillBand(target, w - side, band, side, h - 2 * band);
    FillBand(target, 0, h - band, w, band);
}

void DrawScreenBorder(float percent) {
    Engine* engine = GetEngine();
    RenderTarget* main = engine != nullptr ? engine->GetMainRenderTarget() : nullptr;
    if (main != nullptr) DrawScreenBorder(*main, percent);
}

void DrawOverlays(RenderTargetBase& target, const OverlaySources& sources) {
    if (sources.input != nullptr) DrawCursor(*sources.input, target);
    if (sources.statsFlag != 0 && sources.statsOverlay != nullptr) {
        sources.statsOverlay->Draw(target, sources.font, sources.stats);
    }
    if (DebugOverlay::LineCount() > 0) DebugOverlay::Draw(target, sources.font);
    if (sources.border != 0.0f && sources.borderTarget != nullptr) {
        DrawScreenBorder(*sources.borderTarget, sources.border);
    }
}

void DrawOverlays(RenderTargetBase& target) {
    Engine* engine = GetEngine();
    if (engine == nullptr) return;
    OverlaySources sources;
    sources.input = engine->GetInputDevice(0);
    if (const FrameTimer* timer = engine->GetTimer()) sources.statsFlag = timer->GetFlag();
    if (sources.statsFlag != 0) sources.stats = GatherEngineStats();
    sources.statsOverlay = &GetStatsOverlay();
    sources.font = GetDefaultFont();
    sources.border = GetStartupParams().safeFrameBorder;
    if (sources.border != 0.0f) sources.borderTarget = engine->GetMainRenderTarget();
    DrawOverlays(target, sources);
}

void InstallDebugOverlayHooks() { InstallOverlayHooks(OverlayHooks{DebugOverlay::Clear}); }

}  // namespace engine
