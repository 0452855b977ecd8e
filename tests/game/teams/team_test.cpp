// A team's cash, its ability to act, spawning with carrier links and layers, restores from saved records,
// hex lookups under the computer player's plan, and unit removal.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <memory>

#include "game/battle/path_finder.h"
#include "game/teams/unit_costs.h"
#include "game/units/unit_tables.h"
#include "team_fakes.h"

namespace teams_test {
namespace {

// Spawns the aircraft and lifts it (take-off itself belongs to the aircraft classes).
int SpawnFlying(Team* team, int type, HexCoord hex) {
    const int id = team->SpawnUnit(type, hex, 0, false, 1.0f);
    if (Unit* unit = id != 0 ? team->FindUnitById(id) : nullptr) unit->SetAirborneFlag(true);
    return id;
}

using TeamTest = TeamsTest;

TEST_F(TeamTest, ConstructionGivesTheComputerPlayerOnlyToTheEnemy) {
    for (int kind = 0; kind <= 4; ++kind) {
        Team* team = manager.GetOrCreateTeam(kind);
        ASSERT_NE(team, nullptr);
        EXPECT_EQ(team->GetAIPlayer() != nullptr, kind == kTeamEnemy) << kind;
        EXPECT_EQ(team->GetCash(), 0);
        EXPECT_EQ(team->GetFocusHex(), (HexCoord{-1, -1}));
        EXPECT_EQ(team->LastBought()[0], UT_GRUNT);
        EXPECT_EQ(team->LastBought()[3], UT_APC);
    }
    EXPECT_EQ(manager.FindTeam(kTeamBlue)->GetColour(), 0xFF3C3CFFu);
    EXPECT_TRUE(manager.FindTeam(kTeamEnemy)->GetName().EqualsNarrow("ENEMY TEAM"));
    EXPECT_EQ(manager.GetOrCreateTeam(5), nullptr);
}

TEST_F(TeamTest, AddCashUnlocksTheBankAchievementInCampaignAndSaturates) {
    struct Case {
        int mode;
        int kind;
        int start;
        int add;
        bool unlocks;
    };
    const Case cases[] = {
        {kGameModeCampaign, kTeamBlue, 4999, 1, true},
        {kGameModeCampaign, kTeamBlue, 4998, 1, false},
        {kGameModeSkirmish, kTeamBlue, 4999, 1, false},
        {kGameModePassAndPlay, kTeamBlue, 4999, 1, false},
        {kGameModeCampaign, kTeamGreen, 4999, 1, false},
    };
    for (const Case& c : cases) {
        manager.Init();
        battle.achievements.clear();
        battle.gameMode = c.mode;
        Team* team = manager.GetOrCreateTeam(c.kind);
        team->AddCash(c.start);
        team->AddCash(c.add);
        EXPECT_EQ(team->GetCash(), c.start + c.add);
        EXPECT_EQ(!battle.achievements.empty() && battle.achievements.back() == kAchievementBank5000, c.unlocks)
            << c.mode << " " << c.kind << " " << c.start;
    }
    battle.gameMode = kGameModeSkirmish;
    Team* team = manager.GetOrCreateTeam(kTeamGreen);
    team->AddCash(INT_MAX - team->GetCash());
    team->AddCash(1);
    EXPECT_EQ(team->GetCash(), INT_MAX);
    team->AddCash(INT_MIN);
    team->AddCash(INT_MIN);
    EXPECT_EQ(team->GetCash(), INT_MIN);
}

TEST_F(TeamTest, CanTakeTurnTable) {
    const auto unlocked = [this](int t) { return services.IsUnitTypeUnlocked(t); };
    const int infantry = CheapestInfantryCost(unlocked);
    ASSERT_LT(infantry, kNoUnitCost);
    Team* blue = manager.GetOrCreateTeam(kTeamBlue);
    EXPECT_FALSE(blue->CanTakeTurn());  // nothing at all

    services.scriptRunning = true;
    EXPECT_TRUE(blue->CanTakeTurn());
    services.scriptRunning = false;

    structures.CreateStructure(H(2, 2), kStructureFactory, kTeamBlue, false);
    structures.CreateStructure(H(6, 2), kStructureRefinery, kTeamBlue, false);
    EXPECT_TRUE(blue->CanTakeTurn());  // income will come

    structures.Init();
    structures.CreateStructure(H(2, 2), kStructureBarracks, kTeamBlue, false);
    structures.CreateStructure(H(6, 2), kStructureRefinery, kTeamGreen, false);
    blue->AddCash(infantry - 1);
    EXPECT_FALSE(blue->CanTakeTurn());
    blue->AddCash(1);
    EXPECT_TRUE(blue->CanTakeTurn());

    // A live unit is enough.
    Team* green = manager.GetOrCreateTeam(kTeamGreen);
    ASSERT_NE(green->SpawnUnit(UT_GRUNT, H(2, 2), 0, false, 1.0f), 0);
    EXPECT_TRUE(green->CanTakeTurn());
}

TEST_F(TeamTest, TheDoorNeverCountsAsTheCheapestVehicle) {
    EXPECT_EQ(ProducerTypeForUnit(UT_DOOR), 0);
    EXPECT_EQ(ProducerTypeForUnit(0), 0);
    EXPECT_EQ(ProducerTypeForUnit(UT_SUBMARINE), kStructureDockyard);
    EXPECT_EQ(ProducerTypeForUnit(UT_BOMBER), kStructureAirport);
    EXPECT_EQ(ProducerTypeForUnit(UT_GENERAL), kStructureBarracks);
    EXPECT_EQ(ProducerTypeForUnit(UT_ANTIAIR), kStructureFactory);

    // Tables in which the door costs nothing.
    std::string table = units_test::ProjectTable("BasicParams.TXT");
    const std::size_t door = table.find("UT_DOOR,");
    ASSERT_NE(door, std::string::npos);
    const std::size_t price = table.find("999", door);
    ASSERT_NE(price, std::string::npos);
    table.replace(price, 3, "  0");
    ASSERT_TRUE(data.Write("Units/BasicParams.TXT", table));
    FreeUnitAssets();
    ASSERT_EQ(LoadUnitAssets(battle, &views), 1);
    ASSERT_EQ(GetUnitTypeCost(UT_DOOR), 0);
    const auto all = [](int) { return true; };
    const int vehicle = CheapestVehicleCost(all);
    EXPECT_GT(vehicle, 0);
    Team* blue = manager.GetOrCreateTeam(kTeamBlue);
    structures.CreateStructure(H(2, 2), kStructureFactory, kTeamBlue, false);
    blue->AddCash(vehicle - 1);
    EXPECT_FALSE(blue->CanTakeTurn());
    EXPECT_EQ(CheapestUnitCostInCategory(kStructureHQ, all), kNoUnitCost);
}

TEST_F(TeamTest, SpawnTable) {
    Team* blue = manager.GetOrCreateTeam(kTeamBlue);

    // Onto an empty APC: linked both ways.
    const int apc = blue->SpawnUnit(UT_APC, H(1, 1), 0, false, 1.0f);
    const int grunt = blue->SpawnUnit(UT_GRUNT, H(1, 1), 0, false, 1.0f);
    ASSERT_NE(apc, 0);
    ASSERT_NE(grunt, 0);
    EXPECT_EQ(manager.FindUnitById(apc)->GetPassengerId(), grunt);
    EXPECT_EQ(manager.FindUnitById(grunt)->GetCarrierId(), apc);

    // Onto a loaded APC: refused, links unchanged.
    EXPECT_EQ(blue->SpawnUnit(UT_TROOPER, H(1, 1), 0, false, 1.0f), 0);
    EXPECT_EQ(manager.FindUnitById(apc)->GetPassengerId(), grunt);
    EXPECT_EQ(manager.FindUnitById(grunt)->GetCarrierId(), apc);

    // An APC onto infantry takes it aboard.
    const int trooper = blue->SpawnUnit(UT_TROOPER, H(3, 3), 0, false, 1.0f);
    const int apc2 = blue->SpawnUnit(UT_APC, H(3, 3), 0, false, 1.0f);
    ASSERT_NE(apc2, 0);
    EXPECT_EQ(manager.FindUnitById(apc2)->GetPassengerId(), trooper);
    EXPECT_EQ(manager.FindUnitById(trooper)->GetCarrierId(), apc2);
    EXPECT_EQ(manager.FindUnitAt(H(3, 3))->GetId(), apc2);

    // A tank onto a tank: refused, nothing created.
    const int count = blue->CountLiveUnits();
    ASSERT_NE(blue->SpawnUnit(UT_MED_TANK, H(5, 5), 0, false, 1.0f), 0);
    EXPECT_EQ(blue->SpawnUnit(UT_LIGHT_TANK, H(5, 5), 0, false, 1.0f), 0);
    EXPECT_EQ(blue->CountLiveUnits(), count + 1);
    // An enemy tank onto it too.
    EXPECT_EQ(manager.GetOrCreateTeam(kTeamGreen)->SpawnUnit(UT_LIGHT_TANK, H(5, 5), 0, false, 1.0f), 0);

    // A fighter above a tank is allowed, a second fighter is not.
    const int fighter = SpawnFlying(blue, UT_FIGHTER, H(5, 5));
    ASSERT_NE(fighter, 0);
    EXPECT_TRUE(manager.FindUnitById(fighter)->IsAirborne());
    EXPECT_EQ(blue->SpawnUnit(UT_FIGHTER, H(5, 5), 0, false, 1.0f), 0);

    // Off the grid and type 0: refused.
    EXPECT_EQ(blue->SpawnUnit(UT_GRUNT, H(-1, 2), 0, false, 1.0f), 0);
    EXPECT_EQ(blue->SpawnUnit(UT_GRUNT, H(2, 40), 0, false, 1.0f), 0);
    EXPECT_EQ(blue->SpawnUnit(0, H(2, 2), 0, false, 1.0f), 0);
}

TEST_F(TeamTest, TheFortyNinthSpawnFailsAndEffectsLookAtTheUnit) {
    Team* blue = manager.GetOrCreateTeam(kTeamBlue);
    for (int i = 0; i < kMaxTeamUnits; ++i) {
        ASSERT_NE(blue->SpawnUnit(UT_GRUNT, H(i % 12, i / 12), 0, false, 1.0f), 0) << i;
    }
    EXPECT_FALSE(blue->HasFreeUnitSlot());
    EXPECT_EQ(blue->SpawnUnit(UT_GRUNT, H(0, 8), 0, false, 1.0f), 0);
    EXPECT_EQ(blue->CreateUnplacedUnit(UT_GRUNT, H(0, 8)), 0);
    EXPECT_EQ(blue->CountLiveUnits(), kMaxTeamUnits);
    EXPECT_EQ(services.lookAts, 0);

    // A full team hands an inserted unit back unchanged; a team with room takes it.
    Team* yellow = manager.GetOrCreateTeam(kTeamYellow);
    std::unique_ptr<Unit> back = blue->InsertUnit(CreateUnit(battle, UT_SNIPER, yellow, 0));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetTeamKind(), kTeamYellow);
    Unit* sniper = back.get();
    EXPECT_EQ(yellow->InsertUnit(std::move(back)), nullptr);
    EXPECT_EQ(yellow->FindUnitById(sniper->GetId()), sniper);
    // Nor does a capture into the full team lose the unit.
    sniper->ChangeTeam(kTeamBlue);
    EXPECT_EQ(yellow->FindUnitById(sniper->GetId()), sniper);
    EXPECT_EQ(sniper->GetTeamKind(), kTeamYellow);

