#include "game/battle/path_finder.h"

#include <cmath>

#include "game/battle/battle_context.h"
#include "game/battle/hex_map.h"
#include "game/battle/hex_neighbours.h"
#include "game/battle/map_unit.h"
#include "game/battle/unit_params.h"

namespace game {

namespace {

// The first two slots of the node pool are never given out, so a request fails once 3999 are taken.
constexpr int kReservedNodes = 2;
constexpr int kLastNodeIndex = PathFinder::kNodePoolSize - 2;
// The cost pass stops once this many links have been used in one search.
constexpr int kLastLinkCount = PathFinder::kLinkPoolSize - 2;
// Hexes a route may hold: one more for the strict search.
constexpr int kMaxRouteHexesAllowBlocked = 128;
constexpr int kMaxRouteHexesStrict = 129;
constexpr float kEstimatePerUnit = 5.0f;
constexpr float kStraightOnFactor = 0.99f;
constexpr float kBlockedStepCost = 100.0f;

}  // namespace

PathFinder& PathFinder::ForThisThread() {
    thread_local PathFinder finder;
    return finder;
}

void PathFinder::AllocPools() { ForThisThread().Allocate(); }
void PathFinder::FreePools() { ForThisThread().Release(); }
void PathFinder::SetTileWeighting(bool on) { ForThisThread().SetWeighting(on); }

void PathFinder::Allocate() {
    if (HasPools()) return;
    nodes_.resize(kNodePoolSize);
    children_.resize(kNodePoolSize);
    links_.resize(kLinkPoolSize);
    slots_.assign(kMapTileCount, TileSlot{});
    unitSlots_.assign(kMapTileCount, UnitSlot{});
    open_.Reserve(kNodePoolSize);
    stamp_ = 0;
}

void PathFinder::Release() {
    std::vector<PathNode>().swap(nodes_);
    std::vector<NodeChildren>().swap(children_);
    std::vector<Link>().swap(links_);
    std::vector<TileSlot>().swap(slots_);
    std::vector<UnitSlot>().swap(unitSlots_);
}

[[gnu::always_inline]] inline int PathFinder::TakeNode() {
    if (nodeCount_ > kLastNodeIndex) return -1;
    const int index = nodeCount_++;
    nodes_[index] = PathNode{};
    children_[index].count = 0;
    return index;
}

[[gnu::always_inline]] inline void PathFinder::SetCost(int node, float costSoFar) {
    PathNode& n = nodes_[node];
    n.costSoFar = costSoFar;
    n.total = costSoFar + n.estimate;
    if (!n.closed) open_.Change(node, n.total);
}

[[gnu::always_inline]] inline void PathFinder::RecordChild(int parent, int child, int direction, const StepCosts& costs) {
    NodeChildren& children = children_[parent];
    if (children.count >= kDirectionCount) return;
    const int i = children.count++;
    children.nodes[i] = static_cast<std::int16_t>(child);
    children.directions[i] = static_cast<std::int8_t>(direction);
    children.cost[i] = costs.turning;
    children.costStraightOn[i] = costs.straightOn;
}

[[gnu::always_inline]] inline float PathFinder::Estimate(int tileIndex) const {
    const engine::Vec2 at = HexNeighbours().centres[tileIndex];
    const float dx = at.x - goalX_;
    const float dz = at.y - goalZ_;
    return kEstimatePerUnit * std::sqrt(dx * dx + dz * dz);
}

[[gnu::always_inline]] inline const MapUnit* PathFinder::UnitAt(const TileSlot& slot, HexCoord hex) {
    if (unitsListed_ && !slot.listed) return nullptr;
    UnitSlot& units = unitSlots_[static_cast<std::size_t>(HexTileIndex(hex))];
    if (units.unitStamp != stamp_) {
        units.unitStamp = stamp_;
        units.unit = context_->FindMapUnitAt(hex);
    }
    return units.unit;
}

inline PathFinder::TileSlot& PathFinder::Tile(HexCoord hex) {
    TileSlot& slot = slots_[static_cast<std::size_t>(HexTileIndex(hex))];
    if (slot.stamp != stamp_) FillTile(slot, hex);
    return slot;
}

void PathFinder::FillTile(TileSlot& slot, HexCoord hex) {
    slot.stamp = stamp_;
    slot.node = -1;
    slot.listed = false;
    const HexTile& tile = map_->GetTile(hex);
    slot.terrain = tile.terrain;
    slot.level = tile.level;
    slot.structure = tile.objectClass == kObjectStructure && tile.objectType != kStructureBuildPad;
    slot.goalStructure = stopShort_ && goalStructure_ != nullptr && tile.objectClass == kObjectStructure &&
                         context_->FindStructureAt(hex) == goalStructure_;
    slot.moveCost = params_ != nullptr ? map_->MoveCostWith(*params_, hex) : 0.0f;
}

// The step's cost before the straight-on factor and the weighting: each node is expanded once, so each step
// is asked for once a search (a lowered cost is passed on with the costs its child recorded).
[[gnu::always_inline]] inline float PathFinder::BaseStepCost(const TileSlot& source, HexCoord to, const TileSlot& target) {
    float c = 0.0f;
    if (params_ != nullptr) {
        c = HexMap::StepCostOfParts(source.terrain, source.level, source.moveCost, target.terrain, target.level,
                                    target.moveCost, unitType_, to, [this, &target](HexCoord hex) {
                                        const MapUnit* standing = UnitAt(target, hex);
                                        return standing != nullptr && standing->GetType() == UT_APC;
                                    });
    }
    const float multiplier = (mode_ == 1 || mode_ == 2) && IsBlocked(target, to) ? 2.0f : 1.0f;
    c *= multiplier;
    if (allowBlocked_ && c == 0.0f) c = kBlockedStepCost * multiplier;
    return c;
}

bool PathFinder::IsBlocked(HexCoord hex) {
    return IsValidHex(hex) && IsBlocked(Tile(hex), hex);
}

[[gnu::always_inline]] inline bool PathFinder::IsBlocked(const TileSlot& slot, HexCoord hex) {
    if (context_ == nullptr || hex == start_) return false;
    const MapUnit* unit = UnitAt(slot, hex);
    if (unit == nullptr) return false;
    if (unit->IsAtAltitude(aircraft_)) return true;
    if (IsAircraftType(unit->GetType())) return false;
    UnitSlot& units = unitSlots_[static_cast<std::size_t>(HexTileIndex(hex))];
    if (units.airStamp != stamp_) {
        units.airStamp = stamp_;
        units.air = context_->FindAirMapUnitAt(hex);
    }
    return units.air != nullptr && units.air->IsAtAltitude(aircraft_);
}

bool PathFinder::IsGoalStructureTile(HexCoord hex) const {
    return goalStructure_ != nullptr && map_->GetTile(hex).objectClass == kObjectStructure &&
           context_->FindStructureAt(hex) == goalStructure_;
}

// The cost of the step from a node onto a neighbour, by the one rule that expansion and the cost pass share:
// the base cost, times the straight-on factor when the step keeps the direction of the one before, plus the
// weighting.
[[gnu::always_inline]] inline PathFinder::StepKind PathFinder::RuleStep(int node, const TileSlot& source, HexCoord to, TileSlot& target,
                                          StepCosts& costs) {
    const HexCoord from = nodes_[node].hex;
    if (stopShort_) {
        if (to == goal_) {
            costs.turning = costs.straightOn = map_->GetStepCost(from, goal_, unitType_);
            return StepKind::kAddAndStop;
        }
        if (target.goalStructure) {
            costs.turning = costs.straightOn = 0.0f;
            return StepKind::kAdd;
        }
    }
    const float c = BaseStepCost(source, to, target);
    if (!(c > 0.0f)) return StepKind::kSkip;
    costs.turning = c;
    costs.straightOn = c * kStraightOnFactor;
    if (weighting_ && unitType_ >= 0 && unitType_ < kUnitTypeCount) {
        const float weight = static_cast<float>(map_->GetTile(to).threat[unitType_] / 15);
        costs.turning += weight;
        costs.straightOn += weight;
    }
    return StepKind::kAdd;
}

bool PathFinder::Expand(int node) {
    const HexCoord hex = nodes_[node].hex;
    if (!IsValidHex(hex)) return true;
    const TileSlot& tile = Tile(hex);
    if (tile.terrain == kTerrainNone) return true;
    if (tile.structure && !tile.goalStructure) {
        return true;
    }
    if (mode_ == 2 && IsBlocked(hex)) return true;
    const int from = HexTileIndex(hex);
    const HexNeighbourTable& table = HexNeighbours();
    for (int d = kDirectionCount - 1; d >= 0; --d) {
        const int to = table.indices[from][d];
        if (to < 0) continue;
        const HexCoord neighbour = table.hexes[from][d];
        TileSlot& target = slots_[static_cast<std::size_t>(to)];
        if (target.stamp != stamp_) FillTile(target, neighbour);
        StepCosts costs;
        const StepKind kind = RuleStep(node, tile, neighbour, target, costs);
        if (kind == StepKind::kSkip) continue;
        if (!AddNeighbour(node, d, neighbour, target, costs)) return false;
        if (kind == StepKind::kAddAndStop) return true;
    }
    return true;
}

[[gnu::always_inline]] inline bool PathFinder::AddNeighbour(int parent, int direction, HexCoord hex, TileSlot& slot, const StepCosts& costs) {
    const float cost = direction == nodes_[parent].direction ? costs.straightOn : costs.turning;
    const float g = nodes_[parent].costSoFar + cost;
    const int existing = slot.node;
    if (existing >= 0) {
        RecordChild(parent, existing, direction, costs);
        PathNode& node = nodes_[existing];
        if (node.costSoFar > g) {
            node.parent = parent;
            node.direction = static_cast<std::int8_t>(direction);
            SetCost(existing, g);
            if (node.closed) {
                ++stats_.closedNodesLowered;
                PassOnLoweredCost(existing);
            }
        }
        return true;
    }
    const int index = TakeNode();
    if (index < 0) return false;
    PathNode& node = nodes_[index];
    node.hex = hex;
    node.parent = parent;
    node.direction = static_cast<std::int8_t>(direction);
    node.costSoFar = g;
    node.estimate = Estimate(HexTileIndex(hex));
    node.total = g + node.estimate;
    slot.node = index;
    open_.Insert(index, node.total);
    RecordChild(parent, index, direction, costs);
    return true;
}

// A closed node got cheaper. Its cost is passed on by the expansion rule: a recorded child that the node
// now reaches for less takes it as parent, and a child that already has it as parent takes its cost plus
// the step cost (the step may have lost or gained the straight-on factor with the node's new direction),
// so that every node's cost stays its parent's cost plus the step onto it. Changed nodes pass their cost
// on in turn, within the link pool.
void PathFinder::PassOnLoweredCost(int node) {
    int stack = -1;
    int current = node;
    for (;;) {
        const NodeChildren& children = children_[current];
        // A node is never its own child: passing the cost on leaves these two alone.
        const float costSoFar = nodes_[current].costSoFar;
        const int reachedIn = nodes_[current].direction;
        for (int i = 0; i < children.count; ++i) {
            const int child = children.nodes[i];
            const int direction = children.directions[i];
            // The rule gave this step its costs when the child was recorded; only the direction the node
            // is now reached in may have changed.
            const float step = direction == reachedIn ? children.costStraightOn[i] : children.cost[i];
            const float g = costSoFar + step;
            PathNode& passed = nodes_[child];
            const bool ownChild = passed.parent == current;
            if (ownChild ? g == passed.costSoFar : !(g < passed.costSoFar)) continue;
            if (linkCount_ > kLastLinkCount) {
                ++stats_.passesCutShort;
                return;
            }
            passed.parent = current;
            passed.direction = static_cast<std::int8_t>(direction);
            SetCost(child, g);
            const int link = linkCount_++;
            links_[link].node = child;
            links_[link].next = stack;
            stack = link;
        }
        if (stack < 0) return;
        current = links_[stack].node;
        stack = links_[stack].next;
    }
}

bool PathFinder::BuildRoute(int goalNode, HexPath& out) const {
    const int limit = allowBlocked_ ? kMaxRouteHexesAllowBlocked : kMaxRouteHexesStrict;
    HexCoord hexes[kMaxRouteHexesStrict];
    int held = 0;
    for (int node = goalNode; node >= 0; node = nodes_[node].parent) {
        if (held >= limit) return false;
        hexes[held++] = nodes_[node].hex;
    }
    // Start first.
    for (int i = 0, j = held - 1; i < j; ++i, --j) {
        const HexCoord t = hexes[i];
        hexes[i] = hexes[j];
        hexes[j] = t;
    }
    int steps = held - (stopShort_ ? 2 : 1);
    if (steps < 0) steps = 0;
    int count = 0;
    for (int i = 1; i <= steps; ++i) {
        if (stopShort_ && IsGoalStructureTile(hexes[i])) break;
        if (count == kMaxPathSteps) return false;
        out.directions[count++] = map_->GetDirectionTo(hexes[i - 1], hexes[i]);
    }
    out.start = start_;
    out.count = count;
    out.cost = count > 0 ? nodes_[goalNode].costSoFar : 0.0f;
    return true;
}

bool PathFinder::Search(const HexMap& map, HexCoord start, HexCoord goal, HexPath& out, int unitType, int mode,
                        bool stopShort, bool allowBlocked) {
    out.start = start;
    out.count = 0;
    out.cost = 0.0f;
    Allocate();

    map_ = &map;
    context_ = map.GetBattleContext();
    params_ = map.ParamsFor(unitType);
    unitType_ = unitType;
    aircraft_ = IsAircraftType(unitType);
    start_ = start;
    goal_ = goal;
    const engine::Vec2 goalAt = HexToWorld(goal);
    goalX_ = goalAt.x;
    goalZ_ = goalAt.y;
    goalStructure_ = context_ != nullptr && IsValidHex(goal) ? context_->FindStructureAt(goal) : nullptr;
    mode_ = mode;
    stopShort_ = stopShort;
    allowBlocked_ = allowBlocked;
    stats_ = Stats{};

    // A new stamp forgets every node and cached lookup of the previous search.
    if (++stamp_ == 0) {
        for (TileSlot& slot : slots_) slot = TileSlot{};
        for (UnitSlot& slot : unitSlots_) slot = UnitSlot{};
        stamp_ = 1;
    }
    unitHexes_.clear();
    unitsListed_ = context_ != nullptr && context_->ListUnitHexes(unitHexes_);
    if (unitsListed_) {
        for (const HexCoord hex : unitHexes_) {
            if (IsValidHex(hex)) Tile(hex).listed = true;
        }
    }
    nodeCount_ = 0;
    linkCount_ = 0;
    for (int i = 0; i < kReservedNodes; ++i) TakeNode();
    const int first = TakeNode();
    nodes_[first].hex = start;
    if (IsValidHex(start)) Tile(start).node = first;
    open_.Clear();
    open_.Insert(first, nodes_[first].total);

    bool found = false;
    for (;;) {
        const int node = open_.PopFront();
        if (node < 0) break;
        nodes_[node].closed = true;
        if (nodes_[node].hex == goal) {
            found = BuildRoute(node, out);
            break;
        }
        if (!Expand(node)) break;
    }
    stats_.nodesTaken = nodeCount_;
    stats_.linksTaken = linkCount_;
    if (!found) {
        out.start = start;
        out.count = 0;
        out.cost = 0.0f;
    }
    return found;
}

bool HexMap::FindRoute(HexCoord start, HexCoord goal, HexPath& out, int unitType, int mode, bool stopShort) const {
    return PathFinder::ForThisThread().Search(*this, start, goal, out, unitType, mode, stopShort, false);
}

bool HexMap::FindRouteAllowBlocked(HexCoord start, HexCoord goal, HexPath& out, int unitType, int mode,
                                   bool stopShort) const {
    return PathFinder::ForThisThread().Search(*this, start, goal, out, unitType, mode, stopShort, true);
}

}  // namespace game
