// The script commands on a fixture map with the real team manager and units: each command's arguments,
// effect and result, the commands that wait over frames, and trigger hexes entered by walking units.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "game/level/level_unit_services.h"
#include "game/level/script_commands.h"
#include "game/level/script_manager.h"
#include "game/units/move_orders.h"
#include "game/units/projectile_manager.h"
#include "game/units/unit_order.h"
#include "level_fakes.h"

namespace level_test {
namespace {

class ScriptCommandTest : public LevelTest {
protected:
    void SetUp() override {
        LevelTest::SetUp();
        LoadLevel(LandSource(10, ""), nullptr);
        script().SetTeamManager(&manager);
        battle.unitServices = &unitServices;
    }
    void TearDown() override {
        battle.unitServices = nullptr;
        LevelTest::TearDown();
    }
    ScriptManager& script() { return level.GetScriptManager(); }

    // Loads the text as the whole script (the test's names of units are kept); every line must be accepted
    // unless refusals are allowed.
    void Load(const std::string& text, bool allowRefused = false) {
        diagnostics.lines.clear();
        script().Init("Levels/Test");
        for (const auto& [name, id] : names) script().SetUnitVariable(engine::WideString(name.c_str()), id);
        script().LoadFromImage(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), &diagnostics);
        if (!allowRefused) {
            EXPECT_TRUE(diagnostics.lines.empty()) << diagnostics.lines.front().second;
        }
    }
    // A script of one block "T" holding the lines, started; its Start result.
    int Run(const std::string& lines) {
        Load("[T]\n{\n" + lines + "}\n");
        ScriptBlock* block = script().FindBlock(engine::WideString("T"));
        EXPECT_NE(block, nullptr);
        return block != nullptr ? block->Start() : -1;
    }
    // One frame of dt seconds: the clock, the 0.02 s ticks it holds (team update, then the triggered
    // blocks), then the script's step of the frame. The step's answer.
    int Frame(double dt) {
        battle.clockNs += std::chrono::nanoseconds(static_cast<long long>(dt * 1e9));
        battle.timer.Tick();
        levelServices.TickBanner();
        accumulator += dt < 0.1 ? dt : 0.1;
        while (accumulator >= 0.02 - 1e-9) {
            manager.Update();
            script().StartTriggeredBlocks();
            accumulator -= 0.02;
        }
        return script().RunBlocks();
    }
    // Frames until no block runs and no unit is busy; the frames run.
    int Settle(double dt = 0.02, int limit = 3000) {
        int frames = 0;
        while (frames < limit && (script().IsAnyBlockRunning() || manager.IsBusy())) {
            Frame(dt);
            ++frames;
        }
        EXPECT_LT(frames, limit);
        return frames;
    }
    Unit* Spawn(int kind, int type, HexCoord hex, const char* name = nullptr) {
        Team* team = manager.GetOrCreateTeam(kind);
        const int id = team != nullptr ? team->SpawnUnit(type, hex, 0, false, 1.0f) : 0;
        Unit* unit = battle.FindUnitById(id);
        EXPECT_NE(unit, nullptr);
        if (unit != nullptr) unit->StartTurn();
        if (unit != nullptr && name != nullptr) {
            names.emplace_back(name, id);
            script().SetUnitVariable(engine::WideString(name), id);
        }
        return unit;
    }
    Unit* Named(const char* name) { return battle.FindUnitById(script().GetUnitVariable(engine::WideString(name))); }
    static HexCoord OrderTarget(const Unit& unit, int index) {
        HexCoord out{-1, -1};
        if (const UnitOrder* order = unit.GetOrder(index)) order->GetTargetHex(out);
        return out;
    }

