// Reads arbitrary bytes as the global locale file into table 0 of a string table, then looks up fixed keys
// and every bracketed key the file holds. The table must never hold more than its rows, and every lookup must
// give a text (the entry's, or "No String").
#include <cstddef>
#include <cstdint>

#include "engine/core/wide_string.h"
#include "engine/platform/script_reader.h"
#include "game/core/string_table.h"

namespace {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

game::StringTable& Table() {
    static game::StringTable table;
    return table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    engine::ScriptReader reader;
    if (reader.LoadFromImage(data, size, "Locale/eng") == 0) return 0;
    game::StringTable& table = Table();
    table.Init();
    const int rows = table.ReadTable(0, reader);
    Check(rows >= 0 && rows <= game::StringTable::kRowCount && rows == table.GetRowCount(0));

    for (const char* key : {"GEN_BACK", "gen_back", "", "ANN_YOURTURN", "GEN_PIRLYMUEC"}) {
        Check(!table.Lookup(key).IsEmpty());
        Check(!table.LookupInTable(key, 1).IsEmpty());
    }
    engine::ScriptReader keys;
    if (keys.LoadFromImage(data, size, "Locale/eng") == 0) return 0;
    for (;;) {
        const engine::WideString key = keys.NextKeyword();
        if (key.IsEmpty()) break;
        Check(!table.Lookup(key.GetNarrow()).IsEmpty());
    }
    return 0;
}
