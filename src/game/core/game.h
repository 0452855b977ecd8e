#pragma once
// The one top-level object of the game: it owns the battle in progress (level and team manager) and the
// services around it, walks the game states, runs the main loop and answers the battle's, the teams' and the
// level's questions from what it owns.
#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/int_rect.h"
#include "engine/core/wide_string.h"
#include "game/battle/battle_context.h"
#include "game/battle/hex_map.h"
#include "game/core/game_ports.h"
#include "game/core/game_resources.h"
#include "game/core/game_view.h"
#include "game/core/level_help_icon_port.h"
#include "game/core/player_ports.h"
#include "game/core/pointer_state.h"
#include "game/level/level_services.h"
#include "game/teams/team_services.h"

namespace engine {
class FrameTimer;
class RandomStreams;
class SceneNode;
}  // namespace engine

namespace game {

class Level;
class LevelPresenter;
struct GameSlot;
class LevelUnitServices;
class ProjectileManager;
class Structure;
class StringTable;
class Team;
class TeamManager;
class TurnStartQueue;

// Game states.
inline constexpr int kGameWon = 1;
inline constexpr int kGameLost = 2;
inline constexpr int kGameStartup = 3;
inline constexpr int kGameProfileLoading = 4;
inline constexpr int kGameMainMenu = 5;
inline constexpr int kGameBetweenTurns = 6;
inline constexpr int kGameSideTurn = 7;
inline constexpr int kGameLoadCampaign = 8;
inline constexpr int kGameLoadPassAndPlay = 9;
inline constexpr int kGameLoadSkirmish = 10;
inline constexpr int kGameShop = 11;
inline constexpr int kGameBackToTurn = 12;
inline constexpr int kGameLeaveLevel = 13;
inline constexpr int kGameTurnStartQueue = 14;
inline constexpr int kGameMissionCompleted = 15;
inline constexpr int kGameAfterLoss = 16;
inline constexpr int kGameRestartLevel = 17;
inline constexpr int kGameBackToPassAndPlay = 18;
inline constexpr int kGameBackToSkirmish = 19;

// The option bit of the quality setting: the fade and bloom passes, lights and end-of-battle effects.
inline constexpr std::uint32_t kOptionQuality = 0x10;
// The fade colour that means no fade.
inline constexpr std::uint32_t kNoFade = 0xFFFFFFFFu;
// At most this many profile polls in start-up before going on with the record as it stands.
inline constexpr int kMaxProfilePolls = 64;

// Everything the game reaches outside itself. Pointers are borrowed and must outlive the game; the profile
// and the achievements are made in state 4 by the factories when given, else the ones given are used.
struct GameParts {
    GamePlatform* platform = nullptr;
    GameView* view = nullptr;
    Profile* profile = nullptr;
    Achievements* achievements = nullptr;
    SoundBank* sound = nullptr;
    Announcer* announcer = nullptr;
    CameraController* camera = nullptr;
    Screens* screens = nullptr;
    // Makes an empty campaign record for SelectCampaign.
    std::unique_ptr<CampaignInfo> (*createCampaign)(void* context) = nullptr;
    void* campaignContext = nullptr;
    // The computer player of a computer-controlled team of the loaded level; an empty function: none.
    std::function<std::unique_ptr<AIPlayer>(Team&, Level&, TeamManager&)> createAIPlayer;
    // Stands in for the loaded level's script manager (tests); null: the level's own.
    ScriptPort* scripts = nullptr;
    // The level's presentation; null: the null presenter.
    LevelPresenter* levelPresenter = nullptr;
    const StringTable* strings = nullptr;
    engine::RandomStreams* random = nullptr;
    engine::FrameTimer* timer = nullptr;
    // The human side's map control: help icons, move-choice menu and orders; null: none, a menu that never
    // shows, and the units' own orders.
    HelpIconPort* helpIcons = nullptr;
    MoveChoicePort* moveChoice = nullptr;
    OrderFactory* orders = nullptr;
    // The fonts and pictures of the whole run, and the subsystems' loaders in start-up order; null and empty:
    // none.
    GameResources* resources = nullptr;
    std::vector<StartupStep> startupSteps;
};

class Game final : public BattleContext, public TeamServices, public LevelServices {
public:
    explicit Game(const GameParts& parts);
    ~Game() override;
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // --- States and loop ---------------------------------------------------------------------------------
    void SetState(int state);
    int GetState() const { return state_; }
    void RunMainLoop();
    void UpdateFixed();
    // One 0.02 s tick; true when it changed the state to won or lost.
    bool Tick();
    // Draws the frame and steps the engine; the frame step's result.
    int Render(bool menuOnly, bool forcePicture);
    void StartFade(float duration, std::uint32_t colour);
    void DrawFade();
    bool CheckSkirmishWin();
    bool CheckSkirmishLoss();
    // The profile is written when dirty.
    void OnExit();
    // Start-up loading (game_startup.cpp): the fonts and pictures, the view's scene, the subsystems' loaders
    // in order, the spanner assets. False when a required loader failed.
    bool LoadResources();
    // A required start-up loader failed; the loop has been asked to quit.
    bool HasStartupFailed() const { return startupFailed_; }

