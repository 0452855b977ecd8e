#pragma once
// Named off-screen drawing surfaces of a fixed size. The whole frame is drawn into "Main RT" (kind 2, four
// samples, resolved into a plain texture), lights draw their shadow maps into kind-3 targets (one R32F
// texture on the device's shared 2048 x 2048 depth surface), cube textures are drawn face by face through a
// kind-1 target, and kind 0 is a plain target with two colour textures and a depth surface of its own.
//
// A target begins a pass (bind and clear), takes scene and 2D drawing, and ends it (resolve the multisampled
// surface, replay the queued 2D items). It can copy its picture into a texture of the texture table and save
// it as a numbered screen dump. Every live target is registered (render_target_registry.h) so that a device
// reset releases and rebuilds all of them.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "engine/core/int_rect.h"
#include "engine/core/wide_string.h"
#include "engine/render/target_drawing_2d.h"

namespace sys {
class GpuBaseTexture;
class GpuCubeTexture;
class GpuSurface;
class GpuTexture;
}  // namespace sys

namespace engine {

class GraphicsDevice;
class QuadQueue;
class RenderQueue;
class RenderTarget;
class RenderView;
class SceneRenderView;
class Texture;
struct QuadQueueEntry;

enum RenderTargetKind : int {
    kTargetPlain = 0,
    kTargetCubeView = 1,
    kTargetMain = 2,  // multisampled
    kTargetShadow = 3,
};

// What targets are made with: the device, the 2D drawing their 2D operations go through (none: they draw
// nothing), and for screen dumps the folder that receives "ScreenDumps" and the names' prefix.
struct RenderTargetServices {
    GraphicsDevice* device = nullptr;
    TargetDrawing2D* drawing = nullptr;
    std::string dumpFolder;
    std::string dumpTitle;
    // Set when the engine draws into a window of a host: scenes are drawn only through viewports that lie
    // inside the target.
    bool externalWindow = false;
};

// The services CreateRenderTarget gives new targets.
void SetRenderTargetServices(const RenderTargetServices& services);
const RenderTargetServices& GetRenderTargetServices();

// Queued text entries (types 3 and 4) are drawn through this; while it is empty they are skipped.
using QueuedTextDrawer = std::function<void(RenderTarget& target, const QuadQueueEntry& entry)>;
void SetQueuedTextDrawer(QueuedTextDrawer drawer);

class RenderTargetBase {
public:
    virtual ~RenderTargetBase() = default;

    virtual void BeginCube(sys::GpuCubeTexture* cube) = 0;
    virtual void Begin(std::uint32_t clearColour) = 0;
    virtual void BeginNoMultisample(std::uint32_t clearColour) = 0;
    virtual void End() = 0;
    virtual void DrawTextureRect(const IntRect& destination, const IntRect& source, std::uint32_t handle,
                                 std::uint32_t colour, int blend, int mono) = 0;
    virtual void DrawTexture(float x, float y, std::uint32_t handle, std::uint32_t colour, int blend, int mono) = 0;
    virtual void DrawTextureScaled(float x, float y, float scaleX, float scaleY, std::uint32_t handle,
                                   std::uint32_t colour, int blend, int mono) = 0;
    virtual void DrawTextureOffsetScaled(float x, float y, float scaleX, float scaleY, float pivotX, float pivotY,
                                         std::uint32_t handle, std::uint32_t colour, int blend, int mono) = 0;
    virtual void DrawTextureRotated(float x, float y, float pivotX, float pivotY, float angle,
                                    std::uint32_t handle, std::uint32_t colour, int blend, int mono) = 0;
    virtual void DrawTextureTransformed(float x, float y, float pivotX, float pivotY, float angle, float scaleX,
                                        float scaleY, std::uint32_t handle, std::uint32_t colour, int blend,
                                        int mono) = 0;
    virtual void DrawSprite(int x, int y, std::uint32_t handle, const IntRect& source) = 0;
    virtual QuadQueueEntry& QueueTexture(int layer, const IntRect& destination, const IntRect& source,
                                         std::uint32_t handle, std::uint32_t colour, int blend) = 0;
    virtual void DrawSpriteScaled(int x, int y, std::uint32_t handle, float scaleX, float scaleY,
                                  const IntRect& source) = 0;
    virtual void FillRect(const IntRect& rect, std::uint32_t colour, int blend) = 0;
    virtual void FillRectGradient(const IntRect& rect, std::uint32_t topLeft, std::uint32_t topRight,
                                  std::uint32_t bottomLeft, std::uint32_t bottomRight, int blend) = 0;
    virtual QuadQueueEntry& QueueGradientRect(int layer, const IntRect& rect, std::uint32_t topLeft,
                                              std::uint32_t topRight, std::uint32_t bottomLeft,
                                              std::uint32_t bottomRight, int blend) = 0;
    virtual void SetClipRect(const IntRect* rect) = 0;
    virtual void RenderScene(RenderQueue* queue, SceneRenderView* view) = 0;
    virtual void DrawTriangles(int vertexFormat, int triangleCount, const void* vertices,
                               std::uint32_t handle) = 0;
    virtual int CopyToTexture() = 0;
    virtual int MakeTexture() = 0;
    virtual int ScreenDump() = 0;
    virtual int ApplyMonochrome(float strength, std::uint32_t colour) = 0;
    virtual void ApplyBlurBloom() = 0;
    virtual void ClearRect(const IntRect& rect) = 0;
    virtual void SetViewport(const IntRect& rect) = 0;
    virtual void ClearDepth() = 0;
    virtual void Resolve() = 0;
    virtual void OnDeviceReset(bool release) = 0;
    virtual void RenderCubeFace(RenderQueue* queue, SceneRenderView* view, int face) = 0;
    virtual void CreateSurfaces() = 0;
    virtual void ApplyView(const RenderView* view) = 0;
    virtual void Clear() = 0;
    // The size in pixels.
    virtual int Width() const = 0;
    virtual int Height() const = 0;
};

class RenderTarget final : public RenderTargetBase {
public:
    static constexpr std::uint32_t kMultisamples = 4;

