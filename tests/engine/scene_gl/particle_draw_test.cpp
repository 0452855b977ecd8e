// Particle emitters on the GL test context: a one-particle emitter draws its sprite where the camera's CPU
// projection puts the particle, and a finished burst is deleted by the next build before anything draws it.
#include <gtest/gtest.h>

#include "engine/render/dynamic_vertex_buffer.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/billboard_list.h"
#include "engine/scene/model_table.h"
#include "engine/scene/particle_emitter.h"
#include "engine/scene/render_queue.h"
#include "engine/scene/scene_node.h"
#include "engine/scene/scene_view.h"
#include "material_draw_fixture.h"

namespace {

using namespace engine;

GraphicsDevice* g_device = nullptr;
ParticleClock g_clock;

class ParticleDrawTest : public mtltest::MaterialDrawTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(MaterialDrawTest::SetUp());
        ASSERT_TRUE(GetMaterialLib().Init(64, nullptr));
        ASSERT_TRUE(ModelTable::Init(16));
        device_->AttachMaterialBinder(manager.get());
        g_device = device_.get();
        SetBillboardBufferFactory([](std::uint32_t bytes) {
            return std::make_unique<DynamicVertexBuffer>(g_device, false, bytes);
        });
        g_clock = {1, 50};
        SetParticleClockSource([] { return g_clock; });
        view.Init({0, 0, kWidth, kHeight}, 1.0f, 0.5f, 100.0f,
                  {device_.get(), vertexShaders_.get(), pixelShaders_.get(), manager.get()});
        view.UpdateFrustum();
        material = GetMaterialLib().Create("Spark", 0, 0, 0, 0);
        GetMaterialLib().Get(material)->SetColour(0, 0xFFFFFFFFu);
    }
    void TearDown() override {
        SetParticleClockSource(nullptr);
        SetBillboardBufferFactory(nullptr);
        ModelTable::Free();
        GetMaterialLib().Free();
        if (device_) device_->AttachMaterialBinder(nullptr);
        MaterialDrawTest::TearDown();
    }
    void ClearScreen() {
        Gpu().Clear(0, nullptr, sys::kClearTarget | sys::kClearZBuffer, 0, 1.0f, 0);
        device_->SetDepthMode(false, false, false);
    }
    // Builds the queue and draws both lists' visible entries.
    void Frame(RenderQueue& queue) {
        ++g_clock.frame;
        queue.Build();
        ClearScreen();
        // A mesh format selected before must not leak into the sprites' draw.
        device_->SelectVertexFormat(1);
        for (int blended : {0, 1}) view.DrawEntries(queue.GetDrawList(blended).CollectVisible(view));
    }
    int Lit() {
        int lit = 0;
        const std::vector<std::uint8_t> pixels = Picture();
        for (std::size_t i = 0; i + 3 < pixels.size(); i += 4) lit += pixels[i] + pixels[i + 1] + pixels[i + 2] > 0;
        return lit;
    }
    SceneNode* Emitter(SceneNode* root, const Vec3& at, float rate, float life) {
        SceneNode* fx = SceneNode::Init(kNodeEmitter, "fx");
        ParticleParams p;
        p.emissionRate = rate, p.particleLife = life, p.startSize = 0.6f, p.quadSize = 1.0f, p.material = material;
        EXPECT_TRUE(fx->GetParticleEmitter()->Setup(p));
        Matrix44 m;
        m.SetTranslation(at.x, at.y, at.z);
        fx->SetLocalMatrix(m);
        EXPECT_TRUE(root->AddChild(fx));
        root->UpdateWorldMatrix();
        return fx;
    }

    SceneView view;
    int material = 0;
};

TEST_F(ParticleDrawTest, OneParticleDrawsWhereTheProjectionPutsIt) {
    SceneNode* root = SceneNode::Init(kNodeGroup, "root");
    const Vec3 at{-0.6f, 0.3f, 6.0f};
    Emitter(root, at, 1.0f, 10.0f);
    RenderQueue queue(16);
    queue.SetScene(root);
    Frame(queue);
    int x = -1, y = -1;
    ASSERT_NE(view.ProjectToScreen(at, x, y), 0);
    ASSERT_TRUE(x > 1 && x < kWidth - 2 && y > 1 && y < kHeight - 2) << x << "," << y;
    EXPECT_GT(Pixel(x, y)[0], 200) << x << "," << y;
    // The sprite is small: the far corner stays clear, and the lit area is a few pixels around the point.
    EXPECT_EQ(Pixel(kWidth - 1, kHeight - 1)[0], 0);
    const int lit = Lit();
    EXPECT_GT(lit, 0);
    EXPECT_LT(lit, kWidth * kHeight / 8);
    root->Destroy();
}

TEST_F(ParticleDrawTest, AFinishedBurstIsDeletedBeforeItDraws) {
    SceneNode* root = SceneNode::Init(kNodeGroup, "root");
    SceneNode* fx = Emitter(root, {0.0f, 0.0f, 6.0f}, 5.0f, 0.1f);
    fx->SetEmitterAutoDelete(true);
    RenderQueue queue(16);
    queue.SetScene(root);
    Frame(queue);  // born, 50 ms old
    EXPECT_EQ(root->GetChildCount(), 1);
    EXPECT_GT(Lit(), 0);
    Frame(queue);  // 100 ms: the end of its life
    EXPECT_EQ(root->GetChildCount(), 1);
    Frame(queue);  // past its life: finished and deleted in this build
    EXPECT_EQ(root->GetChildCount(), 0);
    EXPECT_EQ(Lit(), 0);
    root->Destroy();
}

}  // namespace
