#include "engine/scene/view_transform.h"

namespace engine {

void ViewTransform::Init() {
    placement_.SetIdentity();
    inverse_.SetIdentity();
    inverseValid_ = true;
    fov_ = 30.0f;
    orthoSize_ = 0.0f;
}

void ViewTransform::SetFov(float degrees) {
    if (!(degrees > kMinFov)) {
        fov_ = kMinFov;
    } else {
        fov_ = degrees < kMaxFov ? degrees : kMaxFov;
    }
}

void ViewTransform::SetMatrix(const Matrix44& m) {
    placement_ = m;
    inverseValid_ = false;
}

const Matrix44& ViewTransform::GetInverse() const {
    if (!inverseValid_) {
        Matrix44::InverseAffine(placement_, inverse_);
        inverseValid_ = true;
    }
    return inverse_;
}

}  // namespace engine
