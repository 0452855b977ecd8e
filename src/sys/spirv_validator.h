#pragma once
// Checks SPIR-V words before they are trusted: words read back from the shader cache, and the compiler's own
// output.
#include <cstdint>
#include <span>
#include <string>

#include "sys/hlsl_compiler.h"

namespace sys {

// True when the words are a module that the SPIR-V validator accepts under the Vulkan 1.0 rules the compiler
// targets, with an entry point "main" of the given stage. Otherwise false, with the reason in `error` when
// one is given.
bool ValidateSpirv(std::span<const std::uint32_t> words, ShaderStage stage, std::string* error = nullptr);

}  // namespace sys
