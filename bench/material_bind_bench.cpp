// 1,000 mesh batches per iteration cycling ten materials through the device's batch drawing: each batch
// takes the material's states, binds it, and is drawn into a 1 x 1 offscreen target. The binder stands in for the material manager: it binds
// its set's shader pair through the two shader managers, the UV transform into the vertex constant cache and
// the material colour into pixel c0, as the plain sets do. One pixel is read back at the end of each
// iteration so that the GPU's work is inside the measured time. A second run leaves the draw calls out.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <memory>
#include <vector>

#include "engine/render/dynamic_vertex_buffer.h"
#include "engine/render/gpu_shader_device.h"
#include "engine/render/graphics_device.h"
#include "engine/render/material_binder.h"
#include "engine/render/material_def.h"
#include "engine/render/mesh_batch.h"
#include "engine/render/shader_constant_cache.h"
#include "engine/render/shader_manager_link.h"
#include "engine/render/shader_text_buffer.h"
#include "engine/render/vertex_formats.h"
#include "engine/render/vertex_packing.h"
#include "support/quad_mesh.h"
#include "sys/gl_window.h"
#include "sys/gpu_device.h"
#include "sys/gpu_resource.h"
#include "sys/gpu_test_hooks.h"
#include "sys/hlsl_compiler.h"

namespace {

constexpr int kBatches = 1000;
constexpr int kMaterials = 10;
constexpr int kShaderSets = 3;

constexpr const char* kVertexShader = R"(
float4x4 Proj : register(c0);
float4x3 ModelToWorld : register(c8);
float4 UVOffset : register(c30);
struct VS_OUT { float4 Pos : POSITION; float4 Col : COLOR0; float2 UV : TEXCOORD0; };
VS_OUT main(float4 Pos : POSITION0, float4 C : COLOR0, float2 UV1 : TEXCOORD0) {
  VS_OUT o; o.Pos = mul(float4(mul(Pos, ModelToWorld), 1), Proj); o.Col = C;
  o.UV = UV1 / 4095 * UVOffset.xy + UVOffset.zw; return o;
}
)";
// Three pixel shaders, one per stand-in shader set.
constexpr const char* kPixelShaders[kShaderSets] = {
    "float4 MatColour : register(c0);\nfloat4 main(float4 Col : COLOR0) : COLOR { return MatColour; }\n",
    "float4 MatColour : register(c0);\n"
    "float4 main(float4 Col : COLOR0) : COLOR { return MatColour * Col; }\n",
    "float4 MatColour : register(c0);\n"
    "float4 main(float4 Col : COLOR0, float2 UV : TEXCOORD0) : COLOR { return MatColour * float4(UV, 1, 1); }\n",
};

class BenchHost final : public engine::GraphicsDeviceHost {
public:
    explicit BenchHost(sys::GlWindow& window) : window_(window) {}
    void* DeviceWindow() override { return window_.Native(); }
    bool DesktopSize(int& width, int& height) override {
        width = 64;
        height = 64;
        return true;
    }
    bool IsFullScreen() const override { return false; }
    void SetFullScreen(bool) override {}
    void SetScreenSize(int, int) override {}
    void SendSizeMessage(int, int) override {}
    void ClipCursor() override {}
    int FrameMilliseconds() override { return 16; }

private:
    sys::GlWindow& window_;
};

std::vector<std::uint32_t> Words(const char* hlsl, sys::ShaderStage stage) {
    sys::HlslCompileResult compiled = sys::CompileHlsl(hlsl, stage);
    if (!compiled.Ok()) std::fprintf(stderr, "material_bind_bench: %s\n", compiled.error.c_str());
    return compiled.words;
}

class BenchBinder final : public engine::MaterialBinder {
public:
    BenchBinder(engine::ShaderDevice& device, engine::ShaderConstantCache& vertexShaders,
                engine::ShaderTextBuffer& pixelShaders)
        : vertexShaders_(vertexShaders), pixelShaders_(pixelShaders) {
        vertex_ = device.CreateVertexShader(Words(kVertexShader, sys::ShaderStage::Vertex));
        for (int set = 0; set < kShaderSets; ++set) {
            pixel_[set] = device.CreatePixelShader(Words(kPixelShaders[set], sys::ShaderStage::Pixel));
        }
    }
    bool Ready() const { return vertex_ && pixel_[0] && pixel_[1] && pixel_[2]; }

