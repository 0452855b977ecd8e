#pragma once
// A list of up to 128 positions, each a bare hex, a unit or a structure, filled by unit or structure type
// and side. The win and lose checks and the computer player fill it.
#include <array>

#include "game/battle/hex_coord.h"

namespace game {

class Structure;
class TeamManager;
class StructureManager;
class Unit;

inline constexpr int kHexObjectListSize = 128;

class HexObjectList {
public:
    enum Kind : int { kHex = 0, kUnit = 1, kStructure = 2 };

    void Init() { Clear(); }
    void Clear() { count_ = 0; }
    int GetCount() const { return count_; }
    HexCoord GetHex(int i) const;
    int GetKind(int i) const;
    // The object of entry i typed by use; null for a bare hex or an entry out of range.
    Unit* GetUnit(int i) const;
    Structure* GetStructure(int i) const;

    // Every unit of the type in the 48 slots of the team of that kind; nothing for a missing team.
    void AddUnitsOfType(const TeamManager* teams, int unitType, int teamKind);
    void AddStructuresOfType(const StructureManager& structures, int structureType, int team);
    // False, with nothing added, when the list is full.
    bool AddHex(int column, int row);

private:
    struct Entry {
        HexCoord hex;
        int kind = kHex;
        void* object = nullptr;
    };
    bool Add(HexCoord hex, int kind, void* object);

    std::array<Entry, kHexObjectListSize> entries_{};
    int count_ = 0;
};

}  // namespace game
