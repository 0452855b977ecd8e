#pragma once
// The inline codes of drawn texts, read the same way by drawing and measuring: "@@" a literal "@",
// "@C[d]" colour-table entry d (one digit), "@J[n]" the pen to the line origin + n, "@X[n]" inline icon n (one
// to three digits each). Any other "@" sequence, or a code not closed by "]" after its digits, is malformed.
#include <cstddef>
#include <string_view>

namespace engine {

enum class MarkupKind { kLiteralAt, kColour, kJump, kIcon, kMalformed };

struct MarkupCode {
    MarkupKind kind = MarkupKind::kMalformed;
    int value = 0;
    // Characters the code takes, "@" included.
    std::size_t length = 0;
};

// The code starting at text[at], which is "@".
MarkupCode ReadMarkup(std::u16string_view text, std::size_t at);

}  // namespace engine
