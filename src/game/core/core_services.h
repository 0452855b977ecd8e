#pragma once
// The game core's own services as the program runs them over the engine: the profile in the user folder,
// the sound bank over the engine's sample banks, the achievements, the fonts and pictures of start-up, the
// campaigns, the turn announcer with its own scene, and the subsystems' start-up loaders in their order.
#include <memory>

#include "game/core/achievement_list.h"
#include "game/core/engine_announcer_scene.h"
#include "game/core/game_resources.h"
#include "game/core/game_sound_bank.h"
#include "game/core/player_profile.h"
#include "game/core/sound_backend.h"
#include "game/core/turn_announcer.h"

namespace engine {
class Engine;
}

namespace game {

class Game;
struct GameParts;
class StringTable;

class CoreServices {
public:
    CoreServices(engine::Engine& engine, StringTable& strings);
    ~CoreServices();
    CoreServices(const CoreServices&) = delete;
    CoreServices& operator=(const CoreServices&) = delete;

    // Puts the services into the parts (the profile only when none is given).
    void Fill(GameParts& parts);
    // Links the services that ask the game (slots, campaign days, speech routing); null unlinks them.
    void AttachGame(Game* game);

    PlayerProfile& Profile() { return profile_; }
    GameSoundBank& Sound() { return sound_; }
    AchievementList& Achievements() { return achievements_; }
    GameResources& Resources() { return resources_; }

private:
    static std::unique_ptr<CampaignInfo> MakeCampaign(void* context);

    engine::Engine& engine_;
    StringTable& strings_;
    Game* game_ = nullptr;
    PlayerProfile profile_;
    EngineSoundBackend soundBackend_;
    GameSoundBank sound_{soundBackend_};
    GameResources resources_;
    AchievementList achievements_;
    TurnAnnouncer announcer_;
    std::unique_ptr<EngineAnnouncerScene> announcerScene_;
};

}  // namespace game
