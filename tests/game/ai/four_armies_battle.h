#pragma once
// The largest battle with the standard computer player: four armies of 48 units on a 48 x 38 map of land,
// water, shore and cliffs with a dozen structures (tests/data/levels/four_armies), the enemy's side in the
// middle of its war. A fighter runs short of fuel and a medium tank has no ammunition left. With fewer live
// units than its 48 (34: it has lost its truck and 13 more), the side is below the cap of 36 and buys again.
// At the start of its turn, on the planning thread, it takes over what its last turn left (PrepareTurn): a
// GRUNT that asked to be carried to the blue HQ, the resupply and transport goals the turn's end makes of
// these, and, with no truck left, the truck the tank's resupply goal wished for. Its pass then buys that
// truck on the factory's pad and hands it over (a full army claims its own truck instead), and plans front,
// structure, resupply, transport and unit goals. The plan bench times that pass; the tests check that all of
// it is in play and that the battle goes on while the pass is held on the worker.
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "../level/battle_driver.h"
#include "game/ai/ai_goal_factory.h"
#include "game/ai/computer_player.h"
#include "game/ai/level_computer_ports.h"
#include "game/teams/team.h"

namespace ai_test {

using namespace game;

// The standard goals and pass; a test or the bench may run its own pass instead (around the standard one).
class PassHookFactory : public AIGoalFactory {
public:
    void RunPlanningPass(ComputerPlayer& player, CancelToken& token) override {
        if (pass) {
            pass(player, token);
        } else {
            AIGoalFactory::RunPlanningPass(player, token);
        }
    }
    std::function<void(ComputerPlayer&, CancelToken&)> pass;
};

struct FourArmiesBattle {
    // The enemy factory's pad, the blue HQ.
    static constexpr const char* kPad = "AI30";
    static constexpr const char* kBlueHQ = "D12";
    // The live units of a side below the buying cap.
    static constexpr int kAtWar = 34;
    // The fewest live units the enemy keeps its fighter, tank and GRUNT with (its first 19 slots but the
    // truck's).
    static constexpr int kFewestLiveUnits = 18;

    // The enemy keeps liveUnits of its 48: the truck goes first, then the units of the last slots. Each of
    // the other sides keeps otherLiveUnits, losing the units of its last slots.
    explicit FourArmiesBattle(bool threaded, int liveUnits = kAtWar, int otherLiveUnits = kMaxTeamUnits) {
        AIGoal::ResetIdCounter();
        level_test::DriverSetup setup;
        setup.makeComputer = [this, threaded](Team& team, Level& level, TeamManager& teams) {
            auto made = std::make_unique<PassHookFactory>();
            factory = made.get();
            auto ports = std::make_unique<LevelComputerPorts>(level, teams, threaded);
            auto ai = std::make_unique<ComputerPlayer>(team, std::move(ports), std::move(made));
            computer = ai.get();
            return ai;
        };
        driver = std::make_unique<level_test::BattleDriver>("four_armies", setup);
        if (!driver->Loaded() || computer == nullptr) return;
        driver->RunUntilIdle();
        Team& enemy = Enemy();
        int toLose = enemy.CountLiveUnits() - liveUnits;
        Unit* truck = FirstOfType(UT_TRUCK);
        if (toLose > 0 && truck != nullptr) {
            truck->Kill(true, nullptr);
            --toLose;
        }
        LoseLastUnits(enemy, toLose);
        for (const int kind : {kTeamBlue, kTeamGreen, kTeamYellow}) {
            Team* other = driver->Teams().FindTeam(kind);
            if (other != nullptr && other->CountLiveUnits() > otherLiveUnits) {
                LoseLastUnits(*other, other->CountLiveUnits() - otherLiveUnits);
            }
        }
        Unit* fighter = FirstOfType(UT_FIGHTER);
        Unit* tank = FirstOfType(UT_MED_TANK);
        Unit* grunt = FirstOfType(UT_GRUNT);
        if (fighter == nullptr || tank == nullptr || grunt == nullptr) return;
        fighter->SetFuel(0.2f * fighter->GetParams().fuelCapacity);
        tank->SetAmmo(0);
        shortOfFuelId = fighter->GetId();
        shortOfAmmoId = tank->GetId();
        passengerId = grunt->GetId();
        loaded = true;
    }