    // --- Accessors -----------------------------------------------------------------------------------------
    Level* GetLevel() const { return level_.get(); }
    TeamManager* GetTeamManager() const { return teams_.get(); }
    CameraController* GetCameraController() const { return parts_.camera; }
    Announcer* GetAnnouncer() const { return parts_.announcer; }
    GameView* GetView() const { return parts_.view; }
    ProjectileManager& GetProjectileManager() const { return *projectiles_; }
    TurnStartQueue& GetTurnStartQueue() const { return *queue_; }
    CampaignInfo* GetCampaign() const { return campaign_.get(); }
    const std::string& GetCampaignName() const { return campaignName_; }
    int GetEndCondition() const { return endCondition_; }
    void SetGameMode(int mode) { gameMode_ = mode; }
    Structure* GetPickedStructure() const { return pickedStructure_; }
    Structure* GetShopStructure() const { return shopStructure_; }
    void SetPickedStructure(Structure* s) { pickedStructure_ = s; }
    void SetShopStructure(Structure* s) { shopStructure_ = s; }
    bool IsModalOpen() const { return modal_; }
    void SetModalOpen(bool open);
    void StartFastForward() { fastForward_ = true; }
    void RequestQuit() { quit_ = true; }
    bool IsQuitRequested() const { return quit_; }
    bool IsSmallScreen() const { return false; }
    bool IsMediumScreen() const { return false; }
    bool IsAltLayout() const { return false; }
    bool HasActiveExplosions() const { return false; }
    void SetGraphicsLevel(int) {}
    float GetTickAccumulator() const { return accumulator_; }
    void SetTickAccumulator(float value) { accumulator_ = value; }
    int GetResultPhase() const { return resultPhase_; }
    float GetFadeTimeLeft() const { return fadeLeft_; }
    std::uint32_t GetFadeColour() const { return fadeColour_; }
    bool IsFadeReversed() const { return fadeReverse_; }

    // The selection the human side's pointer input and orders set.
    Unit* GetSelectedUnit() const { return selected_; }
    Unit* GetPressedUnit() const { return pressed_; }
    Unit* GetInspectedUnit() const { return inspected_; }
    void SetSelectedUnit(Unit* unit) { selected_ = unit; }
    void SetPressedUnit(Unit* unit) { pressed_ = unit; }
    void SetInspectedUnit(Unit* unit) { inspected_ = unit; }
    // The human side's map control in state 7 on a player-controlled side: the pointer step samples the
    // button, zooms, drags and picks; the order step then turns presses and releases into actions.
    void HandlePointerInput();
    void ExecuteOrders();
    // The pointer's hex and picked node, set by the pointer input.
    void SetPointerHex(HexCoord hex) { pointerHex_ = hex; }
    HexCoord GetPointerHex() const { return pointerHex_; }
    Structure* GetPressedStructure() const { return pressedStructure_; }
    const PointerState& GetPointerState() const { return pointer_; }
    void SetPickedNode(const engine::SceneNode* node) { pickedNode_ = node; }
    bool IsPickedByNode() const { return pickedByNode_; }

