#pragma once
// The text form of a scene container for `cntbuild` (tools/cntbuild.md).
#include <string>
#include <vector>

#include "cnt_writer.h"

namespace cntbuild {

// Parses the text into node records and actions; false with a message naming the line.
bool ParseSceneText(const std::string& text, std::vector<AuthorNode>& nodes, std::vector<AuthorAction>& actions,
                    std::string& error);

}  // namespace cntbuild
