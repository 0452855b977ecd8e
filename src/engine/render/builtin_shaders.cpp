#include "engine/render/builtin_shaders.h"

#include <span>
#include <vector>

#include "engine/render/shader_format.h"

namespace engine {

namespace {

constexpr const char* kProj = "uniform float4x4 Proj : register(c0)";
constexpr const char* kModelToWorld = "uniform float4x4 ModelToWorld : register(c8)";
// The bone palette is declared at global scope: an array of matrices passed as a parameter of main reaches
// the GLSL back end as a by-value array copy of row-major matrices, which it writes as GLSL that does not
// compile.
constexpr const char* kBonePalette = "float4x4 BonePalette[40] : register(c33);";

// Statements that open the bodies of the skinned and the instanced kinds.
enum class Prologue { None, BoneBlend, InstanceMatrix };

struct Builtin {
    std::vector<const char*> globals;     // uniforms declared before OUT
    std::vector<const char*> outputs;     // members of OUT
    std::vector<const char*> parameters;  // parameters of main
    std::vector<const char*> body;        // statements between "OUT Out;" (and the prologue) and "return Out;"
    Prologue prologue = Prologue::None;
};

// The skinned position: four palette matrices named by the bone indices, blended by the weights / 255.
constexpr const char* kBoneBlend[] = {
    "float4 Weights = BoneWeight / 255;",
    "float4 SkinPos = mul(Position, BonePalette[BoneIndex.x]) * Weights.x",
    "\t+ mul(Position, BonePalette[BoneIndex.y]) * Weights.y",
    "\t+ mul(Position, BonePalette[BoneIndex.z]) * Weights.z",
    "\t+ mul(Position, BonePalette[BoneIndex.w]) * Weights.w;",
};

constexpr const char* kInstanceMatrix[] = {
    "float4x4 ModelToWorld = float4x4(float4(Row1, 0), float4(Row2, 0), float4(Row3, 0), float4(Row4, 1));",
};

const Builtin& BuiltinFor(int kind) {
    static const Builtin kBuiltins[kBuiltinVertexShaderKinds] = {
        // 1
        {{},
         {"float4 Position\t: POSITION;", "float2 TexCoord\t: TEXCOORD0;"},
         {"float4 Position : POSITION", "float2 TexCoord : TEXCOORD0"},
         {"Out.Position = Position;", "Out.TexCoord = TexCoord / 4095;"}},
        // 2
        {{},
         {"float4 Position\t: POSITION;", "float4 Colour\t: COLOR0;"},
         {"float4 Position : POSITION", "float4 Colour : COLOR0"},
         {"Out.Position = Position;", "Out.Colour = Colour;"}},
        // 3
        {{},
         {"float4 Position\t: POSITION;", "float4 Colour\t: COLOR0;"},
         {"float4 Position : POSITION", "float4 Colour : COLOR0", kProj, kModelToWorld},
         {"Out.Position = mul(mul(Position, ModelToWorld), Proj);", "Out.Colour = Colour;"}},
        // 4: depth 1 after the divide, for the sky box.
        {{},
         {"float4 Position\t: POSITION;", "float4 PosWorld\t: TEXCOORD0;"},
         {"float4 Position : POSITION", kProj, kModelToWorld},
         {"Out.PosWorld = mul(Position, ModelToWorld);", "Out.Position = mul(Out.PosWorld, Proj).xyzz;"}},
        // 5
        {{},
         {"float4 Position\t: POSITION;", "float4 Colour\t: COLOR0;", "float2 TexCoord\t: TEXCOORD0;"},
         {"float4 Position : POSITION", "float4 Colour : COLOR0", "float2 TexCoord : TEXCOORD0", kProj},
         {"Out.Position = mul(Position, Proj);", "Out.Colour = Colour;", "Out.TexCoord = TexCoord / 4095;"}},
        // 6
        {{},
         {"float4 Position\t: POSITION;", "float2 TexCoord\t: TEXCOORD0;"},
         {"float4 Pos : POSITION0", "float2 TexCoord1 : TEXCOORD0", kProj, kModelToWorld},
         {"Out.Position = mul(mul(Pos, ModelToWorld), Proj);", "Out.TexCoord = TexCoord1 / 4095;"}},
        // 7
        {{},
         {"float4 Position\t: POSITION;", "float2 TexCoord\t: TEXCOORD0;"},
         {"float4 Pos : POSITION0", "float2 TexCoord1 : TEXCOORD0", "float3 Row1 : POSITION1",
          "float3 Row2 : POSITION2", "float3 Row3 : POSITION3", "float3 Row4 : POSITION4", kProj},
         {"Out.Position = mul(mul(Pos, ModelToWorld), Proj);", "Out.TexCoord = TexCoord1 / 4095;"},
         Prologue::InstanceMatrix},
        // 8
        {{kBonePalette},
         {"float4 Position\t: POSITION;"},
         {"float4 Position : POSITION", "int4 BoneIndex : BLENDINDICES0", "float4 BoneWeight : BLENDWEIGHT0", kProj,
          kModelToWorld},
         {"Out.Position = mul(mul(SkinPos, ModelToWorld), Proj);"},
         Prologue::BoneBlend},
        // 9
        {{},
         {"float4 Position\t: POSITION;", "float ShadowMapDepth\t: TEXCOORD0;"},
         {"float4 Position : POSITION", kProj, kModelToWorld},
         {"Out.Position = mul(mul(Position, ModelToWorld), Proj);", "Out.ShadowMapDepth = Out.Position.z;"}},
        // 10
        {{},
         {"float4 Position\t: POSITION;", "float ShadowMapDepth\t: TEXCOORD0;"},
         {"float4 Position : POSITION", "float3 Row1 : POSITION1", "float3 Row2 : POSITION2", "float3 Row3 : POSITION3",
          "float3 Row4 : POSITION4", kProj},
         {"Out.Position = mul(mul(Position, ModelToWorld), Proj);", "Out.ShadowMapDepth = Out.Position.z;"},
         Prologue::InstanceMatrix},
        // 11
        {{kBonePalette},
         {"float4 Position\t: POSITION;", "float ShadowMapDepth\t: TEXCOORD0;"},
         {"float4 Position : POSITION", "int4 BoneIndex : BLENDINDICES0", "float4 BoneWeight : BLENDWEIGHT0", kProj,
          kModelToWorld},
         {"Out.Position = mul(mul(SkinPos, ModelToWorld), Proj);", "Out.ShadowMapDepth = Out.Position.z;"},
         Prologue::BoneBlend},
    };
    return kBuiltins[kind - 1];
}

}  // namespace

bool WriteBuiltinVertexShaderText(int kind, WideString& text) {
    text.Clear();
    if (kind < 1 || kind > kBuiltinVertexShaderKinds) return false;
    const Builtin& builtin = BuiltinFor(kind);
    bool ok = true;
    for (const char* global : builtin.globals) ok = ok && AppendFormattedLine(text, "%s", global);
    ok = ok && AppendFormattedLine(text, "struct OUT");
    ok = ok && AppendFormattedLine(text, "{");
    for (const char* output : builtin.outputs) ok = ok && AppendFormattedLine(text, "\t%s", output);
    ok = ok && AppendFormattedLine(text, "};");
    ok = ok && AppendFormattedLine(text, "OUT main(");
    std::size_t index = 0;
    for (const char* parameter : builtin.parameters) {
        const bool last = ++index == builtin.parameters.size();
        ok = ok && AppendFormattedLine(text, "\t%s%s", parameter, last ? ")" : ",");
    }
    ok = ok && AppendFormattedLine(text, "{");
    ok = ok && AppendFormattedLine(text, "\tOUT Out;");
    if (builtin.prologue != Prologue::None) {
        const std::span<const char* const> prologue =
            builtin.prologue == Prologue::BoneBlend ? std::span<const char* const>(kBoneBlend) : kInstanceMatrix;
        for (const char* statement : prologue) ok = ok && AppendFormattedLine(text, "\t%s", statement);
    }
    for (const char* statement : builtin.body) ok = ok && AppendFormattedLine(text, "\t%s", statement);
    ok = ok && AppendFormattedLine(text, "\treturn Out;");
    ok = ok && AppendFormattedLine(text, "}");
    if (!ok) text.Clear();
    return ok;
}

}  // namespace engine
