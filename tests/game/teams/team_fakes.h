#pragma once
// Fakes for the team tests: services that record the game's hooks, a recording computer player, and a
// battle whose unit lookups are the team manager's, over the project's unit tables.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "../units/unit_fakes.h"
#include "game/battle/structure_manager.h"
#include "game/teams/ai_player.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"
#include "game/teams/team_services.h"

namespace teams_test {

using namespace game;
using battle_test::H;
using units_test::FakeUnitBattle;

// Keeps what the team asks and answers with the plan the test sets.
class RecordingAIPlayer : public AIPlayer {
public:
    void StartTurn() override { ++turnStarts; }
    void Update() override { ++updates; }
    void AddUnitPlanner(int unitId) override { planners.insert(unitId); }
    void RemoveUnit(int unitId) override {
        planners.erase(unitId);
        removed.push_back(unitId);
    }
    void SetUnitImmobilized(int unitId, bool immobilized) override {
        if (immobilized) {
            immobile.insert(unitId);
        } else {
            immobile.erase(unitId);
        }
    }
    bool IsUnitImmobilized(int unitId) const override { return immobile.count(unitId) != 0; }
    int FindUnitTargetingTile(HexCoord hex, bool airborne) const override {
        auto it = targeting.find({hex.Packed(), airborne});
        return it != targeting.end() ? it->second : 0;
    }
    bool GetUnitPlannedTile(int unitId, HexCoord& out) const override {
        auto it = plannedTiles.find(unitId);
        if (it == plannedTiles.end()) return false;
        out = it->second;
        return true;
    }
    float GetPlannedDamage(int unitId) const override {
        auto it = plannedDamage.find(unitId);
        return it != plannedDamage.end() ? it->second : 0.0f;
    }
    void StopPlanning() override {
        ++stops;
        if (stopCounter != nullptr) ++*stopCounter;
    }

    int turnStarts = 0;
    int updates = 0;
    int stops = 0;
    int* stopCounter = nullptr;
    std::set<int> planners;
    std::set<int> immobile;
    std::vector<int> removed;
    std::map<std::pair<std::uint32_t, bool>, int> targeting;
    std::map<int, HexCoord> plannedTiles;
    std::map<int, float> plannedDamage;
};

class FakeServices : public TeamServices {
public:
    std::unique_ptr<AIPlayer> CreateAIPlayer(Team&) override {
        if (!createAI) return nullptr;
        auto ai = std::make_unique<RecordingAIPlayer>();
        ai->stopCounter = &planningStops;
        lastAI = ai.get();
        return ai;
    }
    void RefreshCash() override { ++cashRefreshes; }
    void OnTurnStart() override { ++turnButtonStarts; }
    bool IsAnyBlockRunning() const override { return scriptRunning; }
    bool IsUnitTypeUnlocked(int unitType) const override { return unitType != UT_SUBMARINE; }
    bool IsProjectileBusy() const override { return projectileBusy; }
    bool LookAtUnit(Unit&) override {
        ++lookAts;
        return hasCamera;
    }
    void FollowUnit(Unit& unit) override { followed.push_back(&unit); }
    bool IsSideActing() const override { return sideActing; }
    void ClearSelectionAndRange() override { ++selectionClears; }
    int GetTurnBonus(int side) const override { return side == 0 ? 100 : 200; }
    void RaiseUnitIdCounter(int id) override { raisedTo = std::max(raisedTo, id); }

    RecordingAIPlayer* lastAI = nullptr;
    bool createAI = true;  // false: enemy teams get no computer player
    int planningStops = 0;
    int cashRefreshes = 0;
    std::vector<Unit*> followed;
    int turnButtonStarts = 0;
    bool scriptRunning = false;
    bool projectileBusy = false;
    bool hasCamera = true;
    int lookAts = 0;
    bool sideActing = true;
    int selectionClears = 0;
    int raisedTo = 0;
};

// The fake battle with its lookups answered by the team manager, and a unit-id counter the services raise.
class TeamBattle : public FakeUnitBattle {
public:
    MapUnit* FindMapUnitAt(HexCoord hex) const override { return manager->FindUnitAt(hex); }
    MapUnit* FindAirMapUnitAt(HexCoord hex) const override { return manager->FindAirUnitAt(hex); }
    bool ListUnitHexes(std::vector<HexCoord>& out) const override { return manager->ListUnitHexes(out); }
    Unit* FindUnitById(int id) const override { return manager->FindUnitById(id); }
    Unit* FindUnitAt(HexCoord hex) const override { return manager->FindUnitAt(hex); }
    bool IsSettingUp() const override { return manager->IsSettingUp(); }
    std::span<MapUnit* const> GetTeamMapUnits(int teamKind) const override {
        teamList.clear();
        const Team* team = manager->FindTeam(teamKind);
        for (int i = 0; team != nullptr && i < kMaxTeamUnits; ++i) {
            Unit* u = team->GetUnit(i);
            if (u != nullptr && Placed(*u)) teamList.push_back(u);
        }
        return teamList;
    }

    TeamManager* manager = nullptr;
};

class RaisingServices : public FakeServices {
public:
    explicit RaisingServices(TeamBattle& battle) : battle_(battle) {}
    void RaiseUnitIdCounter(int id) override {
        FakeServices::RaiseUnitIdCounter(id);
        int current = battle_.lastId.load();
        while (current < id && !battle_.lastId.compare_exchange_weak(current, id)) {
        }
    }

private:
    TeamBattle& battle_;
};

// The project's unit tables, the recording views and a team manager over a 12 x 12 land map.
class TeamsTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitTeamColours();
        ASSERT_TRUE(data.Write("Units/BasicParams.TXT", units_test::ProjectTable("BasicParams.TXT")));
        ASSERT_TRUE(data.Write("Units/Damage.TXT", units_test::ProjectTable("Damage.TXT")));
        ASSERT_EQ(LoadUnitAssets(battle, &views), 1);
        battle.manager = &manager;
        manager.SetStructureManager(&structures);
    }
    void TearDown() override {
        manager.Destroy();
        battle.RemoveAll();
        FreeUnitAssets();
    }

    units_test::DataFolder data;
    units_test::RecordingViewFactory views;
    TeamBattle battle;
    RaisingServices services{battle};
    TeamManager manager{battle, services};
    StructureManager structures{&battle};
};

}  // namespace teams_test
