// Writes the generated seed files of the fuzz targets, each as <corpus folder>/<target>/<name>:
//   fuzzseeds <corpus folder>
// Every seed is checked as it is made, so that it stands where it is meant to: each shader module passes the
// cache's acceptance rules and is then refused by the GLSL back end with the message of its rule, each old
// model converts on loading, and the locale table holds more entries than the string table's rows. A seed
// that misses its mark fails the run (exit 1) and nothing more is written.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/wide_string.h"
#include "engine/platform/packed_block.h"
#include "engine/platform/script_reader.h"
#include "engine/render/shader_cache.h"
#include "engine/scene/box_tree.h"
#include "engine/scene/model_file.h"
#include "files/replace_file.h"
#include "game/core/string_table.h"
#include "support/model_file_image.h"
#include "sys/hlsl_compiler.h"
#include "sys/spirv_to_glsl.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using sys::ShaderStage;

struct Refusal {
    const char* name;
    ShaderStage stage;
    const char* hlsl;
    const char* message;  // a part of the back end's refusal
};

// One valid module per rule of the GLSL back end. Overlapping constants have none: the validator refuses
// members that overlap before the back end sees them.
const Refusal kRefusals[] = {
    {"separate_texture", ShaderStage::Pixel,
     "Texture2D T : register(t0);\nSamplerState S : register(s0);\n"
     "float4 main(float2 uv : TEXCOORD0) : COLOR { return T.Sample(S, uv); }",
     "unsupported resource"},
    {"system_value", ShaderStage::Vertex, "float4 main(float4 p : POSITION) : SV_Position { return p; }",
     "unsupported semantic SV_"},
    {"vface", ShaderStage::Pixel, "float4 main(float f : VFACE) : COLOR { return f; }", "unsupported semantic"},
    {"vpos", ShaderStage::Pixel, "float4 main(float2 p : VPOS) : COLOR { return p.xyxy; }", "unsupported semantic"},
    {"two_constant_buffers", ShaderStage::Pixel,
     "cbuffer A : register(b0) { float4 X : packoffset(c0); };\ncbuffer B : register(b1) { float4 Y : packoffset(c0); };\n"
     "float4 main() : COLOR { return X + Y; }",
     "constant buffers are not supported"},
    {"constant_off_register", ShaderStage::Pixel,
     "cbuffer A : register(b0) { float4 X : packoffset(c0); float Y : packoffset(c1.y); };\n"
     "float4 main() : COLOR { return X + Y; }",
     "does not start a register"},
    {"constant_c255", ShaderStage::Vertex,
     "float4x4 M : register(c252);\nfloat4 main(float4 p : POSITION) : POSITION { return mul(p, M); }",
     "uses register c255"},
    {"constant_beyond_c255", ShaderStage::Vertex,
     "float4x4 M : register(c254);\nfloat4 main(float4 p : POSITION) : POSITION { return mul(p, M); }",
     "lies beyond register c255"},
    {"sampler_in_vertex", ShaderStage::Vertex,
     "sampler2D S : register(s0);\n"
     "float4 main(float4 p : POSITION) : POSITION { return p + tex2Dlod(S, float4(0, 0, 0, 0)); }",
     "in a vertex shader"},
    {"sampler_s16", ShaderStage::Pixel,
     "sampler2D S : register(s16);\nfloat4 main(float2 uv : TEXCOORD0) : COLOR { return tex2D(S, uv); }",
     "beyond register s15"},
    {"shared_sampler", ShaderStage::Pixel,
     "sampler2D S : register(s3);\nsampler2D T : register(s3);\n"
     "float4 main(float2 uv : TEXCOORD0) : COLOR { return tex2D(S, uv) + tex2D(T, uv); }",
     "shares its register"},
    {"no_semantic", ShaderStage::Pixel, "struct I { float4 c; };\nfloat4 main(I i) : COLOR { return i.c; }",
     "has no semantic"},
    {"same_semantic", ShaderStage::Pixel,
     "float4 main(float4 a : TEXCOORD1, float4 b : TEXCOORD1) : COLOR { return a + b; }", "used twice"},
    {"matrix_input", ShaderStage::Vertex,
     "float4 main(float4x4 m : TEXCOORD0) : POSITION { return m[0]; }", "has an unsupported type"},
    {"unknown_vertex_input", ShaderStage::Vertex, "float4 main(float4 p : BINORMAL0) : POSITION { return p; }",
     "unknown vertex input semantic"},
    {"position_float3", ShaderStage::Vertex, "float3 main(float4 p : POSITION) : POSITION { return p.xyz; }",
     "output POSITION"},
    {"unknown_varying", ShaderStage::Vertex,
     "struct O { float4 p : POSITION; float4 t : TEXCOORD12; };\n"
     "O main(float4 p : POSITION) { O o; o.p = p; o.t = p; return o; }",
     "unknown vertex output semantic"},
    {"unknown_pixel_input", ShaderStage::Pixel, "float4 main(float4 t : TEXCOORD12) : COLOR { return t; }",
     "unknown pixel input semantic"},
    {"depth_float2", ShaderStage::Pixel,
     "struct O { float4 c : COLOR0; float2 d : DEPTH; };\nO main() { O o; o.c = 1; o.d = 0.5; return o; }",
     "output DEPTH must be a float"},
    {"output_colour5", ShaderStage::Pixel, "float4 main() : COLOR5 { return 1; }", "unknown pixel output semantic"},
};

