#pragma once
// The running battle as the map and the units see it. The map asks for units, teams, structures, unit
// figures, the computer player's holds and the level model's triangle test; the level sets one on its map,
// and a map without one answers as when no battle runs. The units reach everything outside themselves
// through it too: other units by id or hex, the game's mode, options and achievements, texts, the map, the
// random streams and the clock.
#include <cstdint>
#include <span>
#include <vector>

#include "engine/core/matrix.h"
#include "engine/core/vector.h"
#include "engine/core/wide_string.h"
#include "game/battle/hex_coord.h"

namespace engine {
class FrameTimer;
class RandomStreams;
}  // namespace engine

namespace game {

class HexMap;
class MapUnit;
class Structure;
class Unit;
struct UnitParams;
class UnitServices;

// Game modes.
inline constexpr int kGameModeCampaign = 0;
inline constexpr int kGameModePassAndPlay = 1;
inline constexpr int kGameModeSkirmish = 2;

// Option bits of the player's profile that the battle rules read.
inline constexpr std::uint32_t kOptionZoomBattles = 0x01;
inline constexpr std::uint32_t kOptionInstantMove = 0x40;

class BattleContext {
public:
    virtual ~BattleContext() = default;

    // --- The map's questions --------------------------------------------------------------------------
    // A unit on the hex, the grounded one first; null when none. The same unit as FindUnitAt.
    virtual MapUnit* FindMapUnitAt(HexCoord hex) const = 0;
    // The airborne unit on the hex, or null.
    virtual MapUnit* FindAirMapUnitAt(HexCoord hex) const = 0;
    // Appends every hex on which FindMapUnitAt or FindAirMapUnitAt may find a unit (a few more do no
    // harm) and returns true; false when it cannot tell, and every hex may hold one. A route search asks
    // once and skips the lookups on every other hex.
    virtual bool ListUnitHexes(std::vector<HexCoord>& /*out*/) const { return false; }
    // Kind of the team whose turn it is, or -1 outside a turn.
    virtual int GetCurrentTeamKind() const = 0;
    // kControlNone, kControlHuman or kControlComputer for the team of that kind (none when it does not play).
    virtual int GetTeamControl(int teamKind) const = 0;
    // The live units of the team of that kind.
    virtual std::span<MapUnit* const> GetTeamMapUnits(int teamKind) const = 0;
    virtual void ClearTargetMarks() = 0;
    virtual int CountTargetMarkedUnits() const = 0;

    // The structure occupying the hex, or null.
    virtual Structure* FindStructureAt(HexCoord hex) const = 0;
    virtual void ClearStructureMarks() = 0;

    // The figures of a unit type 1..24, or null.
    virtual const UnitParams* GetUnitParams(int unitType) const = 0;
    // True when the unit's computer player holds it where it stands.
    virtual bool IsHeldImmobile(const MapUnit& unit) const = 0;

    // True when the oriented box (axes and centre in the rows of the matrix, half sizes along them) holds
    // a triangle of the level model.
    virtual bool BoxTouchesLevel(const engine::Matrix44& box, const engine::Vec3& halfSize) const = 0;

    // --- The units' questions ------------------------------------------------------------------------
    // The unit of that id in any team, or null (also for id 0).
    virtual Unit* FindUnitById(int id) const = 0;
    // A placed unit (idle or running orders) on the hex, the grounded one first; null when none.
    virtual Unit* FindUnitAt(HexCoord hex) const = 0;
    // True while the team manager places a level's starting units.
    virtual bool IsSettingUp() const = 0;
    // A fresh unit id, unique in the game. Safe to call from the computer player's worker thread.
    virtual int NextUnitId() = 0;
    // kGameModeCampaign, kGameModePassAndPlay or kGameModeSkirmish.
    virtual int GetGameMode() const = 0;
    // The profile's option word (kOptionInstantMove and others).
    virtual std::uint32_t GetOptionBits() const = 0;
    virtual bool IsFastForward() const = 0;
    // Unlocks an achievement; unlocking an earned one again does nothing.
    virtual void UnlockAchievement(int achievement) = 0;
    // The localised text of a key; "No String" when the key is missing.
    virtual engine::WideString GetText(const char* key) const = 0;
    virtual HexMap& GetHexMap() = 0;
    virtual engine::RandomStreams& GetRandomStreams() = 0;
    // The frame clock (its game clock drives the pulses of standing models).
    virtual const engine::FrameTimer& GetFrameTimer() const = 0;
    // The camera, sound, effects, profile and projectiles the units use; null: the null services.
    virtual UnitServices* GetUnitServices() { return nullptr; }
};

}  // namespace game
