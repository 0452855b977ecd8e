// The computer player's work on single units: the attack choice from a hex, the free move, the landing test
// and the commit of a planner's orders.
#include <utility>

#include "game/ai/computer_player.h"
#include "game/battle/battle_context.h"
#include "game/battle/battle_types.h"
#include "game/battle/hex_path.h"
#include "game/teams/team.h"
#include "game/units/move_orders.h"
#include "game/units/unit_combat.h"

namespace game {
namespace {

constexpr int kMaxCandidates = 128;
constexpr std::uint16_t kMarkComputerRoute = 0x10;

// The unit as the map's fills see it when it stood on another hex (and flew): the attack choice asks the
// fills about a stance without writing it into the unit. It never marks anything.
class StanceView final : public MapUnit {
public:
    StanceView(const Unit& unit, const UnitStance& stance) : unit_(unit), stance_(stance) {}

    int GetType() const override { return unit_.GetType(); }
    HexCoord GetHexPos() const override { return stance_.hex; }
    int GetTeamKind() const override { return unit_.GetTeamKind(); }
    bool IsAirborne() const override { return stance_.airborne; }
    MapUnit* GetPassenger() const override { return unit_.GetPassenger(); }
    MapUnit* GetCarrier() const override { return unit_.GetCarrier(); }
    bool CanStillMove() const override { return unit_.CanStillMove(); }
    bool CanStillAct() const override { return unit_.CanStillAct(); }
    bool CanCarryType(int unitType) const override { return unit_.CanCarryType(unitType); }
    float GetMovementLeft() const override { return unit_.GetMovementLeft(); }
    bool CanAttack(const MapUnit& target) const override {
        const auto* other = dynamic_cast<const Unit*>(&target);
        return other != nullptr && game::CanAttack(unit_, stance_, *other, other->GetStance());
    }
    void GetAttackRange(int& minimum, int& maximum) const override { unit_.GetAttackRange(minimum, maximum); }
    bool IsCarrier() const override { return unit_.IsCarrier(); }
    bool IsDoor() const override { return unit_.IsDoor(); }
    bool IsInSameLayer(const MapUnit& other) const override {
        return &other != &unit_ && other.IsAirborne() == stance_.airborne;
    }
    bool IsAtAltitude(bool airborne) const override { return airborne == stance_.airborne; }
    bool IsArmed() const override { return unit_.IsArmed(); }
    bool CanLoadUnitOnHex() const override { return unit_.CanLoadUnitOnHex(); }
    void SetTargetMark(bool, const MapUnit*) override {}

private:
    const Unit& unit_;
    UnitStance stance_;
};

bool CarriesType(const Unit& unit, int unitType, const Unit*& passenger) {
    if (unit.GetType() == unitType) return true;
    const Unit* rider = unit.GetPassenger();
    if (rider != nullptr && unit.CanCarryType(unitType) && rider->GetType() == unitType) {
        passenger = rider;
        return true;
    }
    return false;
}

}  // namespace

HexMap& ComputerPlayer::PlanMap() {
    if (!planMap_) RefreshPlanMap();
    return *planMap_;
}

void ComputerPlayer::RefreshPlanMap() {
    // The plan's own map: its fills and marks never meet the main thread's, and it marks no unit.
    planMap_ = std::make_unique<HexMap>(ports_.GetHexMap());
    planMap_->SetTargetMarking(false);
}

bool ComputerPlayer::Checkpoint() { return token_ != nullptr ? token_->Checkpoint() : IsCancelled(); }

Unit* ComputerPlayer::ChooseAttackTarget(const AIUnitPlanner& planner, float& score, const HexCoord* hex) {
    score = 0.0f;
    const Unit* attacker = team_.FindUnitById(planner.GetUnitId());
    if (attacker == nullptr) return nullptr;
    UnitStance stance = attacker->GetStance();
    if (hex != nullptr) stance.hex = *hex;
    // An aircraft is judged in the air, also when it stands landed now.
    if (IsAircraftType(attacker->GetType())) stance.airborne = true;

    HexMap& map = PlanMap();
    BattleContext* battle = map.GetBattleContext();
    if (battle == nullptr) return nullptr;
    map.ClearRangeSteps();
    map.ClearMarkBits(kMarkAttack);
    const StanceView view(*attacker, stance);
    map.MarkAttackRangeFromHex(view, stance.hex, nullptr, true);

    HexCoord marked[kMaxCandidates];
    int count = 0;
    for (int r = 0; r < kMapRows && count < kMaxCandidates; ++r) {
        for (int c = 0; c < kMapColumns && count < kMaxCandidates; ++c) {
            const HexCoord at = MakeHexCoord(c, r);
            if (IsValidHex(at) && (map.GetMarkBits(at) & kMarkAttack) != 0) marked[count++] = at;
        }
    }

    Unit* best = nullptr;
    float bestScore = 0.0f;
    int bestValue = 0;
    for (int i = 0; i < count; ++i) {
        Unit* target = battle->FindUnitAt(marked[i]);
        if (target == nullptr || battle->GetTeamControl(target->GetTeamKind()) == kControlNone) continue;
        const UnitStance targetStance = target->GetStance();
        if (!CanAttack(*attacker, stance, *target, targetStance)) continue;
        const float planned = GetPlannedDamage(target->GetId());
        if (planned >= 1.0f) continue;
        const Unit* passenger = nullptr;
        const bool general = CarriesType(*target, UT_GENERAL, passenger);
        const bool engineer = !general && CarriesType(*target, UT_ENGINEER, passenger);
        const int loss = PredictHealthLossPercent(*target, targetStance, *attacker);
        const int value = target->GetCost() + (passenger != nullptr ? passenger->GetCost() : 0);
        const bool kill = loss >= 100 || static_cast<float>(loss) + planned * 100.0f >= 100.0f || general || engineer;
        if (kill) {
            if (value > bestValue || bestScore < 1.0f) {
                best = target;
                bestScore = 1.0f;
                bestValue = general ? 10000 : engineer ? 999 : value;
            }
            if (general || engineer) {
                bestScore = 100.0f;
                break;
            }
            continue;
        }
        float s = static_cast<float>(loss) * 0.01f + planned;
        if (CanCounterAttack(*target, targetStance, attacker, stance, map)) {
            const float back = static_cast<float>(PredictHealthLossPercent(*attacker, stance, *target)) * 0.01f;
            if (back >= 1.0f && attacker->GetType() == UT_GRUNT && target->GetType() != UT_SNIPER &&
                target->GetType() != UT_SUPERSOLDIER) {
                s *= 0.1f;
            } else if (back <= 0.1f) {
                s += 0.1f;
            }
        } else {
            s += target->GetType() == UT_ENGINEER ? 0.8f : target->GetType() == UT_TRUCK ? 0.2f : 0.1f;
        }
        if (s > bestScore) {
            best = target;
            bestScore = s;
            bestValue = value;
        }
    }
    score = bestScore;
    return best;
}

void ComputerPlayer::PendAttack(AIUnitPlanner& planner, const Unit& attacker, const Unit& target) {
    planner.AddPendingOrder(std::make_unique<AttackOrder>(target.GetId(), false));
    AddPlannedDamage(target.GetId(), target.EstimateDamageFrom(attacker, GetPlannedDamage(target.GetId())));
}

bool ComputerPlayer::AttackFromHere(AIUnitPlanner& planner) {
    float score = 0.0f;
    const Unit* target = ChooseAttackTarget(planner, score, nullptr);
    const Unit* attacker = team_.FindUnitById(planner.GetUnitId());
    if (target == nullptr || attacker == nullptr) return false;
    PendAttack(planner, *attacker, *target);
    return true;
}

bool ComputerPlayer::PlanFreeMove(AIUnitPlanner& planner) {
    Unit* unit = team_.FindUnitById(planner.GetUnitId());
    if (unit == nullptr) return false;
    HexMap& map = PlanMap();
    const int type = unit->GetType();
    const HexCoord own = unit->GetHexPos();
    const float ownThreat = map.GetThreat(own, type);
    const float movement = unit->GetMovementLeft();
    const bool startOnHotspot = map.GetTile(own).hotspot != 0;

    map.SetTileScratch(0.0f);
    map.ClearMarkBits(kMarkAll);
    if (!planner.IsImmobilized()) map.MarkMoveRange(*unit);
    HexCoord candidates[kMaxCandidates];
    int count = 0;
    candidates[count++] = own;
    for (int r = 0; r < kMapRows && count < kMaxCandidates; ++r) {
        for (int c = 0; c < kMapColumns && count < kMaxCandidates; ++c) {
            const HexCoord at = MakeHexCoord(c, r);
            if (IsValidHex(at) && !(at == own) && (map.GetMarkBits(at) & kMarkMove) != 0) candidates[count++] = at;
        }
    }
    // The remaining movement of each candidate, read before the attack fills reuse the scratch.
    float moveLeft[kMaxCandidates];
    for (int i = 0; i < count; ++i) moveLeft[i] = map.GetMoveLeft(candidates[i]);

    float bestAttackTotal = 0.0f;
    float bestMoveTotal = 0.0f;
    HexCoord attackHex = own;
    HexCoord moveHex = own;
    Unit* bestTarget = nullptr;
    for (int i = 0; i < count; ++i) {
        if (Checkpoint()) return false;
        const HexCoord c = candidates[i];
        const float threatGain = ownThreat - map.GetThreat(c, type);
        float position = 0.0f;
        if (movement != 0.0f && !(c == own) && map.GetTile(c).hotspot == 0) {
            const float spent = 1.0f - moveLeft[i] / movement;
            if (planner.IsMakingWay() || startOnHotspot) position += 4.0f - 0.1f * static_cast<float>(HexDistance(own, c));
            position -= spent;
        }
        Unit* target = nullptr;
        float attackScore = 0.0f;
        if (unit->IsArmed()) target = ChooseAttackTarget(planner, attackScore, &c);
        if (target != nullptr) {
            const float total = attackScore + threatGain + position;
            if (total > bestAttackTotal) {
                bestAttackTotal = total;
                attackHex = c;
                bestTarget = target;
            }
        } else {
            const float total = 0.5f * threatGain + position;
            if (total > bestMoveTotal && !(c == own)) {
                bestMoveTotal = total;
                moveHex = c;
            }
        }
    }
    if (bestMoveTotal <= 0.0f && bestAttackTotal <= 0.0f) return false;
    HexCoord destination = attackHex;
    if (bestAttackTotal <= 0.0f) {
        destination = moveHex;
        bestTarget = nullptr;
    }
    HexPath route;
    if (!(destination == own) && !map.FindRoute(own, destination, route, type, 2, false)) return false;
    if (route.count > 0) {
        planner.AddPendingOrder(std::make_unique<FollowPathOrder>(route));
        SetUnitPlannedTile(planner.GetUnitId(), destination);
    }
    if (bestTarget != nullptr) PendAttack(planner, *unit, *bestTarget);
    return true;
}

bool ComputerPlayer::ShouldLand(const AIUnitPlanner& planner) {
    Unit* unit = team_.FindUnitById(planner.GetUnitId());
    if (unit == nullptr || !IsAircraftType(unit->GetType())) return false;
    const HexCoord hex = unit->GetHexPos();
    if (!IsValidHex(hex)) return false;
    // The threats are the plan's: the map scan writes them to the plan's map only, which lives on past the
    // plan until the next turn's plan starts.
    const HexMap& map = PlanMap();
    BattleContext* battle = map.GetBattleContext();
    const Unit* standing = battle != nullptr ? battle->FindUnitAt(hex) : nullptr;
    if (standing != nullptr && standing != unit) return false;
    const HexTile& tile = map.GetTile(hex);
    if (tile.terrain == kTerrainWater || tile.terrain == kTerrainLand2) return false;
    if (tile.terrain == kTerrainLand && tile.objectClass == kObjectFeature) return false;
    const float tankThreat = map.GetThreat(hex, UT_LIGHT_TANK);
    return tankThreat < map.GetThreat(hex, unit->GetType()) && tankThreat < 1.0f;
}

bool ComputerPlayer::CommitOrders(AIUnitPlanner& planner) {
    if (planner.GetPendingCount() == 0) return false;
    Unit* unit = team_.FindUnitById(planner.GetUnitId());
    auto orders = planner.TakePendingOrders();
    if (unit == nullptr) return false;
    HexMap& map = ports_.GetHexMap();
    bool moves = false;
    for (auto& order : orders) {
        if (!order) break;
        if (order->Kind() == kOrderFollowPath) {
            moves = true;
            HexList hexes;
            map.PathToHexList(hexes, static_cast<const FollowPathOrder&>(*order).GetRoute());
            for (int i = 0; i < hexes.count; ++i) {
                const HexCoord at = hexes.hexes[static_cast<std::size_t>(i)];
                map.SetMarkBits(at, static_cast<std::uint16_t>(map.GetMarkBits(at) | kMarkComputerRoute));
            }
        }
        unit->QueueOrder(std::move(order));
    }
    if (moves) {
        ports_.FollowUnit(*unit);
    } else {
        ports_.LookAtUnit(*unit);
    }
    return true;
}

}  // namespace game
