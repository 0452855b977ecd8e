#include "engine/render/shader_cache.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>

#include "engine/core/crc32.h"
#include "engine/core/little_endian.h"
#include "engine/platform/data_folders.h"
#include "engine/platform/scoped_env.h"
#include "engine/render/builtin_shaders.h"
#include "engine/render/shader_constant_cache.h"
#include "engine/render/shader_text_buffer.h"
#include "recording_shader_device.h"
#include "representative_keys.h"
#include "support/temp_folder.h"
#include "sys/hlsl_compiler.h"

namespace {

using namespace engine;
using rendertest::RecordingShaderDevice;
using rendertest::Words;
using sys::ShaderStage;

constexpr const char* kPixelText = "float4 Tint : register(c0);\nfloat4 main() : COLOR { return Tint; }\n";
constexpr const char* kVertexText = "float4 main(float4 p : POSITION0) : POSITION { return p; }\n";

std::vector<std::uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> Bytes(const Words& words) {
    std::vector<std::uint8_t> bytes(words.size() * 4);
    for (std::size_t i = 0; i < words.size(); ++i) StoreU32(bytes.data() + 4 * i, words[i]);
    return bytes;
}

void WriteAll(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Words Compiled(const char* text, ShaderStage stage) { return sys::CompileHlsl(text, stage).words; }

// Every test gets an empty shader cache of its own.
class ShaderCache : public ::testing::Test {
protected:
    testsupport::TempFolder home;
    platformtest::ScopedEnv cacheHome{"XDG_CACHE_HOME", home.Path().c_str()};
    RecordingShaderDevice device;
};

TEST_F(ShaderCache, FilesAreNamedByTheTextKeyAndHoldTheCompilersWords) {
    const std::string folder = GetShaderCacheFolderNarrow();
    ASSERT_EQ(folder, (home.Path() / "Tinmarch/ShaderCache/").string());
    const std::string pixelPath = ShaderCacheFilePath(kPixelText, ShaderStage::Pixel);
    EXPECT_EQ(pixelPath.substr(0, folder.size()), folder);
    EXPECT_EQ(pixelPath.size(), folder.size() + 12);
    EXPECT_EQ(pixelPath.substr(pixelPath.size() - 4), ".psc");
    char expected[16];
    const std::string keyed = std::string(sys::HlslTranslatorKey()) + kVertexText;
    std::snprintf(expected, sizeof(expected), "%08X.vsc", Crc32OfLength(keyed.data(), keyed.size()));
    EXPECT_EQ(ShaderCacheFilePath(kVertexText, ShaderStage::Vertex), folder + expected);

    ASSERT_NE(CompilePixelShader(device, kPixelText), nullptr);
    EXPECT_EQ(ReadAll(pixelPath), Bytes(Compiled(kPixelText, ShaderStage::Pixel)));
    EXPECT_EQ(device.pixelCreates.size(), 1u);
}

TEST_F(ShaderCache, TextsDifferingByOneCharacterGetTwoFiles) {
    const std::string other = std::string(kPixelText) + " ";
    ASSERT_NE(CompilePixelShader(device, kPixelText), nullptr);
    ASSERT_NE(CompilePixelShader(device, other), nullptr);
    const std::string a = ShaderCacheFilePath(kPixelText, ShaderStage::Pixel);
    const std::string b = ShaderCacheFilePath(other, ShaderStage::Pixel);
    EXPECT_NE(a, b);
    EXPECT_TRUE(std::filesystem::exists(a));
    EXPECT_TRUE(std::filesystem::exists(b));
}

// A file of another translator version lies under another name and is never read.
TEST_F(ShaderCache, TranslatorVersionsKeyTheirOwnFiles) {
    const std::string current = ShaderCacheFilePath(kPixelText, ShaderStage::Pixel);
    const std::string older = ShaderCacheFilePath(kPixelText, ShaderStage::Pixel, "hlsl translator 0\n");
    EXPECT_NE(current, older);
    EXPECT_EQ(current, ShaderCacheFilePath(kPixelText, ShaderStage::Pixel, sys::HlslTranslatorKey()));
    // Valid words of another shader, as an older translator might have left them, under the older name.
    const Words stale = Compiled((std::string(kPixelText) + " ").c_str(), ShaderStage::Pixel);
    ASSERT_TRUE(WriteShaderCacheFile(older, stale));
    ASSERT_NE(CompilePixelShader(device, kPixelText), nullptr);
    ASSERT_EQ(device.pixelCreates.size(), 1u);
    EXPECT_EQ(device.pixelCreates[0], Compiled(kPixelText, ShaderStage::Pixel));
    EXPECT_EQ(ReadAll(older), Bytes(stale));
}

// A cache file that cannot be used is replaced by the words of one fresh compile, which the device receives.
TEST_F(ShaderCache, DamagedFilesAreReplacedWithOneCompileEach) {
    const Words pixelWords = Compiled(kPixelText, ShaderStage::Pixel);
    const std::vector<std::uint8_t> valid = Bytes(pixelWords);
    std::vector<std::uint8_t> wrongMagic = valid;
    wrongMagic[0] ^= 0xFF;
    std::vector<std::uint8_t> randomWords = valid;
    std::mt19937 random(7);
    for (std::size_t i = 4; i < randomWords.size(); ++i) randomWords[i] = static_cast<std::uint8_t>(random());
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"empty", {}},
        {"three bytes", {0x03, 0x02, 0x23}},
        {"wrong magic", wrongMagic},
        {"vertex words", Bytes(Compiled(kVertexText, ShaderStage::Vertex))},
        {"random words after the magic", randomWords},
        {"truncated", std::vector<std::uint8_t>(valid.begin(), valid.begin() + static_cast<long>(valid.size() / 2))},
    };
    const std::string path = ShaderCacheFilePath(kPixelText, ShaderStage::Pixel);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteAll(path, c.bytes);
        device.pixelCreates.clear();
        const std::uint64_t before = sys::HlslCompileCount();
        EXPECT_NE(CompilePixelShader(device, kPixelText), nullptr);
        EXPECT_EQ(sys::HlslCompileCount() - before, 1u);
        ASSERT_FALSE(device.pixelCreates.empty());
        EXPECT_EQ(device.pixelCreates.back(), pixelWords);
        EXPECT_EQ(ReadAll(path), valid);
    }
}

