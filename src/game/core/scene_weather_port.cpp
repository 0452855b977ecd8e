#include "game/core/scene_weather_port.h"

#include <cstring>

#include "engine/image/colour_gradient.h"
#include "engine/render/graphics_device.h"
#include "engine/render/graphics_device_hooks.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/render/texture_table.h"
#include "engine/scene/light_desc.h"
#include "engine/scene/render_queue.h"
#include "engine/scene/scene_view.h"
#include "game/core/game_view.h"

namespace game {
namespace {

// Drawn in the blended pass, not lit.
constexpr std::uint32_t kWeatherDrawFlags = 2050;
constexpr std::uint32_t kRainMaterialFlags = 0xC;

}  // namespace

float SceneWeatherPort::GetFrameSeconds() const { return platform_.GetFrameDelta(); }

engine::Matrix44 SceneWeatherPort::GetCameraMatrix() const {
    return view_ != nullptr ? view_->GetViewTransform().GetMatrix() : engine::Matrix44{};
}

WeatherAtmosphere SceneWeatherPort::ReadAtmosphere() const {
    WeatherAtmosphere out;
    if (const engine::GraphicsDevice* device = engine::GetGraphicsDevice()) out.mipBias = device->MipLodBias();
    if (view_ != nullptr) {
        out.colourOffset = view_->GetColourOffset();
        out.colourScale = view_->GetColourScale();
    }
    if (queue_ != nullptr) out.light0 = engine::ArgbToColourF(queue_->GetLight(0).colour);
    return out;
}

void SceneWeatherPort::WriteAtmosphere(const WeatherAtmosphere& atmosphere) {
    if (engine::GraphicsDevice* device = engine::GetGraphicsDevice()) device->SetMipLodBias(atmosphere.mipBias);
    if (view_ != nullptr) {
        view_->SetColourOffset(atmosphere.colourOffset);
        view_->SetColourScale(atmosphere.colourScale);
    }
    if (queue_ != nullptr) queue_->GetLight(0).SetColour(engine::ColourFToArgb(atmosphere.light0));
}

int SceneWeatherPort::GetMaterial(const char* name) {
    engine::MaterialLib& lib = engine::GetMaterialLib();
    const int found = lib.FindByPath(name);
    if (found != 0) return found;
    const bool rain = std::strcmp(name, "Rain") == 0;
    const int handle = rain ? lib.Create(name, 0, 0, 2, 1) : lib.Create(name, 1, 0, 2, 3);
    engine::MaterialDef* material = handle != 0 ? lib.Get(handle) : nullptr;
    if (material == nullptr) return 0;
    if (rain) {
        material->SetFlags(kRainMaterialFlags);
    } else {
        material->SetTexture(0, engine::TextureTable::FindLoaded(kSnowflakeTexture, 0));
    }
    return handle;
}

// The entry's matrix only places its bounding sphere: the lists hold world positions and draw unmoved.
void SceneWeatherPort::QueueList(engine::BillboardList& list, const engine::Vec3& centre) {
    engine::Matrix44 at;
    at.SetRow(3, centre);
    if (queue_ != nullptr) queue_->GetDrawList(1).AddBillboardList(kWeatherDrawFlags, at, &list);
}

void SceneWeatherPort::QueueList(engine::SortedBillboardList& list, const engine::Vec3& centre) {
    engine::Matrix44 at;
    at.SetRow(3, centre);
    if (queue_ != nullptr) queue_->GetDrawList(1).AddSortedBillboardList(kWeatherDrawFlags, at, &list);
}

}  // namespace game
