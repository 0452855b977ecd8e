// Vehicles, ships and aircraft: a group root holding mesh parts, read from "Models/Parts/<prototype path>.txt"
// (part_source.h). The hull "Unit" and the named parts the classes move carry the tint material where they show
// the team colour; wheels, tracks, barrels and rotors carry the plain paint. Every part the unit class moves by
// name must be in the list, so that a renamed node fails here rather than in the game.
#include "game/units/unit_catalogue.h"
#include "game/units/unit_class_table.h"
#include "modelgen/actions.h"
#include "modelgen/part_source.h"
#include "modelgen/unit_models.h"

namespace modelgen {
namespace {

using engine::Matrix44;

// The names of the nodes the unit class of that type finds by name.
std::vector<std::string> NamedParts(int type) {
    std::vector<std::string> names = {game::kBodyPartName};
    const game::UnitClassRow& cls = game::GetUnitClassRow(type);
    if (cls.turret != nullptr) {
        names.push_back(cls.turret->turret);
        if (cls.turret->barrel != nullptr) names.push_back(cls.turret->barrel);
        for (const char* wheel : cls.turret->wheels) {
            if (wheel != nullptr) names.push_back(wheel);
        }
    }
    for (const char* rotor : cls.rotors) {
        if (rotor != nullptr) names.push_back(rotor);
    }
    return names;
}

}  // namespace

bool ReadParts(ModelOutput& out, const std::string& path, std::vector<PartNode>& nodes) {
    const std::string source = "Models/Parts/" + path + ".txt";
    std::string error;
    if (!ParsePartText(out.ReadSource(source), source, nodes, error)) {
        out.Fault(error);
        return false;
    }
    return true;
}

std::vector<cntbuild::AuthorNode> WriteParts(ModelOutput& out, const std::string& folder,
                                             const std::vector<PartNode>& parts, const std::string& tint) {
    std::vector<cntbuild::AuthorNode> nodes;
    for (const PartNode& part : parts) {
        MeshKit kit;
        AddShapes(part, kit);
        Matrix44 local;
        local.SetTranslationV(part.position);
        nodes.push_back(MeshNode(out, folder, part.name, part.depth, kit, part.tinted ? tint : kFixedMaterial, local));
    }
    return nodes;
}

void WriteVehicle(ModelOutput& out, int type) {
    const game::UnitDescriptor& row = *game::FindUnitDescriptor(type);
    const std::string folder = FolderOf(row.prototypePath);
    const std::string tint = folder + row.tintMaterialName;
    WriteTintMaterial(out, tint);
    std::vector<PartNode> parts;
    if (!ReadParts(out, row.prototypePath, parts)) return;
    for (const std::string& name : NamedParts(type)) {
        bool found = false;
        for (const PartNode& part : parts) found = found || part.name == name;
        if (!found) out.Fault(std::string(row.prototypePath) + ": the part list has no node \"" + name + "\"");
    }
    std::vector<cntbuild::AuthorNode> nodes(1);
    nodes[0].depth = -1;
    nodes[0].type = 0;
    const std::vector<cntbuild::AuthorNode> meshes = WriteParts(out, folder, parts, tint);
    nodes.insert(nodes.end(), meshes.begin(), meshes.end());
    out.WriteContainer(row.prototypePath, nodes, BakeActions(VehicleActions(), 0));
}

}  // namespace modelgen
