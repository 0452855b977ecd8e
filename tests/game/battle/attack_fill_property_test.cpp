// The best-first attack fills and the reach marks against a literal transcription of the recursion that they
// replace, which walks every path of neighbours, over random small maps with levels, units and structures.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "random_battle.h"

namespace {

using namespace battle_test;

// The map's range steps and mark bits by tile index (0 off the grid).
void CopyMarks(const HexMap& map, std::vector<int>& steps, std::vector<std::uint16_t>& bits) {
    steps.assign(kMapTileCount, 0);
    bits.assign(kMapTileCount, 0);
    for (int i = 0; i < kMapTileCount; ++i) {
        const HexCoord hex = H(i / kMapRows, i % kMapRows);
        if (!IsValidHex(hex)) continue;
        steps[static_cast<std::size_t>(i)] = map.GetRangeStep(hex);
        bits[static_cast<std::size_t>(i)] = map.GetMarkBits(hex);
    }
}

// Whether the map holds those steps and bits, naming the first tile that differs.
::testing::AssertionResult SameMarks(const HexMap& map, const std::vector<int>& steps,
                                     const std::vector<std::uint16_t>& bits) {
    for (int i = 0; i < kMapTileCount; ++i) {
        const HexCoord hex = H(i / kMapRows, i % kMapRows);
        if (!IsValidHex(hex)) continue;
        const std::size_t at = static_cast<std::size_t>(i);
        if (map.GetRangeStep(hex) != steps[at] || map.GetMarkBits(hex) != bits[at]) {
            return ::testing::AssertionFailure() << "at " << hex.column << "/" << hex.row << ": step "
                                                 << map.GetRangeStep(hex) << " bits " << map.GetMarkBits(hex)
                                                 << ", the walk gives step " << steps[at] << " bits " << bits[at];
        }
    }
    return ::testing::AssertionSuccess();
}

// The recursion: a tile whose stored step is non-zero and smaller than the step stops the walk; otherwise
// the step is stored, the bit and the targets set or cleared, and every neighbour visited one step further.
// The tile state and the last mark each unit and structure got are kept here, not on the map.
struct LiteralAttackFill {
    const HexMap& map;
    const BattleContext& battle;
    const MapUnit* unit;
    bool withTargets;
    std::vector<int> rangeStep;
    std::vector<std::uint16_t> bits;
    std::map<const MapUnit*, bool> unitMarks;
    std::map<const Structure*, bool> structureMarks;
    // Structures marked both ways: see the test.
    std::map<const Structure*, int> structureMarkKinds;

