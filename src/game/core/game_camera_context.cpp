#include "game/core/game_camera_context.h"

#include "game/core/game.h"
#include "game/level/level.h"

namespace game {

int GameCameraContext::GetGameState() const { return game_ != nullptr ? game_->GetState() : 0; }

int GameCameraContext::GetGameMode() const { return game_ != nullptr ? game_->GetGameMode() : kGameModeSkirmish; }

std::uint32_t GameCameraContext::GetOptionBits() const { return game_ != nullptr ? game_->GetOptionBits() : 0; }

bool GameCameraContext::IsFastForward() const { return game_ != nullptr && game_->IsFastForward(); }

int GameCameraContext::GetBackBufferWidth() const { return platform_.GetScreenWidth(); }

float GameCameraContext::GetFrameSeconds() const { return platform_.GetFrameDelta(); }

const HexMap* GameCameraContext::GetMap() const {
    const Level* level = game_ != nullptr ? game_->GetLevel() : nullptr;
    return level != nullptr ? &level->GetHexMap() : nullptr;
}

TeamManager* GameCameraContext::GetTeamManager() const {
    return game_ != nullptr && game_->GetLevel() != nullptr ? game_->GetTeamManager() : nullptr;
}

bool GameCameraContext::GetCampaignStartTile(HexCoord& out) const {
    const CampaignInfo* campaign = game_ != nullptr ? game_->GetCampaign() : nullptr;
    if (campaign == nullptr) return false;
    out = campaign->GetSelectedStartTile();
    return true;
}

void GameCameraContext::SetSceneryFocus(const engine::Vec3& centre, float radius) {
    if (Level* level = game_ != nullptr ? game_->GetLevel() : nullptr) level->GetDecorations().SetFocus(centre, radius);
}

void GameCameraContext::UpdateSceneryFade(const engine::Matrix44& camera) {
    if (Level* level = game_ != nullptr ? game_->GetLevel() : nullptr) level->GetDecorations().Update(camera);
}

void GameCameraContext::RestoreScenery() {
    if (Level* level = game_ != nullptr ? game_->GetLevel() : nullptr) level->GetDecorations().RestoreMaterials();
}

}  // namespace game
