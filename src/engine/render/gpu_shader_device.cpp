#include "engine/render/gpu_shader_device.h"

#include "sys/gpu_device.h"

namespace engine {
namespace {

// A shader object holding one reference to the layer's shader.
template <typename Base, typename Gpu>
class OwnedShader final : public Base {
public:
    explicit OwnedShader(Gpu* shader) : shader_(shader) {}
    ~OwnedShader() override { shader_->Release(); }
    OwnedShader(const OwnedShader&) = delete;
    OwnedShader& operator=(const OwnedShader&) = delete;

    Gpu* Shader() const { return shader_; }

private:
    Gpu* shader_;
};

using OwnedVertexShader = OwnedShader<VertexShader, sys::GpuVertexShader>;
using OwnedPixelShader = OwnedShader<PixelShader, sys::GpuPixelShader>;

}  // namespace

std::unique_ptr<VertexShader> GpuShaderDevice::CreateVertexShader(std::span<const std::uint32_t> words) {
    if (device_ == nullptr) return nullptr;
    sys::GpuVertexShader* shader = device_->CreateVertexShader(words);
    if (shader == nullptr) return nullptr;
    return std::make_unique<OwnedVertexShader>(shader);
}

std::unique_ptr<PixelShader> GpuShaderDevice::CreatePixelShader(std::span<const std::uint32_t> words) {
    if (device_ == nullptr) return nullptr;
    sys::GpuPixelShader* shader = device_->CreatePixelShader(words);
    if (shader == nullptr) return nullptr;
    return std::make_unique<OwnedPixelShader>(shader);
}

const sys::GlslShader* GpuShaderDevice::TranslatedText(const VertexShader& shader) const {
    return &static_cast<const OwnedVertexShader&>(shader).Shader()->Glsl();
}

const sys::GlslShader* GpuShaderDevice::TranslatedText(const PixelShader& shader) const {
    return &static_cast<const OwnedPixelShader&>(shader).Shader()->Glsl();
}

std::unique_ptr<VertexShader> GpuShaderDevice::CreateVertexShaderFromText(const sys::GlslShader& glsl) {
    if (device_ == nullptr) return nullptr;
    sys::GpuVertexShader* shader = device_->CreateVertexShaderFromGlsl(glsl);
    if (shader == nullptr) return nullptr;
    return std::make_unique<OwnedVertexShader>(shader);
}

std::unique_ptr<PixelShader> GpuShaderDevice::CreatePixelShaderFromText(const sys::GlslShader& glsl) {
    if (device_ == nullptr) return nullptr;
    sys::GpuPixelShader* shader = device_->CreatePixelShaderFromGlsl(glsl);
    if (shader == nullptr) return nullptr;
    return std::make_unique<OwnedPixelShader>(shader);
}

sys::GpuVertexShader* GpuShaderDevice::GpuShader(VertexShader* shader) {
    return shader != nullptr ? static_cast<OwnedVertexShader*>(shader)->Shader() : nullptr;
}

sys::GpuPixelShader* GpuShaderDevice::GpuShader(PixelShader* shader) {
    return shader != nullptr ? static_cast<OwnedPixelShader*>(shader)->Shader() : nullptr;
}

void GpuShaderDevice::SetVertexShader(VertexShader* shader) {
    if (device_ != nullptr) device_->SetVertexShader(GpuShader(shader));
}

void GpuShaderDevice::SetPixelShader(PixelShader* shader) {
    if (device_ != nullptr) device_->SetPixelShader(GpuShader(shader));
}

void GpuShaderDevice::SetVertexShaderConstantF(int startRegister, const float* values, int registerCount) {
    if (device_ == nullptr || startRegister < 0 || registerCount <= 0) return;
    device_->SetVertexShaderConstantF(static_cast<std::uint32_t>(startRegister), values,
                                      static_cast<std::uint32_t>(registerCount));
}

void GpuShaderDevice::SetPixelShaderConstantF(int startRegister, const float* values, int registerCount) {
    if (device_ == nullptr || startRegister < 0 || registerCount <= 0) return;
    device_->SetPixelShaderConstantF(static_cast<std::uint32_t>(startRegister), values,
                                     static_cast<std::uint32_t>(registerCount));
}

}  // namespace engine
