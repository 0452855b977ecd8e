#pragma once
// A Direct3D-9-shaped graphics device drawing with OpenGL 3.3 core. It keeps the calls, numbers and results
// the engine is written against and converts once, here:
// - Every pass renders upside down into a framebuffer object (the back buffer is one: RGBA8 + D24S8), so row 0
//   of every target is the engine's top row; Present blits the back buffer to the window with y flipped.
// - Translated vertex shaders put pixel centres on integer coordinates and map depth to 0..1 using vertex
//   register c255 = (1 / viewport width, 1 / viewport height), which the device rewrites with the viewport.
//   Pixel register c255 = (alpha test on, reference) carries the alpha test. c255 of either stage is the
//   device's: the engine's writes to it are refused.
// - Sampler state is per stage: one GL sampler object per stage 0-15, stage N = texture unit N = register sN.
// - Constant registers are two files of 256 float4 uploaded, dirty range only, to one 4 KB uniform buffer per
//   stage (binding 0 vertex, 1 pixel) before each draw.
// - Programs are linked per (vertex shader, pixel shader) pair at the pair's first draw and kept; a pair that
//   does not link is reported once and its draws are skipped.
// Every entry point is counted, and so is every GL call, so that tests can see redundant calls.
#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "sys/gpu_resource.h"
#include "sys/gpu_types.h"

namespace sys {

enum class GpuCall : int {
    SetRenderState,
    SetSamplerState,
    SetTexture,
    SetRenderTarget,
    SetDepthStencilSurface,
    SetViewport,
    SetScissorRect,
    SetStreamSource,
    SetStreamSourceFreq,
    SetIndices,
    SetVertexDeclaration,
    SetVertexShader,
    SetPixelShader,
    SetVertexShaderConstantF,
    SetPixelShaderConstantF,
    Clear,
    DrawPrimitive,
    DrawIndexedPrimitive,
    DrawPrimitiveUP,
    StretchRect,
    BeginScene,
    EndScene,
    Present,
    Reset,
    TestCooperativeLevel,
    CreateTexture,
    CreateCubeTexture,
    CreateRenderTarget,
    CreateDepthStencilSurface,
    CreateVertexBuffer,
    CreateIndexBuffer,
    CreateVertexDeclaration,
    CreateVertexShader,
    CreatePixelShader,
    Count,
};

using GpuFloat4 = std::array<float, 4>;

class GpuDevice {
public:
    ~GpuDevice();
    GpuDevice(const GpuDevice&) = delete;
    GpuDevice& operator=(const GpuDevice&) = delete;

    // Device loss is a protocol driven by the test hooks (GpuHooks().loss); GL itself loses nothing.
    GpuResult TestCooperativeLevel();
    // Rebuilds the back buffer at the parameters' size and applies the presentation interval and window
    // mode; every other object stays. Reports device lost while the hook says so.
    GpuResult Reset(const GpuPresentParameters& params);
    // Blits the whole back buffer to the window, y flipped, then swaps.
    GpuResult Present();
    GpuResult BeginScene();
    GpuResult EndScene();
    const GpuPresentParameters& PresentParameters() const { return params_; }

    // Surfaces and bindings (returned surfaces carry a reference for the caller).
    GpuSurface* GetBackBuffer();
    GpuSurface* GetDepthStencilSurface();
    GpuSurface* GetRenderTarget(std::uint32_t index);
    // Also sets the viewport to the whole target.
    GpuResult SetRenderTarget(std::uint32_t index, GpuSurface* surface);
    // A depth surface whose sample count differs from the colour target's stays unattached while they differ.
    GpuResult SetDepthStencilSurface(GpuSurface* surface);
    GpuResult SetViewport(const GpuViewport& viewport);
    const GpuViewport& GetViewport() const { return viewport_; }
    GpuResult SetScissorRect(const GpuRect& rect);

    GpuResult SetRenderState(std::uint32_t state, std::uint32_t value);
    std::uint32_t GetRenderState(std::uint32_t state) const;
    GpuResult SetSamplerState(std::uint32_t stage, std::uint32_t type, std::uint32_t value);
    std::uint32_t GetSamplerState(std::uint32_t stage, std::uint32_t type) const;
    GpuResult SetTexture(std::uint32_t stage, GpuBaseTexture* texture);
    GpuBaseTexture* GetTexture(std::uint32_t stage) const;

    // Clears the viewport, or the given rectangles within it, and within the scissor rectangle when the
    // scissor test is on. Colour follows the colour write mask; depth and stencil are cleared whatever the
    // depth and stencil masks say, and over the whole viewport also where the depth surface is larger than
    // the colour target.
    GpuResult Clear(std::uint32_t count, const GpuRect* rects, std::uint32_t flags, std::uint32_t argb, float z,
                    std::uint32_t stencil);
    // Same-size copy between surfaces (resolves a multisampled surface).
    GpuResult StretchRect(GpuSurface* source, const GpuRect* sourceRect, GpuSurface* dest, const GpuRect* destRect,
                          std::uint32_t filter);

