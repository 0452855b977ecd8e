#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/platform/sound_file.h"
#include "engine/platform/sound_test_fixture.h"
#include "sfx/text.h"
#include "sfx/wav.h"

namespace {

using testsupport::FormatBytes;
using testsupport::MakeWav;
using testsupport::RiffChunk;
using testsupport::RiffWave;

class WavTest : public soundtest::SoundFileTest {};

TEST_F(WavTest, WrittenFilesAreTheGamesMonoPcmWithNothingElse) {
    const std::vector<std::int16_t> samples = {0, 1, -1, 32767, -32767, 1234};
    const std::string wav = sfx::EncodeWav(samples, 22050);
    EXPECT_EQ(wav, MakeWav(1, 22050, 16, testsupport::Pcm16(samples)));
    PutSound("Sound/Written.wav", wav);
    engine::SoundFile file;
    ASSERT_EQ(file.Open(engine::WideString("Sound\\Written")), 1);
    EXPECT_EQ(file.Kind(), engine::SoundFile::kKindWav);
    EXPECT_EQ(file.Format().channels, 1);
    EXPECT_EQ(file.Format().samplesPerSecond, 22050u);
    EXPECT_EQ(file.Format().bitsPerSample, 16);
    EXPECT_EQ(file.PcmLength(), 12u);
    EXPECT_EQ(sfx::DecodeWav(wav, "w").samples, samples);
}

TEST(WavReader, TakesWhatTheSpeechProgramWritesAndRefusesTheRest) {
    const std::string pcm = testsupport::Pcm16({5, -5, 7});
    const std::string fmt = RiffChunk("fmt ", FormatBytes(1, 1, 22050, 16));
    struct Case {
        const char* what;
        std::string file;
        std::size_t samples;  // 0: refused
    };
    const Case cases[] = {
        {"plain", MakeWav(1, 22050, 16, pcm), 3},
        {"another chunk first", RiffWave(RiffChunk("LIST", "abc") + fmt + RiffChunk("data", pcm)), 3},
        {"data size past the end", RiffWave(fmt + RiffChunk("data", pcm, 1000000)), 3},
        {"RIFF size past the end", RiffWave(fmt + RiffChunk("data", pcm), 0xFFFFFFFF), 3},
        {"stereo", MakeWav(2, 22050, 16, pcm), 0},
        {"8-bit", MakeWav(1, 22050, 8, pcm), 0},
        {"short format", RiffWave(RiffChunk("fmt ", "\x01\x00\x01\x00") + RiffChunk("data", pcm)), 0},
        {"data before the format", RiffWave(RiffChunk("data", pcm) + fmt), 0},
        {"no data", RiffWave(fmt), 0},
        {"chunk header cut short", RiffWave(fmt + "dat"), 0},
        {"not RIFF", "RIFX" + MakeWav(1, 22050, 16, pcm).substr(4), 0},
        {"empty", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.samples == 0) {
            EXPECT_THROW(sfx::DecodeWav(c.file, "w"), sfx::Error);
        } else {
            EXPECT_EQ(sfx::DecodeWav(c.file, "w").samples.size(), c.samples);
        }
    }
}

}  // namespace
