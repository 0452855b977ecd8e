#include "engine/render/shadow_split_setup.h"

#include <algorithm>
#include <cmath>

namespace engine {
namespace {

constexpr float kDegreesToRadians = 3.14159265358979f / 180.0f;
// Beyond this the shadow casters' distance in front of a split stops growing.
constexpr float kCasterReach = 300.0f;
constexpr int kAtlasQuarter = 1024;

}  // namespace

void ComputeShadowSplits(ShadowSplit (&splits)[kShadowSplitCount], const ShadowSplitInput& input,
                         const Matrix44& lightMatrix) {
    const float n = input.fittedNear;
    const float f = std::max(input.fittedFar, n);
    // d[0] = f down to d[4] = n.
    float d[kShadowSplitCount + 1];
    for (int i = 0; i < kShadowSplitCount; ++i) {
        const float fraction = static_cast<float>(i) / kShadowSplitCount;
        const float geometric = f > 0.0f ? f * std::pow(n / f, fraction) : 0.0f;
        d[i] = input.lambda * geometric + (1.0f - input.lambda) * (f + (n - f) * fraction);
    }
    d[kShadowSplitCount] = n;

    const float t = std::tan(input.fovDegrees * 0.5f * kDegreesToRadians);
    const float reach = std::min(kCasterReach, input.farPlane);
    const Vec3 forward = lightMatrix.Row(2);
    for (int k = 0; k < kShadowSplitCount; ++k) {
        const float start = d[kShadowSplitCount - k];
        const float end = d[kShadowSplitCount - 1 - k];
        // The sphere around the slice reaches its far corners (and so its near ones).
        const Vec3 corner{t * end * input.aspect, t * end, end};
        const Vec3 centre{0.0f, 0.0f, start + (end - start) * 0.5f};
        const float r = corner.Sub(centre).Length();
        ShadowSplit& split = splits[k];
        split.startDistance = start;
        split.endDistance = end;
        split.orthoWidth = r * 2.01f;
        split.orthoNear = 0.0f;
        split.orthoFar = reach + r * 2.1f;
        const Vec3 worldCentre = input.camera.TransformPoint(centre);
        split.eye = worldCentre.Sub(forward * (r * 1.01f + reach));
        split.view = lightMatrix;
        split.view.SetRow(3, split.eye);
    }
}

ShadowSplitView ApplyShadowSplit(int index, const ShadowSplit (&splits)[kShadowSplitCount]) {
    index = std::clamp(index, 0, kShadowSplitCount - 1);
    const ShadowSplit& split = splits[index];
    ShadowSplitView view;
    view.matrix = split.view;
    view.orthoWidth = split.orthoWidth;
    view.nearPlane = split.orthoNear;
    view.farPlane = split.orthoFar;
    view.viewport = {(index & 1) != 0 ? kAtlasQuarter : 0, index >= 2 ? kAtlasQuarter : 0, kAtlasQuarter,
                     kAtlasQuarter};
    return view;
}

}  // namespace engine
