// Rain and snow with injected frame times, camera and options; the lists keep no vertex buffer here.
#include "game/level/weather.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/image/colour_gradient.h"
#include "engine/render/dynamic_vertex_buffer.h"

namespace {

using namespace game;

class FakeWeatherPort : public WeatherPort {
public:
    std::uint32_t GetOptionBits() const override { return options; }
    float GetFrameSeconds() const override { return seconds; }
    engine::Matrix44 GetCameraMatrix() const override { return camera; }
    WeatherAtmosphere ReadAtmosphere() const override { return scene; }
    void WriteAtmosphere(const WeatherAtmosphere& atmosphere) override {
        scene = atmosphere;
        ++writes;
    }
    int GetMaterial(const char* name) override { return name[0] == 'R' ? 7 : 9; }
    void QueueList(engine::BillboardList& list, const engine::Vec3& at) override {
        queued.push_back(list.GetCount());
        centre = at, radius = list.GetQuadSize();
    }
    void QueueList(engine::SortedBillboardList& list, const engine::Vec3& at) override {
        queued.push_back(list.GetCount());
        centre = at, radius = list.GetBoundingSize();
    }

    std::uint32_t options = 0;
    float seconds = 1.0f / 60.0f;
    engine::Matrix44 camera;
    WeatherAtmosphere scene{0.5f, 0x123456, 0x11223344, {0.1f, 0.2f, 0.3f, 0.4f}};
    int writes = 0;
    std::vector<int> queued;
    // The bounding sphere of the last queued list.
    engine::Vec3 centre;
    float radius = -1.0f;
};

class WeatherTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine::SetBillboardBufferFactory(
            [](std::uint32_t) { return std::unique_ptr<engine::DynamicVertexBuffer>(); });
        // A camera 10 up, looking down the z axis and tilted down.
        port.camera.InitRotationX(60.0f);
        port.camera.TranslateWorld(2.0f, 10.0f, -3.0f);
    }
    void TearDown() override { engine::SetBillboardBufferFactory(nullptr); }

    FakeWeatherPort port;
};

TEST_F(WeatherTest, FrameSplitsGiveTheSameStepsFlakesAndDrops) {
    struct Run {
        float seconds;
        int frames;
    };
    // About two seconds each, a little over so that rounding in the sums cannot lose the 60th step.
    const Run runs[] = {{1.0f / 30.0f, 60}, {1.0f / 60.0f, 121}, {1.0f / 144.0f, 290}};
    std::vector<std::unique_ptr<WeatherManager>> snows, rains;
    for (const Run& run : runs) {
        port.seconds = run.seconds;
        auto snow = std::make_unique<WeatherManager>(kWeatherSnow, port, 1234u);
        auto rain = std::make_unique<WeatherManager>(kWeatherRain, port, 1234u);
        for (int f = 0; f < run.frames; ++f) {
            snow->Draw();
            rain->Draw();
        }
        EXPECT_EQ(snow->GetSnow()->GetSteps(), 60);
        EXPECT_EQ(rain->GetRain()->GetSteps(), 60);
        snows.push_back(std::move(snow));
        rains.push_back(std::move(rain));
    }
    for (std::size_t r = 1; r < snows.size(); ++r) {
        for (int i = 0; i < kSnowFlakes; i += 97) {
            const engine::Vec3& a = snows[0]->GetSnow()->GetFlake(i).position;
            const engine::Vec3& b = snows[r]->GetSnow()->GetFlake(i).position;
            ASSERT_FLOAT_EQ(a.x, b.x);
            ASSERT_FLOAT_EQ(a.y, b.y);
            ASSERT_FLOAT_EQ(a.z, b.z);
        }
        for (int i = 0; i < kRainDrops; i += 31) {
            const RainShower::Drop& a = rains[0]->GetRain()->GetDrop(i);
            const RainShower::Drop& b = rains[r]->GetRain()->GetDrop(i);
            ASSERT_FLOAT_EQ(a.bottom.position.y, b.bottom.position.y);
            ASSERT_FLOAT_EQ(a.top.position.x, b.top.position.x);
            ASSERT_EQ(a.life, b.life);
            ASSERT_EQ(a.top.colour, b.top.colour);
        }
    }
}

TEST_F(WeatherTest, RainStartsDryAndChangesTargetOnlyAtACounterWrap) {
    port.seconds = kWeatherStep;
    bool rained = false;
    for (std::uint32_t seed : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u}) {
        WeatherManager weather(kWeatherRain, port, seed);
        RainShower& rain = *weather.GetRain();
        EXPECT_EQ(rain.GetIntensity(), 0);
        int target = -1;
        for (int step = 0; step < 256 * 6; ++step) {
            weather.Draw();
            const int counterBefore = (step) % 256;
            if (step > 0 && counterBefore != 0) {
                ASSERT_EQ(rain.GetTarget(), target) << step;
            }
            target = rain.GetTarget();
            ASSERT_GE(rain.GetIntensity(), 0);
            ASSERT_LE(rain.GetIntensity(), kRainDrops);
            // Targets are a dry spell or a shower of at least 100 drops.
            ASSERT_TRUE(target == 0 || target >= 100);
            if (rain.GetIntensity() > 0) rained = true;
            ASSERT_EQ(port.queued.back(), rain.GetIntensity());
        }
    }
    EXPECT_TRUE(rained);
}

