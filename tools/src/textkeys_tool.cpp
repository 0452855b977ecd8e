// Locale files from their UTF-8 sources.
//   textkeys --build <source.txt> <out.txt>     writes the UTF-16LE file the string table reads, or names the
//                                               source line of the first thing the game would misread
//   textkeys --credits <source.txt> <out.txt>   the same for the credits text
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "textkeys/locale_source.h"

namespace {

bool ReadSource(const std::string& path, std::string& source) {
    std::ifstream in(path, std::ios::binary);
    source.assign(std::istreambuf_iterator<char>(in), {});
    if (!in && !in.eof()) {
        std::cerr << "textkeys: cannot read " << path << "\n";
        return false;
    }
    return true;
}

// Writes through a temporary file so that a failed write never leaves a half file behind.
int WriteFile(const std::vector<std::uint8_t>& bytes, const std::string& outPath) {
    const std::string temporary = outPath + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) {
            std::cerr << "textkeys: cannot write " << outPath << "\n";
            return 1;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, outPath, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        std::cerr << "textkeys: cannot write " << outPath << "\n";
        return 1;
    }
    return 0;
}

int Build(const std::string& sourcePath, const std::string& outPath, bool credits) {
    std::string source;
    if (!ReadSource(sourcePath, source)) return 1;
    std::vector<std::uint8_t> bytes;
    textkeys::LocaleFault fault;
    bool built = false;
    if (credits) {
        built = textkeys::BuildCreditsFile(source, bytes, fault);
    } else {
        std::vector<textkeys::LocaleEntry> entries;
        built = textkeys::ParseLocaleSource(source, entries, fault);
        if (built) bytes = textkeys::EncodeLocaleFile(entries);
    }
    if (!built) {
        std::cerr << sourcePath << ":" << fault.line << ": " << fault.message << "\n";
        return 1;
    }
    return WriteFile(bytes, outPath);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "--build") return Build(args[1], args[2], false);
    if (args.size() == 3 && args[0] == "--credits") return Build(args[1], args[2], true);
    std::cerr << "usage: textkeys --build <source.txt> <out.txt>\n"
                 "       textkeys --credits <source.txt> <out.txt>\n";
    return 2;
}
