#pragma once
// What the human side's map control reaches beyond the game object: the help icons standing on the map,
// the move-choice menu, and the factory of the orders it gives. The program runs on the stand-ins below
// until the real icons and menu land; the orders are the units' own (UnitOrderFactory).
#include <memory>

#include "game/battle/hex_coord.h"
#include "game/battle/hex_path.h"

namespace engine {
class SceneNode;
}  // namespace engine

namespace game {

class Structure;
class Unit;
class UnitOrder;

// Values of the move-choice menu's entries; 0 means that none has been pressed yet.
inline constexpr int kChoiceNone = 0;
inline constexpr int kChoiceCancel = 1;
inline constexpr int kChoiceMoveOver = 2;
inline constexpr int kChoiceMoveUnder = 3;
inline constexpr int kChoiceSelectTapped = 4;
inline constexpr int kChoicePickUp = 5;
inline constexpr int kChoiceEmbark = 6;
inline constexpr int kChoiceDisembark = 7;
inline constexpr int kChoiceMoveHere = 8;
inline constexpr int kChoiceAttack = 9;
// The menu has four choice buttons.
inline constexpr int kMaxMoveChoices = 4;

// The help icons of the level.
class HelpIconPort {
public:
    virtual ~HelpIconPort() = default;
    virtual bool HasIconAt(HexCoord hex) const = 0;
    // Removes the icon whose model holds the node (or that stands on the hex), shows its text and points
    // the camera at it; false when there is none.
    virtual bool CollectByModel(const engine::SceneNode* node) = 0;
    virtual bool CollectAtHex(HexCoord hex) = 0;
};

// The move-choice menu.
class MoveChoicePort {
public:
    virtual ~MoveChoicePort() = default;
    virtual bool IsShown() const = 0;
    virtual void SetShown(bool shown, bool exclusive) = 0;
    // Clears the entries, anchors the menu at the screen point, shows it and sets the choice to 0.
    virtual void OpenAt(int x, int y) = 0;
    virtual void AddChoice(int value) = 0;
    // The value of the entry pressed, 0 until one is.
    virtual int GetChoice() const = 0;
};

// Makes the orders the human side gives.
class OrderFactory {
public:
    virtual ~OrderFactory() = default;
    virtual std::unique_ptr<UnitOrder> MakeAttack(int targetUnitId, bool noRetaliation) = 0;
    virtual std::unique_ptr<UnitOrder> MakeFollowPath(const HexPath& route) = 0;
    virtual std::unique_ptr<UnitOrder> MakeCaptureStructure(Structure& structure) = 0;
    virtual std::unique_ptr<UnitOrder> MakeCaptureUnit(Unit& unit) = 0;
    // With no passenger the carrier sets the one it carries down.
    virtual std::unique_ptr<UnitOrder> MakePickUp(Unit* passenger) = 0;
    virtual std::unique_ptr<UnitOrder> MakeEmbark(Unit& carrier) = 0;
    virtual std::unique_ptr<UnitOrder> MakeDisembark(HexCoord destination) = 0;
};

// The orders of the units library.
class UnitOrderFactory final : public OrderFactory {
public:
    std::unique_ptr<UnitOrder> MakeAttack(int targetUnitId, bool noRetaliation) override;
    std::unique_ptr<UnitOrder> MakeFollowPath(const HexPath& route) override;
    std::unique_ptr<UnitOrder> MakeCaptureStructure(Structure& structure) override;
    std::unique_ptr<UnitOrder> MakeCaptureUnit(Unit& unit) override;
    std::unique_ptr<UnitOrder> MakePickUp(Unit* passenger) override;
    std::unique_ptr<UnitOrder> MakeEmbark(Unit& carrier) override;
    std::unique_ptr<UnitOrder> MakeDisembark(HexCoord destination) override;
};

// No icons stand on the map.
class NoHelpIcons final : public HelpIconPort {
public:
    bool HasIconAt(HexCoord) const override { return false; }
    bool CollectByModel(const engine::SceneNode*) override { return false; }
    bool CollectAtHex(HexCoord) override { return false; }
};

// A menu that never shows: where a tap has several meanings the selection stays and nothing is ordered.
class NoMoveChoice final : public MoveChoicePort {
public:
    bool IsShown() const override { return false; }
    void SetShown(bool, bool) override {}
    void OpenAt(int, int) override {}
    void AddChoice(int) override {}
    int GetChoice() const override { return kChoiceNone; }
};

}  // namespace game