    // Kills that many of the team's units, from its last slot on.
    static void LoseLastUnits(Team& team, int count) {
        for (int slot = kMaxTeamUnits - 1; slot >= 0 && count > 0; --slot) {
            Unit* unit = team.GetUnit(slot);
            if (unit == nullptr || unit->GetState() == kUnitGone) continue;
            unit->Kill(true, nullptr);
            --count;
        }
        team.RemoveGoneUnits();
    }

    Team& Enemy() { return *driver->Teams().FindTeam(kTeamEnemy); }
    Unit* FirstOfType(int unitType) {
        for (int slot = 0; slot < kMaxTeamUnits; ++slot) {
            Unit* unit = Enemy().GetUnit(slot);
            if (unit != nullptr && unit->GetType() == unitType) return unit;
        }
        return nullptr;
    }

    // Ends the turns of the three other sides until the computer's turn starts.
    void StartComputerTurn() {
        for (int i = 0; i < 3 && driver->Current()->GetKind() != kTeamEnemy; ++i) {
            driver->EndTurn();
            driver->RunUntilIdle();
        }
    }

    // Frames until the computer's turn is over, a threaded plan given time; false past the frame limit.
    bool PlayComputerTurn(int limit = 20000) {
        for (int i = 0; i < limit; ++i) {
            driver->Frame(level_test::BattleDriver::kTick);
            if (computer->IsTurnOver()) return true;
            if (computer->IsPlanning()) std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        return false;
    }

    // What the end of the side's last turn left, on the plan's thread before its pass: no goal of a unit but
    // the ones the turn's end makes (every planner's turn step: resupply for the fighter and the tank, a
    // transport for the GRUNT), and the tank's wish for a truck when none is left to claim.
    void PrepareTurn(ComputerPlayer& player) {
        for (int slot = 0; slot < kMaxTeamUnits; ++slot) {
            if (Unit* unit = player.GetTeam().GetUnit(slot)) unit->SetAIGoalId(0);
            if (AIUnitPlanner* planner = player.GetPlanner(slot)) {
                planner->SetResupplyGoalId(0);
                planner->SetTransportGoalId(0);
            }
        }
        if (AIUnitPlanner* planner = player.FindUnitPlanner(passengerId)) {
            player.RequestTransport(*planner, level_test::L(kBlueHQ));
        }
        for (int slot = 0; slot < kMaxTeamUnits; ++slot) {
            if (AIUnitPlanner* planner = player.GetPlanner(slot)) player.TurnStep(*planner);
        }
        bool truckLeft = false;
        for (int slot = 0; slot < kMaxTeamUnits; ++slot) {
            const Unit* unit = player.GetTeam().GetUnit(slot);
            truckLeft |= unit != nullptr && unit->GetType() == UT_TRUCK && unit->GetState() != kUnitGone;
        }
        const AIUnitPlanner* tank = player.FindUnitPlanner(shortOfAmmoId);
        const Unit* unit = player.GetTeam().FindUnitById(shortOfAmmoId);
        if (tank != nullptr && unit != nullptr && tank->GetResupplyGoalId() != 0 && !truckLeft) {
            player.AddBuildWish(UT_TRUCK, 1.0f, tank->GetResupplyGoalId(), unit->GetHexPos());
        }
    }

    // A whole pass from the turn's start: its goals and claims, then the standard pass. For a worker that
    // plans turn after turn.
    void PlanFromTurnStart(ComputerPlayer& player) {
        player.MakeStructureGoals();
        PrepareTurn(player);
        player.RunPlanningPass();
    }

    PassHookFactory* factory = nullptr;
    ComputerPlayer* computer = nullptr;
    std::unique_ptr<level_test::BattleDriver> driver;
    int shortOfFuelId = 0;
    int shortOfAmmoId = 0;
    int passengerId = 0;
    bool loaded = false;
};

}  // namespace ai_test
