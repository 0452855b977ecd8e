#include "engine/scene/model_queries.h"

#include <algorithm>
#include <cmath>

#include "engine/core/geometry.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/box_tree.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/scene_node.h"

namespace engine {
namespace {

int DefaultMaterial() {
    const MaterialLib& lib = GetMaterialLib();
    return lib.DefaultHandle() != 0 ? lib.DefaultHandle() : 1;
}

float Component(const Vec3& v, int axis) { return axis == 0 ? v.x : (axis == 1 ? v.y : v.z); }

}  // namespace

ModelQueryOptions& GetModelQueryOptions() {
    static ModelQueryOptions options;
    return options;
}

TriangleList::TriangleList(int capacity) : entries_(static_cast<std::size_t>(std::max(capacity, 0))) {}

void TriangleList::Grow() {
    const int capacity = GetCapacity();
    entries_.resize(static_cast<std::size_t>(capacity >= 400 ? capacity + capacity / 4 : capacity + 100));
}

void TriangleList::Add(const Matrix44& world, int triangle, SceneNode* node, const Vec3& a, const Vec3& b,
                       const Vec3& c, const Vec3& na, const Vec3& nb, const Vec3& nc, const Vec3& face,
                       int material) {
    if (count_ >= GetCapacity()) Grow();
    TriangleListEntry& e = entries_[static_cast<std::size_t>(count_++)];
    e.node = node;
    e.triangle = triangle;
    e.material = material != 0 ? material : DefaultMaterial();
    e.corners[0] = world.TransformPoint(a);
    e.corners[1] = world.TransformPoint(b);
    e.corners[2] = world.TransformPoint(c);
    e.normals[0] = world.TransformVector(na);
    e.normals[1] = world.TransformVector(nb);
    e.normals[2] = world.TransformVector(nc);
    e.planeNormal = world.TransformVector(face);
    e.planeDistance = e.planeNormal.Dot(e.corners[0]);
}

TriangleList& GetSharedTriangleList() {
    static TriangleList list(1250);
    return list;
}

bool IsMaterialFlagged(int material) {
    if (GetModelQueryOptions().flaggedMaterialQueries != 0) return false;
    const MaterialLib& lib = GetMaterialLib();
    if (lib.Count() == 0) return false;
    const MaterialDef* def = lib.Get(material);
    return def != nullptr && (def->GetFlags() & 0x1) != 0;
}

int TriangleMaterial(const MeshModel& model, int triangle, int nodeMaterial, int defaultMaterial) {
    const RenderTriangle* t = model.GetTriangle(triangle);
    const MeshBatch* batch = t != nullptr ? model.GetBatch(t->batch) : nullptr;
    if (batch != nullptr && batch->material != 0) return batch->material;
    return nodeMaterial != 0 ? nodeMaterial : defaultMaterial;
}

bool TriangleMayTouchBox(const Vec3& a, const Vec3& b, const Vec3& c, const Aabb& box) {
    for (int axis = 0; axis < 3; ++axis) {
        const float lo = Component(box.min, axis), hi = Component(box.max, axis);
        const float pa = Component(a, axis), pb = Component(b, axis), pc = Component(c, axis);
        if (pa < lo && pb < lo && pc < lo) return false;
        if (pa > hi && pb > hi && pc > hi) return false;
    }
    return true;
}

bool PlaneBoxOverlap(const Vec3& normal, float d, const Vec3& halfSize) {
    Vec3 vmin, vmax;
    const float n[3] = {normal.x, normal.y, normal.z};
    const float h[3] = {halfSize.x, halfSize.y, halfSize.z};
    float lo[3], hi[3];
    for (int i = 0; i < 3; ++i) {
        // A component of exactly 0 counts as negative.
        lo[i] = n[i] > 0.0f ? -h[i] : h[i];
        hi[i] = n[i] > 0.0f ? h[i] : -h[i];
    }
    vmin = {lo[0], lo[1], lo[2]};
    vmax = {hi[0], hi[1], hi[2]};
    return normal.Dot(vmin) + d <= 0.0f && normal.Dot(vmax) + d >= 0.0f;
}

bool TriangleBoxOverlap(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& centre, const Vec3& halfSize) {
    const Vec3 v[3] = {a.Sub(centre), b.Sub(centre), c.Sub(centre)};
    const Vec3 edges[3] = {v[1].Sub(v[0]), v[2].Sub(v[1]), v[0].Sub(v[2])};
    const Vec3 axes[3] = {kAxisX, kAxisY, kAxisZ};
    // The nine axes edge x box axis.
    for (const Vec3& edge : edges) {
        for (const Vec3& boxAxis : axes) {
            const Vec3 axis = edge.Cross(boxAxis);
            const float p0 = axis.Dot(v[0]), p1 = axis.Dot(v[1]), p2 = axis.Dot(v[2]);
            const float lo = std::min({p0, p1, p2}), hi = std::max({p0, p1, p2});
            const float r = halfSize.x * std::fabs(axis.x) + halfSize.y * std::fabs(axis.y) +
                            halfSize.z * std::fabs(axis.z);
            if (lo > r || hi < -r) return false;
        }
    }
    // The three box axes.
    for (int axis = 0; axis < 3; ++axis) {
        const float p0 = Component(v[0], axis), p1 = Component(v[1], axis), p2 = Component(v[2], axis);
        const float h = Component(halfSize, axis);
        if (std::min({p0, p1, p2}) > h || std::max({p0, p1, p2}) < -h) return false;
    }
    const Vec3 normal = edges[0].Cross(edges[1]);
    return PlaneBoxOverlap(normal, -normal.Dot(v[0]), halfSize);
}

namespace {

bool TriangleInQueryBox(const QueryBox& query, const Vec3& a, const Vec3& b, const Vec3& c) {
    const Vec3 centre = query.box.GetCentre();
    const Vec3 d = query.box.max.Sub(query.box.min);
    const Vec3 half(std::fabs(d.x) * 0.5f, std::fabs(d.y) * 0.5f, std::fabs(d.z) * 0.5f);
    return TriangleBoxOverlap(a, b, c, centre, half);
}

void AddModelTriangle(const MeshModel& model, int i, SceneNode* node, const Matrix44& world, int material,
                      const Vec3& a, const Vec3& b, const Vec3& c, TriangleList& list) {
    Vec3 na, nb, nc;
    model.GetTriangleNormals(i, na, nb, nc);
    const RenderTriangle* t = model.GetTriangle(i);
    list.Add(world, i, node, a, b, c, na, nb, nc, t->normal, material);
}

}  // namespace

void GatherModelTriangles(const MeshModel& model, SceneNode* node, const QueryBox& query,
                          const Matrix44& modelToQuery, const Matrix44& world, TriangleList& list) {
    Matrix44 queryToModel;
    Matrix44::InverseAffine(modelToQuery, queryToModel);
    const Aabb box = Aabb::Transform(query.box, queryToModel);
    const int nodeMaterial = node != nullptr ? node->GetMaterial() : 0;
    if (model.boxTree) {
        GatherBoxTreeTriangles(*model.boxTree, box, node, model, query, world, nodeMaterial, list);
        return;
    }
    const int fallback = DefaultMaterial();
    for (int i = 0; i < model.GetTriangleCount(); ++i) {
        const int material = TriangleMaterial(model, i, nodeMaterial, fallback);
        if (IsMaterialFlagged(material)) continue;
        Vec3 a, b, c;
        model.GetTriangleCorners(i, a, b, c);
        if (!TriangleMayTouchBox(a, b, c, box)) continue;
        AddModelTriangle(model, i, node, world, material, a, b, c, list);
    }
}

void GatherBoxTreeTriangles(const BoxTree& tree, const Aabb& box, SceneNode* node, const MeshModel& model,
                            const QueryBox& query, const Matrix44& world, int defaultMaterial, TriangleList& list) {
    if (tree.nodes.empty()) return;
    const int fallback = DefaultMaterial();
    auto gatherLeaf = [&](const BoxTreeLeaf& leaf) {
        for (std::uint32_t k = leaf.first; k < leaf.first + leaf.count; ++k) {
            const int i = static_cast<int>(tree.indices[k]);
            Vec3 a, b, c;
            model.GetTriangleCorners(i, a, b, c);
            if (!TriangleMayTouchBox(a, b, c, box)) continue;
            const Vec3 qa = query.inverseMatrix.TransformPoint(world.TransformPoint(a));
            const Vec3 qb = query.inverseMatrix.TransformPoint(world.TransformPoint(b));
            const Vec3 qc = query.inverseMatrix.TransformPoint(world.TransformPoint(c));
            if (!TriangleInQueryBox(query, qa, qb, qc)) continue;
            const int material = TriangleMaterial(model, i, defaultMaterial, fallback);
            if (IsMaterialFlagged(material)) continue;
            AddModelTriangle(model, i, node, world, material, a, b, c, list);
        }
    };
    std::vector<int> stack{0};
    while (!stack.empty()) {
        const BoxTreeNode& current = tree.nodes[static_cast<std::size_t>(stack.back())];
        stack.pop_back();
        if (!Aabb::Overlaps(box, {current.min, current.max})) continue;
        const int links[2] = {current.link0, current.link1};
        for (int link : links) {
            const int leaf = BoxTree::LinkLeaf(link);
            if (leaf < 0) continue;
            const BoxTreeLeaf& l = tree.leaves[static_cast<std::size_t>(leaf)];
            if (Aabb::Overlaps(box, {l.min, l.max})) gatherLeaf(l);
        }
        // Nodes in link order: pushed in reverse.
        for (int k = 1; k >= 0; --k) {
            const int child = BoxTree::LinkNode(links[k]);
            if (child >= 0) stack.push_back(child);
        }
    }
}

int RaySphereTest(const Vec3& centre, const Vec3& start, float radius, const Vec3& direction) {
    const Vec3 l = start.Sub(centre);
    const float c = l.Dot(l) - radius * radius;
    if (c < 0.0f) return 1;
    const float b = l.Dot(direction);
    if (b > 0.0f) return 0;
    return b * b - c < 0.0f ? 0 : 1;
}

bool SegmentOverlapsBox(const Aabb& box, const Vec3& o, const Vec3& d) {
    const Vec3 c = box.GetCentre();
    const Vec3 e = box.max.Sub(box.min).Scale(0.5f);
    const Vec3 half = d.Scale(0.5f);
    const Vec3 m = o.Add(half).Sub(c);
    float wx = std::fabs(half.x), wy = std::fabs(half.y), wz = std::fabs(half.z);
    if (std::fabs(m.x) > e.x + wx || std::fabs(m.y) > e.y + wy || std::fabs(m.z) > e.z + wz) return false;
    wx += 1e-6f, wy += 1e-6f, wz += 1e-6f;
    if (std::fabs(m.y * half.z - m.z * half.y) > e.y * wz + e.z * wy) return false;
    if (std::fabs(m.z * half.x - m.x * half.z) > e.x * wz + e.z * wx) return false;
    if (std::fabs(m.x * half.y - m.y * half.x) > e.x * wy + e.y * wx) return false;
    return true;
}

int RayAabbIntersect(const Vec3& o, const Vec3& d, const Aabb& box, float& t) {
    const float origin[3] = {o.x, o.y, o.z}, delta[3] = {d.x, d.y, d.z};
    const float lo[3] = {box.min.x, box.min.y, box.min.z}, hi[3] = {box.max.x, box.max.y, box.max.z};
    bool inside = true;
    float candidate[3] = {};
    bool middle[3] = {};
    for (int i = 0; i < 3; ++i) {
        if (origin[i] < lo[i]) {
            candidate[i] = lo[i], inside = false;
        } else if (origin[i] > hi[i]) {
            candidate[i] = hi[i], inside = false;
        } else {
            middle[i] = true;
        }
    }
    if (inside) {
        t = 0.0f;
        return -1;
    }
    float ts[3];
    for (int i = 0; i < 3; ++i) ts[i] = !middle[i] && delta[i] != 0.0f ? (candidate[i] - origin[i]) / delta[i] : -1.0f;
    int axis = 0;
    for (int i = 1; i < 3; ++i) {
        if (ts[i] > ts[axis]) axis = i;
    }
    if (ts[axis] < 0.0f) return 0;
    for (int i = 0; i < 3; ++i) {
        if (i == axis) continue;
        const float p = origin[i] + delta[i] * ts[axis];
        if (p < lo[i] || p > hi[i]) return 0;
    }
    t = ts[axis];
    return 1;
}

int RayTestModel(const MeshModel& model, const PickSegment& segment, float& best, ModelRayHit& hit,
                 SceneNode* node, const Matrix44& world, int backFaces) {
    const Vec3 worldCentre = world.TransformPoint(model.centre);
    // The largest row length of the 3x3 part bounds how far the transform stretches the model; the diagonal
    // alone is near 0 for some rotations.
    float s = 0.0f;
    for (int row = 0; row < 3; ++row) s = std::max(s, world.Row(row).Length());
    const float r = s * model.radius;
    if (segment.midpoint.Sub(worldCentre).Length() > r + segment.halfLength) return 0;
    if (RaySphereTest(worldCentre, segment.start, r, segment.direction) == 0) return 0;
    Matrix44 inverse;
    Matrix44::InverseAffine(world, inverse);
    const Vec3 o = inverse.TransformPoint(segment.start);
    const Vec3 d = inverse.TransformVector(segment.delta);
    const int nodeMaterial = node != nullptr ? node->GetMaterial() : 0;
    if (model.boxTree) return RayTestBoxTree(*model.boxTree, model, o, d, best, hit, node, world, nodeMaterial, backFaces);
    float t = 0.0f;
    if (RayAabbIntersect(o, d, model.GetBounds(), t) == 0 || t > best) return 0;
    int found = -1, material = 0;
    for (int i = 0; i < model.GetTriangleCount(); ++i) {
        Vec3 a, b, c;
        model.GetTriangleCorners(i, a, b, c);
        const Vec3 e1 = b.Sub(a), e2 = c.Sub(a);
        const Vec3 p = d.Cross(e2);
        const float det = e1.Dot(p);
        if (std::fabs(det) < 1e-6f) continue;
        const Vec3 s0 = o.Sub(a);
        const float u = s0.Dot(p) / det;
        if (u < 0.0f || u > 1.0f) continue;
        const Vec3 q = s0.Cross(e1);
        const float v = d.Dot(q) / det;
        if (v < 0.0f || u + v > 1.0f) continue;
        const float hitT = e2.Dot(q) / det;
        if (hitT < 0.0f || hitT > best) continue;
        best = hitT;
        found = i;
        material = model.GetVisibleTriangleMaterial(i);
    }
    if (found < 0) return 0;
    hit.node = node;
    hit.triangle = found;
    hit.material = material != 0 ? material : nodeMaterial;
    hit.point = o.Add(d.Scale(best));
    hit.world = world;
    hit.backFace = 0;
    return 1;
}

int RayTestBoxTree(const BoxTree& tree, const MeshModel& model, const Vec3& o, const Vec3& d, float& best,
                   ModelRayHit& hit, SceneNode* node, const Matrix44& world, int defaultMaterial, int backFaces) {
    if (tree.nodes.empty()) return 0;
    const int fallback = DefaultMaterial();
    const MaterialLib& lib = GetMaterialLib();
    const float length = d.Length();
    float bestDistance = 1e9f, parameter = 0.0f;
    int found = -1, foundBehind = 0;
    Vec3 foundPoint;
    auto testTriangle = [&](int i) {
        const RenderTriangle* t = model.GetTriangle(i);
        const float d0 = t->normal.Dot(o) - t->planeDistance;
        const float d1 = t->normal.Dot(o.Add(d)) - t->planeDistance;
        if (!((d0 >= 0.0f && d1 <= 0.0f) || (d0 < 0.0f && d1 >= 0.0f))) return;
        const int material = TriangleMaterial(model, i, defaultMaterial, fallback);
        const bool behind = d0 < 0.0f;
        if (behind && backFaces == 0) {
            const MaterialDef* def = lib.Count() > 0 ? lib.Get(material) : nullptr;
            if (def == nullptr || def->cullMode != 1) return;
        }
        Plane plane;
        plane.InitFromNormal(t->normal, t->planeDistance);
        if (!plane.IntersectSegment(o, o.Add(d))) return;
        Vec3 a, b, c;
        model.GetTriangleCorners(i, a, b, c);
        if (behind) std::swap(a, c);
        const float f = d.Cross(c.Sub(o)).Dot(b.Sub(o));
        const float g = d.Cross(a.Sub(o)).Dot(c.Sub(o));
        const float h = d.Cross(b.Sub(o)).Dot(a.Sub(o));
        const float sum = f + g + h;
        // A degenerate triangle (or a ray in its plane) gives a zero sum and no point.
        if (f < 0.0f || g < 0.0f || h < 0.0f || !(std::fabs(sum) > 0.0f)) return;
        const Vec3 point = a.Scale(f).Add(b.Scale(g)).Add(c.Scale(h)).Scale(1.0f / sum);
        const float distance = point.Sub(o).Length();
        if (!(distance < bestDistance) || IsMaterialFlagged(material)) return;
        bestDistance = distance;
        foundPoint = point;
        foundBehind = behind ? 1 : 0;
        parameter = length > 0.0f ? distance / length : 0.0f;
        found = i;
    };
    std::vector<int> stack{0};
    while (!stack.empty()) {
        const BoxTreeNode& current = tree.nodes[static_cast<std::size_t>(stack.back())];
        stack.pop_back();
        if (!SegmentOverlapsBox({current.min, current.max}, o, d)) continue;
        const int links[2] = {current.link0, current.link1};
        for (int link : links) {
            const int leaf = BoxTree::LinkLeaf(link);
            if (leaf < 0) continue;
            const BoxTreeLeaf& l = tree.leaves[static_cast<std::size_t>(leaf)];
            if (!SegmentOverlapsBox({l.min, l.max}, o, d)) continue;
            for (std::uint32_t k = l.first; k < l.first + l.count; ++k) testTriangle(static_cast<int>(tree.indices[k]));
        }
        for (int k = 1; k >= 0; --k) {
            const int child = BoxTree::LinkNode(links[k]);
            if (child >= 0) stack.push_back(child);
        }
    }
    if (found < 0 || !(parameter < best)) return 0;
    hit.node = node;
    hit.triangle = found;
    hit.material = TriangleMaterial(model, found, defaultMaterial, 0);
    hit.point = foundPoint;
    hit.world = world;
    hit.backFace = foundBehind;
    best = parameter;
    return 1;
}

int RayTestBox(ModelRayHit& hit, const Aabb& box, const PickSegment& segment, float& best, SceneNode* node,
               const Matrix44& world) {
    Matrix44 inverse;
    Matrix44::InverseAffine(world, inverse);
    const Vec3 o = inverse.TransformPoint(segment.start);
    const Vec3 d = inverse.TransformVector(segment.delta);
    float t = 0.0f;
    if (RayAabbIntersect(o, d, box, t) == 0 || t > best) return 0;
    best = t;
    hit.node = node;
    hit.triangle = -1;
    hit.material = GetCollisionVolumeMaterial();
    hit.point = o.Add(d.Scale(t));
    hit.world = world;
    hit.backFace = 0;
    return 1;
}

}  // namespace engine
