#pragma once
// The engine's one graphics device. It chooses the display mode and depth format, creates the layer's device
// on the engine window, recovers it after a loss, and keeps a copy of every render state, sampler state,
// texture binding, target binding and stream binding so that a state that already has the asked value is
// never sent again. It offers the fixed state vocabulary that materials, targets and 2D drawing use.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "engine/core/matrix.h"
#include "engine/render/bone_matrix_writer.h"
#include "engine/render/display_mode_list.h"
#include "engine/render/graphics_device_host.h"
#include "engine/render/render_device.h"
#include "engine/render/shadow_split.h"
#include "sys/gpu_types.h"

namespace sys {
class GpuAdapter;
class GpuBaseTexture;
class GpuDevice;
class GpuSurface;
class GpuTexture;
class GpuVertexBuffer;
}  // namespace sys

namespace engine {

class MaterialBinder;
class MaterialDef;
class MaterialView;
class ShaderConstantCache;
class ShaderTextBuffer;
class VertexDeclSet;
struct MeshBatch;

// The per-frame statistics counters the batch draws add to (indices into the engine's counter words).
enum FrameCounter : int {
    kFrameVertices = 0,
    kFrameTriangles = 1,
    kFrameBatches = 2,
    kFrameObjects = 3,
};
constexpr int kFrameCounterWords = 8;

// A display mode to apply; refresh 0 means windowed.
struct DisplayMode {
    std::uint32_t format = 0;
    int width = 0;
    int height = 0;
    int refresh = 0;
};

enum DisplayModeResult : int {
    kDisplayModeOk = 0,
    kDisplayModeNoDevice = 1,       // the device could not be created
    kDisplayModeNoAdapterMode = 5,  // the adapter's display mode could not be read
    kDisplayModeNoDepthFormat = 6,  // no depth format passes the checks
};

class GraphicsDevice final : public RenderDevice {
public:
    // A cache word that matches no value: the next set always reaches the device.
    static constexpr std::uint32_t kUnknown = 0xBEEF0B0Eu;
    static constexpr int kRenderStates = 512;
    static constexpr int kSamplerStates = 32;
    static constexpr int kStages = 16;
    static constexpr int kMaxBones = 40;
    static constexpr int kFirstBoneRegister = 33;

    // Creates the device on the host's window (windowed, or full screen at the desktop's nearest mode), opens a
    // scene and presents a first, black frame. Without a device afterwards HasDevice() is false.
    GraphicsDevice(GraphicsDeviceHost& host, const GraphicsDeviceSettings& settings);
    ~GraphicsDevice() override;
    GraphicsDevice(const GraphicsDevice&) = delete;
    GraphicsDevice& operator=(const GraphicsDevice&) = delete;

    bool HasDevice() const { return device_ != nullptr; }
    sys::GpuDevice* Device() const { return device_.get(); }
    sys::GpuAdapter* Adapter() const { return adapter_.get(); }
    const sys::GpuPresentParameters& PresentParameters() const { return params_; }
    std::uint32_t DisplayFormat() const { return displayFormat_; }
    const char* VertexShaderProfile() const { return vertexProfile_; }
    const char* PixelShaderProfile() const { return pixelProfile_; }

    // Display modes.
    int SetDisplayMode(const DisplayMode& mode);
    int ChooseDepthFormat();
    bool EnumDisplayModes(DisplayModeList& list);

