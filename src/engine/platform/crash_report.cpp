#include "engine/platform/crash_report.h"

#include <climits>
#include <string>

#include <unistd.h>

#include "engine/platform/user_folder.h"
#include "sys/crash_handler.h"

namespace engine {

namespace {

// The file name of the running program, "tinmarch" when /proc/self/exe cannot be read.
std::string ProgramName() {
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0) return "tinmarch";
    std::string full(path, static_cast<std::size_t>(n));
    const std::size_t slash = full.rfind('/');
    std::string name = slash == std::string::npos ? full : full.substr(slash + 1);
    return name.empty() ? "tinmarch" : name;
}

}  // namespace

CrashDumper& CrashDumper::Instance() {
    static CrashDumper instance;
    return instance;
}

bool CrashDumper::Init(int promptFlag, int dumpType) {
    promptFlag_ = promptFlag;
    dumpType_ = dumpType;
    const std::string folder = UserFolder();
    if (folder.empty()) return false;
    return sys::InstallCrashHandler(folder, ProgramName());
}

bool UseCrashStackOnThisThread() { return sys::UseCrashStackOnThisThread(); }

}  // namespace engine
