// The main loop's events, keys and skipped passes, the fixed ticks, the between-turns waits, the skirmish
// win and loss, the frames' draw orders and the screen fade.
#include <algorithm>
#include <chrono>
#include <thread>

#include "engine/platform/key_codes.h"
#include "game/ai/computer_player.h"
#include "game/battle/structure.h"
#include "game/core/computer_player_factory.h"
#include "game_fixture.h"

namespace core_test {
namespace {

const char* const kSkirmishMap =
    "structure C2 6 owner 1\nstructure H2 5 owner 1\nstructure G2 1\n"
    "structure C6 6 owner 2\nunit A1 17 owner 1\nunit A9 17 owner 2\n";

class LoopTest : public GameTest {
protected:
    void QuitAfterFrames(int frames) {
        const int until = platform.frames + frames;
        platform.onFrame = [this, until](int frame) {
            if (frame >= until) game->RequestQuit();
        };
    }
    void LoadSkirmish(const char* map = kSkirmishMap) {
        WriteMap("Skirmish", map);
        QuitAfterFrames(1);
        LoadThrough(kGameLoadSkirmish, "Skirmish");
        ASSERT_NE(game->GetTeamManager(), nullptr);
    }
    Structure* At(const char* label) const {
        HexCoord hex;
        EXPECT_TRUE(ParseHexLabel(label, hex));
        return game->GetLevel()->GetStructureManager().FindAtHex(hex);
    }
    int Count(const std::string& line) const { return static_cast<int>(std::count(log.begin(), log.end(), line)); }
};

TEST_F(LoopTest, OneEventPerPassAndTheQuitEvent) {
    game->SetState(kGameMainMenu);
    Clear();
    platform.events = {7, 3};
    game->RunMainLoop();
    EXPECT_EQ(platform.frames, 1) << "the first event is taken on the first pass, the quit on the second";
    EXPECT_LT(Where("event 7"), Where("frame step"));
    EXPECT_GT(Where("event 3"), Where("frame step"));
}

TEST_F(LoopTest, QuitByFlagAndByLeftAltWithF4Only) {
    game->SetState(kGameMainMenu);
    QuitAfterFrames(2);
    game->RunMainLoop();
    EXPECT_EQ(platform.frames, 2);

    // Right Alt with F4: nothing; left Alt with F4: quit before any work or frame.
    platform.onFrame = nullptr;
    platform.down = {{165, 1}};
    platform.pressed = {{engine::kKeyF4, 1}};
    platform.events = {0, 0};
    platform.onFrame = [this](int frame) {
        if (frame == 3) platform.down = {{engine::kKeyLeftAlt, 1}};
    };
    game->RunMainLoop();
    EXPECT_EQ(platform.frames, 3);
    EXPECT_TRUE(game->IsQuitRequested());
    EXPECT_EQ(platform.keyReads.count(165), 0u) << "the right Alt key is never read";
}

TEST_F(LoopTest, APassAfterAnUnpresentedFrameSkipsKeysWorkAndTicks) {
    LoadSkirmish();
    game->SetState(kGameSideTurn);
    platform.keyReads.clear();
    platform.presentResults = {0, 1};
    platform.delta = 0.05f;
    camera.updates = 0;
    Clear();
    QuitAfterFrames(2);
    game->RunMainLoop();
    // Pass 1 works and ticks; pass 2 follows an unpresented frame: no keys, no ticks, a battle frame.
    EXPECT_EQ(platform.keyReads[engine::kKeyF4], 1);
    EXPECT_EQ(camera.updates, 2);
    EXPECT_EQ(Count("place view"), 2);
}

TEST_F(LoopTest, KeysActOnlyInTheSideTurn) {
    LoadSkirmish();
    platform.down = {{engine::kKeyLeft, 1}, {engine::kKeyUp, 1}};
    platform.pressed = {{engine::kKeyF1, 1}, {engine::kKeyDelete, 1}};
    game->SetState(kGameTurnStartQueue);
    Clear();
    QuitAfterFrames(1);
    game->RunMainLoop();
    EXPECT_FALSE(Logged("pan across 0"));

    game->SetState(kGameBackToTurn);
    Clear();
    QuitAfterFrames(1);
    game->RunMainLoop();
    EXPECT_TRUE(Logged("pan across 0"));
    EXPECT_TRUE(Logged("pan along 1"));
    EXPECT_TRUE(Logged("rotate 0"));
    EXPECT_TRUE(Logged("panels toggled"));
    EXPECT_FALSE(Logged("rotate 1"));
}

TEST_F(LoopTest, TicksOfAFrameAndTheModalFlag) {
    LoadSkirmish();
    game->SetState(kGameBackToTurn);
    camera.updates = 0;
    platform.delta = 0.05f;
    game->SetTickAccumulator(0.0f);
    game->UpdateFixed();
    EXPECT_EQ(camera.updates, 2);
    EXPECT_NEAR(game->GetTickAccumulator(), 0.01f, 1e-5f);

    game->SetModalOpen(true);
    EXPECT_TRUE(Logged("streams 1"));
    camera.updates = 0;
    Clear();
    game->UpdateFixed();
    EXPECT_EQ(camera.updates, 0) << "the battle is frozen";
    game->Render(false, false);
    EXPECT_TRUE(Logged("place view")) << "the battle frame's own steps still run";
}

TEST_F(LoopTest, AWinningTickStopsTheFrameAndKeepsTheAccumulator) {
    // No enemy units and no enemy producer: the first check wins.
    LoadSkirmish("structure C2 6 owner 1\nunit A1 17 owner 1\n");
    game->SetState(kGameBackToTurn);
    camera.updates = 0;
    platform.delta = 0.05f;
    game->SetTickAccumulator(0.0f);
    game->UpdateFixed();
    EXPECT_EQ(camera.updates, 1);
    EXPECT_NEAR(game->GetTickAccumulator(), 0.05f, 1e-5f);
    EXPECT_EQ(game->GetState(), kGameWon);
    EXPECT_EQ(game->GetEndCondition(), 10);
}

TEST_F(LoopTest, SkirmishLossTable) {
    struct Case {
        const char* map;
        int cash;
        int bonus;
        bool lost;
        int condition;
    };
    const Case cases[] = {
        // No blue HQ.
        {"structure C6 6 owner 2\nunit A9 17 owner 2\nunit A1 17 owner 1\n", 0, 0, true, 4},
        // Enemy without HQ: not lost.
        {"structure C2 6 owner 1\nunit A9 17 owner 2\nunit A1 17 owner 1\n", 0, 0, false, 0},
        // Blue engineers play on.
        {"structure C2 6 owner 1\nstructure C6 6 owner 2\nunit A9 17 owner 2\nunit A1 2 owner 1\n", 0, 0, false,
         23},
        // No barracks: lost.
        {"structure C2 6 owner 1\nstructure C6 6 owner 2\nunit A9 17 owner 2\nunit A1 17 owner 1\n", 100, 0, true,
         23},
        // Barracks: cash, bonus or a refinery play on.
        {"structure C2 6 owner 1\nstructure H2 5 owner 1\nstructure C6 6 owner 2\nunit A9 17 owner 2\n", 50, 0,
         false, 23},
        {"structure C2 6 owner 1\nstructure H2 5 owner 1\nstructure C6 6 owner 2\nunit A9 17 owner 2\n", 49, 50,
         false, 23},
        {"structure C2 6 owner 1\nstructure H2 5 owner 1\nstructure C6 6 owner 2\nstructure A8 8 owner 1\n"
         "unit A9 17 owner 2\n",
         0, 0, false, 23},
        {"structure C2 6 owner 1\nstructure H2 5 owner 1\nstructure C6 6 owner 2\nunit A9 17 owner 2\n", 49, 49,
         true, 23},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.map);
        profile.matchOptions = {c.cash, 0, c.bonus, 0};
        LoadSkirmish(c.map);
        if (Team* blue = game->GetTeamManager()->FindTeam(1)) blue->AddCash(c.cash - blue->GetCash());
        EXPECT_EQ(game->CheckSkirmishLoss(), c.lost);
        if (c.condition != 0) {
            EXPECT_EQ(game->GetEndCondition(), c.condition);
        }
    }
}

TEST_F(LoopTest, SkirmishWinByUnitsAndByEachProducingBuilding) {
    LoadSkirmish("structure C2 6 owner 1\nunit A1 17 owner 1\nunit A9 17 owner 2\n");
    EXPECT_FALSE(game->CheckSkirmishWin()) << "the enemy still has a live unit";
    for (int type : {5, 3, 2, 4, 6}) {
        SCOPED_TRACE(type);
        const std::string map = "structure C2 6 owner 1\nunit A1 17 owner 1\nstructure H6 " + std::to_string(type) +
                                " owner 2\n";
        LoadSkirmish(map.c_str());
        ASSERT_EQ(game->GetLevel()->GetStructureManager().CountOwned(4, type), 1);
        EXPECT_FALSE(game->CheckSkirmishWin());
    }
    LoadSkirmish("structure C2 6 owner 1\nunit A1 17 owner 1\nstructure A8 8 owner 2\n");
    EXPECT_TRUE(game->CheckSkirmishWin());
    EXPECT_EQ(game->GetEndCondition(), 10);
}

TEST_F(LoopTest, BetweenTurnsWaitsInOrderThenBuildsTheTurn) {
    LoadSkirmish();
    struct Wait {
        const char* name;
        std::function<void(bool)> set;
    };
    announcer.showing = true;
    scripts.finished = false;
    screens.bannerShowing = true;
    game->SetState(kGameBetweenTurns);
    Clear();
    QuitAfterFrames(1);
    game->RunMainLoop();
    EXPECT_FALSE(Logged("script blocks")) << "the announcer is waited for first";
    announcer.showing = false;
    Clear();
    QuitAfterFrames(1);
    game->RunMainLoop();
    EXPECT_TRUE(Logged("script blocks"));
    EXPECT_FALSE(Logged("panels shown"));
    scripts.finished = true;
    Clear();
    QuitAfterFrames(1);
    game->RunMainLoop();
    EXPECT_FALSE(Logged("panels shown")) << "the banner is waited for";
    screens.bannerShowing = false;
    Clear();
    QuitAfterFrames(1);
    game->RunMainLoop();
    EXPECT_TRUE(Logged("panels shown"));
    EXPECT_TRUE(game->GetState() == kGameSideTurn || game->GetState() == kGameTurnStartQueue);
}

TEST_F(LoopTest, BattleAndMenuFrameOrders) {
    LoadSkirmish();
    profile.options = kOptionQuality;
    Clear();
    game->Render(false, false);
    const Log battle = {"place view",     "projectiles",     "structure models", "build queue",
                        "tile markers",   "level effects",   "capture markers",  "begin FF003F7F",
                        "render queue",   "structure hooks", "unit overlays",    "unit panel",
                        "floating texts", "announcer",       "banner",           "gui",
                        "bloom",          "popup",           "overlays",         "end",
                        "frame step"};
    EXPECT_EQ(log, battle);

    game->SetState(kGameMainMenu);
    for (bool force : {false, true}) {
        Clear();
        game->Render(true, force);
        Log menu = {"begin FF000000", "gui", "popup", "overlays", "end", "frame step"};
        if (force) menu.insert(menu.begin() + 1, "menu picture");
        EXPECT_EQ(log, menu);
    }
    game->SetState(kGameLoadCampaign);
    Clear();
    game->Render(true, false);
    EXPECT_TRUE(Logged("menu picture"));
}

TEST_F(LoopTest, FadeSameColourReverseAndHalfWay) {
    platform.delta = 1.0f;
    game->StartFade(2.0f, 0xFF102030u);
    game->DrawFade();
    EXPECT_FLOAT_EQ(view.lastMonochrome, 0.0f);
    game->DrawFade();
    EXPECT_FLOAT_EQ(view.lastMonochrome, 0.5f);
    game->StartFade(2.0f, 0xFF102030u);
    EXPECT_EQ(game->GetFadeTimeLeft(), 0.0f) << "the same colour ends the fade";

    game->StartFade(2.0f, kNoFade);
    EXPECT_TRUE(game->IsFadeReversed());
    EXPECT_EQ(game->GetFadeColour(), 0xFF102030u);
    game->DrawFade();
    EXPECT_FLOAT_EQ(view.lastMonochrome, 1.0f);
    game->DrawFade();
    game->DrawFade();
    EXPECT_EQ(game->GetFadeColour(), kNoFade);
    view.lastMonochrome = -1.0f;
    game->DrawFade();
    EXPECT_EQ(view.lastMonochrome, -1.0f);
}

TEST_F(LoopTest, ResultPhasesFadeThenOpenTheScreen) {
    LoadSkirmish();
    game->SetState(kGameLost);
    Clear();
    QuitAfterFrames(2);
    game->RunMainLoop();
    EXPECT_EQ(game->GetFadeColour(), 0xFFC04040u);
    EXPECT_EQ(Count("lose"), 1);
}

}  // namespace
}  // namespace core_test

