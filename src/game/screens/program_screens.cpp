#include "game/screens/program_screens.h"

#include "engine/platform/engine_root.h"
#include "engine/render/render_target.h"
#include "game/core/game.h"
#include "game/core/string_table.h"

namespace game {

engine::WideString StringTableTexts::Lookup(const char* key) const {
    const StringTable* table = GetStringTable();
    return table != nullptr ? table->Lookup(key) : engine::WideString();
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
}

RunningScreens::~RunningScreens() {
    screens_.reset();
    zones_.reset();
}

void RunningScreens::AttachGame(Game& game) {
    host_ = std::make_unique<GameScreenHost>(game, platform_);
    services_.game = host_.get();
    screens_ = std::make_unique<GameScreens>(*zones_);
}

bool RunningScreens::CreateZones() { return zones_->CreateZones(); }

std::unique_ptr<ProgramScreens> MakeProgramScreens(GamePlatform& platform) {
    return std::make_unique<RunningScreens>(platform);
}

}  // namespace game
