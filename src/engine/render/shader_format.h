#pragma once
// Line-by-line writing of shader texts. The format rules are printf's for the conversions d, i, u, x, X, c,
// s, f and %% (flags "-", "0", "+", " ", a width and a precision; no length modifiers), but numbers never
// depend on the process locale: a float always has a decimal point. Every line ends in a line feed, and the
// text grows as needed.
#include <cstdarg>
#include <string>

#include "engine/core/wide_string.h"

namespace engine {

// Appends the formatted text (without a line feed).
void AppendFormattedV(std::string& text, const char* format, std::va_list args);

// Appends one formatted line and a line feed to an 8-bit shader text.
[[gnu::format(printf, 2, 3)]] void EmitShaderLine(std::string& text, const char* format, ...);

// The same appending to a WideString (each byte one character). False when memory runs out.
[[gnu::format(printf, 2, 3)]] bool AppendFormattedLine(WideString& text, const char* format, ...);

}  // namespace engine
