#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/platform/sound_file.h"
#include "engine/platform/sound_test_fixture.h"
#include "ogg/ogg_writer.h"

namespace {

using engine::SoundFile;
using engine::WideString;

class OggWriterTest : public soundtest::SoundFileTest {
protected:
    // The PCM bytes the game's reader delivers for the file.
    std::string Decode(const std::string& ogg) {
        PutSound("Music/Written.ogg", ogg);
        SoundFile file;
        EXPECT_EQ(file.Open(WideString("Music\\Written")), 1);
        EXPECT_EQ(file.Kind(), SoundFile::kKindOgg);
        std::string pcm;
        std::vector<char> buffer(65536);
        for (std::size_t n; (n = file.ReadPcm(buffer.data(), buffer.size())) != 0;) pcm.append(buffer.data(), n);
        EXPECT_EQ(pcm.size(), file.PcmLength());
        return pcm;
    }
};

// Interleaved stereo: a different tone on each side.
std::vector<std::int16_t> Stereo(std::size_t frames) {
    const auto left = testsupport::Sine(frames, 0.5, 100.0);
    const auto right = testsupport::Sine(frames, 0.3, 37.0);
    std::vector<std::int16_t> out;
    for (std::size_t i = 0; i < frames; ++i) {
        out.push_back(left[i]);
        out.push_back(right[i]);
    }
    return out;
}

TEST_F(OggWriterTest, DecodesToExactlyTheFramesThatWentIn) {
    struct Case {
        int channels;
        int rate;
        std::size_t frames;
    };
    // Lengths that end inside a block, on a chunk edge, and a single frame.
    const Case cases[] = {{2, 44100, 44100 + 123}, {2, 44100, 3 * 1024}, {1, 22050, 1}, {1, 22050, 22050 * 2 + 1001}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.channels << " channels, " << c.frames << " frames");
        const auto samples = c.channels == 2 ? Stereo(c.frames) : testsupport::Noise(c.frames, 0.3, 9);
        const std::string ogg = ogg::EncodeOgg(samples, c.channels, c.rate);
        ASSERT_FALSE(ogg.empty());
        EXPECT_EQ(Decode(ogg).size(), c.frames * static_cast<std::size_t>(c.channels) * 2);
    }
}

TEST_F(OggWriterTest, TheSameSamplesGiveTheSameBytesUnderTheFixedSerial) {
    const auto samples = Stereo(30000);
    const std::string first = ogg::EncodeOgg(samples, 2, 44100);
    const std::string second = ogg::EncodeOgg(samples, 2, 44100);
    ASSERT_FALSE(first.empty());
    EXPECT_TRUE(first == second);
    const auto pages = soundtest::OggPageOffsets(first);
    ASSERT_GE(pages.size(), 3u);
    for (const std::size_t page : pages) {
        const auto byte = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<std::uint8_t>(first[page + i])); };
        EXPECT_EQ(byte(14) | byte(15) << 8 | byte(16) << 16 | byte(17) << 24, static_cast<std::uint32_t>(ogg::kFixedSerial));
    }
    // The last page ends the stream at the exact frame count.
    const std::size_t last = pages.back();
    EXPECT_NE(first[last + 5] & 0x04, 0);
    std::uint64_t granule = 0;
    for (int i = 7; i >= 0; --i) granule = granule << 8 | static_cast<std::uint8_t>(first[last + 6 + static_cast<std::size_t>(i)]);
    EXPECT_EQ(granule, 30000u);
}

TEST(OggWriter, RefusesWhatIsNotWholeFrames) {
    EXPECT_TRUE(ogg::EncodeOgg({1, 2, 3}, 2, 44100).empty());
    EXPECT_TRUE(ogg::EncodeOgg({1, 2}, 0, 44100).empty());
}

}  // namespace
