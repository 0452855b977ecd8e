#include "e2e/battle_walks.h"

#include <algorithm>
#include <cmath>

#include "game/battle/structure.h"
#include "game/battle/structure_manager.h"
#include "game/core/game.h"
#include "game/level/level.h"
#include "game/screens/battle_dialogs.h"
#include "game/screens/hud_zones.h"
#include "game/screens/main_menu_zones.h"
#include "game/screens/match_setup_zones.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"
#include "game/units/unit.h"

namespace e2e {

using game::ZoneId;

std::string Png(const std::string& name) { return std::string(TINMARCH_E2E_PICTURES) + "/" + name + ".png"; }

bool StartSkirmish(ProgramDriver& d) {
    if (!d.WaitForState(game::kGameMainMenu, 60 * kSeconds)) return false;
    if (!d.WaitFor([&d] { return d.IsShown(ZoneId::kMainMenu); }, 10 * kSeconds)) return false;
    d.DumpPng(Png("main_menu"));
    if (!d.Click(ZoneId::kMainMenu, game::kMainPlay)) return false;
    if (!d.WaitFor([&d] { return d.IsShown(ZoneId::kGameType); }, 2 * kSeconds)) return false;
    d.DumpPng(Png("game_type"));
    if (!d.Click(ZoneId::kGameType, game::kTypeSkirmish) || !d.Click(ZoneId::kGameType, game::kTypeStart)) {
        return false;
    }
    if (!d.WaitFor([&d] { return d.IsShown(ZoneId::kSkirmishSetup); }, 2 * kSeconds)) return false;
    d.DumpPng(Png("skirmish_setup"));
    if (!d.Click(ZoneId::kSkirmishSetup, game::kSkirmishSetupStyle.playId)) return false;
    return d.WaitFor([&d] { return d.IsHumanTurn(); }, 30 * kSeconds);
}

bool EndTurnAndWaitForComputer(ProgramDriver& d) {
    const int human = d.CurrentSide();
    if (!d.WaitFor([&d] { return d.IsShown(ZoneId::kTurnButton); }, 5 * kSeconds)) return false;
    if (!d.Click(ZoneId::kTurnButton, game::kHudEndTurn)) return false;
    if (!d.WaitFor([&d] { return d.IsShown(ZoneId::kEndTurnConfirm); }, 2 * kSeconds)) return false;
    d.DumpPng(Png("end_turn_confirm"));
    if (!d.Click(ZoneId::kEndTurnConfirm, game::kEndTurnYes)) return false;
    if (!d.WaitFor([&] { return d.CurrentSide() != human; }, 20 * kSeconds)) return false;
    // The player speeds the computer's turn up with the fast-forward button once it shows.
    if (d.WaitFor([&d] { return d.IsShown(ZoneId::kTurnButton) && d.IsEnabled(ZoneId::kTurnButton, game::kHudFastForward); },
                  10 * kSeconds)) {
        d.Click(ZoneId::kTurnButton, game::kHudFastForward);
    }
    return d.WaitFor([&] { return d.IsHumanTurn() && d.CurrentSide() == human; }, 240 * kSeconds);
}

BattleSnapshot TakeSnapshot(ProgramDriver& d) {
    BattleSnapshot shot;
    game::TeamManager* teams = d.GetGame().GetTeamManager();
    game::Level* level = d.GetGame().GetLevel();
    if (teams == nullptr || level == nullptr) return shot;
    shot.day = d.Day();
    shot.side = d.CurrentSide();
    for (int slot = 0; slot < 8; ++slot) {
        const game::Team* team = teams->GetTeam(slot);
        if (team == nullptr) continue;
        shot.cash.emplace_back(team->GetKind(), team->GetCash());
        for (int index = 0; index < game::kMaxTeamUnits; ++index) {
            const game::Unit* unit = team->GetUnit(index);
            if (unit == nullptr || unit->GetState() == game::kUnitGone) continue;
            shot.units.emplace_back(team->GetKind(), unit->GetType(), unit->GetHexPos().column, unit->GetHexPos().row,
                                    static_cast<int>(std::lround(unit->GetHealth() * 100.0f)));
        }
    }
    const game::StructureManager& structures = level->GetStructureManager();
    for (int slot = 0; slot < game::kMaxStructures; ++slot) {
        const game::Structure* s = structures.GetStructure(slot);
        if (s != nullptr) shot.structures.emplace_back(s->GetType(), s->GetTeam(), s->GetHex().column, s->GetHex().row);
    }
    std::sort(shot.units.begin(), shot.units.end());
    std::sort(shot.structures.begin(), shot.structures.end());
    return shot;
}

}  // namespace e2e
