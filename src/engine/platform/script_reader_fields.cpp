// ScriptReader: lines, and the texts and integers of a line's fields.
#include <climits>
#include <cstdlib>
#include <cstring>

#include "engine/platform/script_reader.h"

namespace engine {

namespace {

bool IsSeparator(char c, const char* separators) { return c != 0 && std::strchr(separators, c) != nullptr; }

// Splits text the way strtok does: separators in a row count as one, so no field is empty. Each call gives
// the next field's start and length, or false when there is none left.
class FieldSplitter {
public:
    FieldSplitter(char* text, std::size_t length, const char* separators)
        : text_(text), length_(length), separators_(separators) {}

    bool Next(char*& field, std::size_t& fieldLength) {
        while (at_ < length_ && IsSeparator(text_[at_], separators_)) ++at_;
        if (at_ == length_) return false;
        const std::size_t start = at_;
        while (at_ < length_ && !IsSeparator(text_[at_], separators_)) ++at_;
        field = text_ + start;
        fieldLength = at_ - start;
        return true;
    }

private:
    char* text_;
    std::size_t length_;
    const char* separators_;
    std::size_t at_ = 0;
};

WideString WidenField(const char* field, std::size_t n) {
    WideString result;
    if (n > 0 && result.Resize(n)) {
        char16_t* out = result.MutableData();
        for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<unsigned char>(field[i]);
    }
    return result;
}

// "%i": strtol with base 0 on the field alone, so "0x10" is 16, "010" is 8 and "08" is 0.
bool ParseIntField(char* field, std::size_t n, int& value) {
    const char saved = field[n];
    field[n] = 0;
    char* end = nullptr;
    const long parsed = std::strtol(field, &end, 0);
    field[n] = saved;
    if (end == field) return false;
    value = parsed > INT_MAX ? INT_MAX : parsed < INT_MIN ? INT_MIN : static_cast<int>(parsed);
    return true;
}

}  // namespace

bool ScriptReader::IsLineEnd(std::size_t index) const {
    const char16_t c = text_[index];
    if (c == u'\t') return false;
    return c < 32 || IsCommentAt(index);
}

void ScriptReader::SkipLine() {
    SkipBlanksAndComments();
    while (cursor_ < length_ && !IsLineEnd(cursor_)) ++cursor_;
    SkipBlanksAndComments();
}

bool ScriptReader::NextLine(std::size_t& start, std::size_t& count) {
    SkipBlanksAndComments();
    start = cursor_;
    count = 0;
    // The end of the text ends a line as a line break does.
    std::size_t n = 0;
    while (start + n < length_ && !IsLineEnd(start + n)) {
        if (++n > kMaxLineLength) return false;
    }
    cursor_ = start + n;
    SkipBlanksAndComments();
    while (n > 0 && text_[start + n - 1] <= 32) --n;
    count = n;
    return true;
}

WideString ScriptReader::ReadLine() {
    std::size_t start = 0;
    std::size_t count = 0;
    if (!NextLine(start, count)) return WideString();
    return MakeText(Text() + start, count);
}

std::size_t ScriptReader::ReadNarrowLine(char* out) {
    std::size_t start = 0;
    std::size_t count = 0;
    if (!NextLine(start, count)) count = 0;
    // The narrow form is a C string: a character whose low byte is 0 ends it.
    std::size_t n = 0;
    while (n < count && static_cast<char>(text_[start + n]) != 0) {
        out[n] = static_cast<char>(text_[start + n]);
        ++n;
    }
    out[n] = 0;
    return n;
}

int ScriptReader::ReadPair(WideString& first, WideString& second) {
    first.Clear();
    second.Clear();
    char line[kMaxLineLength + 1];
    const std::size_t n = ReadNarrowLine(line);
    FieldSplitter fields(line, n, ",\t");
    char* field = nullptr;
    std::size_t fieldLength = 0;
    if (!fields.Next(field, fieldLength)) return 0;
    first = WidenField(field, fieldLength);
    if (fields.Next(field, fieldLength)) second = WidenField(field, fieldLength);
    return 1;
}

int ScriptReader::ReadInts(int* values, int count) {
    const std::size_t saved = cursor_;
    char line[kMaxLineLength + 1];
    const std::size_t n = ReadNarrowLine(line);
    FieldSplitter fields(line, n, ", \t");
    int parsed[3] = {0, 0, 0};
    for (int i = 0; i < count; ++i) {
        char* field = nullptr;
        std::size_t fieldLength = 0;
        if (!fields.Next(field, fieldLength) || !ParseIntField(field, fieldLength, parsed[i])) {
            cursor_ = saved;
            return 0;
        }
    }
    for (int i = 0; i < count; ++i) values[i] = parsed[i];
    return 1;
}

int ScriptReader::ReadInt(int& a) { return ReadInts(&a, 1); }

int ScriptReader::ReadInt2(int& a, int& b) {
    int values[2];
    if (!ReadInts(values, 2)) return 0;
    a = values[0];
    b = values[1];
    return 1;
}

int ScriptReader::ReadInt3(int& a, int& b, int& c) {
    int values[3];
    if (!ReadInts(values, 3)) return 0;
    a = values[0];
    b = values[1];
    c = values[2];
    return 1;
}

}  // namespace engine
