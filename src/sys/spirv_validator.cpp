#include "sys/spirv_validator.h"

#include <cstring>
#include <spirv-tools/libspirv.hpp>
#include <unordered_map>
#include <utility>

namespace sys {

namespace {

constexpr std::uint32_t kSpirvMagic = 0x07230203;
constexpr std::size_t kHeaderWords = 5;
constexpr std::uint32_t kOpMemberName = 6;
constexpr std::uint32_t kOpEntryPoint = 15;
constexpr std::uint32_t kOpTypeStruct = 30;
constexpr std::uint32_t kOpMemberDecorate = 72;
constexpr std::uint32_t kOpMemberDecorateString = 5633;
constexpr std::uint32_t kExecutionModelVertex = 0;
constexpr std::uint32_t kExecutionModelFragment = 4;

void SetError(std::string* error, std::string text) {
    if (error != nullptr) *error = std::move(text);
}

// Calls `visit(opcode, operands, operandCount)` for each instruction; false when an instruction's length
// runs past the end.
template <typename Visit>
bool ForEachInstruction(std::span<const std::uint32_t> words, Visit visit) {
    std::size_t at = kHeaderWords;
    while (at < words.size()) {
        const std::uint32_t count = words[at] >> 16;
        if (count == 0 || count > words.size() - at) return false;
        visit(words[at] & 0xFFFFu, &words[at + 1], count - 1);
        at += count;
    }
    return true;
}

// Member names and member decorations must name a member of their structure. The validator lets a
// decoration's member index beyond the structure through, and the GLSL back end sizes its tables by it.
bool MemberIndicesInRange(std::span<const std::uint32_t> words) {
    std::unordered_map<std::uint32_t, std::uint32_t> memberCounts;
    ForEachInstruction(words, [&](std::uint32_t opcode, const std::uint32_t* operands, std::uint32_t count) {
        if (opcode == kOpTypeStruct && count >= 1) memberCounts[operands[0]] = count - 1;
    });
    bool ok = true;
    ForEachInstruction(words, [&](std::uint32_t opcode, const std::uint32_t* operands, std::uint32_t count) {
        if (opcode != kOpMemberName && opcode != kOpMemberDecorate && opcode != kOpMemberDecorateString) return;
        const auto found = count >= 2 ? memberCounts.find(operands[0]) : memberCounts.end();
        if (found == memberCounts.end() || operands[1] >= found->second) ok = false;
    });
    return ok;
}

// Whether an OpEntryPoint names "main" with the execution model: model, function id, then the
// zero-terminated name packed four bytes to a word.
bool HasMainEntryPoint(std::span<const std::uint32_t> words, std::uint32_t model) {
    bool found = false;
    ForEachInstruction(words, [&](std::uint32_t opcode, const std::uint32_t* operands, std::uint32_t count) {
        if (opcode != kOpEntryPoint || count < 3 || operands[0] != model) return;
        const std::size_t nameBytes = (count - 2) * sizeof(std::uint32_t);
        const char* name = reinterpret_cast<const char*>(&operands[2]);
        if (strnlen(name, nameBytes) == 4 && std::memcmp(name, "main", 4) == 0) found = true;
    });
    return found;
}

}  // namespace

bool ValidateSpirv(std::span<const std::uint32_t> words, ShaderStage stage, std::string* error) {
    if (words.size() < kHeaderWords || words[0] != kSpirvMagic) {
        SetError(error, "not a SPIR-V module");
        return false;
    }
    spvtools::SpirvTools tools(SPV_ENV_VULKAN_1_0);
    std::string message;
    tools.SetMessageConsumer([&message](spv_message_level_t, const char*, const spv_position_t&, const char* text) {
        if (message.empty() && text != nullptr) message = text;
    });
    if (!tools.Validate(words.data(), words.size())) {
        SetError(error, message.empty() ? "the SPIR-V validator refused the module" : message);
        return false;
    }
    if (!MemberIndicesInRange(words)) {
        SetError(error, "a member name or decoration names no member of its structure");
        return false;
    }
    const std::uint32_t model = stage == ShaderStage::Vertex ? kExecutionModelVertex : kExecutionModelFragment;
    if (!HasMainEntryPoint(words, model)) {
        SetError(error,
                 stage == ShaderStage::Vertex ? "no vertex entry point \"main\"" : "no pixel entry point \"main\"");
        return false;
    }
    return true;
}

}  // namespace sys
