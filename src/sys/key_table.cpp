#include "sys/key_table.h"

#include <SDL.h>

#include <array>

namespace sys {
namespace {

// Windows virtual-key numbers this layer produces.
enum VirtualKey : int {
    kVkLeftButton = 1,
    kVkRightButton = 2,
    kVkMiddleButton = 4,
    kVkBackspace = 8,
    kVkTab = 9,
    kVkReturn = 13,
    kVkShift = 16,
    kVkCapsLock = 20,
    kVkEscape = 27,
    kVkSpace = 32,
    kVkPageUp = 33,
    kVkPageDown = 34,
    kVkEnd = 35,
    kVkHome = 36,
    kVkLeft = 37,
    kVkUp = 38,
    kVkRight = 39,
    kVkDown = 40,
    kVkInsert = 45,
    kVkDelete = 46,
    kVkDigit0 = 48,
    kVkLetterA = 65,
    kVkLeftWindows = 91,
    kVkRightWindows = 92,
    kVkApplications = 93,
    kVkKeypad0 = 96,
    kVkKeypadMultiply = 106,
    kVkKeypadAdd = 107,
    kVkKeypadSubtract = 109,
    kVkKeypadDecimal = 110,
    kVkKeypadDivide = 111,
    kVkF1 = 112,
    kVkF13 = 124,
    kVkNumLock = 144,
    kVkScrollLock = 145,
    kVkLeftShift = 160,
    kVkRightShift = 161,
    kVkLeftControl = 162,
    kVkRightControl = 163,
    kVkLeftAlt = 164,
    kVkRightAlt = 165,
    kVkSemicolon = 186,
    kVkEquals = 187,
    kVkComma = 188,
    kVkMinus = 189,
    kVkPeriod = 190,
    kVkSlash = 191,
    kVkApostrophe = 192,
    kVkLeftBracket = 219,
    kVkBackslash = 220,
    kVkRightBracket = 221,
    kVkHash = 222,
    kVkGrave = 223,
};

struct KeyTable {
    std::array<bool, kVirtualKeyCount> down{};
    std::array<bool, kVirtualKeyCount> latched{};
};

KeyTable& Table() {
    static KeyTable table;
    return table;
}

bool InRange(int virtualKey) { return virtualKey >= 0 && virtualKey < kVirtualKeyCount; }

void SetOne(int virtualKey, bool down) {
    KeyTable& table = Table();
    if (down && !table.down[virtualKey]) table.latched[virtualKey] = true;
    table.down[virtualKey] = down;
}

int VirtualKeyFromScancode(int scancode) {
    auto within = [scancode](SDL_Scancode first, SDL_Scancode last) {
        return scancode >= first && scancode <= last;
    };
    if (within(SDL_SCANCODE_A, SDL_SCANCODE_Z)) return kVkLetterA + (scancode - SDL_SCANCODE_A);
    if (within(SDL_SCANCODE_1, SDL_SCANCODE_9)) return kVkDigit0 + 1 + (scancode - SDL_SCANCODE_1);
    if (within(SDL_SCANCODE_F1, SDL_SCANCODE_F12)) return kVkF1 + (scancode - SDL_SCANCODE_F1);
    // F13 to F16; later function keys are not mapped.
    if (within(SDL_SCANCODE_F13, SDL_SCANCODE_F16)) return kVkF13 + (scancode - SDL_SCANCODE_F13);
    if (within(SDL_SCANCODE_KP_1, SDL_SCANCODE_KP_9)) return kVkKeypad0 + 1 + (scancode - SDL_SCANCODE_KP_1);
    switch (scancode) {
    case SDL_SCANCODE_0: return kVkDigit0;
    case SDL_SCANCODE_BACKSPACE: return kVkBackspace;
    case SDL_SCANCODE_TAB: return kVkTab;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER: return kVkReturn;
    case SDL_SCANCODE_LSHIFT: return kVkLeftShift;
    case SDL_SCANCODE_RSHIFT: return kVkRightShift;
    case SDL_SCANCODE_LCTRL: return kVkLeftControl;
    case SDL_SCANCODE_RCTRL: return kVkRightControl;
    case SDL_SCANCODE_LALT: return kVkLeftAlt;
    case SDL_SCANCODE_RALT: return kVkRightAlt;
    case SDL_SCANCODE_CAPSLOCK: return kVkCapsLock;
    case SDL_SCANCODE_ESCAPE: return kVkEscape;
    case SDL_SCANCODE_SPACE: return kVkSpace;
    case SDL_SCANCODE_PAGEUP: return kVkPageUp;
    case SDL_SCANCODE_PAGEDOWN: return kVkPageDown;
    case SDL_SCANCODE_END: return kVkEnd;
    case SDL_SCANCODE_HOME: return kVkHome;
    case SDL_SCANCODE_LEFT: return kVkLeft;
    case SDL_SCANCODE_UP: return kVkUp;
    case SDL_SCANCODE_RIGHT: return kVkRight;
    case SDL_SCANCODE_DOWN: return kVkDown;
    case SDL_SCANCODE_INSERT: return kVkInsert;
    case SDL_SCANCODE_DELETE: return kVkDelete;
    case SDL_SCANCODE_LGUI: return kVkLeftWindows;
    case SDL_SCANCODE_RGUI: return kVkRightWindows;
    case SDL_SCANCODE_APPLICATION: return kVkApplications;
    case SDL_SCANCODE_KP_0: return kVkKeypad0;
    case SDL_SCANCODE_KP_MULTIPLY: return kVkKeypadMultiply;
    case SDL_SCANCODE_KP_PLUS: return kVkKeypadAdd;
    case SDL_SCANCODE_KP_MINUS: return kVkKeypadSubtract;
    case SDL_SCANCODE_KP_PERIOD: return kVkKeypadDecimal;
    case SDL_SCANCODE_KP_DIVIDE: return kVkKeypadDivide;
    case SDL_SCANCODE_NUMLOCKCLEAR: return kVkNumLock;
    case SDL_SCANCODE_SCROLLLOCK: return kVkScrollLock;
    case SDL_SCANCODE_SEMICOLON: return kVkSemicolon;
    case SDL_SCANCODE_EQUALS: return kVkEquals;
    case SDL_SCANCODE_COMMA: return kVkComma;
    case SDL_SCANCODE_MINUS: return kVkMinus;
    case SDL_SCANCODE_PERIOD: return kVkPeriod;
    case SDL_SCANCODE_SLASH: return kVkSlash;
    case SDL_SCANCODE_APOSTROPHE: return kVkApostrophe;
    case SDL_SCANCODE_LEFTBRACKET: return kVkLeftBracket;
    case SDL_SCANCODE_BACKSLASH:
    case SDL_SCANCODE_NONUSBACKSLASH: return kVkBackslash;
    case SDL_SCANCODE_RIGHTBRACKET: return kVkRightBracket;
    case SDL_SCANCODE_NONUSHASH: return kVkHash;
    case SDL_SCANCODE_GRAVE: return kVkGrave;
    default: return 0;
    }
}

}  // namespace

int VirtualKeyFromKey(int sdlScancode, int sdlKeycode) {
    if (sdlKeycode >= SDLK_a && sdlKeycode <= SDLK_z) return kVkLetterA + (sdlKeycode - SDLK_a);
    if (sdlKeycode >= SDLK_0 && sdlKeycode <= SDLK_9) return kVkDigit0 + (sdlKeycode - SDLK_0);
    // Keys whose layout gives no letter or digit (a digit row that types accents, say) keep their position.
    return VirtualKeyFromScancode(sdlScancode);
}

int VirtualKeyFromMouseButton(int sdlButton) {
    switch (sdlButton) {
    case SDL_BUTTON_LEFT: return kVkLeftButton;
    case SDL_BUTTON_RIGHT: return kVkRightButton;
    case SDL_BUTTON_MIDDLE: return kVkMiddleButton;
    default: return 0;
    }
}

void SetKeyDown(int virtualKey, bool down) {
    if (virtualKey == 0 || !InRange(virtualKey)) return;
    SetOne(virtualKey, down);
    if (virtualKey == kVkLeftShift || virtualKey == kVkRightShift) {
        const KeyTable& table = Table();
        SetOne(kVkShift, table.down[kVkLeftShift] || table.down[kVkRightShift]);
    }
}

bool PollKeyDown(int virtualKey) {
    if (!InRange(virtualKey)) return false;
    KeyTable& table = Table();
    const bool result = table.down[virtualKey] || table.latched[virtualKey];
    table.latched[virtualKey] = false;
    return result;
}

void ReleaseAllKeys() { Table() = KeyTable{}; }

}  // namespace sys
