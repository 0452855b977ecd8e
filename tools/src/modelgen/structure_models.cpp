// The eleven structures and the door's wall section, read from "Models/Parts/<model path>.txt"
// (part_source.h). A structure is a group of three meshes: the team-coloured "building" (the tint material),
// the fixed "fittings" (plain paint) and "snow" (roof caps that the game shows in snowy weather). Three-hex
// structures are built in a frame where their hexes stand at (-0.4, 0.5), (-0.4, -0.5) and (0.466, 0); the
// game's placement then puts them on the map.
#include <array>
#include <span>
#include <string>

#include "game/battle/battle_types.h"
#include "game/units/unit_catalogue.h"
#include "modelgen/actions.h"
#include "modelgen/structure_models.h"
#include "modelgen/unit_models.h"

namespace modelgen {
namespace {

// Model path and tint name per type 1..11.
struct StructureRow {
    const char* path;
    const char* tint;
};

constexpr StructureRow kStructures[] = {
    {"Structures/BuildPad/Pad", "Material"},
    {"Structures/Factory/Factory", "buildings"},
    {"Structures/Airport/Airport", "buildings"},
    {"Structures/Dockyard/Dockyard", "buildings"},
    {"Structures/Barracks/Barracks", "buildings"},
    {"Structures/HQ/HQ", "buildings"},
    {"Structures/RepairS/RepairS", "buildings"},
    {"Structures/Refinery/Refinery", "oil_platform"},
    {"Structures/Radio/Radio", "buildings"},
    {"Structures/Silo/Silo", "buildings"},
    {"Structures/SupplyShed/SupplyShed", "buildings"},
};

void WriteStructure(ModelOutput& out, const StructureRow& row) {
    const std::string tint = FolderOf(row.path) + row.tint;
    WriteTintMaterial(out, tint);
    out.WriteContainer(row.path, PartTree(out, row.path, tint));
}

}  // namespace

std::span<const char* const> StructureModelPaths() {
    static const std::array<const char*, 11> paths = [] {
        std::array<const char*, 11> p{};
        for (std::size_t i = 0; i < p.size(); ++i) p[i] = kStructures[i].path;
        return p;
    }();
    return paths;
}

std::span<const char* const> StructureTintNames() {
    static const std::array<const char*, 11> tints = [] {
        std::array<const char*, 11> t{};
        for (std::size_t i = 0; i < t.size(); ++i) t[i] = kStructures[i].tint;
        return t;
    }();
    return tints;
}

void WriteStructures(ModelOutput& out) {
    WriteSwatches(out);
    for (const StructureRow& row : kStructures) WriteStructure(out, row);
}

void WriteDoor(ModelOutput& out) {
    const game::UnitDescriptor& row = *game::FindUnitDescriptor(game::UT_DOOR);
    const std::string tint = FolderOf(row.prototypePath) + row.tintMaterialName;
    WriteTintMaterial(out, tint);
    out.WriteContainer(row.prototypePath, PartTree(out, row.prototypePath, tint),
                       BakeActions(VehicleActions(), 0));
}

}  // namespace modelgen
