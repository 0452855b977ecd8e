#include <gtest/gtest.h>

#include "engine/gui/dialog_control.h"
#include "game/battle/structure.h"
#include "game/screens/game_screens.h"
#include "game/screens/screen_draw.h"
#include "game/screens/shop_zone.h"
#include "game/units/unit_tables.h"
#include "screen_fixture.h"

namespace screens_test {
namespace {

using game::ShopZone;
using game::ZoneId;
using testsupport::ZoneDriver;

class TestBuilding final : public game::Structure {
public:
    TestBuilding(int type, game::HexCoord hex, int team) : Structure(hex, team, nullptr, nullptr), type_(type) {}
    int GetType() const override { return type_; }

private:
    int type_;
};

class ShopTest : public BattleScreenTest {
protected:
    void SetUp() override {
        BattleScreenTest::SetUp();
        ui.art[game::kArtUiBits] = loader.Load("GUI/uibits2");
        game::RegisterHudAndShopZones(registry);
        ASSERT_TRUE(registry.CreateZones());
        shop = &ZoneOf<ShopZone>(ZoneId::kShop);
        game.shop = &pad;
        game.mode = game::kGameModeSkirmish;
    }
    // Opens the shop of the building type for the side and lets the zoom finish.
    void Open(int building, int zoneType) {
        picked = std::make_unique<TestBuilding>(building, battle_test::H(1, 1), game::kTeamBlue);
        game.picked = picked.get();
        OpenFully(*shop, zoneType, 100, 100);
    }
    std::vector<int> Listed() const {
        std::vector<int> types;
        for (int i = 0; i < shop->GetCount(); ++i) types.push_back(shop->GetEntry(i).unitType);
        return types;
    }
    int UnitCount() const {
        int count = 0;
        for (int kind = 0; kind <= game::kMaxTeamKind; ++kind) {
            if (const game::Team* team = manager.FindTeam(kind)) count += team->CountLiveUnits();
        }
        return count;
    }
    // A press on the model area at the point, through the input.
    void PressAt(int x, int y) {
        driver.input.pointerX = x;
        driver.input.pointerY = y;
        driver.input.down.insert(engine::kKeyMouseLeft);
        driver.Frame();
        driver.input.down.erase(engine::kKeyMouseLeft);
        driver.Frame();
    }
    engine::DialogControl& BuyButton() const { return *shop->GetWindow()->FindControl(game::kShopBuy); }

