// The debug drawing of splines: knot markers and the path as streaks.
#include <algorithm>
#include <cmath>

#include "engine/render/graphics_device.h"
#include "engine/render/graphics_device_hooks.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/billboard_list.h"
#include "engine/scene/camera.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/model_generators.h"
#include "engine/scene/model_table.h"
#include "engine/scene/spline.h"

namespace engine {
namespace {

constexpr int kMaxStreaks = 5000;
constexpr float kStreakHalfWidth = 0.0125f;

// The named debug material, made with its colour when missing; 0 when the table is full.
int DebugMaterial(const char* name, std::uint32_t argb) {
    MaterialLib& lib = GetMaterialLib();
    int handle = lib.FindByPath(name);
    if (handle > 0) return handle;
    handle = lib.Create(name, 0, 0, 0, 0);
    if (MaterialDef* material = lib.Get(handle); handle > 0 && material != nullptr) material->SetColour(0, argb);
    return handle;
}

// The knot marker model, made once per model table.
Model* KnotModel() {
    static int handle = 0;
    Model* model = ModelTable::Get(handle);
    if (model == nullptr || !model->name.EqualsNarrow("$$$Knot")) {
        handle = CreateKnotModel();
        model = ModelTable::Get(handle);
    }
    return model;
}

}  // namespace

int Spline::BuildStreaks(BillboardList& list, int material) {
    const int knots = KnotCount();
    int count = 0;
    if (kind == kSplineCurve) {
        const float total = TotalLength();
        count = std::min(static_cast<int>(std::ceil(total * 50.0f)) + 1, kMaxStreaks);
    } else {
        count = std::max(knots - 1, 0);
    }
    if (knots < 2) count = 0;
    list.Reserve(count, material, 0.0f);
    auto end = [](const Vec3& p) { return BillboardEnd{{p.x, p.y, p.z, 1.0f}, 0xFFFFFFFFu, kStreakHalfWidth}; };
    for (int i = 0; i < count; ++i) {
        Vec3 a, b;
        if (kind == kSplineCurve) {
            a = PointAt(static_cast<float>(i) / static_cast<float>(count));
            b = PointAt(static_cast<float>(i + 1) / static_cast<float>(count));
        } else {
            a = knots_[static_cast<std::size_t>(i)].position;
            b = knots_[static_cast<std::size_t>(i + 1)].position;
        }
        list.AddItemParts(end(a), end(b));
    }
    return list.GetCount();
}

void Spline::Draw(Camera& view) {
    const int knot = DebugMaterial("$$$Knot", 0xFFFFFF40u);
    const int first = DebugMaterial("$$$KnotStart", 0xFF40FF40u);
    const int last = DebugMaterial("$$$KnotEnd", 0xFFFF4040u);
    const int line = DebugMaterial("$$$Line", 0x80FFFF40u);
    GraphicsDevice* device = GetGraphicsDevice();
    Model* marker = KnotModel();
    const MaterialLib& lib = GetMaterialLib();
    if (device != nullptr && marker != nullptr) {
        for (int i = 0; i < KnotCount(); ++i) {
            MaterialDef* material = lib.Get(i == 0 ? first : (i == KnotCount() - 1 ? last : knot));
            if (material == nullptr) continue;
            Matrix44 world;
            world.SetRow(3, knots_[static_cast<std::size_t>(i)].position);
            Matrix44 worldToModel;
            Matrix44::InverseAffine(world, worldToModel);
            view.SetWorldMatrix(world);
            for (int b = 0; b < marker->GetBatchCount(); ++b) {
                device->DrawMeshBatch(*marker->GetBatch(b), *material, {}, 0, &view, &worldToModel);
            }
        }
    }
    BillboardList streaks;
    if (BuildStreaks(streaks, line) == 0) return;
    view.SetWorldMatrix(IdentityMatrix());
    streaks.Draw(view, 0);
}

}  // namespace engine
