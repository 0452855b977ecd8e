// Models on the GL test context: a model loaded from its saved file draws, through the device's batch draw,
// the same pixels as the generated model it came from.
#include <gtest/gtest.h>

#include "engine/core/byte_buffer.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/model_file.h"
#include "engine/scene/model_generators.h"
#include "engine/scene/model_table.h"
#include "material_draw_fixture.h"

namespace {

using namespace engine;

class ModelDrawTest : public mtltest::MaterialDrawTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(MaterialDrawTest::SetUp());
        ASSERT_TRUE(GetMaterialLib().Init(64, nullptr));
        ASSERT_TRUE(ModelTable::Init(16));
        device_->AttachMaterialBinder(manager.get());
    }
    void TearDown() override {
        // Buffers are released while the device still exists.
        ModelTable::Free();
        GetMaterialLib().Free();
        if (device_) device_->AttachMaterialBinder(nullptr);
        MaterialDrawTest::TearDown();
    }

    std::vector<std::uint8_t> DrawModel(const MeshModel& model, MaterialDef& material) {
        Gpu().Clear(0, nullptr, sys::kClearTarget | sys::kClearZBuffer, 0, 1.0f, 0);
        device_->SetDepthMode(false, false, false);
        for (int b = 0; b < model.GetBatchCount(); ++b) {
            device_->DrawMeshBatch(*model.GetBatch(b), material, {}, 0, nullptr, &identity);
        }
        std::vector<std::uint8_t> pixels;
        EXPECT_TRUE(Gpu().ReadSurfaceRgba8(device_->BackBufferSurface(), pixels));
        return pixels;
    }
};

TEST_F(ModelDrawTest, ALoadedModelDrawsLikeTheGeneratedOne) {
    // A 4 x 4 grid in the XY plane, inside clip space, facing the viewer.
    const int handle = CreateGridModel(WideString("grid"), 1.2f, 1.2f, 0, 4);
    MeshModel* made = GetMeshModelByHandle(handle);
    ASSERT_NE(made, nullptr);
    for (MeshBatch& batch : made->batches->batches) ASSERT_TRUE(CreateDeviceBuffers(batch, &Gpu()));
    std::unique_ptr<ByteBuffer> saved = made->SaveToBuffer();
    ModelDescription description;
    ASSERT_TRUE(ParseModelFile(saved->Data(), saved->Size(), WideString("grid2"), nullptr, description));
    MeshModel* loaded = NewMeshModel(WideString("grid2"), 0, 0);
    ASSERT_TRUE(loaded->Upload(std::move(description)));
    for (MeshBatch& batch : loaded->batches->batches) ASSERT_TRUE(CreateDeviceBuffers(batch, &Gpu()));
    MaterialDef material;
    material.shaderSetIndex = 0;
    material.cullMode = 1;
    material.SetColour(0, 0xFF30C050u);
    const std::vector<std::uint8_t> first = DrawModel(*made, material);
    const std::vector<std::uint8_t> second = DrawModel(*loaded, material);
    ASSERT_EQ(first.size(), second.size());
    EXPECT_EQ(first, second);
    // Something was drawn in the middle and nothing at the corner.
    const std::array<int, 4> centre = Centre();
    EXPECT_NE(centre[0] + centre[1] + centre[2], 0);
    EXPECT_EQ(Pixel(1, 1)[1], 0);
}

}  // namespace
