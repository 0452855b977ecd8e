#include "modelgen/unit_models.h"

#include "game/battle/battle_types.h"
#include "game/units/unit_catalogue.h"

namespace modelgen {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void WriteTintMaterial(ModelOutput& out, const std::string& path) {
    out.WriteMaterialFromSource(path, "Materials/tint.txt", {{"texture", kSwatchTexture}});
}

cntbuild::AuthorNode MeshNode(ModelOutput& out, const std::string& folder, const std::string& name, int depth,
                              MeshKit& kit, const std::string& material, const engine::Matrix44& local) {
    out.WriteModel(folder + name, kit.Mesh());
    cntbuild::AuthorNode node;
    node.name = name;
    node.type = 1;
    node.depth = depth;
    node.mesh = folder + name;
    node.material = material;
    node.local = local;
    return node;
}

void WriteUnits(ModelOutput& out) {
    for (const game::UnitDescriptor& row : game::UnitCatalogue()) {
        if (row.type == game::UT_DOOR) {
            WriteDoor(out);
        } else if (IsSoldierType(row.type)) {
            WriteSoldier(out, row.type);
        } else {
            WriteVehicle(out, row.type);
        }
    }
}

}  // namespace modelgen
