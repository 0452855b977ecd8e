// Bit-exact copies of a target's picture: into its own texture, into new textures, and into the back buffer
// by the present step.
#include "engine/render/render_target_hooks.h"
#include "render_target_fixture.h"
#include "sys/gpu_test_hooks.h"

namespace {

using engine::RenderTarget;
using engine::TextureTable;
using targettest::RenderTargetTest;

constexpr int kW = 24;
constexpr int kH = 18;

class RenderTargetCopyTest : public RenderTargetTest {
protected:
    // The level-0 pixels of a texture-table texture.
    std::vector<std::uint8_t> TexturePicture(int handle) {
        engine::Texture* texture = TextureTable::Get(handle);
        EXPECT_NE(texture, nullptr);
        if (texture == nullptr || texture->texture == nullptr) return {};
        sys::GpuSurface* level = texture->texture->GetSurfaceLevel(0);
        std::vector<std::uint8_t> picture = Read(level);
        level->Release();
        return picture;
    }
    // A pass of the target that leaves the noise picture of the seed in it: drawn one to one, or on a
    // multisampled surface cleared pixel by pixel (a 2D quad covers only some samples of its top row and
    // left column there, which then blend with what was beneath).
    void DrawNoisePass(RenderTarget& target, std::uint32_t seed) {
        target.Begin(0xFF00FF00u);
        if (target.MultisampledSurface() != nullptr) {
            for (int y = 0; y < target.Height(); ++y) {
                for (int x = 0; x < target.Width(); ++x) {
                    const sys::GpuRect pixel = {x, y, x + 1, y + 1};
                    Gpu().Clear(1, &pixel, sys::kClearTarget, targettest::Noise(x, y, seed), 1.0f, 0);
                }
            }
        } else {
            const int noise = NoiseTexture(target.Width(), target.Height(), seed);
            DrawRaw(target, noise);
            TextureTable::Release(noise);
        }
        target.End();
    }
};

TEST_F(RenderTargetCopyTest, CopyToTextureIsBitExactAndKeepsItsTexture) {
    RenderTarget* target = Make(kW, kH, engine::kTargetPlain);
    DrawNoisePass(*target, 1);
    ASSERT_EQ(Read(*target), NoisePicture(kW, kH, 1)) << "the picture drawn one to one";
    const int handle = target->CopyToTexture();
    ASSERT_NE(handle, 0);
    EXPECT_EQ(TexturePicture(handle), NoisePicture(kW, kH, 1));
    EXPECT_EQ(TextureTable::GetWidth(handle), static_cast<std::uint32_t>(kW));
    EXPECT_EQ(TextureTable::GetHeight(handle), static_cast<std::uint32_t>(kH));
    EXPECT_TRUE(TextureTable::Get(handle)->name.EqualsNarrow("Test RT"));
    // The target is bound again and the whole target is the viewport.
    EXPECT_EQ(Gpu().GetViewport().width, static_cast<std::uint32_t>(kW));
    target->FillRect({0, 0, 1, 1}, 0xFF0000FFu, 0);
    EXPECT_EQ(At(Read(*target), kW, 0, 0), targettest::RgbaOf(0xFF0000FFu));

    DrawNoisePass(*target, 2);
    EXPECT_EQ(target->CopyToTexture(), handle) << "the second call copies into the same texture";
    EXPECT_EQ(TexturePicture(handle), NoisePicture(kW, kH, 2));
    delete target;
    EXPECT_EQ(TextureTable::Get(handle), nullptr) << "the target owns its copy";
}

TEST_F(RenderTargetCopyTest, AfterAResetTheCopyIsANewTextureAndTheOldSlotIsLeftAlone) {
    RenderTarget* target = Make(kW, kH, engine::kTargetMain);
    DrawNoisePass(*target, 3);
    const int before = target->CopyToTexture();
    ASSERT_NE(before, 0);
    ASSERT_TRUE(device_->RecoverLostDevice(false));
    EXPECT_EQ(target->CopiedTextureHandle(), 0);
    EXPECT_EQ(TextureTable::Get(before), nullptr);
    // Another texture takes the freed slot; the next copy must not draw into it.
    const int other = TextureTable::MakeCheckTexture(0xFFFFFFFFu, 0xFF000000u, 8);
    ASSERT_EQ(other, before);
    const engine::Texture* checks = TextureTable::Get(other);

    DrawNoisePass(*target, 4);
    const int after = target->CopyToTexture();
    ASSERT_NE(after, 0);
    EXPECT_NE(after, before);
    EXPECT_EQ(TexturePicture(after), NoisePicture(kW, kH, 4));
    EXPECT_EQ(TextureTable::Get(other), checks);
    EXPECT_EQ(TextureTable::GetWidth(other), 8u);
}

TEST_F(RenderTargetCopyTest, ACopyWhoseSlotWasPurgedIsMadeAgain) {
    RenderTarget* target = Make(kW, kH, engine::kTargetPlain);
    DrawNoisePass(*target, 5);
    const int first = target->CopyToTexture();
    ASSERT_NE(first, 0);
    TextureTable::PurgeGroup(-1);
    const int other = TextureTable::MakeCheckTexture(0xFFFFFFFFu, 0xFF000000u, 8);
    ASSERT_EQ(other, first);
    const int second = target->CopyToTexture();
    ASSERT_NE(second, 0);
    EXPECT_NE(second, other);
    EXPECT_EQ(TexturePicture(second), NoisePicture(kW, kH, 5));
    delete target;
    EXPECT_NE(TextureTable::Get(other), nullptr) << "deleting the target leaves the slot's new owner";
}

TEST_F(RenderTargetCopyTest, MakeTextureHandsOutANewExactCopyEveryTime) {
    RenderTarget* target = Make(kW, kH, engine::kTargetMain);
    DrawNoisePass(*target, 6);
    const int a = target->MakeTexture();
    const int b = target->MakeTexture();
    ASSERT_NE(a, 0);
    ASSERT_NE(b, 0);
    EXPECT_NE(a, b);
    EXPECT_EQ(target->CopiedTextureHandle(), 0);
    EXPECT_EQ(TexturePicture(a), NoisePicture(kW, kH, 6));
    EXPECT_EQ(TexturePicture(b), NoisePicture(kW, kH, 6));
    delete target;
    EXPECT_NE(TextureTable::Get(a), nullptr) << "the caller owns made textures";
}

TEST_F(RenderTargetCopyTest, ACopyTextureThatCannotBeMadeGivesZero) {
    RenderTarget* target = Make(kW, kH, engine::kTargetPlain);
    DrawNoisePass(*target, 7);
    sys::GpuHooks().FailNext(sys::GpuCreateKind::Texture);
    EXPECT_EQ(target->CopyToTexture(), 0);
    EXPECT_EQ(TextureTable::Get(1), nullptr) << "no empty texture is left in the table";
    EXPECT_NE(target->CopyToTexture(), 0);
}

// The present step draws the main kind's picture into the back buffer unchanged, with its multisampled
// surfaces and after the multisampled depth surface failed.
TEST_F(RenderTargetCopyTest, TheMainKindIsPresentedBitIdentical) {
    for (const bool depthFails : {false, true}) {
        SCOPED_TRACE(depthFails ? "multisampled depth fails" : "multisampled");
        if (depthFails) sys::GpuHooks().FailNext(sys::GpuCreateKind::DepthStencil);
        // At the back buffer's size, as the engine makes it.
        RenderTarget* main = Make(kWidth, kHeight, engine::kTargetMain);
        EXPECT_EQ(main->MultisampledSurface() != nullptr, !depthFails);
        DrawNoisePass(*main, depthFails ? 9 : 8);
        // Something else in the back buffer first.
        device_->ClearSurface(device_->BackBufferSurface(), 0xFF123456u);
        engine::DrawRenderTargetIntoBackBuffer(*main, *drawing_);
        EXPECT_EQ(Read(device_->BackBufferSurface()), NoisePicture(kWidth, kHeight, depthFails ? 9 : 8));
        EXPECT_EQ(Gpu().GetTexture(0), nullptr) << "stage 0 unbound";
        EXPECT_EQ(device_->CachedRenderState(sys::kRsColorWriteEnable), 15u);
        delete main;
    }
}

}  // namespace
