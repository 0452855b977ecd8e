#include "game/ai/front_goal.h"

#include <algorithm>

#include "game/ai/computer_player.h"
#include "game/ai/shuffle_bag.h"
#include "game/ai/unit_goals.h"
#include "game/battle/structure_manager.h"
#include "game/battle/structure_types.h"
#include "game/level/hex_object_list.h"
#include "game/battle/battle_context.h"
#include "game/battle/hex_path.h"
#include "game/teams/team.h"

namespace game {
namespace {

constexpr float kNoRouteCost = 100000.0f;
constexpr int kCandidateSlots = 12;
constexpr float kCandidateStartCost = 10000.0f;

bool IsIdleFree(const Unit& unit) { return unit.GetState() == kUnitIdle && unit.GetAIGoalId() == 0; }

}  // namespace

AIFrontGoal::AIFrontGoal(ComputerPlayer& player, int teamKind, float weight, HexCoord hex)
    : player_(player), teamKind_(teamKind), centre_(hex), weight_(weight) {}

AIFrontGoal::~AIFrontGoal() { ReleaseSquad(); }

Unit* AIFrontGoal::FindUnit(int unitId) const {
    BattleContext* battle = player_.Battle();
    return battle != nullptr && unitId != 0 ? battle->FindUnitById(unitId) : nullptr;
}

// --- Score -----------------------------------------------------------------------------------------------

void AIFrontGoal::Score() {
    score_ = 0.2f;
    SurveyArea();
    RefreshTargets();
    if (targetCount_ == 0) {
        score_ = 0.0f;
        ReleaseSquad();
        return;
    }
    bool general = false;
    bool engineer = false;
    for (int i = 0; i < targetCount_; ++i) {
        general = general || targets_[static_cast<std::size_t>(i)].unitType == UT_GENERAL;
        engineer = engineer || targets_[static_cast<std::size_t>(i)].unitType == UT_ENGINEER;
    }
    if (general) {
        score_ += 10.0f;
    } else if (engineer) {
        score_ += 1.0f;
    }
    UpdateSquad();
    score_ += squadCount_ == 0 ? 5.0f : weight_;
}

void AIFrontGoal::SurveyArea() {
    supporterCount_ = 0;
    HexMap& map = player_.PlanMap();
    BattleContext* battle = map.GetBattleContext();
    if (battle == nullptr) return;
    map.ClearMarkBits(kMarkAll);
    map.ClearRangeSteps();
    map.MarkReach(centre_, 0, kFrontRadius);
    for (int r = 0; r < kMapRows; ++r) {
        for (int c = 0; c < kMapColumns; ++c) {
            const HexCoord hex = MakeHexCoord(c, r);
            if (!IsValidHex(hex) || map.GetMarkBits(hex) == 0) continue;
            Unit* unit = battle->FindUnitAt(hex);
            if (unit == nullptr || battle->GetTeamControl(unit->GetTeamKind()) == kControlNone) continue;
            if (unit->GetTeamKind() == teamKind_) {
                if (unit->IsArmed() && IsIdleFree(*unit) && supporterCount_ < kMaxSupporters) {
                    supporters_[static_cast<std::size_t>(supporterCount_++)] = unit->GetId();
                }
                continue;
            }
            if (player_.GetUnitClaim(unit->GetId()) != 0) continue;
            if (targetCount_ >= kMaxFrontTargets) return;
            bool known = false;
            for (int i = 0; i < targetCount_; ++i) known = known || targets_[static_cast<std::size_t>(i)].unitId == unit->GetId();
            if (known) continue;
            targets_[static_cast<std::size_t>(targetCount_++)] = {unit->GetId(), unit->GetType()};
            ++targetsByType_[static_cast<std::size_t>(unit->GetType())];
            player_.SetUnitClaim(unit->GetId(), GetId());
        }
    }
}

void AIFrontGoal::RefreshTargets() {
    int columns = 0;
    int rows = 0;
    int kept = 0;
    float bonus = 0.0f;
    for (int i = 0; i < targetCount_; ++i) {
        const Target target = targets_[static_cast<std::size_t>(i)];
        const Unit* unit = FindUnit(target.unitId);
        if (unit != nullptr) player_.SetUnitClaim(target.unitId, GetId());
        if (unit == nullptr || HexDistance(unit->GetHexPos(), centre_) > kFrontRadius) {
            --targetsByType_[static_cast<std::size_t>(target.unitType)];
            continue;
        }
        columns += unit->GetHexPos().column;
        rows += unit->GetHexPos().row;
        bonus += target.unitType == UT_BOMBER ? 2.0f : 0.2f;
        targets_[static_cast<std::size_t>(kept++)] = target;
    }
    targetCount_ = kept;
    if (kept == 0) return;
    centre_ = MakeHexCoord(columns / kept, rows / kept);
    score_ += bonus;
}

void AIFrontGoal::ReleaseSquad() {
    for (int i = 0; i < squadCount_; ++i) {
        if (Unit* unit = FindUnit(squad_[static_cast<std::size_t>(i)].unitId)) unit->SetAIGoalId(0);
    }
    squadCount_ = 0;
    squadByType_.fill(0);
}

// --- Squad ----------------------------------------------------------------------------------------------

bool AIFrontGoal::InSquad(int unitId) const {
    for (int i = 0; i < squadCount_; ++i) {
        if (squad_[static_cast<std::size_t>(i)].unitId == unitId) return true;
    }
    return false;
}

void AIFrontGoal::AppendMember(const Unit& unit, float cost, bool routePriced) {
    squad_[static_cast<std::size_t>(squadCount_++)] = {unit.GetId(), cost, unit.GetType(), routePriced};
    ++squadByType_[static_cast<std::size_t>(unit.GetType())];
}

void AIFrontGoal::RemoveMember(int i) {
    --squadByType_[static_cast<std::size_t>(squad_[static_cast<std::size_t>(i)].unitType)];
    for (int j = i; j + 1 < squadCount_; ++j) squad_[static_cast<std::size_t>(j)] = squad_[static_cast<std::size_t>(j + 1)];
    --squadCount_;
}

float AIFrontGoal::RouteCost(const Unit& unit) const {
    HexPath route;
    if (!player_.PlanMap().FindRouteAllowBlocked(unit.GetHexPos(), centre_, route, unit.GetType(), 0, true)) {
        return kNoRouteCost;
    }
    return route.cost;
}

void AIFrontGoal::UpdateSquad() {
    for (int i = squadCount_ - 1; i >= 0; --i) {
        const Unit* unit = FindUnit(squad_[static_cast<std::size_t>(i)].unitId);
        if (unit == nullptr || unit->GetAIGoalId() != GetId()) RemoveMember(i);
    }
    const int oldCount = squadCount_;
    if (squadCount_ < kMaxSquad) Recruit();
    const int priced = oldCount == 0 ? squadCount_ : oldCount;
    for (int i = 0; i < squadCount_; ++i) {
        SquadMember& member = squad_[static_cast<std::size_t>(i)];
        const bool routePriced = member.routePriced;
        member.routePriced = false;
        Unit* unit = FindUnit(member.unitId);
        if (unit == nullptr) continue;
        unit->SetAIGoalId(GetId());
        if (i < priced && !routePriced) member.cost = RouteCost(*unit);
    }
    for (int i = 0; i < squadCount_; ++i) {
        const Unit* unit = FindUnit(squad_[static_cast<std::size_t>(i)].unitId);
        if (unit == nullptr) continue;
        float sum = 0.0f;
        for (int j = 0; j < squadCount_; ++j) {
            const Unit* other = FindUnit(squad_[static_cast<std::size_t>(j)].unitId);
            if (other != nullptr) sum += HexToWorld(unit->GetHexPos()).Distance(HexToWorld(other->GetHexPos()));
        }
        squad_[static_cast<std::size_t>(i)].cost += sum / static_cast<float>(squadCount_);
    }
    std::stable_sort(squad_.begin(), squad_.begin() + squadCount_,
                     [](const SquadMember& a, const SquadMember& b) { return a.cost < b.cost; });
}

void AIFrontGoal::Recruit() {
    HexMap& map = player_.PlanMap();
    for (int i = 0; i < supporterCount_ && squadCount_ < kMaxSquad; ++i) {
        if (player_.Checkpoint()) return;
        const Unit* unit = FindUnit(supporters_[static_cast<std::size_t>(i)]);
        const AIUnitPlanner* planner = unit != nullptr ? player_.FindUnitPlanner(unit->GetId()) : nullptr;
        if (unit == nullptr || unit->GetAIGoalId() != 0 || planner == nullptr || planner->IsImmobilized()) continue;
        if (InSquad(unit->GetId())) continue;
        HexPath route;
        if (map.FindRoute(unit->GetHexPos(), centre_, route, unit->GetType(), 0, true)) AppendMember(*unit, route.cost);
    }
    struct Candidate {
        const Unit* unit = nullptr;
        float cost = kCandidateStartCost;
        bool routePriced = false;  // the cost is the route RouteCost would search
    };
    std::array<Candidate, kCandidateSlots> slots{};
    const Team& team = player_.GetTeam();
    for (int s = 0; s < kMaxTeamUnits; ++s) {
        const Unit* unit = team.GetUnit(s);
        if (unit == nullptr || !unit->IsArmed() || !IsIdleFree(*unit) || InSquad(unit->GetId())) continue;
        const AIUnitPlanner* planner = player_.FindUnitPlanner(unit->GetId());
        if (planner == nullptr || planner->IsImmobilized()) continue;
        if (player_.Checkpoint()) return;
        float cost = 1.0f;
        const bool routed = unit->GetCarrier() == nullptr;
        if (routed) {
            HexPath route;
            if (!map.FindRouteAllowBlocked(unit->GetHexPos(), centre_, route, unit->GetType(), 0, true)) continue;
            cost = route.cost;
        }
        auto empty = std::find_if(slots.begin(), slots.end(), [](const Candidate& c) { return c.unit == nullptr; });
        if (empty != slots.end()) {
            *empty = {unit, cost, routed};
            continue;
        }
        auto dearer = std::find_if(slots.begin(), slots.end(), [cost](const Candidate& c) { return c.cost > cost; });
        if (dearer != slots.end()) *dearer = {unit, cost, routed};
    }
    for (const Candidate& c : slots) {
        if (c.unit != nullptr && squadCount_ < kMaxSquad) AppendMember(*c.unit, c.cost, c.routePriced);
    }
    if (squadCount_ < kMaxSquad) WishForSquad();
}

// --- Wishes for the squad ---------------------------------------------------------------------------------

namespace {

bool IsSquadInfantry(int type) {
    return type == UT_TROOPER || type == UT_SNIPER || type == UT_GRENADIER || type == UT_GRUNT ||
           type == UT_GENERAL || type == UT_SUPERSOLDIER;
}
bool IsSquadLand(int type) {
    return IsSquadInfantry(type) || (type >= UT_LIGHT_TANK && type <= UT_ARTILLERY) || type == UT_ANTIAIR;
}

}  // namespace

void AIFrontGoal::WishForSquad() {
    int infantry = 0;
    int land = 0;
    int air = 0;
    int sea = 0;
    for (int type = 1; type < kUnitTypeCount; ++type) {
        const int n = squadByType_[static_cast<std::size_t>(type)];
        if (IsSquadInfantry(type)) infantry += n;
        if (IsSquadLand(type)) land += n;
        if (type == UT_BOMBER || type == UT_FIGHTER) air += n;
        if (type >= UT_SUBMARINE && type <= UT_AEGIS) sea += n;
    }
    int enemyInfantry = 0;
    int enemyLand = 0;
    int enemySea = 0;
    int enemyAir = 0;
    for (int type = 1; type < kUnitTypeCount; ++type) {
        const int n = targetsByType_[static_cast<std::size_t>(type)];
        const bool foot = IsSquadInfantry(type) || type == UT_ENGINEER;
        if (foot) enemyInfantry += n;
        if (foot || (type >= UT_LIGHT_TANK && type <= UT_TRUCK) || type == UT_ANTIAIR) enemyLand += n;
        if (type == UT_FERRY || (type >= UT_SUBMARINE && type <= UT_AEGIS)) enemySea += n;
        if (type >= UT_SKYHOOK && type <= UT_FIGHTER) enemyAir += n;
    }
    if (enemyAir != 0) ++enemyAir;
    const int enemyVehicles = enemyLand - enemyInfantry;

    StructureManager* structures = player_.GetStructures();
    HexObjectList barracks;
    HexObjectList airports;
    HexObjectList factories;
    HexObjectList dockyards;
    if (structures != nullptr) {
        barracks.AddStructuresOfType(*structures, kStructureBarracks, teamKind_);
        airports.AddStructuresOfType(*structures, kStructureAirport, teamKind_);
        factories.AddStructuresOfType(*structures, kStructureFactory, teamKind_);
        dockyards.AddStructuresOfType(*structures, kStructureDockyard, teamKind_);
    }
    const HexMap& map = player_.PlanMap();
    const int region = map.GetTile(centre_).regionId;
    const auto inRegion = [&](const HexObjectList& list) {
        for (int i = 0; i < list.GetCount(); ++i) {
            if (map.GetTile(list.GetHex(i)).regionId == region) return true;
        }
        return false;
    };
    const bool hasBarracks = barracks.GetCount() > 0;
    const bool hasAirport = airports.GetCount() > 0;
    const bool hasFactory = factories.GetCount() > 0;
    const bool hasDockyard = dockyards.GetCount() > 0;
    int cash = player_.GetTeam().GetCash();

    int need = targetCount_ - squadCount_;
    if (need < 10) need += 2;
    need = static_cast<int>(static_cast<float>(need) * player_.Ports().GetAIConfig(kAIConfigOffenceAggro));

    const auto open = [&](int type) { return player_.IsUnitTypeUnlocked(type); };
    ShuffleBag bag(64);
    const auto addPaid = [&](int type) {
        bag.Add(type);
        cash -= player_.GetUnitCost(type);
    };
    const int nonInfantry = land - infantry;
    for (int pass = 0; pass < need; ++pass) {
        if (squadByType_[UT_ANTIAIR] + air < enemyAir && (open(UT_ANTIAIR) || open(UT_FIGHTER) || open(UT_AEGIS)) &&
            (hasFactory || hasAirport)) {
            if (inRegion(factories) && open(UT_ANTIAIR)) bag.AddRepeated(UT_ANTIAIR, 3);
            if (inRegion(dockyards) && open(UT_AEGIS)) bag.Add(UT_AEGIS);
            if (hasAirport && open(UT_FIGHTER)) bag.Add(UT_FIGHTER);
            cash -= 100;
            ++air;
        } else if (sea < enemySea && (hasDockyard || hasAirport) &&
                   (open(UT_DESTROYER) || open(UT_CRUISER) || open(UT_BOMBER))) {
            if (hasDockyard && open(UT_DESTROYER)) bag.AddRepeated(UT_DESTROYER, 2);
            if (hasDockyard && open(UT_CRUISER)) bag.AddRepeated(UT_CRUISER, 2);
            if (hasAirport && open(UT_BOMBER) && targetsByType_[UT_AEGIS] == 0) bag.Add(UT_BOMBER);
            ++sea;
        } else if (cash < 250) {
            if (hasBarracks && open(UT_GRUNT) && infantry - 1 < enemyInfantry) bag.Add(UT_GRUNT);
            if (hasBarracks && open(UT_TROOPER) && nonInfantry < enemyVehicles) bag.Add(UT_TROOPER);
            if (hasFactory && open(UT_LIGHT_TANK) && nonInfantry - 1 < enemyVehicles) bag.Add(UT_LIGHT_TANK);
        } else if (enemyVehicles < enemyInfantry) {
            if (hasBarracks && open(UT_GRENADIER)) addPaid(UT_GRENADIER);
            if (hasBarracks && open(UT_SNIPER)) addPaid(UT_SNIPER);
            if (hasBarracks && open(UT_SUPERSOLDIER)) addPaid(UT_SUPERSOLDIER);
            if (hasFactory && open(UT_ARTILLERY)) addPaid(UT_ARTILLERY);
        } else {
            if (hasAirport && open(UT_BOMBER)) addPaid(UT_BOMBER);
            if (hasFactory && open(UT_HEAVY_TANK)) addPaid(UT_HEAVY_TANK);
            if (hasFactory && open(UT_MED_TANK)) addPaid(UT_MED_TANK);
            if (hasFactory && open(UT_MLRS)) addPaid(UT_MLRS);
            if (hasBarracks && open(UT_GRENADIER)) addPaid(UT_GRENADIER);
            if (hasBarracks && open(UT_TROOPER)) addPaid(UT_TROOPER);
        }
    }

    cash = player_.GetTeam().GetCash();
    const auto drawWishes = [&](int draws) {
        for (int i = 0; i < draws; ++i) {
            const int type = bag.Draw(player_.PlanRandom());
            if (type == 0) return;
            const int cost = player_.GetUnitCost(type);
            if (cost > cash) continue;
            player_.AddBuildWish(type, score_, GetId(), centre_);
            cash -= cost;
        }
    };
    if (bag.GetCount() > 0) drawWishes(need);
    bag.Clear();
    if (hasFactory && enemyVehicles > 0 && open(UT_LIGHT_TANK)) {
        // The bag refills itself: light tanks while the cash lasts (the wish list takes four a turn).
        bag.Add(UT_LIGHT_TANK);
        drawWishes(10);
    }
}

bool AIFrontGoal::TakeUnit(int unitId) {
    Unit* unit = FindUnit(unitId);
    if (unit == nullptr || squadCount_ >= kMaxSquad) return false;
    unit->SetAIGoalId(GetId());
    AppendMember(*unit, RouteCost(*unit));
    return true;
}

bool AIFrontGoal::HoldsUnit(int unitId) const { return InSquad(unitId); }

void AIFrontGoal::DropUnit(int unitId) {
    for (int i = 0; i < squadCount_; ++i) {
        if (squad_[static_cast<std::size_t>(i)].unitId != unitId) continue;
        if (Unit* unit = FindUnit(unitId)) unit->SetAIGoalId(0);
        RemoveMember(i);
        return;
    }
}

// --- Plan and execute -------------------------------------------------------------------------------------

bool AIFrontGoal::CanHitTargetFromHere(const Unit& unit) {
    HexMap& map = player_.PlanMap();
    BattleContext* battle = map.GetBattleContext();
    if (battle == nullptr) return false;
    map.ClearRangeSteps();
    map.ClearMarkBits(kMarkAll);
    map.MarkAttackRange(unit, nullptr, true);
    for (int i = 0; i < targetCount_; ++i) {
        const Unit* target = FindUnit(targets_[static_cast<std::size_t>(i)].unitId);
        if (target == nullptr || target->GetTeamKind() == unit.GetTeamKind()) continue;
        if ((map.GetMarkBits(target->GetHexPos()) & kMarkAttack) != 0 &&
            player_.GetPlannedDamage(target->GetId()) < 1.0f) {
            return true;
        }
    }
    return false;
}

void AIFrontGoal::Plan() {
    HexMap& map = player_.PlanMap();
    BattleContext* battle = map.GetBattleContext();
    if (battle == nullptr) return;
    for (int i = 0; i < squadCount_; ++i) {
        if (player_.Checkpoint()) return;
        Unit* unit = FindUnit(squad_[static_cast<std::size_t>(i)].unitId);
        AIUnitPlanner* planner = unit != nullptr ? player_.FindUnitPlanner(unit->GetId()) : nullptr;
        if (planner == nullptr) continue;
        if (unit->GetCarrier() != nullptr) {
            if (player_.GetTransportId(*planner) == 0) player_.RequestTransport(*planner, centre_);
            continue;
        }
        if (unit->GetState() == kUnitNotPlaced) {
            const Unit* other = battle->FindUnitAt(unit->GetHexPos());
            if (other != nullptr && other != unit) {
                player_.RemoveBoughtUnit(*unit);
                continue;
            }
        }
        if (player_.GetTransportId(*planner) != 0 && player_.PlanBoarding(*planner)) continue;
        if (IsAircraftType(unit->GetType()) && !unit->IsAirborne()) {
            const MapUnit* air = battle->FindAirMapUnitAt(unit->GetHexPos());
            if (air != nullptr && air != unit) continue;
        }
        if (CanHitTargetFromHere(*unit)) {
            if (unit->GetState() != kUnitNotPlaced) {
                player_.AttackFromHere(*planner);
            } else {
                // A bought unit on its own build pad plans its way off it first, so that it leaves the pad
                // for the next one and fires from where it goes.
                if (StandsOnOwnBuildPad(*battle, *unit, unit->GetTeamKind())) {
                    planner->RequestMakeWay();
                    player_.PlanFreeMove(*planner);
                }
                HexCoord tile = unit->GetHexPos();
                planner->GetTarget(tile);
                player_.SetUnitPlannedTile(unit->GetId(), tile);
            }
            continue;
        }
        player_.AdvanceTowards(*planner, centre_, false, true, 1);
        const HexTile& centreTile = map.GetTile(centre_);
        if (IsAircraftType(unit->GetType()) || centreTile.regionId == map.GetTile(unit->GetHexPos()).regionId) continue;
        const bool ship = unit->GetType() >= UT_SUBMARINE && unit->GetType() <= UT_AEGIS;
        if (centreTile.terrain != kTerrainWater || ship) {
            player_.RequestTransport(*planner, centre_);
            continue;
        }
        for (int t = 0; t < targetCount_; ++t) {
            const Unit* target = FindUnit(targets_[static_cast<std::size_t>(t)].unitId);
            const int type = targets_[static_cast<std::size_t>(t)].unitType;
            if (target == nullptr || IsAircraftType(type) || (type >= UT_SUBMARINE && type <= UT_AEGIS)) continue;
            player_.RequestTransport(*planner, target->GetHexPos());
            break;
        }
    }
}

int AIFrontGoal::Execute(bool firstStep) {
    if (score_ <= 0.0f) return kExecuteFinished;
    if (firstStep) {
        nextMember_ = 0;
        currentUnitId_ = 0;
    }
    Unit* current = FindUnit(currentUnitId_);
    if (currentUnitId_ == 0 || current == nullptr) {
        currentUnitId_ = 0;
        if (nextMember_ >= squadCount_) return kExecuteNext;
        Unit* unit = FindUnit(squad_[static_cast<std::size_t>(nextMember_)].unitId);
        if (unit != nullptr && unit->GetState() == kUnitNotPlaced) {
            player_.Ports().LookAtHex(unit->GetHexPos());
            unit->Deploy();
            return kExecutePauseAgain;
        }
        AIUnitPlanner* planner = unit != nullptr ? player_.FindUnitPlanner(unit->GetId()) : nullptr;
        if (unit == nullptr || unit->GetState() == kUnitGone || planner == nullptr || !player_.CommitOrders(*planner)) {
            ++nextMember_;
            return kExecuteAgain;
        }
        if (IsAircraftType(unit->GetType()) && !unit->IsAirborne()) {
            unit->SetAirborne(true);
            unit->StartWaitTimer();
        }
        currentUnitId_ = unit->GetId();
        return kExecuteAgain;
    }
    if (IsUnitBusyForGoal(*current, player_)) return kExecuteAgain;
    AIUnitPlanner* planner = player_.FindUnitPlanner(current->GetId());
    if (planner != nullptr && player_.ShouldLand(*planner)) current->SetAirborne(false);
    ++nextMember_;
    currentUnitId_ = 0;
    return kExecutePauseAgain;
}

}  // namespace game
