// The eleven structures and the door's wall section, read from "Models/Parts/<model path>.txt"
// (part_source.h). A structure is a group of three meshes: the team-coloured "building" (the tint material),
// the fixed "fittings" (plain paint) and "snow" (roof caps that the game shows in snowy weather). Three-hex
// structures are built in a frame where their hexes stand at (-0.4, 0.5), (-0.4, -0.5) and (0.466, 0); the
// game's placement then puts them on the map.
#include <string>

#include "game/battle/battle_types.h"
#include "game/battle/hex_coord.h"
#include "game/battle/structure_types.h"
#include "game/level/scene_structure_presenter.h"
#include "game/units/unit_catalogue.h"
#include "modelgen/actions.h"
#include "modelgen/structure_models.h"
#include "modelgen/unit_models.h"

namespace modelgen {
namespace {

// Each type's model under the name the game loads, its tint material named as the structure's class looks for it.
void WriteStructure(ModelOutput& out, int type) {
    const std::string path = game::StructureModelPath(type);
    const auto structure = game::MakeStructure(type, game::MakeHexCoord(0, 0), 1, false, nullptr, nullptr);
    const std::string tint = FolderOf(path) + structure->GetTeamMaterialName();
    WriteTintMaterial(out, tint);
    out.WriteContainer(path, PartTree(out, path, tint));
}

}  // namespace

void WriteStructures(ModelOutput& out) {
    WriteSwatches(out);
    for (int type = 1; game::StructureModelPath(type) != nullptr; ++type) WriteStructure(out, type);
}

void WriteDoor(ModelOutput& out) {
    const game::UnitDescriptor& row = *game::FindUnitDescriptor(game::UT_DOOR);
    const std::string tint = FolderOf(row.prototypePath) + row.tintMaterialName;
    WriteTintMaterial(out, tint);
    out.WriteContainer(row.prototypePath, PartTree(out, row.prototypePath, tint),
                       BakeActions(VehicleActions(), 0));
}

}  // namespace modelgen
