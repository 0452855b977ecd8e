#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "engine/platform/posix_zip_archive.h"
#include "engine/platform/zip_name.h"
#include "support/temp_folder.h"
#include "zip_test_helpers.h"

namespace {

using namespace engine;
using testsupport::GetU16;
using testsupport::GetU32;
using testsupport::PutU16;
using testsupport::PutU32;
using testsupport::TempFolder;
using testsupport::ZipEntryRecipe;
using testsupport::ZipImage;
using testsupport::ZipWriter;
using ziptest::Find;
using ziptest::OpenInMemory;
using ziptest::RandomBytes;
using ziptest::RecordOffset;

ZipEntryRecipe Entry(std::string name, std::string data, std::uint16_t method, bool descriptor = false,
                  std::string localExtra = {}) {
    ZipEntryRecipe s;
    s.name = std::move(name);
    s.data = std::move(data);
    s.method = method;
    s.dataDescriptor = descriptor;
    s.localExtra = std::move(localExtra);
    return s;
}

TEST(ZipArchive, ReadsEveryKindOfEntryFromFileAndMemory) {
    const std::string text(5000, 'q');
    const std::string random = RandomBytes(70000, 7);
    const std::vector<ZipEntryRecipe> entries = {
        Entry("a/stored.txt", "stored bytes", 0),
        Entry("b/deflated.txt", text, 8),
        Entry("b/random.bin", random, 8),
        Entry("c/descriptor-deflated.bin", random.substr(0, 3000) + text, 8, true),
        Entry("c/descriptor-stored.bin", "plain", 0, true),
        Entry("d/local-extra.txt", "after the extra field", 8, false, std::string(37, 'E')),
        Entry("e/empty-stored", "", 0),
        Entry("e/empty-deflated", "", 8),
    };
    ZipWriter writer;
    for (const ZipEntryRecipe& s : entries) writer.Add(s);
    const ZipImage image = writer.SetComment("fixture").Build();

    TempFolder folder;
    ASSERT_TRUE(folder.Write("fixture.zip", image.bytes.data(), image.bytes.size()));
    auto onDisk = std::make_unique<PosixZipArchive>();
    ASSERT_EQ(onDisk->Open(folder.File("fixture.zip")), 1);
    EXPECT_EQ(onDisk->Path(), folder.File("fixture.zip"));
    bool opened = false;
    auto inMemory = OpenInMemory(image, &opened);
    ASSERT_TRUE(opened);

    for (const ZipArchive* archive : {static_cast<const ZipArchive*>(onDisk.get()), static_cast<const ZipArchive*>(inMemory.get())}) {
        ASSERT_EQ(archive->EntryCount(), entries.size());
        EXPECT_EQ(archive->EndRecordPosition(), static_cast<std::int64_t>(image.endRecordOffset));
        for (std::uint32_t i = 0; i < entries.size(); ++i) {
            EXPECT_EQ(archive->EntryName(i), NormaliseZipName(entries[i].name));
            EXPECT_EQ(Find(*archive, entries[i].name), entries[i].data) << entries[i].name;
            std::uint32_t size = 0;
            auto data = archive->ExtractEntry(i, size);
            ASSERT_NE(data, nullptr) << entries[i].name;
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(data.get()), size), entries[i].data);
        }
        std::uint32_t size = 99;
        EXPECT_EQ(archive->ExtractEntry(static_cast<std::uint32_t>(entries.size()), size), nullptr);
        EXPECT_EQ(size, 0u);
        EXPECT_EQ(archive->EntryName(static_cast<std::uint32_t>(entries.size())), "");
    }
}

TEST(ZipArchive, LookupIgnoresLetterCaseAndSeparator) {
    const ZipImage image = ZipWriter().Add("data/Models/tank.mdl", "tank").Add("data/other.txt", "other").Build();
    auto archive = OpenInMemory(image);
    for (const char* path : {"DATA/MODELS/TANK.MDL", "Data\\models\\Tank.MDL", "data\\MODELS/tank.mdl"}) {
        EXPECT_EQ(Find(*archive, path), "tank") << path;
    }
    EXPECT_EQ(Find(*archive, "data/models/tank.md"), std::nullopt);
    EXPECT_EQ(Find(*archive, "data/models/tank.mdl "), std::nullopt);
    EXPECT_EQ(Find(*archive, ""), std::nullopt);
}

