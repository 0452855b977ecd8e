// Passes of a render target: begin and clear, rectangles that limit clearing and drawing, the resolve of the
// multisampled surface, shadow-map and cube-face targets, scenes through a view, and the quad queue.
#include <cmath>
#include <string>

#include "engine/render/quad_queue.h"
#include "render_target_fixture.h"
#include "sys/gpu_test_hooks.h"

namespace {

using engine::IntRect;
using engine::RenderTarget;
using targettest::FillingView;
using targettest::RenderTargetTest;

constexpr int kW = 20;
constexpr int kH = 14;
constexpr std::uint32_t kRed = 0xFFFF0000u;
constexpr std::uint32_t kBlue = 0xFF0000FFu;
constexpr std::uint32_t kGreen = 0xFF00FF00u;

TEST_F(RenderTargetTest, BeginThenEndLeavesTheClearColourInEveryPixel) {
    for (const bool multisample : {true, false}) {
        for (const int kind : {engine::kTargetPlain, engine::kTargetMain}) {
            SCOPED_TRACE(::testing::Message() << "kind " << kind << (multisample ? "" : ", no multisampling"));
            RenderTarget* target = Make(kW, kH, kind);
            ASSERT_NE(target->ColourSurface(0), nullptr);
            EXPECT_EQ(target->MultisampledSurface() != nullptr, kind == engine::kTargetMain);
            // Something else first, so that a clear that misses pixels shows.
            target->Begin(kGreen);
            target->End();
            const std::uint32_t colour = 0x80336699u;
            if (multisample) {
                target->Begin(colour);
            } else {
                target->BeginNoMultisample(colour);
            }
            EXPECT_EQ(target->State(), 1);
            target->End();
            EXPECT_EQ(target->State(), 2);
            EXPECT_TRUE(Split(Read(*target), kW, kH, {}, 0, colour));
            delete target;
        }
    }
}

// Each way of limiting a pass to the rectangle {3, 2, 6, 5}: top-left origin, right and bottom edges outside.
TEST_F(RenderTargetTest, ClearRectViewportAndClipRectLimitClearingAndDrawingToTheirRectangle) {
    const IntRect rect = {3, 2, 6, 5};
    struct Case {
        const char* name;
        void (*run)(RenderTarget& target, const IntRect& rect);
        std::uint32_t inside;
        std::uint32_t outside;
    };
    const Case cases[] = {
        {"ClearRect",
         [](RenderTarget& t, const IntRect& r) {
             t.FillRect({0, 0, kW, kH}, kBlue, 0);
             t.ClearRect(r);
         },
         kRed, kBlue},
        {"SetViewport then Clear",
         [](RenderTarget& t, const IntRect& r) {
             t.FillRect({0, 0, kW, kH}, kBlue, 0);
             t.SetViewport(r);
             t.Clear();
         },
         kRed, kBlue},
        {"SetClipRect then Clear",
         [](RenderTarget& t, const IntRect& r) {
             t.FillRect({0, 0, kW, kH}, kBlue, 0);
             t.SetClipRect(&r);
             t.Clear();
         },
         kRed, kBlue},
        {"SetClipRect then FillRect",
         [](RenderTarget& t, const IntRect& r) {
             t.SetClipRect(&r);
             t.FillRect({0, 0, kW, kH}, kBlue, 0);
         },
         kBlue, kRed},
        {"SetClipRect(null) draws everywhere again",
         [](RenderTarget& t, const IntRect& r) {
             t.SetClipRect(&r);
             t.SetClipRect(nullptr);
             t.FillRect({0, 0, kW, kH}, kBlue, 0);
         },
         kBlue, kBlue},
    };
    // The device does the limiting for every kind; a plain target keeps the quads' edges exact.
    {
        RenderTarget* target = Make(kW, kH, engine::kTargetPlain);
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            target->Begin(kRed);
            c.run(*target, rect);
            target->End();
            EXPECT_TRUE(Split(Read(*target), kW, kH, rect, c.inside, c.outside));
        }
        // The next pass starts with the scissor test off and the whole target as viewport.
        target->Begin(kGreen);
        target->End();
        EXPECT_TRUE(Split(Read(*target), kW, kH, {}, 0, kGreen));
        delete target;
    }
}

