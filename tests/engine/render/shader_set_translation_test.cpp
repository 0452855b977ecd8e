// Every shader set's vertex and pixel variants, for every lighting model and bump flag under a table of
// representative light words, compile from HLSL and translate to GLSL (CPU only).
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "material_manager_fixture.h"
#include "representative_keys.h"
#include "sys/spirv_to_glsl.h"

namespace {

using namespace engine;

// Creates shaders only from words the GLSL back end translates.
class TranslatingDevice : public mtltest::FailingShaderDevice {
public:
    std::unique_ptr<VertexShader> CreateVertexShader(std::span<const std::uint32_t> words) override {
        if (!Translates(words, sys::ShaderStage::Vertex)) return nullptr;
        return FailingShaderDevice::CreateVertexShader(words);
    }
    std::unique_ptr<PixelShader> CreatePixelShader(std::span<const std::uint32_t> words) override {
        if (!Translates(words, sys::ShaderStage::Pixel)) return nullptr;
        return FailingShaderDevice::CreatePixelShader(words);
    }
    std::string lastError;

private:
    bool Translates(std::span<const std::uint32_t> words, sys::ShaderStage stage) {
        const sys::SpirvToGlslResult result = sys::SpirvToGlsl(words, stage);
        if (!result.Ok()) lastError = result.error;
        return result.Ok();
    }
};

class ShaderSetTranslation : public ::testing::Test {
protected:
    void SetUp() override {
        ShaderSetServices services;
        services.states = &states;
        services.textures = &textures;
        services.vertexShaders = &vertexShaders;
        services.pixelShaders = &pixelShaders;
        manager = std::make_unique<MaterialManager>(services);
        manager->CreateShaderSets();
    }

    static std::vector<std::uint32_t> LightWords() {
        std::vector<std::uint32_t> words = {0};
        for (std::uint32_t flags : rendertest::RepresentativeLightFlags()) words.push_back(flags);
        return words;
    }

    testsupport::TempFolder home;
    platformtest::ScopedEnv cacheHome{"XDG_CACHE_HOME", home.Path().c_str()};
    mtltest::FakeStageTextures textures;
    mtltest::StageStateDevice states;
    TranslatingDevice device;
    ShaderBindCounters counters;
    ShaderConstantCache vertexShaders{device, counters};
    ShaderTextBuffer pixelShaders{device, counters};
    std::unique_ptr<MaterialManager> manager;
};

TEST_F(ShaderSetTranslation, EveryPixelVariantTranslates) {
    for (int index = 0; index < kShaderSetCount; ++index) {
        ShaderSet& set = *manager->Set(index);
        for (std::uint32_t flags : LightWords()) {
            for (int model = 0; model <= 4; ++model) {
                for (bool bump : {false, true}) {
                    EXPECT_NE(set.BuildPixelShader(flags, model, bump), nullptr)
                        << "set " << index << " flags " << flags << " model " << model << " bump " << bump << "\n"
                        << device.lastError << "\n"
                        << pixelShaders.Text();
                }
            }
        }
    }
}

TEST_F(ShaderSetTranslation, EveryVertexVariantTranslates) {
    for (int index = 0; index < kShaderSetCount; ++index) {
        ShaderSet& set = *manager->Set(index);
        for (std::uint32_t flags : LightWords()) {
            for (bool bump : {false, true}) {
                for (int kind = 0; kind < 3; ++kind) {
                    EXPECT_NE(set.BuildVertexShader(kind == 1, kind == 2, flags, bump), nullptr)
                        << "set " << index << " flags " << flags << " kind " << kind << " bump " << bump << "\n"
                        << device.lastError << "\n"
                        << pixelShaders.Text();
                }
            }
        }
    }
    ShaderSet& texture = *manager->Set(kSetTexture);
    for (int kind = 0; kind < 4; ++kind) {
        EXPECT_NE(texture.BuildShadowVertexShader(kind >= 2, (kind & 1) != 0), nullptr) << kind << device.lastError;
    }
    EXPECT_NE(texture.BuildShadowPixelShader(), nullptr) << device.lastError;
}

}  // namespace
