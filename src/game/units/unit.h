#pragma once
// The base of every unit on the battle map: what a unit is in the rules (hex, health, fuel, ammunition,
// movement, orders, carrier links, promotion) and the default behaviour of its virtual operations. One class
// per unit type derives from it (unit_catalogue.h); units are made only by CreateUnit (unit_factory.h).
//
// Everything outside the unit is reached through the battle context (other units, the map, the random
// streams, the game's options), its side through UnitTeam and its model through UnitView. A unit is used on
// the main thread; the computer player's worker may create logic-only units and read units while it plans.
#include <array>
#include <cstdint>
#include <memory>

#include "engine/core/vector.h"
#include "game/battle/hex_path.h"
#include "game/battle/map_unit.h"
#include "game/units/unit_order.h"
#include "game/units/unit_view.h"

namespace engine {
class RenderTargetBase;
class SceneNode;
}  // namespace engine

namespace game {

class BattleContext;
class HexMap;
class ScreenProjector;
class Structure;
class TextPainter;
class UnitServices;
class UnitTeam;
struct UnitParams;

// Where a unit stands for the combat rules: its hex and whether it flies. The unit's own stance is
// GetStance(); the computer player asks the same rules with stances it plans.
struct UnitStance {
    HexCoord hex;
    bool airborne = false;
};

// Unit states.
enum UnitState : int {
    kUnitNotPlaced = 0,
    kUnitIdle = 1,
    kUnitRunningOrders = 2,
    kUnitDying = 3,
    kUnitGone = 4,
};

// Domains (GetDomain) and categories (GetCategory).
inline constexpr int kDomainLand = 0;
inline constexpr int kDomainAir = 1;
inline constexpr int kDomainSea = 2;
inline constexpr int kCategoryDoor = 0;
inline constexpr int kCategoryVehicle = 2;
inline constexpr int kCategoryAir = 3;
inline constexpr int kCategoryShip = 4;
inline constexpr int kCategoryInfantry = 5;

// Level sounds of moving units.
inline constexpr int kSoundNone = 0;
inline constexpr int kSoundSoftMove = 26;
inline constexpr int kSoundLandMove = 27;
inline constexpr int kSoundLandStop = 28;
inline constexpr int kSoundWheeledMove = 29;
inline constexpr int kSoundWheeledStop = 30;
inline constexpr int kSoundSeaMove = 31;
inline constexpr int kSoundSeaStop = 32;
inline constexpr int kSoundAirborneMove = 33;

// Achievement unlocked when a heavy tank falls to a blue grunt.
inline constexpr int kAchievementBehemothTakedown = 7;

inline constexpr int kMaxQueuedOrders = 6;

// A game tick in seconds: the units' timers count down by it.
inline constexpr float kUnitTick = 0.02f;

// Carry states of a carrier during pick-ups and drops.
enum CarryState : int {
    kCarryNone = 0,
    kCarryDescendToTake = 1,
    kCarrySettled = 2,
    kCarryDescendToDrop = 3,
    kCarryDropped = 4,
    kCarryBoarding = 5,
};

// Achievements the kills unlock.
inline constexpr int kAchievementFirstSergeant = 6;
inline constexpr int kAchievementKills100 = 8;
inline constexpr int kAchievementKills1000 = 9;
inline constexpr int kAchievementSniperSchool = 13;

// What a move changes in a unit: kept before a move so that the move can be taken back.
struct UnitMoveState {
    HexCoord hex;
    engine::Vec3 position;
    int facing = 0;
    int yaw = 0;
    float movementAtPathStart = 0.0f;
    float movementLeft = 0.0f;
    bool airborne = false;
    float flightHeight = 0.0f;
    float fuel = 0.0f;
    int targetsAfterMove = -1;
    float health = 0.0f;
    int ammo = 0;
};

class Unit : public MapUnit {
public:
    // A unit with its model, or a logic-only unit: no model and no draw from random stream 0, as the
    // computer player's worker makes them; Deploy adds the model later on the main thread.
    enum class Presentation { kWithModel, kLogicOnly };

