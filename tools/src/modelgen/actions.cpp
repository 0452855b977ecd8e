#include "modelgen/actions.h"

#include <algorithm>
#include <cmath>

namespace modelgen {
namespace {

using cntbuild::EndMode;
using engine::Vec3;

ActionPlan Loop(const char* name, float seconds) { return ActionPlan{name, EndMode::kLoop, "", seconds, {}}; }
ActionPlan Hold(const char* name, float seconds) { return ActionPlan{name, EndMode::kHold, "", seconds, {}}; }

constexpr const char* kBoneNames[kSoldierBones] = {
    "pelvis",    "spine",           "chest",         "head",       "left_upper_arm", "left_forearm",
    "left_hand", "right_upper_arm", "right_forearm", "right_hand", "left_thigh",     "left_shin",
    "left_foot", "right_thigh",     "right_shin",    "right_foot"};

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

std::vector<ActionPlan> VehicleActions() {
    std::vector<ActionPlan> plans;
    for (const char* name : {"default", "idle", "run", "drive", "dangle"}) plans.push_back(Loop(name, 1.0f));
    plans.push_back(Hold("jump", 0.7f));
    plans.push_back(Hold("w00t", 1.0f));
    plans.push_back(Hold("embark", 0.5f));
    plans.push_back(Hold("disembark", 0.5f));
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
