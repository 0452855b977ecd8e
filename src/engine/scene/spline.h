#pragma once
// A spline through knots (the payload of a type-11 node), straight segments or a cardinal curve, with an
// arc-length table that maps a fraction of the whole length to a point. Each knot owns a marker node
// "$$$Knot" for its debug drawing.
#include <vector>

#include "engine/core/vector.h"

namespace engine {

class BillboardList;
class Camera;
class SceneNode;

enum SplineKind : int { kSplineStraight = 0, kSplineCurve = 1 };

struct SplineKnot {
    Vec3 position;
    float segmentLength = 0.0f;  // of the segment that ends at this knot
    float parameter = 0.0f;      // arc fraction: 0 at the first knot, 1 at the last
    SceneNode* marker = nullptr;  // owned
};

class Spline {
public:
    Spline() = default;
    ~Spline() { FreeKnots(); }
    Spline(const Spline&) = delete;
    Spline& operator=(const Spline&) = delete;

    // Appends a knot with its marker node and marks the table stale. False when memory runs out.
    bool InsertKnot(const Vec3& position);
    // Deletes each knot's marker node and the knots.
    void FreeKnots();
    // The point at arc fraction s: the first knot at s <= 0, the last at s >= 1; (0, 0, 0) without knots.
    Vec3 PointAt(float s);
    // The cardinal curve point at t in [0, 1] between knots i and i + 1; knot indices wrap modulo the count,
    // so the first segment takes the last knot as its predecessor. (0, 0, 0) without knots.
    Vec3 Segment(int i, float t) const;

    int KnotCount() const { return static_cast<int>(knots_.size()); }
    const SplineKnot& GetKnot(int i) const { return knots_[i]; }
    // Debug drawing: each knot's marker model with "$$$KnotStart", "$$$Knot" or "$$$KnotEnd" (made on first
    // use, with "$$$Line"), then the path as a temporary streak list in "$$$Line" with the identity world
    // matrix. Knots need the engine's device; the streaks draw through the list's own path.
    void Draw(Camera& view);
    // Fills the list (resized to fit) with the path's streaks: for a curve ceil(total length x 50) + 1 samples
    // (at most 5000) through PointAt, else one per pair of consecutive knots; white, half-width 0.0125.
    // Returns the number of streaks.
    int BuildStreaks(BillboardList& list, int material);

    // Rebuilds the arc-length table when stale.
    void UpdateTable();
    float TotalLength() { UpdateTable(); return totalLength_; }

    int kind = kSplineCurve;
    float tension = 0.0f;

private:
    // A curve of 3 knots or fewer is measured and walked as straight segments.
    int EffectiveKind() const;
    void SetParameters();

    std::vector<SplineKnot> knots_;
    float totalLength_ = 0.0f;
    bool stale_ = false;
};

}  // namespace engine
