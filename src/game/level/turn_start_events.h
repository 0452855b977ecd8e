#pragma once
// The steps of a side's turn start: refinery income, service on the side's own build pads, resupply from a
// neighbouring supplier, clearing enemies off the side's factory pads and the fuel loss of airborne
// aircraft. Animated, a step moves the camera, applies its effect, shows its text, plays its sound and waits
// 0.75 s counted in fixed ticks; not animated, it applies its effect and finishes in the same call.
#include "game/battle/hex_coord.h"

namespace game {

class Level;
class Structure;
class TeamManager;
class Unit;

// Whose turn it is and what the steps act on.
struct TurnStartContext {
    Level& level;
    TeamManager& teams;
    bool animated = true;
};

inline constexpr float kTurnStartWait = 0.75f;
inline constexpr float kTurnStartTick = 0.02f;
// The effect a refinery's income shows over it.
inline constexpr const char* kIncomeCoinsEffect = "Particles/Coins";

class TurnStartEvent {
public:
    virtual ~TurnStartEvent() = default;
    // One fixed tick of the step; true when it has finished.
    virtual bool Run(TurnStartContext& context) = 0;
    virtual HexCoord GetHex() const = 0;

protected:
    // The shared wait of step 1: true once it has run out.
    bool Wait();

    int step_ = 0;  // 0 not started, 1 waiting, 2 waiting for the game to settle
    float wait_ = 0.0f;
};

// A unit's step; one whose unit is dying or gone when its turn comes finishes at once with no effect.
class UnitTurnStartEvent : public TurnStartEvent {
public:
    explicit UnitTurnStartEvent(Unit& unit) : unit_(unit) {}
    HexCoord GetHex() const override;
    const Unit& GetUnit() const { return unit_; }
    bool Run(TurnStartContext& context) final;

protected:
    // The first call with a live unit.
    virtual bool Start(TurnStartContext& context) = 0;
    // The later calls; by default the wait.
    virtual bool Continue(TurnStartContext& context);

    Unit& unit_;
};

class IncomeEvent final : public TurnStartEvent {
public:
    IncomeEvent(Structure& refinery, int teamKind) : refinery_(refinery), teamKind_(teamKind) {}
    bool Run(TurnStartContext& context) override;
    HexCoord GetHex() const override;

private:
    Structure& refinery_;
    int teamKind_;
};

class PadServiceEvent final : public UnitTurnStartEvent {
public:
    using UnitTurnStartEvent::UnitTurnStartEvent;

private:
    bool Start(TurnStartContext& context) override;
};

class UnitResupplyEvent final : public UnitTurnStartEvent {
public:
    using UnitTurnStartEvent::UnitTurnStartEvent;

private:
    bool Start(TurnStartContext& context) override;
};

class PadClearEvent final : public UnitTurnStartEvent {
public:
    using UnitTurnStartEvent::UnitTurnStartEvent;

private:
    bool Start(TurnStartContext& context) override;
};

class FuelLossEvent final : public UnitTurnStartEvent {
public:
    using UnitTurnStartEvent::UnitTurnStartEvent;

private:
    bool Start(TurnStartContext& context) override;
    bool Continue(TurnStartContext& context) override;
};

// The money of a refinery step: 50 to every side but the enemy; blue's income outside pass-and-play adds to
// the profile's total, and crossing 1,000,000 earns the millionaire achievement.
void PayRefineryIncome(TurnStartContext& context, int teamKind);

}  // namespace game
