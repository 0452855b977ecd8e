#include "engine/core/frame_timer.h"

#include <cmath>
#include <cstdio>

namespace engine {

namespace {

constexpr double kMaxDeltaMs = 100.0;

const char* const kMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::chrono::nanoseconds SteadyNow() { return std::chrono::steady_clock::now().time_since_epoch(); }

std::time_t WallNow() { return std::time(nullptr); }

}  // namespace

FrameTimer::FrameTimer(MonotonicClock clock, WallClock wallClock)
    : clock_(clock ? std::move(clock) : MonotonicClock(SteadyNow)),
      wallClock_(wallClock ? std::move(wallClock) : WallClock(WallNow)) {
    start_ = clock_();
    realMs_ = gameMs_ = previousMs_ = GetMilliseconds();
}

std::uint32_t FrameTimer::GetRawTicks() const { return static_cast<std::uint32_t>(clock_().count()); }

double FrameTimer::GetMilliseconds() const { return static_cast<double>((clock_() - start_).count()) * 1e-6; }

double FrameTimer::GetSeconds() const { return GetMilliseconds() * 0.001; }

double FrameTimer::GetMicroseconds() const { return static_cast<double>((clock_() - start_).count()) * 1e-3; }

void FrameTimer::Tick() {
    const double now = GetMilliseconds();
    realDeltaMs_ = now - previousMs_;
    previousMs_ = now;
    realMs_ = now;
    smoothedDeltaMs_ = 0.01 * realDeltaMs_ + 0.99 * smoothedDeltaMs_;
    gameDeltaMs_ = realDeltaMs_ * speed_;
    gameMs_ += gameDeltaMs_;
}

void FrameTimer::Reset() {
    realMs_ = gameMs_ = previousMs_ = GetMilliseconds();
    realDeltaMs_ = gameDeltaMs_ = 0.0;
}

void FrameTimer::SetSpeed(float speed) {
    if (std::isfinite(speed)) speed_ = speed;
}

float FrameTimer::GetTimeSeconds(bool real) const {
    return static_cast<float>((real ? realMs_ : gameMs_) * 0.001);
}

float FrameTimer::GetDeltaSeconds(bool real) const {
    const double delta = real ? realDeltaMs_ : gameDeltaMs_;
    return delta > kMaxDeltaMs ? 0.1f : static_cast<float>(delta * 0.001);
}

int FrameTimer::GetDeltaMs(bool real) const {
    const double delta = real ? realDeltaMs_ : gameDeltaMs_;
    // Negative deltas (a game clock running backwards) count as a long frame, like overlong ones.
    if (!(delta >= 0.0 && delta <= kMaxDeltaMs)) return static_cast<int>(kMaxDeltaMs);
    return static_cast<int>(delta);
}

float FrameTimer::SmoothPingPong(float period) const {
    if (!(period > 0.0f)) return 0.0f;
    double p = std::fmod(2.0 * GameSeconds() / period, 2.0);
    if (p > 1.0) p = 2.0 - p;
    p = p < 0.0 ? 0.0 : (p > 1.0 ? 1.0 : p);
    return static_cast<float>(p * p * (3.0 - 2.0 * p));
}

float FrameTimer::GameClockPulse(bool easeOut, float period) const {
    if (!(period > 0.0f)) return 0.0f;
    const double p = std::fmod(GameSeconds(), period) / period;
    if (!easeOut) return static_cast<float>(p * p * p);
    const double q = 1.0 - p;
    return static_cast<float>(1.0 - q * q * q);
}

std::string FrameTimer::FormatDate() const {
    const std::time_t now = wallClock_();
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr || local.tm_mon < 0 || local.tm_mon > 11) return std::string();
    char text[32];
    std::snprintf(text, sizeof text, "%s %02i %02i:%02i", kMonthNames[local.tm_mon], local.tm_mday, local.tm_hour,
                  local.tm_min);
    return text;
}

}  // namespace engine
