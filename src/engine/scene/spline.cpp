#include "engine/scene/spline.h"

#include <new>

#include "engine/scene/scene_node.h"

namespace engine {
namespace {

constexpr float kParameterEpsilon = 1.1920929e-7f;
constexpr int kChordsPerSegment = 20;

Vec3 Lerp(const Vec3& a, const Vec3& b, float t) { return a.Add(b.Sub(a).Scale(t)); }

}  // namespace

bool Spline::InsertKnot(const Vec3& position) {
    SceneNode* marker = SceneNode::Init(kNodeMesh, "$$$Knot");
    if (marker == nullptr) return false;
    try {
        SplineKnot knot;
        knot.position = position;
        knot.marker = marker;
        knots_.push_back(knot);
    } catch (const std::bad_alloc&) {
        marker->Destroy();
        return false;
    }
    stale_ = true;
    return true;
}

void Spline::FreeKnots() {
    for (SplineKnot& knot : knots_) {
        if (knot.marker != nullptr) knot.marker->Destroy();
    }
    knots_.clear();
    knots_.shrink_to_fit();
    totalLength_ = 0.0f;
    stale_ = false;
}

int Spline::EffectiveKind() const {
    if (kind == kSplineCurve && knots_.size() <= 3) return kSplineStraight;
    return kind;
}

Vec3 Spline::Segment(int i, float t) const {
    const int n = KnotCount();
    if (n == 0) return Vec3();
    auto knot = [&](int k) -> const Vec3& { return knots_[((k % n) + n) % n].position; };
    const float c = (1.0f - tension) * 0.5f;
    const float t2 = t * t;
    const float t3 = t2 * t;
    const Vec3 p0 = knot(i - 1).Scale(c * (2.0f * t2 - t3 - t));
    const Vec3 p1 = knot(i).Scale(c * (t2 - t3) + 2.0f * t3 - 3.0f * t2 + 1.0f);
    const Vec3 p2 = knot(i + 1).Scale(c * (t + t3 - 2.0f * t2) + 3.0f * t2 - 2.0f * t3);
    const Vec3 p3 = knot(i + 2).Scale(c * (t3 - t2));
    return p0.Add(p1).Add(p2).Add(p3);
}

void Spline::SetParameters() {
    const int n = KnotCount();
    float sum = 0.0f;
    knots_[0].parameter = 0.0f;
    for (int i = 1; i < n; ++i) {
        sum += knots_[i].segmentLength;
        knots_[i].parameter = totalLength_ > 0.0f ? sum / totalLength_ : 0.0f;
    }
    knots_[n - 1].parameter = 1.0f;
}

void Spline::UpdateTable() {
    if (!stale_) return;
    stale_ = false;
    const int n = KnotCount();
    const int effective = EffectiveKind();
    if (n < 2 || (effective != kSplineStraight && effective != kSplineCurve)) return;
    totalLength_ = 0.0f;
    knots_[0].segmentLength = 0.0f;
    for (int i = 0; i + 1 < n; ++i) {
        float length = 0.0f;
        if (effective == kSplineStraight) {
            length = knots_[i + 1].position.Distance(knots_[i].position);
        } else {
            Vec3 previous = knots_[i].position;
            for (int k = 1; k <= kChordsPerSegment; ++k) {
                const Vec3 point = Segment(i, static_cast<float>(k) / kChordsPerSegment);
                length += point.Distance(previous);
                previous = point;
            }
        }
        knots_[i + 1].segmentLength = length;
        totalLength_ += length;
    }
    SetParameters();
}

Vec3 Spline::PointAt(float s) {
    const int n = KnotCount();
    if (n == 0) return Vec3();
    if (s <= 0.0f) return knots_.front().position;
    if (s >= 1.0f) return knots_.back().position;
    UpdateTable();
    const int effective = EffectiveKind();
    if (effective == kSplineStraight) {
        for (int i = 1; i < n; ++i) {
            if (knots_[i].parameter < s) continue;
            const float p0 = knots_[i - 1].parameter;
            const float p1 = knots_[i].parameter;
            if (p1 - p0 < kParameterEpsilon) return knots_[i].position;
            return Lerp(knots_[i - 1].position, knots_[i].position, (s - p0) / (p1 - p0));
        }
        return knots_.back().position;
    }
    if (effective == kSplineCurve) {
        for (int i = 1; i < n; ++i) {
            if (knots_[i].parameter <= s) continue;
            const int segment = (i - 1) % n;
            const float p0 = knots_[segment].parameter;
            const float p1 = knots_[i % n].parameter;
            if (p1 - p0 < kParameterEpsilon) return knots_[i % n].position;
            return Segment(segment, (s - p0) / (p1 - p0));
        }
        return knots_.back().position;
    }
    return knots_.front().position;
}

}  // namespace engine
