#include "mdl_builder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "engine/core/byte_buffer.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/render/vertex_packing.h"
#include "engine/scene/box_tree.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/model_generators.h"
#include "engine/scene/model_octree.h"
#include "engine/scene/skeleton.h"
#include "files/replace_file.h"

namespace mdlbuild {
namespace {

using engine::Aabb;
using engine::MeshModel;
using engine::Vec3;

constexpr int kMaxLeafTriangles = 8;
constexpr int kMaxOctreeDepth = 8;

void Grow(Aabb& box, const Vec3& p) {
    box.min = {std::min(box.min.x, p.x), std::min(box.min.y, p.y), std::min(box.min.z, p.z)};
    box.max = {std::max(box.max.x, p.x), std::max(box.max.y, p.y), std::max(box.max.z, p.z)};
}

Aabb EmptyBox() { return {{1e30f, 1e30f, 1e30f}, {-1e30f, -1e30f, -1e30f}}; }

bool UvPacks(float u, float v) {
    const engine::Vec2 back = engine::UnpackUV(engine::PackUV(u, v));
    return std::fabs(back.x - u) <= 1.0f / 4095.0f && std::fabs(back.y - v) <= 1.0f / 4095.0f;
}

// Weights as bytes summing to 255 (all zero when every weight is 0).
void WeightBytes(const float weights[4], std::uint8_t out[4]) {
    float sum = 0;
    for (int i = 0; i < 4; ++i) sum += std::max(weights[i], 0.0f);
    if (!(sum > 0.0f)) {
        std::fill(out, out + 4, 0);
        return;
    }
    int total = 0, largest = 0;
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<std::uint8_t>(std::lround(std::max(weights[i], 0.0f) / sum * 255.0f));
        total += out[i];
        if (weights[i] > weights[largest]) largest = i;
    }
    out[largest] = static_cast<std::uint8_t>(out[largest] + (255 - total));
}

// The material handle of a name, made in the engine's table on first use (empty: 0).
int MaterialHandle(const std::string& name) {
    if (name.empty()) return 0;
    engine::MaterialLib& lib = engine::GetMaterialLib();
    const int found = lib.FindInGroup(name.c_str(), lib.CurrentGroup());
    return found != 0 ? found : lib.Create(name.c_str(), 0, 0, 0, 0);
}

bool CheckMesh(const AuthorMesh& mesh, const MaterialCheck& check, std::string& error) {
    const int vertices = static_cast<int>(mesh.vertices.size());
    const int bones = static_cast<int>(mesh.boneParents.size());
    for (std::size_t t = 0; t < mesh.triangles.size(); ++t) {
        const AuthorTriangle& tri = mesh.triangles[t];
        for (int corner : tri.corners) {
            if (corner < 0 || corner >= vertices) {
                error = "triangle " + std::to_string(t) + ": corner " + std::to_string(corner) + " out of range";
                return false;
            }
        }
        for (const auto& uv : tri.uv) {
            if (!UvPacks(uv[0], uv[1]) || !UvPacks(uv[2], uv[3])) {
                error = "triangle " + std::to_string(t) + ": a texture coordinate does not pack within 1/4095";
                return false;
            }
        }
        if (tri.material.size() > 255) {
            error = "material name over 255 bytes: " + tri.material.substr(0, 40) + "...";
            return false;
        }
        std::string latin;
        if (!Utf8ToLatin1(tri.material, latin)) {
            error = "material name not Latin-1: " + tri.material;
            return false;
        }
        if (!tri.material.empty() && check && !check(tri.material)) {
            error = "material " + tri.material + " has no .MTL in the data set";
            return false;
        }
    }
    if (static_cast<int>(mesh.boneFrames.size()) != bones) {
        error = "frames given for a bone that does not exist";
        return false;
    }
    for (int b = 0; b < bones; ++b) {
        if (mesh.boneParents[b] > bones || mesh.boneFrames[b].empty()) {
            error = "bone " + std::to_string(b) + ": parent out of range or no frames";
            return false;
        }
    }
    for (const AuthorVertex& v : mesh.vertices) {
        for (int i = 0; i < 4; ++i) {
            if (v.weights[i] > 0 && v.bones[i] >= bones) {
                error = "a vertex names bone " + std::to_string(v.bones[i]) + " of " + std::to_string(bones);
                return false;
            }
        }
    }
    if (mesh.octree && bones > 0) {
        error = "octrees are for static models";
        return false;
    }
    return true;
}

void FillMesh(const AuthorMesh& author, engine::MeshData& mesh) {
    for (std::size_t i = 0; i < author.vertices.size(); ++i) {
        engine::MeshVertex& v = mesh.vertices[i];
        v.position = author.vertices[i].position;
        std::copy(author.vertices[i].bones, author.vertices[i].bones + 4, v.boneIndices);
        WeightBytes(author.vertices[i].weights, v.boneWeights);
    }
    for (std::size_t i = 0; i < author.triangles.size(); ++i) {
        const AuthorTriangle& a = author.triangles[i];
        engine::MeshTriangle& t = mesh.triangles[i];
        std::copy(a.corners, a.corners + 3, t.corners);
        for (int c = 0; c < 3; ++c) std::copy(a.uv[c], a.uv[c] + 4, t.uv[c]);
        std::copy(a.colours, a.colours + 3, t.colours);
        std::string latin;
        Utf8ToLatin1(a.material, latin);
        t.material = MaterialHandle(latin);
        t.smoothingGroups = a.smoothing;
    }
}

struct OctreeBuild {
    MeshModel& model;
    engine::ModelOctree octree;
    std::vector<Aabb> leafBoxes;
    std::string& error;

