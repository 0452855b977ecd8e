#pragma once
// Text passes over the GLSL that SPIRV-Cross writes for a translated shader (used by SpirvToGlsl).
#include <cstdint>
#include <string>
#include <vector>

#include "sys/hlsl_compiler.h"

namespace sys {

// Register c255 of each stage is the layer's; the block always spans all 256 registers.
constexpr std::uint32_t kRegisterBytes = 16;
constexpr std::uint32_t kRegisterBlockBytes = 256 * kRegisterBytes;
constexpr std::uint32_t kLayerRegister = 255;

const char* RegisterBlockName(ShaderStage stage);      // "VSRegs" / "PSRegs"
const char* RegisterBlockInstance(ShaderStage stage);  // "vsr" / "psr"

// A member of the register block, in declaration order.
struct RegisterBlockMember {
    std::uint32_t offset = 0;  // a multiple of 16, below the layer's register
    std::uint32_t size = 0;
};

// Rewrites the register block as plain std140 (members sorted by offset, explicit offsets dropped, padding
// members in the gaps) and appends the layer's register c255; declares the block when the text has none.
// `members` must not overlap. Returns an error text when the block is not written as expected.
std::string RewriteRegisterBlock(std::string& text, ShaderStage stage, const std::vector<RegisterBlockMember>& members);

// Renames the translated entry point and adds a `main` that calls it and then runs the stage's epilogue:
// the D3D9 clip-space emulation for vertex shaders, the alpha test on `o_COLOR0` for pixel shaders when
// `alphaTest`. Returns an error text when the entry point is not found.
std::string AddEpilogue(std::string& text, ShaderStage stage, bool alphaTest);

// The name the translated entry point gets; `main` calls it first.
constexpr const char* kTranslatedEntryPoint = "hlsl_main";

}  // namespace sys
