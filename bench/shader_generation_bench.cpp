// Generated shaders on their way to GL: writing the text, the whole HLSL-to-GLSL translation of the largest
// variants, and the cache-load paths (the kept GLSL read back; the words accepted and translated).
// The first translation in a process, which also builds the front end's symbol tables, is timed on its own
// (it runs first); the others run after a warm-up translation.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/core/little_endian.h"
#include "engine/render/builtin_shaders.h"
#include "engine/render/shader_assembly.h"
#include "engine/render/shader_cache.h"
#include "sys/hlsl_compiler.h"
#include "sys/spirv_to_glsl.h"

namespace {

std::string LargestPixelVariant() {
    std::string text;
    engine::BuildGenericPixelShader(text, 0xFF, 3, true, "float4 MatColour : register(c0);\n",
                                    "\tfloat4 MainPix = MatColour;\n");
    return text;
}

std::string LargestVertexVariant() {
    std::string text;
    engine::BuildGenericVertexShader(text, true, false, false, 0xE0, true);
    return text;
}

std::string BuiltinEight() {
    engine::WideString text;
    engine::WriteBuiltinVertexShaderText(8, text);
    return text.GetNarrow();
}

// Texture times vertex colour, as the 2D drawing uses.
constexpr const char* kTwoDPixel = R"(
sampler2D Texture0 : register(s0);
float4 main(float2 TexCoord : TEXCOORD0, float4 Colour : COLOR0) : COLOR
{
	return tex2D(Texture0, TexCoord) * Colour;
}
)";

void Translate(benchmark::State& state, const std::string& text, sys::ShaderStage stage) {
    for (auto _ : state) {
        sys::SpirvToGlslResult result = sys::TranslateHlsl(text, stage);
        if (!result.Ok()) {
            state.SkipWithError(result.error.c_str());
            return;
        }
        benchmark::DoNotOptimize(result.shader.text.data());
    }
}

void WarmUp() {
    static const bool done = sys::TranslateHlsl(kTwoDPixel, sys::ShaderStage::Pixel).Ok();
    (void)done;
}

void BM_FirstTranslationInProcess(benchmark::State& state) {
    const std::string text = LargestPixelVariant();
    for (auto _ : state) {
        benchmark::DoNotOptimize(sys::TranslateHlsl(text, sys::ShaderStage::Pixel).shader.text.data());
    }
}
// Registered first, so that it is the process's first translation; one iteration only.
BENCHMARK(BM_FirstTranslationInProcess)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_TranslateLargestPixelVariant(benchmark::State& state) {
    WarmUp();
    Translate(state, LargestPixelVariant(), sys::ShaderStage::Pixel);
}
BENCHMARK(BM_TranslateLargestPixelVariant)->Unit(benchmark::kMillisecond);

void BM_TranslateLargestVertexVariant(benchmark::State& state) {
    WarmUp();
    Translate(state, LargestVertexVariant(), sys::ShaderStage::Vertex);
}
BENCHMARK(BM_TranslateLargestVertexVariant)->Unit(benchmark::kMillisecond);

void BM_TranslateBuiltinVertexShader8(benchmark::State& state) {
    WarmUp();
    Translate(state, BuiltinEight(), sys::ShaderStage::Vertex);
}
BENCHMARK(BM_TranslateBuiltinVertexShader8)->Unit(benchmark::kMillisecond);

void BM_TranslateTwoDPixelShader(benchmark::State& state) {
    WarmUp();
    Translate(state, kTwoDPixel, sys::ShaderStage::Pixel);
}
BENCHMARK(BM_TranslateTwoDPixelShader)->Unit(benchmark::kMillisecond);

// A cache file's bytes to GLSL: what a start with a filled cache pays per shader. Today's cache keeps the
// translated text, which is only checked and read back; the words' way (acceptance with the SPIR-V validator,
// then SPIR-V to GLSL) is what a start pays without it, and what the first start after a cache of words only
// pays once.
void BM_CacheLoadLargestPixelVariant(benchmark::State& state) {
    WarmUp();
    const sys::SpirvToGlslResult translated = sys::TranslateHlsl(LargestPixelVariant(), sys::ShaderStage::Pixel);
    if (!translated.Ok()) {
        state.SkipWithError(translated.error.c_str());
        return;
    }
    const std::vector<std::uint8_t> file = engine::EncodeTranslatedText(translated.shader);
    for (auto _ : state) {
        sys::GlslShader glsl;
        if (!engine::AcceptTranslatedTextBytes(file, sys::ShaderStage::Pixel, glsl)) {
            state.SkipWithError("the text file was not accepted");
            return;
        }
        benchmark::DoNotOptimize(glsl.text.data());
    }
    state.counters["file_bytes"] = static_cast<double>(file.size());
}
BENCHMARK(BM_CacheLoadLargestPixelVariant)->Unit(benchmark::kMillisecond);

void BM_CacheLoadLargestPixelVariantFromWords(benchmark::State& state) {
    WarmUp();
    const std::vector<std::uint32_t> words = sys::CompileHlsl(LargestPixelVariant(), sys::ShaderStage::Pixel).words;
    std::vector<std::uint8_t> file(words.size() * 4);
    for (std::size_t i = 0; i < words.size(); ++i) engine::StoreU32(file.data() + 4 * i, words[i]);
    for (auto _ : state) {
        const std::vector<std::uint32_t> accepted = engine::AcceptShaderCacheBytes(file, sys::ShaderStage::Pixel);
        sys::SpirvToGlslResult result = sys::SpirvToGlsl(accepted, sys::ShaderStage::Pixel);
        if (!result.Ok()) {
            state.SkipWithError(result.error.c_str());
            return;
        }
        benchmark::DoNotOptimize(result.shader.text.data());
    }
}
BENCHMARK(BM_CacheLoadLargestPixelVariantFromWords)->Unit(benchmark::kMillisecond);

void BM_GenerateLargestPixelText(benchmark::State& state) {
    std::string text;
    for (auto _ : state) {
        engine::BuildGenericPixelShader(text, 0xFF, 3, true, "float4 MatColour : register(c0);\n",
                                        "\tfloat4 MainPix = MatColour;\n");
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_GenerateLargestPixelText)->Unit(benchmark::kMicrosecond);

}  // namespace
