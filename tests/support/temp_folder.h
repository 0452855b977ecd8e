#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it at destruction.
#include <filesystem>
#include <string>
#include <string_view>

namespace testsupport {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // Path() / name as a narrow string.
    std::string File(std::string_view name) const;
    // Writes the bytes to Path() / name, creating the sub-folders it names; false on any failure.
    bool Write(std::string_view name, const void* data, std::size_t size) const;

private:
    std::filesystem::path path_;
};

}  // namespace testsupport
