#pragma once
// The pieces of a mission script: one tokenised command line, the command base class and a named block of
// commands that runs over several frames. The commands themselves are in script_commands.h, the loader and
// the running of the blocks in script_manager.h.
#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/wide_string.h"

namespace engine {
class ScriptReader;
}  // namespace engine

namespace game {

class ScriptManager;

inline constexpr int kMaxScriptArguments = 8;
// A block holds at most one command fewer than this; a block that reaches it is refused whole.
inline constexpr int kScriptActionSlots = 128;
// Command lines are at most this long; longer ones are skipped.
inline constexpr std::size_t kMaxScriptLineLength = 255;

// What ScriptAction::Execute answers.
enum ScriptResult : int {
    kScriptPending = 0,  // not finished: call again next frame
    kScriptDone = 1,
    kScriptFailed = 2,  // the block goes on as after kScriptDone
};

struct ScriptLine {
    int argumentCount = 0;  // 0..8
    engine::WideString keyword;
    std::array<engine::WideString, kMaxScriptArguments> arguments;

    // Argument 0..7; an empty text past the last one.
    const engine::WideString& Argument(int index) const;
};

// Splits a command line KEYWORD(argument,argument,...): the keyword ends at the first comma, blank, tab or
// parenthesis, which is used up with it; the arguments are split at commas, tabs and parentheses only, so
// blanks inside an argument stay (one after a comma starts the next argument). Runs of delimiters count as
// one; arguments past the eighth are dropped. False when the line holds no keyword. The wide text is used
// as it stands.
bool TokenizeScriptLine(const engine::WideString& line, ScriptLine& out);

// "TEAM_NEUTRAL", "TEAM_ALLY1".."TEAM_ALLY3", "TEAM_ENEMY": team kind 0..4; 5 for anything else.
int ParseTeamKeyword(std::string_view text);
// "TD_ABOVE", "TD_RIGHTUP", "TD_RIGHTDN", "TD_BELOW", "TD_LEFTDN", "TD_LEFTUP": direction 0..5; 6 otherwise.
int ParseDirectionKeyword(std::string_view text);
// The argument as plain ASCII for the keyword and label readers; empty when it holds any other character,
// so that no character is read by its low byte alone.
std::string ScriptArgumentAscii(const engine::WideString& text);

// One command of a block. Parse takes the arguments when the script loads; Execute runs it once per frame
// until it answers kScriptDone or kScriptFailed. A command keeps its own state for the life of the level.
class ScriptAction {
public:
    explicit ScriptAction(ScriptManager& manager) : manager_(manager) {}
    virtual ~ScriptAction() = default;
    ScriptAction(const ScriptAction&) = delete;
    ScriptAction& operator=(const ScriptAction&) = delete;

    // False refuses the command.
    virtual bool Parse(const ScriptLine& line) = 0;
    virtual int Execute() = 0;

protected:
    ScriptManager& Manager() const { return manager_; }

private:
    ScriptManager& manager_;
};

// The command class of a keyword (any case) made over the manager; null for an unknown keyword.
std::unique_ptr<ScriptAction> CreateScriptAction(const engine::WideString& keyword, ScriptManager& manager);

class ScriptBlock {
public:
    explicit ScriptBlock(const engine::WideString& name) : name_(name) {}

    const engine::WideString& GetName() const { return name_; }
    // Reads "{", the command lines and "}". False, with the line that failed used up, when "{" is missing,
    // the block reaches kScriptActionSlots commands or the text ends before "}". Unknown keywords, refused
    // commands and over-long lines are skipped and reported through the manager.
    bool Parse(engine::ScriptReader& reader, ScriptManager& manager);
    // Appends a ready command; false when the block is full.
    bool Append(std::unique_ptr<ScriptAction> action);
    int GetActionCount() const { return static_cast<int>(actions_.size()); }

    // Runs from the first command: one Step at once. Returns done (1 when every command finished in it).
    int Start();
    // Executes commands from the current one while they finish; 1 when the block is done.
    int Step();
    bool IsRunning() const { return running_; }
    bool IsDone() const { return done_; }
    // The place of each command that answered kScriptFailed, in the order they ran; the data validator names
    // them, since the block goes on past them unseen.
    const std::vector<int>& GetFailedCommands() const { return failed_; }
    // The place of the command that runs now (or ran last).
    int GetCurrentCommand() const { return static_cast<int>(current_); }

private:
    engine::WideString name_;
    bool done_ = false;
    bool running_ = false;
    std::size_t current_ = 0;
    std::vector<std::unique_ptr<ScriptAction>> actions_;
    std::vector<int> failed_;
};

}  // namespace game
