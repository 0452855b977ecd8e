// ScriptReader: decoding a file image, blanks and comments, keywords, sections, the whole text and error
// messages. Lines and fields are in script_reader_fields.cpp.
#include "engine/platform/script_reader.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>

namespace engine {

namespace {

bool IsBlank(char16_t c) { return c <= 32; }

std::unique_ptr<char16_t[]> AllocText(std::size_t n) {
    return std::unique_ptr<char16_t[]>(new (std::nothrow) char16_t[n + 1]);
}

}  // namespace

WideString ScriptReader::MakeText(const char16_t* text, std::size_t n) {
    WideString result;
    if (n > 0 && result.Resize(n)) std::memcpy(result.MutableData(), text, n * sizeof(char16_t));
    return result;
}

void ScriptReader::FreeText() {
    text_.reset();
    length_ = 0;
    cursor_ = 0;
}

int ScriptReader::LoadFromImage(const std::uint8_t* bytes, std::size_t size, const char* name) {
    FreeText();
    baseLine_ = 0;
    encoding_ = kEightBit;
    if (!name_.AssignNarrow(name)) return 0;
    if (bytes == nullptr) size = 0;

    Encoding encoding = kEightBit;
    if (size > 2) {
        if (bytes[0] == 0xFF && bytes[1] == 0xFE) {
            encoding = kUtf16LittleEndian;
        } else if (bytes[0] == 0xFE && bytes[1] == 0xFF) {
            encoding = kUtf16BigEndian;
        } else if (bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
            encoding = kUtf8Marked;
        }
    }

    const bool wide = encoding == kUtf16LittleEndian || encoding == kUtf16BigEndian;
    // An odd last byte of a UTF-16 image is not part of any character and is dropped.
    const std::size_t length = wide ? size / 2 : size;
    std::unique_ptr<char16_t[]> text = AllocText(length);
    if (text == nullptr) return 0;
    if (encoding == kUtf16LittleEndian) {
        for (std::size_t i = 0; i < length; ++i) {
            text[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        }
    } else if (encoding == kUtf16BigEndian) {
        for (std::size_t i = 0; i < length; ++i) {
            text[i] = static_cast<char16_t>((bytes[2 * i] << 8) | bytes[2 * i + 1]);
        }
    } else {
        for (std::size_t i = 0; i < length; ++i) text[i] = bytes[i];
    }
    text[length] = 0;

    text_ = std::move(text);
    length_ = length;
    encoding_ = encoding;
    // The little-endian mark stays at index 0 and is stepped over; the big-endian one is read as text.
    cursor_ = encoding == kUtf16LittleEndian ? 1 : 0;
    return 1;
}

bool ScriptReader::IsCommentAt(std::size_t index) const {
    return index + 1 < length_ && text_[index] == u'/' && text_[index + 1] == u'/';
}

void ScriptReader::SkipBlanksAndComments() {
    while (cursor_ < length_) {
        if (IsBlank(text_[cursor_])) {
            ++cursor_;
        } else if (IsCommentAt(cursor_)) {
            cursor_ += 2;
            while (cursor_ < length_ && text_[cursor_] != u'\r' && text_[cursor_] != u'\n') ++cursor_;
        } else {
            break;
        }
    }
}

std::size_t ScriptReader::FindNeedle(const char* name) {
    if (name == nullptr) name = "";
    const std::size_t nameLength = std::strlen(name);
    const std::size_t needleLength = nameLength + 2;
    for (;;) {
        SkipBlanksAndComments();
        // A keyword that ends exactly at the end of the text is still found.
        if (needleLength > length_ - cursor_) {
            cursor_ = length_;
            return kNotFound;
        }
        const char16_t* at = text_.get() + cursor_;
        bool match = at[0] == u'[' && at[nameLength + 1] == u']';
        for (std::size_t i = 0; match && i < nameLength; ++i) {
            match = at[i + 1] == static_cast<unsigned char>(name[i]);
        }
        if (match) {
            const std::size_t position = cursor_;
            cursor_ += needleLength;
            return position;
        }
        ++cursor_;
    }
}

int ScriptReader::FindKeyword(const char* name, bool fromStart) {
    if (fromStart) cursor_ = 0;
    if (FindNeedle(name) == kNotFound) return 0;
    SkipBlanksAndComments();
    return 1;
}

WideString ScriptReader::NextKeyword() {
    SkipBlanksAndComments();
    while (cursor_ < length_) {
        while (cursor_ < length_ && text_[cursor_] != u'[') ++cursor_;
        if (cursor_ == length_) break;
        const std::size_t open = cursor_;
        std::size_t at = open + 1;
        while (at < length_ && text_[at] != u']' && text_[at] >= 32) ++at;
        if (at < length_ && text_[at] == u']') {
            cursor_ = at + 1;
            return MakeText(text_.get() + open + 1, at - open - 1);
        }
        // No "]" on this stretch: go on after the control character that ended the look.
        cursor_ = at < length_ ? at + 1 : length_;
    }
    return WideString();
}

std::unique_ptr<ScriptReader> ScriptReader::ExtractSection(bool fromStart, const char* start, const char* end) {
    if (!FindKeyword(start, fromStart)) return nullptr;
    const std::size_t from = cursor_;
    const std::size_t endBracket = FindNeedle(end);
    if (endBracket == kNotFound) return nullptr;
    // Only blanks are cut: characters above 127 at the end of a section are text.
    std::size_t length = endBracket - from;
    while (length > 0 && IsBlank(text_[from + length - 1])) --length;

    std::unique_ptr<ScriptReader> section(new (std::nothrow) ScriptReader);
    if (section == nullptr) return nullptr;
    section->text_ = AllocText(length);
    if (section->text_ == nullptr || !section->name_.Assign(name_)) return nullptr;
    if (length > 0) std::memcpy(section->text_.get(), text_.get() + from, length * sizeof(char16_t));
    section->text_[length] = 0;
    section->length_ = length;
    section->encoding_ = encoding_;
    cursor_ = from;
    section->baseLine_ = CurrentLine();
    cursor_ = endBracket;
    return section;
}

WideString ScriptReader::GetText() const {
    std::size_t length = length_;
    while (length > 0 && IsBlank(text_[length - 1])) --length;
    return MakeText(Text(), length);
}

std::size_t ScriptReader::CurrentLine() const {
    std::size_t lines = baseLine_;
    for (std::size_t i = 0; i < cursor_; ++i) {
        if (text_[i] == u'\n') ++lines;
    }
    return lines;
}

void ScriptReader::ReportError(const char* format, ...) const {
    char message[256];
    message[0] = 0;
    if (format != nullptr) {
        va_list args;
        va_start(args, format);
        std::vsnprintf(message, sizeof message, format, args);
        va_end(args);
    }
    const std::size_t line = CurrentLine();
    const int lineNumber = line > static_cast<std::size_t>(std::numeric_limits<int>::max())
                               ? std::numeric_limits<int>::max()
                               : static_cast<int>(line);
    char text[640];
    std::snprintf(text, sizeof text, "SCRIPT ERROR: \"%s\" around line %i in \"%s.TXT\"", message, lineNumber,
                  name_.GetNarrow());
    // The message goes nowhere: script errors are not shown to the player.
}

}  // namespace engine
