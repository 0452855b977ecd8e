#pragma once
// The whole life of the program in one straight sequence: settings, engine, string table, game object, the
// start-up state, the main loop, then shutdown in a fixed order.
#include <functional>
#include <memory>

#include "game/core/game_ports.h"

namespace game {

class CoreServices;
class Game;
class GamePlatform;
class MoveChoicePort;
class Profile;

// The program's screens: made before the game, told the game once it exists, deleted right after it.
class ProgramScreens : public Screens {
public:
    virtual void AttachGame(Game& game) = 0;
    // The move-choice menu the human side's orders use; null: the game's stand-in.
    virtual MoveChoicePort* GetMoveChoice() { return nullptr; }
    // The game core's profile, sound bank, achievements and fonts, told once before the game exists.
    virtual void AttachCoreServices(CoreServices&) {}
};

struct ProgramHooks {
    // The profile the game uses; null: the default profile held in memory.
    Profile* profile = nullptr;
    // Called after each engine frame step with the number of frames stepped so far.
    std::function<void(int frame)> afterFrame;
    // Told each shutdown step as it happens: "exit", "strings", "game", "engine".
    std::function<void(const char* step)> onShutdownStep;
    // Makes the screens; null (or a null result): the game runs without screens.
    std::function<std::unique_ptr<ProgramScreens>(GamePlatform& platform)> makeScreens;
};

// The process's exit code: 0 after a normal quit and when another copy runs, 1 when the engine cannot start.
int RunProgram(const ProgramHooks& hooks = {});

}  // namespace game
