#pragma once
// The whole life of the program in one straight sequence: settings, engine, string table, game object, the
// start-up state, the main loop, then shutdown in a fixed order.
#include <functional>

namespace game {

class Profile;

struct ProgramHooks {
    // The profile the game uses; null: the default profile held in memory.
    Profile* profile = nullptr;
    // Called after each engine frame step with the number of frames stepped so far.
    std::function<void(int frame)> afterFrame;
    // Told each shutdown step as it happens: "exit", "strings", "game", "engine".
    std::function<void(const char* step)> onShutdownStep;
};

// The process's exit code: 0 after a normal quit and when another copy runs, 1 when the engine cannot start.
int RunProgram(const ProgramHooks& hooks = {});

}  // namespace game
