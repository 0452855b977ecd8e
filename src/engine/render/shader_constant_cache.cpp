#include "engine/render/shader_constant_cache.h"

#include <cstring>
#include <string_view>

#include "engine/render/shader_cache.h"

namespace engine {

namespace {

bool SameFloats(const float* a, const float* b, int count) {
    for (int i = 0; i < count; ++i) {
        if (!(a[i] == b[i])) return false;
    }
    return true;
}

}  // namespace

ShaderConstantCache::ShaderConstantCache(ShaderDevice& device, ShaderBindCounters& counters)
    : device_(device), counters_(counters) {
    MarkUnknown();
}

ShaderConstantCache::~ShaderConstantCache() {
    BindVertexShader(nullptr);
    for (auto& builtin : builtins_) builtin.reset();
}

void ShaderConstantCache::MarkUnknown() { std::memset(registers_, 0xFF, sizeof(registers_)); }

void ShaderConstantCache::SetVector(const Vec4& value, int reg) {
    if (reg < 0 || reg >= kUsableRegisters) return;
    const float values[4] = {value.x, value.y, value.z, value.w};
    if (SameFloats(registers_[reg], values, 4)) return;
    std::memcpy(registers_[reg], values, sizeof(values));
    device_.SetVertexShaderConstantF(reg, registers_[reg], 1);
}

void ShaderConstantCache::SetMatrix(const Matrix44& matrix, int reg) {
    if (reg < 0 || reg > kUsableRegisters - 4) return;
    const Matrix44 transposed = matrix.Transpose();
    if (SameFloats(registers_[reg], &transposed.m[0][0], 16)) return;
    std::memcpy(registers_[reg], &transposed.m[0][0], sizeof(transposed.m));
    for (int i = 0; i < 4; ++i) device_.SetVertexShaderConstantF(reg + i, registers_[reg + i], 1);
}

void ShaderConstantCache::ClearShellParams() { SetVector(Vec4{}, kShellParamsRegister); }

void ShaderConstantCache::BindVertexShader(VertexShader* shader) {
    ++counters_.vertexRequests;
    if (shader == current_) return;
    ++counters_.vertexChanges;
    device_.SetVertexShader(shader);
    current_ = shader;
}

VertexShader* ShaderConstantCache::BuiltinVertexShader(int kind) {
    if (kind < 1 || kind > kBuiltinVertexShaderKinds) return nullptr;
    std::unique_ptr<VertexShader>& slot = builtins_[kind - 1];
    if (!slot) {
        if (!WriteBuiltinVertexShaderText(kind, text_)) return nullptr;
        slot = CompileVertexShader(device_, std::string_view(text_.GetNarrow()));
        if (!slot) return nullptr;
    }
    BindVertexShader(slot.get());
    return slot.get();
}

}  // namespace engine
