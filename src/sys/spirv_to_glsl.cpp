#include "sys/spirv_to_glsl.h"

#include <algorithm>
#include <atomic>
#include <set>

#include <spirv_cross_c.h>

#include "sys/glsl_post_pass.h"
#include "sys/shader_semantics.h"

namespace sys {
namespace {

constexpr std::uint32_t kSpirvMagic = 0x07230203;
constexpr std::uint32_t kSamplerRegisters = 16;

// Owns a SPIRV-Cross context (and with it every object made from it) and collects its error messages.
class CrossContext {
public:
    CrossContext() {
        if (spvc_context_create(&context_) == SPVC_SUCCESS) {
            spvc_context_set_error_callback(context_, &CrossContext::OnError, this);
        } else {
            context_ = nullptr;
        }
    }
    ~CrossContext() {
        if (context_ != nullptr) spvc_context_destroy(context_);
    }
    CrossContext(const CrossContext&) = delete;
    CrossContext& operator=(const CrossContext&) = delete;

    spvc_context Get() const { return context_; }
    const std::string& Messages() const { return messages_; }

private:
    static void OnError(void* self, const char* message) {
        std::string& messages = static_cast<CrossContext*>(self)->messages_;
        if (!messages.empty()) messages += "; ";
        messages += message != nullptr ? message : "unknown error";
    }

    spvc_context context_ = nullptr;
    std::string messages_;
};

// Works through one module; each step returns false after recording why in the result.
class Translator {
public:
    Translator(spvc_compiler compiler, ShaderStage stage, SpirvToGlslResult& result)
        : compiler_(compiler), stage_(stage), result_(result), reflection_(result.shader.reflection) {
        reflection_.stage = stage;
    }

    bool Run(spvc_resources resources) {
        return RefuseOtherResources(resources) && RefuseBuiltins(resources) && MapRegisterBlock(resources) &&
               MapSamplers(resources) && MapStageVariables(resources, SPVC_RESOURCE_TYPE_STAGE_INPUT) &&
               MapStageVariables(resources, SPVC_RESOURCE_TYPE_STAGE_OUTPUT);
    }

    const std::vector<RegisterBlockMember>& BlockMembers() const { return blockMembers_; }
    bool WritesColour0() const { return writesColour0_; }

private:
    bool Refuse(std::string message) {
        result_.error = std::move(message);
        result_.refused = true;
        return false;
    }

    std::span<const spvc_reflected_resource> List(spvc_resources resources, spvc_resource_type type) const {
        const spvc_reflected_resource* list = nullptr;
        size_t count = 0;
        if (spvc_resources_get_resource_list_for_type(resources, type, &list, &count) != SPVC_SUCCESS) return {};
        return {list, count};
    }

    std::string NameOf(SpvId id) const {
        const char* name = spvc_compiler_get_name(compiler_, id);
        return name != nullptr ? name : "";
    }

    std::string SemanticOf(SpvId id) const {
        const char* semantic = spvc_compiler_get_decoration_string(compiler_, id, SpvDecorationUserSemantic);
        return semantic != nullptr ? semantic : "";
    }

    // Shader model 3 has constant registers, samplers and stage variables only.
    bool RefuseOtherResources(spvc_resources resources) {
        const spvc_resource_type others[] = {
            SPVC_RESOURCE_TYPE_STORAGE_BUFFER,  SPVC_RESOURCE_TYPE_SUBPASS_INPUT,     SPVC_RESOURCE_TYPE_STORAGE_IMAGE,
            SPVC_RESOURCE_TYPE_ATOMIC_COUNTER,  SPVC_RESOURCE_TYPE_PUSH_CONSTANT,     SPVC_RESOURCE_TYPE_SEPARATE_IMAGE,
            SPVC_RESOURCE_TYPE_SEPARATE_SAMPLERS, SPVC_RESOURCE_TYPE_ACCELERATION_STRUCTURE};
        for (spvc_resource_type type : others) {
            const auto list = List(resources, type);
            if (!list.empty()) return Refuse("unsupported resource '" + std::string(list[0].name) + "'");
        }
        return true;
    }

    // System values (VPOS, VFACE, SV_*) come through as built-ins or as unknown semantics: the layer has none.
    bool RefuseBuiltins(spvc_resources resources) {
        for (spvc_builtin_resource_type type :
             {SPVC_BUILTIN_RESOURCE_TYPE_STAGE_INPUT, SPVC_BUILTIN_RESOURCE_TYPE_STAGE_OUTPUT}) {
            const spvc_reflected_builtin_resource* list = nullptr;
            size_t count = 0;
            if (spvc_resources_get_builtin_resource_list_for_type(resources, type, &list, &count) != SPVC_SUCCESS) {
                continue;
            }
            if (count > 0) {
                std::string semantic = SemanticOf(list[0].resource.id);
                if (semantic.empty()) semantic = list[0].resource.name;
                return Refuse("unsupported semantic " + semantic);
            }
        }
        return true;
    }

