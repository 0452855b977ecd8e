#include "game/battle/structure_manager.h"

#include <cmath>

#include "game/battle/battle_context.h"
#include "game/battle/battle_types.h"
#include "game/battle/hex_map.h"
#include "game/battle/structure_types.h"

namespace game {

namespace {

constexpr std::uint32_t kOptionQuality = 0x10;

bool ServesPads(int type) {
    return (type >= kStructureFactory && type <= kStructureBarracks) || type == kStructureRepairS ||
           type == kStructureSupplyShed;
}

bool IsTeamKind(int team) { return team >= 0 && team <= kMaxTeamKind; }

}  // namespace

StructureManager::StructureManager(BattleContext* battle, StructurePresenter* presenter)
    : battle_(battle), presenter_(presenter) {}

StructureManager::~StructureManager() { Destroy(); }

void StructureManager::Init() {
    Destroy();
    map_ = nullptr;
}

void StructureManager::Destroy() {
    for (auto& s : structures_) {
        if (s && presenter_ != nullptr) presenter_->OnDestroyed(*s);
        s.reset();
    }
}

Structure* StructureManager::GetStructure(int slot) const {
    return slot >= 0 && slot < kMaxStructures ? structures_[static_cast<std::size_t>(slot)].get() : nullptr;
}

int StructureManager::FindFreeSlot() const {
    for (int i = 0; i < kMaxStructures; ++i) {
        if (!structures_[static_cast<std::size_t>(i)]) return i;
    }
    return -1;
}

void StructureManager::CreateFromMap(HexMap& map) {
    map_ = &map;
    for (int row = 0; row < kMapRows; ++row) {
        for (int column = 0; column < kMapColumns; ++column) {
            const HexCoord hex{static_cast<std::int16_t>(column), static_cast<std::int16_t>(row)};
            if (!IsValidHex(hex)) continue;
            const HexTile& tile = map.GetTile(hex);
            if (tile.objectClass != kObjectStructure || tile.objectType == kStructureBuildPad) continue;
            CreateStructure(hex, tile.objectType, tile.objectOwner, tile.mirrored != 0);
        }
    }
    for (auto& s : structures_) {
        if (s) s->MarkMapTiles();
    }
    for (int row = 0; row < kMapRows; ++row) {
        for (int column = 0; column < kMapColumns; ++column) {
            const HexCoord hex{static_cast<std::int16_t>(column), static_cast<std::int16_t>(row)};
            if (!IsValidHex(hex)) continue;
            const HexTile& tile = map.GetTile(hex);
            if (tile.objectClass == kObjectStructure && tile.objectType == kStructureBuildPad) CreatePad(hex);
        }
    }
    if (presenter_ != nullptr) {
        for (auto& s : structures_) {
            if (s) presenter_->SetSnow(*s, map.GetWeatherType() == 3);
        }
    }
}

Structure* StructureManager::CreateStructure(HexCoord hex, int type, int team, bool mirrored) {
    if (type < kStructureFactory || type > kMaxStructureType || !IsTeamKind(team) || !IsValidHex(hex)) {
        return nullptr;
    }
    const int slot = FindFreeSlot();
    if (slot < 0) return nullptr;
    auto& entry = structures_[static_cast<std::size_t>(slot)];
    entry = MakeStructure(type, hex, team, mirrored, this, battle_);
    if (presenter_ != nullptr) presenter_->OnCreated(*entry);
    return entry.get();
}

Structure* StructureManager::CreatePad(HexCoord hex) {
    const int slot = FindFreeSlot();
    if (slot < 0 || map_ == nullptr) return nullptr;
    Structure* building = nullptr;
    for (int direction = 0; direction < kDirectionCount && building == nullptr; ++direction) {
        HexCoord beside;
        if (!HexNeighbour(hex, direction, beside)) continue;
        const HexTile& tile = map_->GetTile(beside);
        if (tile.objectClass != kObjectStructure || tile.objectType == kStructureBuildPad) continue;
        Structure* found = FindAtHex(beside);
        if (found != nullptr && ServesPads(found->GetType())) building = found;
    }
    if (building == nullptr) return nullptr;
    auto& entry = structures_[static_cast<std::size_t>(slot)];
    entry = MakeStructure(kStructureBuildPad, hex, building->GetTeam(), false, this, battle_);
    entry->SetLinkedStructure(building);
    building->AddPad(entry.get());
    if (presenter_ != nullptr) presenter_->OnCreated(*entry);
    return entry.get();
}

Structure* StructureManager::FindAtHex(HexCoord hex) const {
    if (map_ == nullptr || !IsValidHex(hex) || map_->GetTile(hex).objectClass != kObjectStructure) return nullptr;
    for (const auto& s : structures_) {
        if (s && s->OccupiesHex(hex)) return s.get();
    }
    return nullptr;
}

Structure* StructureManager::FindByNode(const engine::SceneNode* node) const {
    if (presenter_ == nullptr || node == nullptr) return nullptr;
    for (const auto& s : structures_) {
        if (s && presenter_->ContainsNode(*s, node)) return s.get();
    }
    return nullptr;
}

SideCounts StructureManager::CountProducersBySide() const {
    SideCounts counts;
    for (const auto& s : structures_) {
        if (!s || !s->IsProducer()) continue;
        const int team = s->GetTeam();
        if (team == kTeamNeutral) ++counts.neutral;
        else if (team == kTeamEnemy) ++counts.enemy;
        else ++counts.players;
    }
    return counts;
}

SideCounts StructureManager::CountBySide() const {
    SideCounts counts;
    for (const auto& s : structures_) {
        if (!s || s->GetType() == kStructureBuildPad) continue;
        const int team = s->GetTeam();
        if (team == kTeamNeutral) ++counts.neutral;
        else if (team == kTeamEnemy) ++counts.enemy;
        else ++counts.players;
    }
    return counts;
}

int StructureManager::CountOwned(int team, int type) const {
    int count = 0;
    for (const auto& s : structures_) {
        if (s && s->GetType() == type && s->GetTeam() == team) ++count;
    }
    return count;
}

bool StructureManager::IsAnyAnimating() const {
    for (const auto& s : structures_) {
        if (s && (s->GetIncomeFlash() > 0.0f || s->GetState() != kStructureNormal)) return true;
    }
    return false;
}

bool StructureManager::RestoreFromSave(HexMap& map, std::span<const StructureRecord> records) {
    HexMap* previous = map_;
    map_ = &map;
    bool valid = records.size() <= static_cast<std::size_t>(kMaxStructures);
    for (const StructureRecord& r : records) {
        if (!valid) break;
        if (r.inUse == 0) continue;
        valid = IsTeamKind(r.owner) && IsTeamKind(r.capturingTeam) && std::isfinite(r.progress) &&
                r.progress >= 0.0f && FindAtHex(r.hex) != nullptr;
    }
    if (!valid) {
        map_ = previous;
        return false;
    }
    for (const StructureRecord& r : records) {
        if (r.inUse == 0) continue;
        Structure* s = FindAtHex(r.hex);
        s->SetOwner(r.owner);
        s->SetCapture(r.progress, r.capturingTeam);
    }
    return true;
}

void StructureManager::ClearMarks() {
    for (auto& s : structures_) {
        if (!s) continue;
        s->ClearTargetMark();
        s->SetSelected(0);
    }
}

void StructureManager::HandOverTeam2To4() {
    // Taken first: re-owning a building re-owns its pads, which would then no longer be seen as team 2.
    std::array<Structure*, kMaxStructures> handed = {};
    std::size_t count = 0;
    for (auto& s : structures_) {
        if (s && s->GetTeam() == kTeamGreen) handed[count++] = s.get();
    }
    for (std::size_t i = 0; i < count; ++i) {
        Structure* s = handed[i];
        s->SetOwner(kTeamEnemy);
        s->MarkMapTiles();
        if (presenter_ != nullptr) presenter_->OnHandedOver(*s);
    }
}

void StructureManager::StartFireworks(bool won) {
    if (battle_ == nullptr || (battle_->GetOptionBits() & kOptionQuality) == 0) return;
    for (auto& s : structures_) {
        if (!s || s->GetType() == kStructureBuildPad) continue;
        if ((s->GetTeam() != kTeamEnemy) == won) s->SetState(kStructureFireworks);
    }
}

void StructureManager::CheckAllOwnedByTeam1() {
    if (battle_ == nullptr || battle_->GetGameMode() != kGameModeSkirmish) return;
    for (const auto& s : structures_) {
        if (s && s->GetType() != kStructureBuildPad && s->GetTeam() != kTeamBlue) return;
    }
    battle_->UnlockAchievement(kAchievementSlumLandlord);
}

void StructureManager::Update() {
    for (auto& s : structures_) {
        if (s) s->Update();
    }
}

void StructureManager::UpdateModels() {
    if (presenter_ == nullptr) return;
    for (auto& s : structures_) {
        if (s) presenter_->UpdateModel(*s);
    }
}

void StructureManager::DrawCaptureProgress() {
    if (presenter_ == nullptr) return;
    for (auto& s : structures_) {
        if (s) presenter_->DrawCaptureMarker(*s);
    }
}

void StructureManager::OnOwnerChanged(Structure& structure) {
    if (presenter_ != nullptr) presenter_->OnOwnerChanged(structure);
}

void StructureManager::OnFirework(Structure& structure, int effect, const engine::Vec3& offset) {
    if (presenter_ != nullptr) presenter_->LaunchFirework(structure, effect, offset);
}

}  // namespace game
