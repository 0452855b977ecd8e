// The computer player's wish list, goal order and hot spots, and the lookups its goals share while planning.
#include <algorithm>
#include <cmath>

#include "game/ai/computer_player.h"
#include "game/ai/structure_goal.h"
#include "game/battle/battle_context.h"
#include "game/battle/structure.h"
#include "game/battle/structure_manager.h"
#include "game/battle/structure_types.h"
#include "game/battle/unit_params.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"
#include "game/teams/team_services.h"

namespace game {
namespace {

constexpr int kHotSpotMergeDistance = 4;

}  // namespace

// --- Wishes --------------------------------------------------------------------------------------------------

bool ComputerPlayer::AddBuildWish(const BuildWish& wish) {
    if (GetWishCount() >= kMaxWishes) return false;
    BuildWish scaled = wish;
    if (wish.unitType != UT_ENGINEER) {
        const int ratio = IsAircraftType(wish.unitType) ? kAIConfigAirRatio
                          : IsShipType(wish.unitType)   ? kAIConfigSeaRatio
                                                        : kAIConfigLandRatio;
        scaled.priority *= ports_.GetAIConfig(ratio);
    }
    if (wish.unitType == UT_GRUNT || wish.unitType == UT_LIGHT_TANK) {
        if (infantryTankWishes_ >= kMaxInfantryTankWishes) return false;
        ++infantryTankWishes_;
    }
    wishes_.push_back(scaled);
    return true;
}

void ComputerPlayer::PruneWishes() {
    bought_.clear();
    infantryTankWishes_ = 0;
    engineersBought_ = 0;
    std::erase_if(wishes_, [this](const BuildWish& wish) {
        const AIGoal* goal = wish.goalId != 0 ? FindGoalById(wish.goalId) : nullptr;
        return goal == nullptr || (goal->GetKind() != kGoalResupply && goal->GetKind() != kGoalTransport);
    });
}

// --- Goal order and structure goals -------------------------------------------------------------------------

bool ComputerPlayer::CompareGoals(const AIGoal& a, const AIGoal& b) {
    if (a.GetKind() != b.GetKind()) return a.GetKind() < b.GetKind();
    if (a.GetKind() != kGoalUnit && a.GetScore() != b.GetScore()) return a.GetScore() > b.GetScore();
    return a.GetId() < b.GetId();
}

void ComputerPlayer::SortGoals() {
    std::stable_sort(goals_.begin(), goals_.end(),
                     [](const auto& a, const auto& b) { return CompareGoals(*a, *b); });
}

void ComputerPlayer::MakeStructureGoals() {
    ClearGoals();
    if (StructureManager* structures = GetStructures()) {
        for (int slot = 0; slot < kMaxStructures; ++slot) {
            Structure* structure = structures->GetStructure(slot);
            if (structure == nullptr || structure->GetType() == kStructureBuildPad) continue;
            AddGoal(std::make_unique<AIStructureGoal>(*this, team_.GetKind(), *structure));
        }
    }
    structureGoalsMade_ = true;
}

// --- Hot spots -----------------------------------------------------------------------------------------------

int ComputerPlayer::CollectHotSpots(bool own, int capacity, HotSpot* records) {
    int count = 0;
    const HexMap& map = PlanMap();
    for (int r = 0; r < kMapRows; ++r) {
        for (int c = 0; c < kMapColumns; ++c) {
            const HexCoord hex = MakeHexCoord(c, r);
            if (!IsValidHex(hex)) continue;
            const HexTile& tile = map.GetTile(hex);
            if (tile.terrain == kTerrainNone) continue;
            float w = tile.unitWeight;
            if (own ? w <= 0.0f : w >= 0.0f) continue;
            w = std::fabs(w);
            HotSpot* slot = nullptr;
            if (count < capacity) {
                for (int i = 0; i < capacity && slot == nullptr; ++i) {
                    if (records[i].weight == 0.0f) slot = &records[i];
                }
            } else {
                for (int i = 0; i < capacity && slot == nullptr; ++i) {
                    if (records[i].weight < w) slot = &records[i];
                }
            }
            // A tile near a cluster joins it; the stronger of the two holds the cluster's hex.
            for (int i = 0; i < count; ++i) {
                HotSpot& near = records[i];
                if (near.weight == 0.0f || HexDistance(near.hex, hex) > kHotSpotMergeDistance) continue;
                if (near.weight < w) {
                    w += near.weight;
                    slot = &near;
                } else {
                    near.weight += w;
                    slot = nullptr;
                }
                break;
            }
            if (slot == nullptr) continue;
            if (slot->weight == 0.0f) ++count;
            slot->weight = w;
            slot->hex = hex;
        }
    }
    return count;
}

// --- Lookups -------------------------------------------------------------------------------------------------

BattleContext* ComputerPlayer::Battle() const {
    return planMap_ ? planMap_->GetBattleContext() : ports_.GetHexMap().GetBattleContext();
}

Unit* ComputerPlayer::FindAnyUnit(int unitId) const {
    BattleContext* battle = Battle();
    return battle != nullptr && unitId != 0 ? battle->FindUnitById(unitId) : nullptr;
}

StructureManager* ComputerPlayer::GetStructures() const {
    // The manager is the level's; the plan only reads it and reserves and tags its structures.
    return const_cast<StructureManager*>(team_.GetManager().GetStructureManager());
}

bool ComputerPlayer::IsUnitTypeUnlocked(int unitType) const {
    return team_.GetManager().Services().IsUnitTypeUnlocked(unitType);
}

int ComputerPlayer::GetUnitCost(int unitType) const {
    BattleContext* battle = Battle();
    const UnitParams* params = battle != nullptr ? battle->GetUnitParams(unitType) : nullptr;
    return params != nullptr ? params->cost : 0;
}

Unit* ComputerPlayer::FindNearestIdleUnit(HexCoord target, int unitType, HexPath& route, int searchMode,
                                          bool stopShort, bool freeOnly) {
    return team_.FindNearestIdleUnitOfType(target, unitType, route, searchMode, stopShort, freeOnly, &PlanMap());
}

}  // namespace game