    // The loss protocol. RecoverLostDevice returns true when the device is usable again.
    bool RecoverLostDevice(bool enterLostOnly);
    void RestoreAfterReset();
    bool IsLost() const { return lost_; }
    // Seconds of frame time until the next recovery attempt.
    float RetryCountdown() const { return static_cast<float>(retryMilliseconds_) * 0.001f; }
    // Hooks of other services, run with true before a reset (release what the reset destroys) and with false
    // after it (restore): render targets, default-pool texture copies. Returns an id for RemoveResetHook.
    int AddResetHook(std::function<void(bool release)> hook);
    void RemoveResetHook(int id);
    // Run by ResetStateCache: the shader caches forget their registers and current shaders.
    void SetStateCacheResetHook(std::function<void()> hook) { stateCacheResetHook_ = std::move(hook); }
    // Receives SetBonePalette's matrices; null writes them straight to the device.
    void SetBoneMatrixWriter(BoneMatrixWriter* writer) { boneWriter_ = writer; }
    // The shader managers whose built-in shaders draw the coloured lines; without them no line is drawn.
    void AttachShaderManagers(ShaderConstantCache* vertexShaders, ShaderTextBuffer* pixelShaders) {
        vertexShaders_ = vertexShaders;
        pixelShaders_ = pixelShaders;
    }
    ShaderConstantCache* AttachedVertexShaders() const { return vertexShaders_; }
    ShaderTextBuffer* AttachedPixelShaders() const { return pixelShaders_; }
    // The engine's declaration set, whose current format the state-cache reset forgets.
    void AttachVertexDeclSet(VertexDeclSet* declarations) { vertexDeclarations_ = declarations; }
    // Binds each drawn batch's material; without one no batch is drawn.
    void AttachMaterialBinder(MaterialBinder* binder) { materialBinder_ = binder; }
    MaterialBinder* AttachedMaterialBinder() const { return materialBinder_; }
    // The kFrameCounterWords counter words the batch draws add to (the engine's, which its frame step
    // clears); null goes back to the device's own words.
    void AttachFrameCounters(std::uint32_t* counters) {
        frameCounters_ = counters != nullptr ? counters : ownFrameCounters_.data();
    }
    std::uint32_t FrameCount(FrameCounter counter) const { return frameCounters_[counter]; }
    // Zeroes the four counters the batch draws add to.
    void ResetFrameCounters();

    // Scenes and presentation (the engine's present step).
    void BeginScene();
    void EndScene();
    bool InScene() const { return inScene_; }
    sys::GpuResult Present();
    // The end of the engine's present step: ends the scene, presents, recovers when the device reports loss
    // (lost: the lost state is entered; not reset: reset at once) and begins the next scene. False when the
    // device is not usable afterwards.
    bool PresentFrame();
    // A windowed back buffer follows a window resized from outside: a windowed mode at the new drawable size,
    // without the size message that would move and resize the window again. True when the mode changed.
    bool FollowWindowSize(int width, int height);

    // The declaration of a vertex format from the attached declaration set; false without one.
    bool SelectVertexFormat(int format);
    // Draws vertices of a format from memory, its declaration selected. The layer leaves stream 0 unbound
    // afterwards, so the cached stream-0 buffer is forgotten.
    sys::GpuResult DrawFromMemory(sys::GpuPrimitiveType type, std::uint32_t primitiveCount, const void* vertices,
                                  int vertexFormat);

    // The state cache and the cached raw setters.
    void ResetStateCache();
    void SetRenderStateCached(std::uint32_t state, std::uint32_t value);
    void SetSamplerStateCached(std::uint32_t stage, std::uint32_t state, std::uint32_t value);
    std::uint32_t CachedRenderState(std::uint32_t state) const;
    // Ignored for null; binds into the primary cache entry and clears the alternate.
    void SetRawTexture(std::uint32_t stage, sys::GpuBaseTexture* texture);
    // The texture of a texture-table handle: a cube texture into the stage's alternate cache entry, a plain
    // one into the primary entry, clearing the other. Nothing for a handle without a GPU texture or when the
    // entry already holds it.
    void SetTexture(std::uint32_t stage, int handle);
    void SetRenderTargetSurface(sys::GpuSurface* surface);
    void SetDepthSurfaceCached(sys::GpuSurface* surface);
    // Clears a surface outside the current target: colour, depth 1.0, stencil 0, then the old target and
    // viewport return. A surface outside the default pool is zero-filled instead.
    void ClearSurface(sys::GpuSurface* surface, std::uint32_t colour);

    // Shared surfaces created on first use; null when creation fails.
    sys::GpuSurface* GetShadowDepthSurface();
    // Half the back buffer's size (rounded down), A8R8G8B8 render-target textures; index 0 or 1.
    sys::GpuTexture* GetHalfScreenTexture(int index);
    sys::GpuSurface* BackBufferSurface() const { return backBuffer_; }
    sys::GpuSurface* BackBufferDepthSurface() const { return backDepth_; }

