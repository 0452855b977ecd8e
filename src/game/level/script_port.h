#pragma once
// The mission script's blocks as the game's states wait on them. The program leaves it unset and the game
// asks the loaded level's own script manager; tests put a recording fake here.
namespace game {

class ScriptPort {
public:
    virtual ~ScriptPort() = default;
    // Steps the running blocks; true when all have finished.
    virtual bool RunBlocks() = 0;
    virtual bool IsAnyBlockRunning() const = 0;
    virtual void FireDayStart(int day) = 0;
};

}  // namespace game
