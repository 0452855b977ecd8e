// Runs arbitrary UTF-16 text (markup, line breaks, tabs, codes past the font) through measuring, the caret,
// wrapping and drawing with a small font. Nothing may read outside the font's tables or hang; the caret must lie
// within the text and wrapped lines may only hold characters of the text.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "../tests/engine/gui/rfn_writer.h"
#include "../tests/engine/render/recording_render_device.h"
#include "engine/core/language_info.h"
#include "engine/gui/bitmap_font.h"
#include "engine/gui/text_wrap.h"

namespace {

class NoBindings final : public engine::SpriteBatchBindings {
public:
    void BindTexture(std::uint32_t, std::uint32_t) override {}
    void UseTextureColourShaders() override {}
};

int IconWidth(engine::BitmapFont&, int, int, std::uint32_t, int icon, int, void*) { return icon % 17; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
    if (size < 2) return 0;
    static const std::vector<std::uint8_t> metrics = guitest::WriteRfn(guitest::SyntheticFont(126));
    testsupport::RecordingRenderDevice device;
    testsupport::HostDynamicBuffer buffer;
    NoBindings bindings;
    engine::BitmapFont font(device, bindings, &buffer);
    if (!font.ReadMetrics(metrics.data(), metrics.size())) __builtin_trap();
    font.SetIconCallback(IconWidth);

    // The first byte picks the wrap width and language; the rest is the text.
    const int width = input[0] * 2;
    const int language = (input[1] & 1) != 0 ? engine::kLanguageJapanese : engine::kLanguageOther;
    std::u16string text((size - 2) / 2, u'\0');
    std::memcpy(text.data(), input + 2, text.size() * sizeof(char16_t));

    volatile int measured = font.MeasureWidth(text);
    (void)measured;
    const int caret = font.CharIndexAt(text, width);
    if (caret < 0 || static_cast<std::size_t>(caret) > text.size()) __builtin_trap();

    engine::TextWrap wrap;
    wrap.WrapForLanguage(font, text, width, language);
    std::size_t total = 0;
    for (int i = 0; i < wrap.GetLineCount(); ++i) total += wrap.GetLine(i).Length();
    if (total > text.size()) __builtin_trap();

    font.SetTargetSize(640, 480);
    font.Begin();
    font.DrawAligned(text, input[1], 100, 100, 100, 0);
    font.End(true);
    return 0;
}
