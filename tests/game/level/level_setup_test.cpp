// Loading a level folder, setting up its sides by game mode, start tiles and doors, and ground marks.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "level_fakes.h"

namespace level_test {
namespace {

using LevelSetupTest = LevelTest;

std::vector<int> TeamKinds(const TeamManager& manager) {
    std::vector<int> kinds;
    for (int kind = 0; kind < kTeamKindCount; ++kind) {
        if (manager.FindTeam(kind) != nullptr) kinds.push_back(kind);
    }
    return kinds;
}

int CountType(const Team& team, int type) {
    int count = 0;
    for (int i = 0; i < kMaxTeamUnits; ++i) count += team.GetUnit(i) != nullptr && team.GetUnit(i)->GetType() == type;
    return count;
}

TEST_F(LevelSetupTest, CampaignStartsForBlueAndEnemyGiveThoseTeams) {
    LoadLevel(LandSource(10, "unit B1 1 owner 1\nunit B2 17 owner 4\nstructure E5 6 owner 4\n"), nullptr);
    level.SetupTeams(manager);
    EXPECT_EQ(TeamKinds(manager), (std::vector<int>{1, 4}));
    EXPECT_EQ(manager.FindTeam(1)->GetCash(), 500);
    EXPECT_EQ(manager.FindTeam(4)->GetCash(), 700);
    EXPECT_FALSE(manager.IsSettingUp());
}

TEST_F(LevelSetupTest, ANeutralStructureBringsTheNeutralTeam) {
    LoadLevel(LandSource(10, "unit B1 1 owner 1\nunit B2 17 owner 4\nstructure E5 8\n"), nullptr);
    level.SetupTeams(manager);
    EXPECT_EQ(TeamKinds(manager), (std::vector<int>{0, 1, 4}));
    EXPECT_EQ(manager.FindTeam(0)->GetCash(), 700);
    // Blue is always set up, even without tiles.
    manager.Destroy();
    manager.Init();
    battle.gameMode = kGameModePassAndPlay;
    LoadLevel(LandSource(10, "unit B2 17 owner 4\n"), nullptr);
    level.SetupTeams(manager);
    EXPECT_EQ(TeamKinds(manager), (std::vector<int>{0, 1, 4}));
}

TEST_F(LevelSetupTest, InSkirmishGreenBecomesTheComputerSide) {
    battle.gameMode = kGameModeSkirmish;
    LoadLevel(LandSource(10, "unit B1 1 owner 1\nunit B3 17 owner 2\nunit B4 3 owner 2\nunit B6 1 owner 4\n"
                             "structure E5 6 owner 2\nstructure E8 6 owner 1\n"),
              nullptr);
    level.SetupTeams(manager);
    EXPECT_EQ(TeamKinds(manager), (std::vector<int>{1, 4}));
    const Team* computer = manager.FindTeam(kTeamEnemy);
    EXPECT_EQ(computer->CountLiveUnits(), 2);
    EXPECT_EQ(CountType(*computer, UT_GRUNT), 1);
    EXPECT_EQ(CountType(*computer, UT_LIGHT_TANK), 1);
    EXPECT_EQ(level.GetStructureManager().FindAtHex(H(5, 4))->GetTeam(), kTeamEnemy);
    EXPECT_EQ(level.GetStructureManager().FindAtHex(H(8, 4))->GetTeam(), kTeamBlue);
    EXPECT_EQ(manager.FindTeam(kTeamBlue)->GetCash(), 1000);
    EXPECT_EQ(computer->GetCash(), 2000);
    // The enemy's own start tile is not used in skirmish.
    EXPECT_EQ(battle.FindUnitAt(H(6, 1)), nullptr);
}

TEST_F(LevelSetupTest, PassAndPlayCashFromTheMatchOptions) {
    battle.gameMode = kGameModePassAndPlay;
    LoadLevel(LandSource(10, "unit B1 1 owner 1\nunit B3 17 owner 2\nunit B5 17 owner 3\nstructure E5 8\n"),
              nullptr);
    level.SetupTeams(manager);
    EXPECT_EQ(TeamKinds(manager), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(manager.FindTeam(1)->GetCash(), 1000);
    EXPECT_EQ(manager.FindTeam(2)->GetCash(), 2000);
    EXPECT_EQ(manager.FindTeam(3)->GetCash(), 0);
    EXPECT_EQ(manager.FindTeam(0)->GetCash(), 0);
}

TEST_F(LevelSetupTest, StartTilesAreClearedAfterPlacingAndDoorsKept) {
    battle.QueueDirection(4);
    LoadLevel(LandSource(10, "unit B1 3 owner 1\nfeature C1 6 owner 1\n"), nullptr);
    level.SetupTeams(manager);
    const Team* blue = manager.FindTeam(kTeamBlue);
    EXPECT_EQ(blue->CountLiveUnits(), 2);
    const Unit* tank = battle.FindUnitAt(H(1, 1));
    ASSERT_NE(tank, nullptr);
    EXPECT_EQ(tank->GetType(), UT_LIGHT_TANK);
    EXPECT_EQ(tank->GetFacing(), 4);
    EXPECT_FLOAT_EQ(tank->GetHealth(), 1.0f);
    ASSERT_NE(battle.FindUnitAt(H(1, 2)), nullptr);
    EXPECT_EQ(battle.FindUnitAt(H(1, 2))->GetType(), UT_DOOR);
    EXPECT_EQ(level.GetHexMap().GetTile(H(1, 1)).objectClass, kObjectNone);
    EXPECT_EQ(level.GetHexMap().GetTile(H(1, 2)).objectClass, kObjectFeature);
    EXPECT_EQ(level.GetHexMap().CountUnitStartTiles(kTeamBlue), 0);
}

TEST_F(LevelSetupTest, LoadingNeedsTheMapOnly) {
    EXPECT_FALSE(level.Load("Levels/Missing", &diagnostics));
    LoadLevel(LandSource(6, "structure C2 8 owner 1\n"), nullptr);
    EXPECT_NE(level.GetStructureManager().FindAtHex(H(2, 2)), nullptr);
    EXPECT_EQ(level.GetWeatherType(), 2);
    EXPECT_FALSE(level.AreStructuresBusy());
    level.GetStructureManager().FindAtHex(H(2, 2))->StartIncomeFlash();
    EXPECT_TRUE(level.AreStructuresBusy());
    level.PlayMusic();
    EXPECT_EQ(levelServices.music, std::vector<int>{0});
    level.SetMapTopTreeVisible(false);  // no model: nothing to do
}

TEST_F(LevelSetupTest, TheSeventeenthCraterOfAKindReplacesItsOldest) {
    for (int i = 0; i < 16; ++i) {
        battle.clockNs = std::chrono::seconds(10 + i);
        level.AddCrater(1, engine::Vec3(static_cast<float>(i), 0.0f, 0.0f));
    }
    battle.clockNs = std::chrono::seconds(5);
    level.AddCrater(0, engine::Vec3(-1.0f, 0.0f, 0.0f));
    battle.clockNs = std::chrono::seconds(40);
    level.AddCrater(1, engine::Vec3(99.0f, 0.0f, 0.0f));
    EXPECT_FLOAT_EQ(level.GetGroundMark(1, 0).position.x, 99.0f);
    EXPECT_FLOAT_EQ(level.GetGroundMark(1, 1).position.x, 1.0f);
    EXPECT_FLOAT_EQ(level.GetGroundMark(0, 0).position.x, -1.0f);
    EXPECT_EQ(level.GetGroundMark(0, 1).time, 0.0f);
    for (int i = 0; i < 16; ++i) {
        EXPECT_GE(level.GetGroundMark(1, i).variant, 0);
        EXPECT_LT(level.GetGroundMark(1, i).variant, 8);
        EXPECT_GE(level.GetGroundMark(1, i).angle, 0.0f);
        EXPECT_LE(level.GetGroundMark(1, i).angle, 360.0f);
    }
    level.AddCrater(2, engine::Vec3());  // other kinds: nothing
    EXPECT_EQ(level.GetGroundMark(2, 0).time, 0.0f);
}

TEST_F(LevelSetupTest, HexObjectListsByTypeAndSideUpTo128) {
    LoadLevel(LandSource(12, "unit B1 17 owner 1\nunit B2 17 owner 1\nunit B3 2 owner 1\n"
                             "structure E5 8 owner 1\nstructure E8 8 owner 4\n"),
              nullptr);
    level.SetupTeams(manager);
    HexObjectList list;
    list.Init();
    list.AddUnitsOfType(&manager, UT_GRUNT, kTeamBlue);
    list.AddUnitsOfType(&manager, UT_GRUNT, kTeamGreen);  // no such team
    list.AddUnitsOfType(nullptr, UT_GRUNT, kTeamBlue);
    list.AddStructuresOfType(level.GetStructureManager(), kStructureRefinery, kTeamBlue);
    ASSERT_EQ(list.GetCount(), 3);
    EXPECT_EQ(list.GetUnit(0)->GetType(), UT_GRUNT);
    EXPECT_EQ(list.GetStructure(0), nullptr);
    EXPECT_EQ(list.GetStructure(2)->GetHex(), H(5, 4));
    while (list.AddHex(3, 3)) {
    }
    EXPECT_EQ(list.GetCount(), kHexObjectListSize);
    EXPECT_FALSE(list.AddHex(4, 4));
    EXPECT_EQ(list.GetHex(kHexObjectListSize), (HexCoord{-1, -1}));
    EXPECT_EQ(list.GetUnit(kHexObjectListSize - 1), nullptr);
}

}  // namespace
}  // namespace level_test

namespace level_test {
namespace {

class RecordingPresenter : public LevelPresenter {
public:
    bool LoadModel(const std::string& folder) override {
        folders.push_back(folder);
        return true;
    }
    void SetMapTopTreeVisible(bool visible) override { treeVisible.push_back(visible); }
    void ShowReachMarker(HexCoord hex, const engine::Vec3& point) override { markers.emplace_back(hex, point); }
    void Release() override { ++releases; }

