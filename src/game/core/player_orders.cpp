// The human side's order step: presses, long presses and releases become selections, range previews, the
// route preview, shops, the move-choice menu and the orders queued on the selected unit.
#include <array>
#include <cassert>

#include "engine/core/random_streams.h"
#include "game/battle/structure.h"
#include "game/battle/structure_manager.h"
#include "game/core/game.h"
#include "game/level/level.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"
#include "game/units/unit.h"
#include "game/units/unit_order.h"

namespace game {

namespace {

constexpr float kLongPress = 0.5f;
constexpr std::uint16_t kMoveMark = 0x001;
constexpr std::uint16_t kRouteMark = 0x004;
constexpr std::uint16_t kLandingMark = 0x008;
constexpr std::uint16_t kEmbarkMark = 0x040;
constexpr std::uint16_t kDisembarkMark = 0x080;
constexpr int kEngineerType = 2;
constexpr int kNeutralKind = 0;
// The interface sound of a refused action ("Sound\fail").
constexpr int kUiSoundFail = 6;
// The speech pack's first "Select" and first "Yes" slot; eight of each.
constexpr int kSelectSpeech = 4;
constexpr int kYesSpeech = 12;
// The menu opens this many pixels right of the point it belongs to.
constexpr int kMenuOffsetX = 60;
// The route search's blocking mode: no step into a hex held by a unit that blocks the mover.
constexpr int kRouteBlockedByUnits = 2;

// A pad stands for the building it serves.
Structure* ServedStructure(Structure* structure) {
    if (structure != nullptr && structure->GetType() == kStructureBuildPad) return structure->GetLinkedStructure();
    return structure;
}

void Unselect(Structure*& structure) {
    if (structure == nullptr) return;
    structure->SetSelected(0);
    structure = nullptr;
}

}  // namespace

bool Game::IsCurrentTeams(const Unit& unit) const {
    const Team* current = teams_ ? teams_->GetCurrentTeam() : nullptr;
    return current != nullptr && unit.GetTeamKind() == current->GetKind();
}

void Game::GiveOrder(Unit& unit, std::unique_ptr<UnitOrder> order) {
    // Orders are given only while nothing is busy, so the queue is empty and has room for them.
    [[maybe_unused]] UnitOrder* queued = unit.QueueOrder(std::move(order));
    assert(queued != nullptr && "the unit refused an order of the human side");
}

void Game::PlayYesSpeech() {
    if (selected_ == nullptr) return;
    const int slot = kYesSpeech + static_cast<int>(parts_.random->NextRaw(0) & 7u);
    parts_.sound->PlaySpeech(selected_->GetTeamKind(), slot);
}

void Game::PlaySelectSpeech() {
    if (selected_ == nullptr) return;
    const int slot = kSelectSpeech + static_cast<int>(parts_.random->NextRaw(0) & 7u);
    parts_.sound->PlaySpeech(selected_->GetTeamKind(), slot);
}

void Game::OpenMoveChoice(const engine::Vec3& at, std::span<const int> choices) {
    assert(choices.size() <= static_cast<std::size_t>(kMaxMoveChoices));
    int x = 0;
    int y = 0;
    parts_.view->ProjectToScreen(at, x, y);
    parts_.moveChoice->OpenAt(x + kMenuOffsetX, y);
    for (const int value : choices.first(std::min(choices.size(), static_cast<std::size_t>(kMaxMoveChoices)))) {
        parts_.moveChoice->AddChoice(value);
    }
}

void Game::ExecuteOrders() {
    if (IsModalOpen()) return;
    PointerState& p = pointer_;
    if (level_ && inspected_ != nullptr && p.buttonNow == 0) {
        parts_.screens->SetPanelUnit(nullptr);
        inspected_->SetHighlight(0);
        level_->GetHexMap().ClearRangeSteps();
        ClearMarks();
        inspected_ = nullptr;
    }
    if (p.dragging || p.pressConsumed) return;
    if (!level_ || !teams_ || teams_->IsBusy() || level_->AreStructuresBusy()) return;
    if (parts_.moveChoice->IsShown()) {
        HandleChoice();
        return;
    }
    if (p.pressDropped) {
        p.holdTime = 0.0f;
        return;
    }

    if (p.buttonNow == 0) {
        p.holdTime = 0.0f;
    } else {
        const float before = p.holdTime;
        p.holdTime += parts_.platform->GetFrameDelta();
        if (before < kLongPress && p.holdTime >= kLongPress && inspected_ == nullptr && pressed_ != nullptr &&
            pressed_->CanStillAct()) {
            HexMap& map = level_->GetHexMap();
            map.ClearRangeSteps();
            ClearMarks();
            if (IsCurrentTeams(*pressed_)) map.MarkAttackRange(*pressed_, nullptr, false);
        }
    }
    if (p.IsPressFrame()) SelectOnPress();
    if (p.IsReleaseFrame() && !p.dragReleased && Tap()) return;
    if (p.IsPressFrame()) {
        PreviewRoute();
        return;
    }
    if (p.IsReleaseFrame()) ReleaseMove();
}

void Game::SelectOnPress() {
    Structure* s = FindPickedStructure();
    Unit* u = FindPickedUnit();
    shopStructure_ = nullptr;
    const int kind = GetCurrentTeamKind();
    if (s != nullptr && s->GetTeam() == kind) {
        if (s->GetType() == kStructureBuildPad) {
            Structure* building = s->GetLinkedStructure();
            if (selected_ == nullptr && s->IsHexFree() && building != nullptr && building->IsProducer()) {
                shopStructure_ = s;
                s = building;
            } else {
                s = nullptr;
            }
        } else if (s->IsProducer()) {
            shopStructure_ = s->FindFreePad();
            if (shopStructure_ == nullptr) s = nullptr;
        } else if (s->GetCapturingTeam() == 0) {
            s = nullptr;
        }
        if (s != nullptr) {
            if (pressedStructure_ != nullptr) pressedStructure_->SetSelected(0);
            pressedStructure_ = s;
            if (pickedStructure_ != s) Unselect(pickedStructure_);
            s->SetSelected(1);
        }
    } else if (s != nullptr) {
        if (u != nullptr) s = nullptr;
        pressedStructure_ = s;
    }
    if (s != nullptr || u == nullptr) return;
    Unselect(pressedStructure_);
    Unselect(pickedStructure_);
    if (IsCurrentTeams(*u)) {
        // A landed aircraft under an airborne unit is not the one the player means.
        const bool underAir = u->IsAircraft() && !u->IsAirborne() && teams_->FindAirUnitAt(u->GetHexPos()) != nullptr;
        if (!underAir) {
            pressed_ = u;
            u->SetHighlight(1);
        }
    } else if (selected_ != nullptr) {
        pressed_ = u;
    }
}

bool Game::Tap() {
    Unit* u = FindPickedUnit();
    Structure* s = FindPickedStructure();
    if (!parts_.helpIcons->CollectByModel(pickedNode_)) parts_.helpIcons->CollectAtHex(pointerHex_);
    if (pressedStructure_ != nullptr) return TapStructure(ServedStructure(s));
    return TapUnit(u);
}

bool Game::TapStructure(Structure* s) {
    Structure* pressed = pressedStructure_;
    const Team* current = teams_->GetCurrentTeam();
    if (current != nullptr && pressed->GetTeam() == current->GetKind() && pressed == s && shopStructure_ != nullptr &&
        pressed->IsProducer() && !pressed->IsTargetMarked()) {
        if (selected_ != nullptr) {
            ClearSelection();
            selected_ = nullptr;
        }
        pickedStructure_ = s;
        s->SetSelected(2);
        if (current->FindFreeUnitSlot() >= 0) {
            SetState(kGameShop);
            return true;
        }
        parts_.sound->PlayUiSound(kUiSoundFail);
        Unselect(pickedStructure_);
        Unselect(pressedStructure_);
        return false;
    }
    if (pressed == s && pressed->IsTargetMarked()) {
        if (selected_ != nullptr && selected_->GetType() == kEngineerType) {
            teams_->SaveUndo(nullptr);
            GiveOrder(*selected_, parts_.orders->MakeCaptureStructure(*s));
            ClearSelection();
            selected_ = nullptr;
        }
        return true;
    }
    Unselect(pickedStructure_);
    Unselect(pressedStructure_);
    return false;
}

bool Game::TapUnit(Unit* u) {
    HexMap& map = level_->GetHexMap();
    if (pressed_ == nullptr && selected_ != nullptr && u != nullptr && u->CanCarryType(selected_->GetType()) &&
        u->GetPassenger() == nullptr) {
        // A carrier for the selected unit.
        const Unit* air = teams_->FindAirUnitAt(u->GetHexPos());
        if (!(u->IsAircraft() && air != nullptr && air != u)) {
            pressed_ = u;
            u->SetHighlight(1);
        }
    }
    Unit* p = pressed_;
    if (p == nullptr) return false;
    if (IsCurrentTeams(*p)) {
        if (p == u && p == selected_) {
            // A tap on the selected unit: it is let go; an airborne one tapped beside its model lands or sets
            // its passenger down where the marks allow.
            parts_.screens->SetPanelUnit(nullptr);
            if (p->IsAirborne() && !pickedByNode_) {
                const std::uint16_t marks = map.GetMarkBits(p->GetHexPos());
                if ((marks & kLandingMark) != 0) {
                    p->SetAirborne(false);
                } else if ((marks & kDisembarkMark) != 0) {
                    GiveOrder(*p, parts_.orders->MakePickUp(nullptr));
                    teams_->SaveUndo(nullptr);
                }
            }
            ClearSelection();
            selected_ = nullptr;
        } else if (p == u) {
            if (TapOwnUnit(*p)) return true;
        } else if (p != selected_) {
            ClearSelection();
            selected_ = nullptr;
        }
    } else if (selected_ != nullptr && p->IsTargetMarked() && selected_->CanAttack(*p)) {
        if (selected_->IsAirborne() && !p->IsAirborne() && (map.GetMarkBits(p->GetHexPos()) & kMoveMark) != 0) {
            OpenMoveChoice(p->GetWorldPos(), std::array{kChoiceAttack, kChoiceMoveOver, kChoiceCancel});
            return true;
        }
        PlayYesSpeech();
        parts_.screens->SetPanelUnit(nullptr);
        if (selected_->GetType() == kEngineerType && p->GetTeamKind() == kNeutralKind) {
            GiveOrder(*selected_, parts_.orders->MakeCaptureUnit(*p));
        } else {
            GiveOrder(*selected_, parts_.orders->MakeAttack(p->GetId(), false));
        }
        ClearSelection();
        selected_ = nullptr;
        teams_->SaveUndo(nullptr);
    }
    pressed_ = nullptr;
    return false;
}

bool Game::TapOwnUnit(Unit& p) {
    Unit* s = selected_;
    HexMap& map = level_->GetHexMap();
    const HexCoord hex = p.GetHexPos();
    const std::uint16_t marks = map.GetMarkBits(hex);
    bool pairing = false;
    if (s != nullptr) {
        if (s->IsAirborne() && p.IsAirborne()) {
            pairing = false;
        } else if (!s->IsAirborne() && !p.IsAirborne()) {
            const bool airAbove = p.IsAircraft() && teams_->FindAirUnitAt(hex) != nullptr;
            pairing = p.CanCarryType(s->GetType()) && p.GetPassenger() == nullptr && !airAbove;
        } else {
            pairing = p.CanCarryType(s->GetType()) || s->CanCarryType(p.GetType());
        }
    }
    const bool disembark =
        s != nullptr && s->GetPassenger() != nullptr && !s->IsAircraft() && (marks & kDisembarkMark) != 0;
    if (disembark) pointer_.disembarkHex = hex;
    const bool move = (marks & kMoveMark) != 0;
    bool pickUp = false;
    bool embark = false;
    if (s != nullptr && s != &p && pairing) {
        if (s->CanCarryType(p.GetType()) && s->GetPassenger() == nullptr) {
            pickUp = (marks & kMoveMark) != 0 || s->GetHexPos() == hex;
        } else if (p.CanCarryType(s->GetType()) && p.GetPassenger() == nullptr) {
            embark = (marks & (kMoveMark | kEmbarkMark)) != 0;
        }
    }
    if (move || pickUp || embark || disembark) {
        std::array<int, kMaxMoveChoices + 1> choices{};
        std::size_t count = 0;
        if (pickUp) choices[count++] = kChoicePickUp;
        if (embark) choices[count++] = kChoiceEmbark;
        if (disembark) choices[count++] = kChoiceDisembark;
        if (move && s != nullptr && s->IsAirborne() != p.IsAirborne()) {
            choices[count++] = s->IsAirborne() ? kChoiceMoveOver : kChoiceMoveUnder;
        }
        if (!(embark && disembark)) choices[count++] = kChoiceSelectTapped;
        choices[count++] = kChoiceCancel;
        OpenMoveChoice(p.GetWorldPos(), std::span<const int>(choices.data(), count));
        return true;
    }
    ClearSelection();
    selected_ = &p;
    p.SetHighlight(2);
    p.SetAirborne(true);
    map.MarkSelectedUnitRanges(p, true);
    if (Team* current = teams_->GetCurrentTeam()) current->SetFocusHex(hex);
    parts_.screens->SetPanelUnit(&p);
    PlaySelectSpeech();
    return false;
}

void Game::PreviewRoute() {
    PointerState& p = pointer_;
    HexMap& map = level_->GetHexMap();
    p.route.count = 0;
    if (selected_ != nullptr) {
        HexCoord target;
        if (GetMoveTargetHex(target, selected_)) {
            if (map.FindRoute(selected_->GetHexPos(), target, p.route, selected_->GetType(), kRouteBlockedByUnits,
                              false)) {
                map.MarkPath(p.route);
            }
        } else {
            map.ClearMarkBits(kRouteMark);
        }
    }
    // A pressed unit left behind by the pointer is dropped with the selection.
    const Unit* under = FindPickedUnit();
    if (pressed_ != nullptr && pressed_ != under && (pressed_->IsTargetMarked() || pressed_->GetHighlight() == 1)) {
        if (pressed_->IsTargetMarked()) {
            if (selected_ != nullptr) selected_->SetHighlight(0);
        } else {
            pressed_->SetHighlight(0);
        }
        pressed_ = nullptr;
        ClearRangeAndMarks();
        parts_.screens->SetPanelUnit(nullptr);
        ClearSelection();
        selected_ = nullptr;
    }
    const Structure* s = ServedStructure(FindPickedStructure());
    if (pressedStructure_ != nullptr && pressedStructure_->IsSelected() && pressedStructure_ != s) {
        Unselect(pressedStructure_);
    }
}

void Game::ReleaseMove() {
    PointerState& p = pointer_;
    HexMap& map = level_->GetHexMap();
    HexCoord target;
    if (selected_ != nullptr && !p.dragReleased && GetMoveTargetHex(target, selected_)) {
        const HexCoord t = pointerHex_;
        engine::Vec3 at;
        map.GetSurfacePoint(at, t);
        if ((map.GetMarkBits(t) & kDisembarkMark) != 0) {
            p.disembarkHex = t;
            if (p.route.count == 0) {
                GiveOrder(*selected_, parts_.orders->MakeDisembark(t));
                teams_->SaveUndo(nullptr);
                ClearSelection();
                selected_ = nullptr;
                pressed_ = nullptr;
                return;
            }
            OpenMoveChoice(at, std::array{kChoiceDisembark, kChoiceMoveHere, kChoiceCancel});
            return;
        }
        if (p.route.count > 0) {
            PlayYesSpeech();
            teams_->SaveUndo(selected_);
            GiveOrder(*selected_, parts_.orders->MakeFollowPath(p.route));
            ClearSelection();
            selected_ = nullptr;
            parts_.view->AttachMoveMarker(at);
        }
    }
    p.route.count = 0;
    map.ClearMarkBits(kRouteMark);
}

void Game::HandleChoice() {
    const int value = parts_.moveChoice->GetChoice();
    if (value < kChoiceCancel || value > kChoiceAttack) return;
    parts_.moveChoice->SetShown(false, false);
    PointerState& p = pointer_;
    Unit* s = selected_;
    Unit* other = pressed_;
    // Every choice but the cancel acts on the selected unit, and the pairings also on the pressed one.
    const bool needsOther = value == kChoiceSelectTapped || value == kChoicePickUp || value == kChoiceEmbark ||
                            value == kChoiceAttack;
    if (value != kChoiceCancel && (s == nullptr || (needsOther && other == nullptr))) {
        ClearSelection();
        selected_ = pressed_ = nullptr;
        return;
    }
    switch (value) {
        case kChoiceCancel:
            ClearSelection();
            selected_ = pressed_ = inspected_ = nullptr;
            return;
        case kChoiceMoveOver:
        case kChoiceMoveUnder:
        case kChoiceMoveHere:
            if (other != nullptr) {
                other->SetHighlight(0);
                pressed_ = nullptr;
            }
            GiveOrder(*s, parts_.orders->MakeFollowPath(p.route));
            teams_->SaveUndo(s);
            PlayYesSpeech();
            ClearSelection();
            selected_ = nullptr;
            return;
        case kChoiceSelectTapped:
            // The tapped unit keeps its airborne state; no speech, the unit panel stays.
            s->SetAirborne(true);
            ClearSelection();
            selected_ = other;
            other->SetHighlight(2);
            level_->GetHexMap().MarkSelectedUnitRanges(*other, true);
            parts_.camera->LookAtUnit(*other);
            return;
        case kChoicePickUp:
            teams_->SaveUndo(nullptr);
            if (p.route.count > 0) {
                PlayYesSpeech();
                GiveOrder(*s, parts_.orders->MakeFollowPath(p.route));
            }
            GiveOrder(*s, parts_.orders->MakePickUp(other));
            break;
        case kChoiceEmbark:
            teams_->SaveUndo(nullptr);
            other->SetAirborne(true);
            if (p.route.count > 0) {
                // Onto a ground or sea carrier the unit boards from the hex before it.
                if (!other->IsAircraft()) --p.route.count;
                if (p.route.count > 0) {
                    PlayYesSpeech();
                    GiveOrder(*s, parts_.orders->MakeFollowPath(p.route));
                }
            }
            GiveOrder(*s, parts_.orders->MakeEmbark(*other));
            break;
        case kChoiceDisembark:
            teams_->SaveUndo(nullptr);
            PlayYesSpeech();
            GiveOrder(*s, parts_.orders->MakeDisembark(p.disembarkHex));
            break;
        case kChoiceAttack:
            GiveOrder(*s, parts_.orders->MakeAttack(other->GetId(), false));
            ClearSelection();
            teams_->SaveUndo(nullptr);
            PlayYesSpeech();
            break;
        default:
            return;
    }
    ClearSelection();
    selected_ = nullptr;
    pressed_ = nullptr;
}

}  // namespace game
