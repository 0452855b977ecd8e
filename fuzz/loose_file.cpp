// Arbitrary bytes as a loose data file, read through every whole-file reader and a reading stream. With no
// archive mounted, the file is "Data/PC/units/TANK.txt" under a private base folder and is asked for as
// "Units\Tank.TXT", so each read goes through the case-blind path resolution; a second file, "tank.txt",
// folds to the same name but sorts after it and must never be the one read.
//
// Every reader must give exactly the file's bytes: the whole-file load with a zero after them (null for an
// empty file), the byte buffer, and the stream read in pieces of odd and even sizes, then from a seek back from
// its end. A seek before the start is refused and leaves the position; reads past the end give nothing.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/core/byte_buffer.h"
#include "engine/core/wide_string.h"
#include "engine/platform/data_files.h"
#include "engine/platform/data_folders.h"
#include "engine/platform/file_stream.h"
#include "support/temp_folder.h"

namespace {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

const testsupport::TempFolder& BaseFolder() {
    static const testsupport::TempFolder folder;
    static const bool ready = [] {
        static constexpr char kDecoy[] = "decoy";
        if (!folder.Write("Data/PC/units/tank.txt", kDecoy, sizeof kDecoy)) return false;
        engine::SetActiveArchiveSet(nullptr);
        engine::SetBaseFolderNarrow(folder.Path().c_str());
        return true;
    }();
    Check(ready);
    return folder;
}

bool Same(const std::uint8_t* a, const std::uint8_t* b, std::size_t size) {
    return size == 0 || std::memcmp(a, b, size) == 0;
}

// The stream read to its end in pieces whose sizes cycle through odd and even lengths.
std::vector<std::uint8_t> ReadInPieces(engine::FileStream& stream) {
    static constexpr std::size_t kPieces[] = {1, 7, 4096, 2, 65536};
    std::vector<std::uint8_t> all;
    std::vector<std::uint8_t> piece(65536);
    for (std::size_t i = 0;; ++i) {
        const std::size_t want = kPieces[i % std::size(kPieces)];
        const std::size_t got = stream.Read(piece.data(), want);
        Check(got <= want);
        if (got == 0) return all;
        all.insert(all.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(got));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const testsupport::TempFolder& folder = BaseFolder();
    Check(folder.Write("Data/PC/units/TANK.txt", data, size));
    const engine::WideString asked("Units\\Tank.TXT");

    std::size_t wholeSize = 1;
    const std::unique_ptr<std::uint8_t[]> whole = engine::LoadWholeFile(asked, wholeSize);
    if (size == 0) {
        Check(whole == nullptr && wholeSize == 0);
    } else {
        Check(whole != nullptr && wholeSize == size && Same(whole.get(), data, size));
        // At least four bytes are allocated, zero after the data.
        for (std::size_t i = size; i < std::max<std::size_t>(size + 1, 4); ++i) Check(whole[i] == 0);
    }

    const std::unique_ptr<engine::ByteBuffer> buffer = engine::LoadFileToByteBuffer(asked);
    Check(buffer != nullptr && buffer->Size() == size && Same(buffer->Data(), data, size));

    engine::FileStream stream;
    Check(engine::OpenDataFile(stream, asked, engine::FileStream::kModeRead) == 1);
    Check(!stream.IsMemoryImage() && stream.GetLength() == static_cast<std::int64_t>(size));
    const std::vector<std::uint8_t> pieces = ReadInPieces(stream);
    Check(pieces.size() == size && Same(pieces.data(), data, size));
    Check(stream.Tell() == static_cast<std::int64_t>(size));

    const std::size_t tail = std::min<std::size_t>(size, 5);
    Check(stream.Seek(-static_cast<std::int64_t>(tail), engine::FileStream::kSeekEnd) == 0);
    std::uint8_t last[5] = {};
    Check(stream.Read(last, sizeof last) == tail && Same(last, data + size - tail, tail));
    Check(stream.Seek(-static_cast<std::int64_t>(size) - 1, engine::FileStream::kSeekCurrent) == -1);
    Check(stream.Tell() == static_cast<std::int64_t>(size));
    Check(stream.Seek(static_cast<std::int64_t>(size) + 3, engine::FileStream::kSeekStart) == 0);
    Check(stream.Read(last, sizeof last) == 0);
    Check(stream.Close() == 1 && stream.IsOpen() == 0);
    return 0;
}
