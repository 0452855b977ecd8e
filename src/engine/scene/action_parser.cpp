#include "engine/scene/action_parser.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "engine/platform/script_reader.h"
#include "engine/scene/animation_set.h"

namespace engine {
namespace {

bool AtSectionStart(const ScriptReader& reader) {
    return reader.Cursor() < reader.Length() && reader.Text()[reader.Cursor()] == u'[';
}

// A non-negative decimal number of at least one digit followed by blanks only; false otherwise or above
// the frame limit.
bool ParseFrame(const char* text, long& out) {
    while (*text == ' ') ++text;
    if (!std::isdigit(static_cast<unsigned char>(*text))) return false;
    char* end = nullptr;
    out = std::strtol(text, &end, 10);
    while (*end == ' ') ++end;
    return *end == '\0' && out >= 0 && out <= ActionParser::kMaxFrame;
}

float ParseSeconds(const char* text) {
    const double value = std::strtod(text, nullptr);
    if (!std::isfinite(value) || !(value >= ActionParser::kMinSeconds)) return ActionParser::kMinSeconds;
    return static_cast<float>(value);
}

void ReadEnding(ScriptReader& reader, AnimationSet& set, AnimationRecord& record) {
    WideString ending, target;
    reader.ReadPair(ending, target);
    if (ending.EqualsNarrow("loop")) {
        record.endMode = kAnimationLoop;
    } else if (ending.EqualsNarrow("spawn")) {
        // Only an action read before this one can be the target; otherwise the action holds.
        AnimationRecord* spawned = target.IsEmpty() ? nullptr : set.Find(target.GetNarrow());
        record.endMode = spawned != nullptr ? kAnimationSpawn : kAnimationHold;
        record.spawnTarget = spawned;
    } else {
        record.endMode = kAnimationHold;
    }
}

// The frame lines up to the next section; false when memory runs out.
bool ReadFrames(ScriptReader& reader, AnimationRecord& record) {
    while (reader.Cursor() < reader.Length() && !AtSectionStart(reader)) {
        const std::size_t before = reader.Cursor();
        WideString frames, seconds;
        if (reader.ReadPair(frames, seconds) == 0) {
            if (reader.Cursor() == before) reader.SkipLine();  // a line too long to read
            continue;
        }
        const char* text = frames.GetNarrow();
        long first = 0, last = 0;
        const char* dash = std::strchr(text, '-');
        bool valid = false;
        if (dash != nullptr) {
            const std::string low(text, static_cast<std::size_t>(dash - text));
            valid = ParseFrame(low.c_str(), first) && ParseFrame(dash + 1, last);
        } else {
            valid = ParseFrame(text, first);
            last = first;
        }
        if (!valid) continue;
        const float each = ParseSeconds(seconds.GetNarrow());
        for (long frame = first; frame <= last && record.EntryCount() < ActionParser::kMaxEntries; ++frame) {
            if (!record.AddEntry(static_cast<int>(frame), each)) return false;
        }
    }
    return true;
}

}  // namespace

bool ActionParser::Parse(ScriptReader& block, AnimationSet& set) {
    while (block.FindKeyword("ACTION", false) != 0) {
        // An action needs a name line; a section keyword straight after "[ACTION]" starts no action.
        if (block.Cursor() >= block.Length() || AtSectionStart(block)) continue;
        const WideString name = block.ReadLine();
        auto* record = new (std::nothrow) AnimationRecord;
        if (record == nullptr || !record->Init(name.GetNarrow())) {
            delete record;
            return false;
        }
        set.Add(record);
        // A section keyword where the ending should be leaves the action empty, holding.
        if (block.Cursor() >= block.Length() || AtSectionStart(block)) continue;
        ReadEnding(block, set, *record);
        if (!ReadFrames(block, *record)) return false;
    }
    return true;
}

std::shared_ptr<AnimationSet> ActionParser::ReadFile(ScriptReader& file) {
    std::unique_ptr<ScriptReader> block = file.ExtractSection(true, "ANIMATION_V1", "ENDANIMATION");
    if (block == nullptr) return nullptr;
    std::shared_ptr<AnimationSet> set(new (std::nothrow) AnimationSet);
    if (set == nullptr || !Parse(*block, *set)) return nullptr;
    return set;
}

}  // namespace engine
