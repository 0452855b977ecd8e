#include "engine/platform/sound_sample.h"

#include <algorithm>
#include <new>

#include "engine/platform/voice_scheduler.h"

namespace engine {

SoundSampleBase::~SoundSampleBase() {
    if (VoiceScheduler* scheduler = GetVoiceScheduler()) scheduler->ForgetSample(this);
}

int SoundSampleBase::LoadWhole(const WideString&) { return 0; }

int SoundSampleBase::OpenStream(const WideString&) { return 0; }

SoundSample::SoundSample(bool replaceOwnVoice, int voiceLimit, float priority)
    : voiceLimit_(voiceLimit), priority_(priority), replaceOwnVoice_(replaceOwnVoice) {}

SoundSample::~SoundSample() {
    // No voice may hold the sound's buffers when they are deleted.
    if (VoiceScheduler* scheduler = GetVoiceScheduler()) scheduler->ForgetSample(this);
    deviceBuffers_.Release();
}

void SoundSample::Reset() {
    if (VoiceScheduler* scheduler = GetVoiceScheduler()) scheduler->ForgetSample(this);
    deviceBuffers_.Release();
    kind_ = 0;
    format_ = WaveFormat{};
    formatExtra_.clear();
    name_.Clear();
    pcm_.reset();
    pcmSize_ = 0;
    file_.reset();
    streamBuffers_.reset();
    position_ = 0;
    total_ = 0;
    bufferIndex_ = 0;
}

bool SoundSample::OpenFile(const WideString& name, SoundFile& file) {
    if (file.Open(name) == 0) return false;
    name_ = name;
    format_ = file.Format();
    // Ogg formats carry no extra bytes.
    if (file.Kind() == SoundFile::kKindWav) formatExtra_ = file.ExtraBytes();
    return true;
}

double SoundSample::GetLengthSeconds() {
    return kind_ == kKindStream && file_ && file_->IsOpen() ? file_->GetPositionSeconds() : 0.0;
}

int SoundSample::LoadWhole(const WideString& name) {
    Reset();
    SoundFile file;
    if (!OpenFile(name, file) || file.PcmLength() > kMaxWholeBytes) {
        Reset();
        return 0;
    }
    const auto length = static_cast<std::size_t>(file.PcmLength());
    if (length > 0) {
        pcm_.reset(new (std::nothrow) std::uint8_t[length]);
        if (!pcm_) {
            Reset();
            return 0;
        }
    }
    while (pcmSize_ < length) {
        const std::size_t n = file.ReadPcm(pcm_.get() + pcmSize_, length - pcmSize_);
        if (n == 0) break;  // a short file keeps what it delivered
        pcmSize_ += n;
    }
    kind_ = kKindWhole;
    if (VoiceScheduler* scheduler = GetVoiceScheduler()) scheduler->PrepareSample(*this);
    return 1;
}

int SoundSample::OpenStream(const WideString& name) {
    Reset();
    file_ = std::make_unique<SoundFile>();
    streamBuffers_.reset(new (std::nothrow) std::uint8_t[kStreamBufferBytes * kStreamBufferCount]);
    if (!streamBuffers_ || !OpenFile(name, *file_)) {
        Reset();
        return 0;
    }
    kind_ = kKindStream;
    voiceLimit_ = 1;
    total_ = file_->PcmLength();
    Rewind();
    return 1;
}

void SoundSample::Rewind() {
    if (kind_ != kKindStream) return;
    position_ = 0;
    bufferIndex_ = 0;
    // A file that cannot go back has nothing more to give.
    if (file_->Rewind() != 1) total_ = 0;
}

std::size_t SoundSample::ReadStreamPiece(const std::uint8_t*& data) {
    data = nullptr;
    if (kind_ != kKindStream || position_ >= total_) return 0;
    std::uint8_t* buffer = streamBuffers_.get() + static_cast<std::size_t>(bufferIndex_) * kStreamBufferBytes;
    const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(kStreamBufferBytes, total_ - position_));
    const std::size_t n = file_->ReadPcm(buffer, want);
    if (n == 0) {
        // The file ended before the length its header announced: it ends here.
        total_ = position_;
        return 0;
    }
    position_ += n;
    data = buffer;
    return n;
}

}  // namespace engine
