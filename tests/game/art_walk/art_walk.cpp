#include "art_walk.h"

#include <sstream>

#include "datacheck/data_check.h"
#include "engine/core/wide_string.h"
#include "engine/render/texture.h"
#include "engine/render/texture_table.h"
#include "game/screens/screen_draw.h"
#include "support/screen_fonts.h"

namespace artwalk {

namespace {

int BigEndian32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<int>(static_cast<std::uint32_t>(b[at]) << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3]);
}

std::string RectText(const engine::IntRect& r) {
    std::ostringstream out;
    out << "(" << r.x << ", " << r.y << ", " << r.width << ", " << r.height << ")";
    return out.str();
}

}  // namespace

ArchiveTextures::ArchiveTextures(std::map<std::string, std::vector<std::uint8_t>> entries)
    : entries_(std::move(entries)) {}

std::uint32_t ArchiveTextures::Load(const char* name) {
    for (std::size_t i = 0; i < textures_.size(); ++i) {
        if (textures_[i].name == name) return static_cast<std::uint32_t>(i + 1);
    }
    auto found = entries_.find(datacheck::Upper(std::string(name) + ".png"));
    if (found == entries_.end()) {
        found = entries_.find(datacheck::Upper("Common/" + std::string(name) + ".png"));
        faults.push_back(std::string(name) + (found == entries_.end() ? ": does not load" : ": found only under Common/"));
        if (found == entries_.end()) return 0;
    }
    const std::vector<std::uint8_t>& png = found->second;
    Texture texture{name};
    if (png.size() >= 24) {
        texture.width = BigEndian32(png, 16);
        texture.height = BigEndian32(png, 20);
    }
    textures_.push_back(texture);
    return static_cast<std::uint32_t>(textures_.size());
}

bool ArchiveTextures::GetSize(std::uint32_t handle, int& width, int& height) const {
    if (handle == 0 || handle > textures_.size()) return false;
    width = textures_[handle - 1].width;
    height = textures_[handle - 1].height;
    return true;
}

std::string ArchiveTextures::Name(std::uint32_t handle) const {
    if (handle == 0 || handle > textures_.size()) return std::to_string(handle);
    return textures_[handle - 1].name;
}

std::uint32_t TableTextures::Load(const char* name) { return Noted(name, table_.Load(name)); }

std::uint32_t TableTextures::LoadKept(const char* name) { return Noted(name, table_.LoadKept(name)); }

std::uint32_t TableTextures::Noted(const char* name, std::uint32_t handle) {
    if (handle == 0) {
        faults.push_back(std::string(name) + ": does not load");
        return 0;
    }
    // The table names a texture by the file it read: another name means the "Common/" retry found it.
    const std::string held = datacheck::Upper(Name(handle));
    if (held != datacheck::Upper(name) && held.rfind("COMMON/", 0) == 0) {
        faults.push_back(std::string(name) + ": found only under Common/");
    }
    return handle;
}

std::string TableTextures::Name(std::uint32_t handle) const {
    const engine::Texture* texture = engine::TextureTable::Get(static_cast<int>(handle));
    return texture != nullptr ? texture->name.GetNarrow() : std::to_string(handle);
}

namespace {

// A font with the archive's metrics, drawing on a recording device.
class ShippedFont final : private testsupport::SyntheticFontParts, public engine::BitmapFont {
public:
    explicit ShippedFont(const std::vector<std::uint8_t>& rfn) : BitmapFont(device, bindings, &buffer) {
        loaded = !rfn.empty() && ReadMetrics(rfn.data(), rfn.size());
    }
    bool loaded = false;
};

}  // namespace

bool ShippedTexts::Load(const char* campaignFolder) {
    table.Init();
    table.Load();
    return table.GetLanguageBits() != 0 && table.LoadCampaignTexts(1, campaignFolder);
}

ShippedFonts::ShippedFonts(const std::map<std::string, std::vector<std::uint8_t>>& entries,
                           game::TextureLoader& textures) {
    game::ResourceLoaders loaders;
    loaders.loadFont = [&entries](const char* name) -> std::unique_ptr<engine::BitmapFont> {
        const auto found = entries.find(datacheck::Upper(std::string(name) + ".RFN"));
        if (found == entries.end()) return nullptr;
        auto font = std::make_unique<ShippedFont>(found->second);
        return font->loaded ? std::move(font) : nullptr;
    };
    loaders.loadTexture = [&textures](const char* name) { return textures.Load(name); };
    loaders.textureWidth = [&textures](std::uint32_t handle) {
        int width = 0;
        int height = 0;
        return textures.GetSize(handle, width, height) ? width : 0;
    };
    resources_ = std::make_unique<game::GameResources>(std::move(loaders));
    resources_->LoadFonts();
    resources_->SetFontColours();
    resources_->LoadIconSheets();
}

