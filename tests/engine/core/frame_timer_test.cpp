#include <gtest/gtest.h>

#include <limits>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>

#include "engine/core/frame_timer.h"

namespace {

using namespace engine;
using std::chrono::nanoseconds;

constexpr std::int64_t kMs = 1000000;  // nanoseconds

// A monotonic clock that moves only when the test says so.
struct FakeClock {
    std::int64_t ns = 0;
    FrameTimer::MonotonicClock Source() {
        return [this] { return nanoseconds(ns); };
    }
};

struct FrameCase {
    const char* name;
    float speed;
    std::int64_t frameNs;
    float realDeltaS, gameDeltaS;
    int realDeltaMs, gameDeltaMs;
    float gameAdvanceS;
};

TEST(FrameTimer, OneFrameAtVariousSpeeds) {
    const FrameCase cases[] = {
        {"ordinary frame", 1.0f, 16667000, 0.016667f, 0.016667f, 16, 16, 0.016667f},
        {"long frame is clamped", 1.0f, 250 * kMs, 0.1f, 0.1f, 100, 100, 0.25f},
        {"half speed", 0.5f, 40 * kMs, 0.04f, 0.02f, 40, 20, 0.02f},
        {"paused", 0.0f, 40 * kMs, 0.04f, 0.0f, 40, 0, 0.0f},
        {"negative speed", -1.0f, 20 * kMs, 0.02f, -0.02f, 20, 100, -0.02f},
    };
    for (const FrameCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeClock clock{5 * kMs};
        FrameTimer timer(clock.Source());
        timer.SetSpeed(c.speed);
        clock.ns += c.frameNs;
        EXPECT_FLOAT_EQ(timer.GetTimeSeconds(true), 0.0f);  // stands still until the tick
        timer.Tick();
        EXPECT_NEAR(timer.GetDeltaSeconds(true), c.realDeltaS, 1e-7f);
        EXPECT_NEAR(timer.GetDeltaSeconds(false), c.gameDeltaS, 1e-7f);
        EXPECT_EQ(timer.GetDeltaMs(true), c.realDeltaMs);
        EXPECT_EQ(timer.GetDeltaMs(false), c.gameDeltaMs);
        EXPECT_NEAR(timer.GetTimeSeconds(true), c.frameNs * 1e-9, 1e-7);
        EXPECT_NEAR(timer.GetTimeSeconds(false), c.gameAdvanceS, 1e-7f);
    }
}

TEST(FrameTimer, ReadersCountFromConstructionAndRawTicksAreTheLowBits) {
    FakeClock clock{0x123456789LL};
    FrameTimer timer(clock.Source());
    EXPECT_EQ(timer.GetRawTicks(), 0x23456789u);
    EXPECT_EQ(timer.GetMilliseconds(), 0.0);
    clock.ns += 1500 * kMs + 250000;
    EXPECT_DOUBLE_EQ(timer.GetMilliseconds(), 1500.25);
    EXPECT_DOUBLE_EQ(timer.GetSeconds(), 1.50025);
    EXPECT_DOUBLE_EQ(timer.GetMicroseconds(), 1500250.0);
    EXPECT_EQ(timer.GetRawTicks(), static_cast<std::uint32_t>(0x123456789LL + 1500 * kMs + 250000));
}

TEST(FrameTimer, FrameDeltasStayExactAfterOneHundredHours) {
    FakeClock clock;
    FrameTimer timer(clock.Source());
    for (int minute = 0; minute < 100 * 60; ++minute) {
        clock.ns += 60000 * kMs;
        timer.Tick();
    }
    EXPECT_NEAR(timer.GetTimeSeconds(true), 360000.0f, 0.05f);
    for (int frame = 0; frame < 3; ++frame) {
        clock.ns += 16667000;
        timer.Tick();
        EXPECT_NEAR(timer.GetDeltaSeconds(true) * 1000.0f, 16.667f, 0.01f);
        EXPECT_NEAR(timer.GetDeltaSeconds(false) * 1000.0f, 16.667f, 0.01f);
        EXPECT_EQ(timer.GetDeltaMs(true), 16);
        EXPECT_EQ(timer.GetDeltaMs(false), 16);
    }
}

TEST(FrameTimer, ResetSmoothingSpeedAndFlag) {
    FakeClock clock;
    FrameTimer timer(clock.Source());
    clock.ns += 100 * kMs;
    timer.Tick();
    EXPECT_FLOAT_EQ(timer.GetSmoothedDeltaMs(), 1.0f);
    clock.ns += 100 * kMs;
    timer.Tick();
    EXPECT_FLOAT_EQ(timer.GetSmoothedDeltaMs(), 1.99f);

    // A non-finite speed would leave the game clock not-a-number for good; it is ignored.
    timer.SetSpeed(0.5f);
    timer.SetSpeed(std::numeric_limits<float>::quiet_NaN());
    clock.ns += 40 * kMs;
    timer.Tick();
    EXPECT_NEAR(timer.GetDeltaSeconds(false), 0.02f, 1e-7f);

    clock.ns += 3000 * kMs;
    timer.Reset();
    EXPECT_NEAR(timer.GetTimeSeconds(true), 3.24f, 1e-6f);
    EXPECT_NEAR(timer.GetTimeSeconds(false), 3.24f, 1e-6f);
    EXPECT_EQ(timer.GetDeltaSeconds(true), 0.0f);
    EXPECT_EQ(timer.GetDeltaMs(false), 0);
    clock.ns += 10 * kMs;
    timer.Tick();  // the frame counts from the reset, not from the last tick
    EXPECT_EQ(timer.GetDeltaMs(true), 10);

    EXPECT_EQ(timer.GetFlag(), 0u);
    timer.SetFlag(1);
    EXPECT_EQ(timer.GetFlag(), 1u);
    timer.ClearFlag();
    EXPECT_EQ(timer.GetFlag(), 0u);
}

// Sets the game clock to the given time with one tick at speed 1.
void AdvanceGameClockTo(FakeClock& clock, FrameTimer& timer, double seconds) {
    clock.ns = static_cast<std::int64_t>(seconds * 1e9);
    timer.Tick();
}

TEST(FrameTimer, SmoothPingPongRisesAndFallsOncePerPeriod) {
    const struct {
        double gameSeconds;
        float expected;
    } cases[] = {{0.0, 0.0f}, {0.5, 0.5f}, {1.0, 1.0f}, {1.5, 0.5f}, {2.0, 0.0f}, {2.25, 0.15625f}, {3.0, 1.0f}};
    FakeClock clock;
    FrameTimer timer(clock.Source());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.gameSeconds);
        AdvanceGameClockTo(clock, timer, c.gameSeconds);
        EXPECT_NEAR(timer.SmoothPingPong(2.0f), c.expected, 1e-6f);
        EXPECT_EQ(timer.SmoothPingPong(0.0f), 0.0f);
        EXPECT_EQ(timer.SmoothPingPong(-1.0f), 0.0f);
    }
}

