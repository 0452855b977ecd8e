#include "sys/vorbis_decoder.h"

#include <vorbis/vorbisfile.h>

namespace sys {

struct VorbisDecoder::State {
    OggVorbis_File file{};
};

namespace {

size_t ReadCallback(void* buffer, size_t size, size_t count, void* source) {
    return static_cast<VorbisSource*>(source)->OggRead(buffer, size, count);
}

int SeekCallback(void* source, ogg_int64_t offset, int whence) {
    return static_cast<VorbisSource*>(source)->OggSeek(offset, whence) == 0 ? 0 : -1;
}

int CloseCallback(void* source) { return static_cast<VorbisSource*>(source)->OggClose(); }

long TellCallback(void* source) { return static_cast<VorbisSource*>(source)->OggTell(); }

}  // namespace

static_assert(VorbisDecoder::kHole == OV_HOLE && VorbisDecoder::kNotVorbis == OV_ENOTVORBIS);

VorbisDecoder::VorbisDecoder() : state_(std::make_unique<State>()) {}

VorbisDecoder::~VorbisDecoder() { Clear(); }

int VorbisDecoder::Open(VorbisSource& source) {
    Clear();
    const ov_callbacks callbacks = {ReadCallback, SeekCallback, CloseCallback, TellCallback};
    const int result = ov_open_callbacks(&source, &state_->file, nullptr, 0, callbacks);
    open_ = result == 0;
    return result;
}

void VorbisDecoder::Clear() {
    if (!open_) return;
    ov_clear(&state_->file);
    open_ = false;
}

int VorbisDecoder::Channels() const {
    if (!open_) return 0;
    const vorbis_info* info = ov_info(&state_->file, -1);
    return info != nullptr ? info->channels : 0;
}

long VorbisDecoder::Rate() const {
    if (!open_) return 0;
    const vorbis_info* info = ov_info(&state_->file, -1);
    return info != nullptr ? info->rate : 0;
}

std::int64_t VorbisDecoder::PcmTotal() { return open_ ? ov_pcm_total(&state_->file, -1) : -1; }

long VorbisDecoder::Read(void* buffer, int bytes) {
    if (!open_ || bytes <= 0) return 0;
    int section = 0;
    return ov_read(&state_->file, static_cast<char*>(buffer), bytes, 0, 2, 1, &section);
}

double VorbisDecoder::TimeTell() { return open_ ? ov_time_tell(&state_->file) : 0.0; }

int VorbisDecoder::SeekToStart() { return open_ ? ov_pcm_seek(&state_->file, 0) : -1; }

}  // namespace sys
