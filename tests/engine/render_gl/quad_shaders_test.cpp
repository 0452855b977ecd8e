// The 2D pixel shaders translate and link with the built-in vertex shaders they pair with.
#include "engine/render/quad_shaders.h"

#include <gtest/gtest.h>

#include "engine/platform/scoped_env.h"
#include "engine/render/shader_cache.h"
#include "engine/render/shader_constant_cache.h"
#include "support/gl_test_environment.h"
#include "support/temp_folder.h"
#include "translating_shader_device.h"

namespace {

using namespace engine;

TEST(QuadShaders, EachCompilesAndLinksWithItsVertexShader) {
    ASSERT_TRUE(testsupport::GlEnvironment().Ready());
    testsupport::TempFolder home;
    platformtest::ScopedEnv cacheHome("XDG_CACHE_HOME", home.Path().c_str());
    testsupport::ShaderDrawFixture fixture(8, 8);
    rendertest::TranslatingShaderDevice device(&fixture);
    ShaderBindCounters counters;
    ShaderConstantCache vertex(device, counters);
    for (int i = 0; i < static_cast<int>(QuadPixelShader::Count); ++i) {
        SCOPED_TRACE(i);
        const auto kind = static_cast<QuadPixelShader>(i);
        VertexShader* vs = vertex.BuiltinVertexShader(QuadVertexShaderFor(kind));
        ASSERT_NE(vs, nullptr) << device.lastError;
        const auto ps = CompilePixelShader(device, QuadPixelShaderText(kind));
        ASSERT_NE(ps, nullptr) << device.lastError;
        const rendertest::LinkedPair pair(vs, ps.get());
        EXPECT_NE(pair.Id(), 0u) << pair.Error();
    }
}

}  // namespace
