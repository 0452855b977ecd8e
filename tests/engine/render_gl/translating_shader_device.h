#pragma once
// A shader device over the GL test context: shaders are translated to GLSL from their SPIR-V words, as the
// GPU layer will do, and constants go into a drawing fixture's register files. Pairs are linked on demand.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "engine/render/shader_device.h"
#include "support/shader_draw_fixture.h"
#include "sys/shader_link.h"
#include "sys/spirv_to_glsl.h"

namespace rendertest {

struct GlVertexShader : engine::VertexShader {
    sys::GlslShader glsl;
};

struct GlPixelShader : engine::PixelShader {
    sys::GlslShader glsl;
};

class TranslatingShaderDevice : public engine::ShaderDevice {
public:
    explicit TranslatingShaderDevice(testsupport::ShaderDrawFixture* fixture = nullptr) : fixture_(fixture) {}

    std::unique_ptr<engine::VertexShader> CreateVertexShader(std::span<const std::uint32_t> words) override {
        sys::SpirvToGlslResult result = sys::SpirvToGlsl(words, sys::ShaderStage::Vertex);
        if (!result.Ok()) {
            lastError = result.error;
            return nullptr;
        }
        auto shader = std::make_unique<GlVertexShader>();
        shader->glsl = std::move(result.shader);
        return shader;
    }
    std::unique_ptr<engine::PixelShader> CreatePixelShader(std::span<const std::uint32_t> words) override {
        sys::SpirvToGlslResult result = sys::SpirvToGlsl(words, sys::ShaderStage::Pixel);
        if (!result.Ok()) {
            lastError = result.error;
            return nullptr;
        }
        auto shader = std::make_unique<GlPixelShader>();
        shader->glsl = std::move(result.shader);
        return shader;
    }
    void SetVertexShader(engine::VertexShader* shader) override { vertex_ = static_cast<GlVertexShader*>(shader); }
    void SetPixelShader(engine::PixelShader* shader) override { pixel_ = static_cast<GlPixelShader*>(shader); }
    void SetVertexShaderConstantF(int start, const float* values, int count) override {
        for (int i = 0; i < count && fixture_ != nullptr; ++i) {
            fixture_->SetVertexRegister(start + i,
                                        {values[4 * i], values[4 * i + 1], values[4 * i + 2], values[4 * i + 3]});
        }
    }
    void SetPixelShaderConstantF(int start, const float* values, int count) override {
        for (int i = 0; i < count && fixture_ != nullptr; ++i) {
            fixture_->SetPixelRegister(start + i,
                                       {values[4 * i], values[4 * i + 1], values[4 * i + 2], values[4 * i + 3]});
        }
    }

    GlVertexShader* BoundVertex() const { return vertex_; }
    GlPixelShader* BoundPixel() const { return pixel_; }

    std::string lastError;

private:
    testsupport::ShaderDrawFixture* fixture_;
    GlVertexShader* vertex_ = nullptr;
    GlPixelShader* pixel_ = nullptr;
};

// A program linked from two translated shaders, deleted with the object.
class LinkedPair {
public:
    LinkedPair(const engine::VertexShader* vertex, const engine::PixelShader* pixel) {
        if (vertex == nullptr || pixel == nullptr) {
            error_ = "missing shader";
            return;
        }
        const sys::ShaderLinkResult linked = sys::LinkShaderPair(static_cast<const GlVertexShader*>(vertex)->glsl,
                                                                 static_cast<const GlPixelShader*>(pixel)->glsl);
        id_ = linked.program;
        error_ = linked.error;
    }
    ~LinkedPair() { sys::DeleteShaderProgram(id_); }
    LinkedPair(const LinkedPair&) = delete;
    LinkedPair& operator=(const LinkedPair&) = delete;

    std::uint32_t Id() const { return id_; }
    const std::string& Error() const { return error_; }

private:
    std::uint32_t id_ = 0;
    std::string error_;
};

inline const sys::GlslShader& Glsl(const engine::VertexShader* shader) {
    return static_cast<const GlVertexShader*>(shader)->glsl;
}
inline const sys::GlslShader& Glsl(const engine::PixelShader* shader) {
    return static_cast<const GlPixelShader*>(shader)->glsl;
}

}  // namespace rendertest