    // Sizes and reciprocals set and registered; CreateRenderTarget also makes the surfaces.
    RenderTarget(const RenderTargetServices& services, const char* name, int width, int height, int kind);
    // Deletes the copied texture, unbinds textures, releases every surface and leaves the registry.
    ~RenderTarget() override;
    RenderTarget(const RenderTarget&) = delete;
    RenderTarget& operator=(const RenderTarget&) = delete;

    // Passes. Begin binds the multisampled surface when there is one, else colour texture 0, with the
    // target's depth surface, applies the whole-target view and clears. BeginNoMultisample binds colour
    // texture 0 on the device's back-buffer depth surface. BeginCube binds only the depth surface:
    // RenderCubeFace binds and clears each face.
    void BeginCube(sys::GpuCubeTexture* cube) override;
    void Begin(std::uint32_t clearColour) override;
    void BeginNoMultisample(std::uint32_t clearColour) override;
    // Resolve, then the queued 2D items, layer 1 to 8; the queue is empty afterwards.
    void End() override;
    // Copies the multisampled surface into the current colour texture once per pass, then draws there.
    void Resolve() override;

    // Colour, depth 1 and stencil 0 over the viewport, or over one rectangle; depth and stencil only.
    void Clear() override;
    void ClearRect(const IntRect& rect) override;
    void ClearDepth() override;
    // Viewport rectangles have a top-left origin; null views mean the whole target, depth 0 to 1.
    void SetViewport(const IntRect& rect) override;
    void ApplyView(const RenderView* view) override;
    // Null turns the scissor test off.
    void SetClipRect(const IntRect* rect) override;

    // Nothing while the device is lost. The view's rectangle is used for the scene, then the whole target.
    void RenderScene(RenderQueue* queue, SceneRenderView* view) override;
    // Draws into face 0-5 of the cube texture given to BeginCube, after clearing it.
    void RenderCubeFace(RenderQueue* queue, SceneRenderView* view, int face) override;

    // 2D drawing (target_drawing_2d.h) in pixels of this target.
    void DrawTextureRect(const IntRect& destination, const IntRect& source, std::uint32_t handle,
                         std::uint32_t colour, int blend, int mono) override;
    void DrawTexture(float x, float y, std::uint32_t handle, std::uint32_t colour, int blend, int mono) override;
    void DrawTextureScaled(float x, float y, float scaleX, float scaleY, std::uint32_t handle, std::uint32_t colour,
                           int blend, int mono) override;
    void DrawTextureOffsetScaled(float x, float y, float scaleX, float scaleY, float pivotX, float pivotY,
                                 std::uint32_t handle, std::uint32_t colour, int blend, int mono) override;
    void DrawTextureRotated(float x, float y, float pivotX, float pivotY, float angle, std::uint32_t handle,
                            std::uint32_t colour, int blend, int mono) override;
    void DrawTextureTransformed(float x, float y, float pivotX, float pivotY, float angle, float scaleX,
                                float scaleY, std::uint32_t handle, std::uint32_t colour, int blend,
                                int mono) override;
    void DrawSprite(int x, int y, std::uint32_t handle, const IntRect& source) override;
    void DrawSpriteScaled(int x, int y, std::uint32_t handle, float scaleX, float scaleY,
                          const IntRect& source) override;
    void FillRect(const IntRect& rect, std::uint32_t colour, int blend) override;
    void FillRectGradient(const IntRect& rect, std::uint32_t topLeft, std::uint32_t topRight,
                          std::uint32_t bottomLeft, std::uint32_t bottomRight, int blend) override;
    void DrawTriangles(int vertexFormat, int triangleCount, const void* vertices, std::uint32_t handle) override;
    // Deferred items, drawn at End; the caller may change the entry afterwards.
    QuadQueueEntry& QueueTexture(int layer, const IntRect& destination, const IntRect& source,
                                 std::uint32_t handle, std::uint32_t colour, int blend) override;
    QuadQueueEntry& QueueGradientRect(int layer, const IntRect& rect, std::uint32_t topLeft,
                                      std::uint32_t topRight, std::uint32_t bottomLeft, std::uint32_t bottomRight,
                                      int blend) override;

