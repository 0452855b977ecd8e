// Battles on the shipped models, drawn by the game's own view over the built archive: on every shipped level
// the level model, units, structures, markers and sky draw without a placeholder texture, and so do the shop
// of a producer with its display units, the won battle with its end reactions and the win screen, and the
// announcer's walkers; no unit asks its model for an animation its class waits on that the model lacks; and
// the whole battle of two mixed sides, played on a stepped clock, ends with no unit busy for more than 30 s.
#include "shipped_battle_fixture.h"
#include "sys/gpu_test_hooks.h"

namespace core_test {
namespace {

TEST_P(ShippedBattleTest, TheBattleShopAndWinDrawWithoutAPlaceholderAndEveryWaitedAnimationPlays) {
    profile.mapFolder = GetParam();
    game->SetState(kGameLoadSkirmish);
    RunUntil([] { return true; }, 1);
    ASSERT_NE(game->GetLevel(), nullptr) << GetParam();
    ASSERT_NE(game->GetTeamManager(), nullptr);
    ASSERT_NE(view->GetSceneLevel().GetModelNode(), nullptr) << "the level model did not load";
    EXPECT_GT(watched->created, 0) << "the level's units were made through the watched views";
    // A few seconds of the battle: the units idle, bored soldiers play their turns, the sky and markers draw.
    RunUntil([] { return false; }, 30);

    // The shop of a producer, opened as a tap on it opens it: its display units are made, idle and drawn. A
    // level without a producer (the first missions) has no shop to open.
    if (Structure* producer = ShopStructure()) {
        const int madeBefore = watched->created;
        game->SetPickedStructure(producer);
        game->SetShopStructure(producer->FindFreePad());
        game->SetState(kGameShop);
        ShopZone* shop = ZoneOf<ShopZone>(ZoneId::kShop);
        ASSERT_NE(shop, nullptr);
        EXPECT_TRUE(RunUntil([&] { return shop->IsFullyOpen(); }, 100)) << "the shop did not open";
        EXPECT_GT(shop->GetCount(), 0) << "the shop of structure type " << producer->GetType() << " sells nothing";
        EXPECT_GE(watched->created - madeBefore, shop->GetCount()) << "the display units were not made by the views";
        RunUntil([] { return false; }, 10);
        shop->OnControl(false, kShopCancel);
        EXPECT_TRUE(RunUntil([&] { return !shop->IsShown() && game->GetState() == kGameSideTurn; }, 100))
            << "the shop did not close (state " << game->GetState() << ")";
    } else {
        std::printf("NOT OPENED: the shop: %s has no producer with a free pad\n", GetParam().c_str());
    }

    // The battle won: the end reactions and fireworks, then after the fade the result screen of the game's
    // mode; the win screen itself when that is another one.
    game->SetState(kGameWon);
    const auto shown = [&](ZoneId id) {
        const game::Zone* zone = liveScreens->Zones().Has(id) ? liveScreens->Zones().Get(id) : nullptr;
        return zone != nullptr && zone->IsShown();
    };
    EXPECT_TRUE(RunUntil([&] { return shown(ZoneId::kMissionWon) || shown(ZoneId::kPassAndPlayResult); }, 200))
        << "no result screen opened";
    if (!shown(ZoneId::kMissionWon)) {
        liveScreens->HideAllDialogs();
        liveScreens->OpenWin(1, 10, "");
    }
    WinZone* win = ZoneOf<WinZone>(ZoneId::kMissionWon);
    ASSERT_NE(win, nullptr);
    EXPECT_TRUE(RunUntil([&] { return win->IsFullyOpen(); }, 100)) << "the win screen did not open";
    RunUntil([] { return false; }, 10);

    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(PlaceholdersMade(), 0) << "materials without their textures:\n" << MaterialsWithoutTheirTextures();
    EXPECT_EQ(RefusedWaitedAnimations(), "");
}

// The turn announcer's walker: each vehicle type it may pick, in each team colour, drawn in its own scene.
TEST_F(ShippedDataTest, TheAnnouncersWalkersDrawWithoutAPlaceholder) {
    const std::vector<std::string> levels = ShippedLevels();
    ASSERT_FALSE(levels.empty());
    profile.mapFolder = levels.front();
    game->SetState(kGameLoadSkirmish);
    quitAfterFrame = true;
    game->RunMainLoop();
    ASSERT_NE(game->GetLevel(), nullptr);
    EngineAnnouncerScene scene(*game);
    scene.Init(kWidth, kHeight);
    engine::RenderTarget* target = made->GetMainRenderTarget();
    ASSERT_NE(target, nullptr);
    for (const int type : TurnAnnouncer::kWalkerTypes) {
        for (int kind = 1; kind <= 4; ++kind) {
            ASSERT_TRUE(scene.CreateWalker(type, kind)) << type;
            for (const float x : {-1.5f, 0.0f, 1.5f}) {
                scene.PlaceWalker(x, -90.0f);
                view->BeginFrame(0xFF000000u);
                scene.Render(*target);
                view->EndFrame();
                made->FrameStep();
                if (x != 0.0f) continue;
                // In the middle of its walk the walker stands in the picture: pixels off the black clear.
                const std::vector<std::uint8_t>& image = sys::GpuHooks().presentedImage;
                int drawn = 0;
                for (std::size_t i = 0; i + 3 < image.size(); i += 4) {
                    if (image[i] > 8 || image[i + 1] > 8 || image[i + 2] > 8) ++drawn;
                }
                EXPECT_GT(drawn, 50) << "walker type " << type << " side " << kind << " not drawn: " << drawn;
            }
        }
    }
    scene.DeleteWalker();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(PlaceholdersMade(), 0) << "materials without their textures:\n" << MaterialsWithoutTheirTextures();
    EXPECT_EQ(RefusedWaitedAnimations(), "");
}

// The campaign record of one mission: the test level's folder.
class OneMission final : public CampaignInfo {
public:
    bool Load(const std::string&) override { return true; }
    std::string GetListedName() const override { return {}; }
    std::string GetSelectedMissionFolder() const override { return "Levels/mixed"; }
    HexCoord GetSelectedStartTile() const override { return {}; }
    bool IsLastMissionSelected() const override { return false; }
    bool AllMissionsGold(int) const override { return false; }
    int GetFinishedMedal() const override { return 0; }
    int GetFinishedMargin() const override { return 0; }
    bool RecordResult(int, int) override { return false; }
    std::string GetSelectedMissionRecord() const override { return {}; }
    std::pair<int, int> GetStartCash() const override { return {0, 0}; }
};

// The whole battle of two mixed sides (soldiers, a grenadier, tanks, artillery, an anti-air vehicle and a
// fighter) played by the commander on both sides, on the shipped models, at 50 frames a game second.
class MixedBattleTest : public ShippedDataTest {
protected:
    static constexpr std::chrono::nanoseconds kFrame{20'000'000};
    static constexpr int kBusyLimitFrames = 30 * 50;

