#include <gtest/gtest.h>

#include "support/gl_test_environment.h"
#include "sys/gl_window.h"

namespace {

using testsupport::GlEnvironment;
using testsupport::GlTestEnvironment;

TEST(GlWindow, ContextIsAtLeastCore33) {
    ASSERT_TRUE(GlEnvironment().Ready());
    const sys::GlContextInfo info = sys::QueryGlContext();
    EXPECT_TRUE(info.core) << info.renderer;
    EXPECT_GE(info.major * 10 + info.minor, 33) << info.major << "." << info.minor;
}

TEST(GlWindow, ClearReadsBackTheColour) {
    ASSERT_TRUE(GlEnvironment().Ready());
    GlTestEnvironment::Clear(0.0f, 0.5f, 1.0f, 1.0f);
    const auto pixels = GlTestEnvironment::ReadPixels(0, 0, 4, 4);
    const int expected[4] = {0, 128, 255, 255};
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        EXPECT_NEAR(pixels[i], expected[i % 4], 1) << "byte " << i;
    }
}

TEST(GlWindow, ClosesAndOpensAgainInOneProcess) {
    sys::GlWindow second;
    sys::GlWindowDesc desc;
    desc.hidden = true;
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(second.Open(desc)) << second.LastError();
        EXPECT_GE(sys::QueryGlContext().major, 3);
        second.Close();
        EXPECT_FALSE(second.IsOpen());
    }
    EXPECT_TRUE(GlEnvironment().MakeCurrent());
}

}  // namespace
