#pragma once
// Fake units, structures and battle for the map tests, and maps built from text sources.
#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/frame_timer.h"
#include "engine/core/random_streams.h"
#include "game/battle/battle_context.h"
#include "game/battle/hex_map.h"
#include "game/battle/hex_map_file.h"
#include "game/battle/hex_map_source.h"
#include "game/battle/hex_map_writer.h"
#include "game/battle/structure.h"
#include "game/battle/map_unit.h"
#include "game/battle/unit_params.h"

namespace game {
inline void PrintTo(const HexCoord& hex, std::ostream* os) { *os << hex.column << "/" << hex.row; }
}  // namespace game

namespace battle_test {

using namespace game;

inline HexCoord H(int column, int row) { return MakeHexCoord(column, row); }

class FakeUnit : public MapUnit {
public:
    FakeUnit(int unitType, HexCoord at, int teamKind) : type(unitType), hex(at), team(teamKind) {
        armed = !(type == 2 || type == 8 || type == 9 || type == 10 || type == 11 || type == 24);
    }

    int GetType() const override { return type; }
    HexCoord GetHexPos() const override { return hex; }
    int GetTeamKind() const override { return team; }
    bool IsAirborne() const override { return carrier != nullptr ? carrier->IsAirborne() : airborne; }
    MapUnit* GetPassenger() const override { return passenger; }
    MapUnit* GetCarrier() const override { return carrier; }
    bool CanStillMove() const override { return canStillMove; }
    bool CanStillAct() const override { return canStillAct; }
    bool CanCarryType(int unitType) const override { return carries.count(unitType) != 0; }
    float GetMovementLeft() const override { return movementLeft; }
    bool CanAttack(const MapUnit& target) const override {
        return &target != this && target.GetTeamKind() != team && !target.IsDoor() &&
               (canHitAir || !target.IsAirborne());
    }
    void GetAttackRange(int& minimum, int& maximum) const override {
        minimum = minRange;
        maximum = maxRange;
    }
    bool IsCarrier() const override { return type == 8 || type == 10 || type == 11; }
    bool IsDoor() const override { return type == 24; }
    bool IsInSameLayer(const MapUnit& other) const override { return &other != this && IsAtAltitude(other.IsAirborne()); }
    bool IsAtAltitude(bool up) const override {
        if (up && !IsAircraftType(type)) return false;
        return IsAirborne() == up;
    }
    bool IsArmed() const override { return armed; }
    bool CanLoadUnitOnHex() const override { return canLoadOnHex; }
    void SetTargetMark(bool marked, const MapUnit* attacker) override {
        targetMarked = marked;
        markedBy = attacker;
    }

    int type;
    HexCoord hex;
    int team;
    bool airborne = false;
    FakeUnit* passenger = nullptr;
    FakeUnit* carrier = nullptr;
    float movementLeft = 6.0f;
    bool canStillMove = true;
    bool canStillAct = true;
    std::set<int> carries;
    int minRange = 1;
    int maxRange = 1;
    bool armed = true;
    bool canHitAir = true;
    bool canLoadOnHex = false;
    bool gone = false;  // off the map: no lookup finds it
    bool targetMarked = false;
    const MapUnit* markedBy = nullptr;
};

class FakeStructure : public Structure {
public:
    FakeStructure(int structureType, int teamKind, std::vector<HexCoord> at)
        : type(structureType), team(teamKind), hexes(std::move(at)) {}
    int GetType() const override { return type; }
    int GetTeam() const override { return team; }
    int GetCapturingTeam() const override { return capturing; }
    void SetTargetMark(bool marked) override { targetMarked = marked; }

