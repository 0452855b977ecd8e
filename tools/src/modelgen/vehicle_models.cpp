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

void WriteVehicle(ModelOutput& out, int type) {
    const game::UnitDescriptor& row = *game::FindUnitDescriptor(type);
    const std::string tint = FolderOf(row.prototypePath) + row.tintMaterialName;
    WriteTintMaterial(out, tint);
    const std::vector<cntbuild::AuthorNode> nodes = PartTree(out, row.prototypePath, tint);
    for (const std::string& name : NamedParts(type)) {
        bool found = false;
        for (const cntbuild::AuthorNode& node : nodes) found = found || node.name == name;
        if (!found) out.Fault(std::string(row.prototypePath) + ": the part list has no node \"" + name + "\"");
    }
    out.WriteContainer(row.prototypePath, nodes, BakeActions(VehicleActions(), 0));
}

}  // namespace modelgen
