#include "engine/scene/scene_view.h"

#include <algorithm>
#include <span>

#include "engine/core/geometry.h"
#include "engine/render/graphics_device.h"
#include "engine/render/frame_pass_probe.h"
#include "engine/render/graphics_device_hooks.h"
#include "engine/render/light_setup.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/render/material_manager.h"
#include "engine/render/material_manager_hooks.h"
#include "engine/render/render_target.h"
#include "engine/render/shader_constant_cache.h"
#include "engine/render/shader_manager_hooks.h"
#include "engine/render/shader_set.h"
#include "engine/render/shader_text_buffer.h"
#include "engine/render/shadow_split_setup.h"
#include "engine/scene/billboard_list.h"
#include "engine/scene/dynamic_geometry.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/model_queries.h"
#include "engine/scene/model_table.h"
#include "engine/scene/particle_emitter.h"
#include "engine/scene/render_queue.h"
#include "engine/scene/spline.h"
#include "engine/scene/visible_node_list.h"
#include "sys/gpu_resource.h"

namespace engine {
namespace {

constexpr int kWorldRegister = 8;
constexpr int kFirstShadowStage = 7;
constexpr int kFilterLinear = 1;
constexpr int kAddressWrap = 1;
constexpr int kAddressClamp = 3;
constexpr int kMinInstanceRun = 4;

}  // namespace

const char* const kSkyboxPixelShaderText =
    "samplerCUBE Texture : register(s0);\n"
    "uniform float4 CamPos : register(c0);\n"
    "float4 main(float4 PosWorld : TEXCOORD0) : COLOR\n"
    "{\n"
    "\treturn float4(texCUBE(Texture,PosWorld.xyz-CamPos.xyz).rgb,1);\n"
    "}\n";

namespace {

std::span<const Matrix44> Bones(const DrawEntry& e) {
    return e.skin != nullptr ? std::span<const Matrix44>(*e.skin) : std::span<const Matrix44>();
}

const MeshBatch* EntryBatch(const DrawEntry& e) {
    const Model* model = static_cast<const Model*>(e.object);
    return model != nullptr ? model->GetBatch(e.batch) : nullptr;
}

}  // namespace

SceneView::SceneView() = default;

SceneView::~SceneView() = default;

void SceneView::Init(const IntRect& viewport, float aspect, float nearDistance, float farDistance,
                     const SceneViewServices& services) {
    services_ = services;
    Camera::Init(viewport, aspect, nearDistance, farDistance, services.vertexConstants);
    shadowView_.reset();
}

GraphicsDevice* SceneView::Device() const {
    return services_.device != nullptr ? services_.device : GetGraphicsDevice();
}
ShaderConstantCache* SceneView::VertexConstants() const {
    return services_.vertexConstants != nullptr ? services_.vertexConstants : GetShaderConstantCache();
}
ShaderTextBuffer* SceneView::PixelConstants() const {
    return services_.pixelConstants != nullptr ? services_.pixelConstants : GetShaderTextBuffer();
}
MaterialManager* SceneView::Materials() const {
    return services_.materials != nullptr ? services_.materials : GetMaterialManager();
}

void SceneView::SetWorldMatrix(const Matrix44& matrix) {
    if (ShaderConstantCache* constants = VertexConstants()) constants->SetMatrix(matrix, kWorldRegister);
}

void SceneView::Render(RenderQueue* queue, RenderTarget& target) {
    queue_ = queue;
    target_ = &target;
    if (queue == nullptr) return;
    // Culling below tests against the planes of this frame's camera, whatever the caller did to the view.
    UpdateFrustum();
    if (target.Kind() == kTargetShadow) {
        RenderShadowMap();
        return;
    }
    const FramePass around = CurrentFramePass();
    visibleOpaque_ = &queue->GetDrawList(0).CollectVisible(*this);
    visibleBlended_ = &queue->GetDrawList(1).CollectVisible(*this);
    MarkFramePass(FramePass::kShadow);
    if (RenderShadowMaps() != 0) target.MakeCurrent(this);
    MarkFramePass(FramePass::kOpaque);
    visibleOpaque_->SortOpaque();
    visibleBlended_->SortBlended();
    LoadLights();
    UpdateFrustum();
    DrawEntries(*visibleOpaque_);
    DrawSkybox();
    MarkFramePass(FramePass::kSorted);
    DrawEntries(*visibleBlended_);
    DrawDebugShapes(queue->GetVisibleNodes());
    MarkFramePass(around);
}

void SceneView::LoadLights() {
    GraphicsDevice* device = Device();
    ShaderConstantCache* vertex = VertexConstants();
    ShaderTextBuffer* pixel = PixelConstants();
    if (device == nullptr || vertex == nullptr || pixel == nullptr) return;
    DrawLight lights[kLightSlotCount];
    for (int i = 0; i < kLightSlotCount; ++i) {
        const LightDesc& desc = queue_->GetLight(i);
        DrawLight& light = lights[i];
        light.enabled = desc.enabled != 0;
        light.colour = desc.colour;
        light.range = desc.range;
        light.intensity = desc.intensity;
        light.coneAngle = desc.coneAngle;
        light.castsShadow = desc.castsShadow != 0 && desc.shadowTarget != nullptr;
        light.depthBias = desc.depthBias;
        light.matrix = desc.matrix;
    }
    const std::uint32_t flags =
        SetupDrawLights(lights, GetViewTransform().GetMatrix(), device->ShadowSplits(), *vertex, *pixel);
    if (MaterialManager* materials = Materials()) materials->SetLightFlags(flags);
    // Shadow maps of the directional and the two spot lights on stages 7 to 9.
    for (int i = 0; i < 3; ++i) {
        const RenderTarget* shadow = queue_->GetLight(i).shadowTarget;
        sys::GpuTexture* texture = shadow != nullptr ? shadow->CurrentColourTexture() : nullptr;
        if (texture == nullptr) continue;
        const auto stage = static_cast<std::uint32_t>(kFirstShadowStage + i);
        device->SetRawTexture(stage, texture);
        device->SetTextureFilter(stage, kFilterLinear, 0);
        device->SetTextureAddressMode(stage, kAddressClamp);
    }
}

void SceneView::DrawEntries(DrawPointerList& list) {
    GraphicsDevice* device = Device();
    blendedPass_ = list.Blended();
    MaterialBinder* binder = device != nullptr ? device->AttachedMaterialBinder() : nullptr;
    for (int i = 0; i < list.Count(); ++i) {
        DrawEntry& e = *list.Get(i);
        switch (e.kind) {
            case kEntryMesh: {
                const MeshBatch* batch = EntryBatch(e);
                if (batch == nullptr || e.material == nullptr || device == nullptr) break;
                const bool canInstance = (e.material->flags & kMaterialFurShells) == 0 && binder != nullptr &&
                                         binder->SupportsInstancing(*e.material);
                const int run = canInstance ? CountInstanceRun(i, list, device->IsShaderModel3()) : 0;
                if (run < kMinInstanceRun) {
                    SetWorldMatrix(e.world);
                    Matrix44 worldToModel;
                    Matrix44::InverseAffine(e.world, worldToModel);
                    device->DrawMeshBatch(*batch, *e.material, Bones(e), e.shell, this, &worldToModel);
                    break;
                }
                instanceWorlds_.clear();
                for (int r = 0; r < run; ++r) instanceWorlds_.push_back(list.Get(i + r)->world);
                device->DrawMeshBatchInstanced(*batch, *e.material, instanceWorlds_, this);
                i += run - 1;
                break;
            }
            case kEntryBillboards:
            case kEntrySortedBillboards:
                SetWorldMatrix(IdentityMatrix());
                static_cast<BillboardListBase*>(e.object)->Draw(*this, 0);
                break;
            case kEntryDynamicGeometry:
                SetWorldMatrix(e.world);
                static_cast<DynamicGeometry*>(e.object)->Draw(*this, e.world);
                break;
            case kEntryBox:
                if (e.material == nullptr) break;
                SetWorldMatrix(e.world);
                DrawCollisionVolume(*static_cast<Aabb*>(e.object), *this, e.world, *e.material);
                break;
            case kEntrySpline:
                SetWorldMatrix(e.world);
                static_cast<Spline*>(e.object)->Draw(*this);
                break;
            case kEntryEmitter:
                SetWorldMatrix(IdentityMatrix());
                static_cast<ParticleEmitter*>(e.object)->UpdateAndDraw(e.world, *this, 0, {device, binder});
                break;
            default:
                break;
        }
    }
    blendedPass_ = 0;
}

void SceneView::DrawDepthEntries(DrawPointerList& list) {
    GraphicsDevice* device = Device();
    MaterialManager* materials = Materials();
    if (device == nullptr || materials == nullptr) return;
    for (int i = 0; i < list.Count(); ++i) {
        DrawEntry& e = *list.Get(i);
        if ((e.flags & kEntryNoShadow) != 0 || e.material == nullptr) continue;
        ShaderSet* set = materials->SetOf(*e.material);
        if (set == nullptr) continue;
        if (e.kind == kEntryMesh) {
            const MeshBatch* batch = EntryBatch(e);
            if (batch == nullptr) continue;
            const bool skinned = e.skin != nullptr;
            const int run = !skinned && set->SupportsInstancing() ? CountInstanceRun(i, list, device->IsShaderModel3())
                                                                  : 0;
            if (run >= kMinInstanceRun) {
                if (set->BindShadow(*e.material, this, nullptr, false, true) == 0) continue;
                instanceWorlds_.clear();
                for (int r = 0; r < run; ++r) instanceWorlds_.push_back(list.Get(i + r)->world);
                device->DrawInstancedBatch(*batch, instanceWorlds_);
                i += run - 1;
                continue;
            }
            SetWorldMatrix(e.world);
            if (set->BindShadow(*e.material, this, nullptr, skinned, false) == 0) continue;
            device->DrawIndexedBatch(Bones(e), *batch);
        } else if (e.kind == kEntrySortedBillboards) {
            if (set->BindShadow(*e.material, this, nullptr, false, false) == 0) continue;
            SetWorldMatrix(IdentityMatrix());
            static_cast<SortedBillboardList*>(e.object)->Draw(*this, 1);
        } else if (e.kind == kEntryEmitter) {
            if (set->BindShadow(*e.material, this, nullptr, false, false) == 0) continue;
            SetWorldMatrix(IdentityMatrix());
            static_cast<ParticleEmitter*>(e.object)->UpdateAndDraw(e.world, *this, 1, {device, nullptr});
        }
    }
}

void SceneView::RenderShadowMap() {
    if (visibleOpaque_ != nullptr) {
        visibleOpaque_->SortOpaque();
        DrawDepthEntries(*visibleOpaque_);
    }
    if (visibleBlended_ != nullptr) {
        visibleBlended_->SortOpaque();
        DrawDepthEntries(*visibleBlended_);
    }
}

SceneView& SceneView::EnsureShadowView() {
    if (!shadowView_) {
        shadowView_ = std::make_unique<SceneView>();
        shadowView_->Init({0, 0, kShadowMapSize, kShadowMapSize}, kAutoAspect, 0.1f, 100.0f, services_);
    }
    return *shadowView_;
}

int SceneView::RenderShadowMaps() {
    shadowMapsRendered_ = 0;
    std::fill(std::begin(slotLights_), std::end(slotLights_), nullptr);
    GraphicsDevice* device = Device();
    if (device == nullptr || queue_ == nullptr) return 0;
    for (int slot = 0; slot < RenderQueue::kLightCount; ++slot) {
        LightDesc& light = queue_->GetLight(slot);
        if (light.enabled == 0 || light.castsShadow == 0 || light.type >= 3) continue;
        device->SetColourWriteMask(15);
        EnsureShadowView();
        if (light.shadowTarget == nullptr) {
            light.shadowTarget = CreateRenderTarget("Shadow", kShadowMapSize, kShadowMapSize, kTargetShadow);
            if (light.shadowTarget == nullptr) continue;
        }
        if (light.type == 0) {
            RenderDirectionalShadow(light);
        } else {
            RenderSpotShadow(slot, light);
        }
        ++shadowMapsRendered_;
    }
    return shadowMapsRendered_ > 0 ? 1 : 0;
}

void SceneView::RenderDirectionalShadow(LightDesc& light) {
    SceneView& shadow = *shadowView_;
    SelectShadowCasters(0, light, shadow, *visibleOpaque_);
    SelectShadowCasters(0, light, shadow, *visibleBlended_);
    ShadowSplitInput input;
    input.camera = GetViewTransform().GetMatrix();
    input.aspect = GetAspect();
    input.fovDegrees = GetViewTransform().GetFov();
    input.lambda = splitLambda_;
    input.nearPlane = GetNear();
    input.farPlane = GetFar();
    // Near and far fitted to what this view sees.
    FitShadowRange(visibleOpaque_, visibleBlended_, GetNear(), GetFar(), input.fittedNear, input.fittedFar);
    GraphicsDevice* device = Device();
    ComputeShadowSplits(device->ShadowSplits(), input, light.matrix);
    light.shadowTarget->Begin(0xFF000000u);
    for (int i = 0; i < kShadowSplitCount; ++i) {
        const ShadowSplitView split = ApplyShadowSplit(i, device->ShadowSplits());
        shadow.GetViewTransform().SetMatrix(split.matrix);
        shadow.GetViewTransform().SetOrthoSize(split.orthoWidth);
        shadow.SetNearFar(split.nearPlane, split.farPlane);
        shadow.SetViewport(split.viewport);
        light.shadowTarget->RenderScene(queue_, &shadow);
    }
    light.shadowTarget->End();
}

void SceneView::RenderSpotShadow(int slot, LightDesc& light) {
    SceneView& shadow = *shadowView_;
    shadow.GetViewTransform().SetMatrix(light.matrix);
    shadow.GetViewTransform().SetOrthoSize(0.0f);
    shadow.GetViewTransform().SetFov(light.coneAngle);
    shadow.SetNearFar(0.1f, light.range);
    shadow.slotLights_[slot] = &light;
    shadow.slotMatrices_[slot] = light.matrix;
    slotLights_[slot] = &light;
    slotMatrices_[slot] = light.matrix;
    shadow.SetViewport({0, 0, kShadowMapSize, kShadowMapSize});
    SelectShadowCasters(slot, light, shadow, *visibleOpaque_);
    SelectShadowCasters(slot, light, shadow, *visibleBlended_);
    light.shadowTarget->Begin(0xFF000000u);
    light.shadowTarget->RenderScene(queue_, &shadow);
    light.shadowTarget->End();
}

void SceneView::SelectShadowCasters(int slot, const LightDesc& light, SceneView& shadowView,
                                    DrawPointerList& visible) {
    DrawPointerList& casters = visible.Owner()->Casters();
    casters.Clear();
    const bool coneTest = (slot == 1 || slot == 2) && light.flagWord == 0;
    Cone cone;
    if (coneTest) cone.Init(light.coneAngle * 0.5f, light.range, light.matrix);
    for (int i = 0; i < visible.Count(); ++i) {
        DrawEntry* e = visible.Get(i);
        if (coneTest && !cone.OverlapsSphere({e->centre.x, e->centre.y, e->centre.z}, e->radius)) continue;
        casters.Append(e);
    }
    (visible.Blended() != 0 ? shadowView.visibleBlended_ : shadowView.visibleOpaque_) = &casters;
}

void SceneView::GetDepthRange(float& nearDistance, float& farDistance, const DrawPointerList& list) {
    for (int i = 0; i < list.Count(); ++i) {
        const DrawEntry* e = list.Get(i);
        if ((e->flags & kEntryNoShadow) != 0) continue;
        farDistance = std::max(farDistance, e->depth + e->radius);
        nearDistance = std::min(nearDistance, e->depth - e->radius);
    }
}

void SceneView::FitShadowRange(const DrawPointerList* opaque, const DrawPointerList* blended, float nearPlane,
                               float farPlane, float& fittedNear, float& fittedFar) {
    float nearFit = 1e30f, farFit = -1e30f;
    if (opaque != nullptr) GetDepthRange(nearFit, farFit, *opaque);
    if (blended != nullptr) GetDepthRange(nearFit, farFit, *blended);
    const bool none = farFit < nearFit;
    fittedNear = none ? nearPlane : std::max(nearPlane, nearFit);
    fittedFar = none ? farPlane : std::min(farPlane, farFit);
    if (fittedFar < fittedNear) fittedFar = fittedNear;
}

void SceneView::DrawSkybox() {
    if (queue_ == nullptr || queue_->GetSkybox() == 0) return;
    const Model* sky = ModelTable::Get(queue_->GetSkybox());
    GraphicsDevice* device = Device();
    ShaderConstantCache* vertex = VertexConstants();
    ShaderTextBuffer* pixel = PixelConstants();
    if (sky == nullptr || device == nullptr || vertex == nullptr || pixel == nullptr) return;
    Matrix44 world;
    const Vec3 eye = GetViewTransform().GetMatrix().GetTranslation();
    world.SetRow(3, eye);
    SetWorldMatrix(world);
    device->SetColourWriteMask(15);
    device->SetBlendMode(0);
    device->SetAlphaTest(0, 254);
    device->SetDepthMode(true, false, false);
    device->SetTextureFilter(0, kFilterLinear, 0);
    device->SetTextureAddressMode(0, kAddressWrap);
    PixelShader* shader = pixel->GetBuiltinPixelShader(BuiltinPixelShader::SkyBox, kSkyboxPixelShaderText);
    VertexShader* vertexShader = vertex->BuiltinVertexShader(4);
    if (shader == nullptr || vertexShader == nullptr) return;
    pixel->BindPixelShader(shader);
    pixel->SetPixelVector({eye.x, eye.y, eye.z, 1.0f}, 0);
    vertex->BindVertexShader(vertexShader);
    const MaterialLib& lib = GetMaterialLib();
    for (int b = 0; b < sky->GetBatchCount(); ++b) {
        const MeshBatch& batch = *sky->GetBatch(b);
        const MaterialDef* material = lib.Get(batch.material);
        if (material != nullptr && material->textures[0] != 0) device->SetTexture(0, material->textures[0]);
        device->DrawIndexedBatch({}, batch);
    }
}

}  // namespace engine
