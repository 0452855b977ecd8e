#pragma once
// A material manager over recording fakes: stage textures that log their binds and know each texture's flags
// and alpha kind, a render device that keeps the filter and addressing of every stage, and a shader device
// that can refuse the next shaders created. Shaders are compiled into a cache folder of the test's own.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/scoped_env.h"
#include "engine/render/material_def.h"
#include "engine/render/material_manager.h"
#include "engine/render/material_stage_textures.h"
#include "engine/render/shader_constant_cache.h"
#include "engine/render/shader_text_buffer.h"
#include "recording_render_device.h"
#include "recording_shader_device.h"
#include "support/temp_folder.h"

namespace mtltest {

class FakeStageTextures : public engine::MaterialStageTextures {
public:
    static constexpr int kCheck = 501;
    static constexpr int kCheckCube = 502;

    void Bind(std::uint32_t stage, int handle) override {
        log.push_back("bind " + std::to_string(stage) + " " + std::to_string(handle));
    }
    void Unbind(std::uint32_t stage) override { log.push_back("unbind " + std::to_string(stage)); }
    std::uint32_t Flags(int handle) const override {
        const auto it = flags.find(handle);
        return it != flags.end() ? it->second : 0;
    }
    engine::AlphaKind Alpha(int handle) const override {
        const auto it = alpha.find(handle);
        return it != alpha.end() ? it->second : engine::kAlphaOpaque;
    }
    int CheckTexture() override { return placeholders ? kCheck : 0; }
    int CheckCubeMap() override { return placeholders ? kCheckCube : 0; }

    std::map<int, std::uint32_t> flags;
    std::map<int, engine::AlphaKind> alpha;
    std::vector<std::string> log;
    bool placeholders = true;
};

// Filter kind and address mode per stage (-1: never set).
class StageStateDevice : public testsupport::RecordingRenderDevice {
public:
    void SetTextureFilter(std::uint32_t stage, int kind, std::uint32_t) override { filter[stage] = kind; }
    void SetTextureAddressMode(std::uint32_t stage, int mode) override { address[stage] = mode; }
    int Filter(std::uint32_t stage) const { return filter.count(stage) != 0 ? filter.at(stage) : -1; }
    int Address(std::uint32_t stage) const { return address.count(stage) != 0 ? address.at(stage) : -1; }
    std::map<std::uint32_t, int> filter;
    std::map<std::uint32_t, int> address;
};

// While refuseVertex / refusePixel is set, every shader of that stage is refused whatever its words.
class FailingShaderDevice : public rendertest::RecordingShaderDevice {
public:
    std::unique_ptr<engine::VertexShader> CreateVertexShader(std::span<const std::uint32_t> words) override {
        auto shader = RecordingShaderDevice::CreateVertexShader(words);
        return refuseVertex ? nullptr : std::move(shader);
    }
    std::unique_ptr<engine::PixelShader> CreatePixelShader(std::span<const std::uint32_t> words) override {
        auto shader = RecordingShaderDevice::CreatePixelShader(words);
        return refusePixel ? nullptr : std::move(shader);
    }
    bool refuseVertex = false;
    bool refusePixel = false;
};

class FixedView : public engine::MaterialView {
public:
    FixedView(engine::ColourF s, engine::ColourF o) : scale(s), offset(o) {}
    engine::ColourF ColourScale() const override { return scale; }
    engine::ColourF ColourOffset() const override { return offset; }
    engine::ColourF scale;
    engine::ColourF offset;
};

class MaterialManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine::ShaderSetServices services;
        services.states = &states;
        services.textures = &textures;
        services.vertexShaders = &vertexShaders;
        services.pixelShaders = &pixelShaders;
        manager = std::make_unique<engine::MaterialManager>(services);
        manager->CreateShaderSets();
    }

    // A material of a set and lighting model with the defaults.
    static engine::MaterialDef Material(int set, int model) {
        engine::MaterialDef material;
        material.shaderSetIndex = set;
        material.lightingModel = model;
        return material;
    }

    testsupport::TempFolder home;
    platformtest::ScopedEnv cacheHome{"XDG_CACHE_HOME", home.Path().c_str()};
    FakeStageTextures textures;
    StageStateDevice states;
    FailingShaderDevice device;
    engine::ShaderBindCounters counters;
    engine::ShaderConstantCache vertexShaders{device, counters};
    engine::ShaderTextBuffer pixelShaders{device, counters};
    std::unique_ptr<engine::MaterialManager> manager;
};

}  // namespace mtltest
