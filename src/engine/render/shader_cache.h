#pragma once
// Shader compilation with the on-disk cache. A shader text is keyed by the CRC-32 key of its bytes; the
// cache file "<shader cache folder>/%08X.vsc" (".psc" for pixel shaders) holds the SPIR-V words of the text
// exactly as the HLSL compiler produced them, little-endian, with nothing before or after them. Cache files
// are read from disk only, never from the archives, and written under a temporary name and renamed.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/render/shader_device.h"
#include "sys/hlsl_compiler.h"

namespace engine {

// The shader of the text. Its cache file is used when the file is accepted (AcceptShaderCacheBytes) and the
// device takes its words. Otherwise the text is compiled afresh, once; when the device refuses the fresh
// words they are compiled once more through the legalising optimiser. Words the device takes are written
// to the cache file (when the folder can be written). Null when the text does not compile or the device
// refuses its words; any cache file of the text is then deleted.
std::unique_ptr<VertexShader> CompileVertexShader(ShaderDevice& device, std::string_view text);
std::unique_ptr<PixelShader> CompilePixelShader(ShaderDevice& device, std::string_view text);

// The cache file of a text: folder + the key as eight upper-case hexadecimal digits + ".vsc" or ".psc". The key
// is the CRC-32 of the translator's key (sys::HlslTranslatorKey unless given) followed by the text, so words
// of another translator version are never read. Empty when no cache folder is known.
std::string ShaderCacheFilePath(std::string_view text, sys::ShaderStage stage);
std::string ShaderCacheFilePath(std::string_view text, sys::ShaderStage stage, std::string_view translatorKey);

// The words of a cache file when it is acceptable: a non-zero multiple of 4 bytes, the SPIR-V magic first,
// a module the SPIR-V validator accepts, with entry point "main" of the given stage. Empty otherwise.
std::vector<std::uint32_t> AcceptShaderCacheBytes(std::span<const std::uint8_t> bytes, sys::ShaderStage stage);

// Whole-file access for the cache. ReadShaderCacheFile gives false when the file does not open (or is too
// large to be a shader); WriteShaderCacheFile creates the folder with its parents, writes a temporary file
// and renames it over the target, and gives true only when the file was committed.
bool ReadShaderCacheFile(const std::string& path, std::vector<std::uint8_t>& bytes);
bool WriteShaderCacheFile(const std::string& path, std::span<const std::uint32_t> words);

}  // namespace engine
