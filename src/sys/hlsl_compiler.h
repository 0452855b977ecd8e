#pragma once
// HLSL (vertex and pixel shader model 3 style) to SPIR-V words.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sys {

enum class ShaderStage { Vertex, Pixel };

enum class SpirvOptimiser {
    None,      // the words as the front end writes them: fast and readable
    Legalise,  // the SPIRV-Tools legalisation passes; the retry for modules the GLSL back end refuses
};

struct HlslCompileResult {
    std::vector<std::uint32_t> words;  // empty on failure
    std::string error;                 // the front end's messages on failure
    bool Ok() const { return !words.empty(); }
};

// Compiles `text` with entry point "main". Thread-safe; the front end is initialised once per process.
HlslCompileResult CompileHlsl(std::string_view text, ShaderStage stage,
                              SpirvOptimiser optimiser = SpirvOptimiser::None);

// Raised with every change of the translation's options or prelude: shader caches keyed by it drop the words
// of an older translator.
constexpr int kHlslTranslatorVersion = 1;
// The translator's identity for cache keys: its version number and the prelude put before every text.
std::string_view HlslTranslatorKey();

// How often CompileHlsl has been called in this process.
std::uint64_t HlslCompileCount();

}  // namespace sys
