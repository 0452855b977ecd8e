// The scene view's entry drawing on the GL test context: runs of four equal batches go out as one instanced
// draw with the pixels of four single draws; runs of three are drawn one by one.
#include <gtest/gtest.h>

#include "engine/render/material_lib_hooks.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/model_generators.h"
#include "engine/scene/model_table.h"
#include "engine/scene/render_queue.h"
#include "engine/scene/scene_view.h"
#include "material_draw_fixture.h"

namespace {

using namespace engine;

class SceneViewDrawTest : public mtltest::MaterialDrawTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(MaterialDrawTest::SetUp());
        ASSERT_TRUE(GetMaterialLib().Init(64, nullptr));
        ASSERT_TRUE(ModelTable::Init(16));
        device_->AttachMaterialBinder(manager.get());
        view.Init({0, 0, kWidth, kHeight}, 1.0f, 0.5f, 100.0f,
                  {device_.get(), vertexShaders_.get(), pixelShaders_.get(), manager.get()});
        material.shaderSetIndex = 0;
        material.cullMode = 1;
        material.SetColour(0, 0xFF30C050u);
        const int handle = CreateGridModel(WideString("tile"), 0.3f, 0.3f, 0, 1);
        model = GetMeshModelByHandle(handle);
        ASSERT_NE(model, nullptr);
        for (MeshBatch& batch : model->batches->batches) ASSERT_TRUE(CreateDeviceBuffers(batch, &Gpu()));
        const float xs[4] = {-0.6f, -0.2f, 0.2f, 0.6f};
        for (int i = 0; i < 4; ++i) {
            DrawEntry& e = entries[i];
            e.kind = kEntryMesh, e.object = model, e.material = &material, e.flags = kEntryActive;
            e.world.SetRow(3, {xs[i], 0.1f * static_cast<float>(i), 0.5f});
        }
    }
    void TearDown() override {
        ModelTable::Free();
        GetMaterialLib().Free();
        if (device_) device_->AttachMaterialBinder(nullptr);
        MaterialDrawTest::TearDown();
    }
    std::vector<std::uint8_t> Read() {
        std::vector<std::uint8_t> pixels;
        EXPECT_TRUE(Gpu().ReadSurfaceRgba8(device_->BackBufferSurface(), pixels));
        return pixels;
    }
    void ClearScreen() {
        Gpu().Clear(0, nullptr, sys::kClearTarget | sys::kClearZBuffer, 0, 1.0f, 0);
        device_->SetDepthMode(false, false, false);
        device_->ResetFrameCounters();
    }

    SceneView view;
    MaterialDef material;
    MeshModel* model = nullptr;
    DrawEntry entries[4];
};

TEST_F(SceneViewDrawTest, FourEqualBatchesDrawInstancedLikeFourSingleDraws) {
    DrawPointerList list;
    list.Init(nullptr, 4, 0);
    for (DrawEntry& e : entries) list.Append(&e);
    ClearScreen();
    view.DrawEntries(list);
    EXPECT_EQ(device_->FrameCount(kFrameBatches), 1u);
    EXPECT_EQ(device_->FrameCount(kFrameObjects), 4u);
    const std::vector<std::uint8_t> instanced = Read();

    ClearScreen();
    for (const DrawEntry& e : entries) {
        view.SetWorldMatrix(e.world);
        device_->DrawMeshBatch(*model->GetBatch(0), material, {}, 0, &view, &identity);
    }
    EXPECT_EQ(device_->FrameCount(kFrameBatches), 4u);
    const std::vector<std::uint8_t> singles = Read();
    ASSERT_EQ(instanced.size(), singles.size());
    int differing = 0;
    for (std::size_t i = 0; i < singles.size(); ++i) differing += std::abs(instanced[i] - singles[i]) > 2 ? 1 : 0;
    EXPECT_EQ(differing, 0);
    EXPECT_NE(Centre()[1] + Pixel(kWidth / 5, kHeight / 2)[1], 0);

    // Three equal batches are drawn one by one.
    DrawPointerList three;
    three.Init(nullptr, 3, 0);
    for (int i = 0; i < 3; ++i) three.Append(&entries[i]);
    ClearScreen();
    view.DrawEntries(three);
    EXPECT_EQ(device_->FrameCount(kFrameBatches), 3u);
}

}  // namespace
