#pragma once
// What the computer player asks of the rest of the game: the turn's day and mode, the funds' sources, the
// busy tests that hold its pauses, the camera's battle zoom, the structures it unreserves at the end of its
// turn, the runner its plan runs on and the seed of its own random stream. The level implements it
// (LevelComputerPorts); tests use fakes.
#include <array>
#include <cstdint>
#include <memory>

#include "game/battle/hex_coord.h"

namespace game {

class HexMap;
class PlanRunner;
class Unit;

class ComputerPlayerPorts {
public:
    virtual ~ComputerPlayerPorts() = default;

    // TeamManager::GetDay.
    virtual int GetDay() const = 0;
    // kGameModeCampaign, kGameModePassAndPlay or kGameModeSkirmish.
    virtual int GetGameMode() const = 0;
    // The profile's difficulty 0..3.
    virtual int GetDifficulty() const = 0;
    // Level::GetAIConfig (1 = AICFG_FUNDS_DONATION, 5 = AICFG_OFFENCE_AGGRO).
    virtual float GetAIConfig(int index) const = 0;
    // The four match options; the fourth is the computer side's per-turn bonus in a skirmish.
    virtual std::array<int, 4> GetMatchOptions() const = 0;
    // Structures of the type owned by the team kind.
    virtual int CountOwnedStructures(int teamKind, int structureType) const = 0;
    // ProjectileManager::IsBusy.
    virtual bool IsProjectileInFlight() const = 0;
    // TeamManager::IsBusy: units moving, explosions, projectiles in flight.
    virtual bool IsTeamManagerBusy() const = 0;
    // A structure effect is running.
    virtual bool IsStructureEffectRunning() const = 0;
    // The instant-move option or fast forward: pauses end on the first quiet tick.
    virtual bool IsQuickPause() const = 0;
    // A mission script block is running; planning waits for its end.
    virtual bool IsAnyBlockRunning() const = 0;
    // The level's map (main thread; the plan works on its own copy).
    virtual HexMap& GetHexMap() = 0;
    // The camera: CameraController::EndBattleZoom, LookAtHex, LookAtUnit and FollowObject.
    virtual void EndBattleZoom() = 0;
    virtual void LookAtHex(HexCoord hex) = 0;
    virtual void LookAtUnit(Unit& unit) = 0;
    virtual void FollowUnit(Unit& unit) = 0;
    // Structure::Unreserve on every structure of the level.
    virtual void UnreserveStructures() = 0;
    // The runner of one turn's plan.
    virtual std::unique_ptr<PlanRunner> CreateRunner() = 0;
    // One draw of random stream 0, on the main thread: the seed of the planner's own generator.
    virtual std::uint32_t DrawPlanSeed() = 0;
};

}  // namespace game
