#pragma once
// The battle grid of 48 x 38 tiles and the rules read from it: tile queries, movement costs, picking,
// free hexes, the range fills that mark where a unit can move and what it can attack, and the route
// search. A plain value: the computer player plans on a copy.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/core/vector.h"
#include "game/battle/hex_coord.h"
#include "game/battle/hex_path.h"
#include "game/battle/hex_tile.h"

namespace game {

class BattleContext;
class ScriptBlock;
class Structure;
class MapUnit;
struct UnitParams;
class UnitTileFlags;

class HexMap {
public:
    HexMap();

    // The running battle; null when none runs (lookups then find nothing).
    void SetBattleContext(BattleContext* context) { context_ = context; }
    BattleContext* GetBattleContext() const { return context_; }

    // --- Tiles -------------------------------------------------------------------------------------
    // The tile of a valid hex; an all-zero tile (no terrain) for any other.
    const HexTile& GetTile(HexCoord hex) const { return IsValidHex(hex) ? tiles_[HexTileIndex(hex)] : kNoTile; }
    // The tile to change, or null for an invalid hex (the write is dropped).
    HexTile* EditTile(HexCoord hex) { return IsValidHex(hex) ? &tiles_[HexTileIndex(hex)] : nullptr; }
    bool CopyTile(HexCoord hex, HexTile& out) const;
    bool CopyNeighbourTile(HexCoord hex, int direction, HexTile& out) const;
    void ClearTiles();
    void SetTrigger(HexCoord hex, ScriptBlock* block);
    void ClearDropReservations();
    // threat[unitType] x 0.01; type 25 gives the sum over all types; 0 for an invalid hex or type.
    float GetThreat(HexCoord hex, int unitType) const;

    int GetWeatherType() const { return weatherType_; }
    void SetWeatherType(int type) { weatherType_ = type; }
    // (centre column - 24, 19 - centre row, 0) and (m / 2, 0, m / 2) of the used tiles.
    const engine::Vec3& GetCentreOffset() const { return centreOffset_; }
    const engine::Vec3& GetHalfExtent() const { return halfExtent_; }
    void SetPlacement(const engine::Vec3& centreOffset, const engine::Vec3& halfExtent);

    // --- Marks ---------------------------------------------------------------------------------------
    std::uint16_t GetMarkBits(HexCoord hex) const { return IsValidHex(hex) ? marks_[HexTileIndex(hex)].markBits : 0; }
    void SetMarkBits(HexCoord hex, std::uint16_t bits);
    float GetMoveLeft(HexCoord hex) const { return IsValidHex(hex) ? marks_[HexTileIndex(hex)].moveLeft : 0.0f; }
    int GetRangeStep(HexCoord hex) const { return IsValidHex(hex) ? marks_[HexTileIndex(hex)].rangeStep : 0; }
    void ClearMarkBits(std::uint16_t mask);
    void ClearRangeSteps();
    // Clears the steps within the radius of the hex (and a few beyond): after an attack fill of maximum
    // range m from a tile of level l, the radius m + l / 2 holds every step it wrote.
    void ClearRangeStepsNear(HexCoord centre, int radius);
    // Sets moveLeft on every tile.
    void SetTileScratch(float value);

    // --- Positions -----------------------------------------------------------------------------------
    void GetLevelPoint(engine::Vec3& out, HexCoord hex) const;
    // The point where units and markers stand.
    void GetSurfacePoint(engine::Vec3& out, HexCoord hex) const;
    float GetUnitHeight(HexCoord hex, bool airborne) const;
    // The valid hex whose standing point is nearest to the point (within 0.8), else column and row -1.
    void PickHex(int& column, int& row, const engine::Vec3& point) const;

    // --- Movement costs ------------------------------------------------------------------------------
    // 0 means the unit type cannot enter.
    float GetMoveCost(HexCoord hex, int unitType) const;
    float GetStepCost(HexCoord from, HexCoord to, int unitType) const;

