#include "engine/scene/camera.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/image/colour_gradient.h"
#include "engine/render/shader_constant_cache.h"
#include "engine/render/shader_manager_hooks.h"

namespace engine {
namespace {

constexpr float kHalfDegreeToRadians = 0.008726646f;

// Pixel coordinates are truncated; values beyond the int range (a point nearly level with the eye) are
// clamped first, since converting them would be undefined.
int TruncatePixel(float value) {
    if (!(value == value)) return 0;
    constexpr float kLimit = 1.0e9f;
    return static_cast<int>(std::clamp(value, -kLimit, kLimit));
}

}  // namespace

Camera::Camera() { view_.Init(); }

Camera::~Camera() = default;

void Camera::Init(const IntRect& viewport, float aspect, float nearDistance, float farDistance,
                  ShaderConstantCache* constants) {
    view_.Init();
    viewport_ = viewport;
    SetNearFar(nearDistance, farDistance);
    SetAspect(aspect);
    colourScale_ = 0xFFFFFFFFu;
    colourOffset_ = 0;
    constants_ = constants;
}

void Camera::SetAspect(float aspect) {
    if (aspect > kAutoAspect) {
        aspect_ = aspect;
    } else {
        aspect_ = viewport_.height > 0 ? static_cast<float>(viewport_.width) / viewport_.height : 1.0f;
    }
}

void Camera::SetNearFar(float nearDistance, float farDistance) {
    near_ = nearDistance > kMinNear ? nearDistance : kMinNear;
    far_ = farDistance;
}

ColourF Camera::ColourScale() const { return ArgbToColourF(colourScale_); }
ColourF Camera::ColourOffset() const { return ArgbToColourF(colourOffset_); }

void Camera::FrustumSize(float distance, float fovDegrees, float aspect, float& width, float& height) {
    height = std::tan(fovDegrees * kHalfDegreeToRadians) * distance * 2.0f;
    width = height * aspect;
}

void Camera::BuildProjection() {
    Matrix44 p;
    std::memset(p.m, 0, sizeof(p.m));
    const float size = view_.GetOrthoSize();
    if (size == 0.0f) {
        const float h = std::tan(view_.GetFov() * kHalfDegreeToRadians);
        p.m[0][0] = 1.0f / h / aspect_;
        p.m[1][1] = 1.0f / h;
        p.m[2][2] = far_ / (far_ - near_);
        p.m[3][2] = -far_ * near_ / (far_ - near_);
        p.m[2][3] = 1.0f;
    } else {
        p.m[0][0] = 2.0f / size / aspect_;
        p.m[1][1] = 2.0f / size;
        p.m[2][2] = 1.0f / (far_ - near_);
        p.m[3][2] = near_ / (near_ - far_);
        p.m[3][3] = 1.0f;
    }
    projection_ = p;
}

void Camera::BuildPlanes() {
    Vec3 normals[6] = {{0, 0, 1}, {0, 0, -1}, {}, {}, {}, {}};
    float offsets[6] = {-near_, -far_, 0, 0, 0, 0};
    const float size = view_.GetOrthoSize();
    if (size == 0.0f) {
        float wn = 0, hn = 0, wf = 0, hf = 0;
        FrustumSize(near_, view_.GetFov(), aspect_, wn, hn);
        FrustumSize(far_, view_.GetFov(), aspect_, wf, hf);
        wn *= 0.5f, hn *= 0.5f, wf *= 0.5f, hf *= 0.5f;
        // The sides at -x and -y, through two near corners and a far one, facing into the volume.
        Plane side;
        side.FromPoints({-wn, -hn, near_}, {-wn, hn, near_}, {-wf, -hf, far_});
        normals[kPlaneSideX] = side.normal;
        side.FromPoints({wn, -hn, near_}, {-wn, -hn, near_}, {wf, -hf, far_});
        normals[kPlaneSideY] = side.normal;
    } else {
        normals[kPlaneSideX] = {-1, 0, 0};
        normals[kPlaneSideY] = {0, -1, 0};
        for (int i = kPlaneSideX; i <= kPlaneSideYMirror; ++i) offsets[i] = -size;
    }
    normals[kPlaneSideXMirror] = {-normals[kPlaneSideX].x, normals[kPlaneSideX].y, normals[kPlaneSideX].z};
    normals[kPlaneSideYMirror] = {normals[kPlaneSideY].x, -normals[kPlaneSideY].y, normals[kPlaneSideY].z};
    const Matrix44& placement = view_.GetMatrix();
    const Vec3 position = placement.GetTranslation();
    for (int i = 0; i < 6; ++i) {
        const Vec3 normal = placement.TransformVector(normals[i]);
        planes_[i].InitFromNormal(normal, normal.Dot(position) + offsets[i]);
    }
}

void Camera::UpdateFrustum() {
    BuildProjection();
    const Matrix44 view = view_.GetInverse().ToFull4x4();
    Matrix44::Multiply(view, projection_, viewProjection_);
    BuildPlanes();
    ShaderConstantCache* constants = constants_ != nullptr ? constants_ : GetShaderConstantCache();
    if (constants != nullptr) constants->SetMatrix(viewProjection_, 0);
}

const Plane& Camera::GetPlane(int i) const { return planes_[std::clamp(i, 0, 5)]; }

int Camera::SphereVisible(const Vec3& centre, float radius) const {
    for (const Plane& plane : planes_) {
        if (plane.normal.Dot(centre) - plane.d < -radius) return 0;
    }
    return 1;
}

int Camera::BoxVisible(const Aabb& box) const {
    for (const Plane& plane : planes_) {
        const Vec3 corner(plane.normal.x >= 0.0f ? box.max.x : box.min.x,
                          plane.normal.y >= 0.0f ? box.max.y : box.min.y,
                          plane.normal.z >= 0.0f ? box.max.z : box.min.z);
        if (plane.normal.Dot(corner) - plane.d < 0.0f) return 0;
    }
    return 1;
}

int Camera::ProjectToScreen(const Vec3& point, int& x, int& y) const {
    const float width = static_cast<float>(viewport_.width);
    const float height = static_cast<float>(viewport_.height);
    const float size = view_.GetOrthoSize();
    if (size != 0.0f) {
        // The projection's own scales, so that the pixel agrees with the drawing at every aspect.
        const Vec3 p = view_.GetInverse().TransformPoint(point);
        x = TruncatePixel(p.x * width / (size * aspect_) + width * 0.5f);
        y = TruncatePixel(height * 0.5f - p.y * height / size);
        return p.z >= 0.0f ? 1 : 0;
    }
    const Vec4 c = viewProjection_.TransformVec4({point.x, point.y, point.z, 1.0f});
    if (!(c.w > 0.0f)) {
        x = 0;
        y = 0;
        return 0;
    }
    x = TruncatePixel((c.x / c.w + 1.0f) * width * 0.5f);
    y = TruncatePixel(height - height * (c.y / c.w + 1.0f) * 0.5f);
    return c.z >= 0.0f ? 1 : 0;
}

void Camera::ScreenToRay(int x, int y, PickSegment& segment) const {
    const float width = viewport_.width > 0 ? static_cast<float>(viewport_.width) : 1.0f;
    const float height = viewport_.height > 0 ? static_cast<float>(viewport_.height) : 1.0f;
    const Matrix44& placement = view_.GetMatrix();
    const Vec3 right = placement.Row(0);
    const Vec3 up = placement.Row(1);
    const Vec3 forward = placement.Row(2);
    const Vec3 position = placement.Row(3);
    // Horizontal offsets scale with the stored aspect, as the projection does.
    const float u = aspect_ * (2.0f * static_cast<float>(x) - width) / width;
    const float v = (2.0f * static_cast<float>(y) - height) / height;
    const float size = view_.GetOrthoSize();
    if (size == 0.0f) {
        const float t = std::tan(view_.GetFov() * kHalfDegreeToRadians);
        const Vec3 direction = forward.Add(right.Scale(t * u)).Sub(up.Scale(t * v));
        segment.Init(position, direction.Scale(far_));
    } else {
        const Vec3 start = position.Add(right.Scale(size * 0.5f * u)).Sub(up.Scale(size * 0.5f * v));
        segment.Init(start, forward.Scale(far_));
    }
}

}  // namespace engine
