// Writes a version-29 ".MTL" material file from a text description, then reads it back with the game's own
// reader and prints what the game will see.
//   mtlwrite <description.txt> <out.MTL>
// The description has one "key value..." line per setting; "#" starts a comment. Keys (all optional):
//   code JUSTCOL|TEXTURE|COLOURD|DRUVLAND|DRUV2LND|DRUVWATA|DRUV2WAT|BLOX|FUR    lighting 0..4
//   flags <hex>   texture0..texture5 <name>   extra <name>   fur <name>   colour0..colour3 r g b a
//   address0..address5 1..4   order <int>   alphatest <0..255>   blend <0..5>   cull <0..255>   alpharef <0..255>
//   ambient|diffuse|specular <ARGB hex>   power <f>   strength <f>   cook <fresnel> <roughness> <scale>
//   shells <count> <length> <texscale>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/render/material_def.h"
#include "engine/render/material_file.h"
#include "engine/render/shader_set_codes.h"

namespace {

struct Description {
    std::string code = "JUSTCOL";
    int lighting = 0;
    std::uint32_t flags = 0;
    std::string textures[6];
    std::string extra;
    std::string fur;
    float colours[4][4] = {{1, 1, 1, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}};
    int address[6] = {1, 1, 1, 1, 1, 1};
    int order = 1000;
    int alphaTest = 0, blend = 0, cull = 3, alphaRef = 255;
    std::uint32_t ambient = 0xFF808080u, diffuse = 0xFFF0F0F0u, specular = 0xFFFFFFFFu;
    float power = 10.0f, strength = 0.3f;
    float cook[3] = {0.9f, 0.3f, 0.6f};
    int shells = 16;
    float furLength = 0.02f, furTexScale = 1.0f;
};

bool InRange(int v, int lo, int hi) { return v >= lo && v <= hi; }

// Reads the description; on a fault prints the line number and returns false.
bool Parse(std::istream& in, Description& d) {
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        const std::size_t hash = line.find('#');
        if (hash != std::string::npos) line.resize(hash);
        std::istringstream words(line);
        std::string key;
        if (!(words >> key)) continue;
        bool ok = true;
        auto index = [&key](const char* stem) {
            const std::size_t n = std::strlen(stem);
            return key.size() == n + 1 && key.compare(0, n, stem) == 0 ? key[n] - '0' : -1;
        };
        if (key == "code") {
            ok = static_cast<bool>(words >> d.code) && d.code.size() <= 8;
            std::uint8_t bytes[8] = {};
            if (ok) std::memcpy(bytes, d.code.data(), d.code.size());
            ok = ok && (engine::FindShaderSetByCode(bytes) != 0 || d.code == "JUSTCOL");
        } else if (key == "lighting") {
            ok = (words >> d.lighting) && InRange(d.lighting, 0, 4);
        } else if (key == "flags") {
            ok = static_cast<bool>(words >> std::hex >> d.flags) && d.flags <= 0xFFFF;
        } else if (InRange(index("texture"), 0, 5)) {
            ok = static_cast<bool>(words >> d.textures[index("texture")]);
        } else if (key == "extra") {
            ok = static_cast<bool>(words >> d.extra);
        } else if (key == "fur") {
            ok = static_cast<bool>(words >> d.fur);
        } else if (InRange(index("colour"), 0, 3)) {
            float* c = d.colours[index("colour")];
            ok = static_cast<bool>(words >> c[0] >> c[1] >> c[2] >> c[3]);
        } else if (InRange(index("address"), 0, 5)) {
            int& a = d.address[index("address")];
            ok = (words >> a) && InRange(a, 1, 4);
        } else if (key == "order") {
            ok = static_cast<bool>(words >> d.order);
        } else if (key == "alphatest" || key == "blend" || key == "cull" || key == "alpharef") {
            int& v = key == "alphatest" ? d.alphaTest : key == "blend" ? d.blend : key == "cull" ? d.cull : d.alphaRef;
            ok = (words >> v) && InRange(v, 0, key == "blend" ? 5 : 255);
        } else if (key == "ambient" || key == "diffuse" || key == "specular") {
            std::uint32_t& v = key == "ambient" ? d.ambient : key == "diffuse" ? d.diffuse : d.specular;
            ok = static_cast<bool>(words >> std::hex >> v);
        } else if (key == "power") {
            ok = static_cast<bool>(words >> d.power);
        } else if (key == "strength") {
            ok = static_cast<bool>(words >> d.strength);
        } else if (key == "cook") {
            ok = static_cast<bool>(words >> d.cook[0] >> d.cook[1] >> d.cook[2]);
        } else if (key == "shells") {
            ok = (words >> d.shells >> d.furLength >> d.furTexScale) && InRange(d.shells, 0, 127);
        } else {
            ok = false;
        }
        for (const std::string* name : {&d.extra, &d.fur}) ok = ok && name->size() <= 255;
        for (const std::string& name : d.textures) ok = ok && name.size() <= 255;
        if (!ok) {
            std::cerr << "line " << number << ": cannot read \"" << line << "\"\n";
            return false;
        }
    }
    return true;
}

class Writer {
public:
    void U8(int v) { bytes.push_back(static_cast<std::uint8_t>(v)); }
    void U16(std::uint32_t v) {
        U8(static_cast<int>(v & 0xFF));
        U8(static_cast<int>((v >> 8) & 0xFF));
    }
    void U32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) U8(static_cast<int>((v >> (8 * i)) & 0xFF));
    }
    void F(float f) {
        std::uint32_t v = 0;
        std::memcpy(&v, &f, 4);
        U32(v);
    }
    void Str(const std::string& s) {
        U8(static_cast<int>(s.size()));
        bytes.insert(bytes.end(), s.begin(), s.end());
    }
    std::vector<std::uint8_t> bytes;
};

std::vector<std::uint8_t> Encode(const Description& d) {
    Writer w;
    w.U8(29);
    w.U8(d.lighting);
    char code[8] = {};
    std::memcpy(code, d.code.data(), d.code.size());
    for (char c : code) w.U8(static_cast<std::uint8_t>(c));
    w.U16(d.flags);
    for (const std::string& name : d.textures) w.Str(name);
    w.Str(d.extra);
    w.Str(d.fur);
    for (const auto& colour : d.colours) {
        for (float f : colour) w.F(f);
    }
    for (int a : d.address) w.U8(a);
    w.F(0.0f);
    w.U32(static_cast<std::uint32_t>(d.order));
    w.U8(d.alphaTest);
    w.U8(d.blend);
    w.U8(d.cull);
    w.U8(d.alphaRef);
    w.U32(d.ambient);
    w.U32(d.diffuse);
    w.U32(d.specular);
    w.F(d.power);
    w.F(d.strength);
    for (float f : d.cook) w.F(f);
    w.U8(d.shells);
    w.F(d.furLength);
    w.F(d.furTexScale);
    w.F(0.0f);  // two stored floats
    w.F(0.0f);
    for (int i = 0; i < 4; ++i) w.U8(0);  // three stored bytes and a spare byte
    w.F(0.0f);
    return w.bytes;
}

}  // namespace

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
    Description d;
    if (!Parse(in, d)) return 1;
    const std::vector<std::uint8_t> bytes = Encode(d);

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
