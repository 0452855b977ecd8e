// Mesh batches: the shared material set-up, plain, skinned and instanced draws, fur shells and the per-frame
// counters.
#include <algorithm>
#include <cstring>

#include "engine/image/colour_gradient.h"
#include "engine/render/dynamic_vertex_buffer.h"
#include "engine/render/graphics_device.h"
#include "engine/image/image.h"
#include "engine/render/material_binder.h"
#include "engine/render/material_def.h"
#include "engine/render/mesh_batch.h"
#include "engine/render/shader_constant_cache.h"
#include "engine/render/shader_text_buffer.h"
#include "engine/render/texture.h"
#include "engine/render/texture_table.h"
#include "engine/render/vertex_formats.h"
#include "sys/gpu_device.h"

namespace engine {
namespace {

constexpr int kFurShaderSet = 8;
constexpr int kFurDirectionRegister = 32;
constexpr int kFurParamsPixelRegister = 0;
constexpr std::uint32_t kInstanceRowBytes = 48;
constexpr const char* kFurTextureName = "$$$FurGradient";
constexpr std::uint32_t kFurTextureSize = 32;

// Colour writes: none for flag 0x20 (depth only), colour without alpha when blended, all four when opaque.
std::uint32_t MaterialColourMask(const MaterialDef& material) {
    if ((material.flags & 0x20) != 0) return 0;
    return material.blendMode != kBlendOff ? 7u : 15u;
}

}  // namespace

void GraphicsDevice::ResetFrameCounters() {
    for (int counter : {kFrameVertices, kFrameTriangles, kFrameBatches, kFrameObjects}) frameCounters_[counter] = 0;
}

void GraphicsDevice::CountBatch(std::uint32_t batches, std::uint32_t objects, std::uint32_t vertices,
                                std::uint32_t triangles) {
    frameCounters_[kFrameBatches] += batches;
    frameCounters_[kFrameObjects] += objects;
    frameCounters_[kFrameVertices] += vertices;
    frameCounters_[kFrameTriangles] += triangles;
}

void GraphicsDevice::DrawBatchTriangles(const MeshBatch& batch, std::uint32_t instances) {
    device_->SetIndices(batch.indexBuffer);
    const std::uint32_t vertices = static_cast<std::uint32_t>(std::max(batch.vertexCount, 0));
    const std::uint32_t triangles = static_cast<std::uint32_t>(std::max(batch.indexCount, 0) / 3);
    std::uint32_t drawn = 0;
    if (triangles > 0) {
        if (sys::GpuFailed(device_->DrawIndexedPrimitive(sys::kPrimTriangleList, 0, 0, vertices, 0, triangles))) {
            cachedStream_ = nullptr;
        }
        drawn = 1;
    }
    CountBatch(drawn, drawn * instances, vertices * instances, triangles * instances);
}

bool GraphicsDevice::BindStreamZero(sys::GpuVertexBuffer* buffer, std::int32_t stride) {
    if (buffer == cachedStream_ && stride == cachedStride_) return true;
    if (device_->SetStreamSource(0, buffer, 0, static_cast<std::uint32_t>(stride)) != sys::kGpuOk) return false;
    cachedStream_ = buffer;
    cachedStride_ = stride;
    return true;
}

void GraphicsDevice::SetVertexVector(int reg, const Vec4& value) {
    if (vertexShaders_ != nullptr) {
        vertexShaders_->SetVector(value, reg);
    } else if (device_) {
        device_->SetVertexShaderConstantF(static_cast<std::uint32_t>(reg), &value.x, 1);
    }
}

void GraphicsDevice::SetPixelVector(int reg, const Vec4& value) {
    if (pixelShaders_ != nullptr) {
        pixelShaders_->SetPixelVector(value, reg);
    } else if (device_) {
        device_->SetPixelShaderConstantF(static_cast<std::uint32_t>(reg), &value.x, 1);
    }
}

void GraphicsDevice::ClearShellRegister() {
    if (vertexShaders_ != nullptr) {
        vertexShaders_->ClearShellParams();
    } else {
        SetVertexVector(ShaderConstantCache::kShellParamsRegister, {});
    }
}

void GraphicsDevice::DrawIndexedBatch(std::span<const Matrix44> bones, const MeshBatch& batch) {
    if (!device_ || batch.vertexBuffer == nullptr || batch.indexBuffer == nullptr) return;
    if (!bones.empty()) {
        std::span<const std::uint8_t> remap;
        if (batch.boneSet != nullptr) {
            remap = std::span<const std::uint8_t>(batch.boneSet->bones,
                                                  static_cast<std::size_t>(std::clamp(batch.boneSet->count, 0,
                                                                                      BoneSet::kMaxBones)));
        }
        SetBonePalette(bones, remap);
    }
    const std::int32_t stride = VertexFormatStride(batch.vertexFormat);
    if (stride == 0 || vertexDeclarations_ == nullptr) return;
    if (!BindStreamZero(batch.vertexBuffer, stride) || !vertexDeclarations_->Select(batch.vertexFormat)) return;
    DrawBatchTriangles(batch, 1);
}

void GraphicsDevice::DrawInstancedBatch(const MeshBatch& batch, std::span<const Matrix44> worlds) {
    DynamicVertexBuffer* rows = GlobalDynamicVertexBuffer();
    if (!device_ || rows == nullptr || worlds.empty() || batch.vertexBuffer == nullptr ||
        batch.indexBuffer == nullptr || batch.vertexFormat != kVertexMesh || vertexDeclarations_ == nullptr) {
        return;
    }
    const auto count = static_cast<std::uint32_t>(worlds.size());
    int first = 0;
    auto* out = static_cast<float*>(rows->Lock(kVertexInstanceRows, static_cast<int>(count), first));
    if (out == nullptr) return;
    for (const Matrix44& world : worlds) {
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 3; ++column) *out++ = world.m[row][column];
        }
    }
    rows->Unlock();
    if (!BindStreamZero(batch.vertexBuffer, VertexFormatStride(kVertexMesh)) ||
        !vertexDeclarations_->Select(kVertexInstancedMesh)) {
        return;
    }
    device_->SetStreamSource(1, rows->Buffer(), static_cast<std::uint32_t>(first) * kInstanceRowBytes,
                             kInstanceRowBytes);
    device_->SetStreamSourceFreq(0, sys::kStreamIndexedData | count);
    device_->SetStreamSourceFreq(1, sys::kStreamInstanceData | 1u);
    DrawBatchTriangles(batch, count);
    device_->SetStreamSourceFreq(0, 1);
    device_->SetStreamSourceFreq(1, 1);
}

