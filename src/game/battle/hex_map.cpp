#include "game/battle/hex_map.h"

#include <algorithm>
#include <cstdlib>

#include "engine/core/sort_array.h"
#include "game/battle/battle_context.h"
#include "game/battle/structure.h"
#include "game/battle/map_unit.h"
#include "game/battle/unit_params.h"

namespace game {

namespace {

// Squared distance below which a standing point counts as picked (0.8 world units).
constexpr float kPickRadiusSquared = 0.64000005f;
constexpr int kMaxFreeHexes = 4;

}  // namespace

HexMap::HexMap() { ClearTiles(); }

bool HexMap::CopyTile(HexCoord hex, HexTile& out) const {
    if (!IsValidHex(hex)) return false;
    out = tiles_[HexTileIndex(hex)];
    return true;
}

bool HexMap::CopyNeighbourTile(HexCoord hex, int direction, HexTile& out) const {
    HexCoord neighbour;
    if (!HexNeighbour(hex, direction, neighbour)) return false;
    return CopyTile(neighbour, out);
}

void HexMap::ClearTiles() {
    tiles_.fill(HexTile{});
    marks_.fill(TileMarks{});
    weatherType_ = 0;
}

void HexMap::SetTrigger(HexCoord hex, ScriptBlock* block) {
    if (HexTile* tile = EditTile(hex)) tile->trigger = block;
}

void HexMap::ClearDropReservations() {
    for (HexTile& tile : tiles_) tile.dropReservation = 0;
}

float HexMap::GetThreat(HexCoord hex, int unitType) const {
    if (!IsValidHex(hex) || unitType < 0 || unitType > kUnitTypeCount) return 0.0f;
    const HexTile& tile = tiles_[HexTileIndex(hex)];
    if (unitType < kUnitTypeCount) return static_cast<float>(tile.threat[unitType]) * 0.01f;
    int sum = 0;
    for (std::uint16_t t : tile.threat) sum += t;
    return static_cast<float>(sum) * 0.01f;
}

void HexMap::SetPlacement(const engine::Vec3& centreOffset, const engine::Vec3& halfExtent) {
    centreOffset_.Copy(centreOffset);
    halfExtent_.Copy(halfExtent);
}

void HexMap::SetMarkBits(HexCoord hex, std::uint16_t bits) {
    if (TileMarks* marks = Marks(hex)) marks->markBits = bits;
}

void HexMap::AddBits(HexCoord hex, std::uint16_t bits) {
    if (TileMarks* marks = Marks(hex)) marks->markBits = static_cast<std::uint16_t>(marks->markBits | bits);
}

void HexMap::RemoveBits(HexCoord hex, std::uint16_t bits) {
    if (TileMarks* marks = Marks(hex)) marks->markBits = static_cast<std::uint16_t>(marks->markBits & ~bits);
}

void HexMap::AddBitsWhere(std::uint16_t having, std::uint16_t add) {
    for (TileMarks& marks : marks_) {
        if ((marks.markBits & having) != 0) marks.markBits = static_cast<std::uint16_t>(marks.markBits | add);
    }
}

void HexMap::ClearMarkBits(std::uint16_t mask) {
    for (TileMarks& marks : marks_) marks.markBits = static_cast<std::uint16_t>(marks.markBits & ~mask);
}

void HexMap::ClearRangeSteps() {
    for (TileMarks& marks : marks_) marks.rangeStep = 0;
}

// A step changes the column and the row by one at most, so the box of the radius holds the hexes within it.
void HexMap::ClearRangeStepsNear(HexCoord centre, int radius) {
    const int firstRow = std::max(0, centre.row - radius);
    const int lastRow = std::min(kMapRows - 1, centre.row + radius);
    const int firstColumn = std::max(0, centre.column - radius);
    const int lastColumn = std::min(kMapColumns - 1, centre.column + radius);
    for (int r = firstRow; r <= lastRow; ++r) {
        for (int c = firstColumn; c <= lastColumn; ++c) {
            const HexCoord hex = MakeHexCoord(c, r);
            if (IsValidHex(hex)) marks_[HexTileIndex(hex)].rangeStep = 0;
        }
    }
}

void HexMap::SetTileScratch(float value) {
    for (TileMarks& marks : marks_) marks.moveLeft = value;
}

void HexMap::GetLevelPoint(engine::Vec3& out, HexCoord hex) const {
    const engine::Vec2 ground = HexToWorld(hex);
    out.Set(ground.x, static_cast<float>(GetTile(hex).level) * 0.25f, ground.y);
}

void HexMap::GetSurfacePoint(engine::Vec3& out, HexCoord hex) const {
    const HexTile& tile = GetTile(hex);
    const engine::Vec2 ground = HexToWorld(hex);
    float y = tile.height;
    if (tile.objectClass == kObjectFeature && tile.overlay == 0 && tile.objectType != kFeatureRaised &&
        tile.objectType != 7 && tile.objectType != 8) {
        y = static_cast<float>(tile.level) * 0.25f;
    }
    out.Set(ground.x, y + 0.001f, ground.y);
}

float HexMap::GetUnitHeight(HexCoord hex, bool airborne) const {
    if (!IsValidHex(hex)) return 0.0f;
    const HexTile& tile = tiles_[HexTileIndex(hex)];
    if (!airborne) return tile.height;
    if (tile.objectClass != kObjectFeature) return static_cast<float>(tile.level) * 0.25f + 2.0f;
    return tile.height + (tile.objectType == 1 ? 1.5f : 1.0f);
}

void HexMap::PickHex(int& column, int& row, const engine::Vec3& point) const {
    column = -1;
    row = -1;
    float best = kPickRadiusSquared;
    for (int r = 0; r < kMapRows; ++r) {
        for (int c = 0; c < kMapColumns; ++c) {
            const HexCoord hex = MakeHexCoord(c, r);
            if (!IsValidHex(hex)) continue;
            engine::Vec3 standing;
            GetSurfacePoint(standing, hex);
            const float d = standing.Sub(point).LengthSquared();
            if (d < best) {
                best = d;
                column = c;
                row = r;
            }
        }
    }
}

const UnitParams* HexMap::ParamsFor(int unitType) const {
    if (context_ == nullptr || unitType <= 0 || unitType >= kUnitTypeCount) return nullptr;
    return context_->GetUnitParams(unitType);
}

float HexMap::MoveCostWith(const UnitParams& params, HexCoord hex) const {
    const HexTile& tile = tiles_[HexTileIndex(hex)];
    const float* cost = params.moveCost;
    if (tile.objectClass == kObjectFeature) {
        if (tile.objectType == kFeatureRaised) return cost[1];
        if (tile.objectType < 6 || tile.objectType > 8) return cost[0];
    } else if (tile.objectClass == kObjectStructure) {
        if (tile.objectType != kStructureBuildPad) return 0.0f;
        return 2.0f * (tile.terrain == kTerrainWater ? cost[4] : cost[2]);
    }
    switch (tile.terrain) {
        case kTerrainWater:
            return (marks_[HexTileIndex(hex)].markBits & kMarkFerry) != 0 ? 20.0f : cost[4];
        case kTerrainLand: return tile.overlay != 0 ? cost[2] : cost[3];
        case kTerrainShore: return tile.overlay != 0 ? cost[2] : cost[5];
        case kTerrainLand2: return cost[6];
        default: return 0.0f;
    }
}

float HexMap::GetMoveCost(HexCoord hex, int unitType) const {
    const UnitParams* params = IsValidHex(hex) ? ParamsFor(unitType) : nullptr;
    return params != nullptr ? MoveCostWith(*params, hex) : 0.0f;
}

float HexMap::StepCostWith(const UnitParams* params, HexCoord from, HexCoord to, int unitType) const {
    if (params == nullptr) return 0.0f;
    return StepCostFrom(*params, from, IsValidHex(from) ? MoveCostWith(*params, from) : 0.0f, to, unitType);
}

float HexMap::StepCostFrom(const UnitParams& params, HexCoord from, float fromCost, HexCoord to, int unitType) const {
    if (!IsValidHex(to)) return 0.0f;
    return StepCostKnown(from, fromCost, to, MoveCostWith(params, to), unitType, [this](HexCoord hex) {
        const MapUnit* standing = context_->FindMapUnitAt(hex);
        return standing != nullptr && standing->GetType() == UT_APC;
    });
}

float HexMap::GetStepCost(HexCoord from, HexCoord to, int unitType) const {
    return StepCostWith(ParamsFor(unitType), from, to, unitType);
}

int HexMap::GetDirectionTo(HexCoord from, HexCoord to) const {
    for (int d = 0; d < kDirectionCount; ++d) {
        if (HexStep(from, d) == to) return d;
    }
    return kNoDirection;
}

int HexMap::FindDirectionToUnit(int startDirection, HexCoord hex, const MapUnit* unit) const {
    if (context_ == nullptr || unit == nullptr) return kNoDirection;
    for (int i = 0; i < kDirectionCount; ++i) {
        const int d = ((startDirection + i) % kDirectionCount + kDirectionCount) % kDirectionCount;
        HexCoord neighbour;
        if (HexNeighbour(hex, d, neighbour) && context_->FindMapUnitAt(neighbour) == unit) return d;
    }
    return kNoDirection;
}

int HexMap::FindDirectionToStructure(int startDirection, HexCoord hex, const Structure* structure) const {
    if (context_ == nullptr || structure == nullptr) return kNoDirection;
    for (int i = 0; i < kDirectionCount; ++i) {
        const int d = ((startDirection + i) % kDirectionCount + kDirectionCount) % kDirectionCount;
        HexCoord neighbour;
        if (HexNeighbour(hex, d, neighbour) && context_->FindStructureAt(neighbour) == structure) return d;
    }
    return kNoDirection;
}

int HexMap::CountAdjacentForeignStructures(const MapUnit& unit) const {
    if (context_ == nullptr) return 0;
    int count = 0;
    for (int d = 0; d < kDirectionCount; ++d) {
        HexCoord neighbour;
        if (!HexNeighbour(unit.GetHexPos(), d, neighbour)) continue;
        const Structure* structure = context_->FindStructureAt(neighbour);
        if (structure != nullptr && structure->GetTeam() != unit.GetTeamKind()) ++count;
    }
    return count;
}

int HexMap::CountStructureTiles(int teamKind) const {
    int count = 0;
    for (const HexTile& tile : tiles_) {
        if (tile.objectClass == kObjectStructure && tile.objectOwner == teamKind) ++count;
    }
    return count;
}

int HexMap::CountUnitStartTiles(int teamKind) const {
    int count = 0;
    for (const HexTile& tile : tiles_) {
        if (tile.objectClass == kObjectUnitStart && tile.objectOwner == teamKind) ++count;
    }
    return count;
}

bool HexMap::IsWallTile(int column, int row) const {
    const HexTile& tile = GetTile(MakeHexCoord(column, row));
    return tile.objectClass == kObjectFeature && tile.objectType >= 4 && tile.objectType <= 8;
}

float HexMap::GetWallAngle(HexCoord hex) {
    wallCount_ = 0;
    for (int d = 0; d < kDirectionCount; ++d) {
        HexCoord neighbour;
        if (HexNeighbour(hex, d, neighbour) && IsWallTile(neighbour.column, neighbour.row)) wallDirs_[wallCount_++] = d;
    }
    if (HasWallDir(0) && HasWallDir(3)) return 90.0f;
    // 30 degrees plus a full turn; used unchanged as a rotation.
    if (HasWallDir(5) && HasWallDir(2)) return 390.0f;
    if (HasWallDir(4) && HasWallDir(1)) return 330.0f;
    return 0.0f;
}

bool HexMap::HasWallDir(int direction) const {
    for (int i = 0; i < wallCount_; ++i) {
        if (wallDirs_[i] == direction) return true;
    }
    return false;
}

bool HexMap::FindNearbyFreeHexes(HexCoord hex, HexCoord* list, int& count) const {
    const int room = count < 0 ? 0 : (count < kMaxFreeHexes ? count : kMaxFreeHexes);
    for (int i = 0; i < room; ++i) list[i] = hex;
    count = 0;
    if (context_ == nullptr || !IsValidHex(hex)) return false;

    const int terrain = tiles_[HexTileIndex(hex)].terrain;
    const engine::Vec2 centre = HexToWorld(hex);
    HexDistancePair candidates[7 * 7];
    int found = 0;
    for (int dr = -3; dr <= 3; ++dr) {
        for (int dc = -3; dc <= 3; ++dc) {
            const HexCoord at = MakeHexCoord(hex.column + dc, hex.row + dr);
            if (!IsValidHex(at)) continue;
            const HexTile& tile = tiles_[HexTileIndex(at)];
            if (tile.terrain == kTerrainNone || tile.terrain != terrain) continue;
            if (tile.objectClass == kObjectFeature || tile.objectClass == kObjectStructure) continue;
            if (tile.dropReservation != 0 || context_->FindMapUnitAt(at) != nullptr) continue;
            candidates[found].hex = at;
            candidates[found].distance = HexToWorld(at).Distance(centre);
            ++found;
        }
    }
    if (found == 0) return false;
    // Stable: hexes at equal distance keep the order of the walk above.
    engine::SortArray(candidates, found, static_cast<int>(sizeof(HexDistancePair)), CompareHexDistance);
    const int written = found < room ? found : room;
    for (int i = 0; i < written; ++i) list[i] = candidates[i].hex;
    count = written;
    return true;
}

void HexMap::PathToHexList(HexList& out, const HexPath& path) const {
    const int steps = path.count < 0 ? 0 : (path.count > kMaxPathSteps ? kMaxPathSteps : path.count);
    HexCoord hex = path.start;
    out.hexes[0] = hex;
    for (int i = 0; i < steps; ++i) {
        hex = HexStep(hex, path.directions[i]);
        out.hexes[i + 1] = hex;
    }
    out.count = steps + 1;
}

}  // namespace game
