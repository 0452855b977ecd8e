#include "game/core/settings_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

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

// Set when the last read found a damaged file that could not be moved aside: it is then never written over.
bool damagedInPlace = false;

// A settings file that is there but cannot be read whole (cut short, not readable by this user, failing to
// read) is moved to "settings.dat.bad" with one line on stderr, so that the next write does not destroy it.
// A missing or empty file is an ordinary first start.
void SetAsideDamaged(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return;
    } else if (S_ISREG(st.st_mode) && st.st_size == 0) {
        return;
    }
    const std::string aside = path + ".bad";
    if (std::rename(path.c_str(), aside.c_str()) == 0) {
        std::fprintf(stderr, "tinmarch: the settings file %s cannot be read; it is kept as %s\n", path.c_str(),
                     aside.c_str());
        return;
    }
    damagedInPlace = true;
    std::fprintf(stderr,
                 "tinmarch: the settings file %s cannot be read and could not be moved aside; it is left as it "
                 "is\n",
                 path.c_str());
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
    damagedInPlace = false;
    if (got < kSettingsSize) SetAsideDamaged(path);
    return SettingsFullScreenFlag(bytes, got);
}

bool WriteSettings(int fullScreen) {
    if (damagedInPlace) return false;
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
