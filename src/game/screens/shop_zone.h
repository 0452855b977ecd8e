#pragma once
// The shop of a side's factory, airport, dockyard or barracks: the unit types the building sells in a grid,
// an information panel for the selected type, the side's cash, a buy button with the price and a cancel
// button. Buying places the unit on the building's hex, takes its cost and returns to the turn (state 12).
//
// Display units are made for the current side only to be shown; they never enter a team and live from the
// shop's showing to its hiding. Their models hang under the shop's own "ShopSpinny" node, drawn through the
// shop's own scene view and render queue into the model area, each at its grid position.
#include <array>
#include <memory>
#include <span>

#include "engine/core/vector.h"
#include "game/screens/zone.h"

namespace engine {
class RenderQueue;
class SceneNode;
class SceneView;
}  // namespace engine

namespace game {

class Team;
class TeamManager;
class Unit;

inline constexpr int kShopModelArea = 16;
inline constexpr int kShopCancel = 17;
inline constexpr int kShopBuy = 18;
inline constexpr int kMaxShopEntries = 25;
inline constexpr int kGameBackToTurnState = 12;

struct ShopEntry {
    std::unique_ptr<Unit> display;
    int unitType = 0;
    bool affordable = false;
    int cost = 0;
    // Where the entry's model stands: its hit rectangle on screen and its position in the model grid.
    engine::IntRect hitRect{};
    engine::Vec2 modelPosition{0.0f, 0.0f};
};

class ShopZone final : public TitledZone {
public:
    explicit ShopZone(ScreenServices& services);
    ~ShopZone() override;

    int OnShow(bool shown) override;
    int OnControl(bool pressed, int controlId) override;
    int OnKey(int code) override;
    int DrawControl(int controlId, const engine::IntRect& rect) override;
    int DrawContents(ZoneWindow& window) override;

    // The unit types a building type (2 factory .. 5 barracks) sells, in display order.
    static std::span<const int> CatalogueOf(int building);

    int GetCount() const { return count_; }
    int GetSelected() const { return selected_; }
    int GetCatalogue() const { return catalogue_; }
    float GetFlash() const { return flash_; }
    const ShopEntry& GetEntry(int index) const { return entries_[static_cast<std::size_t>(index)]; }
    // Selects the entry: every display unit shows whether it is affordable, the selected one its selection.
    void Select(int index);
    // The shop's scene root ("ShopSpinny") and camera.
    engine::SceneNode* GetSceneRoot() const { return spinny_; }
    const engine::SceneView* GetSceneView() const { return view_.get(); }

private:
    TeamManager* Teams() const;
    Team* CurrentTeam() const;
    void Rebuild();
    void ClearEntries();
    // The grid of the entries over the model area of a window at (x, y).
    void LayOutGrid(int windowX, int windowY);
    void SetBuyLabel();
    void Buy();
    // Hides the shop and returns to the side's turn.
    void Leave();
    // The index of the remembered choice of a building type in the team's list; -1 for none.
    int RememberedSlot() const;
    // The display units' models through the shop's camera into the model area.
    void DrawModels(const engine::IntRect& area);
    void DrawInformation(const engine::IntRect& panel);
    void DrawRatings(int rating, int right, int y);

    int count_ = 0;
    int selected_ = 0;
    int catalogue_ = 0;
    float flash_ = 0.0f;
    std::array<ShopEntry, kMaxShopEntries> entries_;
    std::unique_ptr<engine::SceneView> view_;
    std::unique_ptr<engine::RenderQueue> queue_;
    // The root of the shop's scene; the display units' models hang under it.
    engine::SceneNode* spinny_ = nullptr;
};

}  // namespace game
