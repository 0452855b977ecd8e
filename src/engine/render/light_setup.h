#pragma once
// The per-draw light registers: the five light slots of a scene (slot 0 directional, 1 and 2 spot, 3 and 4
// point), their shadow projections and the camera, written into the shader constants, and the LightFlags
// word that names the shader variant they need.
//
// Pixel registers: CamPosWorld c11, ShadowParams c12-c14, the directional light c17-c18, spot 1 c19-c22,
// spot 2 c23-c26, point 1 c27-c29, point 2 c30-c32, SplitDist c33, PSSM_4x4[4] c34-c49. Vertex registers:
// WorldToLight_LT_SPOT_1 c18, WorldToLight_LT_SPOT_2 c22, WorldToCam c26.
#include <cstdint>

#include "engine/core/matrix.h"
#include "engine/render/shader_constant_cache.h"
#include "engine/render/shader_text_buffer.h"
#include "engine/render/shadow_split.h"

namespace engine {

// What the light registers need of one light slot.
struct DrawLight {
    bool enabled = false;
    std::uint32_t colour = 0xFFFFFFFF;  // ARGB
    float range = 20.0f;                // distance at which the light has faded out
    float intensity = 1.0f;             // the falloff exponent over the range and the cone
    float coneAngle = 45.0f;            // spot lights: full cone angle in degrees
    bool castsShadow = false;           // directional and spot lights only
    float depthBias = 0.05f;            // added to the shadow map's depth before comparing
    Matrix44 matrix;                    // placement: row 2 the direction, row 3 the position
};

inline constexpr int kLightSlotCount = 5;

// Fills the registers of every enabled light, the shadow registers of the enabled directional and spot
// lights that cast shadows (the directional light's from the four splits) and CamPosWorld from the
// camera's world transform; returns LightFlags (bits 0-7). Registers of disabled lights are left alone.
std::uint32_t SetupDrawLights(const DrawLight (&lights)[kLightSlotCount], const Matrix44& cameraWorld,
                              const ShadowSplit (&splits)[kShadowSplitCount], ShaderConstantCache& vertexConstants,
                              ShaderTextBuffer& pixelConstants);

// The world-to-shadow-map matrix of a spot light into vertex registers reg to reg + 3: the light's view,
// a perspective projection over the cone (near plane 0.1, far plane the range) and the texture mapping that
// puts the map's centre half a texel of 4096 from 0.5.
void SetSpotShadowMatrix(const Matrix44& lightMatrix, float coneAngle, float range, int reg,
                         ShaderConstantCache& vertexConstants);

// The world-to-atlas matrices of the four splits into pixel registers 34 + 4 x split (orthographic over each
// split's width and depth range), and SplitDist c33 = the splits' end distances.
void SetSplitShadowMatrices(const ShadowSplit (&splits)[kShadowSplitCount], ShaderTextBuffer& pixelConstants);

}  // namespace engine
