// The infantry: one skinned soldier of 16 bones, holding the type's weapon on its right hand, with the actions
// of its kind baked into the bones. The shapes of the soldier ("<folder>Soldier") and of its weapon are read
// from "Models/Parts/" (part_source.h), the skeleton and poses from "Models/Poses/Soldier.txt"
// (pose_source.h); where the weapon sits follows the unit class's muzzle.
#include <cmath>

#include "game/battle/battle_types.h"
#include "game/units/unit_catalogue.h"
#include "game/units/unit_class_table.h"
#include "modelgen/actions.h"
#include "modelgen/unit_models.h"

namespace modelgen {
namespace {

using engine::Matrix44;

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
std::array<Matrix44, kSoldierBones> PoseMatrices(const PoseBook& book, const Pose& pose) {
    const auto& joints = book.joints;
    const auto& parents = book.parents;
    std::array<Matrix44, kSoldierBones> world;
    for (int b = 0; b < kSoldierBones; ++b) {
        Matrix44 local = Turn(pose.turn[b]);
        if (parents[b] < 0) {
            Matrix44 root = Turn(pose.rootTurn);
            Matrix44 both;
            Matrix44::Multiply(local, root, both);
            both.SetRow(3, joints[b] + pose.rootOffset);
            world[b] = both;
        } else {
            local.SetRow(3, joints[b] - joints[parents[b]]);
            Matrix44::Multiply(local, world[parents[b]], world[b]);
        }
    }
    return world;
}

// A weapon node whose effect frame (the class's steps from the node) puts the tip at `tip` in the model,
// firing along -z of the model.
cntbuild::AuthorNode WeaponNode(ModelOutput& out, const std::string& folder, const std::string& name,
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
    PartMesh(out, folder + name, kit);
    cntbuild::AuthorNode part = MeshNode(out, folder, name, 0, kit, kFixedMaterial, node);
    part.attachBone = kRightHandAttach;
    return part;
}

cntbuild::AuthorNode GrenadeNode(ModelOutput& out, const PoseBook& book, const std::string& folder) {
    Matrix44 node;
    node.SetRow(3, book.joints[kRightHand] + Vec3{0, 0.01f, -0.02f});
    MeshKit kit;
    PartMesh(out, folder + game::kGrenadePartName, kit);
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

std::vector<std::array<Matrix44, kSoldierBones>> SoldierFrames(const PoseBook& poses, int type) {
    std::vector<std::array<Matrix44, kSoldierBones>> frames;
    const float scale = ScaleOf(type);
    const auto add = [&](const Pose& pose) {
        std::array<Matrix44, kSoldierBones> world = PoseMatrices(poses, pose);
        // A taller soldier moves its joints apart; its turns stay as they are.
        for (Matrix44& m : world) m.SetRow(3, m.GetTranslation() * scale);
        frames.push_back(world);
    };
    add(Pose{});  // frame 0: the bind pose
    for (const ActionPlan& plan : SoldierActions(poses, KindOf(type))) {
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

void WriteSoldier(ModelOutput& out, const PoseBook& poses, int type) {
    const game::UnitDescriptor& row = *game::FindUnitDescriptor(type);
    const game::UnitClassRow& cls = game::GetUnitClassRow(type);
    const std::string folder = FolderOf(row.prototypePath);
    const std::string tint = folder + row.tintMaterialName;
    WriteTintMaterial(out, tint);

    MeshKit kit;
    PartMesh(out, folder + "Soldier", kit);
    // A taller soldier is scaled with its skeleton (SoldierFrames).
    const float scale = ScaleOf(type);
    if (scale != 1.0f) {
        for (auto& vertex : kit.Mesh().vertices) vertex.position = vertex.position * scale;
    }

    const std::vector<ActionPlan> plans = SoldierActions(poses, KindOf(type));
    mdlbuild::AuthorMesh& mesh = kit.Mesh();
    mesh.boneParents.resize(kSoldierBones);
    mesh.boneFrames.assign(kSoldierBones, {});
    for (int b = 0; b < kSoldierBones; ++b) mesh.boneParents[b] = poses.parents[b] + 1;
    for (const auto& frame : SoldierFrames(poses, type)) {
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
            nodes.push_back(WeaponNode(out, folder, cls.weapon.part, cls.weapon.effectSteps[0], kBazookaTip));
            break;
        case game::UT_GRUNT:
        case game::UT_SNIPER:
            nodes.push_back(WeaponNode(out, folder, cls.weapon.part, cls.weapon.effectSteps[0], kRifleTip));
            break;
        case game::UT_GRENADIER:
            nodes.push_back(GrenadeNode(out, poses, folder));
            break;
        case game::UT_GENERAL:
        case game::UT_SUPERSOLDIER: {
            // The steps start from the model, so they fix the tip; the node carries no steps of its own.
            const Matrix44 effect = game::ApplySteps(Matrix44(), cls.weapon.effectSteps[0]);
            const bool general = type == game::UT_GENERAL;
            nodes.push_back(WeaponNode(out, folder, general ? "general_rifle" : "super_launcher",
                                       game::MatrixSteps{cls.weapon.effectSteps[0][1]}, effect.GetTranslation()));
            break;
        }
        default:
            break;
    }
    out.WriteContainer(row.prototypePath, nodes, BakeActions(plans, 1));
}

}  // namespace modelgen
