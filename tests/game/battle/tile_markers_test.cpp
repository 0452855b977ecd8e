#include <gtest/gtest.h>

#include <vector>

#include "game/battle/battle_types.h"
#include "game/battle/tile_markers.h"

namespace {

using namespace game;

std::vector<TileMarker> Markers(std::uint16_t bits, bool human, bool water = false) {
    const TileMarkerChoice choice = ChooseTileMarkers(bits, human, water);
    std::vector<TileMarker> markers;
    for (int i = 0; i < choice.count; ++i) markers.push_back(choice.entries[i].marker);
    return markers;
}

TEST(TileMarkers, HumanTurnChoosesUpToThreeMarkers) {
    using M = TileMarker;
    struct Case {
        std::uint16_t bits;
        std::vector<M> markers;
    } cases[] = {
        {0, {}},
        {kMarkMove, {M::kMove}},
        {kMarkMove | kMarkRoute, {M::kBest}},
        {kMarkMove | kMarkLanding, {M::kLanding}},
        {kMarkRoute | kMarkLanding, {M::kBest}},
        {kMarkAttack, {M::kFire}},
        {kMarkAttack | kMarkAttackExt, {M::kFireExt}},
        {kMarkEngineer | kMarkAttackExt, {M::kEngineer}},
        {kMarkEngineer | kMarkEngineerExt, {M::kEngineerExt}},
        {kMarkEmbark | kMarkAttack | kMarkMove, {M::kMove, M::kEmbark}},
        {kMarkDrop | kMarkMove | kMarkAttack, {M::kMove, M::kDisembark, M::kFire}},
        {kMarkFerry | kMarkThreatAttack | kMarkSightClear, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(Markers(c.bits, true), c.markers) << std::hex << c.bits;
}

TEST(TileMarkers, OtherTurnsShowOnlyEngineerMarksAsMoveMarkers) {
    EXPECT_EQ(Markers(kMarkEngineer | kMarkAttack | kMarkMove, false), std::vector<TileMarker>{TileMarker::kMove});
    EXPECT_TRUE(Markers(kMarkAttack | kMarkMove | kMarkRoute | kMarkEngineerExt, false).empty());
}

TEST(TileMarkers, EmbarkMarkerIsRaisedOverWater) {
    const TileMarkerChoice water = ChooseTileMarkers(kMarkEmbark, true, true);
    ASSERT_EQ(water.count, 1);
    EXPECT_FLOAT_EQ(water.entries[0].raise, 0.3f);
    EXPECT_FLOAT_EQ(ChooseTileMarkers(kMarkEmbark, true, false).entries[0].raise, 0.0f);
    EXPECT_FLOAT_EQ(ChooseTileMarkers(kMarkMove, true, true).entries[0].raise, 0.0f);
}

}  // namespace
