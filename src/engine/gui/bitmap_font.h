#pragma once
// A bitmap font: a glyph sheet texture and its ".RFN" metrics, drawn as quads through the sprite batch it
// derives from. Texts carry inline markup (text_markup.h): colour codes select an entry of the font's colour
// table, column jumps move the pen, and inline icons are measured and drawn by the game's icon callback.
// The same rules measure texts, place a caret and wrap texts (text_wrap.h). Main thread only.
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "engine/gui/font_metrics.h"
#include "engine/render/sprite_batch.h"

namespace engine {

class RenderTargetBase;
class TextWrap;
class WideString;

// Holds bindings a font made for itself; a base so that it exists before the sprite batch that uses them.
struct OwnedSpriteBindings {
    std::unique_ptr<SpriteBatchBindings> ownedBindings;
};

class BitmapFont : private OwnedSpriteBindings, public SpriteBatch {
public:
    static constexpr int kColourCount = 10;
    static constexpr int kIconMeasure = 1;
    static constexpr int kIconDraw = 0;
    static constexpr int kTabStop = 64;

    // An icon's width in pixels; mode kIconMeasure only asks, kIconDraw draws it at (x, y). user is the render
    // target being drawn to (null while measuring).
    using IconCallback = int (*)(BitmapFont& font, int x, int y, std::uint32_t colour, int icon, int mode,
                                 void* user);

    // A null buffer means the engine's shared dynamic vertex buffer.
    BitmapFont(RenderDevice& device, SpriteBatchBindings& bindings, DynamicVertexBuffer* buffer = nullptr);
    ~BitmapFont() override;
    // A font that draws on the engine's graphics device; null while the engine has no device or shaders.
    static std::unique_ptr<BitmapFont> CreateOnEngineDevice();

    // The glyph sheet of that name (a texture already loaded in the current resource group, else loaded through
    // the texture table), then "<name without extension>.RFN". 1 when both load; 0 otherwise, and the font
    // keeps no metrics. The first font that loads becomes the default font.
    int Load(const char* name);
    // The metrics from the bytes of a ".RFN" file; false for a file that does not fit, and the font then keeps
    // no metrics.
    bool ReadMetrics(const std::uint8_t* data, std::size_t size);
    bool HasMetrics() const { return metrics_.advances != nullptr; }
    const FontMetrics& Metrics() const { return metrics_; }
    std::uint32_t TextureHandle() const { return texture_; }

    int GetGlyphHeight() const { return metrics_.glyphHeight; }
    int GetLineSpacing() const { return metrics_.lineSpacing; }
    void SetLineSpacing(int spacing) { metrics_.lineSpacing = spacing; }
    int GetVerticalOffset() const { return metrics_.verticalOffset; }
    // Entries 0-9; entry 0 is the default text colour (white after construction).
    void SetColour(int index, std::uint32_t argb);
    std::uint32_t GetColour(int index) const;
    void SelectColour(int index);
    std::uint32_t CurrentColour() const { return colours_[static_cast<std::size_t>(colourIndex_)]; }
    void SetIconCallback(IconCallback callback) { iconCallback_ = callback; }
    void SetLetterSpacing(int pixels) { letterSpacing_ = pixels; }
    // The render target handed to the icon callback.
    void SetUserPointer(void* user) { user_ = user; }

    // Width in pixels of the widest line; 0 for malformed markup.
    int MeasureWidth(std::u16string_view text);
    int MeasureWidth(const WideString& text);
    // Width of the first count characters: 0 below 1, the whole text at or past its length.
    int MeasurePrefix(std::u16string_view text, int count);
    // The caret index for pixel x: the first prefix wider than x ends there when x lies beyond the middle of its
    // last character, else one before; the text length when no prefix is wider.
    int CharIndexAt(std::u16string_view text, int x);

    // Selects colour 0 and draws the text aligned by flags (see DrawAligned) as one batch, inline icons after.
    void Draw(RenderTargetBase& target, std::u16string_view text, int x, int y, std::uint32_t flags,
              std::uint32_t overrideColour = 0);
    void Draw(RenderTargetBase& target, const WideString& text, int x, int y, std::uint32_t flags,
              std::uint32_t overrideColour = 0);
    // The same for an 8-bit text, each byte one character.
    void DrawNarrow(RenderTargetBase& target, const char* text, int x, int y, std::uint32_t flags);
    // Adds the glyphs of the text to the open batch. Horizontal alignment by the low five bits of flags: 2 right,
    // 6 centred (the origin moves with x), else left. Vertically by the flags' low byte taken as signed: 32..63
    // up by half the glyph height, 64..95 up by the glyph height, -128..-97 unchanged, else up by the vertical
    // offset. A non-zero override colours every glyph.
    void DrawAligned(std::u16string_view text, std::uint32_t flags, int x, int y, int originX,
                     std::uint32_t overrideColour);
    // Colour 0, then every non-empty line of the wrap as a batch of its own in the line's colour (0: the current
    // colour); y grows by the line spacing after every line.
    void DrawLines(RenderTargetBase& target, int y, const TextWrap& wrap, std::uint32_t flags, int x);
    // The queued inline icons through the callback (draw mode), then the queue is empty.
    void FlushInlineIcons();
    std::size_t QueuedIconCount() const { return icons_.size(); }

    // Called after every Begin; nothing here.
    virtual void AfterBegin() {}

    // The first font that loaded, null when none has; a font that goes away stops being it.
    static BitmapFont* GetDefault();
    // Names the default font outright (null: none), for fonts that were not loaded from files.
    static void SetDefault(BitmapFont* font);

    // Sees every text of every font as it is laid out for drawing, markup and all; a test running the whole
    // program watches what reaches the screen with it. Null (the default) sees nothing.
    using DrawnTextHook = void (*)(std::u16string_view text, void* user);
    static void SetDrawnTextHook(DrawnTextHook hook, void* user);

protected:
    void DrawQueuedIcons() override { FlushInlineIcons(); }

private:
    struct InlineIcon {
        int x = 0;
        int y = 0;
        std::uint32_t colour = 0;
        int icon = 0;
    };

    BitmapFont(std::unique_ptr<SpriteBatchBindings> bindings, RenderDevice& device);
    int Advance(int c, int next) const { return metrics_.Advance(c, next) + letterSpacing_; }
    int IconWidth(int icon);
    void BeginFor(RenderTargetBase& target);

    FontMetrics metrics_;
    std::uint32_t texture_ = 0;
    std::array<std::uint32_t, kColourCount> colours_{};
    int colourIndex_ = 0;
    IconCallback iconCallback_ = nullptr;
    void* user_ = nullptr;
    int letterSpacing_ = 0;
    std::vector<InlineIcon> icons_;
};

// GetDefault as the engine's default font (the statistics and debug overlays use it).
inline BitmapFont* GetDefaultFont() { return BitmapFont::GetDefault(); }

}  // namespace engine
