#include "game/core/slot_record.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <set>

#include "engine/core/little_endian.h"
#include "game/battle/battle_context.h"

namespace game {
namespace {

// Field offsets of a slot record.
constexpr std::size_t kInUse = 0;
constexpr std::size_t kFolder = 4;
constexpr std::size_t kMission = 132;
constexpr std::size_t kCurrentTeam = 136;
constexpr std::size_t kDay = 140;
constexpr std::size_t kLastDay = 144;
constexpr std::size_t kNextUnitId = 148;
constexpr std::size_t kTeamCount = 152;
constexpr std::size_t kFocusColumn = 156;
constexpr std::size_t kFocusRow = 158;
constexpr std::size_t kTeamKinds = 160;
constexpr std::size_t kLiveUnits = 180;
constexpr std::size_t kUnits = 200;
constexpr std::size_t kUnitSize = 60;
constexpr std::size_t kCash = 14600;
constexpr std::size_t kStructures = 14620;
constexpr std::size_t kStructureSize = 20;
constexpr std::size_t kHelpIcons = 15900;
constexpr std::size_t kHelpIconSize = 72;
constexpr std::size_t kMarkedTiles = 17052;
constexpr std::size_t kGameMode = 17292;
constexpr std::size_t kDescription = kSlotDescriptionOffset;
constexpr std::size_t kTitle = kSlotTitleOffset;
constexpr std::size_t kDate = kSlotDateOffset;
constexpr std::size_t kMatchOptions = 17488;
constexpr std::size_t kKillCounts = 17504;
constexpr std::size_t kDifficulty = 17524;
static_assert(kDifficulty + 4 == kSlotRecordSize);
static_assert(kUnits + kSlotTeams * kSlotUnitsPerTeam * kUnitSize == kCash);
static_assert(kStructures + kMaxStructures * kStructureSize == kHelpIcons);
static_assert(kHelpIcons + kSlotHelpIcons * kHelpIconSize == kMarkedTiles);

std::int32_t GetI32(const std::uint8_t* p) { return static_cast<std::int32_t>(engine::LoadU32(p)); }
void PutI32(std::uint8_t* p, std::int32_t v) { engine::StoreU32(p, static_cast<std::uint32_t>(v)); }
std::int16_t GetI16(const std::uint8_t* p) { return static_cast<std::int16_t>(engine::LoadU16(p)); }
void PutI16(std::uint8_t* p, std::int16_t v) { engine::StoreU16(p, static_cast<std::uint16_t>(v)); }
float GetF32(const std::uint8_t* p) { return std::bit_cast<float>(engine::LoadU32(p)); }
void PutF32(std::uint8_t* p, float v) { engine::StoreU32(p, std::bit_cast<std::uint32_t>(v)); }

std::size_t UnitOffset(std::size_t team, std::size_t place) {
    return kUnits + team * kSlotUnitsPerTeam * kUnitSize + place * kUnitSize;
}

// An empty record (type 0) stays all zeros.
void WriteUnit(const SavedUnit& u, std::uint8_t* p) {
    if (u.type == 0) return;
    PutI32(p + 0, u.type);
    PutI32(p + 4, u.id);
    engine::StoreU32(p + 8, u.hex.Packed());
    PutI32(p + 12, u.facing);
    PutI32(p + 16, u.passengerId);
    PutI32(p + 20, u.carrierId);
    PutF32(p + 24, u.health);
    PutF32(p + 28, u.movementLeft);
    PutI32(p + 32, u.immobilized);
    PutI32(p + 36, u.rank);
    PutI32(p + 40, u.actionsUsed);
    PutI32(p + 44, u.mapWeight);
    PutF32(p + 48, u.fuel);
    PutI32(p + 52, u.ammo);
    PutI32(p + 56, u.airborne);
}

SavedUnit ReadUnit(const std::uint8_t* p) {
    SavedUnit u;
    if (GetI32(p) == 0) return u;
    u.type = GetI32(p + 0);
    u.id = GetI32(p + 4);
    u.hex = HexCoord::FromPacked(engine::LoadU32(p + 8));
    u.facing = GetI32(p + 12);
    u.passengerId = GetI32(p + 16);
    u.carrierId = GetI32(p + 20);
    u.health = GetF32(p + 24);
    u.movementLeft = GetF32(p + 28);
    u.immobilized = GetI32(p + 32);
    u.rank = GetI32(p + 36);
    u.actionsUsed = GetI32(p + 40);
    u.mapWeight = GetI32(p + 44);
    u.fuel = GetF32(p + 48);
    u.ammo = GetI32(p + 52);
    u.airborne = GetI32(p + 56);
    return u;
}

bool IsNoneOrValidHex(HexCoord hex) { return hex == HexCoord{-1, -1} || IsValidHex(hex); }
bool IsTeamKind(int kind) { return kind >= 0 && kind <= 4; }

bool UnitPasses(const SavedUnit& u) {
    if (u.type == 0) return true;
    if (u.type < 1 || u.type > kSlotMaxUnitType || u.id <= 0) return false;
    if (u.facing < 0 || u.facing > 5 || u.rank < 0 || u.rank > 2) return false;
    if (!std::isfinite(u.health) || u.health < 0.0f || u.health > 1.0f) return false;
    if (!std::isfinite(u.movementLeft) || u.movementLeft < 0.0f) return false;
    if (!std::isfinite(u.fuel) || u.fuel < 0.0f) return false;
    return u.ammo >= 0;
}

bool StructurePasses(const StructureRecord& s) {
    return IsTeamKind(s.owner) && IsTeamKind(s.capturingTeam) && std::isfinite(s.progress);
}

}  // namespace

std::string ReadFieldText(const std::uint8_t* field, std::size_t size) {
    const char* text = reinterpret_cast<const char*>(field);
    return std::string(text, strnlen(text, size));
}

void WriteFieldText(std::uint8_t* field, std::size_t size, const std::string& text) {
    if (size == 0) return;
    std::memset(field, 0, size);
    const std::size_t length = std::min(strnlen(text.c_str(), text.size()), size - 1);
    std::memcpy(field, text.data(), length);
}

bool IsFieldTerminated(const std::uint8_t* field, std::size_t size) {
    return std::memchr(field, 0, size) != nullptr;
}

bool IsSafeRelativeFolder(const std::string& folder) {
    if (folder.empty() || folder[0] == '/' || folder[0] == '\\') return false;
    if (folder.size() >= 2 && folder[1] == ':') return false;
    std::size_t start = 0;
    while (start <= folder.size()) {
        std::size_t end = folder.find_first_of("/\\", start);
        if (end == std::string::npos) end = folder.size();
        if (folder.compare(start, end - start, "..") == 0) return false;
        start = end + 1;
    }
    return true;
}

void WriteSlotRecord(const GameSlot& slot, std::uint8_t* bytes) {
    std::memset(bytes, 0, kSlotRecordSize);
    PutI32(bytes + kInUse, slot.inUse);
    WriteFieldText(bytes + kFolder, kSlotFolderSize, slot.folder);
    PutI32(bytes + kMission, slot.missionIndex);
    PutI32(bytes + kCurrentTeam, slot.currentTeam);
    PutI32(bytes + kDay, slot.day);
    PutI32(bytes + kLastDay, slot.lastDaySeen);
    PutI32(bytes + kNextUnitId, slot.nextUnitId);
    PutI32(bytes + kTeamCount, slot.teamCount);
    PutI16(bytes + kFocusColumn, slot.focusHex.column);
    PutI16(bytes + kFocusRow, slot.focusHex.row);
    for (std::size_t t = 0; t < kSlotTeams; ++t) {
        PutI32(bytes + kTeamKinds + t * 4, slot.teamKind[t]);
        PutI32(bytes + kLiveUnits + t * 4, slot.liveUnits[t]);
        PutI32(bytes + kCash + t * 4, slot.cash[t]);
        PutI32(bytes + kKillCounts + t * 4, slot.killCount[t]);
        for (std::size_t j = 0; j < kSlotUnitsPerTeam; ++j) WriteUnit(slot.units[t][j], bytes + UnitOffset(t, j));
    }
    for (std::size_t k = 0; k < slot.structures.size(); ++k) {
        const StructureRecord& s = slot.structures[k];
        std::uint8_t* p = bytes + kStructures + k * kStructureSize;
        PutI32(p + 0, s.inUse);
        PutI32(p + 4, s.owner);
        engine::StoreU32(p + 8, s.hex.Packed());
        PutF32(p + 12, s.progress);
        PutI32(p + 16, s.capturingTeam);
    }
    for (std::size_t i = 0; i < kSlotHelpIcons; ++i) {
        const SavedHelpIcon& icon = slot.helpIcons[i];
        // An unused record (no text) stays all zeros.
        if (icon.text.empty()) continue;
        std::uint8_t* p = bytes + kHelpIcons + i * kHelpIconSize;
        WriteFieldText(p, kSlotTextSize, icon.text);
        PutI16(p + 64, icon.hex.column);
        PutI16(p + 66, icon.hex.row);
        PutI32(p + 68, icon.bannerValue);
    }
    for (std::size_t i = 0; i < kSlotMarkedTiles; ++i) {
        engine::StoreU32(bytes + kMarkedTiles + i * 4, slot.markedTiles[i].Packed());
    }
    PutI32(bytes + kGameMode, slot.gameMode);
    WriteFieldText(bytes + kDescription, kSlotTextSize, slot.description);
    WriteFieldText(bytes + kTitle, kSlotTextSize, slot.title);
    WriteFieldText(bytes + kDate, kSlotTextSize, slot.date);
    for (std::size_t i = 0; i < 4; ++i) PutI32(bytes + kMatchOptions + i * 4, slot.matchOptions[i]);
    PutI32(bytes + kDifficulty, slot.difficulty);
}

bool ReadSlotRecord(const std::uint8_t* bytes, GameSlot& slot) {
    for (std::size_t text : {kFolder, kDescription, kTitle, kDate}) {
        if (!IsFieldTerminated(bytes + text, text == kFolder ? kSlotFolderSize : kSlotTextSize)) return false;
    }
    for (std::size_t i = 0; i < kSlotHelpIcons; ++i) {
        if (!IsFieldTerminated(bytes + kHelpIcons + i * kHelpIconSize, kSlotTextSize)) return false;
    }
    slot.inUse = GetI32(bytes + kInUse);
    slot.folder = ReadFieldText(bytes + kFolder, kSlotFolderSize);
    slot.missionIndex = GetI32(bytes + kMission);
    slot.currentTeam = GetI32(bytes + kCurrentTeam);
    slot.day = GetI32(bytes + kDay);
    slot.lastDaySeen = GetI32(bytes + kLastDay);
    slot.nextUnitId = GetI32(bytes + kNextUnitId);
    slot.teamCount = GetI32(bytes + kTeamCount);
    slot.focusHex = {GetI16(bytes + kFocusColumn), GetI16(bytes + kFocusRow)};
    for (std::size_t t = 0; t < kSlotTeams; ++t) {
        slot.teamKind[t] = GetI32(bytes + kTeamKinds + t * 4);
        slot.liveUnits[t] = GetI32(bytes + kLiveUnits + t * 4);
        slot.cash[t] = GetI32(bytes + kCash + t * 4);
        slot.killCount[t] = GetI32(bytes + kKillCounts + t * 4);
        for (std::size_t j = 0; j < kSlotUnitsPerTeam; ++j) slot.units[t][j] = ReadUnit(bytes + UnitOffset(t, j));
    }
    for (std::size_t k = 0; k < slot.structures.size(); ++k) {
        const std::uint8_t* p = bytes + kStructures + k * kStructureSize;
        StructureRecord& s = slot.structures[k];
        s.inUse = GetI32(p + 0);
        s.owner = GetI32(p + 4);
        s.hex = HexCoord::FromPacked(engine::LoadU32(p + 8));
        s.progress = GetF32(p + 12);
        s.capturingTeam = GetI32(p + 16);
    }
    for (std::size_t i = 0; i < kSlotHelpIcons; ++i) {
        const std::uint8_t* p = bytes + kHelpIcons + i * kHelpIconSize;
        SavedHelpIcon& icon = slot.helpIcons[i];
        icon = SavedHelpIcon{};
        icon.text = ReadFieldText(p, kSlotTextSize);
        if (icon.text.empty()) continue;
        icon.hex = {GetI16(p + 64), GetI16(p + 66)};
        icon.bannerValue = GetI32(p + 68);
    }
    for (std::size_t i = 0; i < kSlotMarkedTiles; ++i) {
        slot.markedTiles[i] = HexCoord::FromPacked(engine::LoadU32(bytes + kMarkedTiles + i * 4));
    }
    slot.gameMode = GetI32(bytes + kGameMode);
    slot.description = ReadFieldText(bytes + kDescription, kSlotTextSize);
    slot.title = ReadFieldText(bytes + kTitle, kSlotTextSize);
    slot.date = ReadFieldText(bytes + kDate, kSlotTextSize);
    for (std::size_t i = 0; i < 4; ++i) slot.matchOptions[i] = GetI32(bytes + kMatchOptions + i * 4);
    slot.difficulty = GetI32(bytes + kDifficulty);
    return CheckSlotFields(slot);
}

bool CheckSlotFields(const GameSlot& slot) {
    if (slot.inUse != 1) return false;
    if (slot.gameMode < kGameModeCampaign || slot.gameMode > kGameModeSkirmish) return false;
    if (!IsSafeRelativeFolder(slot.folder)) return false;
    if (slot.gameMode == kGameModeCampaign && slot.folder.rfind("Campaigns\\", 0) != 0) return false;
    if (slot.missionIndex < 0 || slot.missionIndex > kSlotMaxMission) return false;
    if (slot.teamCount < 0 || slot.teamCount > kSlotTeams) return false;
    if (slot.currentTeam < -1 || slot.currentTeam >= slot.teamCount) return false;
    if (slot.day < 1) return false;
    std::set<int> kinds;
    for (int place = 0; place < slot.teamCount; ++place) {
        const auto index = static_cast<std::size_t>(place);
        if (!IsTeamKind(slot.teamKind[index]) || !kinds.insert(slot.teamKind[index]).second) return false;
    }
    for (std::size_t t = 0; t < kSlotTeams; ++t) {
        if (slot.liveUnits[t] < 0 || slot.liveUnits[t] > kSlotUnitsPerTeam) return false;
        for (const SavedUnit& unit : slot.units[t]) {
            if (!UnitPasses(unit)) return false;
        }
    }
    for (const StructureRecord& s : slot.structures) {
        if (!StructurePasses(s)) return false;
    }
    if (!IsNoneOrValidHex(slot.focusHex)) return false;
    for (const SavedHelpIcon& icon : slot.helpIcons) {
        if (!icon.text.empty() && !IsNoneOrValidHex(icon.hex)) return false;
    }
    return true;
}

}  // namespace game