    MixedBattleTest() {
        // The test level has no level model of its own: the box stands for it.
        useSceneLevel = false;
        engineClock = [this] { return now; };
        parts.createCampaign = [](void*) -> std::unique_ptr<CampaignInfo> { return std::make_unique<OneMission>(); };
    }

    // Runs frames of the game, drawn, until `done` answers true after one (true) or `limit` frames have run
    // (false). Each frame moves the clock on by 20 ms and counts each unit's run of busy frames.
    bool RunUntil(const std::function<bool()>& done, int limit) {
        int frames = 0;
        bool reached = false;
        afterFrame = [&](int) {
            now += kFrame;
            CountBusy();
            reached = done();
            if (reached || ++frames >= limit || !faults.empty()) game->RequestQuit();
        };
        quitAfterFrame = false;
        game->RunMainLoop();
        afterFrame = nullptr;
        return reached;
    }

    void CountBusy() {
        TeamManager* teams = game->GetTeamManager();
        for (int slot = 0; teams != nullptr && slot < kTeamKindCount; ++slot) {
            Team* team = teams->GetTeam(slot);
            for (int i = 0; team != nullptr && i < kMaxTeamUnits; ++i) {
                Unit* unit = team->GetUnit(i);
                if (unit == nullptr) continue;
                if (!unit->IsBusy()) {
                    busyFrames.erase(unit->GetId());
                } else if (++busyFrames[unit->GetId()] == kBusyLimitFrames) {
                    faults.push_back("day " + std::to_string(teams->GetDay()) + ": unit " + std::to_string(unit->GetId()) +
                                     " of type " + std::to_string(unit->GetType()) + " at " +
                                     FormatHexLabel(unit->GetHexPos()) + " busy for 30 s (animation \"" +
                                     unit->GetView().GetAnimationName() + "\")");
                }
            }
        }
    }

