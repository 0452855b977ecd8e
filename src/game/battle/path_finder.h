#pragma once
// A* route search over the hex grid. Each thread has its own PathFinder (made on first use) holding the
// node and link pools, the open list, the search state, the per-tile caches of unit lookups and step costs
// and the tile-weighting switch, so that the computer player's searches on its worker thread neither see
// nor change those of the main thread. A search reads the map and writes nothing outside its finder and
// the returned route.
#include <cstdint>
#include <vector>

#include "game/battle/hex_coord.h"
#include "game/battle/hex_path.h"
#include "game/battle/open_list.h"

namespace game {

class BattleContext;
class HexMap;
class Structure;
class MapUnit;
struct UnitParams;

class PathFinder {
public:
    static constexpr int kNodePoolSize = 4000;
    static_assert(kNodePoolSize <= 32767, "children hold node indices in 16 bits");
    static constexpr int kLinkPoolSize = 3000;

    // What the last search used; for tests and measurements.
    struct Stats {
        int nodesTaken = 0;
        int linksTaken = 0;
        int closedNodesLowered = 0;
        int passesCutShort = 0;  // cost passes stopped for want of links
    };

    PathFinder() = default;
    PathFinder(const PathFinder&) = delete;
    PathFinder& operator=(const PathFinder&) = delete;

    // The calling thread's finder.
    static PathFinder& ForThisThread();
    // Pools and switch of the calling thread's finder.
    static void AllocPools();
    static void FreePools();
    static void SetTileWeighting(bool on);

    void Allocate();
    void Release();
    bool HasPools() const { return !nodes_.empty(); }
    // Adds each tile's threat for the unit type / 15 to the steps onto it (the computer player's planning).
    void SetWeighting(bool on) { weighting_ = on; }
    bool IsWeighting() const { return weighting_; }

    // Modes: 0 other units are ignored; 1 a hex held in the mover's altitude layer costs double; 2 as 1,
    // and no route continues through such a hex. With stopShort the route ends one step before the goal
    // (and before the goal's structure). allowBlocked prices an impassable valid hex at 100 a step. A
    // failed search leaves the route with no steps and cost 0. Allocates the pools first when needed.
    bool Search(const HexMap& map, HexCoord start, HexCoord goal, HexPath& out, int unitType, int mode,
                bool stopShort, bool allowBlocked);

    const Stats& LastStats() const { return stats_; }

private:
    // What every step of the search reads; the children, which only a lowered cost reads, are kept apart.
    struct PathNode {
        float total = 0.0f;  // cost so far plus the estimate
        float costSoFar = 0.0f;
        float estimate = 0.0f;  // of the rest of the way to the goal
        std::int32_t parent = -1;
        HexCoord hex;
        bool closed = false;
        std::int8_t direction = kNoDirection;  // of the step from the parent
    };
    // The nodes a node has reached, in the order it reached them.
    struct NodeChildren {
        std::int8_t count = 0;
        std::int8_t directions[kDirectionCount] = {};  // of the step onto each child
        std::int16_t nodes[kDirectionCount] = {};  // the pool holds fewer than 32768 nodes
        // The cost of the step onto each child, when this node was reached by a step in another direction
        // and in the same one (straight on): a lowered cost is passed on without asking the rule again.
        float cost[kDirectionCount] = {};
        float costStraightOn[kDirectionCount] = {};
    };
    // The cost of a step when the node it leaves was reached in another direction and straight on.
    struct StepCosts {
        float turning = 0.0f;
        float straightOn = 0.0f;
    };
    struct Link {
        std::int32_t node = -1;
        std::int32_t next = -1;
    };
    // Per tile, what every step onto or from it reads: valid while its stamp equals the search's, filled on
    // first use. The search reads each of these a dozen times and the map's tiles are large, so the copies
    // are kept small and together.
    struct TileSlot {
        std::uint32_t stamp = 0;
        std::int32_t node = -1;  // the tile's node in this search, -1 before it has one
        float moveCost = 0.0f;  // the mover's cost of the tile
        std::int32_t terrain = 0;
        std::int32_t level = 0;
        bool structure = false;  // holds a structure other than a build pad: the search does not go on from it
        bool goalStructure = false;  // with stopShort, a tile of the goal's structure
        bool listed = false;  // the battle listed the tile as one that may hold a unit
    };
    // Per tile, the units found there, each valid while its stamp equals the search's; asked only of tiles
    // a unit may stand on.
    struct UnitSlot {
        std::uint32_t unitStamp = 0;
        std::uint32_t airStamp = 0;
        const MapUnit* unit = nullptr;
        const MapUnit* air = nullptr;
    };
    enum class StepKind { kSkip, kAdd, kAddAndStop };

    int TakeNode();
    // Sets a node's cost so far and total; an open node keeps its place in the open list.
    void SetCost(int node, float costSoFar);
    void RecordChild(int parent, int child, int direction, const StepCosts& costs);
    // Of a valid hex, by its tile index.
    float Estimate(int tileIndex) const;
    float BaseStepCost(const TileSlot& source, HexCoord to, const TileSlot& target);
    // The unit on the hex whose slot is given (valid hexes only).
    const MapUnit* UnitAt(const TileSlot& slot, HexCoord hex);
    // The tile's slot with its copy of the map's tile filled in (a valid hex).
    TileSlot& Tile(HexCoord hex);
    void FillTile(TileSlot& slot, HexCoord hex);
    bool IsBlocked(HexCoord hex);
    bool IsBlocked(const TileSlot& slot, HexCoord hex);
    bool IsGoalStructureTile(HexCoord hex) const;
    StepKind RuleStep(int node, const TileSlot& source, HexCoord to, TileSlot& target, StepCosts& costs);
    bool Expand(int node);
    bool AddNeighbour(int parent, int direction, HexCoord hex, TileSlot& slot, const StepCosts& costs);
    void PassOnLoweredCost(int node);
    bool BuildRoute(int goalNode, HexPath& out) const;

    std::vector<PathNode> nodes_;
    std::vector<NodeChildren> children_;
    std::vector<Link> links_;
    std::vector<TileSlot> slots_;
    std::vector<UnitSlot> unitSlots_;
    OpenList open_;
    int nodeCount_ = 0;
    int linkCount_ = 0;
    std::uint32_t stamp_ = 0;
    bool weighting_ = false;
    Stats stats_;

    // State of the running search.
    const HexMap* map_ = nullptr;
    const BattleContext* context_ = nullptr;
    const UnitParams* params_ = nullptr;
    int unitType_ = 0;
    bool aircraft_ = false;
    HexCoord start_;
    HexCoord goal_;
    float goalX_ = 0.0f;
    float goalZ_ = 0.0f;
    const Structure* goalStructure_ = nullptr;
    int mode_ = 0;
    bool stopShort_ = false;
    bool allowBlocked_ = false;
    // True when the battle listed the hexes that may hold units: the others need no lookup.
    bool unitsListed_ = false;
    std::vector<HexCoord> unitHexes_;
};

}  // namespace game
