#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/audio_device.h"
#include "engine/platform/sample_bank.h"
#include "engine/platform/sound_sample.h"
#include "sound_test_fixture.h"
#include "support/loopback_test.h"
#include "sys/al_output.h"

namespace {

using namespace engine;
using testsupport::MakeWav;
using testsupport::Pcm16;

constexpr int kRate = sys::kLoopbackRate;
constexpr std::int64_t kPiece = SoundSample::kStreamBufferBytes / 2;  // frames of a 16-bit mono piece

// A signal that never comes near silence and never repeats a short pattern, so that a gap, a repeat or a
// skipped sample shows.
std::vector<std::int16_t> Marked(std::size_t count) {
    std::vector<std::int16_t> out(count);
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = static_cast<std::int16_t>(2000 + ((static_cast<std::uint32_t>(i) * 2654435761u) >> 16) % 12000);
    }
    return out;
}

// The loopback device with a sample bank over a temporary data folder.
class LoopbackTest : public testsupport::LoopbackTest<soundtest::SoundFileTest> {
protected:
    LoopbackTest() { bank_.Init(WideString("Test")); }
    ~LoopbackTest() override { bank_.Destroy(); }

    SampleBank bank_;
};

// Matches the rendered channel against the expected samples (2 steps of dither allowed): silence before,
// the samples in order with silent gaps allowed only where `gaps` says, silence after. Returns a failure
// description, or "" when it matches; `longestGap` receives the longest silent run inside the sound.
std::string MatchWithGaps(const std::vector<std::int16_t>& rendered, const std::vector<std::int16_t>& expected,
                          bool gaps, std::size_t* longestGap = nullptr) {
    constexpr int kTolerance = 2;
    std::size_t k = 0;
    while (k < rendered.size() && std::abs(int{rendered[k]}) <= kTolerance) ++k;
    std::size_t j = 0;
    std::size_t gap = 0;
    std::size_t longest = 0;
    for (; k < rendered.size() && j < expected.size(); ++k) {
        if (std::abs(rendered[k] - expected[j]) <= kTolerance) {
            ++j;
            gap = 0;
        } else if (gaps && std::abs(int{rendered[k]}) <= kTolerance) {
            longest = std::max(longest, ++gap);
        } else {
            return "sample " + std::to_string(j) + " expected " + std::to_string(expected[j]) + ", rendered " +
                   std::to_string(rendered[k]) + " at " + std::to_string(k);
        }
    }
    if (j != expected.size()) return "only " + std::to_string(j) + " samples played";
    for (; k < rendered.size(); ++k) {
        if (std::abs(int{rendered[k]}) > kTolerance) return "sound after the end at " + std::to_string(k);
    }
    if (longestGap != nullptr) *longestGap = longest;
    return "";
}

TEST_F(LoopbackTest, VolumesAndPansGiveTheExpectedLevelsOnEachSide) {
    PutSound("Tone.wav", MakeWav(1, kRate, 16, Pcm16(testsupport::Sine(kRate, 0.5, 100.0))));
    std::string tone8;
    for (const std::int16_t s : testsupport::Sine(kRate, 0.5, 100.0)) tone8 += static_cast<char>(128 + s / 256);
    PutSound("Tone8.wav", MakeWav(1, kRate, 8, tone8));
    ASSERT_EQ(bank_.LoadSample(0, WideString("Tone"), 1, 1.0f, false), 1);
    ASSERT_EQ(bank_.LoadSample(1, WideString("Tone8"), 1, 1.0f, false), 1);

    struct Case {
        int slot;
        float volume;
        float pan;
        double left;  // expected level as a share of the sound's own
        double right;
    };
    for (const Case c : {Case{0, 0.5f, 0.0f, 0.25, 0.25}, Case{0, 1.0f, 0.0f, 1.0, 1.0}, Case{0, 1.0f, -1.0f, 1.0, 0.0},
                         Case{0, 1.0f, 0.5f, 0.5, 1.0}, Case{0, 1.0f, -0.25f, 1.0, 0.75},
                         Case{0, 0.5f, 1.0f, 0.0, 0.25}, Case{1, 1.0f, 0.0f, 1.0, 1.0}}) {
        SCOPED_TRACE(testing::Message() << "slot " << c.slot << " volume " << c.volume << " pan " << c.pan);
        left_.clear();
        right_.clear();
        const std::uint32_t h = bank_.Play(c.slot, c.volume, true, c.pan);
        ASSERT_NE(h, 0u);
        Frame(4410);
        const double level = c.slot == 0 ? 0.5 : 0.5 * 127.0 / 128.0;
        EXPECT_NEAR(Peak(left_, 100), c.left * level, 0.01 * level);
        EXPECT_NEAR(Peak(right_, 100), c.right * level, 0.01 * level);
        audio_->StopHandle(h);
    }
}

