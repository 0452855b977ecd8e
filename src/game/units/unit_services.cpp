#include "game/units/unit_services.h"

#include "game/battle/battle_context.h"

namespace game {

UnitServices& UnitServicesOf(BattleContext& battle) {
    static NullUnitServices none;
    UnitServices* services = battle.GetUnitServices();
    return services != nullptr ? *services : none;
}

}  // namespace game
