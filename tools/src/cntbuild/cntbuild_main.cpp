// Writes a ".CNT" scene container and its animation text from the text form of a tree (tools/cntbuild.md).
//   cntbuild <scene.txt> <data folder> <container path without extension>
// The files are read back with the game's own readers.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "cnt_writer.h"
#include "engine/platform/script_reader.h"
#include "engine/scene/action_parser.h"
#include "engine/scene/animation_set.h"
#include "engine/scene/scene_container.h"
#include "engine/scene/scene_node.h"
#include "scene_text.h"

namespace {

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

int CountNodes(const engine::SceneNode* node) {
    int count = 1;
    for (int i = 0; i < node->GetChildCount(); ++i) count += CountNodes(node->GetChild(i));
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: cntbuild <scene.txt> <data folder> <container path without extension>\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "cannot read " << argv[1] << "\n";
        return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::vector<cntbuild::AuthorNode> nodes;
    std::vector<cntbuild::AuthorAction> actions;
    std::string error;
    if (!cntbuild::ParseSceneText(text.str(), nodes, actions, error)) {
        std::cerr << argv[1] << ": " << error << "\n";
        return 1;
    }
    const std::filesystem::path data = argv[2];
    const std::string path = argv[3];
    const auto check = [&data](const std::string& name) {
        std::string file = name;
        for (char& c : file) c = c == '\\' ? '/' : c;
        return std::filesystem::exists(data / (file + ".MTL"));
    };
    if (!cntbuild::WriteContainer(data.string(), path, nodes, actions, check, error)) {
        std::cerr << argv[1] << ": " << error << "\n";
        return 1;
    }
    // Read back: materials resolve to a stand-in handle, models to none.
    engine::SceneContainerServices services;
    services.loadMaterial = [](const char*) { return 1; };
    services.openText = [&data](const char* name) -> std::unique_ptr<engine::ScriptReader> {
        const std::string bytes = ReadAll(data / name);
        if (bytes.empty()) return nullptr;
        auto reader = std::make_unique<engine::ScriptReader>();
        reader->LoadFromImage(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), name);
        return reader;
    };
    const std::string container = ReadAll(data / (path + ".CNT"));
    engine::SceneNode* root = engine::ParseSceneContainer(reinterpret_cast<const std::uint8_t*>(container.data()),
                                                          container.size(), (path + ".CNT").c_str(), services);
    if (root == nullptr) {
        std::cerr << argv[1] << ": the written container does not read back\n";
        return 1;
    }
    const engine::AnimationSet* set = root->GetAnimationSet();
    std::cout << path << ".CNT: " << nodes.size() << " nodes; reads back as " << CountNodes(root) << " nodes and "
              << (set != nullptr ? set->RecordCount() : 0) << " actions\n";
    root->Destroy();
    return 0;
}
