// Opens arbitrary bytes as a ZIP archive held in memory, then extracts every entry and looks up every name.
// Whatever the bytes hold, nothing may read or write out of bounds, leak, hang or crash, and a lookup must
// give exactly what extracting the first entry of that name gives.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "engine/platform/memory_zip_archive.h"
#include "engine/platform/zip_name.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
    engine::MemoryZipArchive archive(input, size);
    if (archive.Open("fuzz.zip") != 1) {
        if (archive.EntryCount() != 0) __builtin_trap();
        return 0;
    }
    if (archive.EndRecordPosition() < 0 || static_cast<std::size_t>(archive.EndRecordPosition()) + 22 > size) {
        __builtin_trap();
    }
    for (std::uint32_t i = 0; i < archive.EntryCount(); ++i) {
        const std::string name(archive.EntryName(i));
        if (name != engine::NormaliseZipName(name)) __builtin_trap();
        std::uint32_t first = 0;
        while (archive.EntryName(first) != name) ++first;

        std::uint32_t extractedSize = 0;
        std::unique_ptr<std::uint8_t[]> extracted = archive.ExtractEntry(first, extractedSize);
        if (!extracted && extractedSize != 0) __builtin_trap();

        std::unique_ptr<std::uint8_t[]> found;
        std::uint32_t foundSize = 0;
        const int result = archive.FindEntry(name, found, foundSize);
        if ((result == 1) != (found != nullptr) || (result == 1) != (extracted != nullptr)) __builtin_trap();
        if (result != 1) {
            if (foundSize != 0) __builtin_trap();
            continue;
        }
        if (foundSize != extractedSize || std::memcmp(found.get(), extracted.get(), foundSize) != 0) __builtin_trap();
    }
    std::uint32_t none = 0;
    if (archive.ExtractEntry(archive.EntryCount(), none) != nullptr) __builtin_trap();
    return 0;
}
