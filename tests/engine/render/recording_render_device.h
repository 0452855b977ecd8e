#pragma once
// A RenderDevice that records the states it is given and the dynamic draws, and a dynamic vertex buffer that
// hands out host memory, so 2D drawing can be checked without a GPU.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/render/dynamic_vertex_buffer.h"
#include "engine/render/render_device.h"

namespace testsupport {

class HostDynamicBuffer final : public engine::DynamicVertexBuffer {
public:
    HostDynamicBuffer() : engine::DynamicVertexBuffer(nullptr, true, 0) {}

    void* Lock(int format, int count, int& firstVertex) override {
        lockedFormat = format;
        firstVertex = static_cast<int>(bytes.size() / 32u);
        lockOffset = bytes.size();
        bytes.resize(bytes.size() + static_cast<std::size_t>(count) * 32u);
        return bytes.data() + lockOffset;
    }
    void Unlock() override { ++unlocks; }

    std::vector<std::uint8_t> bytes;
    std::size_t lockOffset = 0;
    int lockedFormat = 0;
    int unlocks = 0;
};

struct RecordedDraw {
    sys::GpuPrimitiveType type;
    std::uint32_t startVertex;
    std::uint32_t primitiveCount;
    int vertexFormat;
    std::uint32_t cullMode;
};

class RecordingRenderDevice : public engine::RenderDevice {
public:
    void Flip(bool) override {}
    void UnbindAll(bool) override { log.push_back("UnbindAll"); }
    void UnbindIndexBuffer() override {}
    void UnbindAllTextures() override {}
    bool HasMoreThan64ShaderSlots() const override { return true; }
    bool HasMoreThan256ShaderSlots() const override { return true; }
    int GetShaderModel() const override { return 3; }
    void SetAlphaTest(int mode, std::uint32_t reference) override {
        alphaTestMode = mode;
        alphaTestReference = reference;
    }
    void SetBlendMode(int mode) override { blendMode = mode; }
    void SetTextureAddressMode(std::uint32_t, int) override {}
    void SetTextureFilter(std::uint32_t stage, int kind, std::uint32_t) override {
        if (stage == 0) filter0 = kind;
    }
    void SetColourWriteMask(std::uint32_t mask) override { colourMask = mask; }
    void ApplyMaterialDepthState(std::uint32_t, int) override {}
    void SetDepthMode(bool test, bool write, bool) override {
        depthTest = test;
        depthWrite = write;
    }
    sys::GpuResult DrawDynamic(sys::GpuPrimitiveType type, std::uint32_t startVertex, std::uint32_t primitiveCount,
                               engine::DynamicVertexBuffer*, int vertexFormat) override {
        draws.push_back({type, startVertex, primitiveCount, vertexFormat, cullMode});
        return sys::kGpuOk;
    }
    void DrawVertexColoured(const engine::ColouredVertex*, int) override {}
    void RefreshBackBufferSurfaces(bool) override {}
    void SetBonePalette(std::span<const engine::Matrix44>, std::span<const std::uint8_t>) override {}
    bool IsShaderModel3() const override { return true; }
    void SetCullMode(std::uint32_t mode) override { cullMode = mode; }
    void UnbindTexture(std::uint32_t stage) override { log.push_back("UnbindTexture " + std::to_string(stage)); }

    int alphaTestMode = -1;
    std::uint32_t alphaTestReference = 0;
    int blendMode = -1;
    int filter0 = -1;
    std::uint32_t colourMask = 0xFFFFFFFFu;
    bool depthTest = true;
    bool depthWrite = true;
    std::uint32_t cullMode = 0;
    std::vector<RecordedDraw> draws;
    std::vector<std::string> log;
};

}  // namespace testsupport
