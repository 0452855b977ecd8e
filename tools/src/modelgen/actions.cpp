#include "modelgen/actions.h"

#include <algorithm>
#include <cmath>

namespace modelgen {
namespace {

using cntbuild::EndMode;
using engine::Vec3;

// The bind pose holds the weapon forward at chest height; the relaxed stance lowers the arms a little.
Pose Aiming() { return Pose{}; }

Pose Relaxed() {
    Pose p;
    p.turn[kRightUpperArm] = {-25, 0, 0};
    p.turn[kLeftUpperArm] = {-30, 0, 8};
    p.turn[kLeftForearm] = {-10, 0, 0};
    return p;
}

Pose Breath(float lift) {
    Pose p = Relaxed();
    p.turn[kChest] = {-2.0f * lift, 0, 0};
    p.turn[kHead] = {3.0f * lift, 0, 0};
    p.rootOffset = {0, -0.004f * lift, 0};
    return p;
}

// Lying on the belly, head forward, the weapon held out in front.
Pose Prone(float shift = 0.0f) {
    Pose p;
    p.rootTurn = {-82, 0, 0};
    p.rootOffset = {0, -0.27f, -0.12f};
    p.turn[kHead] = {55, 0, 0};
    p.turn[kChest] = {8, 0, 0};
    p.turn[kRightUpperArm] = {-50 + shift, 0, 0};
    p.turn[kLeftUpperArm] = {-45 + shift, 0, 0};
    p.turn[kLeftThigh] = {0, 0, 8};
    p.turn[kRightThigh] = {0, 0, -8};
    return p;
}

Pose Crouch(float depth) {
    Pose p = Relaxed();
    p.rootOffset = {0, -0.11f * depth, 0.02f * depth};
    p.turn[kLeftThigh] = p.turn[kRightThigh] = {70 * depth, 0, 0};
    p.turn[kLeftShin] = p.turn[kRightShin] = {-110 * depth, 0, 0};
    p.turn[kLeftFoot] = p.turn[kRightFoot] = {40 * depth, 0, 0};
    p.turn[kChest] = {-20 * depth, 0, 0};
    return p;
}

Pose Cowering(float shake) {
    Pose p = Crouch(1.0f);
    p.turn[kChest] = {-40, shake, 0};
    p.turn[kHead] = {-20, 0, 0};
    p.turn[kLeftUpperArm] = {150, 0, -20};
    p.turn[kRightUpperArm] = {150, 0, 20};
    p.turn[kLeftForearm] = p.turn[kRightForearm] = {60, 0, 0};
    return p;
}

Pose Stride(float phase) {
    const float s = std::sin(phase * 6.2831853f);
    const float c = std::cos(phase * 6.2831853f);
    Pose p = Relaxed();
    p.rootOffset = {0, -0.012f + 0.012f * std::fabs(c), 0};
    p.turn[kSpine] = {-10, 0, 0};
    p.turn[kLeftThigh] = {35 * s, 0, 0};
    p.turn[kRightThigh] = {-35 * s, 0, 0};
    p.turn[kLeftShin] = {-30 - 30 * std::max(0.0f, -s), 0, 0};
    p.turn[kRightShin] = {-30 - 30 * std::max(0.0f, s), 0, 0};
    p.turn[kLeftUpperArm].x += -20 * s;
    p.turn[kRightUpperArm].x += 10 * s;
    return p;
}

Pose ArmsUp(float wave) {
    Pose p;
    p.turn[kLeftUpperArm] = {150, 0, 20 + wave};
    p.turn[kRightUpperArm] = {150, 0, -20 - wave};
    p.turn[kHead] = {10, 0, 0};
    return p;
}

Pose Fallen(float amount) {
    Pose p = Relaxed();
    p.rootTurn = {80 * amount, 0, 0};
    p.rootOffset = {0, -0.28f * amount, 0.25f * amount};
    p.turn[kLeftUpperArm] = {-20, 0, 60 * amount};
    p.turn[kRightUpperArm] = {-20, 0, -60 * amount};
    p.turn[kLeftThigh] = {20 * amount, 0, 10 * amount};
    p.turn[kHead] = {-20 * amount, 30 * amount, 0};
    return p;
}

Pose Flinch(float x, float z) {
    Pose p = Relaxed();
    p.turn[kChest] = {x, 0, z};
    p.turn[kHead] = {x * 0.8f, 0, z};
    p.rootOffset = {z * 0.001f, 0, x * 0.001f};
    return p;
}

Pose Look(float yaw) {
    Pose p = Relaxed();
    p.turn[kHead] = {0, yaw, 0};
    p.turn[kChest] = {0, yaw * 0.3f, 0};
    return p;
}

Pose Kneel(float amount) {
    Pose p = Relaxed();
    p.rootOffset = {0, -0.15f * amount, 0};
    p.turn[kLeftThigh] = {90 * amount, 0, 0};
    p.turn[kLeftShin] = {-90 * amount, 0, 0};
    p.turn[kRightThigh] = {-5 * amount, 0, 0};
    p.turn[kRightShin] = {-120 * amount, 0, 0};
    p.turn[kChest] = {-35 * amount, 0, 0};
    p.turn[kHead] = {-35 * amount, 0, 0};
    return p;
}

ActionPlan Plan(const char* name, EndMode end, float seconds, std::vector<PoseKey> keys, const char* target = "") {
    return ActionPlan{name, end, target, seconds, std::move(keys)};
}

ActionPlan Loop(const char* name, float seconds, std::vector<PoseKey> keys) {
    return Plan(name, EndMode::kLoop, seconds, std::move(keys));
}
ActionPlan Hold(const char* name, float seconds, std::vector<PoseKey> keys) {
    return Plan(name, EndMode::kHold, seconds, std::move(keys));
}

std::vector<PoseKey> Walk() {
    std::vector<PoseKey> keys;
    for (int i = 0; i < 8; ++i)
        keys.push_back({0.6f * static_cast<float>(i) / 8.0f, Stride(static_cast<float>(i) / 8.0f)});
    return keys;
}

Pose Seated() {
    Pose p = Relaxed();
    p.rootOffset = {0, -0.14f, 0};
    p.turn[kLeftThigh] = p.turn[kRightThigh] = {85, 0, 0};
    p.turn[kLeftShin] = p.turn[kRightShin] = {-85, 0, 0};
    return p;
}

Pose Hanging(float swing) {
    Pose p = ArmsUp(0);
    p.turn[kLeftThigh] = {swing, 0, 0};
    p.turn[kRightThigh] = {-swing, 0, 0};
    return p;
}

// The actions every soldier shares, in the order written (a spawn's target comes first).
void Common(std::vector<ActionPlan>& plans, bool prone) {
    const Pose rest = prone ? Prone() : Relaxed();
    plans.push_back(Loop("default", 1.0f, {{0, rest}}));
    plans.push_back(Loop("idle", 2.0f,
                         prone ? std::vector<PoseKey>{{0, Prone()}, {1.0f, Prone(6)}}
                               : std::vector<PoseKey>{{0, Breath(0)}, {1.0f, Breath(1)}}));
    plans.push_back(Loop("run", 0.6f, Walk()));
    plans.push_back(Loop("drive", 1.0f, {{0, Seated()}}));
    plans.push_back(Loop("dangle", 1.2f, {{0, Hanging(12)}, {0.6f, Hanging(-12)}}));
    Pose up = Relaxed();
    up.rootOffset = {0, 0.16f, 0};
    plans.push_back(Hold("jump", 0.7f, {{0, Relaxed()}, {0.15f, Crouch(0.5f)}, {0.4f, up}, {0.7f, Relaxed()}}));
    plans.push_back(Hold("w00t", 1.0f, {{0, Relaxed()}, {0.3f, ArmsUp(0)}, {0.7f, ArmsUp(15)}, {1.0f, Relaxed()}}));
    Pose hop = Relaxed();
    hop.rootOffset = {0, 0.08f, -0.1f};
    plans.push_back(Hold("embark", 0.5f, {{0, Relaxed()}, {0.25f, hop}, {0.5f, Crouch(0.3f)}}));
    plans.push_back(Hold("disembark", 0.5f, {{0, Crouch(0.3f)}, {0.25f, hop}, {0.5f, Relaxed()}}));
    Pose jumpUp = ArmsUp(10);
    jumpUp.rootOffset = {0, 0.06f, 0};
    plans.push_back(Loop("celebrate", 1.0f, {{0, ArmsUp(0)}, {0.5f, jumpUp}}));
    plans.push_back(Loop("despair", 1.6f, {{0, Kneel(1.0f)}, {0.8f, Kneel(0.92f)}}));
    plans.push_back(Loop("cowerloop", 1.0f, {{0, Cowering(-4)}, {0.5f, Cowering(4)}}));
    plans.push_back(Plan("cower", EndMode::kSpawn, 0.4f, {{0, rest}, {0.4f, Cowering(-4)}}, "cowerloop"));
    plans.push_back(Hold("bored1", 2.0f, {{0, Relaxed()}, {0.5f, Look(50)}, {1.3f, Look(-50)}, {2.0f, Relaxed()}}));
    plans.push_back(Hold("bored2", 1.8f, {{0, Relaxed()}, {0.6f, ArmsUp(30)}, {1.2f, ArmsUp(35)}, {1.8f, Relaxed()}}));
    Pose scratch = Relaxed();
    scratch.turn[kRightUpperArm] = {140, 0, -30};
    scratch.turn[kRightForearm] = {90, 0, 0};
    plans.push_back(Hold("bored3", 1.6f, {{0, Relaxed()}, {0.5f, scratch}, {1.1f, scratch}, {1.6f, Relaxed()}}));
    Pose shift = Relaxed();
    shift.rootOffset = {0.02f, 0, 0};
    shift.turn[kLeftThigh] = {0, 0, 8};
    plans.push_back(Hold("bored4", 2.2f, {{0, Relaxed()}, {0.7f, shift}, {1.5f, shift}, {2.2f, Relaxed()}}));
    Pose check = Aiming();
    check.turn[kHead] = {-30, 0, 0};
    plans.push_back(Hold("bored5", 2.4f, {{0, Relaxed()}, {0.6f, check}, {1.8f, check}, {2.4f, Relaxed()}}));
    plans.push_back(Hold("aim", 0.4f,
                         prone ? std::vector<PoseKey>{{0, Prone()}, {0.4f, Prone(8)}}
                               : std::vector<PoseKey>{{0, Relaxed()}, {0.4f, Aiming()}}));
    Pose kick = prone ? Prone(14) : Aiming();
    kick.turn[kChest].x += 6;
    kick.turn[kRightUpperArm].x += 12;
    if (prone) {
        plans.push_back(Plan("shoot", EndMode::kSpawn, 0.4f, {{0, Prone(8)}, {0.08f, kick}, {0.4f, Prone()}}, "idle"));
    } else {
        plans.push_back(Hold("shoot", 0.4f, {{0, Aiming()}, {0.08f, kick}, {0.4f, Aiming()}}));
    }
    plans.push_back(Hold("hit1", 0.4f, {{0, Relaxed()}, {0.1f, Flinch(18, 0)}, {0.4f, Relaxed()}}));
    plans.push_back(Hold("hit2", 0.4f, {{0, Relaxed()}, {0.1f, Flinch(8, 15)}, {0.4f, Relaxed()}}));
    plans.push_back(Hold("hit3", 0.4f, {{0, Relaxed()}, {0.1f, Flinch(8, -15)}, {0.4f, Relaxed()}}));
    plans.push_back(
        Hold("die", 1.4f, {{0, Flinch(10, 0)}, {0.5f, Fallen(0.6f)}, {0.9f, Fallen(1.0f)}, {1.4f, Fallen(1.0f)}}));
}

constexpr const char* kBoneNames[kSoldierBones] = {
    "pelvis",         "spine",         "chest",      "head",       "left_upper_arm", "left_forearm",
    "left_hand",      "right_upper_arm", "right_forearm", "right_hand", "left_thigh",     "left_shin",
    "left_foot",      "right_thigh",   "right_shin", "right_foot"};

}  // namespace

const char* BoneName(int bone) { return bone >= 0 && bone < kSoldierBones ? kBoneNames[bone] : ""; }

bool FindBone(const std::string& name, int& bone) {
    for (int b = 0; b < kSoldierBones; ++b) {
        if (name == kBoneNames[b]) {
            bone = b;
            return true;
        }
    }
    return false;
}

std::vector<ActionPlan> SoldierActions(SoldierKind kind) {
    std::vector<ActionPlan> plans;
    const bool prone = kind == SoldierKind::kProne;
    Common(plans, prone);
    if (prone) {
        plans.push_back(Loop("stoodidle", 2.0f, {{0, Breath(0)}, {1.0f, Breath(1)}}));
        plans.push_back(Hold("stand", 0.8f, {{0, Prone()}, {0.4f, Kneel(0.8f)}, {0.8f, Relaxed()}}));
        plans.push_back(Hold("getdown", 0.8f, {{0, Relaxed()}, {0.4f, Kneel(0.8f)}, {0.8f, Prone()}}));
        plans.push_back(
            Plan("getup", EndMode::kSpawn, 0.6f, {{0, Prone()}, {0.3f, Kneel(0.8f)}, {0.6f, Stride(0)}}, "run"));
    }
    if (kind == SoldierKind::kGrenadier) {
        Pose back = Relaxed();
        back.turn[kRightUpperArm] = {-120, 0, -20};
        back.turn[kChest] = {0, 25, 0};
        Pose out = Relaxed();
        out.turn[kRightUpperArm] = {70, 0, 0};
        out.turn[kChest] = {-10, -20, 0};
        plans.push_back(Hold("shoot1", 0.5f, {{0, Relaxed()}, {0.5f, back}}));
        plans.push_back(Hold("shoot2", 0.4f, {{0, back}, {0.15f, out}, {0.4f, Relaxed()}}));
    }
    if (kind == SoldierKind::kEngineer) {
        Pose reach = Aiming();
        reach.turn[kLeftUpperArm] = {10, 0, 0};
        reach.turn[kChest] = {-10, 0, 0};
        Pose reach2 = reach;
        reach2.turn[kChest] = {-14, 4, 0};
        plans.push_back(Loop("suck", 1.0f, {{0, reach}, {0.5f, reach2}}));
        Pose leap = ArmsUp(0);
        leap.rootOffset = {0, 0.3f, -0.3f};
        plans.push_back(
            Hold("jumpin", 0.8f, {{0, Relaxed()}, {0.2f, Crouch(0.6f)}, {0.5f, leap}, {0.8f, Crouch(0.8f)}}));
    }
    return plans;
}

std::vector<ActionPlan> VehicleActions() {
    std::vector<ActionPlan> plans;
    for (const char* name : {"default", "idle", "run", "drive", "dangle"}) plans.push_back(Loop(name, 1.0f, {}));
    plans.push_back(Hold("jump", 0.7f, {}));
    plans.push_back(Hold("w00t", 1.0f, {}));
    plans.push_back(Hold("embark", 0.5f, {}));
    plans.push_back(Hold("disembark", 0.5f, {}));
    return plans;
}

Pose SamplePose(const ActionPlan& plan, float t) {
    if (plan.keys.empty()) return Pose{};
    std::vector<PoseKey> keys = plan.keys;
    if (plan.end == EndMode::kLoop) keys.push_back({plan.seconds, keys.front().pose});
    if (t <= keys.front().time) return keys.front().pose;
    for (std::size_t i = 1; i < keys.size(); ++i) {
        if (t > keys[i].time) continue;
        const float span = keys[i].time - keys[i - 1].time;
        float f = span > 0 ? (t - keys[i - 1].time) / span : 1.0f;
        f = f * f * (3 - 2 * f);
        Pose p;
        const Pose& a = keys[i - 1].pose;
        const Pose& b = keys[i].pose;
        for (int k = 0; k < kSoldierBones; ++k) p.turn[k] = a.turn[k] + (b.turn[k] - a.turn[k]) * f;
        p.rootOffset = a.rootOffset + (b.rootOffset - a.rootOffset) * f;
        p.rootTurn = a.rootTurn + (b.rootTurn - a.rootTurn) * f;
        return p;
    }
    return keys.back().pose;
}

int FrameCount(const ActionPlan& plan) {
    const int steps = std::max(1, static_cast<int>(std::lround(plan.seconds * kFramesPerSecond)));
    return plan.end == EndMode::kLoop ? steps : steps + 1;
}

std::vector<cntbuild::AuthorAction> BakeActions(const std::vector<ActionPlan>& plans, int first) {
    std::vector<cntbuild::AuthorAction> actions;
    int frame = first;
    for (const ActionPlan& plan : plans) {
        cntbuild::AuthorAction action;
        action.name = plan.name;
        action.end = plan.end;
        action.target = plan.target;
        const int count = FrameCount(plan);
        action.frames.push_back({frame, frame + count - 1, 1.0f / kFramesPerSecond});
        frame += count;
        actions.push_back(action);
    }
    return actions;
}

}  // namespace modelgen
