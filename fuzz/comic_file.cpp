// Reads arbitrary bytes as a comic file. A file either fails (and the wait comic would play) or gives at
// most 31 events, each with an argument where its keyword needs one and a finite start time.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/platform/script_reader.h"
#include "game/screens/comic_player.h"

namespace {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

bool NeedsArgument(game::ComicAction action) {
    switch (action) {
        case game::ComicAction::kLeftOn:
        case game::ComicAction::kRightOn:
        case game::ComicAction::kLeftSpeak:
        case game::ComicAction::kRightSpeak: return true;
        default: return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    engine::ScriptReader reader;
    if (reader.LoadFromImage(data, size, "comic") == 0) return 0;
    std::vector<game::ComicEvent> events;
    const bool ok = game::ParseComic(reader, events);
    Check(reader.Cursor() <= reader.Length());
    if (!ok) return 0;
    Check(events.size() < static_cast<std::size_t>(game::kComicEventSlots));
    for (const game::ComicEvent& event : events) {
        Check(std::isfinite(event.start));
        Check(!NeedsArgument(event.action) || !event.argument.empty());
    }
    return 0;
}