TEST(RainEasing, RisesByFiveUpToTheTargetAndFallsByThreeDownToZero) {
    struct Case {
        int intensity, target, expected;
    };
    const Case cases[] = {
        {100, 200, 105},  // rise short of the target
        {195, 200, 200},  // rise onto the target
        {198, 200, 200},  // a rise of 5 would pass the target: it stops there
        {400, 100, 397},  // fall from well above
        {345, 343, 342},  // fall from less than 3 above: one step below the target ...
        {342, 343, 343},  // ... and back up onto it
        {344, 343, 341},
        {343, 343, 343},  // at the target nothing moves
        {2, 0, 0},        // a fall near 0 stops at 0
        {3, 0, 0},
        {4, 0, 1},
        {0, 0, 0},
        {0, 1000, 5},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EaseRainIntensity(c.intensity, c.target), c.expected) << c.intensity << " towards " << c.target;
    }
}

TEST_F(WeatherTest, IntensityRisesWithoutPassingItsTargetAndFallsByAtMostThree) {
    port.seconds = kWeatherStep;
    WeatherManager weather(kWeatherRain, port, 5u);
    RainShower& rain = *weather.GetRain();
    int last = 0;
    for (int step = 0; step < 256 * 12; ++step) {
        weather.Draw();
        const int now = rain.GetIntensity();
        const int target = rain.GetTarget();
        if (now > last) {
            ASSERT_LE(now - last, 5);
            ASSERT_LE(now, std::max(target, last));
        } else if (now < last) {
            ASSERT_LE(last - now, 3);
            // A fall may end up to 2 below the target (from 1 above), never below 0.
            ASSERT_GE(now, std::max(0, target - 2));
        }
        last = now;
    }
}

TEST_F(WeatherTest, FlakesLeavingTheCircleComeBackOnTheOppositeSideAndTurningMovesTheCentre) {
    port.seconds = kWeatherStep;
    WeatherManager weather(kWeatherSnow, port, 99u);
    weather.Draw();
    Snowfall& snow = *weather.GetSnow();
    // Looking along +z from (2, -3): the centre is 5 ahead.
    EXPECT_NEAR(snow.GetCentre().x, 2.0f, 1e-4f);
    EXPECT_NEAR(snow.GetCentre().y, 2.0f, 1e-4f);
    for (int i = 0; i < kSnowFlakes; ++i) {
        const engine::Vec3& p = snow.GetFlake(i).position;
        ASSERT_LE(engine::Vec2(p.x - 2.0f, p.z - 2.0f).Length(), 2.0f * 5.0f + 0.1f);
    }
    // Turn half round: the centre jumps to the other side of the camera; every flake is again within 5 of it.
    port.camera.InitRotationX(60.0f);
    port.camera.RotateYWorld(180.0f);
    port.camera.TranslateWorld(2.0f, 10.0f, -3.0f);
    weather.Draw();
    EXPECT_NEAR(snow.GetCentre().x, 2.0f, 1e-3f);
    EXPECT_NEAR(snow.GetCentre().y, -8.0f, 1e-3f);
    int inside = 0;
    for (int i = 0; i < kSnowFlakes; ++i) {
        const engine::Vec3& p = snow.GetFlake(i).position;
        if (engine::Vec2(p.x - 2.0f, p.z + 8.0f).Length() <= 5.0f + 0.05f) ++inside;
        ASSERT_GE(p.y, 0.0f);
        ASSERT_LT(p.y, 16.0f);
    }
    EXPECT_EQ(inside, kSnowFlakes);
    EXPECT_EQ(port.queued.back(), kSnowFlakes);
}

