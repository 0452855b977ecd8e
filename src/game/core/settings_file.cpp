#include "game/core/settings_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "engine/core/little_endian.h"
#include "engine/core/wide_string.h"
#include "engine/platform/file_stream.h"
#include "engine/platform/user_folder.h"

namespace game {

namespace {

// Reads up to size bytes from the start of the file; the count read, 0 when it does not open.
std::size_t ReadFileStart(const std::string& path, std::uint8_t* out, std::size_t size) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, out + got, size - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return got;
}

}  // namespace

std::string SettingsPath() {
    const std::string folder = engine::UserFolder();
    return folder.empty() ? std::string() : folder + "/settings.dat";
}

int SettingsFullScreenFlag(const std::uint8_t* bytes, std::size_t size) {
    if (bytes == nullptr || size < kSettingsSize) return 1;
    return static_cast<std::int32_t>(engine::LoadU32(bytes + 4));
}

int ReadSettings() {
    const std::string path = SettingsPath();
    if (path.empty()) return 1;
    std::uint8_t bytes[kSettingsSize] = {};
    const std::size_t got = ReadFileStart(path, bytes, sizeof bytes);
    return SettingsFullScreenFlag(bytes, got);
}

bool WriteSettings(int fullScreen) {
    const std::string folder = engine::UserFolder();
    if (folder.empty() || !engine::CreateUserFolder(folder)) return false;
    const engine::WideString path(SettingsPath().c_str());
    engine::FileStream stream;
    if (stream.Open(path, path, engine::FileStreamBase::kModeWrite) == 0) return false;
    const bool written = stream.WriteInt32(kSettingsVersion) == 4 && stream.WriteInt32(fullScreen) == 4;
    // Close commits the temporary file only when every write went through.
    return stream.Close() == 1 && written;
}

}  // namespace game
