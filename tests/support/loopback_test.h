#pragma once
// The OpenAL Soft loopback device under the engine's audio device, rendered on demand: a test plays sounds,
// steps a game clock frame by frame and reads back the mixed stereo output. Base is the test's own fixture
// base (a data-folder fixture, or plain ::testing::Test).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "engine/platform/audio_device.h"
#include "engine/platform/voice_scheduler.h"
#include "sys/al_output.h"

namespace testsupport {

template <class Base = ::testing::Test>
class LoopbackTest : public Base {
protected:
    static constexpr int kRate = sys::kLoopbackRate;

    LoopbackTest() {
        device_ = sys::OpenLoopbackDevice();
        audio_ = std::make_unique<engine::AudioDevice>([this] { return clock_; }, device_);
    }
    ~LoopbackTest() override {
        audio_.reset();
        sys::CloseAlDevice(device_);
    }

    void SetUp() override {
        Base::SetUp();
        ASSERT_NE(device_, nullptr);
        ASSERT_TRUE(audio_->IsRunning());
    }

    // Mixes `frames` stereo frames and appends them to left_ and right_.
    void Render(int frames) {
        std::vector<std::int16_t> out(static_cast<std::size_t>(frames) * 2);
        ASSERT_TRUE(sys::RenderLoopback(device_, out.data(), frames));
        for (int i = 0; i < frames; ++i) {
            left_.push_back(out[static_cast<std::size_t>(2 * i)]);
            right_.push_back(out[static_cast<std::size_t>(2 * i + 1)]);
        }
    }
    // One frame of the game: the update, then `frames` of sound.
    void Frame(int frames) {
        clock_ += static_cast<double>(frames) / kRate;
        audio_->Update();
        Render(frames);
    }

    // The largest magnitude from `from` on, as a fraction of full scale.
    static double Peak(const std::vector<std::int16_t>& channel, std::size_t from) {
        int peak = 0;
        for (std::size_t i = from; i < channel.size(); ++i) peak = std::max(peak, std::abs(int{channel[i]}));
        return peak / 32767.0;
    }

    int BusyVoices() const {
        int n = 0;
        for (int v = 0; v < engine::VoiceScheduler::kVoiceCount; ++v) n += audio_->GetVoice(v).sample != nullptr;
        return n;
    }

    double clock_ = 0.0;
    sys::AlDeviceHandle device_ = nullptr;
    std::unique_ptr<engine::AudioDevice> audio_;
    std::vector<std::int16_t> left_;
    std::vector<std::int16_t> right_;
};

}  // namespace testsupport
