// Mesh batches drawn through the device with a material: the material's states, binding failures, counters,
// skinned, instanced and fur-shell draws, and the fur default texture.
#include <functional>

#include "engine/render/material_binder.h"
#include "engine/render/material_def.h"
#include "engine/render/mesh_batch.h"
#include "engine/render/texture.h"
#include "engine/render/texture_table.h"
#include "render_test_fixture.h"
#include "support/quad_mesh.h"

namespace {

using engine::MaterialDef;
using engine::Matrix44;
using engine::MeshBatch;
using rendertest::GraphicsDeviceTest;
using rendertest::Rgba;

constexpr const char* kPlainVertexShader = R"(
float4x3 ModelToWorld : register(c8);
struct VS_OUT { float4 Pos : POSITION; float4 Col : COLOR0; };
VS_OUT main(float4 Pos : POSITION0, float4 C : COLOR0) {
  VS_OUT o; o.Pos = float4(mul(Pos, ModelToWorld), 1); o.Col = C; return o;
}
)";
constexpr const char* kTintPixelShader = R"(
float4 Tint : register(c0);
float4 main(float4 Col : COLOR0) : COLOR { return Col * Tint; }
)";

// Binds the test's shaders and the material's colour slot 0 as the pixel tint, or fails when told to.
class FakeBinder final : public engine::MaterialBinder {
public:
    struct Call {
        int shaderSet;
        bool skinned;
        bool instanced;
        const engine::MaterialView* view;
        const Matrix44* matrix;
    };
    int BindMaterial(MaterialDef& material, const engine::MaterialView* view, const Matrix44* matrix, bool skinned,
                     bool instanced) override {
        calls.push_back({material.shaderSetIndex, skinned, instanced, view, matrix});
        if (result != 0 && bind) bind(material, instanced);
        return result;
    }
    bool SupportsInstancing(const MaterialDef&) const override { return true; }

    std::vector<Call> calls;
    int result = 1;
    std::function<void(MaterialDef&, bool)> bind;
};

class MeshBatchTest : public GraphicsDeviceTest {
protected:
    void SetUp() override {
        GraphicsDeviceTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(CreateWithTextureTable());
        plainVs_ = Gpu().CreateVertexShader(rendertest::Words(kPlainVertexShader, sys::ShaderStage::Vertex));
        instancedVs_ = Gpu().CreateVertexShader(rendertest::Words(rendertest::kInstancedColourVertexShader, sys::ShaderStage::Vertex));
        tintPs_ = Gpu().CreatePixelShader(rendertest::Words(kTintPixelShader, sys::ShaderStage::Pixel));
        ASSERT_TRUE(plainVs_ != nullptr && instancedVs_ != nullptr && tintPs_ != nullptr);
        binder_.bind = [this](MaterialDef& material, bool instanced) {
            Gpu().SetVertexShader(instanced ? instancedVs_ : plainVs_);
            Gpu().SetPixelShader(tintPs_);
            Gpu().SetPixelShaderConstantF(0, &material.colours[0].r, 1);
        };
        device_->AttachMaterialBinder(&binder_);
        MakeQuad();
        material_.cullMode = sys::kCullNone;
        SetWorld(Matrix44());
    }
    void TearDown() override {
        rendertest::ReleaseObject(vertices_);
        rendertest::ReleaseObject(indices_);
        rendertest::ReleaseObject(plainVs_);
        rendertest::ReleaseObject(instancedVs_);
        rendertest::ReleaseObject(tintPs_);
        FreeTextureTable();
        GraphicsDeviceTest::TearDown();
    }

