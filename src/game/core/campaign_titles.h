#pragma once
// The listed names of the base campaign and the two campaign packs, as the data set's campaigns list them;
// the campaign achievements recognise a campaign by them.
#include <array>

namespace game {

inline constexpr std::array<const char*, 3> kCampaignTitles = {"Tinmarch Campaign", "Tinmarch Coast Pack",
                                                               "Tinmarch Mountain Pack"};

}  // namespace game
