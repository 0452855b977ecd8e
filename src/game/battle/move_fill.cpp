// The movement fills and the marks built on them: move range, embark and pick-up hexes, ferry tiles, drop
// hexes, landing, the full display of a selected unit and the shown route.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <vector>

#include "game/battle/battle_context.h"
#include "game/battle/hex_map.h"
#include "game/battle/hex_neighbours.h"
#include "game/battle/map_unit.h"
#include "game/battle/unit_params.h"
#include "game/battle/unit_tile_flags.h"

namespace game {

namespace {

// Added to the budget at each step so that a budget used up exactly still reaches the last tile.
constexpr float kStepAllowance = 0.00001f;

// Tiles waiting in the movement fill, the largest budget on top. A tile whose budget grows while it waits
// goes in again with the new budget, which comes up first; what comes up after it for an expanded tile is
// passed over.
class BudgetQueue {
public:
    BudgetQueue() { entries_.reserve(512); }

    void Push(int tile, float budget) {
        entries_.push_back({budget, tile});
        std::push_heap(entries_.begin(), entries_.end(), Lower{});
    }
    // The waiting tile with the largest budget, marked as expanded; -1 once none waits.
    int PopLargest() {
        while (!entries_.empty()) {
            std::pop_heap(entries_.begin(), entries_.end(), Lower{});
            const int tile = entries_.back().tile;
            entries_.pop_back();
            if (!expanded_[static_cast<std::size_t>(tile)]) {
                expanded_[static_cast<std::size_t>(tile)] = true;
                return tile;
            }
        }
        return -1;
    }

private:
    struct Entry {
        float budget;
        int tile;
    };
    struct Lower {
        bool operator()(const Entry& a, const Entry& b) const { return a.budget < b.budget; }
    };

