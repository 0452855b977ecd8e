#pragma once
// The validator of the data set: it reads the archive through the game's ZIP reader, mounts it as the game
// does, loads what it holds through the game's own readers and names file, line (or tile, or cell) and
// reason for every fault it finds. The sections follow the data: the archive's entries and their
// encodings, the unit tables, the skirmish and pass-and-play maps, the base campaign, the sounds, the art.
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace artgen {
struct CellMap;
struct SheetPixels;
}  // namespace artgen

namespace engine {
struct FontMetrics;
class ArchiveSet;
class SceneNode;
class ZipArchive;
}  // namespace engine

namespace game {
class StringTable;
class Structure;
}  // namespace game

namespace datacheck {

class HeadlessGame;
struct CampaignCoverage;

struct DataFault {
    std::string file;
    std::string where;  // "line 3", "tile B12", "row 2, column 9" or empty
    std::string message;

    std::string Describe() const;
};

// The text of the cell map of the GUI sheets the data set is built from (empty when it cannot be read).
std::string ShippedCellMap();

// The archive's entries as the game's reader extracts them, by normalised name.
class DataCheck {
public:
    // Takes an opened archive. Entries that do not extract are faults already.
    explicit DataCheck(std::unique_ptr<engine::ZipArchive> archive);
    ~DataCheck();
    DataCheck(const DataCheck&) = delete;
    DataCheck& operator=(const DataCheck&) = delete;

    // Every section in turn.
    void RunAll();
    // Entry names unique without regard to case; text files ASCII (bytes 9, 10, 13, 32-126), locale files
    // and the credits UTF-16LE with a byte-order mark, printable Latin-1 and a final line break.
    void CheckEntries();
    void CheckUnitTables();
    // Each map of the skirmish list: its file, structures, sides, start tiles, routes and symmetry.
    void CheckSkirmishMaps();
    // The campaign "Campaigns/<name>": its file, texts and map picture, and each mission's map, mission
    // file, script and comic as the campaign loading state and the readers take them; across the missions,
    // the conditions, commands and unit types the campaign must use.
    void CheckCampaign(const std::string& name);
    // Every sound the game's sound bank names and every file of the six speech packs: opened through the
    // game's sound reader as its own kind, decoded to its end, and measured against its class.
    void CheckSounds();
    // Every unit and structure model: it loads, holds the parts its class finds, its tint name in exactly one
    // node material, the actions its class plays with their end modes and lengths, and fits its footprint and
    // triangle budget.
    void CheckModels();
    // The GUI sheets against the cell map (its text), the icon and label art, and the fonts: coverage of the
    // shipped texts and the fit of the texts of fixed boxes.
    void CheckArt(const std::string& cellMapText);
    // Every entry equals the file of the same name under the staging folder.
    void CompareWithStaging(const std::string& folder);

    const std::vector<DataFault>& Faults() const { return faults_; }
    // The entry's bytes, or null.
    const std::vector<std::uint8_t>* Find(const std::string& name) const;

private:
    void Fault(const std::string& file, const std::string& where, const std::string& message);
    void CheckMap(HeadlessGame& game, const std::string& folder);
    // The campaign as the game's campaign loads it: every listed mission taken, each marker on the picture
    // and clear of the others, each start tile on its mission's map.
    void CheckCampaignInfo(const std::string& folder, const std::vector<std::string>& listed);
    void CheckMission(HeadlessGame& game, const game::StringTable& table, const std::set<std::string>& cast,
                      const std::string& folder, bool first, CampaignCoverage& coverage);
    // Passes the loaded mission's turns with no orders from any side until day `days` is over or the battle
    // ends: every day block of those days must finish, no command may fail and no block may be left
    // running. commandLines gives each block's command lines by upper-cased block name.
    void PassMissionDays(HeadlessGame& game, const std::string& scriptName, int days,
                         const std::map<std::string, std::vector<int>>& commandLines);

    void CheckUnitModel(int type);
    void CheckUnitActions(engine::SceneNode& root, const std::string& file, int type);
    void CheckUnitAnchors(engine::SceneNode& root, const std::string& file, int type);
    void CheckStructureModel(int type);
    // SetSnow of the structures' presenter shows and hides the model's "snow" nodes.
    void CheckSnow(engine::SceneNode& prototype, game::Structure& structure, const std::string& file);
    void CheckEffectModels();
    void CheckMarkerModels();
    void CheckLevelModels();
    // The bone weights of every skinned model loaded, as read back from the archive.
    void CheckSkinWeights();
    void CheckTint(engine::SceneNode& root, const std::string& file, const std::string& tint);

    // The cells the code cuts (button, unit and achievement icons, the button row's medals, both inline-icon
    // callbacks) equal the cell map's.
    void CheckCodeCells(const artgen::CellMap& map);
    // Each icon cell a control, list row or text of the screens draws is in the map, not marked spare, and
    // drawn in its sheet.
    void CheckIconUses(const artgen::CellMap& map, const std::map<std::string, artgen::SheetPixels>& sheets);
    void CheckFonts();
    void CheckFit(const std::map<std::string, engine::FontMetrics>& fonts, const std::string& key,
                  const std::u16string& text);

    std::unique_ptr<engine::ArchiveSet> mounted_;
    const engine::ZipArchive* archive_ = nullptr;
    // Upper-cased name -> (name as stored, bytes).
    std::map<std::string, std::pair<std::string, std::vector<std::uint8_t>>> entries_;
    std::vector<DataFault> faults_;
};

// The sound names of the game's sound bank and of every speech pack, with "/" separators, each once.
std::vector<std::string> SoundNames();

// Upper case with "/" separators, as the game's reader names entries.
std::string Upper(std::string text);

// Opens an archive file or a block of memory with the game's reader; null when it does not open.
std::unique_ptr<engine::ZipArchive> OpenArchiveFile(const std::string& path);
std::unique_ptr<engine::ZipArchive> OpenArchiveMemory(const std::vector<std::uint8_t>& bytes);

}  // namespace datacheck
