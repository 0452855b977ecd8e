#include "game/level/weather.h"

#include <algorithm>
#include <cmath>

#include "engine/core/scalar_math.h"
#include "engine/image/colour_gradient.h"

namespace game {
namespace {

constexpr float kSnowRadius = 5.0f;
constexpr float kSnowHeight = 15.0f;
constexpr float kFlakeSize = 0.03f;
constexpr float kDropFall = 0.5f;
constexpr int kDropLife = 6;
constexpr int kRainRise = 5;
constexpr int kRainFall = 3;
// The drops spawn in x -10..10 and z 1..20 ahead of the camera, at heights 3..5.5 for their ends, and fall 2.5
// in their life: from the centre of that box (half sizes 10, 9.5 and 3) 14.1 reaches them all; 20 leaves room
// for drops spawned up to 6 steps ago, before the camera moved or turned on.
constexpr float kRainBoxMiddle = 10.5f;
constexpr float kRainMidHeight = 3.0f;
constexpr float kRainReach = 20.0f;
// The flakes fill a cylinder of radius 5 from height 0 to 16 round the snow centre: 9.5 from its middle.
constexpr float kSnowReach = 10.0f;

engine::Vec2 Ground(const engine::Vec3& v) { return {v.x, v.z}; }

}  // namespace

WeatherAtmosphere ComputeAtmosphere(float x, int type) {
    WeatherAtmosphere out;
    out.mipBias = x == 0.0f ? -1.0f : 2.0f * x - 1.0f;
    const auto grey = static_cast<std::uint32_t>(x * 180.0f);
    out.colourOffset = grey << 16 | grey << 8 | grey;
    const std::uint32_t scale = 255u - static_cast<std::uint32_t>(x * 255.0f);
    out.colourScale = scale << 24 | scale << 16 | scale << 8 | scale;
    engine::ColourGradient gradient(2);
    gradient.AddKey(type == kWeatherNone ? 0xFFFFFFF0u : 0xFFDCDCC8u);
    gradient.AddKey(0xFF303030u);
    out.light0 = engine::ArgbToColourF(gradient.Sample(x));
    out.light0.a = type == kWeatherNone ? 1.0f : 0.4f * x + 0.5f;
    return out;
}

// --- Snow -----------------------------------------------------------------------------------------------

Snowfall::Snowfall(int material) {
    list_.Resize(kSnowFlakes, kFlakeSize, kFlakeSize, 0xFFFFFFFFu, material, kSnowReach);
}

engine::Vec3 Snowfall::GetDrawCentre() const { return {centre_.x, (kSnowHeight + 1.0f) * 0.5f, centre_.y}; }

void Snowfall::Update(float seconds, const engine::Matrix44& camera, bool firstFrame, engine::RandomStreams& random) {
    ground_ = Ground(camera.GetTranslation());
    const engine::Vec2 forward = Ground(camera.Row(2));
    const float length = forward.Length();
    forward_ = length > 0.00001f ? forward.Scale(1.0f / length) : engine::Vec2{};
    if (firstFrame) {
        centre_ = ground_;
        for (Flake& flake : flakes_) {
            const float radius = kSnowRadius * std::sqrt(random.NextFloat(0.0f, 1.0f));
            const engine::Vec2 at = ground_.Add(engine::Vec2(radius, 0.0f).RotateDeg(random.NextFloat(0.0f, 360.0f)));
            flake.position = {at.x, random.NextFloat(0.0f, kSnowHeight), at.y};
            flake.previous = flake.position;
            const float angle = random.NextFloat(3.0f, 15.0f);
            flake.velocity = random.NextConeDirection(0, engine::kDown, angle).Scale(random.NextFloat(0.01f, 0.02f));
        }
    }
    accumulator_ += seconds;
    while (accumulator_ >= kWeatherStep) {
        accumulator_ -= kWeatherStep;
        Step();
    }
}

void Snowfall::Step() {
    const engine::Vec2 centre = forward_.LengthSquared() > 0.0f ? ground_.Add(forward_.Scale(kSnowRadius)) : ground_;
    for (Flake& flake : flakes_) {
        const engine::Vec2 at = Ground(flake.position);
        if (at.Sub(centre).LengthSquared() > kSnowRadius * kSnowRadius) {
            // Out of the circle behind the moving centre: in again on the opposite side.
            const engine::Vec2 wrapped = centre.Sub(at.Sub(centre_));
            flake.position.x = wrapped.x;
            flake.position.z = wrapped.y;
        }
        flake.position.AddInPlace(flake.velocity);
        if (flake.position.y < 1.0f) flake.position.y += kSnowHeight;
        flake.previous = flake.position;
    }
    centre_ = centre;
    ++steps_;
}

void Snowfall::Fill() {
    list_.Clear();
    for (const Flake& flake : flakes_) {
        list_.AddItem({flake.position.x, flake.position.y, flake.position.z, 1.0f});
    }
}

// --- Rain -----------------------------------------------------------------------------------------------

int EaseRainIntensity(int intensity, int target) {
    // A rise stops at the target; a fall only stops at 0, so a fall that ends within 3 of the target dips
    // below it for one step and the next step rises back onto it.
    if (intensity < target) return std::min(intensity + kRainRise, target);
    if (intensity > target) return std::max(intensity - kRainFall, 0);
    return intensity;
}

RainShower::RainShower(int material) { list_.Reserve(kRainDrops, material, kRainReach); }

engine::Vec3 RainShower::GetDrawCentre() const {
    engine::Vec3 at = orientation_.TransformPoint({0.0f, 0.0f, kRainBoxMiddle});
    at.y = kRainMidHeight;
    return at;
}

void RainShower::Update(float seconds, const engine::Matrix44& camera, bool firstFrame, engine::RandomStreams& random) {
    engine::Vec3 forward = camera.Row(2);
    forward.y = 0.0f;
    if (forward.Length() > 0.001f) {
        orientation_.InitBasisFromDirection(engine::kAxisY, forward.Normalised());
        orientation_.SetRow(3, camera.GetTranslation());
    } else {
        orientation_ = camera;
    }
    if (firstFrame) {
        for (Drop& drop : drops_) {
            Spawn(drop, random);
            drop.life = random.NextInt(0, kDropLife);
        }
    }
    accumulator_ += seconds;
    while (accumulator_ >= kWeatherStep) {
        accumulator_ -= kWeatherStep;
        Step(random);
    }
}

void RainShower::Step(engine::RandomStreams& random) {
    if (counter_ == 0) {
        // Three times in four the next spell is dry.
        target_ = (random.NextRaw() & 3u) != 0 ? 0 : random.NextInt(100, kRainDrops);
    }
    intensity_ = EaseRainIntensity(intensity_, target_);
    for (Drop& drop : drops_) {
        --drop.life;
        if (drop.life > 0) {
            drop.top.position.y -= kDropFall;
            drop.bottom.position.y -= kDropFall;
        } else {
            Spawn(drop, random);
            drop.life = kDropLife;
        }
    }
    ++counter_;
    ++steps_;
}

void RainShower::Spawn(Drop& drop, engine::RandomStreams& random) const {
    const float x = random.NextFloat(-10.0f, 10.0f);
    const float z = random.NextFloat(1.0f, 20.0f);
    engine::Vec3 at = orientation_.TransformPoint({x, 0.0f, z});
    at.y = random.NextFloat(1.0f, 1.5f) * 3.0f;
    const auto blue = static_cast<std::uint32_t>(random.NextInt(64, 128));
    const std::uint32_t colour = 0x40404000u | blue;
    drop.bottom.position = {at.x, at.y, at.z, 0.0f};
    drop.top.position = {at.x, at.y + 1.0f, at.z, 0.0f};
    drop.bottom.colour = drop.top.colour = colour;
    drop.bottom.halfWidth = drop.top.halfWidth = 0.01f;
}

void RainShower::Fill() {
    list_.Clear();
    for (int i = 0; i < intensity_; ++i) {
        const Drop& drop = drops_[static_cast<std::size_t>(i)];
        list_.AddItemParts(drop.top, drop.bottom);
    }
}

// --- Manager ----------------------------------------------------------------------------------------------

WeatherManager::WeatherManager(int type, WeatherPort& port, std::uint32_t seed)
    : type_(type), port_(port), random_([seed] { return seed; }) {
    if (type == kWeatherRain || type == kWeatherRainToo) rain_ = std::make_unique<RainShower>(port.GetMaterial("Rain"));
    if (type == kWeatherSnow) snow_ = std::make_unique<Snowfall>(port.GetMaterial("Snow"));
}

void WeatherManager::Draw() {
    if ((port_.GetOptionBits() & kOptionWeatherOff) != 0) {
        // Switched off after it has drawn: the scene gets back the values the weather found.
        if (applied_) port_.WriteAtmosphere(before_);
        applied_ = false;
        return;
    }
    if (!applied_) before_ = port_.ReadAtmosphere();
    applied_ = true;
    const float seconds = port_.GetFrameSeconds();
    const engine::Matrix44 camera = port_.GetCameraMatrix();
    if (snow_) {
        snow_->Update(seconds, camera, firstFrame_, random_);
        snow_->Fill();
        port_.QueueList(snow_->List(), snow_->GetDrawCentre());
    }
    if (rain_) {
        rain_->Update(seconds, camera, firstFrame_, random_);
        rain_->Fill();
        port_.QueueList(rain_->List(), rain_->GetDrawCentre());
    }
    firstFrame_ = false;
    const float x = rain_ ? static_cast<float>(rain_->GetIntensity()) / kRainDrops : 0.0f;
    port_.WriteAtmosphere(ComputeAtmosphere(x, type_));
}

}  // namespace game
