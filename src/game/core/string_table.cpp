#include "game/core/string_table.h"

#include <cstdio>
#include <string>

#include "engine/core/crc32.h"
#include "engine/core/language_info.h"
#include "engine/platform/engine_root.h"
#include "engine/platform/script_reader.h"

namespace game {

namespace {

StringTable* g_table = nullptr;

bool IsTableIndex(int index) { return index >= 0 && index < StringTable::kTableCount; }

// The languages whose bit is kept; any other language reads as 1.
int KeptLanguageBits(int systemBits) {
    switch (systemBits) {
        case engine::kLanguageGerman:
        case engine::kLanguageFrench:
        case engine::kLanguageSpanish:
        case engine::kLanguageItalian:
            return systemBits;
        default:
            return engine::kLanguageOther;
    }
}

// True when nothing but spaces and tabs stand between the cursor and the end of its line: an entry's text
// must be on its key's own line, and a key without one ends the file.
bool RestOfLineIsEmpty(const engine::ScriptReader& reader) {
    const char16_t* text = reader.Text();
    std::size_t at = reader.Cursor();
    while (at < reader.Length() && (text[at] == u' ' || text[at] == u'\t')) ++at;
    if (at >= reader.Length() || text[at] < 32) return true;
    return at + 1 < reader.Length() && text[at] == u'/' && text[at + 1] == u'/';
}

}  // namespace

StringTable* GetStringTable() { return g_table; }

void SetStringTable(StringTable* table) { g_table = table; }

StringTable::StringTable() {
    for (std::vector<Row>& rows : rows_) rows.resize(kRowCount);
}

void StringTable::Init() {
    languageBits_ = 0;
    for (int index = 0; index < kTableCount; ++index) Clear(index);
}

void StringTable::Clear(int index) {
    counts_[index] = 0;
    for (Row& row : rows_[index]) {
        row.hash = 0;
        row.text.Clear();
    }
}

void StringTable::Load() {
    const engine::Engine* engine = engine::GetEngine();
    if (engine != nullptr && engine->GetLanguage() != nullptr) {
        Load(*engine->GetLanguage());
    } else {
        Load(engine::LanguageInfo());
    }
}

void StringTable::Load(const engine::LanguageInfo& language) {
    languageBits_ = KeptLanguageBits(language.GetLanguageBits());
    Clear(0);
    const std::string name = std::string("Locale/") + GetLanguageCode(languageBits_) + ".txt";
    engine::ScriptReader reader;
    if (reader.Load(name.c_str()) == 0) {
        languageBits_ = 0;
        return;
    }
    ReadTable(0, reader);
}

bool StringTable::LoadCampaignTexts(int index, const char* folder) {
    if (index != 1) return false;
    Clear(index);
    const std::string name =
        std::string(folder != nullptr ? folder : "") + "/Locale/" + GetLanguageCode(languageBits_) + ".txt";
    engine::ScriptReader reader;
    if (reader.Load(name.c_str()) == 0) return false;
    ReadTable(index, reader);
    return true;
}

int StringTable::ReadTable(int index, engine::ScriptReader& reader) {
    if (!IsTableIndex(index)) return 0;
    int& count = counts_[index];
    count = 0;
    for (;;) {
        const engine::WideString key = reader.NextKeyword();
        if (key.IsEmpty() || RestOfLineIsEmpty(reader)) break;
        const engine::WideString text = reader.ReadLine();
        if (text.IsEmpty()) break;
        if (count == kRowCount) {
            std::fprintf(stderr, "tinmarch: %s holds more than %d texts; the rest are left out\n",
                         reader.Name().GetNarrow(), kRowCount);
            break;
        }
        Row& row = rows_[index][count];
        row.hash = engine::Crc32OfWideString(key);
        row.text = text;
        ++count;
    }
    return count;
}

const StringTable::Row* StringTable::Find(std::uint32_t hash, int index) const {
    if (!IsTableIndex(index)) return nullptr;
    for (int i = 0; i < counts_[index]; ++i) {
        if (rows_[index][i].hash == hash) return &rows_[index][i];
    }
    return nullptr;
}

engine::WideString StringTable::Lookup(const char* key) const {
    const std::uint32_t hash = engine::Crc32OfText(key);
    for (int index = 0; index < kTableCount; ++index) {
        if (const Row* row = Find(hash, index)) return row->text;
    }
    return engine::WideString(kNoString);
}

engine::WideString StringTable::LookupInTable(const char* key, int index) const {
    const Row* row = Find(engine::Crc32OfText(key), index);
    return row != nullptr ? row->text : engine::WideString(kNoString);
}

int StringTable::GetRowCount(int index) const { return IsTableIndex(index) ? counts_[index] : 0; }

const char* StringTable::GetLanguageCode(int) { return "eng"; }

}  // namespace game
