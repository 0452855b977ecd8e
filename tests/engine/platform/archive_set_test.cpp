#include <gtest/gtest.h>

#include <string>

#include "engine/platform/archive_set.h"
#include "engine/platform/posix_zip_archive.h"
#include "support/temp_folder.h"
#include "zip_test_helpers.h"

namespace {

using namespace engine;
using testsupport::ZipWriter;

std::optional<std::string> FindIn(const ArchiveSet& set, std::string_view path) {
    std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[1]);
    std::uint32_t size = 7;
    if (FindInArchives(set, path, buffer, size) != 1) {
        EXPECT_EQ(buffer, nullptr);
        EXPECT_EQ(size, 0u);
        return std::nullopt;
    }
    return std::string(reinterpret_cast<const char*>(buffer.get()), size);
}

TEST(ArchiveSet, HoldsThirtyTwoArchivesInMountOrder) {
    ArchiveSet set;
    EXPECT_EQ(set.Count(), 0);
    EXPECT_FALSE(set.Mount(nullptr, "none"));
    for (int i = 0; i < ArchiveSet::kMaxArchives; ++i) {
        const std::string name = "n" + std::to_string(i);
        EXPECT_TRUE(set.Mount(ziptest::OpenInMemory(ZipWriter().Add(name, name).Build()), name));
    }
    EXPECT_FALSE(set.Mount(ziptest::OpenInMemory(ZipWriter().Add("late", "late").Build()), "late"));
    EXPECT_EQ(set.Count(), 32);
    EXPECT_EQ(set.ShortName(0), "n0");
    EXPECT_EQ(set.ShortName(31), "n31");
    EXPECT_EQ(set.Archive(32), nullptr);
    EXPECT_EQ(set.Archive(-1), nullptr);
    EXPECT_EQ(set.ShortName(32), "");
    EXPECT_EQ(FindIn(set, "N31"), "n31");
    EXPECT_EQ(FindIn(set, "late"), std::nullopt);
}

TEST(ArchiveSet, FirstArchiveThatCanAnswerWins) {
    testsupport::TempFolder folder;
    const auto main = ZipWriter()
                          .Add("shared.txt", "from main")
                          .Add("odd-method.txt", "cannot read", 12)
                          .Add("only-main.txt", "main only", 0)
                          .Build();
    const auto patch = ZipWriter()
                           .Add("SHARED.TXT", "from patch")
                           .Add("ODD-METHOD.TXT", "from patch")
                           .Add("only-patch.txt", "patch only")
                           .Build();
    ASSERT_TRUE(folder.Write("DataPC.zip", main.bytes.data(), main.bytes.size()));
    ASSERT_TRUE(folder.Write("DataPC_CP_patch.zip", patch.bytes.data(), patch.bytes.size()));

    ArchiveSet set;
    EXPECT_EQ(FindIn(set, "shared.txt"), std::nullopt);
    for (const char* file : {"DataPC.zip", "DataPC_CP_patch.zip"}) {
        auto archive = std::make_unique<PosixZipArchive>();
        ASSERT_EQ(archive->Open(folder.File(file)), 1);
        ASSERT_TRUE(set.Mount(std::move(archive), file));
    }
    EXPECT_EQ(FindIn(set, "Shared.txt"), "from main");
    // An entry the first archive holds with an unknown method counts as missing there.
    EXPECT_EQ(FindIn(set, "odd-method.txt"), "from patch");
    EXPECT_EQ(FindIn(set, "only-main.txt"), "main only");
    EXPECT_EQ(FindIn(set, "only-patch.txt"), "patch only");
    EXPECT_EQ(FindIn(set, "nowhere.txt"), std::nullopt);
}

}  // namespace
