#include "support/temp_folder.h"

#include <cstdlib>
#include <fstream>
#include <system_error>
#include <vector>

namespace testsupport {

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tinmarch-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data()) != nullptr) path_ = buffer.data();
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::File(std::string_view name) const { return (path_ / name).string(); }

bool TempFolder::Write(std::string_view name, const void* data, std::size_t size) const {
    if (path_.empty()) return false;
    const std::filesystem::path target = path_ / name;
    std::error_code error;
    std::filesystem::create_directories(target.parent_path(), error);
    if (error) return false;
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    return static_cast<bool>(out);
}

}  // namespace testsupport
