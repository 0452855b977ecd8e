// Render targets: surfaces by kind, passes, clears, viewports, scenes, device resets and destruction.
#include "engine/render/render_target.h"

#include "engine/render/graphics_device.h"
#include "engine/render/quad_queue.h"
#include "engine/render/render_target_registry.h"
#include "engine/render/render_view.h"
#include "engine/render/texture.h"
#include "engine/render/texture_table.h"
#include "sys/gpu_device.h"
#include "sys/gpu_resource.h"

namespace engine {
namespace {

RenderTargetServices& Services() {
    static RenderTargetServices services;
    return services;
}

template <typename T>
void ReleaseAndForget(T*& object) {
    if (object != nullptr) object->Release();
    object = nullptr;
}

constexpr std::uint32_t kClearAll = sys::kClearTarget | sys::kClearZBuffer | sys::kClearStencil;

}  // namespace

void SetRenderTargetServices(const RenderTargetServices& services) { Services() = services; }

const RenderTargetServices& GetRenderTargetServices() { return Services(); }

RenderTarget* CreateRenderTarget(const char* name, int width, int height, int kind) {
    if (width <= 0 || height <= 0 || kind < kTargetPlain || kind > kTargetShadow) return nullptr;
    auto* target = new RenderTarget(Services(), name, width, height, kind);
    target->CreateSurfaces();
    return target;
}

RenderTarget::RenderTarget(const RenderTargetServices& services, const char* name, int width, int height, int kind)
    : device_(services.device),
      drawing_(services.drawing),
      dumpFolder_(services.dumpFolder),
      dumpTitle_(services.dumpTitle),
      externalWindow_(services.externalWindow),
      name_(name),
      kind_(kind) {
    SetSize(width, height);
    RegisterRenderTarget(this);
}

RenderTarget::~RenderTarget() {
    ReleaseCopiedTexture();
    if (device_ != nullptr) device_->UnbindAll(false);
    ReleaseSurfaces();
    UnregisterRenderTarget(this);
}

void RenderTarget::SetSize(int width, int height) {
    width_ = width;
    height_ = height;
    widthF_ = static_cast<float>(width);
    heightF_ = static_cast<float>(height);
    invWidth_ = width > 0 ? 1.0f / widthF_ : 0.0f;
    invHeight_ = height > 0 ? 1.0f / heightF_ : 0.0f;
}

DrawTarget2D RenderTarget::Target2D() const {
    DrawTarget2D target;
    target.width = width_;
    target.height = height_;
    target.invWidth = invWidth_;
    target.invHeight = invHeight_;
    target.pointSampling = pointSampling_;
    return target;
}

sys::GpuTexture* RenderTarget::ColourTexture(int index) const {
    return index == 0 || index == 1 ? colourTextures_[index] : nullptr;
}

sys::GpuSurface* RenderTarget::ColourSurface(int index) const {
    return index == 0 || index == 1 ? colourSurfaces_[index] : nullptr;
}

void RenderTarget::CreateSurfaces() {
    ReleaseSurfaces();
    current_ = 0;
    sys::GpuDevice* gpu = device_ != nullptr ? device_->Device() : nullptr;
    if (gpu == nullptr) return;
    const auto w = static_cast<std::uint32_t>(width_);
    const auto h = static_cast<std::uint32_t>(height_);
    const auto makeColour = [&](int index, sys::GpuFormat format) {
        colourTextures_[index] = gpu->CreateTexture(w, h, 1, sys::kUsageRenderTarget, format, sys::kPoolDefault);
        if (colourTextures_[index] != nullptr) colourSurfaces_[index] = colourTextures_[index]->GetSurfaceLevel(0);
    };
    switch (kind_) {
        case kTargetPlain:
            makeColour(0, sys::kFmtA8R8G8B8);
            makeColour(1, sys::kFmtA8R8G8B8);
            ownDepth_ = gpu->CreateDepthStencilSurface(w, h, sys::kFmtD24S8, 0);
            baseDepth_ = ownDepth_;
            break;
        case kTargetMain:
            msColour_ = gpu->CreateRenderTarget(w, h, sys::kFmtA8R8G8B8, kMultisamples);
            makeColour(0, sys::kFmtA8R8G8B8);
            makeColour(1, sys::kFmtA8R8G8B8);
            if (msColour_ != nullptr) {
                msDepth_ = gpu->CreateDepthStencilSurface(w, h, sys::kFmtD24S8, kMultisamples);
                // Without a multisampled depth surface the target draws single-sampled.
                if (msDepth_ == nullptr) ReleaseAndForget(msColour_);
            }
            baseDepth_ = device_->BackBufferDepthSurface();
            break;
        case kTargetShadow:
            makeColour(0, sys::kFmtR32F);
            baseDepth_ = device_->GetShadowDepthSurface();
            break;
        case kTargetCubeView:
            // The faces of the cube texture are the colour; the depth is the target's own, so that clearing
            // a face never wipes a depth surface someone else bound.
            ownDepth_ = gpu->CreateDepthStencilSurface(w, h, sys::kFmtD24S8, 0);
            baseDepth_ = ownDepth_;
            break;
        default:
            break;
    }
    depthInUse_ = msDepth_ != nullptr ? msDepth_ : baseDepth_;
}

void RenderTarget::ReleaseSurfaces() {
    for (int i = 0; i < 2; ++i) {
        ReleaseAndForget(colourSurfaces_[i]);
        ReleaseAndForget(colourTextures_[i]);
    }
    ReleaseAndForget(msColour_);
    ReleaseAndForget(msDepth_);
    ReleaseAndForget(ownDepth_);
    ReleaseAndForget(blurWork_);
    baseDepth_ = nullptr;
    depthInUse_ = nullptr;
    boundColour_ = nullptr;
    resolved_ = false;
}

void RenderTarget::ReleaseCopiedTexture() {
    // The slot may have been emptied by a purge and taken by another texture since.
    if (copyHandle_ != 0 && TextureTable::Get(copyHandle_) == copyTexture_) TextureTable::Release(copyHandle_);
    copyHandle_ = 0;
    copyTexture_ = nullptr;
}

void RenderTarget::OnDeviceReset(bool release) {
    if (release) {
        ReleaseSurfaces();
        // The next CopyToTexture makes a new texture instead of drawing into a freed slot.
        ReleaseCopiedTexture();
        return;
    }
    if (queue_ != nullptr) queue_->Clear();
    CreateSurfaces();
}

void RenderTarget::BindColour(sys::GpuSurface* surface) {
    if (device_ == nullptr || surface == nullptr) return;
    device_->SetRenderTargetSurface(surface);
    boundColour_ = surface;
}

void RenderTarget::MakeCurrent(const RenderView* view) {
    if (device_ == nullptr) return;
    if (boundColour_ != nullptr) device_->SetRenderTargetSurface(boundColour_);
    if (depthInUse_ != nullptr) device_->SetDepthSurfaceCached(depthInUse_);
    ApplyView(view);
}

void RenderTarget::BeginPass(std::uint32_t clearColour, bool multisample, bool backBufferDepth) {
    resolved_ = false;
    multisampleInUse_ = multisample;
    if (device_ != nullptr) device_->SetRenderStateCached(sys::kRsScissorTestEnable, 0);
    clearColour_ = clearColour;
    current_ = 0;
    state_ = 1;
    boundColour_ = nullptr;
    if (backBufferDepth) {
        depthInUse_ = device_ != nullptr ? device_->BackBufferDepthSurface() : nullptr;
    } else {
        depthInUse_ = msDepth_ != nullptr ? msDepth_ : baseDepth_;
    }
    BindColour(msColour_ != nullptr && multisampleInUse_ ? msColour_ : colourSurfaces_[0]);
    if (device_ != nullptr && boundColour_ != nullptr) device_->SetDepthSurfaceCached(depthInUse_);
    ApplyView(nullptr);
    Clear();
}

void RenderTarget::Begin(std::uint32_t clearColour) { BeginPass(clearColour, true, false); }

void RenderTarget::BeginNoMultisample(std::uint32_t clearColour) { BeginPass(clearColour, false, true); }

void RenderTarget::BeginCube(sys::GpuCubeTexture* cube) {
    cube_ = cube;
    resolved_ = false;
    current_ = 0;
    state_ = 1;
    boundColour_ = nullptr;
    depthInUse_ = msDepth_ != nullptr ? msDepth_ : baseDepth_;
    ApplyView(nullptr);
    if (device_ != nullptr && depthInUse_ != nullptr) device_->SetDepthSurfaceCached(depthInUse_);
}

void RenderTarget::Resolve() {
    if (msColour_ == nullptr || !multisampleInUse_ || resolved_ || device_ == nullptr) return;
    sys::GpuSurface* destination = colourSurfaces_[current_];
    if (destination == nullptr) return;
    device_->Device()->StretchRect(msColour_, nullptr, destination, nullptr, sys::kFilterLinear);
    resolved_ = true;
    BindColour(destination);
    device_->SetDepthSurfaceCached(device_->BackBufferDepthSurface());
}

void RenderTarget::Clear() {
    if (device_ == nullptr || boundColour_ == nullptr) return;
    device_->SetColourWriteMask(15);
    device_->Device()->Clear(0, nullptr, kClearAll, clearColour_, 1.0f, 0);
}

void RenderTarget::ClearRect(const IntRect& rect) {
    if (device_ == nullptr || boundColour_ == nullptr) return;
    device_->SetColourWriteMask(15);
    const sys::GpuRect area = {rect.x, rect.y, rect.x + rect.width, rect.y + rect.height};
    device_->Device()->Clear(1, &area, kClearAll, clearColour_, 1.0f, 0);
}

void RenderTarget::ClearDepth() {
    if (device_ == nullptr || boundColour_ == nullptr) return;
    device_->Device()->Clear(0, nullptr, sys::kClearZBuffer | sys::kClearStencil, 0, 1.0f, 0);
}

void RenderTarget::SetViewport(const IntRect& rect) {
    if (device_ == nullptr || rect.x < 0 || rect.y < 0 || rect.width < 0 || rect.height < 0) return;
    sys::GpuViewport viewport;
    viewport.x = static_cast<std::uint32_t>(rect.x);
    viewport.y = static_cast<std::uint32_t>(rect.y);
    viewport.width = static_cast<std::uint32_t>(rect.width);
    viewport.height = static_cast<std::uint32_t>(rect.height);
    device_->Device()->SetViewport(viewport);
}

void RenderTarget::ApplyView(const RenderView* view) {
    if (device_ == nullptr) return;
    const IntRect rect = view != nullptr ? view->ViewportRect() : IntRect{0, 0, width_, height_};
    if (rect.x < 0 || rect.y < 0 || rect.width < 0 || rect.height < 0) return;
    sys::GpuViewport viewport;
    viewport.x = static_cast<std::uint32_t>(rect.x);
    viewport.y = static_cast<std::uint32_t>(rect.y);
    viewport.width = static_cast<std::uint32_t>(rect.width);
    viewport.height = static_cast<std::uint32_t>(rect.height);
    viewport.minZ = view != nullptr ? view->MinDepth() : 0.0f;
    viewport.maxZ = view != nullptr ? view->MaxDepth() : 1.0f;
    device_->Device()->SetViewport(viewport);
}

void RenderTarget::SetClipRect(const IntRect* rect) {
    if (device_ == nullptr) return;
    if (rect == nullptr) {
        device_->SetRenderStateCached(sys::kRsScissorTestEnable, 0);
        return;
    }
    const sys::GpuRect scissor = {rect->x, rect->y, rect->x + rect->width, rect->y + rect->height};
    device_->Device()->SetScissorRect(scissor);
    device_->SetRenderStateCached(sys::kRsScissorTestEnable, 1);
}

void RenderTarget::RenderScene(RenderQueue* queue, SceneRenderView* view) {
    if (device_ == nullptr || view == nullptr || device_->IsLost()) return;
    if (externalWindow_) {
        // A host's window may be smaller than the view: only viewports inside the target are drawn.
        const IntRect rect = view->ViewportRect();
        const long long right = static_cast<long long>(rect.x) + rect.width;
        const long long bottom = static_cast<long long>(rect.y) + rect.height;
        if (rect.width < 1 || rect.height < 1 || rect.x < 0 || rect.y < 0 || right > width_ || bottom > height_) {
            return;
        }
    }
    ApplyView(view);
    view->Render(queue, *this);
    ApplyView(nullptr);
}

void RenderTarget::RenderCubeFace(RenderQueue* queue, SceneRenderView* view, int face) {
    if (device_ == nullptr || cube_ == nullptr || face < 0 || face > 5) return;
    device_->UnbindAllTextures();
    sys::GpuSurface* surface = cube_->GetCubeMapSurface(static_cast<sys::GpuCubeFace>(face), 0);
    if (surface == nullptr) return;
    BindColour(surface);
    Clear();
    if (view != nullptr) view->Render(queue, *this);
    // The device keeps its own reference while the face is bound.
    surface->Release();
    boundColour_ = nullptr;
    device_->UnbindAllTextures();
}

}  // namespace engine
