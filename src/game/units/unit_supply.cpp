// Fuel and ammunition of a unit against the capacities of its type.
#include "game/units/unit.h"
#include "game/units/unit_tables.h"

namespace game {

namespace {

float Clamp01(float value) { return value < 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value); }

}  // namespace

float Unit::GetMoveAllowance() const {
    const UnitParams& params = GetParams();
    if (params.fuelCapacity != 0.0f && fuel_ < params.moveAllowance) return fuel_;
    return params.moveAllowance;
}

bool Unit::HasAmmo() const { return ammo_ > 0 || GetParams().ammoCapacity == 0; }

bool Unit::NeedsResupply(float fraction, bool ignoreAmmo) const {
    const UnitParams& params = GetParams();
    if (params.ammoCapacity != 0 && !ignoreAmmo &&
        static_cast<float>(ammo_) / static_cast<float>(params.ammoCapacity) < fraction) {
        return true;
    }
    return params.fuelCapacity != 0.0f && fuel_ / params.fuelCapacity < fraction;
}

float Unit::GetFuelFraction(bool& noFuel) const {
    const float capacity = GetParams().fuelCapacity;
    noFuel = capacity == 0.0f;
    return noFuel ? 1.0f : Clamp01(fuel_ / capacity);
}

float Unit::GetAmmoFraction(bool& noAmmo) const {
    const int capacity = GetParams().ammoCapacity;
    noAmmo = capacity == 0;
    return noAmmo ? 1.0f : Clamp01(static_cast<float>(ammo_) / static_cast<float>(capacity));
}

void Unit::StoreFuelAmmo() {
    keptFuel_ = fuel_;
    keptAmmo_ = ammo_;
}

void Unit::RestoreFuelAmmo() {
    fuel_ = keptFuel_;
    ammo_ = keptAmmo_;
}

}  // namespace game
