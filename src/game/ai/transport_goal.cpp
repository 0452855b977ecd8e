#include "game/ai/transport_goal.h"

#include <algorithm>

#include "game/ai/computer_player.h"
#include "game/battle/battle_context.h"
#include "game/battle/battle_types.h"
#include "game/battle/hex_path.h"
#include "game/teams/team.h"
#include "game/units/action_orders.h"

namespace game {
namespace {

constexpr float kNoRoute = 1000000.0f;
constexpr int kFarAway = 10000000;

bool IsNeighbour(HexCoord a, HexCoord b) {
    for (int d = 0; d < kDirectionCount; ++d) {
        HexCoord next;
        if (HexNeighbour(a, d, next) && next == b) return true;
    }
    return false;
}

}  // namespace

AITransportGoal::AITransportGoal(ComputerPlayer& player, const Unit& passenger, HexCoord destination)
    : player_(player), passengerId_(passenger.GetId()), destination_(destination), teamKind_(passenger.GetTeamKind()) {
    if (const Unit* carrier = passenger.GetCarrier()) {
        carrierId_ = carrier->GetId();
        stage_ = kTransportCarrying;
    }
}

AITransportGoal::~AITransportGoal() { ReleaseCarrier(); }

void AITransportGoal::ReleaseCarrier() {
    if (Unit* carrier = player_.GetTeam().FindUnitById(carrierId_)) {
        if (carrier->GetAIGoalId() == GetId()) carrier->SetAIGoalId(0);
    }
    carrierId_ = 0;
    wishMade_ = false;
}

void AITransportGoal::ReserveCarrier(int unitId) {
    ReleaseCarrier();
    if (Unit* carrier = player_.FindAnyUnit(unitId)) {
        carrier->SetAIGoalId(GetId());
        carrierId_ = unitId;
    }
    wishMade_ = false;
}

// --- Score ---------------------------------------------------------------------------------------------------

void AITransportGoal::Score() {
    score_ = 0.0f;
    const Team& team = player_.GetTeam();
    const Unit* passenger = team.FindUnitById(passengerId_);
    if (passenger == nullptr) return;
    HexMap& map = player_.PlanMap();
    const bool sameRegion = map.GetTile(passenger->GetHexPos()).regionId == map.GetTile(destination_).regionId;
    const bool apcWill = sameRegion && passenger->IsSoftTarget();
    if (apcWill) needsAirOrSea_ = false;

    float cost = kNoRoute;
    HexPath route;
    for (int slot = 0; slot < kMaxTeamUnits; ++slot) {
        const Unit* carrier = team.GetUnit(slot);
        if (carrier == nullptr || carrier->GetState() == kUnitGone) continue;
        if (carrier->GetType() != UT_SKYHOOK && !(apcWill && carrier->GetType() == UT_APC)) continue;
        if (map.FindRoute(destination_, carrier->GetHexPos(), route, carrier->GetType(), 0, false)) {
            cost = std::min(cost, route.cost);
        }
    }
    if (cost >= kNoRoute && !sameRegion &&
        map.FindRouteAllowBlocked(passenger->GetHexPos(), destination_, route, passenger->GetType(), 0, false)) {
        HexList hexes;
        map.PathToHexList(hexes, route);
        for (int i = 1; i < hexes.count; ++i) {
            if (map.GetTile(hexes.hexes[static_cast<std::size_t>(i)]).terrain == kTerrainWater) {
                crossesWater_ = true;
                break;
            }
        }
    }
    score_ = 1.0f - cost / 200.0f;
    if (cost > 300.0f && !sameRegion) score_ = 0.1f;
    if (stage_ == kTransportAtMeeting) {
        score_ = 0.1f;
        if (const Unit* carrier = team.FindUnitById(carrierId_)) {
            const float apart = static_cast<float>(HexDistance(carrier->GetHexPos(), passenger->GetHexPos()));
            score_ = 0.5f - std::min(0.4f, 0.1f * apart);
        }
    } else if (stage_ > kTransportAtMeeting) {
        const float apart = static_cast<float>(HexDistance(passenger->GetHexPos(), destination_));
        score_ = 0.9f - std::min(0.4f, 0.1f * apart);
    }
}

// --- Plan ----------------------------------------------------------------------------------------------------

bool AITransportGoal::IsBesideCarrierEnd(const Unit& carrier, HexCoord hex) const {
    HexCoord end = carrier.GetHexPos();
    player_.GetUnitPlannedTile(carrier.GetId(), end);
    return IsNeighbour(end, hex);
}

void AITransportGoal::Plan() {
    Team& team = player_.GetTeam();
    Unit* passenger = team.FindUnitById(passengerId_);
    if (passenger == nullptr) {
        score_ = 0.0f;
        return;
    }
    const HexCoord passengerHex = passenger->GetHexPos();
    Unit* carrier = nullptr;
    if (carrierId_ != 0) {
        wishMade_ = false;
        carrier = team.FindUnitById(carrierId_);
        const int claim = carrier != nullptr ? carrier->GetAIGoalId() : 0;
        if (carrier == nullptr || carrier->GetState() == kUnitGone || (claim != 0 && claim != GetId())) {
            carrier = nullptr;
            carrierId_ = 0;
        }
    }
    if (carrier == nullptr) {
        HexPath route;
        carrier = player_.FindNearestIdleUnit(passengerHex, UT_SKYHOOK, route, 0, false, true);
        const float skyhookCost = route.cost;
        Unit* other = nullptr;
        HexPath otherRoute;
        if (!needsAirOrSea_) {
            other = player_.FindNearestIdleUnit(passengerHex, UT_APC, otherRoute, 0, true, true);
        } else if (crossesWater_) {
            other = player_.FindNearestIdleUnit(passengerHex, UT_FERRY, otherRoute, 0, true, true);
        }
        // A SKYHOOK keeps a tie.
        if (other != nullptr && (carrier == nullptr || skyhookCost > otherRoute.cost)) carrier = other;
        if (carrier != nullptr) {
            carrierId_ = carrier->GetId();
            carrier->SetAIGoalId(GetId());
            wishMade_ = false;
        } else if (!wishMade_) {
            wishMade_ = true;
            const int type = crossesWater_ ? UT_FERRY : needsAirOrSea_ ? UT_SKYHOOK : UT_APC;
            player_.AddBuildWish(type, score_, GetId(), passengerHex);
            return;
        }
        if (carrier == nullptr) return;
    }
    BattleContext* battle = player_.PlanMap().GetBattleContext();
    if (carrier->GetState() == kUnitNotPlaced && battle != nullptr) {
        const Unit* other = battle->FindUnitAt(carrier->GetHexPos());
        if (other != nullptr && other != carrier) {
            // Its pad is taken: the bought carrier goes before it was ever placed (the team deletes it).
            player_.RemoveBoughtUnit(*carrier);
            ReleaseCarrier();
            return;
        }
    }
    AIUnitPlanner* carrierPlanner = player_.FindUnitPlanner(carrier->GetId());
    if (carrierPlanner == nullptr) return;
    const bool ferry = carrier->GetType() == UT_FERRY;
    const bool ground = carrier->GetType() == UT_APC || ferry;
    bool boarding = false;
    if (ground) {
        if (const AIUnitPlanner* planner = player_.FindUnitPlanner(passengerId_)) {
            for (int i = 0; i < planner->GetPendingCount(); ++i) {
                const UnitOrder* order = planner->GetPendingOrder(i);
                boarding = boarding || (order != nullptr && order->Kind() == kOrderEmbark);
            }
        }
    }
    const bool stopShort = ground;
    ready_ = false;

    if (passenger->GetCarrier() == carrier || boarding) {
        stage_ = kTransportCarrying;
        HexCoord drop;
        if (!FindDropTile(carrier->GetHexPos(), carrier->GetType(), drop)) return;
        dropTile_ = drop;
        if (player_.AdvanceTowards(*carrierPlanner, drop, true, stopShort, 1) ||
            (ferry && IsBesideCarrierEnd(*carrier, drop))) {
            ready_ = true;
            player_.SetUnitPlannedTile(passengerId_, drop);
        }
        return;
    }
    stage_ = kTransportMeeting;
    HexCoord meet;
    if (!FindMeetTile(*passenger, *carrier, meet)) return;
    const bool arrives = player_.AdvanceTowards(*carrierPlanner, meet, true, stopShort, 1);
    if (!ferry) {
        if (arrives) {
            ready_ = true;
            stage_ = kTransportAtMeeting;
        }
        return;
    }
    stage_ = kTransportAtMeeting;
    HexCoord position = passengerHex;
    player_.GetUnitPlannedTile(passengerId_, position);
    if (IsBesideCarrierEnd(*carrier, position)) {
        ready_ = true;
        player_.SetUnitPlannedTile(passengerId_, position);
    }
}

bool AITransportGoal::FindDropTile(HexCoord from, int carrierType, HexCoord& out) {
    const HexMap& map = player_.PlanMap();
    BattleContext* battle = map.GetBattleContext();
    const HexTile& target = map.GetTile(destination_);
    const bool anyRegion = target.terrain != kTerrainLand && target.terrain != kTerrainShore;
    int best = kFarAway;
    for (int index = 0; index < kMapTileCount; ++index) {
        const HexCoord hex = MakeHexCoord(index % kMapColumns, index / kMapColumns);
        if (!IsValidHex(hex)) continue;
        const Unit* standing = battle != nullptr ? battle->FindUnitAt(hex) : nullptr;
        if (standing != nullptr) {
            // Everyone of the side in the way is asked to clear its tile, wherever it stands.
            if (standing->GetTeamKind() == teamKind_) player_.RequestMakeWay(standing->GetId());
            continue;
        }
        const HexTile& tile = map.GetTile(hex);
        if (!anyRegion && tile.regionId != target.regionId) continue;
        if (carrierType == UT_FERRY && tile.terrain != kTerrainShore) continue;
        const int distance = HexDistance(from, hex);
        if (distance < best) {
            best = distance;
            out = hex;
        }
    }
    return best < kFarAway;
}

bool AITransportGoal::FindMeetTile(const Unit& passenger, const Unit& carrier, HexCoord& out) {
    HexCoord start = passenger.GetHexPos();
    player_.GetUnitPlannedTile(passenger.GetId(), start);
    if (carrier.GetType() != UT_FERRY) {
        out = start;
        return true;
    }
    const HexMap& map = player_.PlanMap();
    BattleContext* battle = map.GetBattleContext();
    const int region = map.GetTile(start).regionId;
    int best = kFarAway;
    for (int index = 0; index < kMapTileCount; ++index) {
        const HexCoord hex = MakeHexCoord(index % kMapColumns, index / kMapColumns);
        if (!IsValidHex(hex)) continue;
        const HexTile& tile = map.GetTile(hex);
        if (tile.terrain != kTerrainShore || tile.regionId != region) continue;
        const Unit* standing = battle != nullptr ? battle->FindUnitAt(hex) : nullptr;
        if (standing != nullptr && standing != &passenger) continue;
        const int distance = HexDistance(start, hex);
        if (distance < best) {
            best = distance;
            out = hex;
        }
    }
    return best < kFarAway;
}

// --- Execute -------------------------------------------------------------------------------------------------

int AITransportGoal::Execute(bool firstStep) {
    if (score_ <= 0.0f) return kExecuteFinished;
    Team& team = player_.GetTeam();
    Unit* carrier = team.FindUnitById(carrierId_);
    if (carrier == nullptr || carrier->GetState() == kUnitGone) return kExecuteNext;
    if (firstStep) {
        AIUnitPlanner* planner = player_.FindUnitPlanner(carrierId_);
        if (carrier->GetState() == kUnitNotPlaced) {
            player_.Ports().LookAtHex(carrier->GetHexPos());
            carrier->Deploy();
            return planner != nullptr && planner->GetPendingCount() > 0 ? kExecutePauseRestart : kExecutePauseAgain;
        }
        if (planner != nullptr && player_.CommitOrders(*planner)) {
            player_.Ports().LookAtHex(carrier->GetHexPos());
            carrier->StartWaitTimer();
        }
    }
    Unit* passenger = team.FindUnitById(passengerId_);
    if (passenger == nullptr || passenger->GetState() == kUnitGone) return kExecuteFinished;
    const bool carrierIdle = carrier->GetState() == kUnitIdle;
    const bool bothIdle = carrierIdle && passenger->GetState() == kUnitIdle;
    switch (stage_) {
        case kTransportAtMeeting:
            if (!carrierIdle) return kExecuteAgain;
            if (!ready_) return kExecuteNext;
            if (carrier->GetType() == UT_SKYHOOK) {
                carrier->QueueOrder(std::make_unique<PickUpOrder>(passengerId_));
            } else {
                passenger->QueueOrder(std::make_unique<EmbarkOrder>(carrierId_));
            }
            stage_ = kTransportBoarding;
            return kExecuteAgain;
        case kTransportBoarding:
            return bothIdle ? kExecuteNext : kExecuteAgain;
        case kTransportCarrying:
            if (!carrierIdle) return kExecuteAgain;
            if (!ready_) return kExecuteNext;
            if (carrier->GetType() == UT_SKYHOOK) {
                carrier->QueueOrder(std::make_unique<PickUpOrder>(0));
            } else {
                passenger->StartWaitTimer();
                carrier->QueueOrder(std::make_unique<DisembarkOrder>(dropTile_));
            }
            stage_ = kTransportDropping;
            return kExecuteAgain;
        case kTransportDropping:
            return bothIdle ? kExecuteFinished : kExecuteAgain;
        default:
            return kExecuteNext;
    }
}

}  // namespace game
