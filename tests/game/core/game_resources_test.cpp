// Start-up loading: the order of the loaders, a required loader that fails, and the fonts with their
// spacing, colours and inline icons drawn on a recording target.
#include <map>
#include <set>

#include "../../engine/gui/gui_fixtures.h"
#include "game_fixture.h"

namespace core_test {
namespace {

// Textured cells drawn by the icon callbacks.
class CellTarget final : public testsupport::NullRenderTarget {
public:
    struct Cell {
        engine::IntRect destination;
        engine::IntRect source;
        std::uint32_t handle = 0;
        std::uint32_t colour = 0;
    };
    CellTarget() : NullRenderTarget(960, 640) {}
    void DrawTextureRect(const engine::IntRect& destination, const engine::IntRect& source, std::uint32_t handle,
                         std::uint32_t colour, int, int) override {
        cells.push_back({destination, source, handle, colour});
    }
    std::vector<Cell> cells;
};

class ResourcesTest : public GameTest {
protected:
    ResourcesTest() {
        ResourceLoaders loaders;
        loaders.loadFont = [this](const char* name) -> std::unique_ptr<engine::BitmapFont> {
            log.push_back(std::string("font ") + name);
            if (missingFonts.count(name) != 0) return nullptr;
            auto font = std::make_unique<guitest::RecordingFont>();
            fonts[name] = font.get();
            return font;
        };
        loaders.loadTexture = [this](const char* name) -> std::uint32_t {
            log.push_back(std::string("texture ") + name);
            return textures.count(name) != 0 ? textures[name] : 0u;
        };
        loaders.loadModel = [this](const char* name) -> std::uint32_t {
            log.push_back(std::string("model ") + name);
            return 9;
        };
        loaders.textureWidth = [](std::uint32_t handle) { return handle == 21 ? 512 : 0; };
        resources = std::make_unique<GameResources>(loaders);
        parts.resources = resources.get();
        parts.startupSteps = {
            {"team colours", [this] { return Step("team colours"); }},
            {"unit tables", [this] { return Step("unit tables"); }, true},
            {"GUI sheets",
             [this] {
                 resources->LoadIconSheets();
                 return Step("GUI sheets");
             }},
            {"sounds", [this] { return Step("sounds"); }},
        };
        textures["GUI/ingameUi"] = 21;
    }
    bool Step(const std::string& name) {
        log.push_back("step " + name);
        flagAtLastStep = timer.GetFlag();
        return failing.count(name) == 0;
    }

