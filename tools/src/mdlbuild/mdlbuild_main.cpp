// Writes a ".MDL" model file from the text form of a mesh (tools/mdlbuild.md).
//   mdlbuild <mesh.txt> <out.MDL> [data folder]
// Material names must name ".MTL" files under the data folder (default: the current folder).
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/box_tree.h"
#include "engine/scene/model_file.h"
#include "engine/scene/model_octree.h"
#include "engine/scene/model_table.h"
#include "engine/scene/skeleton.h"
#include "mdl_builder.h"

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::cerr << "usage: mdlbuild <mesh.txt> <out.MDL> [data folder]\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "cannot read " << argv[1] << "\n";
        return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    mdlbuild::AuthorMesh mesh;
    std::string error;
    if (!mdlbuild::ParseMeshText(text.str(), mesh, error)) {
        std::cerr << argv[1] << ": " << error << "\n";
        return 1;
    }
    const std::filesystem::path data = argc == 4 ? argv[3] : ".";
    const auto check = [&data](const std::string& name) {
        std::string path = name;
        for (char& c : path) c = c == '\\' ? '/' : c;
        return std::filesystem::exists(data / (path + ".MTL"));
    };
    engine::GetMaterialLib().Init(4096, nullptr);
    engine::ModelTable::Init(64);
    bool written = mdlbuild::WriteModelFile(mesh, check, argv[2], error);
    // The file is read back with the game's own reader.
    engine::ModelDescription loaded;
    if (written) {
        std::ifstream back(argv[2], std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(back)), std::istreambuf_iterator<char>());
        written = engine::ParseModelFile(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(),
                                         engine::WideString(argv[2]),
                                         [](const char* name) { return engine::GetMaterialLib().FindInGroup(name, 0); },
                                         loaded);
        if (!written) error = "the written file does not read back";
    }
    engine::ModelTable::Free();
    engine::GetMaterialLib().Free();
    if (!written) {
        std::cerr << argv[1] << ": " << error << "\n";
        return 1;
    }
    std::cout << argv[2] << ": " << mesh.vertices.size() << " vertices, " << mesh.triangles.size() << " triangles, "
              << mesh.boneParents.size() << " bones; reads back as " << loaded.batches.size() << " batches of format "
              << (loaded.batches.empty() ? 0 : loaded.batches[0].vertexFormat) << (loaded.boxTree ? ", box tree" : "")
              << (loaded.octree ? ", octree" : "") << "\n";
    return 0;
}
