#pragma once
// A render target that logs what the screens draw: every textured rectangle (by texture name, source and
// destination, colour and blend), fill, gradient, clip and resolve, and every text (font, the text with its
// colour codes and jumps taken out and its icons as "[Xnnn]", x, y, alignment and the colour entry it ends
// up in). Tests assert on the log.
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "engine/core/int_rect.h"
#include "engine/core/wide_string.h"
#include "game/screens/screen_services.h"
#include "support/null_render_target.h"

namespace engine {
inline bool operator==(const IntRect& a, const IntRect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}
inline std::ostream& operator<<(std::ostream& out, const IntRect& r) {
    return out << "(" << r.x << ", " << r.y << ", " << r.width << ", " << r.height << ")";
}
}  // namespace engine

namespace testsupport {

struct DrawEntry {
    std::string kind;  // "image", "text", "fill", "gradient", "clip", "unclip", "resolve"
    // Images.
    std::string texture;
    engine::IntRect source{};
    engine::IntRect destination{};
    std::uint32_t colour = 0;
    int blend = 0;
    // Texts.
    game::FontId font = game::FontId::kMain;
    std::string text;
    std::string raw;
    int x = 0;
    int y = 0;
    int alignment = 0;
    int colourEntry = 0;
    // Gradients: the top and bottom colours.
    std::uint32_t bottomColour = 0;
};

// The text without colour codes and jumps, icons as "[Xnnn]", and the last colour entry it selects.
inline std::string StripMarkup(const std::string& raw, int& colourEntry) {
    std::string out;
    colourEntry = 0;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '@' && i + 2 < raw.size() && raw[i + 2] == '[') {
            const std::size_t close = raw.find(']', i);
            if (close == std::string::npos) break;
            const std::string value = raw.substr(i + 3, close - i - 3);
            if (raw[i + 1] == 'C') colourEntry = std::stoi(value);
            if (raw[i + 1] == 'X') out += "[X" + value + "]";
            i = close;
        } else {
            out += raw[i];
        }
    }
    return out;
}

class DrawRecorder : public NullRenderTarget, public game::TextObserver {
public:
    DrawRecorder(int width = 960, int height = 640) : NullRenderTarget(width, height) {}

    void DrawTextureRect(const engine::IntRect& destination, const engine::IntRect& source, std::uint32_t handle,
                         std::uint32_t colour, int blend, int) override {
        DrawEntry e;
        e.kind = "image";
        e.texture = textureName ? textureName(handle) : std::to_string(handle);
        e.source = source;
        e.destination = destination;
        e.colour = colour;
        e.blend = blend;
        log.push_back(e);
    }
    void FillRect(const engine::IntRect& rect, std::uint32_t colour, int blend) override {
        DrawEntry e;
        e.kind = "fill";
        e.destination = rect;
        e.colour = colour;
        e.blend = blend;
        log.push_back(e);
    }
    void FillRectGradient(const engine::IntRect& rect, std::uint32_t topLeft, std::uint32_t, std::uint32_t bottomLeft,
                          std::uint32_t, int blend) override {
        DrawEntry e;
        e.kind = "gradient";
        e.destination = rect;
        e.colour = topLeft;
        e.bottomColour = bottomLeft;
        e.blend = blend;
        log.push_back(e);
    }
    void SetClipRect(const engine::IntRect* rect) override {
        DrawEntry e;
        e.kind = rect != nullptr ? "clip" : "unclip";
        if (rect != nullptr) e.destination = *rect;
        log.push_back(e);
    }
    void Resolve() override {
        DrawEntry e;
        e.kind = "resolve";
        log.push_back(e);
    }

    void OnText(game::FontId font, const engine::WideString& text, int x, int y, int alignment) override {
        DrawEntry e;
        e.kind = "text";
        e.font = font;
        e.raw = text.GetNarrow();
        e.text = StripMarkup(e.raw, e.colourEntry);
        e.x = x;
        e.y = y;
        e.alignment = alignment;
        log.push_back(e);
    }

    // The entries of a kind, or images of one texture ("image:GUI/Zoomer").
    std::vector<DrawEntry> Of(const std::string& kind) const {
        std::vector<DrawEntry> out;
        const std::size_t colon = kind.find(':');
        const std::string k = kind.substr(0, colon);
        const std::string texture = colon == std::string::npos ? "" : kind.substr(colon + 1);
        for (const DrawEntry& e : log) {
            if (e.kind == k && (texture.empty() || e.texture == texture)) out.push_back(e);
        }
        return out;
    }
    // The texts drawn, in order.
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const DrawEntry& e : log) {
            if (e.kind == "text") out.push_back(e.text);
        }
        return out;
    }
    // The first text entry equal to the text; null when none.
    const DrawEntry* FindText(const std::string& text) const {
        for (const DrawEntry& e : log) {
            if (e.kind == "text" && e.text == text) return &e;
        }
        return nullptr;
    }
    // The images of the texture with that source cell.
    std::vector<DrawEntry> ImagesOf(const std::string& texture, const engine::IntRect& source) const {
        std::vector<DrawEntry> out;
        for (const DrawEntry& e : log) {
            if (e.kind == "image" && e.texture == texture && e.source == source) out.push_back(e);
        }
        return out;
    }
    void Clear() { log.clear(); }

    std::function<std::string(std::uint32_t)> textureName;
    std::vector<DrawEntry> log;
};

}  // namespace testsupport
