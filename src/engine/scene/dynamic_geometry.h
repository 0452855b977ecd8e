#pragma once
// Geometry rebuilt by a producer at run time (the payload of a type-2 node): ten vectors and a matrix for the
// producer's use, the vertex buffer it fills, the material to draw with and the vertex count (triangles =
// count / 3).
#include <memory>

#include "engine/core/matrix.h"
#include "engine/core/vector.h"
#include "engine/render/dynamic_vertex_buffer.h"

namespace engine {

class Camera;
class MaterialBinder;
class RenderDevice;
class SceneNode;

class DynamicGeometry {
public:
    // Empty geometry of the owner: no vertices, no buffer, material 0.
    void Init(SceneNode* owner);
    // Nothing without vertices or a buffer. Otherwise the material's states ("Default" for a handle outside
    // the table or an empty slot), its shaders for the view (nothing drawn when they do not bind), cull mode
    // 3, and count / 3 triangles from the buffer's start; the vertex and triangle counts go to the engine's
    // frame statistics. The device and binder are the engine's when null.
    void Draw(Camera& view, const Matrix44& world, RenderDevice* device = nullptr, MaterialBinder* binder = nullptr);

    Vec3 values[10];
    Matrix44 matrix;
    std::unique_ptr<DynamicVertexBuffer> vertices;  // made by the producer
    int material = 0;
    int vertexCount = 0;
    SceneNode* owner = nullptr;
};

}  // namespace engine