TEST_F(LoopbackTest, AStereoSoundKeepsItsChannelsApart) {
    const auto left = testsupport::Sine(kRate, 0.5, 100.0);
    const auto right = testsupport::Sine(kRate, 0.2, 50.0);
    std::vector<std::int16_t> interleaved;
    for (std::size_t i = 0; i < left.size(); ++i) {
        interleaved.push_back(left[i]);
        interleaved.push_back(right[i]);
    }
    PutSound("Stereo.wav", MakeWav(2, kRate, 16, Pcm16(interleaved)));
    ASSERT_EQ(bank_.LoadSample(0, WideString("Stereo"), 1, 1.0f, false), 1);
    ASSERT_EQ(bank_.LoadStream(1, WideString("Stereo"), 1.0f, false), 1);

    for (const int slot : {0, 1}) {
        SCOPED_TRACE(slot);
        left_.clear();
        right_.clear();
        const std::uint32_t h = bank_.Play(slot, 1.0f, false, 0.0f);
        Frame(4410);
        EXPECT_NEAR(Peak(left_, 100), 0.5, 0.005);
        EXPECT_NEAR(Peak(right_, 100), 0.2, 0.005);
        audio_->StopHandle(h);
        left_.clear();
        right_.clear();
        const std::uint32_t panned = bank_.Play(slot, 1.0f, false, -1.0f);
        Frame(4410);
        EXPECT_NEAR(Peak(left_, 100), 0.5, 0.005);
        EXPECT_NEAR(Peak(right_, 100), 0.0, 0.001);
        audio_->StopHandle(panned);
    }
}

TEST_F(LoopbackTest, AStreamOfFivePiecesPlaysToItsLastSampleWithAtMostTwoQueued) {
    const auto samples = Marked(static_cast<std::size_t>(5 * kPiece));
    PutSound("Music.wav", MakeWav(1, kRate, 16, Pcm16(samples)));
    ASSERT_EQ(bank_.LoadStream(0, WideString("Music"), 1.0f, false), 1);
    const std::uint32_t h = bank_.Play(0, 1.0f, false, 0.0f);
    int frames = 0;
    for (;;) {
        clock_ += 1024.0 / kRate;
        audio_->Update();
        const int v = audio_->FindVoice(h);
        if (v < 0) break;
        EXPECT_LE(audio_->GetQueuedStreamBuffers(v), 2);
        Render(1024);
        ASSERT_LT(++frames, 400);
    }
    // Freed at the first update after the last sample played.
    EXPECT_LE(static_cast<std::int64_t>(left_.size()), 5 * kPiece + 2 * 1024);
    Render(2048);
    EXPECT_EQ(MatchWithGaps(left_, samples, false), "");
    EXPECT_EQ(MatchWithGaps(right_, samples, false), "");
}

TEST_F(LoopbackTest, ALoopingStreamWrapsWithoutAGap) {
    const auto samples = Marked(40000);  // one piece and a short one
    PutSound("Loop.wav", MakeWav(1, kRate, 16, Pcm16(samples)));
    ASSERT_EQ(bank_.LoadStream(0, WideString("Loop"), 1.0f, false), 1);
    const std::uint32_t h = bank_.Play(0, 1.0f, true, 0.0f);
    const double startTime = clock_;
    for (int i = 0; i < 120; ++i) Frame(1024);  // about three passes
    ASSERT_GE(audio_->FindVoice(h), 0);
    // The voice's start time moves on by the sound's length at each wrap.
    EXPECT_GT(audio_->GetVoice(audio_->FindVoice(h)).startTime, startTime + 40000.0 / kRate);

    std::vector<std::int16_t> expected;
    for (int pass = 0; pass < 3; ++pass) expected.insert(expected.end(), samples.begin(), samples.end());
    std::vector<std::int16_t> rendered(left_.begin(), left_.begin() + 120000 + 1024);
    const std::string result = MatchWithGaps(rendered, expected, false);
    EXPECT_TRUE(result.empty() || result.rfind("sound after the end", 0) == 0) << result;
}

