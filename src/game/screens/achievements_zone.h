#pragma once
// The achievements screen: a list of the awards with their icons (every id but the reserved one), the
// details of the one tapped, and the totals of what has been earned. The selection is kept between visits.
#include "game/core/achievement_list.h"
#include "game/screens/menu_zone.h"

namespace engine {
class ListBox;
}

namespace game {

// The game's achievement list as the screens see it.
class AchievementListView final : public ScreenAchievements {
public:
    explicit AchievementListView(AchievementList& list) : list_(list) {}
    bool IsEarned(int id) const override { return list_.IsEarned(id); }
    int CountEarned(int& points) const override { return list_.CountEarned(points); }
    const AchievementEntry& GetEntry(int id) const override { return list_.GetEntry(id); }
    std::uint32_t GetIconTexture() const override { return list_.GetIconTexture(); }
    void Unlock(int id) override { list_.Unlock(id); }

private:
    AchievementList& list_;
};

class AchievementsZone final : public MenuZone {
public:
    static constexpr int kBackId = 102;
    static constexpr int kListId = 103;
    static constexpr int kListedCount = kAchievementCount - 1;

    explicit AchievementsZone(ScreenServices& services);

    int OnShow(bool shown) override;
    int OnControl(bool pressed, int controlId) override;
    int DrawControl(int controlId, const engine::IntRect& rect) override;

    // The tapped achievement; -1 for none.
    int GetSelected() const { return selected_; }

protected:
    void DrawMenuContents(ZoneWindow& window) override;

private:
    engine::ListBox* List() const;
    void DrawDetails(const engine::IntRect& panel);
    void DrawList(const engine::ListBox& list, const engine::IntRect& rect);

    int selected_ = -1;
};

}  // namespace game
