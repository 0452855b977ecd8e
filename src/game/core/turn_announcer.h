#pragma once
// The turn announcer: for two seconds at the start of every side's turn two dark bands close over the
// middle of the screen, two strips slide in from the sides, the caption shows in the epic font and a unit
// in the side's colours walks across a small scene of its own drawn over the battle. While it shows, the
// main loop holds back the turn's work. It draws on the main thread only.
#include <cstdint>
#include <functional>
#include <memory>

#include "engine/core/wide_string.h"
#include "game/core/game_ports.h"

namespace engine {
class BitmapFont;
class RandomStreams;
class RenderTargetBase;
}  // namespace engine

namespace game {

// The announcer's own 3D scene: its scene view, render queue, "AnnouncerWorld" root, camera and light, and
// the walking unit.
class AnnouncerScene {
public:
    virtual ~AnnouncerScene() = default;
    // Makes the walking unit of the type in the side's colours (each with a new unit id), placed far off
    // under the scene root; false when none can be made.
    virtual bool CreateWalker(int unitType, int teamKind) = 0;
    virtual void DeleteWalker() = 0;
    virtual bool HasWalker() const = 0;
    // Advances the walker's animation, turns it by the yaw about Y, places it at x and updates the world
    // matrices.
    virtual void PlaceWalker(float x, float yawDegrees) = 0;
    // Builds the render queue and renders it through the scene view into the target.
    virtual void Render(engine::RenderTargetBase& target) = 0;
    // The scene view's camera takes the new viewport and aspect (a display-mode switch).
    virtual void Relayout(int width, int height) = 0;
};

// What the announcer reaches outside itself; every member may be left empty.
struct AnnouncerServices {
    AnnouncerScene* scene = nullptr;
    std::function<engine::RenderTargetBase*()> target;
    // The frame timer's game delta in seconds.
    std::function<float()> frameDelta;
    std::function<void(int)> playUiSound;
    // The kind of the side whose turn it is.
    std::function<int()> currentTeamKind;
    engine::RandomStreams* random = nullptr;
    // The epic font of the caption.
    engine::BitmapFont* captionFont = nullptr;
    // The zoom sheet "GUI/Zoomer" of the strips and its width in pixels.
    std::uint32_t zoomSheet = 0;
    int zoomSheetWidth = 0;
};

class TurnAnnouncer final : public Announcer {
public:
    static constexpr float kShowSeconds = 2.0f;
    // The unit types that walk across: one of these at random.
    static constexpr int kWalkerTypes[5] = {3, 4, 5, 6, 7};
    static constexpr int kStripOffset = 85;
    static constexpr int kStripHeight = 8;

    explicit TurnAnnouncer(AnnouncerServices services);
    ~TurnAnnouncer() override;
    TurnAnnouncer(const TurnAnnouncer&) = delete;
    TurnAnnouncer& operator=(const TurnAnnouncer&) = delete;

    void Show(const engine::WideString& caption, int computerFlag) override;
    bool IsShowing() const override { return timeLeft_ != 0.0f; }
    void Hide() override { timeLeft_ = 0.0f; }
    void Reset() override;
    void Draw() override;
    void DrawOn(engine::RenderTargetBase& target, float frameDelta);
    AnnouncerScene* GetScene() const { return services_.scene; }
    // For the program's wiring: the scene, fonts and sheet come once the game and its resources exist.
    AnnouncerServices& MutableServices() { return services_; }

    float GetTimeLeft() const { return timeLeft_; }
    const engine::WideString& GetCaption() const { return caption_; }
    int GetComputerFlag() const { return computer_; }
    // The band envelope at progress q (0..1).
    static float Envelope(float q, bool walker);
    // The walker's x at progress q for a human or a computer side.
    static float WalkerX(float q, bool computer);

private:
    AnnouncerServices services_;
    engine::WideString caption_;
    float timeLeft_ = 0.0f;
    int computer_ = 0;
};

}  // namespace game
