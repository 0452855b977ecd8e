#include "sys/gpu_adapter.h"

#include <SDL.h>

#include <vector>

#include "sys/gpu_device.h"
#include "sys/gpu_gl.h"
#include "sys/gpu_test_hooks.h"

namespace sys {
namespace {

constexpr int kNeededTextureUnits = 16;
constexpr int kNeededAttributes = 16;
constexpr int kNeededUniformBlockBytes = 4096;

GpuFormat FormatOfSdl(Uint32 format) {
    switch (format) {
        case SDL_PIXELFORMAT_RGB565:
            return kFmtR5G6B5;
        case SDL_PIXELFORMAT_RGB555:
            return kFmtX1R5G5B5;
        case SDL_PIXELFORMAT_ARGB1555:
            return kFmtA1R5G5B5;
        default:
            return SDL_BITSPERPIXEL(format) == 32 || SDL_BITSPERPIXEL(format) == 24 ? kFmtX8R8G8B8 : kFmtUnknown;
    }
}

// Every full-screen mode the display offers (or the test hook's list).
std::vector<GpuDisplayMode> AllModes() {
    ++GpuHooks().modeListReads;
    if (GpuHooks().displayModes) return *GpuHooks().displayModes;
    std::vector<GpuDisplayMode> modes;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
        const GpuFormat format = FormatOfSdl(mode.format);
        if (format == kFmtUnknown || mode.w <= 0 || mode.h <= 0) continue;
        modes.push_back({static_cast<std::uint32_t>(mode.w), static_cast<std::uint32_t>(mode.h),
                         static_cast<std::uint32_t>(mode.refresh_rate), format});
    }
    return modes;
}

std::vector<GpuDisplayMode> ModesOf(GpuFormat format) {
    std::vector<GpuDisplayMode> modes;
    for (const GpuDisplayMode& mode : AllModes()) {
        if (mode.format == format) modes.push_back(mode);
    }
    return modes;
}

bool DepthFormatAccepted(GpuFormat format) {
    if (GpuHooks().depthFormatAccepted) return GpuHooks().depthFormatAccepted(format);
    return format == kFmtD24S8 || format == kFmtD24X8 || format == kFmtD16;
}

int GetInteger(GLenum name) {
    GLint value = 0;
    GL(glGetIntegerv(name, &value));
    return value;
}

}  // namespace

std::unique_ptr<GpuAdapter> GpuAdapter::Create(std::string* error) {
    const auto fail = [&](const char* why) {
        if (error != nullptr) *error = why;
        return std::unique_ptr<GpuAdapter>();
    };
    if (GpuHooks().TakeFailure(GpuCreateKind::Adapter)) return fail("adapter creation refused by a test hook");
    const int major = GetInteger(GL_MAJOR_VERSION);
    const int minor = GetInteger(GL_MINOR_VERSION);
    if (major < 3 || (major == 3 && minor < 3)) return fail("OpenGL 3.3 is needed");
    if (GetInteger(GL_MAX_TEXTURE_IMAGE_UNITS) < kNeededTextureUnits) return fail("16 texture units are needed");
    if (GetInteger(GL_MAX_VERTEX_ATTRIBS) < kNeededAttributes) return fail("16 vertex attributes are needed");
    if (GetInteger(GL_MAX_UNIFORM_BLOCK_SIZE) < kNeededUniformBlockBytes) {
        return fail("4096-byte uniform blocks are needed");
    }
    return std::unique_ptr<GpuAdapter>(new GpuAdapter());
}

GpuCaps GpuAdapter::GetDeviceCaps() const { return GpuLayerCaps(); }

GpuResult GpuAdapter::GetAdapterDisplayMode(GpuDisplayMode& mode) const {
    if (GpuHooks().desktopModeFails) return kGpuNotAvailable;
    if (GpuHooks().desktopMode) {
        mode = *GpuHooks().desktopMode;
        return kGpuOk;
    }
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) return kGpuNotAvailable;
    const GpuFormat format = FormatOfSdl(desktop.format);
    mode = {static_cast<std::uint32_t>(desktop.w), static_cast<std::uint32_t>(desktop.h),
            static_cast<std::uint32_t>(desktop.refresh_rate), format == kFmtUnknown ? kFmtX8R8G8B8 : format};
    return kGpuOk;
}

std::uint32_t GpuAdapter::GetAdapterModeCount(GpuFormat format) const {
    return static_cast<std::uint32_t>(ModesOf(format).size());
}

GpuResult GpuAdapter::EnumAdapterModes(GpuFormat format, std::uint32_t index, GpuDisplayMode& mode) const {
    const std::vector<GpuDisplayMode> modes = ModesOf(format);
    if (index >= modes.size()) return kGpuInvalidCall;
    mode = modes[index];
    return kGpuOk;
}

GpuResult GpuAdapter::CheckDeviceFormat(GpuFormat, std::uint32_t usage, GpuResourceType, GpuFormat format) const {
    if ((usage & kUsageDepthStencil) != 0) return DepthFormatAccepted(format) ? kGpuOk : kGpuNotAvailable;
    return GpuFormatBytes(format) > 0 ? kGpuOk : kGpuNotAvailable;
}

GpuResult GpuAdapter::CheckDepthStencilMatch(GpuFormat, GpuFormat, GpuFormat depthFormat) const {
    return DepthFormatAccepted(depthFormat) ? kGpuOk : kGpuNotAvailable;
}

std::unique_ptr<GpuDevice> GpuAdapter::CreateDevice(const GpuPresentParameters& params, GpuResult* result) {
    const auto fail = [&](GpuResult code) {
        if (result != nullptr) *result = code;
        return std::unique_ptr<GpuDevice>();
    };
    if (GpuHooks().TakeFailure(GpuCreateKind::Device)) return fail(kGpuNotAvailable);
    if (params.backBufferWidth == 0 || params.backBufferHeight == 0) return fail(kGpuInvalidCall);
    std::unique_ptr<GpuDevice> device(new GpuDevice());
    if (!device->Initialise(params)) return fail(kGpuNotAvailable);
    if (result != nullptr) *result = kGpuOk;
    return device;
}

}  // namespace sys
