// Placement and presentation on a fixture map: deploying an unplaced unit, standing on a hex, turning toward
// another unit, the door along its wall, and the map questions a unit answers (can it still move or act).
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/core/matrix.h"
#include "game/units/unit_tables.h"
#include "unit_fakes.h"

namespace units_test {
namespace {

using PlacementTest = UnitsTest;

// The matrix turns about Y by the angle and stands at the point (rows compared after normalising, so that
// a scale does not matter).
void ExpectTurnedAndAt(const engine::Matrix44& m, float degrees, const engine::Vec3& at) {
    engine::Matrix44 turn;
    turn.InitRotationY(degrees);
    for (int row = 0; row < 3; ++row) {
        const engine::Vec3 axis = m.Row(row).Scale(1.0f / m.Row(row).Length());
        EXPECT_NEAR(axis.Sub(turn.Row(row)).Length(), 0.0f, 1e-4f) << "row " << row;
    }
    EXPECT_NEAR(m.Row(3).Sub(at).Length(), 0.0f, 1e-5f);
}

engine::Vec3 Surface(FakeUnitBattle& battle, HexCoord hex) {
    engine::Vec3 point;
    battle.GetHexMap().GetSurfacePoint(point, hex);
    return point;
}

TEST_F(PlacementTest, DeployingAnUnplacedUnitPlacesItAndChargesItsSide) {
    Unit& unit = battle.Add(CreateUnit(battle, UT_MED_TANK, &blue, 0, Unit::Presentation::kLogicOnly));
    unit.SetState(kUnitNotPlaced);
    unit.SetHexPos(H(3, 3));
    const int draws = battle.draws[0];
    battle.QueueDirection(4);

    unit.Deploy();
    EXPECT_EQ(unit.GetState(), kUnitIdle);
    EXPECT_EQ(unit.GetFacing(), 4);
    EXPECT_EQ(battle.draws[0], draws + 1);
    EXPECT_EQ(blue.cash, 1000 - GetUnitTypeCost(UT_MED_TANK));
    EXPECT_TRUE(unit.HasPresentation());
    const ViewLog& log = LogOf(unit);
    EXPECT_EQ(log.prototypePath, "Units/MedTank/Unit");
    EXPECT_EQ(log.buildEffects, 1);
    EXPECT_EQ(log.attaches, 1);
    EXPECT_TRUE(log.attached);
    EXPECT_FALSE(log.underLevelModel);
    const engine::Vec3 at = Surface(battle, H(3, 3));
    EXPECT_EQ(unit.GetWorldPos().y, at.y);
    EXPECT_EQ(unit.GetFlightHeight(), at.y);
    // Model rotation 90 - heading + 180, heading 210 for direction 4.
    ExpectTurnedAndAt(log.matrix, 60.0f, at);

    // Once placed, deploying again changes nothing.
    unit.Deploy();
    EXPECT_EQ(blue.cash, 1000 - GetUnitTypeCost(UT_MED_TANK));
    EXPECT_EQ(log.buildEffects, 1);
    EXPECT_EQ(log.attaches, 1);
}

TEST_F(PlacementTest, DeployDoesNothingToAUnitFromCreateUnit) {
    Unit& unit = battle.Make(UT_GRUNT, &blue, H(2, 2));
    const int matrices = LogOf(unit).matrixCount;
    const int facing = unit.GetFacing();
    unit.Deploy();
    EXPECT_EQ(blue.cash, 1000);
    EXPECT_EQ(LogOf(unit).buildEffects, 0);
    EXPECT_EQ(LogOf(unit).matrixCount, matrices);
    EXPECT_EQ(unit.GetFacing(), facing);
    EXPECT_EQ(unit.GetState(), kUnitIdle);
}

TEST_F(PlacementTest, EveryFacingTurnsTheModelOnItsHex) {
    for (int facing = 0; facing < 6; ++facing) {
        SCOPED_TRACE(facing);
        Unit& unit = battle.Make(UT_TRUCK, &blue, H(6, 5));
        unit.SetFacing(facing);
        unit.PlaceOnHex(H(7, 7));
        EXPECT_EQ(unit.GetHexPos(), H(7, 7));
        ExpectTurnedAndAt(LogOf(unit).matrix, 270.0f - static_cast<float>(DirectionToAngle(facing)),
                          Surface(battle, H(7, 7)));
    }
}

TEST_F(PlacementTest, FacingAnotherUnitTurnsToItsHeading) {
    Unit& soldier = battle.Make(UT_TROOPER, &blue, H(4, 5));
    Unit& above = battle.Make(UT_GRUNT, &enemy, H(4, 3));  // straight up the same column
    HexCoord rightDownHex;
    ASSERT_TRUE(HexNeighbour(H(4, 5), 2, rightDownHex));
    Unit& rightDown = battle.Make(UT_GRUNT, &enemy, rightDownHex);
    Unit& sameHex = battle.Make(UT_APC, &blue, H(4, 5));

    soldier.FaceUnit(above);
    EXPECT_EQ(soldier.GetYaw(), 90);
    ExpectTurnedAndAt(LogOf(soldier).matrix, 180.0f, Surface(battle, H(4, 5)));
    soldier.FaceUnit(rightDown);
    EXPECT_EQ(soldier.GetYaw(), DirectionToAngle(2));
    const int matrices = LogOf(soldier).matrixCount;
    soldier.FaceUnit(sameHex);
    EXPECT_EQ(soldier.GetYaw(), DirectionToAngle(2));
    EXPECT_EQ(LogOf(soldier).matrixCount, matrices);
}

TEST_F(PlacementTest, ADoorStandsAlongItsWallAndPulsesSlightly) {
    FakeUnitBattle walled(battle_test::UniformSource(8, 8, "L0", "feature D4 5\nfeature F4 5\n"));
    Unit& door = walled.Make(UT_DOOR, &enemy, H(4, 4));
    const engine::Vec3 at = Surface(walled, H(4, 4));
    for (int ms : {0, 40, 75, 150, 210, 300, 1234}) {
        SCOPED_TRACE(ms);
        walled.clockNs = std::chrono::milliseconds(ms);
        walled.timer.Tick();
        door.UpdateAnimation();
        const engine::Matrix44& m = LogOf(door).matrix;
        ExpectTurnedAndAt(m, 90.0f, at);
        const float sx = m.Row(0).Length();
        const float sz = m.Row(2).Length();
        EXPECT_NEAR(m.Row(1).Length(), 1.0f, 1e-6f);
        EXPECT_NEAR(sx, 1.0f, 0.0151f);
        EXPECT_NEAR(sz, 1.0f, 0.0151f);
        EXPECT_NEAR(sx - 1.0f, 1.0f - sz, 1e-5f);  // x and z in opposite phase
    }
    // It never moves, aims or fires, and cannot be captured.
    EXPECT_TRUE(door.AimAtTarget(nullptr));
    EXPECT_TRUE(door.IsFiringFinished());
    EXPECT_FALSE(door.IsCapturable());
    EXPECT_FALSE(door.CanStillMove());
    walled.RemoveAll();
}

// A soldier on a one-hex island whose only way off is a shore hex above it.
std::string IslandSource(const char* above) {
    std::string source = "weather 2\ngrid 9 9\n";
    for (int row = 0; row < 9; ++row) {
        for (int column = 0; column < 9; ++column) {
            const char* cell = "W0";
            if (column == 4 && row == 4) cell = "L0";
            if (column == 4 && row == 3) cell = above;
            source += cell;
            source += column < 8 ? " " : "\n";
        }
    }
    return source;
}

TEST_F(PlacementTest, CanStillMoveWhenANeighbourCostsNoMoreThanTheMovementLeft) {
    const float shore = GetUnitParams(UT_TROOPER).moveCost[5];
    ASSERT_GT(shore, 0.0f);
    FakeUnitBattle island(IslandSource("S0"));
    Unit& soldier = island.Make(UT_TROOPER, &blue, H(4, 4));
    for (const auto& [movement, can] : {std::pair{shore, true}, std::pair{shore + 10.0f, true},
                                        std::pair{shore - 0.01f, false}, std::pair{0.0f, false}}) {
        SCOPED_TRACE(movement);
        soldier.SetMovementLeft(movement);
        EXPECT_EQ(soldier.CanStillMove(), can);
    }
    FakeUnitBattle drowned(IslandSource("W0"));
    Unit& stuck = drowned.Make(UT_TROOPER, &blue, H(4, 4));
    stuck.SetMovementLeft(1000.0f);
    EXPECT_FALSE(stuck.CanStillMove());
    island.RemoveAll();
    drowned.RemoveAll();
}

TEST_F(PlacementTest, CanStillActWhenArmedOrAnEngineerWithAmmunitionAndNoActionUsed) {
    struct Case {
        int type;
        int ammo;  // -1: full
        int actions;
        bool can;
    };
    const Case cases[] = {
        {UT_LIGHT_TANK, -1, 0, true},  {UT_LIGHT_TANK, 0, 0, false}, {UT_LIGHT_TANK, -1, 1, false},
        {UT_LIGHT_TANK, -1, -1, true}, {UT_TROOPER, 0, 0, true},     {UT_ENGINEER, 0, 0, true},
        {UT_ENGINEER, 0, 1, false},    {UT_TRUCK, 0, 0, false},      {UT_APC, 0, 0, false},
        {UT_DOOR, 0, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << " ammo " << c.ammo << " actions " << c.actions);
        Unit& unit = battle.Make(c.type, &blue, H(1, 1));
        if (c.ammo >= 0) unit.SetAmmo(c.ammo);
        unit.SetActionsUsed(c.actions);
        EXPECT_EQ(unit.CanStillAct(), c.can);
    }
}

TEST_F(PlacementTest, AimPointWorldPositionAndHealthBarFollowTheAirborneState) {
    Unit& bomber = battle.Make(UT_BOMBER, &blue, H(2, 2));
    const engine::Vec3 at = Surface(battle, H(2, 2));
    engine::Vec3 aim;
    bomber.GetAimPoint(aim);
    EXPECT_NEAR(aim.y, at.y + 0.3f, 1e-6f);
    bomber.SetAirborneFlag(true);
    EXPECT_EQ(bomber.GetWorldPos().y, bomber.GetFlightHeight());
    bomber.GetAimPoint(aim);
    EXPECT_NEAR(aim.y, bomber.GetFlightHeight() + 0.25f, 1e-6f);
    EXPECT_EQ(aim.x, at.x);

    float scale = 0.0f, height = 0.0f;
    engine::Vec3 position;
    ASSERT_TRUE(bomber.GetHealthBarPlacement(scale, position, height));
    EXPECT_EQ(scale, 1.0f);
    EXPECT_EQ(height, 1.2f);
    Unit& sniper = battle.Make(UT_SNIPER, &blue, H(2, 3));
    ASSERT_TRUE(sniper.GetHealthBarPlacement(scale, position, height));
    EXPECT_EQ(height, 0.8f);
    sniper.SetState(kUnitNotPlaced);
    EXPECT_FALSE(sniper.GetHealthBarPlacement(scale, position, height));
    bomber.Kill(false, nullptr);
    EXPECT_FALSE(bomber.GetHealthBarPlacement(scale, position, height));
}

TEST_F(PlacementTest, PickingAsksTheModel) {
    Unit& unit = battle.Make(UT_AEGIS, &blue, H(2, 2));
    int token = 0;
    const auto* node = reinterpret_cast<const engine::SceneNode*>(&token);
    dynamic_cast<RecordingUnitView&>(unit.GetView()).ownNode = node;
    EXPECT_TRUE(unit.ContainsNode(node));
    EXPECT_FALSE(unit.ContainsNode(nullptr));
    Unit& logicOnly = battle.Add(CreateUnit(battle, UT_AEGIS, &blue, 0, Unit::Presentation::kLogicOnly));
    EXPECT_FALSE(logicOnly.ContainsNode(node));
}

}  // namespace
}  // namespace units_test