    // Runs the base construction: state 1, full health, a random facing (0 for a logic-only unit), all
    // other fields zero and targetsAfterMove -1. The model is made by AttachPresentation.
    Unit(BattleContext& battle, UnitTeam* team, Presentation presentation);
    // Deletes the orders, releases the carrier links (a carried passenger is killed at once) and deletes
    // the model.
    ~Unit() override;
    Unit(const Unit&) = delete;
    Unit& operator=(const Unit&) = delete;

    // --- Class constants (every class supplies them) -------------------------------------------------
    int GetType() const override = 0;  // 1..24
    virtual int GetDomain() const = 0;  // kDomainLand, kDomainAir or kDomainSea
    virtual bool MovesOnLand() const = 0;
    virtual bool CrossesRoughTerrain() const = 0;
    virtual bool CrossesWater() const = 0;
    virtual bool GetLandFlag() const = 0;  // equals MovesOnLand in every class
    virtual bool IsAircraft() const = 0;
    virtual bool IsAirOrWarship() const = 0;
    // Read by CanAttack: a unit that can hit aircraft but not landed ones cannot attack a grounded aircraft.
    virtual bool CanHitLandedAircraft() const = 0;
    virtual bool CanHitAircraft() const = 0;
    bool IsArmed() const override = 0;
    virtual int GetCategory() const = 0;  // kCategoryDoor ... kCategoryInfantry

    // --- Operations with a base behaviour ------------------------------------------------------------
    // Consulted by the computer player's move planning; true in every class.
    virtual bool TypeFlag13() const { return true; }
    // True when a neighbour hex costs more than 0 and no more than the movement left.
    bool CanStillMove() const override;
    // Armed or an engineer, with ammunition, and no action used this turn.
    bool CanStillAct() const override;
    // Carriers answer for the types they take; false in the base.
    bool CanCarryType(int unitType) const override;
    virtual bool IsSoftTarget() const;
    // Death effects: crater and scorch of a heavy unit, then the explosion of its place (air, water or
    // ground); infantry classes play their own.
    virtual void Die(Unit* killer);
    // True when the death timer (shakeTimer) has run out.
    // Called by Tick only, once per tick while dying: a crashing aircraft falls a step in it.
    virtual bool IsDeathFinished();
    // Per frame (not in states 0 and 4): hangs a loose model, shakes a hit unit, then the tint and the
    // passenger's place.
    virtual void UpdateAnimation();
    // Per tick: flight height, the wait timer, the idle update and the order queue, the end of a death.
    virtual void Tick();
    virtual bool ContainsNode(const engine::SceneNode* node) const;
    float GetMovementLeft() const override;
    virtual void SetMovementLeft(float movement);
    // The combat rule with both units' own stances; false for a map unit that is not a Unit.
    bool CanAttack(const MapUnit& target) const override;
    // The range columns of the type's figures.
    void GetAttackRange(int& minimum, int& maximum) const override;
    virtual void PlayShoot();
    // Stands the unit on the hex: position = the hex's surface point, model turned to the facing.
    virtual void PlaceOnHex(HexCoord hex);
    // A hit, rounded up to whole percent: shake, health, death or hit reaction, speech and the text.
    virtual void TakeDamage(float damage, Unit* attacker);
    // Aircraft lift off or land; nothing in the base.
    virtual void SetAirborne(bool airborne);
    bool IsCarrier() const override;
    // Airborne: (x, flightHeight + 0.25, z); else (x, y + 0.3, z).
    virtual void GetAimPoint(engine::Vec3& out) const;
    // True when the unit resupplies a neighbour after each completed move; false in the base.
    virtual bool AfterMove();
    // True when this unit can resupply the other; false in the base.
    virtual bool CanResupply(const Unit* unit) const;
    // Refills fuel and ammunition; unless silent with a wait, a text, an effect and a sound.
    virtual void Resupply(bool silent);
    virtual void CelebrateOrDespair(bool celebrate);
    // Called on the target when shots are launched at it.
    virtual void Cower(Unit* attacker);
    // Level sound looped while moving: 33 airborne, 26 soft target, 27 on land or unable to cross water,
    // else 31.
    virtual int GetMoveLoopSound() const;
    // Level sound when a move ends: 0 airborne or soft target, 28 land, 32 sea.
    virtual int GetStopSound() const;
    bool IsDoor() const override;
    virtual bool IsCapturable() const;
    // False for itself, else IsAtAltitude(other is airborne).
    bool IsInSameLayer(const MapUnit& other) const override;
    // True when IsAirborne equals the argument; a type that is not an aircraft type answers false for
    // airborne.
    bool IsAtAltitude(bool airborne) const override;
    // False while not placed, dying, gone or jumping; else scale 1, the position and the bar height.
    virtual bool GetHealthBarPlacement(float& scale, engine::Vec3& position, float& height) const;
    virtual void ReturnToIdle();
    // One tick of walking the route: a hex step is a walk or, across a level change or the wading edge, a
    // jump; the end of a step stands the unit on the next hex and the end of the route settles fuel.
    virtual void StepAlongPath();
    // Turns the model toward the target the short way; true when aimed, false while a battle zoom runs.
    virtual bool AimAtTarget(Unit* target);
    // Called each tick while idle and while an attack waits.
    virtual void IdleUpdate();
    virtual void Fire(Unit* target);
    // May advance a class's firing animation (the grenadier throws in it); called by the attack order.
    virtual bool IsFiringFinished();
    // Name of the model material that takes the side's tint.
    virtual const char* GetTeamMaterialName() const;
    virtual void HitReaction(Unit* attacker);

