// Setting up the sides of a new battle: which teams the map uses, their start units and start cash.
#include "engine/core/random_streams.h"
#include "game/battle/battle_context.h"
#include "game/battle/structure.h"
#include "game/level/level.h"
#include "game/level/level_services.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"

namespace game {

void PlaceStartUnits(HexMap& map, Team& team, BattleContext& battle) {
    const int kind = battle.GetGameMode() == kGameModeSkirmish && team.GetKind() == kTeamEnemy ? kTeamGreen : team.GetKind();
    engine::RandomStreams& random = battle.GetRandomStreams();
    for (int row = 0; row < kMapRows; ++row) {
        for (int column = 0; column < kMapColumns; ++column) {
            const HexCoord hex = MakeHexCoord(column, row);
            HexTile* tile = map.EditTile(hex);
            if (tile == nullptr || tile->objectOwner != kind) continue;
            if (tile->objectClass == kObjectUnitStart) {
                const int unitType = tile->objectType;
                team.SpawnUnit(unitType, hex, random.NextInt(0, 5, 0), false, 1.0f);
                tile->objectClass = kObjectNone;
                tile->objectType = 0;
                tile->objectOwner = 0;
            } else if (tile->objectClass == kObjectFeature && tile->objectType == kFeatureDoor) {
                team.SpawnUnit(UT_DOOR, hex, random.NextInt(0, 5, 0), false, 1.0f);
            }
        }
    }
}

void Level::SetupTeams(TeamManager& teams) {
    teams.SetStructureManager(structures_.get());
    script_->SetTeamManager(&teams);
    const int mode = battle_.GetGameMode();
    const bool skirmish = mode == kGameModeSkirmish;
    teams.SetSettingUp(true);
    for (int kind = kTeamNeutral; kind <= kTeamEnemy; ++kind) {
        if (skirmish && kind == kTeamEnemy) continue;
        // Structures are counted on the structure manager: the map's footprint tiles of three-hex buildings
        // and its build pads carry no owner, and would bring a neutral team onto every map.
        bool owns = false;
        for (int slot = 0; slot < kMaxStructures && !owns; ++slot) {
            const Structure* s = structures_->GetStructure(slot);
            owns = s != nullptr && s->GetType() != kStructureBuildPad && s->GetTeam() == kind;
        }
        const bool used = map_->CountUnitStartTiles(kind) > 0 || owns;
        if (!used && kind != kTeamBlue && !(skirmish && kind == kTeamGreen)) continue;
        const int teamKind = skirmish && kind == kTeamGreen ? kTeamEnemy : kind;
        Team* team = teams.GetOrCreateTeam(teamKind);
        if (team == nullptr) continue;
        PlaceStartUnits(*map_, *team, battle_);
        if (skirmish && teamKind == kTeamEnemy) structures_->HandOverTeam2To4();
        if (mode == kGameModeCampaign) {
            const CampaignStartCash cash = services_.GetCampaignStartCash();
            team->SetCash(teamKind >= kTeamBlue && teamKind <= kTeamYellow ? cash.first : cash.second);
        } else {
            const auto options = services_.GetMatchOptions();
            if (teamKind == kTeamBlue) team->SetCash(options[0]);
            if (teamKind == kTeamGreen || teamKind == kTeamEnemy) team->SetCash(options[1]);
        }
    }
    teams.SetSettingUp(false);
}

}  // namespace game
