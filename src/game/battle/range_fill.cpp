// The attack-range fills, line of sight, the target filter and the threat range of a unit.
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "engine/core/matrix.h"
#include "game/battle/battle_context.h"
#include "game/battle/hex_map.h"
#include "game/battle/hex_neighbours.h"
#include "game/battle/structure.h"
#include "game/battle/map_unit.h"
#include "game/battle/unit_params.h"
#include "game/battle/unit_tile_flags.h"

namespace game {

namespace {

constexpr std::uint16_t kAttackOrEngineer = kMarkAttack | kMarkEngineer;

std::uint16_t RangeBit(const MapUnit* unit) {
    return unit != nullptr && unit->GetType() == UT_ENGINEER ? kMarkEngineer : kMarkAttack;
}

// Half the height advantage, rounded down; nothing when the firing tile is not higher.
int HeightBonus(int firingLevel, int tileLevel) {
    return firingLevel > tileLevel ? (firingLevel - tileLevel) / 2 : 0;
}

// The hex of a tile index (HexTileIndex backwards).
HexCoord HexOfTileIndex(int index) { return MakeHexCoord(index / kMapRows, index % kMapRows); }

// The step-ordered queue of the range fills, per thread, with per tile the fill that last took it up and at
// which step, and the fill and step it was last queued at. Numbering the fills spares clearing the tiles
// before each one.
class StepQueue {
public:
    struct Visit {
        HexCoord hex;
        int step;
    };
    static StepQueue& ForThisThread() {
        thread_local StepQueue queue;
        return queue;
    }
    void Start(HexCoord hex, int step) {
        if (++fill_ == 0) {
            std::fill(taken_.fill.begin(), taken_.fill.end(), 0u);
            std::fill(queued_.fill.begin(), queued_.fill.end(), 0u);
            fill_ = 1;
        }
        size_ = 0;
        Push({hex, step});
        if (IsValidHex(hex)) Queued(HexTileIndex(hex), step);
    }
    std::size_t Size() const { return size_; }
    const Visit& operator[](std::size_t i) const { return visits_[i]; }
    // False when this fill took the tile up at that step already: doing it again changes nothing.
    bool Take(int index, int step) { return taken_.Stamp(index, fill_, step); }
    // Every valid neighbour of a valid hex, one step further.
    void PushNeighbours(HexCoord hex, int step) {
        PushNeighboursIf(hex, step, [](int, int) { return true; });
    }
    // The same, leaving out each neighbour for which mayTake(tile index, step) is false. A neighbour already
    // waiting at that step is not queued again: the steps in the queue never fall, so nothing takes the tile
    // up at another step before the second visit would come up, and Take would refuse it. mayTake must not
    // turn true again once false for a tile and step, as a refused neighbour still counts as queued.
    template <typename MayTake>
    void PushNeighboursIf(HexCoord hex, int step, MayTake&& mayTake) {
        const HexNeighbourTable& table = HexNeighbours();
        const int from = HexTileIndex(hex);
        for (int d = 0; d < kDirectionCount; ++d) {
            const int index = table.indices[from][d];
            if (index < 0 || !Queued(index, step + 1) || !mayTake(index, step + 1)) continue;
            Push({table.hexes[from][d], step + 1});
        }
    }

private:
    // The queue's storage is kept from fill to fill and only grows; the visits past size_ are stale.
    void Push(const Visit& visit) {
        if (size_ == visits_.size()) visits_.resize(visits_.size() * 2 + 64);
        visits_[size_++] = visit;
    }
    // Records the tile as queued at the step; false when this fill queued it at that step already.
    bool Queued(int index, int step) { return queued_.Stamp(index, fill_, step); }

    // Per tile, the fill and the step of the last stamp.
    struct Stamps {
        std::vector<std::uint32_t> fill = std::vector<std::uint32_t>(kMapTileCount, 0);
        std::vector<int> step = std::vector<int>(kMapTileCount, 0);
        // False when the tile holds this stamp already; else it is stamped.
        bool Stamp(int index, std::uint32_t inFill, int atStep) {
            const std::size_t slot = static_cast<std::size_t>(index);
            if (fill[slot] == inFill && step[slot] == atStep) return false;
            fill[slot] = inFill;
            step[slot] = atStep;
            return true;
        }
    };

