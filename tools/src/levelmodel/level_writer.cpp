// The files of the level models, written through the project's one material encoder, the model builder
// and the container writer.
#include "level_writer.h"

#include <filesystem>
#include <fstream>

#include "cnt_writer.h"
#include "game/battle/hex_map.h"
#include "level_mesh.h"
#include "mdl_builder.h"
#include "mtlwrite/material_text.h"
#include "files/replace_file.h"

namespace levelmodel {
namespace {

const char kCommon[] = "Levels/Common/";
const char kScenery[] = "Levels/Scenery/";

bool WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes, std::string& error) {
    return tools::WriteFileReplacing(path.string(), bytes, error, true);
}

mdlbuild::MaterialCheck CheckIn(const std::string& dataFolder) {
    return [dataFolder](const std::string& name) {
        return std::filesystem::exists(std::filesystem::path(dataFolder) / (name + ".MTL"));
    };
}

void SetColour(float out[4], std::uint32_t rgb, float alpha = 1.0f) {
    out[0] = static_cast<float>((rgb >> 16) & 0xFF) / 255.0f;
    out[1] = static_cast<float>((rgb >> 8) & 0xFF) / 255.0f;
    out[2] = static_cast<float>(rgb & 0xFF) / 255.0f;
    out[3] = alpha;
}

std::uint32_t PaletteColour(const Palette& palette, const char* name) {
    const auto found = palette.find(name);
    return found != palette.end() ? found->second : 0x808080u;
}

// A terrain material: the first texture over the second where its alpha (read across the map) allows,
// modulated by the shading texture on the second coordinate set.
tools::MaterialDescription Terrain(const std::string& first, const std::string& second, const std::string& shade,
                                   std::uint32_t fallback) {
    tools::MaterialDescription d;
    d.code = "DRUVLAND";
    d.lighting = 1;
    d.textures[0] = kCommon + first;
    d.textures[1] = kCommon + second;
    d.textures[3] = shade;
    SetColour(d.colours[0], fallback);
    return d;
}

// The material of one surface of a level (or of every level, for the shared ones).
tools::MaterialDescription SurfaceDescription(Surface surface, bool snow, const std::string& shade,
                                              const Palette& palette) {
    const std::string white = std::string(kCommon) + "White";
    switch (surface) {
        case Surface::kLand:
            return Terrain(snow ? "Snow" : "Grass", snow ? "SnowDirt" : "Dirt", shade, PaletteColour(palette, "land"));
        case Surface::kForest:
            return Terrain(snow ? "Snow" : "Forest", "Dirt", shade, PaletteColour(palette, "tree"));
        case Surface::kShore:
            return Terrain("Sand", snow ? "SnowDirt" : "Dirt", shade, PaletteColour(palette, "shore"));
        case Surface::kRoad:
            return Terrain("Road", "Dirt", shade, PaletteColour(palette, "road"));
        case Surface::kFordBed:
            return Terrain("Pebbles", "Sand", shade, PaletteColour(palette, "ford"));
        case Surface::kHill:
            return Terrain(snow ? "Snow" : "Heath", snow ? "SnowDirt" : "Dirt", shade, PaletteColour(palette, "hill"));
        case Surface::kRock:
            return Terrain("Rock", "Rock", shade, PaletteColour(palette, "blocked"));
        case Surface::kCliff:
            return Terrain(snow ? "SnowDirt" : "Dirt", "Rock", white, PaletteColour(palette, "hill"));
        case Surface::kWall:
            return Terrain("Stone", "Stone", white, PaletteColour(palette, "wall"));
        case Surface::kWater: {
            tools::MaterialDescription d;
            d.code = "DRUVWATA";
            d.lighting = 2;
            d.textures[0] = std::string(kCommon) + "WaveNoise";
            d.textures[3] = shade;
            SetColour(d.colours[0], PaletteColour(palette, "water"));
            // Time (set when drawn), wave speeds along x and y, and the repeat of the waves.
            d.colours[1][0] = 0.0f;
            d.colours[1][1] = 0.05f;
            d.colours[1][2] = 0.03f;
            d.colours[1][3] = 1.0f;
            return d;
        }
    }
    return {};
}

bool WriteMaterial(const std::string& dataFolder, const std::string& name, const tools::MaterialDescription& d,
                   std::string& error) {
    return WriteBytes(std::filesystem::path(dataFolder) / (name + ".MTL"), tools::EncodeMaterial(d), error);
}

std::string SceneryKind(const std::string& nodeName) { return nodeName.substr(0, nodeName.find('/')); }

int SceneryTriangles(const std::string& kind) {
    mdlbuild::AuthorMesh mesh;
    return SceneryMesh(kind, mesh) ? static_cast<int>(mesh.triangles.size()) : 0;
}

}  // namespace

std::vector<std::string> LevelFiles(const std::string& folder) {
    std::vector<std::string> files = {folder + "/Map.CNT", folder + "/Terrain.MDL", folder + "/Features.MDL",
                                      folder + "/Shade.png"};
    for (Surface s : kAllSurfaces) {
        if (IsLevelSurface(s)) files.push_back(SurfaceMaterial(folder, s, false) + ".MTL");
    }
    return files;
}

