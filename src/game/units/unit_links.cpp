// Carrier links kept by unit id, the lookups around a unit's hex, and killing a unit.
#include "game/battle/battle_context.h"
#include "game/battle/battle_types.h"
#include "game/battle/hex_map.h"
#include "game/units/unit.h"

namespace game {

namespace {

// Carriers ride in carriers at most a few deep (a soldier in an APC on a ferry); a longer chain can only
// come from damaged data and is not followed further.
constexpr int kMaxCarrierChain = 8;

}  // namespace

Unit* Unit::GetCarrier() const { return carrierId_ != 0 ? battle_.FindUnitById(carrierId_) : nullptr; }

Unit* Unit::GetPassenger() const { return passengerId_ != 0 ? battle_.FindUnitById(passengerId_) : nullptr; }

bool Unit::IsAirborne() const {
    const Unit* carrier = GetCarrier();
    for (int depth = 0; carrier != nullptr && depth < kMaxCarrierChain; ++depth) {
        if (carrier->airborne_) return true;
        carrier = carrier->GetCarrier();
    }
    return airborne_;
}

bool Unit::LinkPassenger(Unit& passenger) {
    if (&passenger == this) return false;
    passengerId_ = passenger.id_;
    passenger.carrierId_ = id_;
    return true;
}

void Unit::ReleaseCarryLinks() {
    if (carrierId_ != 0) {
        Unit* carrier = GetCarrier();
        if (carrier != nullptr && carrier->passengerId_ == id_) carrier->passengerId_ = 0;
        carrierId_ = 0;
    }
    if (passengerId_ != 0) {
        Unit* passenger = GetPassenger();
        passengerId_ = 0;
        if (passenger != nullptr && passenger->carrierId_ == id_) {
            passenger->carrierId_ = 0;
            passenger->Kill(true, nullptr);
        }
    }
}

bool Unit::CanLoadUnitOnHex() const {
    if (!IsCarrier() || passengerId_ != 0) return false;
    // Searched among the own side's placed units rather than through the hex lookup, whose answer depends
    // on slot order and on what the computer player's plan hides.
    for (MapUnit* entry : battle_.GetTeamMapUnits(GetTeamKind())) {
        const Unit* other = dynamic_cast<const Unit*>(entry);
        if (other == nullptr || other == this || !(other->hex_ == hex_)) continue;
        if (other->carrierId_ == 0 && other->passengerId_ == 0 && CanCarryType(other->GetType())) return true;
    }
    return false;
}

void Unit::UnlinkPassenger() {
    if (Unit* passenger = GetPassenger(); passenger != nullptr && passenger->carrierId_ == id_) {
        passenger->carrierId_ = 0;
    }
    passengerId_ = 0;
}

bool Unit::CarryStep() {
    Unit* passenger = GetPassenger();
    switch (carryState_) {
        case kCarryDescendToTake:
        case kCarryDescendToDrop: {
            const float target = battle_.GetHexMap().GetUnitHeight(hex_, false) + 1.1f;
            const float change = (target - flightHeight_) * 0.1f;
            flightHeight_ += change;
            if (change < 0.001f && change > -0.001f) {
                carryCounter_ = 25;
                if (carryState_ == kCarryDescendToDrop) {
                    UnlinkPassenger();
                    carryState_ = kCarryDropped;
                } else {
                    carryState_ = kCarrySettled;
                }
            }
            return false;
        }
        case kCarrySettled:
            if (--carryCounter_ >= 1) return false;
            carryState_ = kCarryNone;
            if (passenger != nullptr) passenger->PlayAnimation(IsAircraft() ? "dangle" : "embark", false);
            return true;
        case kCarryDropped:
            if (--carryCounter_ >= 1) return false;
            carryState_ = kCarryNone;
            return true;
        case kCarryBoarding:
            if (passenger != nullptr && !passenger->IsAnimationDone("embark")) return false;
            if (passenger != nullptr) {
                passenger->PlaceOnHex(passenger->hex_);
                passenger->PlayAnimation(GetType() == UT_APC ? "drive" : "idle", false);
            }
            carryState_ = kCarryNone;
            return true;
        default:
            return true;
    }
}

Unit* Unit::FindAdjacentSupplier() const {
    for (int direction = 0; direction < kDirectionCount; ++direction) {
        HexCoord neighbour;
        if (!HexNeighbour(hex_, direction, neighbour)) continue;
        Unit* unit = battle_.FindUnitAt(neighbour);
        if (unit != nullptr && unit->CanResupply(this)) return unit;
    }
    return nullptr;
}

void Unit::Kill(bool removeNow, Unit* killer) {
    if (removeNow) {
        view_->Detach();
        state_ = kUnitGone;
        ReleaseCarryLinks();
        return;
    }
    if (state_ == kUnitDying || state_ == kUnitGone) return;
    if (GetType() == UT_HEAVY_TANK && killer != nullptr && killer->GetType() == UT_GRUNT &&
        killer->GetTeamKind() == kTeamBlue && battle_.GetGameMode() != kGameModePassAndPlay) {
        battle_.UnlockAchievement(kAchievementBehemothTakedown);
    }
    state_ = kUnitDying;
    Die(killer);
}

}  // namespace game
