#pragma once
// The animation text of a scene container: a block between "[ANIMATION_V1]" and "[ENDANIMATION]" holding
// one section per action:
//
//   [ACTION]
//   walk            the action's name
//   loop            the ending: "loop", "hold" or "spawn,<earlier action>" (case-blind)
//   0-15,0.033      frame lines: a frame or an inclusive range a-b, and the seconds each frame shows
//
// The text comes from outside, so frame numbers outside 0-65535 add nothing, an action holds at most
// kMaxEntries entries, and a seconds value that is missing, not a number or below 0.0001 counts as 0.0001.
#include <memory>

namespace engine {

class AnimationSet;
class ScriptReader;

class ActionParser {
public:
    static constexpr int kMaxEntries = 65536;
    static constexpr int kMaxFrame = 65535;
    static constexpr float kMinSeconds = 0.0001f;

    // Reads every action section of the block into set, each new record put at the head. False when memory
    // runs out (the records read so far stay).
    static bool Parse(ScriptReader& block, AnimationSet& set);
    // Cuts the animation block out of a whole text file and parses it into a new set; null when the file
    // holds no block or memory runs out.
    static std::shared_ptr<AnimationSet> ReadFile(ScriptReader& file);
};

}  // namespace engine
