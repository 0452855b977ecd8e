#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "data_file_fixture.h"
#include "engine/platform/data_files.h"
#include "engine/platform/loose_file_resolver.h"

namespace {

using namespace engine;
using testsupport::ZipWriter;

class DataFilesTest : public datatest::DataFileTest {};

TEST_F(DataFilesTest, WholeFilesEndInAZeroByteAndEmptyFilesGiveNull) {
    PutZip("DataPC.zip", ZipWriter().Add("Locale/English.txt", "hello").Add("Locale/Empty.txt", ""));
    Put("Locale/Loose.txt", "ab");
    Put("Locale/Zero.txt", "");
    Mount("DataPC.zip");

    struct Case {
        const char* path;
        const char* expected;  // null: no buffer
    };
    for (const Case& c : {Case{"Locale\\english.TXT", "hello"}, Case{"Locale/Loose.txt", "ab"},
                          Case{"Locale/Empty.txt", nullptr}, Case{"Locale/Zero.txt", nullptr},
                          Case{"Locale/None.txt", nullptr}}) {
        SCOPED_TRACE(c.path);
        std::size_t size = 99;
        const auto buffer = LoadWholeFileNarrow(c.path, size);
        if (c.expected == nullptr) {
            EXPECT_EQ(buffer, nullptr);
            EXPECT_EQ(size, 0u);
            continue;
        }
        ASSERT_NE(buffer, nullptr);
        ASSERT_EQ(size, std::strlen(c.expected));
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.get()), size), c.expected);
        // At least four bytes, zero after the data.
        for (std::size_t i = size; i < 4; ++i) EXPECT_EQ(buffer[i], 0) << i;
    }
    std::size_t size = 0;
    EXPECT_NE(LoadWholeFile(WideString("LOCALE/LOOSE.TXT"), size), nullptr);
}

TEST_F(DataFilesTest, ByteBuffersHoldTheWholeFileWithTheCursorAtItsEnd) {
    const std::string model(20000, 'm');  // more than the buffer's first 16 KiB
    Put("Data/PC/Models/Tank.MDL", model);
    Put("Data/PC/Models/Empty.MDL", "");
    const auto buffer = LoadFileToByteBuffer(WideString("models\\tank.mdl"));
    ASSERT_NE(buffer, nullptr);
    ASSERT_EQ(buffer->Size(), model.size());
    EXPECT_EQ(buffer->Cursor(), buffer->Data() + model.size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer->Data()), buffer->Size()), model);

    const auto empty = LoadFileToByteBuffer(WideString("Models/Empty.MDL"));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->Size(), 0u);
    EXPECT_EQ(LoadFileToByteBuffer(WideString("Models/Plane.MDL")), nullptr);
}

TEST_F(DataFilesTest, CaseFoldedNamesResolveToTheFirstInByteOrder) {
    Put("Data/PC/Units/INFANTRY.txt", "upper");
    Put("Data/PC/Units/Infantry.txt", "mixed");
    Put("Data/PC/Units/infantry.txt", "lower");
    Put("Data/PC/units/Other.txt", "second folder");
    std::size_t size = 0;
    auto text = [&](const char* path) {
        const auto buffer = LoadWholeFileNarrow(path, size);
        return buffer ? std::string(reinterpret_cast<const char*>(buffer.get()), size) : std::string("<missing>");
    };
    // The exact spelling wins; otherwise the first of the names that fold alike.
    EXPECT_EQ(text("Units/Infantry.txt"), "mixed");
    EXPECT_EQ(text("Units/infantry.txt"), "lower");
    EXPECT_EQ(text("Units/INFANTRY.TXT"), "upper");
    EXPECT_EQ(text("Units/iNFANTRY.txt"), "upper");
    EXPECT_EQ(text("UNITS/infantry.txt"), "lower");
    // "Units" comes before "units", so a folded folder name never reaches the second folder.
    EXPECT_EQ(text("UNITS/Other.txt"), "<missing>");
    EXPECT_EQ(text("units/OTHER.txt"), "second folder");

    const std::string base = GetDataFolderNarrow();
    EXPECT_EQ(ResolveLooseFilePath(base + "UNITS/NEW/File.txt"), base + "Units/NEW/File.txt");
    EXPECT_EQ(ResolveLooseFilePath(base + "units/./../UNITS/x"), base + "units/./../Units/x");
}

TEST_F(DataFilesTest, FilesWrittenByTheProgramAreFoundByFoldedNamesAtOnce) {
    Put("Data/PC/Saves/First.dat", "1");
    std::size_t size = 0;
    EXPECT_NE(LoadWholeFileNarrow("saves/FIRST.DAT", size), nullptr);  // the folder's names are cached now
    FileStream stream;
    ASSERT_EQ(OpenDataFile(stream, WideString("SAVES/Second.dat"), FileStream::kModeWrite), 1);
    EXPECT_EQ(stream.Write("22", 2), 2u);
    ASSERT_EQ(stream.Close(), 1);
    EXPECT_EQ(Contents("Data/PC/Saves/Second.dat"), "22");
    const auto buffer = LoadWholeFileNarrow("saves/SECOND.DAT", size);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(size, 2u);
}

}  // namespace
