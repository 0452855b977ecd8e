#pragma once
// Fakes for the computer player's tests: ports answering what each test sets, a factory that records its
// calls and runs a planning pass the test gives, goals that replay a list of results, and a fixture with the
// project's unit tables and a team manager whose enemy team gets a ComputerPlayer.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <thread>
#include <vector>

#include "../teams/team_fakes.h"
#include "game/ai/computer_player.h"

namespace ai_test {

using namespace game;
using battle_test::H;

// Holds a threaded plan where the test calls Hold (a checkpoint hook) until the test releases it, at the
// latest when the latch goes (declared after the battle, it goes first, so a failed test still joins).
struct Latch {
    ~Latch() { release.store(true); }
    std::atomic<bool> reached{false};
    std::atomic<bool> release{false};
    void Hold() {
        reached.store(true);
        while (!release.load()) std::this_thread::yield();
    }
};

class FakePorts : public ComputerPlayerPorts {
public:
    int GetDay() const override { return day; }
    int GetGameMode() const override { return mode; }
    int GetDifficulty() const override { return difficulty; }
    float GetAIConfig(int index) const override {
        if (index == 1) return donation;
        const auto it = config.find(index);
        return it != config.end() ? it->second : 1.0f;
    }
    std::array<int, 4> GetMatchOptions() const override { return {1000, 2000, 30, 70}; }
    int CountOwnedStructures(int teamKind, int type) const override {
        return teamKind == 4 && type == 8 ? refineries : 0;
    }
    bool IsProjectileInFlight() const override { return projectileBusy; }
    bool IsTeamManagerBusy() const override { return busy; }
    bool IsStructureEffectRunning() const override { return structureBusy; }
    bool IsQuickPause() const override { return quick; }
    bool IsAnyBlockRunning() const override { return blockRunning; }
    HexMap& GetHexMap() override { return *map; }
    void EndBattleZoom() override { ++zoomEnds; }
    void LookAtHex(HexCoord hex) override { camera.push_back({0, static_cast<int>(hex.Packed())}); }
    void LookAtUnit(Unit& unit) override { camera.push_back({1, unit.GetId()}); }
    void FollowUnit(Unit& unit) override { camera.push_back({2, unit.GetId()}); }
    void UnreserveStructures() override { ++unreserves; }
    std::unique_ptr<PlanRunner> CreateRunner() override {
        ++runnersMade;
        if (threaded) return std::make_unique<ThreadPlanRunner>();
        return std::make_unique<InlinePlanRunner>();
    }
    std::uint32_t DrawPlanSeed() override { return seed; }

