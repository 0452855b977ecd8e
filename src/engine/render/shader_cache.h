#pragma once
// Shader compilation with the on-disk cache. A shader text is keyed by the CRC-32 key of its bytes; the
// cache file "<shader cache folder>/%08X.vsc" (".psc" for pixel shaders) holds the SPIR-V words of the text
// exactly as the HLSL compiler produced them, little-endian, with nothing before or after them. Beside it,
// under the same key, "%08X.vst" (".pst") keeps the GLSL text and reflection the device translated the words
// to, when the device translates (see shader_cache_text.cpp for its layout): with it a later start neither
// compiles nor translates. Cache files are read from disk only, never from the archives, and written under a
// temporary name and renamed.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/render/shader_device.h"
#include "sys/hlsl_compiler.h"
#include "sys/spirv_to_glsl.h"

namespace engine {

// The shader of the text. Its translated-text file is used when the file is accepted
// (AcceptTranslatedTextBytes) and the device takes the text; a file that is not is deleted. Next its cache
// file is used when the file is accepted (AcceptShaderCacheBytes) and the device takes its words. Otherwise
// the text is compiled afresh, once; when the device refuses the fresh words they are compiled once more
// through the legalising optimiser. Words the device takes are written to the cache file, and the text the
// device translated them to to the translated-text file (when the folder can be written). Null when the
// text does not compile or the device refuses its words; any cache file of the text is then deleted.
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
bool WriteShaderCacheBytes(const std::string& path, std::span<const std::uint8_t> bytes);

// The translated-text file beside a cache file: its path with ".vst" for ".vsc" and ".pst" for ".psc".
std::string TranslatedTextCachePath(std::string_view wordsPath);
// A translated text as its file holds it, and back. The bytes are accepted when the header's magic, layout
// version, stage, body length and body CRC-32 all match and the body reads to its end with a text that is
// not empty; out is then the shader, else it is left empty.
std::vector<std::uint8_t> EncodeTranslatedText(const sys::GlslShader& glsl);
bool AcceptTranslatedTextBytes(std::span<const std::uint8_t> bytes, sys::ShaderStage stage, sys::GlslShader& out);

}  // namespace engine
