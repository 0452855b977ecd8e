#pragma once
// The mission script of a level: the blocks of "<folder>/Script", the named units and hexes the commands
// share, the day-start blocks, the trigger hexes and the per-frame running of the blocks. While any block
// runs, the side whose turn it is does not act.
//
// Triggers: a unit that ends a step on a trigger tile only leaves a record (SetInputHex); the blocks start
// after the team manager's update of that tick (StartTriggeredBlocks), so that no command deletes or
// replaces the order of the walking unit, or adds units to a team, while the teams are being walked.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/wide_string.h"
#include "game/battle/hex_coord.h"
#include "game/level/script_block.h"

namespace engine {
class ScriptReader;
}  // namespace engine

namespace game {

class BattleContext;
class LevelServices;
class MissionDiagnostics;
class TeamManager;

inline constexpr int kMaxScriptBlocks = 64;
inline constexpr int kScriptUnitVariables = 128;
inline constexpr int kScriptLocationVariables = 2;

class ScriptManager {
public:
    ScriptManager(BattleContext& battle, LevelServices& services) : battle_(battle), services_(services) {}
    ~ScriptManager();
    ScriptManager(const ScriptManager&) = delete;
    ScriptManager& operator=(const ScriptManager&) = delete;

    // Empties the script and keeps the folder: no blocks, no variables, no pending triggers.
    void Init(const std::string& folder);
    // Reads "<folder>/Script" (".TXT", then ".CSV"); a missing file leaves the script empty. Dropped blocks,
    // refused commands and skipped lines go to the sink (null: dropped) with their line.
    void Load(MissionDiagnostics* diagnostics = nullptr);
    // Reads a script text from memory, as Load does from the file.
    void LoadFromImage(const std::uint8_t* bytes, std::size_t size, MissionDiagnostics* diagnostics = nullptr);
    // Deletes the blocks and their commands, the variables and the pending triggers.
    void Destroy();

    // The team manager the commands spawn into and ask; commands that need it do nothing without one.
    void SetTeamManager(TeamManager* teams) { teams_ = teams; }
    TeamManager* GetTeamManager() const { return teams_; }
    BattleContext& Battle() const { return battle_; }
    LevelServices& Services() const { return services_; }

    int GetBlockCount() const { return blockCount_; }
    ScriptBlock* GetBlock(int index) const;
    // The first loaded block of that name (any case), or null.
    ScriptBlock* FindBlock(const engine::WideString& name) const;
    // Stores a ready block in the next slot; false when all 64 are used.
    bool AddBlock(std::unique_ptr<ScriptBlock> block);

    // Day n begins: every drop reservation is cleared, then the block "DAY<n>_START" starts if there is one.
    void FireDayStart(int day);
    // A unit ended a step on a trigger tile: records the hex, the unit standing there and the tile's block.
    void SetInputHex(HexCoord hex);
    // After the team update: for each record in turn, "INPUTLOC" is set to its hex, "INPUTUNIT" to its unit
    // when one stood there, and its block starts. A move that fired a trigger can no longer be undone.
    void StartTriggeredBlocks();
    // Every running block takes a step; 1 when none is left running.
    int RunBlocks();
    bool IsAnyBlockRunning() const;

    // The entry of that name gets the id, else the first free one; an empty name or a full table stores
    // nothing.
    void SetUnitVariable(const engine::WideString& name, int unitId);
    // 0 when the name is not stored.
    int GetUnitVariable(const engine::WideString& name) const;
    void SetLocationVariable(const engine::WideString& name, HexCoord hex);
    bool GetLocationVariable(const engine::WideString& name, HexCoord& out) const;

    // While the script loads: reports the message with the line being read. Does nothing otherwise.
    void Report(const std::string& message);
    // While the script loads: the reader's cursor is at the start of the line that later reports name.
    void MarkLine(std::size_t position);

private:
    struct UnitVariable {
        engine::WideString name;
        int id = 0;
    };
    struct LocationVariable {
        engine::WideString name;
        HexCoord hex{-1, -1};
    };
    struct TriggerRecord {
        HexCoord hex;
        int unitId = 0;
        ScriptBlock* block = nullptr;
    };
    // Counts line feeds forward through the text being loaded; the cursor only moves forward.
    struct LoadLines {
        MissionDiagnostics* sink = nullptr;
        const char16_t* text = nullptr;
        std::size_t counted = 0;
        int line = 1;
    };

    void Read(engine::ScriptReader& reader, MissionDiagnostics* diagnostics);

    BattleContext& battle_;
    LevelServices& services_;
    TeamManager* teams_ = nullptr;
    std::string folder_;
    std::array<std::unique_ptr<ScriptBlock>, kMaxScriptBlocks> blocks_;
    int blockCount_ = 0;
    std::array<UnitVariable, kScriptUnitVariables> unitVariables_;
    std::array<LocationVariable, kScriptLocationVariables> locationVariables_;
    std::vector<TriggerRecord> triggers_;
    LoadLines load_;
};

}  // namespace game