TEST(ZipArchive, NamesWithTheSameKeyEachGetTheirOwnBytes) {
    for (bool rbhdFirst : {true, false}) {
        ZipWriter writer;
        if (rbhdFirst) writer.Add("data/rbhdnmuh.txt", "first");
        writer.Add("DATA/PTDXDICB.TXT", "second");
        if (!rbhdFirst) writer.Add("data/rbhdnmuh.txt", "first");
        auto archive = OpenInMemory(writer.Build());
        EXPECT_EQ(Find(*archive, "DATA/RBHDNMUH.TXT"), "first");
        EXPECT_EQ(Find(*archive, "data\\ptdxdicb.txt"), "second");
    }
    // A name missing from the archive is not answered by another name with its key.
    auto archive = OpenInMemory(ZipWriter().Add("DATA/PTDXDICB.TXT", "second").Build());
    EXPECT_EQ(Find(*archive, "DATA/RBHDNMUH.TXT"), std::nullopt);
}

TEST(ZipArchive, OfTwoEqualNamesTheEarlierWins) {
    auto archive = OpenInMemory(ZipWriter().Add("Units.txt", "earlier").Add("UNITS.TXT", "later", 0).Build());
    EXPECT_EQ(Find(*archive, "units.txt"), "earlier");
}

// An empty archive: the end record alone.
ZipImage EmptyArchive() { return ZipWriter().Build(); }

TEST(ZipArchive, EndRecordIsFoundOnlyWhereItCanBe) {
    // Below 22 bytes, or with no signature in reach, nothing opens.
    std::vector<std::uint8_t> shortFile = EmptyArchive().bytes;
    ASSERT_EQ(shortFile.size(), 22u);
    shortFile.pop_back();
    for (const std::vector<std::uint8_t>& bytes : {std::vector<std::uint8_t>{}, shortFile,
                                                   std::vector<std::uint8_t>(22, 0), std::vector<std::uint8_t>(5000, 'P')}) {
        MemoryZipArchive archive(bytes.data(), bytes.size());
        EXPECT_EQ(archive.Open("x"), 0) << bytes.size();
        EXPECT_EQ(archive.FindEndOfDirectory(), -1);
    }

    auto empty = OpenInMemory(EmptyArchive());
    EXPECT_EQ(empty->EntryCount(), 0u);
    EXPECT_EQ(Find(*empty, "anything"), std::nullopt);

    // A comment pushes the record back; lengths 4097 to 4099 put the signature across the end of the
    // first 4 KiB stretch before the record's last possible place.
    for (std::size_t length : {1u, 4095u, 4096u, 4097u, 4098u, 4099u, 65535u}) {
        const ZipImage image = ZipWriter().Add("a.txt", "A").SetComment(std::string(length, 'c')).Build();
        bool opened = false;
        auto archive = OpenInMemory(image, &opened);
        ASSERT_TRUE(opened) << length;
        EXPECT_EQ(archive->EndRecordPosition(), static_cast<std::int64_t>(image.endRecordOffset));
        EXPECT_EQ(archive->EndRecord()[0], 'P');
        EXPECT_EQ(Find(*archive, "A.TXT"), "A");
    }

}

// The search steps back 4 KiB at a time from the record's last place and takes a step while the step's end is
// within 65587 bytes of the file's end: the 17th step ends 65536 bytes before that place and starts 69632 before
// it. Bytes after the record move it back; a record that far back is still found, one byte further is not.
TEST(ZipArchive, EndRecordSearchReachesTheStartOfItsLastStep) {
    const struct {
        std::size_t trailing;
        bool opens;
    } cases[] = {
        {0, true},          {4096, true},       {4097, true},       {65535, true},      {65565, true},
        {65566, true},      {65567, true},      {69630, true},      {69631, true},      {69632, true},
        {69633, false},     {69634, false},     {73728, false},
    };
    for (const auto& c : cases) {
        // A large entry in front keeps the reach from being cut short by the start of the file.
        ZipImage image = ZipWriter().Add("pad.bin", std::string(80000, 'p'), 0).Add("a.txt", "A").Build();
        image.bytes.resize(image.bytes.size() + c.trailing, 0);
        bool opened = false;
        auto archive = OpenInMemory(image, &opened);
        EXPECT_EQ(opened, c.opens) << c.trailing;
        if (opened) {
            EXPECT_EQ(archive->EndRecordPosition(), static_cast<std::int64_t>(image.endRecordOffset)) << c.trailing;
            EXPECT_EQ(Find(*archive, "a.txt"), "A") << c.trailing;
        }
    }

    // A signature that runs over the end of a 4 KiB step is found, the step's last bytes coming from the one
    // read before it.
    for (std::size_t trailing : {4093u, 4094u, 4095u, 8189u, 8190u, 8191u}) {
        ZipImage image = ZipWriter().Add("a.txt", "A").Build();
        image.bytes.resize(image.bytes.size() + trailing, 0);
        bool opened = false;
        auto archive = OpenInMemory(image, &opened);
        EXPECT_TRUE(opened) << trailing;
        EXPECT_EQ(archive->EndRecordPosition(), static_cast<std::int64_t>(image.endRecordOffset)) << trailing;
    }
}

