#include "engine/render/blur_weights.h"

#include <cmath>

#include "engine/render/shader_text_buffer.h"

namespace engine {

void ComputeGaussWeights(bool horizontal, float step, Vec4 (&weights)[kBlurTaps]) {
    float raw[kBlurTaps];
    float sum = 0.0f;
    for (int j = 0; j < kBlurTaps; ++j) {
        const float k = static_cast<float>(j - 3);
        raw[j] = (1.0f / std::sqrt(20.35752f)) * std::exp(-k * k * 0.154321f);
        sum += raw[j];
    }
    const float scale = 1.05f / sum;
    for (int j = 0; j < kBlurTaps; ++j) {
        const float offset = step * static_cast<float>(j - 3);
        weights[j] = horizontal ? Vec4{offset, 0.0f, 0.0f, raw[j] * scale} : Vec4{0.0f, offset, 0.0f, raw[j] * scale};
    }
}

void SetGaussWeights(bool horizontal, float step, ShaderTextBuffer& pixelConstants) {
    Vec4 weights[kBlurTaps];
    ComputeGaussWeights(horizontal, step, weights);
    for (int j = 0; j < kBlurTaps; ++j) pixelConstants.SetPixelVector(weights[j], j);
}

}  // namespace engine
