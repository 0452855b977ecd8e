// The tile markers over a small map: which marker each combination of mark bits draws, on a player's turn
// and on the computer's, where it stands (raised on water for an embark marker), and a missing texture
// leaving only its own markers out.
#include "game/level/tile_markers.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/model_table.h"
#include "engine/scene/render_queue.h"
#include "game/battle/battle_types.h"
#include "level_fakes.h"

namespace level_test {
namespace {

// Land at column 0, water at column 1.
const char* const kLandAndWater = "weather 2\ngrid 2 2\nL0 W0\nL1 W0\n";

class TileMarkersTest : public LevelTest {
protected:
    void SetUp() override {
        LevelTest::SetUp();
        ASSERT_TRUE(engine::GetMaterialLib().Init(256, nullptr));
        ASSERT_TRUE(engine::ModelTable::Init(16));
        WriteLevel(data, "Marks", kLandAndWater, nullptr);
        ASSERT_TRUE(level.Load("Levels/Marks", &diagnostics));
    }
    void TearDown() override {
        markers.Free();
        LevelTest::TearDown();
        engine::ModelTable::Free();
        engine::GetMaterialLib().Free();
    }

    // The material names queued for one hex with the bits, in order.
    std::vector<std::string> Drawn(HexCoord hex, std::uint16_t bits, bool playerTurn) {
        HexMap& map = level.GetHexMap();
        map.ClearMarkBits(kMarkAll);
        map.SetMarkBits(hex, bits);
        list.Clear();
        markers.Draw(map, playerTurn, list);
        std::vector<std::string> names;
        for (int i = 0; i < list.Count(); ++i) names.push_back(list.Get(i).material->GetName().GetNarrow());
        return names;
    }

    std::map<std::string, int> textures{{"Common/MoveMarker", 21}, {"Common/FireMarker", 22}, {"Common/ExitMarker", 23}};
    TileMarkers markers{[this](const char* name) {
        const auto found = textures.find(name);
        return found != textures.end() ? found->second : 0;
    }};
    engine::DrawList list{64, 1};
};

using Names = std::vector<std::string>;

TEST_F(TileMarkersTest, EachMarkBitDrawsItsMarkerWithTheTintedTexture) {
    ASSERT_TRUE(markers.Create());
    const engine::MaterialDef* move = engine::GetMaterialLib().Get(markers.GetMaterial(kMarkerMove));
    ASSERT_NE(move, nullptr);
    EXPECT_EQ(move->GetTexture(0), 21);
    EXPECT_EQ(move->drawOrder, 990);
    EXPECT_EQ(move->alphaTestMode, 2);
    EXPECT_EQ(move->blendMode, 3);
    EXPECT_NEAR(move->colours[0].a, 128.0f / 255.0f, 1e-3f);
    EXPECT_NEAR(move->colours[0].g, 1.0f, 1e-3f);
    EXPECT_EQ(engine::GetMaterialLib().Get(markers.GetMaterial(kMarkerDisembark))->GetTexture(0), 23);

    const HexCoord land = MakeHexCoord(0, 0);
    struct Case {
        std::uint16_t bits;
        bool playerTurn;
        Names expected;
    };
    const Case cases[] = {
        {kMarkMove, true, {"MarkerMove"}},
        {kMarkMove | kMarkRoute | kMarkLanding, true, {"MarkerBest"}},
        {kMarkMove | kMarkLanding, true, {"LandingZone"}},
        {kMarkAttack, true, {"FireMarker"}},
        {kMarkAttack | kMarkAttackExt, true, {"FireMarkerExt"}},
        {kMarkEngineer | kMarkAttackExt, true, {"EngMarker"}},
        {kMarkEngineer | kMarkEngineerExt, true, {"EngMarkerExt"}},
        {kMarkMove | kMarkDrop | kMarkEmbark | kMarkAttack, true, {"MarkerMove", "MarkerDisEmbark", "MarkerEmbark"}},
        {kMarkMove | kMarkDrop | kMarkAttack, true, {"MarkerMove", "MarkerDisEmbark", "FireMarker"}},
        {kMarkFerry | kMarkSightClear | kMarkThreatAttack, true, {}},
        // On a computer's turn only the engineer marks show, in the move colour.
        {kMarkMove | kMarkAttack, false, {}},
        {kMarkEngineer | kMarkAttack, false, {"MarkerMove"}},
        {kMarkRoute | kMarkEngineerExt | kMarkAttackExt, false, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Drawn(land, c.bits, c.playerTurn), c.expected) << "bits " << c.bits << " turn " << c.playerTurn;
    }

    ASSERT_EQ(Drawn(land, kMarkMove, true).size(), 1u);
    const engine::DrawEntry& entry = list.Get(0);
    engine::Vec3 surface;
    level.GetHexMap().GetSurfacePoint(surface, land);
    EXPECT_EQ(entry.object, engine::ModelTable::Get(markers.GetModel()));
    EXPECT_FLOAT_EQ(entry.world.m[3][0], surface.x);
    EXPECT_FLOAT_EQ(entry.world.m[3][1], surface.y);
    EXPECT_FLOAT_EQ(entry.world.m[3][2], surface.z);
    EXPECT_NE(entry.flags & engine::kEntryNoShadow, 0u);

    const HexCoord water = MakeHexCoord(1, 0);
    level.GetHexMap().GetSurfacePoint(surface, water);
    ASSERT_EQ(Drawn(water, kMarkEmbark, true), Names{"MarkerEmbark"});
    EXPECT_NEAR(list.Get(0).world.m[3][1], surface.y + 0.3f, 1e-5f) << "on the boat's deck";
    ASSERT_EQ(Drawn(water, kMarkDrop, true), Names{"MarkerDisEmbark"});
    EXPECT_FLOAT_EQ(list.Get(0).world.m[3][1], surface.y);
}

TEST_F(TileMarkersTest, AMissingTextureLeavesOnlyItsMarkersOut) {
    textures.erase("Common/ExitMarker");
    EXPECT_FALSE(markers.Create());
    EXPECT_EQ(markers.GetMaterial(kMarkerDisembark), 0);
    EXPECT_NE(markers.GetMaterial(kMarkerEmbark), 0);
    const HexCoord land = MakeHexCoord(0, 0);
    EXPECT_EQ(Drawn(land, kMarkMove | kMarkDrop, true), Names{"MarkerMove"});
    markers.Free();
    EXPECT_EQ(markers.GetMaterial(kMarkerMove), 0);
    EXPECT_EQ(Drawn(land, kMarkMove, true), Names{}) << "freed: nothing to draw with";
}

TEST_F(TileMarkersTest, BeforeCreateNothingIsDrawn) {
    EXPECT_EQ(Drawn(MakeHexCoord(0, 0), kMarkMove | kMarkAttack, true), Names{});
}

}  // namespace
}  // namespace level_test