// The queued list's bounding sphere is what culling tests: every flake and both ends of every drop must lie in
// it while the camera pans and turns far from the world origin.
TEST_F(WeatherTest, EveryFlakeAndDropLiesInTheBoundingSphereOfItsQueuedList) {
    for (int type : {kWeatherRain, kWeatherSnow}) {
        SCOPED_TRACE(type);
        WeatherManager weather(type, port, 17u);
        float worst = 0.0f;
        for (int frame = 0; frame < 400; ++frame) {
            // A pan of 3 units a second and a turn of 45 degrees a second about the camera's own place.
            port.camera.InitRotationX(40.0f);
            port.camera.RotateYWorld(0.75f * static_cast<float>(frame));
            port.camera.TranslateWorld(60.0f + 0.05f * static_cast<float>(frame), 12.0f, 45.0f);
            weather.Draw();
            ASSERT_GT(port.radius, 0.0f);
            const auto reach = [&](const engine::Vec3& p) { worst = std::max(worst, p.Distance(port.centre)); };
            if (type == kWeatherSnow) {
                for (int i = 0; i < kSnowFlakes; ++i) reach(weather.GetSnow()->GetFlake(i).position);
            } else {
                for (int i = 0; i < kRainDrops; ++i) {
                    const RainShower::Drop& drop = weather.GetRain()->GetDrop(i);
                    reach({drop.top.position.x, drop.top.position.y, drop.top.position.z});
                    reach({drop.bottom.position.x, drop.bottom.position.y, drop.bottom.position.z});
                }
            }
            ASSERT_LE(worst, port.radius) << "frame " << frame;
        }
        // Far from the origin the sphere is where the weather is, not at the origin.
        EXPECT_GT(port.centre.Length(), 40.0f);
    }
}

TEST_F(WeatherTest, OffFromTheStartDrawsAndChangesNothing) {
    port.options = kOptionWeatherOff;
    for (int type : {kWeatherRain, kWeatherNone, kWeatherSnow}) {
        WeatherManager weather(type, port, 1u);
        for (int f = 0; f < 10; ++f) weather.Draw();
    }
    EXPECT_TRUE(port.queued.empty());
    EXPECT_EQ(port.writes, 0);
}

TEST_F(WeatherTest, SwitchedOffMidShowerTheAtmosphereGoesBackOnce) {
    port.seconds = kWeatherStep;
    const WeatherAtmosphere original = port.scene;
    // A seed whose shower has begun within a few wraps.
    WeatherManager weather(kWeatherRain, port, 3u);
    int frames = 0;
    while (weather.GetRain()->GetIntensity() < 50 && frames < 256 * 40) {
        weather.Draw();
        ++frames;
    }
    ASSERT_GE(weather.GetRain()->GetIntensity(), 50);
    EXPECT_NE(port.scene.colourScale, original.colourScale);
    port.options = kOptionWeatherOff;
    weather.Draw();
    EXPECT_FLOAT_EQ(port.scene.mipBias, original.mipBias);
    EXPECT_EQ(port.scene.colourOffset, original.colourOffset);
    EXPECT_EQ(port.scene.colourScale, original.colourScale);
    EXPECT_FLOAT_EQ(port.scene.light0.a, original.light0.a);
    const int writes = port.writes;
    port.scene.colourScale = 0xABCDEF01u;
    weather.Draw();
    weather.Draw();
    EXPECT_EQ(port.writes, writes);
    EXPECT_EQ(port.scene.colourScale, 0xABCDEF01u);
}

TEST(WeatherAtmosphereTest, ValuesAtNoneHalfAndFullShower) {
    struct Case {
        float x;
        int type;
        float mip;
        std::uint32_t offset, scale, light;
        float alpha;
    };
    const Case cases[] = {
        {0.0f, kWeatherRain, -1.0f, 0x000000u, 0xFFFFFFFFu, 0xFFDCDCC8u, 0.5f},
        {0.5f, kWeatherRain, 0.0f, 0x5A5A5Au, 0x80808080u, 0xFF86867Cu, 0.7f},
        {1.0f, kWeatherRain, 1.0f, 0xB4B4B4u, 0x00000000u, 0xFF303030u, 0.9f},
        {0.0f, kWeatherNone, -1.0f, 0x000000u, 0xFFFFFFFFu, 0xFFFFFFF0u, 1.0f},
        {0.0f, kWeatherSnow, -1.0f, 0x000000u, 0xFFFFFFFFu, 0xFFDCDCC8u, 0.5f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << " type " << c.type);
        const WeatherAtmosphere a = ComputeAtmosphere(c.x, c.type);
        EXPECT_FLOAT_EQ(a.mipBias, c.mip);
        EXPECT_EQ(a.colourOffset, c.offset);
        EXPECT_EQ(a.colourScale, c.scale);
        engine::ColourF rgb = a.light0;
        rgb.a = 1.0f;
        EXPECT_EQ(engine::ColourFToArgb(rgb), c.light);
        EXPECT_NEAR(a.light0.a, c.alpha, 1e-6f);
    }
}

TEST_F(WeatherTest, NoWeatherStillSetsLightZeroEveryFrame) {
    WeatherManager weather(kWeatherNone, port, 1u);
    EXPECT_EQ(weather.GetRain(), nullptr);
    EXPECT_EQ(weather.GetSnow(), nullptr);
    weather.Draw();
    weather.Draw();
    EXPECT_EQ(port.writes, 2);
    EXPECT_TRUE(port.queued.empty());
    engine::ColourF rgb = port.scene.light0;
    EXPECT_EQ(engine::ColourFToArgb(rgb), 0xFFFFFFF0u);
}

}  // namespace
