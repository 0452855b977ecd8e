// The game object's own operations: unit ids, picking, the move target, the selection when a unit is
// deleted, the end of a level, campaign achievements, the button row and the screen size.
#include "game/battle/structure.h"
#include "game/core/display_mode.h"
#include "game/core/screen_rects.h"
#include "game/units/floating_text_pool.h"
#include "game/units/projectile_manager.h"
#include "game/units/unit.h"
#include "game/units/unit_services.h"
#include "game_fixture.h"

namespace core_test {
namespace {

class ObjectTest : public GameTest {
protected:
    void LoadPassAndPlay(const char* map) {
        WriteMap("Map", map);
        platform.onFrame = [this](int) { game->RequestQuit(); };
        LoadThrough(kGameLoadPassAndPlay, "Map");
        ASSERT_NE(game->GetTeamManager(), nullptr);
        blue = game->GetTeamManager()->FindTeam(1);
        ASSERT_NE(blue, nullptr);
    }
    Unit* Spawn(int type, HexCoord hex, Team* team = nullptr) {
        const int id = (team != nullptr ? team : blue)->SpawnUnit(type, hex, 0, false, 1.0f);
        return id != 0 ? game->FindUnitById(id) : nullptr;
    }
    HexMap& Map() { return game->GetLevel()->GetHexMap(); }
    Team* blue = nullptr;
};

const char* const kMap = "structure C2 6 owner 1\nstructure C6 6 owner 2\nunit A9 17 owner 2\n";

// The screen-size values hold the back buffer's size and halves from the game's construction on.
TEST_F(ObjectTest, TheScreenSizeIsTheBackBuffersOnceTheGameIsBuilt) {
    SetScreenSize(0, 0);
    platform.width = 1601;
    Game built(parts);
    const ScreenSize& screen = GetScreenSize();
    EXPECT_EQ(screen.width, 1601);
    EXPECT_EQ(screen.height, 768);
    EXPECT_EQ(screen.halfWidth, 800);
    EXPECT_EQ(screen.halfHeight, 384);
}

TEST_F(ObjectTest, UnitIdsStartAtTwoAndFollowARestoredId) {
    LoadPassAndPlay("structure C2 6 owner 1\n");
    game->RaiseUnitIdCounter(1);
    // The level created no unit: the first gets id 2.
    Unit* first = Spawn(UT_GRUNT, {1, 1});
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetId(), 2);
    game->RaiseUnitIdCounter(40);
    Unit* next = Spawn(UT_GRUNT, {2, 1});
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->GetId(), 41);
    game->RaiseUnitIdCounter(10);
    EXPECT_EQ(game->NextUnitId(), 42) << "raising never lowers";
}

TEST_F(ObjectTest, MoveTargetByMarksAndByTheUnitOnTheHex) {
    LoadPassAndPlay(kMap);
    const HexCoord hex{4, 4};
    Unit* mover = Spawn(UT_GRUNT, {1, 1});
    ASSERT_NE(mover, nullptr);
    HexCoord out;
    game->SetPointerHex({-1, -1});
    EXPECT_FALSE(game->GetMoveTargetHex(out, mover));
    game->SetPointerHex(hex);
    for (std::uint16_t mark : {0x001, 0x040, 0x080, 0x100}) {
        Map().ClearMarkBits(0xFFFF);
        Map().SetMarkBits(hex, mark);
        EXPECT_TRUE(game->GetMoveTargetHex(out, mover)) << mark;
        EXPECT_EQ(out, hex);
    }
    Map().ClearMarkBits(0xFFFF);
    Map().SetMarkBits(hex, 0x002 | 0x004);
    EXPECT_FALSE(game->GetMoveTargetHex(out, mover));

    Map().SetMarkBits(hex, 0x001);
    Unit* there = Spawn(UT_GRUNT, hex);
    ASSERT_NE(there, nullptr);
    EXPECT_FALSE(game->GetMoveTargetHex(out, nullptr)) << "no mover";
    EXPECT_FALSE(game->GetMoveTargetHex(out, mover)) << "a grunt cannot carry a grunt";
}

TEST_F(ObjectTest, MoveTargetOntoACarrier) {
    LoadPassAndPlay(kMap);
    const HexCoord hex{4, 4};
    Unit* mover = Spawn(UT_TROOPER, {1, 1});
    Unit* apc = Spawn(UT_APC, hex);
    ASSERT_NE(mover, nullptr);
    ASSERT_NE(apc, nullptr);
    Map().SetMarkBits(hex, 0x040);
    game->SetPointerHex(hex);
    HexCoord out;
    EXPECT_TRUE(game->GetMoveTargetHex(out, mover));
    Unit* rider = Spawn(UT_TROOPER, {2, 2});
    ASSERT_NE(rider, nullptr);
    ASSERT_TRUE(apc->LinkPassenger(*rider));
    EXPECT_FALSE(game->GetMoveTargetHex(out, mover)) << "the carrier is full";
}

