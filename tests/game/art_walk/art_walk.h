#pragma once
// The art walk's parts: a texture loader over the shipped archive that notes every load that fails or
// needs the "Common/" retry, and the check of what the screens drew against the cell map.
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

// What the walk drew on one step: the step's name and the log entries it added.
struct WalkStep {
    std::string screen;
    std::vector<testsupport::DrawEntry> entries;
};

// Faults of the drawn images: a draw of texture 0, and a source rect of a mapped sheet that lies in no cell
// ("<screen>: GUI/x (x, y, w, h) lies in no cell"). The cells drawn are added to `drawn` as "sheet name".
std::vector<std::string> CheckDrawnCells(const artgen::CellMap& map, const std::vector<WalkStep>& steps,
                                         std::set<std::string>& drawn);

}  // namespace artwalk
