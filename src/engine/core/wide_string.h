#pragma once
// The program's one string type: UTF-16 text (char16_t), always zero-terminated, with an 8-bit copy made on
// demand for the standard library and file names. Texts of up to 64 characters live in blocks of the
// process's StringPool; longer texts take heap buffers in steps of 64 characters.
//
// Nothing is decoded: widening makes each byte one character of the same value (0 to 255) and narrowing
// keeps the low byte of each character. Comparisons ignore case through a fixed fold of ASCII letters and
// the Latin-1 letters 0xC0-0xDE / 0xE0-0xFE (but not 0xD7 and 0xF7), so they never depend on the process
// locale.
//
// A single string belongs to one thread at a time; strings may be made and destroyed on any thread.
// Operations that allocate return false when memory runs out.
#include <cstddef>
#include <cstdint>

namespace engine {

class WideString {
public:
    // Flags() bits.
    static constexpr std::uint16_t kNarrowStale = 0x1;  // the narrow copy does not match the text
    static constexpr std::uint16_t kHeapBuffer = 0x2;   // the buffer came from the heap, not the pool
    // Characters that fit one pool block (or the heap block that stands in for one).
    static constexpr std::size_t kShortCapacity = 64;

    // Empty: no buffer, no narrow copy, narrow copy stale.
    WideString() = default;
    // Widened byte by byte; null is empty.
    explicit WideString(const char* text);
    WideString(const WideString& other);
    WideString(WideString&& other) noexcept;
    // The two texts one after the other.
    WideString(const WideString& a, const WideString& b);
    WideString(const WideString& a, const char* b);
    WideString& operator=(const WideString& other);
    WideString& operator=(WideString&& other) noexcept;
    ~WideString();

    // Frees the buffer and the narrow copy and leaves the empty state.
    void Clear();

    // Room for n characters and a length of n; the text is not kept (the caller writes it next, through
    // MutableData). A heap buffer is kept while n fits it, a pool block while n <= 64. On failure the
    // string is left empty and false is returned.
    bool Resize(std::size_t n);
    // The two sources of storage, for a string that holds none: a heap buffer for n characters (capacity
    // (n + 63) rounded down to a multiple of 64), or a pool block of 64 (a 130-byte heap block when the
    // pool is missing, full or bypassed on this thread).
    bool AllocHeapBuffer(std::size_t n);
    bool TakePoolBlock();

    // Assignment. Assigning a string to itself does nothing; an empty source frees the buffer.
    bool Assign(const WideString& other);
    bool AssignNarrow(const char* text);
    bool AssignWide(const char16_t* text);
    // On failure the text is unchanged.
    bool Append(const WideString& other);
    bool AppendNarrow(const char* text);
    // Decimal; with grouping, values of more than three digits get the thousands separator (see
    // SetThousandsSeparator) between groups of three digits counted from the right.
    bool AppendInt(int value, bool grouping);
    // A value equal to its integer part as that integer, anything else with two decimals; the same
    // whatever the process locale.
    bool AppendFloat(double value);

    std::size_t Length() const { return length_; }
    std::size_t Capacity() const { return capacity_; }
    std::uint16_t Flags() const { return flags_; }
    bool IsEmpty() const { return length_ == 0; }
    // Never null: an empty string without a buffer gives an empty text.
    const char16_t* Data() const { return buffer_ != nullptr ? buffer_ : u""; }
    // For writing the text after Resize; marks the narrow copy stale. Null without a buffer.
    char16_t* MutableData() {
        flags_ |= kNarrowStale;
        return buffer_;
    }
    // The narrow copy, rebuilt only when stale; "" for an empty string (and when memory runs out).
    const char* GetNarrow() const;
    // The narrow text, zero-terminated, into a buffer of size bytes, cut to fit. True when all of it fit.
    bool CopyNarrowTo(char* buffer, std::size_t size) const;

    // Comparisons without regard to case. Two empty strings are equal; an empty and a non-empty differ.
    bool Equals(const WideString& other) const;
    bool NotEquals(const WideString& other) const { return !Equals(other); }
    bool EqualsNarrow(const char* text) const;
    bool NotEqualsNarrow(const char* text) const { return !EqualsNarrow(text); }
    // True when the other text occurs anywhere in this one (an empty text occurs everywhere).
    bool ContainsNoCase(const WideString& other) const;

    // Removes trailing characters with codes of 32 or less.
    void TrimRight();
    void BackslashesToSlashes();
    // Backslash + "n" and backslash + "r" each become one line feed.
    void UnescapeNewlines();
    // Cuts at the last "." when it lies in the last path element (after the last "/" or "\").
    void DropExtension();
    // DropExtension, then drops a final "_X", "_Y", "_Z", "_NX", "_NY" or "_NZ" (upper case only).
    void StripFaceSuffix();
    // Cuts at the first "_$$"; true when there was one.
    bool CutAtDollarTag();
    // Cuts at "_$$", then appends "_$$" and n in decimal.
    bool SetDollarNumber(int n);
    // The text after the first occurrence of the needle, matched with regard to case; empty when the
    // needle is empty or absent.
    WideString TextAfter(const char16_t* needle) const;
    WideString TextAfterNarrow(const char* needle) const;
    bool HasPathSeparator() const;

private:
    void Swap(WideString& other) noexcept;
    void ReleaseStorage();
    // Cuts the text to n characters (n <= length).
    void Truncate(std::size_t n);
    bool AppendChars(const char16_t* text, std::size_t n);
    bool AppendBytes(const char* text, std::size_t n);
    bool AssignChars(const char16_t* text, std::size_t n);
    bool AssignBytes(const char* text, std::size_t n);

    char16_t* buffer_ = nullptr;
    mutable char* narrow_ = nullptr;
    std::size_t length_ = 0;
    std::size_t capacity_ = 0;
    mutable std::uint16_t flags_ = kNarrowStale;
};

// Widens the text byte by byte into out (outSize characters including the terminator), cut to fit.
// Returns the characters written, not counting the terminator.
std::size_t WidenInto(const char* text, char16_t* out, std::size_t outSize);

bool WideStringEqualsNarrow(const WideString& string, const char* text);

// The thousands separator that AppendInt puts between digit groups: the first character of the text, "," for
// null or "". Process-wide; the engine sets it from the system language.
void SetThousandsSeparator(const char* separator);

}  // namespace engine
