#pragma once
// Private to the graphics layer's .cpp files: the GL headers and the GL call counter. Every GL call of the
// layer goes through GL(...), which counts it, so that tests can show a cached state reaching no GL call.
#include <epoxy/gl.h>

#include <cstdint>

namespace sys::gpu_internal {

extern std::uint64_t g_glCalls;

}  // namespace sys::gpu_internal

#define GL(call) (++::sys::gpu_internal::g_glCalls, call)
