#include "game/ai/level_computer_ports.h"

#include "engine/core/random_streams.h"
#include "game/ai/plan_runner.h"
#include "game/battle/battle_context.h"
#include "game/battle/structure.h"
#include "game/battle/structure_manager.h"
#include "game/level/level.h"
#include "game/level/level_services.h"
#include "game/teams/team_manager.h"
#include "game/teams/team_services.h"

namespace game {

int LevelComputerPorts::GetDay() const { return teams_.GetDay(); }

int LevelComputerPorts::GetGameMode() const { return level_.Battle().GetGameMode(); }

int LevelComputerPorts::GetDifficulty() const { return level_.Services().GetDifficulty(); }

float LevelComputerPorts::GetAIConfig(int index) const { return level_.GetAIConfig(index); }

std::array<int, 4> LevelComputerPorts::GetMatchOptions() const { return level_.Services().GetMatchOptions(); }

int LevelComputerPorts::CountOwnedStructures(int teamKind, int structureType) const {
    return level_.GetStructureManager().CountOwned(teamKind, structureType);
}

bool LevelComputerPorts::IsProjectileInFlight() const { return teams_.Services().IsProjectileBusy(); }

bool LevelComputerPorts::IsTeamManagerBusy() const { return teams_.IsBusy(); }

bool LevelComputerPorts::IsStructureEffectRunning() const { return level_.AreStructuresBusy(); }

bool LevelComputerPorts::IsQuickPause() const {
    const BattleContext& battle = level_.Battle();
    return (battle.GetOptionBits() & kOptionInstantMove) != 0 || battle.IsFastForward();
}

bool LevelComputerPorts::IsAnyBlockRunning() const { return teams_.Services().IsAnyBlockRunning(); }

HexMap& LevelComputerPorts::GetHexMap() { return level_.GetHexMap(); }

void LevelComputerPorts::EndBattleZoom() { level_.Services().EndBattleZoom(); }

void LevelComputerPorts::LookAtHex(HexCoord hex) { level_.Services().LookAtHex(hex); }

void LevelComputerPorts::LookAtUnit(Unit& unit) { teams_.Services().LookAtUnit(unit); }

void LevelComputerPorts::FollowUnit(Unit& unit) { teams_.Services().FollowUnit(unit); }

void LevelComputerPorts::UnreserveStructures() {
    const StructureManager& structures = level_.GetStructureManager();
    for (int slot = 0; slot < kMaxStructures; ++slot) {
        if (Structure* structure = structures.GetStructure(slot)) structure->Unreserve();
    }
}

std::unique_ptr<PlanRunner> LevelComputerPorts::CreateRunner() {
    if (!threaded_) return std::make_unique<InlinePlanRunner>();
    return std::make_unique<ThreadPlanRunner>();
}

std::uint32_t LevelComputerPorts::DrawPlanSeed() { return level_.Battle().GetRandomStreams().NextRaw(0); }

}  // namespace game
