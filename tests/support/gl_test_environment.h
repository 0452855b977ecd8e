#pragma once
// One hidden window and GL context per test binary, opened before the first test and closed after the last.
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "sys/gl_window.h"

namespace testsupport {

class GlTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;

    bool Ready() const { return window_.IsOpen(); }
    // Makes the shared context current again (after a test used a window of its own).
    bool MakeCurrent() { return window_.MakeCurrent(); }
    // The shared window, which graphics devices of the tests present into.
    sys::GlWindow& Window() { return window_; }

    // Clears the bound target (window framebuffer or framebuffer object) to a colour.
    static void Clear(float r, float g, float b, float a);
    // RGBA8 pixels of the bound target, width * height * 4 bytes.
    static std::vector<std::uint8_t> ReadPixels(int x, int y, int width, int height);

private:
    sys::GlWindow window_;
};

// The environment of this test binary (registered by its main).
GlTestEnvironment& GlEnvironment();

}  // namespace testsupport