    bool MapRegisterBlock(spvc_resources resources) {
        const auto blocks = List(resources, SPVC_RESOURCE_TYPE_UNIFORM_BUFFER);
        if (blocks.empty()) return true;
        if (blocks.size() > 1) return Refuse("constant buffers are not supported ('" + std::string(blocks[1].name) + "')");
        const spvc_reflected_resource& block = blocks[0];
        const spvc_type type = spvc_compiler_get_type_handle(compiler_, block.base_type_id);
        const unsigned count = spvc_type_get_num_member_types(type);

        struct Placed {
            std::string name;
            std::uint32_t first;
            std::uint32_t end;  // one past the last register
        };
        std::vector<Placed> placed;
        for (unsigned i = 0; i < count; ++i) {
            const char* memberName = spvc_compiler_get_member_name(compiler_, block.base_type_id, i);
            const std::string name = memberName != nullptr ? memberName : "";
            unsigned offset = 0;
            size_t size = 0;
            if (spvc_compiler_type_struct_member_offset(compiler_, type, i, &offset) != SPVC_SUCCESS ||
                spvc_compiler_get_declared_struct_member_size(compiler_, type, i, &size) != SPVC_SUCCESS) {
                return Refuse("constant '" + name + "' has no layout");
            }
            if (offset % kRegisterBytes != 0) return Refuse("constant '" + name + "' does not start a register");
            const std::uint64_t endByte = std::uint64_t{offset} + size;
            const std::uint32_t first = offset / kRegisterBytes;
            const std::uint64_t end = (endByte + kRegisterBytes - 1) / kRegisterBytes;
            if (end > kLayerRegister) {
                return Refuse(end > kLayerRegister + 1 ? "constant '" + name + "' lies beyond register c255"
                                                       : "constant '" + name + "' uses register c255");
            }
            placed.push_back({name, first, static_cast<std::uint32_t>(end)});
            blockMembers_.push_back({offset, static_cast<std::uint32_t>(size)});
        }
        std::vector<Placed> sorted = placed;
        std::stable_sort(sorted.begin(), sorted.end(), [](const Placed& a, const Placed& b) { return a.first < b.first; });
        for (std::size_t i = 1; i < sorted.size(); ++i) {
            if (sorted[i].first < sorted[i - 1].end) {
                return Refuse("constants '" + sorted[i - 1].name + "' and '" + sorted[i].name + "' overlap");
            }
        }
        for (const Placed& member : sorted) {
            reflection_.constants.push_back(
                {member.name, static_cast<int>(member.first), static_cast<int>(member.end - member.first)});
        }
        spvc_compiler_set_name(compiler_, block.base_type_id, RegisterBlockName(stage_));
        spvc_compiler_set_name(compiler_, block.id, RegisterBlockInstance(stage_));
        return true;
    }

    bool MapSamplers(spvc_resources resources) {
        std::set<unsigned> used;
        for (const spvc_reflected_resource& sampler : List(resources, SPVC_RESOURCE_TYPE_SAMPLED_IMAGE)) {
            const std::string name = NameOf(sampler.id);
            if (stage_ == ShaderStage::Vertex) return Refuse("sampler '" + name + "' in a vertex shader");
            const unsigned unit = spvc_compiler_get_decoration(compiler_, sampler.id, SpvDecorationBinding);
            if (unit >= kSamplerRegisters) return Refuse("sampler '" + name + "' beyond register s15");
            if (!used.insert(unit).second) return Refuse("sampler '" + name + "' shares its register");
            reflection_.samplers.push_back({name, static_cast<int>(unit)});
            spvc_compiler_set_name(compiler_, sampler.id, ("PS_s" + std::to_string(unit)).c_str());
        }
        std::sort(reflection_.samplers.begin(), reflection_.samplers.end(),
                  [](const ShaderSampler& a, const ShaderSampler& b) { return a.samplerRegister < b.samplerRegister; });
        return true;
    }

