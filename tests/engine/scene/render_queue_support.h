#pragma once
// Helpers of the render-queue and billboard tests: a camera that records its world matrices, and a fixture
// with the material and model tables and a camera at the origin looking along +Z.
#include <vector>

#include "engine/render/shader_constant_cache.h"
#include "engine/scene/camera.h"
#include "model_test_support.h"
#include "recording_shader_device.h"
#include "scene_test_support.h"

namespace scenetest {

class RecordingCamera final : public engine::Camera {
public:
    void Render(engine::RenderQueue*, engine::RenderTarget&) override {}
    void DrawSkybox() override {}
    void SetWorldMatrix(const engine::Matrix44& m) override { worlds.push_back(m); }
    std::vector<engine::Matrix44> worlds;
};

class QueueTest : public ModelTest {
protected:
    QueueTest() : constants(shaders, counters) {}
    void SetUp() override {
        ModelTest::SetUp();
        Look(camera);
    }
    // At the origin looking along +Z: 90 degrees, 100 x 100 pixels, near 0.5.
    void Look(engine::Camera& view, float farDistance = 100.0f) {
        view.Init({0, 0, 100, 100}, 1.0f, 0.5f, farDistance, &constants);
        view.GetViewTransform().SetFov(90.0f);
        view.UpdateFrustum();
    }
    NodePtr MeshNode(int handle, const engine::Matrix44& world, const char* name = "mesh") {
        NodePtr node = MakeNode(engine::kNodeMesh, name);
        node->SetPayload(handle);
        node->SetLocalMatrix(world);
        node->UpdateWorldMatrix();
        return node;
    }
    static engine::Matrix44 At(float x, float y, float z) {
        engine::Matrix44 m;
        m.m[3][0] = x, m.m[3][1] = y, m.m[3][2] = z;
        return m;
    }

    rendertest::RecordingShaderDevice shaders;
    engine::ShaderBindCounters counters;
    engine::ShaderConstantCache constants;
    RecordingCamera camera;
};

}  // namespace scenetest
