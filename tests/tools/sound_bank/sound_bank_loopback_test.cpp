// The game's sound bank over the built data set, played on the loopback device: every slot loads, the
// interface sounds are heard at the effects volume, and the theme streams round without a gap and with a
// beat the detector finds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "datacheck/data_check.h"
#include "engine/platform/archive_set.h"
#include "engine/platform/data_folders.h"
#include "engine/platform/sound_file.h"
#include "game/core/game_sound_bank.h"
#include "game/core/player_profile.h"
#include "game/core/sound_backend.h"
#include "support/loopback_test.h"

namespace {

// The engine's backend, noting each load and naming the ones that fail.
class CheckedBackend final : public game::SoundBackend {
public:
    int loaded = 0;
    std::vector<std::string> failed;

    void ResetBank(game::SoundBankId bank, const char* name) override { real_.ResetBank(bank, name); }
    bool LoadSample(game::SoundBankId bank, int slot, const std::string& name, int voices, float priority,
                    bool replace) override {
        return Note(real_.LoadSample(bank, slot, name, voices, priority, replace), name);
    }
    bool LoadStream(game::SoundBankId bank, int slot, const std::string& name, float priority, bool replace) override {
        return Note(real_.LoadStream(bank, slot, name, priority, replace), name);
    }
    std::uint32_t Play(game::SoundBankId bank, int slot, float volume, bool loop) override {
        return real_.Play(bank, slot, volume, loop);
    }
    void Stop(std::uint32_t handle) override { real_.Stop(handle); }
    void Fade(std::uint32_t handle, float volume, float seconds, bool stopAtEnd) override {
        real_.Fade(handle, volume, seconds, stopAtEnd);
    }
    void StopStreams() override { real_.StopStreams(); }

private:
    bool Note(bool ok, const std::string& name) {
        ok ? ++loaded : (failed.push_back(name), 0);
        return ok;
    }
    game::EngineSoundBackend real_;
};

// The shipped archive mounted as the game mounts it (no loose files), the loopback device and the bank.
class ShippedSoundTest : public testsupport::LoopbackTest<> {
protected:
    ShippedSoundTest() {
        auto archive = datacheck::OpenArchiveFile(TINMARCH_DATASET_ARCHIVE);
        opened_ = archive != nullptr && archives_.Mount(std::move(archive), "MainWad");
        engine::SetActiveArchiveSet(&archives_);
        engine::SetBaseFolderNarrow("/nonexistent/sound-bank-test");
    }
    ~ShippedSoundTest() override {
        bank_.reset();
        engine::SetActiveArchiveSet(nullptr);
    }

    void SetUp() override {
        LoopbackTest::SetUp();
        ASSERT_TRUE(opened_) << TINMARCH_DATASET_ARCHIVE;
        bank_ = std::make_unique<game::GameSoundBank>(backend_);
        bank_->Load();
    }

    // Renders whole game frames of 1024 samples for at least `seconds`.
    void Play(double seconds) {
        for (double t = 0; t < seconds; t += 1024.0 / kRate) Frame(1024);
    }

