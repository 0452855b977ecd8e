#include "game/screens/program_screens.h"

#include "engine/platform/engine_root.h"
#include "engine/render/render_target.h"
#include "game/core/game.h"
#include "game/core/string_table.h"
#include "game/screens/flow_zones.h"

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
    RegisterMenuInfoZones(*zones_);
    RegisterFlowZones(*zones_);
    moveChoice_ = std::make_unique<ZoneMoveChoice>(*zones_);
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
