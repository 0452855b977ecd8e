#include "game/units/move_orders.h"

#include <memory>

#include "engine/core/random_streams.h"
#include "game/battle/battle_context.h"
#include "game/battle/hex_map.h"
#include "game/units/action_orders.h"
#include "game/units/projectile_manager.h"
#include "game/units/unit.h"
#include "game/units/unit_services.h"

namespace game {

namespace {

constexpr int kStrictSearch = 2;
constexpr int kSpeechCheer = 36;
constexpr float kAttackPause = 0.5f;

bool ProjectilesInFlight(Unit& unit) {
    const ProjectileManager* projectiles = unit.Services().GetProjectiles();
    return projectiles != nullptr && projectiles->IsBusy();
}

// The shots of a unit are over once none is in flight and, with zoomed battles, its firing has ended.
bool ShotsOver(Unit& unit, Unit& firing) {
    const BattleContext& battle = unit.Battle();
    const bool animations = (battle.GetOptionBits() & kOptionZoomBattles) != 0 && !battle.IsFastForward();
    return (!animations || firing.IsFiringFinished()) && !ProjectilesInFlight(unit);
}

}  // namespace

void FinishMove(Unit& unit) {
    if (unit.AfterMove()) unit.QueueOrder(std::make_unique<ResupplyNeighboursOrder>());
    if (unit.NeedsResupply(1.0f, false) && unit.FindAdjacentSupplier() != nullptr) unit.Resupply(false);
    unit.StopTrackSmoke();
}

bool MoveOrder::GetTargetHex(HexCoord& out) const {
    out = destination_;
    return true;
}

bool MoveOrder::Step(bool first) {
    Unit& unit = *GetUnit();
    unit.PrepareTrackSmoke();
    if (first) {
        HexMap& map = unit.Battle().GetHexMap();
        map.SetTileScratch(0.0f);
        map.FloodMoveBudget(unit.GetHexPos(), unit, unit.GetMoveAllowance());
        if (!map.FindRoute(unit.GetHexPos(), destination_, route_, unit.GetType(), kStrictSearch, false)) return true;
        map.ClearMarkBits(kMarkAll);
        unit.StartRoute(route_);
    }
    unit.StepAlongPath();
    if (!unit.IsPathDone()) return false;
    FinishMove(unit);
    return true;
}

bool FollowPathOrder::Step(bool first) {
    Unit& unit = *GetUnit();
    unit.PrepareTrackSmoke();
    if (first) {
        unit.Battle().GetHexMap().MarkMoveRange(unit);
        unit.StartRoute(route_);
    }
    unit.StepAlongPath();
    if (!unit.IsPathDone()) return false;
    FinishMove(unit);
    return true;
}

AttackOrder::~AttackOrder() { EndZoom(); }

void AttackOrder::EndZoom() {
    if (!zoomed_ || GetUnit() == nullptr) return;
    zoomed_ = false;
    GetUnit()->Services().EndBattleZoom();
}

bool AttackOrder::Step(bool first) {
    Unit& unit = *GetUnit();
    BattleContext& battle = unit.Battle();
    Unit* target = battle.FindUnitById(targetId_);
    if (target == nullptr) {
        EndZoom();
        return true;
    }
    if (first) {
        unit.SetActionsUsed(unit.GetActionsUsed() + 1);
        if (target->GetState() == kUnitGone) return true;
        state_ = 1;
        unit.Services().StartBattleZoom(unit, *target);
        zoomed_ = true;
    }
    switch (state_) {
        case 1:
            if (unit.AimAtTarget(target)) {
                timer_ = kAttackPause;
                state_ = 2;
            }
            return false;
        case 2:
            timer_ -= kUnitTick;
            if (timer_ <= 0.0f) {
                unit.Fire(target);
                state_ = 3;
            }
            return false;
        case 3:
            if (!ShotsOver(unit, unit) || target->GetState() == kUnitDying) return false;
            if (target->GetState() == kUnitGone) {
                unit.PlayAnimation("w00t", false);
                unit.Services().PlaySpeech(unit.GetTeamKind(), kSpeechCheer + battle.GetRandomStreams().NextInt(0, 3, 0));
            }
            unit.IdleUpdate();
            if (!noRetaliation_ && target->CanCounterAttack(&unit, battle.GetHexMap()) &&
                target->QueueOrder(std::make_unique<AttackOrder>(unit.GetId(), true)) != nullptr) {
                state_ = 4;
            } else {
                timer_ = kAttackPause;
                state_ = 5;
            }
            return false;
        case 4:
            unit.IdleUpdate();
            // The answer is over once the target's own attack order has run, not merely while no shot
            // flies: during its aim and pause nothing is in flight yet.
            if (target->GetState() != kUnitRunningOrders && ShotsOver(unit, *target)) {
                timer_ = kAttackPause;
                state_ = 5;
            }
            return false;
        case 5:
            unit.IdleUpdate();
            if ((battle.GetOptionBits() & kOptionInstantMove) != 0 || battle.IsFastForward()) timer_ = 0.0f;
            if (timer_ == 0.0f) {
                // A type with unlimited ammunition keeps 0 rather than going below it.
                if (unit.GetAmmo() > 0) unit.SetAmmo(unit.GetAmmo() - 1);
                EndZoom();
                return true;
            }
            timer_ -= kUnitTick;
            if (timer_ <= 0.0f) timer_ = 0.0f;
            return false;
        default:
            EndZoom();
            return true;
    }
}

}  // namespace game
