#include "engine/core/crc32.h"

#include <array>
#include <cstring>

#include "engine/core/wide_string.h"

namespace engine {

namespace {

std::array<std::uint32_t, 256> BuildTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

// Built on first use; the initialisation of a function-local static is thread-safe.
const std::array<std::uint32_t, 256>& Table() {
    static const std::array<std::uint32_t, 256> table = BuildTable();
    return table;
}

}  // namespace

std::uint32_t Crc32OfLength(const void* data, std::size_t length) {
    const auto& table = Table();
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::uint32_t h = static_cast<std::uint32_t>(length);
    for (std::size_t i = 0; i < length; ++i) h = (h >> 8) ^ table[(h ^ bytes[i]) & 0xFFu];
    return h;
}

std::uint32_t Crc32OfText(const char* text) {
    if (text == nullptr) return Crc32OfLength(nullptr, 0);
    return Crc32OfLength(text, std::strlen(text));
}

std::uint32_t Crc32OfWideString(const WideString& string) { return Crc32OfText(string.GetNarrow()); }

}  // namespace engine
