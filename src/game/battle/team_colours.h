#pragma once
// The team palette: one ARGB colour per team kind 0..4, filled once at program start. Structures, units and
// the HUD take team colours from it.
#include <cstdint>

namespace game {

void InitTeamColours();
// The colour of a kind 0..4; 0 for any other.
std::uint32_t GetTeamColour(int teamKind);
// The control of a team kind: kControlNone (neutral), kControlHuman (blue, green, yellow) or
// kControlComputer (enemy).
int TeamControlOfKind(int teamKind);

}  // namespace game