    Team* green = manager.GetOrCreateTeam(kTeamGreen);
    const int id = green->SpawnUnit(UT_MED_TANK, H(0, 9), 2, true, 0.5f);
    Unit* tank = manager.FindUnitById(id);
    ASSERT_NE(tank, nullptr);
    EXPECT_EQ(services.lookAts, 1);
    EXPECT_EQ(units_test::LogOf(*tank).buildEffects, 1);
    EXPECT_EQ(tank->GetFacing(), 2);
    EXPECT_EQ(tank->GetHealth(), 0.5f);
}

TEST_F(TeamTest, ComputerUnitsGetPlannersAndTheImmobileTile) {
    battle.GetHexMap().EditTile(H(4, 4))->immobile = 1;
    Team* enemy = manager.GetOrCreateTeam(kTeamEnemy);
    RecordingAIPlayer* ai = services.lastAI;
    const int held = enemy->SpawnUnit(UT_GRUNT, H(4, 4), 0, false, 1.0f);
    const int free = enemy->SpawnUnit(UT_GRUNT, H(4, 5), 0, false, 1.0f);
    const int unplaced = enemy->CreateUnplacedUnit(UT_MED_TANK, H(6, 6));
    EXPECT_EQ(ai->planners, (std::set<int>{held, free, unplaced}));
    EXPECT_EQ(ai->immobile, (std::set<int>{held}));
    EXPECT_EQ(manager.FindUnitById(unplaced)->GetState(), kUnitNotPlaced);
    EXPECT_EQ(manager.FindUnitById(unplaced)->GetHexPos(), H(6, 6));
    EXPECT_FALSE(manager.FindUnitById(unplaced)->HasPresentation());

    // An undeployed unit goes at the next turn change, its planner first.
    manager.RemoveGoneUnits();
    EXPECT_EQ(manager.FindUnitById(unplaced), nullptr);
    EXPECT_EQ(ai->removed, (std::vector<int>{unplaced}));
    EXPECT_EQ(enemy->CountLiveUnits(), 2);
}

TEST_F(TeamTest, RestoreRefusesBadRecordsAndKeepsNewIdsAboveRestoredOnes) {
    Team* blue = manager.GetOrCreateTeam(kTeamBlue);
    Team* green = manager.GetOrCreateTeam(kTeamGreen);
    ASSERT_NE(blue->CreateUnitFromRecord({UT_GRUNT, 40, H(2, 2), 3, 0.75f}), nullptr);
    Unit* restored = manager.FindUnitById(40);
    ASSERT_NE(restored, nullptr);
    EXPECT_EQ(restored->GetFacing(), 3);
    EXPECT_EQ(restored->GetHealth(), 0.75f);
    EXPECT_EQ(restored->GetState(), kUnitIdle);

    const UnitRecord refused[] = {
        {UT_GRUNT, 40, H(3, 3), 0, 1.0f},  // id in use by another team's unit
        {25, 41, H(3, 3), 0, 1.0f},        // type out of range
        {0, 41, H(3, 3), 0, 1.0f},
        {UT_GRUNT, 0, H(3, 3), 0, 1.0f},
        {UT_GRUNT, -3, H(3, 3), 0, 1.0f},
        {UT_GRUNT, 41, H(60, 3), 0, 1.0f},  // off the grid
        {UT_GRUNT, 41, H(3, 3), 6, 1.0f},   // no such facing
        {UT_GRUNT, 41, H(3, 3), 0x7FFFFFFF, 1.0f},
        {UT_GRUNT, 41, H(3, 3), 0, std::nanf("")},
        {UT_GRUNT, 41, H(3, 3), 0, 1.5f},
    };
    for (const UnitRecord& record : refused) {
        EXPECT_EQ(green->CreateUnitFromRecord(record), nullptr) << record.type << " " << record.id;
    }
    EXPECT_EQ(green->CountLiveUnits(), 0);
    EXPECT_EQ(manager.FindUnitById(40), restored);

    const int fresh = green->SpawnUnit(UT_GRUNT, H(5, 5), 0, false, 1.0f);
    EXPECT_GT(fresh, 40);
}

TEST_F(TeamTest, FindUnitAtTable) {
    Team* blue = manager.GetOrCreateTeam(kTeamBlue);
    Team* enemy = manager.GetOrCreateTeam(kTeamEnemy);
    RecordingAIPlayer* ai = services.lastAI;

    const int tank = blue->SpawnUnit(UT_MED_TANK, H(1, 1), 0, false, 1.0f);
    const int heli = SpawnFlying(enemy, UT_BOMBER, H(1, 1));  // carries nothing
    EXPECT_EQ(manager.FindUnitAt(H(1, 1))->GetId(), tank);
    EXPECT_EQ(manager.FindAirUnitAt(H(1, 1))->GetId(), heli);

    const int heliAlone = SpawnFlying(enemy, UT_SKYHOOK, H(2, 2));
    EXPECT_EQ(manager.FindUnitAt(H(2, 2))->GetId(), heliAlone);

    const int apc = blue->SpawnUnit(UT_APC, H(3, 3), 0, false, 1.0f);
    const int rider = blue->SpawnUnit(UT_GRUNT, H(3, 3), 0, false, 1.0f);
    ASSERT_NE(rider, 0);
    EXPECT_EQ(manager.FindUnitAt(H(3, 3))->GetId(), apc);

    // While the computer side has the turn: a doomed unit is hidden, and so is its own planned mover.
    const int doomed = blue->SpawnUnit(UT_GRUNT, H(4, 4), 0, false, 1.0f);
    const int mover = enemy->SpawnUnit(UT_GRUNT, H(5, 5), 0, false, 1.0f);
    ai->plannedDamage[doomed] = 1.0f;
    ai->plannedTiles[mover] = H(6, 6);
    EXPECT_EQ(manager.FindUnitAt(H(4, 4))->GetId(), doomed);  // nobody's turn yet
    while (manager.GetCurrentTeam() != enemy) manager.AdvanceTurn();
    EXPECT_EQ(manager.FindUnitAt(H(4, 4)), nullptr);
    EXPECT_EQ(manager.FindUnitAt(H(5, 5)), nullptr);
    ai->plannedDamage[doomed] = 0.99f;
    EXPECT_EQ(manager.FindUnitAt(H(4, 4))->GetId(), doomed);

    // The unit planned onto a hex is found there first.
    ai->targeting[{H(7, 7).Packed(), false}] = mover;
    EXPECT_EQ(enemy->FindUnitAt(H(7, 7))->GetId(), mover);
}

TEST_F(TeamTest, GeneralSuperSoldierAndEngineerCountsLeaveOutDyingAndGoneUnits) {
    Team* blue = manager.GetOrCreateTeam(kTeamBlue);
    int column = 0;
    for (int type : {UT_GENERAL, UT_SUPERSOLDIER, UT_ENGINEER}) {
        SCOPED_TRACE(type);
        const auto count = [&] {
            return type == UT_GENERAL ? blue->CountGenerals()
                   : type == UT_SUPERSOLDIER ? blue->CountSuperSoldiers()
                                             : blue->CountEngineers();
        };
        Unit* units[3];
        for (Unit*& unit : units) {
            unit = manager.FindUnitById(blue->SpawnUnit(type, H(column++, 1), 0, false, 1.0f));
            ASSERT_NE(unit, nullptr);
        }
        EXPECT_EQ(count(), 3);
        units[0]->Kill(false, nullptr);
        ASSERT_EQ(units[0]->GetState(), kUnitDying);
        EXPECT_EQ(count(), 2);
        units[1]->Kill(true, nullptr);
        EXPECT_EQ(count(), 1);
    }
}

// Routes on open land; the unit of the type that is idle (and free, when asked) with the cheapest route wins.
TEST_F(TeamTest, NearestIdleUnitOfType) {
    Team* enemy = manager.GetOrCreateTeam(kTeamEnemy);
    const HexCoord target = H(6, 6);
    const auto spawn = [&](int type, HexCoord hex) {
        Unit* unit = manager.FindUnitById(enemy->SpawnUnit(type, hex, 0, false, 1.0f));
        EXPECT_NE(unit, nullptr);
        return unit;
    };
    const HexMap& map = battle.GetHexMap();
    const auto costFrom = [&](HexCoord hex) {
        HexPath route;
        EXPECT_TRUE(map.FindRouteAllowBlocked(hex, target, route, UT_GRUNT, 0, false));
        return route.cost;
    };

    // Equal routes: the earlier slot is kept. The route comes out with it.
    Unit* right = spawn(UT_GRUNT, H(8, 6));
    Unit* left = spawn(UT_GRUNT, H(4, 6));
    ASSERT_EQ(costFrom(H(8, 6)), costFrom(H(4, 6)));
    HexPath out;
    EXPECT_EQ(enemy->FindNearestIdleUnitOfType(target, UT_GRUNT, out, 0, false, false), right);
    EXPECT_EQ(out.start, H(8, 6));
    EXPECT_EQ(out.count, 2);
    EXPECT_EQ(out.cost, costFrom(H(8, 6)));

    // A nearer unit wins unless it is claimed by a goal and only free units are asked for.
    Unit* near = spawn(UT_GRUNT, H(6, 7));
    EXPECT_EQ(enemy->FindNearestIdleUnitOfType(target, UT_GRUNT, out, 0, false, true), near);
    near->SetAIGoalId(5);
    EXPECT_EQ(enemy->FindNearestIdleUnitOfType(target, UT_GRUNT, out, 0, false, false), near);
    EXPECT_EQ(enemy->FindNearestIdleUnitOfType(target, UT_GRUNT, out, 0, false, true), right);
    // Dying units and other types never count.
    right->Kill(false, nullptr);
    left->Kill(false, nullptr);
    EXPECT_EQ(enemy->FindNearestIdleUnitOfType(target, UT_GRUNT, out, 0, false, true), nullptr);
    EXPECT_EQ(enemy->FindNearestIdleUnitOfType(target, UT_TROOPER, out, 0, false, false), nullptr);

    // A loaded carrier is not free; an empty one is.
    Unit* loaded = spawn(UT_APC, H(6, 8));
    spawn(UT_GRUNT, H(6, 8));
    ASSERT_NE(loaded->GetPassengerId(), 0);
    Unit* empty = spawn(UT_APC, H(2, 2));
    EXPECT_EQ(enemy->FindNearestIdleUnitOfType(target, UT_APC, out, 0, false, false), loaded);
    EXPECT_EQ(enemy->FindNearestIdleUnitOfType(target, UT_APC, out, 0, false, true), empty);
}

TEST_F(TeamTest, NearestIdleUnitNeedsARouteBelowTenThousand) {
    // Threat on every tile adds 65535 / 15 = 4369 to each step of a weighted search: two steps stay below the
    // bound, three pass it.
    HexMap& map = battle.GetHexMap();
    for (int column = 0; column < 12; ++column) {
        for (int row = 0; row < 12; ++row) map.EditTile(H(column, row))->threat[UT_GRUNT] = 65535;
    }
    PathFinder& finder = PathFinder::ForThisThread();
    finder.SetWeighting(true);
    struct WeightingOff {
        PathFinder& finder;
        ~WeightingOff() { finder.SetWeighting(false); }
    } restore{finder};

    Team* enemy = manager.GetOrCreateTeam(kTeamEnemy);
    const HexCoord target = H(6, 6);
    ASSERT_NE(enemy->SpawnUnit(UT_GRUNT, H(6, 3), 0, false, 1.0f), 0);
    HexPath out;
    out.cost = -1.0f;
    EXPECT_EQ(enemy->FindNearestIdleUnitOfType(target, UT_GRUNT, out, 0, false, false), nullptr);
    EXPECT_EQ(out.cost, -1.0f);  // untouched without a winner
    Unit* nearer = manager.FindUnitById(enemy->SpawnUnit(UT_GRUNT, H(6, 8), 0, false, 1.0f));
    ASSERT_NE(nearer, nullptr);
    EXPECT_EQ(enemy->FindNearestIdleUnitOfType(target, UT_GRUNT, out, 0, false, false), nearer);
    EXPECT_GT(out.cost, 2.0f * 4369.0f);
    EXPECT_LT(out.cost, 10000.0f);
}

TEST_F(TeamTest, TransferMovesTheUnitOnlyIntoAPresentTeamWithRoom) {
    Team* blue = manager.GetOrCreateTeam(kTeamBlue);
    Team* green = manager.GetOrCreateTeam(kTeamGreen);
    Unit* unit = manager.FindUnitById(blue->SpawnUnit(UT_GRUNT, H(1, 1), 0, false, 1.0f));
    unit->ChangeTeam(kTeamYellow);  // missing
    EXPECT_EQ(blue->CountLiveUnits(), 1);
    unit->ChangeTeam(kTeamGreen);
    EXPECT_EQ(blue->CountLiveUnits(), 0);
    EXPECT_EQ(green->CountLiveUnits(), 1);
    EXPECT_EQ(unit->GetTeamKind(), kTeamGreen);
    EXPECT_EQ(units_test::LogOf(*unit).materialColour, green->GetColour());
}

}  // namespace
}  // namespace teams_test
