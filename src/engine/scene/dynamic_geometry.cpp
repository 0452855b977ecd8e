#include "engine/scene/dynamic_geometry.h"

namespace engine {

void DynamicGeometry::Init(SceneNode* ownerNode) {
    for (Vec3& v : values) v = Vec3();
    matrix.SetIdentity();
    vertices.reset();
    material = 0;
    vertexCount = 0;
    owner = ownerNode;
}

}  // namespace engine
