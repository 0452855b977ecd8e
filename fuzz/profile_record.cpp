// Gives arbitrary bytes to the profile as the unpacked contents of "savedata.sav", through the blob, the
// upgrade of older versions and the checks of every saved game. The first byte chooses how: bit 0 set, the
// rest gets its checksum (bytes 4 to 7) made right, so that the version, size and upgrade paths are reached;
// bit 1 set, the rest is one saved game (padded with zeros) placed in slot (byte >> 2) & 3 of a sound record
// of the current version, so that every field check of a slot is reached. Whatever the file holds, the
// profile must settle within a few polls, read every field, refuse or accept each slot by its checks alone,
// write an accepted slot back to the same bytes, and save a record that loads back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/core/crc32.h"
#include "engine/core/little_endian.h"
#include "engine/platform/memory_save_store.h"
#include "engine/platform/save_blob.h"
#include "game/core/player_profile.h"
#include "game/core/slot_record.h"

namespace {

constexpr std::size_t kHeader = 8;
constexpr std::size_t kFirstSlot = 3244;

std::vector<std::uint8_t> SlotFile(const std::uint8_t* data, std::size_t size, int slot) {
    std::vector<std::uint8_t> file(kHeader + game::kProfileRecordSize, 0);
    engine::StoreU32(file.data(), game::kProfileVersion);
    std::uint8_t* at = file.data() + kHeader + kFirstSlot + static_cast<std::size_t>(slot) * game::kSlotRecordSize;
    std::memcpy(at, data, size < game::kSlotRecordSize ? size : game::kSlotRecordSize);
    return file;
}

void FixChecksum(std::vector<std::uint8_t>& file) {
    if (file.size() < kHeader) return;
    engine::StoreU32(file.data() + 4, engine::Crc32OfLength(file.data() + kHeader, file.size() - kHeader));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t inputSize) {
    if (inputSize == 0) return 0;
    const std::uint8_t mode = input[0];
    std::vector<std::uint8_t> file;
    if ((mode & 2) != 0) {
        file = SlotFile(input + 1, inputSize - 1, (mode >> 2) & 3);
        FixChecksum(file);
    } else {
        file.assign(input + 1, input + inputSize);
        if ((mode & 1) != 0) FixChecksum(file);
    }
    engine::MemorySaveStore store;
    store.Put("savedata.sav", std::move(file));
    engine::NamedSaveBlob blob(store);
    game::PlayerProfile profile(blob, store);
    profile.StartLoad();
    int polls = 0;
    while (profile.Poll() != game::kProfileIdle) {
        if (profile.GetState() == game::kProfileNoFile) profile.Save();
        if (++polls > 4) __builtin_trap();
    }

    // Every field reads, whatever it holds.
    volatile std::size_t sink = profile.GetDefaultMapName().size() + profile.GetCurrentCampaignName().size() +
                                profile.GetSpeechPackName(0).size() + profile.GetSpeechPackName(1).size();
    sink = sink + static_cast<std::size_t>(profile.GetDifficulty());
    if (profile.GetDifficulty() < 0 || profile.GetDifficulty() > 3) __builtin_trap();
    (void)profile.GetMissionResult(profile.GetDifficulty(), 19);
    for (int slot = 0; slot < game::kProfileSlots; ++slot) {
        game::GameSlot saved;
        if (!profile.ReadGameSlot(slot, saved)) continue;
        if (!game::CheckSlotFields(saved)) __builtin_trap();
        std::vector<std::uint8_t> bytes(game::kSlotRecordSize);
        game::WriteSlotRecord(saved, bytes.data());
        game::GameSlot again;
        if (!game::ReadSlotRecord(bytes.data(), again)) __builtin_trap();
        std::vector<std::uint8_t> twice(game::kSlotRecordSize);
        game::WriteSlotRecord(again, twice.data());
        if (bytes != twice) __builtin_trap();
    }

    profile.MarkDirty();
    profile.Save();
    if (profile.IsDirty()) __builtin_trap();
    engine::NamedSaveBlob otherBlob(store);
    game::PlayerProfile other(otherBlob, store);
    other.StartLoad();
    if (other.Poll() != game::kProfileIdle) __builtin_trap();
    if (std::memcmp(other.GetData(), profile.GetData(), game::kProfileRecordSize) != 0) __builtin_trap();
    return 0;
}
