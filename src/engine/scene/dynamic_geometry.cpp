#include "engine/scene/dynamic_geometry.h"

#include "engine/platform/engine_root.h"
#include "engine/render/graphics_device.h"
#include "engine/render/graphics_device_hooks.h"
#include "engine/render/material_binder.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/billboard_list.h"
#include "engine/scene/camera.h"

namespace engine {

void DynamicGeometry::Init(SceneNode* ownerNode) {
    for (Vec3& v : values) v = Vec3();
    matrix.SetIdentity();
    vertices.reset();
    material = 0;
    vertexCount = 0;
    owner = ownerNode;
}

void DynamicGeometry::Draw(Camera& view, const Matrix44& world, RenderDevice* device, MaterialBinder* binder) {
    if (vertexCount <= 0 || !vertices) return;
    GraphicsDevice* engineDevice = GetGraphicsDevice();
    if (device == nullptr) device = engineDevice;
    if (binder == nullptr && engineDevice != nullptr) binder = engineDevice->AttachedMaterialBinder();
    if (device == nullptr || binder == nullptr) return;
    const MaterialLib& lib = GetMaterialLib();
    MaterialDef* def = lib.Get(material);
    if (def == nullptr) def = lib.Get(lib.DefaultHandle());
    if (def == nullptr) return;
    ApplyMaterialDrawStates(*device, *def, static_cast<std::uint32_t>(def->alphaRef));
    Matrix44 worldToModel;
    Matrix44::InverseAffine(world, worldToModel);
    if (binder->BindMaterial(*def, &view, &worldToModel, false, false) == 0) return;
    device->SetCullMode(sys::kCullCcw);
    const auto triangles = static_cast<std::uint32_t>(vertexCount / 3);
    device->DrawDynamic(sys::kPrimTriangleList, 0, triangles, vertices.get(), 4);
    if (Engine* engine = GetEngine()) {
        engine->FrameCounters()[kFrameVertices] += static_cast<std::uint32_t>(vertexCount);
        engine->FrameCounters()[kFrameTriangles] += triangles;
    }
}

}  // namespace engine
