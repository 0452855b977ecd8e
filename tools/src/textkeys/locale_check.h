#pragma once
// The check of the built texts: the archive is mounted as the game mounts it and its locale files are read
// through the game's own string table, then
// - every key of the inventory resolves in the global table;
// - each key of the global and the campaign source reads back exactly as its source text;
// - each text obeys the text rules (text_rules.h);
// - every text of the global source is asked for by some code;
// - the global table keeps headroom under its 1024 rows.
#include <set>
#include <string>
#include <vector>

#include "textkeys/locale_source.h"
#include "textkeys/text_rules.h"

namespace game {
class StringTable;
}  // namespace game

namespace textkeys {

inline constexpr std::size_t kMaxGlobalEntries = 900;

// Appends one line to `faults` for each source entry whose text the table does not give back exactly, or
// that breaks a text rule.
void CheckRoundTrip(const game::StringTable& table, int index, const std::vector<LocaleEntry>& entries,
                    TextTable rules, const std::string& file, std::vector<std::string>& faults);
// Appends one line for each key that the global table does not resolve.
void CheckResolved(const game::StringTable& table, const std::set<std::string>& keys, std::vector<std::string>& faults);

// Appends one line for each entry of the global source that no code asks for: a text left behind when its
// key went out of the code, or one whose key the code only builds indirectly and the family rules miss.
void CheckUsed(const std::vector<LocaleEntry>& entries, const std::set<std::string>& keys,
               std::vector<std::string>& faults);

struct LocaleReport {
    std::vector<std::string> faults;
    std::size_t globalEntries = 0;
};

// The whole check of an archive against the project's sources under `root`.
LocaleReport CheckArchive(const std::string& archivePath, const std::string& root);

}  // namespace textkeys
