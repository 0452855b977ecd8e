#include "game/core/player_profile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/core/little_endian.h"
#include "engine/platform/save_blob.h"
#include "engine/platform/save_store.h"
#include "engine/core/frame_timer.h"
#include "game/core/game.h"
#include "game/core/slot_record.h"
#include "game/level/saved_battle.h"

namespace game {
namespace {

// Field offsets of the record.
constexpr std::size_t kMusicVolume = 0;
constexpr std::size_t kEffectsVolume = 4;
constexpr std::size_t kOptions = 12;
constexpr std::size_t kMatchOptions = 16;
constexpr std::size_t kDefaultMap = 36;
constexpr std::size_t kDefaultMapSize = 128;
constexpr std::size_t kMaskLow = 164;
constexpr std::size_t kMaskHigh = 168;
constexpr std::size_t kGraphicsLevel = 424;
constexpr std::size_t kKills = 428;
constexpr std::size_t kSkirmishWins = 432;
constexpr std::size_t kSniperKills = 436;
constexpr std::size_t kTotalIncome = 440;
constexpr std::size_t kGameType = 444;
constexpr std::size_t kDifficulty = 448;
constexpr std::size_t kNameSize = 32;
constexpr std::size_t kCampaignName = 452;
constexpr std::size_t kSpeechPacks = 484;  // side 0, then side 1
constexpr std::size_t kStartCountStop = 548;
constexpr std::size_t kStartCount = 552;
constexpr std::size_t kCampaigns = 556;
constexpr std::size_t kCampaignSize = 672;
constexpr std::size_t kCampaignResults = 32;
constexpr std::size_t kSlots = 3244;
static_assert(kCampaigns + kCampaignEntries * kCampaignSize == kSlots);
static_assert(kSlots + kProfileSlots * kSlotRecordSize == static_cast<std::size_t>(kProfileRecordSize));

// What an old record of versions 2 and 3 carries: the first nine ints.
constexpr std::size_t kCarriedBytes = 36;
constexpr int kDefaultGraphicsLevel = 2;
constexpr std::uint32_t kDefaultOptions = 0x33;
constexpr int kDefaultMusicVolume = 40;
constexpr int kDefaultEffectsVolume = 80;

std::size_t SlotOffset(int slot) { return kSlots + static_cast<std::size_t>(slot) * kSlotRecordSize; }
bool IsSlot(int slot) { return slot >= 0 && slot < kProfileSlots; }
std::size_t ResultOffset(int entry, int difficulty, int mission) {
    return kCampaigns + static_cast<std::size_t>(entry) * kCampaignSize + kCampaignResults +
           static_cast<std::size_t>(difficulty) * kCampaignMissions * 8 + static_cast<std::size_t>(mission) * 8;
}

std::string SaveFileName() { return engine::SaveStoreBase::NamedFileName(engine::NamedSaveBlob::kName); }

// The last component of a folder path.
std::string LastComponent(const std::string& folder) {
    const std::size_t cut = folder.find_last_of("/\\");
    return cut == std::string::npos ? folder : folder.substr(cut + 1);
}

}  // namespace

PlayerProfile::PlayerProfile(engine::SaveBlob& blob, engine::SaveStoreBase& store) : blob_(blob), store_(store) {
    blob_.Setup(kProfileRecordSize, kProfileVersion);
    // Until a load, the game runs on the defaults; nothing is written unless something changes.
    ResetDefaults();
    dirty_ = false;
}

PlayerProfile::~PlayerProfile() = default;

std::uint8_t* PlayerProfile::GetData() {
    if (blob_.GetPayload() == nullptr && !blob_.ResetBuffer()) {
        fallback_.resize(kProfileRecordSize);
        return fallback_.data();
    }
    return blob_.GetPayload();
}

const std::uint8_t* PlayerProfile::GetData() const { return const_cast<PlayerProfile*>(this)->GetData(); }

std::int32_t PlayerProfile::GetInt(std::size_t offset) const {
    return static_cast<std::int32_t>(engine::LoadU32(GetData() + offset));
}

void PlayerProfile::SetInt(std::size_t offset, std::int32_t value) {
    engine::StoreU32(GetData() + offset, static_cast<std::uint32_t>(value));
    dirty_ = true;
}

std::string PlayerProfile::GetText(std::size_t offset, std::size_t size) const {
    return ReadFieldText(GetData() + offset, size);
}

void PlayerProfile::SetText(std::size_t offset, std::size_t size, const std::string& text) {
    WriteFieldText(GetData() + offset, size, text);
    dirty_ = true;
}

// --- Lifecycle ---------------------------------------------------------------------------------------------

void PlayerProfile::ResetDefaults() {
    std::memset(GetData(), 0, kProfileRecordSize);
    SetInt(kMusicVolume, kDefaultMusicVolume);
    SetInt(kEffectsVolume, kDefaultEffectsVolume);
    SetInt(kOptions, static_cast<std::int32_t>(kDefaultOptions));
    SetText(kDefaultMap, kDefaultMapSize, kDefaultMapFolder);
    SetInt(kGraphicsLevel, kDefaultGraphicsLevel);
    SetText(kCampaignName, kNameSize, kDefaultCampaignName);
    SetText(kSpeechPacks, kNameSize, kDefaultEnemyPack);
    SetText(kSpeechPacks + kNameSize, kNameSize, kDefaultPlayerPack);
    dirty_ = true;
}

void PlayerProfile::StartLoad() {
    blob_.Setup(kProfileRecordSize, kProfileVersion);
    state_ = kProfileLoading;
    blob_.Load();
    // Taking state 6 leaves state 2 for Poll; the other states stay for Poll to read.
    if (blob_.TakeState() == engine::SaveBlob::kOtherVersion) Upgrade();
}

void PlayerProfile::Upgrade() {
    const std::uint32_t version = blob_.OtherVersionId();
    const std::uint32_t size = blob_.OtherVersionSize();
    std::array<std::uint8_t, kCarriedBytes> carried{};
    const bool carries = (version == 2 || version == 3) && size >= kCarriedBytes && blob_.GetPayload() != nullptr;
    if (carries) std::memcpy(carried.data(), blob_.GetPayload(), kCarriedBytes);
    // The old file is kept beside the new one before anything is written over it.
    store_.KeepNamedVersion(engine::NamedSaveBlob::kName, version);
    blob_.ResetBuffer();
    ResetDefaults();
    if (!carries) return;
    std::memcpy(GetData(), carried.data(), kCarriedBytes);
    SetMusicVolume(std::clamp(GetMusicVolume(), 0, 100));
    SetEffectsVolume(std::clamp(GetEffectsVolume(), 0, 100));
}

void PlayerProfile::ApplyVolumes() {
    if (volumes_) volumes_(GetEffectsVolume(), GetMusicVolume());
}

int PlayerProfile::Poll() {
    switch (state_) {
        case kProfileSaving:
            // A failed write leaves the record dirty; the next Save tries again.
            state_ = kProfileIdle;
            break;
        case kProfileLoading:
            switch (blob_.TakeState()) {
                case engine::SaveBlob::kLoaded:
                    damagedLoads_ = 0;
                    state_ = kProfileIdle;
                    ApplyVolumes();
                    break;
                case engine::SaveBlob::kNoFile:
                    damagedLoads_ = 0;
                    state_ = kProfileNoFile;
                    ResetDefaults();
                    ApplyVolumes();
                    break;
                case engine::SaveBlob::kBadFile:
                    state_ = kProfileDamaged;
                    break;
                default:
                    break;
            }
            break;
        case kProfileDamaged:
            if (blob_.GetError() != engine::SaveBlob::kFoundBadFile) break;
            if (blob_.IsDamagedFileInPlace()) {
                // The file could not be moved aside: the game runs on the defaults in memory and the blob keeps
                // every save off the file, so nothing the player had is lost.
                std::fprintf(stderr,
                             "tinmarch: the profile %s cannot be read and could not be moved aside; the game "
                             "runs on the defaults and leaves the file as it is\n",
                             SaveFileName().c_str());
                damagedLoads_ = 0;
                state_ = kProfileIdle;
                ResetDefaults();
                ApplyVolumes();
                break;
            }
            std::fprintf(stderr,
                         "tinmarch: the profile %s cannot be read; it is kept as %s and the game starts on the "
                         "defaults\n",
                         SaveFileName().c_str(),
                         engine::SaveStoreBase::SetAsideFileName(engine::NamedSaveBlob::kName).c_str());
            // The damaged file was set aside, so the new load is a first start; a file that fails again gives
            // the defaults rather than a wait that never ends.
            if (++damagedLoads_ < 2) {
                StartLoad();
            } else {
                damagedLoads_ = 0;
                state_ = kProfileNoFile;
                ResetDefaults();
                ApplyVolumes();
            }
            break;
        default:
            break;
    }
    return state_;
}

void PlayerProfile::Save() {
    // A damaged profile that could not be moved aside is never written over (said once, when it was found).
    if (!dirty_ || blob_.IsDamagedFileInPlace()) return;
    state_ = kProfileSaving;
    blob_.Save();
    if (blob_.GetError() == engine::SaveBlob::kSaved) {
        dirty_ = false;
    } else {
        std::fprintf(stderr, "tinmarch: the profile could not be written; it is kept in memory\n");
    }
}

// --- Fields ------------------------------------------------------------------------------------------------

int PlayerProfile::GetMusicVolume() const { return GetInt(kMusicVolume); }
int PlayerProfile::GetEffectsVolume() const { return GetInt(kEffectsVolume); }
void PlayerProfile::SetMusicVolume(int volume) { SetInt(kMusicVolume, volume); }
void PlayerProfile::SetEffectsVolume(int volume) { SetInt(kEffectsVolume, volume); }
std::uint32_t PlayerProfile::GetOptionFlags() const { return static_cast<std::uint32_t>(GetInt(kOptions)); }
void PlayerProfile::SetOptionFlags(std::uint32_t flags) { SetInt(kOptions, static_cast<std::int32_t>(flags)); }

std::array<int, 4> PlayerProfile::GetMatchOptions() const {
    std::array<int, 4> options{};
    for (std::size_t i = 0; i < options.size(); ++i) options[i] = GetInt(kMatchOptions + i * 4);
    return options;
}

void PlayerProfile::SetMatchOptions(const std::array<int, 4>& options) {
    for (std::size_t i = 0; i < options.size(); ++i) SetInt(kMatchOptions + i * 4, options[i]);
}

int PlayerProfile::GetGraphicsLevel() const { return GetInt(kGraphicsLevel); }
int PlayerProfile::GetDifficulty() const { return std::clamp(GetInt(kDifficulty), 0, 3); }
void PlayerProfile::SetDifficulty(int difficulty) { SetInt(kDifficulty, difficulty); }
int PlayerProfile::GetGameType() const { return GetInt(kGameType); }
void PlayerProfile::SetGameType(int type) { SetInt(kGameType, type); }
std::uint32_t PlayerProfile::GetTotalIncome() const { return static_cast<std::uint32_t>(GetInt(kTotalIncome)); }
void PlayerProfile::AddTotalIncome(int amount) {
    SetInt(kTotalIncome, static_cast<std::int32_t>(GetTotalIncome() + static_cast<std::uint32_t>(amount)));
}
int PlayerProfile::GetSkirmishWins() const { return GetInt(kSkirmishWins); }
int PlayerProfile::IncSkirmishWins() {
    SetInt(kSkirmishWins, GetSkirmishWins() + 1);
    return GetSkirmishWins();
}
int PlayerProfile::GetSniperKills() const { return GetInt(kSniperKills); }
int PlayerProfile::IncSniperKills() {
    SetInt(kSniperKills, GetSniperKills() + 1);
    return GetSniperKills();
}
int PlayerProfile::GetKills() const { return GetInt(kKills); }
int PlayerProfile::IncKills() {
    SetInt(kKills, GetKills() + 1);
    return GetKills();
}
std::uint32_t PlayerProfile::GetEarnedMaskLow() const { return static_cast<std::uint32_t>(GetInt(kMaskLow)); }
std::uint32_t PlayerProfile::GetEarnedMaskHigh() const { return static_cast<std::uint32_t>(GetInt(kMaskHigh)); }
void PlayerProfile::SetEarnedMaskLow(std::uint32_t mask) { SetInt(kMaskLow, static_cast<std::int32_t>(mask)); }
void PlayerProfile::SetEarnedMaskHigh(std::uint32_t mask) { SetInt(kMaskHigh, static_cast<std::int32_t>(mask)); }
bool PlayerProfile::GetStartCountStop() const { return GetInt(kStartCountStop) != 0; }
int PlayerProfile::GetStartCount() const { return GetInt(kStartCount); }
void PlayerProfile::SetStartCount(int count) { SetInt(kStartCount, count); }

std::string PlayerProfile::GetDefaultMapName() const {
    const std::string folder = GetText(kDefaultMap, kDefaultMapSize);
    return IsSafeRelativeFolder(folder) ? folder : std::string(kDefaultMapFolder);
}
void PlayerProfile::SetDefaultMapName(const std::string& folder) { SetText(kDefaultMap, kDefaultMapSize, folder); }

std::string PlayerProfile::GetCurrentCampaignName() const {
    const std::string name = GetText(kCampaignName, kNameSize);
    return IsSafeRelativeFolder(name) ? name : std::string(kDefaultCampaignName);
}
void PlayerProfile::SetCurrentCampaignName(const std::string& name) { SetText(kCampaignName, kNameSize, name); }

std::string PlayerProfile::GetSpeechPackName(int side) const {
    return GetText(kSpeechPacks + (side == 0 ? 0 : kNameSize), kNameSize);
}
void PlayerProfile::SetSpeechPackName(int side, const std::string& name) {
    SetText(kSpeechPacks + (side == 0 ? 0 : kNameSize), kNameSize, name);
}

// --- Campaign progress -------------------------------------------------------------------------------------

int PlayerProfile::FindCampaignEntry(bool claim) {
    const std::string name = GetCurrentCampaignName();
    int empty = -1;
    for (int entry = 0; entry < kCampaignEntries; ++entry) {
        const std::string held = GetText(kCampaigns + static_cast<std::size_t>(entry) * kCampaignSize, kNameSize);
        if (held == name) return entry;
        if (held.empty() && empty < 0) empty = entry;
    }
    if (!claim || empty < 0) return -1;
    std::uint8_t* record = GetData() + kCampaigns + static_cast<std::size_t>(empty) * kCampaignSize;
    std::memset(record, 0, kCampaignSize);
    WriteFieldText(record, kNameSize, name);
    return empty;
}

MissionResult PlayerProfile::GetMissionResult(int difficulty, int mission) const {
    if (difficulty < 0 || difficulty > 3 || mission < 0 || mission >= kCampaignMissions) return {};
    const int entry = const_cast<PlayerProfile*>(this)->FindCampaignEntry(false);
    if (entry < 0) return {};
    const std::size_t at = ResultOffset(entry, difficulty, mission);
    return {GetInt(at), GetInt(at + 4)};
}

void PlayerProfile::SetMissionResult(int mission, int value, int second) {
    if (mission < 0 || mission >= kCampaignMissions) return;
    const int entry = FindCampaignEntry(true);
    // Four other campaigns hold every entry: the result is not recorded.
    if (entry < 0) return;
    const std::size_t at = ResultOffset(entry, GetDifficulty(), mission);
    SetInt(at, value);
    SetInt(at + 4, second);
}

// --- Saved games -------------------------------------------------------------------------------------------

const std::uint8_t* PlayerProfile::GetSlotBytes(int slot) const {
    return IsSlot(slot) ? GetData() + SlotOffset(slot) : nullptr;
}

bool PlayerProfile::IsSlotInUse(int slot) const { return IsSlot(slot) && GetInt(SlotOffset(slot)) != 0; }

void PlayerProfile::ClearSlot(int slot) {
    if (!IsSlot(slot)) return;
    std::memset(GetData() + SlotOffset(slot), 0, kSlotRecordSize);
    dirty_ = true;
}

bool PlayerProfile::ReadGameSlot(int slot, GameSlot& out) const {
    return IsSlot(slot) && ReadSlotRecord(GetData() + SlotOffset(slot), out);
}

void PlayerProfile::WriteGameSlot(int slot, const GameSlot& in) {
    if (!IsSlot(slot)) return;
    WriteSlotRecord(in, GetData() + SlotOffset(slot));
    dirty_ = true;
}

std::string PlayerProfile::MapTitle(const std::string& folder) const {
    return mapTitle_ ? mapTitle_(folder) : LastComponent(folder);
}

bool PlayerProfile::RefuseSlot(int slot) {
    ClearSlot(slot);
    Save();
    return false;
}

void PlayerProfile::SaveGameToSlot(int n) {
    if (!IsSlot(n)) return;
    GameSlot slot;
    if (game_ != nullptr) {
        slot.date = game_->GetFrameTimer().FormatDate();
        slot.gameMode = game_->GetGameMode();
        const CampaignInfo* campaign = game_->GetCampaign();
        if (slot.gameMode == kGameModeCampaign) {
            if (campaign != nullptr) {
                slot.folder = campaign->GetFolder();
                slot.missionIndex = campaign->GetSelectedMissionIndex();
                slot.description = campaign->GetListedName();
                slot.title = campaign->GetSelectedMissionName();
            }
        } else {
            slot.folder = GetDefaultMapName();
            slot.missionIndex = 0;
            slot.description = slot.gameMode == kGameModePassAndPlay ? "Pass & Play" : "Skirmish";
            slot.title = MapTitle(slot.folder);
        }
        slot.nextUnitId = game_->GetUnitIdCounter();
        if (game_->GetLevel() != nullptr && game_->GetTeamManager() != nullptr) {
            SaveBattle(slot, *game_->GetLevel(), *game_->GetTeamManager(), slot.nextUnitId);
        }
    }
    slot.difficulty = GetDifficulty();
    slot.matchOptions = GetMatchOptions();
    slot.inUse = 1;
    WriteGameSlot(n, slot);
}

bool PlayerProfile::LoadGameFromSlot(int n) {
    if (!IsSlot(n) || game_ == nullptr) return false;
    GameSlot slot;
    // Every field is checked before the running battle is touched.
    if (!ReadGameSlot(n, slot)) return RefuseSlot(n);
    game_->DropBattleForResume();
    if (slot.gameMode != kGameModeCampaign) {
        SetMatchOptions(slot.matchOptions);
        SetDefaultMapName(slot.folder);
    }
    SetDifficulty(slot.difficulty);
    switch (game_->ResumeSavedBattle(slot)) {
        case Game::ResumeResult::kResumed:
            return true;
        case Game::ResumeResult::kNoCampaign:
            return false;
        case Game::ResumeResult::kRefused:
            break;
    }
    return RefuseSlot(n);
}

}  // namespace game
