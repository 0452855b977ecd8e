#pragma once
// The computer player's map scan: each tile's unit weight (own units add, others subtract) and, per
// defender type, the threat the other sides' units pose there this turn. It writes only the map it is given
// (the plan's own copy) and no unit field.
namespace game {

class AIPlayer;
class HexMap;
class Team;
class TeamManager;
class Unit;

// w = kills x 0.25 + 0.5 (negated when removing) on the unit's tile, 0.75 w on each open land neighbour.
void ApplyTileWeight(HexMap& map, const Unit& unit, bool add);
// Every tile the unit could attack this turn, moving up to the budget first, gains for each defender type
// health x min(damage table, 1) x 100.
void ApplyThreat(HexMap& map, const Unit& unit, float budget);
// Every placed unit of the team adds (own) or subtracts its weight; own units that the computer player holds
// immobilised weigh nothing.
void ApplyUnitWeights(HexMap& map, const Team& team, bool own, const AIPlayer* computer);
// Every placed unit of the team adds its threat, reaching as far as its full move allowance.
void ApplyTeamThreat(HexMap& map, const Team& team);
// Clears the weights and threats, then every playing side adds its weights; the others' threat first.
void RebuildTileScratch(HexMap& map, const TeamManager& teams, int teamKind, const AIPlayer* computer);

}  // namespace game
