// The text description of a version-29 ".MTL" material and its encoder, shared by every tool that writes
// materials, so there is one writer of the format.
// The description has one "key value..." line per setting; "#" starts a comment. Keys (all optional):
//   code JUSTCOL|TEXTURE|COLOURD|DRUVLAND|DRUV2LND|DRUVWATA|DRUV2WAT|BLOX|FUR    lighting 0..4
//   flags <hex>   texture0..texture5 <name>   extra <name>   fur <name>   colour0..colour3 r g b a
//   address0..address5 1..4   order <int>   alphatest <0..255>   blend <0..5>   cull <0..255>   alpharef <0..255>
//   ambient|diffuse|specular <ARGB hex>   power <f>   strength <f>   cook <fresnel> <roughness> <scale>
//   shells <count> <length> <texscale>
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace tools {

struct MaterialDescription {
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

// Reads a description; on a fault writes "line N: ..." to `error` and returns false.
bool ParseMaterialDescription(std::istream& in, MaterialDescription& d, std::string* error);

// The file bytes of the described material.
std::vector<std::uint8_t> EncodeMaterial(const MaterialDescription& d);

}  // namespace tools
