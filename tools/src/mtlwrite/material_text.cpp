#include "mtlwrite/material_text.h"

#include <cstring>
#include <sstream>

#include "engine/render/shader_set_codes.h"

namespace tools {
namespace {

bool InRange(int v, int lo, int hi) { return v >= lo && v <= hi; }

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

}  // namespace

bool ParseMaterialDescription(std::istream& in, MaterialDescription& d, std::string* error) {
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
            if (error != nullptr) *error = "line " + std::to_string(number) + ": cannot read \"" + line + "\"";
            return false;
        }
    }
    return true;
}

std::vector<std::uint8_t> EncodeMaterial(const MaterialDescription& d) {
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

}  // namespace tools
