#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "engine/platform/sample_bank.h"
#include "engine/platform/sound_file.h"
#include "engine/platform/sound_sample.h"
#include "ogg/ogg_writer.h"
#include "sound_test_fixture.h"

namespace {

using namespace engine;
using testsupport::FormatBytes;
using testsupport::MakeWav;
using testsupport::RiffChunk;
using testsupport::RiffWave;

// Reads the whole PCM in pieces of the given size.
std::string ReadAll(SoundFile& file, std::size_t piece) {
    std::string out;
    std::vector<char> buffer(piece);
    for (;;) {
        const std::size_t n = file.ReadPcm(buffer.data(), piece);
        if (n == 0) return out;
        out.append(buffer.data(), n);
    }
}

class SoundFileTest : public soundtest::SoundFileTest {};

TEST_F(SoundFileTest, WaveHeadersOpenOrFailAsTheyShould) {
    const std::string pcm16("\x01\x00\xff\x7f\x00\x80", 6);
    const std::string fmt16 = RiffChunk("fmt ", FormatBytes(1, 1, 22050, 16));
    struct Case {
        const char* what;
        std::string file;
        bool opens;
        std::string pcm = {};
        std::uint16_t channels = 0;
        std::uint16_t bits = 0;
        std::string extra = {};
    };
    const Case cases[] = {
        {"PCM 16-bit mono", MakeWav(1, 22050, 16, pcm16), true, pcm16, 1, 16},
        {"PCM 8-bit stereo", MakeWav(2, 11025, 8, "\x10\x20\x30\x40"), true, "\x10\x20\x30\x40", 2, 8},
        {"odd-sized chunk before the data", RiffWave(fmt16 + RiffChunk("LIST", "abc") + RiffChunk("data", pcm16)),
         true, pcm16, 1, 16},
        {"data before the format", RiffWave(RiffChunk("data", pcm16) + fmt16), true, pcm16, 1, 16},
        {"non-PCM tag keeps its extra bytes",
         RiffWave(RiffChunk("fmt ", FormatBytes(2, 1, 22050, 4, std::string("\x01\x02\x03\x04", 4))) +
                  RiffChunk("data", "\x11\x22")),
         true, "\x11\x22", 1, 4, std::string("\x01\x02\x03\x04", 4)},
        {"data size past the end is cut to the bytes present",
         RiffWave(fmt16 + RiffChunk("data", pcm16, 100000)), true, pcm16, 1, 16},
        {"RIFF size past the end is cut to the bytes present", RiffWave(fmt16 + RiffChunk("data", pcm16), 0xFFFFFFFF),
         true, pcm16, 1, 16},
        {"fmt of 14 bytes", RiffWave(RiffChunk("fmt ", FormatBytes(1, 1, 22050, 16).substr(0, 14)) +
                                     RiffChunk("data", pcm16)),
         false},
        {"0 channels", MakeWav(0, 22050, 16, pcm16), false},
        {"0 samples per second", MakeWav(1, 0, 16, pcm16), false},
        {"0 bits", MakeWav(1, 22050, 0, pcm16), false},
        {"no data", RiffWave(fmt16), false},
        {"not RIFF", "RIFX" + MakeWav(1, 22050, 16, pcm16).substr(4), false},
        {"not WAVE", MakeWav(1, 22050, 16, pcm16).replace(8, 4, "AVI "), false},
        {"chunk size 0xFFFFFFFF before the data",
         RiffWave(fmt16 + RiffChunk("LIST", "abcd", 0xFFFFFFFF) + RiffChunk("data", pcm16)), false},
        {"fmt size 0xFFFFFFFF", RiffWave(RiffChunk("fmt ", FormatBytes(1, 1, 22050, 16), 0xFFFFFFFF)), false},
        {"fmt past the RIFF chunk",
         RiffWave(RiffChunk("data", pcm16) + fmt16, static_cast<std::uint32_t>(4 + 8 + pcm16.size() + 8)), false},
        {"extra size larger than the fmt",
         RiffWave(RiffChunk("fmt ", FormatBytes(2, 1, 22050, 4).append("\x0a\x00\x01\x02", 4)) +
                  RiffChunk("data", "\x11\x22")),
         false},
        {"non-PCM fmt without an extra size", RiffWave(RiffChunk("fmt ", FormatBytes(2, 1, 22050, 4)) +
                                                       RiffChunk("data", "\x11\x22")),
         false},
        {"empty file", "", false},
        {"RIFF header only", "RIFF", false},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string name = "Sounds/Case" + std::to_string(index++);
        PutSound(name + ".wav", c.file);
        SoundFile file;
        ASSERT_EQ(file.Open(WideString(name.c_str())) != 0, c.opens);
        if (!c.opens) {
            EXPECT_FALSE(file.IsOpen());
            continue;
        }
        EXPECT_EQ(file.Kind(), SoundFile::kKindWav);
        EXPECT_EQ(file.Format().channels, c.channels);
        EXPECT_EQ(file.Format().bitsPerSample, c.bits);
        EXPECT_EQ(file.Format().extraSize, c.extra.size());
        EXPECT_EQ(std::string(file.ExtraBytes().begin(), file.ExtraBytes().end()), c.extra);
        EXPECT_EQ(file.PcmLength(), c.pcm.size());
        EXPECT_EQ(ReadAll(file, 3), c.pcm);
    }
}

TEST_F(SoundFileTest, WavePositionsAreSecondsReadAndRewindStartsAgain) {
    const std::string pcm = testsupport::Pcm16(testsupport::Sine(22050, 0.5, 50.0));
    PutSound("Tone.wav", MakeWav(1, 22050, 16, pcm));
    SoundFile file;
    ASSERT_EQ(file.Open(WideString("Tone")), 1);
    std::vector<char> buffer(4410);
    EXPECT_EQ(file.ReadPcm(buffer.data(), buffer.size()), buffer.size());
    EXPECT_DOUBLE_EQ(file.GetPositionSeconds(), 0.1);
    EXPECT_EQ(file.Rewind(), 1);
    EXPECT_DOUBLE_EQ(file.GetPositionSeconds(), 0.0);
    EXPECT_TRUE(ReadAll(file, 65536) == pcm);
    EXPECT_DOUBLE_EQ(file.GetPositionSeconds(), 1.0);
}

class OggFileTest : public soundtest::SoundFileTest {
protected:
    OggFileTest() {
        // Half a second of a stereo tone with a different tone on each side.
        const auto left = testsupport::Sine(11025, 0.4, 40.0);
        const auto right = testsupport::Sine(11025, 0.2, 25.0);
        for (std::size_t i = 0; i < left.size(); ++i) {
            samples_.push_back(left[i]);
            samples_.push_back(right[i]);
        }
        ogg_ = ogg::EncodeOgg(samples_, 2, 22050);
        noisyOgg_ = ogg::EncodeOgg(testsupport::Noise(66150, 0.2, 5), 1, 22050);
    }

