#include "engine/scene/cube_view.h"

#include <memory>

#include "engine/render/graphics_device.h"
#include "engine/render/graphics_device_hooks.h"
#include "engine/render/render_target.h"
#include "engine/render/texture.h"
#include "engine/render/texture_table.h"
#include "engine/scene/render_queue.h"
#include "engine/scene/scene_node.h"
#include "sys/gpu_device.h"
#include "sys/gpu_resource.h"

namespace engine {

Matrix44 GetCubeFaceRotation(int face) {
    Matrix44 m;
    switch (face) {
        case 0: m.InitRotationY(90.0f); break;
        case 1: m.InitRotationY(-90.0f); break;
        case 2: m.InitRotationX(-90.0f); break;
        case 3: m.InitRotationX(90.0f); break;
        case 5: m.InitRotationY(180.0f); break;
        default: break;
    }
    return m;
}

int RenderCubeView(int cubeTextureHandle, SceneNode* node, RenderQueue* queue, float nearDistance,
                   float farDistance, const SceneViewServices& services) {
    GraphicsDevice* device = services.device != nullptr ? services.device : GetGraphicsDevice();
    const Texture* texture = TextureTable::Get(cubeTextureHandle);
    if (device == nullptr || !device->HasDevice() || texture == nullptr || texture->cubeTexture == nullptr ||
        node == nullptr || queue == nullptr) {
        return 0;
    }
    const int size = static_cast<int>(TextureTable::GetWidth(cubeTextureHandle));
    if (size <= 0) return 0;
    sys::GpuDevice& gpu = *device->Device();
    sys::GpuSurface* oldTarget = gpu.GetRenderTarget(0);
    sys::GpuSurface* oldDepth = gpu.GetDepthStencilSurface();
    const sys::GpuViewport oldViewport = gpu.GetViewport();
    device->UnbindAllTextures();

    auto view = std::make_unique<SceneView>();
    view->Init({0, 0, size, size}, 1.0f, nearDistance, farDistance, services);
    view->GetViewTransform().SetFov(90.0f);
    std::unique_ptr<RenderTarget> target(CreateRenderTarget("Cube View", size, size, kTargetCubeView));
    if (target) {
        device->ViewMatrix() = IdentityMatrix();
        queue->Build();
        target->BeginCube(texture->cubeTexture);
        const Matrix44& placement = node->GetWorldMatrix();
        for (int pass = 0; pass < 7; ++pass) {
            const int face = pass % 6;
            Matrix44 camera;
            Matrix44::Multiply(GetCubeFaceRotation(face), placement, camera);
            view->GetViewTransform().SetMatrix(camera);
            view->UpdateFrustum();
            target->RenderCubeFace(queue, view.get(), face);
        }
        target->End();
    }
    if (oldTarget != nullptr) device->SetRenderTargetSurface(oldTarget);
    device->SetDepthSurfaceCached(oldDepth);
    gpu.SetViewport(oldViewport);
    if (oldTarget != nullptr) oldTarget->Release();
    if (oldDepth != nullptr) oldDepth->Release();
    device->UnbindAllTextures();
    target.reset();
    view.reset();
    return 1;
}

}  // namespace engine
