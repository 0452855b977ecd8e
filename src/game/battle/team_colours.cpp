#include "game/battle/team_colours.h"

#include "game/battle/battle_types.h"

namespace game {

namespace {
std::uint32_t g_teamColours[kMaxTeamKind + 1] = {};
}  // namespace

void InitTeamColours() {
    g_teamColours[kTeamNeutral] = 0xFFC8C896u;
    g_teamColours[kTeamBlue] = 0xFF3C3CFFu;
    g_teamColours[kTeamGreen] = 0xFF148C14u;
    g_teamColours[kTeamYellow] = 0xFFFFFF3Cu;
    g_teamColours[kTeamEnemy] = 0xFFFF3C3Cu;
}

std::uint32_t GetTeamColour(int teamKind) {
    return teamKind >= 0 && teamKind <= kMaxTeamKind ? g_teamColours[teamKind] : 0u;
}

int TeamControlOfKind(int teamKind) {
    if (teamKind == kTeamEnemy) return kControlComputer;
    if (teamKind >= kTeamBlue && teamKind <= kTeamYellow) return kControlHuman;
    return kControlNone;
}

}  // namespace game
