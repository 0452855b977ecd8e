#include "game/level/hex_object_list.h"

#include "game/battle/structure_manager.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"

namespace game {

HexCoord HexObjectList::GetHex(int i) const {
    return i >= 0 && i < count_ ? entries_[static_cast<std::size_t>(i)].hex : HexCoord{-1, -1};
}

int HexObjectList::GetKind(int i) const { return i >= 0 && i < count_ ? entries_[static_cast<std::size_t>(i)].kind : kHex; }

Unit* HexObjectList::GetUnit(int i) const {
    return GetKind(i) == kUnit ? static_cast<Unit*>(entries_[static_cast<std::size_t>(i)].object) : nullptr;
}

Structure* HexObjectList::GetStructure(int i) const {
    return GetKind(i) == kStructure ? static_cast<Structure*>(entries_[static_cast<std::size_t>(i)].object) : nullptr;
}

bool HexObjectList::Add(HexCoord hex, int kind, void* object) {
    if (count_ >= kHexObjectListSize) return false;
    entries_[static_cast<std::size_t>(count_++)] = Entry{hex, kind, object};
    return true;
}

void HexObjectList::AddUnitsOfType(const TeamManager* teams, int unitType, int teamKind) {
    const Team* team = teams != nullptr ? teams->FindTeam(teamKind) : nullptr;
    if (team == nullptr) return;
    for (int slot = 0; slot < kMaxTeamUnits; ++slot) {
        Unit* unit = team->GetUnit(slot);
        if (unit == nullptr || unit->GetType() != unitType) continue;
        if (!Add(unit->GetHexPos(), kUnit, unit)) return;
    }
}

void HexObjectList::AddStructuresOfType(const StructureManager& structures, int structureType, int team) {
    for (int slot = 0; slot < kMaxStructures; ++slot) {
        Structure* s = structures.GetStructure(slot);
        if (s == nullptr || s->GetType() != structureType || s->GetTeam() != team) continue;
        if (!Add(s->GetHex(), kStructure, s)) return;
    }
}

bool HexObjectList::AddHex(int column, int row) { return Add(MakeHexCoord(column, row), kHex, nullptr); }

}  // namespace game
