// WideString numbers and comparisons without regard to case.
#include <array>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstring>

#include "engine/core/wide_string.h"

namespace engine {

namespace {

std::atomic<char16_t> g_thousandsSeparator{u','};

// One fold for every comparison: ASCII letters and the Latin-1 letters, lower case onto upper case. The
// multiplication and division signs (0xD7, 0xF7) sit among the letters but have no case; characters above
// 0xFF compare exactly.
constexpr std::array<char16_t, 256> MakeFoldTable() {
    std::array<char16_t, 256> table{};
    for (int c = 0; c < 256; ++c) {
        const bool lower = (c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7);
        table[c] = static_cast<char16_t>(lower ? c - 32 : c);
    }
    return table;
}

constexpr std::array<char16_t, 256> kFold = MakeFoldTable();

inline bool SameNoCase(char16_t a, char16_t b) { return a == b || (a < 256 && b < 256 && kFold[a] == kFold[b]); }

}  // namespace

void SetThousandsSeparator(const char* separator) {
    const char16_t c =
        separator != nullptr && separator[0] != 0 ? static_cast<unsigned char>(separator[0]) : u',';
    g_thousandsSeparator.store(c, std::memory_order_relaxed);
}

bool WideString::AppendInt(int value, bool grouping) {
    // Digits are written from the right; 10 digits, 3 separators and a sign at most.
    char16_t text[16];
    std::size_t start = sizeof(text) / sizeof(text[0]);
    const long long wide = value;
    unsigned long long magnitude = static_cast<unsigned long long>(wide < 0 ? -wide : wide);
    const char16_t separator = g_thousandsSeparator.load(std::memory_order_relaxed);
    int digits = 0;
    do {
        if (grouping && digits > 0 && digits % 3 == 0) text[--start] = separator;
        text[--start] = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
        ++digits;
    } while (magnitude != 0);
    if (value < 0) text[--start] = u'-';
    return AppendChars(text + start, sizeof(text) / sizeof(text[0]) - start);
}

bool WideString::AppendFloat(double value) {
    // Room for the largest finite double written out in full.
    char text[400];
    std::to_chars_result result;
    if (value == std::trunc(value)) {
        if (value == 0) value = 0;  // no "-0"
        result = std::to_chars(text, text + sizeof(text), value, std::chars_format::fixed, 0);
    } else {
        result = std::to_chars(text, text + sizeof(text), value, std::chars_format::fixed, 2);
    }
    if (result.ec != std::errc()) return false;
    return AppendBytes(text, static_cast<std::size_t>(result.ptr - text));
}

bool WideString::Equals(const WideString& other) const {
    if (length_ != other.length_) return false;
    for (std::size_t i = 0; i < length_; ++i) {
        if (!SameNoCase(buffer_[i], other.buffer_[i])) return false;
    }
    return true;
}

bool WideString::EqualsNarrow(const char* text) const {
    const std::size_t n = text != nullptr ? std::strlen(text) : 0;
    if (n != length_) return false;
    for (std::size_t i = 0; i < n; ++i) {
        if (!SameNoCase(buffer_[i], static_cast<unsigned char>(text[i]))) return false;
    }
    return true;
}

bool WideString::ContainsNoCase(const WideString& other) const {
    const std::size_t n = other.length_;
    if (n == 0) return true;
    for (std::size_t i = 0; n <= length_ && i <= length_ - n; ++i) {
        std::size_t j = 0;
        while (j < n && SameNoCase(buffer_[i + j], other.buffer_[j])) ++j;
        if (j == n) return true;
    }
    return false;
}

bool WideStringEqualsNarrow(const WideString& string, const char* text) { return string.EqualsNarrow(text); }

}  // namespace engine
