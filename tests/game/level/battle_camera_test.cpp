// The battle camera on a view transform that only stores matrices, with state, options and time injected
// through a fake context.
#include "game/level/battle_camera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/scene/view_transform.h"
#include "level_fakes.h"

namespace level_test {
namespace {

// The profile option that shows mission intros.
constexpr std::uint32_t kIntros = 0x20;

class FakeCameraContext : public CameraContext {
public:
    int GetGameState() const override { return state; }
    int GetGameMode() const override { return mode; }
    std::uint32_t GetOptionBits() const override { return options; }
    bool IsFastForward() const override { return fastForward; }
    int GetBackBufferWidth() const override { return width; }
    float GetFrameSeconds() const override { return frameSeconds; }
    const HexMap* GetMap() const override { return map; }
    TeamManager* GetTeamManager() const override { return teams; }
    bool GetCampaignStartTile(HexCoord& out) const override {
        out = startTile;
        return hasStartTile;
    }
    void SetSceneryFocus(const engine::Vec3& centre, float radius) override {
        log.push_back("focus r=" + std::to_string(radius));
        sceneryCentre = centre;
    }
    void UpdateSceneryFade(const engine::Matrix44&) override { log.emplace_back("fade"); }
    void RestoreScenery() override { log.emplace_back("restore"); }

    int state = kStateSideTurn;
    int mode = kGameModeSkirmish;
    std::uint32_t options = kOptionZoomBattles;
    bool fastForward = false;
    int width = 1024;
    float frameSeconds = 1.0f / 60.0f;
    const HexMap* map = nullptr;
    TeamManager* teams = nullptr;
    HexCoord startTile = MakeHexCoord(5, 5);
    bool hasStartTile = false;
    engine::Vec3 sceneryCentre;
    std::vector<std::string> log;
};

class CameraTest : public ::testing::Test {
protected:
    void SetUp() override {
        map.SetPlacement({0.0f, 0.0f, 0.0f}, {10.0f, 0.0f, 10.0f});
        context.map = &map;
        view.Init();
        camera.AttachCamera(&view);
    }