TEST_F(ObjectTest, PickedUnitIsTheOutermostCarrierAndAGoneUnitIsNone) {
    LoadPassAndPlay(kMap);
    const HexCoord hex{5, 5};
    Unit* ferry = Spawn(UT_FERRY, hex);
    Unit* apc = Spawn(UT_APC, {6, 6});
    Unit* trooper = Spawn(UT_TROOPER, {7, 7});
    ASSERT_TRUE(ferry != nullptr && apc != nullptr && trooper != nullptr);
    ASSERT_TRUE(ferry->LinkPassenger(*apc));
    ASSERT_TRUE(apc->LinkPassenger(*trooper));
    game->SetPointerHex({7, 7});
    game->SetPickedNode(nullptr);
    // The trooper's own hex no longer holds it once carried; pick it through its carrier chain.
    EXPECT_EQ(trooper->GetCarrier(), apc);
    game->SetPointerHex(trooper->GetHexPos());
    EXPECT_EQ(game->FindPickedUnit(), ferry);
    EXPECT_FALSE(game->IsPickedByNode());

    Unit* lone = Spawn(UT_GRUNT, {3, 7});
    ASSERT_NE(lone, nullptr);
    lone->Kill(false, nullptr);
    game->SetPointerHex({3, 7});
    if (lone->GetState() == kUnitGone) {
        EXPECT_EQ(game->FindPickedUnit(), nullptr);
    }
}

TEST_F(ObjectTest, UnitsOfALoadedLevelReachTheBattlesServicesUntilTheLevelEnds) {
    EXPECT_EQ(game->GetUnitServices(), nullptr) << "no battle, no services";
    LoadPassAndPlay(kMap);
    Unit* unit = Spawn(UT_GRUNT, {4, 4});
    ASSERT_NE(unit, nullptr);
    UnitServices& services = unit->Services();
    ASSERT_EQ(&services, game->GetUnitServices());
    EXPECT_EQ(services.GetProjectiles(), &game->GetProjectileManager());
    Clear();
    engine::Matrix44 at;
    services.AddEffect("Particles/Combo_resupply", at);
    EXPECT_TRUE(Logged("effect Particles/Combo_resupply")) << "effects go to the game's view";
    services.AddFloatingText({1.0f, 2.0f, 3.0f}, engine::WideString("SUPPLY"));
    const FloatingText& text = game->GetLevel()->GetFloatingTexts().Get(0);
    EXPECT_TRUE(text.text.EqualsNarrow("SUPPLY"));
    EXPECT_FLOAT_EQ(text.position.y, 2.0f);
    game->EndLevel();
    EXPECT_EQ(game->GetUnitServices(), nullptr);
}

TEST_F(ObjectTest, ADeletedUnitLeavesNoBorrowedPointer) {
    LoadPassAndPlay(kMap);
    Unit* unit = Spawn(UT_GRUNT, {4, 4});
    ASSERT_NE(unit, nullptr);
    game->SetSelectedUnit(unit);
    game->SetPressedUnit(unit);
    game->SetInspectedUnit(unit);
    screens.panelUnit = unit;
    unit->Kill(true, nullptr);
    game->SetState(kGameBetweenTurns);
    EXPECT_EQ(game->GetSelectedUnit(), nullptr);
    EXPECT_EQ(game->GetPressedUnit(), nullptr);
    EXPECT_EQ(game->GetInspectedUnit(), nullptr);
    EXPECT_EQ(screens.panelUnit, nullptr);

    // Removed outside the state entry too (a capture spends the engineer).
    Unit* other = Spawn(UT_GRUNT, {5, 4});
    ASSERT_NE(other, nullptr);
    game->SetSelectedUnit(other);
    screens.panelUnit = other;
    other->Kill(true, nullptr);
    game->GetTeamManager()->RemoveGoneUnits();
    EXPECT_EQ(game->GetSelectedUnit(), nullptr);
    EXPECT_EQ(screens.panelUnit, nullptr);
}

