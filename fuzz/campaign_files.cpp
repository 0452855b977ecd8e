// Gives arbitrary bytes to a campaign as its files in a data folder held in memory (an archive mounted as
// the only one): the input is cut at each "@@@@" into the "Campaign" file of "Campaigns\Fuzz", the mission
// files of its folders "M0" to "M2" and the campaign's locale file. Whatever they hold, the campaign must
// load at most 20 missions whose folders stay inside it, select each, give a medal from 1 to 4 with a margin
// that is not negative for every number of days used, and answer hit tests, all without reading out of
// bounds, overflowing or hanging.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/archive_set.h"
#include "engine/platform/data_folders.h"
#include "engine/platform/memory_zip_archive.h"
#include "engine/platform/save_blob.h"
#include "engine/platform/memory_save_store.h"
#include "game/core/campaign.h"
#include "game/core/player_profile.h"
#include "game/core/string_table.h"
#include "support/zip_writer.h"

namespace {

std::vector<std::string> Split(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (parts.size() < 5) {
        const std::size_t cut = text.find("@@@@", start);
        parts.push_back(text.substr(start, cut == std::string::npos ? std::string::npos : cut - start));
        if (cut == std::string::npos) break;
        start = cut + 4;
    }
    parts.resize(5);
    return parts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> parts = Split(data, size);
    testsupport::ZipWriter writer;
    writer.Add("Campaigns/Fuzz/Campaign.TXT", parts[0], 0);
    for (int m = 0; m < 3; ++m) {
        writer.Add("Campaigns/Fuzz/M" + std::to_string(m) + "/Mission.TXT", parts[static_cast<std::size_t>(m) + 1], 0);
    }
    writer.Add("Campaigns/Fuzz/Locale/eng.txt", parts[4], 0);
    const testsupport::ZipImage image = writer.Build();
    auto archive = std::make_unique<engine::MemoryZipArchive>(image.bytes.data(), image.bytes.size());
    if (archive->Open("campaign.zip") != 1) __builtin_trap();
    engine::ArchiveSet archives;
    if (!archives.Mount(std::move(archive), "Fuzz")) __builtin_trap();
    engine::SetActiveArchiveSet(&archives);

    static game::StringTable strings;
    engine::MemorySaveStore store;
    engine::NamedSaveBlob blob(store);
    game::PlayerProfile profile(blob, store);
    profile.SetCurrentCampaignName("Fuzz");
    game::CampaignServices services;
    services.strings = &strings;
    services.profile = &profile;
    services.loadTexture = [](const std::string&) -> std::uint32_t { return 1; };
    int day = 1;
    services.currentDay = [&day] { return day; };
    game::Campaign campaign("Fuzz", services);
    if (!campaign.Load("Campaigns\\Fuzz")) {
        // Only a campaign file with nothing in it fails to load (the map picture is always there).
        if (!parts[0].empty()) __builtin_trap();
        engine::SetActiveArchiveSet(nullptr);
        return 0;
    }
    const int count = campaign.GetMissionCount();
    if (count < 0 || count > game::kMaxCampaignMissions) __builtin_trap();
    for (int m = 0; m < count; ++m) {
        const std::string& folder = campaign.GetMission(m).folder;
        if (folder.empty() || folder.find_first_of("/\\") != std::string::npos || folder == "..") __builtin_trap();
        campaign.SelectMission(m);
        if (campaign.GetSelectedMissionIndex() != m) __builtin_trap();
        for (int used : {0, 1, 5, 100, 100000}) {
            int medal = 0;
            int margin = 0;
            campaign.MedalFor(used, medal, margin);
            if (medal < 1 || medal > 4 || margin < 0) __builtin_trap();
        }
        day = 7;
        campaign.RecordResult(campaign.GetFinishedMedal(), campaign.GetFinishedMargin());
    }
    campaign.StartMap(0.0);
    for (int x : {-100000, 0, 32, 511, 1023, 100000}) campaign.HitMarker(x, x);
    campaign.UpdateMap({}, 0.02f, 0.1);
    engine::SetActiveArchiveSet(nullptr);
    return 0;
}