    // --- Tick, movement and presentation ------------------------------------------------------------------
    // Not scripted with no movement left, at the route's end, or idle.
    bool IsPathDone() const;
    // At the route's end or idle, whatever the movement left: the end of drives that cost no movement.
    bool IsRouteDone() const;
    // Aircraft settle toward the height of their hex (1.1 higher, slower, while carrying).
    void UpdateFlightHeight();
    // The flash, highlight, target pulse or darkened look, or the plain team material.
    void UpdateTeamTint();
    void SyncPassengerModel();
    // "idle", or with chance 1 in 16 one of "bored1".."bored5", started from the beginning.
    void PlayIdleAnimation();
    // Per frame in screen space: the target mark's predicted loss, the rank badge, the health bar and the
    // supply warnings at the projected aim point (nothing while a computer side plays). The sheet is the
    // GUI sheet's texture handle.
    void DrawInfoOverlay(engine::RenderTargetBase& target, const ScreenProjector& projector, TextPainter& painter,
                         std::uint32_t sheet) const;
    // The start of a walk: the route copied in with the movement the last flood left on each of its hexes,
    // lift-off, carrier links released, the step reset and the track smoke hung.
    void StartRoute(const HexPath& path);
    // Before each step of a walking order: a land vehicle gets its track smoke.
    void PrepareTrackSmoke();
    void StopTrackSmoke();
    // A land vehicle's track smoke made if it has none and hung under its model, unturned (a unit shown
    // outside the battle, such as the turn announcer's walker).
    void HangTrackSmoke();
    const HexPath& GetRoute() const { return route_; }
    int GetSubStep() const { return subStep_; }
    bool IsJumping() const { return jumping_; }
    float GetMovementAtPathStart() const { return movementAtPathStart_; }
    // Plays an animation on the model; false when it has none of that name or no player.
    bool PlayAnimation(const char* name, bool restart);
    // True unless that animation is playing and not finished: a model without it never holds a wait.
    bool IsAnimationDone(const char* name) const;
    UnitServices& Services() const;

