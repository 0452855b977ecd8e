#pragma once
// The engine's 32-bit key for texts and blocks: shader-cache names, the save-data check and archive entry
// names. The reflected CRC-32 step (polynomial 0xEDB88320) started from the data length, with no
// inversion at either end, so it differs from zlib's crc32.
#include <cstddef>
#include <cstdint>

namespace engine {

class WideString;

std::uint32_t Crc32OfLength(const void* data, std::size_t length);
// Over the text's bytes without the terminator; a null text hashes as empty.
std::uint32_t Crc32OfText(const char* text);
// Over the string's narrow copy, as Crc32OfText.
std::uint32_t Crc32OfWideString(const WideString& string);

}  // namespace engine
