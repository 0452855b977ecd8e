#pragma once
// The loaded battle: the hex map, the structures, the mission settings, the ground marks and the level's
// presentation. The game creates one when a battle starts, loads it from a level folder, sets up or restores
// the teams through it, updates it every tick and deletes it when the battle is left.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/core/vector.h"
#include "game/battle/hex_map.h"
#include "game/battle/structure_manager.h"
#include "game/level/decorations.h"
#include "game/level/help_icons.h"
#include "game/level/level_presenter.h"
#include "game/level/weather.h"
#include "game/level/mission.h"
#include "game/level/script_manager.h"
#include "game/units/floating_text_pool.h"

namespace game {

class BattleContext;
class LevelServices;
class Team;
class TeamManager;
struct GameSlot;

inline constexpr int kGroundMarksPerKind = 16;

// A crater or a shadow left by a dead unit; time 0 marks a free slot.
struct GroundMark {
    engine::Vec3 position;
    float time = 0.0f;
    float angle = 0.0f;
    int variant = 0;
};

class Level {
public:
    // presenter: null for the null presenter; structures: the scene of the structures, null for none.
    Level(BattleContext& battle, LevelServices& services, LevelPresenter* presenter = nullptr,
          StructurePresenter* structures = nullptr);
    ~Level();
    Level(const Level&) = delete;
    Level& operator=(const Level&) = delete;

    // Loads "GameMap.Hex" of the folder (false when that fails), the model, the structures of the map, the
    // mission file and the mission script. Refused mission and script lines go to the sink (null: dropped).
    bool Load(const std::string& folder, MissionDiagnostics* diagnostics = nullptr);
    // Reads "<folder>/Mission"; a missing file leaves the defaults.
    void LoadMission(const std::string& folder, MissionDiagnostics* diagnostics = nullptr);
    // Reads a mission text from memory, as LoadMission does from the file.
    void LoadMissionFromImage(const std::uint8_t* bytes, std::size_t size, MissionDiagnostics* diagnostics = nullptr);
    // The mission script; empty until Load.
    ScriptManager& GetScriptManager() { return *script_; }
    const ScriptManager& GetScriptManager() const { return *script_; }
    // Stops the music and releases the structures, the map and the presentation.
    void Destroy();

    HexMap& GetHexMap() { return *map_; }
    const HexMap& GetHexMap() const { return *map_; }
    StructureManager& GetStructureManager() { return *structures_; }
    const StructureManager& GetStructureManager() const { return *structures_; }
    int GetWeatherType() const { return map_->GetWeatherType(); }
    const std::string& GetFolder() const { return folder_; }
    BattleContext& Battle() const { return battle_; }
    LevelServices& Services() const { return services_; }

    // Per tick: the structures.
    void Update();
    // Per frame: the structures' models (tint and pop), then their capture markers.
    void UpdateStructureModels();
    void DrawCaptureProgress();
    // Kind 1 marks a crater, kind 0 a shadow; the free slot of the kind or its oldest is reused.
    void AddCrater(int kind, const engine::Vec3& position);
    // The rising texts of the battle: damage, supply, promotions, the start-of-turn steps.
    FloatingTextPool& GetFloatingTexts() { return floatingTexts_; }
    const FloatingTextPool& GetFloatingTexts() const { return floatingTexts_; }
    // The scenery of the level model that fades in front of the camera's focus.
    Decorations& GetDecorations() { return decorations_; }
    // Per frame from the effect pass: the map's weather, made on the first call with a seed from stream 1.
    void DrawWeather(WeatherPort& port);
    WeatherManager* GetWeather() const { return weather_.get(); }
    // The tutorial icons on the map; emptied with the level.
    HelpIcons& GetHelpIcons() { return helpIcons_; }
    const HelpIcons& GetHelpIcons() const { return helpIcons_; }
    const GroundMark& GetGroundMark(int kind, int slot) const;
    void SetMapTopTreeVisible(bool visible);
    // The theme: music track 0.
    void PlayMusic();
    bool AreStructuresBusy() const;

    // --- Mission -------------------------------------------------------------------------------------------
    const MissionSettings& GetMission() const { return mission_; }
    // The id of the first entry of the WIN (true) or LOSE list that holds, else 0.
    int CheckWinLose(bool win, const TeamManager& teams) const;
    // 3 when the first other team of the current one owns no HQ, else 0.
    int CheckOpponentHQ(const TeamManager& teams) const;
    bool IsUnitTypeUnlocked(int unitType) const;
    float GetAIConfig(int index) const;
    int GetMissionMode() const { return mission_.survivor ? 1 : 0; }
    int GetSurvivorTurns() const { return mission_.survivorTurns; }

    // --- Teams ----------------------------------------------------------------------------------------------
    // A new battle: the sides the map uses, their start units and start cash.
    void SetupTeams(TeamManager& teams);
    // A resumed battle. The whole record is checked first: false, with map, structures and teams unchanged,
    // when any part of it does not fit this level and battle.
    bool RestoreFromSave(TeamManager& teams, const GameSlot& slot);

private:
    bool ConditionHolds(const MissionCondition& entry, const TeamManager& teams) const;
    void ShowReachMarker();

    BattleContext& battle_;
    LevelServices& services_;
    NullLevelPresenter nullPresenter_;
    LevelPresenter* presenter_;
    std::unique_ptr<HexMap> map_;
    std::unique_ptr<StructureManager> structures_;
    std::unique_ptr<ScriptManager> script_;
    MissionSettings mission_;
    std::array<std::array<GroundMark, kGroundMarksPerKind>, 2> groundMarks_{};
    FloatingTextPool floatingTexts_;
    HelpIcons helpIcons_{*this};
    Decorations decorations_;
    std::unique_ptr<WeatherManager> weather_;
    std::string folder_;
    bool hasModel_ = false;
    bool reachMarkerShown_ = false;
};

// Spawns the team's units on the unit-start tiles of its kind (in skirmish the enemy takes green's) with a
// random facing and clears those tiles; a door tile of the kind gets a door and keeps its tile.
void PlaceStartUnits(HexMap& map, Team& team, BattleContext& battle);

}  // namespace game