    // A white quad over the whole target in format 4, two triangles.
    void MakeQuad() {
        const testsupport::QuadBuffers quad = testsupport::MakeQuadBuffers(Gpu());
        vertices_ = quad.vertices;
        indices_ = quad.indices;
        ASSERT_TRUE(vertices_ != nullptr && indices_ != nullptr);
        batch_ = testsupport::QuadBatch(quad);
    }
    void SetWorld(const Matrix44& world) { vertexShaders_->SetMatrix(world, 8); }
    void Draw(int shell = 0, std::span<const Matrix44> bones = {}) {
        device_->DrawMeshBatch(batch_, material_, bones, shell, nullptr, nullptr);
    }
    void ClearTarget() { Gpu().Clear(0, nullptr, sys::kClearTarget | sys::kClearZBuffer, 0xFF000000u, 1.0f, 0); }
    std::uint64_t Draws() { return Gpu().CallCount(sys::GpuCall::DrawIndexedPrimitive); }
    std::array<std::uint32_t, 4> Counters() {
        return {device_->FrameCount(engine::kFrameBatches), device_->FrameCount(engine::kFrameObjects),
                device_->FrameCount(engine::kFrameVertices), device_->FrameCount(engine::kFrameTriangles)};
    }
    std::uint32_t State(std::uint32_t state) { return Gpu().GetRenderState(state); }

    FakeBinder binder_;
    MaterialDef material_;
    MeshBatch batch_;
    sys::GpuVertexBuffer* vertices_ = nullptr;
    sys::GpuIndexBuffer* indices_ = nullptr;
    sys::GpuVertexShader* plainVs_ = nullptr;
    sys::GpuVertexShader* instancedVs_ = nullptr;
    sys::GpuPixelShader* tintPs_ = nullptr;
};

TEST_F(MeshBatchTest, DepthAndColourMaskFollowTheMaterialFlagsAndBlend) {
    constexpr int kAny = -1;
    const std::uint32_t le = sys::kCmpLessEqual;
    const std::uint32_t ge = sys::kCmpGreaterEqual;
    const std::uint32_t always = sys::kCmpAlways;
    struct Row {
        std::uint32_t flags;
        int blend;
        std::uint32_t zEnable;
        int zWrite;
        int zFunc;
        std::uint32_t mask;
    };
    const Row rows[] = {
        {0x00, 0, 1, 1, le, 15},   {0x02, 0, 1, 1, ge, 15},   {0x04, 0, 1, 1, always, 15},
        {0x08, 0, 1, 0, le, 15},   {0x20, 0, 1, 1, le, 0},    {0x40, 0, 1, 1, le, 15},
        {0x00, 3, 1, 0, le, 7},    {0x02, 3, 1, 0, ge, 7},    {0x04, 3, 0, kAny, kAny, 7},
        {0x08, 3, 1, 0, le, 7},    {0x20, 3, 1, 1, le, 0},    {0x40, 3, 1, 1, le, 7},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << "flags 0x" << std::hex << row.flags << " blend " << row.blend);
        material_.flags = row.flags;
        material_.blendMode = row.blend;
        Draw();
        EXPECT_EQ(State(sys::kRsZEnable), row.zEnable);
        if (row.zWrite != kAny) {
            EXPECT_EQ(State(sys::kRsZWriteEnable), static_cast<std::uint32_t>(row.zWrite));
        }
        if (row.zFunc != kAny) {
            EXPECT_EQ(State(sys::kRsZFunc), static_cast<std::uint32_t>(row.zFunc));
        }
        EXPECT_EQ(State(sys::kRsColorWriteEnable), row.mask);
        EXPECT_EQ(State(sys::kRsAlphaBlendEnable), row.blend != 0 ? 1u : 0u);
    }
    EXPECT_EQ(Draws(), std::size(rows));

    // Cull mode, blend factors and the alpha test with the material's reference.
    material_.flags = 0;
    material_.blendMode = 3;
    material_.cullMode = sys::kCullCw;
    material_.alphaTestMode = 1;
    material_.alphaRef = 0x40;
    Draw();
    EXPECT_EQ(State(sys::kRsCullMode), sys::kCullCw);
    EXPECT_EQ(State(sys::kRsSrcBlend), sys::kBlendSrcAlpha);
    EXPECT_EQ(State(sys::kRsDestBlend), sys::kBlendInvSrcAlpha);
    EXPECT_EQ(State(sys::kRsAlphaTestEnable), 1u);
    EXPECT_EQ(State(sys::kRsAlphaRef), 0x40u);
}

