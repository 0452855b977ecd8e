#pragma once
// The authoring path of model files: a mesh as the data tools describe it (positions, triangles with two
// texture-coordinate sets, colours, material names and smoothing masks; optionally bones with per-vertex
// weights and per-frame model-space matrices) built into a MeshModel of the engine's model table, with box
// trees for triangle queries and octrees for batch culling, and saved as a ".MDL" file.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/core/matrix.h"
#include "engine/core/vector.h"

namespace engine {
class MeshModel;
}

namespace mdlbuild {

struct AuthorVertex {
    engine::Vec3 position;
    // Up to four influences; weights need not be normalised (they are scaled to bytes summing to 255).
    std::uint8_t bones[4] = {};
    float weights[4] = {};
};

struct AuthorTriangle {
    int corners[3] = {};
    float uv[3][4] = {};  // per corner: u, v of set 0, u, v of set 1
    std::uint32_t colours[3] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
    std::string material;  // empty: none (the node's material)
    std::uint16_t smoothing = 0;
};

struct AuthorMesh {
    std::vector<AuthorVertex> vertices;
    std::vector<AuthorTriangle> triangles;
    // Per bone: the parent index (p names bone p - 1; below 1 a root) and the frames, model-space matrices
    // with frame 0 the bind pose in which the vertices are given.
    std::vector<int> boneParents;
    std::vector<std::vector<engine::Matrix44>> boneFrames;
    bool boxTree = false;
    bool octree = false;
    int octreeLeafTriangles = 4000;  // a cell is split while it holds more
};

// Whether a material name exists in the data set (a ".MTL" file); the builder refuses names it rejects.
using MaterialCheck = std::function<bool(const std::string& name)>;

// Builds the mesh into a new model of the engine's table and returns it; null with a message in error when
// the mesh is refused (a corner or bone out of range, a texture coordinate that does not pack within
// 1/4095, a material name that is missing, over 255 bytes or not Latin-1, more batches, tree nodes or
// leaves than the file can hold) or the table is full.
engine::MeshModel* BuildModel(const AuthorMesh& mesh, const MaterialCheck& check, std::string& error);

// A binary box tree over the model's collision triangles: median split on the longest axis, at most 8
// triangles per leaf. False when it would need more than 32,767 nodes or leaves.
bool BuildBoxTree(engine::MeshModel& model);

// Builds and saves the mesh to path (written to a temporary name, then renamed). False with a message.
bool WriteModelFile(const AuthorMesh& mesh, const MaterialCheck& check, const std::string& path, std::string& error);

// Reads the text form (see tools/mdlbuild.md). False with "line N: ..." in error.
bool ParseMeshText(const std::string& text, AuthorMesh& mesh, std::string& error);

// Latin-1 bytes of UTF-8 text; false when a character lies beyond U+00FF or the UTF-8 is broken.
bool Utf8ToLatin1(const std::string& text, std::string& out);

}  // namespace mdlbuild
