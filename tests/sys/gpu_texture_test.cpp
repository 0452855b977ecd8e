// The graphics layer's textures: locking, formats, mip levels, sampler states and cube faces.
#include <cstring>

#include "gpu_test_fixture.h"

namespace {

using gputest::GpuDeviceTest;
using gputest::Ref;
using gputest::Rgba;
using gputest::Words;
using namespace sys;

struct TexturedVertex {
    float x, y, z, u, v;
};

constexpr const char* kTexturedVertexShader = R"(
struct VS_OUT { float4 Pos : POSITION; float2 Uv : TEXCOORD0; };
VS_OUT main(float4 Pos : POSITION0, float2 Uv : TEXCOORD0) { VS_OUT o; o.Pos = Pos; o.Uv = Uv; return o; }
)";
constexpr const char* kTexturedPixelShader = R"(
sampler2D Tex : register(s3);
float4 main(float2 Uv : TEXCOORD0) : COLOR { return tex2D(Tex, Uv); }
)";
constexpr const char* kCubePixelShader = R"(
samplerCUBE Cube : register(s0);
float4 Direction : register(c0);
float4 main(float2 Uv : TEXCOORD0) : COLOR { return texCUBE(Cube, Direction.xyz); }
)";
constexpr std::uint32_t kStage = 3;

class GpuTextureTest : public GpuDeviceTest {
protected:
    void UseShaders(const char* pixel) {
        vertexShader_ = device_->CreateVertexShader(Words(kTexturedVertexShader, ShaderStage::Vertex));
        pixelShader_ = device_->CreatePixelShader(Words(pixel, ShaderStage::Pixel));
        const GpuVertexElement elements[] = {{0, 0, kDeclFloat3, 0, kUsagePosition, 0},
                                             {0, 12, kDeclFloat2, 0, kUsageTexCoord, 0}};
        declaration_ = device_->CreateVertexDeclaration(elements);
        ASSERT_TRUE(vertexShader_ && pixelShader_ && declaration_);
        device_->SetVertexShader(vertexShader_.get());
        device_->SetPixelShader(pixelShader_.get());
        device_->SetVertexDeclaration(declaration_.get());
        device_->SetRenderState(kRsZEnable, 0);
    }

    // Draws the texture's (0, 0)-(uMax, vMax) over a width x height viewport at the top left, texel centres on
    // pixel centres (the screen rectangle starts half a pixel up and left of pixel 0's centre).
    void DrawTextured(std::uint32_t width, std::uint32_t height, float uMax = 1.0f, float vMax = 1.0f) {
        GpuViewport viewport;
        viewport.width = width;
        viewport.height = height;
        device_->SetViewport(viewport);
        const float x0 = -1.0f - 1.0f / width, x1 = 1.0f - 1.0f / width;
        const float y0 = 1.0f + 1.0f / height, y1 = -1.0f + 1.0f / height;
        const TexturedVertex vertices[] = {{x0, y0, 0, 0, 0},    {x1, y0, 0, uMax, 0}, {x1, y1, 0, uMax, vMax},
                                           {x0, y0, 0, 0, 0},    {x1, y1, 0, uMax, vMax}, {x0, y1, 0, 0, vMax}};
        ASSERT_EQ(device_->DrawPrimitiveUP(kPrimTriangleList, 2, vertices, sizeof(TexturedVertex)), kGpuOk);
    }

    static void FillLevel(GpuTexture* texture, std::uint32_t level, const GpuRect* rect, std::uint32_t argb) {
        GpuLockedRect locked;
        ASSERT_EQ(texture->LockRect(level, locked, rect, 0), kGpuOk);
        GpuSurfaceDesc desc;
        texture->GetLevelDesc(level, desc);
        const GpuRect whole = {0, 0, static_cast<std::int32_t>(desc.width), static_cast<std::int32_t>(desc.height)};
        const GpuRect area = rect != nullptr ? *rect : whole;
        for (int y = 0; y < area.bottom - area.top; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(locked.bits) + y * locked.pitch);
            for (int x = 0; x < area.right - area.left; ++x) row[x] = argb;
        }
        ASSERT_EQ(texture->UnlockRect(level), kGpuOk);
    }
};

