// The computer player's thinking for one turn, on the planning thread: what to buy and for which goal, the
// front goals where the other sides are strongest, the scores, a goal for every idle unit, the order and
// the plans. It polls the cancel flag between its steps.
#include <algorithm>
#include <array>

#include "game/ai/computer_player.h"
#include "game/ai/front_goal.h"
#include "game/ai/map_scan.h"
#include "game/ai/resupply_goal.h"
#include "game/ai/shuffle_bag.h"
#include "game/ai/structure_goal.h"
#include "game/ai/transport_goal.h"
#include "game/ai/unit_goals.h"
#include "game/battle/battle_context.h"
#include "game/battle/path_finder.h"
#include "game/battle/structure.h"
#include "game/battle/structure_manager.h"
#include "game/level/hex_object_list.h"
#include "game/teams/team.h"

namespace game {
namespace {

constexpr int kMinCashForRandomWishes = 50;
constexpr float kRandomWishPriority = 0.01f;
constexpr unsigned kRandomBagCapacity = 13;
constexpr float kNoPadRoute = 1000000.0f;
constexpr float kBoughtOnPadPenalty = 100.0f;
constexpr float kNoFrontRoute = 1000000.0f;
constexpr float kFrontStepWeight = 0.2f;
constexpr int kFrontSpacing = 3;

int EnemyValue(int unitType) {
    switch (unitType) {
        case UT_GENERAL: return 900;
        case UT_ENGINEER: return 500;
        default: return 20;
    }
}

}  // namespace

void ComputerPlayer::RunPlanningPass() {
    passStep_ = 1;
    AddRandomWishes();
    funds_ = team_.GetCash();
    passStep_ = 3;
    while (BuyNextWish() && !IsCancelled()) {
    }
    if (IsCancelled()) return;
    HandOverBoughtUnits();
    PruneWishes();
    RebuildTileScratch(PlanMap(), team_.GetManager(), team_.GetKind(), this);
    passStep_ = 7;
    MakeFrontGoals();
    if (IsCancelled()) return;

    HexMap& map = PlanMap();
    {
        std::lock_guard<std::mutex> lock(plannerLock_);
        for (auto& planner : planners_) {
            const Unit* unit = planner ? team_.FindUnitById(planner->GetUnitId()) : nullptr;
            if (unit != nullptr && IsValidHex(unit->GetHexPos()) && map.GetTile(unit->GetHexPos()).hotspot != 0) {
                planner->RequestMakeWay();
            }
        }
    }
    passStep_ = 9;
    const int scored = GetGoalCount();
    for (int i = 0; i < scored; ++i) {
        goals_[static_cast<std::size_t>(i)]->Score();
        if (Checkpoint()) break;
    }
    passStep_ = 10;
    for (int slot = 0; slot < kMaxTeamUnits; ++slot) {
        Unit* unit = team_.GetUnit(slot);
        if (unit == nullptr || unit->GetState() != kUnitIdle || unit->GetAIGoalId() != 0) continue;
        std::unique_ptr<AIGoal> goal;
        if (unit->IsArmed()) {
            goal = std::make_unique<AIUnitGoal>(*this, *unit);
        } else if (unit->GetType() != UT_ENGINEER) {
            goal = std::make_unique<AITargetGoal>(*this, unit->GetId(), unit->GetHexPos());
        } else {
            continue;
        }
        AIGoal* added = goal.get();
        if (AddGoal(std::move(goal))) added->Score();
        if (Checkpoint()) return;
    }
    SortGoals();
    passStep_ = 13;
    const int planned = GetGoalCount();
    for (int i = 0; i < planned; ++i) {
        goals_[static_cast<std::size_t>(i)]->Plan();
        if (Checkpoint()) break;
    }
    {
        std::lock_guard<std::mutex> lock(plannerLock_);
        for (auto& planner : planners_) {
            if (planner) planner->ClearPlannedTile();
        }
    }
    PathFinder::SetTileWeighting(false);
    passStep_ = 16;
    SetDone(true);
}

// --- Random wishes and buying -------------------------------------------------------------------------------

void ComputerPlayer::FillRandomWishBag(ShuffleBag& bag, int cash) const {
    bag.Reset(kRandomBagCapacity);
    if (IsUnitTypeUnlocked(UT_GRUNT)) bag.AddRepeated(UT_GRUNT, 4);
    if (cash >= 100 && IsUnitTypeUnlocked(UT_TROOPER)) bag.AddRepeated(UT_TROOPER, 4);
    if (cash >= 125 && IsUnitTypeUnlocked(UT_LIGHT_TANK)) bag.AddRepeated(UT_LIGHT_TANK, 4);
    if (cash >= 200 && IsUnitTypeUnlocked(UT_DESTROYER)) bag.Add(UT_DESTROYER);
}

void ComputerPlayer::AddRandomWishes() {
    const int cash = team_.GetCash();
    if (!wishes_.empty() || cash < kMinCashForRandomWishes || team_.CountLiveUnits() >= kMaxLiveUnitsForBuying) {
        return;
    }
    const int n = PlanRandom().NextInt(1, 2, 0);
    ShuffleBag bag;
    FillRandomWishBag(bag, cash);
    for (int i = 0; i < n; ++i) AddBuildWishAnywhere(bag.Draw(PlanRandom()), kRandomWishPriority, 0);
}

bool ComputerPlayer::BuyNextWish() {
    if (wishes_.empty()) return false;
    if (wishes_.size() >= 2) std::stable_sort(wishes_.begin(), wishes_.end(), CompareWishesByPriority);
    int live = team_.CountLiveUnits();
    StructureManager* structures = GetStructures();
    HexMap& map = PlanMap();
    for (std::size_t i = 0; i < wishes_.size() && live < kMaxLiveUnitsForBuying; ++i) {
        const BuildWish wish = wishes_[i];
        const int cost = GetUnitCost(wish.unitType);
        const int producer = ProducerTypeForUnit(wish.unitType);
        Structure* pad = nullptr;
        if (structures != nullptr && cost > 0 && cost <= funds_ && producer != 0) {
            HexObjectList producers;
            producers.AddStructuresOfType(*structures, producer, team_.GetKind());
            if (producers.GetCount() > 0 && wish.target.column < 0) {
                const int pick = PlanRandom().NextInt(0, producers.GetCount() - 1, 0);
                Structure* first = producers.GetStructure(pick)->GetFirstPad();
                if (first != nullptr && first->IsHexFree()) pad = first;
            } else if (producers.GetCount() > 0) {
                // The pad with the cheapest route to the wish's hex; each unit already bought there adds 100.
                float best = kNoPadRoute;
                HexPath route;
                for (int s = 0; s < producers.GetCount(); ++s) {
                    Structure* first = producers.GetStructure(s)->GetFirstPad();
                    if (first == nullptr || !first->IsHexFree()) continue;
                    if (!map.FindRouteAllowBlocked(first->GetHex(), wish.target, route, wish.unitType, 0, true)) {
                        continue;
                    }
                    float price = route.cost;
                    for (const BoughtUnit& bought : bought_) {
                        if (bought.pad == first->GetHex()) price += kBoughtOnPadPenalty;
                    }
                    if (price < best) {
                        best = price;
                        pad = first;
                    }
                }
            }
        }
        if (pad != nullptr && wish.unitType == UT_ENGINEER) {
            if (engineersBought_ >= kMaxEngineersBought) {
                pad = nullptr;
            } else {
                ++engineersBought_;
            }
        }
        if (pad != nullptr) {
            const int id = team_.CreateUnplacedUnit(wish.unitType, pad->GetHex());
            if (id != 0 && AddBoughtUnit({pad->GetHex(), id, wish.goalId})) {
                ++live;
                funds_ -= cost;
            }
            // The wish is used up even when no unit could be made.
            wishes_.erase(wishes_.begin() + static_cast<std::ptrdiff_t>(i));
            Checkpoint();
            return true;
        }
        if (Checkpoint()) return false;
    }
    return false;
}

void ComputerPlayer::HandOverBoughtUnits() {
    for (const BoughtUnit& bought : bought_) {
        AIGoal* goal = bought.goalId != 0 ? FindGoalById(bought.goalId) : nullptr;
        bool taken = goal != nullptr;
        if (auto* structure = dynamic_cast<AIStructureGoal*>(goal)) structure->AssignUnit(bought.unitId);
        if (auto* resupply = dynamic_cast<AIResupplyGoal*>(goal)) resupply->AssignSupplier(bought.unitId);
        if (auto* transport = dynamic_cast<AITransportGoal*>(goal)) transport->ReserveCarrier(bought.unitId);
        if (auto* front = dynamic_cast<AIFrontGoal*>(goal)) taken = front->TakeUnit(bought.unitId);
        if (!taken) AddGoal(std::make_unique<AITargetGoal>(*this, bought.unitId, bought.pad));
    }
}

// --- Front goals ---------------------------------------------------------------------------------------------

void ComputerPlayer::MakeFrontGoals() {
    std::array<HotSpot, kMaxHotSpots> enemy{};
    std::array<HotSpot, kMaxHotSpots> own{};
    int enemyCount = CollectHotSpots(false, kMaxHotSpots, enemy.data());
    const int ownCount = CollectHotSpots(true, kMaxHotSpots, own.data());
    int fronts = 0;
    for (const auto& goal : goals_) {
        const auto* front = dynamic_cast<const AIFrontGoal*>(goal.get());
        if (front == nullptr) continue;
        ++fronts;
        const HexCoord centre = front->GetCentre();
        const auto end = std::remove_if(enemy.begin(), enemy.begin() + enemyCount, [&](const HotSpot& spot) {
            return HexDistance(spot.hex, centre) <= kFrontSpacing;
        });
        enemyCount = static_cast<int>(end - enemy.begin());
    }
    if (ownCount == 0 || ownCount < fronts) return;
    HexMap& map = PlanMap();
    HexPath route;
    for (int e = 0; e < enemyCount; ++e) {
        HotSpot& spot = enemy[static_cast<std::size_t>(e)];
        spot.cost = 0.0f;
        for (int o = 0; o < ownCount; ++o) {
            if (map.FindRouteAllowBlocked(own[static_cast<std::size_t>(o)].hex, spot.hex, route, UT_LIGHT_TANK, 0,
                                          false)) {
                spot.cost += static_cast<float>(route.count) + route.cost * kFrontStepWeight;
            } else {
                spot.cost += kNoFrontRoute;
            }
        }
        spot.cost /= static_cast<float>(ownCount);
        spot.cost -= spot.weight;
        spot.cost -= static_cast<float>(ScoreEnemiesNear(spot.hex));
        if (Checkpoint()) return;
    }
    std::stable_sort(enemy.begin(), enemy.begin() + enemyCount,
                     [](const HotSpot& a, const HotSpot& b) { return a.cost < b.cost; });
    for (int e = 0; e < enemyCount; ++e) {
        const HotSpot& spot = enemy[static_cast<std::size_t>(e)];
        AddGoal(std::make_unique<AIFrontGoal>(*this, team_.GetKind(), spot.weight, spot.hex));
    }
}

int ComputerPlayer::ScoreEnemiesNear(HexCoord hex) {
    HexMap& map = PlanMap();
    BattleContext* battle = map.GetBattleContext();
    if (battle == nullptr) return 0;
    map.ClearMarkBits(kMarkAll);
    map.ClearRangeSteps();
    map.MarkReach(hex, 0, kFrontSpacing);
    int sum = 0;
    for (int r = 0; r < kMapRows; ++r) {
        for (int c = 0; c < kMapColumns; ++c) {
            const HexCoord at = MakeHexCoord(c, r);
            if (!IsValidHex(at) || (map.GetMarkBits(at) & kMarkAttack) == 0) continue;
            const Unit* unit = battle->FindUnitAt(at);
            if (unit == nullptr || unit->GetTeamKind() == 0 || unit->GetTeamKind() == team_.GetKind()) continue;
            const int type = unit->GetType();
            if (type == UT_APC || type == UT_FERRY || type == UT_SKYHOOK) {
                sum += 10;
                if (const Unit* passenger = unit->GetPassenger()) sum += EnemyValue(passenger->GetType());
            } else {
                sum += type == UT_GENERAL || type == UT_ENGINEER ? EnemyValue(type) : 10;
            }
        }
    }
    return sum;
}

}  // namespace game