    // The button row's rectangle of the index, through the screen-class scaler.
    void GetButtonRowRect(engine::IntRect& rect, int index) const;
    void ApplyLightingQuality();
    // Loads the campaign of that name unless it is current: 1 when loaded or current, else 0.
    int SelectCampaign(const std::string& name);
    void EndLevel();
    void ClearMarks();
    void ClearSelection();
    void ClearSelectionAndRange() override;
    void ClearRangeAndMarks();
    Structure* FindPickedStructure() const;
    Unit* FindPickedUnit();
    bool GetMoveTargetHex(HexCoord& out, const Unit* mover) const;
    void CountSkirmishWin();
    void AwardCampaignAchievements(bool afterResult);
    bool AreEnemies(const Team* a, const Team* b) const;
    // Keeps the id counter at or above the id.
    void RaiseUnitIdCounter(int id) override;
    // The last unit id handed out.
    int GetUnitIdCounter() const { return nextUnitId_.load(); }

    // --- Resuming a saved game (game_resume.cpp) -------------------------------------------------------------
    enum class ResumeResult { kResumed, kNoCampaign, kRefused };
    // Drops the battle in progress, goes to the menu state without its entry actions, stops the music and
    // renders one frame.
    void DropBattleForResume();
    // Selects the slot's campaign and mission or map, loads the level and restores the battle, then enters
    // the side's turn. kNoCampaign when the campaign does not load; kRefused when the mission index, the
    // level or the battle does not fit (no battle is left then).
    ResumeResult ResumeSavedBattle(const GameSlot& slot);

    // --- BattleContext --------------------------------------------------------------------------------------
    MapUnit* FindMapUnitAt(HexCoord hex) const override;
    MapUnit* FindAirMapUnitAt(HexCoord hex) const override;
    bool ListUnitHexes(std::vector<HexCoord>& out) const override;
    int GetCurrentTeamKind() const override;
    int GetTeamControl(int teamKind) const override;
    std::span<MapUnit* const> GetTeamMapUnits(int teamKind) const override;
    void ClearTargetMarks() override;
    int CountTargetMarkedUnits() const override;
    Structure* FindStructureAt(HexCoord hex) const override;
    void ClearStructureMarks() override;
    const UnitParams* GetUnitParams(int unitType) const override;
    bool IsHeldImmobile(const MapUnit& unit) const override;
    bool BoxTouchesLevel(const engine::Matrix44& box, const engine::Vec3& halfSize) const override;
    Unit* FindUnitById(int id) const override;
    Unit* FindUnitAt(HexCoord hex) const override;
    bool IsSettingUp() const override;
    int NextUnitId() override;
    int GetGameMode() const override { return gameMode_; }
    std::uint32_t GetOptionBits() const override;
    bool IsFastForward() const override { return fastForward_; }
    void UnlockAchievement(int achievement) override;
    engine::WideString GetText(const char* key) const override;
    HexMap& GetHexMap() override;
    engine::RandomStreams& GetRandomStreams() override { return *parts_.random; }
    const engine::FrameTimer& GetFrameTimer() const override { return *parts_.timer; }
    UnitServices* GetUnitServices() override;

    // --- TeamServices ---------------------------------------------------------------------------------------
    std::unique_ptr<AIPlayer> CreateAIPlayer(Team& team) override;
    void RefreshCash() override;
    void OnTurnStart() override;
    bool IsAnyBlockRunning() const override;
    bool IsUnitTypeUnlocked(int unitType) const override;
    bool IsProjectileBusy() const override;
    bool LookAtUnit(Unit& unit) override;
    void FollowUnit(Unit& unit) override;
    bool IsSideActing() const override;
    void OnUnitDeleting(const Unit& unit) override;