TEST_F(RenderTargetTest, ResolveCopiesTheMultisampledSurfaceOncePerPass) {
    RenderTarget* target = Make(kW, kH, engine::kTargetMain);
    ASSERT_NE(target->MultisampledSurface(), nullptr);
    target->Begin(kBlue);
    const std::uint64_t before = Gpu().CallCount(sys::GpuCall::StretchRect);
    target->Resolve();
    target->Resolve();
    target->End();
    EXPECT_EQ(Gpu().CallCount(sys::GpuCall::StretchRect), before + 1);
    EXPECT_TRUE(target->IsResolved());
    EXPECT_EQ(target->DepthSurface(), target->MultisampledDepthSurface());
    target->Begin(kRed);
    target->End();
    EXPECT_EQ(Gpu().CallCount(sys::GpuCall::StretchRect), before + 2) << "a new pass resolves again";
    target->BeginNoMultisample(kGreen);
    target->End();
    EXPECT_EQ(Gpu().CallCount(sys::GpuCall::StretchRect), before + 2) << "nothing to resolve";
    EXPECT_EQ(target->DepthSurface(), device_->BackBufferDepthSurface());
    // Plain targets never resolve.
    RenderTarget* plain = Make(kW, kH, engine::kTargetPlain);
    plain->Begin(kRed);
    plain->End();
    EXPECT_EQ(Gpu().CallCount(sys::GpuCall::StretchRect), before + 2);
}

TEST_F(RenderTargetTest, WithoutAMultisampledDepthSurfaceTheMainKindDrawsOnTheBackBufferDepth) {
    sys::GpuHooks().FailNext(sys::GpuCreateKind::DepthStencil);
    RenderTarget* target = Make(kW, kH, engine::kTargetMain);
    EXPECT_EQ(target->MultisampledSurface(), nullptr);
    EXPECT_EQ(target->MultisampledDepthSurface(), nullptr);
    EXPECT_EQ(target->DepthSurface(), device_->BackBufferDepthSurface());
    const std::uint64_t before = Gpu().CallCount(sys::GpuCall::StretchRect);
    target->Begin(kBlue);
    target->FillRect({1, 1, 2, 2}, kRed, 0);
    target->End();
    EXPECT_EQ(Gpu().CallCount(sys::GpuCall::StretchRect), before);
    EXPECT_TRUE(Split(Read(*target), kW, kH, {1, 1, 2, 2}, kRed, kBlue));
}

TEST_F(RenderTargetTest, AShadowTargetClearsItsFloatTextureOnTheShared2048DepthSurface) {
    RenderTarget* target = Make(64, 32, engine::kTargetShadow);
    ASSERT_NE(target->ColourTexture(0), nullptr);
    EXPECT_EQ(target->ColourTexture(1), nullptr);
    EXPECT_EQ(target->ColourTexture(0)->Format(), sys::kFmtR32F);
    sys::GpuSurface* depth = device_->GetShadowDepthSurface();
    ASSERT_NE(depth, nullptr);
    EXPECT_EQ(target->DepthSurface(), depth);
    EXPECT_EQ(depth->GetDesc().width, 2048u);
    EXPECT_EQ(depth->GetDesc().height, 2048u);

    target->Begin(0xFF000000u);
    ASSERT_EQ(Gpu().Clear(0, nullptr, sys::kClearZBuffer, 0, 0.0f, 0), sys::kGpuOk);
    target->End();
    target->Begin(0xFF800000u);  // red 128: the float texture takes the red channel
    target->End();
    std::vector<float> values;
    ASSERT_TRUE(Gpu().ReadSurfaceFloats(target->ColourSurface(0), values));
    ASSERT_EQ(values.size(), 64u * 32u);
    for (float v : values) ASSERT_NEAR(v, 128.0f / 255.0f, 1e-6f);
    std::vector<float> depths;
    ASSERT_TRUE(Gpu().ReadSurfaceFloats(depth, depths));
    EXPECT_FLOAT_EQ(depths[0], 1.0f);
    EXPECT_FLOAT_EQ(depths[31 * 2048 + 63], 1.0f);
}

