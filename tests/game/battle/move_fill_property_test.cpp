// The best-first movement fills against a literal transcription of the path-walking recursion that they
// replace, over random small maps with units.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "random_battle.h"

namespace {

using namespace battle_test;

// The path-walking recursion that the fills replace: every path is walked; a tile keeps the best budget
// seen.
struct LiteralFill {
    const HexMap& map;
    const BattleContext& battle;
    const MapUnit& unit;
    bool blockByUnits;
    std::vector<float> moveLeft;
    std::vector<bool> moveBit;

    void Flood(HexCoord hex, float budget) {
        const int type = unit.GetType();
        if (budget < 0.0f || map.GetTile(hex).terrain == 0 || map.GetMoveCost(hex, type) == 0.0f) return;
        const std::size_t index = static_cast<std::size_t>(HexTileIndex(hex));
        if (budget >= moveLeft[index]) moveLeft[index] = budget;
        if (blockByUnits) {
            const MapUnit* here = battle.FindMapUnitAt(hex);
            if (here != nullptr && unit.IsInSameLayer(*here) && here->GetCarrier() != &unit) return;
        }
        for (int d = 0; d < 6; ++d) {
            HexCoord n;
            if (!HexNeighbour(hex, d, n)) continue;
            const float c = map.GetStepCost(hex, n, type);
            if (c == 0.0f || budget - c < 0.0f) continue;
            if (blockByUnits) {
                const MapUnit* other = battle.FindMapUnitAt(n);
                if (other != nullptr && other != &unit) {
                    if (unit.IsInSameLayer(*other)) {
                        if (unit.IsAirborne()) continue;
                        if (!other->CanCarryType(type)) continue;
                        if (other->GetType() == UT_FERRY && map.GetTile(hex).terrain != kTerrainShore) continue;
                        if (other->GetType() == UT_APC && std::abs(map.GetTile(n).level - map.GetTile(hex).level) > 1) {
                            continue;
                        }
                    } else if (unit.IsAirborne() && !other->IsAirborne() && battle.FindAirMapUnitAt(n) != nullptr) {
                        continue;
                    }
                }
            } else {
                moveBit[static_cast<std::size_t>(HexTileIndex(n))] = true;
            }
            Flood(n, budget - c + 0.00001f);
        }
    }
};

TEST(MoveFillProperty, BestFirstEqualsThePathWalk) {
    int reachedSomewhere = 0;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        RandomBattle world(seed);
        // Every other battle lists its unit hexes, so the fills look units up only there.
        world.battle.listUnitHexes = seed % 2 == 0;
        world.Params();
        auto map = world.Map();
        world.Units();
        const int types[] = {UT_TROOPER, UT_LIGHT_TANK, UT_APC, UT_FERRY, UT_SKYHOOK, UT_FIGHTER};
        FakeUnit& mover = world.battle.AddUnit(types[world.Pick(0, 5)], world.SomeHex(), world.Pick(1, 2));
        mover.airborne = IsAircraftType(mover.type) && world.Pick(0, 3) != 0;
        // Mostly from a tile the mover can stand on, mostly with a budget of a few steps.
        for (int tries = 0; tries < 20 && map->GetMoveCost(mover.hex, mover.type) == 0.0f; ++tries) {
            mover.hex = world.SomeHex();
        }
        const float budget = world.Pick(0, 19) == 0 ? -0.5f : world.Uniform(0.0f, 9.0f);
        if (world.Pick(0, 1) == 0) map->MarkFerryTiles(mover.team);
        const float startScratch = world.Pick(0, 3) == 0 ? 0.7f : 0.0f;

        for (const bool block : {true, false}) {
            map->SetTileScratch(startScratch);
            map->ClearMarkBits(kMarkMove);
            LiteralFill literal{*map, world.battle, mover, block,
                                std::vector<float>(kMapTileCount, startScratch), std::vector<bool>(kMapTileCount, false)};
            literal.Flood(mover.hex, budget);
            if (block) {
                map->FloodMoveBudget(mover.hex, mover, budget);
            } else {
                map->FloodMoveIgnoringUnits(mover.hex, mover, budget);
            }
            for (int i = 0; i < kMapTileCount; ++i) {
                const HexCoord hex = H(i / kMapRows, i % kMapRows);
                if (!IsValidHex(hex)) continue;
                ASSERT_EQ(map->GetMoveLeft(hex), literal.moveLeft[static_cast<std::size_t>(i)])
                    << "seed " << seed << (block ? " blocking" : " ignoring units") << " at " << hex.column << "/"
                    << hex.row;
                ASSERT_EQ((map->GetMarkBits(hex) & kMarkMove) != 0, literal.moveBit[static_cast<std::size_t>(i)])
                    << "seed " << seed << " at " << hex.column << "/" << hex.row;
                if (literal.moveLeft[static_cast<std::size_t>(i)] > startScratch && !(hex == mover.hex)) {
                    ++reachedSomewhere;
                }
            }
        }
    }
    EXPECT_GT(reachedSomewhere, 5000);  // the fills reach far enough to matter
}

}  // namespace
