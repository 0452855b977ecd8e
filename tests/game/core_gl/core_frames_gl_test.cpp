// One frame each of the turn announcer, the campaign map and the achievement popup on a real "Main RT" of
// the test context: no GL error, and the announcer's bands at full strength meet black at the middle line.
#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include "engine/render_targets/render_target_fixture.h"
#include "engine/platform/memory_save_store.h"
#include "engine/platform/save_blob.h"
#include "game/core/achievement_list.h"
#include "game/core/player_profile.h"
#include "game/core/campaign.h"
#include "game/core/turn_announcer.h"

namespace {

using namespace game;

constexpr int kW = 960;
constexpr int kH = 640;
constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

// A walker that is there and draws nothing of its own.
class StandingScene final : public AnnouncerScene {
public:
    bool CreateWalker(int, int) override { return true; }
    void DeleteWalker() override {}
    bool HasWalker() const override { return true; }
    void PlaceWalker(float, float) override {}
    void Render(engine::RenderTargetBase&) override {}
    void Relayout(int, int) override {}
};

class CoreFramesGlTest : public targettest::RenderTargetTest {
protected:
    void SetUp() override {
        RenderTargetTest::SetUp();
        main_ = engine::CreateRenderTarget("Main RT", kW, kH, engine::kTargetPlain);
        ASSERT_NE(main_, nullptr);
        sheet_ = MakeNoiseTexture(64, 64);
        while (glGetError() != GL_NO_ERROR) {
        }
    }
    void TearDown() override {
        delete main_;
        RenderTargetTest::TearDown();
    }
    int MakeNoiseTexture(int width, int height) {
        engine::Image image;
        EXPECT_TRUE(image.Create(width, height, engine::WideString("Sheet")));
        std::uint8_t* p = image.Pixels();
        for (int i = 0; i < width * height * 4; ++i) p[i] = static_cast<std::uint8_t>(i * 37);
        return engine::TextureTable::CreateFromImage(image, 0);
    }

    engine::RenderTarget* main_ = nullptr;
    int sheet_ = 0;
};

TEST_F(CoreFramesGlTest, TheAnnouncerAtOneSecondDarkensTheMiddleLine) {
    StandingScene scene;
    AnnouncerServices services;
    services.scene = &scene;
    services.zoomSheet = static_cast<std::uint32_t>(sheet_);
    services.zoomSheetWidth = 64;
    TurnAnnouncer announcer(services);
    announcer.Show(engine::WideString("Your turn"), 0);
    main_->Begin(kWhite);
    announcer.DrawOn(*main_, 1.0f);
    main_->End();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    const auto picture = Read(*main_);
    for (int y : {kH / 2 - 1, kH / 2}) {
        const auto pixel = At(picture, kW, 0, y);
        for (int c = 0; c < 3; ++c) EXPECT_LE(pixel[c], 8) << "y " << y;
    }
    // The bands fade out towards the edges of the screen.
    EXPECT_GE(At(picture, kW, 0, 0)[0], 240);
}

TEST_F(CoreFramesGlTest, TheCampaignMapAndThePopupDrawWithoutErrors) {
    CampaignServices campaignServices;
    campaignServices.markerSheet = static_cast<std::uint32_t>(sheet_);
    campaignServices.medalSheet = static_cast<std::uint32_t>(sheet_);
    Campaign campaign("None", campaignServices);
    campaign.StartMap(0.0);
    main_->Begin(kWhite);
    campaign.DrawMap(*main_, 0.5);
    main_->End();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    // Without a map picture the view is grey.
    const auto map = Read(*main_);
    EXPECT_EQ(At(map, kW, kW / 2 - 426 + 10, kH / 2 - 213 + 10)[0], 0x40);

    AchievementServices popupServices;
    popupServices.loadTexture = [this](const char*) { return static_cast<std::uint32_t>(sheet_); };
    engine::MemorySaveStore store;
    engine::NamedSaveBlob blob{store};
    PlayerProfile profile{blob, store};
    AchievementList achievements(popupServices);
    achievements.SetProfile(&profile);
    achievements.LoadTexts();
    ASSERT_EQ(achievements.TryUnlock(0), 1);
    main_->Begin(kWhite);
    achievements.DrawPopupOn(*main_, 0.02f);
    main_->End();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
