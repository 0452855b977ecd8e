// Picking under a screen point and the per-node debug shapes of a camera.
#include "engine/render/render_device.h"
#include "engine/render/graphics_device_hooks.h"
#include "engine/render/graphics_device.h"
#include "engine/scene/camera.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/scene_node.h"
#include "engine/scene/visible_node_list.h"

namespace engine {
namespace {

// Three lines along the edges from each corner of the box grown by 0.005, to 0.3 of the edge: 48 vertices.
void DrawBoxCorners(const Aabb& source, RenderDevice& device) {
    const Vec3 grow(0.005f, 0.005f, 0.005f);
    const Aabb box{source.min.Sub(grow), source.max.Add(grow)};
    const Vec3 size = box.max.Sub(box.min).Scale(0.3f);
    const std::uint32_t yellow = 0xFFFFFF00u;
    ColouredVertex lines[48];
    int n = 0;
    for (int corner = 0; corner < 8; ++corner) {
        const bool hx = (corner & 1) != 0, hy = (corner & 2) != 0, hz = (corner & 4) != 0;
        const Vec3 p(hx ? box.max.x : box.min.x, hy ? box.max.y : box.min.y, hz ? box.max.z : box.min.z);
        const Vec3 ends[3] = {{p.x + (hx ? -size.x : size.x), p.y, p.z},
                              {p.x, p.y + (hy ? -size.y : size.y), p.z},
                              {p.x, p.y, p.z + (hz ? -size.z : size.z)}};
        for (const Vec3& end : ends) {
            lines[n++] = {p.x, p.y, p.z, yellow};
            lines[n++] = {end.x, end.y, end.z, yellow};
        }
    }
    device.DrawVertexColoured(lines, n);
}

}  // namespace

int Camera::PickAtScreen(PickSegment* segment, int x, int y, PickHit& hit, Vec3& point, SceneNode* root) const {
    PickSegment ray;
    ScreenToRay(x, y, ray);
    if (segment != nullptr) *segment = ray;
    if (root == nullptr) return 0;
    float distance = 1.0f;
    return SceneNode::RayPick(point, distance, hit, root, ray.start, ray.delta);
}

void Camera::DrawDebugShapes(const VisibleNodeList& visible, RenderDevice* device) {
    RenderDevice* target = device != nullptr ? device : GetGraphicsDevice();
    if (target == nullptr) return;
    for (int i = 0; i < visible.Count(); ++i) {
        const VisibleNodeList::Entry& entry = visible.Get(i);
        SceneNode* node = entry.node;
        if (node == nullptr) continue;
        const std::uint32_t flags = node->GetFlags();
        const std::uint32_t type = node->GetType();
        const bool hasModel = type == kNodeGroup || type == kNodeEmitter || type == kNodeMesh || type == kNodeAnimatedMesh;
        const Model* model = hasModel ? node->GetModel() : nullptr;
        if (model != nullptr && (flags & (kNodeDebugNormals | kNodeDebugTangents | kNodeDebugBounds)) != 0) {
            SetWorldMatrix(entry.matrix);
            if ((flags & kNodeDebugNormals) != 0) model->DrawNormalLines(target);
            if ((flags & kNodeDebugTangents) != 0) model->DrawTangentLines(target);
            if ((flags & kNodeDebugBounds) != 0) model->DrawBoundsCross(target);
        }
        if ((flags & kNodeDebugBoxCorners) != 0 && (type == kNodeGroup || type == kNodeMesh || type == kNodeBox)) {
            Aabb box;
            if (node->GetBounds(box)) {
                SetWorldMatrix(entry.matrix);
                DrawBoxCorners(box, *target);
            }
        }
    }
}

}  // namespace engine