    // --- Combat ---------------------------------------------------------------------------------------
    UnitStance GetStance() const { return {hex_, IsAirborne()}; }
    float GetDamageMultiplier(const Unit& target) const;
    float DamageAgainst(const Unit& target) const;
    int PredictHealthLossPercent(const Unit& attacker) const;
    float EstimateDamageFrom(const Unit& attacker, float margin) const;
    // The attacked unit answers when it can attack the attacker from where it stands; marks on the map only.
    bool CanCounterAttack(const Unit* attacker, HexMap& map) const;
    // Counts the kill, the profile's counters and achievements, and promotes on the 3rd and 8th kill.
    void CreditKill(Unit& victim);
    float GetShakeTimer() const { return shakeTimer_; }
    void SetWaitTimer(float seconds) { waitTimer_ = seconds; }

    // --- Carrying -------------------------------------------------------------------------------------
    int GetCarryState() const { return carryState_; }
    void SetCarryState(int state) { carryState_ = state; }
    int GetCarryCounter() const { return carryCounter_; }
    // One step of a pick-up or drop on the carrier; true when it has ended.
    bool CarryStep();
    // Clears the passenger's link to this carrier and the carrier's to it.
    void UnlinkPassenger();
    // Clears only the carrier's side of the link (a passenger climbing out keeps its own until it stands).
    void UnlinkPassengerSide() { passengerId_ = 0; }
    void ClearCarrierId() { carrierId_ = 0; }

    // --- Capturing (the engineer's class supplies the steps) -----------------------------------------------
    // Sets the capture timers when a capture starts; nothing in the base.
    virtual void BeginCapture() {}
    // One step of capturing; true when the capture has ended. The base ends at once.
    virtual bool CaptureStructureStep(Structure& structure);
    virtual bool CaptureUnitStep(Unit& unit);

    // --- Accessors -----------------------------------------------------------------------------------
    HexCoord GetHexPos() const final { return hex_; }
    // Stores the hex without placing the unit (units created unplaced, saved games).
    void SetHexPos(HexCoord hex) { MoveToHex(hex); }
    // The position; y is the flight height while airborne.
    engine::Vec3 GetWorldPos() const;
    // x and z of the position.
    engine::Vec2 GetGroundPos() const { return {position_.x, position_.z}; }
    float GetHealth() const { return health_; }
    void SetHealth(float health) { health_ = health; }
    void RepairFully() { health_ = 1.0f; }
    float GetFuel() const { return fuel_; }
    void SetFuel(float fuel) { fuel_ = fuel; }
    int GetAmmo() const { return ammo_; }
    void SetAmmo(int ammo) { ammo_ = ammo; }
    int GetFacing() const { return facing_; }
    void SetFacing(int facing) { facing_ = facing; }
    int GetYaw() const { return yaw_; }
    float GetFlightHeight() const { return flightHeight_; }
    void SetFlightHeight(float height) { flightHeight_ = height; }
    UnitMoveState GetMoveState() const;
    // Puts the values back and stands the model where the unit now is.
    void SetMoveState(const UnitMoveState& state);
    UnitView& GetView() const { return *view_; }
    // True once the model has been made (at creation, or by Deploy for a logic-only unit).
    bool HasPresentation() const { return hasPresentation_; }
    int GetState() const { return state_; }
    UnitTeam* GetTeam() const { return team_; }
    // The side's kind, 0 without a side.
    int GetTeamKind() const final;
    int GetId() const { return id_; }
    void SetId(int id) { id_ = id; }
    int GetHighlight() const { return highlight_; }
    void SetHighlight(int highlight) { highlight_ = highlight; }
    bool IsTargetMarked() const { return targetMarked_; }
    int GetPredictedLossPercent() const { return predictedLossPercent_; }
    int GetAIGoalId() const { return aiGoalId_; }
    void SetAIGoalId(int id) { aiGoalId_ = id; }
    bool IsScripted() const { return scripted_; }
    void SetScripted(bool scripted) { scripted_ = scripted; }
    int GetActionsUsed() const { return actionsUsed_; }
    void SetActionsUsed(int actions) { actionsUsed_ = actions; }
    int GetTargetsAfterMove() const { return targetsAfterMove_; }
    float GetWaitTimer() const { return waitTimer_; }
    float GetHealthAtTurnStart() const { return healthAtTurnStart_; }
    int GetKills() const { return kills_; }
    int GetRank() const { return rank_; }
    // A saved promotion rank.
    void SetRank(int rank) { rank_ = rank; }
    // The type's price.
    int GetCost() const;
    // The own airborne flag as stored (saved games restore it); lift-off and landing go through SetAirborne.
    bool GetAirborneFlag() const { return airborne_; }
    void SetAirborneFlag(bool airborne) { airborne_ = airborne; }
    // The type's figures (record 0, all zero, for a type outside the tables).
    const UnitParams& GetParams() const;

