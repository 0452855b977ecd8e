// Locale files from their UTF-8 sources.
//   textkeys --build <source.txt> <out.txt>   writes the UTF-16LE file the string table reads, or names the
//                                             source line of the first thing the game would misread
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "textkeys/locale_source.h"

namespace {

int Build(const std::string& sourcePath, const std::string& outPath) {
    std::ifstream in(sourcePath, std::ios::binary);
    std::string source(std::istreambuf_iterator<char>(in), {});
    if (!in && !in.eof()) {
        std::cerr << "textkeys: cannot read " << sourcePath << "\n";
        return 1;
    }
    std::vector<textkeys::LocaleEntry> entries;
    textkeys::LocaleFault fault;
    if (!textkeys::ParseLocaleSource(source, entries, fault)) {
        std::cerr << sourcePath << ":" << fault.line << ": " << fault.message << "\n";
        return 1;
    }
    const std::vector<std::uint8_t> bytes = textkeys::EncodeLocaleFile(entries);
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

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "--build") return Build(args[1], args[2]);
    std::cerr << "usage: textkeys --build <source.txt> <out.txt>\n";
    return 2;
}
