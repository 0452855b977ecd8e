#pragma once
// Models generated at run time: grids, boxes (the shared unit cube among them), the spline knot marker, lathe
// surfaces and skyboxes. Each returns the new model's handle, 0 when the table is full or the model cannot
// be built (nothing is then left behind).
#include "engine/core/vector.h"
#include "engine/core/wide_string.h"

namespace engine {

class MeshModel;

// A new model with a zero-filled mesh, entered into the table; null (and nothing kept) when the table is
// full or memory runs out.
MeshModel* NewMeshModel(const WideString& name, int vertexCount, int triangleCount);
// Finalise, then the handle; on failure the model is deleted and 0 returned.
int FinishModel(MeshModel* model);

// (n + 1)^2 vertices in the plane (1: XZ, 2: YZ, else XY) centred on the origin, 2n^2 triangles.
int CreateGridModel(const WideString& name, float width, float depth, int plane, int n);
int CreateBoxModel(const Aabb& box, const WideString& name, int n);
// The unit cube "$$$NullCube", made on first use and cached until the table is made again.
MeshModel* GetNullCubeModel();
void ClearNullCubeCache();
int CreateKnotModel();
// A surface of revolution about Y of five profile points (x, y).
int CreateLatheModel(const WideString& name, const Vec2 profile[5]);
int CreateSkyboxModel(const WideString& cubeMapName);

}  // namespace engine
