// The best-first movement fills against a literal transcription of the path-walking recursion that they
// replace, over random small maps with units.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "battle_fakes.h"

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

class RandomBattle {
public:
    static constexpr int kWidth = 14;
    static constexpr int kHeight = 10;

    explicit RandomBattle(unsigned seed) : rng(seed) {}

    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }
    float Uniform(float low, float high) { return std::uniform_real_distribution<float>(low, high)(rng); }

    std::unique_ptr<HexMap> Map() {
        HexFileImage image;
        image.header.width = kWidth;
        image.header.height = kHeight;
        image.records.resize(kWidth * kHeight);
        const int terrains[] = {0, 1, 1, 2, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 4, 4, 4, 5, 5, 5};
        for (HexFileRecord& r : image.records) {
            r.terrain = static_cast<std::uint8_t>(terrains[Pick(0, 19)]);
            r.level = static_cast<std::uint8_t>(Pick(0, 9) == 0 ? 1 : 0);  // whole levels are two stored steps: a cliff
            r.overlay = Pick(0, 4) == 0 ? 1 : 0;
            const int object = Pick(0, 19);
            if (object < 2) {
                const int kinds[] = {1, 2, 4, 6};
                r.objectClass = kObjectFeature;
                r.objectType = static_cast<std::uint8_t>(kinds[Pick(0, 3)]);
            } else if (object < 3) {
                r.objectClass = kObjectStructure;
                r.objectType = static_cast<std::uint8_t>(Pick(0, 1) == 0 ? kStructureBuildPad : kStructureRadio);
            }
            r.height = static_cast<float>(r.level) * 0.5f;
        }
        image.records[0].terrain = kTerrainLand;  // at least one used tile
        std::vector<std::uint8_t> bytes;
        EncodeHexMapImage(image, bytes);
        auto map = std::make_unique<HexMap>();
        EXPECT_TRUE(LoadHexMapFromMemory(*map, bytes.data(), bytes.size()));
        map->SetBattleContext(&battle);
        return map;
    }

    void Params() {
        for (int t = 1; t < kUnitTypeCount; ++t) {
            for (float& c : battle.params[t].moveCost) c = Pick(0, 9) == 0 ? 0.0f : Uniform(0.9f, 2.0f);
        }
    }

    HexCoord SomeHex() { return H(Pick(0, kWidth - 1), Pick(0, kHeight - 1)); }

    void Units() {
        const int types[] = {UT_TROOPER, UT_LIGHT_TANK, UT_APC, UT_FERRY, UT_SKYHOOK, UT_FIGHTER, UT_ENGINEER};
        const int count = Pick(0, 6);
        for (int i = 0; i < count; ++i) {
            const int type = types[Pick(0, 6)];
            FakeUnit& u = battle.AddUnit(type, SomeHex(), Pick(1, 2));
            u.airborne = IsAircraftType(type) && Pick(0, 3) != 0;
            if (type == UT_APC) u.carries = {UT_TROOPER, UT_ENGINEER};
            if (type == UT_FERRY) u.carries = {UT_TROOPER, UT_LIGHT_TANK, UT_APC};
            if (type == UT_SKYHOOK) u.carries = {UT_TROOPER, UT_ENGINEER, UT_LIGHT_TANK};
        }
    }

    FakeBattle battle;
    std::mt19937 rng;
};

TEST(MoveFillProperty, BestFirstEqualsThePathWalk) {
    int reachedSomewhere = 0;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        RandomBattle world(seed);
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
