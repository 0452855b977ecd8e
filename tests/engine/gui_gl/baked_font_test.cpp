// Fonts baked by the font tool from the system's DejaVu faces, loaded from a data folder and drawn on the
// device: the sheet reads back blended, the measured width matches the tool's, and "Ag" drawn white on black
// shows the sheet's cells at the pen.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <string>

#include "engine/core/wide_string.h"
#include "engine/gui/bitmap_font.h"
#include "engine/image/image.h"
#include "engine/render/texture_table.h"
#include "gui_gl_fixture.h"

namespace {

using drawtest::Rgba;

class BakedFont : public guigltest::GuiGlTest {
protected:
    // Runs the font tool into the data folder; its output, or empty on failure.
    std::string Bake(const std::string& sample) {
        const auto data = folder_.Path() / "Data" / "PC";
        const auto description = folder_.Path() / "fonts.txt";
        std::ofstream(description) << "Small " DEJAVU_FOLDER "/DejaVuSans.ttf 12\n"
                                   << "Big " DEJAVU_FOLDER "/DejaVuSans-Bold.ttf 32\n";
        const std::string command = std::string(FONTBAKE_EXE) + " --sample '" + sample + "' '" +
                                    description.string() + "' '" + data.string() + "'";
        std::string out;
        FILE* pipe = popen(command.c_str(), "r");
        if (pipe == nullptr) return out;
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
        return pclose(pipe) == 0 ? out : std::string();
    }
    static int SampleWidth(const std::string& out, const std::string& name) {
        std::smatch match;
        const std::regex pattern(name + ": .*sample width ([0-9]+)");
        return std::regex_search(out, match, pattern) ? std::stoi(match[1].str()) : -1;
    }
};

TEST_F(BakedFont, LoadsMeasuresLikeTheToolAndDrawsItsCellsAtThePen) {
    const std::string sample = "AVAg Tinmarch, WAVE!";
    const std::string out = Bake(sample);
    ASSERT_FALSE(out.empty());

    engine::BitmapFont small(*device_, *bindings_);
    engine::BitmapFont big(*device_, *bindings_);
    ASSERT_EQ(small.Load("Small.png"), 1);
    ASSERT_EQ(big.Load("Big.png"), 1);
    EXPECT_EQ(engine::GetDefaultFont(), &small);
    for (engine::BitmapFont* font : {&small, &big}) {
        EXPECT_EQ(engine::TextureTable::GetAlphaKind(static_cast<int>(font->TextureHandle())), engine::kAlphaBlended);
    }
    const engine::WideString wide(sample.c_str());
    EXPECT_EQ(small.MeasureWidth(wide), SampleWidth(out, "Small"));
    EXPECT_EQ(big.MeasureWidth(wide), SampleWidth(out, "Big"));
    EXPECT_LT(big.Metrics().Advance('A', 'V'), big.Metrics().Advance('A', 'A'));  // kerned

    // The sheet as our PNG reader sees it.
    engine::Image sheet;
    ASSERT_EQ(sheet.LoadPng(engine::WideString("Small.png")), 1);
    EXPECT_EQ(sheet.GetAlphaKind(), engine::kAlphaBlended);

    Clear(0xFF000000u);
    const int penX = 3;
    const int penY = 4;
    small.Draw(*target_, u"Ag", penX, penY, 0x80);
    const auto picture = Read();

    // Premultiplied white glyphs over black, the second cell blended over the first.
    std::vector<int> expected(static_cast<std::size_t>(kTargetWidth) * kTargetHeight, 0);
    const int pens[2] = {penX, penX + small.Metrics().Advance('A', 'g')};
    const char16_t codes[2] = {u'A', u'g'};
    for (int i = 0; i < 2; ++i) {
        const engine::IntRect& cell = small.Metrics().Cell(codes[i]);
        for (int y = 0; y < cell.height; ++y) {
            for (int x = 0; x < cell.width; ++x) {
                const int coverage = sheet.Pixels()[(static_cast<std::size_t>(cell.y + y) * sheet.Width() +
                                                     static_cast<std::size_t>(cell.x + x)) * 4 + 3];
                int& out = expected[static_cast<std::size_t>(penY + y) * kTargetWidth + pens[i] + x];
                out = coverage + out * (255 - coverage) / 255;
            }
        }
    }
    int lit = 0;
    for (int y = 0; y < kTargetHeight; ++y) {
        for (int x = 0; x < kTargetWidth; ++x) {
            const int value = expected[static_cast<std::size_t>(y) * kTargetWidth + x];
            const Rgba got = At(picture, x, y);
            ASSERT_NEAR(got[0], value, 1) << x << ", " << y;
            ASSERT_NEAR(got[1], value, 1) << x << ", " << y;
            ASSERT_NEAR(got[2], value, 1) << x << ", " << y;
            lit += value > 128 ? 1 : 0;
        }
    }
    EXPECT_GT(lit, 20);
}

}  // namespace