TEST_F(ShaderCache, FilesTheDeviceRefusesAreCompiledAgainOnce) {
    const Words fresh = Compiled(kVertexText, ShaderStage::Vertex);
    // A valid module of the right stage, but not the one the device will take.
    const Words stale = Compiled("float4 main(float4 p : POSITION0) : POSITION { return p * 2; }", ShaderStage::Vertex);
    const std::string path = ShaderCacheFilePath(kVertexText, ShaderStage::Vertex);
    WriteAll(path, Bytes(stale));
    device.refused.push_back(stale);

    const std::uint64_t before = sys::HlslCompileCount();
    ASSERT_NE(CompileVertexShader(device, kVertexText), nullptr);
    EXPECT_EQ(sys::HlslCompileCount() - before, 1u);
    EXPECT_EQ(device.vertexCreates, (std::vector<Words>{stale, fresh}));
    EXPECT_EQ(ReadAll(path), Bytes(fresh));
}

// Words the device refuses are compiled once more through the legalising optimiser; those are the words kept.
TEST_F(ShaderCache, RefusedFreshWordsFallBackToTheLegalisedWords) {
    const Words plain = Compiled(kPixelText, ShaderStage::Pixel);
    const Words legalised = sys::CompileHlsl(kPixelText, ShaderStage::Pixel, sys::SpirvOptimiser::Legalise).words;
    ASSERT_NE(plain, legalised);
    device.refused.push_back(plain);
    const std::uint64_t before = sys::HlslCompileCount();
    ASSERT_NE(CompilePixelShader(device, kPixelText), nullptr);
    EXPECT_EQ(sys::HlslCompileCount() - before, 2u);
    EXPECT_EQ(device.pixelCreates, (std::vector<Words>{plain, legalised}));
    EXPECT_EQ(ReadAll(ShaderCacheFilePath(kPixelText, ShaderStage::Pixel)), Bytes(legalised));

    RecordingShaderDevice nextStart;
    nextStart.refused.push_back(plain);
    ASSERT_NE(CompilePixelShader(nextStart, kPixelText), nullptr);
    EXPECT_EQ(sys::HlslCompileCount() - before, 2u);
    EXPECT_EQ(nextStart.pixelCreates, (std::vector<Words>{legalised}));
}

