#include "engine/render/shader_format.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace engine {

namespace {

struct FieldFormat {
    bool left = false;
    bool zero = false;
    bool plus = false;
    bool space = false;
    int width = 0;
    int precision = -1;
};

// Pads `body` (with its sign or prefix in `sign`) to its width.
void AppendPadded(std::string& text, const FieldFormat& field, std::string_view sign, std::string_view body) {
    const int length = static_cast<int>(sign.size() + body.size());
    const int pad = field.width > length ? field.width - length : 0;
    if (field.left) {
        text.append(sign).append(body).append(static_cast<std::size_t>(pad), ' ');
    } else if (field.zero) {
        text.append(sign).append(static_cast<std::size_t>(pad), '0').append(body);
    } else {
        text.append(static_cast<std::size_t>(pad), ' ').append(sign).append(body);
    }
}

std::string_view SignOf(bool negative, const FieldFormat& field) {
    if (negative) return "-";
    if (field.plus) return "+";
    if (field.space) return " ";
    return "";
}

void AppendInteger(std::string& text, const FieldFormat& field, unsigned long long magnitude, bool negative, int base,
                   bool upper) {
    char digits[32];
    auto result = std::to_chars(digits, digits + sizeof(digits), magnitude, base);
    std::string body(digits, result.ptr);
    if (upper) {
        for (char& c : body) c = (c >= 'a' && c <= 'f') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    FieldFormat padded = field;
    if (field.precision >= 0) {
        // An explicit precision is the minimum digit count and turns zero padding off.
        if (static_cast<int>(body.size()) < field.precision)
            body.insert(0, static_cast<std::size_t>(field.precision) - body.size(), '0');
        if (field.precision == 0 && magnitude == 0) body.clear();
        padded.zero = false;
    }
    AppendPadded(text, padded, SignOf(negative, field), body);
}

void AppendFixed(std::string& text, const FieldFormat& field, double value) {
    const int precision = field.precision >= 0 ? field.precision : 6;
    FieldFormat padded = field;
    if (value != value || value - value != 0.0) {
        // Infinity or NaN: never zero-padded.
        padded.zero = false;
        const bool negative = value < 0;
        AppendPadded(text, padded, SignOf(negative, field), value != value ? "nan" : "inf");
        return;
    }
    const bool negative = std::signbit(value);
    char digits[400];
    auto result =
        std::to_chars(digits, digits + sizeof(digits), negative ? -value : value, std::chars_format::fixed, precision);
    AppendPadded(text, padded, SignOf(negative, field), std::string_view(digits, result.ptr));
}

}  // namespace

void AppendFormattedV(std::string& text, const char* format, std::va_list args) {
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%') {
            text.push_back(*p);
            continue;
        }
        ++p;
        if (*p == '%') {
            text.push_back('%');
            continue;
        }
        FieldFormat field;
        for (;; ++p) {
            if (*p == '-') {
                field.left = true;
            } else if (*p == '0') {
                field.zero = true;
            } else if (*p == '+') {
                field.plus = true;
            } else if (*p == ' ') {
                field.space = true;
            } else {
                break;
            }
        }
        while (*p >= '0' && *p <= '9') field.width = field.width * 10 + (*p++ - '0');
        if (*p == '.') {
            ++p;
            field.precision = 0;
            while (*p >= '0' && *p <= '9') field.precision = field.precision * 10 + (*p++ - '0');
        }
        switch (*p) {
            case 'd':
            case 'i': {
                const long long value = va_arg(args, int);
                AppendInteger(
                    text, field,
                    value < 0 ? 0ull - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value),
                    value < 0, 10, false);
                break;
            }
            case 'u':
                AppendInteger(text, field, va_arg(args, unsigned), false, 10, false);
                break;
            case 'x':
            case 'X': {
                FieldFormat unsignedField = field;
                unsignedField.plus = unsignedField.space = false;
                AppendInteger(text, unsignedField, va_arg(args, unsigned), false, 16, *p == 'X');
                break;
            }
            case 'c': {
                const char c = static_cast<char>(va_arg(args, int));
                FieldFormat plain = field;
                plain.zero = false;
                AppendPadded(text, plain, "", std::string_view(&c, 1));
                break;
            }
            case 's': {
                const char* s = va_arg(args, const char*);
                if (s == nullptr) s = "(null)";
                std::string_view body(s);
                if (field.precision >= 0 && body.size() > static_cast<std::size_t>(field.precision))
                    body = body.substr(0, static_cast<std::size_t>(field.precision));
                FieldFormat plain = field;
                plain.zero = false;
                AppendPadded(text, plain, "", body);
                break;
            }
            case 'f':
            case 'F':
                AppendFixed(text, field, va_arg(args, double));
                break;
            default:
                // An unknown conversion (or the end of the format) is written as it stands.
                text.push_back('%');
                if (*p == '\0') return;
                text.push_back(*p);
                break;
        }
    }
}

void EmitShaderLine(std::string& text, const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    AppendFormattedV(text, format, args);
    va_end(args);
    text.push_back('\n');
}

bool AppendFormattedLine(WideString& text, const char* format, ...) {
    std::string line;
    std::va_list args;
    va_start(args, format);
    AppendFormattedV(line, format, args);
    va_end(args);
    line.push_back('\n');
    return text.AppendNarrow(line.c_str());
}

}  // namespace engine
