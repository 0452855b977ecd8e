// Carrier links kept by unit id, the lookups around a unit's hex, and killing a unit.
#include "game/battle/battle_context.h"
#include "game/battle/battle_types.h"
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
    const Unit* other = battle_.FindUnitAt(hex_);
    if (other == nullptr || other == this || other->carrierId_ != 0 || other->passengerId_ != 0) return false;
    return other->GetTeamKind() == GetTeamKind() && CanCarryType(other->GetType());
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
