#pragma once
// The representative variant keys that every build translates: each LightFlags bit alone, 0x1F and 0xFF,
// under every lighting model with bump off and on (pixel shaders, with the plain-colour material's MainPix),
// and the plain, skinned and instanced vertex shaders of the same words, the fur-shell path and the
// depth-only path.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/render/shader_assembly.h"

namespace rendertest {

inline constexpr const char* kMatColourDeclaration = "float4 MatColour : register(c0);\n";
inline constexpr const char* kMatColourMainPix = "\tfloat4 MainPix = MatColour;\n";

inline const std::vector<std::uint32_t>& RepresentativeLightFlags() {
    static const std::vector<std::uint32_t> flags = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80, 0x1F, 0xFF};
    return flags;
}

enum class VertexPath { Plain, Skinned, Instanced, Shell, DepthOnly };

struct VertexKey {
    VertexPath path = VertexPath::Plain;
    std::uint32_t flags = 0;
    bool bump = false;
};

struct PixelKey {
    std::uint32_t flags = 0;
    int model = 0;
    bool bump = false;
};

inline std::vector<PixelKey> RepresentativePixelKeys() {
    std::vector<PixelKey> keys;
    for (std::uint32_t flags : RepresentativeLightFlags()) {
        for (int model = 0; model <= 4; ++model) {
            for (bool bump : {false, true}) keys.push_back({flags, model, bump});
        }
    }
    return keys;
}

inline std::vector<VertexKey> RepresentativeVertexKeys() {
    std::vector<VertexKey> keys;
    for (std::uint32_t flags : RepresentativeLightFlags()) {
        for (VertexPath path : {VertexPath::Plain, VertexPath::Skinned, VertexPath::Instanced}) {
            for (bool bump : {false, true}) keys.push_back({path, flags, bump});
        }
    }
    for (std::uint32_t flags : {0x00u, 0xFFu}) {
        for (bool bump : {false, true}) keys.push_back({VertexPath::Shell, flags, bump});
    }
    for (VertexPath path : {VertexPath::Plain, VertexPath::Skinned, VertexPath::Instanced}) {
        keys.push_back({VertexPath::DepthOnly, static_cast<std::uint32_t>(path), false});
    }
    return keys;
}

inline std::string PixelText(const PixelKey& key) {
    std::string text;
    engine::BuildGenericPixelShader(text, key.flags, key.model, key.bump, kMatColourDeclaration, kMatColourMainPix);
    return text;
}

// For the depth-only path, `flags` holds the vertex kind it is built for (0 plain, 1 skinned, 2 instanced).
inline std::string VertexText(const VertexKey& key) {
    std::string text;
    if (key.path == VertexPath::DepthOnly) {
        engine::BuildDepthOnlyVertexShader(text, key.flags == 1, key.flags == 2);
    } else {
        engine::BuildGenericVertexShader(text, key.path == VertexPath::Skinned, key.path == VertexPath::Instanced,
                                         key.path == VertexPath::Shell, key.flags, key.bump);
    }
    return text;
}

}  // namespace rendertest
