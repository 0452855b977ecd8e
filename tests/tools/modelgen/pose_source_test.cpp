// The soldier's pose source: poses build on their bases, actions go to the kinds named before them, and
// every bad line fails with the file and line named.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modelgen/pose_source.h"

namespace {

using modelgen::ParsePoseText;
using modelgen::PoseBook;
using modelgen::SoldierKind;

// A skeleton of every bone in a chain, each joint 0.1 above the one before.
std::string Skeleton() {
    std::string text;
    for (int b = 0; b < modelgen::kSoldierBones; ++b) {
        text += std::string("joint ") + modelgen::BoneName(b) + " " + (b == 0 ? "-" : modelgen::BoneName(b - 1)) +
                " 0 " + std::to_string(0.1 * b) + " 0\n";
    }
    return text;
}

TEST(PoseSourceTest, PosesAndActionsPerKind) {
    const std::string text =
        Skeleton() +
        "pose relaxed\n"
        "    right_upper_arm -25 0 0\n"
        "pose lean from relaxed   # keeps the arm\n"
        "    chest -10 0 0\n"
        "    root_offset 0 -0.004 0\n"
        "for all\n"
        "action idle loop 2\n"
        "    key 0 relaxed\n"
        "    key 1 lean\n"
        "for prone\n"
        "action getup spawn 0.6 idle\n"
        "    key 0 lean\n";
    PoseBook book;
    std::string error;
    ASSERT_TRUE(ParsePoseText(text, "s.txt", book, error)) << error;
    const auto standing = modelgen::SoldierActions(book, SoldierKind::kStanding);
    const auto prone = modelgen::SoldierActions(book, SoldierKind::kProne);
    ASSERT_EQ(standing.size(), 1u);
    ASSERT_EQ(prone.size(), 2u);
    EXPECT_EQ(prone[1].end, cntbuild::EndMode::kSpawn);
    EXPECT_EQ(prone[1].target, "idle");
    const modelgen::Pose& lean = standing[0].keys[1].pose;
    EXPECT_EQ(lean.turn[modelgen::kRightUpperArm].x, -25.0f);
    EXPECT_EQ(lean.turn[modelgen::kChest].x, -10.0f);
    EXPECT_EQ(lean.rootOffset.y, -0.004f);
    EXPECT_EQ(standing[0].keys[0].pose.turn[modelgen::kChest].x, 0.0f);
    EXPECT_EQ(book.parents[modelgen::kPelvis], -1);
    EXPECT_EQ(book.parents[modelgen::kRightFoot], modelgen::kRightShin);
    EXPECT_EQ(book.joints[modelgen::kHead].y, 0.3f);
}

TEST(PoseSourceTest, BadLinesNameTheFileAndLine) {
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"pose a\n  tail 1 2 3\n", "s.txt:2: unknown line \"tail\""},
        {"pose a\n  head 1 2\n", "s.txt:2: head needs x y z"},
        {"pose a\n  head 1 x 3\n", "s.txt:2: bad number \"x\""},
        {"head 1 2 3\n", "s.txt:1: \"head\" outside a pose"},
        {"pose a from b\n", "s.txt:1: unknown pose \"b\""},
        {"pose a\npose a\n", "s.txt:2: pose \"a\" is named twice"},
        {"for sitting\n", "s.txt:1: unknown kind \"sitting\""},
        {"action a bounce 1\n", "s.txt:1: unknown end \"bounce\" (loop, hold or spawn)"},
        {"action a hold\n", "s.txt:1: an action needs a name, an end and its seconds"},
        {"action a hold 0\n", "s.txt:1: an action lasts more than 0 and at most 60 seconds"},
        {"action a spawn 1\n", "s.txt:1: a spawn, and only a spawn, names its next action"},
        {"action a spawn 1 b\naction b hold 1\n", "s.txt:1: the next action \"b\" is not written before"},
        {"for prone\naction b hold 1\nfor all\naction a spawn 1 b\n",
         "s.txt:4: the next action \"b\" is not written before"},
        {"action a hold 1\naction a loop 1\n", "s.txt:2: action \"a\" is written twice"},
        {"pose p\nkey 0 p\n", "s.txt:2: a key outside an action"},
        {"action a hold 1\nkey 0 p\n", "s.txt:2: unknown pose \"p\""},
        {"pose p\naction a hold 1\nkey 0.5 p\nkey 0.4 p\n", "s.txt:4: key times rise from 0 to the action's length"},
        {"pose p\naction a hold 1\nkey 1.5 p\n", "s.txt:3: key times rise from 0 to the action's length"},
        {"joint tail - 0 0 0\n", "s.txt:1: unknown bone \"tail\""},
        {"joint pelvis - 0 0 0\njoint pelvis - 0 0 0\n", "s.txt:2: bone \"pelvis\" is jointed twice"},
        {"joint pelvis - 0 0\n", "s.txt:1: a joint needs a bone, its parent and x y z"},
        {"joint spine - 0 0 0\n", "s.txt:1: the pelvis is the root, and every other bone's parent comes before it"},
        {"joint spine chest 0 0 0\n", "s.txt:1: the pelvis is the root, and every other bone's parent comes before it"},
        {"joint pelvis spine 0 0 0\n",
         "s.txt:1: the pelvis is the root, and every other bone's parent comes before it"},
        {"joint pelvis - 0 0 0\n", "s.txt: no joint for bone \"spine\""},
    };
    for (const Case& c : cases) {
        PoseBook book;
        std::string error;
        EXPECT_FALSE(ParsePoseText(c.text, "s.txt", book, error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
}

}  // namespace