std::vector<std::string> ShippedFonts::Missing() const {
    std::vector<std::string> missing;
    for (int font = 0; font < game::kGameFontCount; ++font) {
        if (resources_->GetFont(static_cast<game::GameFont>(font)) == nullptr) missing.push_back(std::to_string(font));
    }
    return missing;
}

void ShippedFonts::Install(game::ScreenServices& services) const {
    // The game's font order is the screens' one.
    for (int font = 0; font < game::kGameFontCount; ++font) {
        services.fonts[static_cast<std::size_t>(font)] = resources_->GetFont(static_cast<game::GameFont>(font));
    }
}

std::vector<std::string> CheckTextsOnScreen(const game::ScreenServices& services, const std::vector<WalkStep>& steps,
                                            int screenWidth) {
    std::vector<std::string> faults;
    for (const WalkStep& step : steps) {
        for (const testsupport::DrawEntry& e : step.entries) {
            engine::BitmapFont* font = services.Font(e.font);
            if (e.kind != "text" || font == nullptr) continue;
            const int width = font->MeasureWidth(engine::WideString(e.raw.c_str()));
            // The low five bits align across; the rest (the bottom edge) down.
            const int across = e.alignment & 0x1F;
            int left = e.x;
            if (across == game::kAlignCentre) left -= width / 2;
            if (across == game::kAlignRight) left -= width;
            if (left >= 0 && left + width <= screenWidth) continue;
            faults.push_back(step.screen + ": \"" + e.text + "\" in font " + std::to_string(static_cast<int>(e.font)) +
                             " spans x " + std::to_string(left) + ".." + std::to_string(left + width) + ", past the " +
                             std::to_string(screenWidth) + " px screen");
        }
    }
    return faults;
}

std::vector<std::string> CheckTexturesMade() {
    std::vector<std::string> faults;
    for (int handle = 1; handle <= engine::TextureTable::Size(); ++handle) {
        const engine::Texture* texture = engine::TextureTable::Get(handle);
        if (texture != nullptr && texture->name.EqualsNarrow("Check")) {
            faults.push_back("a check texture is made (handle " + std::to_string(handle) + ")");
        }
    }
    return faults;
}

std::vector<std::string> CheckDrawnCells(const artgen::CellMap& map, const std::vector<WalkStep>& steps,
                                         std::set<std::string>& drawn) {
    std::vector<std::string> faults;
    for (const WalkStep& step : steps) {
        for (const testsupport::DrawEntry& e : step.entries) {
            if (e.kind != "image") continue;
            if (e.texture == "0") {
                faults.push_back(step.screen + ": a draw of texture 0 at " + RectText(e.destination));
                continue;
            }
            if (e.texture == "Check") {
                faults.push_back(step.screen + ": a check texture drawn at " + RectText(e.destination));
                continue;
            }
            if (map.FindSheet(e.texture) == nullptr) continue;
            artgen::Cell source;
            source.x = e.source.x;
            source.y = e.source.y;
            source.width = e.source.width;
            source.height = e.source.height;
            bool inside = false;
            for (const artgen::Cell* cell : map.CellsOf(e.texture)) {
                if (cell->Contains(source)) {
                    inside = true;
                    // The cell drawn: the smallest that holds the rect (a pip rather than its icon).
                    drawn.insert(e.texture + " " + cell->name);
                }
            }
            if (!inside) faults.push_back(step.screen + ": " + e.texture + " " + RectText(e.source) + " lies in no cell");
        }
    }
    return faults;
}

std::vector<std::string> UsedCellsNotDrawn(const artgen::CellMap& map, const std::set<std::string>& drawn) {
    std::vector<std::string> faults;
    for (const artgen::Cell& cell : map.cells) {
        if (!cell.spare && drawn.count(cell.sheet + " " + cell.name) == 0) {
            faults.push_back(cell.Describe() + ": used, but no screen drew it");
        }
    }
    return faults;
}

}  // namespace artwalk
