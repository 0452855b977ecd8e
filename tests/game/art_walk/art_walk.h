#pragma once
// The art walk's parts: texture loaders over the shipped archive (one reading the PNG headers, one going
// through the engine's texture table as the game does) that note every load that fails or needs the
// "Common/" retry, and the check of what the screens drew against the cell map.
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "artgen/cell_map.h"
#include "game/core/game_resources.h"
#include "game/core/string_table.h"
#include "game/screens/screen_services.h"
#include "support/draw_recorder.h"

namespace artwalk {

// Textures from the archive's PNG entries, by the name the screens ask for.
class ArchiveTextures final : public game::TextureLoader {
public:
    // Entries by upper-cased name.
    explicit ArchiveTextures(std::map<std::string, std::vector<std::uint8_t>> entries);

    std::uint32_t Load(const char* name) override;
    void Release(std::uint32_t) override {}
    bool GetSize(std::uint32_t handle, int& width, int& height) const override;
    // The name a handle was loaded by; "0" for no texture.
    std::string Name(std::uint32_t handle) const;

    // "<name>: does not load" and "<name>: found only under Common/".
    std::vector<std::string> faults;

private:
    struct Texture {
        std::string name;
        int width = 0;
        int height = 0;
    };
    std::map<std::string, std::vector<std::uint8_t>> entries_;
    std::vector<Texture> textures_;  // handle - 1
};

// The game's own loader over the engine's texture table (on a device, with the archive mounted), noting
// "<name>: does not load" and "<name>: found only under Common/".
class TableTextures final : public game::TextureLoader {
public:
    std::uint32_t Load(const char* name) override;
    std::uint32_t LoadKept(const char* name) override;
    void Release(std::uint32_t handle) override { table_.Release(handle); }
    bool GetSize(std::uint32_t handle, int& width, int& height) const override {
        return table_.GetSize(handle, width, height);
    }
    // The name the table holds the texture by; "0" for no texture.
    std::string Name(std::uint32_t handle) const;

    std::vector<std::string> faults;

private:
    std::uint32_t Noted(const char* name, std::uint32_t handle);
    game::TableTextureLoader table_;
};

// The textures of the table that are check boards (what a failed material or font load falls back to), as
// "a check texture is made (handle n)".
std::vector<std::string> CheckTexturesMade();

// The real string table behind the screens' texts: the global file and a campaign's table (table 1), read
// through the mounted archive.
class ShippedTexts final : public game::ScreenTexts {
public:
    // False when the global file does not load or the campaign's texts do not.
    bool Load(const char* campaignFolder);
    engine::WideString Lookup(const char* key) const override { return table.Lookup(key); }
    engine::WideString LookupCampaign(const char* key) const override { return table.LookupInTable(key, 1); }

    game::StringTable table;
};

// The game's seven fonts from the archive's metrics ("Common/<name>.RFN"), set up by the game's resources
// (letter and line spacing, inline-icon callbacks over the icon sheets) and drawing on a recording device.
class ShippedFonts {
public:
    // Entries by upper-cased name; the icon sheets load through `textures`.
    ShippedFonts(const std::map<std::string, std::vector<std::uint8_t>>& entries, game::TextureLoader& textures);
    // The names of the fonts that did not load.
    std::vector<std::string> Missing() const;
    // Puts every font into the services.
    void Install(game::ScreenServices& services) const;
    game::GameResources& Resources() { return *resources_; }

private:
    std::unique_ptr<game::GameResources> resources_;
};

// What the walk drew on one step: the step's name and the log entries it added.
struct WalkStep {
    std::string screen;
    std::vector<testsupport::DrawEntry> entries;
};

// Faults of the drawn images: a draw of texture 0, a draw of a check texture, and a source rect of a mapped
// sheet that lies in no cell ("<screen>: GUI/x (x, y, w, h) lies in no cell"). The cells drawn are added to `drawn` as "sheet name".
std::vector<std::string> CheckDrawnCells(const artgen::CellMap& map, const std::vector<WalkStep>& steps,
                                         std::set<std::string>& drawn);

// Texts drawn past the screen's left or right edge, measured in the fonts of the services as they align
// them: "<screen>: \"<text>\" in font <n> spans x a..b, past the <w> px screen".
std::vector<std::string> CheckTextsOnScreen(const game::ScreenServices& services, const std::vector<WalkStep>& steps,
                                            int screenWidth);

// The cells the map marks as used (not spare) that are not in `drawn`, as "<cell>: used, but no screen drew it".
std::vector<std::string> UsedCellsNotDrawn(const artgen::CellMap& map, const std::set<std::string>& drawn);

}  // namespace artwalk
