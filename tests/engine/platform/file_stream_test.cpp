#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "data_file_fixture.h"
#include "engine/platform/data_files.h"
#include "engine/platform/file_stream.h"

namespace {

using namespace engine;
using testsupport::ZipWriter;

class FileStreamTest : public datatest::DataFileTest {
protected:
    // The whole stream read from its position in small steps, or "<closed>".
    static std::string ReadRest(FileStream& stream) {
        if (!stream.IsOpen()) return "<closed>";
        std::string out;
        char chunk[3];
        while (const std::size_t n = stream.Read(chunk, sizeof chunk)) out.append(chunk, n);
        return out;
    }
    std::string ReadData(const char* relative) {
        FileStream stream;
        if (OpenDataFile(stream, WideString(relative), FileStream::kModeRead) != 1) return "<missing>";
        return ReadRest(stream);
    }
};

TEST_F(FileStreamTest, SeparatorAndCaseVariantsOpenTheSameLooseFile) {
    Put("Data/PC/Maps/Coast/Harbour.txt", "harbour");
    for (const char* path : {"Maps/Coast/Harbour.txt", "Maps\\Coast\\Harbour.txt", "maps/COAST/harbour.TXT",
                             "MAPS\\coast/HARBOUR.txt"}) {
        EXPECT_EQ(ReadData(path), "harbour") << path;
    }
    EXPECT_EQ(ReadData("Maps/Coast/Harbor.txt"), "<missing>");
    EXPECT_EQ(ReadData("Maps/Coast"), "<missing>");  // a folder is not a data file
}

TEST_F(FileStreamTest, ArchiveEntriesComeFirstAndLooseFilesAreReadBesideThem) {
    PutZip("DataPC.zip", ZipWriter().Add("Texts/Both.txt", "from archive").Add("Texts/Stored.txt", "abcdef", 0));
    Put("Texts/Both.txt", "loose at the base");
    Put("Texts/Loose.txt", "loose only");
    Put("Data/PC/Texts/Loose.txt", "under the prefix");
    EXPECT_EQ(ReadData("Texts/Loose.txt"), "under the prefix");  // nothing mounted yet

    Mount("DataPC.zip");
    EXPECT_EQ(GetDataFolderNarrow(), GetBaseFolderNarrow());
    EXPECT_EQ(ReadData("texts\\both.TXT"), "from archive");
    EXPECT_EQ(ReadData("Texts/Loose.txt"), "loose only");  // base folder + path, no prefix
    EXPECT_EQ(ReadData("Texts/Missing.txt"), "<missing>");

    FileStream stream;
    ASSERT_EQ(OpenDataFile(stream, WideString("Texts/Stored.txt"), FileStream::kModeRead), 1);
    EXPECT_TRUE(stream.IsMemoryImage());
    EXPECT_EQ(stream.GetLength(), 6);
    EXPECT_EQ(stream.Write("x", 1), 0u);  // an archive entry cannot be written
    EXPECT_EQ(stream.Printf("%d", 1), 0);
    EXPECT_EQ(stream.Close(), 1);
    EXPECT_EQ(stream.IsOpen(), 0);
    EXPECT_EQ(stream.Close(), 0);
}

// The same seeks on an archive entry and on the same bytes on disk.
TEST_F(FileStreamTest, SeekRefusesNegativeTargetsAndReadsNothingPastTheEnd) {
    PutZip("DataPC.zip", ZipWriter().Add("image.bin", "0123456789"));
    Put("disk.bin", "0123456789");
    Mount("DataPC.zip");
    for (const char* path : {"image.bin", "disk.bin"}) {
        SCOPED_TRACE(path);
        FileStream stream;
        ASSERT_EQ(OpenDataFile(stream, WideString(path), FileStream::kModeRead), 1);
        EXPECT_EQ(stream.GetLength(), 10);
        char buffer[8] = {};
        EXPECT_EQ(stream.Seek(4, FileStream::kSeekStart), 0);
        EXPECT_EQ(stream.Read(buffer, 2), 2u);
        EXPECT_EQ(std::string(buffer, 2), "45");
        EXPECT_NE(stream.Seek(-7, FileStream::kSeekCurrent), 0);
        EXPECT_NE(stream.Seek(-1, FileStream::kSeekStart), 0);
        EXPECT_NE(stream.Seek(-11, FileStream::kSeekEnd), 0);
        EXPECT_NE(stream.Seek(0, 3), 0);
        EXPECT_EQ(stream.Tell(), 6);  // refused seeks leave the position
        EXPECT_EQ(stream.Seek(-3, FileStream::kSeekEnd), 0);
        EXPECT_EQ(stream.Read(buffer, 8), 3u);
        EXPECT_EQ(std::string(buffer, 3), "789");
        EXPECT_EQ(stream.Seek(5, FileStream::kSeekEnd), 0);
        EXPECT_EQ(stream.Tell(), 15);
        EXPECT_EQ(stream.Read(buffer, 8), 0u);
        EXPECT_EQ(stream.Seek(0, FileStream::kSeekStart), 0);
        EXPECT_EQ(ReadRest(stream), "0123456789");
    }
}

TEST_F(FileStreamTest, LargeDiskOffsetsWork) {
    // A sparse file of 5 GiB: positions beyond 32 bits must seek, tell and read.
    const std::string path = File("Data/PC/big.bin");
    Put("Data/PC/big.bin", "");
    const std::int64_t size = std::int64_t{5} << 30;
    const int fd = ::open(path.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    const bool grown = ::ftruncate(fd, size) == 0 && ::pwrite(fd, "END", 3, size - 3) == 3;
    ::close(fd);
    if (!grown) GTEST_SKIP() << "no room for a sparse file";
    FileStream stream;
    ASSERT_EQ(OpenDataFile(stream, WideString("big.bin"), FileStream::kModeRead), 1);
    EXPECT_EQ(stream.GetLength(), size);
    EXPECT_EQ(stream.Seek(-3, FileStream::kSeekEnd), 0);
    EXPECT_EQ(stream.Tell(), size - 3);
    EXPECT_EQ(ReadRest(stream), "END");
}

TEST_F(FileStreamTest, IntegersAndTextRoundTripThroughWrittenFiles) {
    FileStream out;
    ASSERT_EQ(OpenPlainFile(out, WideString(File("numbers.bin").c_str()), FileStream::kModeWrite), 1);
    EXPECT_EQ(out.WriteInt32(-2), 4u);
    EXPECT_EQ(out.WriteInt32(0x12345678), 4u);
    EXPECT_EQ(out.Printf("%s=%03d", "n", 7), 1);
    EXPECT_EQ(out.GetLength(), 13);
    EXPECT_EQ(out.Read(nullptr, 0), 0u);
    EXPECT_EQ(out.Close(), 1);
    EXPECT_EQ(Contents("numbers.bin"), std::string("\xFE\xFF\xFF\xFF\x78\x56\x34\x12n=007", 13));

    FileStream in;
    ASSERT_EQ(OpenPlainFile(in, WideString(File("numbers.bin").c_str()), FileStream::kModeRead), 1);
    EXPECT_EQ(in.ReadInt32(), -2);
    EXPECT_EQ(in.ReadInt32(), 0x12345678);
    EXPECT_EQ(in.Write("x", 1), 0u);  // a reading stream does not write
    EXPECT_EQ(in.Seek(-2, FileStream::kSeekEnd), 0);
    EXPECT_EQ(in.ReadInt32(), 0);  // only two bytes left
}

TEST_F(FileStreamTest, ClosedStreamsAnswerWithZero) {
    FileStream stream;
    char buffer[4];
    EXPECT_EQ(stream.IsOpen(), 0);
    EXPECT_EQ(stream.Tell(), 0);
    EXPECT_EQ(stream.GetLength(), 0);
    EXPECT_NE(stream.Seek(0, FileStream::kSeekStart), 0);
    EXPECT_EQ(stream.Read(buffer, 4), 0u);
    EXPECT_EQ(stream.Write("abcd", 4), 0u);
    EXPECT_EQ(stream.Printf("x"), 0);
    EXPECT_EQ(stream.Close(), 0);
    EXPECT_EQ(OpenDataFile(stream, WideString("nothing.txt"), FileStream::kModeRead), 0);
    EXPECT_EQ(stream.IsOpen(), 0);
}

}  // namespace
