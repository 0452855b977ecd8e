#pragma once
// The full-screen passes behind a render target's glow and monochrome tint: their pixel-shader texts and the
// separable blur pass.
namespace sys {
class GpuTexture;
}

namespace engine {

class GraphicsDevice;

// Seven weighted taps (weights in c0 to c6: offset x, offset y, 0, weight) of Texture0, alpha 1.
extern const char* const kBlurPixelShaderText;
// The same taps, each sample also weighted by its transparency (1 - alpha); the sum keeps its alpha.
extern const char* const kAlphaBlurPixelShaderText;
// SceneTexture (s0) plus twice BlurTexture (s1).
extern const char* const kBloomPixelShaderText;
// Texture0 mixed with its grey times the colour in c0 rgb, by c0's alpha.
extern const char* const kMonochromePixelShaderText;

enum BlurMode : int {
    kBlurAlphaWeighted = 0,  // the horizontal pass weights each sample by its transparency
    kBlurPlain = 1,
};

// One separable blur: horizontally from the source into level 0 of the work texture, then vertically into
// level 0 of the destination, each pass over the whole surface it draws into with taps 1 / (width + 1) and
// 1 / (height + 1) of the source apart. A null source blurs the destination in place. Nothing without a
// destination, a work texture or the device's shader managers, or while the device is lost. The destination
// stays bound as the render target.
void BlurPass(sys::GpuTexture* source, sys::GpuTexture* destination, GraphicsDevice& device,
              sys::GpuTexture* work, int mode);

}  // namespace engine