    void Fill(HexCoord hex, int step, int minimum, int maximum, int firingLevel) {
        if (!IsValidHex(hex)) return;
        const HexTile& tile = map.GetTile(hex);
        if (tile.terrain == kTerrainNone) return;
        bool bonus;
        if (withTargets) {
            bonus = unit == nullptr ||
                    (!unit->IsAirborne() && unit->GetType() != UT_ANTIAIR && unit->GetType() != UT_ENGINEER);
        } else {
            const int type = unit != nullptr ? unit->GetType() : UT_NONE;
            bonus = !IsAircraftType(type) && type != UT_ANTIAIR && type != UT_ENGINEER;
        }
        const int height = firingLevel > tile.level ? (firingLevel - tile.level) / 2 : 0;
        const int effectiveMaximum = maximum + (bonus ? height : 0);
        if (effectiveMaximum < minimum || effectiveMaximum < step) return;
        const std::size_t i = static_cast<std::size_t>(HexTileIndex(hex));
        if (rangeStep[i] != 0 && rangeStep[i] < step) return;
        rangeStep[i] = step > 255 ? 255 : step;

        const std::uint16_t bit = unit != nullptr && unit->GetType() == UT_ENGINEER ? kMarkEngineer : kMarkAttack;
        MapUnit* target = nullptr;
        Structure* structure = nullptr;
        if (withTargets && map.IsTargetMarking() && unit != nullptr) {
            target = battle.FindAirMapUnitAt(hex);
            if (target == nullptr || !unit->CanAttack(*target)) target = battle.FindMapUnitAt(hex);
            structure = battle.FindStructureAt(hex);
        }
        if (step < minimum) {
            bits[i] = static_cast<std::uint16_t>(bits[i] & ~bit);
            if (target != nullptr && unit->CanAttack(*target)) unitMarks[target] = false;
            if (structure != nullptr && structure->GetTeam() != unit->GetTeamKind()) {
                structureMarks[structure] = false;
                structureMarkKinds[structure] |= 1;
            }
        } else if (unit != nullptr) {
            bits[i] = static_cast<std::uint16_t>(bits[i] | bit);
            if (target != nullptr && unit->CanAttack(*target)) unitMarks[target] = true;
            if (structure != nullptr && unit->GetType() == UT_ENGINEER && unit->CanStillAct() &&
                structure->GetType() != kStructureBuildPad) {
                const int own = unit->GetTeamKind();
                const int capturing = structure->GetCapturingTeam();
                if (structure->GetTeam() != own || (capturing != 0 && capturing != own)) {
                    structureMarks[structure] = true;
                    structureMarkKinds[structure] |= 2;
                }
            }
        }
        for (int d = 0; d < kDirectionCount; ++d) {
            HexCoord n;
            if (HexNeighbour(hex, d, n)) Fill(n, step + 1, minimum, maximum, firingLevel);
        }
    }
};

TEST(AttackFillProperty, BestFirstEqualsThePathWalk) {
    int marked = 0;
    int targetsMarked = 0;
    int structuresMarked = 0;  // structures marked or unmarked
    for (unsigned seed = 1; seed <= 1000; ++seed) {
        RandomBattle world(seed);
        // Every other battle lists its unit hexes, so the fills look units up only there.
        world.battle.listUnitHexes = seed % 2 == 0;
        auto map = world.Map();
        // Levels of up to six, for the height bonus.
        for (int c = 0; c < RandomBattle::kWidth; ++c) {
            for (int r = 0; r < RandomBattle::kHeight; ++r) {
                if (HexTile* tile = map->EditTile(H(c, r)); tile != nullptr && world.Pick(0, 2) == 0) {
                    tile->level = world.Pick(0, 6);
                }
            }
        }
        world.Units();
        world.Units();
        for (int s = world.Pick(1, 5); s > 0; --s) {
            const int types[] = {kStructureBuildPad, kStructureFactory, kStructureRadio, kStructureRefinery};
            std::vector<HexCoord> hexes{world.SomeHex()};
            for (int extra = world.Pick(0, 3); extra > 0; --extra) hexes.push_back(world.SomeHex());
            FakeStructure& structure = world.battle.AddStructure(types[world.Pick(0, 3)], world.Pick(1, 2), hexes);
            structure.capturing = world.Pick(0, 3) == 0 ? world.Pick(1, 2) : 0;
        }
        const int types[] = {UT_TROOPER, UT_ENGINEER, UT_ENGINEER, UT_ANTIAIR, UT_FIGHTER, UT_LIGHT_TANK, UT_SKYHOOK};
        FakeUnit& attacker = world.battle.AddUnit(types[world.Pick(0, 6)], world.SomeHex(), world.Pick(1, 2));
        attacker.airborne = IsAircraftType(attacker.type) && world.Pick(0, 2) != 0;
        attacker.minRange = world.Pick(0, 2);
        attacker.maxRange = world.Pick(0, 5);
        attacker.canHitAir = world.Pick(0, 1) == 0;
        attacker.canStillAct = world.Pick(0, 3) != 0;
        map->SetTargetMarking(world.Pick(0, 3) != 0);
        const bool withTargets = world.Pick(0, 1) == 0;
        const MapUnit* unit = !withTargets && world.Pick(0, 3) == 0 ? nullptr : &attacker;
        const HexCoord start = world.Pick(0, 5) == 0 ? world.SomeHex() : attacker.hex;
        const int firingLevel = world.Pick(0, 2) == 0 ? world.Pick(0, 6) : map->GetTile(start).level;

        // Sometimes an earlier fill leaves its steps and bits behind.
        if (world.Pick(0, 2) == 0) map->FloodRangeMarks(world.SomeHex(), 0, 0, world.Pick(0, 4), 3, &attacker);

        LiteralAttackFill literal{*map, world.battle, unit, withTargets, {}, {}, {}, {}, {}};
        CopyMarks(*map, literal.rangeStep, literal.bits);
        literal.Fill(start, 0, attacker.minRange, attacker.maxRange, firingLevel);
        if (withTargets) {
            map->FloodAttackRange(start, 0, attacker.minRange, attacker.maxRange, firingLevel, unit);
        } else {
            map->FloodRangeMarks(start, 0, attacker.minRange, attacker.maxRange, firingLevel, unit);
        }

        ASSERT_TRUE(SameMarks(*map, literal.rangeStep, literal.bits)) << "seed " << seed;
        for (const std::uint16_t bits : literal.bits) marked += (bits & (kMarkAttack | kMarkEngineer)) != 0 ? 1 : 0;
        for (const FakeUnit& u : world.battle.units) {
            const auto it = literal.unitMarks.find(&u);
            EXPECT_EQ(u.targetMarked, it != literal.unitMarks.end() && it->second) << "seed " << seed;
            targetsMarked += u.targetMarked ? 1 : 0;
        }
        // A structure with tiles both short of the minimum and within range is unmarked and marked; which
        // stays follows the order of the walk, which the fills do not keep. Only engineers mark structures,
        // and they reach exactly one step, so in play that takes a structure under the engineer itself.
        for (const FakeStructure& s : world.battle.structures) {
            if (literal.structureMarkKinds[&s] == 3) continue;
            const auto it = literal.structureMarks.find(&s);
            EXPECT_EQ(s.targetMarked, it != literal.structureMarks.end() && it->second) << "seed " << seed;
            structuresMarked += it != literal.structureMarks.end() ? 1 : 0;
        }
    }
    // The fills cover ground and find targets often enough to matter.
    EXPECT_GT(marked, 8000);
    EXPECT_GT(targetsMarked, 150);
    EXPECT_GT(structuresMarked, 30);
}

// The reach marks: the recursion again, with no terrain, level or target rules, from a tile with or without
// the steps and bits of an earlier fill on the map.
struct LiteralReach {
    std::vector<int> rangeStep;
    std::vector<std::uint16_t> bits;

