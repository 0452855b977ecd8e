// The eleven structures and the door's wall section. A structure is a group of three meshes: the
// team-coloured buildings (the tint material), the fixed fittings (plain paint) and "snow" (roof caps that
// the game shows in snowy weather). Three-hex structures are built in a frame where their hexes stand at
// (-0.4, 0.5), (-0.4, -0.5) and (0.466, 0); the game's placement then puts them on the map.
#include <algorithm>
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

using engine::Matrix44;

constexpr float kHexRadius = 0.5773503f;  // centre to corner of a hex 1 across its flats

struct StructureKits {
    MeshKit tinted;
    MeshKit fixed;
    MeshKit snow;
};

// A roofed block: walls team-coloured, the roof in roof colour with its snow cap.
void House(StructureKits& k, const Vec3& min, const Vec3& max, float roofRise, Swatch walls = kTeam) {
    k.tinted.SetSwatch(walls);
    k.tinted.Box(min, max);
    k.tinted.SetSwatch(kRoof);
    const float inset = std::min(max.x - min.x, max.z - min.z) * 0.45f;
    const bool alongX = max.x - min.x >= max.z - min.z;
    k.tinted.Tapered({min.x - 0.02f, max.y, min.z - 0.02f}, {max.x + 0.02f, max.y + roofRise, max.z + 0.02f},
                     alongX ? 0.02f : inset, alongX ? inset : 0.02f);
    k.snow.SetSwatch(kSnow);
    k.snow.Tapered({min.x - 0.015f, max.y + roofRise * 0.55f, min.z - 0.015f},
                   {max.x + 0.015f, max.y + roofRise + 0.012f, max.z + 0.015f}, alongX ? 0.03f : inset,
                   alongX ? inset : 0.03f);
    k.tinted.SetSwatch(kDark);
    const float doorX = (min.x + max.x) / 2;
    k.tinted.Box({doorX - 0.05f, min.y, min.z - 0.005f}, {doorX + 0.05f, min.y + 0.12f, min.z});
}

// A flat-roofed block with its snow layer.
void Block(StructureKits& k, const Vec3& min, const Vec3& max, Swatch walls = kTeam) {
    k.tinted.SetSwatch(walls);
    k.tinted.Box(min, max);
    k.snow.SetSwatch(kSnow);
    k.snow.Box({min.x + 0.01f, max.y, min.z + 0.01f}, {max.x - 0.01f, max.y + 0.015f, max.z - 0.01f});
}

void Tank(StructureKits& k, const Vec3& base, float radius, float height, Swatch swatch) {
    k.tinted.SetSwatch(swatch);
    k.tinted.Prism(base, base + Vec3{0, height, 0}, radius, 10);
    k.snow.SetSwatch(kSnow);
    k.snow.Prism(base + Vec3{0, height, 0}, base + Vec3{0, height + 0.015f, 0}, radius * 0.95f, 10);
}

void Slabs(StructureKits& k, std::span<const Vec3> hexes) {
    k.fixed.SetSwatch(kConcrete);
    for (const Vec3& c : hexes) k.fixed.HexSlab(c, kHexRadius * 0.94f, -0.05f, 0.03f);
}

constexpr Vec3 kThree[3] = {{-0.4f, 0, 0.5f}, {-0.4f, 0, -0.5f}, {0.466f, 0, 0}};
constexpr Vec3 kOne[1] = {{0, 0, 0}};

void Factory(StructureKits& k) {
    Slabs(k, kThree);
    House(k, {-0.75f, 0.03f, -0.8f}, {-0.05f, 0.4f, 0.8f}, 0.12f);
    Block(k, {0.15f, 0.03f, -0.3f}, {0.75f, 0.3f, 0.3f});
    k.fixed.SetSwatch(kDark);
    k.fixed.Prism({0.6f, 0.3f, 0.15f}, {0.6f, 0.85f, 0.15f}, 0.06f, 8);
    k.fixed.Prism({0.4f, 0.3f, 0.15f}, {0.4f, 0.7f, 0.15f}, 0.05f, 8);
    k.fixed.SetSwatch(kMetal);
    k.fixed.Box({-0.05f, 0.03f, -0.2f}, {0.15f, 0.2f, 0.2f});
}

