// Reads arbitrary bytes as a font's ".RFN" metrics. A refused file must leave the font without metrics; an
// accepted one must measure and draw a text of every code without reading outside its tables.
#include <cstddef>
#include <cstdint>
#include <string>

#include "../tests/engine/render/recording_render_device.h"
#include "engine/gui/bitmap_font.h"
#include "engine/render/render_device.h"

namespace {

class NoBindings final : public engine::SpriteBatchBindings {
public:
    void BindTexture(std::uint32_t, std::uint32_t) override {}
    void UseTextureColourShaders() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
    testsupport::RecordingRenderDevice device;
    testsupport::HostDynamicBuffer buffer;
    NoBindings bindings;
    engine::BitmapFont font(device, bindings, &buffer);
    if (!font.ReadMetrics(input, size)) {
        if (font.HasMetrics() || font.Metrics().lastCode != 0) __builtin_trap();
        return 0;
    }
    if (!font.HasMetrics() || font.Metrics().lastCode > 255) __builtin_trap();
    std::u16string every;
    for (char16_t c = 1; c < 300; ++c) {
        if (c != u'@') every.push_back(c);
    }
    volatile int width = font.MeasureWidth(every);
    (void)width;
    font.SetTargetSize(640, 480);
    font.Begin();
    font.DrawAligned(every, 0x86, 320, 240, 320, 0);
    font.End(true);
    return 0;
}
