#pragma once
// Helpers of the scene tests: a frame timer over a clock the test sets, node trees that free themselves, and
// matrix comparison.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "engine/core/frame_timer.h"
#include "engine/core/matrix.h"
#include "engine/scene/scene_node.h"

namespace scenetest {

// A FrameTimer whose clock reads `seconds`.
class FakeTime {
public:
    FakeTime() : timer([this] { return std::chrono::nanoseconds(static_cast<long long>(seconds * 1e9)); }) {}
    double seconds = 0.0;
    engine::FrameTimer timer;
};

struct NodeDeleter {
    void operator()(engine::SceneNode* node) const {
        if (node != nullptr) node->Destroy();
    }
};
using NodePtr = std::unique_ptr<engine::SceneNode, NodeDeleter>;

inline NodePtr MakeNode(std::uint32_t type, const char* name) { return NodePtr(engine::SceneNode::Init(type, name)); }

// A child node added under parent; the parent owns it.
inline engine::SceneNode* AddNode(engine::SceneNode* parent, const char* name,
                                  std::uint32_t type = engine::kNodeGroup) {
    engine::SceneNode* node = engine::SceneNode::Init(type, name);
    EXPECT_TRUE(parent->AddChild(node));
    return node;
}

inline void ExpectMatrixNear(const engine::Matrix44& actual, const engine::Matrix44& expected, float tolerance = 1e-4f) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(actual.m[r][c], expected.m[r][c], tolerance) << "row " << r << " column " << c;
        }
    }
}

// Rotation about Y by degrees, then a translation.
inline engine::Matrix44 RotateThenMove(float degrees, float tx, float ty, float tz) {
    engine::Matrix44 m;
    m.InitRotationY(degrees);
    m.m[3][0] = tx, m.m[3][1] = ty, m.m[3][2] = tz;
    return m;
}

}  // namespace scenetest
