#pragma once
// The line reader shared by the recipe, music and speech sources: lines split into words, a word that
// starts with "#" begins a comment, and every fault is an Error naming the source and the line.
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace sfx {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TextLine {
    int number = 0;
    std::vector<std::string> words;
    std::string rest;  // the line after its first word, without the comment, trimmed (speech lines)
};

// The non-empty lines of a source; a byte outside printable ASCII (tabs aside) is refused.
std::vector<TextLine> ReadLines(std::string_view text, const std::string& source);

// "<source>:<line>: <message>"
[[noreturn]] void Fail(const std::string& source, int line, const std::string& message);

// The word as a finite number within [low, high]; refused otherwise.
double ParseNumber(const std::string& word, double low, double high, const std::string& source, int line);

// The whole file; refused when it cannot be read.
std::string ReadFile(const std::string& path);
// Writes the bytes, creating the folders on the way; refused when that fails.
void WriteFile(const std::string& path, const std::string& bytes);

}  // namespace sfx