    HexMap map;
    FakeCameraContext context;
    engine::ViewTransform view;
    BattleCamera camera{context};
};

TEST_F(CameraTest, SixTurnsComeBackAndARepeatedTurnCompletesTheRunningOne) {
    for (int direction : {0, 1}) {
        SCOPED_TRACE(direction);
        for (int i = 0; i < 6; ++i) {
            camera.RotateStep(direction);
            for (int f = 0; f < 30; ++f) camera.ApplyView();
            EXPECT_FLOAT_EQ(camera.GetYaw(), camera.GetTargetYaw());
        }
        EXPECT_FLOAT_EQ(camera.GetTargetYaw(), 0.0f);
        EXPECT_FLOAT_EQ(camera.GetYaw(), 0.0f);
    }
    // A turn in progress jumps to its end when the same turn comes again; the new one then starts there.
    camera.RotateStep(0);
    camera.ApplyView();  // 500 x 1/60: about 8 degrees of 60
    EXPECT_GT(camera.GetYaw(), 0.0f);
    EXPECT_LT(camera.GetYaw(), 60.0f);
    camera.RotateStep(0);
    EXPECT_FLOAT_EQ(camera.GetYaw(), 60.0f);
    EXPECT_FLOAT_EQ(camera.GetTargetYaw(), 120.0f);
    // The other way does not jump.
    camera.ApplyView();
    const float mid = camera.GetYaw();
    camera.RotateStep(1);
    EXPECT_FLOAT_EQ(camera.GetYaw(), mid);
    EXPECT_FLOAT_EQ(camera.GetTargetYaw(), 60.0f);
}

TEST_F(CameraTest, ZoomStartsAndClampsByBackBufferWidth) {
    struct Case {
        int width;
        float start, low, high;
    };
    for (const Case& c : {Case{1024, 20.0f, 12.0f, 32.0f}, Case{960, 16.0f, 8.0f, 24.0f}}) {
        SCOPED_TRACE(c.width);
        context.width = c.width;
        camera.AttachCamera(&view);
        EXPECT_FLOAT_EQ(camera.GetZoom(), c.start);
        camera.SetZoom(1.0f);
        EXPECT_FLOAT_EQ(camera.GetZoom(), c.low);
        camera.SetZoom(100.0f);
        EXPECT_FLOAT_EQ(camera.GetZoom(), c.high);
        camera.SetZoom(14.0f);
        EXPECT_FLOAT_EQ(camera.GetZoom(), 14.0f);
    }
}

TEST(CameraGlideTest, SpeedFollowsTheDistanceTable) {
    struct Case {
        float speed, distance, expected;
    };
    const Case cases[] = {
        {0.05f, 0.001f, 0.03f},   // settled: slows by 0.02
        {0.01f, 0.0f, 0.0f},      // never below 0
        {0.05f, 1.5f, 0.052f},    // far: speeds up by 0.002
        {0.1f, 5.0f, 0.1f},       // never above 0.1
        {0.0f, 0.5f, 0.02f},      // near: at least 0.02
        {0.06f, 0.5f, 0.06f},     // near and already faster: kept
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.speed << " at " << c.distance);
        EXPECT_NEAR(BattleCamera::AdjustGlideSpeed(c.speed, c.distance), c.expected, 1e-6f);
    }
}

TEST_F(CameraTest, LookAtHexGlidesThereAndInvalidHexesAreIgnored) {
    camera.LookAtHex(MakeHexCoord(-1, 3));
    EXPECT_FLOAT_EQ(camera.GetTarget().x, 0.0f);
    EXPECT_FLOAT_EQ(camera.GetTarget().y, 0.0f);

    const HexCoord hex = MakeHexCoord(26, 21);
    const engine::Vec2 goal = HexToWorld(hex);
    camera.LookAtHex(hex);
    EXPECT_FLOAT_EQ(camera.GetTarget().x, goal.x);
    float last = camera.GetFocus().Distance(goal);
    for (int i = 0; i < 400; ++i) {
        camera.Update();
        const float d = camera.GetFocus().Distance(goal);
        ASSERT_LE(d, last);
        last = d;
    }
    EXPECT_LT(last, 0.01f);
}

TEST_F(CameraTest, LookAtIsSuppressedBetweenTurnsOnACampaignsFirstDayWithoutIntros) {
    struct Case {
        int state, mode, day;
        std::uint32_t options;
        bool moves;
    };
    const Case cases[] = {
        {kStateBetweenTurns, kGameModeCampaign, 1, 0, false},
        {kStateBetweenTurns, kGameModeCampaign, 1, kIntros, true},
        {kStateBetweenTurns, kGameModeCampaign, 2, 0, true},
        {kStateBetweenTurns, kGameModeSkirmish, 1, 0, true},
        {kStateSideTurn, kGameModeCampaign, 1, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.state << "/" << c.mode << "/" << c.day << "/" << c.options);
        LevelBattle battle;
        LevelServicesForTeams services{battle};
        TeamManager teams{battle, services};
        teams.RestoreTurnOrder(c.day, c.day, 0);
        context.teams = &teams;
        context.state = c.state;
        context.mode = c.mode;
        context.options = c.options;
        BattleCamera fresh{context};
        fresh.LookAtHex(MakeHexCoord(10, 10));
        EXPECT_EQ(fresh.GetTarget().x != 0.0f || fresh.GetTarget().y != 0.0f, c.moves);
        context.teams = nullptr;
    }
}

TEST_F(CameraTest, AWonMissionOrbitsAndTiltsFrom70To45) {
    camera.RotateStep(0);
    for (int f = 0; f < 30; ++f) camera.ApplyView();
    context.state = kStateWon;
    camera.Update();
    ASSERT_EQ(camera.GetMode(), kCameraOrbit);
    EXPECT_FLOAT_EQ(camera.GetOrbitPitch(), 70.0f);
    EXPECT_FLOAT_EQ(camera.GetOrbitYaw(), 60.0f);

    context.frameSeconds = 0.5f;
    float lastTilt = 90.0f;
    for (int f = 0; f < 8; ++f) {
        camera.ApplyView();
        // The view's pitch below the horizon, from its forward axis.
        const engine::Vec3 forward = view.GetMatrix().Row(2);
        const float tilt = std::asin(-forward.y) * 180.0f / 3.14159265f;
        EXPECT_LE(tilt, lastTilt + 1e-3f);
        EXPECT_GE(tilt, 45.0f - 1e-3f);
        lastTilt = tilt;
    }
    EXPECT_FLOAT_EQ(camera.GetOrbitPitch(), 45.0f);
    EXPECT_NEAR(lastTilt, 45.0f, 1e-3f);
    EXPECT_FLOAT_EQ(camera.GetOrbitYaw(), 60.0f - 8 * 5.0f);

    camera.EndBattleZoom();
    EXPECT_EQ(camera.GetMode(), kCameraFree);
}

TEST_F(CameraTest, AFocusBeyondTheMapIsPulledBackEveryFrame) {
    // Half extent 10, margin 3: the focus may stand 7 from the centre.
    camera.DragBy({-12.0f, 0.0f, 0.0f}, false);
    camera.DragBy({}, true);
    ASSERT_FLOAT_EQ(camera.GetFocus().x, 12.0f);
    camera.ApplyView();
    EXPECT_NEAR(camera.GetTarget().x, 12.0f - 0.02f * 5.0f, 1e-5f);
    EXPECT_FLOAT_EQ(camera.GetTarget().y, 0.0f);
    for (int i = 0; i < 2000; ++i) {
        camera.Update();
        camera.ApplyView();
    }
    EXPECT_LT(camera.GetFocus().x, 7.5f);
    // Inside the margin nothing pulls.
    camera.DragBy({camera.GetFocus().x - 5.0f, 0.0f, 0.0f}, false);
    camera.DragBy({}, true);
    camera.ApplyView();
    EXPECT_FLOAT_EQ(camera.GetFocus().x, 5.0f);
    EXPECT_FLOAT_EQ(camera.GetTarget().x, 5.0f);

    // Depth is measured from the centre's ground depth, which the map keeps in its offset's y.
    map.SetPlacement({0.0f, 6.0f, 0.0f}, {10.0f, 0.0f, 10.0f});
    camera.DragBy({0.0f, 0.0f, 4.0f}, false);  // focus z from 0 to -4: 10 from the centre, 3 past the limit
    camera.DragBy({}, true);
    ASSERT_FLOAT_EQ(camera.GetFocus().y, -4.0f);
    camera.ApplyView();
    EXPECT_NEAR(camera.GetTarget().y, -4.0f + 0.02f * 3.0f, 1e-5f);
}

TEST_F(CameraTest, TheFreeViewLooksDownAt70DegreesFromZoomDistance) {
    camera.ApplyView();
    const engine::Matrix44& m = view.GetMatrix();
    const engine::Vec3 forward = m.Row(2);
    EXPECT_NEAR(std::asin(-forward.y) * 180.0f / 3.14159265f, 70.0f, 1e-3f);
    // The focus lies zoom ahead of the eye.
    const engine::Vec3 look = m.GetTranslation().Add(forward.Scale(camera.GetZoom()));
    EXPECT_NEAR(look.x, 0.0f, 1e-4f);
    EXPECT_NEAR(look.y, 0.0f, 1e-4f);
    EXPECT_NEAR(look.z, 0.0f, 1e-4f);
}

// Battle zooms between real units of a loaded level.
class CameraZoomTest : public LevelTest {
protected:
    void SetUp() override {
        LevelTest::SetUp();
        LoadLevel(LandSource(10, ""), nullptr);
        context.map = &level.GetHexMap();
        context.teams = &manager;
        view.Init();
        camera.AttachCamera(&view);
        camera.ApplyView();
    }
    Unit* Make(HexCoord hex) {
        Team* team = manager.GetOrCreateTeam(kTeamEnemy);
        auto unit = CreateUnit(battle, UT_GRUNT, team, 0);
        Unit* raw = unit.get();
        EXPECT_EQ(team->InsertUnit(std::move(unit)), nullptr);
        raw->PlaceOnHex(hex);
        return raw;
    }

