// Draws from dynamic buffers, coloured lines and the bone palette.
#include <algorithm>

#include "engine/render/dynamic_vertex_buffer.h"
#include "engine/render/graphics_device.h"
#include "engine/render/quad_shaders.h"
#include "engine/render/shader_constant_cache.h"
#include "engine/render/shader_text_buffer.h"
#include "engine/render/vertex_formats.h"
#include "sys/gpu_device.h"

namespace engine {

sys::GpuResult GraphicsDevice::DrawDynamic(sys::GpuPrimitiveType type, std::uint32_t startVertex,
                                           std::uint32_t primitiveCount, DynamicVertexBuffer* buffer,
                                           int vertexFormat) {
    if (!device_) return sys::kGpuInvalidCall;
    DynamicVertexBuffer* source = buffer != nullptr ? buffer : GlobalDynamicVertexBuffer();
    if (source == nullptr || source->Buffer() == nullptr) return sys::kGpuInvalidCall;
    sys::GpuVertexBuffer* vertices = source->Buffer();
    // The buffer's vertices are read through their format's declaration, whatever was drawn before.
    SelectVertexFormat(vertexFormat);
    const std::int32_t stride = VertexFormatStride(vertexFormat);
    if (vertices != cachedStream_ || stride != cachedStride_) {
        if (device_->SetStreamSource(0, vertices, 0, static_cast<std::uint32_t>(stride)) == sys::kGpuOk) {
            cachedStream_ = vertices;
            cachedStride_ = stride;
        }
    }
    const sys::GpuResult result = device_->DrawPrimitive(type, startVertex, primitiveCount);
    if (sys::GpuFailed(result)) cachedStream_ = nullptr;
    return result;
}

bool GraphicsDevice::SelectVertexFormat(int format) {
    return vertexDeclarations_ != nullptr && vertexDeclarations_->Select(format);
}

sys::GpuResult GraphicsDevice::DrawFromMemory(sys::GpuPrimitiveType type, std::uint32_t primitiveCount,
                                              const void* vertices, int vertexFormat) {
    const std::int32_t stride = VertexFormatStride(vertexFormat);
    if (!device_ || vertices == nullptr || stride <= 0) return sys::kGpuInvalidCall;
    if (!SelectVertexFormat(vertexFormat)) return sys::kGpuInvalidCall;
    const sys::GpuResult result =
        device_->DrawPrimitiveUP(type, primitiveCount, vertices, static_cast<std::uint32_t>(stride));
    cachedStream_ = nullptr;
    return result;
}

bool GraphicsDevice::BindVertexColourShaders() {
    if (vertexShaders_ == nullptr || pixelShaders_ == nullptr) return false;
    PixelShader* pixel =
        pixelShaders_->GetBuiltinPixelShader(BuiltinPixelShader::VertexColour,
                                             QuadPixelShaderText(QuadPixelShader::VertexColour));
    if (pixel == nullptr || vertexShaders_->BuiltinVertexShader(3) == nullptr) return false;
    pixelShaders_->BindPixelShader(pixel);
    return true;
}

void GraphicsDevice::DrawVertexColoured(const ColouredVertex* vertices, int count) {
    if (count <= 0 || vertices == nullptr || !device_) return;
    SetBlendMode(kBlendOff);
    SetAlphaTest(0, 0);
    SetDepthMode(true, true, false);
    UnbindAllTextures();
    if (!BindVertexColourShaders()) return;
    if (vertexDeclarations_ == nullptr || !vertexDeclarations_->Select(kVertexColour)) return;
    device_->DrawPrimitiveUP(sys::kPrimLineList, static_cast<std::uint32_t>(count / 2), vertices,
                             sizeof(ColouredVertex));
    // Drawing from memory leaves stream 0 unbound on the device.
    cachedStream_ = nullptr;
}

void GraphicsDevice::SetBonePalette(std::span<const Matrix44> palette, std::span<const std::uint8_t> remap) {
    if (!device_) return;
    // The shaders address 40 bones, registers 33 to 192; more would run into the registers after them.
    const std::size_t bones = std::min<std::size_t>(remap.empty() ? palette.size() : remap.size(), kMaxBones);
    for (std::size_t i = 0; i < bones; ++i) {
        const std::size_t index = remap.empty() ? i : remap[i];
        if (index >= palette.size()) continue;
        const int firstRegister = kFirstBoneRegister + 4 * static_cast<int>(i);
        if (boneWriter_ != nullptr) {
            boneWriter_->SetBoneMatrix(firstRegister, palette[index]);
        } else {
            const Matrix44 transposed = palette[index].Transpose();
            device_->SetVertexShaderConstantF(static_cast<std::uint32_t>(firstRegister), &transposed.m[0][0], 4);
        }
    }
}

}  // namespace engine
