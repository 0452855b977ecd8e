#pragma once
// Beat detection on streamed sound: the energy of each short block of decoded sound goes into a history,
// and a block is a beat when its energy stands out from the second before it by a threshold that shrinks
// as the energies around it vary more.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace engine {

class BeatDetector {
public:
    struct Entry {
        double time = 0.0;  // seconds, on the timeline of the stream
        float energy = 0.0f;
    };

    // A zeroed history of up to historySize entries; the comparison window is blocksPerSecond entries.
    void Init(int historySize, int samplesPerBlock, int bytesPerSample, int blocksPerSecond, int channels);

    // The sum of squares of one block of samples (samplesPerBlock of them): 16-bit signed little-endian
    // samples scaled by 2^-15, 8-bit samples as (value - 127) x 0.007874016.
    float BlockEnergy(const std::uint8_t* samples) const;
    // Appends an entry, dropping the oldest when the history is full.
    void Append(double time, float energy);

    // The strongest beat among the entries newer than the last query and not newer than `time`, or 0. An
    // entry reported by the last query that reported one is not reported again.
    float Query(double time);
    // The beat strength of entry i seen at `time`: its energy over the threshold when above it, else 0.
    float TestEntry(int i, double time) const;

    int HistorySize() const { return historySize_; }
    int SamplesPerBlock() const { return samplesPerBlock_; }
    int BytesPerSample() const { return bytesPerSample_; }
    int BlocksPerSecond() const { return blocksPerSecond_; }
    int Channels() const { return channels_; }
    int EntriesInUse() const { return static_cast<int>(history_.size()); }
    const Entry& GetEntry(int i) const { return history_[static_cast<std::size_t>(i)]; }

private:
    int historySize_ = 0;
    int samplesPerBlock_ = 0;
    int bytesPerSample_ = 2;
    int blocksPerSecond_ = 0;
    int channels_ = 1;
    double lastQueryTime_ = 0.0;
    // Entries are counted from the first ever appended, so that the entry reported last is still known as
    // the history moves on beneath it.
    std::int64_t lastReported_ = -1;
    std::int64_t dropped_ = 0;
    std::vector<Entry> history_;
};

// The samples (counting every channel) of one analysis block for the format: the power of two nearest to
// channels x rate / 100, about 10 ms of sound (512 for 44100 Hz mono, 1024 for stereo).
int AnalysisBlockSamples(int channels, int rate);

// Appends the blocks of one decoded interleaved piece of stream, which starts at `time` seconds, to the
// detector, creating it on first use with a history of six pieces. A piece shorter than one block is
// skipped, as are formats other than 8 or 16 bits.
void AnalyseStreamBlock(std::unique_ptr<BeatDetector>& detector, const std::uint8_t* pcm, std::size_t bytes,
                        int channels, int rate, int bitsPerSample, double time);

}  // namespace engine
