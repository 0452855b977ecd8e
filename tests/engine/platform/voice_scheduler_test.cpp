#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/platform/sample_bank.h"
#include "engine/platform/sound_sample.h"
#include "engine/platform/voice_scheduler.h"
#include "sound_test_fixture.h"

namespace {

using namespace engine;

// A device that starts every voice (unless told otherwise), reports voices as playing until told
// otherwise, and records what the scheduler asks of it.
class FakeDevice final : public VoiceScheduler {
public:
    explicit FakeDevice(const double* clock) : VoiceScheduler([clock] { return *clock; }) {
        SetRunning(true);
        SetVoiceScheduler(this);
        playing.fill(1);
        appliedVolume.fill(-1.0f);
    }

    using VoiceScheduler::SetLastHandle;
    using VoiceScheduler::SetRunning;

    int startResult = 1;
    std::array<int, kVoiceCount> playing{};
    std::array<float, kVoiceCount> appliedVolume{};
    std::array<int, kVoiceCount> appliedPause{};
    std::vector<std::string> events;

protected:
    int StartVoice(int v) override {
        events.push_back("start " + std::to_string(v));
        return startResult;
    }
    void StopVoice(int v) override { events.push_back("stop " + std::to_string(v)); }
    int IsVoicePlaying(int v) override {
        events.push_back("playing? " + std::to_string(v));
        return playing[static_cast<std::size_t>(v)];
    }
    void ApplyVoiceVolume(int v) override { appliedVolume[static_cast<std::size_t>(v)] = GetVoice(v).volume; }
    void ApplyVoicePause(int v) override { appliedPause[static_cast<std::size_t>(v)] = GetVoice(v).paused ? 1 : 2; }
    void PumpStreams() override { events.push_back("pump"); }
};

class VoiceSchedulerTest : public ::testing::Test {
protected:
    int BusyVoices() const {
        int n = 0;
        for (int v = 0; v < VoiceScheduler::kVoiceCount; ++v) n += device_.GetVoice(v).sample != nullptr;
        return n;
    }

