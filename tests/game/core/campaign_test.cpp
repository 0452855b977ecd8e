// Campaign files and missions, medals, recording results in the profile, and the campaign map screen
// driven by scripted pointer frames and drawn on a recording target.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "../units/unit_fakes.h"
#include "engine/platform/memory_save_store.h"
#include "engine/platform/save_blob.h"
#include "game/core/campaign.h"
#include "game/core/player_profile.h"
#include "game/core/string_table.h"
#include "support/null_render_target.h"

namespace {

using namespace game;

std::array<int, 4> Box(const engine::IntRect& r) { return {r.x, r.y, r.width, r.height}; }

std::string Params(const std::string& body) { return "[PARAMS]\n" + body + "[ENDPARAMS]\n"; }

// Records the textured rectangles and fills drawn on it.
class DrawRecorder final : public testsupport::NullRenderTarget {
public:
    struct Cell {
        engine::IntRect destination;
        engine::IntRect source;
        std::uint32_t handle = 0;
        std::uint32_t colour = 0;
    };
    DrawRecorder() : NullRenderTarget(960, 640) {}
    void DrawTextureRect(const engine::IntRect& destination, const engine::IntRect& source, std::uint32_t handle,
                         std::uint32_t colour, int, int) override {
        cells.push_back({destination, source, handle, colour});
    }
    void FillRect(const engine::IntRect& rect, std::uint32_t colour, int) override { fills.push_back({rect, {}, 0, colour}); }
    std::vector<Cell> cells;
    std::vector<Cell> fills;
};

class CampaignTest : public ::testing::Test {
protected:
    CampaignTest() {
        profile.ResetDefaults();
        profile.SetCurrentCampaignName("Test");
        services.strings = &strings;
        services.profile = &profile;
        services.loadTexture = [this](const std::string& name) -> std::uint32_t {
            loadedTextures.push_back(name);
            return mapPicture ? 7u : 0u;
        };
        services.currentDay = [this] { return day; };
        services.playUiSound = [this](int sound) { sounds.push_back(sound); };
        services.markerSheet = 11;
        services.medalSheet = 12;
    }
    void Write(const std::string& name, const std::string& text) {
        ASSERT_TRUE(data.Write("Campaigns/Test/" + name, text));
    }
    // A campaign of the missions "M<i>" with markers at (100 i, 100 i).
    void WriteMissions(int count) {
        std::string order = "[LISTBOXNAME]\nTest Campaign\n[MISSIONORDER]\n";
        for (int i = 0; i < count; ++i) {
            const std::string m = "M" + std::to_string(i);
            order += m + "\n";
            Write(m + "/Mission.TXT", Params("N" + m + "\nMAP_" + m + "\nT\n" + std::to_string(100 * i + 80) + ", " +
                                             std::to_string(100 * i + 80) + "\n3, 2, 2\n"));
        }
        Write("Campaign.TXT", order + "[MISSIONORDEREND]\n");
    }
    std::unique_ptr<Campaign> Loaded() {
        auto campaign = std::make_unique<Campaign>("Test", services);
        EXPECT_TRUE(campaign->Load("Campaigns\\Test"));
        return campaign;
    }