void GraphicsDevice::ApplyMaterialStates(const MaterialDef& material) {
    SetCullMode(static_cast<std::uint32_t>(material.cullMode));
    SetColourWriteMask(MaterialColourMask(material));
    SetBlendMode(material.blendMode);
    ApplyMaterialDepthState(material.flags, material.blendMode);
    SetAlphaTest(material.alphaTestMode, static_cast<std::uint32_t>(material.alphaRef));
}

void GraphicsDevice::ApplyFurShellStates(const MaterialDef& material) {
    SetCullMode(static_cast<std::uint32_t>(material.cullMode));
    SetBlendMode(kBlendAlpha);
    SetDepthMode(true, false, false);
    SetAlphaTest(2, 0);
    SetColourWriteMask(7);
}

bool GraphicsDevice::BindMaterial(MaterialDef& material, const MaterialView* view, const Matrix44* worldToModel,
                                  bool skinned, bool instanced) {
    return materialBinder_ != nullptr &&
           materialBinder_->BindMaterial(material, view, worldToModel, skinned, instanced) != 0;
}

void GraphicsDevice::DrawMeshBatch(const MeshBatch& batch, MaterialDef& material, std::span<const Matrix44> bones,
                                   int shell, const MaterialView* view, const Matrix44* worldToModel) {
    if (shell > 0) {
        DrawFurShell(batch, material, bones, shell, view, worldToModel);
        return;
    }
    if (!device_) return;
    ClearShellRegister();
    ApplyMaterialStates(material);
    if (!BindMaterial(material, view, worldToModel, !bones.empty(), false)) return;
    const bool wireframe = (material.flags & kMaterialWireframe) != 0;
    if (wireframe) SetRenderStateCached(sys::kRsFillMode, sys::kFillWireframe);
    DrawIndexedBatch(bones, batch);
    if (wireframe) SetRenderStateCached(sys::kRsFillMode, sys::kFillSolid);
}

