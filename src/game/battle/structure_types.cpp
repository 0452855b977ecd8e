#include "game/battle/structure_types.h"

#include "engine/core/random_streams.h"
#include "game/battle/battle_context.h"
#include "game/battle/battle_types.h"
#include "game/battle/hex_map.h"
#include "game/battle/structure_manager.h"

namespace game {

bool IsThreeHexType(int type) {
    return (type >= kStructureFactory && type <= kStructureHQ) || type == kStructureSilo;
}

const char* OneHexStructure::GetTeamMaterialName() const {
    switch (type_) {
        case kStructureBuildPad: return "Material";
        case kStructureRefinery: return "oil_platform";
        default: return "buildings";
    }
}

ThreeHexStructure::ThreeHexStructure(int type, HexCoord hex, int team, bool mirrored, StructureManager* manager,
                                     BattleContext* battle)
    : Structure(hex, team, manager, battle), type_(type) {
    SetMirrored(mirrored);
}

bool ThreeHexStructure::GetExtraHex(int which, HexCoord& out) const {
    // Below, then below-left when mirrored or below-right when not.
    const int direction = which == 0 ? 3 : (IsMirrored() ? 4 : 2);
    return HexNeighbour(GetHex(), direction, out);
}

bool ThreeHexStructure::OccupiesHex(HexCoord hex) const {
    if (hex == GetHex()) return true;
    HexCoord extra;
    for (int which = 0; which < 2; ++which) {
        if (GetExtraHex(which, extra) && extra == hex) return true;
    }
    return false;
}

void ThreeHexStructure::MarkMapTiles() {
    if (Manager() == nullptr || Manager()->GetMap() == nullptr) return;
    HexCoord extra;
    for (int which = 0; which < 2; ++which) {
        // A building on the bottom row or an edge column has no hex there: nothing is written.
        if (!GetExtraHex(which, extra)) continue;
        HexTile* tile = Manager()->GetMap()->EditTile(extra);
        if (tile == nullptr) continue;
        tile->objectClass = kObjectStructure;
        tile->objectType = type_;
    }
}

std::unique_ptr<Structure> MakeStructure(int type, HexCoord hex, int team, bool mirrored,
                                         StructureManager* manager, BattleContext* battle) {
    switch (type) {
        case kStructureBuildPad: return std::make_unique<BuildPad>(hex, team, manager, battle);
        case kStructureFactory: return std::make_unique<Factory>(hex, team, mirrored, manager, battle);
        case kStructureAirport: return std::make_unique<Airport>(hex, team, mirrored, manager, battle);
        case kStructureDockyard: return std::make_unique<Dockyard>(hex, team, mirrored, manager, battle);
        case kStructureBarracks: return std::make_unique<Barracks>(hex, team, mirrored, manager, battle);
        case kStructureHQ: return std::make_unique<HQ>(hex, team, mirrored, manager, battle);
        case kStructureRepairS: return std::make_unique<RepairS>(hex, team, manager, battle);
        case kStructureRefinery: return std::make_unique<Refinery>(hex, team, manager, battle);
        case kStructureRadio: return std::make_unique<Radio>(hex, team, manager, battle);
        case kStructureSilo: return std::make_unique<Silo>(hex, team, mirrored, manager, battle);
        case kStructureSupplyShed: return std::make_unique<SupplyShed>(hex, team, manager, battle);
        default: return nullptr;
    }
}

}  // namespace game
