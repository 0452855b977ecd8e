#include "engine/render/shadow_split_setup.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/render/blur_weights.h"

namespace {

using namespace engine;

ShadowSplitInput LookingAlongZ(float lambda) {
    ShadowSplitInput input;
    input.aspect = 1.5f;
    input.fovDegrees = 60.0f;
    input.lambda = lambda;
    input.nearPlane = 1.0f;
    input.farPlane = 500.0f;
    input.fittedNear = 2.0f;
    input.fittedFar = 162.0f;
    return input;
}

// A light shining down and a little forward.
Matrix44 SunMatrix() {
    Matrix44 light;
    light.InitRotationX(70.0f);
    return light;
}

TEST(ShadowSplits, BlendFactorChoosesGeometricOrEvenEnds) {
    ShadowSplit splits[kShadowSplitCount];
    // Geometric from 162 down to 2: ratio 3 per split.
    const float geometric[] = {6.0f, 18.0f, 54.0f, 162.0f};
    ComputeShadowSplits(splits, LookingAlongZ(1.0f), SunMatrix());
    for (int k = 0; k < kShadowSplitCount; ++k) EXPECT_NEAR(splits[k].endDistance, geometric[k], 1e-3f) << k;
    ComputeShadowSplits(splits, LookingAlongZ(0.0f), SunMatrix());
    for (int k = 0; k < kShadowSplitCount; ++k) EXPECT_NEAR(splits[k].endDistance, 2.0f + 40.0f * (k + 1), 1e-3f);
    ComputeShadowSplits(splits, LookingAlongZ(0.5f), SunMatrix());
    EXPECT_FLOAT_EQ(splits[0].startDistance, 2.0f);
    EXPECT_NEAR(splits[3].endDistance, 162.0f, 1e-3f);
    for (int k = 1; k < kShadowSplitCount; ++k) {
        EXPECT_GT(splits[k].endDistance, splits[k - 1].endDistance);
        EXPECT_FLOAT_EQ(splits[k].startDistance, splits[k - 1].endDistance);
    }
    // A fitted far below the near distance is raised to it.
    ShadowSplitInput flat = LookingAlongZ(0.5f);
    flat.fittedFar = 1.0f;
    ComputeShadowSplits(splits, flat, SunMatrix());
    for (const ShadowSplit& s : splits) EXPECT_FLOAT_EQ(s.endDistance, 2.0f);
}

TEST(ShadowSplits, EveryCornerOfASliceLiesInsideItsEntrysBox) {
    ShadowSplitInput input = LookingAlongZ(0.7f);
    Matrix44 camera;
    camera.InitRotationY(30.0f);
    camera.SetRow(3, {10.0f, 5.0f, -20.0f});
    input.camera = camera;
    ShadowSplit splits[kShadowSplitCount];
    ComputeShadowSplits(splits, input, SunMatrix());
    const float t = std::tan(30.0f * 3.14159265f / 180.0f);
    for (int k = 0; k < kShadowSplitCount; ++k) {
        Matrix44 toLight;
        Matrix44::InverseAffine(splits[k].view, toLight);
        for (float d : {splits[k].startDistance, splits[k].endDistance}) {
            for (float sx : {-1.0f, 1.0f}) {
                for (float sy : {-1.0f, 1.0f}) {
                    const Vec3 world = camera.TransformPoint({sx * t * d * input.aspect, sy * t * d, d});
                    const Vec3 p = toLight.TransformPoint(world);
                    EXPECT_LE(std::fabs(p.x), splits[k].orthoWidth * 0.5f) << k;
                    EXPECT_LE(std::fabs(p.y), splits[k].orthoWidth * 0.5f) << k;
                    EXPECT_GE(p.z, splits[k].orthoNear) << k;
                    EXPECT_LE(p.z, splits[k].orthoFar) << k;
                }
            }
        }
    }
}

TEST(ShadowSplits, EachSplitDrawsIntoItsQuarterOfTheAtlas) {
    ShadowSplit splits[kShadowSplitCount];
    ComputeShadowSplits(splits, LookingAlongZ(0.5f), SunMatrix());
    const IntRect expected[] = {{0, 0, 1024, 1024}, {1024, 0, 1024, 1024}, {0, 1024, 1024, 1024},
                                {1024, 1024, 1024, 1024}};
    for (int i = 0; i < kShadowSplitCount; ++i) {
        const ShadowSplitView view = ApplyShadowSplit(i, splits);
        EXPECT_EQ(view.viewport.x, expected[i].x);
        EXPECT_EQ(view.viewport.y, expected[i].y);
        EXPECT_EQ(view.viewport.width, 1024);
        EXPECT_EQ(view.viewport.height, 1024);
        EXPECT_EQ(view.orthoWidth, splits[i].orthoWidth);
        EXPECT_EQ(view.matrix.GetTranslation().x, splits[i].eye.x);
    }
}

TEST(BlurWeights, SymmetricSummingTo105AlongOneAxis) {
    for (bool horizontal : {true, false}) {
        Vec4 w[kBlurTaps];
        ComputeGaussWeights(horizontal, 0.25f, w);
        float sum = 0.0f;
        for (int j = 0; j < kBlurTaps; ++j) {
            sum += w[j].w;
            EXPECT_FLOAT_EQ(w[j].w, w[kBlurTaps - 1 - j].w);
            const float along = horizontal ? w[j].x : w[j].y;
            const float across = horizontal ? w[j].y : w[j].x;
            EXPECT_FLOAT_EQ(along, 0.25f * static_cast<float>(j - 3));
            EXPECT_EQ(across, 0.0f);
            EXPECT_EQ(w[j].z, 0.0f);
        }
        EXPECT_NEAR(sum, 1.05f, 1e-5f);
        EXPECT_GT(w[3].w, w[2].w);
        EXPECT_GT(w[2].w, w[1].w);
    }
}

}  // namespace
