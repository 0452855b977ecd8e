#pragma once
// A* route search over the hex grid. Each thread has its own PathFinder (made on first use) holding the
// node and link pools, the search state, the unit-lookup cache and the tile-weighting switch, so that the
// computer player's searches on its worker thread neither see nor change those of the main thread. A
// search reads the map and writes nothing outside its finder and the returned route.
#include <cstdint>
#include <vector>

#include "game/battle/hex_coord.h"
#include "game/battle/hex_path.h"

namespace game {

class BattleContext;
class HexMap;
class Structure;
class MapUnit;

class PathFinder {
public:
    static constexpr int kNodePoolSize = 4000;
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
    struct PathNode {
        float total = 0.0f;  // cost so far plus the estimate
        float costSoFar = 0.0f;
        std::int32_t parent = -1;
        std::int32_t children[kDirectionCount] = {-1, -1, -1, -1, -1, -1};
        std::int32_t next = -1;  // open list link
        HexCoord hex;
        bool closed = false;
    };
    struct Link {
        std::int32_t node = -1;
        std::int32_t next = -1;
    };
    // Per tile, valid while its stamps equal the search's stamp.
    struct TileSlot {
        std::uint32_t nodeStamp = 0;
        std::uint32_t unitStamp = 0;
        std::uint32_t airStamp = 0;
        std::int32_t node = -1;
        const MapUnit* unit = nullptr;
        const MapUnit* air = nullptr;
    };
    enum class StepKind { kSkip, kAdd, kAddAndStop };

    int TakeNode();
    int NodeAt(HexCoord hex) const;
    void InsertOpen(int node);
    void RecordChild(int parent, int child);
    float Estimate(HexCoord hex) const;
    int LastDirection(int node) const;
    bool IsBlocked(HexCoord hex);
    bool IsGoalStructureTile(HexCoord hex) const;
    StepKind RuleStep(int node, HexCoord to, float& cost);
    bool Expand(int node);
    bool AddNeighbour(int parent, HexCoord hex, float cost);
    void PassOnLoweredCost(int node);
    bool BuildRoute(int goalNode, HexPath& out) const;

    std::vector<PathNode> nodes_;
    std::vector<Link> links_;
    std::vector<TileSlot> slots_;
    int nodeCount_ = 0;
    int linkCount_ = 0;
    std::uint32_t stamp_ = 0;
    bool weighting_ = false;
    Stats stats_;

    // State of the running search.
    const HexMap* map_ = nullptr;
    const BattleContext* context_ = nullptr;
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
};

}  // namespace game
