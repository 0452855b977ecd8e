#pragma once
// Links a translated vertex shader with a translated pixel shader into a GL program (needs a current context).
#include <cstdint>
#include <string>

#include "sys/spirv_to_glsl.h"

namespace sys {

struct PixelFixupResult {
    std::string text;   // the pixel shader text to compile with this vertex shader
    std::string error;  // empty on success
    bool Ok() const { return error.empty(); }
};

// Shader model 3 links stages by semantic and tolerates what GLSL does not: a pixel input whose type differs
// from the vertex output of the same semantic is declared with the vertex type and converted at the top of main
// (missing components 0, w 1), and a pixel input the vertex shader never writes reads 0.
PixelFixupResult PairFixupPixelGlsl(const ShaderReflection& vertex, const GlslShader& pixel);

struct ShaderLinkResult {
    std::uint32_t program = 0;  // GL program name, 0 on failure
    std::string error;          // compile or link log on failure
};

// Fixes up the pixel text for this vertex shader, compiles and links both, binds VSRegs to uniform-buffer
// binding 0 and PSRegs to 1, and sets each PS_sN sampler to texture unit N. The current program is kept.
ShaderLinkResult LinkShaderPair(const GlslShader& vertex, const GlslShader& pixel);

// Deletes a program made by LinkShaderPair (0 is ignored).
void DeleteShaderProgram(std::uint32_t program);

}  // namespace sys
