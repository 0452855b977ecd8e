// Checks the unit tables of a data folder as the game will read them.
//   unittables check [data folder]   default: data; reads <folder>/Units/BasicParams and Units/Damage (.TXT,
//                                    else .CSV) and names the file, row and column of the first fault
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>

#include "game/units/unit_table_check.h"

namespace {

// The table of that name with ".TXT", else ".CSV"; nothing when neither can be read.
std::optional<game::UnitTableText> ReadTable(const std::filesystem::path& folder, const std::string& name) {
    for (const char* extension : {".TXT", ".CSV"}) {
        const std::filesystem::path path = folder / "Units" / (name + extension);
        std::ifstream in(path, std::ios::binary);
        if (!in) continue;
        game::UnitTableText text;
        text.name = path.string();
        text.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (in.bad()) continue;
        return text;
    }
    return std::nullopt;
}

int Check(const std::filesystem::path& folder) {
    const std::optional<game::UnitTableText> basicParams = ReadTable(folder, "BasicParams");
    const std::optional<game::UnitTableText> damage = ReadTable(folder, "Damage");
    game::UnitTableFault fault;
    if (!game::CheckUnitTables(basicParams ? &*basicParams : nullptr, damage ? &*damage : nullptr, fault)) {
        if (fault.file.rfind("Units/", 0) == 0) fault.file = (folder / fault.file).string();
        std::cerr << fault.Describe() << "\n";
        return 1;
    }
    std::cout << "unit tables in " << (folder / "Units").string() << ": ok\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command != "check" || argc > 3) {
        std::cerr << "usage: unittables check [data folder]\n";
        return 2;
    }
    return Check(argc == 3 ? argv[2] : "data");
}
