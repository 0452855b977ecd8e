#pragma once
// Low-poly, flat-shaded parts for the generated models: boxes, blocks of eight free corners, prisms and
// flat polygons, each coloured by a swatch of the shared swatch texture. Swatch 0 is transparent, so a
// tint material (COLOURD) shows its team colour there; the others are palette colours with full alpha.
#include <string>
#include <vector>

#include "engine/core/matrix.h"
#include "engine/core/vector.h"
#include "mdl_builder.h"
#include "modelgen/model_output.h"

namespace modelgen {

using engine::Vec3;

// The swatches, in texture order; "team" is swatch 0.
enum Swatch {
    kTeam,
    kSkin,
    kUniform,
    kBoots,
    kGun,
    kMetal,
    kDark,
    kRubber,
    kGlass,
    kWood,
    kConcrete,
    kRoof,
    kDeck,
    kHull,
    kWhite,
    kYellow,
    kRed,
    kRotor,
    kCanvas,
    kBrass,
    kSand,
    kGreen,
    kSnow,
    kSilver,
    kBronze,
    kSwatchCount
};

// The shared swatch texture and the plain material that uses it (for parts that carry no team colour).
inline constexpr const char* kSwatchTexture = "Common/ModelSwatches";
inline constexpr const char* kFixedMaterial = "Common/ModelPaint";

// The name of a swatch in the part sources: "team", or its palette colour without "model_" ("metal").
std::string SwatchName(Swatch swatch);
// The swatch of that name; false when there is none.
bool FindSwatch(const std::string& name, Swatch& swatch);

// Writes the swatch texture and the plain material.
void WriteSwatches(ModelOutput& out);

class MeshKit {
public:
    // The swatch and the bone (0-based; -1 none) of the parts that follow.
    void SetSwatch(Swatch swatch) { swatch_ = swatch; }
    void SetBone(int bone) { bone_ = bone; }
    // A transform applied to the corners of the parts that follow (row vectors: corner x matrix).
    void SetTransform(const engine::Matrix44& matrix) { transform_ = matrix; }
    void ResetTransform() { transform_.SetIdentity(); }

    void Box(const Vec3& min, const Vec3& max);
    // A box centred at c with the given full sizes.
    void BoxAt(const Vec3& c, const Vec3& size) { Box(c - size * 0.5f, c + size * 0.5f); }
    // Eight corners: bottom face (y low) 0-3 then top face 4-7, each counter-clockwise seen from above
    // starting at (-x, -z).
    void Block(const Vec3 (&corners)[8]);
    // A box whose top face is shrunk by the inset on x and z (a tapered hull, a roof).
    void Tapered(const Vec3& min, const Vec3& max, float insetX, float insetZ);
    // A prism of the given sides from a to b with radius r (a cylinder when sides is large).
    void Prism(const Vec3& a, const Vec3& b, float radius, int sides);
    // A flat hexagonal slab about the centre, corners at 0, 60, ... degrees from +x (the battle map's hexes).
    void HexSlab(const Vec3& centre, float radius, float y0, float y1);
    // A cone from a base at a (radius r) to a point at b.
    void Cone(const Vec3& a, const Vec3& b, float radius, int sides);
    // One triangle and one quad (both faces are drawn when twoSided).
    void Triangle(const Vec3& a, const Vec3& b, const Vec3& c, bool twoSided = false);
    void Quad(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& d, bool twoSided = false);

    int TriangleCount() const { return static_cast<int>(mesh_.triangles.size()); }
    mdlbuild::AuthorMesh& Mesh() { return mesh_; }
    // The bounds of every corner written.
    Vec3 Min() const { return min_; }
    Vec3 Max() const { return max_; }

private:
    int Vertex(const Vec3& position);

    mdlbuild::AuthorMesh mesh_;
    Swatch swatch_ = kTeam;
    int bone_ = -1;
    engine::Matrix44 transform_;
    Vec3 min_{1e9f, 1e9f, 1e9f};
    Vec3 max_{-1e9f, -1e9f, -1e9f};
};

}  // namespace modelgen
