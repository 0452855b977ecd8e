#pragma once
// A shader set is one kind of material: the eight-byte code by which material files name it, the description
// of its texture and colour slots, and the caches of every vertex and pixel shader variant it has generated.
// It writes a variant's text on first use, keeps the compiled shader, and binds a material's constants and
// textures for a draw.
//
// Cache entries: vertex shaders in three tables (plain, skinned, instanced) at LightFlags x 2 + bump; pixel
// shaders at LightFlags x 10 + lighting model x 2 + bump; shadow vertex shaders at skinned x 2 + instanced
// and one shadow pixel shader. An entry holds a shader from its first successful build until the set goes; a
// build that fails leaves it empty, so the next draw of the variant tries again.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/wide_string.h"
#include "engine/render/shader_device.h"

namespace engine {

class FrameTimerBase;
class MaterialDef;
class MaterialStageTextures;
class MaterialView;
class RenderDevice;
class ShaderConstantCache;
class ShaderTextBuffer;
struct Matrix44;

// What the shader sets draw with.
struct ShaderSetServices {
    RenderDevice* states = nullptr;             // filters, addressing, depth, blend, alpha test, colour mask
    MaterialStageTextures* textures = nullptr;  // stage textures by texture-table handle
    ShaderConstantCache* vertexShaders = nullptr;
    ShaderTextBuffer* pixelShaders = nullptr;   // also holds the shared shader text
    const FrameTimerBase* timer = nullptr;      // the water and fog times; 0 without one
};

// Texture-slot kinds: 0 none, 1 texture; 2 a texture whose placeholder is the checker cube map.
constexpr int kSlotNone = 0;
constexpr int kSlotTexture = 1;
constexpr int kSlotCubeMap = 2;
// Colour-slot kinds: 0 none, 2 colour, 6 four named parameters.
constexpr int kSlotColour = 2;
constexpr int kSlotParameters = 6;

constexpr int kSetTextureSlots = 6;
constexpr int kSetColourSlots = 4;

struct TextureSlotInfo {
    int kind = kSlotNone;
    WideString label;
};

struct ParamInfo {
    WideString label;
    int kind = 0;
    float min = 0.0f;
    float max = 0.0f;
    float defaultValue = 0.0f;
};

struct ColourSlotInfo {
    int kind = kSlotNone;
    ParamInfo params[4];
    WideString label;
};

struct ShaderSetInfo {
    WideString name;
    WideString description;
    TextureSlotInfo textures[kSetTextureSlots];
    ColourSlotInfo colours[kSetColourSlots];
};

// The slot description of set index 0-8 (empty outside).
ShaderSetInfo MakeShaderSetInfo(int index);

class ShaderSet {
public:
    static constexpr int kLightFlagsCount = 1024;
    static constexpr int kVertexEntries = kLightFlagsCount * 2;
    static constexpr int kPixelEntries = kLightFlagsCount * 10;
    static constexpr int kLightingModels = 5;

    ShaderSet(const ShaderSetServices& services, int index);
    // Releases every cached shader (unbinding any that is bound).
    virtual ~ShaderSet();
    ShaderSet(const ShaderSet&) = delete;
    ShaderSet& operator=(const ShaderSet&) = delete;

    // The material's pixel constants and textures; 1.
    virtual int BindConstants(const MaterialDef& material, const MaterialView* view, const Matrix44* matrix,
                              bool skinned, bool instanced) = 0;
    // A new variant or null; instanced is false for skinned shaders.
    virtual std::unique_ptr<VertexShader> BuildVertexShader(bool skinned, bool instanced, std::uint32_t lightFlags,
                                                            bool bump) = 0;
    virtual std::unique_ptr<PixelShader> BuildPixelShader(std::uint32_t lightFlags, int lightingModel,
                                                          bool bump) = 0;
    virtual bool SupportsInstancing() const { return true; }
    virtual int BindShadowPass(const MaterialDef& material, const MaterialView* view, const Matrix44* matrix,
                               bool skinned, bool instanced);
    // Whether the material's shadow needs the alpha of its texture and colour.
    virtual bool NeedsAlphaShadow(const MaterialDef& material) const;
    virtual std::unique_ptr<VertexShader> BuildShadowVertexShader(bool skinned, bool instanced);
    virtual std::unique_ptr<PixelShader> BuildShadowPixelShader();

    // The variant's shaders, built when missing, then the constants. 0 when a shader does not build (nothing
    // after it is bound). lightFlags is taken in 0-1023 and lightingModel in 0-4 (others as 0).
    int Bind(const MaterialDef& material, const MaterialView* view, const Matrix44* matrix, bool skinned,
             bool instanced, std::uint32_t lightFlags, int lightingModel, bool bump);
    // The material's texture of `stage` (0-5) with its filtering and addressing; a missing texture takes the
    // placeholder of the slot's kind.
    void BindTexture(int stage, const MaterialDef& material);
    // States and shaders for drawing the material into a shadow map; 0 when a shader does not build.
    int BindShadow(const MaterialDef& material, const MaterialView* view, const Matrix44* matrix, bool skinned,
                   bool instanced);

    int Index() const { return index_; }
    // Eight bytes, zero-padded.
    const std::uint8_t* Code() const { return code_; }
    const ShaderSetInfo& Info() const { return info_; }

    // Cache inspection.
    VertexShader* CachedVertexShader(bool skinned, bool instanced, std::uint32_t lightFlags, bool bump) const;
    PixelShader* CachedPixelShader(std::uint32_t lightFlags, int lightingModel, bool bump) const;
    VertexShader* CachedShadowVertexShader(bool skinned, bool instanced) const;
    PixelShader* CachedShadowPixelShader() const { return shadowPixel_.get(); }

protected:
    const ShaderSetServices& Services() const { return services_; }
    ShaderSetInfo& MutableInfo() { return info_; }
    // Compiles the shared shader text.
    std::unique_ptr<VertexShader> CompileVertexText();
    std::unique_ptr<PixelShader> CompilePixelText();
    std::string& Text();
    // The frame timer's milliseconds (0 without a timer).
    double Milliseconds() const;
    // Colour slot `slot` of the material into pixel register `reg`.
    void SetPixelColourSlot(const MaterialDef& material, int slot, int reg);

private:
    ShaderSetServices services_;
    int index_;
    std::uint8_t code_[8] = {};
    ShaderSetInfo info_;
    std::vector<std::unique_ptr<VertexShader>> vertex_[3];
    std::vector<std::unique_ptr<PixelShader>> pixel_;
    std::unique_ptr<VertexShader> shadowVertex_[4];
    std::unique_ptr<PixelShader> shadowPixel_;
};

}  // namespace engine
