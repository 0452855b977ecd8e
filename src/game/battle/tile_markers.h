#pragma once
// Which markers a tile shows for its mark bits. On a human side's turn a tile shows up to three: the
// route, landing or move marker; the drop marker; and one of embark, engineer or attack markers. On any
// other turn only engineer marks show, with the move marker.
#include <cstdint>

namespace game {

enum class TileMarker {
    kMove,         // MarkerMove
    kFire,         // FireMarker
    kFireExt,      // FireMarkerExt
    kEngineer,     // EngMarker
    kEngineerExt,  // EngMarkerExt
    kLanding,      // LandingZone
    kBest,         // MarkerBest
    kEmbark,       // MarkerEmbark
    kDisembark,    // MarkerDisEmbark
};

// How far the embark marker is raised over water.
inline constexpr float kEmbarkMarkerRaiseOnWater = 0.3f;

struct TileMarkerChoice {
    struct Entry {
        TileMarker marker;
        float raise;  // added to the tile's standing height
    };
    int count = 0;
    Entry entries[3] = {};
};

TileMarkerChoice ChooseTileMarkers(std::uint16_t markBits, bool humanTurn, bool onWater);

}  // namespace game
