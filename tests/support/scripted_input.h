#pragma once
// The engine's input device over keys and a pointer that the test sets: each Update takes the keys held now,
// with the edges and held times the real device works out.
#include <set>

#include "engine/platform/input_device.h"
#include "engine/platform/key_codes.h"
#include "support/fake_input_host.h"

namespace testsupport {

class ScriptedInput final : public engine::InputDevice {
public:
    ScriptedInput() : InputDevice(host, 0) {}
    void GetMousePosition(int& x, int& y, bool) override {
        x = pointerX;
        y = pointerY;
    }
    bool Poll(engine::RawKeyValues& raw) override {
        for (const int code : down) raw[static_cast<std::size_t>(code)] = engine::kDigitalMark | 0xFF;
        return true;
    }

    FakeInputHost host;
    std::set<int> down;
    int pointerX = 0;
    int pointerY = 0;
};

}  // namespace testsupport