TEST_F(GpuTextureTest, LockedRectanglesReachTheTextureTopRowFirst) {
    UseShaders(kTexturedPixelShader);
    Ref<GpuTexture> texture(device_->CreateTexture(4, 4, 1, 0, kFmtA8R8G8B8, kPoolManaged));
    ASSERT_TRUE(texture);
    FillLevel(texture.get(), 0, nullptr, 0xFF0000FF);
    const GpuRect topRow = {0, 0, 4, 1};
    const GpuRect middle = {1, 1, 3, 3};
    FillLevel(texture.get(), 0, &topRow, 0xFF00FF00);
    FillLevel(texture.get(), 0, &middle, 0x80FF0000);
    device_->SetTexture(kStage, texture.get());
    DrawTextured(4, 4);
    EXPECT_EQ(Pixel(0, 0), Rgba(0xFF00FF00));
    EXPECT_EQ(Pixel(3, 0), Rgba(0xFF00FF00));
    EXPECT_EQ(Pixel(1, 1), Rgba(0x80FF0000));
    EXPECT_EQ(Pixel(2, 2), Rgba(0x80FF0000));
    EXPECT_EQ(Pixel(0, 3), Rgba(0xFF0000FF));
    EXPECT_EQ(Pixel(3, 2), Rgba(0xFF0000FF));

    // Without alpha the texture reads opaque.
    Ref<GpuTexture> opaque(device_->CreateTexture(4, 4, 1, 0, kFmtX8R8G8B8, kPoolManaged));
    FillLevel(opaque.get(), 0, nullptr, 0x00102030);
    device_->SetTexture(kStage, opaque.get());
    DrawTextured(4, 4);
    EXPECT_EQ(Pixel(2, 2), Rgba(0xFF102030));
}

TEST_F(GpuTextureTest, LocksAreCheckedAndLevelsDescribed) {
    Ref<GpuTexture> texture(device_->CreateTexture(8, 4, 0, 0, kFmtA8R8G8B8, kPoolManaged));
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->GetLevelCount(), 4u);
    GpuSurfaceDesc desc;
    ASSERT_EQ(texture->GetLevelDesc(2, desc), kGpuOk);
    EXPECT_EQ(desc.width, 2u);
    EXPECT_EQ(desc.height, 1u);
    EXPECT_EQ(texture->GetLevelDesc(4, desc), kGpuInvalidCall);
    GpuLockedRect locked;
    const GpuRect outside = {6, 0, 9, 2};
    EXPECT_EQ(texture->LockRect(0, locked, &outside, 0), kGpuInvalidCall);
    ASSERT_EQ(texture->LockRect(1, locked, nullptr, 0), kGpuOk);
    EXPECT_EQ(locked.pitch, 16);
    EXPECT_EQ(texture->LockRect(1, locked, nullptr, 0), kGpuInvalidCall);
    EXPECT_EQ(texture->UnlockRect(1), kGpuOk);
    EXPECT_EQ(texture->UnlockRect(1), kGpuInvalidCall);
    Ref<GpuSurface> level(texture->GetSurfaceLevel(3));
    ASSERT_TRUE(level);
    EXPECT_EQ(level->GetDesc().width, 1u);
    EXPECT_EQ(level->Container(), texture.get());
    EXPECT_EQ(texture->GetSurfaceLevel(4), nullptr);

    Ref<GpuTexture> target(device_->CreateTexture(8, 8, 1, kUsageRenderTarget, kFmtA8R8G8B8, kPoolDefault));
    EXPECT_EQ(target->LockRect(0, locked, nullptr, 0), kGpuInvalidCall);
    EXPECT_EQ(device_->CreateTexture(8, 8, 1, 0, kFmtD24S8, kPoolManaged), nullptr);
    GpuHooks().FailNext(GpuCreateKind::Texture);
    EXPECT_EQ(device_->CreateTexture(8, 8, 1, 0, kFmtA8R8G8B8, kPoolManaged), nullptr);
}

TEST_F(GpuTextureTest, AOneLevelTextureUnderAMipFilterReadsItsTexels) {
    UseShaders(kTexturedPixelShader);
    Ref<GpuTexture> texture(device_->CreateTexture(16, 16, 1, 0, kFmtA8R8G8B8, kPoolManaged));
    FillLevel(texture.get(), 0, nullptr, 0xFFC08040);
    device_->SetTexture(kStage, texture.get());
    device_->SetSamplerState(kStage, kSampMinFilter, kFilterLinear);
    device_->SetSamplerState(kStage, kSampMagFilter, kFilterLinear);
    device_->SetSamplerState(kStage, kSampMipFilter, kFilterLinear);
    DrawTextured(4, 4);
    EXPECT_EQ(Pixel(1, 1), Rgba(0xFFC08040));
}

