#include "game/core/game.h"

#include "engine/scene/model_queries.h"
#include "engine/scene/scene_node.h"
#include "game/battle/structure.h"
#include "game/battle/structure_manager.h"
#include "game/core/campaign_titles.h"
#include "game/core/display_mode.h"
#include "game/core/screen_rects.h"
#include "game/core/string_table.h"
#include "game/level/level.h"
#include "game/level/level_presenter.h"
#include "game/level/level_unit_services.h"
#include "game/level/turn_start_queue.h"
#include "game/teams/ai_player.h"
#include "game/teams/are_enemies.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"
#include "game/units/projectile_manager.h"
#include "game/units/unit.h"
#include "game/units/unit_tables.h"

namespace game {

namespace {

// A unit's outermost carrier, up to two levels up.
Unit* OutermostCarrier(Unit* unit) {
    for (int level = 0; level < 2 && unit != nullptr && unit->GetCarrier() != nullptr; ++level) {
        unit = unit->GetCarrier();
    }
    return unit;
}

// Achievements the game awards itself.
constexpr int kAchievementCampaignComplete = 2;
constexpr int kAchievementCampaignAllGold = 3;
constexpr int kAchievementPackOneComplete = 4;
constexpr int kAchievementPackTwoComplete = 5;
constexpr int kAchievementSkirmish10 = 10;
constexpr int kAchievementSkirmish100 = 11;

}  // namespace

Game::Game(const GameParts& parts)
    : parts_(parts),
      emptyMap_(std::make_unique<HexMap>()),
      projectiles_(std::make_unique<ProjectileManager>()),
      queue_(std::make_unique<TurnStartQueue>()) {
    emptyMap_->SetBattleContext(this);
    queue_->Init();
    if (parts_.helpIcons == nullptr) parts_.helpIcons = &levelHelpIcons_;
    if (parts_.moveChoice == nullptr) parts_.moveChoice = &noMoveChoice_;
    if (parts_.orders == nullptr) parts_.orders = &unitOrders_;
    // What is laid out by the screen size reads it from the first frame on, not only after a display switch.
    if (parts_.platform != nullptr) SetScreenSize(parts_.platform->GetScreenWidth(), parts_.platform->GetScreenHeight());
}

Game::~Game() {
    // The battle first (its units are borrowed by the projectiles and the selection), then the campaign.
    projectiles_->Clear();
    queue_->Destroy();
    campaign_.reset();
    if (teams_) teams_->Destroy();
    unitServices_.reset();
    teams_.reset();
    if (level_) level_->Destroy();
    level_.reset();
}

void Game::OnExit() {
    if (parts_.profile != nullptr) parts_.profile->Save();
}

void Game::SetModalOpen(bool open) {
    modal_ = open;
    parts_.sound->StopStreams(open);
}

void Game::GetButtonRowRect(engine::IntRect& rect, int index) const {
    rect = {50 * index - 50, 416, 50, 50};
    ScaleRect(rect);
}

void Game::ApplyLightingQuality() {
    const bool quality = (GetOptionBits() & kOptionQuality) != 0;
    parts_.view->SetupLights(quality, quality ? 0x80FFFFE6u : 0xFFFFFFE6u);
}

int Game::SelectCampaign(const std::string& name) {
    if (name == campaignName_) return 1;
    campaign_.reset();
    if (parts_.createCampaign != nullptr) campaign_ = parts_.createCampaign(parts_.campaignContext);
    if (!campaign_ || !campaign_->Load("Campaigns\\" + name)) {
        // The name stays unset, so that the next call loads again.
        campaignName_ = "Uninitialised";
        return 0;
    }
    parts_.profile->SetCurrentCampaign(name);
    campaignName_ = name;
    return 1;
}

void Game::EndLevel() {
    parts_.announcer->Hide();
    DropBattle();
    parts_.profile->ClearSlot(kAutosaveSlot);
    parts_.profile->Save();
}

void Game::DropBattle() {
    if (teams_) teams_->Destroy();
    unitServices_.reset();
    teams_.reset();
    if (level_) level_->Destroy();
    level_.reset();
    projectiles_->Clear();
    parts_.view->ResetExplosionsNode();
    parts_.platform->PurgeResourceGroup(1);
    parts_.view->ClearUnitMaterialCache();
    parts_.platform->SelectResourceGroup(0);
    ClearSelectionPointers();
    pickedNode_ = nullptr;
    pickedByNode_ = false;
    pickedStructure_ = nullptr;
    shopStructure_ = nullptr;
    parts_.screens->SetPanelUnit(nullptr);
}

void Game::ClearSelectionPointers() {
    selected_ = nullptr;
    pressed_ = nullptr;
    inspected_ = nullptr;
    pressedStructure_ = nullptr;
}

void Game::ClearMarks() {
    if (level_) {
        level_->GetHexMap().ClearMarkBits(0xFFFF);
        level_->GetStructureManager().ClearMarks();
    }
    if (teams_) teams_->ClearTargetMarks();
}

void Game::ClearSelection() {
    ClearMarks();
    for (Unit* unit : {selected_, inspected_}) {
        if (unit != nullptr) unit->SetHighlight(0);
    }
    parts_.screens->SetPanelUnit(nullptr);
}

void Game::ClearSelectionAndRange() {
    ClearSelection();
    if (level_) level_->GetHexMap().ClearRangeSteps();
    selected_ = nullptr;
    pressed_ = nullptr;
    inspected_ = nullptr;
}

void Game::ClearRangeAndMarks() {
    if (!level_) return;
    level_->GetHexMap().ClearRangeSteps();
    ClearMarks();
}

Structure* Game::FindPickedStructure() const {
    if (!level_) return nullptr;
    const StructureManager& structures = level_->GetStructureManager();
    if (pickedNode_ != nullptr) {
        if (Structure* found = structures.FindByNode(pickedNode_)) return found;
    }
    return IsValidHex(pointerHex_) ? structures.FindAtHex(pointerHex_) : nullptr;
}

Unit* Game::FindPickedUnit() {
    if (!teams_) return nullptr;
    Unit* unit = pickedNode_ != nullptr ? teams_->FindUnitByNode(pickedNode_) : nullptr;
    if (unit != nullptr) {
        pickedByNode_ = true;
    } else {
        pickedByNode_ = false;
        unit = IsValidHex(pointerHex_) ? teams_->FindUnitAt(pointerHex_) : nullptr;
        if (unit != nullptr && unit->GetState() == kUnitGone) return nullptr;
    }
    return OutermostCarrier(unit);
}

bool Game::GetMoveTargetHex(HexCoord& out, const Unit* mover) const {
    if (!level_ || !IsValidHex(pointerHex_)) return false;
    constexpr std::uint16_t kTargetMarks = 0x001 | 0x040 | 0x080 | 0x100;
    if ((level_->GetHexMap().GetMarkBits(pointerHex_) & kTargetMarks) == 0) return false;
    const Unit* there = teams_ ? teams_->FindUnitAt(pointerHex_) : nullptr;
    if (there != nullptr) {
        if (mover == nullptr) return false;
        if (there->IsAirborne() == mover->IsAirborne()) {
            if (there->IsAirborne()) return false;
            if (!there->CanCarryType(mover->GetType()) || there->GetPassenger() != nullptr) return false;
        }
        if (there->IsAircraft()) {
            const Unit* air = teams_->FindAirUnitAt(pointerHex_);
            if (air != nullptr && air != mover) return false;
        }
    }
    out = pointerHex_;
    return true;
}

void Game::CountSkirmishWin() {
    if (gameMode_ != kGameModeSkirmish) return;
    const int wins = parts_.profile->AddSkirmishWin();
    if (wins == 10) UnlockAchievement(kAchievementSkirmish10);
    if (wins == 100) UnlockAchievement(kAchievementSkirmish100);
}

void Game::AwardCampaignAchievements(bool afterResult) {
    if (gameMode_ != kGameModeCampaign || !campaign_) return;
    const std::string listed = campaign_->GetListedName();
    const bool finalWon = campaign_->IsLastMissionSelected() && !afterResult;
    if (listed == kCampaignTitles[0]) {
        if (finalWon) UnlockAchievement(kAchievementCampaignComplete);
        if (campaign_->AllMissionsGold(GetDifficulty())) UnlockAchievement(kAchievementCampaignAllGold);
    } else if (listed == kCampaignTitles[1]) {
        if (finalWon) UnlockAchievement(kAchievementPackOneComplete);
    } else if (listed == kCampaignTitles[2]) {
        if (finalWon) UnlockAchievement(kAchievementPackTwoComplete);
    }
}

bool Game::AreEnemies(const Team* a, const Team* b) const { return game::AreEnemies(gameMode_, a, b); }

int Game::NextUnitId() { return nextUnitId_.fetch_add(1) + 1; }

void Game::RaiseUnitIdCounter(int id) {
    int current = nextUnitId_.load();
    while (current < id && !nextUnitId_.compare_exchange_weak(current, id)) {
    }
}

// --- BattleContext ---------------------------------------------------------------------------------------

MapUnit* Game::FindMapUnitAt(HexCoord hex) const { return teams_ ? teams_->FindUnitAt(hex) : nullptr; }
MapUnit* Game::FindAirMapUnitAt(HexCoord hex) const { return teams_ ? teams_->FindAirUnitAt(hex) : nullptr; }
bool Game::ListUnitHexes(std::vector<HexCoord>& out) const { return !teams_ || teams_->ListUnitHexes(out); }

int Game::GetCurrentTeamKind() const {
    const Team* team = teams_ ? teams_->GetCurrentTeam() : nullptr;
    return team != nullptr ? team->GetKind() : -1;
}

int Game::GetTeamControl(int teamKind) const {
    const Team* team = teams_ ? teams_->FindTeam(teamKind) : nullptr;
    return team != nullptr ? team->GetControl() : kControlNone;
}

std::span<MapUnit* const> Game::GetTeamMapUnits(int teamKind) const {
    teamList_.clear();
    const Team* team = teams_ ? teams_->FindTeam(teamKind) : nullptr;
    for (int i = 0; team != nullptr && i < kMaxTeamUnits; ++i) {
        Unit* unit = team->GetUnit(i);
        if (unit != nullptr && unit->GetState() != kUnitNotPlaced && unit->GetState() != kUnitGone) {
            teamList_.push_back(unit);
        }
    }
    return teamList_;
}

void Game::ClearTargetMarks() {
    if (teams_) teams_->ClearTargetMarks();
}
int Game::CountTargetMarkedUnits() const { return teams_ ? teams_->CountTargetMarkedUnits() : 0; }
Structure* Game::FindStructureAt(HexCoord hex) const {
    return level_ ? level_->GetStructureManager().FindAtHex(hex) : nullptr;
}
void Game::ClearStructureMarks() {
    if (level_) level_->GetStructureManager().ClearMarks();
}
const UnitParams* Game::GetUnitParams(int unitType) const {
    return unitType >= 1 && unitType < kUnitTypeCount ? &game::GetUnitParams(unitType) : nullptr;
}
bool Game::IsHeldImmobile(const MapUnit& unit) const {
    const Team* team = teams_ ? teams_->FindTeam(unit.GetTeamKind()) : nullptr;
    const AIPlayer* ai = team != nullptr ? team->GetAIPlayer() : nullptr;
    const Unit* own = dynamic_cast<const Unit*>(&unit);
    return ai != nullptr && own != nullptr && ai->IsUnitImmobilized(own->GetId());
}
bool Game::BoxTouchesLevel(const engine::Matrix44& box, const engine::Vec3& halfSize) const {
    engine::SceneNode* model = level_ && parts_.levelPresenter != nullptr ? parts_.levelPresenter->GetModelNode()
                                                                          : nullptr;
    if (model == nullptr) return false;
    // A list of its own: the computer player's planning asks from its worker thread.
    engine::TriangleList triangles;
    const engine::Aabb extent{{-halfSize.x, -halfSize.y, -halfSize.z}, {halfSize.x, halfSize.y, halfSize.z}};
    engine::SceneNode::GatherTrianglesInBox(extent, &triangles, model, box);
    return triangles.GetCount() > 0;
}
Unit* Game::FindUnitById(int id) const { return teams_ && id != 0 ? teams_->FindUnitById(id) : nullptr; }
Unit* Game::FindUnitAt(HexCoord hex) const { return teams_ ? teams_->FindUnitAt(hex) : nullptr; }
bool Game::IsSettingUp() const { return teams_ && teams_->IsSettingUp(); }
std::uint32_t Game::GetOptionBits() const { return parts_.profile != nullptr ? parts_.profile->GetOptionBits() : 0; }
void Game::UnlockAchievement(int achievement) {
    if (parts_.achievements != nullptr) parts_.achievements->Unlock(achievement);
}
engine::WideString Game::GetText(const char* key) const {
    if (parts_.strings != nullptr) return parts_.strings->Lookup(key);
    // Without a string table the key stands for its text.
    return engine::WideString(key);
}
UnitServices* Game::GetUnitServices() { return unitServices_.get(); }
HexMap& Game::GetHexMap() { return level_ ? level_->GetHexMap() : *emptyMap_; }

// --- TeamServices ----------------------------------------------------------------------------------------

std::unique_ptr<AIPlayer> Game::CreateAIPlayer(Team& team) {
    if (!parts_.createAIPlayer || !level_ || !teams_) return nullptr;
    return parts_.createAIPlayer(team, *level_, *teams_);
}
void Game::RefreshCash() { parts_.screens->RefreshCash(); }
void Game::OnTurnStart() { parts_.screens->OnTurnStart(); }
bool Game::IsAnyBlockRunning() const {
    if (parts_.scripts != nullptr) return parts_.scripts->IsAnyBlockRunning();
    return level_ && level_->GetScriptManager().IsAnyBlockRunning();
}
bool Game::IsUnitTypeUnlocked(int unitType) const { return !level_ || level_->IsUnitTypeUnlocked(unitType); }
bool Game::IsProjectileBusy() const { return projectiles_->IsBusy(); }
bool Game::LookAtUnit(Unit& unit) { return parts_.camera != nullptr && parts_.camera->LookAtUnit(unit); }
void Game::FollowUnit(Unit& unit) {
    if (parts_.camera != nullptr) parts_.camera->FollowObject(&unit);
}
bool Game::IsSideActing() const { return state_ == kGameSideTurn && !parts_.announcer->IsShowing(); }
int Game::GetTurnBonus(int side) const { return GetMatchOptions()[side == 0 ? 2 : 3]; }

void Game::OnUnitDeleting(const Unit& unit) {
    for (Unit** member : {&selected_, &pressed_, &inspected_}) {
        if (*member == &unit) *member = nullptr;
    }
    if (parts_.screens->GetPanelUnit() == &unit) parts_.screens->SetPanelUnit(nullptr);
    if (parts_.camera != nullptr) parts_.camera->OnUnitDeleting(unit);
}

// --- LevelServices ---------------------------------------------------------------------------------------

void Game::LookAtHex(HexCoord hex) { parts_.camera->LookAtHex(hex); }
bool Game::IsBattleZoomActive() const { return parts_.camera->IsBattleZoomActive(); }
void Game::StartBattleZoom(Unit& attacker, Unit& target) { parts_.camera->StartBattleZoom(attacker, target); }
void Game::EndBattleZoom() { parts_.camera->EndBattleZoom(); }
void Game::PlayLevelSound(int sound) { parts_.sound->PlaySound(sound); }
void Game::PlayMusic(int track) { parts_.sound->PlayMusic(track); }
void Game::StopMusic() { parts_.sound->StopMusic(); }
int Game::StartLoopSound(int sound) { return parts_.sound->StartLoop(sound); }
void Game::StopLoopSound(int handle, float fadeSeconds) { parts_.sound->StopLoop(handle, fadeSeconds); }
void Game::PlaySpeech(int teamKind, int cue) { parts_.sound->PlaySpeech(teamKind, cue); }
void Game::AddEffect(const char* prototype, const engine::Matrix44& placement) {
    parts_.view->AddEffect(prototype, placement);
}
std::uint32_t Game::GetTotalIncome() const { return parts_.profile->GetTotalIncome(); }
void Game::AddTotalIncome(int amount) { parts_.profile->AddTotalIncome(amount); }
std::array<int, 4> Game::GetMatchOptions() const { return parts_.profile->GetMatchOptions(); }
int Game::GetDifficulty() const { return parts_.profile->GetDifficulty(); }
int Game::AddProfileKill() { return parts_.profile->AddKill(); }
int Game::AddProfileSniperKill() { return parts_.profile->AddSniperKill(); }
void Game::ShowBanner(const engine::WideString& text, float seconds) { parts_.screens->ShowBanner(text, seconds); }
bool Game::IsBannerShowing() const { return parts_.screens->IsBannerShowing(); }
void Game::AddHelpIcon(HexCoord hex, const std::string& textKey, float seconds) {
    if (level_) level_->GetHelpIcons().Add(hex, textKey, seconds);
}
bool Game::RunScriptBlocks() {
    if (parts_.scripts != nullptr) return parts_.scripts->RunBlocks();
    return !level_ || level_->GetScriptManager().RunBlocks() == 1;
}
void Game::FireScriptDayStart(int day) {
    if (parts_.scripts != nullptr) {
        parts_.scripts->FireDayStart(day);
    } else if (level_) {
        level_->GetScriptManager().FireDayStart(day);
    }
}
CampaignStartCash Game::GetCampaignStartCash() const {
    if (!campaign_) return {};
    const auto cash = campaign_->GetStartCash();
    return {cash.first, cash.second};
}

}  // namespace game
