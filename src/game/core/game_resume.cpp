// Resuming a saved game: the battle in progress is dropped, the slot's campaign mission or map is loaded
// and the level restores teams, units and structures from the slot.
#include <cstdio>

#include "game/core/game.h"
#include "game/level/game_slot.h"
#include "game/level/level.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"

namespace game {

namespace {

constexpr const char* kCampaignPrefix = "Campaigns\\";

}  // namespace

void Game::DropBattleForResume() {
    DropBattle();
    state_ = kGameMainMenu;
    StopMusic();
    Render(true, false);
}

Game::ResumeResult Game::ResumeSavedBattle(const GameSlot& slot) {
    gameMode_ = slot.gameMode;
    std::string folder;
    if (slot.gameMode == kGameModeCampaign) {
        const std::string name = slot.folder.substr(std::char_traits<char>::length(kCampaignPrefix));
        if (SelectCampaign(name) == 0 || !campaign_) return ResumeResult::kNoCampaign;
        if (slot.missionIndex >= campaign_->GetMissionCount()) return ResumeResult::kRefused;
        campaign_->SelectMission(slot.missionIndex);
        folder = campaign_->GetSelectedMissionFolder();
    } else {
        folder = slot.folder;
        parts_.screens->SelectMap(folder);
    }
    parts_.platform->SelectResourceGroup(1);
    level_ = std::make_unique<Level>(*this, *this, parts_.levelPresenter,
                                     parts_.view->GetStructurePresenter());
    teams_ = std::make_unique<TeamManager>(*this, *this);
    teams_->Init();
    const bool loaded = !folder.empty() && level_->Load(folder);
    if (!loaded || !level_->RestoreFromSave(*teams_, slot)) {
        std::fprintf(stderr, "tinmarch: the saved game does not fit the level \"%s\"\n", folder.c_str());
        DropBattle();
        return ResumeResult::kRefused;
    }
    // The restored ids may lie above the saved counter; it is never lowered.
    RaiseUnitIdCounter(slot.nextUnitId);
    for (const SavedHelpIcon& icon : slot.helpIcons) {
        if (!icon.text.empty()) AddHelpIcon(icon.hex, icon.text, static_cast<float>(icon.bannerValue));
    }
    if (IsValidHex(slot.focusHex)) parts_.camera->LookAtHex(slot.focusHex);
    parts_.camera->EndBattleZoom();
    parts_.screens->ShowTurnPanels();
    level_->PlayMusic();
    parts_.platform->SelectResourceGroup(0);
    SetState(kGameSideTurn);
    return ResumeResult::kResumed;
}

}  // namespace game