    // Mesh batches (graphics_device_batches.cpp). A batch whose material does not bind (BindMaterial gives 0,
    // or no binder is attached) is neither drawn nor counted.
    //
    // The batch on stream 0 with its format's declaration and its indices: the bone palette first when bones
    // are given (through the batch's bone set when it has one); one draw, one batch and one object counted
    // when it has a triangle. Its vertices and triangles are always counted.
    void DrawIndexedBatch(std::span<const Matrix44> bones, const MeshBatch& batch);
    // One instanced draw of a format-4 batch, one instance per world matrix: the first three columns of each
    // matrix's rows go to the engine's dynamic buffer in format 7 and are read on stream 1 from the first
    // locked row. Nothing when the rows cannot be locked. Counts one batch, an object per instance and the
    // vertices and triangles of every instance. Both stream frequencies are 1 again afterwards.
    void DrawInstancedBatch(const MeshBatch& batch, std::span<const Matrix44> worlds);
    // A batch with its material. Shell 0 is the base pass (the fur-shell register c31 cleared first); shell
    // s > 0 is fur shell s of the material's shell count (nothing when that is 0). view and worldToModel are
    // handed to the material binder; bones make a skinned draw.
    void DrawMeshBatch(const MeshBatch& batch, MaterialDef& material, std::span<const Matrix44> bones, int shell,
                       const MaterialView* view, const Matrix44* worldToModel);
    // The base pass of a batch with its material (DrawMeshBatch with shell 0).
    void DrawMeshBatchWithMaterial(const MeshBatch& batch, MaterialDef& material, std::span<const Matrix44> bones,
                                   const MaterialView* view, const Matrix44* worldToModel);
    // A run of instances of one batch with its material, bound for instanced drawing.
    void DrawMeshBatchInstanced(const MeshBatch& batch, MaterialDef& material, std::span<const Matrix44> worlds,
                                const MaterialView* view);
    // The texture of fur shells whose material has none: 32 x 32, opaque, its columns stepping from blue to
    // red. Made on first use (again when its texture was freed); 0 when it cannot be made.
    int FurDefaultTexture();

    // Clamped to [-5, 5]; written as the mip-map LOD bias by the mipmapped filter kinds.
    void SetMipLodBias(float bias);
    float MipLodBias() const { return mipLodBias_; }
    Matrix44& ViewMatrix() { return viewMatrix_; }
    // The four parallel splits of the directional light's shadow map, filled by the shadow pass.
    ShadowSplit (&ShadowSplits())[kShadowSplitCount] { return shadowSplits_; }

    // RenderDevice.
    void Flip(bool present) override;
    void UnbindAll(bool full) override;
    void UnbindIndexBuffer() override;
    void UnbindAllTextures() override;
    bool HasMoreThan64ShaderSlots() const override;
    bool HasMoreThan256ShaderSlots() const override;
    int GetShaderModel() const override { return shaderModel_; }
    void SetAlphaTest(int mode, std::uint32_t reference) override;
    void SetBlendMode(int mode) override;
    void SetTextureAddressMode(std::uint32_t stage, int mode) override;
    void SetTextureFilter(std::uint32_t stage, int kind, std::uint32_t maxMipLevel) override;
    void SetColourWriteMask(std::uint32_t mask) override;
    void ApplyMaterialDepthState(std::uint32_t flags, int blendMode) override;
    void SetDepthMode(bool test, bool write, bool reversed) override;
    sys::GpuResult DrawDynamic(sys::GpuPrimitiveType type, std::uint32_t startVertex, std::uint32_t primitiveCount,
                               DynamicVertexBuffer* buffer, int vertexFormat) override;
    void DrawVertexColoured(const ColouredVertex* vertices, int count) override;
    void RefreshBackBufferSurfaces(bool release) override;
    void SetBonePalette(std::span<const Matrix44> palette, std::span<const std::uint8_t> remap) override;
    bool IsShaderModel3() const override { return shaderModel3_; }
    void SetCullMode(std::uint32_t mode) override;
    void UnbindTexture(std::uint32_t stage) override;

private:
    void ReadCaps();
    bool ChooseStartMode(DisplayMode& mode);
    void ReleaseForReset();
    void EnterLost();
    bool BindVertexColourShaders();
    // The material's cull mode, colour mask, blend, depth and alpha-test states.
    void ApplyMaterialStates(const MaterialDef& material);
    // The states of a fur shell: the material's cull mode, blend 3, depth test without write, alpha test 2,
    // colour mask 7.
    void ApplyFurShellStates(const MaterialDef& material);
    // Fur-shell register c31 to zero, through the constant cache when there is one.
    void ClearShellRegister();
    bool BindMaterial(MaterialDef& material, const MaterialView* view, const Matrix44* worldToModel, bool skinned,
                      bool instanced);
    void DrawFurShell(const MeshBatch& batch, MaterialDef& material, std::span<const Matrix44> bones, int shell,
                      const MaterialView* view, const Matrix44* worldToModel);
    // Stream 0 through the cache; false when the buffer could not be bound.
    bool BindStreamZero(sys::GpuVertexBuffer* buffer, std::int32_t stride);
    void SetVertexVector(int reg, const Vec4& value);
    void SetPixelVector(int reg, const Vec4& value);
    void CountBatch(std::uint32_t batches, std::uint32_t objects, std::uint32_t vertices, std::uint32_t triangles);
    // The batch's index buffer and one triangle-list draw of it (none when it holds no whole triangle), counted
    // as `instances` copies; a failed draw forgets the cached stream so that the next bind sets it again.
    void DrawBatchTriangles(const MeshBatch& batch, std::uint32_t instances);
    void SendSizeMessage(int width, int height);

