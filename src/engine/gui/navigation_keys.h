#pragma once
// The six navigation key lists of the dialogs (up, down, left, right, select, back), each the pad key and the
// keyboard keys that act alike. A list is down when any of its keys is down and has a press or release edge
// when any of its keys has one.
#include <array>

namespace engine {

class InputDevice;

enum NavigationList : int {
    kNavigateUp = 0,
    kNavigateDown = 1,
    kNavigateLeft = 2,
    kNavigateRight = 3,
    kNavigateSelect = 4,
    kNavigateBack = 5,
    kNavigationListCount = 6,
};

struct NavigationKeyList {
    static constexpr int kMaxKeys = 4;
    int device = 0;
    int count = 0;
    std::array<int, kMaxKeys> codes{};
};

struct NavigationState {
    bool down = false;
    bool pressed = false;
    bool released = false;
};

struct NavigationKeys {
    std::array<NavigationKeyList, kNavigationListCount> lists{};

    // The standard lists: pad 256 and 38 up, 257 and 40 down, 258 and 37 left, 259 and 39 right, 260 and 13
    // select, 261, 8 and 27 back.
    void Build();
    void Free() { lists = {}; }
    // Reads the list's keys (taking their edges for the frame).
    NavigationState Read(InputDevice& input, int list) const;
};

}  // namespace engine
