// Vehicles, ships and aircraft: a group root holding mesh parts. The hull "Unit" and the named parts the
// classes move carry the tint material where they show the team colour; wheels, tracks, barrels and rotors
// carry the plain paint. A barrel's origin is its pivot and its muzzle lies on its -z axis at the distance
// the class moves the flash; rotors are centred on their node with the blades flat in their node's xz plane.
#include <cmath>

#include "game/battle/battle_types.h"
#include "game/units/unit_catalogue.h"
#include "game/units/unit_class_table.h"
#include "modelgen/actions.h"
#include "modelgen/unit_models.h"

namespace modelgen {
namespace {

using engine::Matrix44;

Matrix44 At(const Vec3& position) {
    Matrix44 m;
    m.SetTranslationV(position);
    return m;
}

class Tree {
public:
    Tree(ModelOutput& out, int type) : out_(out), row_(*game::FindUnitDescriptor(type)) {
        folder_ = FolderOf(row_.prototypePath);
        tint_ = folder_ + row_.tintMaterialName;
        WriteTintMaterial(out_, tint_);
        nodes_.resize(1);
        nodes_[0].depth = -1;
        nodes_[0].type = 0;
    }
    void Part(const std::string& name, int depth, MeshKit& kit, bool tinted, const Vec3& position) {
        nodes_.push_back(MeshNode(out_, folder_, name, depth, kit, tinted ? tint_ : kFixedMaterial, At(position)));
    }
    void Write() {
        const std::vector<ActionPlan> plans = VehicleActions();
        out_.WriteContainer(row_.prototypePath, nodes_, BakeActions(plans, 0));
    }

private:
    ModelOutput& out_;
    const game::UnitDescriptor& row_;
    std::string folder_;
    std::string tint_;
    std::vector<cntbuild::AuthorNode> nodes_;
};

// A wheel with its axle along x.
void Wheel(MeshKit& kit, const Vec3& centre, float radius, float width) {
    kit.SetSwatch(kRubber);
    kit.Prism(centre - Vec3{width / 2, 0, 0}, centre + Vec3{width / 2, 0, 0}, radius, 8);
    kit.SetSwatch(kMetal);
    const float side = centre.x >= 0 ? 1.0f : -1.0f;
    kit.Prism(centre + Vec3{side * width / 2, 0, 0}, centre + Vec3{side * (width / 2 + 0.005f), 0, 0}, radius * 0.5f,
              6);
}

// Wheel or track parts each side: the left at +x, the right at -x, in nodes centred at their side.
void Running(Tree& tree, const std::array<const char*, 2>& names, bool tracks, float x, float length, float radius) {
    for (int side = 0; side < 2; ++side) {
        const float sign = side == 0 ? 1.0f : -1.0f;
        MeshKit kit;
        if (tracks) {
            kit.SetSwatch(kRubber);
            kit.Box({-0.05f, 0.0f, -length / 2}, {0.05f, 2 * radius, length / 2});
            for (int i = 0; i < 4; ++i) {
                const float z = -length / 2 + radius + (length - 2 * radius) * static_cast<float>(i) / 3.0f;
                kit.SetSwatch(kMetal);
                kit.Prism({sign * 0.05f, radius, z}, {sign * 0.056f, radius, z}, radius * 0.7f, 6);
            }
        } else {
            for (int i = 0; i < 3; ++i) {
                const float z = -length / 2 + radius + (length - 2 * radius) * static_cast<float>(i) / 2.0f;
                Wheel(kit, {0, radius, z}, radius, 0.07f);
            }
        }
        tree.Part(names[static_cast<std::size_t>(side)], 0, kit, false, {sign * x, 0, 0});
    }
}

// A hull from y0 to y1 with a sloped front, team-coloured with dark trim.
void Hull(MeshKit& kit, float halfWidth, float halfLength, float y0, float y1) {
    kit.SetSwatch(kTeam);
    const Vec3 c[8] = {{-halfWidth, y0, -halfLength + 0.06f}, {halfWidth, y0, -halfLength + 0.06f},
                       {halfWidth, y0, halfLength},           {-halfWidth, y0, halfLength},
                       {-halfWidth, y1, -halfLength + 0.12f}, {halfWidth, y1, -halfLength + 0.12f},
                       {halfWidth, y1, halfLength - 0.02f},   {-halfWidth, y1, halfLength - 0.02f}};
    kit.Block(c);
    kit.SetSwatch(kDark);
    kit.Box({-halfWidth * 0.8f, y1, halfLength - 0.14f}, {halfWidth * 0.8f, y1 + 0.015f, halfLength - 0.04f});
    kit.SetSwatch(kYellow);
    kit.Box({-halfWidth - 0.005f, y0 + 0.01f, -halfLength + 0.065f},
            {-halfWidth + 0.03f, y0 + 0.03f, -halfLength + 0.075f});
}

// The turret (team-coloured, a hatch on top) and its barrel(s) from the pivot along -z.
struct TurretShape {
    Vec3 size;
    Vec3 position;  // of the turret node
    Vec3 pivot;     // of the barrel node, in the turret's frame
    float length = 0.3f;
    float radius = 0.02f;
    std::vector<float> barrelX = {0.0f};
};

void Turret(Tree& tree, const game::TurretRow& row, const TurretShape& s) {
    MeshKit turret;
    turret.SetSwatch(kTeam);
    turret.Tapered({-s.size.x / 2, 0, -s.size.z / 2}, {s.size.x / 2, s.size.y, s.size.z / 2}, 0.03f, 0.03f);
    turret.SetSwatch(kDark);
    turret.Prism({0.04f, s.size.y, 0.04f}, {0.04f, s.size.y + 0.02f, 0.04f}, 0.035f, 6);
    tree.Part(row.turret, 0, turret, true, s.position);
    if (row.barrel == nullptr) return;
    MeshKit barrel;
    barrel.SetSwatch(kGun);
    barrel.Box({-0.04f - (s.barrelX.back() > 0 ? s.barrelX.back() : 0), -0.03f, -0.03f},
               {0.04f + (s.barrelX.back() > 0 ? s.barrelX.back() : 0), 0.03f, 0.02f});
    for (float x : s.barrelX) {
        barrel.Prism({x, 0, -0.02f}, {x, 0, -s.length}, s.radius, 6);
        barrel.SetSwatch(kDark);
        barrel.Prism({x, 0, -s.length + 0.04f}, {x, 0, -s.length}, s.radius * 1.35f, 6);
        barrel.SetSwatch(kGun);
    }
    tree.Part(row.barrel, 1, barrel, false, s.pivot);
}

// The muzzle distance the class moves its flash along the barrel.
float FlashDistance(const game::UnitClassRow& cls) { return -cls.weapon.effectSteps[0][0].z; }

void Tank(ModelOutput& out, int type) {
    const game::UnitClassRow& cls = game::GetUnitClassRow(type);
    const game::TurretRow& row = *cls.turret;
    Tree tree(out, type);
    const bool light = type == game::UT_LIGHT_TANK;
    const bool heavy = type == game::UT_HEAVY_TANK;
    const bool antiAir = type == game::UT_ANTIAIR;
    const bool artillery = type == game::UT_ARTILLERY;
    MeshKit hull;
    const float halfWidth = heavy ? 0.22f : 0.19f;
    Hull(hull, halfWidth, heavy ? 0.42f : 0.38f, 0.07f, heavy ? 0.22f : 0.2f);
    tree.Part(game::kBodyPartName, 0, hull, true, {});
    Running(tree, row.wheels, !(light || artillery), halfWidth + 0.05f, heavy ? 0.8f : 0.74f,
            light || artillery ? 0.07f : 0.08f);
    TurretShape s;
    const float top = heavy ? 0.22f : 0.2f;
    s.length = FlashDistance(cls);
    if (light) {
        s.size = {0.26f, 0.1f, 0.26f};
        s.position = {0, top, 0.04f};
        s.barrelX = {-0.025f, 0.025f};
        s.radius = 0.012f;
    } else if (heavy) {
        s.size = {0.34f, 0.13f, 0.32f};
        s.position = {0, top, 0.22f};
        s.radius = 0.025f;
    } else if (antiAir) {
        s.size = {0.28f, 0.12f, 0.26f};
        s.position = {0, top, 0.05f};
        s.barrelX = {-0.1f, 0.1f};
        s.radius = 0.012f;
    } else if (artillery) {
        s.size = {0.3f, 0.14f, 0.3f};
        s.position = {0, top, 0.1f};
        s.radius = 0.035f;
    } else {
        s.size = {0.3f, 0.11f, 0.3f};
        s.position = {0, top, 0.06f};
        s.radius = 0.018f;
    }
    s.pivot = {0, s.size.y * 0.5f, -s.size.z / 2 + 0.01f};
    Turret(tree, row, s);
    tree.Write();
}

// The rocket launcher: a truck with a pod of tubes that leans forward-up along the launch direction.
void Mlrs(ModelOutput& out) {
    const game::UnitClassRow& cls = game::GetUnitClassRow(game::UT_MLRS);
    Tree tree(out, game::UT_MLRS);
    MeshKit hull;
    Hull(hull, 0.18f, 0.4f, 0.08f, 0.16f);
    hull.SetSwatch(kTeam);
    hull.Box({-0.17f, 0.16f, -0.36f}, {0.17f, 0.3f, -0.18f});  // cab
    hull.SetSwatch(kGlass);
    hull.Box({-0.15f, 0.22f, -0.365f}, {0.15f, 0.28f, -0.3f});
    Running(tree, cls.turret->wheels, false, 0.22f, 0.74f, 0.07f);
    // The launch frame from the launcher: its origin is the pod's front, its z axis the direction.
    const Matrix44 launch = game::ApplySteps(Matrix44(), cls.weapon.launchSteps);
    const Vec3 front = launch.GetTranslation();
    const Vec3 dir = launch.Row(2).Normalised();
    MeshKit pod;
    pod.SetSwatch(kTeam);
    pod.Prism(front - dir * 0.28f, front, 0.1f, 4);
    pod.SetSwatch(kDark);
    for (int i = 0; i < 4; ++i) {
        const Vec3 offset{(i % 2 == 0 ? -0.04f : 0.04f), (i / 2 == 0 ? -0.03f : 0.03f), 0};
        pod.Prism(front + offset, front + offset + dir * 0.01f, 0.022f, 6);
    }
    // The post under the pod stands on the turning axis, so the hull carries it.
    const Vec3 launcher{0, 0.16f, 0.1f};
    hull.SetSwatch(kMetal);
    hull.Box(launcher + Vec3{-0.05f, 0.0f, -0.05f}, launcher + Vec3{0.05f, front.y - 0.08f, 0.05f});
    tree.Part(game::kBodyPartName, 0, hull, true, {});
    tree.Part(cls.turret->turret, 0, pod, true, launcher);
    tree.Write();
}

// Wheeled carriers with the hull alone: the APC and the supply truck.
void Carrier(ModelOutput& out, int type) {
    Tree tree(out, type);
    MeshKit hull;
    if (type == game::UT_APC) {
        Hull(hull, 0.2f, 0.4f, 0.08f, 0.26f);
        hull.SetSwatch(kDark);
        hull.Box({-0.08f, 0.26f, -0.1f}, {0.08f, 0.3f, 0.1f});
    } else {
        hull.SetSwatch(kTeam);
        hull.Box({-0.17f, 0.08f, -0.4f}, {0.17f, 0.3f, -0.16f});  // cab
        hull.SetSwatch(kGlass);
        hull.Box({-0.15f, 0.2f, -0.405f}, {0.15f, 0.28f, -0.3f});
        hull.SetSwatch(kCanvas);
        hull.Tapered({-0.18f, 0.12f, -0.14f}, {0.18f, 0.34f, 0.4f}, 0.03f, 0.0f);
        hull.SetSwatch(kDark);
        hull.Box({-0.18f, 0.08f, -0.16f}, {0.18f, 0.12f, 0.4f});
    }
    for (float x : {-0.22f, 0.22f}) {
        for (float z : {-0.28f, 0.0f, 0.28f}) Wheel(hull, {x, 0.075f, z}, 0.075f, 0.06f);
    }
    tree.Part(game::kBodyPartName, 0, hull, true, {});
    tree.Write();
}

// A ship's hull: pointed bow at -z, flat deck, the waterline at y 0.
void ShipHull(MeshKit& kit, float halfWidth, float halfLength, float deck) {
    const float z1 = -halfLength + 0.14f;
    const Vec3 leftTop{-halfWidth, deck, z1}, rightTop{halfWidth, deck, z1};
    const Vec3 leftBottom{-halfWidth * 0.7f, -0.06f, z1}, rightBottom{halfWidth * 0.7f, -0.06f, z1};
    const Vec3 bowTop{0, deck, -halfLength}, bowBottom{0, -0.06f, -halfLength + 0.1f};
    kit.SetSwatch(kTeam);
    const Vec3 c[8] = {leftBottom,
                       rightBottom,
                       {halfWidth * 0.8f, -0.06f, halfLength - 0.02f},
                       {-halfWidth * 0.8f, -0.06f, halfLength - 0.02f},
                       leftTop,
                       rightTop,
                       {halfWidth, deck, halfLength},
                       {-halfWidth, deck, halfLength}};
    kit.Block(c);
    kit.Triangle(leftTop, rightTop, bowTop);
    kit.SetSwatch(kHull);
    kit.Quad(leftBottom, leftTop, bowTop, bowBottom);
    kit.Quad(rightBottom, bowBottom, bowTop, rightTop);
    kit.Triangle(leftBottom, bowBottom, rightBottom);
    kit.SetSwatch(kDeck);
    kit.Box({-halfWidth * 0.8f, deck, z1 + 0.06f}, {halfWidth * 0.8f, deck + 0.005f, halfLength - 0.05f});
}

void Ship(ModelOutput& out, int type) {
    Tree tree(out, type);
    const game::UnitClassRow& cls = game::GetUnitClassRow(type);
    MeshKit hull;
    switch (type) {
        case game::UT_FERRY:
            ShipHull(hull, 0.2f, 0.42f, 0.08f);
            hull.SetSwatch(kDark);
            hull.Box({-0.19f, 0.08f, 0.2f}, {0.19f, 0.2f, 0.4f});
            hull.SetSwatch(kYellow);
            hull.Box({-0.2f, 0.085f, -0.2f}, {-0.17f, 0.12f, 0.18f});
            hull.Box({0.17f, 0.085f, -0.2f}, {0.2f, 0.12f, 0.18f});
            break;
        case game::UT_SUBMARINE:
            hull.SetSwatch(kTeam);
            hull.Prism({0, 0.02f, 0.4f}, {0, 0.02f, -0.3f}, 0.08f, 8);
            hull.Cone({0, 0.02f, -0.3f}, {0, 0.02f, -0.43f}, 0.08f, 8);
            hull.SetSwatch(kHull);
            hull.Tapered({-0.03f, 0.08f, -0.12f}, {0.03f, 0.2f, 0.02f}, 0.0f, 0.02f);
            hull.Box({-0.12f, 0.0f, 0.34f}, {0.12f, 0.015f, 0.4f});
            break;
        default: {
            ShipHull(hull, 0.16f, 0.44f, 0.08f);
            hull.SetSwatch(kHull);
            hull.Tapered({-0.1f, 0.08f, 0.02f}, {0.1f, 0.22f, 0.22f}, 0.02f, 0.03f);  // bridge
            hull.SetSwatch(kGlass);
            hull.Box({-0.08f, 0.17f, 0.015f}, {0.08f, 0.2f, 0.03f});
            hull.SetSwatch(kMetal);
            hull.Prism({0, 0.22f, 0.12f}, {0, 0.34f, 0.12f}, 0.012f, 4);  // mast
            hull.SetSwatch(kDark);
            hull.Prism({0, 0.08f, 0.3f}, {0, 0.2f, 0.3f}, 0.04f, 6);  // funnel
            break;
        }
    }
    tree.Part(game::kBodyPartName, 0, hull, true, {});
    if (cls.turret != nullptr) {
        TurretShape s;
        s.length = FlashDistance(cls);
        s.size = {0.16f, 0.08f, 0.14f};
        s.position = {0, 0.085f, type == game::UT_CRUISER ? -0.05f : -0.1f};
        s.pivot = {0, 0.04f, -0.06f};
        s.radius = 0.014f;
        if (type == game::UT_AEGIS) s.barrelX = {-0.1f, 0.1f};
        if (type == game::UT_CRUISER) s.radius = 0.025f;
        Turret(tree, *cls.turret, s);
    }
    tree.Write();
}

// Four blades in the node's xz plane about its origin, with a hub.
void Rotor(MeshKit& kit, float radius) {
    kit.SetSwatch(kRotor);
    kit.Box({-radius, -0.004f, -0.02f}, {radius, 0.004f, 0.02f});
    kit.Box({-0.02f, -0.004f, -radius}, {0.02f, 0.004f, radius});
    kit.SetSwatch(kMetal);
    kit.Prism({0, -0.02f, 0}, {0, 0.012f, 0}, 0.025f, 6);
}

void Aircraft(ModelOutput& out, int type) {
    Tree tree(out, type);
    const game::UnitClassRow& cls = game::GetUnitClassRow(type);
    MeshKit body;
    const bool transport = type == game::UT_SKYHOOK;
    body.SetSwatch(kTeam);
    if (transport) {
        body.Tapered({-0.12f, 0.06f, -0.3f}, {0.12f, 0.3f, 0.3f}, 0.02f, 0.03f);
        body.Box({-0.04f, 0.28f, -0.22f}, {0.04f, 0.36f, -0.18f});
        body.Box({-0.04f, 0.28f, 0.18f}, {0.04f, 0.4f, 0.26f});
        body.SetSwatch(kGlass);
        body.Box({-0.1f, 0.17f, -0.305f}, {0.1f, 0.26f, -0.25f});
    } else {
        const bool bomber = type == game::UT_BOMBER;
        body.Tapered({-0.09f, 0.07f, -0.28f}, {0.09f, 0.25f, 0.08f}, 0.02f, 0.04f);
        body.Tapered({-0.03f, 0.17f, 0.08f}, {0.03f, 0.22f, 0.37f}, 0.0f, 0.0f);  // tail boom
        body.Box({-0.01f, 0.2f, 0.3f}, {0.01f, 0.3f, 0.37f});                     // fin
        body.SetSwatch(kGlass);
        body.Box({-0.07f, 0.15f, -0.285f}, {0.07f, 0.23f, -0.2f});
        body.SetSwatch(kDark);
        const float pylon = bomber ? 0.2f : 0.15f;
        body.Box({-pylon, 0.1f, -0.08f}, {pylon, 0.12f, 0.0f});
        for (float x : {-pylon, pylon}) {
            body.Prism({x, 0.09f, -0.14f}, {x, 0.09f, 0.04f}, bomber ? 0.03f : 0.02f, 6);
        }
        body.SetSwatch(kMetal);
        body.Prism({0, 0.25f, -0.02f}, {0, 0.31f, -0.02f}, 0.02f, 6);  // mast
    }
    body.SetSwatch(kMetal);
    for (float x : {-0.1f, 0.1f}) {
        body.Box({x - 0.01f, 0.0f, -0.22f}, {x + 0.01f, 0.012f, 0.2f});  // skids
        body.Box({x - 0.006f, 0.012f, -0.1f}, {x + 0.006f, 0.07f, -0.09f});
        body.Box({x - 0.006f, 0.012f, 0.1f}, {x + 0.006f, 0.07f, 0.11f});
    }
    tree.Part(game::kBodyPartName, 0, body, true, {});
    MeshKit first;
    MeshKit second;
    if (transport) {
        Rotor(first, 0.22f);
        Rotor(second, 0.22f);
        tree.Part(std::string(cls.rotors[0]), 0, first, false, {0, 0.37f, -0.2f});
        tree.Part(std::string(cls.rotors[1]), 0, second, false, {0, 0.41f, 0.22f});
    } else {
        Rotor(first, 0.38f);
        Rotor(second, 0.07f);
        tree.Part(std::string(cls.rotors[0]), 0, first, false, {0, 0.32f, -0.02f});
        // The tail rotor spins across the boom (its blades turn from the xz plane into the yz plane).
        tree.Part(std::string(cls.rotors[1]), 0, second, false, {0.035f, 0.26f, 0.36f});
    }
    tree.Write();
}

}  // namespace

void WriteVehicle(ModelOutput& out, int type) {
    switch (type) {
        case game::UT_LIGHT_TANK:
        case game::UT_MED_TANK:
        case game::UT_HEAVY_TANK:
        case game::UT_ANTIAIR:
        case game::UT_ARTILLERY:
            Tank(out, type);
            break;
        case game::UT_MLRS:
            Mlrs(out);
            break;
        case game::UT_APC:
        case game::UT_TRUCK:
            Carrier(out, type);
            break;
        case game::UT_FERRY:
        case game::UT_SUBMARINE:
        case game::UT_DESTROYER:
        case game::UT_CRUISER:
        case game::UT_AEGIS:
            Ship(out, type);
            break;
        case game::UT_SKYHOOK:
        case game::UT_BOMBER:
        case game::UT_FIGHTER:
            Aircraft(out, type);
            break;
        default:
            out.Fault("no vehicle model for type " + std::to_string(type));
    }
}

}  // namespace modelgen
