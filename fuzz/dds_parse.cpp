// Parses arbitrary bytes as a DDS file (the CPU half of texture loading) and decodes every surface it
// finds. Every surface must lie inside the input; decoding must stay inside both buffers.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/image/dds_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
    engine::DdsImage dds;
    if (!engine::ParseDds(input, size, dds)) {
        if (!dds.surfaces.empty() || dds.width != 0) __builtin_trap();
        return 0;
    }
    if (dds.surfaces.size() != std::size_t{dds.faces} * dds.levels) __builtin_trap();
    for (const engine::DdsSurface& s : dds.surfaces) {
        if (s.data < input || s.data + s.size > input + size) __builtin_trap();
        std::vector<std::uint8_t> pixels(std::size_t{s.width} * s.height * 4);
        if (!engine::DecodeDdsSurface(dds, s, pixels.data(), std::size_t{s.width} * 4)) __builtin_trap();
    }
    return 0;
}