TEST_F(GpuTextureTest, MaxMipLevelAndLodBiasChooseTheLevel) {
    UseShaders(kTexturedPixelShader);
    Ref<GpuTexture> texture(device_->CreateTexture(8, 8, 4, 0, kFmtA8R8G8B8, kPoolManaged));
    const std::uint32_t colours[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    for (std::uint32_t level = 0; level < 4; ++level) FillLevel(texture.get(), level, nullptr, colours[level]);
    device_->SetTexture(kStage, texture.get());
    device_->SetSamplerState(kStage, kSampMipFilter, kFilterPoint);
    const struct {
        std::uint32_t maxMipLevel;
        float bias;
        int level;
    } cases[] = {{0, 0.0f, 0}, {1, 0.0f, 1}, {2, 0.0f, 2}, {0, 1.0f, 1},
                 {0, 2.0f, 2}, {1, 1.0f, 1}, {1, 2.0f, 2}, {3, -2.0f, 3}};
    for (const auto& test : cases) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &test.bias, sizeof bits);
        device_->SetSamplerState(kStage, kSampMaxMipLevel, test.maxMipLevel);
        device_->SetSamplerState(kStage, kSampMipMapLodBias, bits);
        DrawTextured(8, 8);
        EXPECT_EQ(Pixel(3, 3), Rgba(colours[test.level])) << test.maxMipLevel << " " << test.bias;
    }
}

TEST_F(GpuTextureTest, AddressModesOutsideTheTexture) {
    UseShaders(kTexturedPixelShader);
    Ref<GpuTexture> texture(device_->CreateTexture(2, 1, 1, 0, kFmtA8R8G8B8, kPoolManaged));
    const GpuRect left = {0, 0, 1, 1};
    const GpuRect right = {1, 0, 2, 1};
    FillLevel(texture.get(), 0, &left, 0xFFFF0000);
    FillLevel(texture.get(), 0, &right, 0xFF00FF00);
    device_->SetTexture(kStage, texture.get());
    const std::uint32_t red = 0xFFFF0000, green = 0xFF00FF00, none = 0;
    const struct {
        std::uint32_t mode;
        std::uint32_t expected[4];
    } cases[] = {{kAddressWrap, {red, green, red, green}},
                 {kAddressMirror, {red, green, green, red}},
                 {kAddressClamp, {red, green, green, green}},
                 {kAddressBorder, {red, green, none, none}}};
    for (const auto& test : cases) {
        device_->SetSamplerState(kStage, kSampAddressU, test.mode);
        device_->Clear(0, nullptr, kClearTarget, 0xFF808080, 1.0f, 0);
        DrawTextured(4, 1, 2.0f, 1.0f);
        for (int x = 0; x < 4; ++x) EXPECT_EQ(Pixel(x, 0), Rgba(test.expected[x])) << test.mode << " at " << x;
    }
}

TEST_F(GpuTextureTest, EachCubeFaceIsSampledByItsDirection) {
    UseShaders(kCubePixelShader);
    Ref<GpuCubeTexture> cube(device_->CreateCubeTexture(2, 1, 0, kFmtA8R8G8B8, kPoolManaged));
    ASSERT_TRUE(cube);
    const std::uint32_t colours[6] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF};
    for (std::uint32_t face = 0; face < 6; ++face) {
        GpuLockedRect locked;
        ASSERT_EQ(cube->LockRect(static_cast<GpuCubeFace>(face), 0, locked, nullptr, 0), kGpuOk);
        for (int i = 0; i < 4; ++i) static_cast<std::uint32_t*>(locked.bits)[i] = colours[face];
        ASSERT_EQ(cube->UnlockRect(static_cast<GpuCubeFace>(face), 0), kGpuOk);
    }
    device_->SetTexture(0, cube.get());
    const float directions[6][4] = {{1, 0, 0, 0},  {-1, 0, 0, 0}, {0, 1, 0, 0},
                                    {0, -1, 0, 0}, {0, 0, 1, 0},  {0, 0, -1, 0}};
    for (int face = 0; face < 6; ++face) {
        device_->SetPixelShaderConstantF(0, directions[face], 1);
        DrawTextured(2, 2);
        EXPECT_EQ(Pixel(1, 1), Rgba(colours[face])) << "face " << face;
    }
    Ref<GpuSurface> face(cube->GetCubeMapSurface(kCubeNegativeY, 0));
    ASSERT_TRUE(face);
    EXPECT_EQ(face->Face(), static_cast<std::uint32_t>(kCubeNegativeY));
}

