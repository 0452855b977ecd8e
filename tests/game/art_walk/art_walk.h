#pragma once
// The art walk's parts: texture loaders over the shipped archive (one reading the PNG headers, one going
// through the engine's texture table as the game does) that note every load that fails or needs the
// "Common/" retry, and the check of what the screens drew against the cell map.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "artgen/cell_map.h"
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

// What the walk drew on one step: the step's name and the log entries it added.
struct WalkStep {
    std::string screen;
    std::vector<testsupport::DrawEntry> entries;
};

// Faults of the drawn images: a draw of texture 0, a draw of a check texture, and a source rect of a mapped sheet that lies in no cell
// ("<screen>: GUI/x (x, y, w, h) lies in no cell"). The cells drawn are added to `drawn` as "sheet name".
std::vector<std::string> CheckDrawnCells(const artgen::CellMap& map, const std::vector<WalkStep>& steps,
                                         std::set<std::string>& drawn);

// The cells the map marks as used (not spare) that are not in `drawn`, as "<cell>: used, but no screen drew it".
std::vector<std::string> UsedCellsNotDrawn(const artgen::CellMap& map, const std::set<std::string>& drawn);

}  // namespace artwalk
