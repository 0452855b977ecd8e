#pragma once
// The computer player's ports in the game: the level (mission settings, structures, camera, profile), the
// team manager (day, busy test, scripts) and the battle (mode, options, random stream 0). The plan runs on a
// worker thread.
#include "game/ai/computer_player_ports.h"

namespace game {

class Level;
class TeamManager;

class LevelComputerPorts final : public ComputerPlayerPorts {
public:
    // threaded false: the plan runs inline (tests, or a build without threads).
    LevelComputerPorts(Level& level, TeamManager& teams, bool threaded = true)
        : level_(level), teams_(teams), threaded_(threaded) {}

    int GetDay() const override;
    int GetGameMode() const override;
    int GetDifficulty() const override;
    float GetAIConfig(int index) const override;
    std::array<int, 4> GetMatchOptions() const override;
    int CountOwnedStructures(int teamKind, int structureType) const override;
    bool IsProjectileInFlight() const override;
    bool IsTeamManagerBusy() const override;
    bool IsStructureEffectRunning() const override;
    bool IsQuickPause() const override;
    bool IsAnyBlockRunning() const override;
    HexMap& GetHexMap() override;
    void EndBattleZoom() override;
    void LookAtHex(HexCoord hex) override;
    void LookAtUnit(Unit& unit) override;
    // The camera controller's follow comes with the battle camera; until then the camera looks at the unit.
    void FollowUnit(Unit& unit) override;
    void UnreserveStructures() override;
    std::unique_ptr<PlanRunner> CreateRunner() override;
    std::uint32_t DrawPlanSeed() override;

private:
    Level& level_;
    TeamManager& teams_;
    bool threaded_;
};

}  // namespace game
