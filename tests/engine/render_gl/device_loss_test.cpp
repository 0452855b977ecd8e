// The lost-device protocol driven by the layer's loss hook.
#include "engine/core/event_queue.h"
#include "render_test_fixture.h"

namespace {

using rendertest::GraphicsDeviceTest;

class DeviceLossTest : public GraphicsDeviceTest {
protected:
    void SetUp() override {
        GraphicsDeviceTest::SetUp();
        Create();
        device_->AddResetHook([this](bool release) { hookCalls_.push_back(release ? 1 : 0); });
        DrainEvents();
        host_.sizeMessages.clear();
    }

    static void DrainEvents() {
        engine::EngineEvent event;
        while (engine::EventQueue::Instance().Pop(event)) {
        }
    }
    static int ResetEvents() {
        int count = 0;
        engine::EngineEvent event;
        while (engine::EventQueue::Instance().Pop(event)) count += event.code == engine::kEventDeviceReset ? 1 : 0;
        return count;
    }
    // Frames of the given length until the device recovers; the number of frames, or -1 after `limit`.
    int FramesUntilRecovered(int milliseconds, int limit = 100) {
        host_.frameMilliseconds = milliseconds;
        for (int frame = 1; frame <= limit; ++frame) {
            if (device_->RecoverLostDevice(false)) return frame;
        }
        return -1;
    }

