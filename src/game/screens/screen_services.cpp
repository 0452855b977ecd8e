#include "game/screens/screen_services.h"

#include "engine/core/frame_timer.h"
#include "engine/platform/engine_root.h"
#include "engine/render/texture_table.h"

namespace game {

const char* ArtFileName(int art) {
    static constexpr const char* kNames[kArtCount] = {"GUI/ingameUi", "GUI/uibits2",    "GUI/ButtonBits",
                                                      "GUI/Zoomer",   "GUI/ChoiceBack", "GUI/CampaignBack"};
    return art >= 0 && art < kArtCount ? kNames[art] : "";
}

std::uint32_t TableTextureLoader::Load(const char* name) {
    const int handle = engine::TextureTable::Load(name, 0);
    return handle > 0 ? static_cast<std::uint32_t>(handle) : 0;
}

std::uint32_t TableTextureLoader::LoadKept(const char* name) {
    engine::Engine* engine = engine::GetEngine();
    const int previous = engine != nullptr ? engine->SetResourceGroup(0) : 0;
    const std::uint32_t handle = Load(name);
    if (engine != nullptr) engine->SetResourceGroup(previous);
    return handle;
}

void TableTextureLoader::Release(std::uint32_t handle) {
    if (handle != 0) engine::TextureTable::Release(static_cast<int>(handle));
}

bool TableTextureLoader::GetSize(std::uint32_t handle, int& width, int& height) const {
    if (handle == 0 || engine::TextureTable::Get(static_cast<int>(handle)) == nullptr) return false;
    width = static_cast<int>(engine::TextureTable::GetWidth(static_cast<int>(handle)));
    height = static_cast<int>(engine::TextureTable::GetHeight(static_cast<int>(handle)));
    return true;
}

engine::WideString ScreenServices::Text(const char* key) const {
    return strings != nullptr ? strings->Lookup(key) : engine::WideString();
}

engine::WideString ScreenServices::CampaignText(const char* key) const {
    return strings != nullptr ? strings->LookupCampaign(key) : engine::WideString();
}

void ScreenServices::PlayUiSound(int id) const {
    if (sound != nullptr) sound->PlayUiSound(id);
}

float ScreenServices::ClockSeconds() const { return timer != nullptr ? timer->GetTimeSeconds(true) : 0.0f; }

float ScreenServices::FrameSeconds() const { return timer != nullptr ? timer->GetDeltaSeconds(true) : 0.0f; }

int ScreenServices::FrameMilliseconds() const { return timer != nullptr ? timer->GetDeltaMs(true) : 0; }

int ScreenServices::ScreenWidth() const { return game != nullptr ? game->GetScreenWidth() : 960; }

int ScreenServices::ScreenHeight() const { return game != nullptr ? game->GetScreenHeight() : 640; }

}  // namespace game