    std::unique_ptr<GameResources> resources;
    std::map<std::string, guitest::RecordingFont*> fonts;
    std::map<std::string, std::uint32_t> textures;
    std::set<std::string> missingFonts;
    std::set<std::string> failing;
    std::uint32_t flagAtLastStep = 0;
};

TEST_F(ResourcesTest, LoadersRunInTheirOrder) {
    profile.pollResults = {kProfileIdle};
    timer.SetFlag(7);
    game->SetState(kGameStartup);
    const std::vector<std::string> expected = {
        "font Common/TinyFont",  "font Common/MainFont", "font Common/LargeFont",
        "font Common/MedFont",   "font Common/TitleFont", "font Common/EpicFont",
        "font Common/Comic",     "texture Common/MenuPic", "load resources",
        "step team colours",     "step unit tables",      "texture GUI/ButtonBits",
        "texture GUI/ingameUi",  "step GUI sheets",       "step sounds",
        "model Vezuzed/spanner", "texture Vezuzed/DRUV_countdown_spanner_grey", "zones made",
        "profile load"};
    ASSERT_GE(Where("profile load"), 0);
    const std::vector<std::string> got(log.begin() + Where("font Common/TinyFont"),
                                       log.begin() + Where("profile load") + 1);
    EXPECT_EQ(got, expected);
    EXPECT_FALSE(game->HasStartupFailed());
    EXPECT_EQ(resources->GetSpannerModel(), 9u);
    EXPECT_EQ(flagAtLastStep, 7u) << "the loaders run under the start-up word";
    EXPECT_EQ(timer.GetFlag(), 0u) << "and it is cleared once they are done";
}

TEST_F(ResourcesTest, ARequiredLoaderThatFailsStopsStartUp) {
    failing = {"sounds"};
    game->SetState(kGameStartup);
    EXPECT_FALSE(game->HasStartupFailed()) << "the sounds are not required";
    EXPECT_TRUE(Logged("profile load"));

    Clear();
    failing = {"unit tables"};
    game->SetState(kGameStartup);
    EXPECT_TRUE(game->HasStartupFailed());
    EXPECT_TRUE(game->IsQuitRequested());
    EXPECT_FALSE(Logged("step GUI sheets"));
    EXPECT_FALSE(Logged("profile load"));
    EXPECT_EQ(game->GetState(), kGameStartup);

    // The main loop that follows ends at once rather than running on an empty screen (here a fallback quits
    // after three frames, so that a loop that runs on fails instead of hanging).
    platform.onFrame = [this](int frame) {
        if (frame >= 3) game->RequestQuit();
    };
    game->RunMainLoop();
    EXPECT_EQ(platform.frames, 0);
}

TEST_F(ResourcesTest, FontsTakeTheirSpacingColoursAndIcons) {
    missingFonts = {"Common/TitleFont"};
    resources->LoadFonts();
    resources->SetFontColours();
    resources->LoadIconSheets();
    EXPECT_EQ(resources->GetFont(GameFont::kTitle), nullptr) << "a missing font leaves a null handle";
    engine::BitmapFont* main = resources->GetFont(GameFont::kMain);
    ASSERT_NE(main, nullptr);
    guitest::RecordingFont plain;
    EXPECT_EQ(main->GetLineSpacing(), plain.GetLineSpacing() - 2);
    EXPECT_EQ(main->MeasureWidth(std::u16string_view(u"ABC")), plain.MeasureWidth(std::u16string_view(u"ABC")) - 3);
    EXPECT_EQ(resources->GetFont(GameFont::kTiny)->GetLineSpacing(), plain.GetLineSpacing());
    EXPECT_EQ(main->GetColour(4), 0xFFFFFF40u);
    EXPECT_EQ(resources->GetFont(GameFont::kComic)->GetColour(2), 0xFFFF0000u);

    // "@C[4]" draws in pale yellow.
    auto* recording = fonts["Common/MainFont"];
    CellTarget target;
    main->Draw(target, std::u16string_view(u"@C[4]A"), 10, 10, 0);
    ASSERT_FALSE(recording->quads.empty());
    EXPECT_EQ(recording->quads.back().colour, 0xFFFFFF40u);

    // Icon 12 advances 16 and takes the text colour; icon 3 advances 32 in white; icon 999 lies off the sheet.
    struct Case {
        const char16_t* text;
        int width;
        int cellX;
        std::uint32_t colour;
    };
    const Case cases[] = {{u"@C[2]@X[012]", 16, 12 * 32, 0xFFFF0000u},
                          {u"@C[2]@X[003]", 32, 3 * 32, 0xFFFFFFFFu},
                          {u"@X[999]", 16, -1, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(main->MeasureWidth(std::u16string_view(c.text)), c.width);
        target.cells.clear();
        main->Draw(target, std::u16string_view(c.text), 100, 50, 0);
        if (c.cellX < 0) {
            EXPECT_TRUE(target.cells.empty());
            continue;
        }
        ASSERT_EQ(target.cells.size(), 1u);
        EXPECT_EQ(target.cells[0].source.x, c.cellX);
        EXPECT_EQ(target.cells[0].source.y, 120);
        EXPECT_EQ(target.cells[0].handle, 21u);
        EXPECT_EQ(target.cells[0].colour, c.colour);
        EXPECT_EQ(target.cells[0].destination.y, 50 - 5 - recording->GetVerticalOffset());
    }
}

}  // namespace
}  // namespace core_test
