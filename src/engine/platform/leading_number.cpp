// Locale-free atoi and atof over std::from_chars.
#include "engine/platform/leading_number.h"

#include <charconv>
#include <climits>
#include <cstdint>
#include <cstring>
#include <limits>
#include <system_error>

namespace engine {

namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// Skips the white space and the sign; true for a minus sign.
const char* SkipSpaceAndSign(const char* text, bool& negative) {
    while (IsSpace(*text)) ++text;
    negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    return text;
}

// For a number that from_chars found out of range: whether it is too large (rather than too small). The
// number's magnitude is estimated from the position of its first non-zero digit and its exponent; out of
// range numbers lie hundreds of decimal places away from 1, so the estimate never errs in sign.
bool IsTooLarge(const char* digits, const char* end, bool hex) {
    std::int64_t order = 0;
    bool seenNonZero = false;
    bool afterPoint = false;
    std::int64_t exponent = 0;
    for (const char* p = digits; p < end; ++p) {
        const char c = *p;
        if (c == '.') {
            afterPoint = true;
        } else if (hex ? (c == 'p' || c == 'P') : (c == 'e' || c == 'E')) {
            ++p;
            const bool negative = p < end && *p == '-';
            if (p < end && (*p == '-' || *p == '+')) ++p;
            for (; p < end && IsDigit(*p); ++p) {
                if (exponent < 1000000000) exponent = exponent * 10 + (*p - '0');
            }
            if (negative) exponent = -exponent;
            break;
        } else if (!seenNonZero && c == '0') {
            if (afterPoint) --order;
        } else {
            seenNonZero = true;
            if (!afterPoint) ++order;
        }
    }
    return (hex ? order * 4 : order) + exponent > 0;
}

}  // namespace

int LeadingInt(const char* text) {
    if (text == nullptr) return 0;
    bool negative = false;
    const char* p = SkipSpaceAndSign(text, negative);
    if (!IsDigit(*p)) return 0;
    std::uint64_t value = 0;
    const auto result = std::from_chars(p, p + std::strlen(p), value, 10);
    if (result.ec == std::errc::result_out_of_range) value = std::numeric_limits<std::uint64_t>::max();
    if (negative) {
        const std::uint64_t limit = std::uint64_t{INT_MAX} + 1;
        return value >= limit ? INT_MIN : -static_cast<int>(value);
    }
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

double LeadingDouble(const char* text) {
    if (text == nullptr) return 0.0;
    bool negative = false;
    const char* p = SkipSpaceAndSign(text, negative);
    // from_chars would take a minus sign of its own; a second sign is no number.
    if (*p == '-' || *p == '+') return 0.0;
    const char* end = p + std::strlen(p);
    const bool hex = p[0] == '0' && (p[1] == 'x' || p[1] == 'X') &&
                     (IsHexDigit(p[2]) || (p[2] == '.' && IsHexDigit(p[3])));
    const char* digits = hex ? p + 2 : p;
    double value = 0.0;
    const auto result =
        std::from_chars(digits, end, value, hex ? std::chars_format::hex : std::chars_format::general);
    // No number at all gives +0 whatever the sign.
    if (result.ec == std::errc::invalid_argument) return 0.0;
    if (result.ec == std::errc::result_out_of_range) {
        value = IsTooLarge(digits, result.ptr, hex) ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

}  // namespace engine
