#pragma once
// Shared by the shader translation tests: translating HLSL that must translate, and linked programs.
#include <cstdint>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "sys/shader_link.h"
#include "sys/spirv_to_glsl.h"

namespace shadertest {

inline sys::GlslShader Translate(std::string_view hlsl, sys::ShaderStage stage) {
    sys::SpirvToGlslResult result = sys::TranslateHlsl(hlsl, stage);
    EXPECT_TRUE(result.Ok()) << result.error << "\n" << hlsl;
    return result.shader;
}

// A program linked from two HLSL texts, deleted with the object.
class Program {
public:
    Program(std::string_view vertexHlsl, std::string_view pixelHlsl)
        : vertex_(Translate(vertexHlsl, sys::ShaderStage::Vertex)),
          pixel_(Translate(pixelHlsl, sys::ShaderStage::Pixel)) {
        const sys::ShaderLinkResult linked = sys::LinkShaderPair(vertex_, pixel_);
        id_ = linked.program;
        error_ = linked.error;
    }
    ~Program() { sys::DeleteShaderProgram(id_); }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    std::uint32_t Id() const { return id_; }
    const std::string& Error() const { return error_; }
    const sys::GlslShader& Vertex() const { return vertex_; }
    const sys::GlslShader& Pixel() const { return pixel_; }

private:
    sys::GlslShader vertex_;
    sys::GlslShader pixel_;
    std::uint32_t id_ = 0;
    std::string error_;
};

}  // namespace shadertest