    std::vector<int> hookCalls_;
};

TEST_F(DeviceLossTest, EnteringTheLostStateReleasesAndRecoveryWaitsTwoSecondsOfFrameTime) {
    engine::DynamicVertexBuffer* buffer = engine::GlobalDynamicVertexBuffer();
    ASSERT_NE(buffer->Buffer(), nullptr);
    sys::GpuHooks().loss = sys::GpuLossState::Lost;
    EXPECT_FALSE(device_->RecoverLostDevice(true));
    EXPECT_TRUE(device_->IsLost());
    EXPECT_EQ(hookCalls_, std::vector<int>{1});
    EXPECT_EQ(buffer->Buffer(), nullptr);
    EXPECT_EQ(device_->BackBufferSurface(), nullptr);
    int first = 0;
    EXPECT_EQ(buffer->Lock(engine::kVertexColour, 1, first), nullptr) << "no lock while lost";

    // While the hook says lost, every test finds it lost.
    EXPECT_EQ(FramesUntilRecovered(100, 60), -1);
    sys::GpuHooks().loss = sys::GpuLossState::None;
    // A 250 ms frame counts 100 ms: the countdown of 2 s ends on the 20th frame.
    EXPECT_EQ(FramesUntilRecovered(250), 20);
    EXPECT_FALSE(device_->IsLost());
    EXPECT_EQ(hookCalls_, (std::vector<int>{1, 0}));
    EXPECT_EQ(ResetEvents(), 1);
    ASSERT_EQ(host_.sizeMessages.size(), 1u);
    EXPECT_EQ(host_.sizeMessages[0], (std::array<int, 2>{kWidth, kHeight}));
    EXPECT_NE(device_->BackBufferSurface(), nullptr);
    EXPECT_TRUE(device_->InScene());

    // The next lock makes the buffer again.
    ASSERT_NE(buffer->Lock(engine::kVertexColour, 2, first), nullptr);
    buffer->Unlock();
    EXPECT_NE(buffer->Buffer(), nullptr);
}

TEST_F(DeviceLossTest, NotResetLeadsToAResetThenTheRestore) {
    sys::GpuHooks().loss = sys::GpuLossState::NotReset;
    EXPECT_FALSE(device_->RecoverLostDevice(true));
    // The first test after 2 s resets (clearing the not-reset state); the next one, 2 s later, restores.
    EXPECT_EQ(FramesUntilRecovered(50), 80);
    EXPECT_EQ(sys::GpuHooks().loss, sys::GpuLossState::None);
    EXPECT_EQ(Gpu().CallCount(sys::GpuCall::Reset), 1u);
    EXPECT_EQ(hookCalls_, (std::vector<int>{1, 0}));
    EXPECT_EQ(ResetEvents(), 1);
}

TEST_F(DeviceLossTest, AResetReportingLossGetsNoRestoreUntilTheLaterRecovery) {
    sys::GpuHooks().loss = sys::GpuLossState::Lost;
    EXPECT_FALSE(device_->RecoverLostDevice(false));
    EXPECT_TRUE(device_->IsLost());
    EXPECT_EQ(hookCalls_, std::vector<int>{1});
    EXPECT_EQ(ResetEvents(), 0);
    sys::GpuHooks().loss = sys::GpuLossState::None;
    EXPECT_EQ(FramesUntilRecovered(100), 20);
    EXPECT_EQ(hookCalls_, (std::vector<int>{1, 0}));
    EXPECT_EQ(ResetEvents(), 1);
}

TEST_F(DeviceLossTest, AnImmediateResetRestoresAtOnce) {
    host_.fullScreen = true;
    EXPECT_TRUE(device_->RecoverLostDevice(false));
    EXPECT_FALSE(device_->IsLost());
    EXPECT_EQ(hookCalls_, (std::vector<int>{1, 0}));
    EXPECT_EQ(host_.cursorClips, 1);
    EXPECT_EQ(ResetEvents(), 1);
    // The state cache was reset: the next state reaches the device.
    Gpu().ResetCallCounts();
    device_->SetBlendMode(0);
    EXPECT_EQ(Gpu().CallCount(sys::GpuCall::SetRenderState), 1u);
}

TEST_F(DeviceLossTest, AfterAResetTheCachedTargetsAreTheBackBuffers) {
    sys::GpuTexture* texture =
        Gpu().CreateTexture(8, 8, 1, sys::kUsageRenderTarget, sys::kFmtA8R8G8B8, sys::kPoolDefault);
    sys::GpuSurface* surface = texture->GetSurfaceLevel(0);
    device_->SetRenderTargetSurface(surface);
    device_->SetDepthSurfaceCached(nullptr);
    ASSERT_TRUE(device_->RecoverLostDevice(false));
    // The reset bound the back buffer and its depth surface: the old target is bound again when asked for.
    Gpu().ResetCallCounts();
    device_->SetRenderTargetSurface(surface);
    device_->SetDepthSurfaceCached(nullptr);
    EXPECT_EQ(Gpu().CallCount(sys::GpuCall::SetRenderTarget), 1u);
    EXPECT_EQ(Gpu().CallCount(sys::GpuCall::SetDepthStencilSurface), 1u);
    sys::GpuSurface* bound = Gpu().GetRenderTarget(0);
    EXPECT_EQ(bound, surface);
    bound->Release();
    device_->SetRenderTargetSurface(device_->BackBufferSurface());
    surface->Release();
    texture->Release();
}

TEST_F(DeviceLossTest, PresentingFramesRecoversAsTheDeviceReports) {
    EXPECT_TRUE(device_->PresentFrame());
    EXPECT_TRUE(device_->InScene());
    // Lost: the lost state only, recovered later.
    sys::GpuHooks().loss = sys::GpuLossState::Lost;
    EXPECT_FALSE(device_->PresentFrame());
    EXPECT_TRUE(device_->IsLost());
    EXPECT_EQ(Gpu().CallCount(sys::GpuCall::Reset), 0u);
    sys::GpuHooks().loss = sys::GpuLossState::None;
    EXPECT_EQ(FramesUntilRecovered(100), 20);
    EXPECT_TRUE(device_->InScene());
    // Not reset: reset at once, restored in the same frame.
    sys::GpuHooks().loss = sys::GpuLossState::NotReset;
    EXPECT_TRUE(device_->PresentFrame());
    EXPECT_FALSE(device_->IsLost());
    EXPECT_EQ(Gpu().CallCount(sys::GpuCall::Reset), 1u);
    EXPECT_EQ(hookCalls_, (std::vector<int>{1, 0, 1, 0}));
    EXPECT_TRUE(device_->InScene());
}

TEST_F(DeviceLossTest, AWindowResizedFromOutsideGetsABackBufferOfItsSize) {
    EXPECT_FALSE(device_->FollowWindowSize(kWidth, kHeight));
    EXPECT_TRUE(hookCalls_.empty());
    EXPECT_TRUE(device_->FollowWindowSize(50, 20));
    EXPECT_EQ(device_->BackBufferSurface()->GetDesc().width, 50u);
    EXPECT_EQ(host_.screenWidth, 50);
    EXPECT_EQ(hookCalls_, (std::vector<int>{1, 0}));
    EXPECT_TRUE(host_.sizeMessages.empty()) << "the window already has its size";
    EXPECT_FALSE(device_->FollowWindowSize(50, 20));
    EXPECT_FALSE(device_->FollowWindowSize(0, 20));
}

}  // namespace
