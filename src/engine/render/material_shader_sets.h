#pragma once
// The nine material shader sets. Each writes its own pixel shader around the shared lighting and binds its
// own constants and textures:
//
//  0 JUSTCOL  PlainColourShaderSet   MatColour c0
//  1 TEXTURE  TextureShaderSet       Tex0 s0 x Col0 c0; alpha-clipped shadow shaders
//  2 COLOURD  ColourDecalShaderSet   Tex0 s0 faded over Col0 c0 by the texture, colour and vertex alphas
//  3 DRUVLAND TerrainShaderSet       Tex1 s0 / Tex2 s1 by Tex1's alpha, x Tex4 s3, faded over Col0 by vertex alpha
//  4 DRUV2LND Terrain2ShaderSet      the same ground, lit, then fog from Tex5 s4 scrolled by Params1.x c1
//  5 DRUVWATA WaterShaderSet         a wave normal from Tex0 s0, hex tiles Tex1 s3, Params1 c1
//  6 DRUV2WAT Water2ShaderSet        the wave normal, tiles Tex3 s3, fog Tex5 s4 by Tex2 s2's alpha, Params2 c2
//  7 BLOX     BlockShaderSet         fixed shaders: block texture cells picked by UV2, shaded by vertex red
//  8 FUR      FurShaderSet           shells pushed out along the normal; fur texture cut off by shell height
#include "engine/render/shader_set.h"

namespace engine {

// The sets whose MainPix is written into the generic pixel shader (and bind colour slot 0 to c0 and their
// listed stages).
class GenericShaderSet : public ShaderSet {
public:
    using ShaderSet::ShaderSet;
    int BindConstants(const MaterialDef& material, const MaterialView* view, const Matrix44* matrix, bool skinned,
                      bool instanced) override;
    std::unique_ptr<VertexShader> BuildVertexShader(bool skinned, bool instanced, std::uint32_t lightFlags,
                                                    bool bump) override;
    std::unique_ptr<PixelShader> BuildPixelShader(std::uint32_t lightFlags, int lightingModel, bool bump) override;

protected:
    // The set's samplers and constants, and the statements computing float4 MainPix.
    virtual const char* Declarations() const = 0;
    virtual const char* MainPix() const = 0;
    // The stages BindConstants binds, ending with -1.
    virtual const int* Stages() const = 0;
};

class PlainColourShaderSet final : public GenericShaderSet {
public:
    explicit PlainColourShaderSet(const ShaderSetServices& services) : GenericShaderSet(services, 0) {}

protected:
    const char* Declarations() const override;
    const char* MainPix() const override;
    const int* Stages() const override;
};

class TextureShaderSet final : public GenericShaderSet {
public:
    explicit TextureShaderSet(const ShaderSetServices& services) : GenericShaderSet(services, 1) {}
    // Colour slot 0 and stage 0, as for a draw.
    int BindShadowPass(const MaterialDef& material, const MaterialView* view, const Matrix44* matrix, bool skinned,
                       bool instanced) override;
    // Colour slot 0's alpha below 0.999, or a stage-0 texture with alpha.
    bool NeedsAlphaShadow(const MaterialDef& material) const override;
    std::unique_ptr<VertexShader> BuildShadowVertexShader(bool skinned, bool instanced) override;
    std::unique_ptr<PixelShader> BuildShadowPixelShader() override;

protected:
    const char* Declarations() const override;
    const char* MainPix() const override;
    const int* Stages() const override;
};

class ColourDecalShaderSet final : public GenericShaderSet {
public:
    explicit ColourDecalShaderSet(const ShaderSetServices& services) : GenericShaderSet(services, 2) {}

protected:
    const char* Declarations() const override;
    const char* MainPix() const override;
    const int* Stages() const override;
};

class TerrainShaderSet final : public GenericShaderSet {
public:
    explicit TerrainShaderSet(const ShaderSetServices& services) : GenericShaderSet(services, 3) {}

protected:
    const char* Declarations() const override;
    const char* MainPix() const override;
    const int* Stages() const override;
};

class Terrain2ShaderSet final : public ShaderSet {
public:
    explicit Terrain2ShaderSet(const ShaderSetServices& services) : ShaderSet(services, 4) {}
    int BindConstants(const MaterialDef& material, const MaterialView* view, const Matrix44* matrix, bool skinned,
                      bool instanced) override;
    std::unique_ptr<VertexShader> BuildVertexShader(bool skinned, bool instanced, std::uint32_t lightFlags,
                                                    bool bump) override;
    std::unique_ptr<PixelShader> BuildPixelShader(std::uint32_t lightFlags, int lightingModel, bool bump) override;
};

// Both water sets: vertex shaders always carry the tangent frame; the pixel normal comes from the waves.
class WaterShaderSet : public ShaderSet {
public:
    explicit WaterShaderSet(const ShaderSetServices& services, int index = 5) : ShaderSet(services, index) {}
    int BindConstants(const MaterialDef& material, const MaterialView* view, const Matrix44* matrix, bool skinned,
                      bool instanced) override;
    std::unique_ptr<VertexShader> BuildVertexShader(bool skinned, bool instanced, std::uint32_t lightFlags,
                                                    bool bump) override;
    std::unique_ptr<PixelShader> BuildPixelShader(std::uint32_t lightFlags, int lightingModel, bool bump) override;
};

class Water2ShaderSet final : public WaterShaderSet {
public:
    explicit Water2ShaderSet(const ShaderSetServices& services) : WaterShaderSet(services, 6) {}
    int BindConstants(const MaterialDef& material, const MaterialView* view, const Matrix44* matrix, bool skinned,
                      bool instanced) override;
    std::unique_ptr<PixelShader> BuildPixelShader(std::uint32_t lightFlags, int lightingModel, bool bump) override;
};

class BlockShaderSet final : public ShaderSet {
public:
    explicit BlockShaderSet(const ShaderSetServices& services) : ShaderSet(services, 7) {}
    // Colour slot 0; stage 0 with point filtering and linear mips, wrapped; no texture leaves stage 0 empty.
    int BindConstants(const MaterialDef& material, const MaterialView* view, const Matrix44* matrix, bool skinned,
                      bool instanced) override;
    std::unique_ptr<VertexShader> BuildVertexShader(bool skinned, bool instanced, std::uint32_t lightFlags,
                                                    bool bump) override;
    std::unique_ptr<PixelShader> BuildPixelShader(std::uint32_t lightFlags, int lightingModel, bool bump) override;
    bool SupportsInstancing() const override { return false; }
};

class FurShaderSet final : public ShaderSet {
public:
    explicit FurShaderSet(const ShaderSetServices& services) : ShaderSet(services, 8) {}
    // WorldToModel c12 = the matrix; the fur pass itself sets FurParams, the shell registers and the texture.
    int BindConstants(const MaterialDef& material, const MaterialView* view, const Matrix44* matrix, bool skinned,
                      bool instanced) override;
    std::unique_ptr<VertexShader> BuildVertexShader(bool skinned, bool instanced, std::uint32_t lightFlags,
                                                    bool bump) override;
    std::unique_ptr<PixelShader> BuildPixelShader(std::uint32_t lightFlags, int lightingModel, bool bump) override;
    bool SupportsInstancing() const override { return false; }
};

}  // namespace engine
