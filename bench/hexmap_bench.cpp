// Route search and move range on a full 48 x 38 map of land, shore, water and cliffs with a dozen units,
// unit lookups answered from a grid as the team manager does.
#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <vector>

#include "engine/core/frame_timer.h"
#include "engine/core/random_streams.h"
#include "game/battle/battle_context.h"
#include "game/battle/hex_map.h"
#include "game/battle/path_finder.h"
#include "game/battle/map_unit.h"
#include "game/battle/unit_params.h"

namespace {

using namespace game;

class BenchUnit : public MapUnit {
public:
    BenchUnit(int type, HexCoord hex, int team, bool airborne) : type_(type), hex_(hex), team_(team), airborne_(airborne) {}
    int GetType() const override { return type_; }
    HexCoord GetHexPos() const override { return hex_; }
    int GetTeamKind() const override { return team_; }
    bool IsAirborne() const override { return airborne_; }
    MapUnit* GetPassenger() const override { return nullptr; }
    MapUnit* GetCarrier() const override { return nullptr; }
    bool CanStillMove() const override { return true; }
    bool CanStillAct() const override { return true; }
    bool CanCarryType(int) const override { return false; }
    float GetMovementLeft() const override { return 6.0f; }
    bool CanAttack(const MapUnit& target) const override { return target.GetTeamKind() != team_; }
    void GetAttackRange(int& minimum, int& maximum) const override { minimum = maximum = 1; }
    bool IsCarrier() const override { return false; }
    bool IsDoor() const override { return false; }
    bool IsInSameLayer(const MapUnit& other) const override { return &other != this && IsAtAltitude(other.IsAirborne()); }
    bool IsAtAltitude(bool airborne) const override {
        return airborne && !IsAircraftType(type_) ? false : airborne_ == airborne;
    }
    bool IsArmed() const override { return true; }
    bool CanLoadUnitOnHex() const override { return false; }
    void SetTargetMark(bool, const MapUnit*) override {}

private:
    int type_;
    HexCoord hex_;
    int team_;
    bool airborne_;
};

class GridBattle : public BattleContext {
public:
    // The units' questions: the map never asks them.
    Unit* FindUnitById(int) const override { return nullptr; }
    Unit* FindUnitAt(HexCoord) const override { return nullptr; }
    bool IsSettingUp() const override { return false; }
    int NextUnitId() override { return 0; }
    int GetGameMode() const override { return kGameModeSkirmish; }
    std::uint32_t GetOptionBits() const override { return 0; }
    bool IsFastForward() const override { return false; }
    void UnlockAchievement(int) override {}
    engine::WideString GetText(const char*) const override { return engine::WideString(); }
    HexMap& GetHexMap() override { return spareMap_; }
    engine::RandomStreams& GetRandomStreams() override { return random_; }
    const engine::FrameTimer& GetFrameTimer() const override { return timer_; }

