// The game states' entry actions and chains, the bounded profile poll, the failed level loads and the
// campaign selection, over the recording fakes.
#include <algorithm>

#include "game_fixture.h"

namespace core_test {
namespace {

// Blue HQ with barracks, enemy HQ with a grunt; blue has a grunt at A1.
const char* const kSkirmishMap =
    "structure C2 6 owner 1\nstructure H2 5 owner 1\nstructure G2 1\n"
    "structure C6 6 owner 4\nunit A1 17 owner 1\nunit A9 17 owner 4\n";

class StatesTest : public GameTest {
protected:
    void QuitAfterFrames(int frames) {
        platform.onFrame = [this, frames](int frame) {
            if (frame >= frames) game->RequestQuit();
        };
    }
    void LoadSkirmish() {
        WriteMap("Skirmish", kSkirmishMap);
        QuitAfterFrames(1);
        LoadThrough(kGameLoadSkirmish, "Skirmish");
        ASSERT_NE(game->GetLevel(), nullptr);
        ASSERT_NE(game->GetTeamManager(), nullptr);
    }
};

TEST_F(StatesTest, StartupSplashByWidthThenProfileThenMenu) {
    for (int width : {1919, 1920}) {
        Clear();
        platform.width = width;
        profile.pollResults = {0, kProfileNoFile, kProfileIdle};
        game->SetState(kGameStartup);
        EXPECT_EQ(log.front(), std::string("splash ") + (width >= 1920 ? "Common/vav" : "Common/smbfg"));
        EXPECT_LT(Where("load resources"), Where("profile load"));
        EXPECT_TRUE(Logged("profile save")) << "a missing profile file is saved with the defaults";
        EXPECT_TRUE(Logged("speech pack 1"));
        EXPECT_LT(Where("speech pack 1"), Where("speech pack 0"));
        EXPECT_TRUE(Logged("zone 8"));
        EXPECT_EQ(game->GetState(), kGameMainMenu);
    }
    EXPECT_EQ(profile.startCount, 2);
}

TEST_F(StatesTest, StartupStopsWhenTheScreensCannotBeMade) {
    screens.zonesMade = false;
    game->SetState(kGameStartup);
    EXPECT_LT(Where("load resources"), Where("zones made"));
    EXPECT_FALSE(Logged("profile load"));
    EXPECT_EQ(game->GetState(), kGameStartup);
    EXPECT_TRUE(game->IsQuitRequested());

    Clear();
    screens.zonesMade = true;
    profile.pollResults = {kProfileIdle};
    game->SetState(kGameStartup);
    EXPECT_LT(Where("zones made"), Where("profile load"));
}

TEST_F(StatesTest, ResumeOfTheAutosaveOrTheMenuWhenItFails) {
    profile.autosave = true;
    profile.onResume = [this] {
        game->SetState(kGameBackToTurn);  // word-only write of 7, as a resumed game stands
        return true;
    };
    game->SetState(kGameProfileLoading);
    EXPECT_EQ(game->GetState(), kGameSideTurn);
    EXPECT_FALSE(Logged("zone 8"));

    Clear();
    profile.onResume = nullptr;
    game->SetState(kGameProfileLoading);
    EXPECT_TRUE(Logged("resume slot 3"));
    EXPECT_EQ(game->GetState(), kGameMainMenu);
}

TEST_F(StatesTest, AProfileThatNeverSettlesEndsStartupAfterTheBound) {
    for (int stuck : {5, 3, 2}) {
        profile.pollResults.clear();
        profile.stuckResult = stuck;
        profile.polls = 0;
        testing::internal::CaptureStderr();
        game->SetState(kGameProfileLoading);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(profile.polls, kMaxProfilePolls);
        EXPECT_NE(err.find("did not settle"), std::string::npos);
        EXPECT_EQ(game->GetState(), kGameMainMenu);
        EXPECT_EQ(profile.startCount, 0) << "no start is counted on an unsettled profile";
    }
}

TEST_F(StatesTest, WordOnlyWritesAndStoredNumbers) {
    LoadSkirmish();
    Clear();
    game->SetState(kGameBackToTurn);
    EXPECT_EQ(game->GetState(), kGameSideTurn);
    EXPECT_FALSE(Logged("save slot 3"));
    EXPECT_TRUE(std::none_of(log.begin(), log.end(), [](const std::string& l) { return l.rfind("announce", 0) == 0; }));

    for (int state : {0, 20, 14}) {
        Clear();
        game->SetState(state);
        EXPECT_EQ(game->GetState(), state);
        EXPECT_TRUE(log.empty());
    }
}

TEST_F(StatesTest, LeavingALevelEndsItAndOpensTheNextScreen) {
    struct Case {
        int state;
        int mode;
        const char* screen;
        int endState;
        bool menuMusic;
    };
    const Case cases[] = {
        {kGameLeaveLevel, kGameModeSkirmish, "zone 8", kGameMainMenu, true},
        {kGameAfterLoss, kGameModeSkirmish, "zone 23", kGameMainMenu, true},
        {kGameAfterLoss, kGameModeCampaign, "campaign map", kGameMainMenu, true},
        {kGameBackToPassAndPlay, kGameModePassAndPlay, "zone 24", kGameMainMenu, true},
        {kGameBackToSkirmish, kGameModeSkirmish, "zone 25", kGameMainMenu, true},
        {kGameMissionCompleted, kGameModeCampaign, "credits", kGameMainMenu, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        LoadSkirmish();
        game->SetGameMode(c.mode);
        profile.autosave = true;
        Clear();
        game->SetState(c.state);
        EXPECT_EQ(game->GetLevel(), nullptr);
        EXPECT_EQ(game->GetTeamManager(), nullptr);
        EXPECT_FALSE(profile.autosave);
        EXPECT_EQ(game->GetState(), c.endState);
        EXPECT_EQ(Logged("music 1"), c.menuMusic);
        if (std::string(c.screen) == "credits") {
            EXPECT_TRUE(Logged("zone 14"));
        } else {
            EXPECT_TRUE(Logged(c.screen));
        }
    }
}

TEST_F(StatesTest, MissionCompletedTakesTheMedalBeforeTheResetAndShowsTheMapWhenAnotherFollows) {
    campaignTemplate.anotherFollows = true;
    campaignTemplate.listedName = "Tinmarch Campaign";
    campaignTemplate.allGold = true;
    ASSERT_EQ(game->SelectCampaign("Base"), 1);
    LoadSkirmish();
    game->SetGameMode(kGameModeCampaign);
    Clear();
    game->SetState(kGameMissionCompleted);
    EXPECT_TRUE(Logged("campaign map"));
    EXPECT_EQ(achievements.unlocked, std::vector<int>({3}));
}

TEST_F(StatesTest, RestartReloadsInTheGameModeAndKeepsTheMusic) {
    WriteMap("Skirmish", kSkirmishMap);
    for (int mode : {kGameModePassAndPlay, kGameModeSkirmish}) {
        LoadSkirmish();
        game->SetGameMode(mode);
        Clear();
        game->SetState(kGameRestartLevel);
        EXPECT_FALSE(Logged("music 1"));
        EXPECT_EQ(game->GetState(), mode == kGameModePassAndPlay ? kGameLoadPassAndPlay : kGameLoadSkirmish);
        // The loading work itself runs on the next pass.
        QuitAfterFrames(platform.frames + 1);
        game->RunMainLoop();
        EXPECT_NE(game->GetLevel(), nullptr);
        EXPECT_EQ(game->GetGameMode(), mode);
    }
}

TEST_F(StatesTest, FailedLevelLoadsEndOnTheScreenThePlayerCameFrom) {
    struct Case {
        int state;
        const char* folder;  // written as an empty folder when not null
        const char* screen;
    };
    const Case cases[] = {
        {kGameLoadSkirmish, "Empty", "zone 25"},
        {kGameLoadPassAndPlay, "Empty", "zone 24"},
        {kGameLoadPassAndPlay, nullptr, "zone 24"},
        {kGameLoadCampaign, nullptr, "campaign map"},
    };
    ASSERT_TRUE(data.Write("Levels/Empty/readme.txt", "no map"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        Clear();
        profile.mapFolder = c.folder != nullptr ? std::string("Levels/") + c.folder : std::string();
        game->SetState(c.state);
        QuitAfterFrames(platform.frames + 2);
        testing::internal::CaptureStderr();
        game->RunMainLoop();
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find("did not load"), std::string::npos);
        if (c.folder != nullptr) {
            EXPECT_NE(err.find("Levels/Empty"), std::string::npos);
        }
        EXPECT_EQ(game->GetLevel(), nullptr);
        EXPECT_EQ(game->GetTeamManager(), nullptr);
        EXPECT_EQ(game->GetState(), kGameMainMenu);
        EXPECT_TRUE(Logged(c.screen));
        EXPECT_TRUE(Logged("purge 1"));
        EXPECT_GE(platform.frames, 2) << "the program keeps running";
    }
}

TEST_F(StatesTest, ARestartIntoAFailedLoadEndsOnTheSetupScreen) {
    LoadSkirmish();
    ASSERT_TRUE(data.Write("Levels/Empty/readme.txt", "no map"));
    profile.mapFolder = "Levels/Empty";
    game->SetState(kGameRestartLevel);
    QuitAfterFrames(platform.frames + 1);
    testing::internal::CaptureStderr();
    game->RunMainLoop();
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(game->GetLevel(), nullptr);
    EXPECT_EQ(game->GetTeamManager(), nullptr);
    EXPECT_TRUE(Logged("zone 25"));
}

TEST_F(StatesTest, SelectCampaignMakesTheNameCurrentOnlyAfterALoad) {
    campaignTemplate.loads_ok = false;
    EXPECT_EQ(game->SelectCampaign("Base"), 0);
    EXPECT_EQ(game->GetCampaignName(), "Uninitialised");
    EXPECT_FALSE(Logged("profile campaign Base"));
    EXPECT_EQ(lastCampaign->loadedPath, "Campaigns\\Base");

    lastCampaign->loads_ok = true;
    campaignTemplate.loads_ok = true;
    EXPECT_EQ(game->SelectCampaign("Base"), 1);
    EXPECT_EQ(campaignLoads, 2) << "a failed load is tried again";
    EXPECT_TRUE(Logged("profile campaign Base"));
    EXPECT_EQ(game->SelectCampaign("Base"), 1);
    EXPECT_EQ(campaignLoads, 2) << "the current campaign is not loaded again";
}

TEST_F(StatesTest, ShopWithoutAStructureGoesBackToTheTurn) {
    LoadSkirmish();
    Clear();
    game->SetState(kGameShop);
    EXPECT_EQ(game->GetState(), kGameSideTurn);
    EXPECT_TRUE(log.empty());

    HexCoord barracks;
    ASSERT_TRUE(ParseHexLabel("H2", barracks));
    game->SetPickedStructure(game->GetLevel()->GetStructureManager().FindAtHex(barracks));
    ASSERT_NE(game->GetPickedStructure(), nullptr);
    game->SetState(kGameShop);
    EXPECT_TRUE(Logged("zone 5"));
}

TEST_F(StatesTest, BetweenTurnsAdvancesAndFocusesTheHqOnDayOne) {
    LoadSkirmish();
    // Loading entered state 6: the first side has the turn, looking at its HQ.
    Team* blue = game->GetTeamManager()->GetCurrentTeam();
    ASSERT_NE(blue, nullptr);
    EXPECT_EQ(blue->GetKind(), 1);
    HexCoord hq;
    ASSERT_TRUE(ParseHexLabel("C2", hq));
    EXPECT_EQ(blue->GetFocusHex(), hq);
    EXPECT_TRUE(Logged("day start 1"));
}

TEST_F(StatesTest, BetweenTurnsLosesWhenNoSideCanTakeTheTurn) {
    // Two player sides with an HQ each and nothing to act with: on day 1 every side still takes its turn.
    WriteMap("Idle", "structure C2 6 owner 1\nstructure C6 6 owner 2\n");
    QuitAfterFrames(1);
    LoadThrough(kGameLoadPassAndPlay, "Idle");
    TeamManager* teams = game->GetTeamManager();
    ASSERT_NE(teams, nullptr);
    EXPECT_EQ(teams->GetCurrentTeam()->GetKind(), 1);
    game->SetState(kGameBetweenTurns);
    ASSERT_EQ(game->GetState(), kGameBetweenTurns);
    EXPECT_EQ(teams->GetCurrentTeam()->GetKind(), 2);
    // Day 2: neither side can act, so the turn cannot pass and the mission is lost.
    Clear();
    game->SetState(kGameBetweenTurns);
    EXPECT_EQ(game->GetState(), kGameLost);
    EXPECT_EQ(teams->GetDay(), 2);
    EXPECT_TRUE(Logged("music 3"));
    EXPECT_EQ(game->GetResultPhase(), 1);
    EXPECT_FALSE(Logged("day start 2")) << "no day block for a turn nobody takes";
}

TEST_F(StatesTest, TurnCaptionsByPlayerSidesAndComputerTurns) {
    WriteMap("Three", "structure C2 6 owner 1\nstructure C6 6 owner 4\nunit A1 17 owner 1\nunit A3 17 owner 2\n"
                      "unit A9 17 owner 4\n");
    QuitAfterFrames(1);
    LoadThrough(kGameLoadPassAndPlay, "Three");
    ASSERT_NE(game->GetTeamManager(), nullptr);
    Clear();
    game->SetState(kGameSideTurn);
    EXPECT_TRUE(Logged("announce ANN_ALLY1TURN 0"));
    EXPECT_TRUE(Logged("save slot 3"));

    LoadSkirmish();
    Clear();
    game->SetState(kGameSideTurn);
    EXPECT_TRUE(Logged("announce ANN_YOURTURN 0"));

    // The enemy's turn: the computer caption, no autosave.
    TeamManager& teams = *game->GetTeamManager();
    while (teams.GetCurrentTeam()->GetKind() != 4) teams.AdvanceTurn();
    Clear();
    game->SetState(kGameSideTurn);
    EXPECT_TRUE(Logged("announce ANN_CPUTURN 1"));
    EXPECT_FALSE(Logged("save slot 3"));
}

TEST_F(StatesTest, WonAndLostPresentTheEndAndCountSkirmishWins) {
    LoadSkirmish();
    profile.skirmishWins = 9;
    Clear();
    game->SetState(kGameWon);
    EXPECT_TRUE(Logged("panels out"));
    EXPECT_TRUE(Logged("banner hidden"));
    EXPECT_TRUE(Logged("music 2"));
    EXPECT_EQ(game->GetResultPhase(), 1);
    EXPECT_EQ(achievements.unlocked, std::vector<int>({10}));
    profile.skirmishWins = 99;
    game->SetState(kGameWon);
    EXPECT_EQ(achievements.unlocked, std::vector<int>({10, 11}));
    game->SetState(kGameWon);
    EXPECT_EQ(achievements.unlocked.size(), 2u);
    Clear();
    game->SetState(kGameLost);
    EXPECT_TRUE(Logged("music 3"));
}

}  // namespace
}  // namespace core_test
