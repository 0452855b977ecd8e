#pragma once
// The vertex-shader manager: a copy of the 256 vertex constant registers, so that a value the device
// already holds is never sent again, the eleven built-in vertex shaders, and the bound vertex shader.
#include <memory>

#include "engine/core/matrix.h"
#include "engine/core/wide_string.h"
#include "engine/render/bone_matrix_writer.h"
#include "engine/render/builtin_shaders.h"
#include "engine/render/shader_device.h"

namespace engine {

class ShaderConstantCache final : public BoneMatrixWriter {
public:
    static constexpr int kRegisterCount = 256;
    // Register c255 belongs to the graphics layer, which refuses writes to it: the cache stops at c254 so that
    // it never holds a value the device does not have.
    static constexpr int kUsableRegisters = 255;
    // Fur-shell parameters (shell / shell count, fur length, 0, 0).
    static constexpr int kShellParamsRegister = 31;

    ShaderConstantCache(ShaderDevice& device, ShaderBindCounters& counters);
    // Unbinds the bound shader (a counted request) and releases the built-in shaders.
    ~ShaderConstantCache() override;
    ShaderConstantCache(const ShaderConstantCache&) = delete;
    ShaderConstantCache& operator=(const ShaderConstantCache&) = delete;

    // Every register becomes unknown (all bytes 0xFF, a NaN), so the next write of each reaches the device.
    // Also done at construction; the device's state-cache reset calls it.
    void MarkUnknown();

    // One register; nothing when the four floats equal the cached ones. Registers outside 0-255 are ignored.
    void SetVector(const Vec4& value, int reg);
    // The transposed matrix into registers reg to reg + 3; nothing when all 16 floats equal the cached ones,
    // else four one-register uploads. Ignored unless all four registers lie in 0-255.
    void SetMatrix(const Matrix44& matrix, int reg);
    void SetBoneMatrix(int reg, const Matrix44& matrix) override { SetMatrix(matrix, reg); }
    // Register 31 to (0, 0, 0, 0) unless it already is.
    void ClearShellParams();

    // Counts a request; binds and counts a change when the shader differs from the bound one.
    void BindVertexShader(VertexShader* shader);
    // Built-in vertex shader `kind` (1-11), built on first use and kept, then bound. Null for another kind or
    // when it does not build (nothing is bound then).
    VertexShader* BuiltinVertexShader(int kind);

    VertexShader* Current() const { return current_; }
    // The device the shaders and constants go to (generated shaders are compiled for it).
    ShaderDevice& Device() const { return device_; }
    // No shader counts as bound any more, so the next bind reaches the device (the device's state-cache reset).
    void ForgetCurrent() { current_ = nullptr; }
    // The cached copy of register `reg` (0-255): four floats.
    const float* Register(int reg) const { return registers_[reg]; }

private:
    ShaderDevice& device_;
    ShaderBindCounters& counters_;
    WideString text_;  // the text of the built-in shader being built
    std::unique_ptr<VertexShader> builtins_[kBuiltinVertexShaderKinds];
    float registers_[kRegisterCount][4];
    VertexShader* current_ = nullptr;
};

}  // namespace engine
