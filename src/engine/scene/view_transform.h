#pragma once
// A camera's placement (row 0 right, row 1 up, row 2 forward, row 3 position) with its cached inverse (the
// view matrix), the field of view in degrees and the orthographic size (0 = perspective).
#include "engine/core/matrix.h"

namespace engine {

class ViewTransform {
public:
    static constexpr float kMinFov = 0.001f;
    static constexpr float kMaxFov = 179.999f;

    // Identity placement, field of view 30, perspective.
    void Init();
    // Clamped to [0.001, 179.999]; a NaN gives the lower bound.
    void SetFov(float degrees);
    float GetFov() const { return fov_; }
    // Copies the placement and marks the inverse stale.
    void SetMatrix(const Matrix44& m);
    const Matrix44& GetMatrix() const { return placement_; }
    // The inverse placement, recomputed only when stale.
    const Matrix44& GetInverse() const;
    void SetOrthoSize(float size) { orthoSize_ = size; }
    float GetOrthoSize() const { return orthoSize_; }

private:
    Matrix44 placement_;
    mutable Matrix44 inverse_;
    mutable bool inverseValid_ = true;
    float fov_ = 30.0f;
    float orthoSize_ = 0.0f;
};

}  // namespace engine
