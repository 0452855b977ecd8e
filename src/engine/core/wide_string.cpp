// WideString storage, construction, assignment, appending and the narrow copy.
#include "engine/core/wide_string.h"

#include <cstring>
#include <functional>
#include <limits>
#include <utility>

#include "engine/core/memory.h"
#include "engine/core/string_pool.h"

namespace engine {

namespace {

// The longest text whose heap buffer (capacity rounded up to 64, plus the terminator) still has a byte
// size that fits size_t.
constexpr std::size_t kMaxLength = std::numeric_limits<std::size_t>::max() / sizeof(char16_t) - 128;

std::size_t NarrowLength(const char* text) { return text != nullptr ? std::strlen(text) : 0; }

std::size_t WideLength(const char16_t* text) {
    std::size_t n = 0;
    if (text != nullptr) {
        while (text[n] != 0) ++n;
    }
    return n;
}

void Widen(const char* text, std::size_t n, char16_t* out) {
    for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<unsigned char>(text[i]);
}

}  // namespace

WideString::WideString(const char* text) { AssignBytes(text, NarrowLength(text)); }

WideString::WideString(const WideString& other) { AssignChars(other.buffer_, other.length_); }

WideString::WideString(WideString&& other) noexcept { Swap(other); }

WideString::WideString(const WideString& a, const WideString& b) {
    if (!Resize(a.length_ + b.length_) || buffer_ == nullptr) return;
    std::memcpy(buffer_, a.Data(), a.length_ * sizeof(char16_t));
    std::memcpy(buffer_ + a.length_, b.Data(), b.length_ * sizeof(char16_t));
}

WideString::WideString(const WideString& a, const char* b) {
    const std::size_t bLength = NarrowLength(b);
    if (!Resize(a.length_ + bLength) || buffer_ == nullptr) return;
    std::memcpy(buffer_, a.Data(), a.length_ * sizeof(char16_t));
    Widen(b, bLength, buffer_ + a.length_);
}

WideString& WideString::operator=(const WideString& other) {
    Assign(other);
    return *this;
}

WideString& WideString::operator=(WideString&& other) noexcept {
    if (this != &other) {
        WideString taken(std::move(other));
        Swap(taken);
    }
    return *this;
}

WideString::~WideString() {
    ReleaseStorage();
    EngineFree(narrow_);
}

void WideString::Swap(WideString& other) noexcept {
    std::swap(buffer_, other.buffer_);
    std::swap(narrow_, other.narrow_);
    std::swap(length_, other.length_);
    std::swap(capacity_, other.capacity_);
    std::swap(flags_, other.flags_);
}

void WideString::ReleaseStorage() {
    if (buffer_ != nullptr) {
        if (flags_ & kHeapBuffer) {
            EngineFree(buffer_);
        } else {
            // A pool block can only have come from the process pool, which is never destroyed.
            StringPool::Global()->Release(buffer_);
        }
    }
    buffer_ = nullptr;
    capacity_ = 0;
    flags_ &= static_cast<std::uint16_t>(~kHeapBuffer);
}

void WideString::Clear() {
    ReleaseStorage();
    EngineFree(narrow_);
    narrow_ = nullptr;
    length_ = 0;
    flags_ = kNarrowStale;
}

bool WideString::Resize(std::size_t n) {
    StringPool::EnsureGlobal();
    if (buffer_ != nullptr) {
        const bool fits = (flags_ & kHeapBuffer) ? n <= capacity_ : n <= kShortCapacity;
        if (!fits) ReleaseStorage();
    }
    if (buffer_ == nullptr && n > 0) {
        const bool ok = n <= kShortCapacity ? TakePoolBlock() : AllocHeapBuffer(n);
        if (!ok) {
            length_ = 0;
            flags_ |= kNarrowStale;
            return false;
        }
    }
    length_ = n;
    if (buffer_ != nullptr) buffer_[n] = 0;
    flags_ |= kNarrowStale;
    return true;
}

bool WideString::AllocHeapBuffer(std::size_t n) {
    ReleaseStorage();
    length_ = 0;
    flags_ |= kNarrowStale;
    if (n > kMaxLength) return false;
    const std::size_t capacity = (n + 63) & ~std::size_t{63};
    auto* buffer = static_cast<char16_t*>(EngineAlloc((capacity + 1) * sizeof(char16_t)));
    if (buffer == nullptr) return false;
    buffer[0] = 0;
    buffer_ = buffer;
    capacity_ = capacity;
    flags_ |= kHeapBuffer;
    return true;
}

bool WideString::TakePoolBlock() {
    ReleaseStorage();
    length_ = 0;
    flags_ |= kNarrowStale;
    StringPool* pool = IsPoolBypassedForThread() ? nullptr : StringPool::Global();
    void* block = pool != nullptr ? pool->Take() : nullptr;
    if (block == nullptr) {
        block = EngineAlloc(StringPool::kBlockSize);
        if (block == nullptr) return false;
        flags_ |= kHeapBuffer;
    }
    buffer_ = static_cast<char16_t*>(block);
    buffer_[0] = 0;
    capacity_ = kShortCapacity;
    return true;
}

bool WideString::AssignChars(const char16_t* text, std::size_t n) {
    // A text inside this string's own buffer (a tail of it) is moved to the front in place; Resize would
    // otherwise overwrite it with the terminator before it is copied.
    const std::less_equal<const char16_t*> le;
    if (buffer_ != nullptr && n > 0 && le(buffer_, text) && le(text, buffer_ + length_)) {
        std::memmove(buffer_, text, n * sizeof(char16_t));
        length_ = n;
        buffer_[n] = 0;
        flags_ |= kNarrowStale;
        return true;
    }
    if (!Resize(n)) return false;
    if (n > 0) std::memcpy(buffer_, text, n * sizeof(char16_t));
    return true;
}

bool WideString::AssignBytes(const char* text, std::size_t n) {
    // Resize leaves the narrow copy alone, so assigning a string its own narrow copy is safe.
    if (!Resize(n)) return false;
    Widen(text, n, buffer_);
    return true;
}

bool WideString::Assign(const WideString& other) {
    if (&other == this) return true;
    if (other.length_ == 0) {
        Clear();
        return true;
    }
    return AssignChars(other.buffer_, other.length_);
}

bool WideString::AssignNarrow(const char* text) { return AssignBytes(text, NarrowLength(text)); }

bool WideString::AssignWide(const char16_t* text) { return AssignChars(text, WideLength(text)); }

bool WideString::AppendChars(const char16_t* text, std::size_t n) {
    if (n == 0) return true;
    if (n > kMaxLength - length_) return false;
    const std::size_t newLength = length_ + n;
    if (buffer_ != nullptr && newLength <= capacity_) {
        // The text may be this string's own; it lies before the end, so it does not overlap the target.
        std::memmove(buffer_ + length_, text, n * sizeof(char16_t));
        length_ = newLength;
        buffer_[newLength] = 0;
        flags_ |= kNarrowStale;
        return true;
    }
    WideString grown;
    if (!grown.Resize(newLength)) return false;
    if (length_ > 0) std::memcpy(grown.buffer_, buffer_, length_ * sizeof(char16_t));
    std::memcpy(grown.buffer_ + length_, text, n * sizeof(char16_t));
    Swap(grown);
    return true;
}

bool WideString::AppendBytes(const char* text, std::size_t n) {
    if (n == 0) return true;
    if (n > kMaxLength - length_) return false;
    const std::size_t newLength = length_ + n;
    if (buffer_ != nullptr && newLength <= capacity_) {
        Widen(text, n, buffer_ + length_);
        length_ = newLength;
        buffer_[newLength] = 0;
        flags_ |= kNarrowStale;
        return true;
    }
    WideString grown;
    if (!grown.Resize(newLength)) return false;
    if (length_ > 0) std::memcpy(grown.buffer_, buffer_, length_ * sizeof(char16_t));
    Widen(text, n, grown.buffer_ + length_);
    Swap(grown);
    return true;
}

bool WideString::Append(const WideString& other) { return AppendChars(other.buffer_, other.length_); }

bool WideString::AppendNarrow(const char* text) { return AppendBytes(text, NarrowLength(text)); }

const char* WideString::GetNarrow() const {
    if (length_ == 0) return "";
    if (narrow_ != nullptr && !(flags_ & kNarrowStale)) return narrow_;
    EngineFree(narrow_);
    narrow_ = static_cast<char*>(EngineAlloc(length_ + 1));
    if (narrow_ == nullptr) return "";
    for (std::size_t i = 0; i < length_; ++i) narrow_[i] = static_cast<char>(buffer_[i] & 0xFF);
    narrow_[length_] = 0;
    flags_ &= static_cast<std::uint16_t>(~kNarrowStale);
    return narrow_;
}

bool WideString::CopyNarrowTo(char* buffer, std::size_t size) const {
    if (buffer == nullptr || size == 0) return false;
    const std::size_t n = length_ < size - 1 ? length_ : size - 1;
    for (std::size_t i = 0; i < n; ++i) buffer[i] = static_cast<char>(buffer_[i] & 0xFF);
    buffer[n] = 0;
    return n == length_;
}

std::size_t WidenInto(const char* text, char16_t* out, std::size_t outSize) {
    if (out == nullptr || outSize == 0) return 0;
    std::size_t n = 0;
    if (text != nullptr) {
        while (n + 1 < outSize && text[n] != 0) ++n;
        Widen(text, n, out);
    }
    out[n] = 0;
    return n;
}

}  // namespace engine