    units_test::DataFolder data;
    StringTable strings;
    engine::MemorySaveStore store;
    engine::NamedSaveBlob blob{store};
    PlayerProfile profile{blob, store};
    CampaignServices services;
    std::vector<std::string> loadedTextures;
    std::vector<int> sounds;
    bool mapPicture = true;
    int day = 1;
};

TEST_F(CampaignTest, MissionsAreReadInOrderWithTheirParams) {
    Write("Locale/eng.txt", "[NAME1] Landing\n[MAP1] First line\\nSecond line\n");
    Write("Campaign.TXT",
          "[LISTBOXNAME]\nCoast\n[MISSIONORDER]\nOne\nMissing\nNoEnd\nEmptyKey\n../Test/One\nOnly\n[MISSIONORDEREND]\n");
    Write("One/Mission.TXT", Params("NAME1\nMAP1\nTHIRD\n400, 300\n4, 3, 2\n1500, 900\nC5\n"));
    Write("NoEnd/Mission.TXT", "[PARAMS]\nA\nB\nC\n");
    Write("EmptyKey/Mission.TXT", Params("A\n\n"));
    Write("Only/Mission.TXT", Params("A\nB\nC\n"));
    const auto campaign = Loaded();
    EXPECT_EQ(loadedTextures, (std::vector<std::string>{"Campaigns\\Test/CampaignMap"}));
    EXPECT_EQ(campaign->GetListedName(), "Coast");
    ASSERT_EQ(campaign->GetMissionCount(), 2) << "the missing, unended, empty-key and climbing missions are skipped";

    const CampaignMission& one = campaign->GetMission(0);
    EXPECT_EQ(one.folder, "One");
    EXPECT_STREQ(one.nameText.GetNarrow(), "Landing");
    EXPECT_STREQ(one.mapText.GetNarrow(), "First line\nSecond line");
    EXPECT_EQ(one.markerX, 400);
    EXPECT_EQ(one.markerY, 300);
    EXPECT_EQ(one.pars, (std::array<int, 3>{4, 3, 2}));
    HexCoord c5;
    ASSERT_TRUE(ParseHexLabel("C5", c5));
    EXPECT_EQ(one.startTile, c5);
    campaign->SelectMission(0);
    EXPECT_EQ(campaign->GetPairValue(0), 900);
    EXPECT_EQ(campaign->GetPairValue(1), 1500);
    EXPECT_EQ(campaign->GetStartCash(), (std::pair<int, int>{1500, 900}));
    EXPECT_EQ(campaign->GetSelectedMissionFolder(), "Campaigns\\Test/One");
    EXPECT_EQ(campaign->GetSelectedMissionName(), "Landing");

    const CampaignMission& only = campaign->GetMission(1);
    EXPECT_EQ(only.folder, "Only");
    EXPECT_EQ(only.markerX, 32);
    EXPECT_EQ(only.markerY, 32);
    EXPECT_EQ(only.pars, (std::array<int, 3>{1, 5, 5}));
    EXPECT_EQ(only.pair, (std::array<int, 2>{0, 0}));
    EXPECT_EQ(only.startTile, MakeHexCoord(23, 15));
}

TEST_F(CampaignTest, TwentyMissionsAtMostAndTheFilesThatMustBeThere) {
    WriteMissions(25);
    EXPECT_EQ(Loaded()->GetMissionCount(), 20);

    Write("Campaign.TXT", "[MISSIONORDER]\nM0\n[MISSIONORDEREND]\n");
    EXPECT_EQ(Loaded()->GetListedName(), "Unnamed");

    Write("Campaign.TXT", "[LISTBOXNAME]\nNo order\n");
    EXPECT_EQ(Loaded()->GetMissionCount(), 0);

    mapPicture = false;
    Campaign noPicture("Test", services);
    EXPECT_FALSE(noPicture.Load("Campaigns\\Test"));
    mapPicture = true;
    Campaign noFile("Test", services);
    EXPECT_FALSE(noFile.Load("Campaigns\\Other"));
}

TEST_F(CampaignTest, MedalsByDaysUsed) {
    WriteMissions(1);
    auto campaign = Loaded();
    campaign->SelectMission(0);  // pars 3, 2, 2
    struct Case {
        int daysUsed;
        int medal;
        int margin;
    };
    const Case cases[] = {{0, 1, 3}, {2, 1, 1}, {3, 2, 2}, {4, 2, 1}, {5, 3, 2}, {6, 3, 1}, {7, 4, 0}, {20, 4, 0}};
    for (const Case& c : cases) {
        int medal = 0;
        int margin = 0;
        campaign->MedalFor(c.daysUsed, medal, margin);
        EXPECT_EQ(medal, c.medal) << c.daysUsed;
        EXPECT_EQ(margin, c.margin) << c.daysUsed;
    }
    day = 4;
    EXPECT_EQ(campaign->GetFinishedMedal(), 2);
    EXPECT_EQ(campaign->GetFinishedMargin(), 2);
}

TEST(BetterResult, TheMedalFirstThenTheMargin) {
    EXPECT_FALSE(IsBetterResult(2, 1, 1, 0)) << "a silver never replaces a gold";
    EXPECT_TRUE(IsBetterResult(1, 0, 2, 5));
    EXPECT_TRUE(IsBetterResult(2, 3, 2, 2));
    EXPECT_FALSE(IsBetterResult(2, 2, 2, 2));
}

TEST_F(CampaignTest, RecordingKeepsTheBestResult) {
    WriteMissions(3);
    auto campaign = Loaded();
    struct Case {
        const char* name;
        int medal;
        int margin;
        int storedMedal;
        int storedMargin;
        bool newRecord;
    };
    const Case cases[] = {
        {"first completion", 2, 1, 2, 1, false},
        {"better medal", 1, 0, 1, 0, true},
        {"same medal, larger margin", 1, 2, 1, 2, true},
        {"same medal, smaller margin", 1, 1, 1, 2, false},
        {"worse medal, larger margin", 2, 5, 1, 2, false},
    };
    for (const Case& c : cases) {
        campaign->SelectMission(1);
        EXPECT_TRUE(campaign->RecordResult(c.medal, c.margin)) << c.name;
        EXPECT_EQ(campaign->WasNewRecord(), c.newRecord) << c.name;
        const MissionResult stored = profile.GetMissionResult(0, 1);
        EXPECT_EQ(stored.value, c.storedMedal) << c.name;
        EXPECT_EQ(stored.second, c.storedMargin) << c.name;
        EXPECT_EQ(campaign->GetSelectedMissionIndex(), 2) << c.name;
        EXPECT_FALSE(profile.IsDirty()) << c.name << ": the profile is written";
    }
    campaign->SelectMission(2);
    EXPECT_FALSE(campaign->RecordResult(1, 1)) << "the last mission";
    EXPECT_EQ(campaign->GetSelectedMissionIndex(), 0);
}

TEST_F(CampaignTest, CompletionAllGoldAndFirstUnfinished) {
    WriteMissions(3);
    auto campaign = Loaded();
    EXPECT_EQ(campaign->GetFirstUnfinished(0), 0);
    profile.SetMissionResult(0, 1, 0);
    profile.SetMissionResult(1, 1, 0);
    EXPECT_EQ(campaign->GetFirstUnfinished(0), 2);
    EXPECT_FALSE(campaign->IsCompleted(0));
    profile.SetMissionResult(2, 2, 0);
    EXPECT_TRUE(campaign->IsCompleted(0));
    EXPECT_FALSE(campaign->AllMissionsGold(0));
    EXPECT_EQ(campaign->GetFirstUnfinished(0), 2) << "all done: the last mission";
    profile.SetMissionResult(2, 1, 0);
    EXPECT_TRUE(campaign->AllMissionsGold(0));
    EXPECT_FALSE(campaign->IsCompleted(1));
}

// --- The map screen ------------------------------------------------------------------------------------------

class CampaignMapTest : public CampaignTest {
protected:
    void SetUp() override {
        WriteMissions(4);
        campaign = Loaded();
        campaign->SetScreenSize(960, 640);
    }
    // Frames without input until the glide has settled; the frames taken.
    int Glide() {
        int frames = 0;
        while (campaign->GetViewState() == 0 && frames < 1000) {
            campaign->UpdateMap({}, 0.02f, 0.0);
            ++frames;
        }
        return frames;
    }
    // The screen point of a picture point.
    MapPointer At(int px, int py, bool down, bool pressed, bool released) const {
        int vx = 0;
        int vy = 0;
        Campaign::ViewportRect(960, 640, vx, vy);
        return {vx + static_cast<int>(campaign->GetScrollX()) + px, vy + static_cast<int>(campaign->GetScrollY()) + py,
                down, pressed, released};
    }
    std::unique_ptr<Campaign> campaign;
};

TEST_F(CampaignMapTest, TheGlideSnapsOntoTheSelectedMarkerWithinTheClamps) {
    profile.SetMissionResult(0, 1, 3);
    profile.SetMissionResult(1, 2, 1);
    campaign->StartMap(0.0);
    EXPECT_EQ(campaign->GetSelectedMissionIndex(), 2);
    EXPECT_LT(Glide(), 1000);
    // Marker (280, 280) is put at the viewport centre: 208 - 280, 182 - 280.
    EXPECT_EQ(campaign->GetScrollX(), -72.0f);
    EXPECT_EQ(campaign->GetScrollY(), -98.0f);

    // A marker near the corner stops at the clamp.
    campaign->SelectMission(0);  // (80, 80): the focus is held at half the viewport
    auto restart = std::make_unique<Campaign>("Test", services);
    ASSERT_TRUE(restart->Load("Campaigns\\Test"));
    restart->SetScreenSize(960, 640);
    profile.SetMissionResult(0, 0, 0);
    restart->StartMap(0.0);
    for (int i = 0; i < 1000 && restart->GetViewState() == 0; ++i) restart->UpdateMap({}, 0.02f, 0.0);
    EXPECT_EQ(restart->GetScrollX(), 0.0f);
    EXPECT_EQ(restart->GetScrollY(), 0.0f);
}

TEST_F(CampaignMapTest, DraggingScrollsWithinTheClampsAndCancelsTheTap) {
    profile.SetDifficulty(1);  // every mission selectable
    campaign->StartMap(0.0);
    Glide();
    // A tap on marker 2 selects it and clicks.
    campaign->UpdateMap(At(280, 280, true, true, false), 0.02f, 1.0);
    EXPECT_EQ(campaign->GetTappedMarker(), 2);
    campaign->UpdateMap(At(280, 280, false, false, true), 0.02f, 1.1);
    EXPECT_EQ(campaign->GetSelectedMissionIndex(), 2);
    EXPECT_EQ(sounds, (std::vector<int>{5}));

    // A press on marker 1 that moves 7 pixels is a drag, not a tap.
    const MapPointer press = At(180, 180, true, true, false);
    campaign->UpdateMap(press, 0.02f, 2.0);
    EXPECT_EQ(campaign->GetTappedMarker(), 1);
    const float before = campaign->GetScrollX();
    campaign->UpdateMap({press.x + 7, press.y, true, false, false}, 0.02f, 2.1);
    EXPECT_EQ(campaign->GetTappedMarker(), -1);
    EXPECT_EQ(campaign->GetScrollX(), std::min(0.0f, before + 7.0f));
    campaign->UpdateMap({press.x + 7, press.y, false, false, true}, 0.02f, 2.2);
    EXPECT_EQ(campaign->GetSelectedMissionIndex(), 2);
    EXPECT_EQ(sounds.size(), 1u);

    // A long drag stops at the clamps.
    campaign->UpdateMap(press, 0.02f, 3.0);
    campaign->UpdateMap({press.x - 5000, press.y - 5000, true, false, false}, 0.02f, 3.1);
    EXPECT_EQ(campaign->GetScrollX(), -(1023.0f - 416.0f));
    EXPECT_EQ(campaign->GetScrollY(), -(1023.0f - 364.0f));
}

// The screen as its zone drives it: the clock, the frame time, the button and the target come from the
// services, and a press and release of the button, seen as the button held or not, is a tap.
TEST_F(CampaignMapTest, TheHostedScreenTakesItsClockPointerAndTarget) {
    DrawRecorder target;
    double now = 5.0;
    MapPointer pointer;
    pointer.down = true;  // still held from the button that opened the map
    services.target = [&target]() -> engine::RenderTargetBase* { return &target; };
    services.clock = [&now] { return now; };
    services.frameSeconds = [] { return 0.02f; };
    services.pointer = [&pointer] { return pointer; };
    profile.SetDifficulty(1);
    profile.SetMissionResult(0, 1, 0);
    campaign = Loaded();
    campaign->ResetMapScreen();
    EXPECT_EQ(campaign->GetSelectedMissionIndex(), 1) << "the first unfinished mission";
    pointer.down = false;
    for (int i = 0; i < 1000 && campaign->GetViewState() == 0; ++i) campaign->DrawMapScreen();
    EXPECT_EQ(campaign->GetViewState(), 1);
    EXPECT_TRUE(sounds.empty()) << "the release of the opening button is no tap";

    // The map view, then the frame centred over it, last of the cells.
    target.cells.clear();
    campaign->DrawMapScreen();
    ASSERT_FALSE(target.cells.empty());
    EXPECT_EQ(target.cells.front().handle, 7u);
    EXPECT_EQ(target.cells.back().handle, 11u);
    EXPECT_EQ(Box(target.cells.back().destination), (std::array<int, 4>{0, 0, 960, 640}));
    EXPECT_EQ(Box(target.cells.back().source), (std::array<int, 4>{0, 0, 960, 640}));

    // A press and a release on marker 2 select it.
    const MapPointer at = At(280, 280, true, false, false);
    pointer = at;
    campaign->DrawMapScreen();
    EXPECT_EQ(campaign->GetTappedMarker(), 2);
    pointer.down = false;
    now = 6.0;
    campaign->DrawMapScreen();
    EXPECT_EQ(campaign->GetSelectedMissionIndex(), 2);
    EXPECT_EQ(sounds, (std::vector<int>{5}));

    // Without a target the frame still runs its input.
    services.target = nullptr;
    campaign = Loaded();
    campaign->ResetMapScreen();
    campaign->DrawMapScreen();
    EXPECT_EQ(campaign->GetSelectedMissionIndex(), 1);
}

TEST_F(CampaignMapTest, HitsObeyTheRadiusAndTheHighestSelectableMission) {
    profile.SetMissionResult(0, 1, 0);
    campaign->StartMap(0.0);  // difficulty 0: first unfinished 1 is the highest selectable
    EXPECT_EQ(campaign->GetHighestSelectable(), 1);
    struct Case {
        int x;
        int y;
        int hit;
    };
    // Markers at (80, 80), (180, 180), (280, 280), (380, 380); the radius is 60.
    const Case cases[] = {{80, 80, 0},    {80 + 59, 80, 0},   {80 + 60, 80, -1},      {180, 180, 1},
                          {180, 239, 1},  {280, 280, -1},     {380, 380, -1},         {80 + 42, 80 + 42, 0},
                          {80 + 43, 80 + 43, -1}};
    for (const Case& c : cases) EXPECT_EQ(campaign->HitMarker(c.x, c.y), c.hit) << c.x << "," << c.y;
    profile.SetDifficulty(2);
    campaign->StartMap(0.0);
    EXPECT_EQ(campaign->HitMarker(380, 380), 3);
}

TEST_F(CampaignMapTest, MarkersByResultSelectionAndDifficulty) {
    profile.SetMissionResult(0, 2, 1234);
    campaign->StartMap(0.0);  // first unfinished 1, selected 1
    campaign->SelectMission(2);
    struct Case {
        int mission;
        int column;
        std::uint32_t colour;
    };
    for (const Case& c : {Case{0, 0, 0xFF1096DCu}, Case{1, 136, 0xFF1EB41Eu}, Case{2, 136, 0xFFB41E1Eu},
                          Case{3, 272, 0xFFB41E1Eu}}) {
        int column = -1;
        std::uint32_t colour = 0;
        campaign->MarkerLook(c.mission, column, colour);
        EXPECT_EQ(column, c.column) << c.mission;
        EXPECT_EQ(colour, c.colour) << c.mission;
    }
    profile.SetDifficulty(1);
    int column = -1;
    std::uint32_t colour = 0;
    campaign->MarkerLook(3, column, colour);
    EXPECT_EQ(column, 136) << "above difficulty 0 every marker is open";
    profile.SetDifficulty(0);

    DrawRecorder target;
    campaign->DrawMap(target, 0.0);
    // The picture, four markers and one medal (silver: the second cell of the row).
    ASSERT_EQ(target.cells.size(), 6u);
    EXPECT_EQ(target.cells[0].handle, 7u);
    EXPECT_EQ(Box(target.cells[1].source), (std::array<int, 4>{0, 664, 138, 128}));
    EXPECT_EQ(target.cells[2].handle, 12u);
    EXPECT_EQ(Box(target.cells[2].source), (std::array<int, 4>{50, 416, 50, 50}));
    const std::uint32_t pulse = target.cells[4].colour;  // the selected mission 2
    EXPECT_TRUE(pulse == 0xFFFFE600u || pulse == 0xFF968C00u || (pulse >> 24) == 0xFF);
    EXPECT_NE(pulse, 0xFFB41E1Eu);
}

TEST_F(CampaignMapTest, WithoutAPictureTheViewIsGrey) {
    campaign.reset();
    mapPicture = false;
    Campaign bare("Test", services);
    bare.Load("Campaigns\\Test");
    DrawRecorder target;
    bare.DrawMap(target, 0.0);
    ASSERT_EQ(target.fills.size(), 1u);
    EXPECT_EQ(target.fills[0].colour, 0xFF404040u);
    EXPECT_EQ(Box(target.fills[0].destination), (std::array<int, 4>{480 - 426, 320 - 213, 416, 364}));
    EXPECT_TRUE(target.cells.empty());
}

TEST(CampaignText, LineIAppearsAtATenthOfASecondTimesI) {
    struct Case {
        int line;
        double since;
        std::uint32_t colour;
    };
    const Case cases[] = {
        {0, 0.0, 0x00FFFFFFu},  {0, 0.2, 0xFFFFFFFFu}, {0, 0.4, 0xFFFFFF40u}, {0, 9.0, 0xFFFFFF40u},
        {3, 0.29, 0x00FFFFFFu}, {3, 0.3, 0x00FFFFFFu}, {3, 0.5, 0xFFFFFFFFu}, {3, 0.6, 0xFFFFFFA0u},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Campaign::LineColour(c.line, c.since), c.colour) << c.line << " at " << c.since;
    }
    EXPECT_GT(Campaign::LineColour(3, 0.35) >> 24, 0u);
}

}  // namespace
