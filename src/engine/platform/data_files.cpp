#include "engine/platform/data_files.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <new>
#include <string>

#include "engine/platform/data_folders.h"
#include "engine/platform/loose_file_resolver.h"
#include "engine/platform/packed_block.h"

namespace engine {

namespace {

// Reads exactly `length` bytes from the stream's position; false when it gives fewer.
bool ReadAll(FileStream& stream, std::uint8_t* out, std::size_t length) {
    std::size_t done = 0;
    while (done < length) {
        const std::size_t n = stream.Read(out + done, length - done);
        if (n == 0) return false;
        done += n;
    }
    return true;
}

// The whole stream into a new buffer of its length + `extra` bytes (at least `minimum`), zero after the data.
std::unique_ptr<std::uint8_t[]> ReadWhole(FileStream& stream, std::size_t extra, std::size_t minimum,
                                          std::size_t& outSize) {
    outSize = 0;
    const std::int64_t length = stream.GetLength();
    if (length <= 0 || static_cast<std::uint64_t>(length) > std::numeric_limits<std::size_t>::max() - extra) {
        return nullptr;
    }
    const auto size = static_cast<std::size_t>(length);
    const std::size_t allocated = std::max(size + extra, minimum);
    std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[allocated]);
    if (!buffer || !ReadAll(stream, buffer.get(), size)) return nullptr;
    std::fill(buffer.get() + size, buffer.get() + allocated, std::uint8_t{0});
    outSize = size;
    return buffer;
}

// Nothing stands at the path on disk: a file that exists but does not open (no permission, a folder in its
// place) is not absent.
bool IsAbsent(const WideString& path) {
    struct stat st {};
    if (::stat(ResolveLooseFilePath(path.GetNarrow()).c_str(), &st) == 0) return false;
    return errno == ENOENT || errno == ENOTDIR;
}

}  // namespace

int OpenDataFile(FileStream& stream, const WideString& relativePath, int mode) {
    std::string full = GetDataFolderNarrow();
    const std::size_t start = full.size();
    full += relativePath.GetNarrow();
    std::replace(full.begin() + static_cast<std::ptrdiff_t>(start), full.end(), '\\', '/');
    return stream.Open(WideString(full.c_str()), relativePath, mode);
}

int OpenPlainFile(FileStream& stream, const WideString& path, int mode) { return stream.Open(path, path, mode); }

std::unique_ptr<std::uint8_t[]> LoadWholeFile(const WideString& relativePath, std::size_t& outSize) {
    outSize = 0;
    FileStream stream;
    if (OpenDataFile(stream, relativePath, FileStream::kModeRead) != 1) return nullptr;
    return ReadWhole(stream, 1, 4, outSize);
}

std::unique_ptr<std::uint8_t[]> LoadWholeFileNarrow(const char* relativePath, std::size_t& outSize) {
    return LoadWholeFile(WideString(relativePath), outSize);
}

std::unique_ptr<ByteBuffer> LoadFileToByteBuffer(const WideString& relativePath) {
    FileStream stream;
    if (OpenDataFile(stream, relativePath, FileStream::kModeRead) != 1) return nullptr;
    const std::int64_t length = stream.GetLength();
    if (length < 0 || length > std::numeric_limits<std::uint32_t>::max()) return nullptr;
    const auto size = static_cast<std::uint32_t>(length);
    auto buffer = std::make_unique<ByteBuffer>();
    if (!buffer->Init(size) || !buffer->Reserve(size) || !ReadAll(stream, buffer->Cursor(), size) ||
        !buffer->Advance(size)) {
        return nullptr;
    }
    return buffer;
}

std::unique_ptr<std::uint8_t[]> LoadPackedFile(const WideString& path, std::uint32_t& outSize, FileLoad* outcome) {
    outSize = 0;
    FileLoad found = FileLoad::kUnreadable;
    std::unique_ptr<std::uint8_t[]> unpacked;
    FileStream stream;
    if (OpenPlainFile(stream, path, FileStream::kModeRead) != 1) {
        if (IsAbsent(path)) found = FileLoad::kMissing;
    } else if (stream.GetLength() == 0) {
        found = FileLoad::kMissing;
    } else {
        std::size_t size = 0;
        const auto block = ReadWhole(stream, 0, 1, size);
        if (block) unpacked = UnpackBlock(block.get(), size, outSize);
        if (unpacked) found = FileLoad::kLoaded;
    }
    if (outcome != nullptr) *outcome = found;
    return unpacked;
}

int SavePackedFile(const WideString& path, const void* data, std::uint32_t size) {
    const auto block = PackBlock(data, size);  // size becomes the block's byte count
    if (!block) return 0;
    FileStream stream;
    if (OpenPlainFile(stream, path, FileStream::kModeWrite) != 1) return 0;
    if (stream.Write(block.get(), size) != size) return 0;  // the stream's destructor drops the temporary file
    return stream.Close();
}

}  // namespace engine
