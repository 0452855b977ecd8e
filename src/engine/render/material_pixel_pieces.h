#pragma once
// Pixel-shader pieces: the lit-pixel header that the generic pixel shader and the terrain and water sets open
// with, and what those sets add beyond the generic pixel shader.
#include <cstdint>
#include <string>
#include <string_view>

namespace engine {

// The lit-pixel header: the shared uniforms for (lightingModel, lightFlags, bump), then `declarations`, PS_IN
// (with the tangent frame when `tangentFrame`), the lighting functions and the opening of main.
void BeginLitPixelShader(std::string& text, std::uint32_t lightFlags, int lightingModel, bool bump,
                         bool tangentFrame, std::string_view declarations);
// float3 Normal from two scrolled taps of the wave noise Tex0 (Params1 = time, speed x, speed y, UV
// multiplier) taken through the tangent frame.
void EmitWaveNormal(std::string& text);
// CalculatedSpecular.rgb times Grid to the eighth power (models 2 and 3 only).
void EmitGridSpecular(std::string& text, int lightingModel);
// Applies the lighting to MainPix in place: model 0 the vertex colour, models 1 and 4 the diffuse form,
// models 2 and 3 the specular form.
void EmitLitMainPix(std::string& text, int lightingModel);
// The fog blend and the return: FogPixel from two taps of Tex5 scrolled by `params`.x, mixed with MainPix by
// FogVal.
void EmitFogResult(std::string& text, const char* params);

}  // namespace engine