void Airport(StructureKits& k) {
    Slabs(k, kThree);
    k.tinted.SetSwatch(kTeam);
    k.tinted.Tapered({-0.75f, 0.03f, -0.7f}, {-0.05f, 0.38f, 0.7f}, 0.22f, 0.0f);  // hangar
    k.snow.SetSwatch(kSnow);
    k.snow.Box({-0.53f, 0.38f, -0.68f}, {-0.27f, 0.395f, 0.68f});
    k.tinted.SetSwatch(kDark);
    k.tinted.Box({-0.6f, 0.03f, -0.705f}, {-0.2f, 0.28f, -0.7f});
    Block(k, {0.38f, 0.03f, -0.08f}, {0.54f, 0.6f, 0.08f});  // tower
    k.fixed.SetSwatch(kGlass);
    k.fixed.Box({0.35f, 0.6f, -0.11f}, {0.57f, 0.72f, 0.11f});
    k.snow.Box({0.34f, 0.72f, -0.12f}, {0.58f, 0.74f, 0.12f});
    k.fixed.SetSwatch(kWhite);
    for (int i = 0; i < 4; ++i) k.fixed.Box({0.12f + 0.08f * i, 0.03f, 0.2f}, {0.16f + 0.08f * i, 0.035f, 0.32f});
}

void Dockyard(StructureKits& k) {
    Slabs(k, kThree);
    House(k, {-0.7f, 0.03f, -0.1f}, {-0.1f, 0.32f, 0.75f}, 0.1f);
    Block(k, {-0.7f, 0.03f, -0.75f}, {-0.3f, 0.2f, -0.3f});
    k.fixed.SetSwatch(kYellow);  // crane
    k.fixed.Box({0.35f, 0.03f, -0.05f}, {0.45f, 0.75f, 0.05f});
    k.fixed.Box({0.0f, 0.7f, -0.04f}, {0.75f, 0.78f, 0.04f});
    k.fixed.SetSwatch(kDark);
    k.fixed.Box({0.02f, 0.45f, -0.01f}, {0.04f, 0.7f, 0.01f});
    k.fixed.SetSwatch(kWood);
    k.fixed.Box({0.1f, 0.03f, 0.15f}, {0.3f, 0.15f, 0.3f});
}

void Barracks(StructureKits& k) {
    Slabs(k, kThree);
    House(k, {-0.65f, 0.03f, -0.75f}, {-0.15f, 0.25f, -0.15f}, 0.14f);
    House(k, {-0.65f, 0.03f, 0.15f}, {-0.15f, 0.25f, 0.75f}, 0.14f);
    House(k, {0.2f, 0.03f, -0.3f}, {0.7f, 0.22f, 0.3f}, 0.12f);
    k.fixed.SetSwatch(kMetal);
    k.fixed.Prism({0.0f, 0.03f, 0.0f}, {0.0f, 0.8f, 0.0f}, 0.012f, 4);
    k.tinted.SetSwatch(kTeam);
    k.tinted.Quad({0.0f, 0.8f, 0.0f}, {0.2f, 0.8f, 0.0f}, {0.2f, 0.68f, 0.0f}, {0.0f, 0.68f, 0.0f}, true);  // flag
}