TEST_F(LoopbackTest, AStarvedStreamResumesAtTheNextUpdateWithNothingLost) {
    const auto samples = Marked(static_cast<std::size_t>(5 * kPiece));
    PutSound("Music.wav", MakeWav(1, kRate, 16, Pcm16(samples)));
    ASSERT_EQ(bank_.LoadStream(0, WideString("Music"), 1.0f, false), 1);
    const std::uint32_t h = bank_.Play(0, 1.0f, false, 0.0f);
    Frame(1024);
    Render(80000);  // well past the two queued pieces, without an update
    clock_ += 80000.0 / kRate;
    audio_->Update();
    ASSERT_GE(audio_->FindVoice(h), 0);
    Render(1024);
    for (int i = 0; i < 200 && audio_->FindVoice(h) >= 0; ++i) Frame(1024);
    EXPECT_EQ(audio_->FindVoice(h), -1);
    Render(1024);
    std::size_t gap = 0;
    EXPECT_EQ(MatchWithGaps(left_, samples, true, &gap), "");
    EXPECT_GE(gap, static_cast<std::size_t>(80000 + 1024 - 2 * kPiece - 64));
}

TEST_F(LoopbackTest, AStreamPausedWhileStarvedKeepsWhatWasQueuedForItUntilItResumes) {
    const auto samples = Marked(static_cast<std::size_t>(5 * kPiece));
    PutSound("Music.wav", MakeWav(1, kRate, 16, Pcm16(samples)));
    ASSERT_EQ(bank_.LoadStream(0, WideString("Music"), 1.0f, false), 1);
    const std::uint32_t h = bank_.Play(0, 1.0f, false, 0.0f);
    Frame(1024);
    Render(70000);  // starved
    audio_->PauseHandle(h, true);
    Frame(1024);    // refilled while paused: nothing plays
    Frame(1024);    // what was queued for it is not taken for played
    ASSERT_GE(audio_->FindVoice(h), 0);
    audio_->PauseHandle(h, false);
    for (int i = 0; i < 200 && audio_->FindVoice(h) >= 0; ++i) Frame(1024);
    EXPECT_EQ(audio_->FindVoice(h), -1);
    Render(1024);
    EXPECT_EQ(MatchWithGaps(left_, samples, true), "");
}

TEST_F(LoopbackTest, ALoopingWholeSamplePlaysPastItsLength) {
    const auto samples = Marked(10000);
    PutSound("Hum.wav", MakeWav(1, kRate, 16, Pcm16(samples)));
    ASSERT_EQ(bank_.LoadSample(0, WideString("Hum"), 1, 1.0f, false), 1);
    const std::uint32_t h = bank_.Play(0, 1.0f, true, 0.0f);
    for (int i = 0; i < 4; ++i) Frame(10000);
    EXPECT_GE(audio_->FindVoice(h), 0);
    std::vector<std::int16_t> expected;
    for (int pass = 0; pass < 3; ++pass) expected.insert(expected.end(), samples.begin(), samples.end());
    const std::string result = MatchWithGaps(left_, expected, false);
    EXPECT_TRUE(result.empty() || result.rfind("sound after the end", 0) == 0) << result;
}

TEST_F(LoopbackTest, FinishedVoicesAreFreedAtTheNextUpdateAndPausedOnesKept) {
    const auto samples = Marked(4410);
    PutSound("Click.wav", MakeWav(1, kRate, 16, Pcm16(samples)));
    ASSERT_EQ(bank_.LoadSample(0, WideString("Click"), 2, 1.0f, false), 1);

    const std::uint32_t once = bank_.Play(0, 1.0f, false, 0.0f);
    Frame(4000);
    Frame(1000);
    EXPECT_GE(audio_->FindVoice(once), 0);  // still playing at this update
    Frame(1000);
    EXPECT_EQ(audio_->FindVoice(once), -1);
    EXPECT_EQ(MatchWithGaps(left_, samples, false), "");

    left_.clear();
    const std::uint32_t paused = bank_.Play(0, 1.0f, false, 0.0f);
    Frame(1000);
    audio_->PauseHandle(paused, true);
    Frame(10000);
    Frame(1000);
    EXPECT_GE(audio_->FindVoice(paused), 0);
    audio_->PauseHandle(paused, false);
    Frame(4000);
    Frame(1000);
    EXPECT_EQ(audio_->FindVoice(paused), -1);
    std::size_t gap = 0;
    EXPECT_EQ(MatchWithGaps(left_, samples, true, &gap), "");
    EXPECT_GE(gap, 10000u);
}

