// Program entry: opens the game window and draws frames until the window is closed.
#include "sys/gl_window.h"

#include <chrono>
#include <cstdio>
#include <thread>

int main() {
    sys::GlWindow window;
    sys::GlWindowDesc desc;
    if (!window.Open(desc)) {
        std::fprintf(stderr, "tinmarch: cannot open the window: %s\n", window.LastError().c_str());
        return 1;
    }
    while (!window.PollQuit()) {
        sys::ClearColour(0.05f, 0.1f, 0.2f, 1.0f);
        window.Swap();
        std::this_thread::sleep_for(std::chrono::milliseconds(16));
    }
    window.Close();
    return 0;
}
