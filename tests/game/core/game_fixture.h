#pragma once
// A game object over the recording fakes, with the project's unit tables and a temporary data folder in
// which a test writes level folders.
#include "game_fakes.h"
#include "game/level/level.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"
#include "game/units/unit_assets.h"

namespace core_test {

class GameTest : public ::testing::Test {
protected:
    GameTest() {
        parts.platform = &platform;
        parts.view = &view;
        parts.profile = &profile;
        parts.achievements = &achievements;
        parts.sound = &sound;
        parts.announcer = &announcer;
        parts.camera = &camera;
        parts.screens = &screens;
        parts.scripts = &scripts;
        parts.random = &random;
        parts.timer = &timer;
        parts.createCampaign = [](void* context) -> std::unique_ptr<CampaignInfo> {
            auto* test = static_cast<GameTest*>(context);
            auto campaign = std::make_unique<FakeCampaign>();
            *campaign = test->campaignTemplate;
            campaign->loads = &test->campaignLoads;
            test->lastCampaign = campaign.get();
            return campaign;
        };
        parts.campaignContext = this;
    }
    void SetUp() override {
        InitTeamColours();
        ASSERT_TRUE(data.Write("Units/BasicParams.TXT", units_test::ProjectTable("BasicParams.TXT")));
        ASSERT_TRUE(data.Write("Units/Damage.TXT", units_test::ProjectTable("Damage.TXT")));
        game = std::make_unique<Game>(parts);
        ASSERT_EQ(LoadUnitAssets(*game, &views), 1);
    }
    void TearDown() override {
        game.reset();
        FreeUnitAssets();
    }

    // Writes "Levels/<name>" from a land map of the size with the lines given.
    void WriteMap(const std::string& name, const std::string& lines, int size = 10) {
        level_test::WriteLevel(data, name, level_test::LandSource(size, lines), nullptr);
    }
    // Loads the map through the skirmish or pass-and-play loading state (one pass of its work).
    void LoadThrough(int state, const std::string& name) {
        profile.mapFolder = "Levels/" + name;
        game->SetState(state);
        platform.delta = 0.0f;
        game->RunMainLoop();
    }
    void Clear() { log.clear(); }
    bool Logged(const std::string& line) const { return std::find(log.begin(), log.end(), line) != log.end(); }
    // The position of the first line, or -1.
    int Where(const std::string& line) const {
        auto it = std::find(log.begin(), log.end(), line);
        return it == log.end() ? -1 : static_cast<int>(it - log.begin());
    }

    Log log;
    FakePlatform platform{log};
    FakeView view{log};
    FakeProfile profile{log};
    FakeAchievements achievements{log};
    FakeSound sound{log};
    FakeAnnouncer announcer{log};
    FakeCamera camera{log};
    FakeScreens screens{log};
    FakeScripts scripts{log};
    engine::RandomStreams random{[] { return 1u; }};
    engine::FrameTimer timer;
    FakeCampaign campaignTemplate;
    FakeCampaign* lastCampaign = nullptr;
    int campaignLoads = 0;
    GameParts parts;
    units_test::DataFolder data;
    units_test::RecordingViewFactory views;
    std::unique_ptr<Game> game;
};

}  // namespace core_test