class Writer {
public:
    explicit Writer(std::string root) : root_(std::move(root)) {}

    bool Write(const std::string& target, const std::string& name, const Bytes& bytes) {
        const std::string path = root_ + "/" + target + "/" + name;
        std::string error;
        if (!tools::WriteFileReplacing(path, bytes, error, true)) return Fail(path + ": " + error);
        std::printf("%s/%s: %zu bytes\n", target.c_str(), name.c_str(), bytes.size());
        return true;
    }

    static bool Fail(const std::string& why) {
        std::fprintf(stderr, "fuzzseeds: %s\n", why.c_str());
        return false;
    }

private:
    std::string root_;
};

Bytes FileBytes(std::span<const std::uint32_t> words) {
    Bytes bytes;
    for (std::uint32_t word : words) {
        for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<std::uint8_t>(word >> shift));
    }
    return bytes;
}

// A shader cache file as the shader fuzz targets take it: the stage byte (odd for pixel), then the file.
Bytes StagedFile(ShaderStage stage, const Bytes& file, std::uint8_t extra = 0) {
    Bytes bytes;
    bytes.reserve(file.size() + 1);
    bytes.push_back(static_cast<std::uint8_t>((stage == ShaderStage::Pixel ? 1 : 0) | extra));
    for (std::uint8_t byte : file) bytes.push_back(byte);
    return bytes;
}

// The cache file of a text that compiles and passes the acceptance rules; empty (with a message) otherwise.
Bytes CacheFile(const char* hlsl, ShaderStage stage, const char* what) {
    const sys::HlslCompileResult compiled = sys::CompileHlsl(hlsl, stage);
    if (!compiled.Ok()) {
        Writer::Fail(std::string(what) + " does not compile: " + compiled.error);
        return {};
    }
    const Bytes file = FileBytes(compiled.words);
    if (engine::AcceptShaderCacheBytes(file, stage).empty()) {
        Writer::Fail(std::string(what) + " is not an acceptable cache file");
        return {};
    }
    return file;
}

bool WriteShaderSeeds(Writer& out) {
    for (const Refusal& refusal : kRefusals) {
        const Bytes file = CacheFile(refusal.hlsl, refusal.stage, refusal.name);
        if (file.empty()) return false;
        const sys::SpirvToGlslResult result =
            sys::SpirvToGlsl(engine::AcceptShaderCacheBytes(file, refusal.stage), refusal.stage);
        if (!result.refused || result.error.find(refusal.message) == std::string::npos) {
            return Writer::Fail(std::string(refusal.name) + " is not refused with \"" + refusal.message +
                                "\": " + (result.Ok() ? "translated" : result.error));
        }
        const std::string name = std::string("rule_") + refusal.name +
                                 (refusal.stage == ShaderStage::Vertex ? "_vsc" : "_psc");
        if (!out.Write("shader_cache_fuzz", name, StagedFile(refusal.stage, file))) return false;
    }

    // The cache file target: usable files, a refused one for a text that compiles, a cut one, an empty one.
    const Bytes vertex = CacheFile("float4 main(float4 p : POSITION, float4 c : COLOR0, out float4 o : COLOR0) : POSITION "
                                   "{ o = c; return p; }",
                                   ShaderStage::Vertex, "the plain vertex shader");
    const Bytes pixel = CacheFile("sampler2D S : register(s0);\n"
                                  "float4 main(float2 uv : TEXCOORD0, float4 c : COLOR0) : COLOR { return tex2D(S, uv) * c; }",
                                  ShaderStage::Pixel, "the plain pixel shader");
    const Bytes refused = CacheFile(kRefusals[0].hlsl, kRefusals[0].stage, kRefusals[0].name);
    if (vertex.empty() || pixel.empty() || refused.empty()) return false;
    const Bytes cut(vertex.begin(), vertex.begin() + static_cast<std::ptrdiff_t>(vertex.size() / 8 * 4));
    return out.Write("shader_cache_file", "vertex", StagedFile(ShaderStage::Vertex, vertex)) &&
           out.Write("shader_cache_file", "pixel", StagedFile(ShaderStage::Pixel, pixel)) &&
           out.Write("shader_cache_file", "refused_text_compiles", StagedFile(kRefusals[0].stage, refused, 2)) &&
           out.Write("shader_cache_file", "cut_vertex", StagedFile(ShaderStage::Vertex, cut)) &&
           out.Write("shader_cache_file", "empty", StagedFile(ShaderStage::Pixel, {}));
}

