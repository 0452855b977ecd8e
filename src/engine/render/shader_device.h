#pragma once
// The shader slice of the graphics device: shader objects made from SPIR-V words, the bound shaders and
// the constant registers of both stages. The GPU layer implements it; tests use a recording fake.
#include <cstdint>
#include <memory>
#include <span>

namespace sys {
struct GlslShader;
}  // namespace sys

namespace engine {

// Shader objects of the device. The owner destroys them; a shader must not be destroyed while it is bound.
class VertexShader {
public:
    virtual ~VertexShader() = default;
};

class PixelShader {
public:
    virtual ~PixelShader() = default;
};

class ShaderDevice {
public:
    virtual ~ShaderDevice() = default;

    // A shader from SPIR-V words of the matching stage; null when the device refuses them.
    virtual std::unique_ptr<VertexShader> CreateVertexShader(std::span<const std::uint32_t> words) = 0;
    virtual std::unique_ptr<PixelShader> CreatePixelShader(std::span<const std::uint32_t> words) = 0;
    // A device that translates the words to GLSL can hand out the text it made (for the shader cache to keep)
    // and make a shader from such a text again without translating. One that cannot gives null to both.
    virtual const sys::GlslShader* TranslatedText(const VertexShader&) const { return nullptr; }
    virtual const sys::GlslShader* TranslatedText(const PixelShader&) const { return nullptr; }
    virtual std::unique_ptr<VertexShader> CreateVertexShaderFromText(const sys::GlslShader&) { return nullptr; }
    virtual std::unique_ptr<PixelShader> CreatePixelShaderFromText(const sys::GlslShader&) { return nullptr; }
    // Null unbinds.
    virtual void SetVertexShader(VertexShader* shader) = 0;
    virtual void SetPixelShader(PixelShader* shader) = 0;
    // `registerCount` float4 registers from `values`, starting at `startRegister`.
    virtual void SetVertexShaderConstantF(int startRegister, const float* values, int registerCount) = 0;
    virtual void SetPixelShaderConstantF(int startRegister, const float* values, int registerCount) = 0;
};

// How often shaders were asked to be bound, and how often that changed the bound shader. The engine root
// keeps one set for both managers.
struct ShaderBindCounters {
    std::uint64_t vertexRequests = 0;
    std::uint64_t vertexChanges = 0;
    std::uint64_t pixelRequests = 0;
    std::uint64_t pixelChanges = 0;
};

}  // namespace engine
