// The battle's screens walked over the built texts: every zone type, the shops with each unit selected,
// the unit panel for every unit type, the move-choice menu, the pause dialogs and the result screens.
#include "text_walk.h"

#include "game/level/mission.h"
#include "game/screens/move_choice_zone.h"
#include "game/screens/result_screens.h"
#include "game/screens/shop_zone.h"

namespace text_walk {
namespace {

using game::ZoneId;

class BattleWalk : public TextWalk {
protected:
    void SetUp() override {
        TextWalk::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        ui.art[game::kArtIngameUi] = loader.Load("GUI/ingameUi");
        ASSERT_TRUE(registry.CreateZones());
        TakeTurn(game::kTeamBlue, 100000);
        game.mode = game::kGameModeSkirmish;
    }
};

TEST_F(BattleWalk, EveryZoneTypeInEveryGameMode) {
    Building pad{game::kStructureBuildPad, battle_test::H(6, 6)};
    Building barracks{game::kStructureBarracks, battle_test::H(1, 1)};
    game.shop = &pad;
    game.picked = &barracks;
    for (const int mode : {game::kGameModeCampaign, game::kGameModePassAndPlay, game::kGameModeSkirmish}) {
        SCOPED_TRACE("game mode " + std::to_string(mode));
        game.mode = mode;
        OpenEveryZoneType();
    }
    // The surrender question and the HUD panels, which no zone type opens.
    OpenFully(*registry.GetTitled(ZoneId::kSurrenderConfirm), game::kZoneSurrender);
    screens.ShowTurnPanels();
    driver.Run(0.5f);
    ExpectAsked({"ZT_SETTINGS", "ZT_MAINMENU", "ZT_PAUSED", "ZT_CREDITS", "ZT_OBJECTIVE", "ZT_CONFIRM",
                 "ZT_SPEECHPICKER", "ZT_CAMPAIGNPICKER", "ZT_GAMETYPE", "ZT_PASSANDPLAY", "ZT_SKIRMISH",
                 "ZT_PICKMAP", "ZT_PPOPTIONS", "ZT_SAVE", "ZT_LOAD", "ZT_ACHIEVEMENTS", "ZT_DIFFICULTY",
                 "CONFIRM_SURRENDER", "SKM_OBJECTIVE", "PP_OBJECTIVE", "TURN_END", "GEN_DAY"});
}

TEST_F(BattleWalk, EachShopWithEachUnitTheUnitPanelForEveryTypeAndTheMoveChoices) {
    Building pad{game::kStructureBuildPad, battle_test::H(6, 6)};
    game.shop = &pad;
    auto& shop = ZoneOf<game::ShopZone>(ZoneId::kShop);
    const std::pair<int, int> shops[] = {{game::kStructureAirport, 4},
                                         {game::kStructureBarracks, 5},
                                         {game::kStructureFactory, 6},
                                         {game::kStructureDockyard, 7}};
    std::set<int> sold;
    for (const auto& [building, zoneType] : shops) {
        Building picked{building, battle_test::H(1, 1)};
        game.picked = &picked;
        OpenFully(shop, zoneType, 100, 100);
        ASSERT_GT(shop.GetCount(), 0) << building;
        for (int i = 0; i < shop.GetCount(); ++i) {
            shop.Select(i);
            sold.insert(shop.GetEntry(i).unitType);
            driver.Frame();
        }
        shop.SetShown(false, false);
        driver.Frame();
    }
    EXPECT_GE(sold.size(), 20u);

    // The unit panel for every unit type.
    game::Team& blue = *manager.FindTeam(game::kTeamBlue);
    std::set<std::string> names;
    for (const game::UnitDescriptor& row : game::UnitCatalogue()) {
        SCOPED_TRACE(row.keyword);
        const int slot = static_cast<int>(names.size());
        game::Unit* unit = Spawn(blue, row.type, battle_test::H(2 + slot % 8, 2 + slot / 8));
        ASSERT_NE(unit, nullptr);
        recorder.Clear();
        screens.SetPanelUnit(unit);
        screens.DrawUnitPanel();
        const std::vector<std::string> drawn = recorder.Texts();
        ASSERT_FALSE(drawn.empty());
        names.insert(drawn.front());
        screens.SetPanelUnit(nullptr);
    }
    EXPECT_EQ(names.size(), game::UnitCatalogue().size()) << "two unit types share a name";

    // The move-choice menu with every choice.
    auto& menu = ZoneOf<game::MoveChoiceZone>(ZoneId::kMoveChoice);
    for (int first = 1; first <= 9; first += 4) {
        menu.OpenAt(300, 300);
        for (int value = first; value < first + 4 && value <= 9; ++value) menu.AddChoice(value);
        driver.Run(0.3f);
        menu.SetShown(false, false);
    }
    ExpectAsked({"GEN_BUY", "GEN_CANCEL", "BIO_ATTACKRANGE", "MC_TITLE", "MC_ATTACK", "UT_DOOR", "UTD_SUBMARINE"});
}

TEST_F(BattleWalk, WinScreensForEveryMedalAndSurvivalAndLoseScreensForEveryCondition) {
    for (const bool survival : {false, true}) {
        game.survival = survival;
        for (int medal = 1; medal <= 4; ++medal) {
            for (const int days : {1, 3}) {
                screens.OpenWin(medal, days, "");
                driver.Run(0.5f);
                registry.Get(ZoneId::kMissionWon)->SetShown(false, false);
            }
        }
    }
    // Lost in every game mode: survival changes the heading in a campaign.
    game.mode = game::kGameModeCampaign;
    for (const bool survival : {false, true}) {
        game.survival = survival;
        for (int condition = game::WLC_NULL; condition < game::kWinLoseConditionCount; ++condition) {
            SCOPED_TRACE(game::WinLoseConditionName(condition));
            game.endCondition = condition;
            screens.OpenLose();
            driver.Run(0.5f);
            registry.Get(ZoneId::kMissionLost)->SetShown(false, false);
        }
    }
    // The pass-and-play result with a winner and a loser.
    game.mode = game::kGameModePassAndPlay;
    TakeTurn(game::kTeamGreen, 500);
    screens.OpenPassAndPlayResult();
    driver.Run(0.5f);
    ExpectAsked({"WIN_OWNAGE_YOU", "WIN_GOLD", "WIN_SILVER", "WIN_BRONZE", "WIN_WOOD", "WIN_REMAINING", "GEN_DAY1",
                 "GEN_DAYS", "WIN_SURVIVOR1", "WIN_SURVIVOR2", "WIN_CONGRATS_G", "WIN_CONGRATS_W", "LOSE_TITLE",
                 "NOSURVIVE_TITLE", "LOSE_WLC_CASHGRAB", "LOSE_WLC_NO_ALLIED_HQ"});
}

}  // namespace
}  // namespace text_walk