void Headquarters(StructureKits& k) {
    Slabs(k, kThree);
    Block(k, {-0.72f, 0.03f, -0.8f}, {-0.05f, 0.35f, 0.8f});
    Block(k, {-0.55f, 0.35f, -0.5f}, {-0.05f, 0.6f, 0.5f});
    Block(k, {0.1f, 0.03f, -0.35f}, {0.75f, 0.28f, 0.35f});
    k.fixed.SetSwatch(kGlass);
    k.fixed.Box({-0.56f, 0.42f, -0.505f}, {-0.04f, 0.52f, -0.5f});
    k.fixed.SetSwatch(kMetal);
    k.fixed.Prism({-0.3f, 0.6f, 0.2f}, {-0.3f, 1.05f, 0.2f}, 0.015f, 4);
    k.fixed.Cone({-0.3f, 0.75f, -0.2f}, {-0.3f, 0.68f, -0.2f}, 0.12f, 10);  // dish
}

void Silo(StructureKits& k) {
    Slabs(k, kThree);
    Tank(k, kThree[0] + Vec3{0, 0.03f, 0}, 0.3f, 0.7f, kTeam);
    Tank(k, kThree[1] + Vec3{0, 0.03f, 0}, 0.3f, 0.7f, kTeam);
    Tank(k, kThree[2] + Vec3{0, 0.03f, 0}, 0.26f, 0.5f, kTeam);
    k.fixed.SetSwatch(kMetal);
    k.fixed.Box({-0.42f, 0.6f, -0.22f}, {-0.38f, 0.64f, 0.22f});
    k.fixed.Box({-0.2f, 0.4f, -0.02f}, {0.25f, 0.44f, 0.02f});
}

void Pad(StructureKits& k) {
    k.fixed.SetSwatch(kConcrete);
    k.fixed.HexSlab({0, 0, 0}, kHexRadius * 0.92f, -0.04f, 0.02f);
    k.tinted.SetSwatch(kTeam);
    k.tinted.HexSlab({0, 0, 0}, kHexRadius * 0.8f, 0.02f, 0.025f);
    k.tinted.SetSwatch(kWhite);
    k.tinted.HexSlab({0, 0, 0}, kHexRadius * 0.6f, 0.025f, 0.03f);
    k.snow.SetSwatch(kSnow);
    k.snow.HexSlab({0, 0, 0}, kHexRadius * 0.5f, 0.03f, 0.032f);
}

void RepairStation(StructureKits& k) {
    Slabs(k, kOne);
    House(k, {-0.3f, 0.03f, -0.15f}, {0.3f, 0.3f, 0.3f}, 0.1f);
    k.fixed.SetSwatch(kYellow);
    k.fixed.Box({-0.12f, 0.3f, -0.02f}, {0.12f, 0.36f, 0.02f});
    k.fixed.Box({-0.03f, 0.36f, -0.02f}, {0.03f, 0.45f, 0.02f});
}

void Refinery(StructureKits& k) {
    Slabs(k, kOne);
    Tank(k, {-0.18f, 0.03f, 0.12f}, 0.16f, 0.35f, kTeam);
    Tank(k, {0.18f, 0.03f, 0.12f}, 0.16f, 0.35f, kTeam);
    k.fixed.SetSwatch(kMetal);
    k.fixed.Prism({0.0f, 0.03f, -0.2f}, {0.0f, 0.7f, -0.2f}, 0.04f, 6);
    k.fixed.Prism({-0.18f, 0.25f, -0.2f}, {0.18f, 0.25f, -0.2f}, 0.02f, 4);
    k.fixed.SetSwatch(kRed);
    k.fixed.Prism({0.0f, 0.7f, -0.2f}, {0.0f, 0.76f, -0.2f}, 0.05f, 6);
}

void Radio(StructureKits& k) {
    Slabs(k, kOne);
    Block(k, {-0.25f, 0.03f, 0.0f}, {0.1f, 0.2f, 0.3f});
    k.fixed.SetSwatch(kMetal);
    k.fixed.Cone({0.15f, 0.03f, -0.15f}, {0.15f, 1.0f, -0.15f}, 0.09f, 4);
    k.fixed.SetSwatch(kRed);
    k.fixed.BoxAt({0.15f, 1.0f, -0.15f}, {0.04f, 0.04f, 0.04f});
}

