// The engineer's capture orders in a campaign level with the real team manager and structures: a neutral
// factory taken in two captures with its pad, and a neutral unit that a full side cannot take.
#include <gtest/gtest.h>

#include "game/battle/structure_manager.h"
#include "game/units/action_orders.h"
#include "game/units/infantry_units.h"
#include "level_fakes.h"

namespace level_test {
namespace {

class CaptureTest : public LevelTest {
protected:
    void SetUp() override {
        LevelTest::SetUp();
        LoadLevel(LandSource(14, "unit A1 3 owner 1\nunit N13 3 owner 4\nunit H9 9\nstructure C4 2\nstructure B4 1\n"),
                  nullptr);
        level.SetupTeams(manager);
        blue = manager.FindTeam(kTeamBlue);
        ASSERT_NE(blue, nullptr);
    }
    Unit* Spawn(int type, const char* label) {
        const int id = blue->SpawnUnit(type, L(label), 0, false, 1.0f);
        return id != 0 ? blue->FindUnitById(id) : nullptr;
    }
    // Ticks the engineer until its order queue is done or it is gone; the ticks.
    int RunOrders(Unit& engineer) {
        int ticks = 0;
        while (ticks < 1000 && engineer.GetState() == kUnitRunningOrders) {
            engineer.Tick();
            ++ticks;
        }
        return ticks;
    }

    Team* blue = nullptr;
};

TEST_F(CaptureTest, AnEngineerTakesANeutralFactoryInTwoCapturesAndItsPadFollows) {
    Structure* factory = level.GetStructureManager().FindAtHex(L("C4"));
    Structure* pad = level.GetStructureManager().FindAtHex(L("B4"));
    ASSERT_NE(factory, nullptr);
    ASSERT_NE(pad, nullptr);
    ASSERT_EQ(factory->GetTeam(), kTeamNeutral);
    Unit* engineer = Spawn(UT_ENGINEER, "D4");
    ASSERT_NE(engineer, nullptr);
    const int engineerId = engineer->GetId();

    ASSERT_NE(engineer->QueueOrder(std::make_unique<CaptureStructureOrder>(*factory)), nullptr);
    EXPECT_EQ(RunOrders(*engineer), 13 + 101);
    EXPECT_EQ(engineer->GetState(), kUnitIdle) << "it stays after the first capture";
    EXPECT_EQ(factory->GetTeam(), kTeamNeutral);
    EXPECT_EQ(factory->GetCapturingTeam(), kTeamBlue);

    ASSERT_NE(engineer->QueueOrder(std::make_unique<CaptureStructureOrder>(*factory)), nullptr);
    RunOrders(*engineer);
    EXPECT_EQ(engineer->GetState(), kUnitGone);
    EXPECT_EQ(factory->GetTeam(), kTeamBlue);
    EXPECT_EQ(pad->GetTeam(), kTeamBlue);
    blue->RemoveGoneUnits();
    EXPECT_EQ(manager.FindUnitById(engineerId), nullptr);
}

TEST_F(CaptureTest, AFullSideCannotTakeANeutralUnitAndTheEngineerStaysWithTheSuctionDetached) {
    Unit* engineer = Spawn(UT_ENGINEER, "H8");
    ASSERT_NE(engineer, nullptr);
    Unit* truck = manager.FindUnitAt(L("H9"));
    ASSERT_NE(truck, nullptr);
    ASSERT_EQ(truck->GetTeamKind(), kTeamNeutral);
    // Fill the side with soldiers in the southern rows.
    for (int column = 0; column < 13; ++column) {
        for (int row = 9; row < 14; ++row) {
            const HexCoord hex{static_cast<std::int16_t>(column), static_cast<std::int16_t>(row)};
            Spawn(UT_GRUNT, FormatHexLabel(hex).c_str());
        }
    }
    ASSERT_EQ(Spawn(UT_GRUNT, "A10"), nullptr) << "the side is full";

    ASSERT_NE(engineer->QueueOrder(std::make_unique<CaptureUnitOrder>(truck->GetId())), nullptr);
    RunOrders(*engineer);
    EXPECT_EQ(truck->GetTeamKind(), kTeamNeutral);
    EXPECT_EQ(engineer->GetState(), kUnitIdle);
    const auto& log = units_test::LogOf(*engineer);
    const int effect = dynamic_cast<EngineerUnit&>(*engineer).GetSuckEffect();
    EXPECT_EQ(log.stoppedEffects, std::vector<int>{effect});
    EXPECT_EQ(log.detachedEffects, std::vector<int>{effect});
}

}  // namespace
}  // namespace level_test
