#pragma once
// The soldier's key poses and actions, read from the text source "Models/Poses/Soldier.txt" so that a pose
// or an action changes without a rebuild. One line each, blank lines and '#' comments ignored:
//   joint <bone> <parent|-> <x> <y> <z>   the bone's joint in the bind pose; every bone once, the pelvis the
//                                  root, each parent a bone before its child in the bone order (BoneName)
//   pose <name> [from <base>]      a pose: all zero, or a copy of an earlier pose, changed by the lines below
//   <bone> <x> <y> <z>             the bone's turn in degrees ("pelvis", "left_upper_arm", ...: BoneName)
//   root_offset <x> <y> <z>        the pelvis's offset
//   root_turn <x> <y> <z>          the pelvis's turn
//   for <kind ...|all>             the kinds the actions below belong to (standing, prone, grenadier, engineer)
//   action <name> <loop|hold|spawn> <seconds> [<next>]   a spawn names the action it goes on to
//   key <time> <pose>              a key of the action above, times rising from 0 to the action's length
// Each kind's actions are kept in file order; a spawn's next action must come before it.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "modelgen/actions.h"

namespace modelgen {

struct PoseBook {
    std::array<engine::Vec3, kSoldierBones> joints{};
    std::array<int, kSoldierBones> parents{};  // -1 for the root
    struct Entry {
        unsigned kinds = 0;  // bit 1 << SoldierKind
        ActionPlan plan;
    };
    std::vector<Entry> actions;
};

// Parses the poses and actions; on a bad line returns false with "<name>:<line>: <what>" in error.
bool ParsePoseText(std::string_view text, const std::string& name, PoseBook& book, std::string& error);

// The actions of a soldier of that kind, in the book's order.
std::vector<ActionPlan> SoldierActions(const PoseBook& book, SoldierKind kind);

}  // namespace modelgen
