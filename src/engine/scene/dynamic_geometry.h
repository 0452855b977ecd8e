#pragma once
// Geometry rebuilt by a producer at run time (the payload of a type-2 node): ten vectors and a matrix for the
// producer's use, the vertex buffer it fills, the material to draw with and the vertex count (triangles =
// count / 3).
#include <memory>

#include "engine/core/matrix.h"
#include "engine/core/vector.h"
#include "engine/render/dynamic_vertex_buffer.h"

namespace engine {

class SceneNode;

class DynamicGeometry {
public:
    // Empty geometry of the owner: no vertices, no buffer, material 0.
    void Init(SceneNode* owner);

    Vec3 values[10];
    Matrix44 matrix;
    std::unique_ptr<DynamicVertexBuffer> vertices;  // made by the producer
    int material = 0;
    int vertexCount = 0;
    SceneNode* owner = nullptr;
};

}  // namespace engine