    // Resources; null on failure. levels 0 means the whole chain.
    GpuTexture* CreateTexture(std::uint32_t width, std::uint32_t height, std::uint32_t levels, std::uint32_t usage,
                              GpuFormat format, GpuPool pool);
    GpuCubeTexture* CreateCubeTexture(std::uint32_t edge, std::uint32_t levels, std::uint32_t usage,
                                      GpuFormat format, GpuPool pool);
    GpuSurface* CreateRenderTarget(std::uint32_t width, std::uint32_t height, GpuFormat format,
                                   std::uint32_t multiSample);
    GpuSurface* CreateDepthStencilSurface(std::uint32_t width, std::uint32_t height, GpuFormat format,
                                          std::uint32_t multiSample);
    GpuVertexBuffer* CreateVertexBuffer(std::uint32_t length, std::uint32_t usage, GpuPool pool);
    GpuIndexBuffer* CreateIndexBuffer(std::uint32_t length, std::uint32_t usage, GpuFormat format, GpuPool pool);
    GpuVertexDeclaration* CreateVertexDeclaration(std::span<const GpuVertexElement> elements);
    // From SPIR-V words made by CompileHlsl (or the shader cache): translated to GLSL and compiled.
    GpuVertexShader* CreateVertexShader(std::span<const std::uint32_t> words);
    GpuPixelShader* CreatePixelShader(std::span<const std::uint32_t> words);
    // From GLSL this layer translated before (kept by the shader cache): compiled only.
    GpuVertexShader* CreateVertexShaderFromGlsl(GlslShader glsl);
    GpuPixelShader* CreatePixelShaderFromGlsl(GlslShader glsl);

    GpuResult SetVertexDeclaration(GpuVertexDeclaration* declaration);
    GpuResult SetStreamSource(std::uint32_t stream, GpuVertexBuffer* buffer, std::uint32_t offset,
                              std::uint32_t stride);
    GpuResult SetStreamSourceFreq(std::uint32_t stream, std::uint32_t setting);
    GpuResult SetIndices(GpuIndexBuffer* indices);
    GpuResult SetVertexShader(GpuVertexShader* shader);
    GpuResult SetPixelShader(GpuPixelShader* shader);
    GpuVertexShader* GetVertexShader() const { return vertexShader_; }
    GpuPixelShader* GetPixelShader() const { return pixelShader_; }
    // Registers start .. start + count - 1; a range reaching c255 is refused.
    GpuResult SetVertexShaderConstantF(std::uint32_t start, const float* data, std::uint32_t count);
    GpuResult SetPixelShaderConstantF(std::uint32_t start, const float* data, std::uint32_t count);
    const GpuFloat4& VertexRegister(std::uint32_t index) const { return registers_[0].values[index & 255]; }
    const GpuFloat4& PixelRegister(std::uint32_t index) const { return registers_[1].values[index & 255]; }

    GpuResult DrawPrimitive(GpuPrimitiveType type, std::uint32_t startVertex, std::uint32_t primitiveCount);
    // With stream 0 at kStreamIndexedData | n and stream 1 at kStreamInstanceData | 1, draws n instances.
    GpuResult DrawIndexedPrimitive(GpuPrimitiveType type, std::int32_t baseVertex, std::uint32_t minIndex,
                                   std::uint32_t vertexCount, std::uint32_t startIndex,
                                   std::uint32_t primitiveCount);
    // Draws from memory through the device's streaming buffer; stream 0 is unbound afterwards.
    GpuResult DrawPrimitiveUP(GpuPrimitiveType type, std::uint32_t primitiveCount, const void* data,
                              std::uint32_t stride);

    GpuCaps GetDeviceCaps() const;

    // Read-back of a single-sampled surface, rows top first: R, G, B, A bytes per pixel (colour surfaces),
    // floats (R32F), or depth values 0..1 (depth-stencil surfaces). False when the surface cannot be read.
    bool ReadSurfaceRgba8(GpuSurface* surface, std::vector<std::uint8_t>& out);
    bool ReadSurfaceFloats(GpuSurface* surface, std::vector<float>& out);

    // Calls per entry point since creation or the last ResetCallCounts; GL calls issued by all devices.
    std::uint64_t CallCount(GpuCall call) const { return calls_[static_cast<int>(call)]; }
    std::uint64_t TotalCallCount() const;
    void ResetCallCounts();
    static std::uint64_t GlCallCount();
    // Shader pairs that failed to link, and the last link error.
    int LinkFailures() const { return linkFailures_; }
    const std::string& LastLinkError() const { return lastLinkError_; }

private:
    friend class GpuAdapter;
    friend class GpuResource;
    friend class GpuBaseTexture;
    friend class GpuBuffer;
    friend class GpuShader;

    struct RegisterFile {
        std::array<GpuFloat4, 256> values{};
        std::uint32_t dirtyBegin = 0;
        std::uint32_t dirtyEnd = 256;
    };
    struct Stream {
        GpuVertexBuffer* buffer = nullptr;
        std::uint32_t offset = 0;
        std::uint32_t stride = 0;
        std::uint32_t frequency = 1;
    };
    struct Program {
        std::uint32_t name = 0;  // 0 when the pair failed to link
    };