    std::vector<Visit> visits_;
    std::size_t size_ = 0;
    Stamps taken_;
    Stamps queued_;
    std::uint32_t fill_ = 0;
};

}  // namespace

// A tile is taken up at the smallest step any chain of reachable tiles gives it, tiles of one step before
// those of the next (the steps all grow by one, so a plain queue keeps that order). A tile is skipped when
// an earlier fill left a smaller step on it. A stored step of 0 counts as not reached, so the start tile is
// taken up a second time at its smallest step on the way back; that visit is the one that stays. This is
// the outcome of following every path of neighbours in turn, each tile once instead of once per path.
void HexMap::AttackFill(HexCoord start, int startStep, int minimum, int maximum, int firingLevel, const MapUnit* unit,
                        bool withTargets, std::vector<int>* written) {
    StepQueue& queue = StepQueue::ForThisThread();
    queue.Start(start, startStep);

    bool bonusType;
    if (withTargets) {
        bonusType = unit == nullptr ||
                    (!unit->IsAirborne() && unit->GetType() != UT_ANTIAIR && unit->GetType() != UT_ENGINEER);
    } else {
        const int type = unit != nullptr ? unit->GetType() : UT_NONE;
        bonusType = !IsAircraftType(type) && type != UT_ANTIAIR && type != UT_ENGINEER;
    }
    const std::uint16_t bit = RangeBit(unit);
    // Targets are looked up on every tile taken up, units only on the tiles that may hold one.
    const bool lookUpTargets = withTargets && targetMarking_ && unit != nullptr && context_ != nullptr;
    std::optional<UnitTileFlags> unitTiles;
    if (lookUpTargets) unitTiles.emplace(context_);

    // Whether a visit of the tile at the step could take it up, by what the fill does not change while it
    // runs: the tile itself, and a step already stored on it, which only ever comes down. A visit that fails
    // here is passed over when it comes up and pushes nothing, so it is not queued at all.
    const auto mayTake = [&](int index, int step) {
        const HexTile& tile = tiles_[index];
        if (tile.terrain == kTerrainNone) return false;
        const int effectiveMaximum = maximum + (bonusType ? HeightBonus(firingLevel, tile.level) : 0);
        if (effectiveMaximum < minimum || effectiveMaximum < step) return false;
        // A tile reached before by a shorter way is left alone; 0 means not reached.
        const int stored = marks_[static_cast<std::size_t>(index)].rangeStep;
        return stored == 0 || stored >= step;
    };

    for (std::size_t next = 0; next < queue.Size(); ++next) {
        const HexCoord hex = queue[next].hex;
        const int step = queue[next].step;
        TileMarks* marks = Marks(hex);
        if (marks == nullptr) continue;
        const int index = HexTileIndex(hex);
        if (!mayTake(index, step)) continue;
        if (!queue.Take(index, step)) continue;
        marks->rangeStep = static_cast<std::uint8_t>(step > 255 ? 255 : step);
        if (written != nullptr) written->push_back(index);

        MapUnit* target = nullptr;
        Structure* structure = nullptr;
        if (lookUpTargets) {
            if (unitTiles->MayHoldUnit(index)) {
                target = context_->FindAirMapUnitAt(hex);
                if (target == nullptr || !unit->CanAttack(*target)) target = context_->FindMapUnitAt(hex);
            }
            structure = context_->FindStructureAt(hex);
        }
        if (step < minimum) {
            marks->markBits = static_cast<std::uint16_t>(marks->markBits & ~bit);
            if (target != nullptr && unit->CanAttack(*target)) target->SetTargetMark(false, unit);
            if (structure != nullptr && structure->GetTeam() != unit->GetTeamKind()) structure->SetTargetMark(false);
        } else if (unit != nullptr) {
            marks->markBits = static_cast<std::uint16_t>(marks->markBits | bit);
            if (target != nullptr && unit->CanAttack(*target)) target->SetTargetMark(true, unit);
            if (structure != nullptr && unit->GetType() == UT_ENGINEER && unit->CanStillAct() &&
                structure->GetType() != kStructureBuildPad) {
                const int own = unit->GetTeamKind();
                const int capturing = structure->GetCapturingTeam();
                if (structure->GetTeam() != own || (capturing != 0 && capturing != own)) structure->SetTargetMark(true);
            }
        }

        queue.PushNeighboursIf(hex, step, mayTake);
    }
}

void HexMap::FloodAttackRange(HexCoord hex, int step, int minimum, int maximum, int firingLevel, const MapUnit* unit) {
    AttackFill(hex, step, minimum, maximum, firingLevel, unit, true);
}

void HexMap::FloodRangeMarks(HexCoord hex, int step, int minimum, int maximum, int firingLevel, const MapUnit* unit) {
    AttackFill(hex, step, minimum, maximum, firingLevel, unit, false);
}

// Every tile within reach gets the attack bit and the smallest step a chain of neighbours gives it, in the
// order of AttackFill: what following every path of neighbours gives, each tile once per step.
void HexMap::MarkReach(HexCoord start, int startStep, int maximum) {
    StepQueue& queue = StepQueue::ForThisThread();
    queue.Start(start, startStep);
    for (std::size_t next = 0; next < queue.Size(); ++next) {
        const HexCoord hex = queue[next].hex;
        const int step = queue[next].step;
        TileMarks* marks = Marks(hex);
        if (marks == nullptr || step > maximum) continue;
        if (marks->rangeStep != 0 && marks->rangeStep < step) continue;
        if (!queue.Take(HexTileIndex(hex), step)) continue;
        marks->rangeStep = static_cast<std::uint8_t>(step > 255 ? 255 : step);
        marks->markBits = static_cast<std::uint16_t>(marks->markBits | kMarkAttack);
        queue.PushNeighbours(hex, step);
    }
}

bool HexMap::HasLineOfSight(const engine::Vec3& from, const engine::Vec3& to) const {
    const engine::Vec3 along = to.Sub(from);
    const float length = along.Length();
    if (length <= 1.1920929e-7f || context_ == nullptr) return true;
    engine::Matrix44 box;
    box.SetBasisFromDirection(along.Scale(1.0f / length));
    box.SetRow(3, from.Add(to).Scale(0.5f));
    const float reach = 0.49f * length - 0.05f;
    const engine::Vec3 halfSize(0.05f, 0.05f, reach > 0.0f ? reach : 0.0f);
    return !context_->BoxTouchesLevel(box, halfSize);
}

void HexMap::FilterLineOfSight(const MapUnit& unit, std::optional<HexCoord> fromHex) {
    if (context_ == nullptr) return;
    const UnitParams* params = context_->GetUnitParams(unit.GetType());
    if (params == nullptr || params->lineOfSight == 0) return;
    engine::Vec3 eye;
    GetLevelPoint(eye, fromHex ? *fromHex : unit.GetHexPos());
    eye.y += 0.5f;
    const std::uint16_t bit = RangeBit(&unit);
    for (int r = 0; r < kMapRows; ++r) {
        for (int c = 0; c < kMapColumns; ++c) {
            const HexCoord hex = MakeHexCoord(c, r);
            if (IsValidHex(hex)) FilterTileLineOfSight(eye, bit, HexTileIndex(hex));
        }
    }
}

// A marked tile the eye sees keeps its bit and is marked seen, so that later eyes skip it; one it does not
// see loses the bit. Each tile's outcome depends on its own marks only, so the tiles may go in any order.
void HexMap::FilterTileLineOfSight(const engine::Vec3& eye, std::uint16_t bit, int index) {
    TileMarks& marks = marks_[static_cast<std::size_t>(index)];
    if ((marks.markBits & bit) == 0 || (marks.markBits & kMarkSightClear) != 0) return;
    const HexCoord hex = HexOfTileIndex(index);
    const MapUnit* standing = context_->FindMapUnitAt(hex);
    if (standing != nullptr && standing->IsDoor()) return;
    engine::Vec3 target;
    GetSurfacePoint(target, hex);
    target.y += 0.5f;
    if (HasLineOfSight(eye, target)) {
        marks.markBits = static_cast<std::uint16_t>(marks.markBits | kMarkSightClear);
    } else {
        marks.markBits = static_cast<std::uint16_t>(marks.markBits & ~bit);
    }
}

void HexMap::FilterAttackTargets(const MapUnit& unit, bool marksOnly) {
    if (context_ == nullptr) return;
    const bool engineer = unit.GetType() == UT_ENGINEER;
    const std::uint16_t mask = engineer ? (kMarkEngineerExt | kMarkEngineer) : (kMarkAttackExt | kMarkAttack);
    const bool human = context_->GetTeamControl(unit.GetTeamKind()) == kControlHuman;
    // A unit on an unmarked tile loses its target mark. Clearing a mark no unit holds changes nothing, so
    // with no unit marked the units there are not looked up (the look-up is what costs, tile by tile).
    const bool anyTargetMarked = targetMarking_ && context_->CountTargetMarkedUnits() > 0;
    for (int r = 0; r < kMapRows; ++r) {
        for (int c = 0; c < kMapColumns; ++c) {
            const HexCoord hex = MakeHexCoord(c, r);
            if (!IsValidHex(hex)) continue;
            TileMarks& marks = marks_[HexTileIndex(hex)];
            const HexTile& tile = tiles_[HexTileIndex(hex)];
            if ((marks.markBits & mask) == 0) {
                MapUnit* standing = anyTargetMarked ? context_->FindMapUnitAt(hex) : nullptr;
                if (standing != nullptr) standing->SetTargetMark(false, &unit);
                continue;
            }
            bool keep = true;
            if (tile.objectClass == kObjectStructure && tile.objectType != kStructureBuildPad && !engineer) keep = false;
            if (tile.objectClass == kObjectFeature && tile.objectType != kFeatureRaised &&
                tile.objectType != kFeatureDoor) {
                keep = false;
            }
            if (keep && !marksOnly) {
                if (engineer) {
                    const Structure* structure = context_->FindStructureAt(hex);
                    keep = structure != nullptr && structure->GetType() != kStructureBuildPad &&
                           (structure->GetTeam() != unit.GetTeamKind() || structure->GetCapturingTeam() != 0);
                } else {
                    MapUnit* target = context_->FindAirMapUnitAt(hex);
                    if (target == nullptr || !unit.CanAttack(*target)) target = context_->FindMapUnitAt(hex);
                    keep = target != nullptr && unit.CanAttack(*target);
                    if (keep && human && targetMarking_) target->SetTargetMark(true, &unit);
                }
            }
            if (!keep) marks.markBits = static_cast<std::uint16_t>(marks.markBits & ~mask);
        }
    }
}

void HexMap::MarkThreatRange(const MapUnit& unit) {
    if (unit.GetType() == UT_DOOR || (!unit.IsArmed() && unit.GetType() != UT_ENGINEER)) return;
    SetTileScratch(0.0f);
    ClearRangeSteps();
    ClearMarkBits(kMarkAll);
    float budget = 0.0f;
    if (context_ != nullptr) {
        const UnitParams* params = context_->GetUnitParams(unit.GetType());
        if (params != nullptr && !context_->IsHeldImmobile(unit)) budget = params->moveAllowance;
    }
    const HexCoord own = unit.GetHexPos();
    int minimum = 0;
    int maximum = 0;
    unit.GetAttackRange(minimum, maximum);

    FloodMoveIgnoringUnits(own, unit, budget);
    FloodRangeMarks(own, 0, minimum, maximum, GetTile(own).level, &unit);
    RemoveBits(own, kAttackOrEngineer);
    FilterLineOfSight(unit, std::nullopt);
    AddBitsWhere(kMarkAttack, kMarkThreatAttack);
    AddBitsWhere(kMarkEngineer, kMarkThreatEngineer);

    // The fill from each tile the unit can reach starts on a grid with no steps and none of the two range
    // bits, as the first one does. A fill writes those only on the tiles it lists, so the next one clears
    // just these; the line-of-sight filter and the folding of the bits look at them only, as every other
    // tile lacks the bits they act on. The last fill's steps stay on the grid.
    if (budget > 0.0f) {
        const UnitParams* params = context_ != nullptr ? context_->GetUnitParams(unit.GetType()) : nullptr;
        const bool sight = params != nullptr && params->lineOfSight != 0;
        const std::uint16_t bit = RangeBit(&unit);
        thread_local std::vector<int> written;
        bool first = true;
        for (int r = 0; r < kMapRows; ++r) {
            for (int c = 0; c < kMapColumns; ++c) {
                const HexCoord hex = MakeHexCoord(c, r);
                if (!IsValidHex(hex) || (marks_[HexTileIndex(hex)].markBits & kMarkMove) == 0) continue;
                if (first) {
                    ClearRangeSteps();
                    ClearMarkBits(kAttackOrEngineer);
                    first = false;
                } else {
                    for (const int index : written) {
                        TileMarks& marks = marks_[static_cast<std::size_t>(index)];
                        marks.rangeStep = 0;
                        marks.markBits = static_cast<std::uint16_t>(marks.markBits & ~kAttackOrEngineer);
                    }
                }
                written.clear();
                AttackFill(hex, 0, minimum, maximum, tiles_[HexTileIndex(hex)].level, &unit, false, &written);
                RemoveBits(hex, kAttackOrEngineer);
                engine::Vec3 eye;
                if (sight) {
                    GetLevelPoint(eye, hex);
                    eye.y += 0.5f;
                }
                for (const int index : written) {
                    if (sight) FilterTileLineOfSight(eye, bit, index);
                    TileMarks& marks = marks_[static_cast<std::size_t>(index)];
                    std::uint16_t bits = marks.markBits;
                    if ((bits & kMarkAttack) != 0) bits = static_cast<std::uint16_t>(bits | kMarkAttackExt);
                    if ((bits & kMarkEngineer) != 0) bits = static_cast<std::uint16_t>(bits | kMarkEngineerExt);
                    marks.markBits = bits;
                }
            }
        }
    }

    ClearMarkBits(kAttackOrEngineer);
    for (TileMarks& marks : marks_) {
        std::uint16_t bits = marks.markBits;
        if ((bits & kMarkThreatAttack) != 0) bits = static_cast<std::uint16_t>((bits | kMarkAttack) & ~kMarkAttackExt);
        if ((bits & kMarkThreatEngineer) != 0) {
            bits = static_cast<std::uint16_t>((bits | kMarkEngineer) & ~kMarkEngineerExt);
        }
        marks.markBits = bits;
    }
    FilterAttackTargets(unit, true);
}

void HexMap::MarkAttackRangeFromHex(const MapUnit& unit, HexCoord hex, const MapUnit* target, bool keepTargets) {
    int minimum = 0;
    int maximum = 0;
    unit.GetAttackRange(minimum, maximum);
    FloodAttackRange(hex, 0, minimum, maximum, GetTile(hex).level, &unit);
    if (target == nullptr) FilterLineOfSight(unit, std::nullopt);
    FilterAttackTargets(unit, !keepTargets);
    RemoveBits(hex, kAttackOrEngineer);
}

void HexMap::MarkAttackRange(const MapUnit& unit, const MapUnit* target, bool keepTargets) {
    MarkAttackRangeFromHex(unit, unit.GetHexPos(), target, keepTargets);
}

int HexMap::CountAttackTargets(const MapUnit& unit) {
    if (context_ == nullptr) return 0;
    // Marks and steps left by an earlier fill would be counted or would cut this fill short.
    ClearRangeSteps();
    context_->ClearTargetMarks();
    context_->ClearStructureMarks();
    int minimum = 0;
    int maximum = 0;
    unit.GetAttackRange(minimum, maximum);
    const HexCoord own = unit.GetHexPos();
    FloodAttackRange(own, 0, minimum, maximum, GetTile(own).level, &unit);
    const int count = context_->CountTargetMarkedUnits();
    context_->ClearTargetMarks();
    context_->ClearStructureMarks();
    ClearMarkBits(kMarkAll);
    return count;
}

}  // namespace game