TEST_F(ObjectTest, EndLevelClearsTheBattleTheSelectionAndTheAutosave) {
    LoadPassAndPlay(kMap);
    Unit* unit = Spawn(UT_GRUNT, {4, 4});
    HexCoord hq;
    ASSERT_TRUE(ParseHexLabel("C2", hq));
    Structure* structure = game->GetLevel()->GetStructureManager().FindAtHex(hq);
    game->SetSelectedUnit(unit);
    game->SetPickedStructure(structure);
    game->SetShopStructure(structure);
    profile.autosave = true;
    view.explosionsEmpty = false;
    Clear();
    game->EndLevel();
    EXPECT_EQ(log.front(), "announcer hidden");
    EXPECT_EQ(game->GetLevel(), nullptr);
    EXPECT_EQ(game->GetTeamManager(), nullptr);
    EXPECT_TRUE(view.HasExplosionsNode());
    EXPECT_TRUE(view.IsExplosionsNodeEmpty());
    EXPECT_LT(Where("purge 1"), Where("group 0"));
    EXPECT_LT(Where("clear slot 3"), Where("profile save"));
    EXPECT_FALSE(profile.autosave);
    EXPECT_EQ(game->GetSelectedUnit(), nullptr);
    EXPECT_EQ(game->GetPickedStructure(), nullptr);
    EXPECT_EQ(game->GetShopStructure(), nullptr);
}

TEST_F(ObjectTest, CampaignAchievementsByTitle) {
    struct Case {
        const char* title;
        bool last;
        bool gold;
        bool afterResult;
        std::vector<int> unlocked;
    };
    const Case cases[] = {
        {"Tinmarch Campaign", true, false, false, {2}},
        {"Tinmarch Campaign", true, true, true, {3}},
        {"Tinmarch Campaign", false, true, false, {3}},
        {"Tinmarch Coast Pack", true, true, false, {4}},
        {"Tinmarch Mountain Pack", true, false, false, {5}},
        {"Tinmarch Mountain Pack", true, false, true, {}},
        {"Someone Else's", true, true, false, {}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        campaignTemplate.listedName = c.title;
        campaignTemplate.lastMission = c.last;
        campaignTemplate.allGold = c.gold;
        ASSERT_EQ(game->SelectCampaign("C" + std::to_string(n++)), 1);
        achievements.unlocked.clear();
        game->AwardCampaignAchievements(c.afterResult);
        EXPECT_EQ(achievements.unlocked, c.unlocked);
    }
    game->SetGameMode(kGameModeSkirmish);
    achievements.unlocked.clear();
    game->AwardCampaignAchievements(false);
    EXPECT_TRUE(achievements.unlocked.empty());
}

TEST_F(ObjectTest, EnemiesByModeAndTheButtonRow) {
    LoadPassAndPlay("structure C2 6 owner 1\nunit A9 17 owner 2\nunit A7 17 owner 4\n");
    TeamManager& teams = *game->GetTeamManager();
    Team* green = teams.FindTeam(2);
    Team* enemy = teams.FindTeam(4);
    ASSERT_TRUE(green != nullptr && enemy != nullptr);
    EXPECT_TRUE(game->AreEnemies(blue, green));
    EXPECT_FALSE(game->AreEnemies(blue, blue));
    game->SetGameMode(kGameModeCampaign);
    EXPECT_FALSE(game->AreEnemies(blue, green));
    EXPECT_TRUE(game->AreEnemies(green, enemy));

    engine::IntRect rect;
    game->GetButtonRowRect(rect, 3);
    EXPECT_EQ(rect.x, 100);
    EXPECT_EQ(rect.y, 416);
    EXPECT_EQ(rect.width, 50);
}

TEST(ScreenRects, ScaleByScreenClassAndTheComicButton) {
    engine::IntRect rect{101, 51, 40, 21};
    ScaleRect(rect, ScreenClass::kSmall);
    EXPECT_EQ(rect.x, 50);
    EXPECT_EQ(rect.height, 10);
    rect = {101, 51, 40, 21};
    ScaleRect(rect, ScreenClass::kMedium);
    EXPECT_EQ(rect.x, 75);
    EXPECT_EQ(rect.height, 15);
    rect = {101, 51, 40, 21};
    ScaleRectSize(rect, ScreenClass::kSmall);
    EXPECT_EQ(rect.x, 101);
    EXPECT_EQ(rect.width, 20);
    ComicOverlayButtonRect(rect, 1024, 768);
    EXPECT_EQ(rect.x, 512 + 326);
    EXPECT_EQ(rect.y, 384 + 170);
    ComicOverlayButtonRect(rect, 1024, 768, ScreenClass::kMedium);
    EXPECT_EQ(rect.x, 1024 - 85);
}

}  // namespace
}  // namespace core_test
