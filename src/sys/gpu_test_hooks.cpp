#include "sys/gpu_test_hooks.h"

namespace sys {

bool GpuTestHooks::TakeFailure(GpuCreateKind kind) {
    int& count = failCreations[static_cast<int>(kind)];
    if (count <= 0) return false;
    --count;
    return true;
}

GpuTestHooks& GpuHooks() {
    static GpuTestHooks hooks;
    return hooks;
}

void ResetGpuHooks() { GpuHooks() = GpuTestHooks(); }

}  // namespace sys