namespace core_test {
namespace {

// A computer player whose turn ends when the test says so.
class FinishingAI : public teams_test::RecordingAIPlayer {
public:
    bool IsTurnOver() const override { return *over; }
    bool* over = nullptr;
};

class ComputerTurnTest : public LoopTest {
protected:
    void SetUp() override {
        parts.createAIPlayer = [this](Team&, Level&, TeamManager&) -> std::unique_ptr<AIPlayer> {
            auto ai = std::make_unique<FinishingAI>();
            ai->over = &turnOver;
            return ai;
        };
        LoopTest::SetUp();
    }
    bool turnOver = false;
};

TEST_F(ComputerTurnTest, AFinishedComputerTurnLeadsBetweenTurns) {
    LoadSkirmish("structure C2 6 owner 1\nstructure C6 6 owner 2\nunit A1 17 owner 1\nunit A9 17 owner 2\n");
    TeamManager& teams = *game->GetTeamManager();
    while (teams.GetCurrentTeam()->GetKind() != 4) teams.AdvanceTurn();
    ASSERT_NE(teams.GetCurrentTeam()->GetAIPlayer(), nullptr);
    game->SetState(kGameBackToTurn);
    QuitAfterFrames(1);
    game->RunMainLoop();
    EXPECT_EQ(game->GetState(), kGameSideTurn);
    turnOver = true;
    QuitAfterFrames(1);
    game->RunMainLoop();
    EXPECT_NE(game->GetState(), kGameSideTurn);
    EXPECT_EQ(teams.GetCurrentTeam()->GetKind(), 1) << "the turn passed on through state 6";
}

// The program's own computer player, planning on its worker thread.
class ProgramComputerTest : public LoopTest {
protected:
    void SetUp() override {
        parts.createAIPlayer = CreateComputerPlayer;
        LoopTest::SetUp();
    }
};

TEST_F(ProgramComputerTest, TheEnemySidePlaysItsTurnAndHandsTheTurnBack) {
    LoadSkirmish();
    TeamManager& teams = *game->GetTeamManager();
    Team* enemy = teams.FindTeam(4);
    ASSERT_NE(enemy, nullptr);
    EXPECT_NE(dynamic_cast<ComputerPlayer*>(enemy->GetAIPlayer()), nullptr);
    EXPECT_EQ(teams.FindTeam(1)->GetAIPlayer(), nullptr) << "player sides get none";

    // Blue ends its first turn at once; the enemy then plans and acts while the loop runs frames.
    platform.delta = 0.02f;
    bool enemyActed = false;
    bool blueEnded = false;
    // A bound against a hang only; the worker's pace sets how many frames pass.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
        QuitAfterFrames(1);
        game->RunMainLoop();
        const int kind = teams.GetCurrentTeam()->GetKind();
        if (game->GetState() == kGameSideTurn && kind == 1 && !blueEnded) {
            blueEnded = true;
            game->SetState(kGameBetweenTurns);
            continue;
        }
        if (game->GetState() == kGameSideTurn && kind == 4) enemyActed = true;
        if (enemyActed && kind != 4) break;
        if (game->GetState() == kGameWon || game->GetState() == kGameLost) break;
        std::this_thread::yield();
    }
    EXPECT_TRUE(enemyActed);
    EXPECT_EQ(teams.GetCurrentTeam()->GetKind(), 1) << "the finished computer turn passed the turn on";
    EXPECT_EQ(teams.GetDay(), 2);
}

}  // namespace
}  // namespace core_test