    // Builds the batches of one leaf's triangles in a scratch model and moves them into the model.
    bool AddLeafBatches(const std::vector<int>& triangles, engine::OctreeLeaf& leaf) {
        MeshModel* scratch = engine::NewMeshModel(engine::WideString("$$$OctreeLeaf"), model.mesh->vertexCount,
                                                  static_cast<int>(triangles.size()));
        if (scratch == nullptr) return false;
        scratch->mesh->vertices = model.mesh->vertices;
        for (std::size_t i = 0; i < triangles.size(); ++i) {
            scratch->mesh->triangles[i] = model.mesh->triangles[static_cast<std::size_t>(triangles[i])];
        }
        scratch->centre = model.centre;
        const bool built = scratch->BuildBatches();
        if (built) {
            const int offset = model.GetBatchCount();
            leaf.firstBatch = static_cast<std::uint16_t>(offset);
            leaf.batchCount = static_cast<std::uint16_t>(scratch->GetBatchCount());
            Aabb box = EmptyBox();
            for (engine::MeshBatch& batch : scratch->batches->batches) {
                for (int v = 0; v < batch.vertexCount; ++v) {
                    Vec3 p;
                    std::memcpy(&p.x, batch.vertexData.data() + static_cast<std::size_t>(v) * 32, 12);
                    Grow(box, p);
                }
                model.batches->batches.push_back(std::move(batch));
                batch = engine::MeshBatch();
            }
            for (engine::RenderTriangle t : scratch->batches->triangles) {
                t.batch = static_cast<std::uint16_t>(t.batch + offset);
                model.batches->triangles.push_back(t);
            }
            leaf.min = box.min;
            leaf.max = box.max;
        }
        scratch->Delete();
        return built;
    }

