#include "game/level/tile_markers.h"

#include <cstdio>

#include "engine/core/matrix.h"
#include "engine/core/wide_string.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/render/texture_table.h"
#include "engine/scene/model_generators.h"
#include "engine/scene/render_queue.h"
#include "game/battle/battle_types.h"
#include "game/battle/hex_map.h"

namespace game {
namespace {

struct MarkerLook {
    const char* material;
    const char* texture;
    std::uint32_t tint;  // ARGB
};

// By TileMarkerKind.
constexpr MarkerLook kLooks[kTileMarkerKinds] = {
    {"MarkerMove", "Common/MoveMarker", 0x8000ff00u},     {"FireMarker", "Common/FireMarker", 0x80ff4000u},
    {"FireMarkerExt", "Common/FireMarker", 0x80802000u},  {"EngMarker", "Common/FireMarker", 0x80ff40ffu},
    {"EngMarkerExt", "Common/FireMarker", 0x80c810c8u},   {"LandingZone", "Common/MoveMarker", 0x80ff8000u},
    {"MarkerBest", "Common/MoveMarker", 0x80ffffffu},     {"MarkerEmbark", "Common/FireMarker", 0x808080ffu},
    {"MarkerDisEmbark", "Common/ExitMarker", 0x808080ffu},
};

constexpr int kMarkerDrawOrder = 990;
// Markers cast no shadow.
constexpr std::uint32_t kMarkerDrawFlags = engine::kEntryNoShadow;
// An embark marker on water stands on the boat's deck.
constexpr float kEmbarkOnWaterRaise = 0.3f;

}  // namespace

const char* TileMarkerTexture(int kind) {
    return kind >= 0 && kind < kTileMarkerKinds ? kLooks[kind].texture : nullptr;
}

TileMarkers::TileMarkers(std::function<int(const char* name)> loadTexture) : loadTexture_(std::move(loadTexture)) {}

TileMarkers::~TileMarkers() { Free(); }

bool TileMarkers::Create() {
    if (model_ == 0) model_ = engine::CreateGridModel(engine::WideString("Marker"), 1.0f, 1.0f, 1, 1);
    bool all = model_ != 0;
    engine::MaterialLib& lib = engine::GetMaterialLib();
    for (int kind = 0; kind < kTileMarkerKinds; ++kind) {
        OwnedMaterial& owned = materials_[static_cast<std::size_t>(kind)];
        if (FindOwnedMaterial(owned) != nullptr) continue;
        const MarkerLook& look = kLooks[kind];
        const int texture =
            loadTexture_ ? loadTexture_(look.texture) : engine::TextureTable::Load(look.texture, 0);
        if (texture <= 0) {
            if (reported_.insert(look.texture).second) {
                std::fprintf(stderr, "tinmarch: the marker texture \"%s\" is missing or damaged\n", look.texture);
            }
            all = false;
            continue;
        }
        const int handle = lib.Create(look.material, 1, 0, 2, 3);
        engine::MaterialDef* material = handle > 0 ? lib.Get(handle) : nullptr;
        if (material == nullptr) {
            all = false;
            continue;
        }
        material->SetTexture(0, texture);
        material->SetColour(0, look.tint);
        material->SetDrawOrder(kMarkerDrawOrder);
        owned = {handle, look.material};
    }
    return all;
}

void TileMarkers::Free() {
    for (OwnedMaterial& owned : materials_) {
        DeleteOwnedMaterial(owned);
        owned = {};
    }
}

int TileMarkers::GetMaterial(int kind) const {
    if (kind < 0 || kind >= kTileMarkerKinds) return 0;
    const OwnedMaterial& owned = materials_[static_cast<std::size_t>(kind)];
    return FindOwnedMaterial(owned) != nullptr ? owned.handle : 0;
}

void TileMarkers::Add(const HexMap& map, int column, int row, int kind, float raise, engine::DrawList& list) const {
    const int material = GetMaterial(kind);
    if (material == 0) return;
    engine::Vec3 at;
    map.GetSurfacePoint(at, MakeHexCoord(column, row));
    engine::Matrix44 placement;
    placement.SetRow(3, {at.x, at.y + raise, at.z});
    list.AddModel(model_, 0, material, kMarkerDrawFlags, placement, nullptr);
}

void TileMarkers::Draw(const HexMap& map, bool playerTurn, engine::DrawList& list) const {
    if (model_ == 0) return;
    for (int row = 0; row < kMapRows; ++row) {
        for (int column = 0; column < kMapColumns; ++column) {
            const HexCoord hex = MakeHexCoord(column, row);
            if (!IsValidHex(hex)) continue;
            const std::uint16_t bits = map.GetMarkBits(hex);
            if (bits == 0) continue;
            if (!playerTurn) {
                if ((bits & kMarkEngineer) != 0) Add(map, column, row, kMarkerMove, 0.0f, list);
                continue;
            }
            if ((bits & kMarkRoute) != 0) {
                Add(map, column, row, kMarkerBest, 0.0f, list);
            } else if ((bits & kMarkLanding) != 0) {
                Add(map, column, row, kMarkerLanding, 0.0f, list);
            } else if ((bits & kMarkMove) != 0) {
                Add(map, column, row, kMarkerMove, 0.0f, list);
            }
            if ((bits & kMarkDrop) != 0) Add(map, column, row, kMarkerDisembark, 0.0f, list);
            if ((bits & kMarkEmbark) != 0) {
                const bool water = map.GetTile(hex).terrain == kTerrainWater;
                Add(map, column, row, kMarkerEmbark, water ? kEmbarkOnWaterRaise : 0.0f, list);
            } else if ((bits & kMarkEngineerExt) != 0) {
                Add(map, column, row, kMarkerEngineerExt, 0.0f, list);
            } else if ((bits & kMarkEngineer) != 0) {
                Add(map, column, row, kMarkerEngineer, 0.0f, list);
            } else if ((bits & kMarkAttackExt) != 0) {
                Add(map, column, row, kMarkerFireExt, 0.0f, list);
            } else if ((bits & kMarkAttack) != 0) {
                Add(map, column, row, kMarkerFire, 0.0f, list);
            }
        }
    }
}

}  // namespace game
