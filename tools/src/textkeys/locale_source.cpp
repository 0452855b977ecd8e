#include "textkeys/locale_source.h"

#include <map>
#include <set>

#include "engine/core/crc32.h"

namespace textkeys {

namespace {

// Decodes one UTF-8 sequence at `at`; false for a bad sequence (overlong, surrogate, beyond U+10FFFF, cut).
bool DecodeUtf8(const std::string& text, std::size_t& at, char32_t& out) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    int extra = 0;
    char32_t value = 0;
    char32_t least = 0;
    if (lead < 0x80) {
        out = lead;
        ++at;
        return true;
    }
    if ((lead & 0xE0) == 0xC0) {
        extra = 1, value = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, value = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, value = lead & 0x07, least = 0x10000;
    } else {
        return false;
    }
    if (at + static_cast<std::size_t>(extra) >= text.size()) return false;
    for (int i = 1; i <= extra; ++i) {
        const unsigned char next = byte(at + static_cast<std::size_t>(i));
        if ((next & 0xC0) != 0x80) return false;
        value = (value << 6) | (next & 0x3F);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
    at += static_cast<std::size_t>(extra) + 1;
    out = value;
    return true;
}

bool IsFontCharacter(char32_t c) { return (c >= 32 && c <= 126) || (c >= 160 && c <= 254); }

std::string Hex(char32_t c) {
    static const char* digits = "0123456789ABCDEF";
    std::string text = "U+";
    for (int shift = c > 0xFFFF ? 20 : 12; shift >= 0; shift -= 4) text += digits[(c >> shift) & 0xF];
    return text;
}

bool Fail(LocaleFault& fault, int line, std::string message) {
    fault.line = line;
    fault.message = std::move(message);
    return false;
}

}  // namespace

bool ParseLocaleSource(const std::string& source, std::vector<LocaleEntry>& entries, LocaleFault& fault) {
    entries.clear();
    std::map<std::string, int> keyLines;
    std::map<std::uint32_t, std::string> crcKeys;
    std::size_t start = 0;
    // A byte-order mark at the start of a UTF-8 file is not text.
    if (source.compare(0, 3, "\xEF\xBB\xBF") == 0) start = 3;
    for (int lineNumber = 1; start < source.size(); ++lineNumber) {
        std::size_t end = source.find('\n', start);
        if (end == std::string::npos) end = source.size();
        std::string line = source.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();

        std::u32string characters;
        for (std::size_t at = 0; at < line.size();) {
            char32_t c = 0;
            if (!DecodeUtf8(line, at, c)) return Fail(fault, lineNumber, "not UTF-8");
            characters += c;
        }
        if (characters.find_first_not_of(U" \t") == std::u32string::npos) continue;
        if (line.rfind("//", 0) == 0) continue;
        if (characters.size() > kMaxLineCharacters) {
            return Fail(fault, lineNumber, "longer than 1020 characters");
        }
        if (line[0] != '[') return Fail(fault, lineNumber, "not a \"[KEY] text\" line");
        const std::size_t close = line.find(']');
        if (close == std::string::npos) return Fail(fault, lineNumber, "the key has no closing \"]\"");
        const std::string key = line.substr(1, close - 1);
        if (key.empty() || key.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_") != std::string::npos) {
            return Fail(fault, lineNumber, "key \"" + key + "\" is not made of A-Z, 0-9 and _");
        }
        // The text: the rest of the line after the blanks that follow the key.
        std::u32string text = characters.substr(close + 1);  // the key is ASCII, so indexes agree
        text.erase(0, text.find_first_not_of(U" \t"));
        while (!text.empty() && (text.back() == U' ' || text.back() == U'\t')) text.pop_back();
        if (text.empty()) return Fail(fault, lineNumber, "key " + key + " has an empty text");
        if (text.find(U"//") != std::u32string::npos) {
            return Fail(fault, lineNumber, "\"//\" in the text of " + key + " (the reader would end the text there)");
        }
        std::u16string wide;
        for (char32_t c : text) {
            if (!IsFontCharacter(c)) {
                return Fail(fault, lineNumber, "character " + Hex(c) + " in " + key + " is outside 32-126 and 160-254");
            }
            wide += static_cast<char16_t>(c);
        }
        if (const auto seen = keyLines.find(key); seen != keyLines.end()) {
            return Fail(fault, lineNumber, "key " + key + " already given on line " + std::to_string(seen->second));
        }
        const std::uint32_t crc = engine::Crc32OfText(key.c_str());
        if (const auto same = crcKeys.find(crc); same != crcKeys.end()) {
            return Fail(fault, lineNumber, "keys " + same->second + " and " + key + " have the same CRC-32 key");
        }
        if (entries.size() == kMaxEntries) return Fail(fault, lineNumber, "more than 1024 entries");
        keyLines.emplace(key, lineNumber);
        crcKeys.emplace(crc, key);
        entries.push_back({key, std::move(wide), lineNumber});
    }
    return true;
}

std::vector<std::uint8_t> EncodeLocaleFile(const std::vector<LocaleEntry>& entries) {
    std::vector<std::uint8_t> out = {0xFF, 0xFE};
    const auto put = [&](char16_t c) {
        out.push_back(static_cast<std::uint8_t>(c & 0xFF));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
    };
    for (const LocaleEntry& entry : entries) {
        put(u'[');
        for (char c : entry.key) put(static_cast<char16_t>(c));
        put(u']');
        put(u' ');
        for (char16_t c : entry.text) put(c);
        put(u'\r');
        put(u'\n');
    }
    return out;
}

bool BuildCreditsFile(const std::string& source, std::vector<std::uint8_t>& file, LocaleFault& fault) {
    std::vector<std::u16string> lines;
    std::size_t start = source.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    for (int lineNumber = 1; start < source.size(); ++lineNumber) {
        std::size_t end = source.find('\n', start);
        if (end == std::string::npos) end = source.size();
        std::string line = source.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find("//") != std::string::npos) return Fail(fault, lineNumber, "\"//\" would start a comment");
        std::u16string wide;
        for (std::size_t at = 0; at < line.size();) {
            char32_t c = 0;
            if (!DecodeUtf8(line, at, c)) return Fail(fault, lineNumber, "not UTF-8");
            if (c == U'%' || c == U'@') return Fail(fault, lineNumber, "\"%\" and \"@\" are not allowed in credits");
            if (!IsFontCharacter(c)) {
                return Fail(fault, lineNumber, "character " + Hex(c) + " is outside 32-126 and 160-254");
            }
            wide += static_cast<char16_t>(c);
        }
        while (!wide.empty() && wide.back() == u' ') wide.pop_back();
        lines.push_back(std::move(wide));
    }
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    if (lines.empty()) return Fail(fault, 0, "the credits are empty");
    file = {0xFF, 0xFE};
    for (const std::u16string& line : lines) {
        for (char16_t c : line + u"\r\n") {
            file.push_back(static_cast<std::uint8_t>(c & 0xFF));
            file.push_back(static_cast<std::uint8_t>(c >> 8));
        }
    }
    return true;
}

}  // namespace textkeys
