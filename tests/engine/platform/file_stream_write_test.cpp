#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "data_file_fixture.h"
#include "file_size_limit.h"
#include "engine/platform/data_files.h"
#include "engine/platform/file_stream.h"
#include "zip_test_helpers.h"

namespace {

using namespace engine;
using datatest::FileSizeLimit;

class FileWriteTest : public datatest::DataFileTest {
protected:
    FileWriteTest() { Put("save.dat", old_); }

    WideString Target() const { return WideString(File("save.dat").c_str()); }
    bool TempLeft() const { return std::filesystem::exists(File("save.dat.tmp")); }
    void ExpectOldFileKept() const {
        EXPECT_EQ(Contents("save.dat"), old_);
        EXPECT_FALSE(TempLeft());
    }

    const std::string old_ = ziptest::RandomBytes(3000, 11);
};

TEST_F(FileWriteTest, TargetChangesOnlyWhenCloseCommits) {
    FileStream stream;
    ASSERT_EQ(OpenPlainFile(stream, Target(), FileStream::kModeWrite), 1);
    EXPECT_EQ(stream.Write("new bytes", 9), 9u);
    EXPECT_EQ(Contents("save.dat"), old_);  // still the old file while the stream is open
    EXPECT_TRUE(TempLeft());
    EXPECT_EQ(stream.Close(), 1);
    EXPECT_EQ(Contents("save.dat"), "new bytes");
    EXPECT_FALSE(TempLeft());
}

TEST_F(FileWriteTest, StreamsThatAreNotClosedLeaveTheOldFile) {
    {
        FileStream stream;
        ASSERT_EQ(OpenPlainFile(stream, Target(), FileStream::kModeWrite), 1);
        EXPECT_EQ(stream.Write("lost", 4), 4u);
    }
    ExpectOldFileKept();

    FileStream stream;
    ASSERT_EQ(OpenPlainFile(stream, Target(), FileStream::kModeWrite), 1);
    EXPECT_EQ(stream.Write("lost", 4), 4u);
    ASSERT_EQ(OpenPlainFile(stream, WideString(File("other.dat").c_str()), FileStream::kModeWrite), 1);
    EXPECT_EQ(stream.Close(), 1);
    ExpectOldFileKept();
    EXPECT_EQ(Contents("other.dat"), "");
}

TEST_F(FileWriteTest, FolderInTheWayOfTheTemporaryFileFailsTheWrite) {
    std::filesystem::create_directories(File("save.dat.tmp/inside"));
    FileStream stream;
    EXPECT_EQ(OpenPlainFile(stream, Target(), FileStream::kModeWrite), 0);
    const std::string data = "replacement";
    EXPECT_EQ(SavePackedFile(Target(), data.data(), static_cast<std::uint32_t>(data.size())), 0);
    EXPECT_EQ(Contents("save.dat"), old_);
    EXPECT_TRUE(std::filesystem::is_directory(File("save.dat.tmp/inside")));
}

TEST_F(FileWriteTest, FolderAsTargetFailsAtCloseAndLeavesNoTemporaryFile) {
    std::filesystem::create_directories(File("Slot/child"));
    FileStream stream;
    ASSERT_EQ(OpenPlainFile(stream, WideString(File("Slot").c_str()), FileStream::kModeWrite), 1);
    EXPECT_EQ(stream.Write("x", 1), 1u);
    EXPECT_EQ(stream.Close(), 0);
    EXPECT_FALSE(std::filesystem::exists(File("Slot.tmp")));
    EXPECT_TRUE(std::filesystem::is_directory(File("Slot/child")));
}

TEST_F(FileWriteTest, WritesFailingPartWayLeaveTheOldFileByteIdentical) {
    const std::string big = ziptest::RandomBytes(64 * 1024, 5);
    const std::string small = "only twenty-one bytes";
    // The limit cuts a large write short at once, and a small buffered write at Close's flush.
    for (const std::string* data : {&big, &small}) {
        SCOPED_TRACE(data->size());
        FileStream stream;
        ASSERT_EQ(OpenPlainFile(stream, Target(), FileStream::kModeWrite), 1);
        std::size_t written = 0;
        int closed = 0;
        {
            FileSizeLimit limit(10);
            ASSERT_TRUE(limit.Active());
            written = stream.Write(data->data(), data->size());
            if (data == &big) {
                EXPECT_LT(written, data->size());
                EXPECT_EQ(stream.Write("more", 4), 0u);  // a failed stream writes no more
            }
            closed = stream.Close();
        }
        EXPECT_EQ(closed, 0);
        ExpectOldFileKept();
    }
}

TEST_F(FileWriteTest, PackedFilesCommitOrLeaveTheOldFile) {
    const std::string data = ziptest::RandomBytes(20000, 3);
    {
        FileSizeLimit limit(100);
        ASSERT_TRUE(limit.Active());
        EXPECT_EQ(SavePackedFile(Target(), data.data(), static_cast<std::uint32_t>(data.size())), 0);
    }
    ExpectOldFileKept();

    std::uint32_t size = 5;
    EXPECT_EQ(LoadPackedFile(Target(), size), nullptr);  // the old bytes are no packed block
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(SavePackedFile(Target(), nullptr, 10), 0);
    EXPECT_EQ(SavePackedFile(Target(), data.data(), 0), 0);
    ExpectOldFileKept();

    ASSERT_EQ(SavePackedFile(Target(), data.data(), static_cast<std::uint32_t>(data.size())), 1);
    EXPECT_FALSE(TempLeft());
    const auto loaded = LoadPackedFile(Target(), size);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(loaded.get()), size), data);
    EXPECT_EQ(LoadPackedFile(WideString(File("absent.dat").c_str()), size), nullptr);
    Put("empty.dat", "");
    EXPECT_EQ(LoadPackedFile(WideString(File("empty.dat").c_str()), size), nullptr);
}

}  // namespace
