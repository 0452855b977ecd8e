#include "sys/spirv_validator.h"

#include <cstring>

#include <spirv-tools/libspirv.hpp>

namespace sys {

namespace {

constexpr std::uint32_t kSpirvMagic = 0x07230203;
constexpr std::size_t kHeaderWords = 5;
constexpr std::uint32_t kOpEntryPoint = 15;
constexpr std::uint32_t kExecutionModelVertex = 0;
constexpr std::uint32_t kExecutionModelFragment = 4;

void SetError(std::string* error, std::string text) {
    if (error != nullptr) *error = std::move(text);
}

// Whether an OpEntryPoint names "main" with the execution model. The words have passed the validator, so
// every instruction's length is sound; the bounds are checked all the same.
bool HasMainEntryPoint(std::span<const std::uint32_t> words, std::uint32_t model) {
    std::size_t at = kHeaderWords;
    while (at < words.size()) {
        const std::uint32_t count = words[at] >> 16;
        const std::uint32_t opcode = words[at] & 0xFFFFu;
        if (count == 0 || count > words.size() - at) return false;
        // OpEntryPoint: model, function id, then the zero-terminated name packed four bytes to a word.
        if (opcode == kOpEntryPoint && count >= 4 && words[at + 1] == model) {
            const std::size_t nameBytes = (count - 3) * sizeof(std::uint32_t);
            const char* name = reinterpret_cast<const char*>(&words[at + 3]);
            if (strnlen(name, nameBytes) == 4 && std::memcmp(name, "main", 4) == 0) return true;
        }
        at += count;
    }
    return false;
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
    const std::uint32_t model = stage == ShaderStage::Vertex ? kExecutionModelVertex : kExecutionModelFragment;
    if (!HasMainEntryPoint(words, model)) {
        SetError(error, stage == ShaderStage::Vertex ? "no vertex entry point \"main\""
                                                     : "no pixel entry point \"main\"");
        return false;
    }
    return true;
}

}  // namespace sys
