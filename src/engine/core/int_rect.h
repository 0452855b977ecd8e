#pragma once
// Integer rectangles and points in pixels.

namespace engine {

struct IntPoint {
    int x = 0;
    int y = 0;
};

struct IntRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    // True for points inside the rectangle; the right and bottom edges are outside.
    bool Contains(int px, int py) const {
        return px >= x && py >= y && static_cast<long long>(px) < static_cast<long long>(x) + width &&
               static_cast<long long>(py) < static_cast<long long>(y) + height;
    }
};

}  // namespace engine
