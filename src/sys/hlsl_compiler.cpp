#include "sys/hlsl_compiler.h"

#include <atomic>
#include <climits>
#include <mutex>

#include <glslang/MachineIndependent/localintermediate.h>
#include <glslang/Public/ResourceLimits.h>
#include <glslang/Public/ShaderLang.h>
#include <glslang/SPIRV/GlslangToSpv.h>

namespace sys {
namespace {

std::atomic<std::uint64_t> g_compileCount{0};
std::once_flag g_frontEndOnce;

// HLSL fmod truncates (the result takes the sign of the dividend); the front end translates it, and folds it on
// constants, as GLSL's flooring mod. The macro spells out the HLSL meaning with operations it translates
// faithfully, for every vector size.
constexpr const char* kPreamble = "#define fmod(x, y) ((x) - (y) * trunc((x) / (y)))\n";

constexpr EShMessages kMessages = static_cast<EShMessages>(EShMsgReadHlsl | EShMsgSpvRules | EShMsgVulkanRules |
                                                           EShMsgHlslDX9Compatible);

// The engine sets constants and samplers only by register number. The front end packs a constant declared
// without register(cN) after the previous one (possibly over a later register) and gives a sampler without
// register(sN) unit 0, so both are refused while the declarations still show whether a register was given.
std::string CheckExplicitRegisters(const glslang::TIntermediate& intermediate) {
    TIntermNode* root = intermediate.getTreeRoot();
    glslang::TIntermAggregate* top = root != nullptr ? root->getAsAggregate() : nullptr;
    if (top == nullptr || top->getSequence().empty()) return {};
    glslang::TIntermAggregate* linkerObjects = top->getSequence().back()->getAsAggregate();
    if (linkerObjects == nullptr || linkerObjects->getOp() != glslang::EOpLinkerObjects) return {};

    for (TIntermNode* node : linkerObjects->getSequence()) {
        const glslang::TIntermSymbol* symbol = node->getAsSymbolNode();
        if (symbol == nullptr) continue;
        const glslang::TType& type = symbol->getType();
        if (type.getQualifier().storage != glslang::EvqUniform) continue;
        if (type.getBasicType() == glslang::EbtBlock && type.getStruct() != nullptr) {
            for (const glslang::TTypeLoc& member : *type.getStruct()) {
                if (!member.type->getQualifier().hasOffset()) {
                    return "constant '" + std::string(member.type->getFieldName().c_str()) +
                           "' has no register(cN)";
                }
            }
        } else if (type.getBasicType() == glslang::EbtSampler && !type.getQualifier().hasBinding()) {
            return "sampler '" + std::string(symbol->getName().c_str()) + "' has no register(sN)";
        }
    }
    return {};
}

}  // namespace

std::string_view HlslTranslatorKey() {
    static const std::string key = "hlsl translator " + std::to_string(kHlslTranslatorVersion) + "\n" + kPreamble;
    return key;
}

HlslCompileResult CompileHlsl(std::string_view text, ShaderStage stage, SpirvOptimiser optimiser) {
    g_compileCount.fetch_add(1, std::memory_order_relaxed);
    std::call_once(g_frontEndOnce, [] { glslang::InitializeProcess(); });

    HlslCompileResult result;
    if (text.size() > static_cast<std::size_t>(INT_MAX)) {
        result.error = "shader text too long";
        return result;
    }
    const EShLanguage language = stage == ShaderStage::Vertex ? EShLangVertex : EShLangFragment;
    glslang::TShader shader(language);
    const char* source = text.data();
    const int length = static_cast<int>(text.size());
    shader.setStringsWithLengths(&source, &length, 1);
    shader.setPreamble(kPreamble);
    shader.setEntryPoint("main");
    shader.setSourceEntryPoint("main");
    shader.setEnvInput(glslang::EShSourceHlsl, language, glslang::EShClientVulkan, 100);
    shader.setEnvClient(glslang::EShClientVulkan, glslang::EShTargetVulkan_1_0);
    shader.setEnvTarget(glslang::EShTargetSpv, glslang::EShTargetSpv_1_0);
    // Keeps each stage variable's semantic in the module (UserSemantic decorations).
    shader.setEnvTargetHlslFunctionality1();

    if (!shader.parse(GetDefaultResources(), 100, false, kMessages)) {
        result.error = shader.getInfoLog();
        return result;
    }
    if (const glslang::TIntermediate* intermediate = shader.getIntermediate()) {
        result.error = CheckExplicitRegisters(*intermediate);
        if (!result.error.empty()) return result;
    }

    glslang::TProgram program;
    program.addShader(&shader);
    if (!program.link(kMessages)) {
        result.error = program.getInfoLog();
        return result;
    }
    const glslang::TIntermediate* linked = program.getIntermediate(language);
    if (linked == nullptr) {
        result.error = "no shader for the stage after linking";
        return result;
    }

    glslang::SpvOptions options;
    options.disableOptimizer = optimiser == SpirvOptimiser::None;
    spv::SpvBuildLogger logger;
    std::vector<unsigned int> words;
    glslang::GlslangToSpv(*linked, words, &logger, &options);
    if (words.size() < 5) {
        result.error = "no SPIR-V produced: " + logger.getAllMessages();
        return result;
    }
    result.words.assign(words.begin(), words.end());
    return result;
}

std::uint64_t HlslCompileCount() { return g_compileCount.load(std::memory_order_relaxed); }

}  // namespace sys
