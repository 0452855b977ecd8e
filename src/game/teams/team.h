#pragma once
// One side of a battle: its units (at most 48, in creation order), its cash, name, colour, the hex its turn
// starts on, its kill count and, for the enemy side, its computer player. Units come into a team only
// through the creation operations here (under the team's unit lock) or by insertion and transfer.
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "engine/core/wide_string.h"
#include "game/battle/battle_types.h"
#include "game/battle/hex_coord.h"
#include "game/battle/hex_path.h"
#include "game/battle/hex_slot_index.h"
#include "game/battle/team_colours.h"
#include "game/units/unit.h"
#include "game/units/unit_team.h"

namespace engine {
class RenderTargetBase;
class SceneNode;
}  // namespace engine

namespace game {

class AIPlayer;
class BattleContext;
class HexMap;
class ScreenProjector;
class TeamManager;
class TextPainter;
class TeamServices;

inline constexpr int kMaxTeamUnits = 48;
inline constexpr int kTeamKindCount = 5;
// Achievement unlocked when blue's cash passes 4999 in a campaign.
inline constexpr int kAchievementBank5000 = 15;

// What a saved unit record gives back.
struct UnitRecord {
    int type = 0;
    int id = 0;
    HexCoord hex;
    int facing = 0;
    float health = 1.0f;
};

// One of a team's 48 unit slots: it owns its unit, and hands the pointer over with release and acquire, so
// that a unit the computer player's planning thread inserts is seen whole by the main thread's walks.
class UnitSlot {
public:
    UnitSlot() = default;
    ~UnitSlot() { reset(); }
    UnitSlot(const UnitSlot&) = delete;
    UnitSlot& operator=(const UnitSlot&) = delete;

    Unit* get() const { return unit_.load(std::memory_order_acquire); }
    Unit* operator->() const { return get(); }
    Unit& operator*() const { return *get(); }
    explicit operator bool() const { return get() != nullptr; }
    // Deletes the unit held, if any, and holds the new one.
    void reset(Unit* unit = nullptr) { delete unit_.exchange(unit, std::memory_order_acq_rel); }
    UnitSlot& operator=(std::unique_ptr<Unit> unit) {
        reset(unit.release());
        return *this;
    }
    // Gives the unit up; the slot is empty afterwards.
    std::unique_ptr<Unit> release() { return std::unique_ptr<Unit>(unit_.exchange(nullptr, std::memory_order_acq_rel)); }

private:
    std::atomic<Unit*> unit_{nullptr};
};

class Team final : public UnitTeam {
public:
    // The team of a kind 0..4. The enemy team gets its computer player from the services.
    Team(int kind, TeamManager& manager);
    ~Team() override;
    Team(const Team&) = delete;
    Team& operator=(const Team&) = delete;

    // UnitTeam.
    int GetKind() const override { return kind_; }
    std::uint32_t GetColour() const override { return GetTeamColour(kind_); }
    // Adds the amount, held within the 32-bit range; blue passing 4999 in a campaign earns achievement 15.
    void AddCash(int amount) override;
    void TransferUnit(Unit& unit, int teamKind) override;
    void OnUnitHexChanged(const Unit& unit, HexCoord from) override;

    void SetKind(int kind) { kind_ = kind; }
    int GetControl() const { return TeamControlOfKind(kind_); }
    int GetCash() const { return cash_; }
    // Sets the cash as it stands (a saved or starting amount), with no achievement.
    void SetCash(int cash) { cash_ = cash; }
    const engine::WideString& GetName() const { return name_; }
    int GetKillCount() const { return killCount_; }
    void SetKillCount(int count) { killCount_ = count; }
    void AddKill() override { ++killCount_; }
    AIPlayer* GetAIPlayer() const { return aiPlayer_.get(); }
    TeamManager& GetManager() const { return manager_; }
    Unit* GetUnit(int slot) const;
    HexCoord GetFocusHex() const { return focusHex_; }
    void SetFocusHex(HexCoord hex) { focusHex_ = hex; }
    // The unit type each shop preselects, by 5 - structure type (barracks, dockyard, airport, factory).
    std::array<int, 4>& LastBought() { return lastBought_; }