TEST_F(ShaderCache, RefusedOrBrokenTextsLeaveNoFile) {
    // The device refuses the words of plain and legalised compiles alike: null, and the file goes.
    const std::string path = ShaderCacheFilePath(kVertexText, ShaderStage::Vertex);
    WriteAll(path, {1, 2, 3, 4});
    device.refused.push_back(Compiled(kVertexText, ShaderStage::Vertex));
    device.refused.push_back(sys::CompileHlsl(kVertexText, ShaderStage::Vertex, sys::SpirvOptimiser::Legalise).words);
    EXPECT_EQ(CompileVertexShader(device, kVertexText), nullptr);
    EXPECT_FALSE(std::filesystem::exists(path));

    // A text that does not compile: null; a file that stood for it is deleted, none is written.
    const char* broken = "float4 main() : COLOR { return undeclared; }";
    const std::string brokenPath = ShaderCacheFilePath(broken, ShaderStage::Pixel);
    WriteAll(brokenPath, {0});
    EXPECT_EQ(CompilePixelShader(device, broken), nullptr);
    EXPECT_FALSE(std::filesystem::exists(brokenPath));
    EXPECT_EQ(CompilePixelShader(device, broken), nullptr);
    EXPECT_FALSE(std::filesystem::exists(brokenPath));
    EXPECT_TRUE(device.pixelCreates.empty());
}

TEST_F(ShaderCache, AnUnwritableFolderLeavesTheShaderUsable) {
    // The cache home is a plain file, so no folder can be made under it.
    const std::string blocker = home.File("not-a-folder");
    ASSERT_TRUE(home.Write("not-a-folder", "x", 1));
    platformtest::ScopedEnv blocked("XDG_CACHE_HOME", blocker.c_str());
    for (int run = 0; run < 2; ++run) {
        const std::uint64_t before = sys::HlslCompileCount();
        EXPECT_NE(CompilePixelShader(device, kPixelText), nullptr);
        EXPECT_EQ(sys::HlslCompileCount() - before, 1u) << "run " << run;
    }
}

TEST_F(ShaderCache, AcceptanceNeedsAValidModuleOfTheStage) {
    const std::vector<std::uint8_t> vertex = Bytes(Compiled(kVertexText, ShaderStage::Vertex));
    EXPECT_FALSE(AcceptShaderCacheBytes(vertex, ShaderStage::Vertex).empty());
    EXPECT_TRUE(AcceptShaderCacheBytes(vertex, ShaderStage::Pixel).empty());
    EXPECT_TRUE(AcceptShaderCacheBytes({vertex.data(), vertex.size() - 1}, ShaderStage::Vertex).empty());
    EXPECT_TRUE(AcceptShaderCacheBytes({vertex.data(), 20}, ShaderStage::Vertex).empty());
}

