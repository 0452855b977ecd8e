#pragma once
// The reader of every text data file (locale texts, missions, campaigns, scripts, comics, tables). A file
// image is turned into UTF-16 text in memory, and a cursor walks it: skip blanks and comments, find a
// bracketed keyword, read the next keyword, read a line, split a line into two texts or up to three
// integers, and cut out the text between two keywords as a reader of its own. Failures are quiet: 0, null
// or an empty text.
//
// The text format:
// - Encodings, by the first bytes of an image longer than 2 bytes: FF FE is UTF-16 little-endian (the mark
//   stays at index 0 and the cursor starts after it); FE FF is UTF-16 big-endian (the mark stays in the text
//   as U+FEFF, the cursor starts on it); EF BB BF is marked UTF-8, which, like any image without a mark, is
//   widened byte by byte without decoding (the mark's three bytes included).
// - Blanks: every character with a code of 32 or less. Comments: "//" up to the next CR or LF.
// - Keywords: "[", the name, "]"; the name is matched exactly, case included.
// - A line ends at CR, LF, "//", any other control character (code below 32) except tab, or the end of the
//   text; trailing blanks are cut. Lines hold at most 1022 characters.
//
// Every operation stays within the text: the cursor never passes its length.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/core/wide_string.h"

namespace engine {

class ScriptReader {
public:
    enum Encoding : int {
        kEightBit = 0,
        kUtf16BigEndian = 1,
        kUtf16LittleEndian = 2,
        kUtf8Marked = 3,
    };
    // The longest line ReadLine hands out; a longer one reads as an empty text.
    static constexpr std::size_t kMaxLineLength = 1022;

    // An empty reader: no text, cursor 0.
    ScriptReader() = default;
    ScriptReader(const ScriptReader&) = delete;
    ScriptReader& operator=(const ScriptReader&) = delete;

    // Replaces the text with the decoded file image (`size` bytes; the image is not kept) and keeps `name`
    // (null: empty) for error messages. Cursor at the start of the text, base line 0. An empty image gives
    // an empty text. 1 on success; 0, with the reader left empty, when memory runs out.
    int LoadFromImage(const std::uint8_t* bytes, std::size_t size, const char* name);
    // Reads the data file of this name with its extension dropped and ".TXT" added, or ".CSV" when there is
    // no such file (archives first, then disk), and keeps the name as given. 1 on success; 0, with the
    // reader unchanged, when neither file can be read.
    int Load(const char* name);
    // Frees the text only; the name stays.
    void FreeText();

    // Advances the cursor over blanks and comments, repeatedly, up to the end of the text.
    void SkipBlanksAndComments();
    // Searches for "[name]" from the cursor (from the start when asked), skipping blanks and comments, so
    // that a keyword inside a comment is not found. 1 with the cursor after the keyword and the blanks and
    // comments that follow it; 0 with the cursor at the end of the text.
    int FindKeyword(const char* name, bool fromStart);
    // The name of the next bracketed keyword, the cursor after its "]"; an empty text when there is none
    // before the end. A "[" whose "]" does not come before a control character is passed over.
    WideString NextKeyword();
    // The next line with trailing blanks cut, the cursor after it and the blanks and comments that follow.
    // An empty text at the end of the text, and for a line of more than kMaxLineLength characters, in
    // which case the cursor stays at that line's start.
    WideString ReadLine();
    // Passes over the next line whatever its length (one ReadLine refuses included) and the blanks and
    // comments that follow it.
    void SkipLine();
    // Reads a line and splits its narrow form (the low byte of each character) at commas and tabs,
    // consecutive separators counting as one. 1 when it held at least one field: the first two fields,
    // the second empty when there is only one. 0 with both texts empty otherwise.
    int ReadPair(WideString& first, WideString& second);
    // Read a line whose narrow form starts with one, two or three integer fields, separated by commas,
    // spaces or tabs (consecutive ones counting as one), each read as strtol(field, &end, 0) does: decimal,
    // 0x hexadecimal and 0 octal, the value clamped to int. 1 with the values; otherwise 0, the outputs
    // unchanged and the cursor put back where it was.
    int ReadInt(int& a);
    int ReadInt2(int& a, int& b);
    int ReadInt3(int& a, int& b, int& c);
    // FindKeyword(start, fromStart), then FindKeyword(end) from there. A new reader holding the text
    // between the two keywords with trailing blanks cut, its cursor 0, the same name and encoding, and as
    // base line the line feeds before the section plus this reader's base line. This reader's cursor is
    // left on the "[" of the end keyword. Null when either keyword is missing or memory runs out.
    std::unique_ptr<ScriptReader> ExtractSection(bool fromStart, const char* start, const char* end);
    // The whole text with trailing blanks cut.
    WideString GetText() const;
    // Formats the message (at most 255 characters; longer ones are cut) into "SCRIPT ERROR: "%s" around
    // line %i in "%s.TXT"" with the line of the cursor and the name. The text is built and dropped: it is
    // not shown, logged or returned.
    void ReportError(const char* format, ...) const __attribute__((format(printf, 2, 3)));

    // Never null: an empty reader gives an empty text. Text()[Length()] is 0.
    const char16_t* Text() const { return text_ != nullptr ? text_.get() : u""; }
    std::size_t Length() const { return length_; }
    std::size_t Cursor() const { return cursor_; }
    Encoding GetEncoding() const { return encoding_; }
    std::size_t BaseLine() const { return baseLine_; }
    // Line feeds before the cursor plus the base line.
    std::size_t CurrentLine() const;
    const WideString& Name() const { return name_; }

private:
    // Searches for "[name]" as FindKeyword does and returns the position of its "[" with the cursor after
    // its "]", or kNotFound with the cursor at the end.
    std::size_t FindNeedle(const char* name);
    // Reads the next line as ReadLine does and gives its position and trimmed length; false, with the
    // cursor at the line's start, for a line that is too long.
    bool NextLine(std::size_t& start, std::size_t& count);
    // ReadLine's narrow form into out (kMaxLineLength + 1 bytes), cut at its first zero byte; its length.
    std::size_t ReadNarrowLine(char* out);
    int ReadInts(int* values, int count);
    bool IsLineEnd(std::size_t index) const;
    bool IsCommentAt(std::size_t index) const;
    // A string holding the n characters at text (empty when memory runs out).
    static WideString MakeText(const char16_t* text, std::size_t n);

    static constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

    std::unique_ptr<char16_t[]> text_;
    std::size_t length_ = 0;
    std::size_t cursor_ = 0;
    std::size_t baseLine_ = 0;
    Encoding encoding_ = kEightBit;
    WideString name_;
};

}  // namespace engine
