#pragma once
// The fixed register layout of the generated shaders, written out per variant key from the register tables,
// for comparing against what the generated texts declare and what the translator reflects.
#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

namespace rendertest {

struct ExpectedRegister {
    std::string name;
    char kind = 'c';  // 'c' constant, 's' sampler
    int reg = 0;
    int count = 1;  // registers taken (constants only)

    bool operator==(const ExpectedRegister& o) const {
        return std::tie(name, kind, reg, count) == std::tie(o.name, o.kind, o.reg, o.count);
    }
    bool operator<(const ExpectedRegister& o) const {
        return std::tie(kind, reg, name) < std::tie(o.kind, o.reg, o.name);
    }
};

inline std::vector<ExpectedRegister> Sorted(std::vector<ExpectedRegister> v) {
    std::sort(v.begin(), v.end());
    return v;
}

inline std::vector<ExpectedRegister> ExpectedVertexRegisters(std::uint32_t flags, bool skinned, bool instanced,
                                                             bool shell) {
    std::vector<ExpectedRegister> r = {{"Proj", 'c', 0, 4}, {"UVOffset", 'c', 30, 1}};
    if (!instanced) r.push_back({"ModelToWorld", 'c', 8, 4});
    if (shell) {
        r.push_back({"WorldToModel", 'c', 12, 4});
        r.push_back({"ShellParams", 'c', 31, 1});
        r.push_back({"FurDir", 'c', 32, 1});
    }
    if (flags & 0x40) r.push_back({"WorldToLight_LT_SPOT_1", 'c', 18, 4});
    if (flags & 0x80) r.push_back({"WorldToLight_LT_SPOT_2", 'c', 22, 4});
    if (flags & 0x20) r.push_back({"WorldToCam", 'c', 26, 4});
    if (skinned) r.push_back({"BonePalette", 'c', 33, 160});
    return Sorted(r);
}

// With the plain-colour material's MatColour at c0.
inline std::vector<ExpectedRegister> ExpectedPixelRegisters(std::uint32_t flags, int model, bool bump) {
    std::vector<ExpectedRegister> r = {{"MatColour", 'c', 0, 1}, {"CamPosWorld", 'c', 11, 1}};
    if (model != 0) {
        r.push_back({"Ambient", 'c', 6, 1});
        r.push_back({"Diffuse", 'c', 7, 1});
    }
    if (model == 2 || model == 3) r.push_back({"Specular", 'c', 8, 1});
    if (model == 2 || model == 4) r.push_back({"SpecularValues", 'c', 9, 1});
    if (model == 3) r.push_back({"CookTValues", 'c', 10, 1});
    if (bump) r.push_back({"BumpMap", 's', 6, 0});
    if (flags & 0x20) {
        r.push_back({"ShadowParams_LT_DIRECTIONAL", 'c', 12, 1});
        r.push_back({"SplitDist", 'c', 33, 1});
        r.push_back({"PSSM_4x4", 'c', 34, 16});
        r.push_back({"ShadowMap_LT_DIRECTIONAL", 's', 7, 0});
    }
    if (flags & 0x40) {
        r.push_back({"ShadowParams_LT_SPOT_1", 'c', 13, 1});
        r.push_back({"ShadowMap_LT_SPOT_1", 's', 8, 0});
    }
    if (flags & 0x80) {
        r.push_back({"ShadowParams_LT_SPOT_2", 'c', 14, 1});
        r.push_back({"ShadowMap_LT_SPOT_2", 's', 9, 0});
    }
    if (flags & 0x01) {
        r.push_back({"LightDir_LT_DIRECTIONAL", 'c', 17, 1});
        r.push_back({"LightCol_LT_DIRECTIONAL", 'c', 18, 1});
    }
    for (int which = 0; which < 2; ++which) {
        const std::string suffix = which == 0 ? "LT_SPOT_1" : "LT_SPOT_2";
        if (flags & (0x02u << which)) {
            const int base = 19 + 4 * which;
            r.push_back({"LightDir_" + suffix, 'c', base, 1});
            r.push_back({"LightPos_" + suffix, 'c', base + 1, 1});
            r.push_back({"LightCol_" + suffix, 'c', base + 2, 1});
            r.push_back({"LightVal_" + suffix, 'c', base + 3, 1});
        }
    }
    for (int which = 0; which < 2; ++which) {
        const std::string suffix = which == 0 ? "LT_POINT_1" : "LT_POINT_2";
        if (flags & (0x08u << which)) {
            const int base = 27 + 3 * which;
            r.push_back({"LightPos_" + suffix, 'c', base, 1});
            r.push_back({"LightCol_" + suffix, 'c', base + 1, 1});
            r.push_back({"LightVal_" + suffix, 'c', base + 2, 1});
        }
    }
    return Sorted(r);
}

}  // namespace rendertest
