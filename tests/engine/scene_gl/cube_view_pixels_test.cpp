// The scene around a node rendered into a cube texture on the GL test context: each face sees the wall on its
// axis, directions map to face pixels as cube-map sampling reads them, depth decides what a face shows, and the
// caller's depth surface survives.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/render/quad_shader_binding.h"
#include "engine/render/vertex_formats.h"
#include "engine/scene/cube_view.h"
#include "scene_render_fixture.h"
#include "sys/gpu_resource.h"

namespace {

using namespace engine;
using scenegl::kFaceColours;
using scenegl::NearColour;
using scenegl::SceneRenderTest;

constexpr int kEdge = 32;
constexpr std::uint32_t kMarker = 0xFFFFFFFFu;
constexpr std::uint32_t kNearBox = 0xFF808080u;
constexpr std::uint32_t kHiddenBox = 0xFF000000u;

// The face (0-5: +X, -X, +Y, -Y, +Z, -Z) and texel that cube-map sampling reads for a direction.
struct FaceTexel {
    int face;
    int x;
    int y;
};

FaceTexel TexelOf(const Vec3& d) {
    const float ax = std::fabs(d.x), ay = std::fabs(d.y), az = std::fabs(d.z);
    int face = 0;
    float sc = 0, tc = 0, ma = 0;
    if (ax >= ay && ax >= az) {
        face = d.x > 0 ? 0 : 1, ma = ax, sc = d.x > 0 ? -d.z : d.z, tc = -d.y;
    } else if (ay >= az) {
        face = d.y > 0 ? 2 : 3, ma = ay, sc = d.x, tc = d.y > 0 ? d.z : -d.z;
    } else {
        face = d.z > 0 ? 4 : 5, ma = az, sc = d.z > 0 ? d.x : -d.x, tc = -d.y;
    }
    const auto texel = [](float s, float m) {
        return std::clamp(static_cast<int>((s / m + 1.0f) * 0.5f * kEdge), 0, kEdge - 1);
    };
    return {face, texel(sc, ma), texel(tc, ma)};
}

class CubeViewPixelsTest : public SceneRenderTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(SceneRenderTest::SetUp());
        cube_ = Gpu().CreateCubeTexture(kEdge, 1, sys::kUsageRenderTarget, sys::kFmtA8R8G8B8, sys::kPoolDefault);
        ASSERT_NE(cube_, nullptr);
        handle_ = TextureTable::CreateEmpty("Reflection");
        Texture* texture = TextureTable::Get(handle_);
        ASSERT_NE(texture, nullptr);
        texture->cubeTexture = cube_;
        texture->flags |= kTextureCube;
        texture->width = texture->height = kEdge;
        texture->widthF = texture->heightF = static_cast<float>(kEdge);
        // A room of six walls 5 units from the origin, each the colour of its face in the test cube maps.
        const Vec3 axes[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
        for (int f = 0; f < 6; ++f) {
            Vec3 low{-6, -6, -6}, high{6, 6, 6};
            const Vec3& a = axes[f];
            const auto wall = [](float& lo, float& hi, float sign) {
                lo = sign > 0 ? 5.0f : -6.0f;
                hi = sign > 0 ? 6.0f : -5.0f;
            };
            if (a.x != 0) wall(low.x, high.x, a.x);
            if (a.y != 0) wall(low.y, high.y, a.y);
            if (a.z != 0) wall(low.z, high.z, a.z);
            AddBox({low, high}, kFaceColours[f], 0);
        }
        // A marker above the horizon towards +X; a box in front of the +Z wall and one hidden behind it.
        AddBox({{3.6f, 0.8f, -0.4f}, {4.4f, 1.6f, 0.4f}}, kMarker, 0);
        AddBox({{-0.5f, -0.5f, 2.5f}, {0.5f, 0.5f, 3.5f}}, kNearBox, 0);
        AddBox({{1.3f, -0.7f, 6.5f}, {2.7f, 0.7f, 7.9f}}, kHiddenBox, 0);
        eye_ = SceneNode::Init(kNodeGroup, "eye");
        ASSERT_TRUE(root->AddChild(eye_));
        root->UpdateWorldMatrix();
    }

    std::array<int, 4> Seen(const std::vector<std::uint8_t> (&faces)[6], const Vec3& direction) {
        const FaceTexel t = TexelOf(direction);
        const std::size_t at = (static_cast<std::size_t>(t.y) * kEdge + t.x) * 4;
        if (faces[t.face].size() < at + 4) return {-1, -1, -1, -1};
        return {faces[t.face][at], faces[t.face][at + 1], faces[t.face][at + 2], faces[t.face][at + 3]};
    }
    void ReadFaces(std::vector<std::uint8_t> (&faces)[6]) {
        for (int f = 0; f < 6; ++f) {
            sys::GpuSurface* surface = cube_->GetCubeMapSurface(static_cast<sys::GpuCubeFace>(f), 0);
            ASSERT_NE(surface, nullptr);
            EXPECT_TRUE(Gpu().ReadSurfaceRgba8(surface, faces[f]));
            surface->Release();
        }
    }

