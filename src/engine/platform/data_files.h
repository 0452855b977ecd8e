#pragma once
// Opening data files by their path relative to the data folder, and reading or writing files whole. Paths
// may use "\" or "/"; loose files are found without regard to case, and reading looks in the active archive
// set first (see file_stream.h).
#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/core/byte_buffer.h"
#include "engine/core/wide_string.h"
#include "engine/platform/file_stream.h"

namespace engine {

// Opens data folder + the path (every "\" turned into "/") on disk; the archives are asked for the path as
// given. 1 on success.
int OpenDataFile(FileStream& stream, const WideString& relativePath, int mode);
// Opens the path as it stands, as both the disk path and the archive path. 1 on success.
int OpenPlainFile(FileStream& stream, const WideString& path, int mode);

// The whole data file followed by one zero byte (at least 4 bytes allocated), with its size without the
// zero byte. Null (size 0) when the file does not open, is empty or cannot be read whole.
std::unique_ptr<std::uint8_t[]> LoadWholeFile(const WideString& relativePath, std::size_t& outSize);
std::unique_ptr<std::uint8_t[]> LoadWholeFileNarrow(const char* relativePath, std::size_t& outSize);

// A new buffer holding the whole data file, its cursor and size at the end; null when the file does not
// open, cannot be read whole or does not fit a 32-bit size.
std::unique_ptr<ByteBuffer> LoadFileToByteBuffer(const WideString& relativePath);

// What a read of a whole file found: its bytes; no file (nothing at the path, or an empty file); or a file
// that is there but could not be read whole or unpacked (cut short, broken, not readable by this user, or
// failing to read).
enum class FileLoad { kLoaded, kMissing, kUnreadable };

// Reads the path as given (archives first, then disk) and unpacks it as a packed block. Null (size 0) when
// the file is missing or empty or the block does not unpack; `outcome`, when given, tells these apart.
std::unique_ptr<std::uint8_t[]> LoadPackedFile(const WideString& path, std::uint32_t& outSize,
                                               FileLoad* outcome = nullptr);
// Packs the bytes and writes them to the path as given. 1 only when the new file is committed; otherwise
// the file that was there is left as it was.
int SavePackedFile(const WideString& path, const void* data, std::uint32_t size);

}  // namespace engine
