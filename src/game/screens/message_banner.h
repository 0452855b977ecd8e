#pragma once
// The timed message panel across the middle of the screen. It opens over 0.2 s (overshooting to 1.2 of its
// height), stays, closes over the last 0.1 s, and shows its text only while fully open. A new message
// replaces the one showing. The game object owns it and draws it every frame.
#include "engine/core/wide_string.h"
#include "engine/gui/text_wrap.h"
#include "game/screens/screen_services.h"

namespace game {

class MessageBanner {
public:
    // The width is 0.4 of the screen width, fixed here.
    explicit MessageBanner(ScreenServices& services);

    // Ignored between turns (game state 6) unless the mission-intro option is set.
    void Show(const engine::WideString& text, float seconds);
    void Hide() { timeLeft_ = 0.0f; }
    bool IsShowing() const { return timeLeft_ != 0.0f; }
    // Counts the time down by the frame and draws.
    void Draw();

    // The opening scale after the elapsed seconds of a message of the total seconds.
    static float ScaleAt(float elapsed, float total);
    int GetWidth() const { return width_; }
    const engine::TextWrap& GetText() const { return text_; }

private:
    ScreenServices& services_;
    engine::TextWrap text_;
    float timeLeft_ = 0.0f;
    float total_ = 0.0f;
    int width_ = 0;
};

}  // namespace game
