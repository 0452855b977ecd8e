#pragma once
// Writes ".MTL" material files of any version from one description, item by item, so that tests can check
// the reader against every version of the item list.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace mtltest {

struct MtlRecipe {
    int version = 29;
    int lightingByte = 1;
    std::string code = "TEXTURE";
    std::uint16_t flags = 0x0280;
    std::string oldName;      // item 5 (versions below 15)
    std::int16_t oldModel = 2;  // follows a non-empty item 5
    std::vector<std::string> textures = {"Tex/a.tga", "Tex/b.tga", "", "", "", "", "Tex/g.tga"};
    std::string extra = "Tex/bump.tga";
    std::string fur = "Tex/fur.tga";
    float colours[4][4] = {{0.5f, 0.25f, 1, 0.75f}, {1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}};
    std::uint8_t addressModes[7] = {2, 3, 4, 1, 2, 3, 4};
    float storedFloat0 = 1.5f;
    std::int32_t drawOrder = 1234;
    int alphaTest = 2;
    int blend = 3;
    int cull = 1;
    int alphaRef = 100;
    std::uint32_t ambient = 0xFF102030u;
    std::uint32_t second = 0xFF405060u;  // diffuse (V >= 20) or specular (15..19)
    std::uint32_t specular = 0xFF708090u;
    float specularPower = 7.0f;
    float specularStrength = 0.4f;
    float cookFresnel = 0.8f, cookRoughness = 0.2f, cookScale = 0.5f;
    int furShells = 12;
    float furLength = 0.05f, furTexScale = 2.0f;
    float storedFloat1 = 3.0f, storedFloat2 = 4.0f;
    std::uint8_t storedBytes[3] = {7, 8, 9};
    float storedFloat3 = 5.0f;

    int TextureNameCount() const { return version <= 24 ? 4 : (version <= 26 ? 7 : 6); }
};

class Bytes {
public:
    void U8(int v) { out.push_back(static_cast<std::uint8_t>(v)); }
    void U16(int v) {
        U8(v & 0xFF);
        U8((v >> 8) & 0xFF);
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
        out.insert(out.end(), s.begin(), s.end());
    }
    void Pad(int n) {
        for (int i = 0; i < n; ++i) U8(0xEE);
    }
    std::vector<std::uint8_t> out;
};

inline std::vector<std::uint8_t> WriteMtl(const MtlRecipe& s, bool prefix) {
    Bytes b;
    const int v = s.version;
    b.U8(v);
    b.U8(s.lightingByte);
    if (v >= 16) {
        char code[8] = {};
        std::memcpy(code, s.code.data(), s.code.size() < 8 ? s.code.size() : 8);
        for (char c : code) b.U8(static_cast<std::uint8_t>(c));
    }
    if (v >= 9) b.U16(s.flags);
    if (v < 15) {
        b.Str(s.oldName);
        if (!s.oldName.empty()) {
            if (v < 9) b.Pad(4);
            if (v < 8) b.Pad(6);
            b.U16(static_cast<std::uint16_t>(s.oldModel));
        }
    }
    if (v < 18) b.Str("old stored name");
    for (int i = 0; i < s.TextureNameCount(); ++i) b.Str(i < static_cast<int>(s.textures.size()) ? s.textures[i] : "");
    if (v >= 2) b.Str(s.extra);
    if (v >= 7 && v <= 14) b.Str("unused9");
    if (v < 29) b.Str("unused10");
    if (v >= 14) b.Str(s.fur);
    for (const auto& colour : s.colours) {
        for (float f : colour) b.F(f);
    }
    if (v >= 4) {
        for (int i = 0; i < s.TextureNameCount(); ++i) b.U8(s.addressModes[i]);
    }
    if (v < 11) b.Pad(4);
    if (v < 9) b.U16(s.flags);
    if (v >= 19) {
        b.F(s.storedFloat0);
        b.U32(static_cast<std::uint32_t>(s.drawOrder));
    }
    if (v >= 21) {
        b.U8(s.alphaTest);
        b.U8(s.blend);
        b.U8(s.cull);
    } else {
        b.U16(s.alphaTest);
        b.U8(s.blend);
    }
    if (v >= 23) b.U8(s.alphaRef);
    b.U32(s.ambient);
    if (v >= 15) {
        b.U32(s.second);
    } else {
        b.Pad(4);
    }
    if (v >= 20) b.U32(s.specular);
    b.F(s.specularPower);
    if (v >= 3) b.F(s.specularStrength);
    if (v <= 16) b.Pad(20);
    if (v >= 13) {
        b.F(s.cookFresnel);
        b.F(s.cookRoughness);
        b.F(s.cookScale);
    }
    if (v >= 14) {
        b.U8(s.furShells);
        b.F(s.furLength);
        b.F(s.furTexScale);
    }
    if (v < 28) b.Pad(4);
    if (v >= 24) {
        b.F(s.storedFloat1);
        b.F(s.storedFloat2);
    }
    if (v >= 26) {
        for (std::uint8_t x : s.storedBytes) b.U8(x);
        b.Pad(1);
        b.F(s.storedFloat3);
    }
    if (!prefix) return b.out;
    Bytes p;
    p.U32(4);
    p.U32(static_cast<std::uint32_t>(b.out.size() + 8 - 16));
    p.out.insert(p.out.end(), b.out.begin(), b.out.end());
    return p.out;
}

}  // namespace mtltest
