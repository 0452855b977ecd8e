#include <cstdio>

#include "engine/core/crc32.h"
#include "engine/core/little_endian.h"
#include "engine/core/wide_string.h"
#include "engine/platform/data_folders.h"
#include "engine/platform/file_stream.h"
#include "engine/render/shader_cache.h"
#include "sys/hlsl_compiler.h"
#include "sys/spirv_validator.h"

namespace engine {

namespace {

constexpr std::uint32_t kSpirvMagic = 0x07230203;
// Far above any shader the engine writes; a larger file is not read.
constexpr long kLargestCacheFile = 64L << 20;

}  // namespace

std::string ShaderCacheFilePath(std::string_view text, sys::ShaderStage stage) {
    return ShaderCacheFilePath(text, stage, sys::HlslTranslatorKey());
}

std::string ShaderCacheFilePath(std::string_view text, sys::ShaderStage stage, std::string_view translatorKey) {
    std::string folder = GetShaderCacheFolderNarrow();
    if (folder.empty()) return folder;
    std::string keyed;
    keyed.reserve(translatorKey.size() + text.size());
    keyed.append(translatorKey).append(text);
    char name[16];
    std::snprintf(name, sizeof(name), "%08X.%s", Crc32OfLength(keyed.data(), keyed.size()),
                  stage == sys::ShaderStage::Vertex ? "vsc" : "psc");
    return folder + name;
}

std::vector<std::uint32_t> AcceptShaderCacheBytes(std::span<const std::uint8_t> bytes, sys::ShaderStage stage) {
    std::vector<std::uint32_t> words;
    if (bytes.empty() || bytes.size() % 4 != 0) return words;
    if (LoadU32(bytes.data()) != kSpirvMagic) return words;
    words.resize(bytes.size() / 4);
    for (std::size_t i = 0; i < words.size(); ++i) words[i] = LoadU32(bytes.data() + 4 * i);
    if (!sys::ValidateSpirv(words, stage)) words.clear();
    return words;
}

bool ReadShaderCacheFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    bool ok = std::fseek(file, 0, SEEK_END) == 0;
    const long length = ok ? std::ftell(file) : -1;
    ok = ok && length >= 0 && length <= kLargestCacheFile && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        bytes.resize(static_cast<std::size_t>(length));
        ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }
    std::fclose(file);
    if (!ok) bytes.clear();
    return ok;
}

bool WriteShaderCacheFile(const std::string& path, std::span<const std::uint32_t> words) {
    std::vector<std::uint8_t> bytes(words.size() * 4);
    for (std::size_t i = 0; i < words.size(); ++i) StoreU32(bytes.data() + 4 * i, words[i]);
    return WriteShaderCacheBytes(path, bytes);
}

bool WriteShaderCacheBytes(const std::string& path, std::span<const std::uint8_t> bytes) {
    if (path.empty() || CreateShaderCacheFolder() != 1) return false;
    FileStream stream;
    const WideString target(path.c_str());
    if (stream.Open(target, target, FileStreamBase::kModeWrite) != 1) return false;
    if (stream.Write(bytes.data(), bytes.size()) != bytes.size()) return false;  // the stream discards its file
    return stream.Close() == 1;
}

}  // namespace engine
