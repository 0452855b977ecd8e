#pragma once
// The actions every unit model carries, baked at 30 frames a second: their names, end modes, lengths and the
// key poses a skinned model moves through (the soldier's are read from "Models/Poses/Soldier.txt": pose_source.h).
// Vehicles carry the same names without poses (their parts are moved by the unit classes), so that every action a
// class plays exists.
#include <array>
#include <string>
#include <vector>

#include "cnt_writer.h"
#include "engine/core/vector.h"

namespace modelgen {

inline constexpr float kFramesPerSecond = 30.0f;
inline constexpr int kSoldierBones = 16;

// Bones of the soldier's skeleton, 0-based (the files number them from 1).
enum SoldierBone {
    kPelvis,
    kSpine,
    kChest,
    kHead,
    kLeftUpperArm,
    kLeftForearm,
    kLeftHand,
    kRightUpperArm,
    kRightForearm,
    kRightHand,
    kLeftThigh,
    kLeftShin,
    kLeftFoot,
    kRightThigh,
    kRightShin,
    kRightFoot
};

// The bone's name in the sources ("pelvis", "left_upper_arm", ...), and the bone of a name (false: none).
const char* BoneName(int bone);
bool FindBone(const std::string& name, int& bone);

// Turns of each bone about its joint (degrees about x, then y, then z) and the pelvis's offset and turn.
struct Pose {
    std::array<engine::Vec3, kSoldierBones> turn{};
    engine::Vec3 rootOffset{};
    engine::Vec3 rootTurn{};
};

struct PoseKey {
    float time = 0.0f;
    Pose pose;
};

struct ActionPlan {
    std::string name;
    cntbuild::EndMode end = cntbuild::EndMode::kHold;
    std::string target;  // a spawn's next action
    float seconds = 1.0f;
    std::vector<PoseKey> keys;  // sampled with smooth steps between keys; a loop returns to its first key
};

// How a soldier stands and what it does beyond the common actions.
enum class SoldierKind { kStanding, kProne, kGrenadier, kEngineer };

// The actions of a vehicle, ship or aircraft (no poses).
std::vector<ActionPlan> VehicleActions();

// The pose at time t of the plan.
Pose SamplePose(const ActionPlan& plan, float t);

// Number of frames of the plan: a loop drops its closing frame, a hold or spawn keeps it.
int FrameCount(const ActionPlan& plan);

// The animation text's actions for the plans laid one after another from frame `first` (frame 0 is the
// bind pose, so the soldier's first action starts at 1).
std::vector<cntbuild::AuthorAction> BakeActions(const std::vector<ActionPlan>& plans, int first);

}  // namespace modelgen
