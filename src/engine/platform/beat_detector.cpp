#include "engine/platform/beat_detector.h"

#include <algorithm>
#include <cmath>

namespace engine {

void BeatDetector::Init(int historySize, int samplesPerBlock, int bytesPerSample, int blocksPerSecond,
                        int channels) {
    historySize_ = std::max(historySize, 0);
    samplesPerBlock_ = std::max(samplesPerBlock, 0);
    bytesPerSample_ = bytesPerSample == 1 ? 1 : 2;
    blocksPerSecond_ = std::max(blocksPerSecond, 0);
    channels_ = channels;
    lastQueryTime_ = 0.0;
    lastReported_ = -1;
    dropped_ = 0;
    history_.clear();
    history_.reserve(static_cast<std::size_t>(historySize_));
}

float BeatDetector::BlockEnergy(const std::uint8_t* samples) const {
    float sum = 0.0f;
    if (samples == nullptr) return sum;
    for (int i = 0; i < samplesPerBlock_; ++i) {
        float value = 0.0f;
        if (bytesPerSample_ == 2) {
            const auto raw = static_cast<std::int16_t>(samples[2 * i] | samples[2 * i + 1] << 8);
            value = static_cast<float>(raw) * (1.0f / 32768.0f);
        } else {
            value = static_cast<float>(static_cast<int>(samples[i]) - 127) * 0.007874016f;
        }
        sum += value * value;
    }
    return sum;
}

void BeatDetector::Append(double time, float energy) {
    if (historySize_ == 0) return;
    if (static_cast<int>(history_.size()) >= historySize_) {
        history_.erase(history_.begin());
        ++dropped_;
    }
    history_.push_back(Entry{time, energy});
}

float BeatDetector::Query(double time) {
    float best = 0.0f;
    for (std::size_t i = 0; i < history_.size(); ++i) {
        const double entryTime = history_[i].time;
        if (entryTime <= lastQueryTime_ || entryTime > time) continue;
        const std::int64_t serial = dropped_ + static_cast<std::int64_t>(i);
        if (serial == lastReported_) return 0.0f;
        lastReported_ = serial;
        best = std::max(best, TestEntry(static_cast<int>(i), time));
    }
    lastQueryTime_ = time;
    return best;
}

float BeatDetector::TestEntry(int i, double time) const {
    if (i < 0 || i >= static_cast<int>(history_.size())) return 0.0f;
    const int first = std::max(0, i - blocksPerSecond_);
    double sum = 0.0;
    int n = 0;
    for (int j = first; j < i; ++j) {
        if (history_[static_cast<std::size_t>(j)].time < time - 1.0) continue;
        sum += history_[static_cast<std::size_t>(j)].energy;
        ++n;
    }
    if (n == 0) return 0.0f;
    const double average = sum / n;
    if (average <= 0.0) return 0.0f;
    double variance = 0.0;
    for (int j = first; j < i; ++j) {
        if (history_[static_cast<std::size_t>(j)].time < time - 1.0) continue;
        const double d = history_[static_cast<std::size_t>(j)].energy - average;
        variance += d * d;
    }
    const double factor = 1.5142857 - 0.0025714 * std::sqrt(variance) / n;
    const double threshold = factor * average;
    // A window that varies wildly drives the factor to 0 or below; there is no threshold to measure by.
    if (threshold <= 0.0) return 0.0f;
    const double energy = history_[static_cast<std::size_t>(i)].energy;
    return energy > threshold ? static_cast<float>(energy / threshold) : 0.0f;
}

int AnalysisBlockSamples(int channels, int rate) {
    const long long n = static_cast<long long>(channels) * rate / 100;
    int k = 1;
    while (k < 30 && (1LL << (k - 1)) + (1LL << k) < n) ++k;
    return 1 << k;
}

void AnalyseStreamBlock(std::unique_ptr<BeatDetector>& detector, const std::uint8_t* pcm, std::size_t bytes,
                        int channels, int rate, int bitsPerSample, double time) {
    if (pcm == nullptr || channels <= 0 || rate <= 0 || (bitsPerSample != 8 && bitsPerSample != 16)) return;
    const int blockSamples = AnalysisBlockSamples(channels, rate);
    const std::size_t bytesPerSample = static_cast<std::size_t>(bitsPerSample / 8);
    const std::size_t blockBytes = static_cast<std::size_t>(blockSamples) * bytesPerSample;
    const std::size_t blocks = bytes / blockBytes;
    // A piece shorter than one block (a stream's last piece, say) has nothing to measure.
    if (blocks == 0) return;
    const double secondsPerBlock = static_cast<double>(bytes) / static_cast<double>(bytesPerSample) / channels /
                                   rate / static_cast<double>(blocks);
    if (!detector) {
        detector = std::make_unique<BeatDetector>();
        detector->Init(static_cast<int>(6 * blocks), blockSamples, static_cast<int>(bytesPerSample),
                       static_cast<int>(1.0 / secondsPerBlock), channels);
    }
    if (detector->SamplesPerBlock() != blockSamples || detector->BytesPerSample() != static_cast<int>(bytesPerSample)) {
        return;
    }
    for (std::size_t b = 0; b < blocks; ++b) {
        detector->Append(time, detector->BlockEnergy(pcm + b * blockBytes));
        time += secondsPerBlock;
    }
}

}  // namespace engine
