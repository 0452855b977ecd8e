// The infantry: one skinned soldier of 16 bones, dressed per type, holding the type's weapon on its right
// hand, with the actions of its kind baked into the bones.
#include <cmath>

#include "game/battle/battle_types.h"
#include "game/units/unit_catalogue.h"
#include "game/units/unit_class_table.h"
#include "modelgen/actions.h"
#include "modelgen/unit_models.h"

namespace modelgen {
namespace {

using engine::Matrix44;

// Parent of each bone (0-based, -1 for the root).
constexpr int kParents[kSoldierBones] = {-1, 0, 1, 2, 2, 4, 5, 2, 7, 8, 0, 10, 11, 0, 13, 14};

// Joints in the bind pose: standing, the weapon held forward in the right hand (right is -x, the soldier
// faces -z).
const Vec3 kJoints[kSoldierBones] = {
    {0, 0.34f, 0},           {0, 0.40f, 0},           {0, 0.50f, 0},           {0, 0.57f, 0},
    {0.09f, 0.53f, 0},       {0.05f, 0.46f, -0.12f},  {-0.06f, 0.45f, -0.24f}, {-0.09f, 0.53f, 0},
    {-0.12f, 0.45f, -0.03f}, {-0.13f, 0.44f, -0.13f}, {0.05f, 0.33f, 0},       {0.05f, 0.18f, 0},
    {0.05f, 0.03f, 0},       {-0.05f, 0.33f, 0},      {-0.05f, 0.18f, 0},      {-0.05f, 0.03f, 0}};

// The right hand's bone as the attach bone of a weapon node (1-based).
constexpr std::uint16_t kRightHandAttach = kRightHand + 1;

Matrix44 Turn(const Vec3& degrees) {
    Matrix44 x, y, z, xy, out;
    x.InitRotationX(degrees.x);
    y.InitRotationY(degrees.y);
    z.InitRotationZ(degrees.z);
    Matrix44::Multiply(x, y, xy);
    Matrix44::Multiply(xy, z, out);
    return out;
}

// Model-space matrices of the bones in the pose.
std::array<Matrix44, kSoldierBones> PoseMatrices(const Pose& pose) {
    std::array<Matrix44, kSoldierBones> world;
    for (int b = 0; b < kSoldierBones; ++b) {
        Matrix44 local = Turn(pose.turn[b]);
        if (kParents[b] < 0) {
            Matrix44 root = Turn(pose.rootTurn);
            Matrix44 both;
            Matrix44::Multiply(local, root, both);
            both.SetRow(3, kJoints[b] + pose.rootOffset);
            world[b] = both;
        } else {
            local.SetRow(3, kJoints[b] - kJoints[kParents[b]]);
            Matrix44::Multiply(local, world[kParents[b]], world[b]);
        }
    }
    return world;
}

struct Dress {
    float scale = 1.0f;     // the super soldier stands taller
    bool cap = false;       // the general wears a cap instead of a helmet
    bool backpack = false;  // the engineer's kit
};

void Limb(MeshKit& kit, int bone, const Vec3& from, const Vec3& to, float radius, Swatch swatch) {
    kit.SetBone(bone);
    kit.SetSwatch(swatch);
    kit.Prism(from, to, radius, 5);
}

void Body(MeshKit& kit, const Dress& dress) {
    const Vec3* j = kJoints;
    kit.SetBone(kPelvis);
    kit.SetSwatch(kTeam);
    kit.Box({-0.075f, 0.30f, -0.045f}, {0.075f, 0.37f, 0.045f});
    kit.SetSwatch(kBoots);
    kit.Box({-0.078f, 0.355f, -0.048f}, {0.078f, 0.375f, 0.048f});  // belt
    kit.SetBone(kSpine);
    kit.SetSwatch(kTeam);
    kit.Box({-0.07f, 0.37f, -0.045f}, {0.07f, 0.45f, 0.045f});
    kit.SetBone(kChest);
    kit.Tapered({-0.09f, 0.44f, -0.055f}, {0.09f, 0.56f, 0.05f}, 0.02f, 0.01f);
    kit.SetSwatch(kUniform);
    kit.Box({-0.05f, 0.47f, 0.05f}, {0.05f, 0.54f, 0.07f});  // pack strap plate
    if (dress.backpack) {
        kit.SetSwatch(kCanvas);
        kit.Box({-0.07f, 0.40f, 0.05f}, {0.07f, 0.56f, 0.12f});
        kit.SetSwatch(kMetal);
        kit.Prism({0.05f, 0.56f, 0.09f}, {0.05f, 0.66f, 0.09f}, 0.008f, 4);  // antenna
    }
    kit.SetBone(kHead);
    kit.SetSwatch(kSkin);
    kit.Box({-0.042f, 0.57f, -0.048f}, {0.042f, 0.655f, 0.042f});
    kit.SetSwatch(kDark);
    kit.Box({-0.03f, 0.61f, -0.052f}, {0.03f, 0.62f, -0.046f});  // eyes
    if (dress.cap) {
        kit.SetSwatch(kTeam);
        kit.Box({-0.05f, 0.645f, -0.05f}, {0.05f, 0.685f, 0.05f});
        kit.SetSwatch(kBrass);
        kit.Box({-0.052f, 0.64f, -0.09f}, {0.052f, 0.65f, -0.04f});  // peak
    } else {
        kit.SetSwatch(kTeam);
        kit.Tapered({-0.055f, 0.635f, -0.058f}, {0.055f, 0.69f, 0.055f}, 0.015f, 0.015f);
    }
    Limb(kit, kLeftUpperArm, j[kLeftUpperArm], j[kLeftForearm], 0.028f, kTeam);
    Limb(kit, kLeftForearm, j[kLeftForearm], j[kLeftHand], 0.024f, kTeam);
    Limb(kit, kRightUpperArm, j[kRightUpperArm], j[kRightForearm], 0.028f, kTeam);
    Limb(kit, kRightForearm, j[kRightForearm], j[kRightHand], 0.024f, kTeam);
    kit.SetSwatch(kSkin);
    kit.SetBone(kLeftHand);
    kit.BoxAt(j[kLeftHand], {0.035f, 0.035f, 0.035f});
    kit.SetBone(kRightHand);
    kit.BoxAt(j[kRightHand], {0.035f, 0.035f, 0.035f});
    Limb(kit, kLeftThigh, j[kLeftThigh], j[kLeftShin], 0.038f, kTeam);
    Limb(kit, kRightThigh, j[kRightThigh], j[kRightShin], 0.038f, kTeam);
    Limb(kit, kLeftShin, j[kLeftShin], j[kLeftFoot], 0.03f, kTeam);
    Limb(kit, kRightShin, j[kRightShin], j[kRightFoot], 0.03f, kTeam);
    kit.SetSwatch(kBoots);
    kit.SetBone(kLeftFoot);
    kit.Box({0.02f, 0.0f, -0.07f}, {0.08f, 0.06f, 0.03f});
    kit.SetBone(kRightFoot);
    kit.Box({-0.08f, 0.0f, -0.07f}, {-0.02f, 0.06f, 0.03f});
    kit.SetBone(-1);
    if (dress.scale != 1.0f) {
        for (auto& vertex : kit.Mesh().vertices) vertex.position = vertex.position * dress.scale;
    }
}

// The weapon's shape, authored with its tip at the origin and its barrel along -z (the body behind, +z).
enum class Weapon { kRifle, kSniperRifle, kBazooka, kLauncher, kGrenade };

void WeaponShape(MeshKit& kit, Weapon weapon) {
    switch (weapon) {
        case Weapon::kRifle:
        case Weapon::kSniperRifle: {
            const bool sniper = weapon == Weapon::kSniperRifle;
            const float barrel = sniper ? 0.3f : 0.22f;
            kit.SetSwatch(kGun);
            kit.Prism({0, 0, 0}, {0, 0, barrel}, 0.009f, 5);
            kit.Box({-0.015f, -0.03f, barrel}, {0.015f, 0.02f, barrel + 0.2f});
            kit.Box({-0.01f, -0.075f, barrel + 0.04f}, {0.01f, -0.03f, barrel + 0.07f});
            kit.SetSwatch(kWood);
            kit.Tapered({-0.014f, -0.06f, barrel + 0.2f}, {0.014f, 0.015f, barrel + 0.3f}, 0.0f, 0.02f);
            if (sniper) {
                kit.SetSwatch(kDark);
                kit.Prism({0, 0.045f, barrel + 0.02f}, {0, 0.045f, barrel + 0.14f}, 0.016f, 6);
            }
            break;
        }
        case Weapon::kBazooka:
        case Weapon::kLauncher: {
            const float r = weapon == Weapon::kLauncher ? 0.042f : 0.03f;
            const float length = weapon == Weapon::kLauncher ? 0.6f : 0.55f;
            kit.SetSwatch(weapon == Weapon::kLauncher ? kDark : kGreen);
            kit.Prism({0, 0, 0}, {0, 0, length}, r, 6);
            kit.SetSwatch(kGun);
            kit.Prism({0, 0, -0.01f}, {0, 0, 0.05f}, r * 1.25f, 6);
            kit.Box({-0.01f, -r - 0.06f, 0.22f}, {0.01f, -r, 0.26f});
            kit.Box({-0.012f, r, 0.12f}, {0.012f, r + 0.03f, 0.18f});
            break;
        }
        case Weapon::kGrenade:
            kit.SetSwatch(kGreen);
            kit.Prism({0, -0.03f, 0}, {0, 0.03f, 0}, 0.026f, 6);
            kit.SetSwatch(kMetal);
            kit.Box({-0.008f, 0.03f, -0.008f}, {0.008f, 0.045f, 0.008f});
            break;
    }
}

// A weapon node whose effect frame (the class's steps from the node) puts the tip at `tip` in the model,
// firing along -z of the model.
cntbuild::AuthorNode WeaponNode(ModelOutput& out, const std::string& folder, const std::string& name, Weapon weapon,
                                const game::MatrixSteps& steps, const Vec3& tip) {
    const Matrix44 effect = game::ApplySteps(Matrix44(), steps);
    const Vec3 tipLocal = effect.GetTranslation();
    const Vec3 dir = effect.Row(2);
    // The node's turn about y that sends the effect's forward axis to -z.
    const float yaw = std::atan2(dir.x, -dir.z) * 57.29578f;
    Matrix44 node;
    node.InitRotationY(yaw);
    node.SetRow(3, tip - node.TransformVector(tipLocal));
    Matrix44 author;
    author.InitRotationY(-yaw);
    author.SetRow(3, tipLocal);
    MeshKit kit;
    kit.SetTransform(author);
    WeaponShape(kit, weapon);
    cntbuild::AuthorNode part = MeshNode(out, folder, name, 0, kit, kFixedMaterial, node);
    part.attachBone = kRightHandAttach;
    return part;
}

cntbuild::AuthorNode GrenadeNode(ModelOutput& out, const std::string& folder) {
    Matrix44 node;
    node.SetRow(3, kJoints[kRightHand] + Vec3{0, 0.01f, -0.02f});
    MeshKit kit;
    WeaponShape(kit, Weapon::kGrenade);
    cntbuild::AuthorNode part = MeshNode(out, folder, game::kGrenadePartName, 0, kit, kFixedMaterial, node);
    part.attachBone = kRightHandAttach;
    return part;
}

SoldierKind KindOf(int type) {
    switch (type) {
        case game::UT_GRUNT:
        case game::UT_SNIPER:
            return SoldierKind::kProne;
        case game::UT_GRENADIER:
            return SoldierKind::kGrenadier;
        case game::UT_ENGINEER:
            return SoldierKind::kEngineer;
        default:
            return SoldierKind::kStanding;
    }
}

// Where each armed soldier's muzzle sits in the bind pose, for the types whose steps start from a weapon
// node (the others' steps start from the model and fix the tip themselves).
const Vec3 kRifleTip{-0.13f, 0.46f, -0.50f};
const Vec3 kBazookaTip{-0.11f, 0.60f, -0.32f};

float ScaleOf(int type) { return type == game::UT_SUPERSOLDIER ? 1.12f : 1.0f; }

}  // namespace

std::vector<std::array<Matrix44, kSoldierBones>> SoldierFrames(int type) {
    std::vector<std::array<Matrix44, kSoldierBones>> frames;
    const float scale = ScaleOf(type);
    const auto add = [&](const Pose& pose) {
        std::array<Matrix44, kSoldierBones> world = PoseMatrices(pose);
        // A taller soldier moves its joints apart; its turns stay as they are.
        for (Matrix44& m : world) m.SetRow(3, m.GetTranslation() * scale);
        frames.push_back(world);
    };
    add(Pose{});  // frame 0: the bind pose
    for (const ActionPlan& plan : SoldierActions(KindOf(type))) {
        const int count = FrameCount(plan);
        for (int i = 0; i < count; ++i) add(SamplePose(plan, static_cast<float>(i) / kFramesPerSecond));
    }
    return frames;
}

bool IsSoldierType(int type) {
    switch (type) {
        case game::UT_TROOPER:
        case game::UT_ENGINEER:
        case game::UT_SNIPER:
        case game::UT_GRENADIER:
        case game::UT_GRUNT:
        case game::UT_GENERAL:
        case game::UT_SUPERSOLDIER:
            return true;
        default:
            return false;
    }
}

void WriteSoldier(ModelOutput& out, int type) {
    const game::UnitDescriptor& row = *game::FindUnitDescriptor(type);
    const game::UnitClassRow& cls = game::GetUnitClassRow(type);
    const std::string folder = FolderOf(row.prototypePath);
    const std::string tint = folder + row.tintMaterialName;
    WriteTintMaterial(out, tint);

    Dress dress;
    dress.scale = ScaleOf(type);
    dress.cap = type == game::UT_GENERAL;
    dress.backpack = type == game::UT_ENGINEER;
    MeshKit kit;
    Body(kit, dress);

    const std::vector<ActionPlan> plans = SoldierActions(KindOf(type));
    mdlbuild::AuthorMesh& mesh = kit.Mesh();
    mesh.boneParents.resize(kSoldierBones);
    mesh.boneFrames.assign(kSoldierBones, {});
    for (int b = 0; b < kSoldierBones; ++b) mesh.boneParents[b] = kParents[b] + 1;
    for (const auto& frame : SoldierFrames(type)) {
        for (int b = 0; b < kSoldierBones; ++b) mesh.boneFrames[static_cast<std::size_t>(b)].push_back(frame[b]);
    }

    std::vector<cntbuild::AuthorNode> nodes(1);
    nodes[0].type = 7;
    nodes[0].depth = -1;
    nodes[0].mesh = folder + "Soldier";
    nodes[0].material = tint;
    out.WriteModel(folder + "Soldier", mesh);

    switch (type) {
        case game::UT_TROOPER:
            nodes.push_back(
                WeaponNode(out, folder, cls.weapon.part, Weapon::kBazooka, cls.weapon.effectSteps[0], kBazookaTip));
            break;
        case game::UT_GRUNT:
            nodes.push_back(
                WeaponNode(out, folder, cls.weapon.part, Weapon::kRifle, cls.weapon.effectSteps[0], kRifleTip));
            break;
        case game::UT_SNIPER:
            nodes.push_back(
                WeaponNode(out, folder, cls.weapon.part, Weapon::kSniperRifle, cls.weapon.effectSteps[0], kRifleTip));
            break;
        case game::UT_GRENADIER:
            nodes.push_back(GrenadeNode(out, folder));
            break;
        case game::UT_GENERAL:
        case game::UT_SUPERSOLDIER: {
            // The steps start from the model, so they fix the tip; the node carries no steps of its own.
            const Matrix44 effect = game::ApplySteps(Matrix44(), cls.weapon.effectSteps[0]);
            const bool general = type == game::UT_GENERAL;
            nodes.push_back(WeaponNode(out, folder, general ? "general_rifle" : "super_launcher",
                                       general ? Weapon::kRifle : Weapon::kLauncher,
                                       game::MatrixSteps{cls.weapon.effectSteps[0][1]}, effect.GetTranslation()));
            break;
        }
        default:
            break;
    }
    out.WriteContainer(row.prototypePath, nodes, BakeActions(plans, 1));
}

}  // namespace modelgen
