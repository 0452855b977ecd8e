// Locale files from their UTF-8 sources.
//   textkeys --build <source.txt> <out.txt>     writes the UTF-16LE file the string table reads, or names the
//                                               source line of the first thing the game would misread
//   textkeys --credits <source.txt> <out.txt>   the same for the credits text
//   textkeys --list <root> <out.txt>            scans <root>/src for the text keys the code asks for and
//                                               writes the inventory, one key a line with where it was found
//   textkeys --check <archive> <root>           checks the archive's texts against the inventory and the
//                                               sources under <root>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "textkeys/key_inventory.h"
#include "textkeys/locale_check.h"
#include "textkeys/locale_source.h"
#include "files/replace_file.h"

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
    std::string error;
    if (tools::WriteFileReplacing(outPath, bytes, error)) return 0;
    std::cerr << "textkeys: cannot write " << outPath << "\n";
    return 1;
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

int List(const std::string& root, const std::string& outPath) {
    const textkeys::Inventory inventory = textkeys::ScanProject(root);
    for (const std::string& fault : inventory.faults) std::cerr << fault << "\n";
    std::string text;
    for (const auto& [key, where] : inventory.keys) text += key + " " + where + "\n";
    if (WriteFile(std::vector<std::uint8_t>(text.begin(), text.end()), outPath) != 0) return 1;
    std::cout << "textkeys: " << inventory.keys.size() << " keys in the inventory, " << inventory.faults.size()
              << " fault(s)\n";
    return inventory.faults.empty() ? 0 : 1;
}

int Check(const std::string& archive, const std::string& root) {
    const textkeys::LocaleReport report = textkeys::CheckArchive(archive, root);
    for (const std::string& fault : report.faults) std::cerr << fault << "\n";
    std::cout << "textkeys: " << report.globalEntries << " global entries (at most " << textkeys::kMaxGlobalEntries
              << "), " << report.faults.size() << " fault(s)\n";
    return report.faults.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "--build") return Build(args[1], args[2], false);
    if (args.size() == 3 && args[0] == "--credits") return Build(args[1], args[2], true);
    if (args.size() == 3 && args[0] == "--list") return List(args[1], args[2]);
    if (args.size() == 3 && args[0] == "--check") return Check(args[1], args[2]);
    std::cerr << "usage: textkeys --build <source.txt> <out.txt>\n"
                 "       textkeys --credits <source.txt> <out.txt>\n"
                 "       textkeys --list <root> <out.txt>\n"
                 "       textkeys --check <archive> <root>\n";
    return 2;
}
