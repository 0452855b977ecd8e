#include "game/core/campaign.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/gui/bitmap_font.h"
#include "engine/platform/script_reader.h"
#include "game/core/player_profile.h"
#include "game/core/slot_record.h"
#include "game/core/string_table.h"

namespace game {
namespace {

constexpr int kMaxPar = 10000;
constexpr const char* kDifficultyKeys[] = {"GEN_EASY", "GEN_MEDIUM", "GEN_HARD", "GEN_SILLY"};

// Up to n integer fields of a line, split at commas, blanks and tabs, each read as "%i" does; the fields
// read (a field that does not start with a number ends the reading).
int ReadIntFields(const char* line, int* out, int n) {
    int read = 0;
    const char* p = line;
    while (read < n) {
        while (*p == ',' || *p == ' ' || *p == '\t') ++p;
        if (*p == '\0') break;
        char* end = nullptr;
        const long value = std::strtol(p, &end, 0);
        if (end == p) break;
        out[read++] = static_cast<int>(std::clamp<long>(value, INT32_MIN, INT32_MAX));
        p = end;
        while (*p != '\0' && *p != ',' && *p != ' ' && *p != '\t') ++p;
    }
    return read;
}

// A mission folder name that stays inside its campaign: one plain path element.
bool IsPlainFolderName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\:") == std::string::npos;
}

engine::WideString LookedUp(const StringTable* strings, const char* key, bool escapes) {
    engine::WideString text = strings != nullptr ? strings->Lookup(key) : engine::WideString(key);
    if (escapes) text.UnescapeNewlines();
    return text;
}

}  // namespace

bool IsBetterResult(int medal, int margin, int storedMedal, int storedMargin) {
    if (medal != storedMedal) return medal < storedMedal;
    return margin > storedMargin;
}

Campaign::Campaign(const std::string& name, CampaignServices services)
    : services_(std::move(services)), folder_("Campaigns\\" + name) {}

Campaign::~Campaign() { ReleaseResources(); }

void Campaign::ReleaseResources() {
    wrapped_.Clear();
    if (mapTexture_ != 0 && services_.releaseTexture) services_.releaseTexture(mapTexture_);
    mapTexture_ = 0;
}

int Campaign::Difficulty() const { return services_.profile != nullptr ? services_.profile->GetDifficulty() : 0; }

bool Campaign::Load(const std::string& path) {
    folder_ = path;
    ReleaseResources();
    missions_ = {};
    count_ = 0;
    selected_ = -1;
    if (services_.loadTexture) mapTexture_ = services_.loadTexture(folder_ + "/CampaignMap");
    if (mapTexture_ == 0) return false;
    engine::ScriptReader reader;
    if (reader.Load((folder_ + "/Campaign").c_str()) == 0) return false;
    if (services_.strings != nullptr) services_.strings->LoadCampaignTexts(1, folder_.c_str());
    return ReadCampaignFile(reader);
}

bool Campaign::ReadCampaignFile(engine::ScriptReader& reader) {
    listedName_ = engine::WideString("Unnamed");
    if (reader.FindKeyword("LISTBOXNAME", true) != 0) listedName_ = reader.ReadLine();
    std::unique_ptr<engine::ScriptReader> order = reader.ExtractSection(true, "MISSIONORDER", "MISSIONORDEREND");
    if (!order) return true;
    while (count_ < kMaxCampaignMissions) {
        const engine::WideString line = order->ReadLine();
        if (line.IsEmpty()) break;
        const std::string name = line.GetNarrow();
        // A folder name that would leave the campaign is skipped like a mission that does not load.
        if (!IsPlainFolderName(name)) continue;
        engine::ScriptReader mission;
        if (mission.Load((folder_ + "/" + name + "/Mission").c_str()) == 0) continue;
        CampaignMission& entry = missions_[static_cast<std::size_t>(count_)];
        entry = CampaignMission{};
        if (!ParseMission(mission, entry)) continue;
        entry.folder = name;
        ++count_;
    }
    return true;
}
bool Campaign::ParseMission(engine::ScriptReader& reader, CampaignMission& mission) const {
    std::unique_ptr<engine::ScriptReader> params = reader.ExtractSection(true, "PARAMS", "ENDPARAMS");
    if (!params) return false;
    std::string keys[3];
    for (std::string& key : keys) {
        key = params->ReadLine().GetNarrow();
        if (key.empty()) return false;
    }
    mission.nameText = LookedUp(services_.strings, keys[0].c_str(), false);
    mission.mapText = LookedUp(services_.strings, keys[1].c_str(), true);
    mission.thirdText = LookedUp(services_.strings, keys[2].c_str(), true);
    int values[3] = {};
    std::string line = params->ReadLine().GetNarrow();
    // Markers lie on the picture; par turns are counts of days.
    if (ReadIntFields(line.c_str(), values, 2) == 2) {
        mission.markerX = std::clamp(values[0], 0, kPictureSize - 1);
        mission.markerY = std::clamp(values[1], 0, kPictureSize - 1);
    }
    line = params->ReadLine().GetNarrow();
    if (ReadIntFields(line.c_str(), values, 3) == 3) {
        for (int i = 0; i < 3; ++i) mission.pars[static_cast<std::size_t>(i)] = std::clamp(values[i], 0, kMaxPar);
    }
    line = params->ReadLine().GetNarrow();
    values[0] = values[1] = 0;
    ReadIntFields(line.c_str(), values, 2);
    mission.pair = {values[1], values[0]};
    line = params->ReadLine().GetNarrow();
    HexCoord tile;
    mission.startTile = ParseHexLabel(line, tile) ? tile : MakeHexCoord(23, 15);
    return true;
}

