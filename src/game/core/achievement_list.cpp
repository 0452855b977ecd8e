#include "game/core/achievement_list.h"

#include <string>

#include "engine/gui/bitmap_font.h"
#include "engine/render/render_target.h"
#include "game/core/player_profile.h"
#include "game/core/string_table.h"

namespace game {
namespace {

struct Definition {
    const char* key;
    int points;
};

constexpr std::array<Definition, kAchievementCount> kDefinitions = {{
    {"VIEWCREDITS", 50},
    {"FACEBOOKBRAG", 0},
    {"CAMPAIGN_COMPLETE", 75},
    {"CAMPAIGN_ALLGOLD", 100},
    {"CAMPAIGN_PACK1_COMPLETE", 100},
    {"CAMPAIGN_PACK2_COMPLETE", 100},
    {"FIRST_SERGEANT", 50},
    {"BEHEMOTH_TAKEDOWN", 50},
    {"KILLS_100", 50},
    {"KILLS_1000", 75},
    {"SKIRMISH_10", 50},
    {"SKIRMISH_100", 100},
    {"SLUM_LANDLORD", 50},
    {"SNIPER_SCHOOL", 50},
    {"MILLIONAIRE", 50},
    {"BANK_5000", 50},
}};

constexpr int TotalPoints() {
    int total = 0;
    for (const Definition& d : kDefinitions) total += d.points;
    return total;
}
static_assert(TotalPoints() == 1000, "the achievements' points add up to 1000");

constexpr int kIconCell = 64;
constexpr engine::IntRect kPopupBackground{0, 432, 512, 80};
constexpr int kPopupRise = 180;
constexpr int kPopupFlashes = 4;
constexpr int kUiSoundAchievement = 8;

bool IsId(int id) { return id >= 0 && id < kAchievementCount; }

}  // namespace

AchievementList::AchievementList(AchievementServices services) : services_(std::move(services)) {}

AchievementList::~AchievementList() {
    if (iconSheet_ != 0 && services_.releaseTexture) services_.releaseTexture(iconSheet_);
}

void AchievementList::LoadTexts() {
    if (iconSheet_ == 0 && services_.loadTexture) iconSheet_ = services_.loadTexture("GUI/achievements");
    for (int id = 0; id < kAchievementCount; ++id) {
        AchievementEntry& entry = entries_[static_cast<std::size_t>(id)];
        const std::string key = std::string("ACH_") + kDefinitions[static_cast<std::size_t>(id)].key;
        const auto text = [this](const std::string& name) {
            return services_.strings != nullptr ? services_.strings->Lookup(name.c_str())
                                                : engine::WideString(name.c_str());
        };
        entry.title = text(key + "_TITLE");
        entry.earnedText = text(key + "_DESC_EARNED");
        entry.notEarnedText = text(key + "_DESC_NOTEARNED");
        entry.points = kDefinitions[static_cast<std::size_t>(id)].points;
    }
}

const AchievementEntry& AchievementList::GetEntry(int id) const {
    static const AchievementEntry kNone;
    return IsId(id) ? entries_[static_cast<std::size_t>(id)] : kNone;
}

engine::IntRect AchievementList::GetIconRect(int id) {
    return {(id & 7) * kIconCell, (id >> 3) * kIconCell, kIconCell, kIconCell};
}

int AchievementList::GetPoints(int id) { return IsId(id) ? kDefinitions[static_cast<std::size_t>(id)].points : 0; }
const char* AchievementList::GetKeyName(int id) {
    return IsId(id) ? kDefinitions[static_cast<std::size_t>(id)].key : "";
}

bool AchievementList::IsEarned(int id) const {
    if (profile_ == nullptr || id < 0 || id >= 64) return false;
    const std::uint32_t mask = id < 32 ? profile_->GetEarnedMaskLow() : profile_->GetEarnedMaskHigh();
    return (mask >> (id & 31) & 1u) != 0;
}

int AchievementList::CountEarned(int& points) const {
    int count = 0;
    points = 0;
    for (int id = 0; id < kAchievementCount; ++id) {
        if (!IsEarned(id)) continue;
        ++count;
        points += GetPoints(id);
    }
    return count;
}

int AchievementList::TryUnlock(int id) {
    if (profile_ == nullptr || !IsId(id) || IsEarned(id)) return 0;
    profile_->SetEarnedMaskLow(profile_->GetEarnedMaskLow() | (1u << id));
    profile_->Save();
    if (services_.playUiSound) services_.playUiSound(kUiSoundAchievement);
    popupLeft_ = kPopupSeconds;
    popupId_ = id;
    return 1;
}

void AchievementList::DrawPopup() {
    engine::RenderTargetBase* target = services_.target ? services_.target() : nullptr;
    const float delta = services_.frameDelta ? services_.frameDelta() : 0.0f;
    if (target != nullptr) {
        DrawPopupOn(*target, delta);
    } else if (popupLeft_ > 0.0f) {
        popupLeft_ = std::max(0.0f, popupLeft_ - delta);
    }
}

void AchievementList::DrawPopupOn(engine::RenderTargetBase& target, float frameDelta) {
    if (popupLeft_ <= 0.0f) return;
    DrawOnePopup(target, 0.0f);
    if (popupLeft_ > kPopupSeconds - kFlashSeconds) {
        const float flash = (popupLeft_ - (kPopupSeconds - kFlashSeconds)) / kFlashSeconds;
        for (int i = 0; i < kPopupFlashes; ++i) DrawOnePopup(target, flash);
    }
    popupLeft_ = std::max(0.0f, popupLeft_ - frameDelta);
}

void AchievementList::DrawOnePopup(engine::RenderTargetBase& target, float flash) {
    const int centre = target.Width() / 2;
    const int top = target.Height() - kPopupRise;
    const engine::IntRect panel{centre - kPopupBackground.width / 2, top, kPopupBackground.width,
                                kPopupBackground.height};
    if (flash == 0.0f) {
        target.DrawTextureRect(panel, kPopupBackground, iconSheet_, 0xFFFFFFFFu, 3, 0);
    } else {
        const auto grey = static_cast<std::uint32_t>(flash * 255.0f) & 0xFFu;
        target.DrawTextureRect(panel, kPopupBackground, iconSheet_, 0xFF000000u | grey << 16 | grey << 8 | grey, 1, 0);
    }
    target.DrawTextureRect({centre - 247, top + 8, kIconCell, kIconCell}, GetIconRect(popupId_), iconSheet_,
                           0xFFFFFFFFu, 3, 0);
    if (services_.mainFont != nullptr) {
        engine::WideString heading("@C[4]");
        heading.Append(services_.strings != nullptr ? services_.strings->Lookup("ACH_POPUP_TITLE")
                                                    : engine::WideString("ACH_POPUP_TITLE"));
        services_.mainFont->Draw(target, heading, centre + 34, top + 25, 6);
    }
    if (services_.smallFont != nullptr) {
        services_.smallFont->Draw(target, GetEntry(popupId_).title, centre + 34, top + 53, 6);
    }
}

}  // namespace game