    int BindMaterial(engine::MaterialDef& material, const engine::MaterialView*, const engine::Matrix44*, bool,
                     bool) override {
        vertexShaders_.SetVector({material.uvTransform[0], material.uvTransform[1], material.uvTransform[2],
                                  material.uvTransform[3]},
                                 30);
        vertexShaders_.BindVertexShader(vertex_.get());
        pixelShaders_.BindPixelShader(pixel_[material.shaderSetIndex % kShaderSets].get());
        const engine::ColourF& colour = material.colours[0];
        pixelShaders_.SetPixelVector({colour.r, colour.g, colour.b, colour.a}, 0);
        return 1;
    }
    bool SupportsInstancing(const engine::MaterialDef&) const override { return true; }

private:
    engine::ShaderConstantCache& vertexShaders_;
    engine::ShaderTextBuffer& pixelShaders_;
    std::unique_ptr<engine::VertexShader> vertex_;
    std::unique_ptr<engine::PixelShader> pixel_[kShaderSets];
};

// The device, its managers, the target, one quad batch and ten materials, made once and kept until the process
// ends: closing the GL context before exit would unload the driver, whose allocations kept for the process's
// life the leak checker could then no longer match to it.
struct Scene {
    sys::GlWindow window;
    std::unique_ptr<BenchHost> host;
    std::unique_ptr<engine::GraphicsDevice> device;
    std::unique_ptr<engine::VertexDeclSet> declarations;
    engine::GpuShaderDevice shaderDevice;
    engine::ShaderBindCounters counters;
    std::unique_ptr<engine::ShaderConstantCache> vertexShaders;
    std::unique_ptr<engine::ShaderTextBuffer> pixelShaders;
    std::unique_ptr<BenchBinder> binder;
    sys::GpuTexture* target = nullptr;
    sys::GpuSurface* targetSurface = nullptr;
    sys::GpuSurface* depth = nullptr;
    sys::GpuVertexBuffer* vertices = nullptr;
    sys::GpuIndexBuffer* indices = nullptr;
    engine::MeshBatch batch;
    std::array<engine::MaterialDef, kMaterials> materials;
    bool ready = false;

    bool Make() {
        sys::GlWindowDesc desc;
        desc.title = "Tinmarch material bind bench";
        desc.width = 64;
        desc.height = 64;
        desc.hidden = true;
        if (!window.Open(desc)) return false;
        host = std::make_unique<BenchHost>(window);
        engine::GraphicsDeviceSettings settings;
        settings.width = 64;
        settings.height = 64;
        device = std::make_unique<engine::GraphicsDevice>(*host, settings);
        if (!device->HasDevice()) return false;
        sys::GpuDevice& gpu = *device->Device();
        declarations = std::make_unique<engine::VertexDeclSet>(gpu);
        device->AttachVertexDeclSet(declarations.get());
        engine::InitDynamicVertexBuffers(device.get());
        shaderDevice.SetDevice(&gpu);
        vertexShaders = std::make_unique<engine::ShaderConstantCache>(shaderDevice, counters);
        pixelShaders = std::make_unique<engine::ShaderTextBuffer>(shaderDevice, counters);
        engine::LinkShaderManagers(*device, *vertexShaders, *pixelShaders);
        binder = std::make_unique<BenchBinder>(shaderDevice, *vertexShaders, *pixelShaders);
        if (!binder->Ready()) return false;
        device->AttachMaterialBinder(binder.get());

        target = gpu.CreateTexture(1, 1, 1, sys::kUsageRenderTarget, sys::kFmtA8R8G8B8, sys::kPoolDefault);
        depth = gpu.CreateDepthStencilSurface(1, 1, sys::kFmtD24S8, 0);
        if (target == nullptr || depth == nullptr) return false;
        targetSurface = target->GetSurfaceLevel(0);
        device->SetRenderTargetSurface(targetSurface);
        device->SetDepthSurfaceCached(depth);
        vertexShaders->SetMatrix(engine::Matrix44(), 0);
        vertexShaders->SetMatrix(engine::Matrix44(), 8);
        return MakeBatch(gpu) && (MakeMaterials(), true);
    }

    bool MakeBatch(sys::GpuDevice& gpu) {
        const testsupport::QuadBuffers quad =
            testsupport::MakeQuadBuffers(gpu, [](int, engine::VertexSource& source) {
                source.uv0 = {source.position.x * 0.5f + 0.5f, source.position.y * 0.5f + 0.5f};
            });
        vertices = quad.vertices;
        indices = quad.indices;
        if (vertices == nullptr || indices == nullptr) return false;
        batch = testsupport::QuadBatch(quad);
        return true;
    }

