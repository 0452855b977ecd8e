#include "engine/platform/save_blob.h"

#include <cstring>
#include <new>

#include "engine/core/crc32.h"
#include "engine/core/little_endian.h"
#include "engine/platform/save_store.h"

namespace engine {

namespace {

std::unique_ptr<std::uint8_t[]> ZeroedBytes(std::size_t n) {
    return std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[n]());
}

}  // namespace

void SaveBlob::Setup(int payloadSize, std::uint32_t version) {
    payloadSize_ = payloadSize < 0 ? 0 : payloadSize;
    version_ = version;
    if (buffer_ && bufferSize_ < RecordSize()) {
        buffer_.reset();
        bufferSize_ = 0;
    }
    Prepare();
}

bool SaveBlob::ResetBuffer() {
    buffer_.reset();
    bufferSize_ = 0;
    buffer_ = ZeroedBytes(RecordSize());
    if (!buffer_) return false;
    bufferSize_ = RecordSize();
    return true;
}

void SaveBlob::Load() {
    if (!buffer_ && !ResetBuffer()) return;
    LoadFile();
}

void SaveBlob::Save() {
    if (!buffer_ && !ResetBuffer()) return;
    SaveFile();
}

int SaveBlob::TakeState() {
    const int state = loadState_;
    if (loadState_ == kOtherVersion) loadState_ = kLoaded;
    return state;
}

void NamedSaveBlob::LoadFile() {
    otherVersionSize_ = 0;
    otherVersionId_ = 0;

    std::uint32_t size = 0;
    FileLoad outcome = FileLoad::kMissing;
    std::unique_ptr<std::uint8_t[]> data = store_.LoadNamed(kName, size, outcome);
    if (outcome == FileLoad::kUnreadable) {
        RejectFile();
        return;
    }
    damagedInPlace_ = false;
    if (!data || size == 0) {
        // A first start: the buffer and the result word stay as they are.
        loadState_ = kNoFile;
        return;
    }
    if (size < kHeaderSize) {
        RejectFile();
        return;
    }
    const std::uint32_t length = size - static_cast<std::uint32_t>(kHeaderSize);
    checksum_ = Crc32OfLength(data.get() + kHeaderSize, length);
    if (checksum_ != LoadU32(data.get() + 4)) {
        RejectFile();
        return;
    }
    const std::uint32_t storedVersion = LoadU32(data.get());
    if (storedVersion != version_) {
        // The old record stays in the buffer for the owner to upgrade.
        if (!AdoptFile(std::move(data), size)) {
            RejectFile();
            return;
        }
        otherVersionId_ = storedVersion;
        otherVersionSize_ = length;
        loadState_ = kOtherVersion;
        return;
    }
    if (size != RecordSize()) {
        RejectFile();
        return;
    }
    AdoptFile(std::move(data), size);
    loadState_ = kLoaded;
}

void NamedSaveBlob::SaveFile() {
    if (damagedInPlace_) {
        error_ = kSaveFailed;
        return;
    }
    std::uint8_t* record = buffer_.get();
    checksum_ = Crc32OfLength(record + kHeaderSize, static_cast<std::size_t>(payloadSize_));
    StoreU32(record, version_);
    StoreU32(record + 4, checksum_);
    const std::size_t size = RecordSize();
    const bool written = size <= 0xFFFFFFFFu && store_.SaveNamed(kName, record, static_cast<std::uint32_t>(size));
    error_ = written ? kSaved : kSaveFailed;
}

void NamedSaveBlob::RejectFile() {
    loadState_ = kBadFile;
    error_ = kFoundBadFile;
    ResetBuffer();
    damagedInPlace_ = !store_.SetAsideNamed(kName);
}

bool NamedSaveBlob::AdoptFile(std::unique_ptr<std::uint8_t[]> data, std::size_t size) {
    if (size >= RecordSize()) {
        buffer_ = std::move(data);
        bufferSize_ = size;
        return true;
    }
    std::unique_ptr<std::uint8_t[]> padded = ZeroedBytes(RecordSize());
    if (!padded) return false;
    std::memcpy(padded.get(), data.get(), size);
    buffer_ = std::move(padded);
    bufferSize_ = RecordSize();
    return true;
}

}  // namespace engine
