// Saved games in the profile: the slot's byte layout, saving a running battle and resuming it through the
// level, and every field check of a damaged slot.
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

#include "engine/platform/memory_save_store.h"
#include "engine/platform/save_blob.h"
#include "game/core/player_profile.h"
#include "game/core/slot_record.h"
#include "game_fixture.h"

namespace core_test {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void Put16(Bytes& b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void PutFloat(Bytes& b, std::size_t at, float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, 4);
    Put32(b, at, bits);
}
void PutText(Bytes& b, std::size_t at, const char* text) { std::memcpy(&b[at], text, std::strlen(text)); }

TEST(SlotRecordTest, MarkersInEveryFieldWriteTheHandWrittenRecordAndReadBack) {
    GameSlot slot;
    slot.inUse = 1;
    slot.folder = "Campaigns\\Marker";
    slot.missionIndex = 7;
    slot.currentTeam = 1;
    slot.day = 12;
    slot.lastDaySeen = 11;
    slot.nextUnitId = 99;
    slot.teamCount = 2;
    slot.focusHex = MakeHexCoord(5, 6);
    slot.teamKind = {1, 4, 0, 0, 0};
    slot.liveUnits = {1, 0, 0, 0, 0};
    SavedUnit& u = slot.units[1][47];
    u = {17, 42, MakeHexCoord(3, 4), 5, 43, 44, 0.5f, 2.25f, 1, 2, 3, 4, 7.5f, 6, 1};
    slot.cash = {100, 200, 300, 400, 500};
    slot.structures[63] = {6, 4, MakeHexCoord(9, 10), 0.75f, 1};
    slot.helpIcons[15] = {"HELP_KEY", MakeHexCoord(11, 12), 13};
    slot.markedTiles[59] = MakeHexCoord(14, 15);
    slot.gameMode = 0;
    slot.description = "Desc";
    slot.title = "Title";
    slot.date = "Jan 05 07:09";
    slot.matchOptions = {1, 2, 3, 4};
    slot.killCount = {5, 6, 7, 8, 9};
    slot.difficulty = 3;

    Bytes expected(17528, 0);
    Put32(expected, 0, 1);
    PutText(expected, 4, "Campaigns\\Marker");
    Put32(expected, 132, 7);
    Put32(expected, 136, 1);
    Put32(expected, 140, 12);
    Put32(expected, 144, 11);
    Put32(expected, 148, 99);
    Put32(expected, 152, 2);
    Put16(expected, 156, 5);
    Put16(expected, 158, 6);
    Put32(expected, 160, 1);
    Put32(expected, 164, 4);
    Put32(expected, 180, 1);
    const std::size_t unit = 200 + 1 * 2880 + 47 * 60;
    const std::uint32_t ints[] = {17, 42, 3 | (4u << 16), 5, 43, 44};
    for (int i = 0; i < 6; ++i) Put32(expected, unit + 4 * i, ints[i]);
    PutFloat(expected, unit + 24, 0.5f);
    PutFloat(expected, unit + 28, 2.25f);
    Put32(expected, unit + 32, 1);
    Put32(expected, unit + 36, 2);
    Put32(expected, unit + 40, 3);
    Put32(expected, unit + 44, 4);
    PutFloat(expected, unit + 48, 7.5f);
    Put32(expected, unit + 52, 6);
    Put32(expected, unit + 56, 1);
    for (int i = 0; i < 5; ++i) Put32(expected, 14600 + 4 * i, 100 * (i + 1));
    const std::size_t structure = 14620 + 63 * 20;
    Put32(expected, structure, 6);
    Put32(expected, structure + 4, 4);
    Put32(expected, structure + 8, 9 | (10u << 16));
    PutFloat(expected, structure + 12, 0.75f);
    Put32(expected, structure + 16, 1);
    const std::size_t icon = 15900 + 15 * 72;
    PutText(expected, icon, "HELP_KEY");
    Put16(expected, icon + 64, 11);
    Put16(expected, icon + 66, 12);
    Put32(expected, icon + 68, 13);
    for (int i = 0; i < 59; ++i) Put32(expected, 17052 + 4 * i, 0xFFFFFFFFu);
    Put32(expected, 17052 + 59 * 4, 14 | (15u << 16));
    PutText(expected, 17296, "Desc");
    PutText(expected, 17360, "Title");
    PutText(expected, 17424, "Jan 05 07:09");
    for (int i = 0; i < 4; ++i) Put32(expected, 17488 + 4 * i, i + 1);
    for (int i = 0; i < 5; ++i) Put32(expected, 17504 + 4 * i, i + 5);
    Put32(expected, 17524, 3);

    Bytes written(17528, 0xCC);
    WriteSlotRecord(slot, written.data());
    for (std::size_t i = 0; i < written.size(); ++i) {
        ASSERT_EQ(written[i], expected[i]) << "byte " << i;
    }

    GameSlot back;
    ASSERT_TRUE(ReadSlotRecord(expected.data(), back));
    Bytes again(17528, 0);
    WriteSlotRecord(back, again.data());
    EXPECT_EQ(again, expected);
    EXPECT_EQ(back.units[1][47].fuel, 7.5f);
    EXPECT_EQ(back.helpIcons[15].text, "HELP_KEY");
}

TEST(SlotRecordTest, AHelpIconKeyIsCutTo63Characters) {
    GameSlot slot;
    slot.helpIcons[0].text = std::string(70, 'K');
    Bytes bytes(17528, 0xCC);
    WriteSlotRecord(slot, bytes.data());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[15900])), std::string(63, 'K'));
}

