#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/platform/beat_detector.h"

namespace {

using namespace engine;

// 16-bit mono PCM: one block per amplitude, each a square wave of that amplitude (block energy =
// samples x amplitude^2).
std::vector<std::uint8_t> SquareBlocks(const std::vector<double>& amplitudes, int blockSamples) {
    std::vector<std::uint8_t> out;
    for (const double a : amplitudes) {
        for (int i = 0; i < blockSamples; ++i) {
            const auto value = static_cast<std::int16_t>((i % 2 == 0 ? 1 : -1) * a * 32768.0);
            out.push_back(static_cast<std::uint8_t>(value & 0xFF));
            out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
        }
    }
    return out;
}

constexpr double kThresholdFactor = 1.5142857;

TEST(BeatDetector, AnalysisBlocksAreThePowerOfTwoNearestTenMilliseconds) {
    struct Case {
        int channels;
        int rate;
        int samples;
    };
    for (const Case c : {Case{1, 44100, 512}, Case{2, 44100, 1024}, Case{1, 22050, 256}, Case{2, 22050, 512},
                         Case{1, 8000, 64}, Case{1, 48000, 512}}) {
        EXPECT_EQ(AnalysisBlockSamples(c.channels, c.rate), c.samples) << c.channels << " x " << c.rate;
    }
}

TEST(BeatDetector, APieceOfStreamFillsTheHistoryBlockByBlock) {
    std::unique_ptr<BeatDetector> detector;
    const auto pcm = SquareBlocks(std::vector<double>(64, 0.1), 512);  // 64 KB, mono 44100 Hz
    AnalyseStreamBlock(detector, pcm.data(), pcm.size(), 1, 44100, 16, 2.0);
    ASSERT_NE(detector, nullptr);
    EXPECT_EQ(detector->HistorySize(), 6 * 64);
    EXPECT_EQ(detector->SamplesPerBlock(), 512);
    EXPECT_EQ(detector->BytesPerSample(), 2);
    EXPECT_EQ(detector->BlocksPerSecond(), 86);  // 44100 / 512
    ASSERT_EQ(detector->EntriesInUse(), 64);
    EXPECT_DOUBLE_EQ(detector->GetEntry(0).time, 2.0);
    EXPECT_NEAR(detector->GetEntry(63).time, 2.0 + 63 * 512 / 44100.0, 1e-9);
    EXPECT_NEAR(detector->GetEntry(5).energy, 512 * 0.01, 0.01);

    // Six pieces fill the history; the seventh drops the oldest entries.
    for (int i = 1; i < 7; ++i) AnalyseStreamBlock(detector, pcm.data(), pcm.size(), 1, 44100, 16, 2.0 + i);
    EXPECT_EQ(detector->EntriesInUse(), 6 * 64);
    EXPECT_DOUBLE_EQ(detector->GetEntry(0).time, 3.0);
}

TEST(BeatDetector, AShortPieceIsSkipped) {
    std::unique_ptr<BeatDetector> detector;
    const auto shortPiece = SquareBlocks({0.5}, 500);  // less than one block of 512
    AnalyseStreamBlock(detector, shortPiece.data(), shortPiece.size(), 1, 44100, 16, 0.0);
    EXPECT_EQ(detector, nullptr);
    const auto pcm = SquareBlocks(std::vector<double>(8, 0.1), 512);
    AnalyseStreamBlock(detector, pcm.data(), pcm.size(), 1, 44100, 16, 0.0);
    ASSERT_NE(detector, nullptr);
    AnalyseStreamBlock(detector, shortPiece.data(), shortPiece.size(), 1, 44100, 16, 1.0);
    EXPECT_EQ(detector->EntriesInUse(), 8);
}

TEST(BeatDetector, BlockEnergiesScaleBothSampleSizesToOne) {
    BeatDetector wide;
    wide.Init(4, 2, 2, 10, 1);
    const std::uint8_t half[] = {0x00, 0x40, 0x00, 0xC0};  // 0.5, -0.5
    EXPECT_FLOAT_EQ(wide.BlockEnergy(half), 0.5f);
    BeatDetector narrow;
    narrow.Init(4, 4, 1, 10, 1);
    const std::uint8_t bytes[] = {127, 127, 254, 0};
    EXPECT_NEAR(narrow.BlockEnergy(bytes), 2.0f, 1e-5);
}

TEST(BeatDetector, SilenceNeverBeats) {
    std::unique_ptr<BeatDetector> detector;
    const auto pcm = SquareBlocks(std::vector<double>(64, 0.0), 512);
    AnalyseStreamBlock(detector, pcm.data(), pcm.size(), 1, 44100, 16, 0.0);
    AnalyseStreamBlock(detector, pcm.data(), pcm.size(), 1, 44100, 16, 64 * 512 / 44100.0);
    for (double t = 0.01; t < 1.5; t += 0.016) EXPECT_EQ(detector->Query(t), 0.0f) << t;
}

TEST(BeatDetector, ABlockFourTimesAsLoudAsASteadyHistoryBeatsOnceAndOnlyOnce) {
    std::unique_ptr<BeatDetector> detector;
    std::vector<double> amplitudes(64, 0.1);
    amplitudes[40] = 0.2;  // four times the energy
    const auto pcm = SquareBlocks(amplitudes, 512);
    AnalyseStreamBlock(detector, pcm.data(), pcm.size(), 1, 44100, 16, 0.0);
    const double block = 512 / 44100.0;

    EXPECT_EQ(detector->Query(39.5 * block), 0.0f);
    // Two queries within the beat's block report it once.
    EXPECT_NEAR(detector->Query(40.2 * block), 4.0 / kThresholdFactor, 1e-3);
    EXPECT_EQ(detector->Query(40.7 * block), 0.0f);
    EXPECT_EQ(detector->Query(45.0 * block), 0.0f);
    EXPECT_NEAR(detector->TestEntry(40, 40.5 * block), 4.0 / kThresholdFactor, 1e-3);
}

TEST(BeatDetector, EntriesOlderThanOneSecondStayOutOfTheWindow) {
    BeatDetector detector;
    detector.Init(100, 512, 2, 1000, 1);  // a window of entries far wider than the history
    for (int i = 1; i <= 5; ++i) detector.Append(0.1 * i, 100.0f);  // loud, but long ago
    for (int i = 0; i < 5; ++i) detector.Append(1.6 + 0.1 * i, 1.0f);
    detector.Append(2.05, 3.0f);
    EXPECT_NEAR(detector.Query(2.1), 3.0 / kThresholdFactor, 1e-4);
    // Seen from 1.4 s, the loud entries count, and the same entry is no beat.
    EXPECT_EQ(detector.TestEntry(10, 1.4), 0.0f);
}

TEST(BeatDetector, ABeatWhereTheLastReportedOneStoodInAFullHistoryIsStillReported) {
    BeatDetector detector;
    detector.Init(10, 512, 2, 10, 1);
    for (int i = 1; i <= 10; ++i) detector.Append(0.01 * i, 1.0f);
    detector.Append(0.11, 4.0f);  // the history is full: the oldest goes, the beat sits last
    EXPECT_GT(detector.Query(0.115), 1.0f);
    detector.Append(0.12, 4.0f);  // again last, at the same place in the history
    EXPECT_GT(detector.Query(0.125), 1.0f);
}

TEST(BeatDetector, AWindowThatVariesTooWildlyForAThresholdReportsNoBeat) {
    // Two window entries of 0 and 2000 drive the threshold factor below 0; the energy over a negative
    // threshold would be a negative or endless beat.
    BeatDetector detector;
    detector.Init(10, 4096, 2, 10, 2);
    detector.Append(0.01, 0.0f);
    detector.Append(0.02, 2000.0f);
    detector.Append(0.03, 5.0f);
    EXPECT_EQ(detector.TestEntry(2, 0.03), 0.0f);
    EXPECT_GE(detector.Query(0.035), 0.0f);
}

}  // namespace