    ShopZone* shop = nullptr;
    TestBuilding pad{1, battle_test::H(6, 6), game::kTeamBlue};
    std::unique_ptr<TestBuilding> picked;
};

TEST(ShopCatalogues, EachBuildingSellsWhatItProduces) {
    for (int building = game::kStructureFactory; building <= game::kStructureBarracks; ++building) {
        for (const int type : ShopZone::CatalogueOf(building)) {
            EXPECT_EQ(game::ProducerTypeForUnit(type), building) << type;
        }
    }
    EXPECT_EQ(ShopZone::CatalogueOf(game::kStructureFactory).size(), 8u);
    EXPECT_TRUE(ShopZone::CatalogueOf(game::kStructureHQ).empty());
}

TEST_F(ShopTest, ACampaignMaskListsOnlyTheUnlockedTypes) {
    teamServices.unlocked = std::set<int>{game::UT_GRUNT, game::UT_ENGINEER};
    TakeTurn(game::kTeamBlue, 1000);
    Open(game::kStructureBarracks, 5);
    EXPECT_EQ(Listed(), (std::vector<int>{game::UT_GRUNT, game::UT_ENGINEER}));
}

TEST_F(ShopTest, AFullFactoryFillsAThreeByThreeGridAndASingleEntryFillsTheArea) {
    TakeTurn(game::kTeamBlue, 1000);
    Open(game::kStructureFactory, 6);
    EXPECT_EQ(Listed(), (std::vector<int>{game::UT_APC, game::UT_TRUCK, game::UT_ANTIAIR, game::UT_LIGHT_TANK,
                                          game::UT_MED_TANK, game::UT_HEAVY_TANK, game::UT_ARTILLERY, game::UT_MLRS}));
    EXPECT_EQ(shop->GetEntry(0).hitRect, (engine::IntRect{40, 100, 142, 124}));
    EXPECT_EQ(shop->GetEntry(7).hitRect, (engine::IntRect{182, 348, 142, 124}));
    EXPECT_NEAR(shop->GetEntry(0).modelPosition.x, -0.9f, 1e-5f);
    EXPECT_NEAR(shop->GetEntry(0).modelPosition.y, 0.9f, 1e-5f);
    EXPECT_NEAR(shop->GetEntry(7).modelPosition.x, 0.0f, 1e-5f);
    EXPECT_NEAR(shop->GetEntry(7).modelPosition.y, -0.9f, 1e-5f);
    shop->SetShown(false, false);

    teamServices.unlocked = std::set<int>{game::UT_GRUNT};
    Open(game::kStructureBarracks, 5);
    ASSERT_EQ(shop->GetCount(), 1);
    EXPECT_EQ(shop->GetEntry(0).hitRect, (engine::IntRect{40, 100, 426, 372}));
    EXPECT_EQ(shop->GetEntry(0).modelPosition.x, 0.0f);
    EXPECT_EQ(shop->GetEntry(0).modelPosition.y, 0.0f);
}

TEST_F(ShopTest, AffordabilityIsFixedAtOpeningAndTheBuyLabelSaysIt) {
    const int heavy = game::GetUnitTypeCost(game::UT_HEAVY_TANK);
    TakeTurn(game::kTeamBlue, heavy);
    Open(game::kStructureFactory, 6);
    for (int i = 0; i < shop->GetCount(); ++i) {
        const game::ShopEntry& e = shop->GetEntry(i);
        EXPECT_EQ(e.affordable, e.cost <= heavy) << e.unitType;
        EXPECT_EQ(e.display->GetHighlight(), i == shop->GetSelected() ? 2 : (e.affordable ? 0 : 1)) << e.unitType;
    }
    shop->Select(5);  // the heavy tank, costing all the cash
    EXPECT_TRUE(shop->GetEntry(5).affordable);
    EXPECT_EQ(std::string(BuyButton().GetText().GetNarrow()), "[GEN_BUY] @X[000]" + std::to_string(heavy));
    shop->Select(7);  // the rocket launcher costs less
    EXPECT_TRUE(shop->GetEntry(7).affordable);

    manager.GetCurrentTeam()->SetCash(0);
    shop->Select(0);  // fixed when the shop opened
    EXPECT_TRUE(shop->GetEntry(0).affordable);
    shop->SetShown(false, false);
    Open(game::kStructureFactory, 6);
    EXPECT_EQ(std::string(BuyButton().GetText().GetNarrow()),
              "@C[2][GEN_COST] @X[000]" + std::to_string(shop->GetEntry(shop->GetSelected()).cost));
}

TEST_F(ShopTest, BuyingPlacesTheUnitPaysClearsTheUndoAndRemembersTheChoice) {
    game::Team& blue = TakeTurn(game::kTeamBlue, 1000);
    manager.SaveUndo(blue.GetUnit(0));
    Open(game::kStructureBarracks, 5);
    shop->Select(2);  // the engineer
    const int cost = game::GetUnitTypeCost(game::UT_ENGINEER);
    const int before = blue.CountLiveUnits();
    sound.uiSounds.clear();
    driver.Click(*shop, game::kShopBuy);

    EXPECT_EQ(blue.CountLiveUnits(), before + 1);
    const game::Unit* bought = manager.FindUnitAt(pad.GetHex());
    ASSERT_NE(bought, nullptr);
    EXPECT_EQ(bought->GetType(), game::UT_ENGINEER);
    EXPECT_EQ(blue.GetCash(), 1000 - cost);
    EXPECT_FALSE(manager.CanUndo());
    EXPECT_EQ(blue.LastBought()[0], game::UT_ENGINEER);
    EXPECT_EQ(game.states, std::vector<int>{12});
    EXPECT_FALSE(shop->IsShown());
    EXPECT_EQ(sound.uiSounds, std::vector<int>{game::kUiClick});

    // The next visit starts on the remembered type.
    Open(game::kStructureBarracks, 5);
    EXPECT_EQ(shop->GetEntry(shop->GetSelected()).unitType, game::UT_ENGINEER);
    EXPECT_EQ(shop->GetEntry(shop->GetSelected()).display->GetHighlight(), 2);
}

TEST_F(ShopTest, TooLittleCashFailsAndFlashesAndTheShopStaysOpen) {
    ui.art[game::kArtButtonBits] = loader.Load("GUI/ButtonBits");
    game::Team& blue = TakeTurn(game::kTeamBlue, 10);
    Open(game::kStructureBarracks, 5);
    sound.uiSounds.clear();
    driver.Click(*shop, game::kShopBuy);
    EXPECT_EQ(sound.uiSounds, std::vector<int>{game::kUiFail});
    EXPECT_TRUE(shop->IsShown());
    EXPECT_EQ(blue.GetCash(), 10);
    EXPECT_EQ(manager.FindUnitAt(pad.GetHex()), nullptr);
    EXPECT_TRUE(game.states.empty());
    EXPECT_GT(shop->GetFlash(), 0.0f);
    recorder.Clear();
    driver.Frame();
    const DrawEntry* cash = recorder.FindText("[X000]10");
    ASSERT_NE(cash, nullptr);
    EXPECT_EQ(cash->colourEntry, 2);
    EXPECT_EQ(cash->x, 920);
    EXPECT_EQ(cash->alignment, game::kAlignRight);
    driver.Run(0.15f);
    recorder.Clear();
    driver.Frame();
    EXPECT_EQ(recorder.FindText("[X000]10")->colourEntry, 0);
}

TEST_F(ShopTest, WithNoFreeSlotNothingIsPaidButTheShopClosesAndRemembers) {
    game::Team& blue = TakeTurn(game::kTeamBlue, 1000);
    for (int i = 0; blue.HasFreeUnitSlot(); ++i) {
        ASSERT_LT(i, 144);
        blue.SpawnUnit(game::UT_GRUNT, battle_test::H(i % 12, i / 12), 0, false, 1.0f);
    }
    Open(game::kStructureBarracks, 5);
    shop->Select(1);
    driver.Click(*shop, game::kShopBuy);
    EXPECT_EQ(blue.GetCash(), 1000);
    EXPECT_EQ(blue.LastBought()[0], game::UT_TROOPER);
    EXPECT_EQ(game.states, std::vector<int>{12});
    EXPECT_FALSE(shop->IsShown());
}

TEST_F(ShopTest, PressingAModelSelectsItWithAClickOnlyWhenTheSelectionChanges) {
    TakeTurn(game::kTeamBlue, 1000);
    Open(game::kStructureFactory, 6);
    ASSERT_EQ(shop->GetSelected(), 0);
    sound.uiSounds.clear();
    const engine::IntRect third = shop->GetEntry(2).hitRect;
    PressAt(third.x + 5, third.y + 5);
    EXPECT_EQ(shop->GetSelected(), 2);
    EXPECT_EQ(sound.uiSounds, std::vector<int>{game::kUiClick});
    PressAt(third.x + 20, third.y + 20);
    EXPECT_EQ(sound.uiSounds, std::vector<int>{game::kUiClick});
    // The empty cell of the last row selects nothing.
    PressAt(40 + 2 * 142 + 10, 100 + 2 * 124 + 10);
    EXPECT_EQ(shop->GetSelected(), 2);
    EXPECT_TRUE(shop->IsShown());
}

TEST_F(ShopTest, BackClosesTheShopEvenDuringTheZoomWhileButtonsWait) {
    TakeTurn(game::kTeamBlue, 1000);
    picked = std::make_unique<TestBuilding>(game::kStructureBarracks, battle_test::H(1, 1), game::kTeamBlue);
    game.picked = picked.get();
    game::OpenZone(*shop, 5, 100, 100);
    EXPECT_EQ(ZoneDriver::Send(*shop, engine::kEventReleased, game::kShopBuy), 1);
    EXPECT_EQ(ZoneDriver::Send(*shop, engine::kEventReleased, game::kShopCancel), 1);
    EXPECT_TRUE(shop->IsShown());
    EXPECT_TRUE(game.states.empty());
    driver.TapBack();
    EXPECT_FALSE(shop->IsShown());
    EXPECT_EQ(game.states, std::vector<int>{12});
}

TEST_F(ShopTest, AnEmptyCatalogueShowsNoPanelAndCannotBuy) {
    teamServices.unlocked = std::set<int>{game::UT_GRUNT};
    game::Team& blue = TakeTurn(game::kTeamBlue, 1000);
    Open(game::kStructureFactory, 6);
    EXPECT_EQ(shop->GetCount(), 0);
    EXPECT_EQ(BuyButton().GetDisabled(), 1);
    recorder.Clear();
    driver.Frame();
    EXPECT_TRUE(recorder.Of("image:GUI/uibits2").empty());
    EXPECT_NE(recorder.FindText("[X000]1000"), nullptr);
    EXPECT_EQ(recorder.FindText("[ZT_FACTORY]") != nullptr, true);
    ZoneDriver::Send(*shop, engine::kEventReleased, game::kShopBuy);
    EXPECT_EQ(blue.GetCash(), 1000);
    EXPECT_TRUE(shop->IsShown());
}

TEST_F(ShopTest, AnUnlistedRememberedTypeSelectsAndLightsTheFirstEntry) {
    game::Team& blue = TakeTurn(game::kTeamBlue, 1000);
    blue.LastBought()[0] = game::UT_SNIPER;
    teamServices.unlocked = std::set<int>{game::UT_GRUNT, game::UT_TROOPER};
    Open(game::kStructureBarracks, 5);
    EXPECT_EQ(shop->GetSelected(), 0);
    EXPECT_EQ(shop->GetEntry(0).display->GetHighlight(), 2);
    EXPECT_EQ(shop->GetEntry(1).display->GetHighlight(), 0);
}

TEST_F(ShopTest, TheInformationPanelDescribesTheSelectedType) {
    TakeTurn(game::kTeamBlue, 1000);
    Open(game::kStructureBarracks, 5);  // the grunt first: range 1 - 1, ratings 2, 1, 0, 0
    recorder.Clear();
    driver.Frame();
    const DrawEntry* name = recorder.FindText("text UT_GRUNT");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->x, 490 + 213);
    EXPECT_EQ(name->y, 140);
    ASSERT_NE(recorder.FindText("[BIO_ATTACKRANGE]"), nullptr);
    ASSERT_NE(recorder.FindText("1 - 1"), nullptr);
    EXPECT_EQ(recorder.FindText("1 - 1")->x, 490 + 426 - 20);
    int full = 0;
    int none = 0;
    for (const DrawEntry& e : recorder.Of("text")) {
        full += e.text == "[X009]" ? 1 : 0;
        none += e.text == "[X010]" ? 1 : 0;
        // The rating glyphs are 32 pixels high and stay inside the panel, which ends at y 100 + 372.
        if (e.text == "[X009]" || e.text == "[X010]") {
            EXPECT_LE(e.y + 32, 472) << e.text << " at y " << e.y;
        }
    }
    EXPECT_EQ(full, 3);
    EXPECT_EQ(none, 2);
    // The frames of the model area and of the panel.
    EXPECT_EQ(recorder.ImagesOf("GUI/uibits2", {0, 0, 426, 372}).size(), 2u);

