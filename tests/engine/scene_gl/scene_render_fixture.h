#pragma once
// Whole scenes drawn on the GL test context: generated boxes and grids under mesh nodes of one root, a render
// queue with its lights and sky box, a scene view and a plain render target, with the material manager of the
// material fixture. Cube maps of six flat face colours stand in for loaded ones.
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/image/image.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/render/render_target.h"
#include "engine/render/render_target_registry.h"
#include "engine/render/shader_set_codes.h"
#include "engine/render/texture.h"
#include "engine/render/texture_table.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/model_generators.h"
#include "engine/scene/model_table.h"
#include "engine/scene/render_queue.h"
#include "engine/scene/scene_node.h"
#include "engine/scene/scene_view.h"
#include "material_draw_fixture.h"

namespace scenegl {

// The face colours of the test cube maps, in face order +X, -X, +Y, -Y, +Z, -Z.
inline constexpr std::uint32_t kFaceColours[6] = {0xFFE02020u, 0xFF20E0E0u, 0xFF20C020u,
                                                  0xFFC020C0u, 0xFF2040E0u, 0xFFE0E020u};

// Serves every cube-map name with a cube of the six face colours.
class FaceColourCubes final : public engine::MaterialTextureSource {
public:
    int Load(const engine::WideString&, int) override { return 0; }
    int LoadCubeMap(const engine::WideString& name) override {
        engine::Image faces[6];
        const engine::Image* pointers[6];
        for (int f = 0; f < 6; ++f) {
            if (!faces[f].Create(8, 8, name)) return 0;
            std::uint8_t* p = faces[f].Pixels();
            for (int i = 0; i < 64; ++i, p += 4) {
                for (int b = 0; b < 4; ++b) p[b] = static_cast<std::uint8_t>(kFaceColours[f] >> (8 * b));
            }
            pointers[f] = &faces[f];
        }
        return engine::TextureTable::CreateCubeFromImages(pointers);
    }
    int LoadFlagged(const engine::WideString&) override { return 0; }
    int MakeCheckTexture(int, int, std::uint32_t, std::uint32_t) override { return 0; }
    int Width(int handle) const override { return static_cast<int>(engine::TextureTable::GetWidth(handle)); }
};

inline engine::Matrix44 LookFrom(const engine::Vec3& eye, const engine::Vec3& target) {
    engine::Matrix44 m;
    m.SetLookAt(eye, target, 0.0f);
    return m;
}

inline engine::Matrix44 Translation(float x, float y, float z) {
    engine::Matrix44 m;
    m.SetRow(3, {x, y, z});
    return m;
}

class SceneRenderTest : public mtltest::MaterialDrawTest {
protected:
    // The target: 4:3, large enough that shadows of distant boxes cover a few pixels.
    static constexpr int kTargetWidth = 128;
    static constexpr int kTargetHeight = 96;
    static constexpr std::uint32_t kClearColour = 0xFF000000u;

    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(MaterialDrawTest::SetUp());
        ASSERT_TRUE(engine::GetMaterialLib().Init(64, &cubes_));
        ASSERT_TRUE(engine::ModelTable::Init(64));
        device_->AttachMaterialBinder(manager.get());
        engine::ClearRenderTargetRegistry();
        engine::RenderTargetServices services;
        services.device = device_.get();
        engine::SetRenderTargetServices(services);
        services_ = {device_.get(), vertexShaders_.get(), pixelShaders_.get(), manager.get()};
        root = engine::SceneNode::Init(engine::kNodeGroup, "root");
        ASSERT_NE(root, nullptr);
        queue = std::make_unique<engine::RenderQueue>(256);
        queue->SetScene(root);
        view.Init({0, 0, kTargetWidth, kTargetHeight}, static_cast<float>(kTargetWidth) / kTargetHeight, 0.5f,
                  150.0f, services_);
        view.GetViewTransform().SetFov(60.0f);
        target = engine::CreateRenderTarget("Scene", kTargetWidth, kTargetHeight, engine::kTargetPlain);
        ASSERT_NE(target, nullptr);
    }
    void TearDown() override {
        // Shadow targets go with the queue's lights, buffers with the model table, all before the device.
        queue.reset();
        if (root != nullptr) root->Destroy();
        delete target;
        engine::DeleteAllRenderTargets();
        engine::SetRenderTargetServices({});
        engine::ModelTable::Free();
        engine::GetMaterialLib().Free();
        if (device_) {
            device_->AttachMaterialBinder(nullptr);
            device_->SetRenderTargetSurface(device_->BackBufferSurface());
            device_->SetDepthSurfaceCached(device_->BackBufferDepthSurface());
        }
        MaterialDrawTest::TearDown();
    }

