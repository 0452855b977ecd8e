#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/platform/memory_zip_archive.h"
#include "support/zip_writer.h"

namespace {

using testsupport::BuildDataArchive;
using testsupport::GetU16;
using testsupport::GetU32;
using testsupport::ZipImage;

using Files = std::vector<std::pair<std::string, std::string>>;

ZipImage Pack(Files files) {
    ZipImage image;
    std::string error;
    EXPECT_TRUE(BuildDataArchive(std::move(files), image, error)) << error;
    return image;
}

// Directory records in order: name, method, time and date.
struct Record {
    std::string name;
    std::uint16_t method;
    std::uint16_t time;
    std::uint16_t date;
};

std::vector<Record> Directory(const ZipImage& image) {
    std::vector<Record> records;
    std::size_t at = image.directoryOffset;
    while (at < image.endRecordOffset) {
        EXPECT_EQ(GetU32(image.bytes, at), 0x02014b50u);
        const std::uint16_t nameLength = GetU16(image.bytes, at + 28);
        EXPECT_EQ(GetU16(image.bytes, at + 30), 0) << "extra field";
        EXPECT_EQ(GetU16(image.bytes, at + 32), 0) << "comment";
        EXPECT_EQ(GetU16(image.bytes, at + 8), 0) << "flags";
        records.push_back({std::string(image.bytes.begin() + static_cast<std::ptrdiff_t>(at + 46),
                                       image.bytes.begin() + static_cast<std::ptrdiff_t>(at + 46 + nameLength)),
                           GetU16(image.bytes, at + 10), GetU16(image.bytes, at + 12), GetU16(image.bytes, at + 14)});
        at += 46 + nameLength;
    }
    return records;
}

TEST(DataArchive, SortsByUpperCasedNameWithFixedTimesAndReadsBackThroughTheGamesReader) {
    // "_" (0x5F) sorts after upper-case letters but before lower-case ones: the order must fold case first.
    const std::string text(4000, 'a');
    const Files files = {{"maps/b.txt", text}, {"Maps\\A_x.TXT", "tiny"}, {"Maps/a.TXT", text}, {"Units/Z", ""}};
    const ZipImage image = Pack(files);

    const std::vector<Record> records = Directory(image);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].name, "Maps/a.TXT");
    EXPECT_EQ(records[1].name, "Maps/A_x.TXT");
    EXPECT_EQ(records[2].name, "maps/b.txt");
    EXPECT_EQ(records[3].name, "Units/Z");
    for (const Record& record : records) {
        EXPECT_EQ(record.time, 0) << record.name;
        EXPECT_EQ(record.date, 0x0021) << record.name;  // 1980-01-01
    }
    // Repetitive text deflates; four bytes and an empty entry are smaller stored.
    EXPECT_EQ(records[0].method, 8);
    EXPECT_EQ(records[1].method, 0);
    EXPECT_EQ(records[3].method, 0);
    EXPECT_LT(image.bytes.size(), 2 * text.size());

    engine::MemoryZipArchive archive(image.bytes.data(), image.bytes.size());
    ASSERT_EQ(archive.Open("DataPC.zip"), 1);
    for (const auto& [name, data] : files) {
        std::unique_ptr<std::uint8_t[]> bytes;
        std::uint32_t size = 0;
        ASSERT_EQ(archive.FindEntry(name, bytes, size), 1) << name;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.get()), size), data) << name;
    }

    // The same files in another order give the same bytes.
    const Files reversed(files.rbegin(), files.rend());
    EXPECT_EQ(Pack(reversed).bytes, image.bytes);
}

TEST(DataArchive, RefusesNamesThatClashWithoutRegardToCaseOrAreEmpty) {
    const Files cases[] = {
        {{"Units/Damage.TXT", "a"}, {"units/damage.txt", "b"}},
        {{"Maps/x", "a"}, {"Maps\\X", "b"}},
        {{"", "a"}},
    };
    for (const Files& files : cases) {
        ZipImage image;
        image.bytes = {1, 2, 3};
        std::string error;
        EXPECT_FALSE(BuildDataArchive(files, image, error)) << files.front().first;
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(image.bytes.size(), 3u) << "output left untouched";
    }
}

}  // namespace
