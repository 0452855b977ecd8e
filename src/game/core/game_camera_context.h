#pragma once
// The battle camera's view of the game: the game's state, mode, options and fast-forward, the platform's
// screen width and frame time, the loaded level's map, sides and scenery and the campaign's start tile.
#include "game/level/battle_camera.h"

namespace game {

class Game;
class GamePlatform;

class GameCameraContext final : public CameraContext {
public:
    explicit GameCameraContext(GamePlatform& platform) : platform_(platform) {}
    // The game answered for; null: no game (state 0, no level).
    void AttachGame(const Game* game) { game_ = game; }

    int GetGameState() const override;
    int GetGameMode() const override;
    std::uint32_t GetOptionBits() const override;
    bool IsFastForward() const override;
    int GetBackBufferWidth() const override;
    float GetFrameSeconds() const override;
    const HexMap* GetMap() const override;
    TeamManager* GetTeamManager() const override;
    bool GetCampaignStartTile(HexCoord& out) const override;
    // The loaded level's scenery.
    void SetSceneryFocus(const engine::Vec3& centre, float radius) override;
    void UpdateSceneryFade(const engine::Matrix44& camera) override;
    void RestoreScenery() override;

private:
    GamePlatform& platform_;
    const Game* game_ = nullptr;
};

}  // namespace game
