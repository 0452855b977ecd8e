#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/gui/dialog.h"
#include "engine/gui/list_box.h"
#include "game/core/achievement_list.h"
#include "game/screens/achievements_zone.h"
#include "game/screens/credits_zone.h"
#include "game/screens/game_screens.h"
#include "game/screens/screen_draw.h"
#include "screen_fixture.h"

namespace screens_test {
namespace {

using game::ZoneId;
using testsupport::ZoneDriver;

// Achievements with the game's points, titled "A<id>", earned as the test sets.
class FakeAchievements final : public game::ScreenAchievements {
public:
    FakeAchievements() {
        for (int id = 0; id < game::kAchievementCount; ++id) {
            auto& e = entries[static_cast<std::size_t>(id)];
            e.title = engine::WideString(("A" + std::to_string(id)).c_str());
            e.earnedText = engine::WideString(("Got " + std::to_string(id)).c_str());
            e.notEarnedText = engine::WideString(("Want " + std::to_string(id)).c_str());
            e.points = game::AchievementList::GetPoints(id);
        }
    }
    bool IsEarned(int id) const override { return earned.count(id) != 0; }
    int CountEarned(int& points) const override {
        points = 0;
        for (int id : earned) points += entries[static_cast<std::size_t>(id)].points;
        return static_cast<int>(earned.size());
    }
    const game::AchievementEntry& GetEntry(int id) const override { return entries[static_cast<std::size_t>(id)]; }
    std::uint32_t GetIconTexture() const override { return icons; }
    void Unlock(int id) override {
        unlocks.push_back(id);
        earned.insert(id);
    }

    std::array<game::AchievementEntry, game::kAchievementCount> entries;
    std::set<int> earned;
    std::vector<int> unlocks;
    std::uint32_t icons = 0;
};

// Records the colour entry 0 of the list font as each text is drawn, then logs the text as usual.
class ColourSpy final : public game::TextObserver {
public:
    explicit ColourSpy(game::ScreenServices& ui, testsupport::DrawRecorder& recorder) : ui_(ui), recorder_(recorder) {}
    void OnText(game::FontId font, const engine::WideString& text, int x, int y, int alignment) override {
        recorder_.OnText(font, text, x, y, alignment);
        colours[recorder_.log.back().text] = ui_.Font(font)->GetColour(0);
    }
    // The colour entry 0 of the font as each text was drawn, by text.
    std::map<std::string, std::uint32_t> colours;

private:
    game::ScreenServices& ui_;
    testsupport::DrawRecorder& recorder_;
};

class InfoZonesTest : public ScreenTest {
protected:
    void SetUp() override {
        ui.achievements = &achievements;
        ui.textObserver = &spy;
        achievements.icons = loader.Add("GUI/achievements", 512, 512);
        game::RegisterMenuInfoZones(registry);
        RegisterRecording(ZoneId::kMainMenu);
    }
    void Create() { ASSERT_TRUE(registry.CreateZones()); }

    // The credits file of n lines "Line <k>", with a heading at index 3.
    void WriteCredits(int n) {
        std::string text;
        for (int k = 0; k < n; ++k) text += (k == 3 ? "#Heading " : "Line ") + std::to_string(k) + "\r\n";
        ASSERT_TRUE(data.Write("Credits_NoURL.TXT", text));
    }

    // The credits shown again with the pass starting now, fully open.
    game::CreditsZone& ShowCredits() {
        auto& credits = ZoneOf<game::CreditsZone>(ZoneId::kCredits);
        OpenFully(credits, 14);
        credits.SetShown(false, false);
        credits.SetShown(true, false);
        return credits;
    }
    // Draws the zone's body once, ms after the pass started.
    void DrawAfter(game::TitledZone& zone, int& elapsed, int ms) {
        clock.StepMs(ms - elapsed);
        elapsed = ms;
        recorder.Clear();
        spy.colours.clear();
        ZoneDriver::Send(zone, engine::kEventDrawDialog);
    }