    int type;
    int team;
    int capturing = 0;
    std::vector<HexCoord> hexes;
    bool targetMarked = false;
};

// Figures for the fakes: ground types pay 1 on land and shore, 2 on the second land kind, 0.5 on
// overlay ground, 2 on features and 3 on raised features, and cannot swim; ships pay 1 on water only;
// aircraft pay 1 everywhere; doors go nowhere.
inline UnitParams FakeParamsFor(int type) {
    UnitParams p;
    p.moveAllowance = 6.0f;
    if (type == 24) return p;
    if (IsAircraftType(type)) {
        for (float& c : p.moveCost) c = 1.0f;
    } else if (type == 10 || (type >= 18 && type <= 21)) {
        p.moveCost[4] = 1.0f;
    } else {
        const float costs[7] = {2.0f, 3.0f, 0.5f, 1.0f, 0.0f, 1.0f, 2.0f};
        for (int i = 0; i < 7; ++i) p.moveCost[i] = costs[i];
    }
    return p;
}

// The units' questions, which the map never asks, answered as by a battle without units.
class MapOnlyBattle : public BattleContext {
public:
    Unit* FindUnitById(int) const override { return nullptr; }
    Unit* FindUnitAt(HexCoord) const override { return nullptr; }
    bool IsSettingUp() const override { return false; }
    int NextUnitId() override { return ++lastUnitId_; }
    int GetGameMode() const override { return kGameModeSkirmish; }
    std::uint32_t GetOptionBits() const override { return 0; }
    bool IsFastForward() const override { return false; }
    void UnlockAchievement(int) override {}
    engine::WideString GetText(const char*) const override { return engine::WideString("No String"); }
    HexMap& GetHexMap() override {
        if (!spareMap_) spareMap_ = std::make_unique<HexMap>();
        return *spareMap_;
    }
    engine::RandomStreams& GetRandomStreams() override { return random_; }
    const engine::FrameTimer& GetFrameTimer() const override { return timer_; }

private:
    int lastUnitId_ = 0;
    std::unique_ptr<HexMap> spareMap_;
    engine::RandomStreams random_{[] { return 1u; }};
    engine::FrameTimer timer_;
};

class FakeBattle : public MapOnlyBattle {
public:
    FakeBattle() {
        for (int t = 0; t < kUnitTypeCount; ++t) params[t] = FakeParamsFor(t);
    }

    FakeUnit& AddUnit(int type, HexCoord hex, int team) { return units.emplace_back(type, hex, team); }
    FakeStructure& AddStructure(int type, int team, std::vector<HexCoord> hexes) {
        return structures.emplace_back(type, team, std::move(hexes));
    }

    MapUnit* FindMapUnitAt(HexCoord hex) const override {
        MapUnit* air = nullptr;
        for (const FakeUnit& u : units) {
            if (!(u.hex == hex) || u.gone) continue;
            if (!u.IsAirborne()) return const_cast<FakeUnit*>(&u);
            if (air == nullptr) air = const_cast<FakeUnit*>(&u);
        }
        return air;
    }
    bool ListUnitHexes(std::vector<HexCoord>& out) const override {
        if (!listUnitHexes) return false;
        for (const FakeUnit& u : units) {
            if (!u.gone) out.push_back(u.hex);
        }
        return true;
    }
    MapUnit* FindAirMapUnitAt(HexCoord hex) const override {
        for (const FakeUnit& u : units) {
            if (u.hex == hex && !u.gone && u.IsAirborne()) return const_cast<FakeUnit*>(&u);
        }
        return nullptr;
    }
    int GetCurrentTeamKind() const override { return currentTeam; }
    int GetTeamControl(int teamKind) const override {
        return teamKind >= 0 && teamKind <= kMaxTeamKind ? control[teamKind] : kControlNone;
    }
    std::span<MapUnit* const> GetTeamMapUnits(int teamKind) const override {
        teamList.clear();
        for (const FakeUnit& u : units) {
            if (u.team == teamKind && !u.gone) teamList.push_back(const_cast<FakeUnit*>(&u));
        }
        return teamList;
    }
    void ClearTargetMarks() override {
        for (FakeUnit& u : units) u.targetMarked = false;
    }
    int CountTargetMarkedUnits() const override {
        int n = 0;
        for (const FakeUnit& u : units) n += u.targetMarked ? 1 : 0;
        return n;
    }
    Structure* FindStructureAt(HexCoord hex) const override {
        for (const FakeStructure& s : structures) {
            for (const HexCoord& at : s.hexes) {
                if (at == hex) return const_cast<FakeStructure*>(&s);
            }
        }
        return nullptr;
    }
    void ClearStructureMarks() override {
        for (FakeStructure& s : structures) s.targetMarked = false;
    }
    const UnitParams* GetUnitParams(int unitType) const override {
        return unitType >= 1 && unitType < kUnitTypeCount ? &params[unitType] : nullptr;
    }
    bool IsHeldImmobile(const MapUnit& unit) const override { return held.count(&unit) != 0; }
    // Blockers are spheres; the box touches one when its centre line passes within the radius.
    bool BoxTouchesLevel(const engine::Matrix44& box, const engine::Vec3& halfSize) const override {
        const engine::Vec3 centre = box.Row(3);
        const engine::Vec3 forward = box.Row(2);
        for (const auto& [point, radius] : blockers) {
            float along = point.Sub(centre).Dot(forward);
            if (along > halfSize.z) along = halfSize.z;
            if (along < -halfSize.z) along = -halfSize.z;
            if (centre.Add(forward.Scale(along)).Sub(point).Length() < radius) return true;
        }
        return false;
    }