TEST_F(RenderTargetTest, RenderCubeFaceDrawsIntoTheNamedFaceOnly) {
    constexpr int kEdge = 8;
    sys::GpuCubeTexture* cube =
        Gpu().CreateCubeTexture(kEdge, 1, sys::kUsageRenderTarget, sys::kFmtA8R8G8B8, sys::kPoolDefault);
    ASSERT_NE(cube, nullptr);
    RenderTarget* target = Make(kEdge, kEdge, engine::kTargetCubeView);
    EXPECT_EQ(target->ColourSurface(0), nullptr) << "the cube supplies the surfaces";
    // The target has a depth surface of its own: the one bound before keeps its content through the faces.
    sys::GpuSurface* outerDepth = device_->BackBufferDepthSurface();
    ASSERT_NE(target->DepthSurface(), nullptr);
    EXPECT_NE(target->DepthSurface(), outerDepth);
    EXPECT_EQ(target->DepthSurface()->GetDesc().width, static_cast<std::uint32_t>(kEdge));
    device_->SetRenderTargetSurface(device_->BackBufferSurface());
    device_->SetDepthSurfaceCached(outerDepth);
    ASSERT_EQ(Gpu().Clear(0, nullptr, sys::kClearZBuffer, 0, 0.25f, 0), sys::kGpuOk);
    target->BeginCube(cube);
    const std::uint32_t colours[6] = {0xFF010203u, 0xFF102030u, 0xFF203040u, 0xFF304050u, 0xFF405060u, 0xFF506070u};
    const IntRect fill = {2, 1, 3, 4};
    for (int face = 0; face < 6; ++face) {
        FillingView view({0, 0, kEdge, kEdge}, fill, colours[face]);
        target->RenderCubeFace(nullptr, &view, face);
        EXPECT_EQ(view.renders, 1);
    }
    // Face 4 again with another picture: the other faces keep theirs.
    FillingView again({0, 0, kEdge, kEdge}, {0, 0, 1, 1}, kGreen);
    target->RenderCubeFace(nullptr, &again, 4);
    target->End();
    for (int face = 0; face < 6; ++face) {
        SCOPED_TRACE(::testing::Message() << "face " << face);
        sys::GpuSurface* surface = cube->GetCubeMapSurface(static_cast<sys::GpuCubeFace>(face), 0);
        const std::vector<std::uint8_t> picture = Read(surface);
        surface->Release();
        if (face == 4) {
            EXPECT_TRUE(Split(picture, kEdge, kEdge, {0, 0, 1, 1}, kGreen, 0));
        } else {
            EXPECT_TRUE(Split(picture, kEdge, kEdge, fill, colours[face], 0));
        }
    }
    std::vector<float> depths;
    ASSERT_TRUE(Gpu().ReadSurfaceFloats(outerDepth, depths));
    ASSERT_FALSE(depths.empty());
    EXPECT_FLOAT_EQ(depths[0], 0.25f);
    EXPECT_FLOAT_EQ(depths[depths.size() / 2], 0.25f);
    delete target;
    device_->SetRenderTargetSurface(device_->BackBufferSurface());
    cube->Release();
}