    // Opaque, blended, depth-only and depth-test-off materials over three shader sets and two cull modes.
    void MakeMaterials() {
        const std::uint32_t flags[kMaterials] = {0, 0x8, 0, 0x20, 0x4, 0, 0x2, 0x40, 0, 0x8};
        for (int i = 0; i < kMaterials; ++i) {
            engine::MaterialDef& material = materials[i];
            material.shaderSetIndex = i % kShaderSets;
            material.blendMode = i % 2 == 0 ? 0 : 3;
            material.alphaTestMode = i % 4 == 1 ? 1 : 0;
            material.alphaRef = 0x20 * (i % 4);
            material.cullMode = i % 3 == 0 ? sys::kCullNone : sys::kCullCcw;
            material.flags = flags[i];
            material.colours[0] = {0.1f * static_cast<float>(i), 0.5f, 1.0f - 0.1f * static_cast<float>(i), 0.75f};
            material.uvTransform[2] = 0.01f * static_cast<float>(i);
        }
    }
};

Scene& TheScene() {
    static Scene* const scene = [] {
        auto* made = new Scene;
        made->ready = made->Make();
        return made;
    }();
    return *scene;
}

void BM_MaterialBindAndDraw(benchmark::State& state) {
    Scene& scene = TheScene();
    if (!scene.ready) {
        state.SkipWithError("no graphics device");
        return;
    }
    sys::GpuDevice& gpu = *scene.device->Device();
    std::vector<std::uint8_t> pixel;
    const engine::Matrix44 identity;
    for (auto _ : state) {
        for (int i = 0; i < kBatches; ++i) {
            scene.device->DrawMeshBatch(scene.batch, scene.materials[i % kMaterials], {}, 0, nullptr, &identity);
        }
        gpu.ReadSurfaceRgba8(scene.targetSurface, pixel);
        benchmark::DoNotOptimize(pixel.data());
    }
    state.counters["batches_per_iteration"] = kBatches;
    state.counters["draws"] =
        benchmark::Counter(static_cast<double>(gpu.CallCount(sys::GpuCall::DrawIndexedPrimitive)));
}
BENCHMARK(BM_MaterialBindAndDraw)->Unit(benchmark::kMillisecond);

// The same 1,000 batches with the draw calls recorded by the GPU layer, not executed: every state, binding,
// constant upload and vertex-attribute set-up reaches the driver, only the rasterising is left out. This is the
// engine's cost per frame for its batches, independent of how fast the rasteriser is.
void BM_MaterialBindRecorded(benchmark::State& state) {
    Scene& scene = TheScene();
    if (!scene.ready) {
        state.SkipWithError("no graphics device");
        return;
    }
    sys::GpuDevice& gpu = *scene.device->Device();
    sys::GpuHooks().recordDrawsOnly = true;
    const std::uint64_t before = gpu.CallCount(sys::GpuCall::DrawIndexedPrimitive);
    const engine::Matrix44 identity;
    for (auto _ : state) {
        for (int i = 0; i < kBatches; ++i) {
            scene.device->DrawMeshBatch(scene.batch, scene.materials[i % kMaterials], {}, 0, nullptr, &identity);
        }
    }
    sys::GpuHooks().recordDrawsOnly = false;
    state.counters["batches_per_iteration"] = kBatches;
    state.counters["draws"] =
        benchmark::Counter(static_cast<double>(gpu.CallCount(sys::GpuCall::DrawIndexedPrimitive) - before));
}
BENCHMARK(BM_MaterialBindRecorded)->Unit(benchmark::kMillisecond);

// The same 1,000 batches with the draw call itself left out (a batch without a triangle issues none): the
// states, the material binding and the stream, declaration and index bindings alone.
void BM_MaterialBindWithoutDrawing(benchmark::State& state) {
    Scene& scene = TheScene();
    if (!scene.ready) {
        state.SkipWithError("no graphics device");
        return;
    }
    engine::MeshBatch batch = scene.batch;
    batch.indexCount = 0;
    const engine::Matrix44 identity;
    for (auto _ : state) {
        for (int i = 0; i < kBatches; ++i) {
            scene.device->DrawMeshBatch(batch, scene.materials[i % kMaterials], {}, 0, nullptr, &identity);
        }
    }
    state.counters["batches_per_iteration"] = kBatches;
}
BENCHMARK(BM_MaterialBindWithoutDrawing)->Unit(benchmark::kMillisecond);

}  // namespace
