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

struct Case {
    const char* name;
    std::function<void(Entries&)> seed;
    std::string file;
    std::string where;
    std::string message;
};

// The seeded copy fails with a fault of that file, place and message.
void Expect(const Case& c) {
    Entries entries = Shipped();
    c.seed(entries);
    const auto faults = Check(entries);
    bool named = false;
    for (const auto& fault : faults) {
        named = named || (datacheck::Upper(fault.file) == datacheck::Upper(c.file) && fault.where == c.where &&
                          fault.message.find(c.message) != std::string::npos);
    }
    EXPECT_TRUE(named) << c.name << ": expected " << c.file << ": " << c.where << ": ..." << c.message << "; got:\n"
                       << Describe(faults);
}

void Replace(std::string& text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
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
    const std::string cq = "Campaigns/Skirmish/CloseQuarters/";
    const std::string m1 = "Campaigns/standard/Mission01/";
    const std::string m2 = "Campaigns/standard/Mission02/";
    const Case cases[] = {
        {"an empty Damage cell",
         [](Entries& e) {
             // ",       30," becomes ",," : the table reader drops the empty cell and shifts the row.
             std::string& damage = Entry(e, "Units/Damage.TXT");
             const std::size_t first = damage.find("UT_GRUNT,") + 9;
             damage.erase(first, damage.find(',', first) - first);
         },
         "Units/Damage.TXT", "row 17, column 24", "24 cells"},
        {"a non-ASCII byte", [&](Entries& e) { Replace(Entry(e, cq + "details.TXT"), "[NAMES]\n", "[NAMES]\nCaf\xE9 "); },
         cq + "details.TXT", "line 3", "byte 233"},
        {"credits as 8-bit text", [](Entries& e) { Entry(e, "Credits_NoURL.TXT") = "#Tinmarch\r\n"; },
         "Credits_NoURL.TXT", "", "UTF-16LE with a byte-order mark"},
        {"a tab in the global texts",
         [](Entries& e) {
             std::string& locale = Entry(e, "Locale/eng.txt");
             locale.insert(2, std::string("\t\0", 2));  // before the first key
         },
         "Locale/eng.txt", "line 1", "character 9"},
        {"two names equal but for case",
         [](Entries& e) { e.emplace_back("units/damage.txt", Entry(e, "Units/Damage.TXT")); }, "units/damage.txt", "",
         "differ in more than case"},
        {"an asymmetric tile",
         [&](Entries& e) { EditMap(Entry(e, cq + "GameMap.Hex"), 6, 1, [](game::HexFileRecord& r) { r.terrain = 2; }); },
         cq + "GameMap.Hex", "tile B6", "half-turn image"},
        {"a pad with no producer",
         [&](Entries& e) {
             EditMap(Entry(e, cq + "GameMap.Hex"), 12, 13, [](game::HexFileRecord& r) {
                 r.objectClass = 3, r.objectType = 1, r.objectOwner = 0;
             });
         },
         cq + "GameMap.Hex", "tile N12", "no structure of type 1"},
        {"a side without a refinery",
         [&](Entries& e) {
             EditMap(Entry(e, cq + "GameMap.Hex"), 4, 4, [](game::HexFileRecord& r) { r.objectClass = 0; });
             EditMap(Entry(e, cq + "GameMap.Hex"), 4, 12, [](game::HexFileRecord& r) { r.objectClass = 0; });
         },
         cq + "GameMap.Hex", "", "side 1 has no refinery"},
        {"a blank after a comma in a REACHTILE value",
         [&](Entries& e) { Replace(Entry(e, m1 + "Mission.TXT"), "WLC_REACHTILE_ANY,", "WLC_REACHTILE_ANY, "); },
         m1 + "Mission.TXT", "line 3", "a blank after a comma"},
        {"an unknown condition key mid-block",
         [&](Entries& e) { Replace(Entry(e, m1 + "Mission.TXT"), "[LOSE]\n", "[LOSE]\nWLC_NO_SUCH_THING\n"); },
         m1 + "Mission.TXT", "line 7", "unknown condition"},
        {"ADDTRIGGER naming a later block",
         [&](Entries& e) { Replace(Entry(e, m2 + "Script.TXT"), "ADDTRIGGER(H10,FORD_REACHED)", "ADDTRIGGER(H10,DAY2_START)"); },
         m2 + "Script.TXT", "line 14", "ADDTRIGGER names no earlier block"},
        {"a comic with 32 events",
         [&](Entries& e) {
             std::string comic;
             for (int i = 0; i < 31; ++i) comic += std::to_string(i) + ", LSPEAK, M01_C1\n";
             Entry(e, m1 + "comic.TXT") = comic + "31, FINISHED\n";
         },
         m1 + "comic.TXT", "", "32 events"},
        {"a key missing from the campaign table",
         [&](Entries& e) { Replace(Entry(e, m1 + "Script.TXT"), "INTEL(M01_INTEL1,", "INTEL(M01_NO_SUCH_KEY,"); },
         m1 + "Script.TXT", "line 7", "\"M01_NO_SUCH_KEY\" is not in the campaign's text table"},
        {"a bad PARAMS line", [&](Entries& e) { Replace(Entry(e, m2 + "Mission.TXT"), "5,3,3\n", "5,3\n"); },
         m2 + "Mission.TXT", "line 30", "expected 3 whole numbers"},
        {"a unit name used before it is bound",
         [&](Entries& e) { Replace(Entry(e, m2 + "Script.TXT"), "MOVEUNIT(reinforce,", "MOVEUNIT(stranger,"); },
         m2 + "Script.TXT", "line 20", "\"stranger\" is not bound"},
        {"a script line over 255 characters",
         [&](Entries& e) { Replace(Entry(e, m1 + "Script.TXT"), "PAUSE(1)", "PAUSE(1" + std::string(260, '0') + ")"); },
         m1 + "Script.TXT", "line 9", "longer than 255"},
    };
    for (const Case& c : cases) Expect(c);
}

}  // namespace
