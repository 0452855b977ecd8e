#include "game/screens/screen_draw.h"

#include <string>

#include "engine/gui/bitmap_font.h"
#include "engine/gui/text_markup.h"
#include "engine/render/render_target.h"

namespace game {
namespace {

// The colour entry in force after the text, starting from the given one (-1: none chosen yet).
int ColourAfter(const engine::WideString& text, int colour) {
    const std::u16string_view view(text.Data(), text.Length());
    for (std::size_t i = 0; i < view.size();) {
        if (view[i] != u'@') {
            ++i;
            continue;
        }
        const engine::MarkupCode code = engine::ReadMarkup(view, i);
        if (code.kind == engine::MarkupKind::kMalformed || code.length == 0) break;
        if (code.kind == engine::MarkupKind::kColour) colour = code.value;
        i += code.length;
    }
    return colour;
}

}  // namespace

void DrawImage(const ScreenServices& services, std::uint32_t texture, const engine::IntRect& source,
               const engine::IntRect& destination, std::uint32_t colour, int blend) {
    if (services.target == nullptr || texture == 0) return;
    services.target->DrawTextureRect(destination, source, texture, colour, blend, 0);
}

void DrawArt(const ScreenServices& services, int art, const engine::IntRect& source,
             const engine::IntRect& destination, std::uint32_t colour, int blend) {
    if (art < 0 || art >= kArtCount) return;
    DrawImage(services, services.art[static_cast<std::size_t>(art)], source, destination, colour, blend);
}

void DrawArtLit(const ScreenServices& services, int art, const engine::IntRect& source,
                const engine::IntRect& destination, std::uint32_t colour, bool lit) {
    DrawArt(services, art, source, destination, colour, kBlendAlpha);
    if (lit) DrawArt(services, art, source, destination, colour, kBlendLit);
}

void DrawImageCentred(const ScreenServices& services, std::uint32_t texture, int cx, int cy, float scale) {
    int width = 0;
    int height = 0;
    if (services.textures == nullptr || !services.textures->GetSize(texture, width, height)) return;
    const int w = static_cast<int>(static_cast<float>(width) * scale);
    const int h = static_cast<int>(static_cast<float>(height) * scale);
    DrawImage(services, texture, {0, 0, width, height}, {cx - w / 2, cy - h / 2, w, h});
}

void DrawScreenText(const ScreenServices& services, FontId font, const engine::WideString& text, int x, int y,
                    int alignment) {
    if (text.IsEmpty()) return;
    if (services.textObserver != nullptr) services.textObserver->OnText(font, text, x, y, alignment);
    engine::BitmapFont* f = services.Font(font);
    if (f != nullptr && services.target != nullptr) {
        f->Draw(*services.target, text, x, y, static_cast<std::uint32_t>(alignment));
    }
}

void DrawTextLines(const ScreenServices& services, FontId font, const engine::TextWrap& lines, int x, int y,
                   int alignment) {
    const int spacing = LineSpacing(services, font);
    int colour = -1;
    for (int i = 0; i < lines.GetLineCount(); ++i) {
        const engine::WideString& line = lines.GetLine(i);
        if (colour < 0) {
            DrawScreenText(services, font, line, x, y + i * spacing, alignment);
        } else {
            const std::string code = "@C[" + std::to_string(colour) + "]";
            DrawScreenText(services, font, Prefixed(code.c_str(), line), x, y + i * spacing, alignment);
        }
        colour = ColourAfter(line, colour);
    }
}

engine::WideString Prefixed(const char* prefix, const engine::WideString& text) {
    engine::WideString out(prefix);
    out.Append(text);
    return out;
}

engine::WideString NumberText(int value) {
    return engine::WideString(std::to_string(value).c_str());
}

int MeasureText(const ScreenServices& services, FontId font, const engine::WideString& text) {
    engine::BitmapFont* f = services.Font(font);
    return f != nullptr ? f->MeasureWidth(text) : 0;
}

int LineSpacing(const ScreenServices& services, FontId font) {
    engine::BitmapFont* f = services.Font(font);
    return f != nullptr ? f->GetLineSpacing() : 0;
}

}  // namespace game