TEST_F(RenderTargetTest, RenderSceneDrawsThroughTheViewsViewportThenRestoresTheWholeTarget) {
    RenderTarget* target = Make(kW, kH, engine::kTargetPlain);
    const IntRect viewport = {4, 3, 10, 6};
    // The view fills the whole target in its own pixels, which the viewport squeezes into its rectangle.
    FillingView view(viewport, {0, 0, kW, kH}, kBlue);
    target->Begin(kRed);
    target->RenderScene(nullptr, &view);
    EXPECT_EQ(view.renders, 1);
    EXPECT_EQ(view.seenViewport.x, 4u);
    EXPECT_EQ(view.seenViewport.width, 10u);
    EXPECT_FLOAT_EQ(view.seenViewport.minZ, 0.25f);
    EXPECT_FLOAT_EQ(view.seenViewport.maxZ, 0.75f);
    const sys::GpuViewport after = Gpu().GetViewport();
    EXPECT_EQ(after.x, 0u);
    EXPECT_EQ(after.width, static_cast<std::uint32_t>(kW));
    EXPECT_EQ(after.height, static_cast<std::uint32_t>(kH));
    EXPECT_FLOAT_EQ(after.maxZ, 1.0f);
    target->End();
    EXPECT_TRUE(Split(Read(*target), kW, kH, viewport, kBlue, kRed));
}

TEST_F(RenderTargetTest, InAHostsWindowOnlyViewportsInsideTheTargetAreRendered) {
    const struct {
        bool external;
        IntRect viewport;
        int renders;
    } cases[] = {
        {false, {10, 5, 20, 20}, 1},  // reaches past the target: drawn all the same in the engine's own window
        {true, {10, 5, 20, 20}, 0},
        {true, {0, 0, kW, kH}, 1},
        {true, {0, 0, 0, kH}, 0},
        {true, {-1, 0, 4, 4}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "external " << c.external << ", viewport x " << c.viewport.x << " w "
                                          << c.viewport.width);
        engine::RenderTargetServices services = services_;
        services.externalWindow = c.external;
        RenderTarget target(services, "Host RT", kW, kH, engine::kTargetPlain);
        target.CreateSurfaces();
        FillingView view(c.viewport, {0, 0, 1, 1}, kBlue);
        target.Begin(kRed);
        target.RenderScene(nullptr, &view);
        target.End();
        EXPECT_EQ(view.renders, c.renders);
    }
}

TEST_F(RenderTargetTest, NoSceneIsRenderedWhileTheDeviceIsLost) {
    RenderTarget* target = Make(kW, kH, engine::kTargetPlain);
    FillingView view({0, 0, kW, kH}, {0, 0, kW, kH}, kBlue);
    sys::GpuHooks().loss = sys::GpuLossState::Lost;
    device_->RecoverLostDevice(true);
    ASSERT_TRUE(device_->IsLost());
    target->RenderScene(nullptr, &view);
    EXPECT_EQ(view.renders, 0);
}

TEST_F(RenderTargetTest, EndDrawsTheQueuedLayersInOrderAndEmptiesTheQueue) {
    RenderTarget* target = Make(kW, kH, engine::kTargetMain);
    EXPECT_EQ(target->Queue(), nullptr) << "made with the first item";
    target->Begin(kRed);
    // Layer 8 is queued first but ends on top of layer 1.
    target->QueueGradientRect(8, {2, 2, 4, 4}, kGreen, kGreen, kGreen, kGreen, 0);
    target->QueueGradientRect(1, {0, 0, kW, kH}, kBlue, kBlue, kBlue, kBlue, 0);
    ASSERT_NE(target->Queue(), nullptr);
    target->End();
    EXPECT_TRUE(Split(Read(*target), kW, kH, {2, 2, 4, 4}, kGreen, kBlue));
    for (int layer = 1; layer <= 8; ++layer) EXPECT_EQ(target->Queue()->Count(layer), 0);
    // Drawn once only.
    target->Begin(kRed);
    target->End();
    EXPECT_TRUE(Split(Read(*target), kW, kH, {}, 0, kRed));
}