    // An unarmed type has no figures.
    shop->SetShown(false, false);
    Open(game::kStructureFactory, 6);
    shop->Select(1);  // the truck
    recorder.Clear();
    driver.Frame();
    EXPECT_EQ(recorder.FindText("[BIO_ATTACKRANGE]"), nullptr);
}

TEST_F(ShopTest, OpeningAndClosingLeavesEveryTeamsUnitsAsTheyWereAndShowsTheHudAgain) {
    TakeTurn(game::kTeamBlue, 1000);
    TakeTurn(game::kTeamEnemy, 1000);
    TakeTurn(game::kTeamBlue, 1000);
    auto& bar = ZoneOf<game::Zone>(ZoneId::kTopBar);
    bar.SetShown(true, false);
    const int before = UnitCount();
    Open(game::kStructureFactory, 6);
    EXPECT_EQ(UnitCount(), before);
    EXPECT_EQ(shop->GetCount(), 8);
    driver.Click(*shop, game::kShopCancel);
    EXPECT_EQ(game.states, std::vector<int>{12});
    EXPECT_EQ(UnitCount(), before);
    EXPECT_EQ(shop->GetCount(), 0);
    EXPECT_TRUE(bar.IsShown());
    EXPECT_TRUE(ZoneOf<game::Zone>(ZoneId::kTurnButton).IsShown());
}

}  // namespace
}  // namespace screens_test
