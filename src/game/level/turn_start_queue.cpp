// Building and stepping the start-of-turn queue.
#include "game/level/turn_start_queue.h"

#include <algorithm>

#include "game/battle/battle_context.h"
#include "game/battle/structure.h"
#include "game/level/level.h"
#include "game/teams/are_enemies.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"
#include "game/units/unit.h"

namespace game {
namespace {

bool IsPadServiceBuilding(const Structure* building) {
    if (building == nullptr) return false;
    const int type = building->GetType();
    return type == kStructureSupplyShed || type == kStructureRepairS || building->IsProducer();
}

}  // namespace

void TurnStartQueue::Clear() {
    for (auto& event : events_) event.reset();
    count_ = 0;
    index_ = 0;
}

const TurnStartEvent* TurnStartQueue::GetEvent(int i) const {
    return i >= 0 && i < count_ ? events_[static_cast<std::size_t>(i)].get() : nullptr;
}

bool TurnStartQueue::Add(std::unique_ptr<TurnStartEvent> event) {
    if (Full()) return false;
    events_[static_cast<std::size_t>(count_++)] = std::move(event);
    return true;
}

bool TurnStartEventBefore(const TurnStartEvent& a, const TurnStartEvent& b) {
    const HexCoord ha = a.GetHex();
    const HexCoord hb = b.GetHex();
    if (ha.column != hb.column) return ha.column < hb.column;
    return ha.row > hb.row;
}

bool TurnStartQueue::Build(Level* level, TeamManager* teams) {
    Clear();
    level_ = level;
    teams_ = teams;
    Team* current = teams != nullptr ? teams->GetCurrentTeam() : nullptr;
    if (level == nullptr || current == nullptr) return false;
    const int kind = current->GetKind();
    const StructureManager& structures = level->GetStructureManager();

    for (int slot = 0; slot < kMaxStructures && !Full(); ++slot) {
        Structure* s = structures.GetStructure(slot);
        if (s != nullptr && s->GetType() == kStructureRefinery && s->GetTeam() == kind) {
            Add(std::make_unique<IncomeEvent>(*s, kind));
        }
    }
    if (teams->GetDay() > 1) {
        for (int slot = 0; slot < kMaxTeamUnits && !Full(); ++slot) {
            Unit* unit = current->GetUnit(slot);
            if (unit != nullptr && unit->GetTeamKind() == kind && IsAircraftType(unit->GetType()) &&
                unit->IsAirborne()) {
                Add(std::make_unique<FuelLossEvent>(*unit));
            }
        }
    }
    for (int slot = 0; slot < kMaxTeamUnits && !Full(); ++slot) {
        Unit* unit = current->GetUnit(slot);
        if (unit == nullptr || unit->GetTeamKind() != kind || unit->IsAirborne()) continue;
        if (unit->GetState() == kUnitNotPlaced || unit->GetState() == kUnitGone) continue;
        if (!unit->NeedsResupply(1.0f, false) && !(unit->GetHealth() < 0.999f)) continue;
        const Structure* under = structures.FindAtHex(unit->GetHexPos());
        if (under != nullptr && under->GetType() == kStructureBuildPad && under->GetTeam() == kind) {
            if (IsPadServiceBuilding(under->GetLinkedStructure())) Add(std::make_unique<PadServiceEvent>(*unit));
        } else if (unit->FindAdjacentSupplier() != nullptr) {
            Add(std::make_unique<UnitResupplyEvent>(*unit));
        }
    }
    const int mode = level->Battle().GetGameMode();
    for (int otherKind = kTeamNeutral; otherKind <= kTeamEnemy && !Full(); ++otherKind) {
        Team* other = teams->FindTeam(otherKind);
        if (other == nullptr || other == current) continue;
        for (int slot = 0; slot < kMaxTeamUnits && !Full(); ++slot) {
            Unit* unit = other->GetUnit(slot);
            if (unit == nullptr || unit->IsAirborne()) continue;
            if (unit->GetState() == kUnitNotPlaced || unit->GetState() == kUnitGone) continue;
            const Structure* pad = structures.FindAtHex(unit->GetHexPos());
            if (pad == nullptr || pad->GetType() != kStructureBuildPad) continue;
            const Structure* building = pad->GetLinkedStructure();
            if (building == nullptr || !building->IsProducer() || building->GetTeam() != kind) continue;
            if (AreEnemies(mode, teams->FindTeam(pad->GetTeam()), other)) Add(std::make_unique<PadClearEvent>(*unit));
        }
    }
    // Stable, so that the steps on one hex (a carrier and its passenger) keep their order.
    std::stable_sort(events_.begin(), events_.begin() + count_,
                     [](const auto& a, const auto& b) { return TurnStartEventBefore(*a, *b); });
    index_ = 0;
    return count_ > 0;
}

bool TurnStartQueue::Step() {
    if (index_ >= count_ || level_ == nullptr || teams_ == nullptr) return true;
    TurnStartContext context{*level_, *teams_,
                             (level_->Battle().GetOptionBits() & kOptionUpkeeps) != 0};
    if (events_[static_cast<std::size_t>(index_)]->Run(context)) ++index_;
    return false;
}

}  // namespace game