    std::vector<std::int16_t> samples_;
    std::string ogg_;
    std::string noisyOgg_;  // three seconds over several pages
};

TEST_F(OggFileTest, PiecesOfAnySizeJoinToTheWholeSound) {
    ASSERT_FALSE(ogg_.empty());
    PutSound("Music/Tune.ogg", ogg_);
    SoundFile file;
    ASSERT_EQ(file.Open(WideString("Music\\Tune")), 1);
    EXPECT_EQ(file.Kind(), SoundFile::kKindOgg);
    EXPECT_EQ(file.Format().formatTag, WaveFormat::kTagPcm);
    EXPECT_EQ(file.Format().channels, 2);
    EXPECT_EQ(file.Format().samplesPerSecond, 22050u);
    EXPECT_EQ(file.Format().bitsPerSample, 16);
    EXPECT_EQ(file.Format().blockAlign, 4);
    EXPECT_EQ(file.Format().averageBytesPerSecond, 22050u * 4);
    EXPECT_EQ(file.PcmLength(), samples_.size() * 2);

    const std::string whole = ReadAll(file, 1 << 20);
    ASSERT_EQ(whole.size(), file.PcmLength());
    // Lossy, but close to what went in.
    const auto decoded = soundtest::Samples16(reinterpret_cast<const std::uint8_t*>(whole.data()), whole.size());
    double error = 0.0;
    for (std::size_t i = 0; i < decoded.size(); ++i) error += std::abs(decoded[i] - samples_[i]);
    EXPECT_LT(error / static_cast<double>(decoded.size()), 300.0);

    for (const std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{4096}, std::size_t{65536}}) {
        SCOPED_TRACE(piece);
        SoundFile again;
        ASSERT_EQ(again.Open(WideString("MUSIC/tune")), 1);
        EXPECT_TRUE(ReadAll(again, piece) == whole);
    }
}

