#pragma once
// The shader slice over the GPU layer's device: the managers' shader objects own the layer's shaders and
// release them when destroyed. The device can be attached after the managers are made (they come before the
// graphics device) and detached before it goes; without a device nothing is created and nothing is sent.
#include <cstdint>
#include <memory>
#include <span>

#include "engine/render/shader_device.h"

namespace sys {
class GpuDevice;
class GpuPixelShader;
class GpuVertexShader;
}  // namespace sys

namespace engine {

class GpuShaderDevice final : public ShaderDevice {
public:
    explicit GpuShaderDevice(sys::GpuDevice* device = nullptr) : device_(device) {}

    void SetDevice(sys::GpuDevice* device) { device_ = device; }
    sys::GpuDevice* Device() const { return device_; }

    std::unique_ptr<VertexShader> CreateVertexShader(std::span<const std::uint32_t> words) override;
    std::unique_ptr<PixelShader> CreatePixelShader(std::span<const std::uint32_t> words) override;
    const sys::GlslShader* TranslatedText(const VertexShader& shader) const override;
    const sys::GlslShader* TranslatedText(const PixelShader& shader) const override;
    std::unique_ptr<VertexShader> CreateVertexShaderFromText(const sys::GlslShader& glsl) override;
    std::unique_ptr<PixelShader> CreatePixelShaderFromText(const sys::GlslShader& glsl) override;
    // Shaders must come from this adapter.
    void SetVertexShader(VertexShader* shader) override;
    void SetPixelShader(PixelShader* shader) override;
    void SetVertexShaderConstantF(int startRegister, const float* values, int registerCount) override;
    void SetPixelShaderConstantF(int startRegister, const float* values, int registerCount) override;

    // The layer's shader of an object this adapter made; null for null.
    static sys::GpuVertexShader* GpuShader(VertexShader* shader);
    static sys::GpuPixelShader* GpuShader(PixelShader* shader);

private:
    sys::GpuDevice* device_;
};

}  // namespace engine