std::vector<std::string> CommonFiles() {
    std::vector<std::string> files;
    for (const std::string& title : CommonTextureTitles()) files.push_back(kCommon + title + ".png");
    for (Surface s : kAllSurfaces) {
        if (IsLevelSurface(s)) continue;
        files.push_back(SurfaceMaterial("", s, false) + ".MTL");
        files.push_back(SurfaceMaterial("", s, true) + ".MTL");
    }
    files.push_back(std::string(kCommon) + "Scenery.MTL");
    files.push_back(std::string(kCommon) + "SnowScenery.MTL");
    for (const std::string& name : SceneryNames()) files.push_back(kScenery + SceneryKind(name) + ".MDL");
    return files;
}

bool WriteCommonAssets(const std::string& dataFolder, const Palette& palette, std::string& error) {
    std::map<std::string, Picture> textures;
    if (!CommonTextures(palette, textures, error)) return false;
    for (const auto& [title, picture] : textures) {
        if (!WriteBytes(std::filesystem::path(dataFolder) / (kCommon + title + ".png"), EncodePicture(picture),
                        error)) {
            return false;
        }
    }
    for (Surface s : kAllSurfaces) {
        if (IsLevelSurface(s)) continue;
        for (bool snow : {false, true}) {
            if (!WriteMaterial(dataFolder, SurfaceMaterial("", s, snow), SurfaceDescription(s, snow, "", palette),
                               error)) {
                return false;
            }
        }
    }
    for (bool snow : {false, true}) {
        tools::MaterialDescription d;
        d.code = "TEXTURE";
        d.lighting = 1;
        d.textures[0] = std::string(kCommon) + (snow ? "SnowScenery" : "Scenery");
        if (!WriteMaterial(dataFolder, std::string(kCommon) + (snow ? "SnowScenery" : "Scenery"), d, error))
            return false;
    }
    const mdlbuild::MaterialCheck check = CheckIn(dataFolder);
    for (const std::string& name : SceneryNames()) {
        const std::string kind = SceneryKind(name);
        mdlbuild::AuthorMesh mesh;
        SceneryMesh(kind, mesh);
        const std::filesystem::path path = std::filesystem::path(dataFolder) / (kScenery + kind + ".MDL");
        std::error_code ignored;
        std::filesystem::create_directories(path.parent_path(), ignored);
        if (!mdlbuild::WriteModelFile(mesh, check, path.string(), error)) {
            error = kind + ": " + error;
            return false;
        }
    }
    return true;
}

bool WriteLevel(const std::string& dataFolder, const std::string& folder, game::HexMap& map, const Palette& palette,
                std::string& error) {
    LevelMesh level;
    BuildLevelMesh(map, folder, level);
    int triangles = static_cast<int>(level.terrain.triangles.size() + level.features.triangles.size());
    for (const SceneryPlacement& p : level.scenery) triangles += SceneryTriangles(SceneryKind(p.name));
    if (triangles > kMaxLevelTriangles) {
        error = folder + ": " + std::to_string(triangles) + " triangles, over " + std::to_string(kMaxLevelTriangles);
        return false;
    }

    const bool snow = map.GetWeatherType() == 3;
    const std::string shade = folder + "/Shade";
    if (!WriteBytes(std::filesystem::path(dataFolder) / (shade + ".png"), EncodePicture(LevelShade(map)), error)) {
        return false;
    }
    for (Surface s : kAllSurfaces) {
        if (!IsLevelSurface(s)) continue;
        if (!WriteMaterial(dataFolder, SurfaceMaterial(folder, s, snow), SurfaceDescription(s, snow, shade, palette),
                           error)) {
            return false;
        }
    }
    const mdlbuild::MaterialCheck check = CheckIn(dataFolder);
    const std::string terrain = folder + "/Terrain";
    const std::string features = folder + "/Features";
    for (const auto& [name, mesh] : {std::pair{&terrain, &level.terrain}, std::pair{&features, &level.features}}) {
        if (!mdlbuild::WriteModelFile(*mesh, check, (std::filesystem::path(dataFolder) / (*name + ".MDL")).string(),
                                      error)) {
            error = *name + ": " + error;
            return false;
        }
    }

    std::vector<cntbuild::AuthorNode> nodes;
    cntbuild::AuthorNode root;
    root.depth = -1;
    nodes.push_back(root);
    cntbuild::AuthorNode ground;
    ground.name = "Terrain";
    ground.type = 1;
    ground.mesh = terrain;
    nodes.push_back(ground);
    cntbuild::AuthorNode top;
    top.name = "MapTopTree";
    nodes.push_back(top);
    if (!level.features.triangles.empty()) {
        cntbuild::AuthorNode standing;
        standing.name = "Features";
        standing.type = 1;
        standing.depth = 1;
        standing.mesh = features;
        nodes.push_back(standing);
    }
    const std::string sceneryMaterial = std::string(kCommon) + (snow ? "SnowScenery" : "Scenery");
    for (const SceneryPlacement& p : level.scenery) {
        cntbuild::AuthorNode node;
        node.name = p.name;
        node.type = 1;
        node.depth = 1;
        node.mesh = kScenery + SceneryKind(p.name);
        node.material = sceneryMaterial;
        node.local.InitRotationY(p.yaw);
        node.local.m[3][0] = p.position.x;
        node.local.m[3][1] = p.position.y;
        node.local.m[3][2] = p.position.z;
        nodes.push_back(node);
    }
    if (!cntbuild::WriteContainer(dataFolder, folder + "/Map", nodes, {}, check, error)) {
        error = folder + "/Map: " + error;
        return false;
    }
    return true;
}

}  // namespace levelmodel
