#include "engine/render/shader_set.h"
#include "engine/render/shader_set_codes.h"

namespace engine {
namespace {

struct ParamRow {
    const char* label;
    int kind;
    float min, max, defaultValue;
};

void Texture(ShaderSetInfo& info, int slot, const char* label) {
    info.textures[slot].kind = kSlotTexture;
    info.textures[slot].label = WideString(label);
}

void Colour(ShaderSetInfo& info, int slot, const char* label) {
    info.colours[slot].kind = kSlotColour;
    info.colours[slot].label = WideString(label);
}

// The water sets' slots: wave noise, hex tiles, the colour modulator and the wave parameters.
void WaterSlots(ShaderSetInfo& info) {
    Texture(info, 0, "3D Wave Noise");
    Texture(info, 3, "Hex Tiles");
    Colour(info, 0, "Colour Modulator");
    ColourSlotInfo& specular = info.colours[1];
    specular.kind = kSlotParameters;
    specular.label = WideString("Specular Colour");
    const ParamRow params[4] = {{"Unused", 0, 0.0f, 0.0f, 0.0f},
                                {"Wave Speed X", 1, 0.001f, 0.3f, 0.1f},
                                {"Wave Speed Y", 1, 0.001f, 0.3f, 0.1f},
                                {"UV Multiplier", 1, 0.0625f, 16.0f, 1.0f}};
    for (int i = 0; i < 4; ++i) {
        specular.params[i].label = WideString(params[i].label);
        specular.params[i].kind = params[i].kind;
        specular.params[i].min = params[i].min;
        specular.params[i].max = params[i].max;
        specular.params[i].defaultValue = params[i].defaultValue;
    }
}

void TerrainSlots(ShaderSetInfo& info) {
    Texture(info, 0, "Texture1");
    Texture(info, 1, "Texture2");
    Texture(info, 3, "Texture3");
    Colour(info, 0, "Colour Modulator");
}

void BaseTextureSlots(ShaderSetInfo& info) {
    Texture(info, 0, "Base Texture");
    Colour(info, 0, "Colour Modulator");
}

}  // namespace

ShaderSetInfo MakeShaderSetInfo(int index) {
    static constexpr const char* kTerrainText =
        "Texture1 + Texture2 based on Texture1.a, then modulated with Texture3";
    ShaderSetInfo info;
    auto names = [&info](const char* name, const char* description) {
        info.name = WideString(name);
        info.description = WideString(description);
    };
    switch (index) {
        case kSetPlainColour:
            names("VAD_JUSTCOLOUR", "Plain Colour");
            Colour(info, 0, "Colour");
            break;
        case kSetTexture:
            names("VAD_TEXTURE", "Texture * Colour");
            BaseTextureSlots(info);
            break;
        case kSetColourDecal:
            names("VAD_COLOURDECAL", "Texture blended over a base colour");
            Texture(info, 0, "Decal Texture");
            Colour(info, 0, "Base Colour");
            break;
        case kSetTerrain:
            names("VAD_DRUV_TERRAIN", kTerrainText);
            TerrainSlots(info);
            break;
        case kSetTerrain2:
            names("VAD_DRUV2_TERRAIN", kTerrainText);
            TerrainSlots(info);
            break;
        case kSetWater:
            names("VAD_DRUV_WATER", "Custom water for Tinmarch");
            WaterSlots(info);
            break;
        case kSetWater2:
            names("VAD_DRUV2_WATER", "Custom water for Bolverk");
            WaterSlots(info);
            break;
        case kSetBlock:
            names("VAD_BLOX", "Texture * Colour for Pellmark");
            BaseTextureSlots(info);
            break;
        case kSetFur:
            names("VAD_FUR", "Texture * Colour * Vertex");
            BaseTextureSlots(info);
            break;
        default:
            break;
    }
    return info;
}

}  // namespace engine