    int day = 2;
    int mode = kGameModeCampaign;
    int difficulty = 0;
    float donation = 0.0f;
    int refineries = 0;
    bool busy = false;
    bool projectileBusy = false;
    bool structureBusy = false;
    bool quick = false;
    bool blockRunning = false;
    bool threaded = false;
    std::uint32_t seed = 7;
    // Mission tuning values by key (1.0 when absent; the donation has its own field).
    std::map<int, float> config;
    HexMap* map = nullptr;
    // Camera calls: {0 look at hex (packed), 1 look at unit (id), 2 follow unit (id)}.
    std::vector<std::pair<int, int>> camera;
    int zoomEnds = 0;
    int unreserves = 0;
    int runnersMade = 0;
};

// A goal that answers its Execute calls from a list (the last answer repeats) and records the first-step flags.
class ScriptedGoal : public AIGoal {
public:
    ScriptedGoal(int kind, std::vector<int> results, std::vector<std::pair<int, bool>>* log = nullptr)
        : kind_(kind), results_(std::move(results)), log_(log) {}
    int GetKind() const override { return kind_; }
    void Score() override {}
    void Plan() override {}
    int Execute(bool firstStep) override {
        if (log_ != nullptr) log_->push_back({GetId(), firstStep});
        const std::size_t i = std::min(calls_++, results_.size() - 1);
        return results_[i];
    }

private:
    int kind_;
    std::vector<int> results_;
    std::vector<std::pair<int, bool>>* log_;
    std::size_t calls_ = 0;
};

// What the factory was asked; the planning pass is the test's.
struct FactoryLog {
    int structureGoalCalls = 0;
    int resupplyCalls = 0;
    int transportCalls = 0;
    bool makeTransportGoals = true;
    std::function<void(ComputerPlayer&, CancelToken&)> pass;
};

class RecordingFactory : public AIGoalFactory {
public:
    explicit RecordingFactory(FactoryLog& log) : log_(log) {}
    void MakeStructureGoals(ComputerPlayer& player) override {
        ++log_.structureGoalCalls;
        player.ClearGoals();
    }
    std::unique_ptr<AIGoal> MakeResupplyGoal(ComputerPlayer&, int) override {
        ++log_.resupplyCalls;
        return std::make_unique<ScriptedGoal>(kGoalResupply, std::vector<int>{kExecuteFinished});
    }
    std::unique_ptr<AIGoal> MakeTransportGoal(ComputerPlayer&, int, HexCoord) override {
        ++log_.transportCalls;
        if (!log_.makeTransportGoals) return nullptr;
        return std::make_unique<ScriptedGoal>(kGoalTransport, std::vector<int>{kExecuteFinished});
    }
    void RunPlanningPass(ComputerPlayer& player, CancelToken& token) override {
        if (log_.pass) log_.pass(player, token);
    }

private:
    FactoryLog& log_;
};

class ComputerServices : public teams_test::RaisingServices {
public:
    ComputerServices(teams_test::TeamBattle& battle, FakePorts& ports, FactoryLog& log)
        : RaisingServices(battle), ports_(ports), log_(log) {}
    std::unique_ptr<AIPlayer> CreateAIPlayer(Team& team) override {
        auto ai = std::make_unique<ComputerPlayer>(team, ports_, std::make_unique<RecordingFactory>(log_));
        computer = ai.get();
        return ai;
    }
    // Every type but the submarine unless the test says otherwise.
    bool IsUnitTypeUnlocked(int unitType) const override {
        return unlocked ? unlocked(unitType) : RaisingServices::IsUnitTypeUnlocked(unitType);
    }
    ComputerPlayer* computer = nullptr;
    std::function<bool(int)> unlocked;

private:
    FakePorts& ports_;
    FactoryLog& log_;
};

// The project's unit tables, the recording views and a team manager over a 12 x 12 land map with a blue and
// an enemy team.
class ComputerTest : public ::testing::Test {
protected:
    void SetUp() override {
        AIGoal::ResetIdCounter();
        InitTeamColours();
        ASSERT_TRUE(data.Write("Units/BasicParams.TXT", units_test::ProjectTable("BasicParams.TXT")));
        ASSERT_TRUE(data.Write("Units/Damage.TXT", units_test::ProjectTable("Damage.TXT")));
        ASSERT_EQ(LoadUnitAssets(battle, &views), 1);
        battle.manager = &manager;
        ports.map = &battle.GetHexMap();
        manager.SetStructureManager(&structures);
        blue = manager.GetOrCreateTeam(1);
        enemy = manager.GetOrCreateTeam(4);
        ASSERT_NE(services.computer, nullptr);
        ai = services.computer;
        // A first empty turn makes the structure goals, so that later turns keep the goals a test adds.
        ai->StartTurn();
        ai->Update();
        ai->Update();
        ASSERT_TRUE(ai->IsTurnOver());
        factoryLog.structureGoalCalls = 0;
        ports.unreserves = 0;
    }
    void TearDown() override {
        manager.Destroy();
        battle.RemoveAll();
        FreeUnitAssets();
    }
    // Appends a goal replaying the results.
    int AddScripted(std::vector<int> results, int kind = kGoalUnit) {
        auto goal = std::make_unique<ScriptedGoal>(kind, std::move(results), &executions);
        const int id = goal->GetId();
        EXPECT_TRUE(ai->AddGoal(std::move(goal)));
        return id;
    }
    // Starts the turn and runs the driver until the goals run (the plan is inline).
    void StartAndPlan() {
        ai->StartTurn();
        ai->Update();
        ASSERT_EQ(ai->GetState() == kAIStateRunGoals || ai->GetState() == kAIStateFinishing, true);
    }

    units_test::DataFolder data;
    units_test::RecordingViewFactory views;
    teams_test::TeamBattle battle;
    FakePorts ports;
    FactoryLog factoryLog;
    ComputerServices services{battle, ports, factoryLog};
    TeamManager manager{battle, services};
    StructureManager structures{&battle};
    Team* blue = nullptr;
    Team* enemy = nullptr;
    ComputerPlayer* ai = nullptr;
    std::vector<std::pair<int, bool>> executions;
};

}  // namespace ai_test
