#pragma once
// Rain showers and snowfall over the battle by the map's weather type, and the darker atmosphere of a
// shower. Both advance in fixed 1/30 s steps of the game clock, so any frame rate gives the same weather,
// and draw from a generator of their own so that the battle's random choices do not depend on it.
#include <array>
#include <cstdint>
#include <memory>

#include "engine/core/colour.h"
#include "engine/core/matrix.h"
#include "engine/core/random_streams.h"
#include "engine/scene/billboard_list.h"

namespace game {

// Map weather types.
inline constexpr int kWeatherRain = 0;
inline constexpr int kWeatherRainToo = 1;
inline constexpr int kWeatherNone = 2;
inline constexpr int kWeatherSnow = 3;
// The profile option bit that turns the weather off.
inline constexpr std::uint32_t kOptionWeatherOff = 0x80;

inline constexpr int kRainDrops = 1000;
inline constexpr int kSnowFlakes = 2000;
inline constexpr float kWeatherStep = 1.0f / 30.0f;

// The scene values the weather sets each frame.
struct WeatherAtmosphere {
    float mipBias = 0.0f;
    std::uint32_t colourOffset = 0;
    std::uint32_t colourScale = 0xFFFFFFFFu;
    engine::ColourF light0;
};

// The atmosphere of a shower of strength x (0..1) on a map of the weather type.
WeatherAtmosphere ComputeAtmosphere(float x, int type);

// What the weather reads from and writes to the scene.
class WeatherPort {
public:
    virtual ~WeatherPort() = default;
    virtual std::uint32_t GetOptionBits() const = 0;
    virtual float GetFrameSeconds() const = 0;
    // The world matrix of the scene's camera.
    virtual engine::Matrix44 GetCameraMatrix() const = 0;
    virtual WeatherAtmosphere ReadAtmosphere() const = 0;
    virtual void WriteAtmosphere(const WeatherAtmosphere& atmosphere) = 0;
    // The material handle of "Rain" or "Snow".
    virtual int GetMaterial(const char* name) = 0;
    // Queues a filled list for the blended pass, its bounding sphere at the centre with the list's size as radius.
    virtual void QueueList(engine::BillboardList& list, const engine::Vec3& centre) = 0;
    virtual void QueueList(engine::SortedBillboardList& list, const engine::Vec3& centre) = 0;
};

class Snowfall {
public:
    struct Flake {
        engine::Vec3 position;
        engine::Vec3 previous;
        engine::Vec3 velocity;
    };

    explicit Snowfall(int material);
    // Spawns the flakes around the camera on the first frame, then takes the steps the time allows.
    void Update(float seconds, const engine::Matrix44& camera, bool firstFrame, engine::RandomStreams& random);
    void Fill();
    const Flake& GetFlake(int i) const { return flakes_[static_cast<std::size_t>(i)]; }
    const engine::Vec2& GetCentre() const { return centre_; }
    // The centre of the space the flakes fill; the list's bounding size reaches every flake from it.
    engine::Vec3 GetDrawCentre() const;
    int GetSteps() const { return steps_; }
    engine::SortedBillboardList& List() { return list_; }

private:
    void Step();

    engine::SortedBillboardList list_;
    std::array<Flake, kSnowFlakes> flakes_{};
    float accumulator_ = 0.0f;
    engine::Vec2 ground_;
    engine::Vec2 forward_;
    engine::Vec2 centre_;
    int steps_ = 0;
};

// One step of the shower's intensity towards its target: up by 5 without passing the target, down by 3
// without going below 0.
int EaseRainIntensity(int intensity, int target);

class RainShower {
public:
    struct Drop {
        engine::BillboardEnd top;
        engine::BillboardEnd bottom;
        int life = 0;
    };

    explicit RainShower(int material);
    void Update(float seconds, const engine::Matrix44& camera, bool firstFrame, engine::RandomStreams& random);
    void Fill();
    int GetIntensity() const { return intensity_; }
    int GetTarget() const { return target_; }
    // The centre of the box the drops fall in ahead of the camera; the list's quad size reaches every drop from it.
    engine::Vec3 GetDrawCentre() const;
    std::uint8_t GetCounter() const { return counter_; }
    int GetSteps() const { return steps_; }
    const Drop& GetDrop(int i) const { return drops_[static_cast<std::size_t>(i)]; }
    engine::BillboardList& List() { return list_; }

private:
    void Step(engine::RandomStreams& random);
    void Spawn(Drop& drop, engine::RandomStreams& random) const;

    engine::BillboardList list_;
    std::array<Drop, kRainDrops> drops_{};
    float accumulator_ = 0.0f;
    engine::Matrix44 orientation_;
    int intensity_ = 0;
    int target_ = 0;
    std::uint8_t counter_ = 0;
    int steps_ = 0;
};

class WeatherManager {
public:
    // Rain for types 0 and 1, snow for 3, neither otherwise; the generator is seeded from the stream.
    WeatherManager(int type, WeatherPort& port, std::uint32_t seed);
    int GetType() const { return type_; }

    // Per frame: with the weather on, steps and fills the effects and sets the atmosphere. Turned off after
    // it has drawn, it puts the atmosphere it found back once.
    void Draw();

    Snowfall* GetSnow() const { return snow_.get(); }
    RainShower* GetRain() const { return rain_.get(); }

private:
    int type_;
    WeatherPort& port_;
    engine::RandomStreams random_;
    bool firstFrame_ = true;
    bool applied_ = false;
    WeatherAtmosphere before_;
    std::unique_ptr<Snowfall> snow_;
    std::unique_ptr<RainShower> rain_;
};

}  // namespace game