    FakeAchievements achievements;
    ColourSpy spy{ui, recorder};
    units_test::DataFolder data;
};

// --- Achievements -------------------------------------------------------------------------------------------

TEST_F(InfoZonesTest, AchievementListHasFifteenRowsInIdOrderWithoutTheReservedOne) {
    Create();
    auto& zone = ZoneOf<game::AchievementsZone>(ZoneId::kAchievements);
    OpenFully(zone, 32);
    const auto* list = dynamic_cast<engine::ListBox*>(zone.GetWindow()->FindControl(game::AchievementsZone::kListId));
    ASSERT_NE(list, nullptr);
    std::vector<int> ids;
    for (int row = 0; row < list->GetRowCount(); ++row) {
        engine::WideString title;
        int value = -1;
        ASSERT_TRUE(list->GetRow(row, title, value));
        EXPECT_EQ(std::string(title.GetNarrow()), "A" + std::to_string(value));
        ids.push_back(value);
    }
    EXPECT_EQ(ids, (std::vector<int>{0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
}

TEST_F(InfoZonesTest, AchievementDetailsFollowTheTappedRowAndPersistBetweenVisits) {
    Create();
    auto& zone = ZoneOf<game::AchievementsZone>(ZoneId::kAchievements);
    OpenFully(zone, 32);
    // No selection: the prompt, and the totals still draw.
    EXPECT_NE(recorder.FindText("[ACH_PLEASETAP]"), nullptr);
    EXPECT_NE(recorder.FindText("0 of 15 Awards"), nullptr);
    EXPECT_NE(recorder.FindText("0 [ACH_POINTS]"), nullptr);

    auto* list = dynamic_cast<engine::ListBox*>(zone.GetWindow()->FindControl(game::AchievementsZone::kListId));
    list->SetSelection(2);  // id 3
    sound.uiSounds.clear();
    ZoneDriver::Send(zone, engine::kEventReleased, game::AchievementsZone::kListId, 2);
    EXPECT_EQ(zone.GetSelected(), 3);
    EXPECT_EQ(sound.uiSounds, std::vector<int>{game::kUiClick});
    recorder.Clear();
    driver.Frame();
    EXPECT_EQ(recorder.FindText("[ACH_PLEASETAP]"), nullptr);
    EXPECT_NE(recorder.FindText("Want 3"), nullptr);
    EXPECT_NE(recorder.FindText("100 [ACH_POINTS]"), nullptr);

    // Back to the main menu and in again: still id 3, with its row lit.
    driver.TapBack();
    EXPECT_FALSE(zone.IsShown());
    EXPECT_EQ(ZoneOf<RecordingZone>(ZoneId::kMainMenu).GetType(), 8);
    achievements.earned = {3};
    OpenFully(zone, 32);
    EXPECT_EQ(zone.GetSelected(), 3);
    EXPECT_EQ(list->GetSelection(), 2);
    EXPECT_NE(recorder.FindText("Got 3"), nullptr);
}

TEST_F(InfoZonesTest, AchievementTotalsCountOnlyTheListedIds) {
    // The reserved id counts neither in the awards nor in the points, even when a profile has it set.
    achievements.earned = {1, 2, 3};
    Create();
    auto& zone = ZoneOf<game::AchievementsZone>(ZoneId::kAchievements);
    OpenFully(zone, 32);
    EXPECT_NE(recorder.FindText("2 of 15 Awards"), nullptr);
    EXPECT_NE(recorder.FindText("175 [ACH_POINTS]"), nullptr);
    // Rows not earned are tinted and marked; earned ones are not.
    const auto icons = recorder.Of("image:GUI/achievements");
    ASSERT_FALSE(icons.empty());
    EXPECT_EQ(icons.front().colour, 0xff404040u);  // id 0
    EXPECT_NE(recorder.FindText("A2"), nullptr);
    EXPECT_EQ(recorder.FindText("A2")->colourEntry, 0);
    EXPECT_EQ(recorder.FindText("A0")->colourEntry, 3);
}

// --- Credits ------------------------------------------------------------------------------------------------

TEST_F(InfoZonesTest, CreditsScrollOneLineEveryStepWithFadesAtBothEdges) {
    WriteCredits(20);
    Create();
    auto& credits = ShowCredits();
    const int h = 12;                         // the synthetic font's line spacing
    const int top = 100 + 250 - 11 * h / 2;   // the band's top line
    struct Case {
        int ms;
        std::vector<std::string> texts;  // drawn, top to bottom
        int firstY;
        std::uint32_t firstColour;
        std::uint32_t lastColour;
    };
    const std::vector<Case> cases = {
        {0, {}, 0, 0, 0},
        {350, {}, 0, 0, 0},
        // Line 0 enters at the bottom, fully transparent.
        {700, {"Line 0"}, top + 12 * h, 0x00000000u, 0x00000000u},
        // Half way: the bottom line half faded in (alpha 127, channels scaled by 127 / 256).
        {1050, {"Line 0"}, top + 12 * h - 6, 0x7F7E7E7Eu, 0x7F7E7E7Eu},
        // 13 steps: line 0 at the top, opaque; line 12 at the bottom, still invisible.
        {9100, {"Line 0", "Line 1", "Line 2", "Heading 3", "Line 4", "Line 5", "Line 6", "Line 7", "Line 8",
                "Line 9", "Line 10", "Line 11", "Line 12"},
         top, 0xFFFEFEFEu, 0x00000000u},
        {9450, {"Line 0", "Line 1", "Line 2", "Heading 3", "Line 4", "Line 5", "Line 6", "Line 7", "Line 8",
                "Line 9", "Line 10", "Line 11", "Line 12"},
         top - 6, 0x807F7F7Fu, 0x7F7E7E7Eu},
    };
    int elapsed = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ms);
        DrawAfter(credits, elapsed, c.ms);
        std::vector<std::string> texts;
        int firstY = 0;
        for (std::size_t i = 0; i < recorder.log.size(); ++i) {
            const DrawEntry& e = recorder.log[i];
            if (e.kind != "text" || e.font != game::FontId::kMed) continue;
            if (texts.empty()) firstY = e.y;
            texts.push_back(e.text);
            EXPECT_EQ(e.x, 40 + 213);
            EXPECT_EQ(e.alignment, game::kAlignCentre);
        }
        EXPECT_EQ(texts, c.texts);
        if (texts.empty()) continue;
        EXPECT_EQ(firstY, c.firstY);
        EXPECT_EQ(spy.colours[texts.front()], c.firstColour);
        EXPECT_EQ(spy.colours[texts.back()], c.lastColour);
    }
    // After the frame the font's entry 0 is white again.
    EXPECT_EQ(ui.Font(game::FontId::kMed)->GetColour(0), 0xFFFFFFFFu);
}

TEST_F(InfoZonesTest, CreditsHeadingIsOrangeWithoutItsMark) {
    WriteCredits(20);
    Create();
    auto& credits = ShowCredits();
    int elapsed = 0;
    DrawAfter(credits, elapsed, 9100);  // line 3 is fully visible at i = 3
    EXPECT_EQ(recorder.FindText("#Heading 3"), nullptr);
    ASSERT_NE(recorder.FindText("Heading 3"), nullptr);
    EXPECT_EQ(spy.colours["Heading 3"], 0xFFFE7F00u);
    EXPECT_EQ(spy.colours["Line 4"], 0xFFFEFEFEu);
}

TEST_F(InfoZonesTest, CreditsUnlockAfterAFullPassThenStartAgainAndRestartOnReentry) {
    WriteCredits(20);
    Create();
    auto& credits = ShowCredits();
    int elapsed = 0;
    // first = 20 = L: every line is gone but the unlock waits until first passes L.
    DrawAfter(credits, elapsed, (20 + 13) * 700 + 699);
    EXPECT_TRUE(achievements.unlocks.empty());
    DrawAfter(credits, elapsed, (21 + 13) * 700);
    EXPECT_EQ(achievements.unlocks, std::vector<int>{0});
    // The new pass starts now: 13 steps later line 0 is at the top again.
    DrawAfter(credits, elapsed, (21 + 13) * 700 + 9100);
    EXPECT_NE(recorder.FindText("Line 0"), nullptr);
    EXPECT_EQ(achievements.unlocks.size(), 1u);

    // Leaving and coming back restarts from the beginning.
    DrawAfter(credits, elapsed, (21 + 13) * 700 + 9100 + 4 * 700);
    EXPECT_EQ(recorder.FindText("Line 0"), nullptr);
    credits.SetShown(false, false);
    credits.SetShown(true, false);
    elapsed = 0;
    DrawAfter(credits, elapsed, 9100);
    EXPECT_NE(recorder.FindText("Line 0"), nullptr);
}

TEST_F(InfoZonesTest, CreditsWithoutTheFileShowNothingAndStillLeave) {
    Create();
    auto& credits = ShowCredits();
    EXPECT_EQ(credits.GetLines(), nullptr);
    int elapsed = 0;
    DrawAfter(credits, elapsed, 40 * 700);
    for (const DrawEntry& e : recorder.Of("text")) EXPECT_NE(e.font, game::FontId::kMed) << e.text;
    EXPECT_TRUE(achievements.unlocks.empty());
    EXPECT_EQ(ui.Font(game::FontId::kMed)->GetColour(0), 0xFFFFFFFFu);

    for (const bool byKey : {false, true}) {
        SCOPED_TRACE(byKey);
        OpenFully(credits, 14);
        game.states.clear();
        if (byKey) {
            driver.TapBack();
        } else {
            driver.Click(credits, game::CreditsZone::kDoneId);
        }
        EXPECT_FALSE(credits.IsShown());
        EXPECT_EQ(game.states, std::vector<int>{5});
    }
}

// --- Shared pictures ----------------------------------------------------------------------------------------

// A zone that holds the general's picture while shown and draws it.
class PictureZone final : public game::TitledZone {
public:
    explicit PictureZone(game::ScreenServices& s) : TitledZone(s) { CreateWindow({0, 0, 960, 640}); }
    int OnShow(bool shown) override {
        if (shown) {
            picture.Hold(Services());
        } else {
            picture.LetGo();
        }
        return 0;
    }
    int DrawContents(game::ZoneWindow&) override {
        if (picture.Handle() != 0) game::DrawImage(Services(), picture.Handle(), {0, 0, 8, 8}, {0, 0, 8, 8});
        return 1;
    }
    game::PictureHolder picture{"Comic/general"};
};

TEST_F(InfoZonesTest, ScreensShowingOnePictureShareOneLoad) {
    registry.Register(ZoneId::kObjective, [](game::ScreenServices& s) -> std::unique_ptr<game::Zone> {
        return std::make_unique<PictureZone>(s);
    });
    Create();
    auto& credits = ZoneOf<game::CreditsZone>(ZoneId::kCredits);
    auto& other = ZoneOf<PictureZone>(ZoneId::kObjective);
    loader.sizes["Comic/general"] = {400, 600};

    OpenFully(credits, 14);
    OpenFully(other, 15);
    EXPECT_EQ(loader.loads["Comic/general"], 1);
    EXPECT_EQ(ui.pictures.Holders("Comic/general"), 2);

    // Hiding one twice lets go once; the other still draws the picture, which is still loaded.
    credits.SetShown(false, false);
    credits.SetShown(false, false);
    EXPECT_EQ(loader.releases["Comic/general"], 0);
    recorder.Clear();
    driver.Frame();
    EXPECT_FALSE(recorder.Of("image:Comic/general").empty());

    other.SetShown(false, false);
    EXPECT_EQ(loader.releases["Comic/general"], 1);
    EXPECT_EQ(ui.pictures.Holders("Comic/general"), 0);
    // Shown again, it loads again.
    credits.SetShown(true, false);
    credits.SetShown(true, false);
    EXPECT_EQ(loader.loads["Comic/general"], 2);
    EXPECT_EQ(credits.GetPicture(), loader.handles["Comic/general"]);
    credits.SetShown(false, false);
    EXPECT_EQ(loader.releases["Comic/general"], 2);
    EXPECT_EQ(credits.GetPicture(), 0u);
}

}  // namespace
}  // namespace screens_test
