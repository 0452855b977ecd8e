// The picture check on pictures painted here: a settings-like screen drawn right, and the same screen drawn
// the way the mirrored drawers once did (right-column plates shifted by their width, so past the screen
// edge, with the slider's track off the screen) and with the buttons' labels still hidden. Then on pictures
// the walk took: the main menu and the settings screen as the program once drew them (right-column plates
// cut at the screen edge, volume sliders without their tracks, labels still hidden by the opening
// enlargement) and as it draws them now.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/core/int_rect.h"

#include "e2e/picture_check.h"

namespace e2e {
namespace {

constexpr std::uint32_t kPlate = 0x5A6478;
constexpr std::uint32_t kFrame = 0x9098A8;
constexpr std::uint32_t kBack = 0x707C90;
constexpr std::uint32_t kText = 0xF8F8F8;
constexpr std::uint32_t kTrack = 0x687080;

Picture Backdrop() {
    Picture p;
    p.width = 960;
    p.height = 640;
    p.pixels.resize(960 * 640);
    // A dark panel darkening slowly downwards, as the titled screens' panel does.
    for (int y = 0; y < 640; ++y) {
        const std::uint32_t v = static_cast<std::uint32_t>(48 - y / 32);
        for (int x = 0; x < 960; ++x) p.pixels[static_cast<std::size_t>(y * 960 + x)] = (v << 16) | (v << 8) | (v + 12);
    }
    return p;
}

void Fill(Picture& p, int x, int y, int w, int h, std::uint32_t colour) {
    for (int row = std::max(y, 0); row < std::min(y + h, p.height); ++row) {
        for (int col = std::max(x, 0); col < std::min(x + w, p.width); ++col) {
            p.pixels[static_cast<std::size_t>(row * p.width + col)] = colour;
        }
    }
}

void Plate(Picture& p, int x, int y, int w, int h) {
    Fill(p, x, y, w, h, kFrame);
    Fill(p, x + 2, y + 2, w - 4, h - 4, kPlate);
}

// Letters as strokes: a few upright bars and a cross bar, 20 px tall, on the middle line.
void Label(Picture& p, int x, int middle, int letters) {
    for (int i = 0; i < letters; ++i) {
        Fill(p, x + i * 16, middle - 10, 3, 20, kText);
        Fill(p, x + i * 16 + 8, middle - 10, 3, 20, kText);
        Fill(p, x + i * 16, middle - 1, 11, 3, kText);
    }
}

// A menu button of the 430 by 110 grid: plate 384 by 112, icon back 114 by 110, label 120 px in.
void Button(Picture& p, int x, int y, bool mirrored, bool shiftedPlate, bool label) {
    const int centre = y + 55 + 2;
    int plateX = mirrored ? x : x + 430 - 384;
    if (shiftedPlate) plateX += 384;
    Plate(p, plateX, centre - 56, 384, 112);
    Fill(p, mirrored ? x + 430 - 114 : x, y, 114, 110, kBack);
    if (label) Label(p, mirrored ? x + 430 - 120 - 4 * 16 : x + 120, y + 55, 4);
}

// The settings screen's music slider at (490, 100, 320, 110): track 430 by 50 from the rect, thumb, back.
void Slider(Picture& p, bool shiftedTrack) {
    const int middle = 100 + 55;
    Fill(p, shiftedTrack ? 920 : 490, middle - 25, 430, 50, kTrack);
    Fill(p, 490 + 200, middle - 35, 70, 70, kText);
    Fill(p, 920 - 114, 100, 114, 110, kBack);
}

std::vector<PictureControl> Controls() {
    return {{"play", {40, 230, 430, 110}, ControlKind::kButton, true},
            {"awards", {490, 230, 430, 110}, ControlKind::kButton, true},
            {"music", {490, 100, 320, 110}, ControlKind::kSlider, false}};
}

bool Has(const std::vector<std::string>& findings, const std::string& text) {
    return std::any_of(findings.begin(), findings.end(),
                       [&](const std::string& f) { return f.find(text) != std::string::npos; });
}

std::string Joined(const std::vector<std::string>& findings) {
    std::string out;
    for (const std::string& f : findings) out += f + "\n";
    return out;
}

TEST(PictureCheck, AScreenDrawnRightPasses) {
    Picture p = Backdrop();
    Button(p, 40, 230, false, false, true);
    Button(p, 490, 230, true, false, true);
    Slider(p, false);
    const auto findings = CheckPicture(p, Controls());
    EXPECT_TRUE(findings.empty()) << Joined(findings);
}

TEST(PictureCheck, FindsPlatesPastTheEdgeMissingLabelsAndATracklessSlider) {
    Picture p = Backdrop();
    Button(p, 40, 230, false, false, false);  // still growing: no label
    Button(p, 490, 230, true, true, true);    // plate shifted by its width, cut at the edge
    Slider(p, true);                          // track off the screen
    const auto findings = CheckPicture(p, Controls());
    EXPECT_TRUE(Has(findings, "play: a button whose label is missing")) << Joined(findings);
    EXPECT_TRUE(Has(findings, "awards: drawn past the right screen edge")) << Joined(findings);
    EXPECT_TRUE(Has(findings, "awards: its art covers")) << Joined(findings);
    EXPECT_TRUE(Has(findings, "music: a slider without its track")) << Joined(findings);
    EXPECT_FALSE(Has(findings, "play: its art covers")) << "the plate itself is in place";
    EXPECT_FALSE(Has(findings, "awards: a button whose label")) << "its label shows over the backdrop";
}

TEST(PictureCheck, AControlPlacedPastTheScreenAndAnEmptyPicture) {
    Picture p = Backdrop();
    const auto findings = CheckPicture(p, {{"stub", {874, 490, 300, 110}, ControlKind::kButton, true}});
    ASSERT_EQ(findings.size(), 1u);
    EXPECT_EQ(findings[0], "stub: its place lies past the screen edge");
    EXPECT_EQ(CheckPicture(Picture{}, {}), std::vector<std::string>{"the picture is empty"});
}

// The shown controls of the two screens where the layout places them: the menu grid of 430 by 110 buttons at
// x 40 (even slots) and 490 (odd), y 100 + 130 per row, and the settings sliders of 320 by 110 at x 490.
engine::IntRect MenuSlot(int slot) { return {slot % 2 == 0 ? 40 : 490, 100 + slot / 2 * 130, 430, 110}; }

std::vector<PictureControl> MainMenuControls() {
    std::vector<PictureControl> controls;
    const std::vector<std::pair<const char*, int>> buttons = {{"load", 0}, {"play", 1},    {"settings", 2},
                                                              {"awards", 3}, {"credits", 4}, {"quit", 6}};
    for (const auto& [name, slot] : buttons) controls.push_back({name, MenuSlot(slot), ControlKind::kButton, true});
    return controls;
}

std::vector<PictureControl> SettingsControls() {
    return {{"voices", MenuSlot(6), ControlKind::kButton, true},
            {"done", MenuSlot(7), ControlKind::kButton, true},
            {"music", {490, 100, 320, 110}, ControlKind::kSlider, false},
            {"effects", {490, 230, 320, 110}, ControlKind::kSlider, false}};
}

Picture Shot(const std::string& name) {
    Picture picture;
    EXPECT_TRUE(ReadPicture(std::string(TINMARCH_SOURCE_DIR) + "/tests/data/e2e/" + name, picture)) << name;
    return picture;
}

TEST(PictureCheck, TheWalksPicturesOfTodayPass) {
    for (const auto& [name, controls] : {std::pair{"main_menu.png", MainMenuControls()},
                                         std::pair{"settings.png", SettingsControls()}}) {
        const auto findings = CheckPicture(Shot(name), controls);
        EXPECT_TRUE(findings.empty()) << name << "\n" << Joined(findings);
    }
}

TEST(PictureCheck, FindsTheFaultsOfTheOldMainMenu) {
    const auto findings = CheckPicture(Shot("main_menu_old.png"), MainMenuControls());
    for (const char* name : {"load", "play", "settings", "awards", "credits", "quit"}) {
        EXPECT_TRUE(Has(findings, std::string(name) + ": a button whose label is missing")) << Joined(findings);
    }
    for (const char* name : {"play", "awards"}) {
        EXPECT_TRUE(Has(findings, std::string(name) + ": drawn past the right screen edge")) << Joined(findings);
        EXPECT_TRUE(Has(findings, std::string(name) + ": its art covers")) << Joined(findings);
    }
    for (const char* name : {"load", "settings"}) {
        // The left column is drawn in place; the art at the right edge in its rows is the right column's.
        EXPECT_FALSE(Has(findings, std::string(name) + ": its art covers")) << Joined(findings);
        EXPECT_FALSE(Has(findings, std::string(name) + ": drawn past")) << Joined(findings);
    }
}

TEST(PictureCheck, FindsTheFaultsOfTheOldSettingsScreen) {
    const auto findings = CheckPicture(Shot("settings_old.png"), SettingsControls());
    EXPECT_TRUE(Has(findings, "music: a slider without its track")) << Joined(findings);
    EXPECT_TRUE(Has(findings, "effects: a slider without its track")) << Joined(findings);
    EXPECT_TRUE(Has(findings, "done: drawn past the right screen edge")) << Joined(findings);
    // The left column is drawn in place, labelled; the art at the right edge in its rows is Done's.
    EXPECT_FALSE(Has(findings, "voices:")) << Joined(findings);
}

}  // namespace
}  // namespace e2e