    GridBattle() {
        ground_.fill(nullptr);
        air_.fill(nullptr);
        UnitParams tank;
        tank.moveAllowance = 6.0f;
        const float costs[7] = {2.0f, 3.0f, 0.5f, 1.0f, 0.0f, 1.0f, 2.0f};
        for (int i = 0; i < 7; ++i) tank.moveCost[i] = costs[i];
        params_.fill(tank);
    }
    void Place(BenchUnit& unit) {
        (unit.IsAirborne() ? air_ : ground_)[static_cast<std::size_t>(HexTileIndex(unit.GetHexPos()))] = &unit;
        units_.push_back(&unit);
    }
    MapUnit* FindMapUnitAt(HexCoord hex) const override {
        if (!IsValidHex(hex)) return nullptr;
        const std::size_t i = static_cast<std::size_t>(HexTileIndex(hex));
        return ground_[i] != nullptr ? ground_[i] : air_[i];
    }
    MapUnit* FindAirMapUnitAt(HexCoord hex) const override {
        return IsValidHex(hex) ? air_[static_cast<std::size_t>(HexTileIndex(hex))] : nullptr;
    }
    bool ListUnitHexes(std::vector<HexCoord>& out) const override {
        for (const MapUnit* unit : units_) out.push_back(unit->GetHexPos());
        return true;
    }
    int GetCurrentTeamKind() const override { return 1; }
    int GetTeamControl(int teamKind) const override { return teamKind == 1 ? kControlHuman : kControlComputer; }
    std::span<MapUnit* const> GetTeamMapUnits(int) const override { return units_; }
    void ClearTargetMarks() override {}
    int CountTargetMarkedUnits() const override { return 0; }
    Structure* FindStructureAt(HexCoord) const override { return nullptr; }
    void ClearStructureMarks() override {}
    const UnitParams* GetUnitParams(int type) const override {
        return type >= 1 && type < kUnitTypeCount ? &params_[static_cast<std::size_t>(type)] : nullptr;
    }
    bool IsHeldImmobile(const MapUnit&) const override { return false; }
    bool BoxTouchesLevel(const engine::Matrix44&, const engine::Vec3&) const override { return false; }

private:
    HexMap spareMap_;
    engine::RandomStreams random_{[] { return 1u; }};
    engine::FrameTimer timer_;
    std::array<MapUnit*, kMapTileCount> ground_;
    std::array<MapUnit*, kMapTileCount> air_;
    std::array<UnitParams, kUnitTypeCount> params_;
    std::vector<MapUnit*> units_;
};

// Land with a lake ringed by shore, a cliff-edged plateau with two ramps of one level, rough ground and
// rocks; units of two sides scattered across the middle.
struct Battlefield {
    Battlefield() {
        map = std::make_unique<HexMap>();
        for (int c = 0; c < kMapColumns; ++c) {
            for (int r = 0; r < kMapRows; ++r) {
                HexTile* tile = map->EditTile(MakeHexCoord(c, r));
                if (tile == nullptr) continue;
                tile->terrain = kTerrainLand;
                const int dc = c - 14;
                const int dr = r - 12;
                if (dc * dc + dr * dr <= 25) tile->terrain = kTerrainWater;
                else if (dc * dc + dr * dr <= 36) tile->terrain = kTerrainShore, tile->level = 1;
                if (c >= 28 && c <= 36 && r >= 8 && r <= 30) tile->level = 2;  // plateau
                if ((c == 27 || c == 37) && r == 19) tile->level = 1;           // ramps
                if ((c + 2 * r) % 13 == 0) tile->terrain = kTerrainLand2;
                if ((c * 7 + r * 3) % 29 == 0) tile->terrain = kTerrainBlocked;
                tile->height = static_cast<float>(tile->level) * 0.25f;
            }
        }
        map->SetBattleContext(&battle);
        const int spots[12][3] = {{10, 25, 1}, {12, 27, 2}, {20, 18, 2}, {22, 21, 1}, {24, 15, 2}, {30, 20, 2},
                                  {33, 12, 1}, {40, 18, 2}, {42, 22, 1}, {18, 30, 2}, {26, 26, 1}, {24, 20, 2}};
        for (const auto& s : spots) {
            units.push_back(std::make_unique<BenchUnit>(UT_LIGHT_TANK, MakeHexCoord(s[0], s[1]), s[2], false));
        }
        units.push_back(std::make_unique<BenchUnit>(UT_FIGHTER, MakeHexCoord(23, 19), 2, true));
        for (auto& unit : units) battle.Place(*unit);
        mover = std::make_unique<BenchUnit>(UT_LIGHT_TANK, MakeHexCoord(24, 19), 1, false);
    }
    GridBattle battle;
    std::unique_ptr<HexMap> map;
    std::vector<std::unique_ptr<BenchUnit>> units;
    std::unique_ptr<BenchUnit> mover;
};

void BM_RouteAcrossTheMap(benchmark::State& state) {
    Battlefield field;
    HexPath path;
    bool found = false;
    for (auto _ : state) {
        found = field.map->FindRoute(MakeHexCoord(0, 19), MakeHexCoord(47, 19), path, UT_LIGHT_TANK, 1, false);
        benchmark::DoNotOptimize(path);
    }
    if (!found) state.SkipWithError("no route across the map");
    state.counters["steps"] = path.count;
    state.counters["nodes"] = PathFinder::ForThisThread().LastStats().nodesTaken;
}
BENCHMARK(BM_RouteAcrossTheMap)->Repetitions(5)->DisplayAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

void BM_RouteToAnUnreachableGoal(benchmark::State& state) {
    Battlefield field;
    HexPath path;
    for (auto _ : state) {
        // The middle of the lake: no ground route; the search exhausts everything reachable.
        benchmark::DoNotOptimize(field.map->FindRoute(MakeHexCoord(0, 19), MakeHexCoord(14, 12), path, UT_LIGHT_TANK, 1, false));
    }
    state.counters["nodes"] = PathFinder::ForThisThread().LastStats().nodesTaken;
    state.counters["links"] = PathFinder::ForThisThread().LastStats().linksTaken;
    state.counters["lowered"] = PathFinder::ForThisThread().LastStats().closedNodesLowered;
}
BENCHMARK(BM_RouteToAnUnreachableGoal)->Repetitions(5)->DisplayAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

void BM_MarkMoveRange(benchmark::State& state) {
    Battlefield field;
    HexMap& map = *field.map;
    for (auto _ : state) {
        map.ClearMarkBits(kMarkAll);
        map.SetTileScratch(0.0f);
        map.ClearRangeSteps();
        map.MarkMoveRange(*field.mover);
        benchmark::DoNotOptimize(map.GetMarkBits(MakeHexCoord(24, 19)));
    }
    int reached = 0;
    for (int c = 0; c < kMapColumns; ++c) {
        for (int r = 0; r < kMapRows; ++r) reached += (map.GetMarkBits(MakeHexCoord(c, r)) & kMarkMove) != 0 ? 1 : 0;
    }
    state.counters["tiles"] = reached;
}
BENCHMARK(BM_MarkMoveRange)->Repetitions(5)->DisplayAggregatesOnly(true)->Unit(benchmark::kMicrosecond);

}  // namespace
