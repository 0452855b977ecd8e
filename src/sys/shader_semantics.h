#pragma once
// Shader semantics ("TEXCOORD6", "BLENDINDICES0") and the fixed GL locations the layer gives them.
#include <string>
#include <string_view>

namespace sys {

// Upper case, with index 0 appended when the semantic has none ("texcoord" -> "TEXCOORD0").
std::string NormaliseSemantic(std::string_view semantic);

// Vertex attribute location of a normalised vertex-input semantic, or -1 when the layer has none for it.
int VertexAttributeLocation(std::string_view semantic);

// Slot of a normalised semantic passed from the vertex to the pixel stage (COLOR0-1, TEXCOORD0-9, FOG0), or -1.
int VaryingSlot(std::string_view semantic);

// Draw buffer of a normalised pixel-output semantic COLOR0-COLOR3, or -1.
int ColourOutputIndex(std::string_view semantic);

}  // namespace sys
