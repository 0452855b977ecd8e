// Parses arbitrary bytes as an animation text, then plays every action it gave over a fixed run of times.
// Frames must stay within what the records hold, entries within the per-record limit, and every play must
// end (spawn chains included).
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/core/frame_timer.h"
#include "engine/platform/script_reader.h"
#include "engine/scene/action_parser.h"
#include "engine/scene/animation_player.h"
#include "engine/scene/animation_set.h"
#include "engine/scene/scene_node.h"

namespace {

using namespace engine;

double g_seconds = 0.0;

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

void PlayAll(const std::shared_ptr<AnimationSet>& set, const FrameTimer& timer) {
    SceneNode* node = SceneNode::Init(kNodeGroup, "fuzz");
    node->SetAnimationSet(set);
    AnimationPlayer* player = node->CreateAnimationPlayer(&timer);
    for (AnimationRecord* record = set->Head(); record != nullptr; record = record->next) {
        Check(record->EntryCount() <= ActionParser::kMaxEntries);
        g_seconds = 0.0;
        player->Play(record->name.GetNarrow(), true);
        for (double t : {0.0, 0.00005, 0.3, 1.0, 7.5, 1000.0}) {
            g_seconds = t;
            const int frame = player->GetFrame();
            Check(frame >= 0 && frame <= ActionParser::kMaxFrame);
            player->TakeFinished();
        }
    }
    node->Destroy();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
    static const FrameTimer timer([] { return std::chrono::nanoseconds(static_cast<long long>(g_seconds * 1e9)); });
    ScriptReader reader;
    if (reader.LoadFromImage(input, size, "fuzz") == 0) return 0;
    if (std::shared_ptr<AnimationSet> set = ActionParser::ReadFile(reader)) PlayAll(set, timer);
    // The section parser on the whole text too, without the block keywords around it.
    ScriptReader whole;
    whole.LoadFromImage(input, size, "fuzz");
    auto set = std::make_shared<AnimationSet>();
    ActionParser::Parse(whole, *set);
    PlayAll(set, timer);
    return 0;
}