    // Returns the node index, or -1 on failure.
    int Build(const Vec3& centre, float half, std::vector<int> triangles, int depth, Aabb& below) {
        if (octree.nodes.size() >= engine::ModelOctree::kNone) {
            error = "octree needs more than 65,535 nodes";
            return -1;
        }
        const int index = static_cast<int>(octree.nodes.size());
        engine::OctreeNode node;
        node.centre = centre;
        node.halfSize = half;
        octree.nodes.push_back(node);
        below = EmptyBox();
        if (static_cast<int>(triangles.size()) <= leafLimit || depth >= kMaxOctreeDepth) {
            engine::OctreeLeaf leaf;
            if (!AddLeafBatches(triangles, leaf)) {
                error = "the batches of an octree leaf could not be built";
                return -1;
            }
            below = {leaf.min, leaf.max};
            octree.nodes[static_cast<std::size_t>(index)].leaf = static_cast<std::uint16_t>(octree.leaves.size());
            octree.leaves.push_back(leaf);
        } else {
            std::vector<int> parts[8];
            for (int tri : triangles) {
                const engine::MeshTriangle& t = model.mesh->triangles[static_cast<std::size_t>(tri)];
                Vec3 c;
                for (int corner : t.corners) c.AddInPlace(model.mesh->vertices[static_cast<std::size_t>(corner)].position);
                c = c.Scale(1.0f / 3.0f);
                parts[(c.x > centre.x ? 1 : 0) | (c.y > centre.y ? 2 : 0) | (c.z > centre.z ? 4 : 0)].push_back(tri);
            }
            triangles.clear();
            for (int slot = 0; slot < 8; ++slot) {
                if (parts[slot].empty()) continue;
                const float q = half * 0.5f;
                const Vec3 child(centre.x + ((slot & 1) ? q : -q), centre.y + ((slot & 2) ? q : -q),
                                 centre.z + ((slot & 4) ? q : -q));
                Aabb childBox;
                const int childIndex = Build(child, q, std::move(parts[slot]), depth + 1, childBox);
                if (childIndex < 0) return -1;
                octree.nodes[static_cast<std::size_t>(index)].children[slot] = static_cast<std::uint16_t>(childIndex);
                Grow(below, childBox.min);
                Grow(below, childBox.max);
            }
        }
        // The cube holds every leaf box below it.
        engine::OctreeNode& done = octree.nodes[static_cast<std::size_t>(index)];
        const Vec3 lo = centre.Sub(below.min), hi = below.max.Sub(centre);
        done.halfSize = std::max({done.halfSize, lo.x, lo.y, lo.z, hi.x, hi.y, hi.z});
        return index;
    }

    int leafLimit = 4000;
};

}  // namespace

bool Utf8ToLatin1(const std::string& text, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < text.size() &&
                   (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
            out.push_back(static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3F)));
            ++i;
        } else {
            return false;
        }
    }
    return true;
}

bool BuildBoxTree(MeshModel& model) {
    const int count = model.GetTriangleCount();
    auto tree = std::make_unique<engine::BoxTree>();
    std::vector<Aabb> boxes(static_cast<std::size_t>(count));
    std::vector<Vec3> centres(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        Vec3 a, b, c;
        model.GetTriangleCorners(i, a, b, c);
        Aabb box = EmptyBox();
        Grow(box, a), Grow(box, b), Grow(box, c);
        boxes[static_cast<std::size_t>(i)] = box;
        centres[static_cast<std::size_t>(i)] = box.GetCentre();
    }
    std::vector<int> order(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) order[static_cast<std::size_t>(i)] = i;
    auto rangeBox = [&](int first, int last) {
        Aabb box = EmptyBox();
        for (int k = first; k < last; ++k) {
            Grow(box, boxes[static_cast<std::size_t>(order[static_cast<std::size_t>(k)])].min);
            Grow(box, boxes[static_cast<std::size_t>(order[static_cast<std::size_t>(k)])].max);
        }
        return box;
    };
    auto makeLeaf = [&](int first, int last) {
        const Aabb box = rangeBox(first, last);
        engine::BoxTreeLeaf leaf{box.min, box.max, static_cast<std::uint32_t>(last - first),
                                 static_cast<std::uint32_t>(tree->indices.size())};
        for (int k = first; k < last; ++k) tree->indices.push_back(static_cast<std::uint32_t>(order[static_cast<std::size_t>(k)]));
        tree->leaves.push_back(leaf);
        return engine::BoxTree::LeafLink(static_cast<int>(tree->leaves.size()) - 1);
    };
    // Returns the node's index; the node's two halves become leaves when they hold at most 8 triangles.
    std::function<int(int, int)> makeNode = [&](int first, int last) {
        const int index = static_cast<int>(tree->nodes.size());
        const Aabb box = rangeBox(first, last);
        tree->nodes.push_back({box.min, box.max, 0, 0});
        if (last - first <= kMaxLeafTriangles) {
            tree->nodes[static_cast<std::size_t>(index)].link0 = makeLeaf(first, last);
            return index;
        }
        Aabb spread = EmptyBox();
        for (int k = first; k < last; ++k) Grow(spread, centres[static_cast<std::size_t>(order[static_cast<std::size_t>(k)])]);
        const Vec3 size = spread.max.Sub(spread.min);
        const int axis = size.x >= size.y && size.x >= size.z ? 0 : (size.y >= size.z ? 1 : 2);
        const int middle = first + (last - first) / 2;
        std::nth_element(order.begin() + first, order.begin() + middle, order.begin() + last, [&](int a, int b) {
            const Vec3& ca = centres[static_cast<std::size_t>(a)];
            const Vec3& cb = centres[static_cast<std::size_t>(b)];
            return axis == 0 ? ca.x < cb.x : (axis == 1 ? ca.y < cb.y : ca.z < cb.z);
        });
        const int halves[2][2] = {{first, middle}, {middle, last}};
        for (int h = 0; h < 2; ++h) {
            const int a = halves[h][0], b = halves[h][1];
            const std::int16_t link = b - a <= kMaxLeafTriangles ? makeLeaf(a, b) : engine::BoxTree::NodeLink(makeNode(a, b));
            if (h == 0) {
                tree->nodes[static_cast<std::size_t>(index)].link0 = link;
            } else {
                tree->nodes[static_cast<std::size_t>(index)].link1 = link;
            }
        }
        return index;
    };
    if (count == 0) return true;
    // Sizes are checked before links are narrowed to 16 bits.
    if (count / 4 + 2 > engine::BoxTree::kMaxNodes) return false;
    makeNode(0, count);
    if (static_cast<int>(tree->nodes.size()) > engine::BoxTree::kMaxNodes ||
        static_cast<int>(tree->leaves.size()) > engine::BoxTree::kMaxNodes) {
        return false;
    }
    model.boxTree = std::move(tree);
    return true;
}

