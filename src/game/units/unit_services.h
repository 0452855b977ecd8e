#pragma once
// What units, their orders and projectiles ask of the game beyond the battle context: the camera, the level
// sounds and speech, effects, floating texts, craters, the profile's counters, the script's trigger hexes and
// the projectiles in flight. The level implements it over its own ports; a battle without one answers with
// the null services, which show and count nothing and have no projectile manager.
#include <cstdint>

#include "engine/core/matrix.h"
#include "engine/core/vector.h"
#include "engine/core/wide_string.h"
#include "game/battle/hex_coord.h"

namespace game {

class BattleContext;
class ProjectileManager;
class Unit;

class UnitServices {
public:
    virtual ~UnitServices() = default;

    // --- Camera ---------------------------------------------------------------------------------------
    virtual bool IsBattleZoomActive() const = 0;
    virtual void StartBattleZoom(Unit& attacker, Unit& target) = 0;
    virtual void EndBattleZoom() = 0;
    virtual void LookAtUnit(Unit& unit) = 0;

    // --- Sound ----------------------------------------------------------------------------------------
    virtual void PlayLevelSound(int sound) = 0;
    // A looping level sound; its handle (never 0), or 0 when nothing plays.
    virtual int StartLoopSound(int sound) = 0;
    // Fades the loop out over the seconds (0: stops at once).
    virtual void StopLoopSound(int handle, float fadeSeconds) = 0;
    // A speech cue for the side of that kind.
    virtual void PlaySpeech(int teamKind, int cue) = 0;

    // --- Effects and texts ----------------------------------------------------------------------------
    // A clone of the named effect prototype placed by the matrix, under the explosions node or the world.
    virtual void AddEffect(const char* prototype, const engine::Matrix44& placement) = 0;
    virtual void AddFloatingText(const engine::Vec3& at, const engine::WideString& text) = 0;
    virtual void AddCrater(int kind, const engine::Vec3& position) = 0;

    // --- Profile and scripts ----------------------------------------------------------------------------
    // The profile's difficulty 0..3.
    virtual int GetDifficulty() const = 0;
    // Counts a kill of a blue unit in the profile; the new count.
    virtual int AddProfileKill() = 0;
    virtual int AddProfileSniperKill() = 0;
    // A unit entered a trigger tile.
    virtual void SetScriptInputHex(HexCoord hex) = 0;

    // --- Projectiles ------------------------------------------------------------------------------------
    // The manager of the shots in flight; null when the battle has none.
    virtual ProjectileManager* GetProjectiles() = 0;
};

class NullUnitServices final : public UnitServices {
public:
    bool IsBattleZoomActive() const override { return false; }
    void StartBattleZoom(Unit&, Unit&) override {}
    void EndBattleZoom() override {}
    void LookAtUnit(Unit&) override {}
    void PlayLevelSound(int) override {}
    int StartLoopSound(int) override { return 0; }
    void StopLoopSound(int, float) override {}
    void PlaySpeech(int, int) override {}
    void AddEffect(const char*, const engine::Matrix44&) override {}
    void AddFloatingText(const engine::Vec3&, const engine::WideString&) override {}
    void AddCrater(int, const engine::Vec3&) override {}
    int GetDifficulty() const override { return 0; }
    int AddProfileKill() override { return 0; }
    int AddProfileSniperKill() override { return 0; }
    void SetScriptInputHex(HexCoord) override {}
    ProjectileManager* GetProjectiles() override { return nullptr; }
};

// The battle's unit services, or the shared null services when it has none.
UnitServices& UnitServicesOf(BattleContext& battle);

}  // namespace game