    engine::ArchiveSet archives_;
    bool opened_ = false;
    CheckedBackend backend_;
    std::unique_ptr<game::GameSoundBank> bank_;
};

// The longest run of samples no louder than `quiet` on every channel of interleaved PCM, counted round the
// end back to the start when `wrap` is set.
std::size_t LongestQuietRun(const std::vector<std::int16_t>& pcm, int channels, int quiet, bool wrap) {
    const std::size_t frames = pcm.size() / static_cast<std::size_t>(channels);
    std::size_t longest = 0;
    std::size_t run = 0;
    for (std::size_t i = 0; i < (wrap ? 2 * frames : frames); ++i) {
        const std::size_t f = i % frames;
        bool silent = true;
        for (int c = 0; c < channels; ++c) silent = silent && std::abs(int{pcm[f * channels + c]}) <= quiet;
        run = silent ? run + 1 : 0;
        longest = std::max(longest, std::min(run, frames));
    }
    return longest;
}

TEST_F(ShippedSoundTest, TheBankAndBothDefaultPacksFillEverySlot) {
    bank_->LoadSpeechPack(0, game::kDefaultEnemyPack);
    bank_->LoadSpeechPack(1, game::kDefaultPlayerPack);
    std::string failed;
    for (const std::string& name : backend_.failed) failed += name + "\n";
    EXPECT_TRUE(backend_.failed.empty()) << failed;
    // 8 interface sounds, 5 previews, 40 level slots, 4 pieces of music and two packs of 40 lines.
    EXPECT_EQ(backend_.loaded, 8 + 5 + 40 + 4 + 2 * game::kSpeechSlots);
}

TEST_F(ShippedSoundTest, EachInterfaceSoundIsHeardAtTheEffectsVolume) {
    ASSERT_EQ(bank_->GetEffectsVolumeInt(), game::kStandInEffectsVolume);
    for (const int slot : {0, 2, 3, 4, 5, 6, 7, 8}) {
        left_.clear();
        right_.clear();
        EXPECT_NE(bank_->PlayUiSound(slot), 0u) << "slot " << slot;
        Play(2.0);  // longer than the longest interface sound, so that each plays alone
        // -40 dBFS
        EXPECT_GT(std::max(Peak(left_, 0), Peak(right_, 0)), 0.01) << "slot " << slot;
    }
}

TEST_F(ShippedSoundTest, EachSpeechPackPreviewIsHeard) {
    for (int preview = 0; preview < 5; ++preview) {
        left_.clear();
        right_.clear();
        EXPECT_NE(bank_->PlayPreview(preview), 0u) << "preview " << preview;
        Play(3.0);  // longer than the longest spoken line
        EXPECT_GT(std::max(Peak(left_, 0), Peak(right_, 0)), 0.01) << "preview " << preview;
    }
}

TEST_F(ShippedSoundTest, SlowTheThemeWrapsTwiceWithoutAGapAndCarriesItsBeat) {
    engine::SoundFile theme;
    ASSERT_NE(theme.Open(engine::WideString("Music/Theme")), 0);
    ASSERT_EQ(theme.Kind(), engine::SoundFile::kKindOgg);
    std::vector<std::int16_t> source(theme.PcmLength() / 2);
    std::size_t read = 0;
    while (const std::size_t got = theme.ReadPcm(source.data() + read / 2, source.size() * 2 - read)) read += got;
    ASSERT_EQ(read, source.size() * 2);
    const double length = static_cast<double>(source.size() / 2) / 44100.0;

    const std::uint32_t handle = bank_->PlayMusicTrack(0);
    ASSERT_NE(handle, 0u);
    int windows = 0;
    int windowsWithABeat = 0;
    for (double t = 0; t < 2 * length + 2.0; t += 2.0) {
        bool beat = false;
        for (int frame = 0; frame < 2 * kRate / 1024; ++frame) {
            Frame(1024);
            beat = audio_->GetBeatLevel(handle) > 1.0f || beat;
        }
        ++windows;
        windowsWithABeat += beat;
    }
    EXPECT_GE(audio_->FindVoice(handle), 0) << "the theme stopped";
    EXPECT_GE(2 * windowsWithABeat, windows) << windowsWithABeat << " of " << windows << " windows with a beat";

    // A gap at a wrap or between streamed pieces shows as a silent run longer than any in the theme itself
    // (rendered at the music volume, so a rendered sample of 1 stands for a louder one in the file). The
    // first second holds the fade-in.
    std::vector<std::int16_t> rendered;
    for (std::size_t i = static_cast<std::size_t>(kRate); i < left_.size(); ++i) {
        rendered.push_back(left_[i]);
        rendered.push_back(right_[i]);
    }
    const std::size_t inTheme = LongestQuietRun(source, 2, 16, true);
    const std::size_t played = LongestQuietRun(rendered, 2, 1, false);
    EXPECT_LE(played, inTheme * kRate / 44100 + 64) << "longest silent run: " << played << " frames played, "
                                                     << inTheme << " in the file";
    EXPECT_GT(std::max(Peak(left_, left_.size() - kRate), Peak(right_, right_.size() - kRate)), 0.001)
        << "silent after the second wrap";
}

}  // namespace
