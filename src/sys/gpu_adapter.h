#pragma once
// The display adapter: capabilities, display modes and format checks, and the factory of the device. It works
// on the GL context current on the calling thread (made with the window, GL 3.3 core).
#include <memory>
#include <string>

#include "sys/gpu_types.h"

namespace sys {

class GpuDevice;

class GpuAdapter {
public:
    // Null when the current context is below the layer's needs (GL 3.3 core, 16 texture units, 16 vertex
    // attributes, 4096-byte uniform blocks); `error` then says which.
    static std::unique_ptr<GpuAdapter> Create(std::string* error = nullptr);

    // Shader model 3 with 512 instruction slots.
    GpuCaps GetDeviceCaps() const;
    static const char* VertexShaderProfile() { return "vs_3_0"; }
    static const char* PixelShaderProfile() { return "ps_3_0"; }

    // The desktop's mode; kGpuNotAvailable when the display cannot be read.
    GpuResult GetAdapterDisplayMode(GpuDisplayMode& mode) const;
    // Full-screen modes of one format (A8R8G8B8, X8R8G8B8, R5G6B5, X1R5G5B5, A1R5G5B5).
    std::uint32_t GetAdapterModeCount(GpuFormat format) const;
    GpuResult EnumAdapterModes(GpuFormat format, std::uint32_t index, GpuDisplayMode& mode) const;

    // Depth-stencil formats: D24S8, D24X8 and D16 pass; D32 does not.
    GpuResult CheckDeviceFormat(GpuFormat adapterFormat, std::uint32_t usage, GpuResourceType type,
                                GpuFormat format) const;
    GpuResult CheckDepthStencilMatch(GpuFormat adapterFormat, GpuFormat renderTargetFormat,
                                     GpuFormat depthFormat) const;

    // A device presenting into params.deviceWindow (an SDL window with the current context). Null on failure,
    // with the reason in `result`.
    std::unique_ptr<GpuDevice> CreateDevice(const GpuPresentParameters& params, GpuResult* result = nullptr);

private:
    GpuAdapter() = default;
};

}  // namespace sys