    // A plain-colour material (cull none) of the lighting model (0: unlit).
    int Material(std::uint32_t colour, int lightingModel) {
        const int handle = engine::GetMaterialLib().Create(("m" + std::to_string(++made_)).c_str(),
                                                            engine::kSetPlainColour, lightingModel, 0, 0);
        engine::MaterialDef* material = engine::GetMaterialLib().Get(handle);
        EXPECT_NE(material, nullptr);
        if (material == nullptr) return 0;
        material->SetColour(0, colour);
        material->cullMode = 1;
        return handle;
    }
    // The model's batches get their device buffers.
    int Upload(int model) {
        engine::MeshModel* mesh = engine::GetMeshModelByHandle(model);
        EXPECT_NE(mesh, nullptr);
        if (mesh == nullptr) return 0;
        for (engine::MeshBatch& batch : mesh->batches->batches) {
            EXPECT_TRUE(engine::CreateDeviceBuffers(batch, &Gpu()));
        }
        return model;
    }
    int Box(const engine::Aabb& box) {
        return Upload(engine::CreateBoxModel(box, engine::WideString(("box" + std::to_string(++made_)).c_str()), 1));
    }
    // A grid in the XZ plane centred on the origin.
    int Ground(float width, float depth) {
        return Upload(engine::CreateGridModel(engine::WideString("ground"), width, depth, 1, 8));
    }
    // A mesh node under the root (or the given parent) with the model and material.
    engine::SceneNode* AddMesh(int model, int material, const engine::Matrix44& local = {},
                               engine::SceneNode* parent = nullptr) {
        engine::SceneNode* node = engine::SceneNode::Init(engine::kNodeMesh, "mesh");
        node->SetPayload(model);
        node->SetMaterial(material);
        node->SetLocalMatrix(local);
        EXPECT_TRUE((parent != nullptr ? parent : root)->AddChild(node));
        return node;
    }
    // A box of one colour and lighting model under the root.
    engine::SceneNode* AddBox(const engine::Aabb& box, std::uint32_t colour, int lightingModel) {
        return AddMesh(Box(box), Material(colour, lightingModel));
    }

    // Builds the queue for the camera and renders it into the target; the target's picture. Without
    // updateFrustum the view is only given the matrix, as a game moves its camera between frames.
    std::vector<std::uint8_t> Render(const engine::Matrix44& camera, bool updateFrustum = true) {
        root->UpdateWorldMatrix();
        view.GetViewTransform().SetMatrix(camera);
        if (updateFrustum) view.UpdateFrustum();
        queue->Build(&camera);
        target->Begin(kClearColour);
        target->RenderScene(queue.get(), &view);
        target->End();
        std::vector<std::uint8_t> pixels;
        EXPECT_TRUE(Gpu().ReadSurfaceRgba8(target->ColourSurface(target->CurrentIndex()), pixels));
        return pixels;
    }
    // The target pixel whose centre is nearest the world point, which must be on screen (pixel centres lie on
    // whole numbers of the viewport's scale).
    std::array<int, 4> PixelOf(const std::vector<std::uint8_t>& picture, const engine::Vec3& point) {
        const engine::Vec4 c = view.GetViewProjection().TransformVec4({point.x, point.y, point.z, 1.0f});
        const int x = static_cast<int>(std::lround((c.x / c.w + 1.0f) * 0.5f * kTargetWidth));
        const int y = static_cast<int>(std::lround((1.0f - c.y / c.w) * 0.5f * kTargetHeight));
        if (c.w <= 0.0f || x < 0 || y < 0 || x >= kTargetWidth || y >= kTargetHeight) {
            ADD_FAILURE() << "(" << point.x << ", " << point.y << ", " << point.z << ") is off screen at " << x
                          << ", " << y;
            return {-1, -1, -1, -1};
        }
        return At(picture, x, y);
    }
    static std::array<int, 4> At(const std::vector<std::uint8_t>& picture, int x, int y) {
        const std::size_t at = (static_cast<std::size_t>(y) * kTargetWidth + x) * 4;
        if (picture.size() < at + 4) return {-1, -1, -1, -1};
        return {picture[at], picture[at + 1], picture[at + 2], picture[at + 3]};
    }

    FaceColourCubes cubes_;
    engine::SceneViewServices services_;
    engine::SceneNode* root = nullptr;
    std::unique_ptr<engine::RenderQueue> queue;
    engine::SceneView view;
    engine::RenderTarget* target = nullptr;
    int made_ = 0;
};

// Bytes of an ARGB colour as RGBA.
inline std::array<int, 4> RgbaOf(std::uint32_t argb) { return rendertest::Rgba(argb); }

inline ::testing::AssertionResult NearColour(const std::array<int, 4>& got, std::uint32_t argb, int tolerance = 2) {
    const std::array<int, 4> expected = RgbaOf(argb);
    for (int c = 0; c < 3; ++c) {
        if (std::abs(got[c] - expected[c]) > tolerance) {
            return ::testing::AssertionFailure() << "(" << got[0] << ", " << got[1] << ", " << got[2]
                                                 << ") against (" << expected[0] << ", " << expected[1] << ", "
                                                 << expected[2] << ")";
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace scenegl
