// Vehicles, ships and aircraft: a group root holding mesh parts, read from "Models/Parts/<prototype path>.txt"
// (part_source.h). The hull "Unit" and the named parts the classes move carry the tint material where they show
// the team colour; wheels, tracks, barrels and rotors carry the plain paint. Every part the unit class moves by
// name must be in the list, so that a renamed node fails here rather than in the game, and a barrel must end
// where the class moves its flash.
#include <cmath>

#include "game/units/unit_catalogue.h"
#include "game/units/unit_class_table.h"
#include "modelgen/actions.h"
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

// A barrel's muzzle lies on its -z axis at the distance the class moves the flash, so its mesh ends there.
void CheckBarrel(ModelOutput& out, const std::string& path, const game::UnitClassRow& cls,
                 const std::vector<PartNode>& parts) {
    if (cls.turret == nullptr || cls.turret->barrel == nullptr) return;
    for (const PartNode& part : parts) {
        if (part.name != cls.turret->barrel) continue;
        MeshKit kit;
        AddShapes(part, kit);
        const float flash = cls.weapon.effectSteps[0][0].z;
        if (std::fabs(kit.Min().z - flash) > 1e-4f) {
            out.Fault(path + ": the barrel \"" + part.name + "\" ends at z " + std::to_string(kit.Min().z) +
                      " but the class moves its flash to z " + std::to_string(flash));
        }
    }
}

}  // namespace

void WriteVehicle(ModelOutput& out, int type) {
    const game::UnitDescriptor& row = *game::FindUnitDescriptor(type);
    const std::string tint = FolderOf(row.prototypePath) + row.tintMaterialName;
    WriteTintMaterial(out, tint);
    std::vector<PartNode> parts;
    const std::vector<cntbuild::AuthorNode> nodes = PartTree(out, row.prototypePath, tint, &parts);
    for (const std::string& name : NamedParts(type)) {
        bool found = false;
        for (const cntbuild::AuthorNode& node : nodes) found = found || node.name == name;
        if (!found) out.Fault(std::string(row.prototypePath) + ": the part list has no node \"" + name + "\"");
    }
    CheckBarrel(out, row.prototypePath, game::GetUnitClassRow(type), parts);
    out.WriteContainer(row.prototypePath, nodes, BakeActions(VehicleActions(), 0));
}

}  // namespace modelgen
