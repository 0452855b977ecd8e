#include "engine/render/frame_pass_probe.h"

#include <utility>

namespace engine {

namespace {

std::function<void(FramePass)>& Probe() {
    static std::function<void(FramePass)> probe;
    return probe;
}

FramePass current = FramePass::kOther;

}  // namespace

const char* FramePassName(FramePass pass) {
    switch (pass) {
        case FramePass::kOther: return "other";
        case FramePass::kShadow: return "shadow";
        case FramePass::kOpaque: return "opaque";
        case FramePass::kSorted: return "sorted";
        case FramePass::kGlow: return "glow";
        case FramePass::kGui: return "gui";
        case FramePass::kPresent: return "present";
        case FramePass::kCount: break;
    }
    return "?";
}

void SetFramePassProbe(std::function<void(FramePass)> probe) { Probe() = std::move(probe); }

void MarkFramePass(FramePass pass) {
    current = pass;
    if (Probe()) Probe()(pass);
}

FramePass CurrentFramePass() { return current; }

}  // namespace engine
