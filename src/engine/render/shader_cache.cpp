#include "engine/render/shader_cache.h"

#include <cstdio>

#include "sys/spirv_validator.h"

namespace engine {

namespace {

// Compiles the text and hands the words to the device (through `create`); words the validator refuses count
// as a failed compile.
template <typename Shader, typename Create>
std::unique_ptr<Shader> CompileFresh(std::string_view text, sys::ShaderStage stage, sys::SpirvOptimiser optimiser,
                                     Create create, std::vector<std::uint32_t>& words) {
    sys::HlslCompileResult compiled = sys::CompileHlsl(text, stage, optimiser);
    if (!compiled.Ok() || !sys::ValidateSpirv(compiled.words, stage)) return nullptr;
    words = std::move(compiled.words);
    return create(words);
}

template <typename Shader, typename Create>
std::unique_ptr<Shader> CompileWithCache(std::string_view text, sys::ShaderStage stage, Create create) {
    const std::string path = ShaderCacheFilePath(text, stage);
    bool hadFile = false;
    if (!path.empty()) {
        std::vector<std::uint8_t> bytes;
        hadFile = ReadShaderCacheFile(path, bytes);
        if (hadFile) {
            const std::vector<std::uint32_t> words = AcceptShaderCacheBytes(bytes, stage);
            if (!words.empty()) {
                if (std::unique_ptr<Shader> shader = create(words)) return shader;
            }
        }
    }

    // No usable cache file: compile once; when the device refuses the words, once more through the
    // legalising optimiser, whose output the GLSL back end takes where the plain words trip it.
    std::vector<std::uint32_t> words;
    std::unique_ptr<Shader> shader = CompileFresh<Shader>(text, stage, sys::SpirvOptimiser::None, create, words);
    if (!shader && !words.empty()) {
        words.clear();
        shader = CompileFresh<Shader>(text, stage, sys::SpirvOptimiser::Legalise, create, words);
    }
    if (!shader) {
        // A file that stood for this text is of no use: it would be refused again at every start.
        if (hadFile) std::remove(path.c_str());
        return nullptr;
    }
    // An unwritable cache leaves the shader usable; the next run compiles again.
    WriteShaderCacheFile(path, words);
    return shader;
}

}  // namespace

std::unique_ptr<VertexShader> CompileVertexShader(ShaderDevice& device, std::string_view text) {
    return CompileWithCache<VertexShader>(
        text, sys::ShaderStage::Vertex,
        [&device](std::span<const std::uint32_t> words) { return device.CreateVertexShader(words); });
}

std::unique_ptr<PixelShader> CompilePixelShader(ShaderDevice& device, std::string_view text) {
    return CompileWithCache<PixelShader>(
        text, sys::ShaderStage::Pixel,
        [&device](std::span<const std::uint32_t> words) { return device.CreatePixelShader(words); });
}

}  // namespace engine
