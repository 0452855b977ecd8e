#pragma once
// A dialog system driven by a scripted input device and an injected clock, with callbacks that record every
// event as (dialog id, event, a, b) and answer with results the test sets.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "engine/core/frame_timer.h"
#include "engine/gui/dialog.h"
#include "engine/gui/dialog_control.h"
#include "engine/gui/dialog_system.h"
#include "engine/gui/list_box.h"
#include "engine/gui/slider.h"
#include "engine/platform/key_codes.h"
#include "gui_fixtures.h"

namespace guitest {

struct Event {
    int dialog = 0;
    int event = 0;
    int a = 0;
    int b = 0;
    bool operator==(const Event&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Event& e) {
    return out << "{" << e.dialog << ": " << e.event << "(" << e.a << ", " << e.b << ")}";
}

class DialogTest : public ::testing::Test {
protected:
    static constexpr int kFrameMs = 20;

    void SetUp() override {
        engine::SetDialogInput(&input);
        engine::SetDialogTimer(&timer);
        engine::SetDialogFont(nullptr);
        engine::InitDialogSystem();
    }
    void TearDown() override {
        dialogs.clear();
        engine::SetDialogInput(nullptr);
        engine::SetDialogTimer(nullptr);
        engine::InitDialogSystem();
    }

    // One frame: the clock moves on, the device takes the scripted keys, the GUI runs.
    void Frame(int ms = kFrameMs) {
        now += std::chrono::milliseconds(ms);
        input.host.Advance(ms);
        timer.Tick();
        input.Update();
        engine::UpdateDialogs();
    }
    void PointerAt(int x, int y) {
        input.pointerX = x;
        input.pointerY = y;
    }
    void Button(bool down) { Key(engine::kKeyMouseLeft, down); }
    void Key(int code, bool down) {
        if (down) {
            input.down.insert(code);
        } else {
            input.down.erase(code);
        }
    }
    // Press and release of a key over two frames.
    void Tap(int code) {
        Key(code, true);
        Frame();
        Key(code, false);
        Frame();
    }

    // A new dialog whose callback records its events and answers from results[event].
    engine::Dialog& MakeDialog(int x, int y, int w, int h, bool keyboard = false, bool directional = false) {
        auto dialog = std::make_unique<engine::Dialog>();
        engine::Dialog* raw = dialog.get();
        dialogs.push_back(std::move(dialog));
        raw->Init(u"Title", x, y, w, h, Recorder(), keyboard, directional);
        return *raw;
    }
    engine::Dialog::Callback Recorder() {
        return [this](engine::Dialog& dialog, int event, int a, int b, const engine::IntRect*) {
            events.push_back({dialog.GetId(), event, a, b});
            const auto hook = hooks.find(event);
            if (hook != hooks.end()) hook->second(dialog, a);
            const auto answer = results.find(event);
            return answer != results.end() ? answer->second : 0;
        };
    }
    // The events seen so far with the given codes only, then the record is emptied.
    std::vector<Event> Take(std::initializer_list<int> codes = {}) {
        std::vector<Event> taken;
        for (const Event& e : events) {
            bool keep = codes.size() == 0;
            for (const int code : codes) keep = keep || e.event == code;
            if (keep) taken.push_back(e);
        }
        events.clear();
        return taken;
    }

    std::chrono::nanoseconds now{0};
    engine::FrameTimer timer{[this] { return now; }, [] { return std::time_t{0}; }};
    ScriptedInput input;
    std::vector<std::unique_ptr<engine::Dialog>> dialogs;
    std::vector<Event> events;
    std::map<int, int> results;
    std::map<int, std::function<void(engine::Dialog&, int a)>> hooks;
};

}  // namespace guitest