    double clock_ = 0.0;
    FakeDevice device_{&clock_};
};

TEST_F(VoiceSchedulerTest, OfTwoPlaysOfALimitOneSampleInOneFrameTheLouderPlays) {
    SoundSample sample(false, 1, 1.0f);
    const std::uint32_t quiet = device_.QueuePlay(&sample, 0.3f, false, 0.0f);
    const std::uint32_t loud = device_.QueuePlay(&sample, 0.8f, false, 0.0f);
    ASSERT_NE(quiet, 0u);
    ASSERT_NE(loud, 0u);
    EXPECT_NE(quiet, loud);
    device_.Update();
    EXPECT_EQ(device_.FindVoice(quiet), -1);
    const int v = device_.FindVoice(loud);
    ASSERT_GE(v, 0);
    EXPECT_FLOAT_EQ(device_.GetVoice(v).priority, 0.8f * 1.0f + 0.001f);
    EXPECT_EQ(device_.RequestCount(), 0);
    EXPECT_EQ(BusyVoices(), 1);
}

TEST_F(VoiceSchedulerTest, EqualPrioritiesStartInRequestOrder) {
    SoundSample sample(false, 16, 1.0f);
    std::vector<std::uint32_t> handles;
    for (int i = 0; i < 5; ++i) handles.push_back(device_.QueuePlay(&sample, 0.5f, false, 0.0f));
    device_.Update();
    for (int i = 0; i < 5; ++i) EXPECT_EQ(device_.FindVoice(handles[static_cast<std::size_t>(i)]), i);
}

TEST_F(VoiceSchedulerTest, ASeventeenthSoundTakesTheWeakestOldestVoiceOnlyWhenItOutranksIt) {
    SoundSample crowd(false, 16, 1.0f);
    SoundSample other(false, 1, 1.0f);
    // Two frames of eight: seven at volume 0.5 and one at 0.4, which sorts last in its frame.
    for (const double t : {1.0, 2.0}) {
        clock_ = t;
        device_.QueuePlay(&crowd, 0.4f, false, 0.0f);
        for (int i = 0; i < 7; ++i) device_.QueuePlay(&crowd, 0.5f, false, 0.0f);
        device_.Update();
    }
    ASSERT_EQ(BusyVoices(), 16);
    ASSERT_FLOAT_EQ(device_.GetVoice(7).priority, 0.401f);
    ASSERT_FLOAT_EQ(device_.GetVoice(15).priority, 0.401f);
    const std::uint32_t firstInVoiceSeven = device_.GetVoice(7).handle;

    clock_ = 3.0;
    const std::uint32_t weak = device_.QueuePlay(&other, 0.3f, false, 0.0f);   // 0.301: dropped
    const std::uint32_t more = device_.QueuePlay(&crowd, 1.0f, false, 0.0f);   // crowd is at its limit
    device_.Update();
    EXPECT_EQ(device_.FindVoice(weak), -1);
    EXPECT_EQ(device_.FindVoice(more), -1);
    EXPECT_EQ(device_.GetVoice(7).handle, firstInVoiceSeven);

    const std::uint32_t strong = device_.QueuePlay(&other, 1.0f, false, 0.0f);  // 1.001
    device_.Update();
    // Voices 7 and 15 share the lowest priority; voice 7 has played longer.
    EXPECT_EQ(device_.FindVoice(strong), 7);
    EXPECT_EQ(device_.FindVoice(firstInVoiceSeven), -1);
    EXPECT_DOUBLE_EQ(device_.GetVoice(7).startTime, 3.0);
    EXPECT_EQ(BusyVoices(), 16);
}

TEST_F(VoiceSchedulerTest, OnEqualPriorityAndAgeTheLaterVoiceGoes) {
    SoundSample crowd(false, 16, 1.0f);
    SoundSample other(false, 1, 1.0f);
    clock_ = 5.0;
    for (int i = 0; i < 16; ++i) device_.QueuePlay(&crowd, 0.5f, false, 0.0f);
    device_.Update();
    const std::uint32_t strong = device_.QueuePlay(&other, 0.9f, false, 0.0f);
    device_.Update();
    EXPECT_EQ(device_.FindVoice(strong), 15);
}

TEST_F(VoiceSchedulerTest, TheReplaceFlagRestartsTheSamplesOldestWeakestVoice) {
    SoundSample replacing(true, 2, 1.0f);
    clock_ = 1.0;
    const std::uint32_t first = device_.QueuePlay(&replacing, 0.5f, false, 0.0f);
    device_.Update();
    clock_ = 2.0;
    const std::uint32_t second = device_.QueuePlay(&replacing, 0.5f, false, 0.0f);
    device_.Update();
    ASSERT_EQ(device_.FindVoice(first), 0);
    ASSERT_EQ(device_.FindVoice(second), 1);

    clock_ = 3.0;
    device_.events.clear();
    // At its limit: the oldest of the equally weak voices restarts, even for a quieter play.
    const std::uint32_t third = device_.QueuePlay(&replacing, 0.1f, false, 0.0f);
    device_.Update();
    EXPECT_EQ(device_.FindVoice(first), -1);
    EXPECT_EQ(device_.FindVoice(third), 0);
    EXPECT_EQ(device_.FindVoice(second), 1);
    EXPECT_DOUBLE_EQ(device_.GetVoice(0).startTime, 3.0);
    EXPECT_FLOAT_EQ(device_.GetVoice(0).priority, 0.101f);
    const std::vector<std::string> restart = {"stop 0", "start 0"};
    EXPECT_NE(std::search(device_.events.begin(), device_.events.end(), restart.begin(), restart.end()),
              device_.events.end());

    // Now the weakest is the quiet one in voice 0, though it is the newest.
    clock_ = 4.0;
    const std::uint32_t fourth = device_.QueuePlay(&replacing, 0.9f, false, 0.0f);
    device_.Update();
    EXPECT_EQ(device_.FindVoice(fourth), 0);
    EXPECT_EQ(device_.FindVoice(second), 1);
    EXPECT_EQ(BusyVoices(), 2);
}

TEST_F(VoiceSchedulerTest, AFrameTakes256RequestsAndHandlesNeverAreZero) {
    SoundSample sample(false, 1, 1.0f);
    std::set<std::uint32_t> handles;
    for (int i = 0; i < VoiceScheduler::kMaxRequests; ++i) {
        const std::uint32_t h = device_.QueuePlay(&sample, 0.5f, false, 0.0f);
        ASSERT_NE(h, 0u) << i;
        handles.insert(h);
    }
    EXPECT_EQ(handles.size(), 256u);
    EXPECT_EQ(device_.QueuePlay(&sample, 0.5f, false, 0.0f), 0u);
    device_.Update();
    EXPECT_NE(device_.QueuePlay(&sample, 0.5f, false, 0.0f), 0u);

    device_.SetLastHandle(0xFFFFFFFEu);
    EXPECT_EQ(device_.QueuePlay(&sample, 0.5f, false, 0.0f), 0xFFFFFFFFu);
    EXPECT_EQ(device_.QueuePlay(&sample, 0.5f, false, 0.0f), 1u);
    EXPECT_EQ(device_.QueuePlay(nullptr, 0.5f, false, 0.0f), 0u);
}

TEST_F(VoiceSchedulerTest, VolumesAreClampedIntoTheirRange) {
    SoundSample sample(false, 3, 2.0f);
    const std::uint32_t loud = device_.QueuePlay(&sample, 7.0f, false, 0.0f);
    const std::uint32_t negative = device_.QueuePlay(&sample, -1.0f, false, 0.0f);
    device_.Update();
    EXPECT_FLOAT_EQ(device_.GetVoice(device_.FindVoice(loud)).volume, 1.0f);
    EXPECT_FLOAT_EQ(device_.GetVoice(device_.FindVoice(loud)).priority, 2.001f);
    EXPECT_FLOAT_EQ(device_.GetVoice(device_.FindVoice(negative)).volume, 0.0f);
}

TEST_F(VoiceSchedulerTest, PendingHandlesCanBeStoppedOrFadeDroppedBeforeTheUpdate) {
    SoundSample sample(false, 4, 1.0f);
    const std::uint32_t stopped = device_.QueuePlay(&sample, 0.5f, false, 0.0f);
    const std::uint32_t faded = device_.QueuePlay(&sample, 0.5f, false, 0.0f);
    const std::uint32_t kept = device_.QueuePlay(&sample, 0.5f, false, 0.0f);
    device_.StopHandle(stopped);
    EXPECT_EQ(device_.RequestCount(), 2);
    device_.FadeHandle(0, faded, 0.0f, 1.0f);  // any other mode leaves a pending request alone
    EXPECT_EQ(device_.RequestCount(), 2);
    device_.FadeHandle(1, faded, 0.0f, 1.0f);
    EXPECT_EQ(device_.RequestCount(), 1);
    device_.Update();
    EXPECT_EQ(device_.FindVoice(stopped), -1);
    EXPECT_EQ(device_.FindVoice(faded), -1);
    EXPECT_GE(device_.FindVoice(kept), 0);
    EXPECT_EQ(BusyVoices(), 1);
}

TEST_F(VoiceSchedulerTest, FadesRunOnTheGameClock) {
    SoundSample sample(false, 4, 1.0f);
    clock_ = 10.0;
    const std::uint32_t h = device_.QueuePlay(&sample, 1.0f, false, 0.0f);
    device_.Update();
    const int v = device_.FindVoice(h);
    ASSERT_GE(v, 0);

    // Duration 0 lands at the next update.
    device_.FadeHandle(0, h, 0.2f, 0.0f);
    device_.Update();
    EXPECT_FLOAT_EQ(device_.GetVoice(v).volume, 0.2f);
    EXPECT_FLOAT_EQ(device_.appliedVolume[static_cast<std::size_t>(v)], 0.2f);
    EXPECT_FALSE(device_.GetVoice(v).fading);

    device_.FadeHandle(0, h, 0.0f, 2.0f);
    clock_ = 11.0;
    device_.Update();
    EXPECT_FLOAT_EQ(device_.GetVoice(v).volume, 0.1f);
    EXPECT_TRUE(device_.GetVoice(v).fading);
    clock_ = 12.5;
    device_.Update();
    EXPECT_FLOAT_EQ(device_.GetVoice(v).volume, 0.0f);
    EXPECT_FALSE(device_.GetVoice(v).fading);
    EXPECT_EQ(device_.FindVoice(h), v);

    // Mode 1 stops the voice at the end of the fade.
    device_.FadeHandle(1, h, 0.5f, 1.0f);
    clock_ = 13.0;
    device_.Update();
    EXPECT_FLOAT_EQ(device_.GetVoice(v).volume, 0.25f);
    EXPECT_EQ(device_.FindVoice(h), v);
    clock_ = 13.5;
    device_.Update();
    EXPECT_EQ(device_.FindVoice(h), -1);
    EXPECT_EQ(device_.events.back(), "stop " + std::to_string(v));
}

TEST_F(VoiceSchedulerTest, AFadeStartedAtGameTimeZeroRuns) {
    SoundSample sample(false, 4, 1.0f);
    const std::uint32_t h = device_.QueuePlay(&sample, 1.0f, true, 0.0f);
    device_.Update();
    device_.FadeHandle(0, h, 0.0f, 2.0f);
    clock_ = 1.0;
    device_.Update();
    EXPECT_FLOAT_EQ(device_.GetVoice(device_.FindVoice(h)).volume, 0.5f);
}

TEST_F(VoiceSchedulerTest, ForgettingASampleDropsItsRequestsAndVoices) {
    SoundSample kept(false, 4, 1.0f);
    auto forgotten = std::make_unique<SoundSample>(false, 4, 1.0f);
    const std::uint32_t a = device_.QueuePlay(forgotten.get(), 0.5f, true, 0.0f);
    const std::uint32_t b = device_.QueuePlay(&kept, 0.5f, false, 0.0f);
    device_.Update();
    device_.QueuePlay(forgotten.get(), 0.5f, false, 0.0f);
    device_.QueuePlay(&kept, 0.5f, false, 0.0f);
    ASSERT_GE(device_.FindVoice(a), 0);

    device_.ForgetSample(forgotten.get());
    EXPECT_EQ(device_.FindVoice(a), -1);
    EXPECT_GE(device_.FindVoice(b), 0);
    EXPECT_EQ(device_.RequestCount(), 1);

    // A sample that goes away is forgotten through the scheduler pointer.
    device_.Update();
    const std::uint32_t c = device_.QueuePlay(forgotten.get(), 0.5f, true, 0.0f);
    device_.Update();
    ASSERT_GE(device_.FindVoice(c), 0);
    device_.QueuePlay(forgotten.get(), 0.5f, true, 0.0f);
    forgotten.reset();
    EXPECT_EQ(device_.FindVoice(c), -1);
    EXPECT_EQ(device_.RequestCount(), 0);
    EXPECT_EQ(BusyVoices(), 2);
}

TEST_F(VoiceSchedulerTest, TheReapFreesFinishedVoicesAfterThePumpAndKeepsLoopingOnes) {
    SoundSample sample(false, 4, 1.0f);
    const std::uint32_t once = device_.QueuePlay(&sample, 0.5f, false, 0.0f);
    const std::uint32_t looping = device_.QueuePlay(&sample, 0.5f, true, 0.0f);
    device_.Update();
    const int vOnce = device_.FindVoice(once);
    const int vLooping = device_.FindVoice(looping);
    device_.playing[static_cast<std::size_t>(vOnce)] = 0;
    device_.playing[static_cast<std::size_t>(vLooping)] = 0;
    device_.events.clear();
    device_.Update();
    EXPECT_EQ(device_.events.front(), "pump");
    EXPECT_EQ(device_.FindVoice(once), -1);
    EXPECT_EQ(device_.FindVoice(looping), vLooping);
}

TEST_F(VoiceSchedulerTest, AFailedStartFreesItsVoiceAtOnce) {
    SoundSample sample(false, 4, 1.0f);
    device_.startResult = 0;
    const std::uint32_t looping = device_.QueuePlay(&sample, 0.5f, true, 0.0f);
    device_.Update();
    EXPECT_EQ(device_.FindVoice(looping), -1);
    EXPECT_EQ(BusyVoices(), 0);
    EXPECT_EQ(device_.events.back(), "stop 0");
}

TEST_F(VoiceSchedulerTest, PausingReachesTheDeviceForPlayingHandlesOnly) {
    SoundSample sample(false, 4, 1.0f);
    const std::uint32_t h = device_.QueuePlay(&sample, 0.5f, false, 0.0f);
    device_.PauseHandle(h, true);  // still pending: nothing
    EXPECT_EQ(device_.appliedPause[0], 0);
    device_.Update();
    device_.PauseHandle(h, true);
    EXPECT_TRUE(device_.GetVoice(0).paused);
    EXPECT_EQ(device_.appliedPause[0], 1);
    device_.PauseHandle(h, false);
    EXPECT_EQ(device_.appliedPause[0], 2);
}

TEST_F(VoiceSchedulerTest, ANotRunningDeviceRefusesPlaysAndItsUpdateDoesNothing) {
    SoundSample sample(false, 4, 1.0f);
    device_.SetRunning(false);
    EXPECT_EQ(device_.QueuePlay(&sample, 1.0f, false, 0.0f), 0u);
    device_.Update();
    EXPECT_TRUE(device_.events.empty());
    VoiceScheduler base;
    EXPECT_FALSE(base.IsRunning());
    EXPECT_EQ(base.QueuePlay(&sample, 1.0f, false, 0.0f), 0u);
    EXPECT_EQ(base.GetBeatLevel(1), 0.0f);
}

class SampleBankTest : public soundtest::SoundFileTest {
protected:
    SampleBankTest() {
        PutSound("Click.wav", testsupport::MakeWav(1, 22050, 16, std::string(200, '\0')));
        PutSound("Music.wav", testsupport::MakeWav(2, 22050, 16, std::string(4000, '\0')));
    }
    double clock_ = 0.0;
    FakeDevice device_{&clock_};
    SampleBank bank_;
};

TEST_F(SampleBankTest, SlotsOutsideTheBankOrInUseAreRefused) {
    bank_.Init(WideString("Sfx"));
    EXPECT_TRUE(bank_.Name().EqualsNarrow("Sfx"));
    for (const int slot : {-1, 64, 1000}) {
        SCOPED_TRACE(slot);
        EXPECT_EQ(bank_.LoadSample(slot, WideString("Click"), 2, 1.0f, false), 0);
        EXPECT_EQ(bank_.LoadStream(slot, WideString("Music"), 1.0f, false), 0);
        EXPECT_EQ(bank_.Play(slot, 1.0f, false, 0.0f), 0u);
        EXPECT_EQ(bank_.Sample(slot), nullptr);
    }
    ASSERT_EQ(bank_.LoadSample(0, WideString("Click"), 2, 0.5f, true), 1);
    EXPECT_EQ(bank_.LoadSample(0, WideString("Click"), 2, 1.0f, false), 0);
    EXPECT_EQ(bank_.LoadStream(0, WideString("Music"), 1.0f, false), 0);
    ASSERT_EQ(bank_.LoadStream(63, WideString("Music"), 1.0f, false), 1);
    EXPECT_EQ(bank_.Sample(63)->VoiceLimit(), 1);
    EXPECT_EQ(bank_.Sample(0)->VoiceLimit(), 2);
    EXPECT_TRUE(bank_.Sample(0)->ReplacesOwnVoice());
    EXPECT_EQ(bank_.Play(1, 1.0f, false, 0.0f), 0u);  // empty

    const std::uint32_t h = bank_.Play(0, 1.0f, false, 0.0f);
    ASSERT_NE(h, 0u);
    device_.Update();
    EXPECT_GE(device_.FindVoice(h), 0);
    EXPECT_FLOAT_EQ(device_.GetVoice(device_.FindVoice(h)).priority, 0.501f);

    // Clearing the bank deletes its samples, which stops their voices.
    bank_.Clear();
    EXPECT_EQ(device_.FindVoice(h), -1);
    EXPECT_EQ(bank_.Sample(0), nullptr);
    EXPECT_TRUE(bank_.Name().IsEmpty());
}

TEST_F(SampleBankTest, StopAllOfKindPicksStreamsWholeSamplesOrEverything) {
    ASSERT_EQ(bank_.LoadSample(0, WideString("Click"), 4, 1.0f, false), 1);
    ASSERT_EQ(bank_.LoadStream(1, WideString("Music"), 1.0f, false), 1);
    const auto playAll = [this](std::uint32_t& a, std::uint32_t& b, std::uint32_t& stream) {
        a = bank_.Play(0, 1.0f, false, 0.0f);
        b = bank_.Play(0, 1.0f, true, 0.0f);
        stream = bank_.Play(1, 1.0f, true, 0.0f);
        device_.Update();
    };
    std::uint32_t a = 0, b = 0, stream = 0;
    playAll(a, b, stream);
    device_.StopAllOfKind(1);
    EXPECT_GE(device_.FindVoice(a), 0);
    EXPECT_GE(device_.FindVoice(b), 0);
    EXPECT_EQ(device_.FindVoice(stream), -1);

    device_.StopAllOfKind(0);
    playAll(a, b, stream);
    device_.StopAllOfKind(2);
    EXPECT_EQ(device_.FindVoice(a), -1);
    EXPECT_EQ(device_.FindVoice(b), -1);
    EXPECT_GE(device_.FindVoice(stream), 0);

    playAll(a, b, stream);
    device_.StopAllOfKind(7);
    EXPECT_EQ(device_.FindVoice(a), -1);
    EXPECT_EQ(device_.FindVoice(b), -1);
    EXPECT_EQ(device_.FindVoice(stream), -1);
}

}  // namespace
