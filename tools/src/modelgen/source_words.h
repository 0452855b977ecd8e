#pragma once
// Reading the line-based model sources (part lists, poses): the words of a line without its '#' comment, and a
// number read as the generator's float, so that a value written with enough digits comes back exactly.
#include <string>
#include <vector>

namespace modelgen {

std::vector<std::string> SourceWords(const std::string& line);

// A finite float that is the whole word.
bool ReadSourceFloat(const std::string& word, float& value);

}  // namespace modelgen
