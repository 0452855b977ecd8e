#pragma once
// The orders besides moving and attacking: engineers capturing, carriers taking and dropping passengers,
// boarding and leaving carriers, trucks resupplying their neighbours, and a scripted kill.
#include "game/battle/hex_path.h"
#include "game/units/unit_order.h"

namespace game {

class Structure;

// Links passenger and carrier. An aircraft descends to take it (carry state 1); a ground carrier waits for
// the passenger's boarding animation (state 5), the passenger turning toward it and losing 10 movement.
void BoardCarrier(Unit& carrier, Unit& passenger);

// A one-step route from the hex toward a neighbour (no step when it is not a neighbour), cost 1.
HexPath OneStepRoute(HexCoord from, HexCoord to, int direction);

class CaptureStructureOrder final : public UnitOrder {
public:
    explicit CaptureStructureOrder(Structure& structure) : structure_(structure) {}
    bool Step(bool first) override;
    int Kind() const override { return kOrderCaptureStructure; }

private:
    Structure& structure_;
};

class CaptureUnitOrder final : public UnitOrder {
public:
    explicit CaptureUnitOrder(int unitId) : unitId_(unitId) {}
    bool Step(bool first) override;
    int Kind() const override { return kOrderCaptureUnit; }

private:
    int unitId_;
};

// Run by the carrier: takes the passenger (id), or with none drops the one it carries.
class PickUpOrder final : public UnitOrder {
public:
    explicit PickUpOrder(int passengerId) : passengerId_(passengerId) {}
    bool Step(bool first) override;
    int Kind() const override { return kOrderPickUp; }

private:
    int passengerId_;
};

class ResupplyNeighboursOrder final : public UnitOrder {
public:
    bool Step(bool first) override;
    int Kind() const override { return kOrderResupplyNeighbours; }

private:
    float timer_ = 0.0f;
};

// Run by the unit that boards: a vehicle drives onto a ferry; anything else is picked up by the carrier.
// Nothing happens unless the unit stands on the carrier's hex or next to it.
class EmbarkOrder final : public UnitOrder {
public:
    explicit EmbarkOrder(int carrierId) : carrierId_(carrierId) {}
    bool Step(bool first) override;
    int Kind() const override { return kOrderEmbark; }

private:
    int carrierId_;
};

// Run by the carrier: a vehicle drives off a ferry; anything else climbs out onto the destination.
class DisembarkOrder final : public UnitOrder {
public:
    explicit DisembarkOrder(HexCoord destination) : destination_(destination) {}
    bool Step(bool first) override;
    int Kind() const override { return kOrderDisembark; }

private:
    HexCoord destination_;
    int passengerId_ = 0;
};

// Drives the route onto the carrier, boards it and then steps the carrier's boarding to its end, so that
// the carrier carries the vehicle (hex and position follow it) once the order is done.
class DriveAboardOrder final : public UnitOrder {
public:
    DriveAboardOrder(const HexPath& route, int carrierId) : route_(route), carrierId_(carrierId) {}
    bool Step(bool first) override;
    int Kind() const override { return kOrderDriveAboard; }

private:
    HexPath route_;
    int carrierId_;
    bool boarded_ = false;
};

// Drives the route off the carrier; costs no movement.
class DriveOffOrder final : public UnitOrder {
public:
    explicit DriveOffOrder(const HexPath& route) : route_(route) {}
    bool Step(bool first) override;
    int Kind() const override { return kOrderDriveOff; }

private:
    HexPath route_;
    float movementLeft_ = 0.0f;
};

class KillOrder final : public UnitOrder {
public:
    explicit KillOrder(bool removeNow) : removeNow_(removeNow) {}
    bool Step(bool first) override;
    int Kind() const override { return kOrderKill; }

private:
    bool removeNow_;
};

}  // namespace game