TEST_F(OggFileTest, RewindRestartsAndThePositionAdvances) {
    PutSound("Tune.ogg", ogg_);
    SoundFile file;
    ASSERT_EQ(file.Open(WideString("Tune")), 1);
    const std::string whole = ReadAll(file, 8192);
    ASSERT_EQ(file.Rewind(), 1);
    EXPECT_DOUBLE_EQ(file.GetPositionSeconds(), 0.0);

    std::vector<char> buffer(11025);  // a quarter of the sound, not a whole number of frames
    double last = 0.0;
    std::string again;
    for (int i = 0; i < 3; ++i) {
        const std::size_t n = file.ReadPcm(buffer.data(), buffer.size());
        again.append(buffer.data(), n);
        const double position = file.GetPositionSeconds();
        EXPECT_GT(position, last);
        last = position;
    }
    EXPECT_NEAR(last, 0.375, 0.03);
    again += ReadAll(file, 8192);
    EXPECT_TRUE(again == whole);
    EXPECT_NEAR(file.GetPositionSeconds(), 0.5, 0.001);
}

TEST_F(OggFileTest, OggFromAnArchiveEntryPlaysLikeALooseFile) {
    PutSound("Tune.ogg", ogg_);
    SoundFile loose;
    ASSERT_EQ(loose.Open(WideString("Tune")), 1);
    const std::string whole = ReadAll(loose, 4096);

    PutZip("DataPC.zip", testsupport::ZipWriter().Add("Sfx/Tune.ogg", ogg_, 0));
    Mount("DataPC.zip");
    SoundFile packed;
    ASSERT_EQ(packed.Open(WideString("Sfx/Tune")), 1);
    EXPECT_TRUE(ReadAll(packed, 5000) == whole);
    EXPECT_EQ(packed.Rewind(), 1);
    EXPECT_TRUE(ReadAll(packed, 5000) == whole);
}

TEST_F(OggFileTest, WavWinsOverOggAndMissingSoundsFail) {
    PutSound("Both.ogg", ogg_);
    PutSound("Both.wav", MakeWav(1, 8000, 8, "\x80\x90"));
    SoundFile file;
    ASSERT_EQ(file.Open(WideString("Both")), 1);
    EXPECT_EQ(file.Kind(), SoundFile::kKindWav);
    EXPECT_EQ(ReadAll(file, 16), "\x80\x90");
    EXPECT_EQ(file.Open(WideString("Nothing")), 0);
    EXPECT_FALSE(file.IsOpen());
}