    // Fills the type fields of `variable`; false for types a stage variable cannot have.
    bool DescribeType(spvc_type_id typeId, ShaderStageVariable& variable) const {
        const spvc_type type = spvc_compiler_get_type_handle(compiler_, typeId);
        if (spvc_type_get_num_array_dimensions(type) != 0 || spvc_type_get_columns(type) != 1) return false;
        const unsigned size = spvc_type_get_vector_size(type);
        if (size < 1 || size > 4) return false;
        std::string prefix;
        std::string scalar;
        switch (spvc_type_get_basetype(type)) {
        case SPVC_BASETYPE_FP32: scalar = "float"; break;
        case SPVC_BASETYPE_INT32: scalar = "int", prefix = "i"; break;
        case SPVC_BASETYPE_UINT32: scalar = "uint", prefix = "u"; break;
        default: return false;
        }
        variable.components = static_cast<int>(size);
        variable.isInteger = !prefix.empty();
        variable.glslType = size == 1 ? scalar : prefix + "vec" + std::to_string(size);
        return true;
    }

    bool MapStageVariables(spvc_resources resources, spvc_resource_type type) {
        const bool input = type == SPVC_RESOURCE_TYPE_STAGE_INPUT;
        const char* direction = input ? "input" : "output";
        std::set<std::string> seen;
        for (const spvc_reflected_resource& resource : List(resources, type)) {
            const std::string written = SemanticOf(resource.id);
            if (written.empty()) return Refuse(std::string(direction) + " '" + resource.name + "' has no semantic");
            const std::string semantic = NormaliseSemantic(written);
            if (!seen.insert(semantic).second) return Refuse("semantic " + written + " used twice");

            ShaderStageVariable variable;
            variable.semantic = semantic;
            if (!DescribeType(resource.type_id, variable)) {
                return Refuse(std::string(direction) + " " + written + " has an unsupported type");
            }
            if (!MapStageVariable(input, written, variable, resource.id)) return false;
        }
        return true;
    }

    void SetBuiltin(SpvId id, SpvBuiltIn builtin) {
        spvc_compiler_unset_decoration(compiler_, id, SpvDecorationLocation);
        spvc_compiler_set_decoration(compiler_, id, SpvDecorationBuiltIn, builtin);
    }

    void SetInterface(SpvId id, const std::string& prefix, ShaderStageVariable& variable, int location,
                      std::vector<ShaderStageVariable>& list) {
        variable.location = location;
        spvc_compiler_set_decoration(compiler_, id, SpvDecorationLocation, static_cast<unsigned>(location));
        spvc_compiler_set_name(compiler_, id, (prefix + variable.semantic).c_str());
        list.push_back(variable);
    }

    bool MapStageVariable(bool input, const std::string& written, ShaderStageVariable& variable, SpvId id) {
        const std::string& semantic = variable.semantic;
        if (semantic == "VPOS0" || semantic == "VFACE0") return Refuse("unsupported semantic " + written);
        if (stage_ == ShaderStage::Vertex && input) {
            const int location = VertexAttributeLocation(semantic);
            if (location < 0) return Refuse("unknown vertex input semantic " + written);
            SetInterface(id, "a_", variable, location, reflection_.inputs);
        } else if (stage_ == ShaderStage::Vertex) {
            if (semantic == "POSITION0" || semantic == "PSIZE0") {
                if (variable.isInteger || variable.components != (semantic == "PSIZE0" ? 1 : 4)) {
                    return Refuse("output " + written + " has an unsupported type");
                }
                SetBuiltin(id, semantic == "POSITION0" ? SpvBuiltInPosition : SpvBuiltInPointSize);
                return true;
            }
            const int slot = VaryingSlot(semantic);
            if (slot < 0) return Refuse("unknown vertex output semantic " + written);
            SetInterface(id, "v_", variable, slot, reflection_.outputs);
        } else if (input) {
            const int slot = VaryingSlot(semantic);
            if (slot < 0) return Refuse("unknown pixel input semantic " + written);
            SetInterface(id, "v_", variable, slot, reflection_.inputs);
        } else {
            if (semantic == "DEPTH0") {
                if (variable.isInteger || variable.components != 1) return Refuse("output DEPTH must be a float");
                SetBuiltin(id, SpvBuiltInFragDepth);
                return true;
            }
            const int index = ColourOutputIndex(semantic);
            if (index < 0) return Refuse("unknown pixel output semantic " + written);
            if (index == 0 && variable.components == 4 && !variable.isInteger) writesColour0_ = true;
            SetInterface(id, "o_", variable, index, reflection_.outputs);
        }
        return true;
    }