TEST_F(RenderTargetTest, ADeviceResetEmptiesTheQueue) {
    RenderTarget* target = Make(kW, kH, engine::kTargetPlain);
    target->Begin(kRed);
    target->QueueGradientRect(3, {0, 0, kW, kH}, kBlue, kBlue, kBlue, kBlue, 0);
    ASSERT_TRUE(device_->RecoverLostDevice(false));
    EXPECT_EQ(target->Queue()->Count(3), 0);
    ASSERT_NE(target->ColourSurface(0), nullptr) << "surfaces made again";
    target->Begin(kRed);
    target->End();
    EXPECT_TRUE(Split(Read(*target), kW, kH, {}, 0, kRed));
}

TEST_F(RenderTargetTest, QueuedTextGoesThroughTheTextDrawerWhenOneIsSet) {
    RenderTarget* target = Make(kW, kH, engine::kTargetPlain);
    // Without a drawer the text entries are skipped.
    target->Begin(kRed);
    target->QueueTexture(2, {0, 0, 1, 1}, {0, 0, 1, 1}, 0, 0xFFFFFFFFu, 0).type = engine::kQueuedText;
    target->End();
    EXPECT_EQ(target->Queue()->Count(2), 0);

    std::vector<std::string> drawn;
    engine::SetQueuedTextDrawer([&](RenderTarget& into, const engine::QuadQueueEntry& entry) {
        EXPECT_EQ(&into, target);
        drawn.push_back(std::to_string(entry.type) + ":" + std::to_string(entry.textX));
    });
    target->Begin(kRed);
    engine::QuadQueueEntry& text = target->QueueTexture(2, {0, 0, 1, 1}, {0, 0, 1, 1}, 0, 0xFFFFFFFFu, 0);
    text.type = engine::kQueuedText;
    text.textX = 7;
    engine::QuadQueueEntry& block = target->QueueGradientRect(2, {0, 0, 1, 1}, 0, 0, 0, 0, 0);
    block.type = engine::kQueuedTextBlock;
    block.textX = 9;
    target->End();
    EXPECT_EQ(drawn, (std::vector<std::string>{"3:7", "4:9"}));
}

TEST_F(RenderTargetTest, ATargetWithoutColourSurfacesLeavesTheBoundTargetAlone) {
    RenderTarget* other = Make(kW, kH, engine::kTargetPlain);
    other->Begin(kBlue);
    sys::GpuHooks().FailNext(sys::GpuCreateKind::Texture, 2);
    RenderTarget* broken = Make(kW, kH, engine::kTargetPlain);
    EXPECT_EQ(broken->ColourSurface(0), nullptr);
    broken->Begin(kRed);
    broken->ClearRect({0, 0, 4, 4});
    broken->End();
    EXPECT_EQ(broken->CopyToTexture(), 0);
    other->End();
    EXPECT_TRUE(Split(Read(*other), kW, kH, {}, 0, kBlue));
}

TEST_F(RenderTargetTest, EveryLiveTargetIsRegisteredBeyondSixteen) {
    std::vector<RenderTarget*> targets;
    for (int i = 0; i < 20; ++i) targets.push_back(Make(4, 4, engine::kTargetPlain));
    EXPECT_EQ(engine::RegisteredRenderTargets(), targets);
    delete targets[5];
    targets.erase(targets.begin() + 5);
    EXPECT_EQ(engine::RegisteredRenderTargets(), targets);
    // The 20th takes part in a reset like the first.
    targets.back()->Begin(kRed);
    targets.back()->QueueGradientRect(1, {0, 0, 4, 4}, kBlue, kBlue, kBlue, kBlue, 0);
    ASSERT_TRUE(device_->RecoverLostDevice(false));
    EXPECT_EQ(targets.back()->Queue()->Count(1), 0);
    engine::DeleteAllRenderTargets();
    EXPECT_TRUE(engine::RegisteredRenderTargets().empty());
}

}  // namespace