// A built archive of three entries with one change applied to its bytes.
struct Damage {
    const char* what;
    std::function<void(const ZipImage&, std::vector<std::uint8_t>&)> apply;
};

ZipImage ThreeEntries() {
    return ZipWriter()
        .Add("first.txt", "first entry, deflated")
        .Add("second.bin", "second entry, stored", 0)
        .Add("third.txt", std::string(3000, 't'))
        .Build();
}

TEST(ZipArchive, DamagedDirectoryIsRefused) {
    const std::size_t kCount = 10, kSize = 12;
    const Damage damages[] = {
        {"directory larger than the space before the end record",
         [](const ZipImage& im, auto& b) { PutU32(b, im.endRecordOffset + kSize, im.endRecordOffset + 1); }},
        {"directory size short by one byte",
         [](const ZipImage& im, auto& b) { PutU32(b, im.endRecordOffset + kSize, GetU32(b, im.endRecordOffset + kSize) - 1); }},
        {"directory size long by one byte",
         [](const ZipImage& im, auto& b) { PutU32(b, im.endRecordOffset + kSize, GetU32(b, im.endRecordOffset + kSize) + 1); }},
        {"count above the records", [](const ZipImage& im, auto& b) { PutU16(b, im.endRecordOffset + kCount, 4); }},
        {"count below the records", [](const ZipImage& im, auto& b) { PutU16(b, im.endRecordOffset + kCount, 2); }},
        {"bad record signature", [](const ZipImage& im, auto& b) { b[RecordOffset(im, 1)] = 'X'; }},
        {"name length running past the directory",
         [](const ZipImage& im, auto& b) { PutU16(b, RecordOffset(im, 2) + 28, 200); }},
        {"name length that misplaces the next record",
         [](const ZipImage& im, auto& b) { PutU16(b, RecordOffset(im, 0) + 28, GetU16(b, RecordOffset(im, 0) + 28) + 1); }},
        {"extra and comment lengths past the directory",
         [](const ZipImage& im, auto& b) { PutU16(b, RecordOffset(im, 2) + 30, 0xFFFF); PutU16(b, RecordOffset(im, 2) + 32, 0xFFFF); }},
        {"file cut inside the directory", [](const ZipImage& im, auto& b) {
             b.erase(b.begin() + static_cast<std::ptrdiff_t>(im.directoryOffset + 10),
                     b.begin() + static_cast<std::ptrdiff_t>(im.directoryOffset + 20));
         }},
    };
    const ZipImage base = ThreeEntries();
    ASSERT_TRUE([&] { bool ok = false; OpenInMemory(base, &ok); return ok; }());
    for (const Damage& d : damages) {
        ZipImage image = base;
        d.apply(base, image.bytes);
        bool opened = true;
        auto archive = OpenInMemory(image, &opened);
        EXPECT_FALSE(opened) << d.what;
        EXPECT_EQ(archive->EntryCount(), 0u) << d.what;
        EXPECT_EQ(Find(*archive, "first.txt"), std::nullopt) << d.what;
    }
}