    spvc_compiler compiler_;
    ShaderStage stage_;
    SpirvToGlslResult& result_;
    ShaderReflection& reflection_;
    std::vector<RegisterBlockMember> blockMembers_;
    bool writesColour0_ = false;
};

bool SelectEntryPoint(spvc_compiler compiler, ShaderStage stage) {
    const SpvExecutionModel model = stage == ShaderStage::Vertex ? SpvExecutionModelVertex : SpvExecutionModelFragment;
    const spvc_entry_point* entries = nullptr;
    size_t count = 0;
    if (spvc_compiler_get_entry_points(compiler, &entries, &count) != SPVC_SUCCESS) return false;
    for (size_t i = 0; i < count; ++i) {
        if (entries[i].execution_model == model && entries[i].name != nullptr &&
            std::string_view(entries[i].name) == "main") {
            return spvc_compiler_set_entry_point(compiler, "main", model) == SPVC_SUCCESS;
        }
    }
    return false;
}

bool SetOptions(spvc_compiler compiler) {
    spvc_compiler_options options = nullptr;
    return spvc_compiler_create_compiler_options(compiler, &options) == SPVC_SUCCESS &&
           spvc_compiler_options_set_uint(options, SPVC_COMPILER_OPTION_GLSL_VERSION, 330) == SPVC_SUCCESS &&
           spvc_compiler_options_set_bool(options, SPVC_COMPILER_OPTION_GLSL_ES, SPVC_FALSE) == SPVC_SUCCESS &&
           spvc_compiler_options_set_bool(options, SPVC_COMPILER_OPTION_GLSL_ENABLE_420PACK_EXTENSION, SPVC_FALSE) ==
               SPVC_SUCCESS &&
           spvc_compiler_install_compiler_options(compiler, options) == SPVC_SUCCESS;
}

SpirvToGlslResult Translate(std::span<const std::uint32_t> words, ShaderStage stage) {
    SpirvToGlslResult result;
    if (words.size() < 5 || words[0] != kSpirvMagic) {
        result.error = "not a SPIR-V module";
        return result;
    }
    CrossContext context;
    spvc_parsed_ir ir = nullptr;
    spvc_compiler compiler = nullptr;
    spvc_resources resources = nullptr;
    if (context.Get() == nullptr ||
        spvc_context_parse_spirv(context.Get(), words.data(), words.size(), &ir) != SPVC_SUCCESS ||
        spvc_context_create_compiler(context.Get(), SPVC_BACKEND_GLSL, ir, SPVC_CAPTURE_MODE_TAKE_OWNERSHIP,
                                     &compiler) != SPVC_SUCCESS) {
        result.error = "SPIR-V not accepted: " + context.Messages();
        return result;
    }
    if (!SelectEntryPoint(compiler, stage)) {
        result.error = std::string("no entry point \"main\" for the ") +
                       (stage == ShaderStage::Vertex ? "vertex" : "pixel") + " stage";
        return result;
    }
    if (spvc_compiler_create_shader_resources(compiler, &resources) != SPVC_SUCCESS) {
        result.error = "SPIR-V not accepted: " + context.Messages();
        return result;
    }

    Translator translator(compiler, stage, result);
    if (!translator.Run(resources)) return result;

    const char* source = nullptr;
    if (!SetOptions(compiler) || spvc_compiler_compile(compiler, &source) != SPVC_SUCCESS || source == nullptr) {
        result.error = "GLSL back end failed: " + context.Messages();
        return result;
    }
    std::string text = source;
    std::string error = RewriteRegisterBlock(text, stage, translator.BlockMembers());
    if (error.empty()) error = AddEpilogue(text, stage, translator.WritesColour0());
    if (!error.empty()) {
        result.error = "GLSL post-pass failed: " + error;
        return result;
    }
    result.shader.text = std::move(text);
    return result;
}

}  // namespace

namespace {
std::atomic<std::uint64_t> g_translateCount{0};
}  // namespace

std::uint64_t SpirvToGlslCount() { return g_translateCount.load(std::memory_order_relaxed); }

SpirvToGlslResult SpirvToGlsl(std::span<const std::uint32_t> words, ShaderStage stage) {
    g_translateCount.fetch_add(1, std::memory_order_relaxed);
    SpirvToGlslResult result = Translate(words, stage);
    if (!result.Ok()) result.shader = GlslShader{};
    return result;
}

SpirvToGlslResult TranslateHlsl(std::string_view text, ShaderStage stage, std::vector<std::uint32_t>* words) {
    SpirvToGlslResult result;
    for (SpirvOptimiser optimiser : {SpirvOptimiser::None, SpirvOptimiser::Legalise}) {
        HlslCompileResult compiled = CompileHlsl(text, stage, optimiser);
        if (!compiled.Ok()) {
            result = SpirvToGlslResult{};
            result.error = compiled.error;
            result.refused = true;
            break;
        }
        result = SpirvToGlsl(compiled.words, stage);
        if (words != nullptr) *words = std::move(compiled.words);
        if (result.Ok() || result.refused) break;
    }
    if (!result.Ok() && words != nullptr) words->clear();
    return result;
}

}  // namespace sys
