// The validator on the built data set: it passes as shipped, and each fault seeded into a copy is named by
// file and line, tile or cell.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "datacheck/data_check.h"
#include "engine/platform/zip_archive.h"
#include "game/battle/hex_map_file.h"
#include "game/battle/hex_map_writer.h"
#include "support/zip_writer.h"

namespace {

using datacheck::DataCheck;
using Entries = std::vector<std::pair<std::string, std::string>>;

// The shipped archive's entries, as the game's reader extracts them (names upper-cased).
const Entries& Shipped() {
    static const Entries entries = [] {
        Entries out;
        auto archive = datacheck::OpenArchiveFile(TINMARCH_DATASET_ARCHIVE);
        EXPECT_NE(archive, nullptr) << TINMARCH_DATASET_ARCHIVE;
        if (archive == nullptr) return out;
        for (std::uint32_t i = 0; i < archive->EntryCount(); ++i) {
            std::uint32_t size = 0;
            auto bytes = archive->ExtractEntry(i, size);
            out.emplace_back(std::string(archive->EntryName(i)), std::string(reinterpret_cast<char*>(bytes.get()), size));
        }
        return out;
    }();
    return entries;
}

std::vector<datacheck::DataFault> Check(const Entries& entries) {
    testsupport::ZipWriter writer;
    for (const auto& [name, data] : entries) writer.Add(name, data);
    const testsupport::ZipImage image = writer.Build();
    auto archive = datacheck::OpenArchiveMemory(image.bytes);
    EXPECT_NE(archive, nullptr);
    if (archive == nullptr) return {};
    DataCheck check(std::move(archive));
    check.RunAll();
    return check.Faults();
}

std::string Describe(const std::vector<datacheck::DataFault>& faults) {
    std::string text;
    for (const auto& fault : faults) text += fault.Describe() + "\n";
    return text;
}

std::string& Entry(Entries& entries, const std::string& name) {
    for (auto& [entryName, data] : entries) {
        if (datacheck::Upper(entryName) == datacheck::Upper(name)) return data;
    }
    ADD_FAILURE() << "no entry " << name;
    static std::string none;
    return none;
}

// Rewrites one record of a map file.
void EditMap(std::string& file, int column, int row, const std::function<void(game::HexFileRecord&)>& edit) {
    game::HexFileImage image;
    ASSERT_TRUE(game::DecodeHexMapImage(reinterpret_cast<const std::uint8_t*>(file.data()), file.size(), image));
    edit(image.At(column, row));
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(game::EncodeHexMapImage(image, bytes));
    file.assign(bytes.begin(), bytes.end());
}

TEST(DataCheck, TheShippedSetPasses) {
    ASSERT_FALSE(Shipped().empty());
    const auto faults = Check(Shipped());
    EXPECT_TRUE(faults.empty()) << Describe(faults);
}

TEST(DataCheck, EachSeededFaultIsNamedByFileAndPlace) {
    const std::string closeQuarters = "Campaigns/Skirmish/CloseQuarters/";
    struct Case {
        const char* name;
        std::function<void(Entries&)> seed;
        std::string file;
        std::string where;
        std::string message;
    };
    const Case cases[] = {
        {"an empty Damage cell",
         [](Entries& e) {
             // ",       30," becomes ",," : the table reader drops the empty cell and shifts the row.
             std::string& damage = Entry(e, "Units/Damage.TXT");
             const std::size_t first = damage.find("UT_GRUNT,") + 9;
             damage.erase(first, damage.find(',', first) - first);
         },
         "Units/Damage.TXT", "row 17, column 24", "24 cells"},
        {"a non-ASCII byte",
         [&](Entries& e) { Entry(e, closeQuarters + "details.TXT").insert(Entry(e, closeQuarters + "details.TXT").find("[NAMES]") + 8, "Caf\xE9 "); },
         "CAMPAIGNS/SKIRMISH/CLOSEQUARTERS/DETAILS.TXT", "line 3", "byte 233"},
        {"two names equal but for case",
         [](Entries& e) { e.emplace_back("units/damage.txt", Entry(e, "Units/Damage.TXT")); },
         "units/damage.txt", "", "differ in more than case"},
        {"an asymmetric tile",
         [&](Entries& e) {
             EditMap(Entry(e, closeQuarters + "GameMap.Hex"), 6, 1, [](game::HexFileRecord& r) { r.terrain = 2; });
         },
         closeQuarters + "GameMap.Hex", "tile B6", "half-turn image"},
        {"a pad with no producer",
         [&](Entries& e) {
             EditMap(Entry(e, closeQuarters + "GameMap.Hex"), 12, 13, [](game::HexFileRecord& r) {
                 r.objectClass = 3, r.objectType = 1, r.objectOwner = 0;
             });
         },
         closeQuarters + "GameMap.Hex", "tile N12", "no structure of type 1"},
        {"a side without a refinery",
         [&](Entries& e) {
             EditMap(Entry(e, closeQuarters + "GameMap.Hex"), 4, 4, [](game::HexFileRecord& r) { r.objectClass = 0; });
             EditMap(Entry(e, closeQuarters + "GameMap.Hex"), 4, 12, [](game::HexFileRecord& r) { r.objectClass = 0; });
         },
         closeQuarters + "GameMap.Hex", "", "side 1 has no refinery"},
    };
    for (const Case& c : cases) {
        Entries entries = Shipped();
        c.seed(entries);
        const auto faults = Check(entries);
        bool named = false;
        for (const auto& fault : faults) {
            named = named || (datacheck::Upper(fault.file) == datacheck::Upper(c.file) && fault.where == c.where &&
                              fault.message.find(c.message) != std::string::npos);
        }
        EXPECT_TRUE(named) << c.name << ": expected " << c.file << ": " << c.where << ": ..." << c.message
                           << "; got:\n" << Describe(faults);
    }
}

}  // namespace
