// The inline icons of the shipped fonts: the cells the game's icon callbacks cut are the cell map's, and the
// text colour reaches the narrow icons only, so that the sheet's white art comes out in that colour.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "artgen/cell_map.h"
#include "datacheck/data_check.h"
#include "engine/gui/bitmap_font.h"
#include "engine/image/png_decoder.h"
#include "engine/platform/zip_archive.h"
#include "game/core/game_resources.h"
#include "support/null_render_target.h"
#include "support/screen_fonts.h"

namespace {

constexpr std::uint32_t kButtonBits = 1;
constexpr std::uint32_t kIngameUi = 2;

struct DrawnCell {
    engine::IntRect source;
    std::uint32_t handle = 0;
    std::uint32_t colour = 0;
};

class CellTarget final : public testsupport::NullRenderTarget {
public:
    CellTarget() : NullRenderTarget(960, 640) {}
    void DrawTextureRect(const engine::IntRect&, const engine::IntRect& source, std::uint32_t handle,
                         std::uint32_t colour, int, int) override {
        cells.push_back({source, handle, colour});
    }
    std::vector<DrawnCell> cells;
};

// A font with the shipped metrics, drawing on a recording device.
class ShippedFont final : private testsupport::SyntheticFontParts, public engine::BitmapFont {
public:
    explicit ShippedFont(const std::vector<std::uint8_t>& rfn) : BitmapFont(device, bindings, &buffer) {
        loaded = ReadMetrics(rfn.data(), rfn.size());
    }
    bool loaded = false;
};

class InlineIcons : public ::testing::Test {
protected:
    void SetUp() override {
        auto archive = datacheck::OpenArchiveFile(TINMARCH_DATASET_ARCHIVE);
        ASSERT_NE(archive, nullptr);
        for (std::uint32_t i = 0; i < archive->EntryCount(); ++i) {
            std::uint32_t size = 0;
            auto bytes = archive->ExtractEntry(i, size);
            entries[datacheck::Upper(std::string(archive->EntryName(i)))].assign(bytes.get(), bytes.get() + size);
        }
        std::string error;
        ASSERT_TRUE(artgen::ParseCellMap(datacheck::ShippedCellMap(), map, error)) << error;
        game::ResourceLoaders loaders;
        loaders.loadFont = [this](const char* name) -> std::unique_ptr<engine::BitmapFont> {
            auto font = std::make_unique<ShippedFont>(entries[datacheck::Upper(std::string(name) + ".RFN")]);
            return font->loaded ? std::move(font) : nullptr;
        };
        loaders.loadTexture = [](const char* name) -> std::uint32_t {
            if (std::string(name) == "GUI/ButtonBits") return kButtonBits;
            return std::string(name) == "GUI/ingameUi" ? kIngameUi : 0u;
        };
        loaders.textureWidth = [this](std::uint32_t handle) {
            return map.FindSheet(handle == kButtonBits ? "GUI/ButtonBits" : "GUI/ingameUi")->width;
        };
        resources = std::make_unique<game::GameResources>(loaders);
        resources->LoadFonts();
        resources->SetFontColours();
        resources->LoadIconSheets();
    }

    // The mean colour of the cell's visible texels after the draw colour multiplies them, as 0..255 per channel.
    std::array<double, 3> SeenColour(const DrawnCell& cell) {
        const std::string sheet = cell.handle == kButtonBits ? "GUI/ButtonBits" : "GUI/ingameUi";
        const std::vector<std::uint8_t>& png = entries[datacheck::Upper(sheet + ".png")];
        const engine::DecodedPng image = engine::DecodePng(png.data(), png.size());
        std::array<double, 3> sum{};
        double weight = 0.0;
        for (int y = cell.source.y; y < cell.source.y + cell.source.height; ++y) {
            for (int x = cell.source.x; x < cell.source.x + cell.source.width; ++x) {
                const std::uint8_t* p = image.pixels.get() + (static_cast<std::size_t>(y) * image.width + x) * 4;
                const double a = p[3] / 255.0;
                for (int k = 0; k < 3; ++k) {
                    const double tint = ((cell.colour >> (16 - 8 * k)) & 0xFF) / 255.0;
                    sum[static_cast<std::size_t>(k)] += a * p[2 - k] * tint;
                }
                weight += a;
            }
        }
        for (double& s : sum) s /= weight;
        return sum;
    }

    std::map<std::string, std::vector<std::uint8_t>> entries;
    artgen::CellMap map;
    std::unique_ptr<game::GameResources> resources;
};

TEST_F(InlineIcons, TheCallbacksCutTheMapsCells) {
    CellTarget target;
    engine::BitmapFont& font = *resources->GetFont(game::GameFont::kMain);
    for (int icon = 0; icon < 16; ++icon) {
        target.cells.clear();
        game::GameResources::SmallIcon(font, 0, 0, 0xFFFFFFFFu, icon, engine::BitmapFont::kIconDraw, &target);
        game::GameResources::LargeIcon(font, 0, 0, 0xFFFFFFFFu, icon, engine::BitmapFont::kIconDraw, &target);
        ASSERT_EQ(target.cells.size(), 2u) << icon;
        const std::pair<const char*, std::string> names[] = {{"GUI/ingameUi", "small_icon."}, {"GUI/ButtonBits", "large_icon."}};
        for (int k = 0; k < 2; ++k) {
            const artgen::Cell* cell = map.FindCell(names[k].first, names[k].second + std::to_string(icon));
            ASSERT_NE(cell, nullptr);
            const engine::IntRect& drawn = target.cells[static_cast<std::size_t>(k)].source;
            EXPECT_EQ(drawn.x, cell->x) << cell->Describe();
            EXPECT_EQ(drawn.y, cell->y) << cell->Describe();
            EXPECT_EQ(drawn.width, cell->width) << cell->Describe();
            EXPECT_EQ(drawn.height, cell->height) << cell->Describe();
        }
    }
}

TEST_F(InlineIcons, TheTextColourReachesOnlyTheNarrowIcons) {
    engine::BitmapFont* main = resources->GetFont(game::GameFont::kMain);
    ASSERT_NE(main, nullptr);
    CellTarget target;
    EXPECT_EQ(main->MeasureWidth(std::u16string_view(u"@C[2]@X[012]")), 16);
    main->Draw(target, std::u16string_view(u"@C[2]@X[012]"), 100, 50, 0);
    ASSERT_EQ(target.cells.size(), 1u);
    const std::array<double, 3> red = SeenColour(target.cells[0]);
    EXPECT_GT(red[0], 200.0);
    EXPECT_LT(red[1], 40.0);
    EXPECT_LT(red[2], 40.0);

    target.cells.clear();
    EXPECT_EQ(main->MeasureWidth(std::u16string_view(u"@C[2]@X[003]")), 32);
    main->Draw(target, std::u16string_view(u"@C[2]@X[003]"), 100, 50, 0);
    ASSERT_EQ(target.cells.size(), 1u);
    for (double channel : SeenColour(target.cells[0])) EXPECT_GT(channel, 230.0);
}

}  // namespace