TEST_F(ShaderCache, BuiltinShadersAreBuiltOnceAndOnlyForKindsOneToEleven) {
    ShaderBindCounters counters;
    ShaderConstantCache vertex(device, counters);
    const std::uint64_t before = sys::HlslCompileCount();
    EXPECT_EQ(vertex.BuiltinVertexShader(0), nullptr);
    EXPECT_EQ(vertex.BuiltinVertexShader(12), nullptr);
    EXPECT_EQ(sys::HlslCompileCount(), before);
    EXPECT_EQ(counters.vertexRequests, 0u);

    VertexShader* three = vertex.BuiltinVertexShader(3);
    ASSERT_NE(three, nullptr);
    EXPECT_EQ(vertex.Current(), three);
    EXPECT_EQ(vertex.BuiltinVertexShader(3), three);
    EXPECT_EQ(sys::HlslCompileCount() - before, 1u);
    EXPECT_EQ(counters.vertexRequests, 2u);
    EXPECT_EQ(counters.vertexChanges, 1u);

    ShaderTextBuffer pixel(device, counters);
    EXPECT_EQ(pixel.GetBuiltinPixelShader(BuiltinPixelShader::DepthOnly, "not a shader"), nullptr);
    PixelShader* depth =
        pixel.GetBuiltinPixelShader(BuiltinPixelShader::DepthOnly,
                                    "float4 main(float ShadowMapDepth : TEXCOORD0) : COLOR { return ShadowMapDepth; }");
    ASSERT_NE(depth, nullptr);
    EXPECT_EQ(pixel.GetBuiltinPixelShader(BuiltinPixelShader::DepthOnly, "ignored once built"), depth);
    EXPECT_EQ(counters.pixelRequests, 0u);  // built-in pixel shaders are bound by their users
}

void ExpectSameText(const sys::GlslShader& a, const sys::GlslShader& b) {
    EXPECT_EQ(a.text, b.text);
    EXPECT_EQ(a.reflection.stage, b.reflection.stage);
    ASSERT_EQ(a.reflection.constants.size(), b.reflection.constants.size());
    for (std::size_t i = 0; i < a.reflection.constants.size(); ++i) {
        EXPECT_EQ(a.reflection.constants[i].name, b.reflection.constants[i].name);
        EXPECT_EQ(a.reflection.constants[i].firstRegister, b.reflection.constants[i].firstRegister);
        EXPECT_EQ(a.reflection.constants[i].registerCount, b.reflection.constants[i].registerCount);
    }
    ASSERT_EQ(a.reflection.samplers.size(), b.reflection.samplers.size());
    for (std::size_t i = 0; i < a.reflection.samplers.size(); ++i) {
        EXPECT_EQ(a.reflection.samplers[i].name, b.reflection.samplers[i].name);
        EXPECT_EQ(a.reflection.samplers[i].samplerRegister, b.reflection.samplers[i].samplerRegister);
    }
    for (const auto& [x, y] : {std::pair(&a.reflection.inputs, &b.reflection.inputs),
                               std::pair(&a.reflection.outputs, &b.reflection.outputs)}) {
        ASSERT_EQ(x->size(), y->size());
        for (std::size_t i = 0; i < x->size(); ++i) {
            EXPECT_EQ((*x)[i].semantic, (*y)[i].semantic);
            EXPECT_EQ((*x)[i].glslType, (*y)[i].glslType);
            EXPECT_EQ((*x)[i].components, (*y)[i].components);
            EXPECT_EQ((*x)[i].isInteger, (*y)[i].isInteger);
            EXPECT_EQ((*x)[i].location, (*y)[i].location);
        }
    }
}

