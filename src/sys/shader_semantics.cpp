#include "sys/shader_semantics.h"

#include <array>
#include <cctype>

namespace sys {
namespace {

struct SemanticLocation {
    std::string_view semantic;
    int location;
};

constexpr std::array<SemanticLocation, 16> kVertexAttributes = {{
    {"POSITION0", 0},     {"NORMAL0", 1},       {"NORMAL1", 2},    {"COLOR0", 3},     {"COLOR1", 4},
    {"TEXCOORD0", 5},     {"TEXCOORD1", 6},     {"BLENDINDICES0", 7}, {"BLENDWEIGHT0", 8}, {"POSITION1", 9},
    {"POSITION2", 10},    {"POSITION3", 11},    {"POSITION4", 12}, {"TEXCOORD2", 13}, {"TEXCOORD3", 14},
    {"TANGENT0", 15},
}};

constexpr std::array<SemanticLocation, 13> kVaryings = {{
    {"COLOR0", 0},     {"COLOR1", 1},     {"TEXCOORD0", 2},  {"TEXCOORD1", 3}, {"TEXCOORD2", 4},
    {"TEXCOORD3", 5},  {"TEXCOORD4", 6},  {"TEXCOORD5", 7},  {"TEXCOORD6", 8}, {"TEXCOORD7", 9},
    {"TEXCOORD8", 10}, {"TEXCOORD9", 11}, {"FOG0", 12},
}};

constexpr std::array<SemanticLocation, 4> kColourOutputs = {{
    {"COLOR0", 0}, {"COLOR1", 1}, {"COLOR2", 2}, {"COLOR3", 3},
}};

template <std::size_t N>
int Find(const std::array<SemanticLocation, N>& table, std::string_view semantic) {
    for (const SemanticLocation& entry : table) {
        if (entry.semantic == semantic) return entry.location;
    }
    return -1;
}

}  // namespace

std::string NormaliseSemantic(std::string_view semantic) {
    std::string normalised;
    normalised.reserve(semantic.size() + 1);
    for (char c : semantic) normalised.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    if (!normalised.empty() && !std::isdigit(static_cast<unsigned char>(normalised.back()))) normalised.push_back('0');
    return normalised;
}

int VertexAttributeLocation(std::string_view semantic) { return Find(kVertexAttributes, semantic); }

int VaryingSlot(std::string_view semantic) { return Find(kVaryings, semantic); }

int ColourOutputIndex(std::string_view semantic) { return Find(kColourOutputs, semantic); }

}  // namespace sys
