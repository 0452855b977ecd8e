#include "game/core/player_ports.h"

#include "game/units/action_orders.h"
#include "game/units/move_orders.h"
#include "game/units/unit.h"

namespace game {

std::unique_ptr<UnitOrder> UnitOrderFactory::MakeAttack(int targetUnitId, bool noRetaliation) {
    return std::make_unique<AttackOrder>(targetUnitId, noRetaliation);
}

std::unique_ptr<UnitOrder> UnitOrderFactory::MakeFollowPath(const HexPath& route) {
    return std::make_unique<FollowPathOrder>(route);
}

std::unique_ptr<UnitOrder> UnitOrderFactory::MakeCaptureStructure(Structure& structure) {
    return std::make_unique<CaptureStructureOrder>(structure);
}

std::unique_ptr<UnitOrder> UnitOrderFactory::MakeCaptureUnit(Unit& unit) {
    return std::make_unique<CaptureUnitOrder>(unit.GetId());
}

std::unique_ptr<UnitOrder> UnitOrderFactory::MakePickUp(Unit* passenger) {
    return std::make_unique<PickUpOrder>(passenger != nullptr ? passenger->GetId() : 0);
}

std::unique_ptr<UnitOrder> UnitOrderFactory::MakeEmbark(Unit& carrier) {
    return std::make_unique<EmbarkOrder>(carrier.GetId());
}

std::unique_ptr<UnitOrder> UnitOrderFactory::MakeDisembark(HexCoord destination) {
    return std::make_unique<DisembarkOrder>(destination);
}

}  // namespace game
