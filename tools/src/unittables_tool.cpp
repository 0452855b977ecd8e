// Checks the unit tables of a data folder as the game will read them.
//   unittables check [--balance] [data folder]
//       default folder: data; reads <folder>/Units/BasicParams and Units/Damage (.TXT, else .CSV) and names the
//       file, row and column of the first fault; with --balance the balance rules run as well and every broken
//       one is named
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "game/units/unit_balance_check.h"
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

int Check(const std::filesystem::path& folder, bool balance) {
    const std::optional<game::UnitTableText> basicParams = ReadTable(folder, "BasicParams");
    const std::optional<game::UnitTableText> damage = ReadTable(folder, "Damage");
    game::UnitTableFault fault;
    if (!game::CheckUnitTables(basicParams ? &*basicParams : nullptr, damage ? &*damage : nullptr, fault)) {
        if (fault.file.rfind("Units/", 0) == 0) fault.file = (folder / fault.file).string();
        std::cerr << fault.Describe() << "\n";
        return 1;
    }
    if (balance) {
        std::vector<game::UnitTableFault> faults;
        if (!game::CheckUnitBalance(*basicParams, *damage, faults)) {
            for (const game::UnitTableFault& broken : faults) std::cerr << broken.Describe() << "\n";
            return 1;
        }
    }
    std::cout << "unit tables in " << (folder / "Units").string() << ": ok\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] != "check") args.clear();
    const bool balance = args.size() > 1 && args[1] == "--balance";
    if (args.empty() || args.size() > (balance ? 3u : 2u)) {
        std::cerr << "usage: unittables check [--balance] [data folder]\n";
        return 2;
    }
    return Check(args.size() == (balance ? 3u : 2u) ? args.back() : "data", balance);
}
