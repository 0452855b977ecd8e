#pragma once
// What the teams and the turn order need from the rest of the game beyond the battle context: the computer
// player, the HUD's hooks, the scripts, the level's unlocks, projectiles, the camera, the game state, the
// selection and the match options. The game implements it; tests use a recording fake.
#include <memory>

namespace game {

class AIPlayer;
class Team;
class Unit;

class TeamServices {
public:
    virtual ~TeamServices() = default;

    // The computer player of an enemy team, told its team; null for none.
    virtual std::unique_ptr<AIPlayer> CreateAIPlayer(Team& team) = 0;
    // The top bar shows the cash again (TopBarZone::RefreshCash).
    virtual void RefreshCash() = 0;
    // The turn button's turn-start hook (TurnButtonZone::OnTurnStart).
    virtual void OnTurnStart() = 0;
    // ScriptManager::IsAnyBlockRunning.
    virtual bool IsAnyBlockRunning() const = 0;
    // Level::IsUnitTypeUnlocked.
    virtual bool IsUnitTypeUnlocked(int unitType) const = 0;
    // ProjectileManager::IsBusy.
    virtual bool IsProjectileBusy() const = 0;
    // CameraController::LookAtUnit; false when the game has no camera controller.
    virtual bool LookAtUnit(Unit& unit) = 0;
    // CameraController::FollowObject: the camera follows the unit while it moves.
    virtual void FollowUnit(Unit& unit) = 0;
    // True while the game is in state 7 (a side's turn) and the announcer is not showing.
    virtual bool IsSideActing() const = 0;
    // Clears the game's selection (selected, pressed and inspected units), the range steps and the map marks.
    virtual void ClearSelectionAndRange() = 0;
    // The per-turn bonus of the first (side 0) or second (side 1) side from the match options.
    virtual int GetTurnBonus(int side) const = 0;
    // Keeps the game's unit-id counter at or above the id, so that new units never reuse it.
    virtual void RaiseUnitIdCounter(int id) = 0;
    // The team is about to delete the unit: whoever borrows it lets go.
    virtual void OnUnitDeleting(const Unit& /*unit*/) {}
};

}  // namespace game