    std::vector<Entry> entries_;
    std::array<bool, kMapTileCount> expanded_{};
};

HexCoord HexOfIndex(int index) { return MakeHexCoord(index / kMapRows, index % kMapRows); }

}  // namespace

bool HexMap::MayEnterPastUnits(HexCoord from, HexCoord to, const MapUnit& mover, const MapUnit* other) const {
    if (other == nullptr || other == &mover) return true;
    if (mover.IsInSameLayer(*other)) {
        if (mover.IsAirborne()) return false;
        if (!other->CanCarryType(mover.GetType())) return false;
        if (other->GetType() == UT_FERRY && GetTile(from).terrain != kTerrainShore) return false;
        if (other->GetType() == UT_APC && std::abs(GetTile(to).level - GetTile(from).level) > 1) return false;
        return true;
    }
    if (mover.IsAirborne() && !other->IsAirborne()) return context_->FindAirMapUnitAt(to) == nullptr;
    return true;
}

// Best-first by largest remaining budget. Every tile ends with the largest budget that any walk of the
// rules brings to it, which is what walking every path gives, but each tile is expanded only when its
// budget improves. Nothing the fill reads changes while it runs, so each tile's move cost is asked once,
// and units are looked up only on the tiles the battle says may hold one.
void HexMap::MoveFill(HexCoord start, const MapUnit& unit, float budget, bool blockByUnits,
                      const UnitTileFlags& unitTiles) {
    if (!IsValidHex(start)) return;
    const int type = unit.GetType();
    const UnitParams* params = ParamsFor(type);
    if (params == nullptr) return;
    const HexNeighbourTable& neighbours = HexNeighbours();
    // Each tile's unit is looked up once a fill: a tile is asked about when it is taken and again by every
    // step onto it, and nobody moves while the fill runs.
    const MapUnit* unitAt[kMapTileCount];
    bool unitAsked[kMapTileCount] = {};
    const auto unitOn = [&](HexCoord hex, int index) -> const MapUnit* {
        if (context_ == nullptr || !unitTiles.MayHoldUnit(index)) return nullptr;
        if (!unitAsked[index]) {
            unitAsked[index] = true;
            unitAt[index] = context_->FindMapUnitAt(hex);
        }
        return unitAt[index];
    };
    float best[kMapTileCount];
    float moveCost[kMapTileCount];  // below 0 until asked
    // Whether an APC stands on the tile: 1 or 0 once asked, -1 before. A tile is asked from each of its
    // neighbours and again whenever one of them improves, and each ask is a unit lookup.
    std::int8_t apcOn[kMapTileCount];
    for (float& b : best) b = -std::numeric_limits<float>::infinity();
    for (float& c : moveCost) c = -1.0f;
    std::fill(std::begin(apcOn), std::end(apcOn), std::int8_t{-1});
    const auto moveCostOf = [&](HexCoord hex, int index) {
        if (moveCost[index] < 0.0f) moveCost[index] = MoveCostWith(*params, hex);
        return moveCost[index];
    };
    const auto apcStandsOn = [&](HexCoord hex, int index) {
        if (apcOn[index] < 0) {
            const MapUnit* standing = unitOn(hex, index);
            apcOn[index] = standing != nullptr && standing->GetType() == UT_APC ? 1 : 0;
        }
        return apcOn[index] != 0;
    };
    BudgetQueue queue;
    best[HexTileIndex(start)] = budget;
    queue.Push(HexTileIndex(start), budget);

    for (int index = queue.PopLargest(); index >= 0; index = queue.PopLargest()) {
        const HexCoord hex = HexOfIndex(index);
        const float left = best[index];
        if (left < 0.0f || tiles_[index].terrain == kTerrainNone) continue;
        const float hereCost = moveCostOf(hex, index);
        if (hereCost == 0.0f) continue;
        TileMarks& marks = marks_[index];
        if (left >= marks.moveLeft) marks.moveLeft = left;
        if (blockByUnits) {
            const MapUnit* other = unitOn(hex, index);
            if (other != nullptr && unit.IsInSameLayer(*other) && other->GetCarrier() != &unit) continue;
        }
        for (int d = 0; d < kDirectionCount; ++d) {
            const int next = neighbours.indices[index][d];
            if (next < 0) continue;
            // Blocked by units, a step onto a tile that has at least this budget changes nothing (every
            // step costs more than the allowance).
            if (blockByUnits && best[next] >= left) continue;
            const HexCoord neighbour = neighbours.hexes[index][d];
            const float cost = StepCostKnown(hex, hereCost, neighbour, moveCostOf(neighbour, next), type,
                                             [&](HexCoord to) { return apcStandsOn(to, next); });
            // A step no dearer than the allowance would let a walk gain budget around a loop.
            if (cost <= kStepAllowance || left - cost < 0.0f) continue;
            const float reached = left - cost + kStepAllowance;
            if (blockByUnits) {
                // Only a step that would improve the tile asks about the units there.
                if (!(reached > best[next])) continue;
                if (context_ != nullptr && !MayEnterPastUnits(hex, neighbour, unit, unitOn(neighbour, next))) continue;
            } else {
                AddBits(neighbour, kMarkMove);
            }
            if (reached > best[next]) {
                best[next] = reached;
                queue.Push(next, reached);
            }
        }
    }
}

void HexMap::FloodMoveBudget(HexCoord hex, const MapUnit& unit, float budget) {
    MoveFill(hex, unit, budget, true, UnitTileFlags(context_));
}

void HexMap::FloodMoveIgnoringUnits(HexCoord hex, const MapUnit& unit, float budget) {
    MoveFill(hex, unit, budget, false, UnitTileFlags(context_));
}

void HexMap::MarkFerryTiles(int teamKind) {
    ClearMarkBits(kMarkFerry);
    if (context_ == nullptr) return;
    for (const MapUnit* unit : context_->GetTeamMapUnits(teamKind)) {
        if (unit == nullptr || unit->GetType() != UT_FERRY || unit->GetPassenger() != nullptr) continue;
        const HexCoord hex = unit->GetHexPos();
        if (GetTile(hex).terrain == kTerrainWater) AddBits(hex, kMarkFerry);
    }
}

void HexMap::MarkMoveRangeAt(HexCoord hex, const MapUnit& mover, bool ownHex, const UnitTileFlags& unitTiles) {
    TileMarks& marks = marks_[HexTileIndex(hex)];
    if (marks.moveLeft != 0.0f) marks.markBits = static_cast<std::uint16_t>(marks.markBits | kMarkMove);
    if ((marks.moveLeft == 0.0f && !ownHex) || context_ == nullptr || !unitTiles.MayHoldUnit(HexTileIndex(hex))) {
        return;
    }
    MapUnit* other = context_->FindMapUnitAt(hex);
    if (other == &mover) other = context_->FindAirMapUnitAt(hex);
    if (other == nullptr || other == &mover) return;

    std::uint16_t bits = marks.markBits;
    if (!mover.IsAirborne()) {
        const MapUnit* above = context_->FindAirMapUnitAt(hex);
        const bool canCarry = other->CanCarryType(mover.GetType()) && other->GetPassenger() == nullptr &&
                              (!IsAircraftType(other->GetType()) || above == nullptr || above == other);
        bool keepMove = false;
        if (canCarry) {
            if (!(other->GetType() == UT_APC && mover.GetMovementLeft() < 10.0f)) bits |= kMarkEmbark;
            if (other->GetTeamKind() != mover.GetTeamKind()) bits &= static_cast<std::uint16_t>(~kMarkEmbark);
            keepMove = other->IsAirborne();
        } else {
            const MapUnit* carrier = other->GetCarrier();
            keepMove = other->IsAirborne() || (carrier != nullptr && carrier->IsAirborne());
        }
        if (!keepMove) bits &= static_cast<std::uint16_t>(~kMarkMove);
    } else if (!other->IsAirborne()) {
        if (mover.CanCarryType(other->GetType()) && mover.GetPassenger() == nullptr &&
            mover.GetTeamKind() == other->GetTeamKind() &&
            (other->GetType() != UT_APC || mover.GetMovementLeft() >= 10.0f)) {
            bits |= kMarkEmbark;
        }
    } else {
        bits &= static_cast<std::uint16_t>(~kMarkMove);
    }
    marks.markBits = bits;
}

void HexMap::MarkMoveRange(const MapUnit& unit) {
    MarkFerryTiles(unit.GetTeamKind());
    const HexCoord own = unit.GetHexPos();
    const UnitTileFlags unitTiles(context_);
    MoveFill(own, unit, unit.GetMovementLeft(), true, unitTiles);
    // Each tile's marks depend on that tile alone, so the tiles are taken in memory order; only reached
    // tiles and the unit's own have anything to mark.
    for (int column = 0, index = 0; column < kMapColumns; ++column) {
        for (int row = 0; row < kMapRows; ++row, ++index) {
            const HexCoord hex = MakeHexCoord(column, row);
            const bool ownHex = hex == own;
            if ((marks_[index].moveLeft != 0.0f || ownHex) && IsValidHex(hex)) MarkMoveRangeAt(hex, unit, ownHex, unitTiles);
        }
    }
}

void HexMap::MarkDropHexes(const MapUnit& unit) {
    if (!unit.IsCarrier() || IsAircraftType(unit.GetType())) return;
    const MapUnit* passenger = unit.GetPassenger();
    if (passenger == nullptr) return;
    const HexCoord hex = unit.GetHexPos();
    const int carrierLevel = GetTile(hex).level;
    for (int d = 0; d < kDirectionCount; ++d) {
        HexCoord neighbour;
        if (!HexNeighbour(hex, d, neighbour) || GetMoveCost(neighbour, passenger->GetType()) == 0.0f) continue;
        const MapUnit* standing = context_ != nullptr ? context_->FindMapUnitAt(neighbour) : nullptr;
        if (standing != nullptr && !standing->IsAirborne()) continue;
        const int level = GetTile(neighbour).level;
        if (level == carrierLevel || (level == 1 && carrierLevel == 0)) AddBits(neighbour, kMarkDrop);
    }
}

void HexMap::MarkLanding(const MapUnit& unit) {
    if (!unit.IsAirborne()) return;
    const HexCoord hex = unit.GetHexPos();
    const HexTile& tile = GetTile(hex);
    const MapUnit* passenger = unit.GetPassenger();
    const MapUnit* standing = context_ != nullptr ? context_->FindMapUnitAt(hex) : nullptr;
    const bool otherHere = standing != nullptr && standing != &unit;
    bool mayLand = tile.objectClass != kObjectFeature && tile.terrain != kTerrainWater &&
                   (tile.terrain != kTerrainLand2 || unit.GetType() == UT_SKYHOOK);
    if (otherHere && standing != passenger) mayLand = false;
    if (passenger != nullptr && GetMoveCost(hex, passenger->GetType()) == 0.0f) mayLand = false;
    if (GetMoveCost(hex, unit.GetType()) == 0.0f) mayLand = false;
    if (mayLand) SetMarkBits(hex, passenger != nullptr ? kMarkDrop : kMarkLanding);
    if (otherHere && unit.CanLoadUnitOnHex()) SetMarkBits(hex, kMarkEmbark);
}

void HexMap::MarkSelectedUnitRanges(const MapUnit& unit, bool showTargets) {
    ClearMarkBits(kMarkAll);
    SetTileScratch(0.0f);
    ClearRangeSteps();
    if (context_ != nullptr) {
        context_->ClearTargetMarks();
        context_->ClearStructureMarks();
    }
    const HexCoord hex = unit.GetHexPos();

    bool carrierAbove = false;
    if (context_ != nullptr) {
        const MapUnit* above = context_->FindAirMapUnitAt(hex);
        carrierAbove = above != nullptr && above != &unit && above->GetPassenger() == nullptr &&
                       above->CanCarryType(unit.GetType());
    }
    if (unit.CanStillMove() || carrierAbove) MarkMoveRange(unit);

    const int current = context_ != nullptr ? context_->GetCurrentTeamKind() : -1;
    if (!(unit.GetTeamKind() == current && !unit.CanStillAct())) {
        int minimum = 0;
        int maximum = 0;
        unit.GetAttackRange(minimum, maximum);
        FloodAttackRange(hex, 0, minimum, maximum, GetTile(hex).level, &unit);
        FilterLineOfSight(unit, std::nullopt);
        if (showTargets) FilterAttackTargets(unit, false);
    }
    MarkDropHexes(unit);
    SetMarkBits(hex, static_cast<std::uint16_t>(GetMarkBits(hex) & (kMarkEmbark | kMarkLanding)));
    MarkLanding(unit);
}

void HexMap::MarkPath(const HexPath& path) {
    ClearMarkBits(kMarkRoute);
    const int steps = path.count < 0 ? 0 : (path.count > kMaxPathSteps ? kMaxPathSteps : path.count);
    HexCoord hex = path.start;
    AddBits(hex, kMarkRoute);
    for (int i = 0; i < steps; ++i) {
        hex = HexStep(hex, path.directions[i]);
        AddBits(hex, kMarkRoute);
    }
}

}  // namespace game