MeshModel* BuildModel(const AuthorMesh& author, const MaterialCheck& check, std::string& error) {
    if (!CheckMesh(author, check, error)) return nullptr;
    MeshModel* model = engine::NewMeshModel(engine::WideString("$$$Authored"), static_cast<int>(author.vertices.size()),
                                            static_cast<int>(author.triangles.size()));
    if (model == nullptr) {
        error = "the model table is full";
        return nullptr;
    }
    FillMesh(author, *model->mesh);
    const int bones = static_cast<int>(author.boneParents.size());
    if (bones > 0) {
        model->skeleton = std::make_unique<engine::Skeleton>();
        model->skeleton->Init(bones);
        for (int b = 0; b < bones; ++b) {
            model->skeleton->bones[static_cast<std::size_t>(b)].parent = static_cast<std::int16_t>(author.boneParents[b]);
            model->skeleton->bones[static_cast<std::size_t>(b)].frames = author.boneFrames[static_cast<std::size_t>(b)];
        }
        model->skeleton->Link();
        // Skinned batches: format 5, bone sets of at most 40 whatever the platform.
        model->buildFormat = 5;
        model->platformOverride = 2;
        model->boneLimitOverride = engine::BoneSet::kMaxBones;
    }
    bool built;
    if (author.octree && !author.triangles.empty()) {
        model->vertexFormat = 4;
        model->ComputeFaceNormals();
        model->SmoothNormalsAndTangents();
        model->ComputeBounds();
        model->CreateBatchTable();
        model->batches->triangles.clear();
        OctreeBuild octree{*model, {}, {}, error};
        octree.leafLimit = std::max(author.octreeLeafTriangles, 1);
        std::vector<int> all(author.triangles.size());
        for (std::size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
        const Vec3 size = model->boundsMax.Sub(model->boundsMin);
        Aabb below;
        built = octree.Build(model->centre, std::max({size.x, size.y, size.z}) * 0.5f, std::move(all), 0, below) >= 0 &&
                model->GetBatchCount() <= MeshModel::kMaxBatches && octree.octree.leaves.size() < engine::ModelOctree::kNone;
        if (built) model->octree = std::make_unique<engine::ModelOctree>(std::move(octree.octree));
    } else {
        built = model->Finalise();
    }
    if (!built) {
        if (error.empty()) error = "the batches could not be built (more than 32,767 batches?)";
        model->Delete();
        return nullptr;
    }
    if (author.boxTree && !BuildBoxTree(*model)) {
        error = "the box tree needs more than 32,767 nodes or leaves";
        model->Delete();
        return nullptr;
    }
    return model;
}

bool WriteModelFile(const AuthorMesh& mesh, const MaterialCheck& check, const std::string& path, std::string& error) {
    MeshModel* model = BuildModel(mesh, check, error);
    if (model == nullptr) return false;
    std::unique_ptr<engine::ByteBuffer> buffer = model->SaveToBuffer();
    model->Delete();
    if (!buffer) {
        error = "the model could not be saved";
        return false;
    }
    return tools::WriteFileReplacing(path, buffer->Data(), buffer->Size(), error);
}

}  // namespace mdlbuild
