#include "engine/render/light_setup.h"

#include <cmath>
#include <numbers>

#include "engine/render/light_flags.h"

namespace engine {

namespace {

constexpr int kCamPosWorldRegister = 11;
constexpr int kShadowParamsRegister = 12;  // + 0 directional, 1 spot 1, 2 spot 2
constexpr int kDirectionalRegister = 17;
constexpr int kSpotRegister[2] = {19, 23};
constexpr int kPointRegister[2] = {27, 30};
constexpr int kSplitDistRegister = 33;
constexpr int kSplitMatrixRegister = 34;
constexpr int kSpotShadowVertexRegister[2] = {18, 22};
constexpr int kWorldToCamVertexRegister = 26;

// Maps clip x and y from -1..1 to texture coordinates 0..1 (y downwards), shifted by `offset` - 0.5.
Matrix44 TextureMapping(float offset) {
    Matrix44 m;
    m.m[0][0] = 0.5f;
    m.m[1][1] = -0.5f;
    m.m[3][0] = offset;
    m.m[3][1] = offset;
    return m;
}

Matrix44 Product(const Matrix44& a, const Matrix44& b, const Matrix44& c) {
    Matrix44 ab;
    Matrix44::Multiply(a, b, ab);
    Matrix44 abc;
    Matrix44::Multiply(ab, c, abc);
    return abc;
}

Vec4 Point1(const Vec3& v) { return {v.x, v.y, v.z, 1.0f}; }

}  // namespace

std::uint32_t SetupDrawLights(const DrawLight (&lights)[kLightSlotCount], const Matrix44& cameraWorld,
                              const ShadowSplit (&splits)[kShadowSplitCount], ShaderConstantCache& vertexConstants,
                              ShaderTextBuffer& pixelConstants) {
    std::uint32_t lightFlags = 0;

    const DrawLight& directional = lights[0];
    if (directional.enabled) {
        lightFlags |= kLightDirectional;
        pixelConstants.SetPixelVector3(directional.matrix.Row(2), kDirectionalRegister);
        pixelConstants.SetPixelColour(directional.colour, kDirectionalRegister + 1);
        if (directional.castsShadow) {
            lightFlags |= kShadowDirectional;
            pixelConstants.SetPixelVector(Vec4{directional.depthBias, 0, 0, 0}, kShadowParamsRegister);
            SetSplitShadowMatrices(splits, pixelConstants);
            Matrix44 worldToCam;
            Matrix44::InverseAffine(cameraWorld, worldToCam);
            vertexConstants.SetMatrix(worldToCam, kWorldToCamVertexRegister);
        }
    }

    for (int which = 0; which < 2; ++which) {
        const DrawLight& spot = lights[1 + which];
        if (!spot.enabled) continue;
        lightFlags |= which == 0 ? kLightSpot1 : kLightSpot2;
        const int reg = kSpotRegister[which];
        const float cosHalf = std::cos(spot.coneAngle * 0.5f * std::numbers::pi_v<float> / 180.0f);
        pixelConstants.SetPixelVector3(spot.matrix.Row(2), reg);
        pixelConstants.SetPixelVector3(spot.matrix.Row(3), reg + 1);
        pixelConstants.SetPixelColour(spot.colour, reg + 2);
        pixelConstants.SetPixelVector(Vec4{cosHalf, 1.0f / (1.0f - cosHalf), spot.intensity, spot.range}, reg + 3);
        if (spot.castsShadow) {
            lightFlags |= which == 0 ? kShadowSpot1 : kShadowSpot2;
            pixelConstants.SetPixelVector(Vec4{spot.depthBias, 0, 0, 0}, kShadowParamsRegister + 1 + which);
            SetSpotShadowMatrix(spot.matrix, spot.coneAngle, spot.range, kSpotShadowVertexRegister[which],
                                vertexConstants);
        }
    }

    for (int which = 0; which < 2; ++which) {
        const DrawLight& point = lights[3 + which];
        if (!point.enabled) continue;
        lightFlags |= which == 0 ? kLightPoint1 : kLightPoint2;
        const int reg = kPointRegister[which];
        pixelConstants.SetPixelVector3(point.matrix.Row(3), reg);
        pixelConstants.SetPixelColour(point.colour, reg + 1);
        pixelConstants.SetPixelVector(Vec4{0, 0, point.intensity, point.range}, reg + 2);
    }

    pixelConstants.SetPixelVector(Point1(cameraWorld.Row(3)), kCamPosWorldRegister);
    return lightFlags;
}

void SetSpotShadowMatrix(const Matrix44& lightMatrix, float coneAngle, float range, int reg,
                         ShaderConstantCache& vertexConstants) {
    constexpr float kNear = 0.1f;
    Matrix44 view;
    Matrix44::InverseAffine(lightMatrix, view);
    const float scale = 1.0f / std::tan(coneAngle * std::numbers::pi_v<float> / 360.0f);
    const float q = range / (range - kNear);
    Matrix44 projection;
    projection.m[0][0] = scale;
    projection.m[1][1] = scale;
    projection.m[2][2] = q;
    projection.m[2][3] = 1.0f;  // w from z
    projection.m[3][2] = -kNear * q;
    projection.m[3][3] = 0.0f;
    vertexConstants.SetMatrix(Product(view, projection, TextureMapping(0.5f + 1.0f / 4096.0f)), reg);
}

void SetSplitShadowMatrices(const ShadowSplit (&splits)[kShadowSplitCount], ShaderTextBuffer& pixelConstants) {
    for (int i = 0; i < kShadowSplitCount; ++i) {
        const ShadowSplit& split = splits[i];
        Matrix44 view;
        Matrix44::InverseAffine(split.view, view);
        Matrix44 projection;
        projection.m[0][0] = 2.0f / split.orthoWidth;
        projection.m[1][1] = 2.0f / split.orthoWidth;
        projection.m[2][2] = 1.0f / (split.orthoFar - split.orthoNear);
        projection.m[3][2] = split.orthoNear / (split.orthoNear - split.orthoFar);
        pixelConstants.SetPixelMatrix(Product(view, projection, TextureMapping(0.5f + 1.0f / 8192.0f)),
                                      kSplitMatrixRegister + 4 * i);
    }
    pixelConstants.SetPixelVector(
        Vec4{splits[0].endDistance, splits[1].endDistance, splits[2].endDistance, splits[3].endDistance},
        kSplitDistRegister);
}

}  // namespace engine