TEST(FrameTimer, GameClockPulseEasesInOrOut) {
    const struct {
        double gameSeconds;
        float easeIn, easeOut;
    } cases[] = {{0.0, 0.0f, 0.0f}, {1.0, 0.015625f, 0.578125f}, {2.0, 0.125f, 0.875f}, {5.0, 0.015625f, 0.578125f}};
    FakeClock clock;
    FrameTimer timer(clock.Source());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.gameSeconds);
        AdvanceGameClockTo(clock, timer, c.gameSeconds);
        EXPECT_NEAR(timer.GameClockPulse(false, 4.0f), c.easeIn, 1e-6f);
        EXPECT_NEAR(timer.GameClockPulse(true, 4.0f), c.easeOut, 1e-6f);
        EXPECT_EQ(timer.GameClockPulse(true, 0.0f), 0.0f);
        EXPECT_EQ(timer.GameClockPulse(false, -2.0f), 0.0f);
    }
}

// Runs the test under a given TZ and puts the previous one back afterwards.
class FrameTimerDate : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        hadTz_ = tz != nullptr;
        if (hadTz_) savedTz_ = tz;
    }
    void TearDown() override {
        if (hadTz_)
            setenv("TZ", savedTz_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    static void UseTimeZone(const char* tz) {
        setenv("TZ", tz, 1);
        tzset();
    }

private:
    bool hadTz_ = false;
    std::string savedTz_;
};

TEST_F(FrameTimerDate, FormatsTheLocalDateWithFixedMonthNames) {
    const struct {
        const char* tz;
        std::time_t instant;
        const char* expected;
    } cases[] = {
        {"UTC", 1704438570, "Jan 05 07:09"},  // 2024-01-05 07:09:30 UTC
        {"EST5", 1704423600, "Jan 04 22:00"},  // 2024-01-05 03:00 UTC, five hours behind
        {"UTC", 1704067199, "Dec 31 23:59"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        UseTimeZone(c.tz);
        FrameTimer timer(nullptr, [&c] { return c.instant; });
        EXPECT_EQ(timer.FormatDate(), c.expected);
    }
    // An instant the calendar cannot hold gives an empty text rather than garbage.
    UseTimeZone("UTC");
    FrameTimer far(nullptr, [] { return static_cast<std::time_t>(LLONG_MAX); });
    EXPECT_EQ(far.FormatDate(), "");
}

TEST(FrameTimer, SystemClockAdvances) {
    FrameTimer timer;
    const double before = timer.GetMicroseconds();
    EXPECT_GE(before, 0.0);
    timer.Tick();
    EXPECT_GE(timer.GetMicroseconds(), before);
    EXPECT_GE(timer.GetDeltaSeconds(true), 0.0f);
}

}  // namespace
