#include "sys/gpu_types.h"

namespace sys {

int GpuFormatBytes(GpuFormat format) {
    switch (format) {
        case kFmtA8R8G8B8:
        case kFmtX8R8G8B8:
        case kFmtR32F:
            return 4;
        case kFmtR5G6B5:
        case kFmtX1R5G5B5:
        case kFmtA1R5G5B5:
            return 2;
        default:
            return 0;
    }
}

int GpuFormatBlockBytes(GpuFormat format) {
    return format == kFmtDxt1 ? 8 : (format == kFmtDxt3 ? 16 : 0);
}

std::size_t GpuRowBytes(GpuFormat format, std::uint32_t width) {
    const int block = GpuFormatBlockBytes(format);
    if (block != 0) return std::size_t{(width + 3) / 4} * static_cast<std::size_t>(block);
    return std::size_t{width} * static_cast<std::size_t>(GpuFormatBytes(format));
}

std::size_t GpuLevelBytes(GpuFormat format, std::uint32_t width, std::uint32_t height) {
    const std::size_t rows = GpuFormatBlockBytes(format) != 0 ? (std::size_t{height} + 3) / 4 : height;
    return GpuRowBytes(format, width) * rows;
}

int GpuVertexCount(GpuPrimitiveType type, int primitiveCount) {
    if (primitiveCount <= 0) return 0;
    switch (type) {
        case kPrimPointList:
            return primitiveCount;
        case kPrimLineList:
            return primitiveCount * 2;
        case kPrimLineStrip:
            return primitiveCount + 1;
        case kPrimTriangleList:
            return primitiveCount * 3;
        case kPrimTriangleStrip:
        case kPrimTriangleFan:
            return primitiveCount + 2;
    }
    return 0;
}

GpuCaps GpuLayerCaps() {
    GpuCaps caps;
    caps.vertexShaderVersion = 0xFFFE0300u;
    caps.pixelShaderVersion = 0xFFFF0300u;
    caps.ps20InstructionSlots = 512;
    caps.maxPixelShader30InstructionSlots = 512;
    caps.maxSimultaneousTextures = kSamplerStages;
    caps.maxStreams = kVertexStreams;
    caps.maxVertexShaderConstants = 256;
    return caps;
}

}  // namespace sys
