#pragma once
// The sides of a battle (up to five, one per kind, in creation order), whose turn it is, the day, the
// per-turn bonus and the one-step undo of the last unit move. The game's battle context answers its unit
// lookups (FindUnitById, FindUnitAt, IsSettingUp) from here.
#include <array>
#include <memory>
#include <vector>

#include "engine/core/vector.h"
#include "game/battle/hex_coord.h"
#include "game/battle/structure_manager.h"
#include "game/teams/team.h"

namespace game {

class BattleContext;
class TeamServices;

// The unit that moved last and its values from before the move.
struct UnitUndoRecord {
    Unit* unit = nullptr;
    UnitMoveState before;
};

class TeamManager final {
public:
    TeamManager(BattleContext& battle, TeamServices& services);
    ~TeamManager();
    TeamManager(const TeamManager&) = delete;
    TeamManager& operator=(const TeamManager&) = delete;

    // Empty slots, no current team, day 1.
    void Init();
    // Stops the computer player's planning, then deletes every team.
    void Destroy();

    BattleContext& Battle() const { return battle_; }
    // The level's structures, which decide whether a side without units can still act; none: no structures.
    void SetStructureManager(const StructureManager* structures) { structures_ = structures; }
    const StructureManager* GetStructureManager() const { return structures_; }
    TeamServices& Services() const { return services_; }

    // The team of the kind 0..4, made in the first free slot when missing; null for another kind.
    Team* GetOrCreateTeam(int kind);
    Team* FindTeam(int kind) const;
    Team* GetTeam(int slot) const;
    int FindFreeSlot() const;
    Team* GetCurrentTeam() const;
    int GetCurrentSlot() const { return currentTeam_; }
    int GetDay() const { return day_; }
    int GetLastSeenDay() const { return lastSeenDay_; }
    // The turn order of a resumed battle: day, last day seen and the slot whose turn it is (-1: none).
    void RestoreTurnOrder(int day, int lastSeenDay, int currentSlot) {
        day_ = day;
        lastSeenDay_ = lastSeenDay;
        currentTeam_ = currentSlot;
    }
    // Writes the day; true once per day number.
    bool IsNewDay(int& day);
    // The first team in slots 1..4 that is not the given one.
    Team* FindOtherTeam(const Team* team) const;
    bool IsSettingUp() const { return settingUp_; }
    void SetSettingUp(bool settingUp) { settingUp_ = settingUp; }

    int GetPlayerCash() const;
    int CountPlayerTeams() const;
    int CountPlayerLiveUnits() const;
    bool AnyPlayerCanTakeTurn() const;
    int CountTargetMarkedUnits() const;
    Unit* FindUnitById(int id) const;
    Unit* FindUnitByNode(const engine::SceneNode* node) const;
    Unit* FindAirUnitAt(HexCoord hex) const;
    Unit* FindUnitAt(HexCoord hex) const;
    // Appends every hex where FindUnitAt or FindAirUnitAt may find a unit; false when a team cannot tell.
    bool ListUnitHexes(std::vector<HexCoord>& out) const;
    void PlayEndReactions(bool playerWon);
    bool IsBusy() const;

    void Update();
    void UpdateAnimations();
    // The units' information overlays of every team; nothing while no team has the turn.
    void DrawUnitOverlays(engine::RenderTargetBase& target, const ScreenProjector& projector, TextPainter& painter,
                          std::uint32_t sheet) const;
    void ClearTargetMarks();
    void RemoveGoneUnits();
    void SaveCurrentSupplies();
    void RestoreCurrentSupplies();

    // Passes the turn on; false when a team took it, true when nobody can act.
    bool AdvanceTurn();

    void SaveUndo(Unit* unit);
    void Undo();
    bool CanUndo() const { return undo_.unit != nullptr; }

private:
    BattleContext& battle_;
    TeamServices& services_;
    const StructureManager* structures_ = nullptr;
    std::array<std::unique_ptr<Team>, kTeamKindCount> teams_;
    int currentTeam_ = -1;
    int day_ = 1;
    int lastSeenDay_ = 0;
    bool settingUp_ = false;
    UnitUndoRecord undo_;
};

}  // namespace game
