// The collision volume: the translucent green unit cube that stands for a box node, and its material.
#include "engine/render/graphics_device.h"
#include "engine/render/graphics_device_hooks.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/camera.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/model_generators.h"
#include "engine/scene/model_queries.h"
#include "engine/scene/model_table.h"

namespace engine {
namespace {

int g_volumeModel = 0;
int g_volumeMaterial = 0;

}  // namespace

bool CreateCollisionVolumeAssets() {
    g_volumeModel = CreateBoxModel({{-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}}, WideString("$$$ColVol"), 0);
    if (g_volumeModel == 0) return false;
    MaterialLib& lib = GetMaterialLib();
    g_volumeMaterial = lib.Count() > 0 ? lib.Create("$$$ColVol", 0, 0, 2, 3) : 0;
    if (g_volumeMaterial != 0) lib.Get(g_volumeMaterial)->SetColour(0, 0x8040FF40u);
    return true;
}

int GetCollisionVolumeMaterial() { return g_volumeMaterial; }

int GetCollisionVolumeModel() {
    const Model* model = GetModelByHandle(g_volumeModel);
    return model != nullptr && model->name.EqualsNarrow("$$$ColVol") ? g_volumeModel : 0;
}

void DrawCollisionVolume(const Aabb& box, Camera& view, const Matrix44& world, MaterialDef& material) {
    const Model* model = GetModelByHandle(GetCollisionVolumeModel());
    const MeshBatch* batch = model != nullptr ? model->GetBatch(0) : nullptr;
    GraphicsDevice* device = GetGraphicsDevice();
    if (batch == nullptr || device == nullptr) return;
    Matrix44 scale;
    const Vec3 size = box.max.Sub(box.min);
    scale.SetScale(size.x, size.y, size.z);
    scale.SetRow(3, box.GetCentre());
    Matrix44 combined;
    // The box transform applied first, then world.
    Matrix44::MultiplyAffine(world, combined, scale);
    view.SetWorldMatrix(combined);
    device->DrawMeshBatch(*batch, material, {}, 0, &view, nullptr);
}

}  // namespace engine