    // --- Neighbourhood -------------------------------------------------------------------------------
    // 0..5, or 6 when `to` is not a neighbour of `from`.
    int GetDirectionTo(HexCoord from, HexCoord to) const;
    int FindDirectionToUnit(int startDirection, HexCoord hex, const MapUnit* unit) const;
    int FindDirectionToStructure(int startDirection, HexCoord hex, const Structure* structure) const;
    int CountAdjacentForeignStructures(const MapUnit& unit) const;
    int CountStructureTiles(int teamKind) const;
    int CountUnitStartTiles(int teamKind) const;
    // Heading for a door between walls; records the wall directions for HasWallDir.
    float GetWallAngle(HexCoord hex);
    bool HasWallDir(int direction) const;
    bool IsWallTile(int column, int row) const;
    // Up to min(count, 4) free hexes of the same terrain near the hex, nearest first.
    bool FindNearbyFreeHexes(HexCoord hex, HexCoord* list, int& count) const;
    void PathToHexList(HexList& out, const HexPath& path) const;

    // --- Range fills -----------------------------------------------------------------------------------
    // On (the default), the attack fills mark the units and structures they find as targets; off, they set
    // tile bits only (a counter-attack test, the computer player's copy).
    void SetTargetMarking(bool on) { targetMarking_ = on; }
    bool IsTargetMarking() const { return targetMarking_; }
    void MarkSelectedUnitRanges(const MapUnit& unit, bool showTargets);
    void MarkMoveRange(const MapUnit& unit);
    void FloodMoveBudget(HexCoord hex, const MapUnit& unit, float budget);
    void FloodMoveIgnoringUnits(HexCoord hex, const MapUnit& unit, float budget);
    void MarkFerryTiles(int teamKind);
    void MarkDropHexes(const MapUnit& unit);
    void FloodAttackRange(HexCoord hex, int step, int minimum, int maximum, int firingLevel, const MapUnit* unit);
    void FloodRangeMarks(HexCoord hex, int step, int minimum, int maximum, int firingLevel, const MapUnit* unit);
    void MarkReach(HexCoord hex, int step, int maximum);
    void FilterLineOfSight(const MapUnit& unit, std::optional<HexCoord> fromHex);
    bool HasLineOfSight(const engine::Vec3& from, const engine::Vec3& to) const;
    void FilterAttackTargets(const MapUnit& unit, bool marksOnly);
    void MarkThreatRange(const MapUnit& unit);
    void MarkAttackRangeFromHex(const MapUnit& unit, HexCoord hex, const MapUnit* target, bool keepTargets);
    void MarkAttackRange(const MapUnit& unit, const MapUnit* target, bool keepTargets);
    int CountAttackTargets(const MapUnit& unit);
    void MarkPath(const HexPath& path);

    // --- Routes (the calling thread's PathFinder) ----------------------------------------------------
    bool FindRoute(HexCoord start, HexCoord goal, HexPath& out, int unitType, int mode, bool stopShort) const;
    bool FindRouteAllowBlocked(HexCoord start, HexCoord goal, HexPath& out, int unitType, int mode,
                               bool stopShort) const;