    std::vector<std::string> folders;
    std::vector<bool> treeVisible;
    std::vector<std::pair<HexCoord, engine::Vec3>> markers;
    int releases = 0;
};

TEST_F(LevelSetupTest, ThePresenterGetsTheModelAndOneReachMarker) {
    RecordingPresenter presenter;
    Level shown(battle, levelServices, &presenter);
    WriteLevel(data, "Shown", LandSource(10, ""),
               "[WIN]\nWLC_NO_ENEMY_HQ\nWLC_REACHTILE_ANY, AM5\nWLC_REACHTILE_GENERAL, C4\nWLC_REACHTILE_ANY, D5\n"
               "[ENDWIN]\n");
    ASSERT_TRUE(shown.Load("Levels/Shown", &diagnostics));
    EXPECT_EQ(presenter.folders, std::vector<std::string>{"Levels/Shown"});
    ASSERT_EQ(presenter.markers.size(), 1u);
    EXPECT_EQ(presenter.markers[0].first, H(4, 2));
    engine::Vec3 point;
    shown.GetHexMap().GetLevelPoint(point, H(4, 2));
    EXPECT_FLOAT_EQ(presenter.markers[0].second.x, point.x);
    EXPECT_FLOAT_EQ(presenter.markers[0].second.z, point.z);
    shown.LoadMission("Levels/Shown", &diagnostics);
    EXPECT_EQ(presenter.markers.size(), 1u);  // a level has one marker
    shown.SetMapTopTreeVisible(false);
    EXPECT_EQ(presenter.treeVisible, std::vector<bool>{false});
    shown.Destroy();
    EXPECT_EQ(presenter.releases, 1);
    EXPECT_EQ(levelServices.musicStops, 1);
    shown.Destroy();  // once only
    EXPECT_EQ(presenter.releases, 1);
    // A destroyed level refuses a second load instead of reading through its released map.
    EXPECT_FALSE(shown.Load("Levels/Shown", &diagnostics));
}

}  // namespace
}  // namespace level_test