    // --- LevelServices --------------------------------------------------------------------------------------
    void LookAtHex(HexCoord hex) override;
    bool IsBattleZoomActive() const override;
    void StartBattleZoom(Unit& attacker, Unit& target) override;
    void EndBattleZoom() override;
    void PlayLevelSound(int sound) override;
    void PlayMusic(int track) override;
    void StopMusic() override;
    int StartLoopSound(int sound) override;
    void StopLoopSound(int handle, float fadeSeconds) override;
    void PlaySpeech(int teamKind, int cue) override;
    void AddEffect(const char* prototype, const engine::Matrix44& placement) override;
    std::uint32_t GetTotalIncome() const override;
    void AddTotalIncome(int amount) override;
    std::array<int, 4> GetMatchOptions() const override;
    int GetDifficulty() const override;
    int AddProfileKill() override;
    int AddProfileSniperKill() override;
    void ShowBanner(const engine::WideString& text, float seconds) override;
    bool IsBannerShowing() const override;
    void AddHelpIcon(HexCoord hex, const std::string& textKey, float seconds) override;
    CampaignStartCash GetCampaignStartCash() const override;
    int GetTurnBonus(int side) const override;

private:
    // The mission script through the port when one is given, else through the loaded level's manager.
    bool RunScriptBlocks();
    void FireScriptDayStart(int day);
    void EnterProfileLoading();
    void EnterBetweenTurns();
    void EnterSideTurn();
    void EnterShop();
    void EnterMissionCompleted();
    void BackToMenuReset(bool menuMusic);
    void PresentBattleEnd();
    void DoStateWork();
    void WorkBetweenTurns();
    void WorkSideTurn();
    void WorkResult();
    void LoadLevelState(int state);
    void ApplyTurnKeys();
    bool CheckWinLoseAfterTick(int outcome, int condition);
    void ClearSelectionPointers();
    // Deletes the teams and the level and everything that points into them; resource group 0 again.
    void DropBattle();
    Team* FindPlayerTeamCount(int& count) const;

    // The pointer step's and the order step's parts.
    void StartDrag();
    void DragCamera();
    void DecidePress();
    void Inspect(Unit& unit);
    void SelectOnPress();
    // True when the tap has done all there is to do this pass.
    bool Tap();
    bool TapStructure(Structure* picked);
    bool TapUnit(Unit* picked);
    // True when it opened the move-choice menu.
    bool TapOwnUnit(Unit& tapped);
    void PreviewRoute();
    void ReleaseMove();
    void HandleChoice();
    void OpenMoveChoice(const engine::Vec3& at, std::span<const int> choices);
    void PlayYesSpeech();
    void PlaySelectSpeech();
    void GiveOrder(Unit& unit, std::unique_ptr<UnitOrder> order);
    bool IsCurrentTeams(const Unit& unit) const;

    GameParts parts_;
    std::unique_ptr<HexMap> emptyMap_;
    int state_ = 0;
    bool quit_ = false;
    bool startupFailed_ = false;
    bool skip_ = false;
    float accumulator_ = 0.0f;
    std::unique_ptr<Level> level_;
    std::unique_ptr<TeamManager> teams_;
    // The units' services of the battle in progress; made with the team manager, gone with it.
    std::unique_ptr<LevelUnitServices> unitServices_;
    std::unique_ptr<ProjectileManager> projectiles_;
    std::unique_ptr<TurnStartQueue> queue_;
    Unit* selected_ = nullptr;
    Unit* pressed_ = nullptr;
    Unit* inspected_ = nullptr;
    Structure* pressedStructure_ = nullptr;
    Structure* pickedStructure_ = nullptr;
    Structure* shopStructure_ = nullptr;
    HexCoord pointerHex_{-1, -1};
    const engine::SceneNode* pickedNode_ = nullptr;
    bool pickedByNode_ = false;
    std::atomic<int> nextUnitId_{1};
    std::unique_ptr<CampaignInfo> campaign_;
    std::string campaignName_ = "Uninitialised";
    float resultTimer_ = 0.0f;
    int resultPhase_ = 0;
    float fadeLeft_ = 0.0f;
    float fadeTotal_ = 0.0f;
    std::uint32_t fadeColour_ = kNoFade;
    bool fadeReverse_ = false;
    int endCondition_ = 0;
    bool modal_ = false;
    int gameMode_ = kGameModeCampaign;
    bool fastForward_ = false;
    mutable std::vector<MapUnit*> teamList_;
    PointerState pointer_;
    LevelHelpIconPort levelHelpIcons_{level_};
    NoMoveChoice noMoveChoice_;
    UnitOrderFactory unitOrders_;
};

}  // namespace game
