// The battle HUD drawn offscreen into a four-sample "Main RT" on the test context: both sliding panels, the
// unit panel and a message banner over a flat background, from fixture sheets whose every cell is a blocky
// pattern, compared with the stored picture. Set TINMARCH_WRITE_GOLDEN=1 to write the picture anew.
#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../screens/screen_fixture.h"
#include "engine/gui/dialog_system.h"
#include "engine/image/image.h"
#include "engine/image/image_writers.h"
#include "engine/render_targets/render_target_fixture.h"
#include "fixture_sheets.h"
#include "game/screens/game_screens.h"
#include "game/screens/hud_zones.h"
#include "game/screens/message_banner.h"
#include "game/screens/unit_panel.h"

namespace {

using game::ZoneId;

constexpr int kW = 960;
constexpr int kH = 640;
constexpr std::uint32_t kBackground = 0xFF406080u;

// An opaque sheet of 8-pixel blocks in colours of the seed, so every cell a drawer cuts shows.
std::uint32_t MakeSheet(int width, int height, std::uint32_t seed) {
    return screens_gl_test::MakeSheet(width, height, [seed](int x, int y) {
        return 0xFF000000u | targettest::Noise(x / 8, y / 8, seed);
    });
}

std::string GoldenPath() { return std::string(TINMARCH_SOURCE_DIR) + "/tests/data/screens/hud_golden.png"; }

class HudGoldenTest : public targettest::RenderTargetTest, public screens_test::BattleKit {
protected:
    void SetUp() override {
        RenderTargetTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(StartBattle());
        fixtures_.handles["GUI/ingameUi"] = MakeSheet(512, 512, 1);
        fixtures_.handles["GUI/ButtonBits"] = MakeSheet(1024, 512, 2);
        fixtures_.handles["GUI/Zoomer"] = MakeSheet(1024, 1024, 3);
        ui.textures = &fixtures_;
        game::RegisterHudAndShopZones(registry);
        ASSERT_TRUE(registry.CreateZones());
    }
    void TearDown() override {
        EndBattle();
        RenderTargetTest::TearDown();
    }

    screens_gl_test::FixtureLoader fixtures_;
};

TEST_F(HudGoldenTest, PanelsUnitPanelAndBannerMatchTheStoredPicture) {
    game::Team& blue = TakeTurn(game::kTeamBlue, 1234);
    game::Unit* tank = Spawn(blue, game::UT_HEAVY_TANK, battle_test::H(3, 3));
    ASSERT_NE(tank, nullptr);
    tank->SetAmmo(3);
    tank->SetFuel(90.0f);
    game::MessageBanner banner(ui);
    game::UnitPanel panel(ui);
    panel.SetUnit(tank);

    // Slide both panels in and open the banner fully, drawing into the recorder meanwhile.
    ZoneOf<game::Zone>(ZoneId::kTopBar).SetShown(true, false);
    ZoneOf<game::Zone>(ZoneId::kTurnButton).SetShown(true, false);
    banner.Show(engine::WideString("Fixture banner"), 5.0f);
    for (int i = 0; i < 20; ++i) {
        driver.Frame(25);
        banner.Draw();
    }

    engine::RenderTarget* target = Make(kW, kH, engine::kTargetMain);
    ASSERT_NE(target, nullptr);
    ui.target = target;
    while (glGetError() != GL_NO_ERROR) {
    }
    target->Begin(kBackground);
    engine::DrawAllDialogs(*target);
    banner.Draw();
    panel.Draw();
    target->End();
    ui.target = &recorder;
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    const std::vector<std::uint8_t> picture = Read(*target);
    ASSERT_EQ(picture.size(), static_cast<std::size_t>(kW) * kH * 4);

    if (std::getenv("TINMARCH_WRITE_GOLDEN") != nullptr) {
        std::vector<std::uint8_t> bgra(picture.size());
        for (std::size_t i = 0; i < picture.size(); i += 4) {
            bgra[i] = picture[i + 2];
            bgra[i + 1] = picture[i + 1];
            bgra[i + 2] = picture[i];
            bgra[i + 3] = picture[i + 3];
        }
        const engine::ConstSurfaceView view{engine::SurfaceFormat::kA8R8G8B8, kW, kH, kW * 4u, bgra.data()};
        const std::vector<std::uint8_t> png = engine::EncodePng(view);
        std::ofstream(GoldenPath(), std::ios::binary).write(reinterpret_cast<const char*>(png.data()),
                                                            static_cast<std::streamsize>(png.size()));
        GTEST_SKIP() << "wrote " << GoldenPath();
    }

    std::ifstream in(GoldenPath(), std::ios::binary);
    ASSERT_TRUE(in) << GoldenPath();
    const std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    engine::Image golden;
    ASSERT_EQ(golden.DecodePngFile(file.data(), file.size()), 1);
    ASSERT_EQ(golden.Width(), static_cast<std::uint32_t>(kW));
    ASSERT_EQ(golden.Height(), static_cast<std::uint32_t>(kH));

    // Golden pixels as RGBA.
    auto expected = [&golden](int x, int y, int channel) {
        const std::uint8_t* p = golden.Pixels() + (static_cast<std::size_t>(y) * kW + x) * 4;
        const int rgba[4] = {p[2], p[1], p[0], p[3]};
        return rgba[channel];
    };
    // A pixel on the top row or left column of a quad differs from the pixel below or to its right.
    auto onQuadEdge = [&expected](int x, int y) {
        for (int c = 0; c < 3; ++c) {
            if (x + 1 < kW && std::abs(expected(x, y, c) - expected(x + 1, y, c)) > 16) return true;
            if (y + 1 < kH && std::abs(expected(x, y, c) - expected(x, y + 1, c)) > 16) return true;
        }
        return false;
    };
    int off = 0;
    int softEdges = 0;
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            int worst = 0;
            for (int c = 0; c < 3; ++c) {
                const int got = picture[(static_cast<std::size_t>(y) * kW + x) * 4 + c];
                worst = std::max(worst, std::abs(got - expected(x, y, c)));
            }
            if (worst <= 3) continue;
            if (onQuadEdge(x, y)) {
                ++softEdges;
            } else if (++off <= 5) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") differs by " << worst;
            }
        }
    }
    EXPECT_EQ(off, 0);
    // The picture holds what it should: the background where nothing is drawn, and no blank panels.
    EXPECT_EQ(targettest::PixelAt(picture, kW, 480, 200), rendertest::Rgba(kBackground));
    EXPECT_NE(targettest::PixelAt(picture, kW, 10, kH - 10), rendertest::Rgba(kBackground));
    EXPECT_NE(targettest::PixelAt(picture, kW, 200, 50), rendertest::Rgba(kBackground));
    EXPECT_NE(targettest::PixelAt(picture, kW, kW - 50, 50), rendertest::Rgba(kBackground));
    RecordProperty("softEdges", softEdges);
}

}  // namespace
