#pragma once
// The pixel-shader manager: the shared text in which shader texts are generated, the built-in pixel shaders
// that other parts of the renderer fill on first use, the bound pixel shader and the pixel constants.
// Pixel constants have no cache: every call uploads.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/core/matrix.h"
#include "engine/core/vector.h"
#include "engine/render/shader_device.h"

namespace engine {

// Slots of the built-in pixel shaders.
enum class BuiltinPixelShader {
    VertexColour,  // line drawing with vertex colours
    SkyBox,        // the cube-mapped sky box
    Blur,          // the plain blur pass of the glow
    AlphaBlur,     // the transparency-weighted blur pass
    Bloom,         // the glow's bloom
    Monochrome,    // the monochrome tint
    DepthOnly,     // the shadow pass's depth output
    TextureColour,        // 2D: the texture times the colour in c0
    GreyTint,             // 2D: the texture's grey tinted by the colour in c0
    PlainTexture,         // 2D: the texture as it is
    TextureVertexColour,  // 2D: the texture times the vertex colours (sprite batches)
    Count
};

class ShaderTextBuffer {
public:
    ShaderTextBuffer(ShaderDevice& device, ShaderBindCounters& counters);
    // Unbinds the bound shader (a counted request) and releases the built-in shaders.
    ~ShaderTextBuffer();
    ShaderTextBuffer(const ShaderTextBuffer&) = delete;
    ShaderTextBuffer& operator=(const ShaderTextBuffer&) = delete;

    // The shared shader text; generators replace or clear it before writing a shader.
    std::string& Text() { return text_; }

    // Counts a request; binds and counts a change when the shader differs from the bound one.
    void BindPixelShader(PixelShader* shader);
    PixelShader* Current() const { return current_; }
    // No shader counts as bound any more, so the next bind reaches the device (the device's state-cache reset).
    void ForgetCurrent() { current_ = nullptr; }

    // The built-in shader of `slot`, compiled from `text` on first use and kept (the text of a later call is
    // not looked at). Null while it does not compile; the next call tries again.
    PixelShader* GetBuiltinPixelShader(BuiltinPixelShader slot, std::string_view text);

    // The transposed matrix into registers reg to reg + 3.
    void SetPixelMatrix(const Matrix44& matrix, int reg);
    // (r, g, b, a) of an ARGB word, each / 255, into one register.
    void SetPixelColour(std::uint32_t argb, int reg);
    // (x, y, z, 1) into one register.
    void SetPixelVector3(const Vec3& v, int reg);
    // Four floats into one register.
    void SetPixelVector(const Vec4& v, int reg);

private:
    ShaderDevice& device_;
    ShaderBindCounters& counters_;
    std::string text_;
    std::unique_ptr<PixelShader> builtins_[static_cast<int>(BuiltinPixelShader::Count)];
    PixelShader* current_ = nullptr;
};

}  // namespace engine
