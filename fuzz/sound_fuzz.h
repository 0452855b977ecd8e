#pragma once
// Shared by the sound-file fuzz targets: the input is written as "Data/PC/F" + extension under a private
// base folder and opened through SoundFile::Open, then every PCM byte is read, the file rewound and read
// again, and the same file loaded whole and streamed as a sample. Whatever the bytes hold, opening must
// fail or succeed cleanly and reading must end, without reading out of bounds, leaking or crashing.
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/core/wide_string.h"
#include "engine/platform/data_folders.h"
#include "engine/platform/sound_file.h"
#include "engine/platform/sound_sample.h"

namespace soundfuzz {

class BaseFolder {
public:
    BaseFolder() {
        char pattern[] = "/tmp/tinmarch-sound-fuzz-XXXXXX";
        if (mkdtemp(pattern) == nullptr) __builtin_trap();
        base_ = pattern;
        std::filesystem::create_directories(base_ / "Data" / "PC");
        engine::SetActiveArchiveSet(nullptr);
        engine::SetBaseFolderNarrow(base_.c_str());
    }
    ~BaseFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(base_, ignored);
    }
    void Write(const std::string& name, const std::uint8_t* data, std::size_t size) const {
        std::ofstream out(base_ / "Data" / "PC" / name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!out) __builtin_trap();
    }

private:
    std::filesystem::path base_;
};

// Reads until the file says it has ended, in pieces whose sizes cycle through odd and even lengths.
inline std::uint64_t ReadAll(engine::SoundFile& file) {
    static constexpr std::size_t kPieces[] = {1, 3, 4096, 65536, 7};
    std::vector<std::uint8_t> buffer(65536);
    std::uint64_t total = 0;
    for (std::size_t i = 0;; ++i) {
        const std::size_t piece = kPieces[i % 5];
        const std::size_t n = file.ReadPcm(buffer.data(), piece);
        if (n > piece) __builtin_trap();
        if (n == 0) return total;
        total += n;
    }
}

inline int Run(const std::uint8_t* data, std::size_t size, const char* extension, bool wav) {
    static BaseFolder folder;
    folder.Write(std::string("F") + extension, data, size);
    const engine::WideString name("F");

    engine::SoundFile file;
    if (file.Open(name) == 0) {
        if (file.IsOpen()) __builtin_trap();
        return 0;
    }
    if (file.Format().channels == 0 || file.Format().samplesPerSecond == 0 || file.Format().bitsPerSample == 0) {
        __builtin_trap();
    }
    const std::uint64_t first = ReadAll(file);
    if (wav && (first != file.PcmLength() || first > size)) __builtin_trap();
    if (file.GetPositionSeconds() < 0.0) __builtin_trap();
    if (file.Rewind() == 1 && wav && ReadAll(file) != first) __builtin_trap();

    engine::SoundSample whole(false, 1, 1.0f);
    if (whole.LoadWhole(name) == 1 && whole.PcmSize() > engine::SoundSample::kMaxWholeBytes) __builtin_trap();

    engine::SoundSample stream(false, 1, 1.0f);
    if (stream.OpenStream(name) == 1) {
        const std::uint8_t* piece = nullptr;
        while (stream.ReadStreamPiece(piece) != 0) {
            if (piece == nullptr) __builtin_trap();
        }
        if (stream.StreamPosition() != stream.StreamTotal()) __builtin_trap();
    }
    return 0;
}

}  // namespace soundfuzz