void GraphicsDevice::DrawMeshBatchWithMaterial(const MeshBatch& batch, MaterialDef& material,
                                               std::span<const Matrix44> bones, const MaterialView* view,
                                               const Matrix44* worldToModel) {
    DrawMeshBatch(batch, material, bones, 0, view, worldToModel);
}

void GraphicsDevice::DrawMeshBatchInstanced(const MeshBatch& batch, MaterialDef& material,
                                            std::span<const Matrix44> worlds, const MaterialView* view) {
    if (!device_ || worlds.empty()) return;
    ClearShellRegister();
    ApplyMaterialStates(material);
    if (!BindMaterial(material, view, nullptr, false, true)) return;
    const bool wireframe = (material.flags & kMaterialWireframe) != 0;
    if (wireframe) SetRenderStateCached(sys::kRsFillMode, sys::kFillWireframe);
    DrawInstancedBatch(batch, worlds);
    if (wireframe) SetRenderStateCached(sys::kRsFillMode, sys::kFillSolid);
}

void GraphicsDevice::DrawFurShell(const MeshBatch& batch, MaterialDef& material, std::span<const Matrix44> bones,
                                  int shell, const MaterialView* view, const Matrix44* worldToModel) {
    // The shell count is a signed byte in material files: a negative count draws no shells either.
    if (!device_ || material.furShellCount <= 0) return;
    const float fraction = static_cast<float>(shell) / static_cast<float>(material.furShellCount);
    ApplyFurShellStates(material);
    SetVertexVector(ShaderConstantCache::kShellParamsRegister, {fraction, material.furLength, 0.0f, 0.0f});
    SetVertexVector(kFurDirectionRegister, {0.0f, -0.3f, 0.0f, 0.0f});
    // Every shell is drawn by the fur set, whatever set draws the material's base pass.
    const int ownSet = material.shaderSetIndex;
    material.shaderSetIndex = kFurShaderSet;
    const bool bound = BindMaterial(material, view, worldToModel, !bones.empty(), false);
    material.shaderSetIndex = ownSet;
    if (!bound) return;
    const int texture = material.furTexture != 0 ? material.furTexture : FurDefaultTexture();
    SetTexture(0, texture);
    SetTextureFilter(0, 0, 0);
    SetTextureAddressMode(0, 1);
    SetPixelVector(kFurParamsPixelRegister, {fraction, material.furTexScale, 0.0f, 0.0f});
    const bool wireframe = (material.flags & kMaterialWireframe) != 0;
    if (wireframe) SetRenderStateCached(sys::kRsFillMode, sys::kFillWireframe);
    DrawIndexedBatch(bones, batch);
    if (wireframe) SetRenderStateCached(sys::kRsFillMode, sys::kFillSolid);
}

int GraphicsDevice::FurDefaultTexture() {
    const Texture* made = TextureTable::Get(furTexture_);
    if (made != nullptr && made->name.EqualsNarrow(kFurTextureName)) return furTexture_;
    // Each column is one step of a blue-to-red gradient; every row is the same.
    ColourGradient gradient(2);
    gradient.AddKey(0xFF0000FFu);
    gradient.AddKey(0xFFFF0000u);
    Image image;
    if (!image.Create(kFurTextureSize, kFurTextureSize, WideString(kFurTextureName))) return 0;
    for (std::uint32_t y = 0; y < kFurTextureSize; ++y) {
        std::uint8_t* row = image.Pixels() + y * image.Pitch();
        for (std::uint32_t x = 0; x < kFurTextureSize; ++x) {
            const std::uint32_t colour =
                gradient.Sample(static_cast<float>(x) / static_cast<float>(kFurTextureSize - 1));
            for (int byte = 0; byte < 4; ++byte) row[x * 4 + byte] = static_cast<std::uint8_t>(colour >> (8 * byte));
        }
    }
    image.SetAlphaKind(kAlphaOpaque);
    furTexture_ = TextureTable::CreateFromImage(image, 0);
    return furTexture_;
}

}  // namespace engine
