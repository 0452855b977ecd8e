#pragma once
// A frame timer over a clock the test moves: each step moves the clock on and ticks the timer, so the frame
// seconds, the frame milliseconds and the clock all follow the step.
#include <chrono>
#include <cmath>
#include <ctime>

#include "engine/core/frame_timer.h"

namespace testsupport {

class FakeClock {
public:
    FakeClock() { timer.Tick(); }
    void Step(double seconds) {
        now += std::chrono::nanoseconds(static_cast<long long>(std::llround(seconds * 1e9)));
        timer.Tick();
    }
    void StepMs(int ms) { Step(ms / 1000.0); }
    float Seconds() const { return timer.GetTimeSeconds(true); }

    std::chrono::nanoseconds now{0};
    engine::FrameTimer timer{[this] { return now; }, [] { return std::time_t{0}; }};
};

}  // namespace testsupport
