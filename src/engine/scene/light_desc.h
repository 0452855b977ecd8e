#pragma once
// One of a render queue's five lights: the fields the shaders' light set-up reads, plus its type, the flag
// word that lets every visible entry cast its shadow, and the shadow target made on its first shadow pass.
// Types: 0 directional (four splits in one map), 1 and 2 spot (one perspective map), 3 and 4 cast no shadow.
#include <cstdint>

#include "engine/core/matrix.h"

namespace engine {

class RenderTarget;

class LightDesc {
public:
    explicit LightDesc(int type);
    // Deletes the shadow target.
    ~LightDesc();
    LightDesc(const LightDesc&) = delete;
    LightDesc& operator=(const LightDesc&) = delete;

    void SetEnabled(int on) { enabled = on; }
    void SetMatrix(const Matrix44& m) { matrix = m; }
    // Values below 0.001 become 0.001.
    void SetRange(float value) { range = value < 0.001f ? 0.001f : value; }
    void SetConeAngle(float degrees) { coneAngle = degrees; }
    void SetIntensity(float value) { intensity = value; }
    void SetColour(std::uint32_t argb) { colour = argb; }
    void SetFlagWord(std::uint32_t word) { flagWord = word; }

    int type = 0;
    int enabled = 0;
    std::uint32_t colour = 0xFFFFFFFFu;
    float range = 20.0f;
    float intensity = 1.0f;
    float coneAngle = 45.0f;
    int castsShadow = 1;
    std::uint32_t flagWord = 0;
    float depthBias = 0.001f;
    Matrix44 matrix;
    RenderTarget* shadowTarget = nullptr;
};

}  // namespace engine
