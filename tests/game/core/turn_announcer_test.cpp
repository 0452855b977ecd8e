// The turn announcer over a recording scene and target: how long it shows, the envelope of the bands, when
// the caption draws, where the walker goes and what a restart or a missing walker does.
#include <gtest/gtest.h>

#include <cmath>

#include "../../engine/gui/gui_fixtures.h"
#include "engine/core/random_streams.h"
#include "game/core/turn_announcer.h"

namespace {

using namespace game;

class RecordingScene final : public AnnouncerScene {
public:
    bool CreateWalker(int unitType, int teamKind) override {
        created.push_back({unitType, teamKind});
        walker = canMake;
        return walker;
    }
    void DeleteWalker() override {
        if (walker) ++deleted;
        walker = false;
    }
    bool HasWalker() const override { return walker; }
    void PlaceWalker(float x, float yaw) override { placed.push_back({x, yaw}); }
    void Render(engine::RenderTargetBase&) override { ++renders; }
    void Relayout(int, int) override {}

    std::vector<std::pair<int, int>> created;
    std::vector<std::pair<float, float>> placed;
    bool walker = false;
    bool canMake = true;
    int deleted = 0;
    int renders = 0;
};

class GradientTarget final : public testsupport::NullRenderTarget {
public:
    struct Band {
        engine::IntRect rect;
        std::uint32_t top;
        std::uint32_t bottom;
    };
    GradientTarget() : NullRenderTarget(960, 640) {}
    void FillRectGradient(const engine::IntRect& rect, std::uint32_t topLeft, std::uint32_t, std::uint32_t bottomLeft,
                          std::uint32_t, int) override {
        bands.push_back({rect, topLeft, bottomLeft});
    }
    std::vector<Band> bands;
};

class AnnouncerTest : public ::testing::Test {
protected:
    AnnouncerTest() {
        AnnouncerServices services;
        services.scene = &scene;
        services.playUiSound = [this](int sound) { sounds.push_back(sound); };
        services.currentTeamKind = [this] { return kind; };
        services.random = &random;
        services.captionFont = &font;
        announcer = std::make_unique<TurnAnnouncer>(services);
    }
    // One frame; true when the caption drew.
    bool Frame(float dt) {
        const std::size_t before = font.quads.size();
        announcer->DrawOn(target, dt);
        return font.quads.size() != before;
    }