TEST_F(MeshBatchTest, WireframeMaterialsDrawEdgesOnlyAndLeaveFillingSolid) {
    material_.colours[0] = {1, 0, 0, 1};
    ClearTarget();
    Draw();
    EXPECT_EQ(Pixel(kWidth / 2 + 3, kHeight / 2 - 5), Rgba(0xFFFF0000));

    material_.flags = engine::kMaterialWireframe;
    ClearTarget();
    Draw();
    EXPECT_EQ(Pixel(kWidth / 2 + 3, kHeight / 2 - 5), Rgba(0xFF000000)) << "inside the quad, off its edges";
    EXPECT_EQ(State(sys::kRsFillMode), sys::kFillSolid);
}

TEST_F(MeshBatchTest, AMaterialThatDoesNotBindIsNeitherDrawnNorCountedAndTheNextDrawTriesAgain) {
    binder_.result = 0;
    material_.shaderSetIndex = 3;
    Draw();
    Draw(2);
    EXPECT_EQ(Draws(), 0u);
    EXPECT_EQ(Counters(), (std::array<std::uint32_t, 4>{0, 0, 0, 0}));
    ASSERT_EQ(binder_.calls.size(), 2u);
    EXPECT_EQ(binder_.calls[1].shaderSet, 8);
    EXPECT_EQ(material_.shaderSetIndex, 3) << "the fur shell gives the material its own set back";

    binder_.result = 1;
    Draw();
    EXPECT_EQ(binder_.calls.size(), 3u);
    EXPECT_EQ(Draws(), 1u);
    EXPECT_EQ(Counters(), (std::array<std::uint32_t, 4>{1, 1, 4, 2}));

    // Without a binder nothing can be bound.
    device_->AttachMaterialBinder(nullptr);
    Draw();
    EXPECT_EQ(Draws(), 1u);
}

TEST_F(MeshBatchTest, CountersGrowPerBatchAndABatchWithoutATriangleCountsOnlyItsVertices) {
    std::array<std::uint32_t, engine::kFrameCounterWords> engineCounters{};
    device_->AttachFrameCounters(engineCounters.data());
    Gpu().ResetCallCounts();
    Draw();
    Draw();
    EXPECT_EQ(Gpu().CallCount(sys::GpuCall::SetStreamSource), 1u) << "stream 0 stays bound through the cache";
    EXPECT_EQ(Draws(), 2u);

    batch_.indexCount = 2;
    Draw();
    EXPECT_EQ(Draws(), 2u);
    EXPECT_EQ(Counters(), (std::array<std::uint32_t, 4>{2, 2, 12, 4}));
    EXPECT_EQ(engineCounters[engine::kFrameBatches], 2u);
    EXPECT_EQ(engineCounters[engine::kFrameVertices], 12u);

    device_->ResetFrameCounters();
    EXPECT_EQ(Counters(), (std::array<std::uint32_t, 4>{0, 0, 0, 0}));
    device_->AttachFrameCounters(nullptr);
    EXPECT_EQ(engineCounters[engine::kFrameVertices], 0u);
}

TEST_F(MeshBatchTest, SkinnedBatchesLoadThePaletteThroughTheirBoneSet) {
    Matrix44 palette[3];
    for (int i = 0; i < 3; ++i) palette[i].SetTranslation(static_cast<float>(i + 1), 0.0f, 0.0f);
    engine::BoneSet bones;
    bones.count = 2;
    bones.bones[0] = 2;
    bones.bones[1] = 0;
    batch_.boneSet = &bones;
    Draw(0, palette);
    ASSERT_EQ(binder_.calls.size(), 1u);
    EXPECT_TRUE(binder_.calls[0].skinned);
    // Transposed: the translation is the fourth column, so register 33 + 4 i holds it in w.
    EXPECT_EQ(Gpu().VertexRegister(33)[3], 3.0f);
    EXPECT_EQ(Gpu().VertexRegister(37)[3], 1.0f);
    EXPECT_EQ(Draws(), 1u);
}

