#include "engine/render/shader_text_buffer.h"

#include "engine/image/colour_gradient.h"
#include "engine/render/shader_cache.h"

namespace engine {

namespace {

// Register c255 belongs to the graphics layer (the alpha test).
constexpr int kPixelRegisterCount = 255;

}  // namespace

ShaderTextBuffer::ShaderTextBuffer(ShaderDevice& device, ShaderBindCounters& counters)
    : device_(device), counters_(counters) {}

ShaderTextBuffer::~ShaderTextBuffer() {
    BindPixelShader(nullptr);
    for (auto& builtin : builtins_) builtin.reset();
}

void ShaderTextBuffer::BindPixelShader(PixelShader* shader) {
    ++counters_.pixelRequests;
    if (shader == current_) return;
    ++counters_.pixelChanges;
    device_.SetPixelShader(shader);
    current_ = shader;
}

PixelShader* ShaderTextBuffer::GetBuiltinPixelShader(BuiltinPixelShader slot, std::string_view text) {
    const int index = static_cast<int>(slot);
    if (index < 0 || index >= static_cast<int>(BuiltinPixelShader::Count)) return nullptr;
    if (!builtins_[index]) builtins_[index] = CompilePixelShader(device_, text);
    return builtins_[index].get();
}

void ShaderTextBuffer::SetPixelMatrix(const Matrix44& matrix, int reg) {
    if (reg < 0 || reg > kPixelRegisterCount - 4) return;
    const Matrix44 transposed = matrix.Transpose();
    device_.SetPixelShaderConstantF(reg, &transposed.m[0][0], 4);
}

void ShaderTextBuffer::SetPixelColour(std::uint32_t argb, int reg) {
    if (reg < 0 || reg >= kPixelRegisterCount) return;
    const ColourF colour = ArgbToColourF(argb);
    const float values[4] = {colour.r, colour.g, colour.b, colour.a};
    device_.SetPixelShaderConstantF(reg, values, 1);
}

void ShaderTextBuffer::SetPixelVector3(const Vec3& v, int reg) {
    if (reg < 0 || reg >= kPixelRegisterCount) return;
    const float values[4] = {v.x, v.y, v.z, 1.0f};
    device_.SetPixelShaderConstantF(reg, values, 1);
}

void ShaderTextBuffer::SetPixelVector(const Vec4& v, int reg) {
    if (reg < 0 || reg >= kPixelRegisterCount) return;
    const float values[4] = {v.x, v.y, v.z, v.w};
    device_.SetPixelShaderConstantF(reg, values, 1);
}

}  // namespace engine
