// Achievements: unlocking through the profile, counting, icon cells, and the popup with its flash drawn on
// a recording target frame by frame.
#include <gtest/gtest.h>

#include <vector>

#include "engine/platform/memory_save_store.h"
#include "engine/platform/save_blob.h"
#include "game/core/achievement_list.h"
#include "game/core/player_profile.h"
#include "support/null_render_target.h"

namespace {

using namespace game;

class PopupRecorder final : public testsupport::NullRenderTarget {
public:
    struct Cell {
        engine::IntRect destination;
        engine::IntRect source;
        std::uint32_t colour = 0;
        int blend = 0;
    };
    PopupRecorder() : NullRenderTarget(960, 640) {}
    void DrawTextureRect(const engine::IntRect& destination, const engine::IntRect& source, std::uint32_t,
                         std::uint32_t colour, int blend, int) override {
        cells.push_back({destination, source, colour, blend});
    }
    // Popup backgrounds drawn (the cell at 0, 432).
    int Backgrounds() const {
        int n = 0;
        for (const Cell& c : cells) n += c.source.x == 0 && c.source.y == 432 ? 1 : 0;
        return n;
    }
    std::vector<Cell> cells;
};

class AchievementsTest : public ::testing::Test {
protected:
    AchievementsTest() {
        AchievementServices services;
        services.loadTexture = [](const char*) -> std::uint32_t { return 5; };
        services.playUiSound = [this](int sound) { sounds.push_back(sound); };
        list = std::make_unique<AchievementList>(services);
        profile.ResetDefaults();
        profile.Save();
        list->SetProfile(&profile);
        list->LoadTexts();
    }
    engine::MemorySaveStore store;
    engine::NamedSaveBlob blob{store};
    PlayerProfile profile{blob, store};
    std::vector<int> sounds;
    std::unique_ptr<AchievementList> list;
};

TEST_F(AchievementsTest, UnlockingTwiceSavesAndShowsOnce) {
    EXPECT_EQ(list->TryUnlock(8), 1);
    EXPECT_TRUE(list->IsEarned(8));
    EXPECT_FALSE(profile.IsDirty()) << "the profile is written at once";
    // A marker in place of the written file shows whether anything writes again.
    store.Put("savedata.sav", {9});
    PopupRecorder target;
    list->DrawPopupOn(target, 1.0f);
    EXPECT_EQ(list->TryUnlock(8), 0);
    EXPECT_EQ(*store.Find("savedata.sav"), std::vector<std::uint8_t>{9}) << "no second write";
    EXPECT_EQ(sounds, std::vector<int>{8});
    EXPECT_FLOAT_EQ(list->GetPopupTimeLeft(), 4.0f) << "the popup was not restarted";
    EXPECT_EQ(profile.GetEarnedMaskLow(), 1u << 8);
}

TEST_F(AchievementsTest, RefusedWithoutAProfileOrOutsideTheIds) {
    for (int id : {-1, 16, 40}) EXPECT_EQ(list->TryUnlock(id), 0) << id;
    list->SetProfile(nullptr);
    EXPECT_EQ(list->TryUnlock(3), 0);
    EXPECT_TRUE(sounds.empty());
    EXPECT_EQ(list->GetPopupTimeLeft(), 0.0f);
}

TEST_F(AchievementsTest, CountsPointsAndIconCells) {
    list->TryUnlock(2);
    list->TryUnlock(3);
    int points = 0;
    EXPECT_EQ(list->CountEarned(points), 2);
    EXPECT_EQ(points, 175);
    int total = 0;
    for (int id = 0; id < kAchievementCount; ++id) total += list->GetEntry(id).points;
    EXPECT_EQ(total, 1000);
    EXPECT_STREQ(list->GetEntry(8).title.GetNarrow(), "ACH_KILLS_100_TITLE");
    const engine::IntRect cell = AchievementList::GetIconRect(13);
    EXPECT_EQ(cell.x, 5 * 64);
    EXPECT_EQ(cell.y, 64);
}

TEST_F(AchievementsTest, TwoUnlocksInOneFrameShowTheSecondForFiveSeconds) {
    list->TryUnlock(6);
    list->TryUnlock(9);
    EXPECT_EQ(list->GetPopupId(), 9);
    PopupRecorder target;
    float shown = 0.0f;
    while (list->GetPopupTimeLeft() > 0.0f && shown < 10.0f) {
        list->DrawPopupOn(target, 0.05f);
        shown += 0.05f;
    }
    EXPECT_NEAR(shown, 5.0f, 0.051f);
    // Every frame drew the second one's icon cell.
    for (const PopupRecorder::Cell& c : target.cells) {
        if (c.destination.width == 64) {
            EXPECT_EQ(c.source.x, AchievementList::GetIconRect(9).x);
        }
    }
}

TEST_F(AchievementsTest, TheFlashDrawsForTheFirstFifthOfASecond) {
    list->TryUnlock(0);
    struct Frame {
        float dt;
        int backgrounds;  // one plain, plus four flashed while more than 4.8 s are left
    };
    const Frame frames[] = {{0.1f, 5}, {0.05f, 5}, {0.05f, 5}, {0.05f, 1}, {0.1f, 1}};
    for (const Frame& f : frames) {
        PopupRecorder target;
        const float before = list->GetPopupTimeLeft();
        list->DrawPopupOn(target, f.dt);
        EXPECT_EQ(target.Backgrounds(), f.backgrounds) << "at " << before;
        if (f.backgrounds == 5) {
            // The flashes draw additively in grey (time - 4.8) / 0.2.
            const PopupRecorder::Cell& flash = target.cells[2];
            EXPECT_EQ(flash.blend, 1);
            const auto grey = static_cast<std::uint32_t>((before - 4.8f) / 0.2f * 255.0f);
            EXPECT_EQ(flash.colour, 0xFF000000u | grey << 16 | grey << 8 | grey);
            EXPECT_EQ(target.cells[0].blend, 3);
            EXPECT_EQ(target.cells[0].colour, 0xFFFFFFFFu);
        }
    }
    // The panel: 512 by 80, centred, 180 above the bottom.
    PopupRecorder target;
    list->DrawPopupOn(target, 0.0f);
    EXPECT_EQ(target.cells[0].destination.x, 480 - 256);
    EXPECT_EQ(target.cells[0].destination.y, 640 - 180);
    EXPECT_EQ(target.cells[1].destination.x, 480 - 247);
}

}  // namespace
