#include "e2e/battle_walks.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>

#include "engine/gui/dialog_control.h"
#include "engine/platform/engine_root.h"
#include "engine/render/render_target.h"
#include "game/battle/hex_map.h"
#include "game/battle/structure.h"
#include "game/battle/structure_manager.h"
#include "game/core/game.h"
#include "game/level/level.h"
#include "game/screens/battle_dialogs.h"
#include "game/screens/hud_zones.h"
#include "game/screens/main_menu_zones.h"
#include "game/screens/move_choice_zone.h"
#include "game/core/player_ports.h"
#include "game/screens/match_setup_zones.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"
#include "game/units/unit.h"

namespace e2e {

using game::ZoneId;

namespace {

constexpr std::uint16_t kMoveMark = 0x001;

}  // namespace

std::string Png(const std::string& name) { return std::string(TINMARCH_E2E_PICTURES) + "/" + name + ".png"; }

bool OpenSkirmishSetup(ProgramDriver& d) {
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
    return true;
}

bool PlaySkirmish(ProgramDriver& d) {
    if (!d.Click(ZoneId::kSkirmishSetup, game::kSkirmishSetupStyle.playId)) return false;
    return d.WaitFor([&d] { return d.IsHumanTurn(); }, 30 * kSeconds);
}

bool OpenCampaignMap(ProgramDriver& d) {
    if (!d.WaitForState(game::kGameMainMenu, 60 * kSeconds)) return false;
    if (!d.WaitFor([&d] { return d.IsShown(ZoneId::kMainMenu); }, 10 * kSeconds)) return false;
    if (!d.Click(ZoneId::kMainMenu, game::kMainPlay)) return false;
    if (!d.WaitFor([&d] { return d.IsShown(ZoneId::kGameType); }, 2 * kSeconds)) return false;
    if (!d.Click(ZoneId::kGameType, game::kTypeCampaign) || !d.Click(ZoneId::kGameType, game::kTypeStart)) return false;
    return d.WaitFor([&d] { return d.IsShown(ZoneId::kCampaignMap); }, 5 * kSeconds);
}

bool StartSkirmish(ProgramDriver& d) { return OpenSkirmishSetup(d) && PlaySkirmish(d); }

bool EndTurnAndWaitForComputer(ProgramDriver& d) {
    const int human = d.CurrentSide();
    if (!d.WaitFor([&d] { return d.IsShown(ZoneId::kTurnButton); }, 5 * kSeconds)) return false;
    if (!d.Click(ZoneId::kTurnButton, game::kHudEndTurn)) return false;
    if (!d.WaitFor([&] { return d.IsShown(ZoneId::kEndTurnConfirm) || d.CurrentSide() != human; }, 2 * kSeconds)) {
        return false;
    }
    if (d.CurrentSide() == human) {
        d.DumpPng(Png("end_turn_confirm"));
        if (!d.Click(ZoneId::kEndTurnConfirm, game::kEndTurnYes)) return false;
    } else {
        std::printf("NOTE: the turn ended on the turn button without its confirmation (day %d)\n", d.Day());
    }
    // The side passes once the turn's end has played out (its last moves, the next side's start).
    if (!d.WaitFor([&] { return d.CurrentSide() != human; }, 90 * kSeconds)) return false;
    // The player speeds the computer's turn up with the fast-forward button once it shows.
    if (d.WaitFor([&d] { return d.IsShown(ZoneId::kTurnButton) && d.IsEnabled(ZoneId::kTurnButton, game::kHudFastForward); },
                  10 * kSeconds)) {
        d.Click(ZoneId::kTurnButton, game::kHudFastForward);
    }
    return d.WaitFor([&] { return d.IsHumanTurn() && d.CurrentSide() == human; }, 240 * kSeconds);
}

// The choice of the open move-choice dialog with the value: clicked; false when it does not offer it.
bool Choose(ProgramDriver& d, int value) {
    if (!d.IsShown(ZoneId::kMoveChoice)) return false;
    // The first move choice a process meets leaves its picture.
    static bool pictured = false;
    if (!pictured) pictured = d.DumpPng(Png("move_choice"));
    const auto* window = d.Zones().Get(ZoneId::kMoveChoice)->GetWindow();
    for (int i = 0; i < 4; ++i) {
        const engine::DialogControl* button = window->FindControl(game::kFirstChoiceButton + i);
        if (button != nullptr && button->GetDisabled() == 0 &&
            reinterpret_cast<std::intptr_t>(button->GetUserData()) == value) {
            return d.Click(ZoneId::kMoveChoice, game::kFirstChoiceButton + i);
        }
    }
    return false;
}

// A tap on the unit: true once it is the selected one. With another unit selected the game asks whether
// the tapped one is meant; it is.
bool Select(ProgramDriver& d, game::Unit& unit) {
    if (!d.ClickHex(unit.GetHexPos())) return false;
    d.Frames(5);
    if (d.WaitFor([&d] { return d.IsShown(ZoneId::kMoveChoice); }, 10) && !Choose(d, game::kChoiceSelectTapped)) {
        Choose(d, game::kChoiceCancel);
    }
    d.Frames(5);
    return d.GetGame().GetSelectedUnit() == &unit;
}

// A tap on the selected unit lets it go.
void LetGo(ProgramDriver& d, game::Unit& unit) {
    if (d.GetGame().GetSelectedUnit() != &unit) return;
    d.ClickHex(unit.GetHexPos());
    d.Frames(5);
}

// Lets the unit's order play out: true once the human side may give orders again.
bool Settle(ProgramDriver& d) { return d.WaitFor([&d] { return d.IsHumanTurn(); }, 30 * kSeconds); }

bool BringOnScreen(ProgramDriver& d, game::HexCoord hex) {
    const engine::RenderTarget* target = engine::GetEngine()->GetMainRenderTarget();
    const int width = target->Width();
    const int height = target->Height();
    constexpr int kLimit = 60;
    // Which arrow brings a point on the left (on the top) toward the middle is learnt from the first tap
    // that moves it the wrong way.
    bool flipAcross = false;
    bool flipAlong = false;
    int stuck = 0;
    for (int tap = 0; tap < kLimit; ++tap) {
        int x = 0;
        int y = 0;
        const bool shown = d.HexOnScreen(hex, x, y);
        const bool left = x < width / 6;
        const bool right = x > width * 5 / 6;
        const bool up = y < height / 5;
        const bool down = y > height * 4 / 5;
        if (shown && !left && !right && !up && !down) return true;
        // Off screen the projected point still says which way to look; under a window, it is drawn nearer
        // the middle.
        const bool across = left || right;
        const bool towardTop = up || (!down && !shown);
        const SDL_Keycode key = across ? (left != flipAcross ? SDLK_LEFT : SDLK_RIGHT)
                                       : (towardTop != flipAlong ? SDLK_UP : SDLK_DOWN);
        d.TapKey(key);
        int nx = 0;
        int ny = 0;
        d.HexOnScreen(hex, nx, ny);
        // The camera stops at the map's edge: twice no change, and the point is as far in as it gets.
        stuck = nx == x && ny == y ? stuck + 1 : 0;
        if (stuck == 2) return shown;
        if (across && std::abs(nx - width / 2) > std::abs(x - width / 2)) flipAcross = !flipAcross;
        if (!across && std::abs(ny - height / 2) > std::abs(y - height / 2)) flipAlong = !flipAlong;
    }
    return false;
}

bool MoveToward(ProgramDriver& d, game::Unit& unit, game::HexCoord goal, bool beside) {
    if (!BringOnScreen(d, unit.GetHexPos()) || !Select(d, unit)) return false;
    const game::HexMap& map = d.GetGame().GetLevel()->GetHexMap();
    const game::HexCoord from = unit.GetHexPos();
    // How far a hex is from where the unit should end: next to the goal when it acts from beside it.
    const auto miss = [&](game::HexCoord hex) {
        const int distance = game::HexDistance(hex, goal);
        return beside ? std::abs(distance - 1) : distance;
    };
    game::HexCoord best = from;
    int x = 0;
    int y = 0;
    for (int column = 0; column < game::kMapColumns; ++column) {
        for (int row = 0; row < game::kMapRows; ++row) {
            const game::HexCoord hex{static_cast<std::int16_t>(column), static_cast<std::int16_t>(row)};
            if (!game::IsValidHex(hex) || (map.GetMarkBits(hex) & kMoveMark) == 0 || !d.HexOnScreen(hex, x, y)) continue;
            if (miss(hex) < miss(best)) best = hex;
        }
    }
    if (best == from) {
        LetGo(d, unit);
        return false;
    }
    if (!d.ClickHex(best)) return false;
    const bool moved = d.WaitFor([&] { return unit.GetHexPos() == best; }, 20 * kSeconds);
    Settle(d);
    return moved;
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
