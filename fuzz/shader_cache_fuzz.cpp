// Arbitrary bytes as a shader cache file: the first byte picks the stage (even vertex, odd pixel), the rest is
// the file. Whatever the acceptance rules let through goes on to the GLSL back end, as at a load from the
// cache; nothing may crash, and an accepted module translates or is refused with a message.
#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/render/shader_cache.h"
#include "sys/spirv_to_glsl.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
    if (size == 0) return 0;
    const sys::ShaderStage stage = (input[0] & 1) != 0 ? sys::ShaderStage::Pixel : sys::ShaderStage::Vertex;
    const std::vector<std::uint32_t> words = engine::AcceptShaderCacheBytes(std::span(input + 1, size - 1), stage);
    if (words.empty()) return 0;
    if (words.size() * 4 != size - 1) __builtin_trap();
    const sys::SpirvToGlslResult result = sys::SpirvToGlsl(words, stage);
    if (result.Ok() == result.shader.text.empty()) __builtin_trap();
    return 0;
}
