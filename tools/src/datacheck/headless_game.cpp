#include "datacheck/headless_game.h"

#include "game/battle/team_colours.h"
#include "game/ai/computer_player.h"
#include "game/ai/level_computer_ports.h"
#include "game/core/computer_player_factory.h"
#include "game/units/unit_assets.h"

namespace datacheck {

namespace {
constexpr int kEventQuit = 3;
}  // namespace

bool HeadlessPlatform::PopEvent(int& code) {
    if (framesLeft_ > 0) return false;
    code = kEventQuit;
    return true;
}

int HeadlessPlatform::FrameStep() {
    if (framesLeft_ > 0) --framesLeft_;
    now_ += std::chrono::nanoseconds(static_cast<long long>(static_cast<double>(delta_) * 1e9));
    timer_.Tick();
    return 1;
}

HeadlessGame::HeadlessGame(bool computerPlayers, bool threadedPlanning) {
    game::InitTeamColours();
    game::GameParts parts;
    parts.platform = &platform_;
    parts.view = &view_;
    parts.profile = &profile_;
    parts.achievements = &achievements_;
    parts.sound = &sound_;
    parts.announcer = &announcer_;
    parts.camera = &camera_;
    parts.screens = &screens_;
    parts.random = &random_;
    parts.timer = &platform_.Timer();
    parts.campaignContext = this;
    parts.createCampaign = [](void* context) -> std::unique_ptr<game::CampaignInfo> {
        return std::make_unique<OneMissionCampaign>(static_cast<HeadlessGame*>(context)->next_);
    };
    if (computerPlayers && threadedPlanning) {
        parts.createAIPlayer = game::CreateComputerPlayer;
    } else if (computerPlayers) {
        parts.createAIPlayer = [](game::Team& team, game::Level& level,
                                  game::TeamManager& teams) -> std::unique_ptr<game::AIPlayer> {
            return std::make_unique<game::ComputerPlayer>(team,
                                                          std::make_unique<game::LevelComputerPorts>(level, teams, false));
        };
    }
    game_ = std::make_unique<game::Game>(parts);
    unitAssets_ = game::LoadUnitAssets(*game_, nullptr) == 1;
}

HeadlessGame::~HeadlessGame() {
    game_.reset();
    game::FreeUnitAssets();
}

void HeadlessGame::RunFrames(int frames, float delta) {
    platform_.SetFrameDelta(delta);
    platform_.EndAfterFrames(frames);
    game_->RunMainLoop();
}

bool HeadlessGame::LoadMap(int state, const std::string& folder) {
    profile_.mapFolder = folder;
    game_->SetState(state);
    platform_.SetFrameDelta(0.0f);
    platform_.EndAfterFrames(1);
    game_->RunMainLoop();
    return game_->GetLevel() != nullptr && game_->GetTeamManager() != nullptr && game_->GetState() != state;
}

}  // namespace datacheck

namespace datacheck {

bool HeadlessGame::LoadMission(const std::string& folder, std::pair<int, int> startCash) {
    next_.folder = folder;
    next_.startCash = startCash;
    // A new name each time, so that the game makes a fresh campaign record from next_.
    if (game_->SelectCampaign("datacheck" + std::to_string(++missionLoads_)) != 1) return false;
    game_->SetState(game::kGameLoadCampaign);
    platform_.SetFrameDelta(0.0f);
    platform_.EndAfterFrames(1);
    game_->RunMainLoop();
    return game_->GetLevel() != nullptr && game_->GetTeamManager() != nullptr &&
           game_->GetState() != game::kGameLoadCampaign;
}

}  // namespace datacheck