TEST(ZipArchive, DamagedEntryDoesNotExtractAndSparesTheOthers) {
    // Record fields: method 10, compressed size 20, uncompressed size 24, local header offset 42.
    // Local header fields: name length 26, extra length 28.
    const auto record = [](const ZipImage& im, std::size_t entry, std::size_t field) { return RecordOffset(im, entry) + field; };
    const auto local = [](const ZipImage& im, std::size_t entry, std::size_t field) { return im.localHeaderOffsets[entry] + field; };
    const Damage firstEntry[] = {
        {"method 12", [&](const ZipImage& im, auto& b) { PutU16(b, record(im, 0, 10), 12); }},
        {"local header past the end", [&](const ZipImage& im, auto& b) { PutU32(b, record(im, 0, 42), 0xFFFFFFF0u); }},
        {"local header in the last bytes", [&](const ZipImage& im, auto& b) { PutU32(b, record(im, 0, 42), static_cast<std::uint32_t>(b.size() - 10)); }},
        {"local header offset at the directory", [&](const ZipImage& im, auto& b) { PutU32(b, record(im, 0, 42), static_cast<std::uint32_t>(im.directoryOffset)); }},
        {"compressed size past the end", [&](const ZipImage& im, auto& b) { PutU32(b, record(im, 0, 20), 0x7FFFFFFFu); }},
        {"local name length past the end", [&](const ZipImage& im, auto& b) { PutU16(b, local(im, 0, 26), 0xFFFF); }},
        {"size beyond what deflate can reach",
         [&](const ZipImage& im, auto& b) { PutU32(b, record(im, 0, 24), GetU32(b, record(im, 0, 20)) * 1032 + 65); }},
        {"stream shorter than the size", [&](const ZipImage& im, auto& b) { PutU32(b, record(im, 0, 24), GetU32(b, record(im, 0, 24)) + 1); }},
        {"stream longer than the size", [&](const ZipImage& im, auto& b) { PutU32(b, record(im, 0, 24), GetU32(b, record(im, 0, 24)) - 1); }},
        {"compressed size cutting the stream", [&](const ZipImage& im, auto& b) { PutU32(b, record(im, 0, 20), GetU32(b, record(im, 0, 20)) - 2); }},
        {"broken deflate data", [&](const ZipImage& im, auto& b) { b[local(im, 0, 30 + 9)] = 0xFF; }},
    };
    const Damage secondEntry[] = {
        {"stored with unequal sizes", [&](const ZipImage& im, auto& b) { PutU32(b, record(im, 1, 24), GetU32(b, record(im, 1, 24)) - 1); }},
        {"stored size past the end",
         [&](const ZipImage& im, auto& b) { PutU32(b, record(im, 1, 20), 0x10000000u); PutU32(b, record(im, 1, 24), 0x10000000u); }},
        {"bad local signature", [&](const ZipImage& im, auto& b) { b[local(im, 1, 0)] = 'X'; }},
    };
    const ZipImage base = ThreeEntries();
    const auto check = [&](const Damage& d, std::uint32_t damaged, const char* name) {
        ZipImage image = base;
        d.apply(base, image.bytes);
        bool opened = false;
        auto archive = OpenInMemory(image, &opened);
        ASSERT_TRUE(opened) << d.what;
        EXPECT_EQ(Find(*archive, name), std::nullopt) << d.what;
        std::uint32_t size = 5;
        EXPECT_EQ(archive->ExtractEntry(damaged, size), nullptr) << d.what;
        EXPECT_EQ(size, 0u);
        EXPECT_EQ(Find(*archive, "third.txt"), std::string(3000, 't')) << d.what;
    };
    for (const Damage& d : firstEntry) check(d, 0, "first.txt");
    for (const Damage& d : secondEntry) check(d, 1, "second.bin");
}

TEST(ZipArchive, FileThatIsMissingOrAFolderDoesNotOpen) {
    TempFolder folder;
    PosixZipArchive archive;
    EXPECT_EQ(archive.Open(folder.File("missing.zip")), 0);
    std::filesystem::create_directory(folder.Path() / "folder.zip");
    EXPECT_EQ(archive.Open(folder.File("folder.zip")), 0);
    EXPECT_EQ(archive.EntryCount(), 0u);
}

TEST(ZipArchive, OpeningAgainReplacesWhatWasRead) {
    TempFolder folder;
    const ZipImage one = ZipWriter().Add("one.txt", "1").Build();
    const ZipImage two = ZipWriter().Add("two.txt", "2").Add("three.txt", "3").Build();
    ASSERT_TRUE(folder.Write("one.zip", one.bytes.data(), one.bytes.size()));
    ASSERT_TRUE(folder.Write("two.zip", two.bytes.data(), two.bytes.size()));
    PosixZipArchive archive;
    ASSERT_EQ(archive.Open(folder.File("one.zip")), 1);
    ASSERT_EQ(archive.Open(folder.File("two.zip")), 1);
    EXPECT_EQ(archive.EntryCount(), 2u);
    EXPECT_EQ(Find(archive, "one.txt"), std::nullopt);
    EXPECT_EQ(Find(archive, "three.txt"), "3");
    EXPECT_EQ(archive.Open(folder.File("missing.zip")), 0);
    EXPECT_EQ(Find(archive, "three.txt"), std::nullopt);
}

}  // namespace
