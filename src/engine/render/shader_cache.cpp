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

// The device's translated text of the shader, kept beside its words; nothing when the device keeps none.
template <typename Shader>
void KeepTranslatedText(ShaderDevice& device, const Shader& shader, const std::string& textPath) {
    if (const sys::GlslShader* glsl = device.TranslatedText(shader)) {
        WriteShaderCacheBytes(textPath, EncodeTranslatedText(*glsl));
    }
}

template <typename Shader, typename Create, typename CreateFromText>
std::unique_ptr<Shader> CompileWithCache(ShaderDevice& device, std::string_view text, sys::ShaderStage stage,
                                         Create create, CreateFromText createFromText) {
    const std::string path = ShaderCacheFilePath(text, stage);
    const std::string textPath = TranslatedTextCachePath(path);
    bool hadFile = false;
    std::vector<std::uint8_t> bytes;
    if (!path.empty()) {
        if (ReadShaderCacheFile(textPath, bytes)) {
            sys::GlslShader glsl;
            if (AcceptTranslatedTextBytes(bytes, stage, glsl)) {
                if (std::unique_ptr<Shader> shader = createFromText(glsl)) return shader;
            }
            // Damaged, or refused by this device: the words below make the text again (or nothing does).
            std::remove(textPath.c_str());
        }
        hadFile = ReadShaderCacheFile(path, bytes);
        if (hadFile) {
            const std::vector<std::uint32_t> words = AcceptShaderCacheBytes(bytes, stage);
            if (!words.empty()) {
                if (std::unique_ptr<Shader> shader = create(words)) {
                    KeepTranslatedText(device, *shader, textPath);
                    return shader;
                }
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
    if (WriteShaderCacheFile(path, words)) KeepTranslatedText(device, *shader, textPath);
    return shader;
}

}  // namespace

std::unique_ptr<VertexShader> CompileVertexShader(ShaderDevice& device, std::string_view text) {
    return CompileWithCache<VertexShader>(
        device, text, sys::ShaderStage::Vertex,
        [&device](std::span<const std::uint32_t> words) { return device.CreateVertexShader(words); },
        [&device](const sys::GlslShader& glsl) { return device.CreateVertexShaderFromText(glsl); });
}

std::unique_ptr<PixelShader> CompilePixelShader(ShaderDevice& device, std::string_view text) {
    return CompileWithCache<PixelShader>(
        device, text, sys::ShaderStage::Pixel,
        [&device](std::span<const std::uint32_t> words) { return device.CreatePixelShader(words); },
        [&device](const sys::GlslShader& glsl) { return device.CreatePixelShaderFromText(glsl); });
}

}  // namespace engine