TEST_F(MeshBatchTest, AnInstancedRunOfFourGivesTheSamePixelsAsFourSingleDraws) {
    Matrix44 worlds[4];
    for (int i = 0; i < 4; ++i) worlds[i] = rendertest::InstancePlacement(i);
    ClearTarget();
    for (const Matrix44& world : worlds) {
        SetWorld(world);
        Draw();
    }
    const std::vector<std::uint8_t> singles = Picture();

    // Something else in the dynamic buffer first, so that the rows do not start at its beginning.
    int first = -1;
    ASSERT_NE(engine::GlobalDynamicVertexBuffer()->Lock(engine::kVertexColour, 5, first), nullptr);
    engine::GlobalDynamicVertexBuffer()->Unlock();
    device_->ResetFrameCounters();
    Gpu().ResetCallCounts();
    ClearTarget();
    device_->DrawMeshBatchInstanced(batch_, material_, worlds, nullptr);
    EXPECT_EQ(Picture(), singles);
    EXPECT_TRUE(binder_.calls.back().instanced);
    EXPECT_EQ(Draws(), 1u);
    EXPECT_EQ(Gpu().CallCount(sys::GpuCall::SetStreamSourceFreq), 4u) << "set for the draw, then both back to 1";
    EXPECT_EQ(Counters(), (std::array<std::uint32_t, 4>{1, 4, 16, 8}));
    bool drawn = false;
    for (std::size_t i = 0; i < singles.size(); i += 4) drawn = drawn || singles[i] != 0;
    EXPECT_TRUE(drawn);

    // Stream frequencies are back to 1: a single draw afterwards draws one quad.
    ClearTarget();
    SetWorld(worlds[0]);
    Draw();
    EXPECT_NE(Picture(), singles);

    // No room for the rows: nothing is drawn or counted.
    engine::GlobalDynamicVertexBuffer()->Release();
    sys::GpuHooks().FailNext(sys::GpuCreateKind::VertexBuffer);
    device_->ResetFrameCounters();
    Gpu().ResetCallCounts();
    device_->DrawMeshBatchInstanced(batch_, material_, worlds, nullptr);
    EXPECT_EQ(Draws(), 0u);
    EXPECT_EQ(Gpu().CallCount(sys::GpuCall::SetStreamSourceFreq), 0u);
    EXPECT_EQ(Counters(), (std::array<std::uint32_t, 4>{0, 0, 0, 0}));
}

