#include "game/screens/program_screens.h"

#include <string>

#include "engine/platform/engine_root.h"
#include "engine/render/render_target.h"
#include "game/core/core_services.h"
#include "game/core/display_mode.h"
#include "game/core/game.h"
#include "game/core/string_table.h"
#include "game/screens/campaign_zones.h"
#include "game/screens/comic_overlay_zone.h"
#include "game/screens/flow_zones.h"
#include "game/screens/hud_zones.h"
#include "game/screens/map_picker_zone.h"

namespace game {

engine::WideString StringTableTexts::Lookup(const char* key) const {
    const StringTable* table = GetStringTable();
    return table != nullptr ? table->Lookup(key) : engine::WideString();
}

namespace {

// The string table's table of the current campaign's texts.
constexpr int kCampaignTextTable = 1;

}  // namespace

engine::WideString StringTableTexts::LookupCampaign(const char* key) const {
    const StringTable* table = GetStringTable();
    return table != nullptr ? table->LookupInTable(key, kCampaignTextTable) : engine::WideString();
}

RunningScreens::RunningScreens(GamePlatform& platform) : platform_(platform) {
    services_.strings = &texts_;
    services_.textures = &textures_;
    if (engine::Engine* engine = engine::GetEngine()) {
        services_.target = engine->GetMainRenderTarget();
        services_.timer = engine->GetTimer();
    }
    zones_ = std::make_unique<ZoneRegistry>(services_);
    RegisterHudAndShopZones(*zones_);
    RegisterMenuInfoZones(*zones_);
    RegisterFlowZones(*zones_);
    moveChoice_ = std::make_unique<ZoneMoveChoice>(*zones_);
    // The windows laid out by the screen size follow a display switch; the zones are looked up when it
    // comes, so the callbacks hold before the zones are made.
    SetRelayoutCallback(RelayoutSlot::kCampaignMapWindow, [this](int width, int height) {
        if (auto* map = FindZone<CampaignMapZone>(zones_.get(), ZoneId::kCampaignMap)) map->Relayout(width, height);
    });
    SetRelayoutCallback(RelayoutSlot::kTurnButtonPanel, [this](int width, int height) {
        if (auto* panel = FindZone<TurnButtonZone>(zones_.get(), ZoneId::kTurnButton)) panel->Relayout(width, height);
    });
    SetRelayoutCallback(RelayoutSlot::kComicOverlayButton, [this](int width, int height) {
        if (auto* comic = FindZone<ComicOverlayZone>(zones_.get(), ZoneId::kComicOverlay)) comic->Relayout(width, height);
    });
}

RunningScreens::~RunningScreens() {
    for (const RelayoutSlot slot :
         {RelayoutSlot::kCampaignMapWindow, RelayoutSlot::kTurnButtonPanel, RelayoutSlot::kComicOverlayButton}) {
        SetRelayoutCallback(slot, nullptr);
    }
    screens_.reset();
    zones_.reset();
}

void RunningScreens::AttachGame(Game& game) {
    host_ = std::make_unique<GameScreenHost>(game, platform_);
    services_.game = host_.get();
    screens_ = std::make_unique<GameScreens>(*zones_);
}

void RunningScreens::AttachCoreServices(CoreServices& core) {
    profile_ = std::make_unique<ProfileView>(core.Profile());
    achievements_ = std::make_unique<AchievementListView>(core.Achievements());
    sound_ = std::make_unique<BankScreenSound>(core.Sound());
    resources_ = &core.Resources();
    services_.profile = profile_.get();
    services_.achievements = achievements_.get();
    services_.sound = sound_.get();
    // A saved skirmish or pass-and-play game names its map by the title the map picker lists it under.
    core.Profile().SetMapTitleLookup([this](const std::string& folder) {
        const MapPickerZone* picker = FindMapPicker(services_);
        const engine::WideString title = picker != nullptr ? picker->GetMapTitle(folder) : engine::WideString();
        if (title.Length() > 0) return std::string(title.GetNarrow());
        const std::size_t slash = folder.find_last_of("/\\");
        return slash == std::string::npos ? folder : folder.substr(slash + 1);
    });
}

// The screens' font ids follow the order start-up loads the game's fonts in.
static_assert(static_cast<int>(FontId::kCount) == kGameFontCount);

bool RunningScreens::CreateZones() {
    if (resources_ != nullptr) {
        for (int font = 0; font < kGameFontCount; ++font) {
            services_.fonts[static_cast<std::size_t>(font)] = resources_->GetFont(static_cast<GameFont>(font));
        }
    }
    return zones_->CreateZones();
}

void BankScreenSound::PlayUiSound(int id) { bank_.PlayUiSound(id); }
int BankScreenSound::GetMusicVolumePercent() const { return bank_.GetMusicVolumeInt(); }
int BankScreenSound::GetEffectsVolumePercent() const { return bank_.GetEffectsVolumeInt(); }
void BankScreenSound::SetMusicVolume(int percent) { bank_.SetMusicVolume(percent); }
void BankScreenSound::SetEffectsVolume(int percent) { bank_.SetEffectsVolume(percent); }
void BankScreenSound::SetSpeechPack(int side, const std::string& pack) { bank_.LoadSpeechPack(side, pack); }

MoveChoiceZone* ZoneMoveChoice::Find() const { return FindZone<MoveChoiceZone>(&zones_, ZoneId::kMoveChoice); }

bool ZoneMoveChoice::IsShown() const {
    const MoveChoiceZone* zone = Find();
    return zone != nullptr && zone->IsShown();
}

void ZoneMoveChoice::SetShown(bool shown, bool exclusive) {
    if (MoveChoiceZone* zone = Find()) zone->SetShown(shown, exclusive);
}

void ZoneMoveChoice::OpenAt(int x, int y) {
    if (MoveChoiceZone* zone = Find()) zone->OpenAt(x, y);
}

void ZoneMoveChoice::AddChoice(int value) {
    if (MoveChoiceZone* zone = Find()) zone->AddChoice(value);
}

int ZoneMoveChoice::GetChoice() const {
    const MoveChoiceZone* zone = Find();
    return zone != nullptr ? zone->GetChoice() : kChoiceNone;
}

std::unique_ptr<ProgramScreens> MakeProgramScreens(GamePlatform& platform) {
    return std::make_unique<RunningScreens>(platform);
}

}  // namespace game
