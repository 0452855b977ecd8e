#include "game/screens/main_menu_zones.h"

#include <array>

#include "engine/gui/bitmap_font.h"
#include "game/screens/screen_draw.h"
#include "game/screens/screen_flow.h"
#include "game/screens/zone_layout.h"

namespace game {
namespace {

constexpr int kDescriptionWidth = 386;
constexpr std::array<const char*, 3> kDescriptionKeys = {"DESC_CAMPAIGN", "DESC_PASSANDPLAY", "DESC_SKIRMISH"};

std::vector<MenuEntry> MainMenuEntries() {
    return {
        {kMainLoad, "MM_LOADGAME", 0, {}, 11, MenuZone::OpenAction(ZoneId::kSaveLoad, 30)},
        {kMainPlay, "MM_PLAYGAME", 1, {}, 0, MenuZone::OpenAction(ZoneId::kGameType, kZoneGameType)},
        {kMainSettings, "MM_SETTINGS", 2, {}, 2, MenuZone::OpenAction(ZoneId::kSettings, 0)},
        {kMainAchievements, "MM_ACHIEVEMENTS", 3, {}, 29, MenuZone::OpenAction(ZoneId::kAchievements, 32)},
        {kMainCredits, "MM_CREDITS", 4, {}, 1, MenuZone::OpenAction(ZoneId::kCredits, 14)},
        {kMainQuit, "MM_QUITGAME", 6, {}, 5,
         [](MenuZone& menu) {
             CloseZone(menu);
             if (menu.Services().game != nullptr) menu.Services().game->RequestQuit();
         }},
    };
}

MenuAction SelectAction(int type) {
    return [type](MenuZone& menu) { static_cast<GameTypeZone&>(menu).Select(type); };
}

std::vector<MenuEntry> GameTypeEntries() {
    return {
        {kTypeCampaign, "MM_SINGLEGAMETYPE_CAMPAIGN", 0, {}, 8, SelectAction(kGameTypeCampaign)},
        {kTypePassAndPlay, "MM_SINGLEGAMETYPE_PASSANDPLAY", 2, {}, 28, SelectAction(kGameTypePassAndPlay)},
        {kTypeSkirmish, "MM_SINGLEGAMETYPE_SKIRMISH", 4, {}, 27, SelectAction(kGameTypeSkirmish)},
        {kTypeBack, "GEN_BACK", 6, {}, 9, MenuZone::OpenAction(ZoneId::kMainMenu, kZoneMainMenu)},
        {kTypeStart, "GEN_START", 7, {}, 0, [](MenuZone& menu) { static_cast<GameTypeZone&>(menu).Start(); }},
    };
}

}  // namespace

MainMenuZone::MainMenuZone(ScreenServices& services) : MenuZone(services, MainMenuEntries(), std::nullopt) {}

int MainMenuZone::OnShow(bool /*shown*/) {
    SlideOutHudPanels(Services());
    return 1;
}

void MainMenuZone::DrawMenuContents(ZoneWindow& /*window*/) {
    const ScreenServices& services = Services();
    DrawScreenText(services, FontId::kTiny, engine::WideString("v1.0"), services.ScreenWidth() - 2,
                   services.ScreenHeight(), kAlignRight | kAlignBottom);
}

GameTypeZone::GameTypeZone(ScreenServices& services)
    : MenuZone(services, GameTypeEntries(), MenuParent{ZoneId::kMainMenu, kZoneMainMenu}) {}

int GameTypeZone::OnShow(bool shown) {
    if (shown) {
        const int stored = Services().profile != nullptr ? Services().profile->GetGameType() : kGameTypeCampaign;
        Select(stored >= kGameTypeCampaign && stored <= kGameTypeSkirmish ? stored : kGameTypeCampaign);
    }
    return 1;
}

void GameTypeZone::Select(int type) {
    selection_ = type;
    ScreenServices& services = Services();
    engine::WideString text = services.Text(kDescriptionKeys[static_cast<std::size_t>(type)]);
    text.UnescapeNewlines();
    description_.Clear();
    if (engine::BitmapFont* font = services.Font(FontId::kMain)) {
        description_.Wrap(*font, Prefixed("@C[4]", text), kDescriptionWidth);
    }
    if (services.profile != nullptr) services.profile->SetGameType(type);
}

void GameTypeZone::Start() {
    ScreenServices& services = Services();
    if (selection_ == kGameTypePassAndPlay) {
        GoTo(ZoneId::kPassAndPlaySetup, kZonePassAndPlaySetup);
        return;
    }
    if (selection_ == kGameTypeSkirmish) {
        GoTo(ZoneId::kSkirmishSetup, kZoneSkirmishSetup);
        return;
    }
    // A campaign: the profile's one, else the fallback (which the profile then keeps); with neither the
    // screen stays, since the campaign map has nothing to show.
    bool selected = false;
    if (services.game != nullptr) {
        const std::string name = services.profile != nullptr ? services.profile->GetCurrentCampaignName() : "";
        selected = services.game->SelectCampaign(name);
        if (!selected && services.game->SelectCampaign(kFallbackCampaign)) {
            selected = true;
            if (services.profile != nullptr) services.profile->SetCurrentCampaignName(kFallbackCampaign);
        }
    }
    if (!selected) {
        services.PlayUiSound(kUiFail);
        return;
    }
    CloseZone(*this);
    if (services.zones != nullptr) {
        if (Zone* map = services.zones->Get(ZoneId::kCampaignMap)) map->SetShown(true, false);
    }
}

bool GameTypeZone::IsHighlighted(int controlId) const {
    return controlId == kTypeCampaign + selection_;
}

void GameTypeZone::DrawMenuContents(ZoneWindow& window) {
    const ScreenServices& services = Services();
    engine::IntRect panel = SidePanelRect(3, false);
    const engine::IntRect dialog = window.GetRect();
    panel.x += dialog.x;
    panel.y += dialog.y;
    DrawTextLines(services, FontId::kMain, description_, panel.x + 20, panel.y + 30, kAlignLeft);
    DrawArt(services, kArtUiBits, {0, 0, panel.width, panel.height}, panel);
}

void RegisterMainMenuZones(ZoneRegistry& registry) {
    registry.Register(ZoneId::kMainMenu, [](ScreenServices& services) -> std::unique_ptr<Zone> {
        return std::make_unique<MainMenuZone>(services);
    });
    registry.Register(ZoneId::kGameType, [](ScreenServices& services) -> std::unique_ptr<Zone> {
        return std::make_unique<GameTypeZone>(services);
    });
}

}  // namespace game