TEST_F(OggFileTest, BrokenOggFailsAndLeavesTheBankSlotEmpty) {
    std::mt19937 random(7);
    std::string garbage(3000, '\0');
    for (char& c : garbage) c = static_cast<char>(random());
    PutSound("Garbage.ogg", garbage);
    PutSound("Truncated.ogg", ogg_.substr(0, 200));
    PutSound("Empty.ogg", "");
    PutSound("NotVorbis.ogg", "OggS" + std::string(100, '\0'));

    SampleBank bank;
    bank.Init(WideString("Test"));
    for (const char* name : {"Garbage", "Truncated", "Empty", "NotVorbis", "Missing"}) {
        SCOPED_TRACE(name);
        SoundFile file;
        EXPECT_EQ(file.Open(WideString(name)), 0);
        EXPECT_EQ(bank.LoadSample(3, WideString(name), 2, 1.0f, false), 0);
        EXPECT_EQ(bank.LoadStream(4, WideString(name), 1.0f, false), 0);
        EXPECT_EQ(bank.Sample(3), nullptr);
        EXPECT_EQ(bank.Sample(4), nullptr);
    }
}

TEST_F(OggFileTest, ALengthTheDataDoesNotHoldIsRefusedWholeAndEndsAStreamWhereTheDataEnds) {
    // The last page claims 2^40 frames: a whole load must not believe it, a stream ends where the data
    // does.
    std::string forged = noisyOgg_;
    const auto pages = soundtest::OggPageOffsets(forged);
    ASSERT_GE(pages.size(), 5u);
    const std::size_t last = pages.back();
    const std::uint64_t granule = std::uint64_t{1} << 40;
    for (int i = 0; i < 8; ++i) forged[last + 6 + i] = static_cast<char>((granule >> (8 * i)) & 0xFF);
    soundtest::FixOggPageCrc(forged, last);
    PutSound("Forged.ogg", forged);

    SoundFile file;
    ASSERT_EQ(file.Open(WideString("Forged")), 1);
    EXPECT_GT(file.PcmLength(), SoundSample::kMaxWholeBytes);
    const std::size_t delivered = ReadAll(file, 65536).size();
    EXPECT_GT(delivered, 0u);

    SoundSample whole(false, 1, 1.0f);
    EXPECT_EQ(whole.LoadWhole(WideString("Forged")), 0);
    EXPECT_EQ(whole.Kind(), 0);

    SoundSample stream(false, 4, 1.0f);
    ASSERT_EQ(stream.OpenStream(WideString("Forged")), 1);
    EXPECT_EQ(stream.VoiceLimit(), 1);
    std::size_t read = 0;
    int pieces = 0;
    const std::uint8_t* data = nullptr;
    while (std::size_t n = stream.ReadStreamPiece(data)) {
        ASSERT_NE(data, nullptr);
        read += n;
        ASSERT_LT(++pieces, 100);
    }
    EXPECT_EQ(read, delivered);
    EXPECT_EQ(stream.StreamTotal(), read);
    EXPECT_EQ(stream.StreamPosition(), read);
}

TEST_F(OggFileTest, DamagedDataEndsCleanlyAndAWholeLoadKeepsWhatWasDelivered) {
    std::string damaged = noisyOgg_;
    const auto pages = soundtest::OggPageOffsets(damaged);
    ASSERT_GE(pages.size(), 5u);
    // Scramble the body of an audio page in the middle (checksum left wrong: the page is lost), and
    // another with a fixed checksum (the decoder sees garbage packets).
    const std::size_t middle = pages[pages.size() / 2];
    for (std::size_t i = middle + 40; i < middle + 80 && i < damaged.size(); ++i) damaged[i] ^= 0x5A;
    const std::size_t later = pages[pages.size() / 2 + 1];
    for (std::size_t i = later + 40; i < later + 80 && i < damaged.size(); ++i) damaged[i] ^= 0x33;
    soundtest::FixOggPageCrc(damaged, later);
    PutSound("Damaged.ogg", damaged);

    SoundSample whole(false, 1, 1.0f);
    ASSERT_EQ(whole.LoadWhole(WideString("Damaged")), 1);
    EXPECT_GT(whole.PcmSize(), 0u);
    SoundFile file;
    ASSERT_EQ(file.Open(WideString("Damaged")), 1);
    // The lost page takes its sound with it: the file delivers less than its header announced.
    EXPECT_LT(whole.PcmSize(), file.PcmLength());

    SoundSample stream(false, 1, 1.0f);
    ASSERT_EQ(stream.OpenStream(WideString("Damaged")), 1);
    const std::uint8_t* data = nullptr;
    int pieces = 0;
    while (stream.ReadStreamPiece(data) != 0) ASSERT_LT(++pieces, 100);
    EXPECT_EQ(stream.StreamPosition(), whole.PcmSize());
    EXPECT_EQ(stream.StreamTotal(), whole.PcmSize());
    EXPECT_EQ(stream.ReadStreamPiece(data), 0u);
}

