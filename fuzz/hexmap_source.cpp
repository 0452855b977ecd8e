// Feeds arbitrary text to the map source reader behind "hexmap build". Whatever the builder accepts, the
// game's map reader loads, and printing the file back as a source and building that gives the same bytes.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "game/battle/hex_map.h"
#include "game/battle/hex_map_file.h"
#include "game/battle/hex_map_source.h"

namespace {

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!game::BuildHexMapFromSource(text, bytes, error)) {
        Check(!error.empty());
        return 0;
    }
    static auto map = std::make_unique<game::HexMap>();
    Check(game::LoadHexMapFromMemory(*map, bytes.data(), bytes.size()));

    game::HexFileImage image;
    Check(game::DecodeHexMapImage(bytes.data(), bytes.size(), image));
    std::string dumped;
    Check(game::FormatHexMapSource(image, dumped, error));
    std::vector<std::uint8_t> again;
    Check(game::BuildHexMapFromSource(dumped, again, error));
    Check(again == bytes);
    return 0;
}
