// The registry of live render targets, without a device: targets join and leave it, a reset reaches every
// one of them, and shutdown deletes them all.
#include <gtest/gtest.h>

#include <vector>

#include "engine/render/quad_queue.h"
#include "engine/render/render_target.h"
#include "engine/render/render_target_registry.h"

namespace {

using engine::RenderTarget;

class RenderTargetRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine::ClearRenderTargetRegistry();
        engine::SetRenderTargetServices({});
    }
    void TearDown() override { engine::DeleteAllRenderTargets(); }
};

TEST_F(RenderTargetRegistryTest, CreateRenderTargetRefusesEmptySizesAndUnknownKinds) {
    EXPECT_EQ(engine::CreateRenderTarget("RT", 0, 4, 0), nullptr);
    EXPECT_EQ(engine::CreateRenderTarget("RT", 4, -1, 0), nullptr);
    EXPECT_EQ(engine::CreateRenderTarget("RT", 4, 4, -1), nullptr);
    EXPECT_EQ(engine::CreateRenderTarget("RT", 4, 4, 4), nullptr);
    EXPECT_TRUE(engine::RegisteredRenderTargets().empty());
    RenderTarget* target = engine::CreateRenderTarget("RT", 40, 8, engine::kTargetShadow);
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(target->Kind(), engine::kTargetShadow);
    EXPECT_FLOAT_EQ(target->Target2D().invWidth, 1.0f / 40.0f);
    EXPECT_FLOAT_EQ(target->Target2D().invHeight, 1.0f / 8.0f);
    EXPECT_EQ(target->ColourSurface(0), nullptr) << "no device, no surfaces";
}

TEST_F(RenderTargetRegistryTest, EveryLiveTargetTakesPartInAResetAndShutdownDeletesThemAll) {
    std::vector<RenderTarget*> targets;
    for (int i = 0; i < 40; ++i) targets.push_back(engine::CreateRenderTarget("RT", 4, 4, i % 4));
    EXPECT_EQ(engine::RegisteredRenderTargets(), targets);
    delete targets[16];
    delete targets[0];
    targets.erase(targets.begin() + 16);
    targets.erase(targets.begin());
    EXPECT_EQ(engine::RegisteredRenderTargets(), targets);

    for (RenderTarget* target : targets) target->QueueGradientRect(8, {0, 0, 1, 1}, 0, 0, 0, 0, 0);
    engine::ResizeRenderTargets(true);
    engine::ResizeRenderTargets(false);
    for (RenderTarget* target : targets) EXPECT_EQ(target->Queue()->Count(8), 0);

    engine::DeleteAllRenderTargets();
    EXPECT_TRUE(engine::RegisteredRenderTargets().empty());
}

TEST_F(RenderTargetRegistryTest, AClearedRegistryForgetsTargetsWithoutDeletingThem) {
    RenderTarget* kept = engine::CreateRenderTarget("Kept", 4, 4, engine::kTargetPlain);
    engine::ClearRenderTargetRegistry();
    EXPECT_TRUE(engine::RegisteredRenderTargets().empty());
    EXPECT_TRUE(kept->Name().EqualsNarrow("Kept"));
    delete kept;
    EXPECT_TRUE(engine::RegisteredRenderTargets().empty());
}

}  // namespace
