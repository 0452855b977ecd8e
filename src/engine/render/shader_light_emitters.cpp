#include <cstdarg>

#include "engine/render/light_flags.h"
#include "engine/render/shader_emitters.h"
#include "engine/render/shader_format.h"

namespace engine {

namespace {

// Smallest base given to pow: far below anything visible for exponents of 0.1 and up, and exactly 1 for an
// exponent of 0.
constexpr const char* kPowFloor = "1e-30";

bool HasSpecular(int lightingModel) {
    return lightingModel == kLightingBlinn || lightingModel == kLightingCookTorrance;
}

[[gnu::format(printf, 1, 2)]] std::string Format(const char* format, ...) {
    std::string out;
    std::va_list args;
    va_start(args, format);
    AppendFormattedV(out, format, args);
    va_end(args);
    return out;
}

// float Cook for the light direction `lightVector` (towards the light), from the CookTorrance function,
// saturated for the directional and spot lights.
void EmitCook(std::string& text, const char* lightVector, bool saturateCook) {
    if (saturateCook) {
        EmitShaderLine(text, "\t\tfloat Cook = saturate(CookTorrance(Normal, V, %s));", lightVector);
    } else {
        EmitShaderLine(text, "\t\tfloat Cook = CookTorrance(Normal, V, %s);", lightVector);
    }
}

// Adds ThisDiffuse (and ThisSpecular, SpecGlow) to the totals, scaled by ShadowPix when shadowed.
void EmitAccumulate(std::string& text, int lightingModel, bool shadowed) {
    const char* scale = shadowed ? " * ShadowPix" : "";
    EmitShaderLine(text, "\t\tCalculatedDiffuse += ThisDiffuse%s;", scale);
    if (HasSpecular(lightingModel)) {
        EmitShaderLine(text, "\t\tCalculatedSpecular.rgb += ThisSpecular%s;", scale);
        EmitShaderLine(text, "\t\tCalculatedSpecular.a -= SpecGlow * SpecGlow%s;", scale);
    }
}

// Four taps of `map` at ShadowUV and `offset` to the right, below and both, each red channel plus `bias`,
// compared with LightDist into ShadowPix, the lit fraction. `explicitLod` samples level 0 without
// derivatives, for taps inside a branch.
void EmitFourTaps(std::string& text, const char* indent, const char* map, const char* bias, double offset,
                  bool explicitLod) {
    static const char* const kComponents[4] = {"x", "y", "z", "w"};
    EmitShaderLine(text, "%sfloat4 Samples;", indent);
    for (int tap = 0; tap < 4; ++tap) {
        const double dx = (tap & 1) ? offset : 0.0;
        const double dy = (tap & 2) ? offset : 0.0;
        const std::string uv = tap == 0 ? std::string("ShadowUV") : Format("ShadowUV + float2(%.6f, %.6f)", dx, dy);
        const std::string sample = explicitLod ? Format("tex2Dlod(%s, float4(%s, 0, 0))", map, uv.c_str())
                                               : Format("tex2D(%s, %s)", map, uv.c_str());
        EmitShaderLine(text, "%sSamples.%s = %s.r + %s;", indent, kComponents[tap], sample.c_str(), bias);
    }
    EmitShaderLine(text,
                   "%sfloat4 Lit = float4(LightDist < Samples.x, LightDist < Samples.y, LightDist < Samples.z, "
                   "LightDist < Samples.w);",
                   indent);
}

}  // namespace

std::string GuardedPow(const std::string& base, const std::string& exponent) {
    return "pow(max(" + base + ", " + kPowFloor + "), " + exponent + ")";
}

void EmitLightingFunctions(std::string& text, int lightingModel) {
    if (lightingModel != kLightingCookTorrance) return;
    // The specular term of one light for the unit vectors Normal, V (to the viewer) and LightVector (to the
    // light). The forms are guarded: G1 = 2 NdotH NdotV / NdotH is written 2 NdotV, G2 divides by NdotH +
    // 0.00001 and the result by NdotL NdotV + 0.00001, so that a half vector at or beyond a right angle to
    // the normal (NdotH 0) or a grazing view gives no NaN.
    EmitShaderLine(text, "float CookTorrance(float3 Normal, float3 V, float3 LightVector)");
    EmitShaderLine(text, "{");
    EmitShaderLine(text, "\tfloat3 HalfVector = normalize(LightVector + V);");
    EmitShaderLine(text, "\tfloat NdotH = max(0, dot(Normal, HalfVector));");
    EmitShaderLine(text, "\tfloat NdotV = dot(Normal, V);");
    EmitShaderLine(text, "\tfloat NdotL = dot(Normal, LightVector);");
    EmitShaderLine(text, "\tfloat Alpha = acos(saturate(NdotH));");
    EmitShaderLine(text, "\tfloat AlphaOverM = Alpha / CookTValues.y;");
    EmitShaderLine(text, "\tfloat D = CookTValues.x * exp(-(AlphaOverM * AlphaOverM));");
    EmitShaderLine(text, "\tfloat G1 = 2 * NdotV;");
    EmitShaderLine(text, "\tfloat G2 = 2 * NdotH * NdotL / (saturate(NdotH) + 0.00001);");
    EmitShaderLine(text, "\tfloat G = min(1, max(0, min(G1, G2)));");
    EmitShaderLine(text, "\tfloat F = CookTValues.z + (1 - CookTValues.z) * %s;", GuardedPow("1 - NdotL", "5").c_str());
    EmitShaderLine(text, "\treturn F * D * G / (saturate(NdotL * NdotV) + 0.00001);");
    EmitShaderLine(text, "}");
}

void EmitLighting(std::string& text, std::uint32_t lightFlags, int lightingModel) {
    if (lightingModel == kLightingUnlit) return;
    EmitShaderLine(text, "\tfloat3 CalculatedDiffuse = 0;");
    if (HasSpecular(lightingModel)) EmitShaderLine(text, "\tfloat4 CalculatedSpecular = float4(0, 0, 0, 1);");
    EmitShaderLine(text, "\tfloat3 V = normalize(CamPosWorld.xyz - In.PosWorld.xyz);");
    if (lightFlags & kLightDirectional) EmitDirectionalLight(text, lightingModel, lightFlags);
    if (lightFlags & kLightSpot1) EmitSpotLight(text, 0, lightingModel, lightFlags);
    if (lightFlags & kLightSpot2) EmitSpotLight(text, 1, lightingModel, lightFlags);
    if (lightFlags & kLightPoint1) EmitPointLight(text, lightingModel, 0);
    if (lightFlags & kLightPoint2) EmitPointLight(text, lightingModel, 1);
}

void EmitDirectionalLight(std::string& text, int lightingModel, std::uint32_t lightFlags) {
    const bool shadowed = (lightFlags & kShadowDirectional) != 0;
    EmitShaderLine(text, "\t{");
    EmitShaderLine(text, "\t\tfloat3 L = LightDir_LT_DIRECTIONAL.xyz;");
    EmitShaderLine(text, "\t\tfloat4 Col = LightCol_LT_DIRECTIONAL;");
    switch (lightingModel) {
        case kLightingDiffuse:
        case kLightingBlinn:
        case kLightingCookTorrance:
            EmitShaderLine(text, "\t\tfloat Atten = saturate(dot(-Normal, L));");
            EmitShaderLine(text, "\t\tfloat3 ThisDiffuse = Col.rgb * Atten;");
            break;
        case kLightingViewDiffuse:
            EmitShaderLine(text, "\t\tfloat3 ThisDiffuse = Col.rgb * %s * max(0, dot(-L, Normal));",
                           GuardedPow("saturate(dot(V, Normal) * dot(-L, Normal))", "SpecularValues.x").c_str());
            break;
        default:
            break;
    }
    if (lightingModel == kLightingBlinn) {
        EmitShaderLine(text, "\t\tfloat3 Half = normalize(V - L);");
        EmitShaderLine(text, "\t\tfloat Spec = %s * SpecularValues.y;",
                       GuardedPow("saturate(dot(Normal, Half))", "SpecularValues.x").c_str());
        EmitShaderLine(text, "\t\tfloat3 ThisSpecular = Spec * Col.rgb;");
        EmitShaderLine(text, "\t\tfloat SpecGlow = Spec * Col.a;");
    } else if (lightingModel == kLightingCookTorrance) {
        EmitCook(text, "-L", true);
        EmitShaderLine(text, "\t\tfloat3 ThisSpecular = Cook * Col.rgb;");
        EmitShaderLine(text, "\t\tfloat SpecGlow = Cook * Col.a;");
    }
    if (shadowed) EmitSplitShadow(text);
    EmitAccumulate(text, lightingModel, shadowed);
    EmitShaderLine(text, "\t}");
}

void EmitSpotLight(std::string& text, int which, int lightingModel, std::uint32_t lightFlags) {
    const char* suffix = kSpotSuffix[which];
    const bool shadowed = (lightFlags & (which == 0 ? kShadowSpot1 : kShadowSpot2)) != 0;
    EmitShaderLine(text, "\t{");
    EmitShaderLine(text, "\t\tfloat3 I = In.PosWorld.xyz - LightPos_%s.xyz;", suffix);
    EmitShaderLine(text, "\t\tfloat Dist = length(I);");
    EmitShaderLine(text, "\t\tI = normalize(I);");
    EmitShaderLine(text, "\t\tfloat4 Col = LightCol_%s;", suffix);
    EmitShaderLine(text, "\t\tfloat4 Val = LightVal_%s;", suffix);
    EmitShaderLine(text, "\t\tfloat Munge = saturate(dot(Normal, -I));");
    // The Blinn model saturates the cone's dot product before it is measured against the cone.
    const std::string coneDot = lightingModel == kLightingBlinn ? Format("saturate(dot(I, LightDir_%s.xyz))", suffix)
                                                                : Format("dot(I, LightDir_%s.xyz)", suffix);
    EmitShaderLine(text, "\t\tfloat SpotDot = %s;",
                   GuardedPow("Munge * saturate((" + coneDot + " - Val.x) * Val.y)", "Val.z").c_str());
    EmitShaderLine(text, "\t\tfloat NormRange = 1 - saturate(Dist / Val.w);");
    const std::string rangeAtten = GuardedPow("saturate(NormRange)", "Val.z");
    switch (lightingModel) {
        case kLightingDiffuse:
            EmitShaderLine(text, "\t\tfloat Atten = SpotDot * %s;", rangeAtten.c_str());
            EmitShaderLine(text, "\t\tfloat3 ThisDiffuse = Atten * Col.rgb;");
            break;
        case kLightingBlinn:
            EmitShaderLine(text, "\t\tfloat Atten = %s;", rangeAtten.c_str());
            EmitShaderLine(text, "\t\tfloat3 ThisDiffuse = Atten * SpotDot * Col.rgb;");
            EmitShaderLine(text, "\t\tfloat3 Half = normalize(V - I);");
            EmitShaderLine(text, "\t\tfloat Spec = SpotDot * %s * SpecularValues.y;",
                           GuardedPow("saturate(dot(Normal, Half))", "SpecularValues.x").c_str());
            EmitShaderLine(text, "\t\tfloat3 ThisSpecular = Atten * Spec * Col.rgb;");
            EmitShaderLine(text, "\t\tfloat SpecGlow = Spec * Col.a;");
            break;
        case kLightingCookTorrance:
            EmitShaderLine(text, "\t\tfloat Atten = %s;", rangeAtten.c_str());
            EmitShaderLine(text, "\t\tfloat3 ThisDiffuse = Atten * SpotDot * Col.rgb;");
            EmitCook(text, "-I", true);
            EmitShaderLine(text, "\t\tfloat3 ThisSpecular = Atten * Cook * (SpotDot > 0 ? 1 : 0) * Col.rgb;");
            EmitShaderLine(text, "\t\tfloat SpecGlow = Cook * Col.a;");
            break;
        case kLightingViewDiffuse:
            EmitShaderLine(text, "\t\tfloat Atten = %s;", rangeAtten.c_str());
            EmitShaderLine(text, "\t\tfloat3 ThisDiffuse = Col.rgb * %s * max(0, SpotDot) * Atten;",
                           GuardedPow("saturate(dot(V, Normal) * SpotDot)", "SpecularValues.x").c_str());
            break;
        default:
            break;
    }
    if (shadowed) EmitSpotShadowTaps(text, which);
    EmitAccumulate(text, lightingModel, shadowed);
    EmitShaderLine(text, "\t}");
}

void EmitPointLight(std::string& text, int lightingModel, int which) {
    const char* suffix = kPointSuffix[which];
    EmitShaderLine(text, "\t{");
    EmitShaderLine(text, "\t\tfloat3 I = In.PosWorld.xyz - LightPos_%s.xyz;", suffix);
    EmitShaderLine(text, "\t\tfloat Dist = length(I);");
    EmitShaderLine(text, "\t\tI = normalize(I);");
    EmitShaderLine(text, "\t\tfloat4 Col = LightCol_%s;", suffix);
    EmitShaderLine(text, "\t\tfloat4 Val = LightVal_%s;", suffix);
    EmitShaderLine(text, "\t\tfloat NormRange = 1 - saturate(Dist / Val.w);");
    EmitShaderLine(text, "\t\tfloat Atten = %s;", GuardedPow("saturate(NormRange)", "Val.z").c_str());
    EmitShaderLine(text, "\t\tfloat Munge = saturate(dot(Normal, -I));");
    switch (lightingModel) {
        case kLightingDiffuse:
            EmitShaderLine(text, "\t\tCalculatedDiffuse += Atten * Munge * Col.rgb;");
            break;
        case kLightingBlinn:
            EmitShaderLine(text, "\t\tCalculatedDiffuse += Atten * Munge * Col.rgb;");
            EmitShaderLine(text, "\t\tfloat Spec = %s * SpecularValues.y;",
                           GuardedPow("saturate(dot(Normal, normalize(V - I)))", "SpecularValues.x").c_str());
            EmitShaderLine(text, "\t\tCalculatedSpecular.rgb += Atten * Spec * Col.rgb;");
            EmitShaderLine(text, "\t\tCalculatedSpecular.a -= Atten * Spec * Col.a;");
            break;
        case kLightingCookTorrance:
            EmitShaderLine(text, "\t\tCalculatedDiffuse += Atten * Munge * Col.rgb;");
            EmitCook(text, "-I", false);
            EmitShaderLine(text, "\t\tCalculatedSpecular.rgb += Atten * Cook * Col.rgb;");
            EmitShaderLine(text, "\t\tCalculatedSpecular.a -= Atten * Cook * Col.a;");
            break;
        case kLightingViewDiffuse:
            EmitShaderLine(text, "\t\tCalculatedDiffuse += Col.rgb * %s * max(0, Atten);",
                           GuardedPow("saturate(dot(V, Normal) * Atten)", "SpecularValues.x").c_str());
            break;
        default:
            break;
    }
    EmitShaderLine(text, "\t}");
}

void EmitSpotShadowTaps(std::string& text, int which) {
    const char* suffix = kSpotSuffix[which];
    EmitShaderLine(text, "\t\tfloat4 ShadowPos = In.ShadPos_%s;", suffix);
    EmitShaderLine(text, "\t\tfloat2 ShadowUV = ShadowPos.xy / ShadowPos.w;");
    EmitShaderLine(text, "\t\tfloat Bias = ShadowParams_%s.x;", suffix);
    EmitShaderLine(text, "\t\tfloat LightDist = ShadowPos.z;");
    // One texel of the 4096-wide spot shadow map.
    const std::string map = std::string("ShadowMap_") + suffix;
    EmitFourTaps(text, "\t\t", map.c_str(), "Bias", 1.0 / 4096.0, false);
    EmitShaderLine(text, "\t\tfloat ShadowPix = dot(Lit, 0.25);");
}

void EmitSplitShadow(std::string& text) {
    // Lit unless a split covers the pixel and its map says otherwise; beyond the last split nothing is
    // looked up.
    EmitShaderLine(text, "\t\tfloat ShadowPix = 1;");
    EmitShaderLine(text, "\t\tfloat ViewDepth = In.NormWorld.w;");
    EmitShaderLine(text, "\t\tint Split = 4;");
    EmitShaderLine(text, "\t\tif (ViewDepth < SplitDist.w) Split = 3;");
    EmitShaderLine(text, "\t\tif (ViewDepth < SplitDist.z) Split = 2;");
    EmitShaderLine(text, "\t\tif (ViewDepth < SplitDist.y) Split = 1;");
    EmitShaderLine(text, "\t\tif (ViewDepth < SplitDist.x) Split = 0;");
    EmitShaderLine(text, "\t\tif (Split < 4)");
    EmitShaderLine(text, "\t\t{");
    EmitShaderLine(text, "\t\t\tfloat4 ShadowPos = mul(In.PosWorld, PSSM_4x4[Split]);");
    // The four splits share one map as a 2 x 2 atlas: 0 top left, 1 top right, 2 bottom left, 3 bottom right.
    EmitShaderLine(text, "\t\t\tfloat2 ShadowUV = ShadowPos.xy * 0.5;");
    EmitShaderLine(text, "\t\t\tif (Split == 1 || Split == 3) ShadowUV.x += 0.5;");
    EmitShaderLine(text, "\t\t\tif (Split >= 2) ShadowUV.y += 0.5;");
    EmitShaderLine(text, "\t\t\tfloat LightDist = ShadowPos.z;");
    // One texel of the 2048-wide atlas.
    EmitFourTaps(text, "\t\t\t", "ShadowMap_LT_DIRECTIONAL", "ShadowParams_LT_DIRECTIONAL.x", 1.0 / 2048.0, true);
    EmitShaderLine(text, "\t\t\tShadowPix = dot(Lit, 0.25);");
    EmitShaderLine(text, "\t\t}");
}

}  // namespace engine
