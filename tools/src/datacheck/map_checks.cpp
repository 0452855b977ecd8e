// The skirmish and pass-and-play maps: each listed map loads as the game loads it, is the same under a half
// turn, gives both sides what a battle needs, and lets each side's engineers reach what they must capture.
#include <algorithm>
#include <array>
#include <deque>
#include <set>
#include <tuple>

#include "datacheck/data_check.h"
#include "datacheck/headless_game.h"
#include "engine/platform/script_reader.h"
#include "game/battle/battle_types.h"
#include "game/battle/hex_map.h"
#include "game/battle/hex_map_file.h"
#include "game/battle/hex_map_source.h"
#include "game/battle/structure.h"
#include "game/battle/structure_manager.h"
#include "game/level/level.h"
#include "game/teams/team.h"
#include "game/teams/team_manager.h"

namespace datacheck {

namespace {

constexpr const char* kSkirmishFolder = "Campaigns/Skirmish/";
constexpr const char* kMapList = "Campaigns/Skirmish/standardpassandplaymaps.TXT";
constexpr int kMinimumMaps = 6;

using game::HexCoord;
using game::HexFileImage;
using game::HexFileRecord;

std::string Tile(HexCoord hex) { return "tile " + game::FormatHexLabel(hex); }

int SwapSides(int owner) { return owner == game::kTeamBlue ? game::kTeamGreen : owner == game::kTeamGreen ? game::kTeamBlue : owner; }

// What stands on each tile, with three-hex buildings spread over their footprints: (class, type, owner, flag).
using Occupant = std::tuple<int, int, int, int>;

std::vector<Occupant> Occupants(const HexFileImage& image) {
    std::vector<Occupant> out(image.records.size());
    for (int row = 0; row < image.header.height; ++row) {
        for (int column = 0; column < image.header.width; ++column) {
            const HexFileRecord& r = image.At(column, row);
            if (r.objectClass == game::kObjectNone) continue;
            const Occupant occupant{r.objectClass, r.objectType, r.objectOwner, r.immobile};
            const auto hexes = r.objectClass == game::kObjectStructure
                                   ? game::StructureFootprint(game::MakeHexCoord(column, row), r.objectType, r.mirrored != 0)
                                   : std::vector<HexCoord>{game::MakeHexCoord(column, row)};
            for (HexCoord hex : hexes) {
                if (hex.column >= 0 && hex.row >= 0 && hex.column < image.header.width && hex.row < image.header.height) {
                    out[static_cast<std::size_t>(hex.row * image.header.width + hex.column)] = occupant;
                }
            }
        }
    }
    return out;
}

// The first tile that differs from its image under a half turn about the centre of the used tiles, with
// sides 1 and 2 swapped; empty when the map is symmetric.
std::pair<std::string, std::string> FindAsymmetry(const HexFileImage& image) {
    int minColumn = image.header.width, maxColumn = -1, minY = 1 << 20, maxY = -1;
    for (int row = 0; row < image.header.height; ++row) {
        for (int column = 0; column < image.header.width; ++column) {
            if (image.At(column, row).terrain == game::kTerrainNone) continue;
            const int y = 2 * row + ((column & 1) == 0 ? 1 : 0);  // even columns stand half a row lower
            minColumn = std::min(minColumn, column), maxColumn = std::max(maxColumn, column);
            minY = std::min(minY, y), maxY = std::max(maxY, y);
        }
    }
    if (maxColumn < 0) return {"", "no used tile"};
    if ((minColumn + maxColumn) % 2 != 0) {
        return {"", "an even number of used columns: a half turn would break the hex parity"};
    }
    const std::vector<Occupant> occupants = Occupants(image);
    for (int row = 0; row < image.header.height; ++row) {
        for (int column = 0; column < image.header.width; ++column) {
            const HexFileRecord& a = image.At(column, row);
            const HexCoord hex = game::MakeHexCoord(column, row);
            const int turnedColumn = minColumn + maxColumn - column;
            const int turnedY = minY + maxY - (2 * row + ((column & 1) == 0 ? 1 : 0));
            const int turnedRow = (turnedY - ((turnedColumn & 1) == 0 ? 1 : 0)) / 2;
            const bool inside = turnedColumn >= 0 && turnedColumn < image.header.width && turnedRow >= 0 &&
                                turnedRow < image.header.height;
            if (!inside) {
                if (a.terrain != game::kTerrainNone) return {Tile(hex), "its half-turn image lies off the map"};
                continue;
            }
            const HexFileRecord& b = image.At(turnedColumn, turnedRow);
            const std::string image_label = game::FormatHexLabel(game::MakeHexCoord(turnedColumn, turnedRow));
            if (a.terrain != b.terrain || a.level != b.level || a.overlay != b.overlay || a.height != b.height) {
                return {Tile(hex), "terrain, level, road or height differ from its half-turn image " + image_label};
            }
            auto mine = occupants[static_cast<std::size_t>(row * image.header.width + column)];
            const auto& theirs = occupants[static_cast<std::size_t>(turnedRow * image.header.width + turnedColumn)];
            std::get<2>(mine) = SwapSides(std::get<2>(mine));
            if (mine != theirs) {
                return {Tile(hex), "what stands here differs from its half-turn image " + image_label +
                                       " (sides 1 and 2 swapped)"};
            }
        }
    }
    return {};
}

// Every hex an engineer can walk to from the start.
std::set<std::uint32_t> Walkable(const game::HexMap& map, HexCoord start) {
    std::set<std::uint32_t> seen = {start.Packed()};
    std::deque<HexCoord> open = {start};
    while (!open.empty()) {
        const HexCoord hex = open.front();
        open.pop_front();
        for (int d = 0; d < game::kDirectionCount; ++d) {
            HexCoord next;
            if (!game::HexNeighbour(hex, d, next) || map.GetStepCost(hex, next, game::UT_ENGINEER) <= 0.0f) continue;
            if (seen.insert(next.Packed()).second) open.push_back(next);
        }
    }
    return seen;
}

// True when a walkable hex touches one of the building's hexes.
bool Reaches(const std::set<std::uint32_t>& walkable, const std::vector<HexCoord>& footprint) {
    for (HexCoord hex : footprint) {
        for (int d = 0; d < game::kDirectionCount; ++d) {
            HexCoord next;
            if (game::HexNeighbour(hex, d, next) && walkable.count(next.Packed()) != 0) return true;
        }
    }
    return false;
}

struct Placed {
    HexCoord hex;
    HexFileRecord record;
};

}  // namespace

void DataCheck::CheckSkirmishMaps() {
    const std::vector<std::uint8_t>* list = Find(kMapList);
    if (list == nullptr) {
        Fault(kMapList, "", "missing");
        return;
    }
    engine::ScriptReader reader;
    reader.LoadFromImage(list->data(), list->size(), "standardpassandplaymaps");
    std::vector<std::string> folders;
    for (engine::WideString line = reader.ReadLine(); line.Length() != 0; line = reader.ReadLine()) {
        folders.push_back(kSkirmishFolder + std::string(line.GetNarrow()));
    }
    if (folders.size() < kMinimumMaps) {
        Fault(kMapList, "", "lists " + std::to_string(folders.size()) + " maps, fewer than 6");
    }
    if (folders.empty() || Upper(folders.front()) != Upper(std::string(kSkirmishFolder) + "CloseQuarters")) {
        Fault(kMapList, "line 1", "the profile's default map CloseQuarters must come first");
    }
    HeadlessGame game;
    if (!game.UnitAssetsLoaded()) {
        Fault("Units/BasicParams.TXT", "", "the game does not load the unit tables, so no map can be checked");
        return;
    }
    for (const std::string& folder : folders) CheckMap(game, folder);
}

void DataCheck::CheckMap(HeadlessGame& headless, const std::string& folder) {
    const std::string mapName = folder + "/" + game::kHexMapFileName;
    const std::vector<std::uint8_t>* bytes = Find(mapName);
    if (bytes == nullptr) {
        Fault(mapName, "", "missing");
        return;
    }
    game::HexMap map;
    map.SetBattleContext(&headless.Game());  // the unit tables for movement costs
    const auto loader = [this](const std::string& path, std::vector<std::uint8_t>& out) {
        const std::vector<std::uint8_t>* found = Find(path);
        if (found != nullptr) out = *found;
        return found != nullptr;
    };
    if (!game::LoadHexMap(map, folder, loader)) {
        std::string reason;
        game::LoadHexMapFromMemory(map, bytes->data(), bytes->size(), &reason);
        Fault(mapName, "", "refused by the map reader: " + reason);
        return;
    }
    HexFileImage image;
    game::DecodeHexMapImage(bytes->data(), bytes->size(), image);

    // The map picker's files.
    const std::string detailsName = folder + "/details.TXT";
    int usedTiles = 0;
    for (const HexFileRecord& record : image.records) usedTiles += record.terrain != game::kTerrainNone ? 1 : 0;
    if (const std::vector<std::uint8_t>* details = Find(detailsName)) {
        engine::ScriptReader text;
        text.LoadFromImage(details->data(), details->size(), "details");
        int size = -1;
        if (text.FindKeyword("NAMES", true) != 1 || text.ReadLine().Length() == 0 || text.ReadLine().Length() == 0 ||
            text.ReadInt(size) != 1) {
            Fault(detailsName, "", "needs [NAMES] with a title, a subtitle and a size class");
        } else if (size != (usedTiles <= 300 ? 0 : usedTiles <= 800 ? 1 : 2)) {
            Fault(detailsName, "", "size class " + std::to_string(size) + " does not fit " + std::to_string(usedTiles) +
                                       " used tiles (0 up to 300, 1 up to 800, 2 above)");
        }
    } else {
        Fault(detailsName, "", "missing");
    }
    if (Find(folder + "/thumbnail.png") == nullptr) Fault(folder + "/thumbnail.png", "", "missing");

    if (const auto [where, message] = FindAsymmetry(image); !message.empty()) Fault(mapName, where, message);

    // The sides' buildings and starts.
    std::vector<Placed> structures;
    bool neutrals = false;
    for (int row = 0; row < image.header.height; ++row) {
        for (int column = 0; column < image.header.width; ++column) {
            const HexFileRecord& r = image.At(column, row);
            const HexCoord hex = game::MakeHexCoord(column, row);
            if (r.objectClass == game::kObjectNone) continue;
            if (r.objectOwner != game::kTeamNeutral && r.objectOwner != game::kTeamBlue && r.objectOwner != game::kTeamGreen) {
                Fault(mapName, Tile(hex), "owner " + std::to_string(r.objectOwner) + ": maps of this list use 0, 1 and 2");
            }
            if (r.objectClass == game::kObjectStructure) structures.push_back({hex, r});
            if (r.objectOwner == game::kTeamNeutral && r.objectClass != game::kObjectFeature) neutrals = true;
            if (r.objectClass == game::kObjectUnitStart && map.GetMoveCost(hex, r.objectType) <= 0.0f) {
                Fault(mapName, Tile(hex), "a unit of type " + std::to_string(r.objectType) + " starts where it cannot stand");
            }
        }
    }
    const auto count = [&](int owner, int type) {
        return std::count_if(structures.begin(), structures.end(), [&](const Placed& p) {
            return p.record.objectOwner == owner && p.record.objectType == type;
        });
    };
    // A pad beside any hex of the building, as the level links them.
    const auto padBeside = [&](const Placed& building) {
        const auto footprint =
            game::StructureFootprint(building.hex, building.record.objectType, building.record.mirrored != 0);
        for (const Placed& pad : structures) {
            if (pad.record.objectType != game::kStructureBuildPad) continue;
            for (HexCoord hex : footprint) {
                for (int d = 0; d < game::kDirectionCount; ++d) {
                    if (game::HexStep(hex, d) == pad.hex) return &pad;
                }
            }
        }
        return static_cast<const Placed*>(nullptr);
    };
    for (int side : {game::kTeamBlue, game::kTeamGreen}) {
        const std::string who = "side " + std::to_string(side);
        if (count(side, game::kStructureHQ) != 1) Fault(mapName, "", who + " needs exactly one HQ");
        if (count(side, game::kStructureRefinery) == 0) Fault(mapName, "", who + " has no refinery");
        for (int producer : {game::kStructureBarracks, game::kStructureFactory}) {
            const bool withPad = std::any_of(structures.begin(), structures.end(), [&](const Placed& p) {
                return p.record.objectOwner == side && p.record.objectType == producer && padBeside(p) != nullptr;
            });
            if (!withPad) {
                Fault(mapName, "", who + (producer == game::kStructureBarracks ? " has no barracks" : " has no factory") +
                                       " with a build pad");
            }
        }
    }
    if (!neutrals) Fault(mapName, "", "no neutral structure stands between the sides");

    // Engineers from each barracks pad reach every neutral structure and the enemy HQ, unless the side can
    // cross by sea or air.
    for (const Placed& barracks : structures) {
        if (barracks.record.objectType != game::kStructureBarracks || barracks.record.objectOwner == game::kTeamNeutral) continue;
        const Placed* pad = padBeside(barracks);
        if (pad == nullptr) continue;
        const int side = barracks.record.objectOwner;
        const bool seaOrAir = count(side, game::kStructureDockyard) + count(side, game::kStructureAirport) > 0;
        const std::set<std::uint32_t> walkable = Walkable(map, pad->hex);
        for (const Placed& target : structures) {
            const int owner = target.record.objectOwner;
            const bool wanted = owner == game::kTeamNeutral
                                    ? target.record.objectType != game::kStructureBuildPad
                                    : owner == SwapSides(side) && target.record.objectType == game::kStructureHQ;
            if (!wanted || seaOrAir) continue;
            if (!Reaches(walkable, game::StructureFootprint(target.hex, target.record.objectType, target.record.mirrored != 0))) {
                Fault(mapName, Tile(target.hex), "an engineer of side " + std::to_string(side) + " cannot walk here from the barracks pad at " +
                                                     game::FormatHexLabel(pad->hex));
            }
        }
    }

    // The level as the game loads it for pass-and-play and for skirmish.
    for (int state : {game::kGameLoadPassAndPlay, game::kGameLoadSkirmish}) {
        const std::string mode = state == game::kGameLoadSkirmish ? "skirmish" : "pass-and-play";
        if (!headless.LoadMap(state, folder)) {
            Fault(mapName, "", "the " + mode + " loading state does not load the level");
            continue;
        }
        game::Game& g = headless.Game();
        const game::StructureManager& manager = g.GetLevel()->GetStructureManager();
        for (const Placed& placed : structures) {
            const game::Structure* found = manager.FindAtHex(placed.hex);
            if (found == nullptr || found->GetType() != placed.record.objectType) {
                Fault(mapName, Tile(placed.hex), "the level made no structure of type " + std::to_string(placed.record.objectType) + " here");
            } else if (placed.record.objectType == game::kStructureBuildPad && found->GetLinkedStructure() == nullptr) {
                Fault(mapName, Tile(placed.hex), "a build pad linked to no building");
            }
        }
        std::set<int> kinds;
        for (int slot = 0; slot < game::kTeamKindCount; ++slot) {
            if (const game::Team* team = g.GetTeamManager()->GetTeam(slot)) kinds.insert(team->GetKind());
        }
        std::set<int> expected = {game::kTeamBlue, state == game::kGameLoadSkirmish ? game::kTeamEnemy : game::kTeamGreen};
        kinds.erase(game::kTeamNeutral);
        if (kinds != expected) {
            std::string found;
            for (int kind : kinds) found += (found.empty() ? "" : ", ") + std::to_string(kind);
            Fault(mapName, "", "the " + mode + " sides are {" + found + "}");
        }
        if (state == game::kGameLoadSkirmish && (g.CheckSkirmishWin() || g.CheckSkirmishLoss())) {
            Fault(mapName, "", "the skirmish is already decided on day 1 (condition " + std::to_string(g.GetEndCondition()) + ")");
        }
    }
}

}  // namespace datacheck
