#pragma once
// The texts of the eleven built-in vertex shaders. Each declares a structure OUT and a main that takes the
// vertex inputs and its uniforms, with their registers, as parameters (the bone palette of kinds 8 and 11 is
// declared at global scope):
//
//  1  Position, TexCoord                  -> Position as given; TexCoord / 4095
//  2  Position, Colour                    -> both as given
//  3  Position, Colour; Proj, ModelToWorld -> Position x ModelToWorld x Proj; Colour
//  4  Position; Proj, ModelToWorld         -> PosWorld (TEXCOORD0); Position = PosWorld x Proj with w = z
//  5  Position, Colour, TexCoord; Proj     -> Position x Proj; TexCoord / 4095; Colour
//  6  Pos, TexCoord1; Proj, ModelToWorld   -> Pos x ModelToWorld x Proj; TexCoord = TexCoord1 / 4095
//  7  Pos, TexCoord1, Row1-Row4; Proj      -> kind 6 with ModelToWorld built from the instance rows
//  8  Position, BoneIndex, BoneWeight; BonePalette, Proj, ModelToWorld -> four-bone blend, x ModelToWorld x Proj
//  9  Position; Proj, ModelToWorld         -> Position x ModelToWorld x Proj; ShadowMapDepth (TEXCOORD0) = its z
// 10  kind 9 instanced; 11 kind 9 skinned.
//
// Registers: Proj c0, ModelToWorld c8, BonePalette[40] c33.
#include "engine/core/wide_string.h"

namespace engine {

inline constexpr int kBuiltinVertexShaderKinds = 11;

// Replaces `text` with the text of built-in vertex shader `kind` (1-11). False for any other kind, and when
// memory runs out.
bool WriteBuiltinVertexShaderText(int kind, WideString& text);

}  // namespace engine
