#include "sys/al_output.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

namespace sys {

namespace {

// 0 while no output is open.
std::uint32_t g_generation = 0;
std::uint32_t g_lastGeneration = 0;

LPALCLOOPBACKOPENDEVICESOFT LoopbackOpen() {
    return reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
}

LPALCRENDERSAMPLESSOFT LoopbackRender() {
    return reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
}

}  // namespace

AlDeviceHandle OpenLoopbackDevice() {
    if (alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback") != ALC_TRUE) return nullptr;
    const LPALCLOOPBACKOPENDEVICESOFT open = LoopbackOpen();
    return open != nullptr ? open(nullptr) : nullptr;
}

bool RenderLoopback(AlDeviceHandle device, std::int16_t* out, int frames) {
    if (device == nullptr || out == nullptr || frames < 1) return false;
    const LPALCRENDERSAMPLESSOFT render = LoopbackRender();
    if (render == nullptr) return false;
    render(static_cast<ALCdevice*>(device), out, frames);
    return true;
}

void CloseAlDevice(AlDeviceHandle device) {
    if (device != nullptr) alcCloseDevice(static_cast<ALCdevice*>(device));
}

bool AlOutput::Open(AlDeviceHandle device) {
    Close();
    ALCdevice* dev = static_cast<ALCdevice*>(device);
    ownsDevice_ = dev == nullptr;
    if (dev == nullptr) dev = alcOpenDevice(nullptr);
    if (dev == nullptr) {
        ownsDevice_ = false;
        return false;
    }

    const ALCint defaultAttributes[] = {ALC_HRTF_SOFT, ALC_FALSE, 0};
    const ALCint loopbackAttributes[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT,  ALC_FORMAT_TYPE_SOFT,
                                         ALC_SHORT_SOFT,           ALC_FREQUENCY,    kLoopbackRate,
                                         ALC_HRTF_SOFT,            ALC_FALSE,        ALC_OUTPUT_LIMITER_SOFT,
                                         ALC_FALSE,                0};
    ALCcontext* context = alcCreateContext(dev, ownsDevice_ ? defaultAttributes : loopbackAttributes);
    if (context == nullptr || alcMakeContextCurrent(context) != ALC_TRUE) {
        if (context != nullptr) alcDestroyContext(context);
        if (ownsDevice_) alcCloseDevice(dev);
        ownsDevice_ = false;
        return false;
    }
    device_ = dev;
    context_ = context;
    g_lastGeneration = g_lastGeneration + 1 == 0 ? 1 : g_lastGeneration + 1;
    g_generation = g_lastGeneration;
    alGetError();
    return true;
}

void AlOutput::Close() {
    if (context_ != nullptr) {
        if (alcGetCurrentContext() == context_) alcMakeContextCurrent(nullptr);
        alcDestroyContext(static_cast<ALCcontext*>(context_));
        g_generation = 0;
    }
    if (ownsDevice_ && device_ != nullptr) alcCloseDevice(static_cast<ALCdevice*>(device_));
    device_ = nullptr;
    context_ = nullptr;
    ownsDevice_ = false;
}

std::uint32_t AlOutput::CurrentGeneration() { return g_generation; }

}  // namespace sys
