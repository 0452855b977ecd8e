// The battle camera during a computer turn: a unit that the computer sends along a path is followed.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <vector>

#include "computer_battle.h"
#include "game/ai/computer_player.h"
#include "game/ai/level_computer_ports.h"

namespace ai_test {
namespace {

using namespace game;

TEST(ComputerCameraTest, AComputerUnitsMovePutsTheBattleCameraInFollowModeOnIt) {
    level_test::DriverSetup setup;
    setup.battleCamera = true;
    ComputerPlayer* computer = nullptr;
    setup.makeComputer = [&](Team& team, Level& level, TeamManager& teams) {
        auto ai = std::make_unique<ComputerPlayer>(team, std::make_unique<LevelComputerPorts>(level, teams, false));
        computer = ai.get();
        return ai;
    };
    level_test::BattleDriver driver("four_armies", setup);
    ASSERT_TRUE(driver.Loaded());
    ASSERT_NE(driver.Camera(), nullptr);
    driver.RunUntilIdle();
    while (driver.Current()->GetKind() != kTeamEnemy) {
        driver.EndTurn();
        driver.RunUntilIdle();
    }
    ASSERT_NE(computer, nullptr);
    const BattleCamera& camera = *driver.Camera();
    std::set<const Unit*> followed;
    for (int i = 0; i < 20000 && !computer->IsTurnOver(); ++i) {
        driver.Frame(level_test::BattleDriver::kTick);
        if (camera.GetMode() != kCameraFollowing) continue;
        const Unit* unit = camera.GetFollowed();
        ASSERT_NE(unit, nullptr);
        EXPECT_EQ(unit->GetTeamKind(), kTeamEnemy);
        followed.insert(unit);
    }
    EXPECT_TRUE(computer->IsTurnOver());
    // Every move the computer made was followed, each on its own unit.
    const std::vector<Unit*>& moves = driver.TeamLog().followed;
    ASSERT_FALSE(moves.empty());
    EXPECT_FALSE(followed.empty());
    for (const Unit* unit : followed) {
        EXPECT_NE(std::find(moves.begin(), moves.end(), unit), moves.end());
    }
}

}  // namespace
}  // namespace ai_test