// A real profile over a memory store, attached to the game over the recording fakes.
class ProfileSlotsTest : public GameTest {
protected:
    ProfileSlotsTest() { parts.profile = &real; }
    void SetUp() override {
        GameTest::SetUp();
        real.AttachGame(game.get());
        real.SetMatchOptions({1000, 1000, 0, 0});
    }
    void LoadLevel(int state, const char* lines) {
        WriteMap("Map", lines);
        real.SetDefaultMapName("Levels/Map");
        platform.onFrame = [this](int) { game->RequestQuit(); };
        game->SetState(state);
        platform.delta = 0.0f;
        game->RunMainLoop();
        ASSERT_NE(game->GetLevel(), nullptr);
        ASSERT_NE(game->GetTeamManager(), nullptr);
    }
    Bytes SlotBytes(int n) {
        const std::uint8_t* at = real.GetData() + 3244 + static_cast<std::size_t>(n) * 17528;
        return Bytes(at, at + 17528);
    }

    engine::MemorySaveStore store;
    engine::NamedSaveBlob blob{store};
    PlayerProfile real{blob, store};
};

const char* const kBattle =
    "structure C2 6 owner 1\nstructure H2 5 owner 1\nstructure G2 1\n"
    "structure C6 6 owner 4\nunit A1 17 owner 1\nunit B1 17 owner 1\nunit A9 17 owner 4\n";

TEST_F(ProfileSlotsTest, SkirmishAndPassAndPlaySlotsNameTheirMode) {
    struct Case {
        int state;
        int mode;
        const char* description;
    };
    for (const Case& c : {Case{kGameLoadSkirmish, 2, "Skirmish"}, Case{kGameLoadPassAndPlay, 1, "Pass & Play"}}) {
        LoadLevel(c.state, kBattle);
        real.SaveGameToSlot(1);
        GameSlot slot;
        ASSERT_TRUE(real.ReadGameSlot(1, slot)) << c.description;
        EXPECT_EQ(slot.gameMode, c.mode);
        EXPECT_EQ(slot.description, c.description);
        EXPECT_EQ(slot.missionIndex, 0);
        EXPECT_EQ(slot.folder, "Levels/Map");
        EXPECT_EQ(slot.title, "Map");
        EXPECT_EQ(slot.teamCount, 2);
        EXPECT_TRUE(real.IsDirty());
    }
}

