#pragma once
// The abstract base of every view of the scene: a viewport, near and far distances, an aspect ratio, a view
// transform, the view-projection matrix and six world-space frustum planes. It projects world points to the
// screen and turns screen points into pick segments. Conventions are left-handed with clip z from 0 to 1.
//
// The scene view derives from it and provides the drawing (Render, DrawSkybox, SetWorldMatrix); render
// targets read its viewport and depth range, and materials its colour scale and offset.
#include <cstdint>

#include "engine/core/geometry.h"
#include "engine/core/int_rect.h"
#include "engine/core/matrix.h"
#include "engine/render/material_binder.h"
#include "engine/render/render_view.h"
#include "engine/scene/pick_segment.h"
#include "engine/scene/view_transform.h"

namespace engine {

class RenderDevice;
class SceneNode;
class ShaderConstantCache;
class VisibleNodeList;
struct PickHit;

enum FrustumPlane : int {
    kPlaneNear = 0,
    kPlaneFar = 1,
    kPlaneSideX = 2,
    kPlaneSideXMirror = 3,
    kPlaneSideY = 4,
    kPlaneSideYMirror = 5,
};

class Camera : public SceneRenderView, public MaterialView {
public:
    static constexpr float kMinNear = 0.001f;
    // An aspect of this or less means width / height of the viewport.
    static constexpr float kAutoAspect = 1.1920929e-7f;

    Camera();
    ~Camera() override;
    Camera(const Camera&) = delete;
    Camera& operator=(const Camera&) = delete;

    // Viewport, aspect (see kAutoAspect), near (at least 0.001) and far distances. The view-projection
    // matrix goes to the given constant cache on every UpdateFrustum (the engine's when null).
    void Init(const IntRect& viewport, float aspect, float nearDistance, float farDistance,
              ShaderConstantCache* constants = nullptr);
    // Deletes the camera with its view transform.
    void Delete() { delete this; }

    void SetViewport(const IntRect& rect) { viewport_ = rect; }
    // See kAutoAspect.
    void SetAspect(float aspect);
    void SetColourScale(std::uint32_t argb) { colourScale_ = argb; }
    void SetColourOffset(std::uint32_t argb) { colourOffset_ = argb; }
    void SetNearFar(float nearDistance, float farDistance);

    ViewTransform& GetViewTransform() { return view_; }
    const ViewTransform& GetViewTransform() const { return view_; }
    const IntRect& GetViewport() const { return viewport_; }
    float GetAspect() const { return aspect_; }
    float GetNear() const { return near_; }
    float GetFar() const { return far_; }
    std::uint32_t GetColourScale() const { return colourScale_; }
    std::uint32_t GetColourOffset() const { return colourOffset_; }
    const Matrix44& GetProjection() const { return projection_; }
    const Matrix44& GetViewProjection() const { return viewProjection_; }

    // Rebuilds projection, view, view-projection and planes, and uploads the view-projection to c0-c3.
    void UpdateFrustum();
    // Plane i (0-5; others are clamped into that range).
    const Plane& GetPlane(int i) const;
    // 0 when the sphere lies wholly outside a plane, else 1.
    int SphereVisible(const Vec3& centre, float radius) const;
    // 0 when, for some plane, the box corner farthest along its normal is outside, else 1.
    int BoxVisible(const Aabb& box) const;
    // Viewport-relative pixel of a world point; 1 when the point is in front of the camera. Behind the eye
    // of a perspective camera (clip w at most 0) no pixel is computed: x and y are 0 and the result 0.
    int ProjectToScreen(const Vec3& point, int& x, int& y) const;
    // The pick segment through a viewport pixel, reaching the far distance.
    void ScreenToRay(int x, int y, PickSegment& segment) const;
    // Picks under a viewport pixel: builds the segment (copied out when asked) and runs SceneNode::RayPick
    // from root. 0 without a root (the render queue's scene root comes with the render queue).
    int PickAtScreen(PickSegment* segment, int x, int y, PickHit& hit, Vec3& point, SceneNode* root) const;
    // The debug shapes of the visible nodes by their flags (normal and tangent lines, bounds, box corners),
    // each after SetWorldMatrix with the entry's matrix. Lines go to device (the engine's when null).
    void DrawDebugShapes(const VisibleNodeList& visible, RenderDevice* device = nullptr);
    // Width and height of the view volume's cross-section at a distance.
    static void FrustumSize(float distance, float fovDegrees, float aspect, float& width, float& height);

    // RenderView and MaterialView.
    IntRect ViewportRect() const override { return viewport_; }
    float MinDepth() const override { return 0.0f; }
    float MaxDepth() const override { return 1.0f; }
    ColourF ColourScale() const override;
    ColourF ColourOffset() const override;

    // Provided by the scene view.
    virtual void DrawSkybox() = 0;
    virtual void SetWorldMatrix(const Matrix44& matrix) = 0;

private:
    void BuildProjection();
    void BuildPlanes();

    ViewTransform view_;
    IntRect viewport_;
    float near_ = 1.0f;
    float far_ = 1000.0f;
    float aspect_ = 1.0f;
    Matrix44 projection_;
    Matrix44 viewProjection_;
    Plane planes_[6];
    std::uint32_t colourScale_ = 0xFFFFFFFFu;
    std::uint32_t colourOffset_ = 0;
    ShaderConstantCache* constants_ = nullptr;
};

}  // namespace engine
