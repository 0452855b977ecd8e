#include "engine/render/screen_dump_name.h"

#include <cstdio>

namespace engine {

std::string ScreenDumpFileName(std::string_view title, int number) {
    std::string name(title);
    for (char& c : name) {
        if (c == '/') c = '_';
    }
    char digits[16];
    std::snprintf(digits, sizeof digits, "%03i", number);
    name += digits;
    name += ".PNG";
    return name;
}

int NextScreenDumpNumber(std::string_view title, const std::function<bool(const std::string&)>& exists) {
    for (int n = 1; n <= kMaxScreenDumps; ++n) {
        if (!exists(ScreenDumpFileName(title, n))) return n;
    }
    return 0;
}

}  // namespace engine