    void Mark(HexCoord hex, int step, int maximum) {
        if (!IsValidHex(hex) || step > maximum) return;
        const std::size_t i = static_cast<std::size_t>(HexTileIndex(hex));
        if (rangeStep[i] != 0 && rangeStep[i] < step) return;
        rangeStep[i] = step > 255 ? 255 : step;
        bits[i] = static_cast<std::uint16_t>(bits[i] | kMarkAttack);
        for (int d = 0; d < kDirectionCount; ++d) {
            HexCoord n;
            if (HexNeighbour(hex, d, n)) Mark(n, step + 1, maximum);
        }
    }
};

TEST(AttackFillProperty, ReachEqualsThePathWalk) {
    int marked = 0;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        RandomBattle world(seed);
        auto map = world.Map();
        world.Units();
        if (world.Pick(0, 1) == 0) {
            FakeUnit& other = world.battle.AddUnit(UT_LIGHT_TANK, world.SomeHex(), 1);
            other.maxRange = world.Pick(1, 4);
            map->FloodRangeMarks(world.SomeHex(), 0, 0, other.maxRange, 3, &other);
        }
        LiteralReach literal;
        CopyMarks(*map, literal.rangeStep, literal.bits);
        // Off the map now and then, mostly from step 0, up to the nearby capture's reach of 6.
        const HexCoord start = world.Pick(0, 9) == 0 ? H(-1, 3) : world.SomeHex();
        const int step = world.Pick(0, 3) == 0 ? world.Pick(1, 2) : 0;
        const int maximum = world.Pick(0, 6);
        literal.Mark(start, step, maximum);
        map->MarkReach(start, step, maximum);
        ASSERT_TRUE(SameMarks(*map, literal.rangeStep, literal.bits)) << "seed " << seed;
        for (const std::uint16_t bits : literal.bits) marked += (bits & kMarkAttack) != 0 ? 1 : 0;
    }
    EXPECT_GT(marked, 3000);  // the reach covers ground often enough to matter
}

}  // namespace