const CampaignMission& Campaign::GetMission(int index) const {
    static const CampaignMission kNone;
    return index >= 0 && index < count_ ? missions_[static_cast<std::size_t>(index)] : kNone;
}

void Campaign::SelectMission(int index) {
    if (index < 0 || index >= count_) return;
    selected_ = index;
    const CampaignMission& mission = GetMission(index);
    selectedFolder_ = mission.folder;
    levelFolder_ = folder_ + "/" + mission.folder;
    char head[64];
    std::snprintf(head, sizeof(head), "Mission %i of %i\n", index + 1, count_);
    engine::WideString text(head);
    text.Append(LookedUp(services_.strings, kDifficultyKeys[Difficulty()], false));
    text.AppendNarrow("\n\n");
    text.Append(mission.mapText);
    text.UnescapeNewlines();
    wrapped_.Clear();
    if (services_.menuFont != nullptr) {
        wrapped_.Wrap(*services_.menuFont, text, kTextWidth);
    }
    selectedAt_ = lastNow_;
}

std::string Campaign::GetSelectedMissionName() const { return GetMission(selected_).nameText.GetNarrow(); }
std::string Campaign::GetSelectedMissionRecord() const { return selectedFolder_; }
HexCoord Campaign::GetSelectedStartTile() const { return GetMission(selected_).startTile; }
int Campaign::GetPairValue(int index) const {
    return index == 0 || index == 1 ? GetMission(selected_).pair[static_cast<std::size_t>(index)] : 0;
}

// --- Medals and results --------------------------------------------------------------------------------------

void Campaign::MedalFor(int daysUsed, int& medal, int& margin) const {
    const auto& pars = GetMission(selected_).pars;
    const long long p[3] = {pars[0], pars[1], pars[2]};
    const long long u = daysUsed;
    if (u < p[0]) {
        medal = 1;
        margin = static_cast<int>(p[0] - u);
    } else if (u - p[0] < p[1]) {
        medal = 2;
        margin = static_cast<int>(p[1] - (u - p[0]));
    } else if (u - p[0] - p[1] < p[2]) {
        medal = 3;
        margin = static_cast<int>(p[2] - (u - p[0] - p[1]));
    } else {
        medal = 4;
        margin = 0;
    }
}

int Campaign::GetFinishedMedal() const {
    int medal = 0;
    int margin = 0;
    MedalFor(services_.currentDay ? services_.currentDay() - 1 : 0, medal, margin);
    return medal;
}

int Campaign::GetFinishedMargin() const {
    int medal = 0;
    int margin = 0;
    MedalFor(services_.currentDay ? services_.currentDay() - 1 : 0, medal, margin);
    return margin;
}

bool Campaign::GetStoredResult(int& medal, int& margin) const {
    const PlayerProfile* profile = services_.profile;
    const MissionResult stored =
        profile != nullptr && selected_ >= 0 ? profile->GetMissionResult(profile->GetDifficulty(), selected_)
                                             : MissionResult{};
    medal = stored.value;
    margin = stored.second;
    return stored.value != 0;
}

bool Campaign::RecordResult(int medal, int margin) {
    newRecord_ = false;
    PlayerProfile* profile = services_.profile;
    if (profile != nullptr && selected_ >= 0) {
        const MissionResult stored = profile->GetMissionResult(profile->GetDifficulty(), selected_);
        if (stored.value == 0) {
            profile->SetMissionResult(selected_, medal, margin);
        } else if (IsBetterResult(medal, margin, stored.value, stored.second)) {
            profile->SetMissionResult(selected_, medal, margin);
            newRecord_ = true;
        }
    }
    const bool another = selected_ + 1 < count_;
    SelectMission(another ? selected_ + 1 : 0);
    if (profile != nullptr) profile->Save();
    return another;
}

bool Campaign::IsCompleted(int difficulty) const {
    for (int m = 0; m < count_; ++m) {
        if (services_.profile == nullptr || services_.profile->GetMissionResult(difficulty, m).value == 0) {
            return false;
        }
    }
    return true;
}

bool Campaign::AllMissionsGold(int difficulty) const {
    for (int m = 0; m < count_; ++m) {
        if (services_.profile == nullptr || services_.profile->GetMissionResult(difficulty, m).value != 1) {
            return false;
        }
    }
    return true;
}

int Campaign::GetFirstUnfinished(int difficulty) const {
    for (int m = 0; m < count_; ++m) {
        if (services_.profile == nullptr || services_.profile->GetMissionResult(difficulty, m).value == 0) return m;
    }
    return count_ > 0 ? count_ - 1 : 0;
}

}  // namespace game
