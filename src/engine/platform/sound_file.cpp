#include "engine/platform/sound_file.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <limits>

#include "engine/platform/data_files.h"

namespace engine {

namespace {

// A run of gaps this long without any sound between them ends the data: the stream is damaged beyond use.
constexpr int kMaxHolesInARow = 1000;

}  // namespace

int SoundFile::Open(const WideString& name) {
    Destroy();
    const WideString wavPath(name, ".wav");
    if (OpenDataFile(stream_, wavPath, FileStream::kModeRead) == 1) {
        stream_.Close();
        if (OpenWav(wavPath) == 1) return 1;
        Destroy();
        return 0;
    }
    if (OpenDataFile(stream_, WideString(name, ".ogg"), FileStream::kModeRead) != 1) return 0;
    if (OpenOgg() == 1) return 1;
    Destroy();
    return 0;
}

int SoundFile::OpenWav(const WideString& path) {
    std::size_t size = 0;
    image_ = LoadWholeFile(path, size);
    WaveHeader header;
    if (!image_ || !ParseWaveHeader(image_.get(), size, header)) return 0;
    kind_ = kKindWav;
    format_ = header.format;
    extra_ = std::move(header.extra);
    pcmOffset_ = header.dataOffset;
    pcmLength_ = header.dataSize;
    position_ = 0;
    return 1;
}

int SoundFile::OpenOgg() {
    if (decoder_.Open(*this) != 0) {
        // A failed open leaves the stream to its owner.
        stream_.Close();
        return 0;
    }
    const int channels = decoder_.Channels();
    const long rate = decoder_.Rate();
    const std::int64_t total = decoder_.PcmTotal();
    if (total < 0 || channels <= 0 || channels > 255 || rate <= 0 || rate > INT32_MAX ||
        total > std::numeric_limits<std::int64_t>::max() / (channels * 2)) {
        return 0;  // Destroy clears the decoder, which closes the stream
    }
    kind_ = kKindOgg;
    format_ = WaveFormat{};
    format_.formatTag = WaveFormat::kTagPcm;
    format_.channels = static_cast<std::uint16_t>(channels);
    format_.samplesPerSecond = static_cast<std::uint32_t>(rate);
    format_.averageBytesPerSecond = static_cast<std::uint32_t>(static_cast<std::uint64_t>(rate) * channels * 2);
    format_.blockAlign = static_cast<std::uint16_t>(channels * 2);
    format_.bitsPerSample = 16;
    format_.extraSize = 4;
    pcmLength_ = static_cast<std::uint64_t>(total) * static_cast<std::uint64_t>(channels) * 2;
    return 1;
}

std::size_t SoundFile::ReadPcm(void* buffer, std::size_t n) {
    if (buffer == nullptr || n == 0) return 0;
    if (kind_ == kKindWav) {
        const std::uint64_t left = pcmLength_ - position_;
        const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(n, left));
        std::memcpy(buffer, image_.get() + pcmOffset_ + position_, count);
        position_ += count;
        return count;
    }
    if (kind_ != kKindOgg) return 0;
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t done = std::min(n, carry_.size() - carryPosition_);
    if (done > 0) {
        std::memcpy(out, carry_.data() + carryPosition_, done);
        carryPosition_ += done;
    }
    const std::size_t frameBytes = static_cast<std::size_t>(format_.channels) * 2;
    int holes = 0;
    while (done < n && !oggEnded_) {
        const bool partFrame = n - done < frameBytes;
        std::uint8_t* target = out + done;
        int chunk = static_cast<int>(std::min<std::size_t>(n - done, INT_MAX));
        if (partFrame) {
            carry_.resize(4096);
            target = carry_.data();
            chunk = static_cast<int>(carry_.size());
        }
        const long result = decoder_.Read(target, chunk);
        if (result == sys::VorbisDecoder::kHole && ++holes < kMaxHolesInARow) continue;
        if (result <= 0 || result > chunk) {
            carry_.clear();
            carryPosition_ = 0;
            oggEnded_ = true;
            break;
        }
        holes = 0;
        if (partFrame) {
            carry_.resize(static_cast<std::size_t>(result));
            const std::size_t take = std::min(n - done, carry_.size());
            std::memcpy(out + done, carry_.data(), take);
            carryPosition_ = take;
            done += take;
        } else {
            done += static_cast<std::size_t>(result);
        }
    }
    return done;
}

double SoundFile::GetPositionSeconds() {
    if (kind_ == kKindOgg) return decoder_.TimeTell();
    if (kind_ != kKindWav) return 0.0;
    return static_cast<double>(position_) * 8.0 / format_.bitsPerSample / format_.channels /
           format_.samplesPerSecond;
}

int SoundFile::Rewind() {
    if (kind_ == kKindWav) {
        position_ = 0;
        return 1;
    }
    if (kind_ != kKindOgg || decoder_.SeekToStart() != 0) return 0;
    oggEnded_ = false;
    carry_.clear();
    carryPosition_ = 0;
    return 1;
}

void SoundFile::Destroy() {
    decoder_.Clear();
    stream_.Close();
    image_.reset();
    kind_ = 0;
    format_ = WaveFormat{};
    extra_.clear();
    pcmOffset_ = 0;
    pcmLength_ = 0;
    position_ = 0;
    oggEnded_ = false;
    carry_.clear();
    carryPosition_ = 0;
}

std::size_t SoundFile::OggRead(void* buffer, std::size_t size, std::size_t count) {
    if (size == 0 || count == 0 || !stream_.IsOpen()) return 0;
    count = std::min(count, std::numeric_limits<std::size_t>::max() / size);
    return stream_.Read(buffer, size * count) / size;
}

int SoundFile::OggSeek(std::int64_t offset, int origin) {
    if (!stream_.IsOpen()) return -1;
    const std::int64_t length = stream_.GetLength();
    std::int64_t base = 0;
    if (origin == FileStream::kSeekCurrent) {
        base = stream_.Tell();
    } else if (origin == FileStream::kSeekEnd) {
        base = length;
    } else if (origin != FileStream::kSeekStart) {
        return -1;
    }
    if ((offset > 0 && base > std::numeric_limits<std::int64_t>::max() - offset)) return -1;
    const std::int64_t target = base + offset;
    if (target < 0 || target > length) return -1;
    return stream_.Seek(target, FileStream::kSeekStart) == 0 ? 0 : -1;
}

int SoundFile::OggClose() {
    stream_.Close();
    return 0;
}

long SoundFile::OggTell() { return static_cast<long>(stream_.Tell()); }

}  // namespace engine