// Old models: version 8 (no box tree) with a position-only and an old skinned batch and a bone; version 10
// with the two 16-byte formats, a format-4 batch and a box tree.
bool WriteModelSeeds(Writer& out) {
    testsupport::ModelFileImage v8;
    v8.version = 8;
    v8.batches[0].format = 1;
    v8.batches.push_back(v8.batches[0]);
    v8.batches[1].format = 5;
    v8.triangles.push_back({1, {2, 1, 0}});
    v8.bones.push_back({});
    v8.bones[0].frames.push_back(engine::Matrix44());
    v8.bones[0].frames[1].m[3][1] = 1.0f;

    engine::BoxTree tree;
    const engine::Vec3 low{0, 0, 0}, high{2, 0, 1};
    tree.nodes.push_back({low, high, engine::BoxTree::LeafLink(0), 0});
    tree.leaves.push_back({low, high, 3, 0});
    tree.indices = {0, 1, 2};
    testsupport::ModelFileImage v10;
    v10.version = 10;
    v10.batches[0].format = 2;
    v10.batches.push_back(v10.batches[0]);
    v10.batches[1].format = 3;
    v10.batches.push_back(v10.batches[0]);
    v10.batches[2].format = 4;
    v10.triangles = {{0, {0, 1, 2}}, {1, {0, 1, 2}}, {2, {2, 1, 0}}};
    v10.boxTree = &tree;

    for (const auto& [name, image] : {std::pair{"v8_old_skinned.mdl", &v8}, std::pair{"v10_box_tree.mdl", &v10}}) {
        const Bytes bytes = image->Write();
        engine::ModelDescription description;
        if (!engine::ParseModelFile(bytes.data(), bytes.size(), engine::WideString("Seeds/Old"),
                                    [](const char*) { return 0; }, description)) {
            return Writer::Fail(std::string(name) + " does not load");
        }
        for (const engine::MeshBatch& batch : description.batches) {
            if (batch.vertexFormat != 4 && batch.vertexFormat != 5) return Writer::Fail(std::string(name) + " kept an old format");
        }
        if (!out.Write("mdl_load", name, bytes)) return false;
    }
    return true;
}

// A locale file of more entries than the table has rows, keyed "[a00]" on, each with a one-letter text.
bool WriteStringTableSeed(Writer& out) {
    constexpr int kEntries = game::StringTable::kRowCount + 6;
    constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string text;
    for (int i = 0; i < kEntries; ++i) {
        text += '[';
        text += kDigits[10 + i / (36 * 36) % 26];
        text += kDigits[i / 36 % 36];
        text += kDigits[i % 36];
        text += "]x\n";
    }
    const Bytes bytes(text.begin(), text.end());
    engine::ScriptReader reader;
    game::StringTable table;
    table.Init();
    if (reader.LoadFromImage(bytes.data(), bytes.size(), "seed") == 0 ||
        table.ReadTable(0, reader) != game::StringTable::kRowCount) {
        return Writer::Fail("the locale seed does not fill the table");
    }
    return out.Write("string_table", "more_than_the_rows", bytes);
}

// Loose files: a short text, and one longer than the reading pieces' first rounds. Packed files: packed
// blocks of a text and of zeros, and a plain text that is no block.
bool WriteFileSeeds(Writer& out) {
    const std::string line = "[GEN_BACK] Back\r\n";
    Bytes longer;
    for (int i = 0; i < 4200; ++i) longer.push_back(static_cast<std::uint8_t>(i * 7 + i / 256));
    if (!out.Write("loose_file", "text", Bytes(line.begin(), line.end())) || !out.Write("loose_file", "long", longer)) {
        return false;
    }
    const auto packed = [](const Bytes& raw) {
        std::uint32_t size = static_cast<std::uint32_t>(raw.size());
        const std::unique_ptr<std::uint8_t[]> block = engine::PackBlock(raw.data(), size);
        return block ? Bytes(block.get(), block.get() + size) : Bytes();
    };
    const Bytes text = packed(Bytes(line.begin(), line.end()));
    const Bytes zeros = packed(Bytes(300, 0));
    if (text.empty() || zeros.empty()) return Writer::Fail("a block does not pack");
    return out.Write("packed_file", "packed_text", text) && out.Write("packed_file", "packed_zeros", zeros) &&
           out.Write("packed_file", "plain_text", Bytes(line.begin(), line.end()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzzseeds <corpus folder>\n");
        return 2;
    }
    Writer out(argv[1]);
    const bool ok = WriteShaderSeeds(out) && WriteModelSeeds(out) && WriteStringTableSeed(out) && WriteFileSeeds(out);
    return ok ? 0 : 1;
}