    RecordingScene scene;
    GradientTarget target;
    guitest::RecordingFont font;
    engine::RandomStreams random{[] { return 7u; }};
    std::vector<int> sounds;
    int kind = 1;
    std::unique_ptr<TurnAnnouncer> announcer;
};

TEST_F(AnnouncerTest, ShowsForTwoSecondsWithTheCaptionInTheMiddle) {
    announcer->Show(engine::WideString("A"), 0);
    EXPECT_EQ(sounds, std::vector<int>{3});
    ASSERT_EQ(scene.created.size(), 1u);
    EXPECT_EQ(scene.created[0].second, 1);
    const int type = scene.created[0].first;
    EXPECT_TRUE(type >= 3 && type <= 7) << type;
    int frames = 0;
    std::vector<int> captionFrames;
    while (announcer->IsShowing() && frames < 100) {
        if (Frame(0.05f)) captionFrames.push_back(frames);
        ++frames;
    }
    EXPECT_EQ(frames, 41) << "40 frames of 0.05 s, and the one that runs out";
    // Frame f ends at (f + 1) x 0.05 s: the caption draws while 0.2 s <= t <= 1.8 s.
    ASSERT_FALSE(captionFrames.empty());
    EXPECT_EQ(captionFrames.front(), 3);
    EXPECT_EQ(captionFrames.back(), 35);
    EXPECT_EQ(captionFrames.size(), 33u);
}

TEST(AnnouncerEnvelope, OpensAndClosesOverATenthOfTheTime) {
    struct Case {
        float q;
        bool walker;
        float e;
    };
    const Case cases[] = {{0.0f, true, 0.0f},     {0.05f, true, std::sqrt(0.5f)}, {0.1f, true, 1.0f},
                          {0.5f, true, 1.0f},     {0.95f, true, std::sqrt(0.5f)}, {0.95f, false, 1.0f},
                          {1.0f, true, 0.0f}};
    for (const Case& c : cases) EXPECT_NEAR(TurnAnnouncer::Envelope(c.q, c.walker), c.e, 1e-5f) << c.q;
    EXPECT_EQ(TurnAnnouncer::Envelope(0.1f, true), 1.0f) << "exactly 1, so the caption shows";
}

TEST_F(AnnouncerTest, BandsMeetAtTheMiddleLineInBlack) {
    announcer->Show(engine::WideString("A"), 0);
    Frame(1.0f);
    ASSERT_EQ(target.bands.size(), 2u);
    EXPECT_EQ(target.bands[0].rect.y + target.bands[0].rect.height, 320);
    EXPECT_EQ(target.bands[0].rect.height, 320);
    EXPECT_EQ(target.bands[0].top, 0u);
    EXPECT_EQ(target.bands[0].bottom, 0xFF000000u);
    EXPECT_EQ(target.bands[1].rect.y, 320);
    EXPECT_EQ(target.bands[1].top, 0xFF000000u);
    EXPECT_EQ(target.bands[1].bottom, 0u);
}

TEST_F(AnnouncerTest, HumanSidesWalkRightAndComputerSidesLeft) {
    for (int computer : {0, 1}) {
        scene.placed.clear();
        announcer->Show(engine::WideString("A"), computer);
        while (announcer->IsShowing()) Frame(0.1f);
        ASSERT_FALSE(scene.placed.empty());
        const float first = scene.placed.front().first;
        const float last = scene.placed.back().first;
        EXPECT_EQ(scene.placed.front().second, computer != 0 ? -90.0f : 90.0f);
        // Frames of 0.1 s: the first at q = 0.05, the last drawn at q = 0.95 or 1.
        for (std::size_t i = 1; i < scene.placed.size(); ++i) {
            const float step = scene.placed[i].first - scene.placed[i - 1].first;
            EXPECT_NEAR(step, computer != 0 ? -0.3f : 0.3f, 1e-4f);
        }
        EXPECT_NEAR(first, computer != 0 ? 2.2f : -3.2f, 1e-4f);
        EXPECT_NEAR(last, computer != 0 ? -3.2f : 2.2f, 0.31f);
    }
    EXPECT_EQ(TurnAnnouncer::WalkerX(0.0f, false), -3.5f);
    EXPECT_EQ(TurnAnnouncer::WalkerX(0.0f, true), 2.5f);
}

TEST_F(AnnouncerTest, ShowRestartsAndANewWalkerIsMadeEachTime) {
    announcer->Show(engine::WideString("A"), 0);
    Frame(1.5f);
    kind = 3;
    announcer->Show(engine::WideString("B"), 1);
    EXPECT_EQ(announcer->GetTimeLeft(), 2.0f);
    EXPECT_STREQ(announcer->GetCaption().GetNarrow(), "B");
    EXPECT_EQ(scene.deleted, 1);
    ASSERT_EQ(scene.created.size(), 2u);
    EXPECT_EQ(scene.created[1].second, 3);
    EXPECT_EQ(sounds.size(), 2u);
    announcer->Hide();
    EXPECT_FALSE(announcer->IsShowing());
    EXPECT_EQ(scene.renders, 1);
    Frame(0.1f);
    EXPECT_EQ(scene.renders, 1) << "hidden: nothing draws";
    EXPECT_TRUE(scene.walker) << "the walker stays until the next announcement";
}

TEST_F(AnnouncerTest, WithoutAWalkerItStaysShowingUntilHidden) {
    scene.canMake = false;
    announcer->Show(engine::WideString("A"), 0);
    for (int i = 0; i < 100; ++i) EXPECT_FALSE(Frame(0.1f)) << "no caption without a walker";
    EXPECT_TRUE(announcer->IsShowing());
    EXPECT_EQ(scene.renders, 0);
    target.bands.clear();
    Frame(0.1f);
    EXPECT_EQ(target.bands.size(), 2u) << "the bands stay closed over the middle";
    announcer->Hide();
    EXPECT_FALSE(announcer->IsShowing());
}

}  // namespace
