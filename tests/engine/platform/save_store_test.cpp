#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "engine/core/crc32.h"
#include "engine/platform/data_folders.h"
#include "engine/platform/packed_block.h"
#include "engine/platform/save_blob.h"
#include "engine/platform/save_store.h"
#include "file_size_limit.h"
#include "scoped_env.h"
#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using engine::NamedSaveBlob;
using engine::SaveBlob;
using engine::SaveStore;
using Bytes = std::vector<std::uint8_t>;

constexpr int kProfileSize = 73356;

Bytes RandomBytes(std::size_t n, std::uint32_t seed) {
    std::mt19937 random(seed);
    Bytes bytes(n);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    return bytes;
}

Bytes Record(std::uint32_t version, const Bytes& payload) {
    Bytes record(8);
    const std::uint32_t checksum = engine::Crc32OfLength(payload.data(), payload.size());
    for (int i = 0; i < 4; ++i) {
        record[i] = static_cast<std::uint8_t>(version >> (8 * i));
        record[4 + i] = static_cast<std::uint8_t>(checksum >> (8 * i));
    }
    record.insert(record.end(), payload.begin(), payload.end());
    return record;
}

Bytes Pack(const Bytes& data) {
    std::uint32_t size = static_cast<std::uint32_t>(data.size());
    const auto block = engine::PackBlock(data.data(), size);
    return block ? Bytes(block.get(), block.get() + size) : Bytes{};
}

// The save files live in "<temp>/data/Tinmarch", found through XDG_DATA_HOME.
class SaveStoreTest : public ::testing::Test {
protected:
    SaveStoreTest() : dataHome_("XDG_DATA_HOME", (temp_.Path() / "data").c_str()) {
        engine::SetActiveArchiveSet(nullptr);
    }

    fs::path Folder() const { return temp_.Path() / "data" / "Tinmarch"; }
    fs::path FilePath(const std::string& name) const { return Folder() / name; }

