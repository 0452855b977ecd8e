#pragma once
// The units' services of a running battle: the level's ports for the camera, sound, speech, effects, the
// profile and the scripts, its floating texts and craters, the team services' camera for single units and
// the battle's projectile manager.
#include "game/units/unit_services.h"

namespace game {

class Level;
class ProjectileManager;
class TeamManager;

class LevelUnitServices final : public UnitServices {
public:
    LevelUnitServices(Level& level, TeamManager& teams, ProjectileManager& projectiles)
        : level_(level), teams_(teams), projectiles_(projectiles) {}

    bool IsBattleZoomActive() const override;
    void StartBattleZoom(Unit& attacker, Unit& target) override;
    void EndBattleZoom() override;
    void LookAtUnit(Unit& unit) override;
    void PlayLevelSound(int sound) override;
    int StartLoopSound(int sound) override;
    void StopLoopSound(int handle, float fadeSeconds) override;
    void PlaySpeech(int teamKind, int cue) override;
    void AddEffect(const char* prototype, const engine::Matrix44& placement) override;
    void AddFloatingText(const engine::Vec3& at, const engine::WideString& text) override;
    void AddCrater(int kind, const engine::Vec3& position) override;
    int GetDifficulty() const override;
    int AddProfileKill() override;
    int AddProfileSniperKill() override;
    void SetScriptInputHex(HexCoord hex) override;
    ProjectileManager* GetProjectiles() override { return &projectiles_; }

private:
    Level& level_;
    TeamManager& teams_;
    ProjectileManager& projectiles_;
};

}  // namespace game
