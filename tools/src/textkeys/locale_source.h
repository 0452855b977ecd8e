#pragma once
// Locale sources: UTF-8 text of "[KEY] text" lines, one entry a line, that become the UTF-16LE locale files
// the game's string table reads. Blank lines and lines starting with "//" are the source's own and are
// dropped. Everything the string table would misread is refused: bad UTF-8, a character the fonts lack
// (outside 32..126 and 160..254), an empty text, "//" in a text (the reader starts a comment there), a line
// over 1020 characters, a key other than [A-Z0-9_]+, a key given twice, two keys of one CRC-32 key (the
// table keeps only the key's hash) and more than 1024 entries (the table's rows).
#include <cstdint>
#include <string>
#include <vector>

namespace textkeys {

struct LocaleEntry {
    std::string key;
    std::u16string text;
    int line = 0;  // in the source, 1-based
};

struct LocaleFault {
    int line = 0;  // 0: the file as a whole
    std::string message;
};

inline constexpr std::size_t kMaxEntries = 1024;
inline constexpr std::size_t kMaxLineCharacters = 1020;

// Reads the source into entries in source order; false with the first fault.
bool ParseLocaleSource(const std::string& source, std::vector<LocaleEntry>& entries, LocaleFault& fault);

// The locale file: a byte-order mark, then "[KEY] text" and a line break for each entry, in UTF-16LE.
std::vector<std::uint8_t> EncodeLocaleFile(const std::vector<LocaleEntry>& entries);

// A credits source: UTF-8 lines of plain text, a line starting with "#" being a heading. The game reads the
// whole file as one text, so every line counts, blank ones included; trailing blank lines are dropped.
// Refused: bad UTF-8, characters the fonts lack, tabs, "//" (the reader would start a comment), "%" and "@"
// (the text is drawn with markup). The result is the UTF-16LE file with a byte-order mark and CR LF breaks.
bool BuildCreditsFile(const std::string& source, std::vector<std::uint8_t>& file, LocaleFault& fault);

}  // namespace textkeys
