#include "game/screens/profile_view.h"

#include "game/core/player_profile.h"
#include "game/core/slot_record.h"

namespace game {
namespace {

std::span<const char> Field(const std::uint8_t* record, std::size_t offset) {
    return {reinterpret_cast<const char*>(record + offset), kSlotTextSize};
}

}  // namespace

std::uint32_t ProfileView::GetOptionFlags() const { return profile_.GetOptionFlags(); }

void ProfileView::SetOptionFlags(std::uint32_t flags) { profile_.SetOptionFlags(flags); }

SaveSlotTexts ProfileView::GetSlotTexts(int slot) const {
    const std::uint8_t* record = profile_.GetSlotBytes(slot);
    if (record == nullptr) return {};
    return {profile_.IsSlotInUse(slot), Field(record, kSlotDescriptionOffset), Field(record, kSlotTitleOffset),
            Field(record, kSlotDateOffset)};
}

void ProfileView::Save() { profile_.Save(); }

std::string ProfileView::GetSpeechPackName(int side) const { return profile_.GetSpeechPackName(side); }

void ProfileView::SetSpeechPackName(int side, const std::string& name) { profile_.SetSpeechPackName(side, name); }

void ProfileView::SaveGameToSlot(int slot) { profile_.SaveGameToSlot(slot); }

bool ProfileView::LoadGameFromSlot(int slot) { return profile_.LoadGameFromSlot(slot); }

int ProfileView::GetDifficulty() const { return profile_.GetDifficulty(); }

void ProfileView::SetDifficulty(int difficulty) { profile_.SetDifficulty(difficulty); }

std::string ProfileView::GetCurrentCampaignName() const { return profile_.GetCurrentCampaignName(); }

void ProfileView::SetCurrentCampaignName(const std::string& name) { profile_.SetCurrentCampaignName(name); }

int ProfileView::GetGameType() const { return profile_.GetGameType(); }
void ProfileView::SetGameType(int type) { profile_.SetGameType(type); }
std::string ProfileView::GetDefaultMap() const { return profile_.GetDefaultMapName(); }
void ProfileView::SetDefaultMap(const std::string& folder) { profile_.SetDefaultMapName(folder); }
std::array<int, 4> ProfileView::GetMatchOptions() const { return profile_.GetMatchOptions(); }
void ProfileView::SetMatchOptions(const std::array<int, 4>& options) { profile_.SetMatchOptions(options); }
void ProfileView::MarkDirty() { profile_.MarkDirty(); }

}  // namespace game
