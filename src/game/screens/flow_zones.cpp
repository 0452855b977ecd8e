#include "game/screens/flow_zones.h"

#include <memory>

#include "game/screens/battle_dialogs.h"
#include "game/screens/main_menu_zones.h"
#include "game/screens/map_picker_zone.h"
#include "game/screens/match_setup_zones.h"
#include "game/screens/result_screens.h"

namespace game {

void RegisterFlowZones(ZoneRegistry& registry) {
    RegisterMainMenuZones(registry);
    const auto general = std::make_shared<SharedPicture>(kGeneralPicture);
    RegisterBattleDialogs(registry, general);
    RegisterResultScreens(registry, general);
    RegisterMapPicker(registry);
    RegisterMatchSetupZones(registry);
}

}  // namespace game
