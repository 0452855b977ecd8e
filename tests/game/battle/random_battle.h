#pragma once
// Small random maps with random movement figures and units, for the fills' property tests.
#include <random>

#include "battle_fakes.h"

namespace battle_test {

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

}  // namespace battle_test
