#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/gui/dialog.h"
#include "engine/platform/script_reader.h"
#include "game/screens/comic_overlay_zone.h"
#include "game/screens/comic_player.h"
#include "game/screens/game_screens.h"
#include "game/screens/screen_draw.h"
#include "screen_fixture.h"

namespace screens_test {
namespace {

using game::ComicAction;
using game::ComicPlayer;
using game::ComicOverlayZone;
using game::ZoneId;

// The events of a comic text, or nullopt-like false when it fails.
bool Parse(const std::string& text, std::vector<game::ComicEvent>& events) {
    engine::ScriptReader reader;
    EXPECT_EQ(reader.LoadFromImage(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), "comic"), 1);
    return game::ParseComic(reader, events);
}

std::string Events(int n) {
    std::string text;
    for (int i = 0; i < n; ++i) text += std::to_string(i) + ", LEFTOFF\n";
    return text;
}

TEST(ComicFileTest, ParsesItsTableOfCases) {
    struct Case {
        const char* name;
        std::string text;
        bool ok;
        std::vector<ComicAction> actions;
    };
    const std::vector<Case> cases = {
        {"valid", "0, LEFTON, general\n0.5, LSPEAK, KEY_A\r\n1 RIGHTON lady\n2 RSPEAK KEY_B\n3 leftoff\n4 RIGHTOFF\n5 FINISHED\n",
         true,
         {ComicAction::kLeftOn, ComicAction::kLeftSpeak, ComicAction::kRightOn, ComicAction::kRightSpeak,
          ComicAction::kLeftOff, ComicAction::kRightOff, ComicAction::kFinished}},
        {"mixed separators", "0.5 ,\t, LEFTON \t,general\n", true, {ComicAction::kLeftOn}},
        {"any case", "0 LeftOn g\n1 finished\n", true, {ComicAction::kLeftOn, ComicAction::kFinished}},
        {"comments and blanks", "// a comic\n\n0 LEFTOFF // gone\n\n", true, {ComicAction::kLeftOff}},
        {"unknown keyword skipped", "0 WAVE hand\n1 FINISHED\n", true, {ComicAction::kFinished}},
        {"empty file", "", true, {}},
        {"missing picture", "0 LEFTON\n1 FINISHED\n", false, {}},
        {"missing text key", "0, RSPEAK,\n", false, {}},
        {"no keyword", "0\n", false, {}},
        {"time not a number", "soon LEFTON general\n", false, {}},
        {"time half a number", "1.5s LEFTON general\n", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<game::ComicEvent> events;
        EXPECT_EQ(Parse(c.text, events), c.ok);
        if (!c.ok) continue;
        std::vector<ComicAction> actions;
        for (const auto& e : events) actions.push_back(e.action);
        EXPECT_EQ(actions, c.actions);
    }
    std::vector<game::ComicEvent> events;
    ASSERT_TRUE(Parse("0.5, LEFTON, general\n", events));
    EXPECT_FLOAT_EQ(events[0].start, 0.5f);
    EXPECT_EQ(events[0].argument, "general");
}

TEST(ComicFileTest, ThirtyOneEventsLoadAndThirtyTwoFail) {
    std::vector<game::ComicEvent> events;
    EXPECT_TRUE(Parse(Events(31), events));
    EXPECT_EQ(events.size(), 31u);
    EXPECT_FALSE(Parse(Events(32), events));
    // Skipped lines do not count.
    EXPECT_TRUE(Parse(Events(31) + "40 WAVE x\n", events));
}

class ComicTest : public ScreenTest {
protected:
    void SetUp() override {
        game.campaign = &campaign;
        campaign.missionFolder = "Campaigns/standard/m1";
        loader.Add("Comic/general", 512, 512);
        loader.Add("Comic/lady", 512, 512);
        ui.art[game::kArtZoomer] = loader.handles["GUI/Zoomer"];
    }
    void WriteComic(const std::string& text) { ASSERT_TRUE(data.Write("Campaigns/standard/m1/comic.TXT", text)); }
    std::vector<ComicAction> Actions(const ComicPlayer& player) {
        std::vector<ComicAction> out;
        for (const auto& e : player.GetEvents()) out.push_back(e.action);
        return out;
    }

    testsupport::FakeCampaign campaign;
    units_test::DataFolder data;
};

TEST_F(ComicTest, AMissingOrBadFilePlaysTheWaitComic) {
    const std::vector<ComicAction> wait = {ComicAction::kLeftOn, ComicAction::kLeftSpeak, ComicAction::kFinished};
    for (const char* text : {static_cast<const char*>(nullptr), "0 LEFTON\n", "x LEFTON general\n"}) {
        if (text != nullptr) WriteComic(text);
        ComicPlayer player(ui);
        player.Start(campaign.missionFolder);
        EXPECT_EQ(Actions(player), wait);
        EXPECT_EQ(player.GetEvents()[0].argument, "general");
    }
    WriteComic("0 RIGHTON lady\n");
    ComicPlayer player(ui);
    player.Start(campaign.missionFolder);
    EXPECT_EQ(Actions(player), std::vector<ComicAction>{ComicAction::kRightOn});
}

TEST_F(ComicTest, EventsRunOnceInTheFrameTheyStartIn) {
    WriteComic("0 LEFTON general\n0.5 RIGHTON lady\n");
    ComicPlayer player(ui);
    player.Start(campaign.missionFolder);
    player.Update(0.0f);
    EXPECT_EQ(player.GetPicture(0).Texture(), 0u) << "nothing runs without time passing";
    player.Update(0.25f);
    EXPECT_NE(player.GetPicture(0).Texture(), 0u) << "an event at 0 runs on the first frame";
    EXPECT_EQ(sound.uiSounds, std::vector<int>{game::kUiSwish});
    // 0.5 is this frame's end: it runs in the next frame, and only there.
    player.Update(0.25f);
    EXPECT_EQ(player.GetPicture(1).Texture(), 0u);
    player.Update(0.25f);
    EXPECT_NE(player.GetPicture(1).Texture(), 0u);
    player.Update(0.25f);
    EXPECT_EQ(sound.uiSounds, (std::vector<int>{game::kUiSwish, game::kUiSwish}));
}

TEST_F(ComicTest, PicturesSlideInFromBeyondTheEdgesAndTheLeftOneIsMirrored) {
    game.width = 1280;
    game.height = 720;
    WriteComic("0 LEFTON general\n0 RIGHTON lady\n");
    ComicPlayer player(ui);
    player.Start(campaign.missionFolder);
    EXPECT_FLOAT_EQ(player.OffScreenX(0), -256.0f);
    EXPECT_FLOAT_EQ(player.OffScreenX(1), 1280.0f + 256.0f);
    player.Update(0.01f);  // 30 pixels
    const auto& left = player.GetPicture(0);
    const auto& right = player.GetPicture(1);
    EXPECT_FLOAT_EQ(left.position.x, -256.0f + 30.0f);
    EXPECT_FLOAT_EQ(left.position.y, 432.0f);
    EXPECT_TRUE(left.mirrored);
    EXPECT_FLOAT_EQ(right.position.x, 1536.0f - 30.0f);
    EXPECT_FALSE(right.mirrored);
    for (int i = 0; i < 100; ++i) player.Update(0.01f);
    EXPECT_FLOAT_EQ(left.position.x, 640.0f - 200.0f);
    EXPECT_FLOAT_EQ(right.position.x, 640.0f + 200.0f);
    EXPECT_TRUE(left.mirrored) << "the flag stays";

    // Drawn: the left picture with a negative width, the right one plain, both from the pivot.
    recorder.Clear();
    player.Draw();
    const auto general = recorder.Of("image:Comic/general");
    const auto lady = recorder.Of("image:Comic/lady");
    ASSERT_EQ(general.size(), 1u);
    ASSERT_EQ(lady.size(), 1u);
    const int size = static_cast<int>(512 * 0.85f);
    EXPECT_EQ(general[0].destination.width, -size);
    EXPECT_EQ(general[0].destination.x, static_cast<int>(440.0f - 512 * 0.85f / 2.0f)) << "flipped in place";
    EXPECT_EQ(lady[0].destination.width, size);
    EXPECT_EQ(lady[0].destination.x, static_cast<int>(840.0f - 512 * 0.85f / 2.0f));
    EXPECT_EQ(lady[0].blend, game::kBlendAlpha);
}

TEST_F(ComicTest, SpeakersGrowAndShrinkAndTheBubbleFollowsTheSide) {
    WriteComic("0 LEFTON general\n0 RIGHTON lady\n0.1 LSPEAK KEY_L\n1 RSPEAK KEY_R\n");
    // A comic's keys are the campaign's: a key only the game's texts hold is not found.
    strings.campaignTexts["KEY_L"] = "Hold the bridge";
    strings.texts["KEY_R"] = "Game text";
    ComicPlayer player(ui);
    player.Start(campaign.missionFolder);
    for (int i = 0; i < 20; ++i) player.Update(0.01f);
    EXPECT_EQ(player.GetSpeechSide(), 1);
    EXPECT_FLOAT_EQ(player.GetPicture(0).targetScale, 1.0f);
    EXPECT_FLOAT_EQ(player.GetPicture(1).targetScale, 0.7f);
    for (int i = 0; i < 30; ++i) player.Update(0.01f);
    EXPECT_FLOAT_EQ(player.GetPicture(0).scale, 1.0f);
    EXPECT_FLOAT_EQ(player.GetPicture(1).scale, 0.7f);
    recorder.Clear();
    player.Draw();
    auto bubbles = recorder.ImagesOf("GUI/Zoomer", {0, 800, 502, 166});
    ASSERT_EQ(bubbles.size(), 1u);
    EXPECT_EQ(bubbles[0].destination, (engine::IntRect{480 - 251, 640 - 40 - 166, 502, 166}));
    ASSERT_NE(recorder.FindText("Hold the bridge"), nullptr);
    EXPECT_EQ(recorder.FindText("Hold the bridge")->colourEntry, 1);

    for (int i = 0; i < 150; ++i) player.Update(0.01f);
    EXPECT_EQ(player.GetSpeechSide(), 0);
    EXPECT_FLOAT_EQ(player.GetPicture(0).scale, 0.7f);
    EXPECT_FLOAT_EQ(player.GetPicture(1).scale, 1.0f);
    recorder.Clear();
    player.Draw();
    bubbles = recorder.ImagesOf("GUI/Zoomer", {0, 800, 502, 166});
    ASSERT_EQ(bubbles.size(), 1u);
    EXPECT_EQ(bubbles[0].destination, (engine::IntRect{480 - 251 - 1, 640 - 40 - 166, -502, 166}))
        << "flipped, one pixel further left";
    ASSERT_NE(recorder.FindText("No String"), nullptr);
    EXPECT_EQ(recorder.FindText("No String")->x, 480 - 251 - 1 + 20);
    EXPECT_EQ(recorder.FindText("Game text"), nullptr);

    // The wait comic's line is the game's own text.
    ComicPlayer wait(ui);
    wait.Start("Campaigns/standard/none");
    for (int i = 0; i < 60; ++i) wait.Update(0.01f);
    recorder.Clear();
    wait.Draw();
    EXPECT_NE(recorder.FindText("[GEN_COMIC_WAIT]"), nullptr);
}

TEST(ComicFadeTest, LinesFadeInInTurnAndTheBubbleFadesOutAfterSixSeconds) {
    struct Case {
        int line;
        float t;
        std::uint32_t colour;
    };
    // Line j waits 0.1 j s, then fades from transparent near-white to near-black over 0.4 s.
    for (const Case& c : std::vector<Case>{{0, 0.0f, 0x00FCFDFCu},
                                           {0, 0.4f, 0xFF010101u},
                                           {2, 0.2f, 0x00FCFDFCu},
                                           {2, 0.6f, 0xFF010101u},
                                           {3, 0.3f, 0x00FCFDFCu},
                                           {3, 5.0f, 0xFF010101u}}) {
        EXPECT_EQ(ComicPlayer::LineColour(c.line, c.t), c.colour) << c.line << " " << c.t;
    }
    // Half way through line 1's fade: every channel half way.
    const std::uint32_t half = ComicPlayer::LineColour(1, 0.3f);
    EXPECT_NEAR(static_cast<int>(half >> 24), 128, 1);
    EXPECT_NEAR(static_cast<int>((half >> 16) & 0xFF), 127, 1);
    struct Fade {
        float t;
        int alpha;
    };
    for (const Fade& f : std::vector<Fade>{{0.0f, 255}, {6.0f, 255}, {6.05f, 127}, {6.1f, 0}, {9.0f, 0}}) {
        EXPECT_NEAR(ComicPlayer::BubbleAlpha(f.t), f.alpha, 1) << f.t;
    }
}

class ComicOverlayTest : public ComicTest {
protected:
    void SetUp() override {
        ComicTest::SetUp();
        game::RegisterMenuInfoZones(registry);
        ASSERT_TRUE(registry.CreateZones());
        overlay = &ZoneOf<ComicOverlayZone>(ZoneId::kComicOverlay);
    }
    ComicOverlayZone* overlay = nullptr;
};

// After a display switch the overlay covers the new screen and its skip button stands 326 right of and 170
// below the middle.
TEST_F(ComicOverlayTest, TheOverlayAndItsSkipButtonFollowADisplaySwitch) {
    overlay->Relayout(1600, 1200);
    const engine::IntRect window = overlay->GetWindow()->GetRect();
    EXPECT_EQ(window.width, 1600);
    EXPECT_EQ(window.height, 1200);
    const engine::DialogControl* skip = overlay->GetWindow()->FindControl(ComicOverlayZone::kSkipId);
    ASSERT_NE(skip, nullptr);
    const engine::IntRect r = skip->GetRect();
    EXPECT_EQ(r.x, 1126);
    EXPECT_EQ(r.y, 770);
    EXPECT_EQ(r.width, 114);
    EXPECT_EQ(r.height, 110);
}

TEST_F(ComicOverlayTest, SkipAndFinishBothLoadTheLevelAndHidingRestoresTheResourceGroup) {
    WriteComic("0 LEFTON general\n0.5 FINISHED\n");
    for (const bool skip : {true, false}) {
        SCOPED_TRACE(skip);
        game.states.clear();
        game.purgedGroups.clear();
        game.resourceGroup = 5;
        overlay->SetShown(true, false);
        EXPECT_EQ(game.resourceGroup, ComicOverlayZone::kComicGroup);
        ASSERT_NE(overlay->GetPlayer(), nullptr);
        driver.Frame();
        EXPECT_TRUE(game.states.empty());
        if (skip) {
            driver.Click(*overlay, ComicOverlayZone::kSkipId);
        } else {
            driver.Run(0.6f);
        }
        EXPECT_FALSE(overlay->IsShown());
        EXPECT_EQ(overlay->GetPlayer(), nullptr);
        EXPECT_EQ(game.states, std::vector<int>{ComicOverlayZone::kLoadLevelState});
        EXPECT_EQ(game.purgedGroups, std::vector<int>{ComicOverlayZone::kComicGroup});
        EXPECT_EQ(game.resourceGroup, 5);
    }
}

// The comic resets the announcer when it starts, which then lays its bands over the backdrop in every
// frame, and hides it when it ends; its first frame restarts the frame timer and runs nothing.
TEST_F(ComicOverlayTest, TheComicDrivesTheAnnouncerAndRestartsTheClock) {
    WriteComic("0 LEFTON general\n5 FINISHED\n");
    game.menuPicture = loader.Add("Common/MenuPic", 1024, 768);
    game.onResetClock = [this] { clock.timer.Reset(); };
    overlay->SetShown(true, false);
    EXPECT_EQ(game.announcer, std::vector<std::string>{"reset"});
    recorder.Clear();
    driver.Frame();
    EXPECT_EQ(game.clockResets, 1);
    EXPECT_FLOAT_EQ(overlay->GetPlayer()->GetTime(), 0.0f);
    EXPECT_EQ(game.announcer, (std::vector<std::string>{"reset", "draw"}));
    ASSERT_FALSE(recorder.log.empty());
    EXPECT_EQ(recorder.log[0].texture, "Common/MenuPic") << "the backdrop comes first";
    driver.Run(0.5f);
    EXPECT_EQ(game.clockResets, 1) << "only the first frame";
    EXPECT_NE(overlay->GetPlayer()->GetPicture(0).Texture(), 0u);
    driver.Click(*overlay, ComicOverlayZone::kSkipId);
    EXPECT_EQ(game.announcer.back(), "hide");
    const auto calls = game.announcer.size();
    overlay->SetShown(false, false);
    EXPECT_EQ(game.announcer.size(), calls) << "a second hide changes nothing";
}

TEST_F(ComicOverlayTest, AComicWithNoEventsLoadsTheLevelAtOnce) {
    WriteComic("\n");
    overlay->SetShown(true, false);
    driver.Frame();
    EXPECT_FALSE(overlay->IsShown());
    EXPECT_EQ(game.states, std::vector<int>{ComicOverlayZone::kLoadLevelState});
    // A second hide changes nothing.
    overlay->SetShown(false, false);
    EXPECT_EQ(game.purgedGroups.size(), 1u);
    EXPECT_EQ(game.announcer, std::vector<std::string>{"hide"}) << "a comic with no events resets nothing";
}

}  // namespace
}  // namespace screens_test