    void WriteFile(const std::string& name, const Bytes& bytes) const {
        std::ofstream out(FilePath(name), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::optional<Bytes> ReadFile(const std::string& name) const {
        std::ifstream in(FilePath(name), std::ios::binary);
        if (!in) return std::nullopt;
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // A fresh blob on the store, loaded; returns its load state.
    int LoadState(const Bytes* expectPayload = nullptr) {
        NamedSaveBlob blob(store_);
        blob.Setup(expectPayload ? static_cast<int>(expectPayload->size()) : kProfileSize, 4);
        blob.Load();
        const int state = blob.TakeState();
        if (expectPayload != nullptr && state == SaveBlob::kLoaded) {
            EXPECT_EQ(Bytes(blob.GetPayload(), blob.GetPayload() + expectPayload->size()), *expectPayload);
        }
        return state;
    }

    // Saves the payload through a new blob; returns the result word.
    int SavePayload(const Bytes& payload) {
        NamedSaveBlob blob(store_);
        blob.Setup(static_cast<int>(payload.size()), 4);
        if (!blob.ResetBuffer()) return 0;
        std::copy(payload.begin(), payload.end(), blob.GetPayload());
        blob.Save();
        return blob.GetError();
    }

    testsupport::TempFolder temp_;
    platformtest::ScopedEnv dataHome_;
    SaveStore store_;
};

TEST_F(SaveStoreTest, InitUserFolderCreatesAPrivateFolderAndReadsTheName) {
    ASSERT_TRUE(store_.InitUserFolder([] { return engine::UserAccount{true, "ada", "/nowhere"}; }));
    EXPECT_EQ(store_.Folder(), Folder().string());
    struct stat info {};
    ASSERT_EQ(::stat(Folder().c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_TRUE(store_.UserName().EqualsNarrow("ada"));
    EXPECT_EQ(store_.NamedPath("savedata"), (Folder() / "savedata.sav").string());

    // Again on the existing folder, without an account.
    SaveStore again;
    EXPECT_TRUE(again.InitUserFolder([] { return engine::UserAccount{}; }));
    EXPECT_TRUE(again.UserName().EqualsNarrow("Player"));
}

TEST_F(SaveStoreTest, WithoutAFolderNothingLoadsAndSavesFail) {
    platformtest::ScopedEnv xdg("XDG_DATA_HOME", "relative");
    platformtest::ScopedEnv home("HOME", nullptr);
    EXPECT_FALSE(store_.InitUserFolder([] { return engine::UserAccount{}; }));
    EXPECT_EQ(store_.NamedPath("savedata"), "");
    EXPECT_FALSE(store_.SaveNamed("savedata", "abc", 3));
    std::uint32_t size = 9;
    engine::FileLoad outcome = engine::FileLoad::kLoaded;
    EXPECT_EQ(store_.LoadNamed("savedata", size, outcome), nullptr);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(outcome, engine::FileLoad::kMissing);
}

TEST_F(SaveStoreTest, SaveDataIsOneExactPackedRecordAndLoadsBack) {
    ASSERT_TRUE(store_.InitUserFolder());
    const Bytes payload = RandomBytes(kProfileSize, 1);
    ASSERT_EQ(SavePayload(payload), SaveBlob::kSaved);

    const std::optional<Bytes> file = ReadFile("savedata.sav");
    ASSERT_TRUE(file.has_value());
    std::uint32_t size = 0;
    const auto unpacked = engine::UnpackBlock(file->data(), file->size(), size);
    ASSERT_NE(unpacked, nullptr);
    EXPECT_EQ(Bytes(unpacked.get(), unpacked.get() + size), Record(4, payload));
    EXPECT_FALSE(fs::exists(FilePath("savedata.sav.tmp")));

    EXPECT_EQ(LoadState(&payload), SaveBlob::kLoaded);
}

TEST_F(SaveStoreTest, AnOldVersionIsKeptBesideTheFileBeforeItIsReplaced) {
    ASSERT_TRUE(store_.InitUserFolder());
    EXPECT_FALSE(store_.KeepNamedVersion("savedata", 2)) << "no file to keep";
    const Bytes old = RandomBytes(300, 5);
    ASSERT_EQ(SavePayload(old), SaveBlob::kSaved);
    const std::optional<Bytes> file = ReadFile("savedata.sav");
    ASSERT_TRUE(file);
    EXPECT_TRUE(store_.KeepNamedVersion("savedata", 2));
    ASSERT_EQ(SavePayload(RandomBytes(300, 6)), SaveBlob::kSaved);
    EXPECT_EQ(ReadFile("savedata.sav.v2"), file);
    EXPECT_NE(ReadFile("savedata.sav"), file);
}

TEST_F(SaveStoreTest, NamedFilesRoundTripAndTellMissingFromUnreadable) {
    ASSERT_TRUE(store_.InitUserFolder());
    const Bytes data = RandomBytes(5000, 2);
    ASSERT_TRUE(store_.SaveNamed("other", data.data(), static_cast<std::uint32_t>(data.size())));
    EXPECT_TRUE(fs::exists(FilePath("other.sav")));
    std::uint32_t size = 0;
    engine::FileLoad outcome = engine::FileLoad::kMissing;
    const auto loaded = store_.LoadNamed("other", size, outcome);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(outcome, engine::FileLoad::kLoaded);
    EXPECT_EQ(Bytes(loaded.get(), loaded.get() + size), data);

    EXPECT_EQ(store_.LoadNamed("absent", size, outcome), nullptr);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(outcome, engine::FileLoad::kMissing);
    WriteFile("empty.sav", {});
    EXPECT_EQ(store_.LoadNamed("empty", size, outcome), nullptr);
    EXPECT_EQ(outcome, engine::FileLoad::kMissing) << "an empty file holds nothing to keep";
    WriteFile("broken.sav", Bytes{1, 2, 3});
    EXPECT_EQ(store_.LoadNamed("broken", size, outcome), nullptr);
    EXPECT_EQ(outcome, engine::FileLoad::kUnreadable);

    EXPECT_FALSE(store_.SaveNamed("zero", data.data(), 0));
    EXPECT_FALSE(fs::exists(FilePath("zero.sav")));
}

// A profile file that is there but cannot be read or unpacked is no first start: it is set aside with its
// bytes as they were, and only then does a save write the defaults.
TEST_F(SaveStoreTest, FileThatDoesNotUnpackIsSetAsideBeforeTheNextSave) {
    ASSERT_TRUE(store_.InitUserFolder());
    const Bytes payload = RandomBytes(300, 3);
    const Bytes whole = Pack(Record(4, RandomBytes(kProfileSize, 10)));
    // The zlib stream starts after the two sizes; a run of its bytes overwritten breaks the deflate data.
    Bytes brokenStream = whole;
    for (std::size_t i = 20; i < 60 && i < brokenStream.size(); ++i) brokenStream[i] = 0xFF;
    struct Case {
        const char* name;
        Bytes contents;
    };
    const Case cases[] = {
        {"three bytes", Bytes{1, 2, 3}},
        {"random bytes", RandomBytes(400, 4)},
        {"a record that was never packed", Record(4, payload)},
        {"a packed profile cut to 120 bytes", Bytes(whole.begin(), whole.begin() + 120)},
        {"a packed profile cut one byte short", Bytes(whole.begin(), whole.end() - 1)},
        {"a broken deflate stream", brokenStream},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(FilePath("savedata.sav.bad"));
        WriteFile("savedata.sav", c.contents);
        EXPECT_EQ(LoadState(&payload), SaveBlob::kBadFile);
        EXPECT_FALSE(fs::exists(FilePath("savedata.sav")));
        EXPECT_EQ(ReadFile("savedata.sav.bad"), c.contents);
        EXPECT_EQ(LoadState(&payload), SaveBlob::kNoFile);
        ASSERT_EQ(SavePayload(payload), SaveBlob::kSaved);
        EXPECT_EQ(LoadState(&payload), SaveBlob::kLoaded);
        EXPECT_EQ(ReadFile("savedata.sav.bad"), c.contents) << "the save leaves the set-aside copy alone";
    }

    // An empty file holds nothing: it is a first start and the save replaces it.
    WriteFile("savedata.sav", {});
    fs::remove(FilePath("savedata.sav.bad"));
    EXPECT_EQ(LoadState(&payload), SaveBlob::kNoFile);
    EXPECT_FALSE(fs::exists(FilePath("savedata.sav.bad")));
}

// What cannot be opened at all: a folder where the file should be (for every user), and a file of mode 000
// (for anyone but root, who reads it anyway).
TEST_F(SaveStoreTest, FileThatCannotBeOpenedIsSetAsideToo) {
    ASSERT_TRUE(store_.InitUserFolder());
    fs::create_directory(FilePath("savedata.sav"));
    WriteFile("savedata.sav/inside", Bytes{4, 5});
    EXPECT_EQ(LoadState(), SaveBlob::kBadFile);
    EXPECT_FALSE(fs::exists(FilePath("savedata.sav")));
    EXPECT_EQ(ReadFile("savedata.sav.bad/inside"), (Bytes{4, 5}));
    fs::remove_all(FilePath("savedata.sav.bad"));

    if (::geteuid() == 0) GTEST_SKIP() << "root reads a file of mode 000";
    const Bytes file = Pack(Record(4, RandomBytes(kProfileSize, 11)));
    WriteFile("savedata.sav", file);
    ASSERT_EQ(::chmod(FilePath("savedata.sav").c_str(), 0), 0);
    EXPECT_EQ(LoadState(), SaveBlob::kBadFile);
    EXPECT_FALSE(fs::exists(FilePath("savedata.sav")));
    ASSERT_EQ(::chmod(FilePath("savedata.sav.bad").c_str(), 0600), 0);
    EXPECT_EQ(ReadFile("savedata.sav.bad"), file);
}

// A damaged file that cannot be moved aside (a folder with something in it stands where the copy goes, so
// the rename fails for root too) stays as it was: every save through the blob is refused.
TEST_F(SaveStoreTest, DamagedFileThatCannotBeMovedIsNeverWrittenOver) {
    ASSERT_TRUE(store_.InitUserFolder());
    const Bytes whole = Pack(Record(4, RandomBytes(kProfileSize, 12)));
    const Bytes cut(whole.begin(), whole.begin() + 120);
    WriteFile("savedata.sav", cut);
    fs::create_directory(FilePath("savedata.sav.bad"));
    WriteFile("savedata.sav.bad/keep", Bytes{1});

    NamedSaveBlob blob(store_);
    blob.Setup(kProfileSize, 4);
    blob.Load();
    EXPECT_EQ(blob.TakeState(), SaveBlob::kBadFile);
    EXPECT_EQ(blob.GetError(), SaveBlob::kFoundBadFile);
    EXPECT_TRUE(blob.IsDamagedFileInPlace());
    blob.Save();
    EXPECT_EQ(blob.GetError(), SaveBlob::kSaveFailed);
    EXPECT_EQ(ReadFile("savedata.sav"), cut);
    EXPECT_FALSE(fs::exists(FilePath("savedata.sav.tmp")));

    // Once the way is clear, the next load moves it aside and saves go through again.
    fs::remove_all(FilePath("savedata.sav.bad"));
    blob.Load();
    EXPECT_EQ(blob.TakeState(), SaveBlob::kBadFile);
    EXPECT_FALSE(blob.IsDamagedFileInPlace());
    EXPECT_EQ(ReadFile("savedata.sav.bad"), cut);
    blob.Load();
    EXPECT_EQ(blob.TakeState(), SaveBlob::kNoFile);
    blob.Save();
    EXPECT_EQ(blob.GetError(), SaveBlob::kSaved);
}

TEST_F(SaveStoreTest, DamagedFileIsSetAsideAndTheReloadLoopEnds) {
    ASSERT_TRUE(store_.InitUserFolder());
    WriteFile("savedata.sav.bad", Bytes{9, 9, 9});
    Bytes record = Record(4, RandomBytes(kProfileSize, 5));
    record[1000] ^= 0x10;
    const Bytes damaged = Pack(record);
    WriteFile("savedata.sav", damaged);

    NamedSaveBlob blob(store_);
    blob.Setup(kProfileSize, 4);
    int loads = 0;
    int state = 0;
    do {
        blob.Load();
        ++loads;
        state = blob.TakeState();
        if (loads == 1) {
            EXPECT_EQ(state, SaveBlob::kBadFile);
            EXPECT_EQ(blob.GetError(), SaveBlob::kFoundBadFile);
        }
    } while (state == SaveBlob::kBadFile && blob.GetError() == SaveBlob::kFoundBadFile && loads < 10);
    EXPECT_EQ(loads, 2);
    EXPECT_EQ(state, SaveBlob::kNoFile);
    EXPECT_FALSE(fs::exists(FilePath("savedata.sav")));
    EXPECT_EQ(ReadFile("savedata.sav.bad"), damaged);

    // Defaults are saved as a new file; the bad one is kept.
    blob.Save();
    EXPECT_EQ(blob.GetError(), SaveBlob::kSaved);
    EXPECT_EQ(ReadFile("savedata.sav.bad"), damaged);
    EXPECT_EQ(LoadState(), SaveBlob::kLoaded);
}

TEST_F(SaveStoreTest, DamagedFileNamedInAnotherCaseIsSetAsideToo) {
    ASSERT_TRUE(store_.InitUserFolder());
    WriteFile("SaveData.SAV", Pack(Bytes{1, 2, 3, 4, 5}));
    EXPECT_EQ(LoadState(), SaveBlob::kBadFile);
    EXPECT_FALSE(fs::exists(FilePath("SaveData.SAV")));
    EXPECT_TRUE(fs::exists(FilePath("SaveData.SAV.bad")));
    EXPECT_EQ(LoadState(), SaveBlob::kNoFile);
}

TEST_F(SaveStoreTest, FailedWritesGiveResultFourAndKeepTheOldFile) {
    ASSERT_TRUE(store_.InitUserFolder());
    const Bytes oldPayload = RandomBytes(700, 6);
    ASSERT_EQ(SavePayload(oldPayload), SaveBlob::kSaved);
    const Bytes oldFile = *ReadFile("savedata.sav");
    const Bytes newPayload = RandomBytes(700, 7);

    // A folder where the temporary file goes.
    fs::create_directory(FilePath("savedata.sav.tmp"));
    EXPECT_EQ(SavePayload(newPayload), SaveBlob::kSaveFailed);
    EXPECT_EQ(ReadFile("savedata.sav"), oldFile);
    EXPECT_EQ(LoadState(&oldPayload), SaveBlob::kLoaded);
    fs::remove(FilePath("savedata.sav.tmp"));

    // Writes that stop after n bytes, for every n short of the whole file.
    std::uint32_t fileSize = static_cast<std::uint32_t>(newPayload.size() + 8);
    ASSERT_NE(engine::PackBlock(Record(4, newPayload).data(), fileSize), nullptr);
    for (std::uint32_t n = 0; n < fileSize; ++n) {
        int result = 0;
        {
            datatest::FileSizeLimit limit(n);
            ASSERT_TRUE(limit.Active());
            result = SavePayload(newPayload);
        }
        ASSERT_EQ(result, SaveBlob::kSaveFailed) << n;
        ASSERT_EQ(ReadFile("savedata.sav"), oldFile) << n;
    }
    EXPECT_EQ(LoadState(&oldPayload), SaveBlob::kLoaded);
    EXPECT_FALSE(fs::exists(FilePath("savedata.sav.tmp")));

    // With room for the whole file the save goes through.
    {
        datatest::FileSizeLimit limit(fileSize);
        ASSERT_TRUE(limit.Active());
        EXPECT_EQ(SavePayload(newPayload), SaveBlob::kSaved);
    }
    EXPECT_EQ(LoadState(&newPayload), SaveBlob::kLoaded);
}

TEST_F(SaveStoreTest, ProfileSizedWriteFailingPartWayKeepsTheOldFile) {
    ASSERT_TRUE(store_.InitUserFolder());
    const Bytes oldPayload = RandomBytes(kProfileSize, 8);
    ASSERT_EQ(SavePayload(oldPayload), SaveBlob::kSaved);
    const Bytes oldFile = *ReadFile("savedata.sav");
    const Bytes newPayload = RandomBytes(kProfileSize, 9);
    std::uint32_t fileSize = kProfileSize + 8;
    ASSERT_NE(engine::PackBlock(Record(4, newPayload).data(), fileSize), nullptr);
    for (std::uint32_t n : {0u, 1u, 7u, 8u, 4095u, 4096u, 4097u, fileSize / 2, fileSize - 8, fileSize - 1}) {
        int result = 0;
        {
            datatest::FileSizeLimit limit(n);
            ASSERT_TRUE(limit.Active());
            result = SavePayload(newPayload);
        }
        EXPECT_EQ(result, SaveBlob::kSaveFailed) << n;
        EXPECT_EQ(ReadFile("savedata.sav"), oldFile) << n;
    }
    EXPECT_EQ(LoadState(&oldPayload), SaveBlob::kLoaded);
}

}  // namespace
