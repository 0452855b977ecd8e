#include <gtest/gtest.h>

#include "engine/platform/key_codes.h"
#include "engine/platform/windows_input_device.h"
#include "support/fake_input_host.h"

namespace {

TEST(KeyToChar, UkLayoutTable) {
    testsupport::FakeInputHost host;
    const engine::WindowsInputDevice device(host, 0);
    struct Case {
        int code;
        bool shift;
        int expected;
    };
    const Case cases[] = {
        {'A', false, 'a'},
        {'Z', true, 'Z'},
        {'0', false, '0'},
        {'0', true, ')'},
        {'2', true, '"'},
        {'3', true, 163},
        {'6', true, '^'},
        {engine::kKeySemicolon, true, ':'},
        {engine::kKeySlash, true, '?'},
        {engine::kKeyApostrophe, false, '\''},
        {engine::kKeyApostrophe, true, '@'},
        {engine::kKeyBackslash, true, '|'},
        {engine::kKeyRightBracket, true, '}'},
        {engine::kKeySpace, true, ' '},
        {engine::kKeyBackspace, false, 8},
        {engine::kKeyTab, false, 9},
        {engine::kKeyReturn, false, 10},
        {engine::kKeyReturn, true, 10},
        {engine::kKeyDelete, false, 127},
        {engine::kKeyKeypadDecimal, false, 46},
        {engine::kKeyKeypadDecimal, true, 127},
        {engine::kKeyKeypad0 + 7, true, '7'},
        {engine::kKeyKeypadMultiply, false, '*'},
        {engine::kKeyKeypadDivide, true, '/'},
        {engine::kKeyLeft, false, 29},
        {engine::kKeyUp, false, 30},
        {engine::kKeyRight, true, 28},
        {engine::kKeyDown, false, 31},
        {engine::kKeyHome, false, 11},
        {engine::kKeyEnd, false, 12},
        {engine::kKeyF5, false, 0},
        {engine::kKeyEscape, false, 0},
        {engine::kKeyHash, false, 0},  // not an engine key
        // Bits above the low byte are kept.
        {0x100 | 'A', false, 0x100 | 'a'},
        {0x300 | engine::kKeyReturn, false, 0x300 | 10},
        {engine::kKeyPadA, false, 0x100},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(device.KeyToChar(c.code, c.shift), c.expected) << "code " << c.code << " shift " << c.shift;
    }
}

}  // namespace
