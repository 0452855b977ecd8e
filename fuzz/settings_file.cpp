// Writes arbitrary bytes as "settings.dat" in a private user folder and reads them back as the program does
// at start-up. The flag must come from bytes 4 to 7 of a file of at least 8 bytes, and be 1 (full screen) for
// anything shorter or missing; the image parser must agree with the file read. The flag read is then written
// back, and reading the new file must give it again.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>

#include "game/core/settings_file.h"
#include "support/temp_folder.h"

namespace {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

const testsupport::TempFolder& UserData() {
    static const testsupport::TempFolder folder;
    static const bool ready = [] {
        Check(!folder.Path().empty());
        return setenv("XDG_DATA_HOME", folder.Path().c_str(), 1) == 0;
    }();
    Check(ready);
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const testsupport::TempFolder& folder = UserData();
    const std::filesystem::path file = folder.Path() / "Tinmarch" / "settings.dat";
    Check(game::SettingsPath() == file.string());

    std::int32_t expected = 1;
    if (size >= game::kSettingsSize) std::memcpy(&expected, data + 4, sizeof expected);
    Check(game::SettingsFullScreenFlag(data, size) == expected);

    if (size == 0) {
        std::error_code ignored;
        std::filesystem::remove(file, ignored);
        Check(game::ReadSettings() == 1);
    }
    Check(folder.Write("Tinmarch/settings.dat", data, size));
    Check(game::ReadSettings() == expected);

    Check(game::WriteSettings(expected));
    Check(std::filesystem::file_size(file) == game::kSettingsSize);
    Check(game::ReadSettings() == expected);
    return 0;
}