    bool HasFreeUnitSlot() const { return FindFreeUnitSlot() >= 0; }
    int FindFreeUnitSlot() const;
    Unit* FindUnitById(int id) const;
    Unit* FindUnitByNode(const engine::SceneNode* node) const;
    int CountLiveUnits() const;
    // Units of the type that are neither dying nor gone: a general shot this turn no longer counts.
    int CountGenerals() const { return CountOfType(UT_GENERAL); }
    int CountSuperSoldiers() const { return CountOfType(UT_SUPERSOLDIER); }
    int CountEngineers() const { return CountOfType(UT_ENGINEER); }
    int CountTargetMarkedUnits() const;
    bool IsAnyUnitBusy() const;

    void UpdateUnitAnimations();
    // Each unit's information overlay (DrawInfoOverlay), in slot order.
    void DrawUnitOverlays(engine::RenderTargetBase& target, const ScreenProjector& projector, TextPainter& painter,
                          std::uint32_t sheet) const;
    void ClearTargetMarks();
    void ClearScriptedFlags();
    void SaveUnitSupplies();
    void RestoreUnitSupplies();
    void PlayEndReaction(bool celebrate);

    void StartTurn();
    void Update();
    bool CanTakeTurn() const;

    // A new unit on the hex; returns its id, or 0 when nothing was made.
    int SpawnUnit(int unitType, HexCoord hex, int facing, bool effects, float health);
    // True when CreateUnitFromRecord accepts the record's own fields (type, id, hex, facing, health).
    static bool IsValidUnitRecord(const UnitRecord& record);
    // A unit rebuilt from a saved record, or null when the record is refused.
    Unit* CreateUnitFromRecord(const UnitRecord& record);
    // A logic-only unit, not placed, standing at the hex until it deploys; returns its id or 0.
    int CreateUnplacedUnit(int unitType, HexCoord hex);
    // Takes an existing unit into the first free slot and becomes its side; null comes back then. A full team
    // takes nothing and hands the unit back unchanged, so that no caller can lose it.
    [[nodiscard]] std::unique_ptr<Unit> InsertUnit(std::unique_ptr<Unit> unit);
    // Deletes the units that are gone or were never placed.
    void RemoveGoneUnits();

    Unit* FindUnitAt(HexCoord hex) const;
    Unit* FindAirUnitAt(HexCoord hex) const;
    // Appends every hex where FindUnitAt or FindAirUnitAt may find a unit; false when the computer player
    // cannot tell its planned tiles.
    bool ListUnitHexes(std::vector<HexCoord>& out) const;
    // The idle unit of the type with the cheapest route to the target (below 10000), its route in out. The
    // routes are searched on the map given (the computer player's own copy), else on the battle's map.
    Unit* FindNearestIdleUnitOfType(HexCoord target, int unitType, HexPath& out, int searchMode, bool stopShort,
                                    bool freeOnly, const HexMap* map = nullptr) const;

private:
    int CountOfType(int unitType) const;
    // A lookup skips a unit the computer player is about to move away or destroy.
    bool HiddenByPlan(const Unit& unit) const;
    // The slot index of the unit, or -1.
    int SlotOf(const Unit& unit) const;
    // Finishes a new unit for a computer team: planner and immobile tile.
    void RegisterWithComputer(const Unit& unit);
    Unit* InsertLocked(std::unique_ptr<Unit> unit);
    // The occupancy index marks each slot on its unit's hex (by the hex alone, whatever the unit's state or
    // layer). It moves with every placement, hex change and removal, so a lookup by hex visits only those
    // slots, in slot order, as a walk over every slot would.
    void MarkOccupied(int slot, HexCoord hex, bool occupied) { occupancy_.Mark(slot, hex, occupied); }
    // The slots to visit for the hex: those of the index, or every slot for a hex off the map.
    std::uint64_t SlotsAt(HexCoord hex) const;

    TeamManager& manager_;
    BattleContext& battle_;
    TeamServices& services_;
    std::array<int, 4> lastBought_ = {UT_GRUNT, UT_FERRY, UT_SKYHOOK, UT_APC};
    int kind_;
    engine::WideString name_;
    std::array<UnitSlot, kMaxTeamUnits> units_;
    HexSlotIndex occupancy_;
    std::unique_ptr<AIPlayer> aiPlayer_;
    int cash_ = 0;
    std::mutex unitLock_;
    HexCoord focusHex_{-1, -1};
    int killCount_ = 0;
};

}  // namespace game