    sys::GpuCubeTexture* cube_ = nullptr;
    int handle_ = 0;
    SceneNode* eye_ = nullptr;
};

TEST_F(CubeViewPixelsTest, EachFaceSeesTheWallOnItsAxisAndDirectionsFindTheirPixels) {
    ASSERT_EQ(RenderCubeView(handle_, eye_, queue.get(), 0.1f, 50.0f, services_), 1);
    std::vector<std::uint8_t> faces[6];
    ASSERT_NO_FATAL_FAILURE(ReadFaces(faces));

    // Inside each face, away from the marker and the boxes: that face's wall.
    struct Case {
        const char* name;
        Vec3 direction;
        std::uint32_t colour;
    };
    const Case cases[] = {
        {"+X below the horizon", {1, -0.3f, 0}, kFaceColours[0]},
        {"+X towards +Z", {1, 0, 0.5f}, kFaceColours[0]},
        {"+X marker above the horizon", {1, 0.3f, 0}, kMarker},
        {"-X", {-1, 0.2f, 0.4f}, kFaceColours[1]},
        {"+Y", {0.3f, 1, -0.2f}, kFaceColours[2]},
        {"-Y", {-0.2f, -1, 0.4f}, kFaceColours[3]},
        {"+Z beside the near box", {-0.5f, 0.4f, 1}, kFaceColours[4]},
        {"-Z", {0.4f, -0.3f, -1}, kFaceColours[5]},
        // Depth decides, whatever the drawing order: the near box hides the wall, the wall hides the far box.
        {"+Z near box", {0, 0, 1}, kNearBox},
        {"+Z over the hidden box", {0.286f, 0, 1}, kFaceColours[4]},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(NearColour(Seen(faces, c.direction), c.colour)) << c.name;
    }
    // The same room seen from a node moved up keeps its faces: the placement moves every face's camera.
    eye_->SetLocalMatrix(scenegl::Translation(0.0f, 2.0f, 0.0f));
    root->UpdateWorldMatrix();
    ASSERT_EQ(RenderCubeView(handle_, eye_, queue.get(), 0.1f, 50.0f, services_), 1);
    ASSERT_NO_FATAL_FAILURE(ReadFaces(faces));
    EXPECT_TRUE(NearColour(Seen(faces, {1, -0.6f, 0}), kFaceColours[0]));
    EXPECT_TRUE(NearColour(Seen(faces, {1, -0.2f, 0}), kMarker));
    EXPECT_TRUE(NearColour(Seen(faces, {0, 1, 0.2f}), kFaceColours[2]));
}

TEST_F(CubeViewPixelsTest, TheCallersTargetViewportAndDepthSurfaceSurvive) {
    // The back buffer with depth 0.25 everywhere and a small viewport.
    device_->SetRenderTargetSurface(device_->BackBufferSurface());
    device_->SetDepthSurfaceCached(device_->BackBufferDepthSurface());
    Gpu().Clear(0, nullptr, sys::kClearTarget | sys::kClearZBuffer, 0xFF000000u, 0.25f, 0);
    sys::GpuViewport small;
    small.x = 2, small.y = 3, small.width = 10, small.height = 8;
    Gpu().SetViewport(small);

    ASSERT_EQ(RenderCubeView(handle_, eye_, queue.get(), 0.1f, 50.0f, services_), 1);

    EXPECT_EQ(Gpu().GetViewport().width, 10u);
    EXPECT_EQ(Gpu().GetViewport().x, 2u);
    sys::GpuSurface* target = Gpu().GetRenderTarget(0);
    sys::GpuSurface* depth = Gpu().GetDepthStencilSurface();
    EXPECT_EQ(target, device_->BackBufferSurface());
    EXPECT_EQ(depth, device_->BackBufferDepthSurface());
    if (target != nullptr) target->Release();
    if (depth != nullptr) depth->Release();

    // A quad at depth 0.5 fails the depth test wherever the depth 0.25 is still there.
    sys::GpuViewport whole;
    whole.width = kWidth, whole.height = kHeight;
    Gpu().SetViewport(whole);
    ASSERT_TRUE(BindQuadShaders(*vertexShaders_, *pixelShaders_, QuadPixelShader::VertexColour));
    device_->SetDepthMode(true, false, false);
    device_->SetBlendMode(0);
    device_->SetCullMode(sys::kCullNone);
    const ColouredVertex quad[4] = {{-1, 1, 0.5f, 0xFFFFFFFFu}, {1, 1, 0.5f, 0xFFFFFFFFu}, {-1, -1, 0.5f, 0xFFFFFFFFu},
                                    {1, -1, 0.5f, 0xFFFFFFFFu}};
    ASSERT_EQ(device_->DrawFromMemory(sys::kPrimTriangleStrip, 2, quad, kVertexColour), sys::kGpuOk);
    EXPECT_EQ(Pixel(kWidth / 2, kHeight / 2)[0], 0);
    EXPECT_EQ(Pixel(1, 1)[0], 0);
}

}  // namespace
