#pragma once
// The weather's hold on the game's scene: the scene view's camera and colours, light 0 of the render queue,
// the device's mip-map bias, the "Rain" and "Snow" materials and the blended draw list.
#include "game/level/weather.h"

namespace engine {
class RenderQueue;
class SceneView;
}  // namespace engine

namespace game {

class GamePlatform;

// The snowflakes' texture.
inline constexpr const char* kSnowflakeTexture = "Common/DRUV_snowflake";

class SceneWeatherPort final : public WeatherPort {
public:
    explicit SceneWeatherPort(GamePlatform& platform) : platform_(platform) {}
    // The scene of the frame; null pieces leave their values alone.
    void SetScene(engine::SceneView* view, engine::RenderQueue* queue) { view_ = view, queue_ = queue; }
    void SetOptionBits(std::uint32_t bits) { options_ = bits; }

    std::uint32_t GetOptionBits() const override { return options_; }
    float GetFrameSeconds() const override;
    engine::Matrix44 GetCameraMatrix() const override;
    WeatherAtmosphere ReadAtmosphere() const override;
    void WriteAtmosphere(const WeatherAtmosphere& atmosphere) override;
    int GetMaterial(const char* name) override;
    void QueueList(engine::BillboardList& list, const engine::Vec3& centre) override;
    void QueueList(engine::SortedBillboardList& list, const engine::Vec3& centre) override;

private:
    GamePlatform& platform_;
    engine::SceneView* view_ = nullptr;
    engine::RenderQueue* queue_ = nullptr;
    std::uint32_t options_ = 0;
};

}  // namespace game
