#include "modelgen/unit_models.h"

#include "game/battle/battle_types.h"
#include "game/units/unit_catalogue.h"
#include "modelgen/part_source.h"

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

namespace {

bool ReadParts(ModelOutput& out, const std::string& path, std::vector<PartNode>& parts) {
    const std::string source = "Models/Parts/" + path + ".txt";
    std::string error;
    if (!ParsePartText(out.ReadSource(source), source, parts, error)) {
        out.Fault(error);
        return false;
    }
    return true;
}

}  // namespace

std::vector<cntbuild::AuthorNode> PartTree(ModelOutput& out, const std::string& path, const std::string& tint,
                                           std::vector<PartNode>* read) {
    std::vector<cntbuild::AuthorNode> nodes(1);
    nodes[0].depth = -1;
    nodes[0].type = 0;
    std::vector<PartNode> own;
    std::vector<PartNode>& parts = read != nullptr ? *read : own;
    if (!ReadParts(out, path, parts)) return nodes;
    const std::string folder = FolderOf(path);
    for (const PartNode& part : parts) {
        MeshKit kit;
        AddShapes(part, kit);
        engine::Matrix44 local;
        local.SetTranslationV(part.position);
        nodes.push_back(MeshNode(out, folder, part.mesh, part.depth, kit, part.tinted ? tint : kFixedMaterial, local));
        nodes.back().name = part.name;
    }
    return nodes;
}

void PartMesh(ModelOutput& out, const std::string& path, MeshKit& kit) {
    std::vector<PartNode> parts;
    if (!ReadParts(out, path, parts)) return;
    if (parts.size() != 1) {
        out.Fault("Models/Parts/" + path + ".txt: a bare model's list holds one node, not " +
                  std::to_string(parts.size()));
        return;
    }
    AddShapes(parts[0], kit);
}

PoseBook ReadPoses(ModelOutput& out) {
    const std::string source = "Models/Poses/Soldier.txt";
    PoseBook book;
    std::string error;
    if (!ParsePoseText(out.ReadSource(source), source, book, error)) out.Fault(error);
    return book;
}

void WriteUnits(ModelOutput& out) {
    const PoseBook poses = ReadPoses(out);
    for (const game::UnitDescriptor& row : game::UnitCatalogue()) {
        if (row.type == game::UT_DOOR) {
            WriteDoor(out);
        } else if (IsSoldierType(row.type)) {
            WriteSoldier(out, poses, row.type);
        } else {
            WriteVehicle(out, row.type);
        }
    }
}

}  // namespace modelgen
