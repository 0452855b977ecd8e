#pragma once
// The contact sheet of the generated models: each group drawn through the game's scene view on the offscreen
// window (llvmpipe), one tile per model (units twice, in the blue and the red team colours), written as
// "<out folder>/<group>.png" for people to look at.
#include <string>
#include <vector>

namespace tools {

struct ReviewItem {
    std::string path;  // a container path
    std::string tint;  // the tint material's name when it is drawn in team colours
    bool teamColours = false;
};

struct ReviewGroup {
    std::string name;
    std::vector<ReviewItem> items;
    bool fromAbove = false;
};

// Draws the groups from the loose data folder; 0 when every sheet was written and every model loaded.
int RunModelReview(const std::string& dataFolder, const std::string& outFolder, const std::vector<ReviewGroup>& groups);

}  // namespace tools