    GraphicsDeviceHost& host_;
    GraphicsDeviceSettings settings_;
    float mipLodBias_ = -1.0f;
    Matrix44 viewMatrix_;
    ShadowSplit shadowSplits_[kShadowSplitCount];
    std::unique_ptr<sys::GpuAdapter> adapter_;
    std::unique_ptr<sys::GpuDevice> device_;
    sys::GpuPresentParameters params_;
    std::uint32_t displayFormat_ = 0;
    int shaderModel_ = 2;
    int pixelShaderSlots_ = 0;
    bool shaderModel3_ = false;
    const char* vertexProfile_ = "";
    const char* pixelProfile_ = "";

    sys::GpuSurface* backDepth_ = nullptr;
    sys::GpuSurface* backBuffer_ = nullptr;
    std::array<sys::GpuTexture*, 2> halfScreen_{};
    // Per stage: the plain texture bound and the cube texture bound (binding one clears the other).
    std::array<sys::GpuBaseTexture*, kStages> primaryTextures_{};
    std::array<sys::GpuBaseTexture*, kStages> alternateTextures_{};
    // Per stage: known to be empty, so an unbind need not reach the layer. False means bound or unknown.
    std::array<bool, kStages> stageEmpty_{};
    sys::GpuSurface* shadowDepth_ = nullptr;
    sys::GpuSurface* cachedTarget_ = nullptr;
    sys::GpuSurface* cachedDepth_ = nullptr;
    bool cachedDepthKnown_ = false;
    sys::GpuVertexBuffer* cachedStream_ = nullptr;
    std::int32_t cachedStride_ = -1;
    bool inScene_ = false;
    std::vector<std::uint32_t> renderStates_ = std::vector<std::uint32_t>(kRenderStates, 0);
    std::vector<std::uint32_t> samplerStates_ = std::vector<std::uint32_t>(kStages * kSamplerStates, 0);
    bool lost_ = false;
    int retryMilliseconds_ = 0;  // counted in whole milliseconds, so that 20 frames of 100 ms make 2 s exactly

    struct ResetHook {
        int id;
        std::function<void(bool)> hook;
    };
    std::vector<ResetHook> resetHooks_;
    int nextHookId_ = 1;
    std::function<void()> stateCacheResetHook_;
    BoneMatrixWriter* boneWriter_ = nullptr;
    VertexDeclSet* vertexDeclarations_ = nullptr;
    ShaderConstantCache* vertexShaders_ = nullptr;
    ShaderTextBuffer* pixelShaders_ = nullptr;
    MaterialBinder* materialBinder_ = nullptr;
    std::array<std::uint32_t, kFrameCounterWords> ownFrameCounters_{};
    std::uint32_t* frameCounters_ = ownFrameCounters_.data();
    int furTexture_ = 0;
    bool sizeMessagesHeld_ = false;
};

}  // namespace engine
