// Text data files found by name: ".TXT" before ".CSV", archives before loose files, extensions dropped.
#include <gtest/gtest.h>

#include "data_file_fixture.h"
#include "engine/platform/data_table.h"
#include "engine/platform/script_reader.h"

namespace {

using engine::DataTable;
using engine::ScriptReader;

class ScriptReaderLoadTest : public datatest::DataFileTest {};

std::string FirstLine(ScriptReader& reader) { return reader.ReadLine().GetNarrow(); }

TEST_F(ScriptReaderLoadTest, TxtBeforeCsvAndTheNameKeepsItsFolders) {
    Put("Data/PC/Units/Params.TXT", "from txt\n");
    Put("Data/PC/Units/Params.CSV", "from csv\n");
    Put("Data/PC/Units/Damage.csv", "1,2\n");
    Put("Data/PC/Levels/v1.2/Mission.TXT", "dotted folder\n");

    struct Case {
        const char* name;
        const char* firstLine;
    };
    for (const Case& c : {Case{"Units/Params", "from txt"}, Case{"Units/Params.dat", "from txt"},
                          Case{"Units\\Damage", "1,2"}, Case{"Levels/v1.2/Mission", "dotted folder"}}) {
        ScriptReader reader;
        ASSERT_EQ(reader.Load(c.name), 1) << c.name;
        EXPECT_EQ(FirstLine(reader), c.firstLine) << c.name;
    }
    ScriptReader missing;
    EXPECT_EQ(missing.Load("Units/Nothing"), 0);
    EXPECT_EQ(missing.Length(), 0u);
}

TEST_F(ScriptReaderLoadTest, ArchiveEntryWinsOverTheLooseFile) {
    testsupport::ZipWriter zip;
    zip.Add("Units/Params.TXT", "from archive\n", 0);
    PutZip("DataPC.zip", zip);
    Put("Units/Params.TXT", "loose\n");
    Mount("DataPC.zip");
    ScriptReader reader;
    ASSERT_EQ(reader.Load("units\\params"), 1);
    EXPECT_EQ(FirstLine(reader), "from archive");
}

TEST_F(ScriptReaderLoadTest, DataTableLoadsEveryLine) {
    Put("Data/PC/Units/Damage.TXT", "// attacker by defender\n10,20,,30\n\n5\t6\n");
    const auto table = DataTable::Load("Units/Damage");
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->RowCount(), 2u);
    EXPECT_EQ(table->GetInt(0, 2), 30);
    EXPECT_EQ(table->GetInt(1, 1), 6);
    EXPECT_EQ(DataTable::Load("Units/Missing"), nullptr);
}

}  // namespace
