#include "game/screens/zone_registry.h"

#include <cstdio>
#include <string>

#include "game/screens/zone.h"

namespace game {

ZoneRegistry::ZoneRegistry(ScreenServices& services) : services_(services) { services_.zones = this; }

ZoneRegistry::~ZoneRegistry() {
    DestroyZones();
    if (services_.zones == this) services_.zones = nullptr;
}

void ZoneRegistry::Register(ZoneId id, ZoneMaker maker) {
    const int i = static_cast<int>(id);
    if (i < 0 || i >= kZoneIdCount) return;
    makers_[static_cast<std::size_t>(i)] = std::move(maker);
}

bool ZoneRegistry::CreateZones() {
    for (int i = 0; i < kZoneIdCount; ++i) {
        const auto slot = static_cast<std::size_t>(i);
        if (!makers_[slot] || zones_[slot] != nullptr) continue;
        zones_[slot] = makers_[slot](services_);
        if (zones_[slot] == nullptr || zones_[slot]->GetWindow() == nullptr) {
            zones_[slot].reset();
            Fail("cannot be made", static_cast<ZoneId>(i));
            DestroyZones();
            return false;
        }
    }
    for (int art = 0; art < kArtCount; ++art) {
        auto& handle = services_.art[static_cast<std::size_t>(art)];
        if (handle == 0 && services_.textures != nullptr) handle = services_.textures->Load(ArtFileName(art));
    }
    return true;
}

void ZoneRegistry::DestroyZones() {
    for (int i = kZoneIdCount - 1; i >= 0; --i) zones_[static_cast<std::size_t>(i)].reset();
    for (auto& handle : services_.art) {
        if (handle != 0 && services_.textures != nullptr) services_.textures->Release(handle);
        handle = 0;
    }
}

bool ZoneRegistry::Has(ZoneId id) const {
    const int i = static_cast<int>(id);
    return i >= 0 && i < kZoneIdCount && zones_[static_cast<std::size_t>(i)] != nullptr;
}

Zone* ZoneRegistry::Get(ZoneId id) const {
    if (!Has(id)) {
        Fail("does not exist", id);
        return nullptr;
    }
    return zones_[static_cast<std::size_t>(static_cast<int>(id))].get();
}

TitledZone* ZoneRegistry::GetTitled(ZoneId id) const {
    Zone* zone = Get(id);
    if (zone == nullptr) return nullptr;
    auto* titled = dynamic_cast<TitledZone*>(zone);
    if (titled == nullptr) Fail("has no title panel", id);
    return titled;
}

bool ZoneRegistry::Open(ZoneId id, int type, int originX, int originY) const {
    TitledZone* zone = GetTitled(id);
    if (zone == nullptr) return false;
    OpenZone(*zone, type, originX, originY);
    return true;
}

void ZoneRegistry::Close(ZoneId id) const {
    if (Has(id)) CloseZone(*zones_[static_cast<std::size_t>(static_cast<int>(id))]);
}

void ZoneRegistry::Fail(const char* what, ZoneId id) const {
    const std::string message = "zone " + std::to_string(static_cast<int>(id)) + " " + what;
    if (onError_) {
        onError_(message.c_str());
    } else {
        std::fprintf(stderr, "tinmarch: %s\n", message.c_str());
    }
}

}  // namespace game
