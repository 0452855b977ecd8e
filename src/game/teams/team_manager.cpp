#include "game/teams/team_manager.h"

#include "game/battle/battle_context.h"
#include "game/battle/battle_types.h"
#include "game/teams/ai_player.h"
#include "game/teams/team_services.h"

namespace game {

TeamManager::TeamManager(BattleContext& battle, TeamServices& services) : battle_(battle), services_(services) {}

TeamManager::~TeamManager() { Destroy(); }

void TeamManager::Init() {
    Destroy();
    currentTeam_ = -1;
    day_ = 1;
    lastSeenDay_ = 0;
    settingUp_ = false;
    undo_ = {};
}

void TeamManager::Destroy() {
    // The planner reads the teams from its own thread: it ends before any team goes.
    for (auto& team : teams_) {
        if (team && team->GetAIPlayer() != nullptr) team->GetAIPlayer()->StopPlanning();
    }
    undo_ = {};
    for (auto& team : teams_) team.reset();
}

Team* TeamManager::GetOrCreateTeam(int kind) {
    if (kind < 0 || kind > kMaxTeamKind) return nullptr;
    if (Team* team = FindTeam(kind)) return team;
    const int slot = FindFreeSlot();
    if (slot < 0) return nullptr;
    teams_[static_cast<std::size_t>(slot)] = std::make_unique<Team>(kind, *this);
    return teams_[static_cast<std::size_t>(slot)].get();
}

Team* TeamManager::FindTeam(int kind) const {
    for (const auto& team : teams_) {
        if (team && team->GetKind() == kind) return team.get();
    }
    return nullptr;
}

Team* TeamManager::GetTeam(int slot) const {
    return slot >= 0 && slot < kTeamKindCount ? teams_[static_cast<std::size_t>(slot)].get() : nullptr;
}

int TeamManager::FindFreeSlot() const {
    for (int i = 0; i < kTeamKindCount; ++i) {
        if (!teams_[static_cast<std::size_t>(i)]) return i;
    }
    return -1;
}

Team* TeamManager::GetCurrentTeam() const { return GetTeam(currentTeam_); }

bool TeamManager::IsNewDay(int& day) {
    day = day_;
    if (day_ <= lastSeenDay_) return false;
    lastSeenDay_ = day_;
    return true;
}

Team* TeamManager::FindOtherTeam(const Team* team) const {
    for (int i = 1; i < kTeamKindCount; ++i) {
        Team* other = teams_[static_cast<std::size_t>(i)].get();
        if (other != nullptr && other != team) return other;
    }
    return nullptr;
}

int TeamManager::GetPlayerCash() const {
    int cash = 0;
    for (const auto& team : teams_) {
        if (team && team->GetControl() == kControlHuman) cash += team->GetCash();
    }
    return cash;
}

int TeamManager::CountPlayerTeams() const {
    int count = 0;
    for (const auto& team : teams_) {
        if (team && team->GetControl() == kControlHuman) ++count;
    }
    return count;
}

int TeamManager::CountPlayerLiveUnits() const {
    int count = 0;
    for (const auto& team : teams_) {
        if (team && team->GetControl() == kControlHuman) count += team->CountLiveUnits();
    }
    return count;
}

bool TeamManager::AnyPlayerCanTakeTurn() const {
    for (const auto& team : teams_) {
        if (team && team->GetControl() == kControlHuman && team->CanTakeTurn()) return true;
    }
    return false;
}

int TeamManager::CountTargetMarkedUnits() const {
    int count = 0;
    for (const auto& team : teams_) {
        if (team) count += team->CountTargetMarkedUnits();
    }
    return count;
}

Unit* TeamManager::FindUnitById(int id) const {
    if (id == 0) return nullptr;
    for (const auto& team : teams_) {
        if (!team) continue;
        if (Unit* unit = team->FindUnitById(id)) return unit;
    }
    return nullptr;
}

Unit* TeamManager::FindUnitByNode(const engine::SceneNode* node) const {
    for (const auto& team : teams_) {
        if (!team) continue;
        if (Unit* unit = team->FindUnitByNode(node)) return unit;
    }
    return nullptr;
}

Unit* TeamManager::FindAirUnitAt(HexCoord hex) const {
    for (const auto& team : teams_) {
        if (!team) continue;
        if (Unit* unit = team->FindAirUnitAt(hex)) return unit;
    }
    return nullptr;
}

Unit* TeamManager::FindUnitAt(HexCoord hex) const {
    Unit* airborne = nullptr;
    for (const auto& team : teams_) {
        if (!team) continue;
        Unit* unit = team->FindUnitAt(hex);
        if (unit == nullptr) continue;
        if (!unit->IsAirborne()) return unit;
        airborne = unit;
    }
    return airborne;
}

bool TeamManager::ListUnitHexes(std::vector<HexCoord>& out) const {
    for (const auto& team : teams_) {
        if (team && !team->ListUnitHexes(out)) return false;
    }
    return true;
}

void TeamManager::PlayEndReactions(bool playerWon) {
    for (auto& team : teams_) {
        if (team) team->PlayEndReaction(team->GetControl() == kControlHuman ? playerWon : !playerWon);
    }
}

bool TeamManager::IsBusy() const {
    for (const auto& team : teams_) {
        if (team && team->IsAnyUnitBusy()) return true;
    }
    return services_.IsProjectileBusy();
}

void TeamManager::Update() {
    for (auto& team : teams_) {
        if (team) team->Update();
    }
}

void TeamManager::UpdateAnimations() {
    for (auto& team : teams_) {
        if (team) team->UpdateUnitAnimations();
    }
}

void TeamManager::DrawUnitOverlays(engine::RenderTargetBase& target, const ScreenProjector& projector,
                                   TextPainter& painter, std::uint32_t sheet) const {
    if (GetCurrentTeam() == nullptr) return;
    for (const auto& team : teams_) {
        if (team) team->DrawUnitOverlays(target, projector, painter, sheet);
    }
}

void TeamManager::ClearTargetMarks() {
    for (auto& team : teams_) {
        if (team) team->ClearTargetMarks();
    }
}

void TeamManager::RemoveGoneUnits() {
    // A removed unit must not stay behind in the undo record.
    if (undo_.unit != nullptr &&
        (undo_.unit->GetState() == kUnitGone || undo_.unit->GetState() == kUnitNotPlaced)) {
        undo_ = {};
    }
    for (auto& team : teams_) {
        if (team) team->RemoveGoneUnits();
    }
}

void TeamManager::SaveCurrentSupplies() {
    if (Team* team = GetCurrentTeam()) team->SaveUnitSupplies();
}

void TeamManager::RestoreCurrentSupplies() {
    if (Team* team = GetCurrentTeam()) team->RestoreUnitSupplies();
}


bool TeamManager::AdvanceTurn() {
    undo_ = {};
    for (int step = 0; step < kTeamKindCount; ++step) {
        ++currentTeam_;
        if (currentTeam_ >= kTeamKindCount) {
            currentTeam_ = 0;
            ++day_;
        }
        Team* team = GetCurrentTeam();
        if (team == nullptr) continue;
        if (team->GetControl() == kControlNone) {
            team->StartTurn();
            continue;
        }
        if (team->CanTakeTurn() || day_ == 1 || team->GetControl() != kControlHuman) {
            team->StartTurn();
            const int mode = battle_.GetGameMode();
            if (day_ >= 2 && (mode == kGameModePassAndPlay || mode == kGameModeSkirmish)) {
                if (team->GetKind() == kTeamBlue) team->AddCash(services_.GetTurnBonus(0));
                if (team->GetKind() == kTeamGreen) team->AddCash(services_.GetTurnBonus(1));
            }
            return false;
        }
    }
    if (GetCurrentTeam() == nullptr) currentTeam_ = 0;
    return true;
}

void TeamManager::SaveUndo(Unit* unit) {
    undo_ = {};
    if (unit == nullptr) return;
    undo_.unit = unit;
    undo_.before = unit->GetMoveState();
    SaveCurrentSupplies();
}

void TeamManager::Undo() {
    Unit* unit = undo_.unit;
    if (unit == nullptr) return;
    unit->SetMoveState(undo_.before);
    // The selection goes whole, so that the next tap on a unit selects it afresh and shows its ranges.
    services_.ClearSelectionAndRange();
    RestoreCurrentSupplies();
    undo_ = {};
}

}  // namespace game
