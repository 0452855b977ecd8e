// Validates the data set as the game reads it.
//   datacheck <DataPC.zip> [--staging <folder>]
// Names the file, line (or tile, or table cell) and reason of every fault and fails when there is one. With
// --staging every entry must also read back equal to the staged file it was packed from.
#include <iostream>
#include <string>
#include <vector>

#include "datacheck/data_check.h"
#include "engine/platform/zip_archive.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const bool staging = args.size() == 3 && args[1] == "--staging";
    if (args.size() != 1 && !staging) {
        std::cerr << "usage: datacheck <DataPC.zip> [--staging <folder>]\n";
        return 2;
    }
    std::unique_ptr<engine::ZipArchive> archive = datacheck::OpenArchiveFile(args[0]);
    if (archive == nullptr) {
        std::cerr << args[0] << ": the game's ZIP reader does not open it\n";
        return 1;
    }
    datacheck::DataCheck check(std::move(archive));
    check.RunAll();
    if (staging) check.CompareWithStaging(args[2]);
    for (const datacheck::DataFault& fault : check.Faults()) std::cerr << fault.Describe() << "\n";
    if (!check.Faults().empty()) {
        std::cerr << "datacheck: " << check.Faults().size() << " fault(s) in " << args[0] << "\n";
        return 1;
    }
    std::cout << "datacheck: " << args[0] << " ok\n";
    return 0;
}
