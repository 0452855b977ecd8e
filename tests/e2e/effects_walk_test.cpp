// The particle effects through the real program: every effect the battle asks for by name is known once
// start-up is over, and a refinery's income at a turn start shows its coins in the running battle.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/battle_walks.h"
#include "engine/scene/scene_node.h"
#include "game/core/game.h"
#include "game/core/scene_game_view.h"
#include "game/level/help_icons.h"
#include "game/level/scene_level_presenter.h"
#include "game/level/turn_start_queue.h"
#include "game/units/unit_catalogue.h"
#include "game/units/unit_class_table.h"

namespace e2e {
namespace {

// Every name the battle's code hands to the scene for an effect it places or clones: the units' deaths,
// shots, splashes, resupply and build flashes, the structures' fireworks, the turn start's coins, the help
// icons' burst and the reach marker. The weapons' and the engineer's effects come from the class table.
std::vector<std::string> EffectsTheGameAsksFor() {
    std::vector<std::string> names = {
        game::kIncomeCoinsEffect,
        "Particles/Combo_chard",
        "Particles/ComboExplosion_airbourne1",
        "Particles/ComboExplosion_airbourne2",
        "Particles/ComboExplosion_airbourne3",
        "Particles/ComboExplosion_water1",
        "Particles/ComboExplosion_ground1",
        "Particles/ComboExplosion_ground2",
        "Particles/ComboExplosion_ground3",
        "Particles/Combo_resupply",
        "Particles/Combo_splash_small",
        "Particles/tank_track_smoke",
        "Particles/BloodSplatSmall",
        "Particles/Ricochet",
        "Particles/ComboExplosion_missile",
        "Particles/ComboExplosion_grenade",
        "Particles/ComboExplosion_barrage",
        "Particles/Combo_Unit_build",
        "Particles/Combo_fireworks_red",
        "Particles/Combo_fireworks_green",
        "Particles/Combo_fireworks_yellow",
        game::kHelpIconEffect,
        game::kReachMarkerEffect,
    };
    for (const game::UnitDescriptor& row : game::UnitCatalogue()) {
        const game::UnitClassRow& classRow = game::GetUnitClassRow(row.type);
        for (const char* effect : classRow.weapon.effects) {
            if (effect != nullptr) names.emplace_back(effect);
        }
        if (classRow.suction.effect != nullptr) names.emplace_back(classRow.suction.effect);
    }
    return names;
}

game::SceneGameView* SceneOf(ProgramDriver& d) { return dynamic_cast<game::SceneGameView*>(d.GetGame().GetView()); }

TEST(EffectsWalk, EveryEffectTheGameAsksForIsKnownAfterStartUp) {
    ProgramDriver driver;
    std::vector<std::string> missing;
    int asked = 0;
    EXPECT_EQ(driver.Run([&](ProgramDriver& d) {
        ASSERT_TRUE(d.WaitForState(game::kGameMainMenu, 60 * kSeconds)) << "state " << d.State();
        game::SceneGameView* scene = SceneOf(d);
        ASSERT_NE(scene, nullptr);
        for (const std::string& name : EffectsTheGameAsksFor()) {
            ++asked;
            if (scene->FindEffect(name.c_str()) == nullptr) missing.push_back(name);
        }
    }),
              0);
    EXPECT_GT(asked, 0);
    std::string list;
    for (const std::string& name : missing) list += " \"" + name + "\"";
    EXPECT_TRUE(missing.empty()) << "effects the game asks for and cannot find:" << list;
}

// The frame check looks at every frame of a turn start whose running step is a refinery's income: the coins
// hang under the explosions node from the step's first call until they have played out. A clone keeps the
// name of its prototype's root, which the loader names after the file.
TEST(EffectsWalk, TheFirstIncomeOfATurnShowsTheCoinEffect) {
    const std::string coinsRoot = std::string(game::kIncomeCoinsEffect) + ".CNT";
    ProgramDriver driver;
    game::Game* game = nullptr;
    int incomeFrames = 0;
    int coinFrames = 0;
    driver.SetFrameCheck([&] {
        if (game == nullptr || game->GetState() != game::kGameTurnStartQueue) return;
        const game::TurnStartQueue& queue = game->GetTurnStartQueue();
        if (dynamic_cast<const game::IncomeEvent*>(queue.GetEvent(queue.GetIndex())) == nullptr) return;
        ++incomeFrames;
        const auto* scene = dynamic_cast<game::SceneGameView*>(game->GetView());
        const engine::SceneNode* explosions = scene != nullptr ? scene->GetExplosionsNode() : nullptr;
        if (explosions == nullptr) return;
        for (int i = 0; i < explosions->GetChildCount(); ++i) {
            if (explosions->GetChild(i)->GetName().EqualsNarrow(coinsRoot.c_str())) {
                ++coinFrames;
                return;
            }
        }
    });
    EXPECT_EQ(driver.Run([&](ProgramDriver& d) {
        game = &d.GetGame();
        ASSERT_TRUE(StartSkirmish(d)) << "state " << d.State();
        // A side without a refinery on day 1 is paid from day 2 on: one round more.
        if (incomeFrames == 0) {
            ASSERT_TRUE(EndTurnAndWaitForComputer(d)) << "state " << d.State();
        }
        game = nullptr;
    }),
              0);
    ASSERT_GT(incomeFrames, 0) << "no refinery paid its income in the skirmish's first turns";
    EXPECT_GT(coinFrames, 0) << "the income showed no coins in " << incomeFrames << " frames";
}

}  // namespace
}  // namespace e2e
