// The base campaign: its campaign file and texts, and every mission of its mission order loaded as the
// game's campaign loading state loads it. The readers drop bad lines silently, so every refusal they report
// is a fault, and the counts they read must equal the counts written.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

#include "datacheck/data_check.h"
#include "datacheck/headless_game.h"
#include "engine/platform/script_reader.h"
#include "game/battle/battle_types.h"
#include "game/battle/hex_map.h"
#include "game/battle/hex_map_file.h"
#include "game/battle/hex_map_source.h"
#include "game/core/campaign.h"
#include "game/core/campaign_titles.h"
#include "game/core/string_table.h"
#include "game/level/level.h"
#include "game/level/mission.h"
#include "game/level/script_block.h"
#include "game/level/script_manager.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"
#include "game/units/unit_balance_check.h"
#include "game/units/unit_catalogue.h"

namespace datacheck {

namespace {

constexpr int kMinMissions = 8;
constexpr int kMaxMissions = 20;
constexpr int kMaxComicEvents = 31;
// Markers closer than this overlap on the campaign map and are hard to tell apart.
constexpr int kMinMarkerSpacing = 120;
constexpr const char* kCommands[] = {"SPAWN",    "MOVEUNIT", "PICKUPUNIT",     "DROPUNIT",       "STOPUNIT", "LANDUNIT",
                                     "KILLUNIT", "RELINQUISH", "IMMOBILIZEUNIT", "ASSIGNUNITNAME", "INTEL", "WAITINTEL",
                                     "PAUSE", "HELPICON", "CAMSCROLL", "HOTSPOT", "ADDTRIGGER"};

// A text file's lines as written, numbered from 1, with the "//" comments and trailing blanks cut.
struct TextLine {
    int number;
    std::string text;
};

std::vector<TextLine> Lines(const std::vector<std::uint8_t>& bytes) {
    std::vector<TextLine> lines;
    std::string line;
    int number = 1;
    const auto flush = [&] {
        if (const std::size_t comment = line.find("//"); comment != std::string::npos) line.erase(comment);
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r')) line.pop_back();
        const std::size_t start = line.find_first_not_of(" \t");
        lines.push_back({number, start == std::string::npos ? std::string() : line.substr(start)});
        line.clear();
    };
    for (std::uint8_t byte : bytes) {
        if (byte == '\n') {
            flush();
            ++number;
        } else {
            line += static_cast<char>(byte);
        }
    }
    if (!line.empty()) flush();
    return lines;
}

// The non-empty lines between "[start]" and "[end]" (or the next "[" line when end is empty); found tells
// whether the start marker is there.
std::vector<TextLine> Block(const std::vector<TextLine>& lines, const std::string& start, const std::string& end,
                            bool& found) {
    std::vector<TextLine> out;
    found = false;
    for (const TextLine& line : lines) {
        if (!found) {
            found = Upper(line.text) == "[" + start + "]";
            continue;
        }
        if (end.empty() ? line.text.rfind('[', 0) == 0 : Upper(line.text) == "[" + end + "]") break;
        if (!line.text.empty()) out.push_back(line);
    }
    return out;
}

// Fields split at runs of the separators.
std::vector<std::string> Split(const std::string& text, const char* separators) {
    std::vector<std::string> fields;
    std::size_t at = text.find_first_not_of(separators);
    while (at != std::string::npos) {
        const std::size_t end = text.find_first_of(separators, at);
        fields.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end == std::string::npos ? end : text.find_first_not_of(separators, end);
    }
    return fields;
}

bool IsInt(const std::string& text) {
    std::size_t at = text.empty() || (text[0] != '-' && text[0] != '+') ? 0 : 1;
    return at < text.size() && text.find_first_not_of("0123456789", at) == std::string::npos;
}

class Sink final : public game::MissionDiagnostics {
public:
    void Refuse(int line, const std::string& message) override { refused.emplace_back(line, message); }
    std::vector<std::pair<int, std::string>> refused;
};

// Every hex a unit of the type can move to from the start.
std::set<std::uint32_t> Reachable(const game::HexMap& map, game::HexCoord start, int unitType) {
    std::set<std::uint32_t> seen = {start.Packed()};
    std::vector<game::HexCoord> open = {start};
    while (!open.empty()) {
        const game::HexCoord hex = open.back();
        open.pop_back();
        for (int d = 0; d < game::kDirectionCount; ++d) {
            game::HexCoord next;
            if (!game::HexNeighbour(hex, d, next) || map.GetStepCost(hex, next, unitType) <= 0.0f) continue;
            if (seen.insert(next.Packed()).second) open.push_back(next);
        }
    }
    return seen;
}

}  // namespace

// What the whole campaign must show at least once.
struct CampaignCoverage {
    std::set<std::string> commands;
    std::set<int> win;
    std::set<int> lose;
    bool survivor = false;
    std::uint32_t lastMask = 0;
};

void DataCheck::CheckCampaign(const std::string& name) {
    const std::string folder = "Campaigns/" + name;
    const std::string campaignName = folder + "/Campaign.TXT";
    const std::vector<std::uint8_t>* campaign = Find(campaignName);
    if (campaign == nullptr) {
        Fault(campaignName, "", "missing");
        return;
    }
    const std::vector<TextLine> lines = Lines(*campaign);
    bool found = false;
    const std::vector<TextLine> listed = Block(lines, "LISTBOXNAME", "", found);
    if (!found || listed.empty() || listed.front().text != game::kCampaignTitles[0]) {
        Fault(campaignName, "", std::string("[LISTBOXNAME] must be followed by \"") + game::kCampaignTitles[0] + "\"");
    }
    // The game reads the order up to its first empty line: an empty line inside it would drop the rest.
    std::vector<std::string> missions;
    bool inOrder = false;
    for (const TextLine& line : lines) {
        if (!inOrder) {
            inOrder = Upper(line.text) == "[MISSIONORDER]";
            continue;
        }
        if (line.text.empty() || line.text[0] == '[') break;
        missions.push_back(line.text);
    }
    if (missions.size() < kMinMissions || missions.size() > kMaxMissions) {
        Fault(campaignName, "", "[MISSIONORDER] lists " + std::to_string(missions.size()) + " missions, not 8 to 20");
    }

    // The campaign's own text table, read as the game reads it.
    game::StringTable table;
    table.Init();
    const std::string localeName = folder + "/Locale/eng.txt";
    if (const std::vector<std::uint8_t>* locale = Find(localeName)) {
        engine::ScriptReader reader;
        reader.LoadFromImage(locale->data(), locale->size(), "eng");
        const int rows = table.ReadTable(1, reader);
        int written = 0;
        for (std::size_t i = 2; i + 1 < locale->size(); i += 2) written += (*locale)[i] == '[' && (*locale)[i + 1] == 0 &&
                                                                                  (i == 2 || (*locale)[i - 2] == '\n');
        if (rows != written) {
            Fault(localeName, "", "the string table read " + std::to_string(rows) + " of " + std::to_string(written) + " entries");
        }
    } else {
        Fault(localeName, "", "missing");
    }
    if (Find(folder + "/CampaignMap.png") == nullptr) Fault(folder + "/CampaignMap.png", "", "missing");

    std::set<std::string> cast;
    if (const std::vector<std::uint8_t>* castList = Find("Comic/cast.txt")) {
        for (const TextLine& line : Lines(*castList)) {
            if (!line.text.empty()) cast.insert(Upper(line.text));
        }
    } else {
        Fault("Comic/cast.txt", "", "missing");
    }

    HeadlessGame game;
    if (!game.UnitAssetsLoaded()) return;  // named by the map checks
    CampaignCoverage coverage;
    std::uint32_t previousMask = 0;
    for (std::size_t i = 0; i < missions.size(); ++i) {
        CheckMission(game, table, cast, folder + "/" + missions[i], i == 0, coverage);
        if ((coverage.lastMask & previousMask) != previousMask) {
            Fault(folder + "/" + missions[i] + "/Mission.TXT", "", "the unlock list drops types an earlier mission opened");
        }
        previousMask = coverage.lastMask;
    }

    // What the campaign as a whole must use.
    for (const char* command : kCommands) {
        if (coverage.commands.count(command) == 0) Fault(folder, "", std::string("no mission script uses ") + command);
    }
    for (int id : {3, 10, 22}) {
        if (coverage.win.count(id) == 0) Fault(folder, "", std::string("no mission is won by ") + game::WinLoseConditionName(id));
    }
    if (coverage.win.count(11) == 0 && coverage.win.count(13) == 0) Fault(folder, "", "no mission is won by reaching a tile");
    for (int id : {2, 4, 7, 9}) {
        if (coverage.lose.count(id) == 0) Fault(folder, "", std::string("no mission is lost by ") + game::WinLoseConditionName(id));
    }
    CheckCampaignInfo(folder, missions);
    if (!coverage.survivor) Fault(folder, "", "no survivor mission");
    for (int type = 1; type < game::kUnitTypeCount; ++type) {
        if (game::IsBuyableUnitType(type) && (coverage.lastMask & (1u << type)) == 0) {
            Fault(folder, "", "the last mission does not open " + std::string(game::FindUnitDescriptor(type)->keyword));
        }
    }
}

void DataCheck::CheckCampaignInfo(const std::string& folder, const std::vector<std::string>& listed) {
    const std::string campaignName = folder + "/Campaign.TXT";
    const std::string pictureName = folder + "/CampaignMap.png";
    // The picture's size from its PNG header (the width and height of the IHDR chunk).
    const std::vector<std::uint8_t>* picture = Find(pictureName);
    if (picture == nullptr || picture->size() < 24) return;  // named above
    const auto be32 = [&](std::size_t at) {
        return static_cast<int>((std::uint32_t{(*picture)[at]} << 24) | ((*picture)[at + 1] << 16) |
                                ((*picture)[at + 2] << 8) | (*picture)[at + 3]);
    };
    const int width = be32(16);
    const int height = be32(20);

    // The campaign as the game loads it (the map texture stands in as present).
    game::CampaignServices services;
    services.loadTexture = [](const std::string&) { return 1u; };
    game::Campaign campaign("", services);
    if (!campaign.Load(folder)) {
        Fault(campaignName, "", "the campaign does not load");
        return;
    }
    if (campaign.GetMissionCount() != static_cast<int>(listed.size())) {
        Fault(campaignName, "", "the campaign took " + std::to_string(campaign.GetMissionCount()) + " of the " +
                                    std::to_string(listed.size()) + " missions listed");
    }
    for (int i = 0; i < campaign.GetMissionCount(); ++i) {
        const game::CampaignMission& mission = campaign.GetMission(i);
        const std::string missionName = folder + "/" + mission.folder + "/Mission.TXT";
        // The marker line as written: the campaign clamps a marker onto the picture, which would hide one
        // placed off it.
        std::string markerWhere;
        std::string startWhere;
        int written[2] = {mission.markerX, mission.markerY};
        if (const std::vector<std::uint8_t>* bytes = Find(missionName)) {
            bool found = false;
            const std::vector<TextLine> params = Block(Lines(*bytes), "PARAMS", "ENDPARAMS", found);
            if (params.size() > 6) startWhere = "line " + std::to_string(params[6].number);
            if (params.size() > 3) {
                markerWhere = "line " + std::to_string(params[3].number);
                const auto fields = Split(params[3].text, ", \t");
                for (std::size_t k = 0; k < 2 && k < fields.size(); ++k) {
                    if (IsInt(fields[k])) written[k] = std::atoi(fields[k].c_str());
                }
            }
        }
        if (written[0] < 0 || written[0] >= width || written[1] < 0 || written[1] >= height ||
            written[0] != mission.markerX || written[1] != mission.markerY) {
            Fault(missionName, markerWhere, "the marker " + std::to_string(written[0]) + "," + std::to_string(written[1]) +
                                                " lies outside the " + std::to_string(width) + "x" +
                                                std::to_string(height) + " campaign picture");
        }
        for (int j = 0; j < i; ++j) {
            const game::CampaignMission& other = campaign.GetMission(j);
            const double dx = mission.markerX - other.markerX;
            const double dy = mission.markerY - other.markerY;
            if (dx * dx + dy * dy < double{kMinMarkerSpacing} * kMinMarkerSpacing) {
                Fault(missionName, markerWhere, "the marker lies within " + std::to_string(kMinMarkerSpacing) +
                                                    " px of " + other.folder + "'s");
            }
        }
        // The start tile: a tile of the mission's map inside its playable shape.
        const game::HexCoord start = mission.startTile;
        game::HexFileImage image;
        const std::vector<std::uint8_t>* map = Find(folder + "/" + mission.folder + "/" + game::kHexMapFileName);
        const bool onMap = game::IsValidHex(start) && map != nullptr &&
                           game::DecodeHexMapImage(map->data(), map->size(), image) &&
                           start.column < image.header.width && start.row < image.header.height &&
                           image.At(start.column, start.row).terrain != game::kTerrainNone;
        if (!onMap) {
            Fault(missionName, startWhere,
                  "the start tile " + game::FormatHexLabel(start) + " is not a playable tile of the mission's map");
        }
    }
}

void DataCheck::CheckMission(HeadlessGame& headless, const game::StringTable& table, const std::set<std::string>& cast,
                             const std::string& folder, bool first, CampaignCoverage& coverage) {
    const std::string missionName = folder + "/Mission.TXT";
    const std::string scriptName = folder + "/Script.TXT";
    const std::string comicName = folder + "/comic.TXT";
    const std::string mapName = folder + "/" + game::kHexMapFileName;
    const auto key = [&](const std::string& file, int line, const std::string& text) {
        if (text.empty() || table.LookupInTable(text.c_str(), 1).GetNarrow() == std::string(game::StringTable::kNoString)) {
            Fault(file, "line " + std::to_string(line), "key \"" + text + "\" is not in the campaign's text table");
        }
    };
    const std::vector<std::uint8_t>* mission = Find(missionName);
    const std::vector<std::uint8_t>* script = Find(scriptName);
    const std::vector<std::uint8_t>* comic = Find(comicName);
    const std::vector<std::uint8_t>* mapBytes = Find(mapName);
    for (const auto& [file, bytes] : {std::pair{missionName, mission}, {scriptName, script}, {comicName, comic}, {mapName, mapBytes}}) {
        if (bytes == nullptr) Fault(file, "", "missing");
    }
    if (mission == nullptr || script == nullptr || comic == nullptr || mapBytes == nullptr) return;

    // The readers keep a blank after a comma in the value or argument that follows it.
    const std::vector<TextLine> missionLines = Lines(*mission);
    const std::vector<TextLine> scriptLines = Lines(*script);
    for (const auto& [file, lines] : {std::pair{missionName, &missionLines}, {scriptName, &scriptLines}}) {
        for (const TextLine& line : *lines) {
            if (line.text.find(", ") != std::string::npos || line.text.find(",\t") != std::string::npos) {
                Fault(file, "line " + std::to_string(line.number), "a blank after a comma stays in the value that follows");
            }
        }
    }

    // PARAMS: every line written out, the keys in the campaign table.
    bool found = false;
    const std::vector<TextLine> params = Block(missionLines, "PARAMS", "ENDPARAMS", found);
    std::pair<int, int> startCash{0, 0};
    int parTotal = 0;
    if (!found || params.size() != 7) {
        Fault(missionName, "", "[PARAMS] ... [ENDPARAMS] must hold 7 lines: three keys, marker, par turns, start cash, start tile");
    } else {
        for (int k = 0; k < 3; ++k) key(missionName, params[k].number, params[k].text);
        const std::size_t counts[] = {2, 3, 2};
        for (int k = 0; k < 3; ++k) {
            const auto fields = Split(params[3 + k].text, ", \t");
            if (fields.size() != counts[k] || !std::all_of(fields.begin(), fields.end(), IsInt)) {
                Fault(missionName, "line " + std::to_string(params[3 + k].number),
                      "expected " + std::to_string(counts[k]) + " whole numbers");
            } else if (k == 2) {
                startCash = {std::stoi(fields[0]), std::stoi(fields[1])};
            } else if (k == 1) {
                for (const std::string& field : fields) parTotal += std::max(0, std::stoi(field));
            }
        }
        game::HexCoord start;
        if (!game::ParseHexLabel(params[6].text, start) || !game::IsValidHex(start)) {
            Fault(missionName, "line " + std::to_string(params[6].number), "\"" + params[6].text + "\" is not a tile");
        }
    }

    // The level as the campaign loading state loads it.
    if (!headless.LoadMission(folder, startCash)) {
        Fault(mapName, "", "the campaign loading state does not load the level");
        return;
    }
    game::Game& g = headless.Game();
    game::Level& level = *g.GetLevel();
    game::TeamManager& teams = *g.GetTeamManager();

    Sink missionSink;
    level.LoadMission(folder, &missionSink);
    for (const auto& [line, message] : missionSink.refused) Fault(missionName, "line " + std::to_string(line), message);
    const game::MissionSettings& settings = level.GetMission();
    coverage.survivor = coverage.survivor || settings.survivor;
    for (const auto& [block, list] : {std::pair{"WIN", &settings.win}, {"LOSE", &settings.lose}}) {
        const std::vector<TextLine> written = Block(missionLines, block, std::string("END") + block, found);
        if (found && !(settings.survivor && std::string(block) == "WIN") && written.size() != list->size()) {
            Fault(missionName, "", std::string("[") + block + "] holds " + std::to_string(written.size()) +
                                       " lines but the reader took " + std::to_string(list->size()));
        }
        for (const game::MissionCondition& condition : *list) (std::string(block) == "WIN" ? coverage.win : coverage.lose).insert(condition.id);
    }
    for (const TextLine& line : Block(missionLines, "UNLOCK", "ENDUNLOCK", found)) {
        const int type = game::ParseUnitTypeKeyword(line.text);
        if (type == 0 || (settings.unlockMask & (1u << type)) == 0) {
            Fault(missionName, "line " + std::to_string(line.number), "\"" + line.text + "\" opens no unit type");
        }
    }
    coverage.lastMask = settings.unlockMask;

    // The sides, the start and the conditions against the map.
    std::set<int> kinds;
    for (int slot = 0; slot < game::kTeamKindCount; ++slot) {
        if (const game::Team* team = teams.GetTeam(slot)) kinds.insert(team->GetKind());
    }
    kinds.erase(game::kTeamNeutral);
    if (kinds != std::set<int>{game::kTeamBlue, game::kTeamEnemy}) Fault(mapName, "", "the campaign sides must be kinds 1 and 4");
    game::HexFileImage image;
    game::DecodeHexMapImage(mapBytes->data(), mapBytes->size(), image);
    game::HexMap map;
    map.SetBattleContext(&g);
    game::LoadHexMapFromMemory(map, mapBytes->data(), mapBytes->size());
    std::vector<std::pair<game::HexCoord, int>> playerStarts;
    bool enemyHQ = false;
    for (int row = 0; row < image.header.height; ++row) {
        for (int column = 0; column < image.header.width; ++column) {
            const game::HexFileRecord& r = image.At(column, row);
            if (r.objectClass == game::kObjectNone) continue;
            if (r.objectOwner != 0 && r.objectOwner != 1 && r.objectOwner != 4) {
                Fault(mapName, "tile " + game::FormatHexLabel(game::MakeHexCoord(column, row)),
                      "owner " + std::to_string(r.objectOwner) + ": campaign maps use 0, 1 and 4");
            }
            if (r.objectClass == game::kObjectUnitStart && r.objectOwner == game::kTeamBlue) {
                playerStarts.emplace_back(game::MakeHexCoord(column, row), r.objectType);
            }
            enemyHQ = enemyHQ || (r.objectClass == game::kObjectStructure && r.objectType == game::kStructureHQ &&
                                  r.objectOwner == game::kTeamEnemy);
        }
    }
    for (const game::MissionCondition& condition : settings.win) {
        const std::string where = std::string(game::WinLoseConditionName(condition.id));
        if (condition.id == game::WLC_NO_ENEMY_HQ && !enemyHQ) Fault(missionName, "", where + " but the enemy has no HQ");
        if (condition.id == game::WLC_CASHGRAB && condition.amount <= startCash.first) {
            Fault(missionName, "", where + " " + std::to_string(condition.amount) + " does not exceed the start cash " +
                                       std::to_string(startCash.first));
        }
        if (condition.id >= game::WLC_REACHTILE_GENERAL && condition.id <= game::WLC_REACHTILE_ANY) {
            bool reached = false;
            for (const auto& [hex, type] : playerStarts) {
                const int mover = condition.id == game::WLC_REACHTILE_GENERAL       ? game::UT_GENERAL
                                  : condition.id == game::WLC_REACHTILE_SUPERSOLDIER ? game::UT_SUPERSOLDIER
                                                                                     : type;
                reached = reached || Reachable(map, hex, mover).count(condition.tile.Packed()) != 0;
            }
            if (!reached) Fault(missionName, "", where + " " + condition.argument + " cannot be reached from a player start");
        }
    }
    if (const int won = level.CheckWinLose(true, teams); won != 0 && !settings.survivor) {
        Fault(missionName, "", std::string("won on day 1 by ") + game::WinLoseConditionName(won));
    }
    if (const int lost = level.CheckWinLose(false, teams); lost != 0) {
        Fault(missionName, "", std::string("lost on day 1 by ") + game::WinLoseConditionName(lost));
    }

    // The script: every block and command the file holds is loaded.
    Sink scriptSink;
    game::ScriptManager scripts(g, g);
    scripts.Init(folder);
    scripts.SetTeamManager(&teams);
    scripts.Load(&scriptSink);
    for (const auto& [line, message] : scriptSink.refused) Fault(scriptName, "line " + std::to_string(line), message);
    std::vector<std::pair<TextLine, std::vector<TextLine>>> blocks;
    bool inBlock = false;
    for (const TextLine& line : scriptLines) {
        if (line.text.empty()) continue;
        if (!inBlock && line.text[0] == '[') {
            blocks.push_back({line, {}});
        } else if (line.text == "{" || line.text == "}") {
            inBlock = line.text == "{";
        } else if (inBlock && !blocks.empty()) {
            blocks.back().second.push_back(line);
        }
    }
    if (static_cast<int>(blocks.size()) != scripts.GetBlockCount()) {
        Fault(scriptName, "", std::to_string(blocks.size()) + " blocks written, " + std::to_string(scripts.GetBlockCount()) + " loaded");
    }
    // Unit names: bound by SPAWN or ASSIGNUNITNAME before a later command, block or day uses them.
    std::map<std::string, int> boundOnDay;  // name -> earliest day block that binds it
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        const auto& [header, commands] = blocks[b];
        const game::ScriptBlock* loaded = static_cast<int>(b) < scripts.GetBlockCount() ? scripts.GetBlock(static_cast<int>(b)) : nullptr;
        if (loaded != nullptr && loaded->GetActionCount() != static_cast<int>(commands.size())) {
            Fault(scriptName, "line " + std::to_string(header.number),
                  "block " + header.text + ": " + std::to_string(commands.size()) + " commands written, " +
                      std::to_string(loaded->GetActionCount()) + " loaded");
        }
        int day = 1 << 20;  // trigger blocks run after the day blocks that set their triggers
        if (std::sscanf(header.text.c_str(), "[DAY%d_START]", &day) != 1) day = 1 << 20;
        std::set<std::string> boundHere;
        for (const TextLine& command : commands) {
            const auto tokens = Split(command.text, ",\t()");
            const std::string keyword = Upper(Split(command.text, ", \t()").front());
            coverage.commands.insert(keyword);
            const std::vector<std::string> args(tokens.begin() + 1, tokens.end());
            if ((keyword == "INTEL" && !args.empty())) key(scriptName, command.number, args[0]);
            if (keyword == "HELPICON" && args.size() > 1) key(scriptName, command.number, args[1]);
            if (first && keyword == "HELPICON") coverage.commands.insert("first mission teaches");
            std::vector<std::string> uses;
            if (keyword == "SPAWN" && !args.empty()) {
                boundHere.insert(args[0]);
            } else if (keyword == "ASSIGNUNITNAME" && args.size() > 1) {
                boundHere.insert(args[1]);
            } else if (keyword == "PICKUPUNIT" && args.size() > 1) {
                uses = {args[0], args[1]};
            } else if (keyword != "INTEL" && keyword != "WAITINTEL" && keyword != "PAUSE" && keyword != "HELPICON" &&
                       keyword != "CAMSCROLL" && keyword != "HOTSPOT" && keyword != "ADDTRIGGER" && !args.empty()) {
                uses = {args[0]};
            }
            for (const std::string& used : uses) {
                const auto bound = boundOnDay.find(used);
                if (boundHere.count(used) == 0 && (bound == boundOnDay.end() || bound->second >= day)) {
                    Fault(scriptName, "line " + std::to_string(command.number), "unit name \"" + used + "\" is not bound before it is used");
                }
            }
        }
        for (const std::string& name : boundHere) boundOnDay.emplace(name, day);
    }
    if (first && coverage.commands.erase("first mission teaches") == 0) {
        Fault(scriptName, "", "the first mission does not teach with HELPICON");
    }