    std::deque<FakeUnit> units;
    // Whether ListUnitHexes lists the units' hexes (else it cannot tell).
    bool listUnitHexes = false;
    std::deque<FakeStructure> structures;
    UnitParams params[kUnitTypeCount];
    int currentTeam = 1;
    int control[kMaxTeamKind + 1] = {kControlNone, kControlHuman, kControlComputer, kControlNone, kControlComputer};
    std::set<const MapUnit*> held;
    std::vector<std::pair<engine::Vec3, float>> blockers;
    mutable std::vector<MapUnit*> teamList;
};

// Builds the source into a version-12 file (regions computed) and loads it.
inline std::unique_ptr<HexMap> MapFromSource(std::string_view source, BattleContext* battle) {
    HexFileImage image;
    std::string error;
    EXPECT_TRUE(ParseHexMapSource(source, image, error)) << error;
    EXPECT_TRUE(AssignRegions(image, error)) << error;
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(EncodeHexMapImage(image, bytes));
    auto map = std::make_unique<HexMap>();
    EXPECT_TRUE(LoadHexMapFromMemory(*map, bytes.data(), bytes.size()));
    map->SetBattleContext(battle);
    return map;
}

// A source of columns x rows cells all equal to `cell`, followed by `extra` lines.
inline std::string UniformSource(int columns, int rows, const std::string& cell, const std::string& extra = "") {
    std::string s = "weather 2\ngrid " + std::to_string(columns) + " " + std::to_string(rows) + "\n";
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            // Row 37 of an even column is off the grid.
            s += (r == kMapRows - 1 && c % 2 == 0) ? "." : cell;
            s += c + 1 < columns ? " " : "\n";
        }
    }
    return s + extra;
}

}  // namespace battle_test

namespace battle_test {

// Steps from a hex to every hex of the grid over valid neighbours (-1 where unreachable).
inline std::vector<int> StepsFrom(HexCoord start) {
    std::vector<int> steps(kMapTileCount, -1);
    std::vector<HexCoord> queue{start};
    steps[static_cast<std::size_t>(HexTileIndex(start))] = 0;
    for (std::size_t i = 0; i < queue.size(); ++i) {
        for (int d = 0; d < kDirectionCount; ++d) {
            HexCoord n;
            if (!HexNeighbour(queue[i], d, n) || steps[static_cast<std::size_t>(HexTileIndex(n))] >= 0) continue;
            steps[static_cast<std::size_t>(HexTileIndex(n))] = steps[static_cast<std::size_t>(HexTileIndex(queue[i]))] + 1;
            queue.push_back(n);
        }
    }
    return steps;
}

inline int StepsBetween(HexCoord a, HexCoord b) { return StepsFrom(a)[static_cast<std::size_t>(HexTileIndex(b))]; }

}  // namespace battle_test
