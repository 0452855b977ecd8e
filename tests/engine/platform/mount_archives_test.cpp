#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "data_file_fixture.h"
#include "engine/platform/data_files.h"
#include "engine/platform/mount_archives.h"

namespace {

using namespace engine;
using testsupport::ZipWriter;

class MountArchivesTest : public datatest::DataFileTest {
protected:
    std::string Read(const char* path) {
        std::size_t size = 0;
        const auto buffer = LoadWholeFileNarrow(path, size);
        return buffer ? std::string(reinterpret_cast<const char*>(buffer.get()), size) : "<missing>";
    }
};

TEST_F(MountArchivesTest, MainArchiveFirstThenTheOthersInListingOrder) {
    PutZip("dataPC.ZIP", ZipWriter().Add("who.txt", "main").Add("main.txt", "main only"));
    PutZip("DataPC_CP_French.zip", ZipWriter().Add("who.txt", "french").Add("fr.txt", "bonjour"));
    PutZip("aaa.ZIP", ZipWriter().Add("who.txt", "aaa").Add("fr.txt", "from aaa"));
    Put("broken.zip", "not an archive at all, just some text");
    PutZip(".hidden.zip", ZipWriter().Add("fr.txt", "from hidden"));
    std::filesystem::create_directories(File("folder.zip"));
    Put("readme.txt", "text");

    EXPECT_EQ(MountArchives(set_), 3);
    EXPECT_EQ(set_.ShortName(0), "MainWad");
    EXPECT_EQ(set_.ShortName(1), "");  // aaa.ZIP holds no "DataPC_CP_"
    EXPECT_EQ(set_.ShortName(2), "French");
    SetActiveArchiveSet(&set_);
    EXPECT_EQ(Read("WHO.txt"), "main");
    EXPECT_EQ(Read("fr.txt"), "from aaa");  // "AAA.ZIP" is listed before "DATAPC_CP_FRENCH.ZIP"
    EXPECT_EQ(Read("main.txt"), "main only");
}

TEST_F(MountArchivesTest, NothingIsMountedWithoutTheMainArchive) {
    PutZip("DataPC_CP_German.zip", ZipWriter().Add("who.txt", "german"));
    EXPECT_EQ(MountArchives(set_), 0);
    Put("DataPC.zip", "damaged main archive");
    EXPECT_EQ(MountArchives(set_), 0);
    EXPECT_EQ(set_.Count(), 0);
}

TEST_F(MountArchivesTest, ThirtyTwoArchivesAreMountedInAll) {
    PutZip("DataPC.zip", ZipWriter().Add("who.txt", "main"));
    for (int i = 0; i < 40; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "DataPC_CP_%02d.zip", i);
        PutZip(name, ZipWriter().Add("n" + std::to_string(i) + ".txt", name));
    }
    EXPECT_EQ(MountArchives(set_), ArchiveSet::kMaxArchives);
    EXPECT_EQ(set_.ShortName(1), "00");
    EXPECT_EQ(set_.ShortName(31), "30");
    SetActiveArchiveSet(&set_);
    EXPECT_EQ(Read("n30.txt"), "DataPC_CP_30.zip");
    EXPECT_EQ(Read("n31.txt"), "<missing>");
}

}  // namespace
