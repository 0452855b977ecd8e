#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "data_file_fixture.h"
#include "engine/platform/data_listing.h"

namespace {

using namespace engine;

class DataListingTest : public datatest::DataFileTest {
protected:
    DataListingTest() {
        for (const char* name : {".hidden.map", "beta.map", "Coast.MAP", "_under.map", "notes.txt"}) {
            Put(std::string("Data/PC/Maps/") + name, name);
        }
        std::filesystem::create_directories(File("Data/PC/Maps/Archive.map"));
        EXPECT_EQ(::mkfifo(File("Data/PC/Maps/fifo.map").c_str(), 0600), 0);
        EXPECT_EQ(::symlink("nowhere", File("Data/PC/Maps/dangling.map").c_str()), 0);
    }

    // Every name up to the empty text that ends the listing.
    static std::vector<std::string> Drain(bool includeFolders) {
        std::vector<std::string> names;
        for (int guard = 0; guard < 100; ++guard) {
            const WideString name = FindNextDataFile(includeFolders);
            if (name.IsEmpty()) break;
            names.emplace_back(name.GetNarrow());
        }
        return names;
    }
};

TEST_F(DataListingTest, NamesComeSortedFilteredAndEndWithAnEmptyText) {
    ASSERT_EQ(FindFirstDataFile(WideString("Maps"), WideString("*.map")), kListingOk);
    EXPECT_EQ(FindFirstDataFile(WideString("Maps"), WideString("*.map")), kListingBusy);
    // Sorted by upper-cased bytes ("_" after the letters); the hidden first name, the folder, the fifo and the
    // dangling link are all left out.
    EXPECT_EQ(Drain(false), (std::vector<std::string>{"beta.map", "Coast.MAP", "_under.map"}));
    EXPECT_TRUE(FindNextDataFile(false).IsEmpty());
    EXPECT_EQ(EndDataFileSearch(WideString("Other")), kListingBusy);
    EXPECT_EQ(EndDataFileSearch(WideString("MAPS")), kListingOk);
    EXPECT_EQ(EndDataFileSearch(WideString("Maps")), kListingBusy);  // nothing open any more
    EXPECT_TRUE(FindNextDataFile(true).IsEmpty());

    // Separators and case of the folder and the pattern do not matter; folders come only when asked for.
    ASSERT_EQ(FindFirstDataFile(WideString("maps\\"), WideString("*.MAP")), kListingOk);
    EXPECT_EQ(FindNextDataFile(true).GetNarrow(), std::string("Archive.map"));
    EXPECT_EQ(FindNextDataFile(false).GetNarrow(), std::string("beta.map"));
    EXPECT_EQ(Drain(true), (std::vector<std::string>{"Coast.MAP", "_under.map"}));
    EXPECT_EQ(EndDataFileSearch(WideString("Maps\\")), kListingOk);

    ASSERT_EQ(FindFirstDataFile(WideString(""), WideString("MAPS/c*")), kListingOk);
    EXPECT_EQ(Drain(false), (std::vector<std::string>{"Coast.MAP"}));
    EXPECT_EQ(EndDataFileSearch(WideString("")), kListingOk);
}

TEST_F(DataListingTest, MissingFoldersAndUnmatchedPatternsFindNothing) {
    EXPECT_EQ(FindFirstDataFile(WideString("Missing"), WideString("*")), kListingNothingFound);
    EXPECT_EQ(FindFirstDataFile(WideString("Maps"), WideString("*.zzz")), kListingNothingFound);
    EXPECT_TRUE(FindNextDataFile(true).IsEmpty());
    // A listing of nothing but filtered names opens and gives no name.
    ASSERT_EQ(FindFirstDataFile(WideString("Maps"), WideString(".h*")), kListingOk);
    EXPECT_TRUE(FindNextDataFile(true).IsEmpty());
    EXPECT_EQ(EndDataFileSearch(WideString("Maps")), kListingOk);
}

TEST_F(DataListingTest, FolderListsAreSortedByUpperCasedBytes) {
    bool opened = false;
    std::vector<std::string> names;
    for (const ListedName& n : ListFolderNarrow(File("Data/PC/Maps"), "*", opened)) names.push_back(n.name);
    EXPECT_TRUE(opened);
    EXPECT_EQ(names, (std::vector<std::string>{".hidden.map", "Archive.map", "beta.map", "Coast.MAP",
                                               "dangling.map", "fifo.map", "notes.txt", "_under.map"}));
    ListFolderNarrow(File("Data/PC/None"), "*", opened);
    EXPECT_FALSE(opened);
}

}  // namespace
