#pragma once
// A shader device that records what it is asked to do: the words of every shader created, every bind and
// every constant upload. It can be told to refuse given words, as a device or the GLSL back end would. Told
// to keep texts, it stands for a translating device: each shader holds a text made from its words (not a
// real translation), which the device hands out and takes back, refusing the texts it is told to.
#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "engine/render/shader_device.h"
#include "sys/spirv_to_glsl.h"

namespace rendertest {

using Words = std::vector<std::uint32_t>;

struct RecordedVertexShader : engine::VertexShader {
    explicit RecordedVertexShader(Words w) : words(std::move(w)) {}
    Words words;
    sys::GlslShader glsl;
};

struct RecordedPixelShader : engine::PixelShader {
    explicit RecordedPixelShader(Words w) : words(std::move(w)) {}
    Words words;
    sys::GlslShader glsl;
};

// The stand-in text of the words: every word in decimal, and a reflection with one entry of each list.
inline sys::GlslShader TextOfWords(const Words& words, sys::ShaderStage stage) {
    sys::GlslShader glsl;
    for (const std::uint32_t word : words) glsl.text += std::to_string(word) + " ";
    glsl.reflection.stage = stage;
    glsl.reflection.constants = {{"Tint", 0, 1}};
    glsl.reflection.samplers = {{"Texture0", 2}};
    glsl.reflection.inputs = {{"TEXCOORD0", "vec2", 2, false, 1}};
    glsl.reflection.outputs = {{"COLOR0", "vec4", 4, false, 0}};
    return glsl;
}

struct ConstantUpload {
    int startRegister = 0;
    std::vector<std::array<float, 4>> values;  // one per register
};

class RecordingShaderDevice : public engine::ShaderDevice {
public:
    std::unique_ptr<engine::VertexShader> CreateVertexShader(std::span<const std::uint32_t> words) override {
        Words copy(words.begin(), words.end());
        vertexCreates.push_back(copy);
        if (Refuses(copy)) return nullptr;
        auto shader = std::make_unique<RecordedVertexShader>(std::move(copy));
        shader->glsl = TextOfWords(shader->words, sys::ShaderStage::Vertex);
        return shader;
    }
    std::unique_ptr<engine::PixelShader> CreatePixelShader(std::span<const std::uint32_t> words) override {
        Words copy(words.begin(), words.end());
        pixelCreates.push_back(copy);
        if (Refuses(copy)) return nullptr;
        auto shader = std::make_unique<RecordedPixelShader>(std::move(copy));
        shader->glsl = TextOfWords(shader->words, sys::ShaderStage::Pixel);
        return shader;
    }
    const sys::GlslShader* TranslatedText(const engine::VertexShader& shader) const override {
        return keepsTexts ? &static_cast<const RecordedVertexShader&>(shader).glsl : nullptr;
    }
    const sys::GlslShader* TranslatedText(const engine::PixelShader& shader) const override {
        return keepsTexts ? &static_cast<const RecordedPixelShader&>(shader).glsl : nullptr;
    }
    std::unique_ptr<engine::VertexShader> CreateVertexShaderFromText(const sys::GlslShader& glsl) override {
        if (!keepsTexts) return nullptr;
        vertexTextCreates.push_back(glsl.text);
        if (RefusesText(glsl.text)) return nullptr;
        auto shader = std::make_unique<RecordedVertexShader>(Words{});
        shader->glsl = glsl;
        return shader;
    }
    std::unique_ptr<engine::PixelShader> CreatePixelShaderFromText(const sys::GlslShader& glsl) override {
        if (!keepsTexts) return nullptr;
        pixelTextCreates.push_back(glsl.text);
        if (RefusesText(glsl.text)) return nullptr;
        auto shader = std::make_unique<RecordedPixelShader>(Words{});
        shader->glsl = glsl;
        return shader;
    }
    void SetVertexShader(engine::VertexShader* shader) override { vertexBinds.push_back(shader); }
    void SetPixelShader(engine::PixelShader* shader) override { pixelBinds.push_back(shader); }
    void SetVertexShaderConstantF(int start, const float* values, int count) override {
        vertexUploads.push_back(Record(start, values, count));
    }
    void SetPixelShaderConstantF(int start, const float* values, int count) override {
        pixelUploads.push_back(Record(start, values, count));
    }

    // The registers as the uploads left them (registers never written read NaN).
    std::array<float, 4> VertexRegister(int reg) const { return Latest(vertexUploads, reg); }
    std::array<float, 4> PixelRegister(int reg) const { return Latest(pixelUploads, reg); }
    bool PixelRegisterWritten(int reg) const { return Written(pixelUploads, reg); }
    bool VertexRegisterWritten(int reg) const { return Written(vertexUploads, reg); }

    std::vector<Words> refused;  // words this device refuses
    bool keepsTexts = false;
    std::vector<std::string> refusedTexts;  // texts this device refuses
    std::vector<std::string> vertexTextCreates;
    std::vector<std::string> pixelTextCreates;
    std::vector<Words> vertexCreates;
    std::vector<Words> pixelCreates;
    std::vector<engine::VertexShader*> vertexBinds;
    std::vector<engine::PixelShader*> pixelBinds;
    std::vector<ConstantUpload> vertexUploads;
    std::vector<ConstantUpload> pixelUploads;

private:
    bool Refuses(const Words& words) const { return std::find(refused.begin(), refused.end(), words) != refused.end(); }
    bool RefusesText(const std::string& text) const {
        return std::find(refusedTexts.begin(), refusedTexts.end(), text) != refusedTexts.end();
    }

    static ConstantUpload Record(int start, const float* values, int count) {
        ConstantUpload upload{start, {}};
        for (int i = 0; i < count; ++i) {
            upload.values.push_back({values[4 * i], values[4 * i + 1], values[4 * i + 2], values[4 * i + 3]});
        }
        return upload;
    }
    static bool Written(const std::vector<ConstantUpload>& uploads, int reg) {
        for (const ConstantUpload& u : uploads) {
            if (reg >= u.startRegister && reg < u.startRegister + static_cast<int>(u.values.size())) return true;
        }
        return false;
    }
    static std::array<float, 4> Latest(const std::vector<ConstantUpload>& uploads, int reg) {
        const float nan = std::numeric_limits<float>::quiet_NaN();
        std::array<float, 4> value = {nan, nan, nan, nan};
        for (const ConstantUpload& u : uploads) {
            if (reg >= u.startRegister && reg < u.startRegister + static_cast<int>(u.values.size())) {
                value = u.values[static_cast<std::size_t>(reg - u.startRegister)];
            }
        }
        return value;
    }
};

}  // namespace rendertest
