// The screens' own 3D viewports on the shipped data, in a window of the screens' full size: the shop of a
// skirmish level's producer draws its display units where their entries stand, and the win screen draws its
// trophy inside the trophy's viewport and turns it from frame to frame.
#include "shipped_battle_fixture.h"

#include <cstdio>
#include <cstdlib>

#include "game/screens/zone_layout.h"

namespace core_test {
namespace {

using Picture = std::vector<std::uint8_t>;

// A skirmish level of the archive (every one has a factory for each side).
std::string SkirmishLevel() {
    for (const std::string& folder : ShippedLevels()) {
        std::string lower = folder;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (lower.find("crossroads") != std::string::npos) return folder;
    }
    return {};
}

class ShippedScreensPictureTest : public ShippedBattleTest {
protected:
    ShippedScreensPictureTest() {
        windowWidth = kBaseWidth;
        windowHeight = kBaseHeight;
    }

    void LoadBattle() {
        const std::string level = SkirmishLevel();
        ASSERT_FALSE(level.empty()) << "no skirmish level in the archive";
        profile.mapFolder = level;
        game->SetState(kGameLoadSkirmish);
        RunUntil([] { return true; }, 1);
        ASSERT_NE(game->GetLevel(), nullptr) << level;
        RunUntil([] { return false; }, 5);
    }

    // The picture of the next frame.
    Picture Frame() {
        RunUntil([] { return false; }, 1);
        EXPECT_EQ(sys::GpuHooks().presentedWidth, kBaseWidth);
        EXPECT_EQ(sys::GpuHooks().presentedHeight, kBaseHeight);
        return sys::GpuHooks().presentedImage;
    }

    // Runs the frames in one pass of the main loop, so the frame clock runs on between them (each pass starts
    // it afresh); the picture of the last.
    Picture RunFrames(int frames) {
        int left = frames;
        quitAfterFrame = false;
        afterFrame = [this, &left](int) {
            now += kFrame;
            if (--left == 0) game->RequestQuit();
        };
        game->RunMainLoop();
        afterFrame = [this](int) { now += kFrame; };
        return sys::GpuHooks().presentedImage;
    }

    // The next frame's picture drawn with the scene root's children taken off it, then hung back.
    Picture FrameWithout(engine::SceneNode& root) {
        std::vector<engine::SceneNode*> children;
        while (root.GetChildCount() > 0) {
            children.push_back(root.GetChild(0));
            children.back()->Detach();
        }
        Picture picture = Frame();
        for (engine::SceneNode* child : children) root.AddChild(child);
        return picture;
    }

    // The mean of the red, green and blue of the rectangle's pixels, 0 to 255.
    static double MeanBrightness(const Picture& picture, const engine::IntRect& rect) {
        double sum = 0.0;
        for (int y = rect.y; y < rect.y + rect.height; ++y) {
            for (int x = rect.x; x < rect.x + rect.width; ++x) {
                const std::size_t at = (static_cast<std::size_t>(y) * kBaseWidth + static_cast<std::size_t>(x)) * 4;
                sum += picture[at] + picture[at + 1] + picture[at + 2];
            }
        }
        return sum / (3.0 * rect.width * rect.height);
    }

