// Parses arbitrary bytes as a model file with a resolver that names one fixed material, then runs the queries
// on every accepted model: a triangle gather, a ray pick and an octree query. Nothing may read outside the
// model's arrays; a refused file must leave the model table empty.
#include <cstddef>
#include <cstdint>

#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/render/shader_constant_cache.h"
#include "engine/scene/camera.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/model_file.h"
#include "engine/scene/model_generators.h"
#include "engine/scene/model_octree.h"
#include "engine/scene/model_queries.h"
#include "engine/scene/model_table.h"
#include "engine/scene/pick_segment.h"
#include "engine/scene/scene_node.h"

namespace {

class FuzzCamera final : public engine::Camera {
public:
    void Render(engine::RenderQueue*, engine::RenderTarget&) override {}
    void DrawSkybox() override {}
    void SetWorldMatrix(const engine::Matrix44&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
    using namespace engine;
    static const bool ready = GetMaterialLib().Init(16, nullptr) && ModelTable::Init(8);
    if (!ready) __builtin_trap();
    ModelDescription description;
    const bool parsed = ParseModelFile(input, size, WideString("Fuzz/Model"), [](const char*) { return 2; }, description);
    if (!parsed) return 0;
    MeshModel* model = NewMeshModel(WideString("Fuzz/Model"), 0, 0);
    if (model == nullptr || !model->Upload(std::move(description))) __builtin_trap();
    SceneNode* node = SceneNode::Init(kNodeMesh, "fuzz");
    node->SetPayload(model->handle);
    const Aabb box{{-1, -1, -1}, {1, 1, 1}};
    TriangleList list;
    SceneNode::GatherTrianglesInBox(box, &list, node, Matrix44());
    Vec3 point;
    float distance = 1;
    PickHit hit;
    SceneNode::RayPick(point, distance, hit, node, {0.1f, 10, 0.2f}, {0, -20, 0});
    if (model->GetTriangleCount() > 0) {
        model->DrawNormalLines(nullptr);
        Vec3 a, b, c;
        model->GetTriangleCorners(model->GetTriangleCount() - 1, a, b, c);
    }
    FuzzCamera camera;
    camera.Init({0, 0, 64, 64}, 1.0f, 0.1f, 1000.0f, nullptr);
    camera.UpdateFrustum();
    int batches = 0;
    ModelOctree::QueryNode(camera, *node, [&batches](int, int, int) { ++batches; });
    node->Destroy();
    model->Delete();
    if (ModelTable::Count() != 0) __builtin_trap();
    return 0;
}
