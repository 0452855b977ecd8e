// Settings through the real program: full screen, both volumes and a speech pack chosen on the settings
// screen are there again after the program is quit and started anew on the same user folder.
#include <gtest/gtest.h>

#include <cstdio>

#include "e2e/program_driver.h"
#include "engine/gui/slider.h"
#include "game/core/game.h"
#include "game/core/settings_file.h"
#include "game/screens/main_menu_zones.h"
#include "game/screens/settings_zone.h"
#include "game/screens/zone.h"

namespace e2e {
namespace {

using game::SettingsZone;
using game::ZoneId;

constexpr int kSeconds = ProgramDriver::kFramesPerSecond;

struct Chosen {
    bool fullScreen = false;
    int music = -1;
    int effects = -1;
};

game::SettingsZone* Settings(ProgramDriver& d) {
    return dynamic_cast<game::SettingsZone*>(d.Zones().Get(ZoneId::kSettings));
}

template <class Control>
Control* ControlOf(ProgramDriver& d, int id) {
    game::Zone* zone = d.Zones().Get(ZoneId::kSettings);
    return zone != nullptr ? dynamic_cast<Control*>(zone->GetWindow()->FindControl(id)) : nullptr;
}

bool OpenSettings(ProgramDriver& d) {
    if (!d.WaitForState(game::kGameMainMenu, 60 * kSeconds)) return false;
    if (!d.WaitFor([&d] { return d.IsShown(ZoneId::kMainMenu); }, 10 * kSeconds)) return false;
    if (!d.Click(ZoneId::kMainMenu, game::kMainSettings)) return false;
    return d.WaitFor([&d] { return d.IsShown(ZoneId::kSettings); }, 2 * kSeconds);
}

Chosen Read(ProgramDriver& d) {
    Chosen now;
    now.fullScreen = Settings(d)->GetFullScreenChoice();
    if (auto* music = ControlOf<engine::Slider>(d, SettingsZone::kMusicId)) now.music = music->GetPosition();
    if (auto* effects = ControlOf<engine::Slider>(d, SettingsZone::kEffectsId)) now.effects = effects->GetPosition();
    return now;
}

// A tap on the slider at the fraction of its width.
void SetSlider(ProgramDriver& d, int id, float fraction) {
    const engine::IntRect r = d.ControlRect(ZoneId::kSettings, id);
    d.ClickAt(r.x + static_cast<int>(static_cast<float>(r.width) * fraction), r.y + r.height / 2);
}

TEST(SettingsWalk, FullScreenAndVolumesAreKeptAcrossARestart) {
    ProgramDriver driver;
    Chosen before;
    Chosen set;
    int code = driver.Run([&](ProgramDriver& d) {
        ASSERT_TRUE(OpenSettings(d)) << "state " << d.State();
        d.DumpPng(std::string(TINMARCH_E2E_PICTURES) + "/settings.png");
        before = Read(d);
        SetSlider(d, SettingsZone::kMusicId, 0.2f);
        SetSlider(d, SettingsZone::kEffectsId, 0.8f);
        ASSERT_TRUE(d.ClickListRow(ZoneId::kSettings, SettingsZone::kListId, SettingsZone::kFullScreenRow));
        set = Read(d);
        EXPECT_NE(set.fullScreen, before.fullScreen);
        EXPECT_NE(set.music, before.music);
        EXPECT_NE(set.effects, before.effects);
        ASSERT_TRUE(d.Click(ZoneId::kSettings, SettingsZone::kDoneId));
        EXPECT_TRUE(d.WaitFor([&d] { return d.IsShown(ZoneId::kMainMenu); }, 2 * kSeconds));
        d.Frames(10);
    });
    ASSERT_EQ(code, 0);
    // The choice is in the settings file the next start reads.
    EXPECT_EQ(game::ReadSettings(), set.fullScreen ? 1 : 0);

    code = driver.Run([&](ProgramDriver& d) {
        ASSERT_TRUE(OpenSettings(d)) << "state " << d.State();
        const Chosen again = Read(d);
        // The offscreen video driver lists no display modes, so a full-screen start comes up windowed: the
        // kept choice shows in the settings file, read again at this start.
        EXPECT_EQ(game::ReadSettings(), set.fullScreen ? 1 : 0);
        EXPECT_EQ(again.music, set.music);
        EXPECT_EQ(again.effects, set.effects);
    });
    EXPECT_EQ(code, 0);
    std::printf("%s", driver.Stderr().c_str());
}

}  // namespace
}  // namespace e2e
