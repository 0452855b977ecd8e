#pragma once
// Every text the player reads, looked up by an upper-case key ("GEN_BACK", "ANN_YOURTURN"). Table 0 holds
// the game's global texts, loaded once at start-up from "Locale/eng.txt"; table 1 holds the texts of the
// current campaign, replaced from "<folder>/Locale/eng.txt" whenever a campaign loads. Keys are kept only as
// their CRC-32 key; a key found in neither table gives "No String".
//
// Locale files are read through the text-script reader: ASCII, or UTF-16LE with a byte-order mark (marked
// UTF-8 is widened byte by byte); "//" starts a comment. Each entry is a bracketed key followed by its text
// on the rest of the same line. Reading stops at the first entry whose key or text is empty, and after the
// table's last row.
#include <cstdint>
#include <vector>

#include "engine/core/wide_string.h"

namespace engine {
class LanguageInfo;
class ScriptReader;
}  // namespace engine

namespace game {

class StringTable {
public:
    static constexpr int kTableCount = 2;
    static constexpr int kRowCount = 1024;
    static constexpr const char* kNoString = "No String";

    StringTable();
    StringTable(const StringTable&) = delete;
    StringTable& operator=(const StringTable&) = delete;

    // Language bits and both counts 0, every row empty.
    void Init();
    // Loads table 0 with the language of the engine's language object (of the process environment when there
    // is no engine). The language bits become the system's bit when it is 8, 32, 64 or 128, else 1; 0 when the
    // file cannot be read, table 0 then staying empty.
    void Load();
    void Load(const engine::LanguageInfo& language);
    // Replaces table `index` with "<folder>/Locale/<code>.txt"; its count is reset first, so a campaign without
    // a locale file leaves the table empty. Only table 1 is a campaign's: any other index changes nothing and
    // gives false. False also when the file cannot be read.
    bool LoadCampaignTexts(int index, const char* folder);
    // Reads the reader's entries into table `index` from its first row on (an index out of range reads
    // nothing). Returns the rows read.
    int ReadTable(int index, engine::ScriptReader& reader);

    // The key's text from table 0, else table 1, else "No String". Keys match byte for byte; of two keys
    // with the same CRC-32 key the earlier row answers. The text is a copy: it stays valid when a table is
    // reloaded.
    engine::WideString Lookup(const char* key) const;
    // The same in one table only ("No String" also for an index out of range).
    engine::WideString LookupInTable(const char* key, int index) const;

    int GetLanguageBits() const { return languageBits_; }
    int GetRowCount(int index) const;
    // The code in the locale file's name: "eng" for every language.
    static const char* GetLanguageCode(int bits);

private:
    struct Row {
        std::uint32_t hash = 0;
        engine::WideString text;
    };

    // The row of the hash in one table, or null.
    const Row* Find(std::uint32_t hash, int index) const;
    void Clear(int index);

    int languageBits_ = 0;
    int counts_[kTableCount] = {};
    std::vector<Row> rows_[kTableCount];
};

// The program's string table, or null before the entry made it and after it was destroyed.
StringTable* GetStringTable();
void SetStringTable(StringTable* table);

}  // namespace game
