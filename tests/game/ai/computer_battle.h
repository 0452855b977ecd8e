#pragma once
// A battle in the level's headless driver whose enemy side has a ComputerPlayer on the level's ports: with
// the recording factory (the test gives the planning pass), or with the standard one (the whole pass). The
// level comes from a test data folder, or from a map source and mission the test writes.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "../level/battle_driver.h"
#include "ai_fakes.h"
#include "game/ai/level_computer_ports.h"
#include "game/battle/structure_manager.h"

namespace ai_test {

// The level's ports, failing when the camera, the map, the structures, the runner or the seed are asked
// for on another thread than the one that made them (the test's, the game's main thread).
class MainThreadPorts : public ComputerPlayerPorts {
public:
    explicit MainThreadPorts(std::unique_ptr<LevelComputerPorts> ports) : ports_(std::move(ports)) {}
    int GetDay() const override { return ports_->GetDay(); }
    int GetGameMode() const override { return ports_->GetGameMode(); }
    int GetDifficulty() const override { return ports_->GetDifficulty(); }
    float GetAIConfig(int index) const override { return ports_->GetAIConfig(index); }
    std::array<int, 4> GetMatchOptions() const override { return ports_->GetMatchOptions(); }
    int CountOwnedStructures(int teamKind, int type) const override {
        return ports_->CountOwnedStructures(teamKind, type);
    }
    bool IsProjectileInFlight() const override { return ports_->IsProjectileInFlight(); }
    bool IsTeamManagerBusy() const override { return ports_->IsTeamManagerBusy(); }
    bool IsStructureEffectRunning() const override { return ports_->IsStructureEffectRunning(); }
    bool IsQuickPause() const override { return ports_->IsQuickPause(); }
    bool IsAnyBlockRunning() const override { return ports_->IsAnyBlockRunning(); }
    HexMap& GetHexMap() override {
        Main("GetHexMap");
        return ports_->GetHexMap();
    }
    void EndBattleZoom() override {
        Main("EndBattleZoom");
        ports_->EndBattleZoom();
    }
    void LookAtHex(HexCoord hex) override {
        Main("LookAtHex");
        ports_->LookAtHex(hex);
    }
    void LookAtUnit(Unit& unit) override {
        Main("LookAtUnit");
        ports_->LookAtUnit(unit);
    }
    void FollowUnit(Unit& unit) override {
        Main("FollowUnit");
        ports_->FollowUnit(unit);
    }
    void UnreserveStructures() override {
        Main("UnreserveStructures");
        ports_->UnreserveStructures();
    }
    std::unique_ptr<PlanRunner> CreateRunner() override {
        Main("CreateRunner");
        return ports_->CreateRunner();
    }
    std::uint32_t DrawPlanSeed() override {
        Main("DrawPlanSeed");
        return ports_->DrawPlanSeed();
    }

private:
    void Main(const char* call) const {
        EXPECT_EQ(std::this_thread::get_id(), owner_) << call << " off the main thread";
    }

    std::unique_ptr<LevelComputerPorts> ports_;
    std::thread::id owner_ = std::this_thread::get_id();
};

struct ComputerBattle {
    explicit ComputerBattle(const char* level, bool threaded = false, level_test::DriverSetup setup = {},
                            bool recording = true) {
        AIGoal::ResetIdCounter();
        setup.makeComputer = [this, threaded, recording](Team& team, Level& lvl, TeamManager& teams) {
            std::unique_ptr<AIGoalFactory> factory;
            if (recording) factory = std::make_unique<RecordingFactory>(log);
            auto ports = std::make_unique<MainThreadPorts>(std::make_unique<LevelComputerPorts>(lvl, teams, threaded));
            auto ai = std::make_unique<ComputerPlayer>(team, std::move(ports), std::move(factory));
            computer = ai.get();
            return ai;
        };
        driver = std::make_unique<level_test::BattleDriver>(level, setup);
    }
    // Frames until the computer's turn is over (it then ends its turn); false when that takes more than the
    // frame limit, not counting frames spent waiting for a threaded plan (those give the worker time).
    bool PlayComputerTurn(int limit = 5000) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        for (int i = 0; i < limit && std::chrono::steady_clock::now() < deadline; ++i) {
            driver->Frame(level_test::BattleDriver::kTick);
            if (afterFrame) afterFrame();
            const bool computerActs =
                driver->State() == level_test::kStateSideTurn && driver->Current()->GetKind() == 4;
            if (computerActs && computer->IsTurnOver()) {
                driver->EndTurn();
                return true;
            }
            if (computerActs && computer->IsPlanning()) {
                --i;
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        }
        return false;
    }
    // From blue's turn: blue passes, the computer plays its turn, and the next blue turn begins (the
    // start-of-turn queue runs on the way). False when a turn did not end or the mission was decided.
    bool PlayRound(int limit = 20000) {
        driver->RunUntilIdle();
        if (driver->State() != level_test::kStateSideTurn || driver->Current()->GetKind() != 1) return false;
        driver->EndTurn();
        if (!PlayComputerTurn(limit)) return false;
        driver->RunUntilIdle();
        return driver->State() == level_test::kStateSideTurn;
    }
    Team& Enemy() { return *driver->Teams().FindTeam(4); }
    Team& Blue() { return *driver->Teams().FindTeam(1); }

    FactoryLog log;
    ComputerPlayer* computer = nullptr;
    std::unique_ptr<level_test::BattleDriver> driver;
    // Called after every frame of the computer's turn.
    std::function<void()> afterFrame;
};

// A level written by the test: the map source and the mission text, in the given game mode.
inline level_test::DriverSetup WrittenLevel(const std::string& map, const std::string& mission,
                                            int mode = kGameModeCampaign) {
    level_test::DriverSetup setup;
    setup.mapSource = map;
    setup.mission = mission;
    setup.gameMode = mode;
    return setup;
}

// A written level with the standard computer player, stopped in blue's first turn so that the test can
// call the planning steps and goals itself (outside a plan, as the planning thread would).
class PlanLevelTest : public ::testing::Test {
protected:
    void Load(const std::string& map, const std::string& mission, int mode = kGameModeCampaign) {
        battle = std::make_unique<ComputerBattle>("written", false, WrittenLevel(map, mission, mode), false);
        ASSERT_TRUE(battle->driver->Loaded());
        battle->driver->RunUntilIdle();
        ai = battle->computer;
        ai->ClearGoals();
        ai->SetFunds(10000);
        ai->RefreshPlanMap();
    }
    Team& Enemy() { return battle->Enemy(); }
    Team& Blue() { return battle->Blue(); }
    Structure* StructureAt(const char* label) {
        return battle->driver->GetLevel().GetStructureManager().FindAtHex(level_test::L(label));
    }
    Unit* UnitAt(const char* label) { return battle->driver->Teams().FindUnitAt(level_test::L(label)); }
    // Frames until no unit of either side is busy.
    void Settle() {
        for (int i = 0; i < 5000 && (Enemy().IsAnyUnitBusy() || Blue().IsAnyUnitBusy()); ++i) {
            battle->driver->Frame(level_test::BattleDriver::kTick);
        }
    }

    std::unique_ptr<ComputerBattle> battle;
    ComputerPlayer* ai = nullptr;
};

}  // namespace ai_test
