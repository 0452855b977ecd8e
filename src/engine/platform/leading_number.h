#pragma once
// Numbers at the start of a text, read as atoi and atof read them in the C locale but never through the
// process locale: leading white space (space, tab, LF, VT, FF, CR), an optional sign, then the longest
// prefix that forms a number; 0 when there is none.
namespace engine {

// Decimal digits only; a value beyond the int range is clamped to it.
int LeadingInt(const char* text);
// Decimal with an optional fraction and exponent, "0x" hexadecimal with an optional "p" exponent, "inf",
// "infinity" and "nan" in any case. A value beyond the double range gives an infinity, one too small for
// it gives 0.
double LeadingDouble(const char* text);

}  // namespace engine