    ProjectileManager projectiles;
    LevelUnitServices unitServices{level, manager, projectiles};
    double accumulator = 0.0;
    std::vector<std::pair<std::string, int>> names;
};

TEST_F(ScriptCommandTest, SpawnCreatesTheTeamAndNamesTheUnit) {
    ASSERT_EQ(manager.FindTeam(kTeamEnemy), nullptr);
    EXPECT_EQ(Run("SPAWN(tank,UT_LIGHT_TANK,C4,TEAM_ENEMY,TD_BELOW)\n"), 1);
    ASSERT_NE(manager.FindTeam(kTeamEnemy), nullptr);
    Unit* tank = Named("TANK");
    ASSERT_NE(tank, nullptr);
    EXPECT_EQ(tank->GetType(), UT_LIGHT_TANK);
    EXPECT_EQ(tank->GetHexPos(), H(4, 2));
    EXPECT_EQ(tank->GetFacing(), 3);
    EXPECT_TRUE(tank->IsScripted());

    // Refused arguments: unknown type, bad hex, unknown team or direction.
    Load("[T]\n{\nSPAWN(a,UT_NONE,C4,TEAM_ENEMY,TD_BELOW)\nSPAWN(a,UT_GRUNT,C99,TEAM_ENEMY,TD_BELOW)\n"
         "SPAWN(a,UT_GRUNT,C4,TEAM_X,TD_BELOW)\nSPAWN(a,UT_GRUNT,C4,TEAM_ENEMY,TD_UP)\nSPAWN(a,UT_GRUNT,C4)\n}\n",
         true);
    EXPECT_EQ(diagnostics.lines.size(), 5u);
    EXPECT_EQ(script().FindBlock(engine::WideString("T"))->GetActionCount(), 0);
}

TEST_F(ScriptCommandTest, SpawnIntoAFullTeamFailsAndTheBlockGoesOn) {
    Team* team = manager.GetOrCreateTeam(kTeamBlue);
    for (int i = 0; i < kMaxTeamUnits; ++i) ASSERT_NE(team->SpawnUnit(UT_GRUNT, H(i % 10, i / 10), 0, false, 1.0f), 0);
    EXPECT_EQ(Run("SPAWN(extra,UT_GRUNT,J9,TEAM_ALLY1,TD_ABOVE)\nHOTSPOT(J9)\n"), 1);
    EXPECT_EQ(script().GetUnitVariable(engine::WideString("extra")), 0);
    EXPECT_EQ(level.GetHexMap().GetTile(H(9, 9)).hotspot, 1);
}

TEST_F(ScriptCommandTest, MoveUnitWalksOrWaitsForInputLocation) {
    Unit* grunt = Spawn(kTeamBlue, UT_GRUNT, H(1, 1), "g");
    // No trigger has fired: nothing moves.
    EXPECT_EQ(Run("MOVEUNIT(g,INPUTLOC)\n"), 1);
    EXPECT_EQ(grunt->GetOrderCount(), 0);
    EXPECT_EQ(Run("MOVEUNIT(g,B4)\nMOVEUNIT(nobody,B4)\n"), 1);
    EXPECT_TRUE(grunt->IsScripted());
    EXPECT_EQ(OrderTarget(*grunt, 0), H(4, 1));
    Settle();
    EXPECT_EQ(grunt->GetHexPos(), H(4, 1));
    Load("[T]\n{\nMOVEUNIT(g,Q)\n}\n", true);
    EXPECT_EQ(diagnostics.lines.size(), 1u);
}

TEST_F(ScriptCommandTest, MoveUnitSendsAPassengerOffItsCarrier) {
    Unit* apc = Spawn(kTeamBlue, UT_APC, H(4, 4), "apc");
    Unit* grunt = Spawn(kTeamBlue, UT_GRUNT, H(4, 4), "g");
    ASSERT_TRUE(apc->LinkPassenger(*grunt));
    // A free hex: reserved for the passenger, which walks there.
    EXPECT_EQ(Run("MOVEUNIT(g,E5)\n"), 1);
    EXPECT_EQ(level.GetHexMap().GetTile(H(5, 4)).dropReservation, grunt->GetId());
    EXPECT_EQ(OrderTarget(*grunt, 0), H(5, 4));
}

TEST_F(ScriptCommandTest, MoveUnitOntoAnOccupiedHexTakesAFreeOneWithinAStep) {
    Unit* apc = Spawn(kTeamBlue, UT_APC, H(4, 4), "apc");
    Unit* grunt = Spawn(kTeamBlue, UT_GRUNT, H(4, 4), "g");
    ASSERT_TRUE(apc->LinkPassenger(*grunt));
    Spawn(kTeamBlue, UT_GRUNT, H(5, 4));
    EXPECT_EQ(Run("MOVEUNIT(g,E5)\n"), 1);
    const HexCoord target = OrderTarget(*grunt, 0);
    ASSERT_TRUE(IsValidHex(target));
    EXPECT_FALSE(target == H(5, 4));
    EXPECT_EQ(level.GetHexMap().GetTile(target).dropReservation, grunt->GetId());
    HexPath route;
    EXPECT_TRUE(level.GetHexMap().FindRoute(H(4, 4), target, route, UT_GRUNT, 2, false));
    EXPECT_LT(route.count, 2);
    EXPECT_EQ(apc->GetOrderCount(), 0);
}

TEST_F(ScriptCommandTest, MoveUnitFarAwayMovesTheCarrierAndWaitsUntilItIsIdle) {
    Unit* apc = Spawn(kTeamBlue, UT_APC, H(1, 4), "apc");
    Unit* grunt = Spawn(kTeamBlue, UT_GRUNT, H(1, 4), "g");
    ASSERT_TRUE(apc->LinkPassenger(*grunt));
    Spawn(kTeamBlue, UT_GRUNT, H(5, 4));
    EXPECT_EQ(Run("MOVEUNIT(g,E5)\nHOTSPOT(A0)\n"), 0);
    EXPECT_GT(apc->GetOrderCount(), 0);
    EXPECT_EQ(grunt->GetOrderCount(), 0);
    EXPECT_EQ(level.GetHexMap().GetTile(H(0, 0)).hotspot, 0);
    int frames = 0;
    while (script().IsAnyBlockRunning() && frames < 2000) {
        const bool carrierMoving = apc->GetState() != kUnitIdle;
        Frame(0.02);
        ++frames;
        // The block holds while the carrier drives.
        if (carrierMoving && apc->GetState() != kUnitIdle) {
            EXPECT_TRUE(script().IsAnyBlockRunning());
        }
    }
    EXPECT_FALSE(script().IsAnyBlockRunning());
    EXPECT_EQ(level.GetHexMap().GetTile(H(0, 0)).hotspot, 1);
    EXPECT_GT(grunt->GetOrderCount() + (grunt->GetCarrierId() == 0 ? 1 : 0), 0);
}

TEST_F(ScriptCommandTest, PickUpWaitsForTheCarrierAndDropOnlyActsInTheAir) {
    Unit* apc = Spawn(kTeamBlue, UT_APC, H(2, 2), "apc");
    Unit* grunt = Spawn(kTeamBlue, UT_GRUNT, H(3, 2), "g");
    EXPECT_EQ(Run("PICKUPUNIT(apc,g)\nHOTSPOT(A0)\n"), 0);
    EXPECT_TRUE(apc->IsScripted());
    EXPECT_EQ(level.GetHexMap().GetTile(H(0, 0)).hotspot, 0);
    Settle();
    EXPECT_EQ(level.GetHexMap().GetTile(H(0, 0)).hotspot, 1);
    EXPECT_EQ(apc->GetPassengerId(), grunt->GetId());

    // On the ground: nothing is queued.
    EXPECT_EQ(Run("DROPUNIT(apc)\n"), 1);
    EXPECT_EQ(apc->GetOrderCount(), 0);
}

TEST_F(ScriptCommandTest, DropFromTheAirMovesOffAnOccupiedOrReservedHex) {
    Unit* sky = Spawn(kTeamBlue, UT_SKYHOOK, H(4, 4), "sky");
    sky->SetAirborneFlag(true);
    // A unit of another side under the hovering carrier (spawned beside it: a spawn on its hex would board).
    Unit* standing = Spawn(kTeamEnemy, UT_GRUNT, H(4, 5));
    standing->PlaceOnHex(H(4, 4));
    ASSERT_EQ(standing->GetCarrierId(), 0);
    ASSERT_EQ(battle.FindUnitAt(H(4, 4)), standing);
    // Without a move order: the own hex is taken by another unit.
    EXPECT_EQ(Run("DROPUNIT(sky)\n"), 1);
    ASSERT_EQ(sky->GetOrderCount(), 2);
    const HexCoord free = OrderTarget(*sky, 0);
    EXPECT_FALSE(free == H(4, 4));
    EXPECT_EQ(level.GetHexMap().GetTile(free).dropReservation, sky->GetId());
    EXPECT_EQ(sky->GetOrder(1)->Kind(), kOrderPickUp);

    // With a move order to a reserved hex: the order is replaced in its place.
    sky->CancelOrders();
    level.GetHexMap().EditTile(H(7, 7))->dropReservation = 99;
    ASSERT_NE(sky->QueueOrder(std::make_unique<MoveOrder>(H(7, 7))), nullptr);
    ASSERT_EQ(sky->GetOrderCount(), 1);
    EXPECT_EQ(Run("DROPUNIT(sky)\n"), 1);
    ASSERT_EQ(sky->GetOrderCount(), 2);
    const HexCoord moved = OrderTarget(*sky, 0);
    EXPECT_FALSE(moved == H(7, 7));
    EXPECT_EQ(level.GetHexMap().GetTile(moved).dropReservation, sky->GetId());
    EXPECT_EQ(level.GetHexMap().GetTile(H(7, 7)).dropReservation, 99);
}

TEST_F(ScriptCommandTest, StopLandKillNameAndImmobilize) {
    Unit* grunt = Spawn(kTeamBlue, UT_GRUNT, H(1, 1), "g");
    Unit* enemy = Spawn(kTeamEnemy, UT_GRUNT, H(8, 8));
    grunt->QueueOrder(std::make_unique<MoveOrder>(H(5, 5)));
    EXPECT_EQ(Run("STOPUNIT(g)\nASSIGNUNITNAME(I8,foe)\nASSIGNUNITNAME(A0,none)\nIMMOBILIZEUNIT(foe,ON)\n"), 1);
    EXPECT_EQ(grunt->GetOrderCount(), 0);
    EXPECT_EQ(grunt->GetState(), kUnitIdle);
    EXPECT_EQ(Named("foe"), enemy);
    EXPECT_TRUE(enemy->IsScripted());
    EXPECT_EQ(script().GetUnitVariable(engine::WideString("none")), 0);
    auto* ai = dynamic_cast<teams_test::RecordingAIPlayer*>(manager.FindTeam(kTeamEnemy)->GetAIPlayer());
    ASSERT_NE(ai, nullptr);
    EXPECT_TRUE(ai->IsUnitImmobilized(enemy->GetId()));
    names.emplace_back("foe", enemy->GetId());
    EXPECT_EQ(Run("IMMOBILIZEUNIT(foe,off)\n"), 1);
    EXPECT_FALSE(ai->IsUnitImmobilized(enemy->GetId()));

    // Exactly two arguments, ON or OFF.
    Load("[T]\n{\nIMMOBILIZEUNIT(foe)\nIMMOBILIZEUNIT(foe,ON,1)\nIMMOBILIZEUNIT(foe,YES)\nLANDUNIT(g)\n}\n", true);
    EXPECT_EQ(diagnostics.lines.size(), 3u);

    EXPECT_EQ(Run("KILLUNIT(g)\n"), 1);
    Settle();
    EXPECT_EQ(FindScriptUnit(script(), engine::WideString("g")), nullptr);
    // A dead unit's name does nothing any more.
    EXPECT_EQ(Run("STOPUNIT(g)\nKILLUNIT(g)\nRELINQUISH(g)\n"), 1);
}

TEST_F(ScriptCommandTest, ImmobilizeWithoutEnemyTeamOrComputerPlayerDoesNothing) {
    Spawn(kTeamBlue, UT_GRUNT, H(1, 1), "g");
    EXPECT_EQ(Run("IMMOBILIZEUNIT(g,ON)\n"), 1);
    services.createAI = false;
    Spawn(kTeamEnemy, UT_GRUNT, H(8, 8), "e");
    EXPECT_EQ(manager.FindTeam(kTeamEnemy)->GetAIPlayer(), nullptr);
    EXPECT_EQ(Run("IMMOBILIZEUNIT(e,ON)\n"), 1);
}

TEST_F(ScriptCommandTest, RelinquishAndCamScrollActOnce) {
    Unit* grunt = Spawn(kTeamBlue, UT_GRUNT, H(1, 1), "g");
    Load("[T]\n{\nRELINQUISH(g)\nCAMSCROLL(D5)\n}\n");
    ScriptBlock* block = script().FindBlock(engine::WideString("T"));
    grunt->SetScripted(true);
    EXPECT_EQ(block->Start(), 1);
    EXPECT_FALSE(grunt->IsScripted());
    grunt->SetScripted(true);
    EXPECT_EQ(block->Start(), 1);
    EXPECT_TRUE(grunt->IsScripted());
    EXPECT_EQ(levelServices.lookAts, (std::vector<HexCoord>{H(5, 3)}));
}

TEST_F(ScriptCommandTest, IntelShowsAtMostThreeSecondsAndWaitIntelWaits) {
    levelServices.bannerFrames = 3;
    EXPECT_EQ(Run("INTEL(Key_Hello,10)\nWAITINTEL\nINTEL(Key_Bye,1.5)\nINTEL(Key_X,abc)\n"), 0);
    ASSERT_EQ(levelServices.banners.size(), 1u);
    EXPECT_EQ(levelServices.banners[0].second, 3.0f);
    EXPECT_EQ(levelServices.banners[0].first, "text Key_Hello");  // looked up when the script loads
    int frames = 0;
    while (Frame(0.02) == 0) ++frames;
    EXPECT_EQ(frames, 2);
    ASSERT_EQ(levelServices.banners.size(), 3u);
    EXPECT_EQ(levelServices.banners[1].second, 1.5f);
    EXPECT_EQ(levelServices.banners[2].second, 0.0f);
}

TEST_F(ScriptCommandTest, PauseWaitsForQuietUnitsAndRunsDownOnce) {
    Unit* grunt = Spawn(kTeamBlue, UT_GRUNT, H(1, 1), "g");
    Load("[T]\n{\nPAUSE(0.5)\n}\n");
    ScriptBlock* block = script().FindBlock(engine::WideString("T"));
    grunt->QueueOrder(std::make_unique<MoveOrder>(H(1, 3)));
    EXPECT_EQ(block->Start(), 0);
    int busyFrames = 0;
    int quietFrames = 0;
    while (block->IsRunning() && busyFrames + quietFrames < 1000) {
        const bool busy = manager.IsBusy();
        Frame(0.05);
        (busy ? busyFrames : quietFrames) += 1;
    }
    EXPECT_GT(busyFrames, 0);
    // 0.5 s in frames of 0.05 s, counted only once the units are quiet: from the frame in which they
    // come to rest.
    EXPECT_EQ(quietFrames, 9);
    // The time is spent: started again it only waits for the team manager.
    EXPECT_EQ(block->Start(), 1);
}

TEST_F(ScriptCommandTest, HelpIconWaitsAQuarterSecondAtAnyFrameRate) {
    for (double fps : {30.0, 144.0}) {
        SCOPED_TRACE(fps);
        levelServices.helpIcons.clear();
        EXPECT_EQ(Run("HELPICON(C3,Key_Help,4)\n"), 0);
        ASSERT_EQ(levelServices.helpIcons.size(), 1u);
        EXPECT_EQ(levelServices.helpIcons[0].hex, H(3, 2));
        EXPECT_EQ(levelServices.helpIcons[0].key, "Key_Help");
        EXPECT_EQ(levelServices.helpIcons[0].seconds, 4.0f);
        double waited = 0.0;
        while (Frame(1.0 / fps) == 0) waited += 1.0 / fps;
        waited += 1.0 / fps;
        EXPECT_NEAR(waited, 0.25, 1.0 / fps + 1e-6);
        EXPECT_EQ(levelServices.helpIcons.size(), 1u);
    }
    Load("[T]\n{\nHELPICON(Z99,Key,1)\nCAMSCROLL(x)\nHOTSPOT()\nADDTRIGGER(,T)\nASSIGNUNITNAME(A,b)\n}\n", true);
    EXPECT_EQ(diagnostics.lines.size(), 5u);
}

TEST_F(ScriptCommandTest, AddTriggerToALaterBlockClearsTheTrigger) {
    Load("[A]\n{\nHOTSPOT(A0)\n}\n[B]\n{\nADDTRIGGER(C3,A)\nADDTRIGGER(C4,C)\nADDTRIGGER(C5,B)\n}\n[C]\n{\n}\n", true);
    // The forward and the own name are reported.
    EXPECT_EQ(diagnostics.lines.size(), 2u);
    HexMap& map = level.GetHexMap();
    map.SetTrigger(H(4, 2), script().FindBlock(engine::WideString("A")));
    map.SetTrigger(H(5, 2), script().FindBlock(engine::WideString("A")));
    EXPECT_EQ(script().FindBlock(engine::WideString("B"))->Start(), 1);
    EXPECT_EQ(map.GetTile(H(3, 2)).trigger, script().FindBlock(engine::WideString("A")));
    EXPECT_EQ(map.GetTile(H(4, 2)).trigger, nullptr);
    EXPECT_EQ(map.GetTile(H(5, 2)).trigger, nullptr);
}

TEST_F(ScriptCommandTest, ATriggerStartsItsBlockOnEveryEntryWithTheHexAndTheUnit) {
    Unit* grunt = Spawn(kTeamBlue, UT_GRUNT, H(2, 0), "g");
    Load("[Hit]\n{\nHOTSPOT(INPUTLOC)\nASSIGNUNITNAME(A0,x)\nSTOPUNIT(INPUTUNIT)\n}\n"
         "[Setup]\n{\nADDTRIGGER(C2,Hit)\n}\n",
         true);
    EXPECT_EQ(diagnostics.lines.size(), 1u);  // HOTSPOT takes no variable
    ASSERT_EQ(script().FindBlock(engine::WideString("Setup"))->Start(), 1);
    manager.SaveUndo(grunt);
    grunt->QueueOrder(std::make_unique<MoveOrder>(H(2, 5)));
    Settle();
    // Stopped on the trigger hex after its step.
    EXPECT_EQ(grunt->GetHexPos(), H(2, 2));
    HexCoord input{-1, -1};
    ASSERT_TRUE(script().GetLocationVariable(engine::WideString("INPUTLOC"), input));
    EXPECT_EQ(input, H(2, 2));
    EXPECT_EQ(script().GetUnitVariable(engine::WideString("INPUTUNIT")), grunt->GetId());
    EXPECT_FALSE(manager.CanUndo());
    // Again on the next entry.
    grunt->QueueOrder(std::make_unique<MoveOrder>(H(2, 0)));
    Settle();
    EXPECT_EQ(grunt->GetHexPos(), H(2, 0));
    grunt->StartTurn();
    grunt->QueueOrder(std::make_unique<MoveOrder>(H(2, 5)));
    Settle();
    EXPECT_EQ(grunt->GetHexPos(), H(2, 2));
}

}  // namespace
}  // namespace level_test