void SupplyShed(StructureKits& k) {
    Slabs(k, kOne);
    House(k, {-0.32f, 0.03f, -0.05f}, {0.25f, 0.25f, 0.32f}, 0.1f);
    k.fixed.SetSwatch(kWood);
    k.fixed.Box({-0.3f, 0.03f, -0.32f}, {-0.14f, 0.15f, -0.16f});
    k.fixed.Box({-0.1f, 0.03f, -0.3f}, {0.04f, 0.12f, -0.16f});
    k.fixed.Box({-0.28f, 0.15f, -0.3f}, {-0.16f, 0.25f, -0.18f});
}

// Model path and tint name per type 1..11.
struct StructureRow {
    const char* path;
    const char* tint;
    void (*build)(StructureKits& k);
};

constexpr StructureRow kStructures[] = {
    {"Structures/BuildPad/Pad", "Material", &Pad},
    {"Structures/Factory/Factory", "buildings", &Factory},
    {"Structures/Airport/Airport", "buildings", &Airport},
    {"Structures/Dockyard/Dockyard", "buildings", &Dockyard},
    {"Structures/Barracks/Barracks", "buildings", &Barracks},
    {"Structures/HQ/HQ", "buildings", &Headquarters},
    {"Structures/RepairS/RepairS", "buildings", &RepairStation},
    {"Structures/Refinery/Refinery", "oil_platform", &Refinery},
    {"Structures/Radio/Radio", "buildings", &Radio},
    {"Structures/Silo/Silo", "buildings", &Silo},
    {"Structures/SupplyShed/SupplyShed", "buildings", &SupplyShed},
};

void WriteStructure(ModelOutput& out, const StructureRow& row) {
    const std::string folder = FolderOf(row.path);
    const std::string tint = folder + row.tint;
    WriteTintMaterial(out, tint);
    StructureKits kits;
    row.build(kits);
    std::vector<cntbuild::AuthorNode> nodes(1);
    nodes[0].depth = -1;
    nodes[0].type = 0;
    nodes.push_back(MeshNode(out, folder, "buildings_mesh", 0, kits.tinted, tint, Matrix44()));
    nodes.back().name = "building";
    nodes.push_back(MeshNode(out, folder, "fittings", 0, kits.fixed, kFixedMaterial, Matrix44()));
    nodes.push_back(MeshNode(out, folder, "snow", 0, kits.snow, kFixedMaterial, Matrix44()));
    out.WriteContainer(row.path, nodes);
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
    const std::string folder = FolderOf(row.prototypePath);
    const std::string tint = folder + row.tintMaterialName;
    WriteTintMaterial(out, tint);
    // A wall section across the hex along x, with a gate in the middle, 1.0 high.
    MeshKit wall;
    wall.SetSwatch(kConcrete);
    wall.Box({-0.45f, 0.0f, -0.08f}, {-0.2f, 1.0f, 0.08f});
    wall.Box({0.2f, 0.0f, -0.08f}, {0.45f, 1.0f, 0.08f});
    wall.Box({-0.2f, 0.8f, -0.08f}, {0.2f, 1.0f, 0.08f});
    wall.SetSwatch(kTeam);
    wall.Box({-0.2f, 0.0f, -0.04f}, {0.2f, 0.8f, 0.04f});
    wall.SetSwatch(kMetal);
    for (float x : {-0.12f, 0.0f, 0.12f}) wall.Box({x - 0.01f, 0.0f, -0.05f}, {x + 0.01f, 0.8f, 0.05f});
    std::vector<cntbuild::AuthorNode> nodes(1);
    nodes[0].depth = -1;
    nodes[0].type = 0;
    nodes.push_back(MeshNode(out, folder, "gate", 0, wall, tint, Matrix44()));
    out.WriteContainer(row.prototypePath, nodes, BakeActions(VehicleActions(), 0));
}

}  // namespace modelgen