TEST_F(MeshBatchTest, FurShellsDrawOncePerShellWithTheirRegistersThroughTheFurSet) {
    material_.shaderSetIndex = 1;
    material_.furShellCount = 4;
    material_.furLength = 0.05f;
    material_.furTexScale = 2.0f;
    material_.blendMode = 0;
    const int furTexture = device_->FurDefaultTexture();
    ASSERT_NE(furTexture, 0);
    for (int shell = 1; shell <= 4; ++shell) {
        SCOPED_TRACE(shell);
        Draw(shell);
        EXPECT_EQ(Draws(), static_cast<std::uint64_t>(shell));
        EXPECT_EQ(binder_.calls.back().shaderSet, 8);
        EXPECT_EQ(material_.shaderSetIndex, 1);
        const float fraction = static_cast<float>(shell) / 4.0f;
        EXPECT_EQ(Gpu().VertexRegister(31), (sys::GpuFloat4{fraction, 0.05f, 0, 0}));
        EXPECT_EQ(Gpu().VertexRegister(32), (sys::GpuFloat4{0, -0.3f, 0, 0}));
        EXPECT_EQ(Gpu().PixelRegister(0), (sys::GpuFloat4{fraction, 2.0f, 0, 0}));
    }
    EXPECT_EQ(State(sys::kRsAlphaBlendEnable), 1u);
    EXPECT_EQ(State(sys::kRsSrcBlend), sys::kBlendSrcAlpha);
    EXPECT_EQ(State(sys::kRsDestBlend), sys::kBlendInvSrcAlpha);
    EXPECT_EQ(State(sys::kRsZEnable), 1u);
    EXPECT_EQ(State(sys::kRsZWriteEnable), 0u);
    EXPECT_EQ(State(sys::kRsAlphaTestEnable), 1u);
    EXPECT_EQ(State(sys::kRsAlphaRef), 1u);
    EXPECT_EQ(State(sys::kRsColorWriteEnable), 7u);
    EXPECT_EQ(Gpu().GetTexture(0), engine::TextureTable::Get(furTexture)->texture);
    EXPECT_EQ(Gpu().GetSamplerState(0, sys::kSampMinFilter), sys::kFilterPoint);
    EXPECT_EQ(Gpu().GetSamplerState(0, sys::kSampAddressU), 1u);

    // The material's own fur texture when it has one; the base pass clears the shell register.
    material_.furTexture = engine::TextureTable::MakeCheckTexture(0xFFFFFFFFu, 0xFF000000u, 8);
    Draw(1);
    EXPECT_EQ(Gpu().GetTexture(0), engine::TextureTable::Get(material_.furTexture)->texture);
    Draw(0);
    EXPECT_EQ(Gpu().VertexRegister(31), (sys::GpuFloat4{0, 0, 0, 0}));
    EXPECT_EQ(binder_.calls.back().shaderSet, 1);

    // No shells: nothing at all.
    material_.furShellCount = 0;
    const std::size_t binds = binder_.calls.size();
    const std::uint64_t draws = Draws();
    Draw(1);
    EXPECT_EQ(binder_.calls.size(), binds);
    EXPECT_EQ(Draws(), draws);
}

TEST_F(MeshBatchTest, TheFurDefaultTextureIsAnOpaqueBlueToRedGradientMadeOnce) {
    const int handle = device_->FurDefaultTexture();
    ASSERT_NE(handle, 0);
    EXPECT_EQ(device_->FurDefaultTexture(), handle);
    engine::Texture* texture = engine::TextureTable::Get(handle);
    ASSERT_NE(texture->texture, nullptr);
    EXPECT_EQ(texture->width, 32u);
    EXPECT_EQ(texture->height, 32u);
    EXPECT_EQ(texture->alphaKind, engine::kAlphaOpaque);
    EXPECT_EQ(texture->texture->GetLevelCount(), 1u);
    sys::GpuLockedRect locked;
    ASSERT_EQ(texture->texture->LockRect(0, locked, nullptr, sys::kLockReadOnly), sys::kGpuOk);
    auto texel = [&](int x, int y) {
        const auto* row = static_cast<const std::uint8_t*>(locked.bits) + y * locked.pitch;
        return std::array<int, 4>{row[x * 4 + 2], row[x * 4 + 1], row[x * 4], row[x * 4 + 3]};  // R, G, B, A
    };
    EXPECT_EQ(texel(0, 0), (std::array<int, 4>{0, 0, 255, 255}));
    EXPECT_EQ(texel(31, 17), (std::array<int, 4>{255, 0, 0, 255}));
    for (int x = 1; x < 32; ++x) {
        EXPECT_GT(texel(x, 0)[0], texel(x - 1, 0)[0]) << "red grows column by column";
        EXPECT_LT(texel(x, 0)[2], texel(x - 1, 0)[2]) << "blue falls column by column";
        EXPECT_EQ(texel(x, 31), texel(x, 0)) << "columns are one colour";
    }
    texture->texture->UnlockRect(0);

    // A freed texture is made again.
    engine::TextureTable::Release(handle);
    const int again = device_->FurDefaultTexture();
    ASSERT_NE(again, 0);
    EXPECT_EQ(engine::TextureTable::Get(again)->width, 32u);
}

}  // namespace
