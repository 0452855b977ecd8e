#include "engine/gui/text_markup.h"

namespace engine {
namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

}  // namespace

MarkupCode ReadMarkup(std::u16string_view text, std::size_t at) {
    MarkupCode code;
    if (at + 1 >= text.size()) return code;
    const char16_t letter = text[at + 1];
    if (letter == u'@') return MarkupCode{MarkupKind::kLiteralAt, u'@', 2};
    MarkupKind kind = MarkupKind::kMalformed;
    std::size_t maxDigits = 3;
    switch (letter) {
        case u'C':
            kind = MarkupKind::kColour;
            maxDigits = 1;
            break;
        case u'J': kind = MarkupKind::kJump; break;
        case u'X': kind = MarkupKind::kIcon; break;
        default: return code;
    }
    std::size_t i = at + 2;
    if (i >= text.size() || text[i] != u'[') return code;
    ++i;
    int value = 0;
    std::size_t digits = 0;
    while (i < text.size() && digits < maxDigits && IsDigit(text[i])) {
        value = value * 10 + (text[i] - u'0');
        ++digits;
        ++i;
    }
    if (digits == 0 || i >= text.size() || text[i] != u']') return code;
    return MarkupCode{kind, value, i + 1 - at};
}

}  // namespace engine