// A translating device's text is kept beside the words; the next start hands it back to the device with no
// compile and no words, for both stages.
TEST_F(ShaderCache, TheTranslatedTextIsKeptAndTakenBackWithoutCompiling) {
    device.keepsTexts = true;
    ASSERT_NE(CompilePixelShader(device, kPixelText), nullptr);
    ASSERT_NE(CompileVertexShader(device, kVertexText), nullptr);
    const std::string pixelPath = ShaderCacheFilePath(kPixelText, ShaderStage::Pixel);
    const std::string vertexPath = ShaderCacheFilePath(kVertexText, ShaderStage::Vertex);
    const std::string pixelText = TranslatedTextCachePath(pixelPath);
    EXPECT_EQ(pixelText.substr(0, pixelText.size() - 4), pixelPath.substr(0, pixelPath.size() - 4));
    EXPECT_EQ(pixelText.substr(pixelText.size() - 4), ".pst");
    EXPECT_EQ(TranslatedTextCachePath(vertexPath).substr(pixelText.size() - 4), ".vst");
    const sys::GlslShader pixelGlsl = rendertest::TextOfWords(Compiled(kPixelText, ShaderStage::Pixel), ShaderStage::Pixel);
    sys::GlslShader read;
    ASSERT_TRUE(AcceptTranslatedTextBytes(ReadAll(pixelText), ShaderStage::Pixel, read));
    ExpectSameText(read, pixelGlsl);
    EXPECT_FALSE(AcceptTranslatedTextBytes(ReadAll(pixelText), ShaderStage::Vertex, read));
    EXPECT_TRUE(read.text.empty());

    RecordingShaderDevice nextStart;
    nextStart.keepsTexts = true;
    const std::uint64_t before = sys::HlslCompileCount();
    std::unique_ptr<PixelShader> pixel = CompilePixelShader(nextStart, kPixelText);
    ASSERT_NE(pixel, nullptr);
    ASSERT_NE(CompileVertexShader(nextStart, kVertexText), nullptr);
    EXPECT_EQ(sys::HlslCompileCount() - before, 0u);
    EXPECT_TRUE(nextStart.pixelCreates.empty());
    EXPECT_TRUE(nextStart.vertexCreates.empty());
    EXPECT_EQ(nextStart.pixelTextCreates, std::vector<std::string>{pixelGlsl.text});
    EXPECT_EQ(nextStart.vertexTextCreates.size(), 1u);
    ExpectSameText(*nextStart.TranslatedText(*pixel), pixelGlsl);

    // A device that keeps no text writes none and takes the words.
    RecordingShaderDevice plain;
    const std::string other = std::string(kPixelText) + " ";
    ASSERT_NE(CompilePixelShader(plain, other), nullptr);
    EXPECT_FALSE(std::filesystem::exists(TranslatedTextCachePath(ShaderCacheFilePath(other, ShaderStage::Pixel))));
    ASSERT_NE(CompilePixelShader(plain, kPixelText), nullptr);
    EXPECT_EQ(plain.pixelCreates.size(), 2u);
}

// A text file that cannot be used is replaced from the words file: no compile, the device gets the words
// once, and the file then holds the text again. So is one the device refuses.
TEST_F(ShaderCache, DamagedOrRefusedTextFilesAreRemadeFromTheWords) {
    const Words words = Compiled(kPixelText, ShaderStage::Pixel);
    const std::vector<std::uint8_t> valid = EncodeTranslatedText(rendertest::TextOfWords(words, ShaderStage::Pixel));
    const auto flipped = [&valid](std::size_t at) {
        std::vector<std::uint8_t> bytes = valid;
        bytes[at] ^= 0x01;
        return bytes;
    };
    std::vector<std::uint8_t> longer = valid;
    longer.push_back(0);
    std::vector<std::uint8_t> vertexFile = valid;
    vertexFile[8] = 0;  // the stage
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"empty", {}},
        {"header only in part", {valid.begin(), valid.begin() + 19}},
        {"wrong magic", flipped(0)},
        {"another layout version", flipped(4)},
        {"the vertex stage", vertexFile},
        {"wrong body length", flipped(12)},
        {"wrong checksum", flipped(16)},
        {"a byte of the body changed", flipped(valid.size() - 3)},
        {"truncated", {valid.begin(), valid.begin() + static_cast<long>(valid.size() - 6)}},
        {"a byte too many", longer},
    };
    const std::string path = ShaderCacheFilePath(kPixelText, ShaderStage::Pixel);
    const std::string textPath = TranslatedTextCachePath(path);
    WriteAll(path, Bytes(words));
    device.keepsTexts = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sys::GlslShader read;
        EXPECT_FALSE(AcceptTranslatedTextBytes(c.bytes, ShaderStage::Pixel, read));
        WriteAll(textPath, c.bytes);
        device.pixelCreates.clear();
        device.pixelTextCreates.clear();
        const std::uint64_t before = sys::HlslCompileCount();
        EXPECT_NE(CompilePixelShader(device, kPixelText), nullptr);
        EXPECT_EQ(sys::HlslCompileCount() - before, 0u);
        EXPECT_TRUE(device.pixelTextCreates.empty());
        EXPECT_EQ(device.pixelCreates, std::vector<Words>{words});
        EXPECT_EQ(ReadAll(textPath), valid);
    }

    // Refused: tried once, then the words; the file is written again from them.
    device.refusedTexts.push_back(rendertest::TextOfWords(words, ShaderStage::Pixel).text);
    device.pixelCreates.clear();
    device.pixelTextCreates.clear();
    EXPECT_NE(CompilePixelShader(device, kPixelText), nullptr);
    EXPECT_EQ(device.pixelTextCreates.size(), 1u);
    EXPECT_EQ(device.pixelCreates, std::vector<Words>{words});
    EXPECT_EQ(ReadAll(textPath), valid);

    // A text file whose words file is damaged too: one compile, and both files are good again.
    device.refusedTexts.clear();
    WriteAll(textPath, flipped(16));
    WriteAll(path, {1, 2, 3, 4});
    const std::uint64_t before = sys::HlslCompileCount();
    EXPECT_NE(CompilePixelShader(device, kPixelText), nullptr);
    EXPECT_EQ(sys::HlslCompileCount() - before, 1u);
    EXPECT_EQ(ReadAll(path), Bytes(words));
    EXPECT_EQ(ReadAll(textPath), valid);
}

