#include "game/units/action_orders.h"

#include <algorithm>
#include <memory>

#include "game/battle/battle_context.h"
#include "game/battle/battle_types.h"
#include "game/battle/hex_map.h"
#include "game/units/move_orders.h"
#include "game/units/unit.h"
#include "game/units/unit_services.h"

namespace game {

namespace {

constexpr float kBoardingCost = 10.0f;
constexpr float kResupplyDelay = 0.25f;

// Turns the engineer toward the neighbour in that direction; false when it is not next to it.
bool FaceCaptureTarget(Unit& engineer, int direction) {
    if (direction < 0 || direction >= kDirectionCount) return false;
    engineer.SetFacing(direction);
    engineer.PlaceOnHex(engineer.GetHexPos());
    engineer.SetActionsUsed(engineer.GetActionsUsed() + 1);
    return true;
}

}  // namespace

void BoardCarrier(Unit& carrier, Unit& passenger) {
    carrier.LinkPassenger(passenger);
    if (carrier.IsAircraft()) {
        carrier.SetCarryState(kCarryDescendToTake);
        return;
    }
    const int direction = carrier.Battle().GetHexMap().GetDirectionTo(passenger.GetHexPos(), carrier.GetHexPos());
    if (direction < kDirectionCount) passenger.SetFacing(direction);
    passenger.PlaceOnHex(passenger.GetHexPos());
    passenger.SetMovementLeft(std::max(0.0f, passenger.GetMovementLeft() - kBoardingCost));
    passenger.PlayAnimation("embark", true);
    carrier.SetCarryState(kCarryBoarding);
}

HexPath OneStepRoute(HexCoord from, HexCoord, int direction) {
    HexPath route;
    route.start = from;
    if (direction >= 0 && direction < kDirectionCount) {
        route.count = 1;
        route.directions[0] = direction;
        route.cost = 1.0f;
    }
    return route;
}

bool CaptureStructureOrder::Step(bool first) {
    Unit& engineer = *GetUnit();
    if (first) {
        const int direction =
            engineer.Battle().GetHexMap().FindDirectionToStructure(engineer.GetFacing(), engineer.GetHexPos(), &structure_);
        if (!FaceCaptureTarget(engineer, direction)) return true;
        engineer.BeginCapture();
    }
    return engineer.CaptureStructureStep(structure_);
}

bool CaptureUnitOrder::Step(bool first) {
    Unit& engineer = *GetUnit();
    Unit* target = engineer.Battle().FindUnitById(unitId_);
    if (target == nullptr) return true;
    if (first) {
        const int direction =
            engineer.Battle().GetHexMap().FindDirectionToUnit(engineer.GetFacing(), engineer.GetHexPos(), target);
        if (!FaceCaptureTarget(engineer, direction)) return true;
        engineer.BeginCapture();
    }
    return engineer.CaptureUnitStep(*target);
}

bool PickUpOrder::Step(bool first) {
    Unit& carrier = *GetUnit();
    if (first) {
        Unit* passenger = passengerId_ != 0 ? carrier.Battle().FindUnitById(passengerId_) : nullptr;
        if (passenger != nullptr) {
            BoardCarrier(carrier, *passenger);
        } else {
            carrier.SetCarryState(kCarryDescendToDrop);
        }
    }
    return carrier.CarryStep();
}

bool ResupplyNeighboursOrder::Step(bool first) {
    Unit& unit = *GetUnit();
    if (first) {
        unit.Services().LookAtUnit(unit);
        timer_ = kResupplyDelay;
        return false;
    }
    timer_ -= kUnitTick;
    if (timer_ > 0.0f) return false;
    for (int direction = 0; direction < kDirectionCount; ++direction) {
        HexCoord hex;
        if (!HexNeighbour(unit.GetHexPos(), direction, hex)) continue;
        Unit* other = unit.Battle().FindUnitAt(hex);
        if (other == nullptr || other->GetTeamKind() != unit.GetTeamKind() || other->IsAirborne()) continue;
        if (other->NeedsResupply(1.0f, false)) other->Resupply(false);
    }
    return true;
}

bool EmbarkOrder::Step(bool) {
    Unit& unit = *GetUnit();
    Unit* carrier = unit.Battle().FindUnitById(carrierId_);
    if (carrier == nullptr || carrier == &unit) return true;
    const HexMap& map = unit.Battle().GetHexMap();
    const int direction = map.GetDirectionTo(unit.GetHexPos(), carrier->GetHexPos());
    // From farther away the link would pull the unit across the map onto the carrier.
    if (!(unit.GetHexPos() == carrier->GetHexPos()) && direction >= kDirectionCount) return true;
    if (carrier->GetType() == UT_FERRY && !unit.IsSoftTarget()) {
        unit.QueueOrder(std::make_unique<DriveAboardOrder>(
            OneStepRoute(unit.GetHexPos(), carrier->GetHexPos(), direction), carrier->GetId()));
        return true;
    }
    carrier->QueueOrder(std::make_unique<PickUpOrder>(unit.GetId()));
    return true;
}

bool DisembarkOrder::Step(bool first) {
    Unit& carrier = *GetUnit();
    const HexMap& map = carrier.Battle().GetHexMap();
    if (first) {
        Unit* passenger = carrier.GetPassenger();
        if (passenger == nullptr) return true;
        passengerId_ = passenger->GetId();
        const int direction = map.GetDirectionTo(carrier.GetHexPos(), destination_);
        if (carrier.GetType() == UT_FERRY && !passenger->IsSoftTarget()) {
            carrier.UnlinkPassenger();
            passenger->QueueOrder(
                std::make_unique<DriveOffOrder>(OneStepRoute(carrier.GetHexPos(), destination_, direction)));
            return true;
        }
        if (direction < kDirectionCount) passenger->SetFacing(direction);
        passenger->PlaceOnHex(carrier.GetHexPos());
        passenger->PlayAnimation("disembark", true);
        carrier.UnlinkPassengerSide();
        return false;
    }
    Unit* passenger = carrier.Battle().FindUnitById(passengerId_);
    if (passenger == nullptr) return true;
    if (!passenger->IsAnimationDone("disembark")) return false;
    passenger->ClearCarrierId();
    passenger->PlaceOnHex(destination_);
    passenger->PlayAnimation("idle", false);
    return true;
}

bool DriveAboardOrder::Step(bool first) {
    Unit& unit = *GetUnit();
    Unit* carrier = unit.Battle().FindUnitById(carrierId_);
    if (boarded_) return carrier == nullptr || carrier->CarryStep();
    unit.PrepareTrackSmoke();
    if (first) {
        unit.Battle().GetHexMap().MarkMoveRange(unit);
        unit.StartRoute(route_);
    }
    unit.StepAlongPath();
    // The one hex onto the ferry is driven even by a unit that has no movement left.
    if (!unit.IsRouteDone()) return false;
    unit.StopTrackSmoke();
    if (carrier == nullptr || carrier->GetPassengerId() != 0) return true;
    BoardCarrier(*carrier, unit);
    boarded_ = true;
    return false;
}

bool DriveOffOrder::Step(bool first) {
    Unit& unit = *GetUnit();
    unit.PrepareTrackSmoke();
    if (first) {
        movementLeft_ = unit.GetMovementLeft();
        unit.StartRoute(route_);
    }
    unit.StepAlongPath();
    // Boarding took 10 movement, so a unit put ashore in the turn it boarded often has none left: the drive
    // ends on reaching the shore, never before it has started.
    if (!unit.IsRouteDone()) return false;
    unit.SetMovementLeft(movementLeft_);
    unit.StopTrackSmoke();
    return true;
}

bool KillOrder::Step(bool) {
    GetUnit()->Kill(removeNow_, nullptr);
    return true;
}

}  // namespace game