    // The picture copied one to one into the target's own texture-table texture (made on first use, kept
    // by the target); its handle, or 0 when the texture cannot be made.
    int CopyToTexture() override;
    // The same into a new texture every time, which the caller owns.
    int MakeTexture() override;
    // "ScreenDumps/<title><nnn>.PNG" under the dump folder, the first number of 1-1000 not on disk. 1 when
    // written; 0 when every number is taken or the picture cannot be read or written.
    int ScreenDump() override;

    // Post effects: both read the current colour texture and draw into the other one, which becomes current.
    // The picture mixed with its grey (0.299 r + 0.587 g + 0.114 b) times the colour by the strength (0: as it
    // is, 1: colour x grey); alpha is not written. 0 when the picture cannot be copied into a texture.
    int ApplyMonochrome(float strength, std::uint32_t colour) override;
    // Glow: the picture plus twice its blur at half the screen's size, each source pixel weighted by its
    // transparency (1 - alpha). Nothing while the device is lost or without the full-size work texture.
    void ApplyBlurBloom() override;

    // Release: every surface and the copied texture go. Restore: the queue is emptied and the surfaces are
    // made again.
    void OnDeviceReset(bool release) override;
    void CreateSurfaces() override;

    const WideString& Name() const { return name_; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    int Kind() const { return kind_; }
    // Binds the target's colour and depth surfaces again and applies the view, after a pass drew elsewhere.
    void MakeCurrent(const RenderView* view);
    int State() const { return state_; }
    DrawTarget2D Target2D() const;
    void SetPointSampling(bool on) { pointSampling_ = on; }
    int CopiedTextureHandle() const { return copyHandle_; }
    bool IsResolved() const { return resolved_; }
    QuadQueue* Queue() const { return queue_.get(); }

    // Surfaces (null when not made).
    int CurrentIndex() const { return current_; }
    sys::GpuTexture* ColourTexture(int index) const;
    sys::GpuSurface* ColourSurface(int index) const;
    sys::GpuTexture* CurrentColourTexture() const { return ColourTexture(current_); }
    sys::GpuSurface* MultisampledSurface() const { return msColour_; }
    sys::GpuSurface* MultisampledDepthSurface() const { return msDepth_; }
    // The depth surface drawing uses: the multisampled one, the target's own, or a device surface.
    sys::GpuSurface* DepthSurface() const { return depthInUse_; }
    GraphicsDevice* Device() const { return device_; }

private:
    class QueueReplay;
    friend void ResizeRenderTargets(bool release);

    void SetSize(int width, int height);
    void ReleaseSurfaces();
    void ReleaseCopiedTexture();
    void BeginPass(std::uint32_t clearColour, bool multisample, bool backBufferDepth);
    void BindColour(sys::GpuSurface* surface);
    // Draws the current colour texture one to one into the texture (target_copy).
    bool CopyInto(sys::GpuTexture* texture);
    // A new texture-table texture with a render-target texture of the target's size; 0 on failure.
    int NewCopyTexture(Texture** made);
    QuadQueue& EnsureQueue();

    GraphicsDevice* device_;
    TargetDrawing2D* drawing_;
    std::string dumpFolder_;
    std::string dumpTitle_;
    bool externalWindow_;

    WideString name_;
    int width_ = 0;
    int height_ = 0;
    float widthF_ = 0.0f;
    float heightF_ = 0.0f;
    float invWidth_ = 0.0f;
    float invHeight_ = 0.0f;
    int kind_ = kTargetPlain;
    int state_ = 0;
    std::uint32_t clearColour_ = 0;
    bool pointSampling_ = false;

    // The copied texture: its handle and the object, so that a handle whose slot was emptied and reused
    // elsewhere is never drawn into.
    int copyHandle_ = 0;
    Texture* copyTexture_ = nullptr;

    sys::GpuCubeTexture* cube_ = nullptr;
    std::unique_ptr<QuadQueue> queue_;

    sys::GpuTexture* colourTextures_[2] = {nullptr, nullptr};
    sys::GpuSurface* colourSurfaces_[2] = {nullptr, nullptr};
    sys::GpuSurface* msColour_ = nullptr;
    sys::GpuSurface* msDepth_ = nullptr;
    // Kind 0's own depth surface.
    sys::GpuSurface* ownDepth_ = nullptr;
    // What CreateSurfaces chose (own, back-buffer or shadow depth) and what the pass uses; device surfaces
    // are borrowed, not held.
    sys::GpuSurface* baseDepth_ = nullptr;
    sys::GpuSurface* depthInUse_ = nullptr;
    // The colour surface this target last bound; clears do nothing without one.
    sys::GpuSurface* boundColour_ = nullptr;
    // Made by the first glow, whose gate it is; released with the surfaces.
    sys::GpuTexture* blurWork_ = nullptr;
    int current_ = 0;
    bool resolved_ = false;
    bool multisampleInUse_ = false;
};

// A new target with its surfaces, made with the services set by SetRenderTargetServices; null when the
// size or kind is invalid.
RenderTarget* CreateRenderTarget(const char* name, int width, int height, int kind);

}  // namespace engine
