// WideString edits in place and searches with regard to case.
#include <cstring>
#include <string>

#include "engine/core/wide_string.h"

namespace engine {

namespace {

constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

inline char16_t Unit(char16_t c) { return c; }
inline char16_t Unit(char c) { return static_cast<unsigned char>(c); }

inline bool IsPathSeparator(char16_t c) { return c == u'/' || c == u'\\'; }

// Position of the first occurrence of the needle, compared exactly; kNotFound for an empty needle.
template <typename Char>
std::size_t FindExact(const char16_t* text, std::size_t length, const Char* needle, std::size_t n) {
    if (n == 0 || n > length) return kNotFound;
    for (std::size_t i = 0; i + n <= length; ++i) {
        std::size_t j = 0;
        while (j < n && text[i + j] == Unit(needle[j])) ++j;
        if (j == n) return i;
    }
    return kNotFound;
}

}  // namespace

void WideString::Truncate(std::size_t n) {
    if (n >= length_) return;
    length_ = n;
    buffer_[n] = 0;
    flags_ |= kNarrowStale;
}

void WideString::TrimRight() {
    std::size_t n = length_;
    while (n > 0 && buffer_[n - 1] <= 32) --n;
    Truncate(n);
}

void WideString::BackslashesToSlashes() {
    for (std::size_t i = 0; i < length_; ++i) {
        if (buffer_[i] == u'\\') {
            buffer_[i] = u'/';
            flags_ |= kNarrowStale;
        }
    }
}

void WideString::UnescapeNewlines() {
    std::size_t out = 0;
    for (std::size_t i = 0; i < length_; ++i) {
        if (buffer_[i] == u'\\' && i + 1 < length_ && (buffer_[i + 1] == u'n' || buffer_[i + 1] == u'r')) {
            buffer_[out++] = u'\n';
            ++i;
        } else {
            buffer_[out++] = buffer_[i];
        }
    }
    Truncate(out);
}

void WideString::DropExtension() {
    // A "." inside a folder name ("Levels/v1.2/Mission") is not an extension.
    for (std::size_t i = length_; i-- > 0;) {
        if (IsPathSeparator(buffer_[i])) return;
        if (buffer_[i] == u'.') {
            Truncate(i);
            return;
        }
    }
}

void WideString::StripFaceSuffix() {
    DropExtension();
    static const char16_t* const kSuffixes[] = {u"_X", u"_Y", u"_Z", u"_NX", u"_NY", u"_NZ"};
    for (const char16_t* suffix : kSuffixes) {
        const std::size_t n = std::char_traits<char16_t>::length(suffix);
        if (n <= length_ && std::char_traits<char16_t>::compare(buffer_ + length_ - n, suffix, n) == 0) {
            Truncate(length_ - n);
            return;
        }
    }
}

bool WideString::CutAtDollarTag() {
    const std::size_t at = FindExact(buffer_, length_, "_$$", 3);
    if (at == kNotFound) return false;
    Truncate(at);
    return true;
}

bool WideString::SetDollarNumber(int n) {
    CutAtDollarTag();
    return AppendNarrow("_$$") && AppendInt(n, false);
}

WideString WideString::TextAfter(const char16_t* needle) const {
    const std::size_t n = needle != nullptr ? std::char_traits<char16_t>::length(needle) : 0;
    WideString after;
    const std::size_t at = FindExact(buffer_, length_, needle, n);
    if (at != kNotFound) after.AssignChars(buffer_ + at + n, length_ - at - n);
    return after;
}

WideString WideString::TextAfterNarrow(const char* needle) const {
    const std::size_t n = needle != nullptr ? std::strlen(needle) : 0;
    WideString after;
    const std::size_t at = FindExact(buffer_, length_, needle, n);
    if (at != kNotFound) after.AssignChars(buffer_ + at + n, length_ - at - n);
    return after;
}

bool WideString::HasPathSeparator() const {
    for (std::size_t i = 0; i < length_; ++i) {
        if (IsPathSeparator(buffer_[i])) return true;
    }
    return false;
}

}  // namespace engine
