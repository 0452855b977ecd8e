// Reads arbitrary bytes as the settings file's image: the flag must come from bytes 4 to 7 of an image of
// at least 8 bytes, and be 1 (full screen) for anything shorter.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "game/core/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int flag = game::SettingsFullScreenFlag(data, size);
    if (size < game::kSettingsSize) {
        if (flag != 1) __builtin_trap();
        return 0;
    }
    std::int32_t stored = 0;
    std::memcpy(&stored, data + 4, sizeof stored);
    if (flag != stored) __builtin_trap();
    return 0;
}
