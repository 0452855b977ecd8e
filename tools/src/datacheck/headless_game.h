#pragma once
// The game object without a window, GPU or sound: the validator loads levels through it exactly as the
// game's loading states do, and the autoplay plays whole battles through it. Every port but the computer
// player is a stand-in; the platform steps one frame per main-loop pass and ends the loop after the passes
// asked for.
#include <chrono>
#include <ctime>
#include <memory>
#include <string>

#include "engine/core/frame_timer.h"
#include "engine/core/random_streams.h"
#include "game/core/game.h"
#include "game/core/game_view.h"
#include "game/core/headless_ports.h"

namespace datacheck {

// Frames advance a clock of game time by the frame delta, and the frame timer (what the script's pauses and
// help icons wait on) ticks with it, as the engine's timer ticks once a frame in the program.
class HeadlessPlatform final : public game::GamePlatform {
public:
    engine::FrameTimer& Timer() { return timer_; }
    // The main loop ends at the first event poll after this many frames.
    void EndAfterFrames(int frames) { framesLeft_ = frames; }
    void SetFrameDelta(float seconds) { delta_ = seconds; }

    bool PopEvent(int& code) override;
    engine::KeyState ReadKey(int) override { return {}; }
    void ResetClock() override {}
    float GetFrameDelta() const override { return delta_; }
    void ShowSystemPointer() override {}
    void SelectResourceGroup(int) override {}
    void PurgeResourceGroup(int) override {}
    int FrameStep() override;
    int GetScreenWidth() const override { return 1280; }
    int GetScreenHeight() const override { return 720; }
    void GetPointerPosition(int& x, int& y) override { x = y = 0; }
    int TakeMouseWheel() override { return 0; }

private:
    int framesLeft_ = 1;
    float delta_ = 0.0f;
    std::chrono::nanoseconds now_{0};
    engine::FrameTimer timer_{[this] { return now_; }, [] { return std::time_t{0}; }};
};

// Draws nothing; every query answers as an empty scene would.
class NullGameView final : public game::GameView {
public:
    void LoadResources() override {}
    void DrawSplash(const char*) override {}
    void ResetExplosionsNode() override {}
    bool HasExplosionsNode() const override { return true; }
    bool IsExplosionsNodeEmpty() const override { return true; }
    void AddEffect(const char*, const engine::Matrix44&) override {}
    void ClearUnitMaterialCache() override {}
    void SetupLights(bool, std::uint32_t) override {}
    void BeginFrame(std::uint32_t) override {}
    void DrawMenuPicture() override {}
    void DrawGui() override {}
    void DrawOverlays() override {}
    void EndFrame() override {}
    void DrawProjectiles(game::ProjectileManager&) override {}
    void RefreshStructureModels(game::Level&) override {}
    void BuildRenderQueue() override {}
    void DrawTileMarkers(game::Level&) override {}
    void DrawLevelEffects(game::Level&) override {}
    void DrawCaptureMarkers(game::Level&) override {}
    void RenderQueue() override {}
    void DrawStructureHooks(game::Level&) override {}
    void DrawUnitOverlays(game::TeamManager&) override {}
    void DrawFloatingTexts(game::Level&) override {}
    void ApplyMonochrome(float, std::uint32_t) override {}
    void ApplyBlurBloom() override {}
    bool IsMoveMarkerFinished() const override { return false; }
    void DetachMoveMarker() override {}
    void ProjectToScreen(const engine::Vec3&, int& x, int& y) const override { x = y = 0; }
    bool PickAtScreen(int, int, engine::PickHit&, engine::Vec3&) override { return false; }
    void ScreenToRay(int, int, engine::PickSegment&) const override {}
    void AttachMoveMarker(const engine::Vec3&) override {}
};

// The stand-in profile with the map folder that the skirmish and pass-and-play loading states read.
class MapProfile final : public game::Profile {
public:
    std::string mapFolder;

    void StartLoad() override {}
    int Poll() override { return game::kProfileIdle; }
    void Save() override {}
    bool GetStartCountStop() const override { return false; }
    int GetStartCount() const override { return 0; }
    void SetStartCount(int) override {}
    std::string GetDefaultMapFolder() const override { return mapFolder; }
    std::string GetSpeechPack(int) const override { return {}; }
    int GetGraphicsLevel() const override { return 0; }
    std::uint32_t GetOptionBits() const override { return 0; }
    void SetCurrentCampaign(const std::string&) override {}
    bool IsSlotInUse(int) const override { return false; }
    void ClearSlot(int) override {}
    void SaveGameToSlot(int) override {}
    bool LoadGameFromSlot(int) override { return false; }
    int AddSkirmishWin() override { return 0; }
    std::array<int, 4> GetMatchOptions() const override { return {1000, 1000, 0, 0}; }
    int GetDifficulty() const override { return 0; }
    std::uint32_t GetTotalIncome() const override { return 0; }
    void AddTotalIncome(int) override {}
    int AddKill() override { return 0; }
    int AddSniperKill() override { return 0; }
};

// The campaign record the campaign loading state reads: one mission's level folder and start cash, set by
// the validator before each load.
class OneMissionCampaign final : public game::CampaignInfo {
public:
    std::string folder;
    std::pair<int, int> startCash;

    bool Load(const std::string&) override { return true; }
    std::string GetListedName() const override { return {}; }
    std::string GetSelectedMissionFolder() const override { return folder; }
    game::HexCoord GetSelectedStartTile() const override { return {}; }
    bool IsLastMissionSelected() const override { return false; }
    bool AllMissionsGold(int) const override { return false; }
    int GetFinishedMedal() const override { return 0; }
    int GetFinishedMargin() const override { return 0; }
    bool RecordResult(int, int) override { return false; }
    std::string GetSelectedMissionRecord() const override { return {}; }
    std::pair<int, int> GetStartCash() const override { return startCash; }
};

// A game over the stand-ins, with the unit assets loaded from the mounted data. Only one may exist at a
// time (the unit assets are process-wide).
class HeadlessGame {
public:
    // With computerPlayers set, the computer sides of a loaded level get the program's computer player,
    // planning on its worker thread, or inline when threadedPlanning is false (then no frame passes while
    // it plans, and a battle depends on its seed alone); else they get none and never act.
    explicit HeadlessGame(bool computerPlayers = false, bool threadedPlanning = true);
    ~HeadlessGame();
    HeadlessGame(const HeadlessGame&) = delete;
    HeadlessGame& operator=(const HeadlessGame&) = delete;

    // False when the unit tables did not load.
    bool UnitAssetsLoaded() const { return unitAssets_; }
    // Runs the loading state (9 pass-and-play, 10 skirmish) for the map folder: true when the level loaded
    // and the game went on to the turn queue.
    bool LoadMap(int state, const std::string& folder);
    // Runs the campaign loading state (8) for the level folder with the start cash of the player sides
    // (first) and of the neutral and enemy sides (second).
    bool LoadMission(const std::string& folder, std::pair<int, int> startCash);
    // Runs the main loop for that many frames of `delta` seconds each.
    void RunFrames(int frames, float delta);
    game::Game& Game() { return *game_; }

private:
    HeadlessPlatform platform_;
    NullGameView view_;
    MapProfile profile_;
    game::NullAchievements achievements_;
    game::SilentSoundBank sound_;
    game::SilentAnnouncer announcer_;
    game::StillCamera camera_;
    game::NoScreens screens_;
    engine::RandomStreams random_{[] { return 1u; }};
    std::unique_ptr<game::Game> game_;
    OneMissionCampaign next_;
    int missionLoads_ = 0;
    bool unitAssets_ = false;
};

}  // namespace datacheck