namespace level_test {
namespace {

// Where a walker ends when a trigger block acts on it mid-walk, at one frame rate.
struct WalkEnd {
    HexCoord hex;
    int state = 0;
    int spawned = 0;
    long frames = 0;
    bool operator==(const WalkEnd& o) const {
        return hex == o.hex && state == o.state && spawned == o.spawned;
    }
};

class TriggerMidWalkTest : public ScriptCommandTest {
protected:
    WalkEnd Walk(const std::string& command, double fps) {
        Unit* walker = Spawn(kTeamBlue, UT_GRUNT, H(2, 0), "walker");
        Load("[Hit]\n{\n" + command + "\n}\n[Setup]\n{\nADDTRIGGER(C2,Hit)\n}\n");
        EXPECT_EQ(script().FindBlock(engine::WideString("Setup"))->Start(), 1);
        walker->SetScripted(true);
        walker->QueueOrder(std::make_unique<MoveOrder>(H(2, 6)));
        WalkEnd end;
        end.frames = Settle(1.0 / fps, 5000);
        end.hex = walker->GetHexPos();
        end.state = walker->GetState();
        end.spawned = script().GetUnitVariable(engine::WideString("new")) != 0;
        return end;
    }
};

TEST_F(TriggerMidWalkTest, TheWalkerIsChangedAfterItsStepAlikeAtAnyFrameRate) {
    struct Case {
        const char* command;
        HexCoord hex;
        int state;
        int spawned;
    };
    const Case cases[] = {
        {"STOPUNIT(INPUTUNIT)", H(2, 2), kUnitIdle, 0},
        {"MOVEUNIT(INPUTUNIT,A5)", H(5, 0), kUnitIdle, 0},
        {"SPAWN(new,UT_TROOPER,J9,TEAM_ALLY1,TD_ABOVE)", H(2, 6), kUnitIdle, 1},
        {"KILLUNIT(INPUTUNIT)", H(2, 6), kUnitGone, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        WalkEnd ends[2];
        const double rates[2] = {30.0, 144.0};
        for (int i = 0; i < 2; ++i) {
            ends[i] = Walk(c.command, rates[i]);
            EXPECT_EQ(ends[i].hex, c.hex) << rates[i];
            EXPECT_EQ(ends[i].spawned, c.spawned);
            manager.Destroy();
            manager.Init();
            names.clear();
            level.GetHexMap().ClearDropReservations();
        }
        EXPECT_TRUE(ends[0] == ends[1]);
        if (c.state != kUnitGone) {
            EXPECT_EQ(ends[0].state, c.state);
        }
    }
}

}  // namespace
}  // namespace level_test