    FakeCameraContext context;
    engine::ViewTransform view;
    BattleCamera camera{context};
};

TEST_F(CameraZoomTest, AnAdjacentAttackSwoopsToTheMinimumDistanceOnTheViewersSide) {
    Unit* a = Make(H(4, 4));
    Unit* b = Make(H(5, 4));
    camera.StartBattleZoom(*a, *b);
    ASSERT_EQ(camera.GetMode(), kCameraBattleZoom);
    EXPECT_TRUE(camera.IsBattleZoomActive());
    const engine::Vec3 m = a->GetWorldPos().Add(b->GetWorldPos()).Scale(0.5f);
    const engine::Vec3 eye = camera.GetZoomEye();
    EXPECT_NEAR(eye.y - m.y, 3.0f, 1e-4f);
    EXPECT_NEAR(std::hypot(eye.x - m.x, eye.z - m.z), 3.0f, 1e-4f);
    // The eye stays on the side the view already looks from.
    const engine::Vec3 forward = view.GetMatrix().Row(2);
    const engine::Vec3 toEye = eye.Sub(m);
    EXPECT_LT(toEye.x * forward.x + toEye.z * forward.z, 0.0f);
    // The start look point is the old view's, at the midpoint's distance.
    const engine::Vec3 origin = camera.GetZoomOrigin();
    EXPECT_NEAR(camera.GetZoomOriginLook().Distance(origin), m.Distance(origin), 1e-4f);
    EXPECT_NEAR(camera.GetZoomLook().y, m.y + 0.5f, 1e-5f);
    EXPECT_EQ(context.log.front().rfind("focus", 0), 0u);
}

TEST_F(CameraZoomTest, NoZoomWithFastForwardZoomBattlesOffOrUnitsAtOnePoint) {
    Unit* a = Make(H(4, 4));
    Unit* b = Make(H(6, 4));
    context.fastForward = true;
    camera.StartBattleZoom(*a, *b);
    EXPECT_EQ(camera.GetMode(), kCameraFree);
    EXPECT_FALSE(camera.IsBattleZoomActive());
    context.fastForward = false;
    context.options = 0;
    camera.StartBattleZoom(*a, *b);
    EXPECT_EQ(camera.GetMode(), kCameraFree);
    context.options = kOptionZoomBattles;
    camera.StartBattleZoom(*a, *a);
    EXPECT_EQ(camera.GetMode(), kCameraFree);
    EXPECT_FALSE(camera.IsBattleZoomActive());
    EXPECT_TRUE(context.log.empty());
}

TEST_F(CameraZoomTest, TheZoomGoesInAndBackAndRestoresTheScenery) {
    Unit* a = Make(H(4, 4));
    Unit* b = Make(H(7, 4));
    const engine::Vec3 startEye = view.GetMatrix().GetTranslation();
    camera.StartBattleZoom(*a, *b);
    const engine::Vec3 zoomEye = camera.GetZoomEye();
    // The team manager is idle: the first update ends the way in and turns back.
    for (int i = 0; i < 15; ++i) camera.Update();
    EXPECT_EQ(camera.GetMode(), kCameraReturning);
    EXPECT_TRUE(camera.IsBattleZoomActive());
    EXPECT_EQ(camera.GetZoomOrigin().Distance(zoomEye), 0.0f);
    camera.ApplyView();
    EXPECT_EQ(context.log.back(), "fade");
    for (int i = 0; i < 20 && camera.GetMode() == kCameraReturning; ++i) camera.Update();
    EXPECT_EQ(camera.GetMode(), kCameraFree);
    EXPECT_FALSE(camera.IsBattleZoomActive());
    EXPECT_EQ(context.log.back(), "restore");
    EXPECT_LT(view.GetMatrix().GetTranslation().Distance(startEye), 1e-4f);
}

TEST_F(CameraZoomTest, AFollowOfAGoneUnitFallsBackToFree) {
    Unit* a = Make(H(4, 4));
    camera.FollowObject(a);
    EXPECT_EQ(camera.GetMode(), kCameraFollowing);
    camera.Update();
    EXPECT_EQ(camera.GetMode(), kCameraFollowing);
    camera.FollowObject(nullptr);
    camera.Update();
    EXPECT_EQ(camera.GetMode(), kCameraFree);
}

TEST_F(CameraZoomTest, ResetToStartLooksAtTheCampaignTileWithoutGliding) {
    context.mode = kGameModeCampaign;
    context.hasStartTile = true;
    camera.ResetToStart();
    const engine::Vec2 goal = HexToWorld(context.startTile);
    EXPECT_FLOAT_EQ(camera.GetFocus().x, goal.x);
    EXPECT_FLOAT_EQ(camera.GetFocus().y, goal.y);
    EXPECT_EQ(manager.GetCurrentTeam() == nullptr || manager.GetCurrentTeam()->GetFocusHex() == context.startTile,
              true);
}

}  // namespace
}  // namespace level_test
