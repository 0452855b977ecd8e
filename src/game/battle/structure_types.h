#pragma once
// The eleven structure classes. They differ in type number, footprint (one hex or three), tintable material
// name and whether they produce units; everything else is the base class's.
#include <memory>

#include "game/battle/battle_types.h"
#include "game/battle/structure.h"

namespace game {

// A one-hex structure of a type: BuildPad, RepairS, Refinery, Radio, SupplyShed.
class OneHexStructure : public Structure {
public:
    OneHexStructure(int type, HexCoord hex, int team, StructureManager* manager, BattleContext* battle)
        : Structure(hex, team, manager, battle), type_(type) {}
    int GetType() const override { return type_; }
    const char* GetTeamMaterialName() const override;

private:
    int type_;
};

// A three-hex structure: the anchor, the hex below, and below-left when mirrored or below-right when not.
// Factory, Airport, Dockyard and Barracks produce units on their first pad; HQ and Silo do not.
class ThreeHexStructure : public Structure {
public:
    ThreeHexStructure(int type, HexCoord hex, int team, bool mirrored, StructureManager* manager,
                      BattleContext* battle);
    int GetType() const override { return type_; }
    bool OccupiesHex(HexCoord hex) const override;
    void MarkMapTiles() override;
    const char* GetTeamMaterialName() const override { return "buildings"; }

    // The two extra hexes; false for one that is off the grid.
    bool GetExtraHex(int which, HexCoord& out) const;

private:
    int type_;
};

// The classes by name.

class BuildPad final : public OneHexStructure {
public:
    BuildPad(HexCoord hex, int team, StructureManager* manager, BattleContext* battle)
        : OneHexStructure(kStructureBuildPad, hex, team, manager, battle) {}
};

class RepairS final : public OneHexStructure {
public:
    RepairS(HexCoord hex, int team, StructureManager* manager, BattleContext* battle)
        : OneHexStructure(kStructureRepairS, hex, team, manager, battle) {}
};

class Refinery final : public OneHexStructure {
public:
    Refinery(HexCoord hex, int team, StructureManager* manager, BattleContext* battle)
        : OneHexStructure(kStructureRefinery, hex, team, manager, battle) {}
};

class Radio final : public OneHexStructure {
public:
    Radio(HexCoord hex, int team, StructureManager* manager, BattleContext* battle)
        : OneHexStructure(kStructureRadio, hex, team, manager, battle) {}
};

class SupplyShed final : public OneHexStructure {
public:
    SupplyShed(HexCoord hex, int team, StructureManager* manager, BattleContext* battle)
        : OneHexStructure(kStructureSupplyShed, hex, team, manager, battle) {}
};

class Factory final : public ThreeHexStructure {
public:
    Factory(HexCoord hex, int team, bool mirrored, StructureManager* manager, BattleContext* battle)
        : ThreeHexStructure(kStructureFactory, hex, team, mirrored, manager, battle) {}
};

class Airport final : public ThreeHexStructure {
public:
    Airport(HexCoord hex, int team, bool mirrored, StructureManager* manager, BattleContext* battle)
        : ThreeHexStructure(kStructureAirport, hex, team, mirrored, manager, battle) {}
};

class Dockyard final : public ThreeHexStructure {
public:
    Dockyard(HexCoord hex, int team, bool mirrored, StructureManager* manager, BattleContext* battle)
        : ThreeHexStructure(kStructureDockyard, hex, team, mirrored, manager, battle) {}
};

class Barracks final : public ThreeHexStructure {
public:
    Barracks(HexCoord hex, int team, bool mirrored, StructureManager* manager, BattleContext* battle)
        : ThreeHexStructure(kStructureBarracks, hex, team, mirrored, manager, battle) {}
};

class HQ final : public ThreeHexStructure {
public:
    HQ(HexCoord hex, int team, bool mirrored, StructureManager* manager, BattleContext* battle)
        : ThreeHexStructure(kStructureHQ, hex, team, mirrored, manager, battle) {}
};

class Silo final : public ThreeHexStructure {
public:
    Silo(HexCoord hex, int team, bool mirrored, StructureManager* manager, BattleContext* battle)
        : ThreeHexStructure(kStructureSilo, hex, team, mirrored, manager, battle) {}
};

// The class of a structure type 1..11; null for another type.
std::unique_ptr<Structure> MakeStructure(int type, HexCoord hex, int team, bool mirrored,
                                         StructureManager* manager, BattleContext* battle);
bool IsThreeHexType(int type);

}  // namespace game