    // --- Carrier links (by id) -----------------------------------------------------------------------
    // Airborne itself, or carried (at any depth) by an airborne carrier.
    bool IsAirborne() const final;
    // The units whose ids are stored, looked up in the battle; null when gone.
    Unit* GetCarrier() const final;
    Unit* GetPassenger() const final;
    int GetCarrierId() const { return carrierId_; }
    int GetPassengerId() const { return passengerId_; }
    // Links the passenger to this carrier both ways; false for the unit itself.
    bool LinkPassenger(Unit& passenger);
    // A carrier without passenger and the other unit on its hex: same side, riding and carrying nothing,
    // of a type it takes.
    bool CanLoadUnitOnHex() const final;
    // The first neighbour (directions 0..5) that can resupply this unit, or null.
    Unit* FindAdjacentSupplier() const;

    // --- Fuel and ammunition -------------------------------------------------------------------------
    // The type's allowance; for a fuel user no more than the fuel left.
    float GetMoveAllowance() const;
    // Ammunition left, or a type with unlimited ammunition.
    bool HasAmmo() const;
    // True when a capacity the type has is filled below the fraction (ammunition only unless ignored).
    bool NeedsResupply(float fraction, bool ignoreAmmo) const;
    // Level over capacity in 0..1; a type without the capacity gives 1 and sets the flag.
    float GetFuelFraction(bool& noFuel) const;
    float GetAmmoFraction(bool& noAmmo) const;
    void StoreFuelAmmo();
    void RestoreFuelAmmo();

    // --- Orders and states ---------------------------------------------------------------------------
    // Appends the order, gives it this unit and sets state 2. Refused (null, the order destroyed) when six
    // orders are queued or the unit is not idle or running orders (a dying unit is not revived, an unplaced
    // one not put into the lookups).
    UnitOrder* QueueOrder(std::unique_ptr<UnitOrder> order);
    // Puts the order into queue place 0..5 the same way, replacing (and destroying) the order there, or
    // appending when the place is the next free one. Refused (null, the order destroyed) for any other
    // place, so that the queue never has a gap and nothing is written past its six places.
    UnitOrder* SetOrderAt(std::unique_ptr<UnitOrder> order, int index);
    void DeleteOrders();
    // DeleteOrders, then state 1.
    void CancelOrders();
    // The last move order before queue place `before`, with its place; null (index unchanged) when none.
    UnitOrder* FindLastMoveOrder(int before, int& index) const;
    int GetOrderCount() const { return orderCount_; }
    // The queued order at a place, or null.
    UnitOrder* GetOrder(int index) const;
    // Setting 1 deletes all orders; setting 2 with an empty queue gives 1.
    void SetState(int state);
    void StartWaitTimer() { waitTimer_ = 1.0f; }
    // True while the wait timer runs or the unit runs orders or dies. Under instant move or fast-forward the
    // wait timer is cleared first.
    bool IsBusy();
    // Movement for the new turn, health at turn start, no actions used, targets after move unknown.
    void StartTurn();

