#pragma once
// The tools' one way of writing an output file: the bytes go to "<path>.tmp" beside the target, which is then
// renamed over it, so that an interrupted or failed write leaves the old file whole and no half file behind.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tools {

// Writes the bytes over the file at `path`. With `makeFolders` the missing folders of the path are made first.
// On failure the temporary file is removed, `error` says what failed, and the result is false.
bool WriteFileReplacing(const std::string& path, const void* data, std::size_t size, std::string& error,
                        bool makeFolders = false);

inline bool WriteFileReplacing(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error,
                               bool makeFolders = false) {
    return WriteFileReplacing(path, bytes.data(), bytes.size(), error, makeFolders);
}

}  // namespace tools
