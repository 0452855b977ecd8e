#include "engine/gui/navigation_keys.h"

#include <initializer_list>

#include "engine/platform/input_device.h"
#include "engine/platform/key_codes.h"

namespace engine {
namespace {

NavigationKeyList MakeList(std::initializer_list<int> codes) {
    NavigationKeyList list;
    for (const int code : codes) list.codes[static_cast<std::size_t>(list.count++)] = code;
    return list;
}

}  // namespace

void NavigationKeys::Build() {
    lists[kNavigateUp] = MakeList({kKeyPadUp, kKeyUp});
    lists[kNavigateDown] = MakeList({kKeyPadDown, kKeyDown});
    lists[kNavigateLeft] = MakeList({kKeyPadLeft, kKeyLeft});
    lists[kNavigateRight] = MakeList({kKeyPadRight, kKeyRight});
    lists[kNavigateSelect] = MakeList({kKeyPadA, kKeyReturn});
    lists[kNavigateBack] = MakeList({kKeyPadB, kKeyBackspace, kKeyEscape});
}

NavigationState NavigationKeys::Read(InputDevice& input, int list) const {
    NavigationState state;
    if (list < 0 || list >= kNavigationListCount) return state;
    const NavigationKeyList& keys = lists[static_cast<std::size_t>(list)];
    for (int i = 0; i < keys.count; ++i) {
        const KeyState key = input.ReadKey(keys.codes[static_cast<std::size_t>(i)]);
        state.down = state.down || key.down != 0;
        state.pressed = state.pressed || key.pressed != 0;
        state.released = state.released || key.released != 0;
    }
    return state;
}

}  // namespace engine