TEST_F(GpuTextureTest, RenderTargetTexturesTakeDrawsAndR32FKeepsFloats) {
    Ref<GpuTexture> floats(device_->CreateTexture(4, 4, 1, kUsageRenderTarget, kFmtR32F, kPoolDefault));
    ASSERT_TRUE(floats);
    Ref<GpuSurface> surface(floats->GetSurfaceLevel(0));
    device_->SetRenderTarget(0, surface.get());
    device_->SetDepthStencilSurface(nullptr);
    ASSERT_EQ(device_->Clear(0, nullptr, kClearTarget, 0xFF400000, 1.0f, 0), kGpuOk);
    std::vector<float> values;
    ASSERT_TRUE(device_->ReadSurfaceFloats(surface.get(), values));
    ASSERT_EQ(values.size(), 16u);
    EXPECT_NEAR(values[15], 64.0f / 255.0f, 1e-6f);

    // A picture drawn into a texture is read back the right way up by sampling it.
    Ref<GpuTexture> picture(device_->CreateTexture(4, 4, 1, kUsageRenderTarget, kFmtA8R8G8B8, kPoolDefault));
    Ref<GpuSurface> pictureSurface(picture->GetSurfaceLevel(0));
    device_->SetRenderTarget(0, pictureSurface.get());
    device_->Clear(0, nullptr, kClearTarget, 0xFF0000FF, 1.0f, 0);
    const GpuRect top = {0, 0, 4, 1};
    device_->Clear(1, &top, kClearTarget, 0xFFFF0000, 1.0f, 0);
    Ref<GpuSurface> back(device_->GetBackBuffer());
    device_->SetRenderTarget(0, back.get());
    UseShaders(kTexturedPixelShader);
    device_->SetTexture(kStage, picture.get());
    DrawTextured(4, 4);
    EXPECT_EQ(Pixel(2, 0), Rgba(0xFFFF0000));
    EXPECT_EQ(Pixel(2, 1), Rgba(0xFF0000FF));
}

}  // namespace

namespace {

TEST_F(GpuTextureTest, BlockTexturesLockWholeLevelsAndSampleTheirBlocks) {
    Ref<GpuTexture> texture(device_->CreateTexture(8, 4, 0, 0, kFmtDxt1, kPoolManaged));
    if (!texture) GTEST_SKIP() << "the driver takes no S3TC blocks";
    EXPECT_EQ(texture->GetLevelCount(), 4u);
    EXPECT_EQ(texture->Format(), kFmtDxt1);
    GpuLockedRect locked;
    const GpuRect part = {0, 0, 4, 4};
    EXPECT_EQ(texture->LockRect(0, locked, &part, 0), kGpuInvalidCall);
    ASSERT_EQ(texture->LockRect(2, locked, nullptr, 0), kGpuOk);
    EXPECT_EQ(locked.pitch, 8);  // a 2 x 1 level is one block
    EXPECT_EQ(texture->UnlockRect(2), kGpuOk);
    ASSERT_EQ(texture->LockRect(0, locked, nullptr, 0), kGpuOk);
    EXPECT_EQ(locked.pitch, 16);
    // Two blocks: opaque red (colour0 = colour1 = 0xF800, indices 0) and blue.
    const std::uint8_t blocks[16] = {0x00, 0xF8, 0x00, 0xF8, 0, 0, 0, 0, 0x1F, 0x00, 0x1F, 0x00, 0, 0, 0, 0};
    std::memcpy(locked.bits, blocks, sizeof(blocks));
    ASSERT_EQ(texture->UnlockRect(0), kGpuOk);
    UseShaders(kTexturedPixelShader);
    device_->SetTexture(kStage, texture.get());
    DrawTextured(8, 4);
    EXPECT_EQ(Pixel(1, 1), Rgba(0xFFFF0000));
    EXPECT_EQ(Pixel(6, 2), Rgba(0xFF0000FF));
}

}  // namespace
