#pragma once
// The game's seven fonts for screen tests: each a font with the synthetic metrics of the GUI tests (glyphs
// 5 to 7 pixels apart, line spacing 12) drawing on a recording device, so texts measure and wrap as with a
// real font and draw without a GPU.
#include <array>
#include <memory>

#include "engine/gui/bitmap_font.h"
#include "engine/gui/rfn_writer.h"
#include "engine/render/recording_render_device.h"
#include "game/screens/screen_services.h"

namespace testsupport {

class NullSpriteBindings final : public engine::SpriteBatchBindings {
public:
    void BindTexture(std::uint32_t, std::uint32_t) override {}
    void UseTextureColourShaders() override {}
};

// What a font draws on, made before the font itself.
struct SyntheticFontParts {
    RecordingRenderDevice device;
    NullSpriteBindings bindings;
    HostDynamicBuffer buffer;
};

class SyntheticFont final : private SyntheticFontParts, public engine::BitmapFont {
public:
    SyntheticFont() : BitmapFont(device, bindings, &buffer) {
        const auto bytes = guitest::WriteRfn(guitest::SyntheticFont());
        ReadMetrics(bytes.data(), bytes.size());
    }
};

struct ScreenFonts {
    ScreenFonts() {
        for (auto& font : fonts) font = std::make_unique<SyntheticFont>();
    }
    // Puts every font into the services.
    void Install(game::ScreenServices& services) const {
        for (std::size_t i = 0; i < fonts.size(); ++i) services.fonts[i] = fonts[i].get();
    }
    std::array<std::unique_ptr<SyntheticFont>, static_cast<std::size_t>(game::FontId::kCount)> fonts;
};

}  // namespace testsupport