TEST_F(SoundFileTest, SamplesKeepTheirFormatAndStreamInPiecesOf64KB) {
    const std::string pcm = testsupport::Pcm16(testsupport::Sine(80000, 0.3, 100.0));  // 160000 bytes
    PutSound("Long.wav", MakeWav(1, 44100, 16, pcm));
    PutSound("Odd.wav", RiffWave(RiffChunk("fmt ", FormatBytes(2, 2, 8000, 4, std::string("\x05\x06", 2))) +
                                 RiffChunk("data", "\x01\x02\x03\x04")));

    SoundSample whole(true, 3, 0.5f);
    ASSERT_EQ(whole.LoadWhole(WideString("Long")), 1);
    EXPECT_EQ(whole.Kind(), SoundSample::kKindWhole);
    EXPECT_EQ(whole.GetSampleRate(), 44100);
    EXPECT_EQ(whole.GetBitsPerSample(), 16);
    EXPECT_EQ(whole.GetChannels(), 1);
    EXPECT_EQ(whole.VoiceLimit(), 3);
    EXPECT_TRUE(whole.ReplacesOwnVoice());
    EXPECT_EQ(whole.GetLengthSeconds(), 0.0);
    ASSERT_EQ(whole.PcmSize(), pcm.size());
    EXPECT_EQ(std::memcmp(whole.Pcm(), pcm.data(), pcm.size()), 0);

    SoundSample odd(false, 1, 1.0f);
    ASSERT_EQ(odd.LoadWhole(WideString("Odd")), 1);
    EXPECT_EQ(odd.Format().formatTag, 2);
    EXPECT_EQ(odd.FormatExtra(), (std::vector<std::uint8_t>{5, 6}));

    SoundSample stream(false, 3, 0.5f);
    ASSERT_EQ(stream.OpenStream(WideString("Long")), 1);
    EXPECT_EQ(stream.Kind(), SoundSample::kKindStream);
    EXPECT_EQ(stream.VoiceLimit(), 1);
    EXPECT_EQ(stream.StreamTotal(), pcm.size());
    std::string joined;
    std::vector<std::size_t> sizes;
    std::vector<int> indexes;
    const std::uint8_t* data = nullptr;
    while (std::size_t n = stream.ReadStreamPiece(data)) {
        indexes.push_back(stream.StreamBufferIndex());
        joined.append(reinterpret_cast<const char*>(data), n);
        sizes.push_back(n);
        EXPECT_DOUBLE_EQ(stream.GetLengthSeconds(), static_cast<double>(joined.size()) / 2 / 44100);
        stream.NextStreamBuffer();
    }
    EXPECT_EQ(sizes, (std::vector<std::size_t>{65536, 65536, 160000 - 2 * 65536}));
    EXPECT_EQ(indexes, (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(joined == pcm);
    stream.Rewind();
    EXPECT_EQ(stream.StreamPosition(), 0u);
    EXPECT_EQ(stream.StreamBufferIndex(), 0);
    ASSERT_EQ(stream.ReadStreamPiece(data), 65536u);
    EXPECT_EQ(std::memcmp(data, pcm.data(), 65536), 0);
}

}  // namespace
