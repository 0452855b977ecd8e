// Script lines, keywords and the blocks: parsing one block from the script text and stepping it.
#include "game/level/script_block.h"

#include <cstring>
#include <string>

#include "engine/platform/script_reader.h"
#include "game/level/script_manager.h"

namespace game {
namespace {

bool IsArgumentDelimiter(char16_t c) { return c == u',' || c == u'\t' || c == u'(' || c == u')'; }
bool IsKeywordDelimiter(char16_t c) { return IsArgumentDelimiter(c) || c == u' '; }

template <typename Delimiter>
bool NextToken(const char16_t* text, std::size_t length, std::size_t& at, Delimiter isDelimiter,
               engine::WideString& out) {
    while (at < length && isDelimiter(text[at])) ++at;
    if (at == length) return false;
    const std::size_t start = at;
    while (at < length && !isDelimiter(text[at])) ++at;
    out.Clear();
    if (out.Resize(at - start)) std::memcpy(out.MutableData(), text + start, (at - start) * sizeof(char16_t));
    // The delimiter that ended the token is used up with it, so the blank that ends a keyword does not
    // start the first argument.
    if (at < length) ++at;
    return true;
}

int FindKeyword(std::string_view text, const char* const* names, int count) {
    const engine::WideString wide(std::string(text).c_str());
    for (int i = 0; i < count; ++i) {
        if (wide.EqualsNarrow(names[i])) return i;
    }
    return count;
}

std::string Narrow(const engine::WideString& text) { return ScriptArgumentAscii(text); }

}  // namespace

const engine::WideString& ScriptLine::Argument(int index) const {
    static const engine::WideString empty;
    return index >= 0 && index < argumentCount ? arguments[static_cast<std::size_t>(index)] : empty;
}

bool TokenizeScriptLine(const engine::WideString& line, ScriptLine& out) {
    out.argumentCount = 0;
    out.keyword.Clear();
    const char16_t* text = line.Data();
    const std::size_t length = line.Length();
    std::size_t at = 0;
    if (!NextToken(text, length, at, IsKeywordDelimiter, out.keyword)) return false;
    while (out.argumentCount < kMaxScriptArguments &&
           NextToken(text, length, at, IsArgumentDelimiter, out.arguments[static_cast<std::size_t>(out.argumentCount)])) {
        ++out.argumentCount;
    }
    return true;
}

int ParseTeamKeyword(std::string_view text) {
    static constexpr const char* kNames[] = {"TEAM_NEUTRAL", "TEAM_ALLY1", "TEAM_ALLY2", "TEAM_ALLY3", "TEAM_ENEMY"};
    return FindKeyword(text, kNames, 5);
}

int ParseDirectionKeyword(std::string_view text) {
    static constexpr const char* kNames[] = {"TD_ABOVE", "TD_RIGHTUP", "TD_RIGHTDN", "TD_BELOW", "TD_LEFTDN", "TD_LEFTUP"};
    return FindKeyword(text, kNames, 6);
}

std::string ScriptArgumentAscii(const engine::WideString& text) {
    std::string out;
    out.reserve(text.Length());
    for (std::size_t i = 0; i < text.Length(); ++i) {
        const char16_t c = text.Data()[i];
        if (c == 0 || c >= 128) return {};
        out.push_back(static_cast<char>(c));
    }
    return out;
}

bool ScriptBlock::Parse(engine::ScriptReader& reader, ScriptManager& manager) {
    reader.SkipBlanksAndComments();
    const std::size_t first = reader.Cursor();
    manager.MarkLine(first);
    if (first < reader.Length() && reader.Text()[first] == u'[') {
        // The next block's name: it is left for the loader, so that only this block is lost.
        manager.Report("block \"" + Narrow(name_) + "\" does not start with {");
        return false;
    }
    if (!reader.ReadLine().EqualsNarrow("{")) {
        // A line too long to read is used up as well.
        if (reader.Cursor() < reader.Length()) reader.SkipLine();
        manager.Report("block \"" + Narrow(name_) + "\" does not start with {");
        return false;
    }
    for (;;) {
        if (actions_.size() >= kScriptActionSlots) {
            manager.Report("block \"" + Narrow(name_) + "\" holds 128 or more commands");
            return false;
        }
        reader.SkipBlanksAndComments();
        const std::size_t start = reader.Cursor();
        if (start >= reader.Length()) {
            // Reported on the block's last line.
            manager.Report("block \"" + Narrow(name_) + "\" has no closing }");
            return false;
        }
        manager.MarkLine(start);
        const engine::WideString line = reader.ReadLine();
        if (line.IsEmpty()) {
            // Only a line too long for the reader reads as empty here; the cursor has stayed on it.
            reader.SkipLine();
            manager.Report("command line longer than 255 characters skipped");
            continue;
        }
        if (line.EqualsNarrow("}")) return true;
        if (line.Length() > kMaxScriptLineLength) {
            manager.Report("command line longer than 255 characters skipped");
            continue;
        }
        ScriptLine tokens;
        if (!TokenizeScriptLine(line, tokens)) continue;
        std::unique_ptr<ScriptAction> action = CreateScriptAction(tokens.keyword, manager);
        if (action == nullptr) {
            manager.Report("unknown command \"" + Narrow(tokens.keyword) + "\" skipped");
            continue;
        }
        if (!action->Parse(tokens)) {
            manager.Report("command \"" + Narrow(tokens.keyword) + "\" refused: bad arguments");
            continue;
        }
        actions_.push_back(std::move(action));
    }
}

bool ScriptBlock::Append(std::unique_ptr<ScriptAction> action) {
    if (action == nullptr || actions_.size() >= kScriptActionSlots - 1) return false;
    actions_.push_back(std::move(action));
    return true;
}

int ScriptBlock::Start() {
    running_ = true;
    current_ = 0;
    done_ = false;
    Step();
    if (done_) running_ = false;
    return done_ ? 1 : 0;
}

int ScriptBlock::Step() {
    if (done_) return 1;
    while (current_ < actions_.size()) {
        const int result = actions_[current_]->Execute();
        if (result == kScriptPending) return 0;
        if (result == kScriptFailed) failed_.push_back(static_cast<int>(current_));
        ++current_;
    }
    done_ = true;
    running_ = false;
    return 1;
}

}  // namespace game
