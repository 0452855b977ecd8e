#pragma once
// Shared by the archive tests: opening built images and reading entries back as strings.
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <string_view>

#include "engine/platform/memory_zip_archive.h"
#include "engine/platform/zip_archive.h"
#include "support/zip_writer.h"

namespace ziptest {

inline std::unique_ptr<engine::ZipArchive> OpenInMemory(const testsupport::ZipImage& image, bool* opened = nullptr) {
    auto archive = std::make_unique<engine::MemoryZipArchive>(image.bytes.data(), image.bytes.size());
    const int result = archive->Open("memory.zip");
    if (opened != nullptr) *opened = result == 1;
    return archive;
}

// The entry's bytes, or nothing when FindEntry fails (which must then clear its outputs).
inline std::optional<std::string> Find(const engine::ZipArchive& archive, std::string_view path) {
    std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[1]);
    std::uint32_t size = 123;
    if (archive.FindEntry(path, buffer, size) != 1) {
        if (buffer != nullptr || size != 0) return std::string("<outputs not cleared>");
        return std::nullopt;
    }
    return std::string(reinterpret_cast<const char*>(buffer.get()), size);
}

inline std::string RandomBytes(std::size_t n, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::string out(n, '\0');
    for (char& c : out) c = static_cast<char>(random() & 0xFF);
    return out;
}

// Offset of central-directory record `index` in an image whose records carry no extra field or comment.
inline std::size_t RecordOffset(const testsupport::ZipImage& image, std::size_t index) {
    std::size_t at = image.directoryOffset;
    for (std::size_t i = 0; i < index; ++i) at += 46 + testsupport::GetU16(image.bytes, at + 28);
    return at;
}

}  // namespace ziptest
