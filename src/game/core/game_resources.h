#pragma once
// The fonts and pictures that start-up loads once and every screen uses for the whole run: the seven
// bitmap fonts with their spacing, colour tables and inline-icon callbacks, the menu picture, and the
// spanner model and countdown texture of the screens. Only the large screen layout is in force.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "engine/core/int_rect.h"

namespace engine {
class BitmapFont;
}

namespace game {

// One of the subsystems' one-time loaders of start-up. A required step that fails stops start-up.
struct StartupStep {
    const char* name = "";
    std::function<bool()> load;
    bool required = false;
};

// The capture marker's spanner model and its countdown texture.
inline constexpr const char* kSpannerModel = "Vezuzed/spanner";
inline constexpr const char* kCountdownTexture = "Vezuzed/DRUV_countdown_spanner_grey";

enum class GameFont { kTiny, kMain, kLarge, kMedium, kTitle, kEpic, kComic };
inline constexpr int kGameFontCount = 7;

// How the resources reach the engine; every member may be left empty.
struct ResourceLoaders {
    // A font loaded from its sheet and metrics; null when either is missing.
    std::function<std::unique_ptr<engine::BitmapFont>(const char* name)> loadFont;
    // A texture or model by name; 0 when there is none.
    std::function<std::uint32_t(const char* name)> loadTexture;
    std::function<std::uint32_t(const char* name)> loadModel;
    // A loaded texture's width in pixels (0 when unknown).
    std::function<int(std::uint32_t handle)> textureWidth;
};

class GameResources {
public:
    // Font colour table entries 1..4: black, red, grey, pale yellow.
    static constexpr std::array<std::uint32_t, 4> kFontColours = {0xFF000000u, 0xFFFF0000u, 0xFF808080u,
                                                                  0xFFFFFF40u};

    explicit GameResources(ResourceLoaders loaders);
    ~GameResources();
    GameResources(const GameResources&) = delete;
    GameResources& operator=(const GameResources&) = delete;

    // The start-up steps, in their order: fonts with their settings and callbacks, the menu picture, the
    // colour tables; the spanner model and countdown texture come last.
    void LoadFonts();
    void LoadMenuPicture();
    void SetFontColours();
    void LoadSpannerAssets();
    // The icon sheets of the inline icons: "GUI/ButtonBits" (large) and "GUI/ingameUi" (small).
    void SetIconSheets(std::uint32_t buttonBits, std::uint32_t ingameUi);
    void LoadIconSheets();

    // Null when the font did not load.
    engine::BitmapFont* GetFont(GameFont font) const { return fonts_[static_cast<std::size_t>(font)].get(); }
    std::uint32_t GetMenuPicture() const { return menuPicture_; }
    std::uint32_t GetSpannerModel() const { return spannerModel_; }
    std::uint32_t GetCountdownTexture() const { return countdownTexture_; }
    std::uint32_t GetIngameUiSheet() const { return ingameUi_; }
    std::uint32_t GetButtonBitsSheet() const { return buttonBits_; }

    // The inline-icon callbacks of the fonts; they draw from the resources made last.
    static int LargeIcon(engine::BitmapFont& font, int x, int y, std::uint32_t colour, int icon, int mode,
                         void* user);
    static int SmallIcon(engine::BitmapFont& font, int x, int y, std::uint32_t colour, int icon, int mode,
                         void* user);
    // The cells they cut for an icon ("GUI/ButtonBits" and "GUI/ingameUi"); the callbacks draw nothing for an
    // icon whose cell does not lie on its sheet.
    static engine::IntRect LargeIconCell(int icon);
    static engine::IntRect SmallIconCell(int icon);

private:
    // True when the cell lies on the sheet.
    bool CellOnSheet(std::uint32_t sheet, int x, int width) const;

    ResourceLoaders loaders_;
    std::array<std::unique_ptr<engine::BitmapFont>, kGameFontCount> fonts_;
    std::uint32_t menuPicture_ = 0;
    std::uint32_t spannerModel_ = 0;
    std::uint32_t countdownTexture_ = 0;
    std::uint32_t buttonBits_ = 0;
    std::uint32_t ingameUi_ = 0;
};

}  // namespace game
