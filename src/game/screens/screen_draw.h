#pragma once
// The few ways screens draw: a region of a GUI sheet (or any texture) stretched over a rectangle, and a text
// in one of the game's fonts. Everything goes into the services' target ("Main RT").
#include <cstdint>

#include "engine/core/int_rect.h"
#include "engine/core/wide_string.h"
#include "engine/gui/text_wrap.h"
#include "engine/render/render_device.h"
#include "game/screens/screen_services.h"

namespace game {

inline constexpr std::uint32_t kOpaqueWhite = 0xFFFFFFFFu;
inline constexpr std::uint32_t kDisabledGrey = 0xFF808080u;
// The blend modes screens draw with: alpha blending, and the additive pass that lights art.
inline constexpr int kBlendAlpha = engine::kBlendAlpha;
inline constexpr int kBlendLit = engine::kBlendAdditiveAlpha;

// Text alignment flags of the fonts: left, right, centred; vertically centred or bottom-aligned.
inline constexpr int kAlignLeft = 0;
inline constexpr int kAlignRight = 2;
inline constexpr int kAlignCentre = 6;
inline constexpr int kAlignMiddle = 0x20;
inline constexpr int kAlignBottom = 0x40;

// The source region of the texture over the destination (a negative width draws it mirrored).
void DrawImage(const ScreenServices& services, std::uint32_t texture, const engine::IntRect& source,
               const engine::IntRect& destination, std::uint32_t colour = kOpaqueWhite, int blend = kBlendAlpha);
void DrawArt(const ScreenServices& services, int art, const engine::IntRect& source,
             const engine::IntRect& destination, std::uint32_t colour = kOpaqueWhite, int blend = kBlendAlpha);
// The art, then when lit the same art again added on top.
void DrawArtLit(const ScreenServices& services, int art, const engine::IntRect& source,
                const engine::IntRect& destination, std::uint32_t colour, bool lit);
// The whole texture at its own size centred on (cx, cy), scaled; nothing for a texture of no size.
void DrawImageCentred(const ScreenServices& services, std::uint32_t texture, int cx, int cy, float scale);

// Draws the text with the font at (x, y) by the alignment flags; the observer hears it first.
void DrawScreenText(const ScreenServices& services, FontId font, const engine::WideString& text, int x, int y,
                    int alignment);
// The lines of a wrapped text one under the other from (x, y), by the font's line spacing. A colour code stays in
// force from the line it stands on to the lines after it, as in the unbroken text, so that a text prefixed with
// "@C[4]" shows every line in that colour.
void DrawTextLines(const ScreenServices& services, FontId font, const engine::TextWrap& lines, int x, int y,
                   int alignment);
// The markup prefix followed by the text.
engine::WideString Prefixed(const char* prefix, const engine::WideString& text);
// "%i" of the value as a text.
engine::WideString NumberText(int value);
int MeasureText(const ScreenServices& services, FontId font, const engine::WideString& text);
int LineSpacing(const ScreenServices& services, FontId font);

}  // namespace game
