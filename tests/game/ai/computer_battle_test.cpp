// Whole computer turns with the standard planning pass in the level's headless driver: buying on the pads,
// engineers capturing, squads attacking, carriers and trucks, one seed giving one battle.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "computer_battle.h"
#include "game/ai/front_goal.h"
#include "game/ai/structure_goal.h"
#include "game/battle/structure.h"
#include "game/battle/structure_manager.h"

namespace ai_test {
namespace {

using level_test::L;
using level_test::LandSource;

const std::string kMission =
    "[WIN]\nWLC_NO_ENEMY_HQ\n[ENDWIN]\n[LOSE]\nWLC_NO_ALLIED_UNITS\n[ENDLOSE]\n"
    "[UNLOCK]\nUT_LIGHT_TANK\nUT_TROOPER\nUT_TRUCK\nUT_APC\nUT_SKYHOOK\nUT_FERRY\nUT_FIGHTER\n[ENDUNLOCK]\n";

std::vector<int> UnitIds(const Team& team) {
    std::vector<int> ids;
    for (int slot = 0; slot < kMaxTeamUnits; ++slot) {
        if (const Unit* unit = team.GetUnit(slot); unit != nullptr && unit->GetState() != kUnitGone) {
            ids.push_back(unit->GetId());
        }
    }
    return ids;
}

TEST(ComputerBattleTest, AnEngineerWalksToANeutralFactoryAndCapturesIt) {
    ComputerBattle battle("engineer", false,
                          WrittenLevel(LandSource(16, "structure H9 2\nstructure N3 6 owner 4\n"
                                                      "unit H3 2 owner 4\nunit A15 1 owner 1\n"),
                                       kMission),
                          false);
    ASSERT_TRUE(battle.driver->Loaded());
    const Structure* factory = battle.driver->GetLevel().GetStructureManager().FindAtHex(L("H9"));
    ASSERT_NE(factory, nullptr);
    ASSERT_EQ(factory->GetTeam(), 0);
    const Unit* engineer = battle.Enemy().FindUnitAt(L("H3"));
    ASSERT_NE(engineer, nullptr);
    const int start = HexDistance(engineer->GetHexPos(), factory->GetHex());
    ASSERT_TRUE(battle.PlayRound());
    EXPECT_LT(HexDistance(engineer->GetHexPos(), factory->GetHex()), start);
    for (int round = 0; round < 4 && factory->GetTeam() != 4; ++round) ASSERT_TRUE(battle.PlayRound()) << round;
    EXPECT_EQ(factory->GetTeam(), 4);
}

TEST(ComputerBattleTest, AFactoryWithCashBuysWhatItsGoalsWishAndDeploysItOnThePad) {
    ComputerBattle battle("buying", false,
                          WrittenLevel(LandSource(16, "structure K4 2 owner 4\nstructure L6 1\n"
                                                      "structure N12 6 owner 4\nunit C4 3 owner 1\n"
                                                      "unit C6 3 owner 1\nunit M9 3 owner 4\n"),
                                       kMission),
                          false);
    ASSERT_TRUE(battle.driver->Loaded());
    Team& enemy = battle.Enemy();
    const std::vector<int> before = UnitIds(enemy);
    // The front goal on the blue tanks wishes for light tanks while it scores; the next turn buys them.
    ASSERT_TRUE(battle.PlayRound());
    bool frontWish = false;
    for (int i = 0; i < battle.computer->GetWishCount(); ++i) {
        const BuildWish& wish = battle.computer->GetWish(i);
        const AIGoal* goal = battle.computer->FindGoalById(wish.goalId);
        frontWish = frontWish || (goal != nullptr && goal->GetKind() == kGoalFront && wish.unitType == UT_LIGHT_TANK);
    }
    ASSERT_TRUE(frontWish);
    const std::vector<int> afterFirst = UnitIds(enemy);
    ASSERT_TRUE(battle.PlayRound());
    int joined = 0;
    for (int id : UnitIds(enemy)) {
        if (std::find(afterFirst.begin(), afterFirst.end(), id) != afterFirst.end()) continue;
        const Unit* unit = enemy.FindUnitById(id);
        EXPECT_EQ(unit->GetType(), UT_LIGHT_TANK);
        EXPECT_NE(unit->GetState(), kUnitNotPlaced);
        EXPECT_TRUE(unit->HasPresentation());
        for (int g = 0; g < battle.computer->GetGoalCount(); ++g) {
            const auto* front = dynamic_cast<const AIFrontGoal*>(battle.computer->GetGoal(g));
            if (front != nullptr && front->HoldsUnit(id)) ++joined;
        }
    }
    EXPECT_GE(joined, 1);
    EXPECT_LT(enemy.GetCash(), 700);
    // Units bought on one pad deploy one after another, each leaving the pad for the next.
    const std::vector<int> ids = UnitIds(enemy);
    for (std::size_t i = 0; i < ids.size(); ++i) {
        for (std::size_t j = i + 1; j < ids.size(); ++j) {
            EXPECT_FALSE(enemy.FindUnitById(ids[i])->GetHexPos() == enemy.FindUnitById(ids[j])->GetHexPos());
        }
    }
}

float TotalHealth(const Team& team) {
    float sum = 0.0f;
    for (int slot = 0; slot < kMaxTeamUnits; ++slot) {
        if (const Unit* unit = team.GetUnit(slot); unit != nullptr && unit->GetState() != kUnitGone) {
            sum += unit->GetHealth();
        }
    }
    return sum;
}

bool Beside(HexCoord a, HexCoord b) { return HexDistance(a, b) == 1; }

TEST(ComputerBattleTest, ASquadAdvancesOnTheEnemyClusterAndAttacksItOverTwoTurns) {
    ComputerBattle battle("clash", false, {}, false);
    ASSERT_TRUE(battle.driver->Loaded());
    const float blueBefore = TotalHealth(battle.Blue());
    ASSERT_TRUE(battle.PlayRound());
    bool front = false;
    for (int g = 0; g < battle.computer->GetGoalCount(); ++g) {
        const auto* goal = dynamic_cast<const AIFrontGoal*>(battle.computer->GetGoal(g));
        front = front || (goal != nullptr && goal->GetSquadCount() > 0);
    }
    EXPECT_TRUE(front);
    ASSERT_TRUE(battle.PlayRound());
    EXPECT_LT(TotalHealth(battle.Blue()), blueBefore);
}

TEST(ComputerBattleTest, ATankOutOfAmmunitionGetsATruckBesideItAndIsRefilled) {
    ComputerBattle battle("truck", false,
                          WrittenLevel(LandSource(16, "structure O14 6 owner 4\nunit A1 1 owner 1\n"
                                                      "unit H8 3 owner 4\nunit C8 9 owner 4\n"),
                                       kMission),
                          false);
    ASSERT_TRUE(battle.driver->Loaded());
    Unit* tank = battle.Enemy().FindUnitAt(L("H8"));
    Unit* truck = battle.Enemy().FindUnitAt(L("C8"));
    tank->SetAmmo(0);
    // The computer's first turn ends with a resupply goal; the next brings the truck.
    for (int round = 0; round < 3 && tank->GetAmmo() == 0; ++round) ASSERT_TRUE(battle.PlayRound()) << round;
    EXPECT_TRUE(Beside(truck->GetHexPos(), tank->GetHexPos()));
    EXPECT_EQ(tank->GetAmmo(), tank->GetParams().ammoCapacity);
}

TEST(ComputerBattleTest, AnAircraftLowOnFuelLandsBesideATruckAndLiftsOffOnceServed) {
    ComputerBattle battle("landing", false,
                          WrittenLevel(LandSource(16, "structure O14 6 owner 4\nunit A1 1 owner 1\n"
                                                      "unit H8 13 owner 4 immobile\nunit C8 9 owner 4\n"),
                                       kMission),
                          false);
    ASSERT_TRUE(battle.driver->Loaded());
    Unit* fighter = battle.Enemy().FindUnitAt(L("H8"));
    ASSERT_NE(fighter, nullptr);
    ASSERT_EQ(fighter->GetType(), UT_FIGHTER);
    const float capacity = fighter->GetParams().fuelCapacity;
    // Held where it stands (no squad takes it), it waits for the truck to come.
    fighter->SetFuel(0.25f * capacity);
    bool landed = false;
    battle.afterFrame = [&] { landed = landed || (fighter->GetState() != kUnitGone && !fighter->IsAirborne()); };
    for (int round = 0; round < 3 && fighter->GetFuel() < capacity; ++round) ASSERT_TRUE(battle.PlayRound()) << round;
    EXPECT_TRUE(landed);
    EXPECT_FLOAT_EQ(fighter->GetFuel(), capacity);
    EXPECT_TRUE(fighter->IsAirborne());
}

}  // namespace
}  // namespace ai_test
