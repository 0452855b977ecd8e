#pragma once
// Rendering the scene around a node into the six faces of a cube texture (reflection and sky maps).
#include "engine/core/matrix.h"
#include "engine/scene/scene_view.h"

namespace engine {

class RenderQueue;
class SceneNode;

// The turn of cube face 0-5 from the placement: 0 about Y by 90 degrees, 1 about Y by -90, 2 about X by -90,
// 3 about X by 90, 4 none, 5 about Y by 180 (+X, -X, +Y, -Y, +Z, -Z).
Matrix44 GetCubeFaceRotation(int face);

// Renders the queue (rebuilt first, with the identity camera matrix) into each face of the texture-table cube
// texture through a 90-degree view of aspect 1 placed at the node, faces 0 to 5 and then face 0 once more,
// into the "Cube View" target with its own depth surface. The device's target, depth surface and viewport are
// restored afterwards. 1 when drawn; 0 without a device, a cube texture, node or queue.
int RenderCubeView(int cubeTextureHandle, SceneNode* node, RenderQueue* queue, float nearDistance,
                   float farDistance, const SceneViewServices& services = {});

}  // namespace engine