    // The pixels of the rectangle whose colour differs between the two pictures by more than a rounding step.
    static int Differing(const Picture& a, const Picture& b, const engine::IntRect& rect) {
        if (a.size() != b.size() || a.size() != static_cast<std::size_t>(kBaseWidth * kBaseHeight * 4)) return -1;
        int count = 0;
        for (int y = rect.y; y < rect.y + rect.height; ++y) {
            for (int x = rect.x; x < rect.x + rect.width; ++x) {
                const std::size_t at = (static_cast<std::size_t>(y) * kBaseWidth + static_cast<std::size_t>(x)) * 4;
                for (int c = 0; c < 3; ++c) {
                    if (std::abs(static_cast<int>(a[at + c]) - static_cast<int>(b[at + c])) > 8) {
                        ++count;
                        break;
                    }
                }
            }
        }
        return count;
    }
};

TEST_F(ShippedScreensPictureTest, TheShopDrawsEachDisplayUnitInItsOwnCell) {
    ASSERT_NO_FATAL_FAILURE(LoadBattle());
    Structure* producer = ShopStructure();
    ASSERT_NE(producer, nullptr) << "the skirmish level has no producer with a free pad";
    game->SetPickedStructure(producer);
    game->SetShopStructure(producer->FindFreePad());
    game->SetState(kGameShop);
    ShopZone* shop = ZoneOf<ShopZone>(ZoneId::kShop);
    ASSERT_NE(shop, nullptr);
    ASSERT_TRUE(RunUntil([&] { return shop->IsFullyOpen(); }, 100)) << "the shop did not open";
    RunUntil([] { return false; }, 3);
    ASSERT_GT(shop->GetCount(), 1);
    ASSERT_NE(shop->GetSceneRoot(), nullptr);
    EXPECT_EQ(std::string(shop->GetSceneRoot()->GetName().GetNarrow()), "ShopSpinny");
    EXPECT_EQ(shop->GetSceneRoot()->GetChildCount(), shop->GetCount()) << "every display unit hangs under the root";

    const Picture with = Frame();
    const Picture without = FrameWithout(*shop->GetSceneRoot());
    const engine::IntRect area = SidePanelRect(3, true);
    for (int i = 0; i < shop->GetCount(); ++i) {
        const ShopEntry& entry = shop->GetEntry(i);
        SCOPED_TRACE(entry.unitType);
        // The cell lies in the model area of the open shop (window at the origin).
        EXPECT_TRUE(area.Contains(entry.hitRect.x, entry.hitRect.y));
        const int cell = entry.hitRect.width * entry.hitRect.height;
        EXPECT_GT(Differing(with, without, entry.hitRect), cell / 50) << "the display unit's cell shows no model";
    }
    // Outside the model area the models change nothing: the camera's viewport holds them.
    const engine::IntRect panel = SidePanelRect(3, false);
    EXPECT_EQ(Differing(with, without, panel), 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShippedScreensPictureTest, TheWinScreenDrawsItsTrophyInItsViewportAndTurnsIt) {
    ASSERT_NO_FATAL_FAILURE(LoadBattle());
    liveScreens->HideAllDialogs();
    liveScreens->OpenWin(1, 10, "");
    WinZone* win = ZoneOf<WinZone>(ZoneId::kMissionWon);
    ASSERT_NE(win, nullptr);
    ASSERT_TRUE(RunUntil([&] { return win->IsFullyOpen(); }, 100)) << "the win screen did not open";
    ASSERT_NE(win->GetTrophyNode(), nullptr) << "the gold trophy did not load";
    ASSERT_NE(win->GetSceneRoot(), nullptr);
    EXPECT_EQ(std::string(win->GetSceneRoot()->GetName().GetNarrow()), "WinSpinny");
    EXPECT_EQ(win->GetTrophyNode()->GetParent(), win->GetSceneRoot());

    const engine::IntRect viewport{40, 150, 300, 300};
    const Picture turned = Frame();
    const Picture without = FrameWithout(*win->GetSceneRoot());
    const int size = viewport.width * viewport.height;
    EXPECT_GT(Differing(turned, without, viewport), size / 50) << "the viewport shows no trophy";
    // Only the viewport holds the trophy: the text area beside it is the same without it.
    EXPECT_EQ(Differing(turned, without, {viewport.x + viewport.width + 10, 0, 100, kBaseHeight}), 0);

    // 75 frames of 60 ms later (the first frames of a pass of the main loop have no time yet) the trophy has
    // turned by 20 degrees a second, and its handles stand elsewhere.
    const float before = win->GetTrophyAngle();
    const Picture later = RunFrames(75);
    EXPECT_NEAR(win->GetTrophyAngle() - before, 74 * 0.06f * kTrophyDegreesPerSecond, 2.5f);
    EXPECT_GT(Differing(turned, later, viewport), size / 200) << "the trophy did not turn";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// High detail off lights the battle with the plain spot light in place of the shadowed directional one: the
// whole map is as bright as with high detail on, and no part of it much darker or brighter.
TEST_F(ShippedScreensPictureTest, ABattleInLowDetailIsLitAsBrightlyAsInHighDetail) {
    profile.options |= kOptionQuality;
    ASSERT_NO_FATAL_FAILURE(LoadBattle());
    // The whole map in view: the camera some 50 units up and back from near its middle, looking down at 45
    // degrees.
    engine::Matrix44 camera;
    const float c = 0.70710678f;
    camera.SetRow(0, {1, 0, 0});
    camera.SetRow(1, {0, c, c});
    camera.SetRow(2, {0, -c, c});
    camera.SetRow(3, {-10.0f, 42.4f, -32.4f});
    view->GetSceneView()->GetViewTransform().SetMatrix(camera);
    game->ApplyLightingQuality();
    const Picture high = Frame();
    profile.options &= ~kOptionQuality;
    game->ApplyLightingQuality();
    const Picture low = Frame();
    // The map's part of the picture (the sky around it is the same in both), whole and in nine parts.
    const engine::IntRect map{280, 220, 420, 280};
    const double highMean = MeanBrightness(high, map);
    const double lowMean = MeanBrightness(low, map);
    std::printf("mean brightness of the map: high detail %.1f, low detail %.1f\n", highMean, lowMean);
    EXPECT_NEAR(lowMean / highMean, 1.0, 0.15);
    for (int part = 0; part < 9; ++part) {
        const engine::IntRect r{map.x + part % 3 * map.width / 3, map.y + part / 3 * map.height / 3, map.width / 3,
                                map.height / 3};
        const double ratio = MeanBrightness(low, r) / MeanBrightness(high, r);
        std::printf("  part %d: low / high %.2f\n", part, ratio);
        EXPECT_NEAR(ratio, 1.0, 0.25) << "part " << part << " of the map";
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
}  // namespace core_test
