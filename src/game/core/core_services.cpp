#include "game/core/core_services.h"

#include "engine/core/frame_timer.h"
#include "engine/core/random_streams.h"
#include "engine/gui/bitmap_font.h"
#include "engine/gui/dialog_system.h"
#include "engine/image/mip_filter.h"
#include "engine/platform/engine_root.h"
#include "engine/platform/input_device.h"
#include "engine/platform/key_codes.h"
#include "engine/platform/save_blob.h"
#include "engine/platform/save_store.h"
#include "engine/render/render_target.h"
#include "engine/render/texture_table.h"
#include "engine/scene/model_table.h"
#include "game/battle/team_colours.h"
#include "game/core/campaign.h"
#include "game/core/display_mode.h"
#include "game/core/game.h"
#include "game/teams/team_manager.h"
#include "game/units/unit_assets.h"

namespace game {
namespace {

std::uint32_t LoadTexture(const char* name) {
    const int handle = engine::TextureTable::Load(name, engine::kMipBox);
    return handle > 0 ? static_cast<std::uint32_t>(handle) : 0u;
}

void ReleaseTexture(std::uint32_t handle) { engine::TextureTable::Release(static_cast<int>(handle)); }

ResourceLoaders EngineLoaders() {
    ResourceLoaders loaders;
    loaders.loadFont = [](const char* name) -> std::unique_ptr<engine::BitmapFont> {
        std::unique_ptr<engine::BitmapFont> font = engine::BitmapFont::CreateOnEngineDevice();
        if (!font || font->Load(name) != 1) return nullptr;
        return font;
    };
    loaders.loadTexture = LoadTexture;
    loaders.loadModel = [](const char* name) -> std::uint32_t {
        const int handle = engine::LoadModel(name);
        return handle > 0 ? static_cast<std::uint32_t>(handle) : 0u;
    };
    loaders.textureWidth = [](std::uint32_t handle) {
        return static_cast<int>(engine::TextureTable::GetWidth(static_cast<int>(handle)));
    };
    return loaders;
}

}  // namespace

CoreServices::CoreServices(engine::Engine& engine, StringTable& strings)
    : engine_(engine),
      strings_(strings),
      profile_(*engine.GetSaveBlob(), *engine.GetSaveStore()),
      resources_(EngineLoaders()),
      achievements_([this] {
          AchievementServices services;
          services.strings = &strings_;
          services.loadTexture = LoadTexture;
          services.releaseTexture = ReleaseTexture;
          services.playUiSound = [this](int sound) { sound_.PlayUiSound(sound); };
          services.target = [this]() -> engine::RenderTargetBase* { return engine_.GetMainRenderTarget(); };
          services.frameDelta = [this] {
              return engine_.GetTimer() != nullptr ? engine_.GetTimer()->GetDeltaSeconds(false) : 0.0f;
          };
          return services;
      }()),
      announcer_([this] {
          AnnouncerServices services;
          services.target = [this]() -> engine::RenderTargetBase* { return engine_.GetMainRenderTarget(); };
          services.frameDelta = [this] {
              return engine_.GetTimer() != nullptr ? engine_.GetTimer()->GetDeltaSeconds(false) : 0.0f;
          };
          services.playUiSound = [this](int sound) { sound_.PlayUiSound(sound); };
          services.currentTeamKind = [this] { return game_ != nullptr ? game_->GetCurrentTeamKind() : 0; };
          services.random = engine::RandomStreams::Get();
          return services;
      }()) {
    profile_.SetVolumeListener([this](int effects, int music) {
        sound_.SetEffectsVolume(effects);
        sound_.SetMusicVolume(music);
    });
    sound_.SetProfile(&profile_);
    achievements_.SetProfile(&profile_);
}

CoreServices::~CoreServices() {
    SetRelayoutCallback(RelayoutSlot::kAnnouncerCamera, nullptr);
    announcer_.MutableServices().scene = nullptr;
    announcerScene_.reset();
    FreeUnitAssets();
}

void CoreServices::AttachGame(Game* game) {
    game_ = game;
    profile_.AttachGame(game);
    // The walker is a unit of the game's battle rules; the scene goes with the game it was made for.
    announcer_.MutableServices().scene = nullptr;
    announcerScene_.reset();
    if (game != nullptr) {
        announcerScene_ = std::make_unique<EngineAnnouncerScene>(*game);
        announcer_.MutableServices().scene = announcerScene_.get();
    }
    if (game != nullptr) {
        sound_.SetGameModeSource([game] { return game->GetGameMode(); });
    } else {
        sound_.SetGameModeSource(nullptr);
    }
}

std::unique_ptr<CampaignInfo> CoreServices::MakeCampaign(void* context) {
    auto* self = static_cast<CoreServices*>(context);
    CampaignServices services;
    services.strings = &self->strings_;
    services.profile = &self->profile_;
    services.loadTexture = [](const std::string& name) { return LoadTexture(name.c_str()); };
    services.releaseTexture = ReleaseTexture;
    services.currentDay = [self] {
        const TeamManager* teams = self->game_ != nullptr ? self->game_->GetTeamManager() : nullptr;
        return teams != nullptr ? teams->GetDay() : 1;
    };
    services.playUiSound = [self](int sound) { self->sound_.PlayUiSound(sound); };
    services.menuFont = self->resources_.GetFont(GameFont::kMain);
    services.mainFont = self->resources_.GetFont(GameFont::kMain);
    services.markerSheet = LoadTexture("GUI/CampaignBack");
    services.medalSheet = self->resources_.GetIngameUiSheet();
    engine::Engine& engine = self->engine_;
    services.target = [&engine]() -> engine::RenderTargetBase* { return engine.GetMainRenderTarget(); };
    services.clock = [&engine] { return engine.GetTimer() != nullptr ? engine.GetTimer()->GetTimeSeconds(true) : 0.0; };
    services.frameSeconds = [&engine] {
        return engine.GetTimer() != nullptr ? engine.GetTimer()->GetDeltaSeconds(true) : 0.0f;
    };
    // The pointer as the dialogs see it, so that the map and its buttons agree on where it is.
    services.pointer = [&engine] {
        MapPointer pointer;
        engine::GetGuiPointer(pointer.x, pointer.y);
        const engine::InputDevice* input = engine.GetInputDevice(0);
        pointer.down = input != nullptr && input->PeekKey(engine::kKeyMouseLeft).down != 0;
        return pointer;
    };
    return std::make_unique<Campaign>("", std::move(services));
}

void CoreServices::Fill(GameParts& parts) {
    if (parts.profile == nullptr) parts.profile = &profile_;
    parts.achievements = &achievements_;
    parts.announcer = &announcer_;
    parts.sound = &sound_;
    parts.resources = &resources_;
    parts.createCampaign = &CoreServices::MakeCampaign;
    parts.campaignContext = this;
    // The subsystems' one-time loaders in start-up order. The level's asset hook, the tile markers, the path
    // finder's pools, projectiles, structure models, the start-of-turn queue, the unit panel, weather and help
    // icons join here with their subsystems.
    // The units' and projectiles' views come from the game's scene; without one units have no models.
    UnitViewFactory* views = parts.view != nullptr ? parts.view->GetUnitViews() : nullptr;
    parts.startupSteps = {
        {"the team colours", [] {
             InitTeamColours();
             return true;
         }},
        {"the unit models and tables", [this, views] { return game_ != nullptr && LoadUnitAssets(*game_, views) == 1; },
         true},
        {"the GUI sheets", [this] {
             resources_.LoadIconSheets();
             return true;
         }},
        // The fonts exist from the first start-up step on: the engine's dialogs and the achievement popup
        // take theirs here.
        {"the dialog and popup fonts", [this] {
             engine::SetDialogFont(resources_.GetFont(GameFont::kMain));
             achievements_.SetFonts(resources_.GetFont(GameFont::kMain), resources_.GetFont(GameFont::kTiny));
             return true;
         }},
        {"the sounds", [this] {
             sound_.Load();
             return true;
         }},
        {"the turn announcer", [this] {
             AnnouncerServices& services = announcer_.MutableServices();
             services.captionFont = resources_.GetFont(GameFont::kEpic);
             services.zoomSheet = LoadTexture("GUI/Zoomer");
             services.zoomSheetWidth = static_cast<int>(engine::TextureTable::GetWidth(static_cast<int>(services.zoomSheet)));
             const engine::RenderTarget* target = engine_.GetMainRenderTarget();
             if (announcerScene_ && target != nullptr) announcerScene_->Init(target->Width(), target->Height());
             SetRelayoutCallback(RelayoutSlot::kAnnouncerCamera, [this](int width, int height) {
                 if (announcerScene_) announcerScene_->Relayout(width, height);
             });
             return true;
         }},
    };
}

}  // namespace game
