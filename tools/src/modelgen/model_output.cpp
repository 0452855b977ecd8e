#include "modelgen/model_output.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

#include "engine/image/dds_writer.h"
#include "engine/image/image_writers.h"
#include "scene_text.h"
#include "files/replace_file.h"

namespace modelgen {
namespace {

bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error) {
    return tools::WriteFileReplacing(path, bytes, error);
}

std::string Substitute(std::string text, const std::map<std::string, std::string>& values) {
    for (const auto& [key, value] : values) {
        const std::string marker = "{" + key + "}";
        for (std::size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at + value.size())) {
            text.replace(at, marker.size(), value);
        }
    }
    return text;
}

}  // namespace

ModelOutput::ModelOutput(std::string folder, std::string sourceFolder, bool listOnly)
    : folder_(std::move(folder)), source_(std::move(sourceFolder)), listOnly_(listOnly) {}

std::string ModelOutput::ReadSource(const std::string& relative) {
    std::ifstream in(source_ + "/" + relative, std::ios::binary);
    if (!in) {
        Fault("missing source " + relative);
        return {};
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void ModelOutput::LoadPalette() {
    paletteLoaded_ = true;
    std::istringstream in(ReadSource("Art/palette.txt"));
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string name, hex;
        if (!(words >> name >> hex) || hex.size() != 6) continue;
        palette_[name] = 0xFF000000u | static_cast<Colour>(std::stoul(hex, nullptr, 16));
    }
}

Colour ModelOutput::PaletteColour(const std::string& name) {
    if (!paletteLoaded_) LoadPalette();
    const auto found = palette_.find(name);
    if (found == palette_.end()) {
        Fault("the palette has no colour " + name);
        return 0xFFFF00FFu;
    }
    return found->second;
}

void ModelOutput::Record(const std::string& entry) { entries_.insert(entry); }

bool ModelOutput::Prepare(const std::string& entry) {
    Record(entry);
    if (listOnly_) return false;
    std::error_code code;
    std::filesystem::create_directories(std::filesystem::path(folder_ + "/" + entry).parent_path(), code);
    if (code) {
        Fault("cannot make the folder of " + entry);
        return false;
    }
    return true;
}

bool ModelOutput::MaterialExists(const std::string& name) const {
    return materials_.count(name) != 0 || std::filesystem::exists(folder_ + "/" + name + ".MTL");
}

void ModelOutput::WriteTexture(const std::string& path, int width, int height,
                               const std::vector<std::uint32_t>& texels) {
    const std::string entry = path + ".DDS";
    if (!Prepare(entry)) return;
    std::vector<std::uint8_t> bytes(texels.size() * 4);
    engine::AlphaKindScan scan;
    for (std::size_t i = 0; i < texels.size(); ++i) {
        for (int b = 0; b < 4; ++b)
            bytes[i * 4 + static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(texels[i] >> (8 * b));
        scan.Add(static_cast<std::uint8_t>(texels[i] >> 24));
    }
    engine::ConstSurfaceView level;
    level.format = engine::SurfaceFormat::kA8R8G8B8;
    level.width = static_cast<std::uint32_t>(width);
    level.height = static_cast<std::uint32_t>(height);
    level.pitch = static_cast<std::size_t>(width) * 4;
    level.bits = bytes.data();
    std::vector<std::uint8_t> file = engine::EncodeDds(level.format, level.width, level.height, 1, false, {&level, 1});
    if (file.empty()) {
        Fault(entry + ": the texture does not encode");
        return;
    }
    engine::AppendDdsTrailer(file, scan.Kind());
    std::string error;
    if (!WriteBytes(folder_ + "/" + entry, file, error)) Fault(error);
}

void ModelOutput::WritePng(const std::string& path, int width, int height, const std::vector<std::uint32_t>& texels) {
    const std::string entry = path + ".png";
    if (!Prepare(entry)) return;
    std::vector<std::uint8_t> bytes(texels.size() * 4);
    for (std::size_t i = 0; i < texels.size(); ++i) {
        for (int b = 0; b < 4; ++b)
            bytes[i * 4 + static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(texels[i] >> (8 * b));
    }
    engine::ConstSurfaceView level;
    level.format = engine::SurfaceFormat::kA8R8G8B8;
    level.width = static_cast<std::uint32_t>(width);
    level.height = static_cast<std::uint32_t>(height);
    level.pitch = static_cast<std::size_t>(width) * 4;
    level.bits = bytes.data();
    const std::vector<std::uint8_t> file = engine::EncodePng(level);
    std::string error;
    if (file.empty()) {
        Fault(entry + ": the picture does not encode");
    } else if (!WriteBytes(folder_ + "/" + entry, file, error)) {
        Fault(error);
    }
}

std::vector<std::string> ModelOutput::SourceNames(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code code;
    for (const auto& item : std::filesystem::directory_iterator(source_ + "/Models/" + folder, code)) {
        if (item.path().extension() == ".txt") names.push_back(item.path().stem().string());
    }
    if (code) Fault("cannot list Models/" + folder);
    std::sort(names.begin(), names.end());
    return names;
}

void ModelOutput::WriteMaterial(const std::string& path, const tools::MaterialDescription& description) {
    materials_.insert(path);
    if (!Prepare(path + ".MTL")) return;
    std::string error;
    if (!WriteBytes(folder_ + "/" + path + ".MTL", tools::EncodeMaterial(description), error)) Fault(error);
}

void ModelOutput::WriteMaterialFromSource(const std::string& path, const std::string& sourceName,
                                          const std::map<std::string, std::string>& values) {
    std::istringstream in(Substitute(ReadSource("Models/" + sourceName), values));
    tools::MaterialDescription description;
    std::string error;
    if (!tools::ParseMaterialDescription(in, description, &error)) {
        Fault("Models/" + sourceName + ": " + error);
        return;
    }
    WriteMaterial(path, description);
}

void ModelOutput::WriteModel(const std::string& path, const mdlbuild::AuthorMesh& mesh) {
    if (!Prepare(path + ".MDL")) return;
    std::string error;
    const auto check = [this](const std::string& name) { return MaterialExists(name); };
    if (!mdlbuild::WriteModelFile(mesh, check, folder_ + "/" + path + ".MDL", error)) Fault(path + ".MDL: " + error);
}

void ModelOutput::WriteContainer(const std::string& path, const std::vector<cntbuild::AuthorNode>& nodes,
                                 const std::vector<cntbuild::AuthorAction>& actions) {
    if (!actions.empty()) {
        const std::size_t slash = path.find_last_of('/');
        const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
        Record(folder + "Zavic" + path.substr(slash + 1) + ".TXT");
    }
    if (!Prepare(path + ".CNT")) return;
    std::string error;
    const auto check = [this](const std::string& name) { return MaterialExists(name); };
    if (!cntbuild::WriteContainer(folder_ + "/", path, nodes, actions, check, error)) Fault(path + ".CNT: " + error);
}

void ModelOutput::WriteContainerFromSource(const std::string& path, const std::string& sourceName) {
    std::vector<cntbuild::AuthorNode> nodes;
    std::vector<cntbuild::AuthorAction> actions;
    std::string error;
    if (!cntbuild::ParseSceneText(ReadSource("Models/" + sourceName), nodes, actions, error)) {
        Fault("Models/" + sourceName + ": " + error);
        return;
    }
    WriteContainer(path, nodes, actions);
}

}  // namespace modelgen