    // --- Step costs from parts looked up once (the route search keeps them per tile) -----------------
    // The figures of a unit type of the running battle, or null.
    const UnitParams* ParamsFor(int unitType) const;
    // GetMoveCost of a valid hex with the figures already at hand.
    float MoveCostWith(const UnitParams& params, HexCoord hex) const;
    // GetStepCost onto a valid hex whose move cost and that of `from` are known; apcOn(to) tells whether
    // an APC stands there, asked only when it matters.
    template <typename ApcOn>
    float StepCostKnown(HexCoord from, float fromCost, HexCoord to, float toCost, int unitType, ApcOn&& apcOn) const;
    // The same rule on the parts of the two tiles it reads (terrain, level, move cost), for a caller that
    // keeps them at hand.
    template <typename ApcOn>
    static float StepCostOfParts(int fromTerrain, int fromLevel, float fromCost, int toTerrain, int toLevel,
                                 float toCost, int unitType, HexCoord to, ApcOn&& apcOn);

private:
    TileMarks* Marks(HexCoord hex) { return IsValidHex(hex) ? &marks_[HexTileIndex(hex)] : nullptr; }
    void AddBits(HexCoord hex, std::uint16_t bits);
    void RemoveBits(HexCoord hex, std::uint16_t bits);
    // Adds `add` to every tile holding any of `having`.
    void AddBitsWhere(std::uint16_t having, std::uint16_t add);
    // The attack-range fill behind FloodAttackRange and FloodRangeMarks, best-first from the start. With a
    // list given, the index of every tile whose step or bits it wrote is added to it (some more than once).
    void AttackFill(HexCoord start, int startStep, int minimum, int maximum, int firingLevel, const MapUnit* unit,
                    bool withTargets, std::vector<int>* written = nullptr);
    // FilterLineOfSight on one tile.
    void FilterTileLineOfSight(const engine::Vec3& eye, std::uint16_t bit, int index);
    // The best-first movement fill behind FloodMoveBudget and FloodMoveIgnoringUnits.
    // Units are looked up only on the tiles flagged.
    void MoveFill(HexCoord hex, const MapUnit& unit, float budget, bool blockByUnits, const UnitTileFlags& unitTiles);
    // Whether the mover may step from `from` onto `to`, where `other` stands (null: nobody).
    bool MayEnterPastUnits(HexCoord from, HexCoord to, const MapUnit& mover, const MapUnit* other) const;
    void MarkMoveRangeAt(HexCoord hex, const MapUnit& mover, bool ownHex, const UnitTileFlags& unitTiles);
    float StepCostWith(const UnitParams* params, HexCoord from, HexCoord to, int unitType) const;
    // The same with the move cost of `from` already known.
    float StepCostFrom(const UnitParams& params, HexCoord from, float fromCost, HexCoord to, int unitType) const;
    void MarkLanding(const MapUnit& unit);

    // What GetTile gives for a hex off the grid.
    static constexpr HexTile kNoTile{};

    engine::Vec3 centreOffset_;
    engine::Vec3 halfExtent_;
    std::array<HexTile, kMapTileCount> tiles_;
    std::array<TileMarks, kMapTileCount> marks_;
    int weatherType_ = 0;
    int wallDirs_[kDirectionCount] = {};
    int wallCount_ = 0;
    BattleContext* context_ = nullptr;
    bool targetMarking_ = true;
};

template <typename ApcOn>
float HexMap::StepCostKnown(HexCoord from, float fromCost, HexCoord to, float toCost, int unitType,
                            ApcOn&& apcOn) const {
    if (IsAircraftType(unitType)) return toCost;
    if (toCost == 0.0f) return 0.0f;
    const HexTile& target = tiles_[HexTileIndex(to)];
    const HexTile& source = GetTile(from);
    return StepCostOfParts(source.terrain, source.level, fromCost, target.terrain, target.level, toCost, unitType, to,
                           apcOn);
}

template <typename ApcOn>
float HexMap::StepCostOfParts(int fromTerrain, int fromLevel, float fromCost, int toTerrain, int toLevel,
                              float toCost, int unitType, HexCoord to, ApcOn&& apcOn) {
    if (IsAircraftType(unitType)) return toCost;
    if (toCost == 0.0f) return 0.0f;
    if (toTerrain == kTerrainWater && fromTerrain != kTerrainWater && fromTerrain != kTerrainShore) return 0.0f;
    const int rise = toLevel - fromLevel;
    if (rise > 1 || rise < -1) return 0.0f;
    float cost = (fromCost + toCost) * 0.5f;
    if (apcOn(to)) cost += 10.0f;
    if (rise == 1) cost *= 1.2f;
    if (rise == -1) cost *= 0.833f;
    return cost;
}

}  // namespace game
