#pragma once
// Registers the zones a game flows through outside the HUD and the shop: the main menu and game type, the
// battle dialogs, the result screens, the map picker, both match setups and the match options. The general's
// picture is one texture shared by the battle dialogs and the result screens.
#include "game/screens/zone_registry.h"

namespace game {

void RegisterFlowZones(ZoneRegistry& registry);

}  // namespace game
