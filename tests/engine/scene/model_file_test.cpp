#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/core/byte_buffer.h"
#include "engine/core/matrix.h"
#include "engine/render/vertex_packing.h"
#include "engine/scene/box_tree.h"
#include "engine/scene/model_file.h"
#include "engine/scene/model_octree.h"
#include "engine/scene/scene_node.h"
#include "engine/scene/skeleton.h"
#include "model_test_support.h"
#include "scene_test_support.h"
#include "support/model_file_image.h"

namespace {

using namespace engine;
using scenetest::ModelTest;

using Bytes = std::vector<std::uint8_t>;

Bytes ToBytes(const ByteBuffer& buffer) { return Bytes(buffer.Data(), buffer.Data() + buffer.Size()); }

using testsupport::ModelFileImage;
using testsupport::PutU32;

// Resolves names against the material table and records what it was asked.
struct Resolver {
    std::vector<std::string> asked;
    MaterialResolver Fn() {
        return [this](const char* name) {
            asked.emplace_back(name);
            return GetMaterialLib().FindInGroup(name, 0);
        };
    }
};

bool Parse(const Bytes& bytes, ModelDescription& out, const char* name = "Units/Tank") {
    Resolver resolver;
    return ParseModelFile(bytes.data(), bytes.size(), WideString(name), resolver.Fn(), out);
}

// Loads bytes into a new model of the table; null when refused (nothing is then kept).
MeshModel* LoadBytes(const Bytes& bytes, const char* name = "loaded") {
    ModelDescription description;
    if (!Parse(bytes, description, name)) return nullptr;
    MeshModel* model = NewMeshModel(WideString(name), 0, 0);
    if (model == nullptr || !model->Upload(std::move(description))) return nullptr;
    return model;
}

Bytes Save(const MeshModel& model) {
    std::unique_ptr<ByteBuffer> buffer = model.SaveToBuffer();
    return buffer ? ToBytes(*buffer) : Bytes();
}

// A one-node box tree and one-leaf octree over the whole model.
void AddTrees(MeshModel& model) {
    auto tree = std::make_unique<BoxTree>();
    tree->nodes.push_back({model.boundsMin, model.boundsMax, BoxTree::LeafLink(0), 0});
    tree->leaves.push_back({model.boundsMin, model.boundsMax, static_cast<std::uint32_t>(model.GetTriangleCount()), 0});
    for (int i = 0; i < model.GetTriangleCount(); ++i) tree->indices.push_back(static_cast<std::uint32_t>(i));
    model.boxTree = std::move(tree);
    auto octree = std::make_unique<ModelOctree>();
    octree->leaves.push_back({model.boundsMin, model.boundsMax, 0, static_cast<std::uint16_t>(model.GetBatchCount())});
    OctreeNode root;
    root.centre = model.centre;
    root.halfSize = model.radius;
    root.leaf = 0;
    octree->nodes.push_back(root);
    model.octree = std::move(octree);
}

Matrix44 Pose(float degrees, float x, float y, float z) {
    Matrix44 m;
    m.InitRotationY(degrees);
    m.m[3][0] = x, m.m[3][1] = y, m.m[3][2] = z;
    return m;
}

TEST_F(ModelTest, AStaticModelSavesLoadsAndSavesTheSameBytes) {
    const int crate = GetMaterialLib().Create("Props/Crate", 0, 0, 0, 0);
    MeshModel* made = scenetest::BuildMesh("box", {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {1, 1, 1}},
                                           {{0, 2, 1, crate}, {0, 1, 3, 1}, {1, 2, 3}});
    ASSERT_NE(made, nullptr);
    const Bytes first = Save(*made);
    MeshModel* loaded = LoadBytes(first);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(Save(*loaded), first);
    // "Default" (handle 1) was saved without a name and loads as no material.
    std::vector<int> materials;
    for (int b = 0; b < loaded->GetBatchCount(); ++b) materials.push_back(loaded->GetBatch(b)->material);
    EXPECT_EQ(materials, (std::vector<int>{0, 0, crate}));
    EXPECT_EQ(loaded->fileVersion, 15);
    // The same bytes inside the container header (3, size - 16) are read from byte 8.
    Bytes wrapped;
    PutU32(wrapped, 3);
    PutU32(wrapped, static_cast<std::uint32_t>(first.size() + 8 - 16));
    wrapped.insert(wrapped.end(), first.begin(), first.end());
    MeshModel* unwrapped = LoadBytes(wrapped);
    ASSERT_NE(unwrapped, nullptr);
    // With another length word the data start at byte 0, where 3 is the version.
    wrapped[4] ^= 1;
    ModelDescription description;
    if (Parse(wrapped, description)) {
        EXPECT_EQ(description.version, 3);
    }
    EXPECT_EQ(Save(*unwrapped), first);
}

TEST_F(ModelTest, ContainerWordsOfAnotherLengthAreTheModelItself) {
    // Version 3 starts with the bytes 3, 0 (no stored name), 0 (format), 0, 0 (no batch): a first word of 3.
    ModelFileImage file;
    file.version = 3;
    file.storedName = "";
    file.batches.clear();
    file.triangles.clear();
    Bytes bytes = file.Write();
    bytes[2] = 0;
    ASSERT_EQ(bytes[0], 3);
    ModelDescription description;
    ASSERT_TRUE(Parse(bytes, description));
    EXPECT_EQ(description.version, 3);
    EXPECT_TRUE(description.batches.empty());
}

TEST_F(ModelTest, SkinnedModelWithTreesReachesAFixedPointAndFramesAreRelativeToTheBindPose) {
    MeshModel* made = scenetest::BuildMesh("skin", {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {1, 0, 1}}, {{0, 2, 1}, {1, 2, 3}});
    ASSERT_NE(made, nullptr);
    AddTrees(*made);
    made->skeleton = std::make_unique<Skeleton>();
    made->skeleton->Init(2);
    const Matrix44 f0 = Pose(30, 1, 2, 3), f1 = Pose(75, 0, 1, 0), f2 = Pose(-40, 2, 0, 1);
    made->skeleton->bones[0].frames = {f0, f1, f2};
    made->skeleton->bones[1].frames = {f1, f1};
    made->skeleton->bones[1].parent = 1;
    made->skeleton->bones[1].remap = {1, 0, 1};
    made->skeleton->Link();
    const Bytes first = Save(*made);
    MeshModel* once = LoadBytes(first, "once");
    ASSERT_NE(once, nullptr);
    const Bytes second = Save(*once);
    MeshModel* twice = LoadBytes(second, "twice");
    ASSERT_NE(twice, nullptr);
    EXPECT_EQ(Save(*twice), second);
    ASSERT_NE(twice->boxTree, nullptr);
    ASSERT_NE(twice->octree, nullptr);
    // Frame 0 is the identity; frame k is inverse(F0) x Fk (F0 applied inverted first).
    const Skeleton& skeleton = *once->skeleton;
    scenetest::ExpectMatrixNear(skeleton.bones[0].frames[0], Matrix44());
    scenetest::ExpectMatrixNear(skeleton.bones[1].frames[1], Matrix44());  // all frames equal
    Matrix44 inverse, expected;
    Matrix44::InverseAffine(f0, inverse);
    Matrix44::MultiplyAffine(f2, expected, inverse);
    scenetest::ExpectMatrixNear(skeleton.bones[0].frames[2], expected);
    // GetSkinMatrices at frame 2 of a type-7 node.
    scenetest::NodePtr node = scenetest::MakeNode(kNodeAnimatedMesh, "figure");
    node->SetPayload(once->handle);
    node->SetFixedFrame(2);
    SkinMatrixCache* cache = node->GetSkinMatrices();
    ASSERT_NE(cache, nullptr);
    scenetest::ExpectMatrixNear(cache->matrices[0], expected);
    // A node without a skeleton, or without a model, gets no skin matrices.
    node->SetPayload(made->handle);
    made->skeleton.reset();
    EXPECT_EQ(node->GetSkinMatrices(), nullptr);
    node->SetPayload(0);
    EXPECT_EQ(node->GetSkinMatrices(), nullptr);
}

TEST_F(ModelTest, VersionGates) {
    // Version 8 ends after the skeleton: no box-tree field. Version 13 has the box-tree field, no octree.
    for (int version : {8, 13}) {
        ModelFileImage file;
        file.version = version;
        ModelDescription description;
        EXPECT_TRUE(Parse(file.Write(), description)) << version;
        Bytes cut = file.Write();
        cut.resize(cut.size() - 4);
        EXPECT_EQ(Parse(cut, description), version == 8 ? false : false) << version;
    }
    // Versions above 15 read as 15.
    ModelFileImage future;
    Bytes bytes = future.Write();
    bytes[0] = 99;
    ModelDescription description;
    EXPECT_TRUE(Parse(bytes, description));
    EXPECT_EQ(description.version, 99);
}

TEST_F(ModelTest, OldVersionsResolveMaterialsAgainstTheModelFolder) {
    MaterialLib& lib = GetMaterialLib();
    const int paint = lib.Create("Units/Paint", 0, 0, 0, 0);
    const int second = lib.Create("Units/Paint2", 0, 0, 0, 0);
    ModelFileImage file;
    file.version = 11;
    file.batches[0].material = "Paint";
    file.batches.push_back(file.batches[0]);
    file.batches[1].material = "Elsewhere/Paint2";
    Resolver resolver;
    ModelDescription description;
    const Bytes bytes = file.Write();
    ASSERT_TRUE(ParseModelFile(bytes.data(), bytes.size(), WideString("Units/Tank"), resolver.Fn(), description));
    EXPECT_EQ(description.batches[0].material, paint);
    EXPECT_EQ(description.batches[1].material, second);
    EXPECT_EQ(resolver.asked, (std::vector<std::string>{"Units/Paint", "Elsewhere/Paint2", "Units/Paint2"}));
    // Version 12 takes a bare name as it stands.
    file.version = 12;
    resolver.asked.clear();
    const Bytes newer = file.Write();
    ASSERT_TRUE(ParseModelFile(newer.data(), newer.size(), WideString("Units/Tank"), resolver.Fn(), description));
    EXPECT_EQ(resolver.asked.front(), "Paint");
    EXPECT_EQ(description.batches[0].material, paint);  // found on the second try, in the folder
}

TEST_F(ModelTest, VersionTenAndOlderReencodesFormatsOneAndFive) {
    ModelFileImage file;
    file.version = 10;
    file.batches[0].format = 1;
    file.batches.push_back(file.batches[0]);
    file.batches[1].format = 5;
    ModelDescription description;
    ASSERT_TRUE(Parse(file.Write(), description));
    ASSERT_EQ(description.batches.size(), 2u);
    EXPECT_EQ(description.batches[0].vertexFormat, 4);
    EXPECT_EQ(description.batches[0].vertexData.size(), 3u * 32u);
    EXPECT_EQ(description.batches[1].vertexFormat, 5);
    EXPECT_EQ(description.batches[1].vertexData.size(), 3u * 40u);
    // Positions survive; the normal word's top byte was cleared, its xyz kept.
    for (const MeshBatch& batch : description.batches) {
        float x = 0;
        std::memcpy(&x, batch.vertexData.data() + StoredVertexStride(batch.vertexFormat, 15) * 2, 4);
        EXPECT_FLOAT_EQ(x, 2.0f);
        VertexSource v;
        ASSERT_TRUE(UnpackVertex(batch.vertexFormat, batch.vertexData.data(), v));
        EXPECT_NEAR(v.normal.x, 1.0f, 0.01f);
    }
}

TEST_F(ModelTest, VertexStreamsWriteCountTimesElementSize) {
    MeshModel* model = NewMeshModel(WideString("streams"), 0, 0);
    ASSERT_NE(model, nullptr);
    model->batches = std::make_unique<BatchTable>();
    model->batches->batches.resize(2);
    for (MeshBatch& batch : model->batches->batches) {
        batch.vertexCount = 10;
        batch.vertexData.assign(480, 0xAB);
    }
    model->batches->batches[0].vertexFormat = 5;
    model->batches->batches[1].vertexFormat = 7;
    for (auto [batch, bytes] : {std::pair{0, 400u}, std::pair{1, 0u}}) {
        ByteBuffer buffer;
        buffer.Init(0);
        model->WriteVertexStream(buffer, batch);
        ASSERT_EQ(buffer.Size(), 4 + bytes);
        EXPECT_EQ(buffer.Data()[0] | (buffer.Data()[1] << 8), static_cast<int>(bytes));
    }
}

// One damaged fixture per check of the reader; each is refused.
TEST_F(ModelTest, EveryReaderCheckRefusesItsFixture) {
    BoxTree chain;  // nodes 0 -> 1 -> 0: not a tree
    chain.nodes = {{{}, {}, BoxTree::NodeLink(1), 0}, {{}, {}, BoxTree::NodeLink(0), 0}};
    BoxTree badLeaf;
    badLeaf.nodes = {{{}, {}, BoxTree::LeafLink(1), 0}};
    badLeaf.leaves = {{{}, {}, 1, 0}};
    badLeaf.indices = {0};
    BoxTree badRange = badLeaf;
    badRange.nodes[0].link0 = BoxTree::LeafLink(0);
    badRange.leaves[0].count = 2;
    BoxTree badIndex = badRange;
    badIndex.leaves[0].count = 1;
    badIndex.indices = {1};
    ModelOctree loop;
    loop.nodes.resize(2);
    loop.nodes[0].children[0] = 1;
    loop.nodes[1].children[3] = 0;
    loop.leaves.resize(1);
    ModelOctree badBatches;
    badBatches.nodes.resize(1);
    badBatches.nodes[0].leaf = 0;
    badBatches.leaves = {{{}, {}, 0, 2}};
    ModelOctree badChild;
    badChild.nodes.resize(1);
    badChild.nodes[0].children[7] = 5;
    badChild.leaves.resize(1);
    Matrix44 singular;
    singular.SetScale(0, 1, 1);

    std::vector<std::pair<const char*, ModelFileImage>> cases;
    auto add = [&cases](const char* what, auto edit) {
        ModelFileImage file;
        edit(file);
        cases.emplace_back(what, file);
    };
    add("vertex bytes not count x stride", [](ModelFileImage& s) { s.batches[0].vertexBytes = 95; });
    add("format 0", [](ModelFileImage& s) { s.batches[0].format = 0; });
    add("format 6", [](ModelFileImage& s) { s.batches[0].format = 6; });
    add("index at the vertex count", [](ModelFileImage& s) { s.batches[0].indices = {0, 1, 3}; });
    add("index count not a multiple of 3", [](ModelFileImage& s) {
        s.batches[0].indexCount = 2;
        s.batches[0].indices = {0, 1};
    });
    add("triangle of a missing batch", [](ModelFileImage& s) { s.triangles[0].batch = 1; });
    add("triangle vertex beyond its batch", [](ModelFileImage& s) { s.triangles[0].i[2] = 3; });
    add("bone set of 41", [](ModelFileImage& s) {
        s.batches[0].bones.assign(41, 0);
        s.bones.resize(1);
    });
    add("bone set naming a missing bone", [](ModelFileImage& s) {
        s.batches[0].bones = {1};
        s.bones.resize(1);
    });
    add("bone without frames", [](ModelFileImage& s) {
        s.bones.resize(1);
        s.bones[0].frames.clear();
    });
    add("singular frame 0", [&](ModelFileImage& s) {
        s.bones.resize(1);
        s.bones[0].frames = {singular};
    });
    add("parent beyond the bones", [](ModelFileImage& s) {
        s.bones.resize(2);
        s.bones[1].parent = 3;
    });
    add("remap beyond the frames", [](ModelFileImage& s) {
        s.bones.resize(1);
        s.bones[0].remap = {0, 1};
    });
    add("box tree that is not a tree", [&](ModelFileImage& s) { s.boxTree = &chain; });
    add("box-tree leaf link out of range", [&](ModelFileImage& s) { s.boxTree = &badLeaf; });
    add("box-tree leaf range beyond the indices", [&](ModelFileImage& s) { s.boxTree = &badRange; });
    add("box-tree triangle index out of range", [&](ModelFileImage& s) { s.boxTree = &badIndex; });
    add("octree that is not a tree", [&](ModelFileImage& s) { s.octree = &loop; });
    add("octree batch range beyond the batches", [&](ModelFileImage& s) { s.octree = &badBatches; });
    add("octree child out of range", [&](ModelFileImage& s) { s.octree = &badChild; });
    ModelFileImage valid;
    ModelDescription description;
    ASSERT_TRUE(Parse(valid.Write(), description));
    for (auto& [what, file] : cases) {
        EXPECT_FALSE(Parse(file.Write(), description)) << what;
        EXPECT_EQ(LoadBytes(file.Write()), nullptr) << what;
    }
    EXPECT_EQ(ModelTable::Count(), 0);
}

TEST_F(ModelTest, EveryTruncationOfTheFixturesIsRefused) {
    MeshModel* plain = scenetest::BuildMesh("plain", {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {1, 0, 1}}, {{0, 2, 1}, {1, 2, 3}});
    ASSERT_NE(plain, nullptr);
    MeshModel* rich = scenetest::BuildMesh("rich", {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}}, {{0, 2, 1}});
    ASSERT_NE(rich, nullptr);
    AddTrees(*rich);
    rich->skeleton = std::make_unique<Skeleton>();
    rich->skeleton->Init(1);
    rich->skeleton->bones[0].frames = {Pose(10, 1, 0, 0), Pose(20, 0, 1, 0)};
    rich->skeleton->bones[0].remap = {1, 0};
    ModelFileImage old;
    old.version = 10;
    old.batches[0].format = 1;
    for (const Bytes& fixture : {Save(*plain), Save(*rich), old.Write()}) {
        ModelDescription description;
        ASSERT_TRUE(Parse(fixture, description));
        for (std::size_t size = 0; size < fixture.size(); ++size) {
            const Bytes cut(fixture.begin(), fixture.begin() + static_cast<std::ptrdiff_t>(size));
            EXPECT_FALSE(Parse(cut, description)) << size;
        }
    }
}

}  // namespace
