#pragma once
// Drives zones the way the engine does. Engine events go straight into ZoneWindowProc; pointer presses,
// moves and releases at a control's centre and the accept and back keys go through a scripted input device
// and the dialog system, each followed by a frame: the clock steps, the GUI reads the input, and every shown
// dialog is drawn into the recorder.
#include "engine/gui/dialog_control.h"
#include "engine/gui/dialog_system.h"
#include "engine/platform/input_device.h"
#include "engine/platform/key_codes.h"
#include "game/screens/zone.h"
#include "support/draw_recorder.h"
#include "support/fake_clock.h"
#include "support/scripted_input.h"

namespace testsupport {

class ZoneDriver {
public:
    static constexpr int kFrameMs = 16;

    ZoneDriver(FakeClock& clock, DrawRecorder& recorder) : clock_(clock), recorder_(recorder) {
        input.host.width = recorder.Width();
        input.host.height = recorder.Height();
        engine::SetDialogInput(&input);
        engine::SetDialogTimer(&clock_.timer);
        engine::SetDialogFont(nullptr);
        engine::InitDialogSystem();
    }
    ~ZoneDriver() {
        engine::HideAllDialogs();
        engine::SetDialogInput(nullptr);
        engine::SetDialogTimer(nullptr);
    }
    ZoneDriver(const ZoneDriver&) = delete;
    ZoneDriver& operator=(const ZoneDriver&) = delete;

    // An engine event straight into the zone's window procedure.
    static int Send(game::Zone& zone, int event, int a = 0, int b = 0, const engine::IntRect* rect = nullptr) {
        return game::ZoneWindowProc(*zone.GetWindow(), event, a, b, rect);
    }

    // One frame: the clock, the input and the GUI move on, then every shown dialog draws.
    void Frame(int ms = kFrameMs) {
        clock_.StepMs(ms);
        input.host.Advance(ms);
        input.Update();
        engine::UpdateDialogs();
        engine::DrawAllDialogs(recorder_);
    }
    // Frames until the seconds have passed.
    void Run(float seconds, int ms = kFrameMs) {
        for (float t = 0.0f; t < seconds; t += static_cast<float>(ms) / 1000.0f) Frame(ms);
    }

    // The centre of a control of the zone on screen.
    static engine::IntPoint CentreOf(const game::Zone& zone, int controlId) {
        const engine::DialogControl* control = zone.GetWindow()->FindControl(controlId);
        const engine::IntRect window = zone.GetWindow()->ScreenRect();
        const engine::IntRect r = control->ScreenRect(window.x, window.y);
        return {r.x + r.width / 2, r.y + r.height / 2};
    }
    void MoveTo(int x, int y) {
        input.pointerX = x;
        input.pointerY = y;
        Frame();
    }
    // The pointer goes to the control's centre and presses there.
    void Press(const game::Zone& zone, int controlId) {
        const engine::IntPoint p = CentreOf(zone, controlId);
        input.pointerX = p.x;
        input.pointerY = p.y;
        input.down.insert(engine::kKeyMouseLeft);
        Frame();
    }
    void Release() {
        input.down.erase(engine::kKeyMouseLeft);
        Frame();
    }
    void Click(const game::Zone& zone, int controlId) {
        Press(zone, controlId);
        Release();
    }
    // Keys 4 (accept) and 5 (back) as a press and release over two frames.
    void TapAccept() { Tap(engine::kKeyReturn); }
    void TapBack() { Tap(engine::kKeyEscape); }

    ScriptedInput input;

private:
    void Tap(int code) {
        input.down.insert(code);
        Frame();
        input.down.erase(code);
        Frame();
    }

    FakeClock& clock_;
    DrawRecorder& recorder_;
};

}  // namespace testsupport
