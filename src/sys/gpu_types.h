#pragma once
// Numbers and records of the Direct3D-9-shaped graphics layer. The engine speaks in these numbers (render
// states, formats, result codes); the layer turns them into OpenGL 3.3 core calls.
#include <cstddef>
#include <cstdint>

namespace sys {

// Result of a layer call: 0 on success, a negative code on failure.
using GpuResult = std::int32_t;

constexpr GpuResult kGpuOk = 0;
constexpr GpuResult kGpuDeviceLost = static_cast<GpuResult>(0x88760868u);
constexpr GpuResult kGpuDeviceNotReset = static_cast<GpuResult>(0x88760869u);
constexpr GpuResult kGpuNotAvailable = static_cast<GpuResult>(0x8876086Au);
constexpr GpuResult kGpuInvalidCall = static_cast<GpuResult>(0x8876086Cu);
constexpr GpuResult kGpuOutOfVideoMemory = static_cast<GpuResult>(0x8876017Cu);

inline bool GpuFailed(GpuResult result) { return result < 0; }

enum GpuFormat : std::uint32_t {
    kFmtUnknown = 0,
    kFmtA8R8G8B8 = 21,
    kFmtX8R8G8B8 = 22,
    kFmtR5G6B5 = 23,
    kFmtX1R5G5B5 = 24,
    kFmtA1R5G5B5 = 25,
    kFmtD32 = 71,
    kFmtD24S8 = 75,
    kFmtD24X8 = 77,
    kFmtD16 = 80,
    kFmtIndex16 = 101,
    kFmtR32F = 114,
    kFmtDxt1 = 0x31545844,  // "DXT1": 8 bytes per 4 x 4 block
    kFmtDxt3 = 0x33545844,  // "DXT3": 16 bytes per 4 x 4 block
};

// Bytes per pixel of a colour format the layer can store; 0 for others.
int GpuFormatBytes(GpuFormat format);
// Bytes per 4 x 4 block of a block-compressed format; 0 for others.
int GpuFormatBlockBytes(GpuFormat format);
// Bytes of one row of texels (or of blocks) and of a whole level of the size.
std::size_t GpuRowBytes(GpuFormat format, std::uint32_t width);
std::size_t GpuLevelBytes(GpuFormat format, std::uint32_t width, std::uint32_t height);

enum GpuUsage : std::uint32_t {
    kUsageRenderTarget = 0x1,
    kUsageDepthStencil = 0x2,
    kUsageWriteOnly = 0x8,
    kUsageDynamic = 0x200,
};

enum GpuPool : std::uint32_t {
    kPoolDefault = 0,
    kPoolManaged = 1,
    kPoolSystemMem = 2,
};

enum GpuResourceType : std::uint32_t {
    kResourceSurface = 1,
    kResourceTexture = 3,
    kResourceCubeTexture = 5,
};

enum GpuLockFlags : std::uint32_t {
    kLockReadOnly = 0x10,
    kLockDiscard = 0x2000,
    kLockNoOverwrite = 0x1000,
};

enum GpuClearFlags : std::uint32_t {
    kClearTarget = 0x1,
    kClearZBuffer = 0x2,
    kClearStencil = 0x4,
};

enum GpuPrimitiveType : std::uint32_t {
    kPrimPointList = 1,
    kPrimLineList = 2,
    kPrimLineStrip = 3,
    kPrimTriangleList = 4,
    kPrimTriangleStrip = 5,
    kPrimTriangleFan = 6,
};

// Vertices that primCount primitives of a type use.
int GpuVertexCount(GpuPrimitiveType type, int primitiveCount);

// Render states (the index into the render-state table).
enum GpuRenderState : std::uint32_t {
    kRsZEnable = 7,
    kRsFillMode = 8,
    kRsShadeMode = 9,
    kRsZWriteEnable = 14,
    kRsAlphaTestEnable = 15,
    kRsLastPixel = 16,
    kRsSrcBlend = 19,
    kRsDestBlend = 20,
    kRsCullMode = 22,
    kRsZFunc = 23,
    kRsAlphaRef = 24,
    kRsAlphaFunc = 25,
    kRsAlphaBlendEnable = 27,
    kRsClipping = 136,
    kRsColorWriteEnable = 168,
    kRsBlendOp = 171,
    kRsScissorTestEnable = 174,
};
constexpr std::uint32_t kRenderStateCount = 256;

enum GpuFillMode : std::uint32_t { kFillPoint = 1, kFillWireframe = 2, kFillSolid = 3 };
enum GpuShadeMode : std::uint32_t { kShadeFlat = 1, kShadeGouraud = 2 };
enum GpuCullMode : std::uint32_t { kCullNone = 1, kCullCw = 2, kCullCcw = 3 };

enum GpuBlend : std::uint32_t {
    kBlendZero = 1,
    kBlendOne = 2,
    kBlendSrcColor = 3,
    kBlendInvSrcColor = 4,
    kBlendSrcAlpha = 5,
    kBlendInvSrcAlpha = 6,
    kBlendDestAlpha = 7,
    kBlendInvDestAlpha = 8,
    kBlendDestColor = 9,
    kBlendInvDestColor = 10,
    kBlendSrcAlphaSat = 11,
};

enum GpuBlendOp : std::uint32_t {
    kBlendOpAdd = 1,
    kBlendOpSubtract = 2,
    kBlendOpRevSubtract = 3,
    kBlendOpMin = 4,
    kBlendOpMax = 5,
};

enum GpuCompare : std::uint32_t {
    kCmpNever = 1,
    kCmpLess = 2,
    kCmpEqual = 3,
    kCmpLessEqual = 4,
    kCmpGreater = 5,
    kCmpNotEqual = 6,
    kCmpGreaterEqual = 7,
    kCmpAlways = 8,
};

// Colour write mask bits of kRsColorWriteEnable.
enum GpuColourWrite : std::uint32_t { kWriteRed = 1, kWriteGreen = 2, kWriteBlue = 4, kWriteAlpha = 8 };

// Sampler states (index into a stage's sampler-state table).
enum GpuSamplerState : std::uint32_t {
    kSampAddressU = 1,
    kSampAddressV = 2,
    kSampAddressW = 3,
    kSampBorderColor = 4,
    kSampMagFilter = 5,
    kSampMinFilter = 6,
    kSampMipFilter = 7,
    kSampMipMapLodBias = 8,  // the bits of a float
    kSampMaxMipLevel = 9,    // the most detailed level sampled
};
constexpr std::uint32_t kSamplerStateCount = 32;
constexpr int kSamplerStages = 16;

enum GpuTextureAddress : std::uint32_t { kAddressWrap = 1, kAddressMirror = 2, kAddressClamp = 3, kAddressBorder = 4 };
enum GpuTextureFilter : std::uint32_t { kFilterNone = 0, kFilterPoint = 1, kFilterLinear = 2 };

enum GpuCubeFace : std::uint32_t {
    kCubePositiveX = 0,
    kCubeNegativeX = 1,
    kCubePositiveY = 2,
    kCubeNegativeY = 3,
    kCubePositiveZ = 4,
    kCubeNegativeZ = 5,
};

// Stream frequencies (SetStreamSourceFreq): stream 0 draws its geometry count times, stream 1 steps once
// per instance.
constexpr std::uint32_t kStreamIndexedData = 1u << 30;
constexpr std::uint32_t kStreamInstanceData = 2u << 30;
constexpr int kVertexStreams = 2;

// Vertex declaration element types and usages.
enum GpuDeclType : std::uint8_t {
    kDeclFloat1 = 0,
    kDeclFloat2 = 1,
    kDeclFloat3 = 2,
    kDeclFloat4 = 3,
    kDeclColour = 4,  // four bytes B, G, R, A read as normalised (r, g, b, a)
    kDeclUByte4 = 5,
    kDeclShort2 = 6,
    kDeclShort4 = 7,
    kDeclUByte4N = 8,
    kDeclUnused = 17,
};

enum GpuDeclUsage : std::uint8_t {
    kUsagePosition = 0,
    kUsageBlendWeight = 1,
    kUsageBlendIndices = 2,
    kUsageNormal = 3,
    kUsagePSize = 4,
    kUsageTexCoord = 5,
    kUsageTangent = 6,
    kUsageBinormal = 7,
    kUsageColour = 10,
    kUsageFog = 11,
};

struct GpuVertexElement {
    std::uint16_t stream = 0;
    std::uint16_t offset = 0;
    std::uint8_t type = kDeclFloat3;
    std::uint8_t method = 0;
    std::uint8_t usage = kUsagePosition;
    std::uint8_t usageIndex = 0;
};

struct GpuRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

struct GpuViewport {
    std::uint32_t x = 0;
    std::uint32_t y = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    float minZ = 0.0f;
    float maxZ = 1.0f;
};

struct GpuSurfaceDesc {
    GpuFormat format = kFmtUnknown;
    GpuResourceType type = kResourceSurface;
    std::uint32_t usage = 0;
    GpuPool pool = kPoolDefault;
    std::uint32_t multiSampleType = 0;  // samples, 0 for none
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

struct GpuLockedRect {
    std::int32_t pitch = 0;
    void* bits = nullptr;
};

struct GpuDisplayMode {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t refreshRate = 0;
    GpuFormat format = kFmtUnknown;
};

constexpr std::uint32_t kPresentIntervalOne = 0x1;
constexpr std::uint32_t kPresentIntervalImmediate = 0x80000000u;
enum GpuSwapEffect : std::uint32_t { kSwapDiscard = 1, kSwapFlip = 2, kSwapCopy = 3 };

struct GpuPresentParameters {
    std::uint32_t backBufferWidth = 0;
    std::uint32_t backBufferHeight = 0;
    GpuFormat backBufferFormat = kFmtUnknown;
    std::uint32_t backBufferCount = 1;
    std::uint32_t multiSampleType = 0;
    std::uint32_t multiSampleQuality = 0;
    std::uint32_t swapEffect = kSwapDiscard;
    void* deviceWindow = nullptr;  // the SDL window that receives the presented frames; null presents nowhere
    std::int32_t windowed = 1;
    std::int32_t enableAutoDepthStencil = 0;
    GpuFormat autoDepthStencilFormat = kFmtUnknown;
    std::uint32_t flags = 0;
    std::uint32_t fullScreenRefreshRateInHz = 0;
    std::uint32_t presentationInterval = 0;
};

// What the device can do. Shader versions have D3D's form: 0xFFFE0300 for vs_3_0, 0xFFFF0300 for ps_3_0.
struct GpuCaps {
    std::uint32_t vertexShaderVersion = 0;
    std::uint32_t pixelShaderVersion = 0;
    std::uint32_t ps20InstructionSlots = 0;
    std::uint32_t maxPixelShader30InstructionSlots = 0;
    std::uint32_t maxSimultaneousTextures = 0;
    std::uint32_t maxStreams = 0;
    std::uint32_t maxVertexShaderConstants = 0;
};

// The capabilities of every device of this layer.
GpuCaps GpuLayerCaps();

}  // namespace sys
