// Writes a version-29 ".MTL" material file from a text description, then reads it back with the game's own
// reader and prints what the game will see.
//   mtlwrite <description.txt> <out.MTL>
// The description form is in mtlwrite/material_text.h.
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "engine/render/material_def.h"
#include "engine/render/material_file.h"
#include "engine/render/shader_set_codes.h"
#include "mtlwrite/material_text.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: mtlwrite <description.txt> <out.MTL>\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::cerr << "cannot open " << argv[1] << "\n";
        return 1;
    }
    tools::MaterialDescription d;
    std::string error;
    if (!tools::ParseMaterialDescription(in, d, &error)) {
        std::cerr << error << "\n";
        return 1;
    }
    const std::vector<std::uint8_t> bytes = tools::EncodeMaterial(d);

    // Read back with the game's reader before writing anything.
    engine::MaterialLib lib;
    if (!lib.Init(8, nullptr)) return 1;
    const engine::MaterialDef* m = lib.Get(engine::ParseMaterialFile(lib, "check", bytes.data(), bytes.size()));
    if (m == nullptr || m->GetIndex() == 0) {
        std::cerr << "the written material does not read back\n";
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::cerr << "cannot write " << argv[2] << "\n";
        return 1;
    }
    std::cout << argv[2] << ": set " << engine::ShaderSetCodeText(m->GetShaderSetIndex()) << " lighting "
              << m->lightingModel << " flags 0x" << std::hex << m->GetFlags() << std::dec << " blend "
              << m->blendMode << " order " << m->drawOrder << " shells " << m->furShellCount << " ("
              << bytes.size() << " bytes)\n";
    return 0;
}
