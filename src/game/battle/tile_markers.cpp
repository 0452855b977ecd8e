#include "game/battle/tile_markers.h"

#include "game/battle/battle_types.h"

namespace game {

TileMarkerChoice ChooseTileMarkers(std::uint16_t markBits, bool humanTurn, bool onWater) {
    TileMarkerChoice choice;
    auto add = [&choice](TileMarker marker, float raise) { choice.entries[choice.count++] = {marker, raise}; };
    if (!humanTurn) {
        if ((markBits & kMarkEngineer) != 0) add(TileMarker::kMove, 0.0f);
        return choice;
    }
    if ((markBits & kMarkRoute) != 0) {
        add(TileMarker::kBest, 0.0f);
    } else if ((markBits & kMarkLanding) != 0) {
        add(TileMarker::kLanding, 0.0f);
    } else if ((markBits & kMarkMove) != 0) {
        add(TileMarker::kMove, 0.0f);
    }
    if ((markBits & kMarkDrop) != 0) add(TileMarker::kDisembark, 0.0f);
    if ((markBits & kMarkEmbark) != 0) {
        add(TileMarker::kEmbark, onWater ? kEmbarkMarkerRaiseOnWater : 0.0f);
    } else if ((markBits & kMarkEngineerExt) != 0) {
        add(TileMarker::kEngineerExt, 0.0f);
    } else if ((markBits & kMarkEngineer) != 0) {
        add(TileMarker::kEngineer, 0.0f);
    } else if ((markBits & kMarkAttackExt) != 0) {
        add(TileMarker::kFireExt, 0.0f);
    } else if ((markBits & kMarkAttack) != 0) {
        add(TileMarker::kFire, 0.0f);
    }
    return choice;
}

}  // namespace game
