#include "game/core/game_resources.h"

#include "engine/gui/bitmap_font.h"
#include "engine/render/render_target.h"

namespace game {
namespace {

// The resources the icon callbacks draw from: the ones made last.
GameResources* g_current = nullptr;

enum class Icons { kNone, kSmall, kLarge };

struct FontEntry {
    GameFont id;
    const char* name;
    int letterSpacing;
    bool lineMinusTwo;
    Icons icons;
    bool colourTable;
};

// In the loading order; tiny and comic keep what they loaded.
constexpr FontEntry kFonts[] = {
    {GameFont::kTiny, "Common/TinyFont", 0, false, Icons::kNone, true},
    {GameFont::kMain, "Common/MainFont", -1, true, Icons::kSmall, true},
    {GameFont::kLarge, "Common/LargeFont", -2, true, Icons::kLarge, true},
    {GameFont::kMedium, "Common/MedFont", 0, true, Icons::kSmall, true},
    {GameFont::kTitle, "Common/TitleFont", -2, true, Icons::kSmall, false},
    {GameFont::kEpic, "Common/EpicFont", -8, false, Icons::kNone, true},
    {GameFont::kComic, "Common/Comic", 0, false, Icons::kNone, true},
};

constexpr int kLargeIconSize = 52;
constexpr int kLargeIconPitch = 56;
constexpr int kLargeIconRow = 790;
constexpr int kSmallIconSize = 32;
constexpr int kSmallIconRow = 120;
// Small icons above this index are narrow (half width to the pen) and take the text colour.
constexpr int kLastWhiteSmallIcon = 11;
constexpr int kDrawMode = 3;

}  // namespace

GameResources::GameResources(ResourceLoaders loaders) : loaders_(std::move(loaders)) { g_current = this; }

GameResources::~GameResources() {
    if (g_current == this) g_current = nullptr;
}

void GameResources::LoadFonts() {
    for (const FontEntry& entry : kFonts) {
        std::unique_ptr<engine::BitmapFont> font = loaders_.loadFont ? loaders_.loadFont(entry.name) : nullptr;
        if (font) {
            if (entry.letterSpacing != 0) font->SetLetterSpacing(entry.letterSpacing);
            if (entry.lineMinusTwo) font->SetLineSpacing(font->GetLineSpacing() - 2);
            if (entry.icons == Icons::kSmall) font->SetIconCallback(&GameResources::SmallIcon);
            if (entry.icons == Icons::kLarge) font->SetIconCallback(&GameResources::LargeIcon);
        }
        fonts_[static_cast<std::size_t>(entry.id)] = std::move(font);
    }
}

void GameResources::LoadMenuPicture() {
    if (loaders_.loadTexture) menuPicture_ = loaders_.loadTexture("Common/MenuPic");
}

void GameResources::SetFontColours() {
    for (const FontEntry& entry : kFonts) {
        engine::BitmapFont* font = GetFont(entry.id);
        if (font == nullptr || !entry.colourTable) continue;
        for (int entry = 1; entry <= 4; ++entry) {
            font->SetColour(entry, kFontColours[static_cast<std::size_t>(entry - 1)]);
        }
    }
}

void GameResources::LoadSpannerAssets() {
    if (loaders_.loadModel) spannerModel_ = loaders_.loadModel(kSpannerModel);
    if (loaders_.loadTexture) countdownTexture_ = loaders_.loadTexture(kCountdownTexture);
}

void GameResources::SetIconSheets(std::uint32_t buttonBits, std::uint32_t ingameUi) {
    buttonBits_ = buttonBits;
    ingameUi_ = ingameUi;
}

void GameResources::LoadIconSheets() {
    if (!loaders_.loadTexture) return;
    const std::uint32_t buttonBits = loaders_.loadTexture("GUI/ButtonBits");
    SetIconSheets(buttonBits, loaders_.loadTexture("GUI/ingameUi"));
}

bool GameResources::CellOnSheet(std::uint32_t sheet, int x, int width) const {
    if (sheet == 0 || x < 0) return false;
    const int sheetWidth = loaders_.textureWidth ? loaders_.textureWidth(sheet) : 0;
    return static_cast<long long>(x) + width <= sheetWidth;
}

engine::IntRect GameResources::LargeIconCell(int icon) {
    return {icon * kLargeIconPitch, kLargeIconRow, kLargeIconSize, kLargeIconSize};
}

engine::IntRect GameResources::SmallIconCell(int icon) {
    return {icon * kSmallIconSize, kSmallIconRow, kSmallIconSize, kSmallIconSize};
}

int GameResources::LargeIcon(engine::BitmapFont&, int x, int y, std::uint32_t, int icon, int mode, void* user) {
    if (mode == engine::BitmapFont::kIconMeasure) return kLargeIconSize;
    const GameResources* self = g_current;
    const long long cellX = static_cast<long long>(icon) * kLargeIconPitch;
    if (self == nullptr || user == nullptr || cellX > 0x7FFFFFFF ||
        !self->CellOnSheet(self->buttonBits_, static_cast<int>(cellX), kLargeIconSize)) {
        return kLargeIconSize;
    }
    static_cast<engine::RenderTargetBase*>(user)->DrawTextureRect({x, y, kLargeIconSize, kLargeIconSize},
                                                                  LargeIconCell(icon), self->buttonBits_, 0xFFFFFFFFu,
                                                                  kDrawMode, 0);
    return kLargeIconSize;
}

int GameResources::SmallIcon(engine::BitmapFont&, int x, int y, std::uint32_t colour, int icon, int mode,
                             void* user) {
    const bool narrow = icon > kLastWhiteSmallIcon;
    const int advance = narrow ? kSmallIconSize / 2 : kSmallIconSize;
    if (mode == engine::BitmapFont::kIconMeasure) return advance;
    const GameResources* self = g_current;
    const long long cellX = static_cast<long long>(icon) * kSmallIconSize;
    if (self == nullptr || user == nullptr || cellX > 0x7FFFFFFF ||
        !self->CellOnSheet(self->ingameUi_, static_cast<int>(cellX), kSmallIconSize)) {
        return advance;
    }
    static_cast<engine::RenderTargetBase*>(user)->DrawTextureRect({x, y - 5, kSmallIconSize, kSmallIconSize},
                                                                  SmallIconCell(icon), self->ingameUi_,
                                                                  narrow ? colour : 0xFFFFFFFFu, kDrawMode, 0);
    return advance;
}

}  // namespace game
