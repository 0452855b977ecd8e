#pragma once
// The level's structures (at most 64, in creation order): built from the map with their footprints and build
// pads, found by hex, counted by owner, captured, handed over, set off in fireworks and restored from a saved
// game. Models are shown through a StructurePresenter (none without a scene).
#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "engine/core/vector.h"
#include "game/battle/hex_coord.h"
#include "game/battle/structure.h"

namespace engine {
class SceneNode;
}  // namespace engine

namespace game {

class BattleContext;
class HexMap;

inline constexpr int kMaxStructures = 64;

// Shows the structures: models, team materials, snow and fireworks.
class StructurePresenter {
public:
    virtual ~StructurePresenter() = default;
    // Every structure and pad, once: its model goes on its hex's level point. A building gets its team
    // material; a pad gets none (only the hand-over of team 2 to team 4 tints pads).
    virtual void OnCreated(Structure& structure) = 0;
    virtual void OnOwnerChanged(Structure& structure) = 0;
    virtual void SetSnow(Structure& structure, bool snow) = 0;
    // One of the three firework effects (0 red, 1 green, 2 yellow) at the model plus the offset.
    virtual void LaunchFirework(Structure& structure, int effect, const engine::Vec3& offset) = 0;
    virtual bool ContainsNode(const Structure& structure, const engine::SceneNode* node) const = 0;
    // A structure handed from team 2 to team 4: its team material is made again (pads get theirs here).
    virtual void OnHandedOver(Structure&) {}
    // The structure is about to be deleted: its model and materials go.
    virtual void OnDestroyed(Structure&) {}
    // Per frame before drawing: the tint, the capture pop and the world matrices.
    virtual void UpdateModel(Structure&) {}
    // Per frame: the capture marker of a structure part-way through a two-step capture.
    virtual void DrawCaptureMarker(Structure&) {}
};

// One saved structure.
struct StructureRecord {
    std::int32_t inUse = 0;
    std::int32_t owner = 0;
    HexCoord hex;
    float progress = 0.0f;
    std::int32_t capturingTeam = 0;
};

// Counts by owner: blue, green and yellow together, neutral, enemy.
struct SideCounts {
    int players = 0;
    int neutral = 0;
    int enemy = 0;
};

class StructureManager {
public:
    explicit StructureManager(BattleContext* battle, StructurePresenter* presenter = nullptr);
    ~StructureManager();
    StructureManager(const StructureManager&) = delete;
    StructureManager& operator=(const StructureManager&) = delete;

    void Init();
    void Destroy();

    HexMap* GetMap() const { return map_; }
    Structure* GetStructure(int slot) const;
    int FindFreeSlot() const;
    void CreateFromMap(HexMap& map);
    // Types 2..11 with an owner 0..4; null for anything else or a full table.
    Structure* CreateStructure(HexCoord hex, int type, int team, bool mirrored);
    Structure* CreatePad(HexCoord hex);
    Structure* FindAtHex(HexCoord hex) const;
    Structure* FindByNode(const engine::SceneNode* node) const;
    SideCounts CountProducersBySide() const;
    SideCounts CountBySide() const;
    // Structures of the type owned by the team kind.
    int CountOwned(int team, int type) const;
    bool IsAnyAnimating() const;
    // Checks every record first; on any bad record nothing changes and false comes back.
    bool RestoreFromSave(HexMap& map, std::span<const StructureRecord> records);
    // Target marks off and highlights 0 on every structure, whoever has the turn.
    void ClearMarks();
    void HandOverTeam2To4();
    void StartFireworks(bool won);
    void CheckAllOwnedByTeam1();
    void Update();
    // Per frame, through the presenter: the models' tint and pop, then the capture markers.
    void UpdateModels();
    void DrawCaptureProgress();

    // Called by the structures.
    void OnOwnerChanged(Structure& structure);
    void OnFirework(Structure& structure, int effect, const engine::Vec3& offset);

private:
    BattleContext* battle_;
    StructurePresenter* presenter_;
    HexMap* map_ = nullptr;
    std::array<std::unique_ptr<Structure>, kMaxStructures> structures_;
};

}  // namespace game
