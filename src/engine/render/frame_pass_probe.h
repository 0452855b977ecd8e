#pragma once
// Marks where each pass of a frame begins, for a measurement that wants the frame split by pass (a benchmark
// that finishes the GPU's work at every mark and reads its clocks). With no probe installed a mark does
// nothing. Main thread only.
#include <functional>

namespace engine {

enum class FramePass {
    kOther,    // the frame's own work before and after its passes: updates, building the queue
    kShadow,   // the shadow maps of the lights that cast shadows
    kOpaque,   // the scene's opaque entries and the sky
    kSorted,   // the scene's blended entries, back to front (the effects among them)
    kGlow,     // the blur and bloom of the frame
    kGui,      // the 2D drawing over the scene: markers, panels, texts, windows
    kPresent,  // the present of the finished frame
    kCount,
};

// The pass's name as a counter may carry it: "shadow", "opaque" and so on.
const char* FramePassName(FramePass pass);

// Installs the probe that each mark calls; an empty one removes it.
void SetFramePassProbe(std::function<void(FramePass)> probe);

// The pass that begins now, told to the installed probe.
void MarkFramePass(FramePass pass);
// The pass last marked: a drawing nested in another pass (a model view inside a window) marks its own
// passes and then this one again.
FramePass CurrentFramePass();

}  // namespace engine
