#pragma once
// The engine's clock. It counts real time from its construction on a monotonic clock, advances once per
// frame, and keeps two clocks: the real clock and a game clock that runs at an adjustable speed.
// Everything that moves asks it for the time or the frame delta; deltas handed out are clamped to 0.1 s.
//
// The clocks are kept in double milliseconds: float milliseconds step by 2 ms after 4.7 hours and by 8 ms
// after 18.6 hours, which would make frame deltas jitter in long games. Readers still get floats.
#include <chrono>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

namespace engine {

class FrameTimerBase {
public:
    virtual ~FrameTimerBase() = default;

    // The low 32 bits of the monotonic clock's nanosecond count; used as a random seed.
    virtual std::uint32_t GetRawTicks() const = 0;
    // Time since construction.
    virtual double GetSeconds() const = 0;
    virtual double GetMilliseconds() const = 0;
    virtual double GetMicroseconds() const = 0;
    // Advances both clocks to now; called once per frame.
    virtual void Tick() = 0;
    // The local date and time as "Mon DD HH:MM", for example "Jan 05 07:09"; empty when the wall-clock
    // instant cannot be converted.
    virtual std::string FormatDate() const = 0;
};

class FrameTimer final : public FrameTimerBase {
public:
    // Nanoseconds on a clock that never goes backwards (the steady clock in the game, a fake in tests).
    using MonotonicClock = std::function<std::chrono::nanoseconds()>;
    // The current calendar instant (time() in the game).
    using WallClock = std::function<std::time_t()>;

    // A null clock stands for the system's: the steady clock and time().
    explicit FrameTimer(MonotonicClock clock = nullptr, WallClock wallClock = nullptr);

    std::uint32_t GetRawTicks() const override;
    double GetSeconds() const override;
    double GetMilliseconds() const override;
    double GetMicroseconds() const override;
    void Tick() override;
    std::string FormatDate() const override;

    // Sets real clock, game clock and the previous-tick time to now; both deltas become 0.
    void Reset();
    // Game-clock speed relative to real time, 1 at construction. Non-finite values are ignored, since
    // they would leave the game clock not-a-number for the rest of the run.
    void SetSpeed(float speed);

    // The real or the game clock in seconds.
    float GetTimeSeconds(bool real) const;
    // The last frame's real or game delta in seconds; above 0.1 s it is 0.1.
    float GetDeltaSeconds(bool real) const;
    // The last frame's delta truncated to whole milliseconds; above 100, or negative, it is 100.
    int GetDeltaMs(bool real) const;
    // The game clock and the game delta of the last frame in milliseconds, unclamped.
    double GetGameMilliseconds() const { return gameMs_; }
    double GetGameDeltaMilliseconds() const { return gameDeltaMs_; }
    // Real frame time in ms smoothed over about a hundred frames (frame-rate display).
    float GetSmoothedDeltaMs() const { return static_cast<float>(smoothedDeltaMs_); }

    // A smooth 0 to 1 to 0 cycle once per period (seconds) of game time; 0 for a period of 0 or less.
    float SmoothPingPong(float period) const;
    // p = the fraction of the current period of game time; p^3, or 1 - (1 - p)^3 when easing out.
    // 0 for a period of 0 or less.
    float GameClockPulse(bool easeOut, float period) const;

    // The display word: the statistics overlay shows while it is not 0. Nothing in the game sets it; tests
    // and a developer switch do.
    std::uint32_t GetFlag() const { return flag_; }
    void SetFlag(std::uint32_t flag) { flag_ = flag; }
    // Called when start-up loading ends and at engine shutdown.
    void ClearFlag() { flag_ = 0; }

private:
    double GameSeconds() const { return gameMs_ * 0.001; }

    MonotonicClock clock_;
    WallClock wallClock_;
    std::chrono::nanoseconds start_{0};

    std::uint32_t flag_ = 0;
    double realMs_ = 0.0;
    double realDeltaMs_ = 0.0;
    double gameMs_ = 0.0;
    double gameDeltaMs_ = 0.0;
    double previousMs_ = 0.0;
    double smoothedDeltaMs_ = 0.0;
    double speed_ = 1.0;
};

}  // namespace engine