    GpuDevice() = default;
    bool Initialise(const GpuPresentParameters& params);
    bool CreateBackBuffer();
    void ApplyWindowMode();
    void SetDefaultStates();
    void RestoreGlDefaults();
    void Count(GpuCall call) { ++calls_[static_cast<int>(call)]; }

    template <typename T>
    static void Rebind(T*& slot, T* value) {
        if (value != nullptr) value->AddRef();
        if (slot != nullptr) slot->Release();
        slot = value;
    }
    template <typename T>
    static void Drop(T*& slot) {
        if (slot != nullptr) slot->Release();
        slot = nullptr;
    }

    // State application (gpu_device_state.cpp).
    void ApplyRenderState(std::uint32_t state, std::uint32_t value);
    void ApplySamplerState(std::uint32_t stage, std::uint32_t type, std::uint32_t value);
    void ApplyBlend();
    void ApplyCull();
    void UpdateAlphaTestRegister();
    void WriteRegister(int file, std::uint32_t index, const GpuFloat4& value);
    bool BindFramebuffer();
    void AttachSurface(std::uint32_t target, std::uint32_t attachment, GpuSurface* surface);
    bool DepthAttachable() const;
    bool DepthLargerThanTarget() const;
    void ClearDetachedDepth(const GpuRect& rect, std::uint32_t flags, float z, std::uint32_t stencil);
    bool ReadSurface(GpuSurface* surface, std::uint32_t format, std::uint32_t type, void* out);
    void ApplyViewport(const GpuViewport& viewport);

    // Drawing (gpu_device_draw.cpp).
    GpuShader* CreateShader(std::span<const std::uint32_t> words, ShaderStage stage);
    GpuShader* MakeShader(GlslShader glsl, ShaderStage stage);
    // Framebuffer, program, registers and attributes for a draw; false when the draw cannot happen. With an
    // immediate stride, stream 0 is the streaming buffer at offset 0. Only an instanced draw steps the
    // stream-1 attributes per instance; every other draw reads them per vertex.
    bool PrepareDraw(std::uint32_t immediateStride, bool instanced = false);
    bool UseProgram();
    void UploadRegisters();
    void SpecifyAttributes(std::uint32_t immediateStride, bool instanced);
    void ForgetShader(GpuShader* shader);
    // Copies vertices into the streaming buffer; the byte offset they start at, a multiple of the stride.
    std::uint32_t StreamData(const void* data, std::uint32_t bytes, std::uint32_t stride);

    // Texture and buffer helpers for the resources (gpu_resources.cpp).
    void BindTextureForUpload(std::uint32_t target, std::uint32_t name);
    void RestoreTextureUnitZero();
    void Track(GpuResource* resource) { resources_.insert(resource); }
    void Untrack(GpuResource* resource) { resources_.erase(resource); }

    GpuPresentParameters params_;
    void* window_ = nullptr;
    bool inScene_ = false;

    GpuSurface* backBuffer_ = nullptr;
    GpuSurface* backDepth_ = nullptr;
    GpuSurface* renderTarget_ = nullptr;
    GpuSurface* depthStencil_ = nullptr;
    std::array<GpuBaseTexture*, kSamplerStages> textures_{};
    std::array<Stream, kVertexStreams> streams_{};
    GpuIndexBuffer* indices_ = nullptr;
    GpuVertexDeclaration* declaration_ = nullptr;
    GpuVertexShader* vertexShader_ = nullptr;
    GpuPixelShader* pixelShader_ = nullptr;

    std::array<std::uint32_t, kRenderStateCount> renderStates_{};
    std::array<std::array<std::uint32_t, kSamplerStateCount>, kSamplerStages> samplerStates_{};
    GpuViewport viewport_;
    GpuRect scissor_;
    RegisterFile registers_[2];

    // GL names.
    std::uint32_t drawFramebuffer_ = 0;
    std::uint32_t copyFramebuffers_[2] = {0, 0};
    std::uint32_t vertexArray_ = 0;
    std::uint32_t registerBuffers_[2] = {0, 0};
    std::array<std::uint32_t, kSamplerStages> samplers_{};
    std::uint32_t streamBuffer_ = 0;
    std::uint32_t streamBufferSize_ = 0;
    std::uint32_t streamPosition_ = 0;

    bool framebufferDirty_ = true;
    bool framebufferComplete_ = false;
    bool attributesDirty_ = true;
    bool attributesInstanced_ = false;
    std::uint32_t enabledAttributes_ = 0;
    std::uint32_t currentProgram_ = 0;
    std::map<std::pair<const GpuShader*, const GpuShader*>, Program> programs_;
    int linkFailures_ = 0;
    std::string lastLinkError_;

    std::array<std::uint64_t, static_cast<int>(GpuCall::Count)> calls_{};
    std::unordered_set<GpuResource*> resources_;
};

}  // namespace sys