TEST_F(ProfileSlotsTest, ABattleSavedAndLoadedBackIsTheSameBattle) {
    LoadLevel(kGameLoadSkirmish, kBattle);
    TeamManager& teams = *game->GetTeamManager();
    Team* blue = teams.FindTeam(1);
    ASSERT_NE(blue, nullptr);
    blue->SetCash(777);
    blue->GetUnit(0)->SetMovementLeft(1.5f);
    real.SaveGameToSlot(2);
    const Bytes saved = SlotBytes(2);
    blue->SetCash(5);

    ASSERT_TRUE(real.LoadGameFromSlot(2));
    EXPECT_EQ(game->GetState(), kGameSideTurn);
    EXPECT_EQ(game->GetTeamManager()->FindTeam(1)->GetCash(), 777);
    // Saving the resumed battle gives the same record.
    real.SaveGameToSlot(1);
    EXPECT_EQ(SlotBytes(1), saved);
}

TEST_F(ProfileSlotsTest, ASavedIdCounterBelowTheRestoredIdsDoesNotLowerIt) {
    LoadLevel(kGameLoadSkirmish, kBattle);
    real.SaveGameToSlot(0);
    GameSlot slot;
    ASSERT_TRUE(real.ReadGameSlot(0, slot));
    int highest = 0;
    for (const auto& team : slot.units) {
        for (const SavedUnit& u : team) highest = std::max(highest, u.id);
    }
    ASSERT_GT(highest, 1);
    slot.nextUnitId = 1;
    real.WriteGameSlot(0, slot);
    ASSERT_TRUE(real.LoadGameFromSlot(0));
    EXPECT_GE(game->GetUnitIdCounter(), highest);
    EXPECT_GT(game->NextUnitId(), highest);
}

// Every field check: the slot is refused, cleared and written, and the running battle stays as it was.
TEST_F(ProfileSlotsTest, EachDamagedFieldRefusesTheSlotAndLeavesTheBattle) {
    LoadLevel(kGameLoadSkirmish, kBattle);
    real.SaveGameToSlot(0);
    GameSlot good;
    ASSERT_TRUE(real.ReadGameSlot(0, good));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* name;
        std::function<void(GameSlot&)> edit;
    };
    const Case cases[] = {
        {"in use 2", [](GameSlot& s) { s.inUse = 2; }},
        {"mode 3", [](GameSlot& s) { s.gameMode = 3; }},
        {"mode -1", [](GameSlot& s) { s.gameMode = -1; }},
        {"absolute folder", [](GameSlot& s) { s.folder = "/Levels/Map"; }},
        {"dot-dot folder", [](GameSlot& s) { s.folder = "Levels/../../Map"; }},
        {"campaign outside Campaigns", [](GameSlot& s) { s.gameMode = 0; }},
        {"mission 20", [](GameSlot& s) { s.missionIndex = 20; }},
        {"mission -1", [](GameSlot& s) { s.missionIndex = -1; }},
        {"six teams", [](GameSlot& s) { s.teamCount = 6; }},
        {"kind 5", [](GameSlot& s) { s.teamKind[1] = 5; }},
        {"kind twice", [](GameSlot& s) { s.teamKind[1] = s.teamKind[0]; }},
        {"49 units", [](GameSlot& s) { s.liveUnits[0] = 49; }},
        {"-1 units", [](GameSlot& s) { s.liveUnits[4] = -1; }},
        {"current team not in use", [](GameSlot& s) { s.currentTeam = s.teamCount; }},
        {"current team -2", [](GameSlot& s) { s.currentTeam = -2; }},
        {"day 0", [](GameSlot& s) { s.day = 0; }},
        {"unit type 25", [](GameSlot& s) { s.units[0][0].type = 25; }},
        {"unit type -1", [](GameSlot& s) { s.units[0][0].type = -1; }},
        {"unit id 0", [](GameSlot& s) { s.units[0][0].id = 0; }},
        {"facing 6", [](GameSlot& s) { s.units[0][0].facing = 6; }},
        {"rank 3", [](GameSlot& s) { s.units[0][0].rank = 3; }},
        {"health NaN", [nan](GameSlot& s) { s.units[0][0].health = nan; }},
        {"health 1.5", [](GameSlot& s) { s.units[0][0].health = 1.5f; }},
        {"movement -1", [](GameSlot& s) { s.units[0][0].movementLeft = -1.0f; }},
        {"movement inf", [inf](GameSlot& s) { s.units[0][0].movementLeft = inf; }},
        {"fuel NaN", [nan](GameSlot& s) { s.units[0][0].fuel = nan; }},
        {"ammo -1", [](GameSlot& s) { s.units[0][0].ammo = -1; }},
        {"structure owner 5", [](GameSlot& s) { s.structures[0].owner = 5; }},
        {"capturing team -1", [](GameSlot& s) { s.structures[0].capturingTeam = -1; }},
        {"progress NaN", [nan](GameSlot& s) { s.structures[0].progress = nan; }},
        {"focus off the grid", [](GameSlot& s) { s.focusHex = MakeHexCoord(48, 0); }},
        {"focus half none", [](GameSlot& s) { s.focusHex = MakeHexCoord(-1, 3); }},
        {"help icon off the grid", [](GameSlot& s) { s.helpIcons[3] = {"KEY", MakeHexCoord(2, 40), 0}; }},
    };
    const Level* level = game->GetLevel();
    const TeamManager* teams = game->GetTeamManager();
    const int state = game->GetState();
    const auto check = [&](const char* name) {
        EXPECT_FALSE(real.LoadGameFromSlot(0)) << name;
        EXPECT_FALSE(real.IsSlotInUse(0)) << name;
        EXPECT_EQ(SlotBytes(0), Bytes(17528, 0)) << name;
        EXPECT_FALSE(real.IsDirty()) << name << ": the cleared slot is written";
        EXPECT_EQ(game->GetLevel(), level) << name;
        EXPECT_EQ(game->GetTeamManager(), teams) << name;
        EXPECT_EQ(game->GetState(), state) << name;
    };
    for (const Case& c : cases) {
        GameSlot slot = good;
        c.edit(slot);
        real.WriteGameSlot(0, slot);
        check(c.name);
    }
    // Texts without their terminating zero.
    for (std::size_t field : {std::size_t{4}, std::size_t{17296}, std::size_t{15900 + 72 * 2}}) {
        real.WriteGameSlot(0, good);
        std::memset(real.GetData() + 3244 + field, 'x', field == 4 ? 128 : 64);
        check(("text at " + std::to_string(field)).c_str());
    }
}

