#pragma once
// The engine's drawing device as the renderer sees it: the fixed state vocabulary, unbinding, frames and the
// dynamic-buffer draws. GraphicsDevice is the one implementation.
#include <cstdint>
#include <span>

#include "engine/core/matrix.h"
#include "sys/gpu_types.h"

namespace engine {

class DynamicVertexBuffer;

// A vertex of format 2: position and colour (the line lists of DrawVertexColoured).
struct ColouredVertex {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    std::uint32_t colour = 0;  // ARGB
};

// Blend modes of SetBlendMode.
enum BlendMode : int {
    kBlendOff = 0,
    kBlendAdditiveAlpha = 1,    // source alpha, one
    kBlendMultiply = 2,         // zero, inverse source colour
    kBlendAlpha = 3,            // source alpha, inverse source alpha
    kBlendPremultiplied = 4,    // one, inverse source alpha
    kBlendAdditive = 5,         // one, one
};

class RenderDevice {
public:
    virtual ~RenderDevice() = default;

    // Resets the viewport and clears the back buffer; with present, also ends the scene, presents it and
    // begins the next.
    virtual void Flip(bool present) = 0;
    // Unbinds textures and the index buffer; with full also forgets the shaders and resets the state cache.
    virtual void UnbindAll(bool full) = 0;
    virtual void UnbindIndexBuffer() = 0;
    virtual void UnbindAllTextures() = 0;
    virtual bool HasMoreThan64ShaderSlots() const = 0;
    virtual bool HasMoreThan256ShaderSlots() const = 0;
    virtual int GetShaderModel() const = 0;
    // 0 off; 1 on with the reference; 2 on with reference 1 whatever the argument.
    virtual void SetAlphaTest(int mode, std::uint32_t reference) = 0;
    virtual void SetBlendMode(int mode) = 0;
    // Modes 1 to 4: wrap, mirror, clamp, border; others change nothing.
    virtual void SetTextureAddressMode(std::uint32_t stage, int mode) = 0;
    // Kinds 0 point, 1 linear, 2 linear with linear mips, 3 point with linear mips; the mip kinds also set the
    // device's LOD bias and the most detailed mip level allowed.
    virtual void SetTextureFilter(std::uint32_t stage, int kind, std::uint32_t maxMipLevel) = 0;
    virtual void SetColourWriteMask(std::uint32_t mask) = 0;
    // From a material's flag word and blend mode.
    virtual void ApplyMaterialDepthState(std::uint32_t flags, int blendMode) = 0;
    virtual void SetDepthMode(bool test, bool write, bool reversed) = 0;
    // Draws from a dynamic buffer (the engine's shared one when null) in a vertex format, whose declaration
    // is selected first.
    virtual sys::GpuResult DrawDynamic(sys::GpuPrimitiveType type, std::uint32_t startVertex,
                                       std::uint32_t primitiveCount, DynamicVertexBuffer* buffer,
                                       int vertexFormat) = 0;
    // A line list of format-2 vertices with the vertex-colour shaders; nothing for a count of 0.
    virtual void DrawVertexColoured(const ColouredVertex* vertices, int count) = 0;
    virtual void RefreshBackBufferSurfaces(bool release) = 0;
    // Bone matrices into the vertex registers from c33; through the remap bytes when given. At most 40 bones.
    virtual void SetBonePalette(std::span<const Matrix44> palette, std::span<const std::uint8_t> remap) = 0;
    virtual bool IsShaderModel3() const = 0;
    virtual void SetCullMode(std::uint32_t mode) = 0;
    virtual void UnbindTexture(std::uint32_t stage) = 0;
};

}  // namespace engine