// A second start with fresh managers loads every shader from the cache: no compile, the same words.
TEST_F(ShaderCache, TheSecondStartCompilesNothing) {
    const auto buildAll = [](RecordingShaderDevice& target) {
        ShaderBindCounters counters;
        ShaderConstantCache vertex(target, counters);
        ShaderTextBuffer pixel(target, counters);
        for (int kind = 1; kind <= kBuiltinVertexShaderKinds; ++kind)
            EXPECT_NE(vertex.BuiltinVertexShader(kind), nullptr);
        std::vector<std::unique_ptr<VertexShader>> vertexShaders;
        std::vector<std::unique_ptr<PixelShader>> pixelShaders;
        for (const auto& key : rendertest::RepresentativeVertexKeys()) {
            vertexShaders.push_back(CompileVertexShader(target, rendertest::VertexText(key)));
            EXPECT_NE(vertexShaders.back(), nullptr);
        }
        for (const auto& key : rendertest::RepresentativePixelKeys()) {
            std::string& text = pixel.Text();
            text = rendertest::PixelText(key);
            pixelShaders.push_back(CompilePixelShader(target, text));
            EXPECT_NE(pixelShaders.back(), nullptr);
        }
    };
    const std::uint64_t start = sys::HlslCompileCount();
    buildAll(device);
    const std::uint64_t firstRun = sys::HlslCompileCount() - start;
    // Keys whose texts are the same (vertex shaders do not depend on the light bits) share one compile.
    std::set<std::string> vertexTexts, pixelTexts;
    for (const auto& key : rendertest::RepresentativeVertexKeys()) vertexTexts.insert(rendertest::VertexText(key));
    for (const auto& key : rendertest::RepresentativePixelKeys()) pixelTexts.insert(rendertest::PixelText(key));
    EXPECT_EQ(firstRun, kBuiltinVertexShaderKinds + vertexTexts.size() + pixelTexts.size());

    RecordingShaderDevice secondDevice;
    const std::uint64_t second = sys::HlslCompileCount();
    buildAll(secondDevice);
    EXPECT_EQ(sys::HlslCompileCount() - second, 0u);
    EXPECT_EQ(secondDevice.vertexCreates, device.vertexCreates);
    EXPECT_EQ(secondDevice.pixelCreates, device.pixelCreates);
}

}  // namespace
