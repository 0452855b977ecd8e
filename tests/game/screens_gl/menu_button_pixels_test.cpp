// The main menu's right-column buttons drawn into "Main RT" on the test context, from a button sheet whose
// plate cell is red and whose icon back is green: each mirrored plate starts at the button's left edge and
// runs 384 px right, under its icon back at the button's right end, and nothing of it lies past the button or
// at the screen's right edge. On a wider target the menu's 960 by 640 window stands centred, and the plate
// moves with it at the same size.
#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../screens/screen_fixture.h"
#include "engine/gui/dialog_system.h"
#include "engine/render_targets/render_target_fixture.h"
#include "fixture_sheets.h"
#include "game/core/game_ports.h"
#include "game/screens/main_menu_zones.h"

namespace {

using game::ZoneId;

constexpr std::uint32_t kBackdrop = 0xFF303030u;
constexpr std::uint32_t kPlate = 0xFFD02020u;
constexpr std::uint32_t kBack = 0xFF20D020u;

enum class Seen { kPlate, kBack, kOther };

class MenuButtonPixelsTest : public targettest::RenderTargetTest, public screens_test::ScreenKit {
protected:
    void SetUp() override {
        RenderTargetTest::SetUp();
        // The plate cell (168, 0, 384, 112) and the icon back (0, 0, 114, 110); the icons are clear.
        fixtures_.handles["GUI/ButtonBits"] = screens_gl_test::MakeSheet(1024, 512, [](int x, int y) {
            if (x < 114 && y < 110) return kBack;
            if (x >= 168 && x < 168 + 384 && y < 112) return kPlate;
            return 0u;
        });
        fixtures_.handles["GUI/Zoomer"] = screens_gl_test::MakeSheet(1024, 1024, [](int, int) { return kBackdrop; });
        ui.textures = &fixtures_;
        game::RegisterMainMenuZones(registry);
        ASSERT_TRUE(registry.CreateZones());
    }
    void TearDown() override {
        registry.DestroyZones();
        RenderTargetTest::TearDown();
    }

    // The menu opened and past its opening enlargement, drawn into a "Main RT" of the size.
    std::vector<std::uint8_t> DrawMenu(int width, int height) {
        game.width = width;
        game.height = height;
        OpenFully(ZoneOf<game::TitledZone>(ZoneId::kMainMenu), game::kZoneMainMenu);
        driver.Run(0.3f);
        std::unique_ptr<engine::RenderTarget> target(
            engine::CreateRenderTarget("Main RT", width, height, engine::kTargetMain));
        EXPECT_NE(target, nullptr);
        if (target == nullptr) return {};
        ui.target = target.get();
        while (glGetError() != GL_NO_ERROR) {
        }
        target->Begin(0xFF000000u);
        engine::DrawAllDialogs(*target);
        target->End();
        ui.target = &recorder;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        return Read(*target);
    }

    static Seen SeenAt(const std::vector<std::uint8_t>& picture, int width, int x, int y) {
        const targettest::Rgba p = targettest::PixelAt(picture, width, x, y);
        if (p[0] > 150 && p[1] < 80) return Seen::kPlate;
        if (p[1] > 150 && p[0] < 80) return Seen::kBack;
        return Seen::kOther;
    }

    screens_gl_test::FixtureLoader fixtures_;
};

TEST_F(MenuButtonPixelsTest, RightColumnPlatesLieInsideTheirButtonsAndTheScreen) {
    struct Case {
        int width;
        int height;
    };
    for (const Case c : {Case{960, 640}, Case{1280, 720}}) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        const std::vector<std::uint8_t> picture = DrawMenu(c.width, c.height);
        ASSERT_EQ(picture.size(), static_cast<std::size_t>(c.width) * c.height * 4);
        // The menu's window is centred on the target, so the base's (0, 0) stands at:
        const int ox = c.width / 2 - 480;
        const int oy = c.height / 2 - 320;
        // Play (slot 1) and Awards (slot 3): buttons at x 490, y 100 and 230, 430 by 110. The plate, 384 by 112,
        // is centred 2 px below the button's middle: y 101 to 213 for Play. Mirrored it keeps its x and runs
        // right, x 490 to 874; the icon back (114 wide) covers the button's last 114 columns, x 806 to 920.
        for (const int buttonY : {100, 230}) {
            for (const int row : {buttonY + 5, buttonY + 105}) {
                const int y = oy + row;
                SCOPED_TRACE("row " + std::to_string(row));
                std::string wrong;
                for (int bx = 470; bx < c.width - ox; ++bx) {
                    Seen expected = Seen::kOther;
                    if (bx >= 490 && bx < 806) expected = Seen::kPlate;
                    if (bx >= 806 && bx < 920) expected = Seen::kBack;
                    // The columns on the plate's and the back's edges may go either way.
                    if (bx == 490 || bx == 806 || bx == 920) continue;
                    if (SeenAt(picture, c.width, ox + bx, y) != expected && wrong.size() < 200) {
                        wrong += " " + std::to_string(bx);
                    }
                }
                EXPECT_TRUE(wrong.empty()) << "base columns drawn wrong:" << wrong;
                // The plate ends well inside the screen: the last columns of the target show none of it.
                for (int x = c.width - 3; x < c.width; ++x) {
                    EXPECT_TRUE(SeenAt(picture, c.width, x, y) == Seen::kOther) << "art at the screen's edge, x " << x;
                }
            }
        }
    }
}

}  // namespace
