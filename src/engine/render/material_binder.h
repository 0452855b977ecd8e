#pragma once
// What batch drawing needs of the material manager: binding a material's shaders, constants and textures for a
// draw, and whether its shader set can draw instanced runs. MaterialManager is the implementation.
#include "engine/core/colour.h"

namespace engine {

class MaterialDef;
struct Matrix44;

// The camera or scene view being drawn, as materials see it: its colour scale and colour offset.
class MaterialView {
public:
    virtual ~MaterialView() = default;
    virtual ColourF ColourScale() const = 0;
    virtual ColourF ColourOffset() const = 0;
};

class MaterialBinder {
public:
    virtual ~MaterialBinder() = default;
    // Prepares and binds everything a batch of the material needs. matrix is the draw's world-to-model matrix
    // (the fur set reads it). 0 when a needed shader cannot be built, else 1.
    virtual int BindMaterial(MaterialDef& material, const MaterialView* view, const Matrix44* matrix, bool skinned,
                             bool instanced) = 0;
    virtual bool SupportsInstancing(const MaterialDef& material) const = 0;
};

}  // namespace engine
