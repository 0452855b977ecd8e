// The human side's pointer step: the left button's samples, the wheel zoom, the camera drag, the pick under
// the pointer while the button is held, and on the press frame whether the order step sees the press.
#include <cmath>

#include "engine/core/geometry.h"
#include "engine/platform/key_codes.h"
#include "engine/scene/pick_segment.h"
#include "game/battle/structure.h"
#include "game/battle/structure_manager.h"
#include "game/core/game.h"
#include "game/level/level.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"
#include "game/units/unit.h"

namespace game {

namespace {

// A press whose pointer moves farther than this from the press position becomes a camera drag.
constexpr float kDragThreshold = 5.0f;
// One wheel notch changes the zoom distance by this much.
constexpr float kZoomPerNotch = 2.0f;
// The long-press preview shows after this many seconds.
constexpr float kLongPress = 0.5f;
constexpr std::uint16_t kAllMarks = 0xFFFF;
constexpr std::uint16_t kRouteMark = 0x004;
constexpr std::uint16_t kMoveMark = 0x001;
constexpr std::uint16_t kDropMark = 0x080;
constexpr int kEngineerType = 2;

}  // namespace

void Game::HandlePointerInput() {
    if (parts_.moveChoice->IsShown() || IsModalOpen()) return;
    // Read once per pass: only a frame's first read sees the button's edges.
    const engine::KeyState key = parts_.platform->ReadKey(engine::kKeyMouseLeft);
    if (!level_) return;
    PointerState& p = pointer_;
    const int mode = parts_.camera->GetMode();
    if (mode != kCameraFixed && mode != kCameraFree) {
        // The camera follows a unit or a battle: the samples follow the button, so that a release made now
        // is not taken later for a tap at a hex the pointer has left, and a press held now gives nothing.
        p.buttonBefore = p.buttonNow = key.down;
        if (key.down != 0) p.pressDropped = true;
        return;
    }
    p.buttonBefore = p.buttonNow;
    p.buttonNow = key.down;
    // A dropped press ends with its release frame; the frame after it starts afresh.
    if (p.buttonBefore == 0) p.pressDropped = false;
    // The windows read the button before the battle does: a press whose edge one of them has taken (a HUD
    // button, a dialog, a panel under the pointer) is that window's, and gives the map nothing up to its
    // release. Otherwise it would be decided at the hex of the last hit, which the pointer has left.
    if (p.buttonBefore == 0 && key.down != 0 && key.pressed == 0) p.pressDropped = true;
    if (selected_ != nullptr && selected_->GetState() == kUnitGone) selected_ = nullptr;

    const int notches = parts_.platform->TakeMouseWheel();
    parts_.camera->SetZoom(parts_.camera->GetZoom() - kZoomPerNotch * static_cast<float>(notches));

    if (p.buttonNow == 0) {
        if (p.dragging) {
            parts_.camera->DragBy(p.commitOffset, true);
            p.dragging = false;
            p.dragReleased = true;
        }
        return;
    }
    if (p.pressDropped) return;

    p.dragReleased = false;
    bool objectHex = false;
    int x = 0;
    int y = 0;
    parts_.platform->GetPointerPosition(x, y);
    const bool pressFrame = p.buttonBefore == 0;
    if (pressFrame) {
        p.pressX = x;
        p.pressY = y;
    } else if (!p.dragging) {
        const float dx = static_cast<float>(x - p.pressX);
        const float dy = static_cast<float>(y - p.pressY);
        if (std::sqrt(dx * dx + dy * dy) > kDragThreshold) StartDrag();
    }
    p.pointerX = x;
    p.pointerY = y;
    pickedNode_ = nullptr;

    // Tree tops would catch the pick before the ground under them.
    level_->SetMapTopTreeVisible(false);
    engine::PickHit hit;
    engine::Vec3 point;
    const bool picked = parts_.view->PickAtScreen(x, y, hit, point);
    level_->SetMapTopTreeVisible(true);
    if (picked) {
        p.hitPoint = point;
        if (p.dragging) {
            DragCamera();
            return;
        }
        pickedNode_ = hit.node;
        if (Unit* unit = teams_ ? teams_->FindUnitByNode(hit.node) : nullptr) {
            pointerHex_ = unit->GetHexPos();
            objectHex = true;
        } else if (Structure* structure = level_->GetStructureManager().FindByNode(hit.node)) {
            pointerHex_ = structure->GetHex();
            objectHex = true;
        }
    }
    if (p.dragging) return;
    p.pressConsumed = pressFrame;
    if (!objectHex) {
        int column = -1;
        int row = -1;
        level_->GetHexMap().PickHex(column, row, p.hitPoint);
        pointerHex_ = {static_cast<std::int16_t>(column), static_cast<std::int16_t>(row)};
    }
    if (pressFrame) DecidePress();
}

void Game::StartDrag() {
    PointerState& p = pointer_;
    p.dragging = true;
    p.dragStartX = p.pressX;
    p.dragStartY = p.pressY;
    p.commitOffset = engine::Vec3();
    p.dragPlaneHeight = p.hitPoint.y;
    HexMap& map = level_->GetHexMap();
    if (inspected_ != nullptr) {
        inspected_->SetHighlight(0);
        map.ClearRangeSteps();
        map.ClearMarkBits(kAllMarks);
        ClearTargetMarks();
        parts_.screens->SetPanelUnit(nullptr);
        inspected_ = nullptr;
    }
    Unit* under = FindPickedUnit();
    if (under != nullptr && under != selected_ && under != pressed_) under->SetHighlight(0);
    if (pressed_ != nullptr) pressed_->SetHighlight(pressed_ == selected_ ? 2 : 0);
    map.ClearMarkBits(kRouteMark);
    if (pressedStructure_ != nullptr) pressedStructure_->SetSelected(0);
    if (p.holdTime >= kLongPress) {
        // The long-press preview gives way to the selected unit's ranges.
        map.ClearMarkBits(kAllMarks);
        ClearTargetMarks();
        if (pressed_ != nullptr) pressed_->SetHighlight(0);
        if (selected_ != nullptr) {
            selected_->SetHighlight(2);
            map.MarkSelectedUnitRanges(*selected_, true);
        }
    }
    pickedNode_ = nullptr;
}

void Game::DragCamera() {
    const PointerState& p = pointer_;
    engine::Plane plane;
    plane.InitFromNormal(engine::Vec3(0.0f, 1.0f, 0.0f), p.dragPlaneHeight);
    auto ground = [&](int x, int y, engine::Vec3& out) {
        engine::PickSegment ray;
        parts_.view->ScreenToRay(x, y, ray);
        return plane.IntersectRay(ray.start, ray.delta.Scale(10000.0f), &out);
    };
    engine::Vec3 grabbed;
    engine::Vec3 under;
    if (!ground(p.dragStartX, p.dragStartY, grabbed) || !ground(p.pointerX, p.pointerY, under)) return;
    // Measured from the drag start on every frame: the grabbed ground point stays under the pointer.
    engine::Vec3 offset = under.Sub(grabbed);
    offset.y = 0.0f;
    parts_.camera->DragBy(offset, false);
}

void Game::DecidePress() {
    PointerState& p = pointer_;
    if (!IsValidHex(pointerHex_)) return;
    HexMap& map = level_->GetHexMap();
    // A drop hex of the selected carrier's passenger counts with the movement range: it lies beside the carrier
    // and often outside that range (a ferry's land shore, a carrier with no movement left).
    if ((map.GetMarkBits(pointerHex_) & (kMoveMark | kDropMark)) != 0 || parts_.helpIcons->HasIconAt(pointerHex_)) {
        p.pressConsumed = false;
        return;
    }
    const Team* current = teams_ ? teams_->GetCurrentTeam() : nullptr;
    Unit* there = teams_ ? teams_->FindUnitAt(pointerHex_) : nullptr;
    if (there != nullptr && there->GetState() != kUnitGone) {
        p.pressConsumed = false;
        const bool enemy = AreEnemies(teams_->FindTeam(there->GetTeamKind()), current);
        if (selected_ != nullptr && there != selected_ && enemy && !there->IsTargetMarked()) {
            // The selected unit cannot attack it: show its threat instead, unless the selected unit can
            // attack an aircraft above it.
            const Unit* air = teams_->FindAirUnitAt(pointerHex_);
            p.pressConsumed = !(air != nullptr && selected_->CanAttack(*air));
            if (p.pressConsumed && inspected_ == nullptr && !teams_->IsBusy()) {
                Inspect(*there);
                p.pressConsumed = false;
            }
        }
        if (selected_ == nullptr && enemy) {
            const Unit* air = teams_->FindAirUnitAt(pointerHex_);
            if (air != nullptr && !AreEnemies(teams_->FindTeam(air->GetTeamKind()), current)) return;
            p.pressConsumed = true;
            if (inspected_ == nullptr && !teams_->IsBusy()) {
                Inspect(*there);
                p.pressConsumed = false;
            }
        }
        return;
    }
    if (const Structure* structure = level_->GetStructureManager().FindAtHex(pointerHex_)) {
        const bool foreign = current == nullptr || structure->GetTeam() != current->GetKind() ||
                             structure->GetCapturingTeam() != 0;
        p.pressConsumed = selected_ != nullptr && selected_->GetType() == kEngineerType && foreign &&
                          !structure->IsTargetMarked() && structure->GetType() != kStructureBuildPad;
        return;
    }
    if (map.GetTile(pointerHex_).objectClass == kObjectStructure) p.pressConsumed = false;
}

void Game::Inspect(Unit& unit) {
    ClearSelection();
    inspected_ = &unit;
    unit.SetHighlight(1);
    level_->GetHexMap().MarkThreatRange(unit);
    selected_ = nullptr;
    pressed_ = nullptr;
    parts_.screens->SetPanelUnit(&unit);
}

}  // namespace game
