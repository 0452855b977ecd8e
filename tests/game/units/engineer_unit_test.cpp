// The engineer's captures: the delay and suction counts, the zoom freeze, structures that take two captures,
// a rival's capture driven off, unit captures that succeed or meet a full side.
#include <gtest/gtest.h>

#include "game/battle/structure.h"
#include "game/units/infantry_units.h"
#include "unit_class_fixture.h"

namespace units_test {
namespace {

// A building of a type; owner and capture as the test sets them.
class TestBuilding final : public Structure {
public:
    TestBuilding(int type, int owner) : Structure(H(5, 5), owner, nullptr, nullptr), type_(type) {}
    int GetType() const override { return type_; }

private:
    int type_;
};

// A side that hands units over to the receiving side, or keeps them when that side is full (no receiver).
class HandingTeam final : public FakeTeam {
public:
    explicit HandingTeam(int kind) : FakeTeam(kind) {}
    void TransferUnit(Unit& unit, int teamKind) override {
        FakeTeam::TransferUnit(unit, teamKind);
        if (receiver != nullptr) unit.SetTeam(receiver);
    }
    UnitTeam* receiver = nullptr;
};

class EngineerTest : public UnitClassTest {
protected:
    EngineerUnit& MakeEngineer() { return dynamic_cast<EngineerUnit&>(battle.Make(UT_ENGINEER, &blue, H(4, 4))); }
    // Steps until the capture ends; the steps taken.
    template <typename Step>
    int RunCapture(Step step, int limit = 400) {
        int steps = 0;
        while (steps < limit) {
            ++steps;
            if (step()) break;
        }
        return steps;
    }
};

TEST_F(EngineerTest, ThirteenStepsOfDelayThenAHundredAndOneOfSuctionAndNothingMovesDuringTheZoom) {
    EngineerUnit& engineer = MakeEngineer();
    TestBuilding radio(9, 0);  // needs 1.0
    engineer.BeginCapture();
    battle.unitServices.zoomTicksLeft = 5;
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(engineer.CaptureStructureStep(radio));
        battle.unitServices.TickCamera();
    }
    EXPECT_EQ(engineer.GetSuckDelay(), 0.25f);
    EXPECT_NE(engineer.GetSuckEffect(), 0) << "made on the first step";
    int delaySteps = 0;
    while (engineer.GetSuckDelay() != 0.0f && delaySteps < 100) {
        EXPECT_FALSE(engineer.CaptureStructureStep(radio));
        ++delaySteps;
    }
    EXPECT_EQ(delaySteps, 13);
    EXPECT_EQ(battle.unitServices.loops, std::vector<int>{39});
    EXPECT_EQ(LogOf(engineer).current, "suck");
    ASSERT_EQ(LogOf(engineer).worldEffects.size(), 1u);
    EXPECT_NEAR(LogOf(engineer).worldEffects[0].second.GetTranslation().y,
                LogOf(engineer).matrix.GetTranslation().y + 0.25f, 1e-5f);
    int suctionSteps = 0;
    bool ended = false;
    while (engineer.GetSuckTimer() != 0.0f && suctionSteps < 200) {
        ended = engineer.CaptureStructureStep(radio);
        ++suctionSteps;
    }
    EXPECT_EQ(suctionSteps, 101);
    EXPECT_FALSE(ended) << "the engineer jumps in first";
    EXPECT_EQ(radio.GetTeam(), kTeamBlue);
    EXPECT_EQ(battle.unitServices.stoppedLoops.size(), 1u);
    EXPECT_EQ(battle.unitServices.CountSound(40), 1);
    EXPECT_EQ(LogOf(engineer).current, "jumpin");
    EXPECT_FALSE(engineer.CaptureStructureStep(radio));
    LogOf(engineer).EndAnimation();
    EXPECT_TRUE(engineer.CaptureStructureStep(radio));
    EXPECT_EQ(engineer.GetState(), kUnitGone);
}

TEST_F(EngineerTest, AFactoryTakesTwoCapturesAndTheEngineerStaysAfterTheFirstWithTheSuctionStopped) {
    EngineerUnit& engineer = MakeEngineer();
    TestBuilding factory(2, 0);
    engineer.BeginCapture();
    RunCapture([&] { return engineer.CaptureStructureStep(factory); });
    EXPECT_EQ(factory.GetTeam(), 0);
    EXPECT_EQ(factory.GetCapturingTeam(), kTeamBlue);
    EXPECT_EQ(engineer.GetState(), kUnitIdle);
    EXPECT_EQ(LogOf(engineer).stoppedEffects, std::vector<int>{engineer.GetSuckEffect()});
    EXPECT_EQ(LogOf(engineer).detachedEffects, std::vector<int>{engineer.GetSuckEffect()});
    EXPECT_EQ(battle.unitServices.stoppedLoops.size(), 1u);

    engineer.BeginCapture();
    const int steps = RunCapture([&] {
        if (LogOf(engineer).current == "jumpin") LogOf(engineer).EndAnimation();
        return engineer.CaptureStructureStep(factory);
    });
    EXPECT_EQ(steps, 13 + 101 + 1);
    EXPECT_EQ(factory.GetTeam(), kTeamBlue);
    EXPECT_EQ(battle.unitServices.loops.size(), 2u) << "the second capture sounds again";
    EXPECT_EQ(LogOf(engineer).worldEffects.size(), 2u) << "and hangs the effect again";
    EXPECT_EQ(engineer.GetState(), kUnitGone);
}

TEST_F(EngineerTest, CapturingOnesOwnStructureDrivesOffARivalAndTheEngineerStays) {
    EngineerUnit& engineer = MakeEngineer();
    TestBuilding factory(2, kTeamBlue);
    factory.AddCaptureProgress(1.0f, kTeamEnemy);
    ASSERT_EQ(factory.GetCapturingTeam(), kTeamEnemy);
    engineer.BeginCapture();
    RunCapture([&] { return engineer.CaptureStructureStep(factory); });
    EXPECT_EQ(factory.GetTeam(), kTeamBlue);
    EXPECT_EQ(factory.GetCapturingTeam(), 0);
    EXPECT_EQ(factory.GetCaptureProgress(), 0.0f);
    EXPECT_EQ(engineer.GetState(), kUnitIdle);
    EXPECT_EQ(battle.unitServices.CountSound(40), 1);
    EXPECT_FALSE(Played(engineer, "jumpin"));
}

TEST_F(EngineerTest, AUnitCaptureRemovesTheEngineerAfterJumpinOrLeavesItBesideAUnitItsFullSideRefused) {
    for (bool full : {false, true}) {
        SCOPED_TRACE(full);
        HandingTeam neutral(kTeamNeutral);
        neutral.receiver = full ? nullptr : &blue;
        EngineerUnit& engineer = MakeEngineer();
        Unit& prize = battle.Make(UT_TRUCK, &neutral, H(4, 5));
        engineer.BeginCapture();
        const int steps = RunCapture([&] {
            if (LogOf(engineer).current == "jumpin") LogOf(engineer).EndAnimation();
            return engineer.CaptureUnitStep(prize);
        });
        EXPECT_EQ(prize.GetTeamKind(), full ? kTeamNeutral : kTeamBlue);
        EXPECT_EQ(engineer.GetState(), full ? kUnitIdle : kUnitGone);
        EXPECT_EQ(steps, full ? 13 + 101 : 13 + 101 + 1);
        EXPECT_EQ(LogOf(engineer).detachedEffects.size(), 1u);
        EXPECT_EQ(LogOf(engineer).stoppedEffects.size(), full ? 1u : 0u);
        EXPECT_EQ(battle.unitServices.CountSound(40), full ? 0 : 1);
        battle.RemoveAll();
        battle.unitServices.sounds.clear();
    }
}

TEST_F(EngineerTest, AModelWithoutJumpinStillRemovesTheEngineer) {
    views.modelAnimations = {"nothing"};
    EngineerUnit& engineer = MakeEngineer();
    TestBuilding radio(9, 0);
    engineer.BeginCapture();
    const int steps = RunCapture([&] { return engineer.CaptureStructureStep(radio); });
    EXPECT_EQ(steps, 13 + 101 + 1);
    EXPECT_EQ(engineer.GetState(), kUnitGone);
}

}  // namespace
}  // namespace units_test
