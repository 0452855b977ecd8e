#pragma once
// SPIR-V words (from CompileHlsl or the shader cache) to GLSL 330 text with the layer's conventions, plus the
// reflection the GL layer needs to bind the shader.
//
// Conventions of the translated text:
// - Constants live in one std140 uniform block of 4096 bytes per stage, `VSRegs` (instance `vsr`) or `PSRegs`
//   (`psr`); register cN is at byte offset 16*N. Register c255 belongs to the layer: vertex c255 =
//   (1/viewport width, 1/viewport height, 0, 0), pixel c255 = (alpha test enabled, alpha reference 0-255, 0, 0).
// - Sampler register sN is the uniform `PS_sN`, to be set to texture unit N.
// - Stage variables are named after their semantic: `a_<SEM>` vertex inputs (at the fixed attribute locations
//   of VertexAttributeLocation), `v_<SEM>` varyings, `o_<SEM>` colour outputs (draw buffer n for COLORn).
// - Vertex shaders end with the D3D9 emulation on an upside-down framebuffer: the half-pixel shift, y negated,
//   and clip z mapped from 0..w to -w..w. Pixel shaders end with the alpha test (discard unless
//   round(alpha * 255) >= reference).
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "sys/hlsl_compiler.h"

namespace sys {

// A constant of the register block: registers firstRegister .. firstRegister + registerCount - 1.
struct ShaderConstant {
    std::string name;
    int firstRegister = 0;
    int registerCount = 0;
};

struct ShaderSampler {
    std::string name;  // the name in the shader text
    int samplerRegister = 0;
};

// A vertex input, a varying or a colour output.
struct ShaderStageVariable {
    std::string semantic;  // normalised: "TEXCOORD6", "BLENDINDICES0"
    std::string glslType;  // "vec4", "vec2", "float", "ivec4"
    int components = 0;
    bool isInteger = false;  // integer vertex inputs are fed with glVertexAttribIPointer
    int location = -1;       // attribute location, varying slot or draw buffer
};

struct ShaderReflection {
    ShaderStage stage = ShaderStage::Vertex;
    std::vector<ShaderConstant> constants;     // sorted by register
    std::vector<ShaderSampler> samplers;       // sorted by register
    std::vector<ShaderStageVariable> inputs;   // vertex attributes, or the pixel shader's varyings
    std::vector<ShaderStageVariable> outputs;  // vertex varyings (not POSITION, PSIZE), or pixel colours (not DEPTH)
};

struct GlslShader {
    std::string text;
    ShaderReflection reflection;
};

struct SpirvToGlslResult {
    GlslShader shader;
    std::string error;     // empty on success
    bool refused = false;  // the module breaks a rule of the layer; compiling the text again cannot help
    bool Ok() const { return error.empty(); }
};

SpirvToGlslResult SpirvToGlsl(std::span<const std::uint32_t> words, ShaderStage stage);

// How many times SpirvToGlsl ran in this process (all threads): a start whose shaders all come from the
// cache's translated text runs it never.
std::uint64_t SpirvToGlslCount();

// CompileHlsl followed by SpirvToGlsl. When the back end fails on the plain words (not a refusal), the text is
// compiled once more with the legalising optimiser. `words` receives the words the GLSL was made from.
SpirvToGlslResult TranslateHlsl(std::string_view text, ShaderStage stage, std::vector<std::uint32_t>* words = nullptr);

}  // namespace sys
