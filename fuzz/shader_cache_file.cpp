// Arbitrary bytes as the on-disk cache file of a shader text, taken through the cache as a shader load does.
// The first byte picks the stage (bit 0: even vertex, odd pixel) and the text (bit 1: clear, a text that does
// not compile; set, a small one that does); the rest is the file, written where the cache looks for that text
// under a private cache folder. The device stand-in takes the words that the GLSL back end translates, as the
// graphics layer does before it compiles the GLSL.
//
// The file read must give the file whole. A file the acceptance rules and the device take is used as it stands,
// with no compile; any other file leads to one compile of the text, and is then deleted (the text does not
// compile) or replaced by the fresh words the device took (it does).
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "engine/render/shader_cache.h"
#include "engine/render/shader_device.h"
#include "support/temp_folder.h"
#include "sys/hlsl_compiler.h"
#include "sys/spirv_to_glsl.h"

namespace {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

constexpr const char* kVertexText = "float4 main(float4 p : POSITION) : POSITION { return p; }";
constexpr const char* kPixelText = "float4 main() : COLOR { return 1; }";
constexpr const char* kBrokenText = "float4 main() : COLOR { return x; }";

class TranslatingDevice final : public engine::ShaderDevice {
public:
    std::unique_ptr<engine::VertexShader> CreateVertexShader(std::span<const std::uint32_t> words) override {
        return Take(words, sys::ShaderStage::Vertex) ? std::make_unique<engine::VertexShader>() : nullptr;
    }
    std::unique_ptr<engine::PixelShader> CreatePixelShader(std::span<const std::uint32_t> words) override {
        return Take(words, sys::ShaderStage::Pixel) ? std::make_unique<engine::PixelShader>() : nullptr;
    }
    void SetVertexShader(engine::VertexShader*) override {}
    void SetPixelShader(engine::PixelShader*) override {}
    void SetVertexShaderConstantF(int, const float*, int) override {}
    void SetPixelShaderConstantF(int, const float*, int) override {}

    // The words of every creation asked for, in order.
    std::vector<std::vector<std::uint32_t>> asked;

private:
    bool Take(std::span<const std::uint32_t> words, sys::ShaderStage stage) {
        asked.emplace_back(words.begin(), words.end());
        return sys::SpirvToGlsl(words, stage).Ok();
    }
};

const testsupport::TempFolder& CacheHome() {
    static const testsupport::TempFolder folder;
    static const bool ready = [] {
        Check(!folder.Path().empty());
        return setenv("XDG_CACHE_HOME", folder.Path().c_str(), 1) == 0;
    }();
    Check(ready);
    return folder;
}

std::vector<std::uint8_t> Bytes(std::span<const std::uint32_t> words) {
    std::vector<std::uint8_t> bytes;
    for (std::uint32_t word : words) {
        for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<std::uint8_t>(word >> shift));
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
    if (size == 0) return 0;
    const testsupport::TempFolder& home = CacheHome();
    const sys::ShaderStage stage = (input[0] & 1) != 0 ? sys::ShaderStage::Pixel : sys::ShaderStage::Vertex;
    const bool compiles = (input[0] & 2) != 0;
    const char* text = !compiles ? kBrokenText : stage == sys::ShaderStage::Vertex ? kVertexText : kPixelText;
    const std::vector<std::uint8_t> file(input + 1, input + size);

    const std::string path = engine::ShaderCacheFilePath(text, stage);
    const std::string folder = home.Path().string() + "/Tinmarch/ShaderCache/";
    Check(path.compare(0, folder.size(), folder) == 0);
    std::vector<std::uint8_t> read{1};
    if (file.empty()) {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
        Check(!engine::ReadShaderCacheFile(path, read) && read.empty());
    }
    Check(home.Write(path.substr(home.Path().string().size() + 1), file.data(), file.size()));
    Check(engine::ReadShaderCacheFile(path, read) && read == file);

    const std::vector<std::uint32_t> words = engine::AcceptShaderCacheBytes(file, stage);
    const bool usable = !words.empty() && sys::SpirvToGlsl(words, stage).Ok();

    TranslatingDevice device;
    const std::uint64_t compilesBefore = sys::HlslCompileCount();
    const bool made = stage == sys::ShaderStage::Vertex ? engine::CompileVertexShader(device, text) != nullptr
                                                        : engine::CompilePixelShader(device, text) != nullptr;
    const std::uint64_t compileCount = sys::HlslCompileCount() - compilesBefore;
    if (usable) {
        Check(made && compileCount == 0 && device.asked.size() == 1 && device.asked[0] == words);
        Check(engine::ReadShaderCacheFile(path, read) && read == file);
    } else if (!compiles) {
        Check(!made && compileCount == 1 && device.asked.size() == (words.empty() ? 0u : 1u));
        Check(!std::filesystem::exists(path));
    } else {
        Check(made && compileCount >= 1 && !device.asked.empty());
        Check(engine::ReadShaderCacheFile(path, read) && read == Bytes(device.asked.back()));
    }
    return 0;
}
