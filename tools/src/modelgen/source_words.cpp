#include "modelgen/source_words.h"

#include <charconv>
#include <cmath>
#include <sstream>

namespace modelgen {

std::vector<std::string> SourceWords(const std::string& line) {
    std::istringstream in(line.substr(0, line.find('#')));
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

bool ReadSourceFloat(const std::string& word, float& value) {
    const char* end = word.data() + word.size();
    const auto [ptr, ec] = std::from_chars(word.data(), end, value);
    return ec == std::errc() && ptr == end && std::isfinite(value);
}

}  // namespace modelgen
