#pragma once
// A headless battle for tests: loads a level folder of the test data (tests/data/levels/<name>: the map
// source "GameMap.src", built as the map tool builds it, "Mission.TXT" and, when there is one, "Script.TXT") with the game mode, option bits,
// match options and campaign start cash given, and walks the game's states 6 (between turns), 14 (turn
// start) and 7 (a side's turn) with the level's battle steps. Frame(dt) runs whole 0.02 s ticks from an
// accumulator on a fake clock (units, then projectiles and the camera fake), then the frame's unit
// animations and floating texts; a side's turn ends by EndTurn(). Entering state 6 fires the script's day
// start; every frame of a side's turn first runs the script's blocks, and while one runs the side waits.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

#include "engine/scene/view_transform.h"
#include "game/level/battle_camera.h"
#include "game/level/battle_steps.h"
#include "game/level/game_slot.h"
#include "game/level/level_unit_services.h"
#include "game/units/projectile_manager.h"
#include "game/level/saved_battle.h"
#include "game/level/turn_start_queue.h"
#include "level_fakes.h"

namespace level_test {

struct DriverSetup {
    int gameMode = kGameModeCampaign;
    std::uint32_t options = 0;
    std::uint32_t randomSeed = 7;
    std::array<int, 4> matchOptions = {1000, 2000, 100, 200};
    CampaignStartCash campaignCash = {500, 700};
    // Makes the enemy side's computer player; none: the recording one of the team fakes.
    std::function<std::unique_ptr<AIPlayer>(Team&, Level&, TeamManager&)> makeComputer;
    // A level written by the test instead of the folder's files (both given).
    std::string mapSource;
    std::string mission;
    // The battle camera takes the zoom requests, on a view that only stores matrices.
    bool battleCamera = false;
};

// A setup of the game mode, option bits and random seed, the rest as by default.
inline DriverSetup SetupOf(int gameMode, std::uint32_t options = 0, std::uint32_t randomSeed = 7) {
    DriverSetup setup;
    setup.gameMode = gameMode;
    setup.options = options;
    setup.randomSeed = randomSeed;
    return setup;
}

// The text of a file of the test data.
inline std::string TestDataFile(const std::string& path) {
    std::ifstream in(std::string(TINMARCH_SOURCE_DIR) + "/tests/data/" + path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class BattleDriver {
public:
    static constexpr double kTick = 0.02;

    BattleDriver(const std::string& name, const DriverSetup& setup = {}) : name_(name) {
        InitTeamColours();
        battle_.gameMode = setup.gameMode;
        battle_.options = setup.options;
        battle_.sequence = setup.randomSeed;
        levelServices_.matchOptions = setup.matchOptions;
        levelServices_.campaignCash = setup.campaignCash;
        services_.makeComputer = setup.makeComputer;
        services_.gameState = &state_;
        EXPECT_TRUE(data_.Write("Units/BasicParams.TXT", units_test::ProjectTable("BasicParams.TXT")));
        EXPECT_TRUE(data_.Write("Units/Damage.TXT", units_test::ProjectTable("Damage.TXT")));
        EXPECT_EQ(LoadUnitAssets(battle_, &views_), 1);
        if (!setup.mapSource.empty()) {
            WriteLevel(data_, name, setup.mapSource, setup.mission.c_str());
        } else {
            WriteLevel(data_, name, TestDataFile("levels/" + name + "/GameMap.src"),
                       TestDataFile("levels/" + name + "/Mission.TXT").c_str());
        }
        const std::string script = std::string(TINMARCH_SOURCE_DIR) + "/tests/data/levels/" + name + "/Script.TXT";
        if (setup.mapSource.empty() && std::ifstream(script)) {
            EXPECT_TRUE(data_.Write("Levels/" + name + "/Script.TXT", TestDataFile("levels/" + name + "/Script.TXT")));
        }
        if (setup.battleCamera) {
            view_.Init();
            camera_ = std::make_unique<BattleCamera>(cameraContext_);
            camera_->AttachCamera(&view_);
            levelServices_.camera = camera_.get();
            services_.camera = camera_.get();
        }
        loaded_ = Start() && diagnostics_.lines.empty();
        if (loaded_) {
            level_->SetupTeams(*teams_);
            EnterBetweenTurns();
        }
    }
    ~BattleDriver() {
        queue_.Clear();
        projectiles_.Clear();
        if (teams_) teams_->Destroy();
        battle_.RemoveAll();
        teams_.reset();
        level_.reset();
        battle_.level = nullptr;
        battle_.unitServices = nullptr;
        FreeUnitAssets();
    }
    BattleDriver(const BattleDriver&) = delete;
    BattleDriver& operator=(const BattleDriver&) = delete;

    bool Loaded() const { return loaded_; }
    int State() const { return state_; }
    int EndCondition() const { return endCondition_; }
    long Ticks() const { return ticks_; }
    long TicksInState(int state) const { return state >= 0 && state < 20 ? stateTicks_[state] : 0; }
    Level& GetLevel() { return *level_; }
    TeamManager& Teams() { return *teams_; }
    LevelBattle& Battle() { return battle_; }
    RecordingLevelServices& LevelLog() { return levelServices_; }
    LevelServicesForTeams& TeamLog() { return services_; }
    // The battle camera when the setup asks for one, else null.
    BattleCamera* Camera() const { return camera_.get(); }
    const DiagnosticsList& Diagnostics() const { return diagnostics_; }
    TurnStartQueue& Queue() { return queue_; }
    ProjectileManager& Projectiles() { return projectiles_; }
    units_test::RecordingViewFactory& Views() { return views_; }
    // Called after every tick (checks of the test).
    std::function<void()> afterTick;
    Team* Current() const { return teams_ ? teams_->GetCurrentTeam() : nullptr; }

    // One pass of the main loop: the state's work, then the fixed ticks of the frame.
    void Frame(double dt) {
        battle_.clockNs += std::chrono::nanoseconds(static_cast<long long>(dt * 1e9));
        battle_.timer.Tick();
        if (state_ == kStateBetweenTurns) BetweenTurns();
        levelServices_.TickBanner();
        if (state_ == kStateSideTurn && level_) level_->GetScriptManager().RunBlocks();
        accumulator_ += dt < 0.1 ? dt : 0.1;
        while (accumulator_ >= kTick - 1e-9) {
            if (Tick()) break;
            accumulator_ -= kTick;
        }
        if (!level_ || !teams_) return;
        if (camera_) camera_->ApplyView();
        teams_->UpdateAnimations();
        level_->GetFloatingTexts().Update(battle_.timer.GetDeltaSeconds(false));
    }

    bool ScriptRunning() const { return level_ && level_->GetScriptManager().IsAnyBlockRunning(); }

    // The turn button: the side's turn ends.
    void EndTurn() {
        if (state_ == kStateSideTurn) EnterBetweenTurns();
    }

    // Frames of 0.02 s until a side has the turn with no script block running, or the mission is decided;
    // the frames run.
    int RunUntilIdle(int limit = 100000, double dt = kTick) {
        int frames = 0;
        while (frames < limit && (state_ != kStateSideTurn || ScriptRunning()) && state_ != kStateWon &&
               state_ != kStateLost) {
            Frame(dt);
            ++frames;
        }
        return frames;
    }

    // Opens turns and hands each to perTurn, runs one frame, then ends the turn, until the mission is decided
    // or the day passes maxDays. The final state.
    int PlayUntilResult(const std::function<void(BattleDriver&)>& perTurn, int maxDays) {
        for (;;) {
            RunUntilIdle();
            if (state_ != kStateSideTurn || teams_->GetDay() > maxDays) return state_;
            if (perTurn) perTurn(*this);
            // The game ticks on before the turn ends: what the turn did may decide the mission.
            Frame(kTick);
            if (state_ != kStateSideTurn) return state_;
            EndTurn();
        }
    }

    GameSlot Snapshot() const {
        GameSlot slot;
        SaveBattle(slot, *level_, *teams_, battle_.lastId.load() + 1);
        return slot;
    }

    // A new level and team manager restored from the slot, in a side's turn; false when it is refused (the
    // driver then has no battle).
    bool Resume(const GameSlot& slot) {
        queue_.Clear();
        projectiles_.Clear();
        teams_->Destroy();
        if (!Start()) return false;
        if (!level_->RestoreFromSave(*teams_, slot)) return false;
        state_ = kStateSideTurn;
        return true;
    }

private:
    bool Start() {
        teams_.reset();
        level_.reset();
        level_ = std::make_unique<Level>(battle_, levelServices_);
        teams_ = std::make_unique<TeamManager>(battle_, services_);
        battle_.level = level_.get();
        battle_.manager = teams_.get();
        unitServices_ = std::make_unique<LevelUnitServices>(*level_, *teams_, projectiles_);
        battle_.unitServices = unitServices_.get();
        services_.projectiles = &projectiles_;
        return level_->Load("Levels/" + name_, &diagnostics_);
    }

    void SetState(int state) { state_ = state; }

    void EnterBetweenTurns() {
        SetState(kStateBetweenTurns);
        teams_->RemoveGoneUnits();
        if (teams_->AdvanceTurn()) {
            endCondition_ = WLC_UNABLE_TO_TAKE_A_TURN;
            SetState(kStateLost);
            return;
        }
        FireScriptDayStart(level_.get(), *teams_);
    }

    void BetweenTurns() {
        if (teams_->IsBusy()) return;
        const BattleStepResult result = CheckBetweenTurns(level_.get(), *teams_, battle_.gameMode);
        if (Decide(result)) return;
        SetState(queue_.Build(level_.get(), teams_.get()) ? kStateTurnStart : kStateSideTurn);
    }

    // One fixed tick; true when it decided the mission.
    bool Tick() {
        ++ticks_;
        ++stateTicks_[state_];
        const BattleStepResult result = RunBattleTick(level_.get(), teams_.get(), queue_, state_, [this] {
            projectiles_.Update();
            levelServices_.TickCamera();
        });
        if (afterTick) afterTick();
        if (result.outcome == BattleStepResult::kQueueDone) {
            SetState(kStateSideTurn);
            return false;
        }
        return Decide(result);
    }

    bool Decide(const BattleStepResult& result) {
        if (result.outcome != BattleStepResult::kWon && result.outcome != BattleStepResult::kLost) return false;
        endCondition_ = result.endCondition;
        SetState(result.outcome == BattleStepResult::kWon ? kStateWon : kStateLost);
        return true;
    }

    // The driver's answers to the battle camera.
    class DriverCameraContext final : public CameraContext {
    public:
        explicit DriverCameraContext(BattleDriver& d) : d_(d) {}
        int GetGameState() const override { return d_.state_; }
        int GetGameMode() const override { return d_.battle_.gameMode; }
        std::uint32_t GetOptionBits() const override { return d_.battle_.options; }
        bool IsFastForward() const override { return d_.battle_.fastForward; }
        int GetBackBufferWidth() const override { return 1024; }
        float GetFrameSeconds() const override { return static_cast<float>(kTick); }
        const HexMap* GetMap() const override { return d_.level_ ? &d_.level_->GetHexMap() : nullptr; }
        TeamManager* GetTeamManager() const override { return d_.teams_.get(); }
        bool GetCampaignStartTile(HexCoord&) const override { return false; }
        void SetSceneryFocus(const engine::Vec3& centre, float radius) override {
            if (d_.level_) d_.level_->GetDecorations().SetFocus(centre, radius);
        }
        void UpdateSceneryFade(const engine::Matrix44& camera) override {
            if (d_.level_) d_.level_->GetDecorations().Update(camera);
        }
        void RestoreScenery() override {
            if (d_.level_) d_.level_->GetDecorations().RestoreMaterials();
        }

    private:
        BattleDriver& d_;
    };

    std::string name_;
    units_test::DataFolder data_;
    units_test::RecordingViewFactory views_;
    LevelBattle battle_;
    LevelServicesForTeams services_{battle_};
    RecordingLevelServices levelServices_;
    DiagnosticsList diagnostics_;
    ProjectileManager projectiles_;
    std::unique_ptr<Level> level_;
    std::unique_ptr<TeamManager> teams_;
    std::unique_ptr<LevelUnitServices> unitServices_;
    TurnStartQueue queue_;
    bool loaded_ = false;
    int state_ = kStateBetweenTurns;
    int endCondition_ = 0;
    double accumulator_ = 0.0;
    long ticks_ = 0;
    std::array<long, 20> stateTicks_{};
    DriverCameraContext cameraContext_{*this};
    engine::ViewTransform view_;
    std::unique_ptr<BattleCamera> camera_;
};

}  // namespace level_test
