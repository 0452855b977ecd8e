#pragma once
// Archive entry names as the lookup sees them: 'a' to 'z' upper-cased and every backslash turned into a
// slash, all other bytes unchanged. The key of a name is the engine's CRC key over the normalised bytes.
#include <cstdint>
#include <string>
#include <string_view>

namespace engine {

std::string NormaliseZipName(std::string_view name);
// Key of a name that is already normalised.
std::uint32_t ZipNameHashOfNormalised(std::string_view normalised);
// Normalises, then keys.
std::uint32_t ZipNameHash(std::string_view name);

}  // namespace engine