TEST_F(ProfileSlotsTest, ALevelThatNoLongerFitsClearsTheSlot) {
    LoadLevel(kGameLoadSkirmish, kBattle);
    real.SaveGameToSlot(0);
    GameSlot slot;
    ASSERT_TRUE(real.ReadGameSlot(0, slot));
    slot.folder = "Levels/Missing";
    real.WriteGameSlot(0, slot);
    EXPECT_FALSE(real.LoadGameFromSlot(0));
    EXPECT_FALSE(real.IsSlotInUse(0));
    EXPECT_EQ(game->GetLevel(), nullptr);
    EXPECT_EQ(game->GetTeamManager(), nullptr);
}

// A campaign slot: a campaign that does not load keeps the slot; a mission index past the campaign's
// missions clears it.
TEST_F(ProfileSlotsTest, CampaignSlotsNeedTheirCampaignAndMission) {
    LoadLevel(kGameLoadSkirmish, kBattle);
    real.SaveGameToSlot(0);
    GameSlot slot;
    ASSERT_TRUE(real.ReadGameSlot(0, slot));
    slot.gameMode = kGameModeCampaign;
    slot.folder = "Campaigns\\Coast";
    slot.missionIndex = 2;
    real.WriteGameSlot(0, slot);

    campaignTemplate.loads_ok = false;
    EXPECT_FALSE(real.LoadGameFromSlot(0));
    EXPECT_TRUE(real.IsSlotInUse(0)) << "the campaign may load another time";
    ASSERT_NE(lastCampaign, nullptr);
    EXPECT_EQ(lastCampaign->loadedPath, "Campaigns\\Coast");

    campaignTemplate.loads_ok = true;  // the fake campaign holds no missions
    EXPECT_FALSE(real.LoadGameFromSlot(0));
    EXPECT_FALSE(real.IsSlotInUse(0));
    EXPECT_EQ(game->GetLevel(), nullptr);
}

}  // namespace
}  // namespace core_test
