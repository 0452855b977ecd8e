#pragma once
// The save-data blob: one record of the game (the profile) kept in a named save file behind an 8-byte
// header, little-endian: the version id (u32), then a checksum (u32) that is Crc32OfLength over the payload,
// started from the payload length. The owner fixes the payload size and version with Setup, works directly
// in the payload (GetPayload) and polls the outcome of each call: the load state (TakeState) and the result
// word (GetError). Every call completes before it returns.
//
// After every load the buffer holds at least payload size + 8 bytes, so the owner may always use the whole
// payload. A damaged file (one that is there but cannot be read, unpacked or checked) is set aside as
// "<name>.sav.bad", so the next load starts afresh. When it cannot be moved it stays where it is and the
// blob refuses to write over it until a later load finds the file gone or sound.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace engine {

class SaveStoreBase;

class SaveBlob {
public:
    // Load states.
    static constexpr int kLoaded = 2;
    static constexpr int kNoFile = 3;
    static constexpr int kBadFile = 4;
    static constexpr int kOtherVersion = 6;
    // Result words.
    static constexpr int kSaved = 2;
    static constexpr int kFoundBadFile = 3;
    static constexpr int kSaveFailed = 4;

    static constexpr std::size_t kHeaderSize = 8;

    explicit SaveBlob(SaveStoreBase& store) : store_(store) {}
    virtual ~SaveBlob() = default;
    SaveBlob(const SaveBlob&) = delete;
    SaveBlob& operator=(const SaveBlob&) = delete;

    // Fixes the payload size (a negative size counts as 0) and version id, then prepares. A buffer too small
    // for the new size is dropped; the next Load or Save makes a fresh one.
    void Setup(int payloadSize, std::uint32_t version);
    // Replaces the buffer by a zero-filled one of payload size + 8 bytes; false (and no buffer) when memory
    // runs out.
    bool ResetBuffer();
    // Both make the zero-filled buffer first when there is none, and do nothing when that fails.
    void Load();
    void Save();

    // The buffer address + 8; null while there is no buffer. A load may replace the buffer, so the owner
    // reads this again after every load.
    std::uint8_t* GetPayload() { return buffer_ ? buffer_.get() + kHeaderSize : nullptr; }
    // The load state of the last load (0 before any). State 6 is given once, then reads as 2.
    int TakeState();
    // The result word: 2 saved, 4 save failed, 3 a load found a bad file (0 before any).
    int GetError() const { return error_; }

    int PayloadSize() const { return payloadSize_; }
    std::uint32_t Version() const { return version_; }
    // The checksum last computed by a load or save.
    std::uint32_t Checksum() const { return checksum_; }
    // Payload length and version id of a file of another version; both 0 unless the last load gave state 6.
    std::uint32_t OtherVersionSize() const { return otherVersionSize_; }
    std::uint32_t OtherVersionId() const { return otherVersionId_; }
    std::size_t BufferSize() const { return bufferSize_; }
    // True after a load found a damaged file that could not be set aside: saves then fail (result word 4)
    // without touching it.
    bool IsDamagedFileInPlace() const { return damagedInPlace_; }

protected:
    virtual void Prepare() = 0;
    virtual void LoadFile() = 0;
    virtual void SaveFile() = 0;

    std::size_t RecordSize() const { return static_cast<std::size_t>(payloadSize_) + kHeaderSize; }

    SaveStoreBase& store_;
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t bufferSize_ = 0;
    int payloadSize_ = 0;
    std::uint32_t version_ = 0;
    std::uint32_t checksum_ = 0;
    int loadState_ = 0;
    int error_ = 0;
    std::uint32_t otherVersionSize_ = 0;
    std::uint32_t otherVersionId_ = 0;
    bool damagedInPlace_ = false;
};

// The blob of the named save file "savedata" ("savedata.sav").
class NamedSaveBlob final : public SaveBlob {
public:
    static constexpr const char* kName = "savedata";

    using SaveBlob::SaveBlob;

protected:
    void Prepare() override {}
    void LoadFile() override;
    void SaveFile() override;

private:
    // State 4 and result word 3, a fresh zero-filled buffer, and the file set aside (or, when that fails,
    // kept from every save).
    void RejectFile();
    // Takes the file's bytes as the buffer, followed by zeros up to payload size + 8 when it is shorter.
    bool AdoptFile(std::unique_ptr<std::uint8_t[]> data, std::size_t size);
};

}  // namespace engine
