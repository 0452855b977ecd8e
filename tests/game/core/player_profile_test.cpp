// The profile record: defaults, field layout, the load and save states, upgrades and campaign entries.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/core/crc32.h"
#include "engine/platform/memory_save_store.h"
#include "engine/platform/save_blob.h"
#include "game/core/player_profile.h"

namespace {

using game::PlayerProfile;
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kSize = 73356;

void Put32(Bytes& bytes, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
std::uint32_t Get32(const Bytes& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= std::uint32_t{bytes[at + i]} << (8 * i);
    return v;
}
void PutText(Bytes& bytes, std::size_t at, const char* text) { std::memcpy(&bytes[at], text, std::strlen(text)); }

// A whole file: version, checksum, payload.
Bytes FileOf(std::uint32_t version, const Bytes& payload) {
    Bytes file(8);
    Put32(file, 0, version);
    Put32(file, 4, engine::Crc32OfLength(payload.data(), payload.size()));
    file.insert(file.end(), payload.begin(), payload.end());
    return file;
}
Bytes PayloadOf(const Bytes& file) { return Bytes(file.begin() + 8, file.end()); }

// The record of the defaults, written out field by field.
Bytes DefaultRecord() {
    Bytes r(kSize, 0);
    Put32(r, 0, 40);
    Put32(r, 4, 80);
    Put32(r, 12, 0x33);
    PutText(r, 36, "Campaigns\\Skirmish\\CloseQuarters");
    Put32(r, 424, 2);
    PutText(r, 452, "Standard");
    PutText(r, 484, "Pack1");
    PutText(r, 516, "Standard");
    return r;
}

class ProfileTest : public ::testing::Test {
protected:
    const Bytes* File() const { return store.Find("savedata.sav"); }
    Bytes Record() const { return Bytes(profile.GetData(), profile.GetData() + kSize); }
    // Loads and polls as the game's loading state does, saving on a first start; the polls taken.
    int SettleAsGameDoes() {
        profile.StartLoad();
        for (int poll = 1; poll <= 16; ++poll) {
            const int state = profile.Poll();
            if (state == game::kProfileNoFile) profile.Save();
            if (state == game::kProfileIdle) return poll;
        }
        return -1;
    }

    engine::MemorySaveStore store;
    engine::NamedSaveBlob blob{store};
    PlayerProfile profile{blob, store};
};

TEST_F(ProfileTest, DefaultsAndClampedDifficulty) {
    profile.ResetDefaults();
    EXPECT_EQ(Record(), DefaultRecord());
    EXPECT_EQ(profile.GetOptionFlags(), 0x33u);
    EXPECT_EQ(profile.GetSpeechPackName(0), "Pack1");
    EXPECT_EQ(profile.GetSpeechPackName(1), "Standard");
    EXPECT_EQ(profile.GetDefaultMapName(), "Campaigns\\Skirmish\\CloseQuarters");
    const std::pair<int, int> cases[] = {{7, 3}, {-1, 0}, {2, 2}, {3, 3}};
    for (auto [stored, got] : cases) {
        profile.SetDifficulty(stored);
        EXPECT_EQ(profile.GetDifficulty(), got) << stored;
    }
}

TEST_F(ProfileTest, MarkerInEveryFieldWritesTheHandWrittenRecord) {
    profile.ResetDefaults();
    profile.SetMusicVolume(11);
    profile.SetEffectsVolume(12);
    profile.SetOptionFlags(0xA5);
    profile.SetMatchOptions({101, 102, 103, 104});
    profile.SetDefaultMapName("Maps\\Marker");
    profile.SetEarnedMaskLow(0x80000001u);
    profile.SetEarnedMaskHigh(0x00010002u);
    profile.IncKills();
    profile.IncSkirmishWins();
    profile.IncSkirmishWins();
    profile.IncSniperKills();
    profile.AddTotalIncome(123456);
    profile.SetGameType(2);
    profile.SetDifficulty(3);
    profile.SetCurrentCampaignName("Marker");
    profile.SetSpeechPackName(0, "Pack3");
    profile.SetSpeechPackName(1, "Pack4");
    profile.SetStartCount(9);
    profile.SetMissionResult(19, 2, 5);  // entry 0, difficulty 3, mission 19

    Bytes expected = DefaultRecord();
    Put32(expected, 0, 11);
    Put32(expected, 4, 12);
    Put32(expected, 12, 0xA5);
    for (int i = 0; i < 4; ++i) Put32(expected, 16 + 4 * i, 101 + i);
    std::memset(&expected[36], 0, 128);
    PutText(expected, 36, "Maps\\Marker");
    Put32(expected, 164, 0x80000001u);
    Put32(expected, 168, 0x00010002u);
    Put32(expected, 428, 1);
    Put32(expected, 432, 2);
    Put32(expected, 436, 1);
    Put32(expected, 440, 123456);
    Put32(expected, 444, 2);
    Put32(expected, 448, 3);
    std::memset(&expected[452], 0, 96);
    PutText(expected, 452, "Marker");
    PutText(expected, 484, "Pack3");
    PutText(expected, 516, "Pack4");
    Put32(expected, 552, 9);
    PutText(expected, 556, "Marker");
    Put32(expected, 556 + 32 + 3 * 160 + 19 * 8, 2);
    Put32(expected, 556 + 32 + 3 * 160 + 19 * 8 + 4, 5);
    EXPECT_EQ(Record(), expected);

    // And back: a fresh profile over the written file reads every field.
    profile.Save();
    engine::NamedSaveBlob otherBlob{store};
    PlayerProfile other{otherBlob, store};
    other.StartLoad();
    EXPECT_EQ(other.Poll(), game::kProfileIdle);
    EXPECT_EQ(Bytes(other.GetData(), other.GetData() + kSize), expected);
    EXPECT_EQ(other.GetMatchOptions(), (std::array<int, 4>{101, 102, 103, 104}));
    EXPECT_EQ(other.GetTotalIncome(), 123456u);
    EXPECT_EQ(other.GetMissionResult(3, 19).value, 2);
    EXPECT_EQ(other.GetMissionResult(3, 19).second, 5);
}

TEST_F(ProfileTest, TextsAreCutToTheFieldAndAlwaysTerminated) {
    profile.SetSpeechPackName(1, std::string(40, 'x'));
    EXPECT_EQ(profile.GetSpeechPackName(1), std::string(31, 'x'));
    EXPECT_EQ(profile.GetData()[516 + 31], 0);
    // An unterminated field is read within the field.
    std::memset(profile.GetData() + 484, 'y', 32);
    EXPECT_EQ(profile.GetSpeechPackName(0), std::string(32, 'y'));
}

TEST_F(ProfileTest, UnsafeStoredFoldersTakeTheirDefaults) {
    for (const char* bad : {"/etc/x", "\\root", "Campaigns\\..\\x", "..", "C:\\x", ""}) {
        profile.SetDefaultMapName(bad);
        profile.SetCurrentCampaignName(bad);
        EXPECT_EQ(profile.GetDefaultMapName(), "Campaigns\\Skirmish\\CloseQuarters") << bad;
        EXPECT_EQ(profile.GetCurrentCampaignName(), "Standard") << bad;
    }
    profile.SetDefaultMapName("Campaigns\\Skirmish\\Two..Dots");
    EXPECT_EQ(profile.GetDefaultMapName(), "Campaigns\\Skirmish\\Two..Dots");
}

TEST_F(ProfileTest, SaveWritesOnlyWhenChanged) {
    profile.SetStartCount(1);
    profile.Save();
    ASSERT_NE(File(), nullptr);
    EXPECT_FALSE(profile.IsDirty());
    EXPECT_EQ(profile.Poll(), game::kProfileIdle);
    store.Put("savedata.sav", {1, 2, 3});
    profile.Save();
    EXPECT_EQ(*File(), (Bytes{1, 2, 3}));
    EXPECT_EQ(profile.GetState(), game::kProfileIdle);
}

// Each start as the loading state drives it settles within four polls and leaves a loadable file.
TEST_F(ProfileTest, SettlesFromNoFileAndFromADamagedFile) {
    struct Case {
        const char* name;
        Bytes file;  // empty: none
    };
    Bytes badChecksum = FileOf(4, Bytes(kSize, 7));
    badChecksum[4] ^= 1;
    const Case cases[] = {
        {"no file", {}},
        {"bad checksum", badChecksum},
        {"short", {1, 2, 3}},
        {"right version, wrong size", FileOf(4, Bytes(100, 0))},
    };
    for (const Case& c : cases) {
        engine::MemorySaveStore s;
        if (!c.file.empty()) s.Put("savedata.sav", c.file);
        engine::NamedSaveBlob b{s};
        PlayerProfile p{b, s};
        p.StartLoad();
        int polls = 0;
        int state = 0;
        while (state != game::kProfileIdle && polls < 16) {
            state = p.Poll();
            ++polls;
            if (state == game::kProfileNoFile) p.Save();
        }
        EXPECT_LE(polls, 4) << c.name;
        EXPECT_EQ(Bytes(p.GetData(), p.GetData() + kSize), DefaultRecord()) << c.name;
        ASSERT_NE(s.Find("savedata.sav"), nullptr) << c.name;
        EXPECT_EQ(PayloadOf(*s.Find("savedata.sav")), DefaultRecord()) << c.name;
        EXPECT_EQ(s.Find("savedata.sav.bad") != nullptr, !c.file.empty()) << c.name;
    }
}

// A store that cannot set the damaged file aside: it loads the same damaged bytes every time.
class StuckStore final : public engine::SaveStoreBase {
public:
    std::unique_ptr<std::uint8_t[]> LoadNamed(const char*, std::uint32_t& size, engine::FileLoad& outcome) override {
        size = 16;
        outcome = engine::FileLoad::kLoaded;
        auto bytes = std::make_unique<std::uint8_t[]>(size);
        std::memset(bytes.get(), 0xAB, size);
        ++loads;
        return bytes;
    }
    bool SaveNamed(const char*, const void*, std::uint32_t) override {
        ++saves;
        return true;
    }
    bool SetAsideNamed(const char*) override { return false; }
    bool KeepNamedVersion(const char*, std::uint32_t) override { return false; }
    int loads = 0;
    int saves = 0;
};

// The damaged file cannot be moved aside: the profile settles on the defaults at once and never writes, so the
// player's file is still there to be mended.
TEST(ProfileStuckFile, ADamagedFileThatStaysGivesTheDefaultsAndIsNeverWrittenOver) {
    StuckStore store;
    engine::NamedSaveBlob blob{store};
    PlayerProfile profile{blob, store};
    std::vector<std::pair<int, int>> applied;
    profile.SetVolumeListener([&](int effects, int music) { applied.emplace_back(effects, music); });
    profile.StartLoad();
    int polls = 0;
    int state = 0;
    while (state != game::kProfileIdle && polls < 16) {
        state = profile.Poll();
        ++polls;
        if (state == game::kProfileNoFile) profile.Save();
    }
    EXPECT_EQ(state, game::kProfileIdle);
    EXPECT_LE(polls, 3);
    EXPECT_EQ(store.loads, 1) << "no new load of a file that is still there";
    EXPECT_EQ(Bytes(profile.GetData(), profile.GetData() + kSize), DefaultRecord());
    EXPECT_EQ(applied, (std::vector<std::pair<int, int>>{{80, 40}}));
    profile.SetStartCount(3);
    profile.Save();
    EXPECT_EQ(store.saves, 0);
    EXPECT_EQ(profile.GetStartCount(), 3) << "the run goes on in memory";
}

TEST_F(ProfileTest, AFailedWriteStaysDirtyAndKeepsTheOldFile) {
    profile.SetStartCount(1);
    profile.Save();
    const Bytes old = *File();
    store.SetFailWrites(true);
    profile.SetStartCount(2);
    profile.Save();
    EXPECT_EQ(profile.Poll(), game::kProfileIdle);
    EXPECT_TRUE(profile.IsDirty());
    EXPECT_EQ(*File(), old);
    // The next save tries again.
    store.SetFailWrites(false);
    profile.Save();
    EXPECT_FALSE(profile.IsDirty());
    EXPECT_EQ(Get32(PayloadOf(*File()), 552), 2u);
}

TEST_F(ProfileTest, AStoredRecordLoadsWithItsVolumesApplied) {
    Bytes record = DefaultRecord();
    Put32(record, 0, 17);
    Put32(record, 4, 93);
    store.Put("savedata.sav", FileOf(4, record));
    std::vector<std::pair<int, int>> applied;
    profile.SetVolumeListener([&](int effects, int music) { applied.emplace_back(effects, music); });
    EXPECT_EQ(SettleAsGameDoes(), 1);
    EXPECT_EQ(applied, (std::vector<std::pair<int, int>>{{93, 17}}));
    EXPECT_FALSE(profile.IsDirty());
}

// Versions 2 and 3 carry their first nine ints (volumes clamped); every other old record gives the
// defaults. Each keeps the old file beside the new one.
TEST_F(ProfileTest, OldVersionsUpgrade) {
    Bytes nine(36, 0);
    Put32(nine, 0, 250);  // music, clamped to 100
    Put32(nine, 4, 55);
    Put32(nine, 8, 66);
    Put32(nine, 12, 0x81);
    for (int i = 0; i < 4; ++i) Put32(nine, 16 + 4 * i, 500 + i);
    Put32(nine, 32, 77);
    struct Case {
        std::uint32_t version;
        std::size_t size;
        bool carries;
    };
    const Case cases[] = {{2, 36, true}, {3, 3244, true}, {1, 1000, false}, {5, 3244, false}, {2, 20, false}};
    for (const Case& c : cases) {
        Bytes payload(c.size, 0x5A);
        std::memcpy(payload.data(), nine.data(), std::min<std::size_t>(36, c.size));
        engine::MemorySaveStore s;
        s.Put("savedata.sav", FileOf(c.version, payload));
        engine::NamedSaveBlob b{s};
        PlayerProfile p{b, s};
        p.StartLoad();
        EXPECT_EQ(p.Poll(), game::kProfileIdle) << c.version;
        Bytes expected = DefaultRecord();
        if (c.carries) {
            std::memcpy(expected.data(), nine.data(), 36);
            Put32(expected, 0, 100);
        }
        EXPECT_EQ(Bytes(p.GetData(), p.GetData() + kSize), expected) << c.version << " " << c.size;
        const Bytes* kept = s.Find("savedata.sav.v" + std::to_string(c.version));
        ASSERT_NE(kept, nullptr) << c.version;
        EXPECT_EQ(*kept, FileOf(c.version, payload));
        EXPECT_TRUE(p.IsDirty());
        p.Save();
        EXPECT_EQ(Get32(*s.Find("savedata.sav"), 0), 4u);
    }
}

TEST_F(ProfileTest, CampaignEntriesAreFoundByNameBeforeAFreeOneIsClaimed) {
    profile.ResetDefaults();
    // Entries ["", "A"]: the result goes to entry 1 and entry 0 stays free.
    std::memcpy(profile.GetData() + 556 + 672, "A", 2);
    profile.SetCurrentCampaignName("A");
    profile.SetMissionResult(4, 1, 3);
    Bytes record = Record();
    EXPECT_EQ(record[556], 0);
    EXPECT_EQ(Get32(record, 556 + 672 + 32 + 4 * 8), 1u);
    EXPECT_EQ(Get32(record, 556 + 32 + 4 * 8), 0u);
    EXPECT_EQ(profile.GetMissionResult(0, 4).value, 1);

    // Four other names held: a fifth campaign records nothing and reads zeros.
    for (int entry = 0; entry < 4; ++entry) {
        const std::string name = "C" + std::to_string(entry);
        std::memcpy(profile.GetData() + 556 + 672 * entry, name.c_str(), name.size() + 1);
    }
    profile.SetCurrentCampaignName("Fifth");
    record = Record();
    profile.SetMissionResult(0, 1, 9);
    EXPECT_EQ(Record(), record);
    EXPECT_EQ(profile.FindCampaignEntry(true), -1);
    EXPECT_EQ(profile.GetMissionResult(0, 0).value, 0);
}

}  // namespace
