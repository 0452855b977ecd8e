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