TEST_F(LoopbackTest, AFailedStartFreesItsVoiceAtOnce) {
    PutSound("Deep.wav", MakeWav(1, kRate, 24, std::string(3000, '\x10')));
    PutSound("Wide.wav", MakeWav(3, kRate, 16, std::string(3000, '\x10')));
    PutSound("Empty.wav", MakeWav(1, kRate, 16, ""));
    ASSERT_EQ(bank_.LoadSample(0, WideString("Deep"), 4, 1.0f, false), 1);
    ASSERT_EQ(bank_.LoadStream(1, WideString("Wide"), 1.0f, false), 1);
    ASSERT_EQ(bank_.LoadSample(2, WideString("Empty"), 4, 1.0f, false), 1);
    ASSERT_EQ(bank_.LoadStream(3, WideString("Empty"), 1.0f, false), 1);
    std::vector<std::uint32_t> handles;
    for (int slot = 0; slot < 4; ++slot) handles.push_back(bank_.Play(slot, 1.0f, true, 0.0f));
    Frame(1000);
    for (const std::uint32_t h : handles) {
        EXPECT_NE(h, 0u);
        EXPECT_EQ(audio_->FindVoice(h), -1);
    }
    EXPECT_EQ(BusyVoices(), 0);
}

TEST_F(LoopbackTest, AStreamReadToItsEndStartsAgainOnTheNextPlay) {
    const auto samples = Marked(8000);  // shorter than one piece
    PutSound("Short.wav", MakeWav(1, kRate, 16, Pcm16(samples)));
    ASSERT_EQ(bank_.LoadStream(0, WideString("Short"), 1.0f, false), 1);
    for (int play = 0; play < 2; ++play) {
        SCOPED_TRACE(play);
        left_.clear();
        const std::uint32_t h = bank_.Play(0, 1.0f, false, 0.0f);
        for (int i = 0; i < 12; ++i) Frame(1024);
        EXPECT_EQ(audio_->FindVoice(h), -1);
        EXPECT_EQ(MatchWithGaps(left_, samples, false), "");
    }
}

TEST_F(LoopbackTest, TheBeatOfALoopingStreamIsStillReadAfterItWraps) {
    // 1.5 s of a quiet tone with a loud block at 0.3, 0.8 and 1.3 s.
    constexpr std::size_t kLength = 66150;
    std::vector<std::int16_t> samples = testsupport::Sine(kLength, 0.05, 100.0);
    for (const std::size_t start : {13312u, 35328u, 57344u}) {  // multiples of 512
        for (std::size_t i = start; i < start + 512; ++i) samples[i] = static_cast<std::int16_t>(samples[i] * 8);
    }
    PutSound("Beat.wav", MakeWav(1, kRate, 16, Pcm16(samples)));
    ASSERT_EQ(bank_.LoadStream(0, WideString("Beat"), 1.0f, false), 1);
    ASSERT_EQ(bank_.LoadSample(1, WideString("Beat"), 1, 1.0f, false), 1);
    const std::uint32_t h = bank_.Play(0, 1.0f, true, 0.0f);
    const std::uint32_t whole = bank_.Play(1, 0.1f, true, 0.0f);

    std::vector<std::size_t> beats;  // rendered frames when a beat was read
    for (int i = 0; i < 400; ++i) {
        Frame(512);
        if (audio_->GetBeatLevel(h) > 1.0f) beats.push_back(left_.size());
        EXPECT_EQ(audio_->GetBeatLevel(whole), 0.0f);
    }
    ASSERT_GE(audio_->FindVoice(h), 0);
    int firstPass = 0;
    int later = 0;
    for (const std::size_t frame : beats) {
        if (frame < kLength) {
            ++firstPass;
        } else if (frame > kLength + 4000) {
            ++later;
        }
    }
    EXPECT_GE(firstPass, 2);
    EXPECT_GE(later, 3);
    EXPECT_EQ(audio_->GetBeatLevel(0), 0.0f);
}

// Without any sound device (the real situation on a machine without sound) the device is silent: it
// runs in a child process, where the device list can still be chosen before OpenAL starts.
void CheckSilent() {
    double clock = 0.0;
    AudioDevice audio([&clock] { return clock; });
    SoundSample sample(false, 1, 1.0f);
    if (audio.IsRunning()) std::exit(2);
    if (GetVoiceScheduler() != &audio) std::exit(3);
    if (audio.QueuePlay(&sample, 1.0f, false, 0.0f) != 0) std::exit(4);
    audio.Update();
    audio.StopHandle(1);
    audio.FadeHandle(1, 1, 0.0f, 1.0f);
    audio.StopAllOfKind(0);
    if (audio.GetBeatLevel(1) != 0.0f) std::exit(5);
}

void CheckRunning() {
    double clock = 0.0;
    AudioDevice audio([&clock] { return clock; });
    if (!audio.IsRunning()) std::exit(2);
}

TEST(AudioDeviceDeathTest, WithoutASoundDeviceTheDeviceIsSilentAndWithTheNullDriverItRuns) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("ALSOFT_DRIVERS", "none", 1);
            CheckSilent();
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(
        {
            setenv("ALSOFT_DRIVERS", "null", 1);
            CheckRunning();
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(GetVoiceScheduler(), nullptr);
}

}  // namespace
