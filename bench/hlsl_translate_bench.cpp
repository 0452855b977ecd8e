// Cost of turning a mid-sized lit pixel shader into GLSL: the whole translation, and its two halves (HLSL to
// SPIR-V, and SPIR-V to GLSL as after a shader-cache load). One translation runs before timing, because the
// first one in a process also builds the front end's symbol tables.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "sys/hlsl_compiler.h"
#include "sys/spirv_to_glsl.h"

namespace {

// A bump-mapped, textured pixel shader with a directional and a spot light and Blinn specular.
constexpr const char* kLitPixelShader = R"(
sampler2D BumpMap : register(s6);
sampler2D Tex0 : register(s0);
sampler2D ShadowMap_LT_SPOT_1 : register(s8);
float4 MatColour : register(c0);
float4 Ambient : register(c6);
float4 Diffuse : register(c7);
float4 Specular : register(c8);
float4 SpecularValues : register(c9);
float4 CamPosWorld : register(c11);
float4 ShadowParams_LT_SPOT_1 : register(c13);
float4 LightDir_LT_DIRECTIONAL : register(c17);
float4 LightCol_LT_DIRECTIONAL : register(c18);
float4 LightDir_LT_SPOT_1 : register(c19);
float4 LightPos_LT_SPOT_1 : register(c20);
float4 LightCol_LT_SPOT_1 : register(c21);
float4 LightVal_LT_SPOT_1 : register(c22);
struct PS_IN {
	float4 VertCol : COLOR0;
	float2 UV1 : TEXCOORD0;
	float4 ShadPos_LT_SPOT_1 : TEXCOORD4;
	float4 PosWorld : TEXCOORD6;
	float4 NormWorld : TEXCOORD7;
	float3 BiNormWorld : TEXCOORD8;
	float3 TanNormWorld : TEXCOORD9;
};
float4 main(PS_IN In) : COLOR
{
	float4 MainPix = tex2D(Tex0, In.UV1) * MatColour;
	float3x3 TangentSpace = float3x3(In.TanNormWorld, normalize(In.BiNormWorld), In.NormWorld.xyz);
	float3 BumpNormal = tex2D(BumpMap, In.UV1).xyz * 2 - 1;
	float3 Normal = normalize(mul(BumpNormal, TangentSpace));
	float3 V = normalize(CamPosWorld.xyz - In.PosWorld.xyz);
	float3 CalculatedDiffuse = 0;
	float4 CalculatedSpecular = float4(0, 0, 0, 1);
	{
		float3 L = LightDir_LT_DIRECTIONAL.xyz;
		float Atten = saturate(dot(-Normal, L));
		float3 Half = normalize(V - L);
		float Spec = pow(max(saturate(dot(Normal, Half)), 0.000001), SpecularValues.x) * SpecularValues.y;
		CalculatedDiffuse += LightCol_LT_DIRECTIONAL.rgb * Atten;
		CalculatedSpecular.rgb += Spec * LightCol_LT_DIRECTIONAL.rgb;
		CalculatedSpecular.a -= Spec * LightCol_LT_DIRECTIONAL.a * Spec * LightCol_LT_DIRECTIONAL.a;
	}
	{
		float2 P = In.ShadPos_LT_SPOT_1.xy / In.ShadPos_LT_SPOT_1.w;
		float LightDist = In.ShadPos_LT_SPOT_1.z;
		float4 Taps;
		Taps.x = tex2D(ShadowMap_LT_SPOT_1, P).r;
		Taps.y = tex2D(ShadowMap_LT_SPOT_1, P + float2(0.000244, 0)).r;
		Taps.z = tex2D(ShadowMap_LT_SPOT_1, P + float2(0, 0.000244)).r;
		Taps.w = tex2D(ShadowMap_LT_SPOT_1, P + float2(0.000244, 0.000244)).r;
		float4 Lit = LightDist < Taps + ShadowParams_LT_SPOT_1.x;
		float ShadowPix = dot(Lit, 0.25);
		float3 I = In.PosWorld.xyz - LightPos_LT_SPOT_1.xyz;
		float Dist = length(I);
		I /= Dist;
		float Munge = saturate(dot(Normal, -I));
		float SpotDot = pow(max(Munge * saturate((dot(I, LightDir_LT_SPOT_1.xyz) - LightVal_LT_SPOT_1.x)
		                                         * LightVal_LT_SPOT_1.y), 0.000001), LightVal_LT_SPOT_1.z);
		float NormRange = 1 - saturate(Dist / LightVal_LT_SPOT_1.w);
		float Atten = pow(max(saturate(NormRange), 0.000001), LightVal_LT_SPOT_1.z);
		float3 Half = normalize(V - I);
		float Spec = SpotDot * pow(max(saturate(dot(Normal, Half)), 0.000001), SpecularValues.x) * SpecularValues.y;
		CalculatedDiffuse += ShadowPix * Atten * SpotDot * LightCol_LT_SPOT_1.rgb;
		CalculatedSpecular.rgb += ShadowPix * Atten * Spec * LightCol_LT_SPOT_1.rgb;
		CalculatedSpecular.a -= ShadowPix * Spec * LightCol_LT_SPOT_1.a * Spec * LightCol_LT_SPOT_1.a;
	}
	float3 Lighting = (Ambient.rgb + Diffuse.rgb * CalculatedDiffuse) * In.VertCol.rgb;
	return float4(MainPix.rgb * Lighting + Specular.rgb * CalculatedSpecular.rgb, MainPix.a * CalculatedSpecular.a);
}
)";

// Translates once so that the timed runs do not include the front end's one-off start-up.
std::vector<std::uint32_t> WarmUp() {
    std::vector<std::uint32_t> words;
    if (!sys::TranslateHlsl(kLitPixelShader, sys::ShaderStage::Pixel, &words).Ok()) std::abort();
    return words;
}

void BM_TranslateLitPixelShader(benchmark::State& state) {
    WarmUp();
    for (auto _ : state) {
        benchmark::DoNotOptimize(sys::TranslateHlsl(kLitPixelShader, sys::ShaderStage::Pixel));
    }
}
BENCHMARK(BM_TranslateLitPixelShader)->Unit(benchmark::kMillisecond);

void BM_CompileLitPixelShader(benchmark::State& state) {
    WarmUp();
    for (auto _ : state) {
        benchmark::DoNotOptimize(sys::CompileHlsl(kLitPixelShader, sys::ShaderStage::Pixel));
    }
}
BENCHMARK(BM_CompileLitPixelShader)->Unit(benchmark::kMillisecond);

void BM_SpirvToGlslLitPixelShader(benchmark::State& state) {
    const std::vector<std::uint32_t> words = WarmUp();
    for (auto _ : state) {
        benchmark::DoNotOptimize(sys::SpirvToGlsl(words, sys::ShaderStage::Pixel));
    }
}
BENCHMARK(BM_SpirvToGlslLitPixelShader)->Unit(benchmark::kMillisecond);

}  // namespace