    std::chrono::nanoseconds now{1'000'000'000};
    std::map<int, int> busyFrames;
    std::vector<std::string> faults;
};

std::string SourceFile(const std::string& path) {
    std::ifstream in(std::string(TINMARCH_SOURCE_DIR) + "/tests/data/" + path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST_F(MixedBattleTest, TheWholeBattleEndsWithNoUnitBusyForMoreThan30Seconds) {
    // Loose files beside a mounted archive lie in the base folder itself.
    std::vector<std::uint8_t> map;
    std::string error;
    ASSERT_TRUE(BuildHexMapFromSource(SourceFile("levels/mixed/GameMap.src"), map, error)) << error;
    const std::filesystem::path folder = std::filesystem::path(engine::GetDataFolderNarrow()) / "Levels" / "mixed";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "GameMap.Hex", std::ios::binary).write(reinterpret_cast<const char*>(map.data()),
                                                                  static_cast<std::streamsize>(map.size()));
    std::ofstream(folder / "Mission.TXT", std::ios::binary) << SourceFile("levels/mixed/Mission.TXT");
    ASSERT_EQ(game->SelectCampaign("mixed"), 1);
    game->SetState(kGameLoadCampaign);
    RunUntil([] { return true; }, 1);
    ASSERT_NE(game->GetLevel(), nullptr);
    TeamManager& teams = *game->GetTeamManager();
    const auto ended = [&] { return game->GetState() == kGameWon || game->GetState() == kGameLost; };
    testsupport::Commander commander(teams, game->GetLevel()->GetHexMap(), [&] {
        const bool settled =
            RunUntil([&] { return game->GetState() != kGameSideTurn || !teams.IsBusy(); }, 5000);
        EXPECT_TRUE(settled || !faults.empty()) << "the game never settled";
        return settled && game->GetState() == kGameSideTurn;
    });
    for (int turn = 0; turn < 400 && faults.empty() && !ended() && teams.GetDay() <= 20; ++turn) {
        if (!RunUntil([&] { return ended() || (game->GetState() == kGameSideTurn && !teams.IsBusy()); }, 30000)) break;
        if (ended()) break;
        if (commander.PlayTurn() && game->GetState() == kGameSideTurn) game->SetState(kGameBetweenTurns);
    }
    const int state = game->GetState();
    EXPECT_TRUE(state == kGameWon || state == kGameLost) << "state " << state << " day " << teams.GetDay();
    EXPECT_GT(commander.attacks, 0);
    std::string text;
    for (const std::string& fault : faults) text += fault + "\n";
    EXPECT_EQ(text, "");
    EXPECT_EQ(RefusedWaitedAnimations(), "");
    EXPECT_EQ(PlaceholdersMade(), 0) << "materials without their textures:\n" << MaterialsWithoutTheirTextures();
}

INSTANTIATE_TEST_SUITE_P(EveryLevel, ShippedBattleTest, ::testing::ValuesIn(ShippedLevels()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name;
                             for (char c : info.param) {
                                 if (std::isalnum(static_cast<unsigned char>(c))) name.push_back(c);
                             }
                             return name;
                         });

}  // namespace
}  // namespace core_test
