#pragma once
// Private to the graphics layer's .cpp files: the GL headers and the GL call counter. Every GL call of the
// layer goes through GL(...), which counts it, so that tests can show a cached state reaching no GL call.
#include <epoxy/gl.h>

#include <cstdint>

#include "sys/gpu_resource.h"

namespace sys::gpu_internal {

extern std::uint64_t g_glCalls;

// An ARGB word as RGBA floats.
inline void ColourOfArgb(std::uint32_t argb, float out[4]) {
    out[0] = static_cast<float>((argb >> 16) & 0xFF) / 255.0f;
    out[1] = static_cast<float>((argb >> 8) & 0xFF) / 255.0f;
    out[2] = static_cast<float>(argb & 0xFF) / 255.0f;
    out[3] = static_cast<float>(argb >> 24) / 255.0f;
}

inline GpuRect WholeSurface(const GpuSurface* surface) {
    return {0, 0, static_cast<std::int32_t>(surface->GetDesc().width),
            static_cast<std::int32_t>(surface->GetDesc().height)};
}

}  // namespace sys::gpu_internal

#define GL(call) (++::sys::gpu_internal::g_glCalls, call)
