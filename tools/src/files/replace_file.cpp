#include "files/replace_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace tools {

bool WriteFileReplacing(const std::string& path, const void* data, std::size_t size, std::string& error,
                        bool makeFolders) {
    std::error_code code;
    if (makeFolders) {
        const std::filesystem::path folder = std::filesystem::path(path).parent_path();
        if (!folder.empty()) std::filesystem::create_directories(folder, code);
    }
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
        out.flush();
        if (!out) {
            out.close();
            std::filesystem::remove(temporary, code);
            error = "cannot write " + temporary;
            return false;
        }
    }
    std::filesystem::rename(temporary, path, code);
    if (code) {
        error = "cannot rename " + temporary + " to " + path + ": " + code.message();
        std::filesystem::remove(temporary, code);
        return false;
    }
    return true;
}

}  // namespace tools
