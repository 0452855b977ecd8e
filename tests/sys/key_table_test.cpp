#include <gtest/gtest.h>

#include <SDL.h>

#include "sys/input_events.h"
#include "sys/key_table.h"

namespace {

SDL_Event KeyEvent(SDL_Scancode scancode, SDL_Keycode keycode, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = keycode;
    return event;
}

void Key(SDL_Scancode scancode, SDL_Keycode keycode, bool down) {
    const SDL_Event event = KeyEvent(scancode, keycode, down);
    sys::HandleInputEvent(&event);
}

void Button(Uint8 button, bool down) {
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.button = button;
    sys::HandleInputEvent(&event);
}

class KeyTable : public ::testing::Test {
protected:
    void SetUp() override { sys::ReleaseAllKeys(); }
    void TearDown() override { sys::ReleaseAllKeys(); }
};

TEST_F(KeyTable, KeyEventsMapToUkVirtualKeys) {
    struct Case {
        SDL_Scancode scancode;
        SDL_Keycode keycode;
        int virtualKey;
    };
    const Case cases[] = {
        {SDL_SCANCODE_LALT, SDLK_LALT, 164},
        {SDL_SCANCODE_RALT, SDLK_RALT, 165},
        {SDL_SCANCODE_F4, SDLK_F4, 115},
        {SDL_SCANCODE_RETURN, SDLK_RETURN, 13},
        {SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, 13},
        {SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, 8},
        {SDL_SCANCODE_TAB, SDLK_TAB, 9},
        {SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, 160},
        {SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, 161},
        {SDL_SCANCODE_LCTRL, SDLK_LCTRL, 162},
        {SDL_SCANCODE_RCTRL, SDLK_RCTRL, 163},
        {SDL_SCANCODE_CAPSLOCK, SDLK_CAPSLOCK, 20},
        {SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, 27},
        {SDL_SCANCODE_SPACE, SDLK_SPACE, 32},
        {SDL_SCANCODE_PAGEUP, SDLK_PAGEUP, 33},
        {SDL_SCANCODE_PAGEDOWN, SDLK_PAGEDOWN, 34},
        {SDL_SCANCODE_END, SDLK_END, 35},
        {SDL_SCANCODE_HOME, SDLK_HOME, 36},
        {SDL_SCANCODE_LEFT, SDLK_LEFT, 37},
        {SDL_SCANCODE_UP, SDLK_UP, 38},
        {SDL_SCANCODE_RIGHT, SDLK_RIGHT, 39},
        {SDL_SCANCODE_DOWN, SDLK_DOWN, 40},
        {SDL_SCANCODE_INSERT, SDLK_INSERT, 45},
        {SDL_SCANCODE_DELETE, SDLK_DELETE, 46},
        {SDL_SCANCODE_LGUI, SDLK_LGUI, 91},
        {SDL_SCANCODE_RGUI, SDLK_RGUI, 92},
        {SDL_SCANCODE_APPLICATION, SDLK_APPLICATION, 93},
        {SDL_SCANCODE_KP_0, SDLK_KP_0, 96},
        {SDL_SCANCODE_KP_1, SDLK_KP_1, 97},
        {SDL_SCANCODE_KP_9, SDLK_KP_9, 105},
        {SDL_SCANCODE_KP_MULTIPLY, SDLK_KP_MULTIPLY, 106},
        {SDL_SCANCODE_KP_PLUS, SDLK_KP_PLUS, 107},
        {SDL_SCANCODE_KP_MINUS, SDLK_KP_MINUS, 109},
        {SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, 110},
        {SDL_SCANCODE_KP_DIVIDE, SDLK_KP_DIVIDE, 111},
        {SDL_SCANCODE_F1, SDLK_F1, 112},
        {SDL_SCANCODE_F12, SDLK_F12, 123},
        {SDL_SCANCODE_F13, SDLK_F13, 124},
        {SDL_SCANCODE_F15, SDLK_F15, 126},
        {SDL_SCANCODE_F16, SDLK_F16, 127},
        {SDL_SCANCODE_NUMLOCKCLEAR, SDLK_NUMLOCKCLEAR, 144},
        {SDL_SCANCODE_SCROLLLOCK, SDLK_SCROLLLOCK, 145},
        {SDL_SCANCODE_SEMICOLON, SDLK_SEMICOLON, 186},
        {SDL_SCANCODE_EQUALS, SDLK_EQUALS, 187},
        {SDL_SCANCODE_COMMA, SDLK_COMMA, 188},
        {SDL_SCANCODE_MINUS, SDLK_MINUS, 189},
        {SDL_SCANCODE_PERIOD, SDLK_PERIOD, 190},
        {SDL_SCANCODE_SLASH, SDLK_SLASH, 191},
        {SDL_SCANCODE_APOSTROPHE, SDLK_QUOTE, 192},
        {SDL_SCANCODE_LEFTBRACKET, SDLK_LEFTBRACKET, 219},
        {SDL_SCANCODE_BACKSLASH, SDLK_BACKSLASH, 220},
        {SDL_SCANCODE_NONUSBACKSLASH, SDLK_BACKSLASH, 220},
        {SDL_SCANCODE_RIGHTBRACKET, SDLK_RIGHTBRACKET, 221},
        {SDL_SCANCODE_NONUSHASH, SDLK_HASH, 222},
        {SDL_SCANCODE_GRAVE, SDLK_BACKQUOTE, 223},
        // Letters and digits follow the layout: the key at Q's place typing "a" is A.
        {SDL_SCANCODE_A, SDLK_a, 65},
        {SDL_SCANCODE_Q, SDLK_a, 65},
        {SDL_SCANCODE_A, SDLK_q, 81},
        {SDL_SCANCODE_SEMICOLON, SDLK_m, 77},
        {SDL_SCANCODE_0, SDLK_0, 48},
        {SDL_SCANCODE_9, SDLK_9, 57},
        // A digit key whose layout types a symbol keeps its digit.
        {SDL_SCANCODE_1, SDLK_AMPERSAND, 49},
        {SDL_SCANCODE_0, SDLK_AT, 48},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(SDL_GetScancodeName(c.scancode));
        EXPECT_EQ(sys::VirtualKeyFromKey(c.scancode, c.keycode), c.virtualKey);
        Key(c.scancode, c.keycode, true);
        EXPECT_TRUE(sys::PollKeyDown(c.virtualKey));
        Key(c.scancode, c.keycode, false);
        EXPECT_FALSE(sys::PollKeyDown(c.virtualKey));
    }
    EXPECT_EQ(sys::VirtualKeyFromKey(SDL_SCANCODE_F17, SDLK_F17), 0);
    EXPECT_EQ(sys::VirtualKeyFromKey(SDL_SCANCODE_PRINTSCREEN, SDLK_PRINTSCREEN), 0);
}

TEST_F(KeyTable, LeftAltWithF4AreBothDown) {
    Key(SDL_SCANCODE_LALT, SDLK_LALT, true);
    Key(SDL_SCANCODE_F4, SDLK_F4, true);
    EXPECT_TRUE(sys::PollKeyDown(164));
    EXPECT_TRUE(sys::PollKeyDown(115));
    EXPECT_FALSE(sys::PollKeyDown(18));
}

TEST_F(KeyTable, EitherShiftHoldsTheGenericShift) {
    Key(SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, true);
    EXPECT_TRUE(sys::PollKeyDown(16));
    EXPECT_TRUE(sys::PollKeyDown(160));
    Key(SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, true);
    Key(SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, false);
    EXPECT_TRUE(sys::PollKeyDown(16));
    EXPECT_FALSE(sys::PollKeyDown(160));
    Key(SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, false);
    EXPECT_FALSE(sys::PollKeyDown(16));
}

TEST_F(KeyTable, MouseButtonsAreOneTwoAndFour) {
    struct Case {
        Uint8 button;
        int virtualKey;
    };
    for (const Case c : {Case{SDL_BUTTON_LEFT, 1}, Case{SDL_BUTTON_RIGHT, 2}, Case{SDL_BUTTON_MIDDLE, 4}}) {
        Button(c.button, true);
        EXPECT_TRUE(sys::PollKeyDown(c.virtualKey)) << int{c.button};
        Button(c.button, false);
        EXPECT_FALSE(sys::PollKeyDown(c.virtualKey)) << int{c.button};
    }
    EXPECT_EQ(sys::VirtualKeyFromMouseButton(SDL_BUTTON_X1), 0);
}

TEST_F(KeyTable, APressAndReleaseBetweenPollsReadsDownOnce) {
    Key(SDL_SCANCODE_SPACE, SDLK_SPACE, true);
    Key(SDL_SCANCODE_SPACE, SDLK_SPACE, false);
    EXPECT_TRUE(sys::PollKeyDown(32));
    EXPECT_FALSE(sys::PollKeyDown(32));

    // A held key reads down at every poll; a release after a poll reads up at once.
    Key(SDL_SCANCODE_SPACE, SDLK_SPACE, true);
    EXPECT_TRUE(sys::PollKeyDown(32));
    EXPECT_TRUE(sys::PollKeyDown(32));
    Key(SDL_SCANCODE_SPACE, SDLK_SPACE, true);  // the system's auto-repeat
    Key(SDL_SCANCODE_SPACE, SDLK_SPACE, false);
    EXPECT_FALSE(sys::PollKeyDown(32));
}

TEST_F(KeyTable, LosingTheKeyboardFocusReleasesEveryKey) {
    Key(SDL_SCANCODE_W, SDLK_w, true);
    Key(SDL_SCANCODE_E, SDLK_e, true);
    Key(SDL_SCANCODE_E, SDLK_e, false);
    Button(SDL_BUTTON_LEFT, true);
    SDL_Event focus{};
    focus.type = SDL_WINDOWEVENT;
    focus.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    sys::HandleInputEvent(&focus);
    for (int key : {87, 69, 1}) EXPECT_FALSE(sys::PollKeyDown(key)) << key;
}

TEST_F(KeyTable, PushedEventsReachTheTableThroughThePump) {
    SDL_Event event = KeyEvent(SDL_SCANCODE_LALT, SDLK_LALT, true);
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    SDL_Event received;
    while (SDL_PollEvent(&received) != 0) sys::HandleInputEvent(&received);
    EXPECT_TRUE(sys::PollKeyDown(164));
    // The system's own key state knows nothing of pushed events.
    EXPECT_EQ(SDL_GetKeyboardState(nullptr)[SDL_SCANCODE_LALT], 0);
}

TEST_F(KeyTable, NumbersOutsideTheTableAreIgnored) {
    sys::SetKeyDown(0, true);
    sys::SetKeyDown(256, true);
    sys::SetKeyDown(-1, true);
    EXPECT_FALSE(sys::PollKeyDown(0));
    EXPECT_FALSE(sys::PollKeyDown(256));
    EXPECT_FALSE(sys::PollKeyDown(-1));
}

}  // namespace
