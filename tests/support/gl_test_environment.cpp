#include "support/gl_test_environment.h"

namespace testsupport {

void GlTestEnvironment::SetUp() {
    sys::GlWindowDesc desc;
    desc.title = "Tinmarch tests";
    desc.hidden = true;
    desc.debugContext = true;
    ASSERT_TRUE(window_.Open(desc)) << window_.LastError();
    // The first GL call makes the GL loader hold the driver libraries open until exit. Without it, a test
    // binary whose tests make no GL call unloads them when the window closes, and the driver's allocations
    // kept until exit can no longer be matched to the driver by the leak checker's suppressions.
    sys::QueryGlContext();
}

void GlTestEnvironment::TearDown() { window_.Close(); }

void GlTestEnvironment::Clear(float r, float g, float b, float a) { sys::ClearColour(r, g, b, a); }

std::vector<std::uint8_t> GlTestEnvironment::ReadPixels(int x, int y, int width, int height) {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 4);
    sys::ReadPixelsRgba8(x, y, width, height, pixels.data());
    return pixels;
}

}  // namespace testsupport
