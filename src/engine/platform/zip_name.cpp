#include "engine/platform/zip_name.h"

#include "engine/core/crc32.h"

namespace engine {

std::string NormaliseZipName(std::string_view name) {
    std::string out(name);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        } else if (c == '\\') {
            c = '/';
        }
    }
    return out;
}

std::uint32_t ZipNameHashOfNormalised(std::string_view normalised) {
    return Crc32OfLength(normalised.data(), normalised.size());
}

std::uint32_t ZipNameHash(std::string_view name) { return ZipNameHashOfNormalised(NormaliseZipName(name)); }

}  // namespace engine
