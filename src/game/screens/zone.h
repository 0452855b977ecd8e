#pragma once
// The base of every screen, dialog and HUD panel. A zone owns one engine dialog (its window) and hears that
// window's events as calls of its virtual operations (ZoneWindowProc). Titled zones add the zone type with
// its title, the 0.2 s zoom open from a point and the shared full-screen panel.
//
// There is no stack of screens: a zone's handler closes its own zone and opens the next one.
#include "engine/core/int_rect.h"
#include "engine/core/vector.h"
#include "engine/gui/dialog.h"
#include "game/screens/screen_services.h"

namespace game {

class Zone;

// An engine dialog that knows the zone it belongs to.
class ZoneWindow final : public engine::Dialog {
public:
    Zone* GetOwner() const { return owner_; }
    void SetOwner(Zone* owner) { owner_ = owner; }

private:
    Zone* owner_ = nullptr;
};

class Zone {
public:
    explicit Zone(ScreenServices& services) : services_(services) {}
    // Destroys the window.
    virtual ~Zone();
    Zone(const Zone&) = delete;
    Zone& operator=(const Zone&) = delete;

    // The engine's show or hide of the window; its result (0 without a window).
    virtual int SetShown(bool shown, bool exclusive);
    virtual int OnShow(bool /*shown*/) { return 0; }
    // Non-zero before the controls: the engine draws no frame and title of its own.
    virtual int Draw(bool /*afterControls*/) { return 0; }
    virtual int OnFocusChanged(int /*controlId*/) { return 0; }
    // Pressed 1 for a press, 0 for a release on the same control.
    virtual int OnControl(bool /*pressed*/, int /*controlId*/) { return 0; }
    // 4 accept, 5 back; non-zero consumes the key.
    virtual int OnKey(int /*code*/) { return 0; }
    // rect is the control's screen rectangle; non-zero: the zone drew the control.
    virtual int DrawControl(int /*controlId*/, const engine::IntRect& /*rect*/) { return 0; }
    virtual int OnListSelect(int /*controlId*/, int /*value*/) { return 0; }

    // Makes the window with an empty title at the rectangle; false when the engine has no free dialog slot.
    // A window that takes keys hears the accept and back keys and moves its focus with the arrows when it
    // is the active one.
    bool CreateWindow(const engine::IntRect& rect, bool takesKeys = true);
    bool IsShown() const;
    ZoneWindow* GetWindow() const { return window_; }
    ScreenServices& Services() const { return services_; }

protected:
    // The window's control of the id, null when there is none.
    engine::DialogControl* Control(int id) const;
    // A push button whose user value is the icon index.
    engine::Button* AddButton(int id, const engine::IntRect& rect, const engine::WideString& label, int icon);

private:
    ScreenServices& services_;
    ZoneWindow* window_ = nullptr;
};

inline constexpr int kZoneOpening = 1;
inline constexpr int kZoneOpen = 2;
inline constexpr float kZoomSeconds = 0.2f;
inline constexpr int kBaseWidth = 960;
inline constexpr int kBaseHeight = 640;

class TitledZone : public Zone {
public:
    using Zone::Zone;

    // Always 1: the zoom while opening (covering the controls), then the panel, contents and title.
    int Draw(bool afterControls) override;
    // Draws the zone's body; 0 leaves the shared panel to be drawn.
    virtual int DrawContents(ZoneWindow& /*window*/) { return 0; }
    // Drawn before the panel on both passes while opening and before the contents once open.
    virtual void PreDraw() {}

    int GetType() const { return type_; }
    int GetState() const { return state_; }
    float GetTimeOpen() const { return timeOpen_; }
    engine::Vec2 GetOrigin() const { return origin_; }
    bool IsFullyOpen() const { return state_ == kZoneOpen; }
    // The opening enlargement of the buttons: (1 - time open / 0.2) x 16 while younger than 0.2 s, else 0.
    int OpeningGrow() const;

private:
    friend void OpenZone(TitledZone& zone, int type, int originX, int originY);
    void DrawZoomPanel(const engine::IntRect& rect);

    int type_ = 0;
    float openStart_ = 0.0f;
    int state_ = kZoneOpening;
    engine::Vec2 origin_{0.0f, 0.0f};
    float timeOpen_ = 0.0f;
};

// Sets the type and origin, starts the zoom now, plays the zoom sound and shows the window.
void OpenZone(TitledZone& zone, int type, int originX, int originY);
// Hides the window at once.
void CloseZone(Zone& zone);
// The title key of a zone type; empty for the types without a title.
const char* ZoneTitleKey(int type);
// The window's event as a call of its zone (engine events 1-13); the result goes back to the engine.
int ZoneWindowProc(ZoneWindow& window, int event, int a, int b, const engine::IntRect* rect);

}  // namespace game
