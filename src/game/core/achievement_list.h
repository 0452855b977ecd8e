#pragma once
// The sixteen achievements: their texts and points, whether each is earned (a bit of the profile), unlocking
// (the profile written at once, a chime, a popup of five seconds near the bottom of the screen) and the popup
// with its bright flash over the first 0.2 s.
#include <array>
#include <cstdint>
#include <functional>

#include "engine/core/int_rect.h"
#include "engine/core/wide_string.h"
#include "game/core/game_ports.h"

namespace engine {
class BitmapFont;
class RenderTargetBase;
}  // namespace engine

namespace game {

class PlayerProfile;
class StringTable;

inline constexpr int kAchievementCount = 16;
// The one achievement nothing in the program earns.
inline constexpr int kAchievementReserved = 1;

struct AchievementEntry {
    engine::WideString title;
    engine::WideString earnedText;
    engine::WideString notEarnedText;
    int points = 0;
};

// What the achievements reach outside themselves; every member may be left empty.
struct AchievementServices {
    const StringTable* strings = nullptr;
    // The icon sheet "GUI/achievements" by name through the texture table; 0 when there is none.
    std::function<std::uint32_t(const char*)> loadTexture;
    std::function<void(std::uint32_t)> releaseTexture;
    std::function<void(int)> playUiSound;
    // The target the popup draws on and the frame's delta in seconds.
    std::function<engine::RenderTargetBase*()> target;
    std::function<float()> frameDelta;
    engine::BitmapFont* mainFont = nullptr;
    engine::BitmapFont* smallFont = nullptr;
};

class AchievementList final : public Achievements {
public:
    static constexpr float kPopupSeconds = 5.0f;
    static constexpr float kFlashSeconds = 0.2f;

    explicit AchievementList(AchievementServices services);
    ~AchievementList() override;
    AchievementList(const AchievementList&) = delete;
    AchievementList& operator=(const AchievementList&) = delete;

    // The profile whose bits hold what is earned; null until the profile exists.
    void SetProfile(PlayerProfile* profile) { profile_ = profile; }
    // The popup's heading and title fonts, which exist only once the start-up loading made them.
    void SetFonts(engine::BitmapFont* mainFont, engine::BitmapFont* smallFont) {
        services_.mainFont = mainFont;
        services_.smallFont = smallFont;
    }

    void LoadTexts() override;
    void Unlock(int id) override { TryUnlock(id); }
    // 1 when the achievement became earned now; 0 when it was already, for an id outside 0..15 and without a
    // profile.
    int TryUnlock(int id);
    bool IsEarned(int id) const;
    // The earned ids among 0..15 and the sum of their points.
    int CountEarned(int& points) const;
    const AchievementEntry& GetEntry(int id) const;
    std::uint32_t GetIconTexture() const { return iconSheet_; }
    static engine::IntRect GetIconRect(int id);
    static int GetPoints(int id);
    static const char* GetKeyName(int id);

    // Draws the popup while it shows and counts its time down.
    void DrawPopup() override;
    void DrawPopupOn(engine::RenderTargetBase& target, float frameDelta);
    float GetPopupTimeLeft() const { return popupLeft_; }
    int GetPopupId() const { return popupId_; }

private:
    void DrawOnePopup(engine::RenderTargetBase& target, float flash);

    AchievementServices services_;
    PlayerProfile* profile_ = nullptr;
    std::array<AchievementEntry, kAchievementCount> entries_{};
    std::uint32_t iconSheet_ = 0;
    float popupLeft_ = 0.0f;
    int popupId_ = 13;
};

}  // namespace game