    // The comic, as the comic player reads it.
    int events = 0;
    double lastTime = 0.0;
    std::string lastKeyword;
    for (const TextLine& line : Lines(*comic)) {
        if (line.text.empty()) continue;
        const std::string where = "line " + std::to_string(line.number);
        const auto fields = Split(line.text, ", \t");
        const std::string keyword = fields.size() > 1 ? Upper(fields[1]) : "";
        const bool needsArgument = keyword == "LEFTON" || keyword == "RIGHTON" || keyword == "LSPEAK" || keyword == "RSPEAK";
        const bool known = needsArgument || keyword == "LEFTOFF" || keyword == "RIGHTOFF" || keyword == "FINISHED";
        char* end = nullptr;
        const double time = std::strtod(fields[0].c_str(), &end);
        if (!known || *end != '\0' || (needsArgument && fields.size() < 3)) {
            Fault(comicName, where, "not an event the comic player reads: \"" + line.text + "\"");
            continue;
        }
        if (time < lastTime) Fault(comicName, where, "events must come in time order");
        lastTime = time;
        if ((keyword == "LEFTON" || keyword == "RIGHTON") && cast.count(Upper(fields[2])) == 0) {
            Fault(comicName, where, "picture \"" + fields[2] + "\" is not in the cast list");
        }
        if (keyword == "LSPEAK" || keyword == "RSPEAK") key(comicName, line.number, fields[2]);
        ++events;
        lastKeyword = keyword;
    }
    if (events > kMaxComicEvents) {
        Fault(comicName, "", std::to_string(events) + " events: the comic player takes at most 31 and plays its wait comic instead");
    }
    if (lastKeyword != "FINISHED") Fault(comicName, "", "the last event must be FINISHED");

    // The mission played without orders for its par turns and three days more.
    std::map<std::string, std::vector<int>> commandLines;
    for (const auto& [header, commands] : blocks) {
        std::vector<int>& lines = commandLines[Upper(header.text.substr(1, header.text.find(']') - 1))];
        for (const TextLine& command : commands) lines.push_back(command.number);
    }
    PassMissionDays(headless, scriptName, parTotal + 3, commandLines);
}

}  // namespace datacheck
