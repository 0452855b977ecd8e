#include "engine/render/shader_set_codes.h"

#include <cstring>

namespace engine {

namespace {
constexpr const char* kCodes[kShaderSetCount] = {"JUSTCOL", "TEXTURE", "COLOURD",  "DRUVLAND", "DRUV2LND",
                                                 "DRUVWATA", "DRUV2WAT", "BLOX", "FUR"};
}  // namespace

const char* ShaderSetCodeText(int index) { return index >= 0 && index < kShaderSetCount ? kCodes[index] : nullptr; }

int FindShaderSetByCode(const std::uint8_t code[8]) {
    for (int i = 0; i < kShaderSetCount; ++i) {
        std::uint8_t padded[8] = {};
        std::memcpy(padded, kCodes[i], std::strlen(kCodes[i]));
        if (std::memcmp(padded, code, 8) == 0) return i;
    }
    return 0;
}

}  // namespace engine
