#pragma once
// The sound output: an OpenAL device with one context made current for the whole process. Either the
// default playback device, or a device handed in from outside (the loopback device of tests, which mixes
// only when asked to render). Only one output is open at a time.
#include <cstdint>

namespace sys {

// An OpenAL device (an ALCdevice*) as code outside this layer holds it.
using AlDeviceHandle = void*;

// The loopback device renders interleaved stereo 16-bit samples at this rate.
constexpr int kLoopbackRate = 44100;

// A loopback device that mixes on demand; null when the OpenAL library has no loopback support.
AlDeviceHandle OpenLoopbackDevice();
// Mixes `frames` frames of the current context into `out` (2 x frames samples). False for a null device
// or a frame count below 1.
bool RenderLoopback(AlDeviceHandle device, std::int16_t* out, int frames);
// Closes a device opened by OpenLoopbackDevice; null is ignored.
void CloseAlDevice(AlDeviceHandle device);

class AlOutput {
public:
    AlOutput() = default;
    ~AlOutput() { Close(); }
    AlOutput(const AlOutput&) = delete;
    AlOutput& operator=(const AlOutput&) = delete;

    // With a null device, opens the default playback device (owned and closed by Close); otherwise uses
    // the given loopback device (stereo, 16-bit, kLoopbackRate, no output limiter; not owned). Creates a
    // context without HRTF and makes it current. True only when every step succeeded; on failure nothing
    // stays open. Where there is no sound device the default device fails: that is not an error, the
    // program then runs silent.
    bool Open(AlDeviceHandle device);
    // Releases the context and, when owned, the device.
    void Close();
    bool IsOpen() const { return context_ != nullptr; }

    // A number that changes every time an output opens; 0 while none is open. Buffers remember the output
    // they were made on, so that names of a closed output are never deleted on a later one, which reuses
    // names.
    static std::uint32_t CurrentGeneration();

private:
    void* device_ = nullptr;
    void* context_ = nullptr;
    bool ownsDevice_ = false;
};

}  // namespace sys