    // --- Placement and presentation ------------------------------------------------------------------
    // Makes the model of a unit that has none: the view, the model from the type's prototype hung under the
    // world (the door's under the level model), the side's tint and the first animation ("idle", or
    // "stoodidle" when the model has it and no level is being set up). Main thread only.
    void AttachPresentation();
    // Only in state 0: adds the model if missing, faces at random, stands on its hex, takes the flight
    // height, becomes idle, lifts off (aircraft), shows the build effect and charges the side the price.
    void Deploy();
    void PlayBuildEffect();
    // Sets the side and puts its tint on the model.
    void SetTeam(UnitTeam* team);
    // Hands the unit over to the side of that kind.
    void ChangeTeam(int teamKind);
    void SetTargetMark(bool marked, const MapUnit* attacker) final;
    // Turns the model toward the other unit (not when both ground-plane differences are below 0.0001).
    void FaceUnit(const Unit& other);
    // removeNow: the model is detached, state 4 and the carrier links released (a carried passenger is
    // removed too). Otherwise the unit starts dying (state 3); a killed heavy tank may unlock an
    // achievement. A dying or gone unit is not killed again except to remove it.
    void Kill(bool removeNow, Unit* killer);

    BattleContext& Battle() const { return battle_; }

protected:
    // Called once the model has been made: the classes find their parts here.
    virtual void OnModelBuilt() {}
    // Turns the model about Y by the angle, standing at the position.
    void SetModelRotation(float degrees);
    void ReleaseCarryLinks();

    HexPath route_;
    // Every change of the hex goes through here: the side keeps an index of its units by hex.
    void MoveToHex(HexCoord hex);
    HexCoord hex_;  // written only through MoveToHex
    engine::Vec3 position_;
    UnitTeam* team_ = nullptr;
    int state_ = kUnitIdle;
    int highlight_ = 0;
    bool targetMarked_ = false;
    int facing_ = 0;
    int yaw_ = 0;
    int subStep_ = 0;
    float movementLeft_ = 0.0f;
    float health_ = 1.0f;
    int predictedLossPercent_ = 0;
    float shakeTimer_ = 0.0f;
    int actionsUsed_ = 0;
    int targetsAfterMove_ = -1;
    int id_ = 0;
    bool scripted_ = false;
    int carrierId_ = 0;
    int passengerId_ = 0;
    bool airborne_ = false;
    float flightHeight_ = 0.0f;
    int carryState_ = 0;
    int carryCounter_ = 0;
    int aiGoalId_ = 0;
    float waitTimer_ = 0.0f;
    std::array<std::unique_ptr<UnitOrder>, kMaxQueuedOrders> orders_;
    int orderCount_ = 0;
    int lastSteppedOrderId_ = 0;
    bool jumping_ = false;
    bool stepFinished_ = false;
    float fuel_ = 0.0f;
    int ammo_ = 0;
    float movementAtPathStart_ = 0.0f;
    float healthAtTurnStart_ = 0.0f;
    int kills_ = 0;
    int rank_ = 0;
    float keptFuel_ = 0.0f;
    int keptAmmo_ = 0;

    std::array<float, kMaxPathSteps + 1> routeMoveLeft_{};
    int moveLoopSound_ = 0;
    int trackSmoke_ = 0;

private:
    void ApplyTeamTint();
    // Standing height of a hex for walking and jumping: the surface, lower on the wading terrain.
    float StandingHeight(HexCoord hex) const;
    void FinishStep(HexCoord next);

    BattleContext& battle_;
    std::unique_ptr<UnitView> view_;
    bool hasPresentation_ = false;
};

}  // namespace game
