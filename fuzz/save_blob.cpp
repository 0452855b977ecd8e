// Gives arbitrary bytes to the save-data blob as the unpacked contents of "savedata.sav", set up as the
// profile is (73356 bytes, version 4). The first byte chooses how: even, the rest stands as it is; odd, the
// rest gets its checksum (bytes 4 to 7) made right first, so that the version and size checks behind the
// checksum are fuzzed too. Whatever the file holds, the blob must leave a buffer of at least payload + 8
// bytes that the owner may read and write whole, report one of its load states, give state 6 only once, set
// a bad file aside, and save a record that then loads back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/core/crc32.h"
#include "engine/core/little_endian.h"
#include "engine/platform/memory_save_store.h"
#include "engine/platform/save_blob.h"

namespace {

constexpr int kPayloadSize = 73356;
constexpr std::uint32_t kVersion = 4;
constexpr std::size_t kHeader = 8;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t inputSize) {
    if (inputSize == 0) return 0;
    std::vector<std::uint8_t> file(input + 1, input + inputSize);
    if ((input[0] & 1) != 0 && file.size() >= kHeader) {
        const std::uint32_t sum = engine::Crc32OfLength(file.data() + kHeader, file.size() - kHeader);
        engine::StoreU32(file.data() + 4, sum);
    }
    const std::size_t size = file.size();
    engine::MemorySaveStore store;
    store.Put("savedata.sav", std::move(file));
    engine::NamedSaveBlob blob(store);
    blob.Setup(kPayloadSize, kVersion);
    blob.Load();

    std::uint8_t* payload = blob.GetPayload();
    if (payload == nullptr || blob.BufferSize() < kPayloadSize + 8u) __builtin_trap();
    std::uint8_t* record = payload - 8;
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < kPayloadSize + 8u; ++i) {
        sum = sum * 31 + record[i];
        record[i] = static_cast<std::uint8_t>(sum);
    }

    const int first = blob.TakeState();
    const int second = blob.TakeState();
    switch (first) {
        case engine::SaveBlob::kLoaded:
            if (second != first || size != kPayloadSize + 8u) __builtin_trap();
            break;
        case engine::SaveBlob::kNoFile:
            if (second != first || size != 0) __builtin_trap();
            break;
        case engine::SaveBlob::kBadFile:
            if (second != first || blob.GetError() != engine::SaveBlob::kFoundBadFile) __builtin_trap();
            if (store.Find("savedata.sav") != nullptr || store.Find("savedata.sav.bad") == nullptr) __builtin_trap();
            break;
        case engine::SaveBlob::kOtherVersion:
            if (second != engine::SaveBlob::kLoaded || blob.OtherVersionId() == kVersion ||
                blob.OtherVersionSize() + 8u != size) {
                __builtin_trap();
            }
            break;
        default:
            __builtin_trap();
    }

    blob.Save();
    if (blob.GetError() != engine::SaveBlob::kSaved) __builtin_trap();
    engine::NamedSaveBlob again(store);
    again.Setup(kPayloadSize, kVersion);
    again.Load();
    if (again.TakeState() != engine::SaveBlob::kLoaded) __builtin_trap();
    if (std::memcmp(again.GetPayload(), blob.GetPayload(), kPayloadSize) != 0) __builtin_trap();
    return 0;
}
