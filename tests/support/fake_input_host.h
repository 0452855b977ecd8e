#pragma once
// An input host for tests: a settable clock and activity, and a record of cursor requests.
#include <vector>

#include "engine/platform/input_host.h"

namespace testsupport {

class FakeInputHost : public engine::InputHost {
public:
    bool IsActive() const override { return active; }
    int GetBackBufferWidth() const override { return width; }
    int GetBackBufferHeight() const override { return height; }
    void* GetWindow() const override { return window; }
    void ShowSystemCursor(bool show) override { cursorRequests.push_back(show); }
    double GetGameMilliseconds() const override { return nowMs; }
    double GetGameDeltaMilliseconds() const override { return deltaMs; }

    // Moves the clock on by one frame of the given length.
    void Advance(double ms) {
        nowMs += ms;
        deltaMs = ms;
    }

    bool active = true;
    int width = 200;
    int height = 100;
    void* window = nullptr;
    double nowMs = 0.0;
    double deltaMs = 0.0;
    std::vector<bool> cursorRequests;
};

}  // namespace testsupport
