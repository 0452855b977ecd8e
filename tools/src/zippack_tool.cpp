// Packs the staged data set into the program's archive.
//   zippack <out.zip> <staging folder> <entry>...   each entry a path under the staging folder, with "/"
// Entries are sorted by upper-cased name and deflated unless storing is smaller; every entry carries the same
// fixed time, so the same staged files always give the same bytes. Two names equal but for case are refused.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "support/zip_writer.h"
#include "files/replace_file.h"

namespace {

bool ReadFile(const std::filesystem::path& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Writes beside the target and renames over it, so that an interrupted run leaves no half archive.
bool WriteReplacing(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::string error;
    return tools::WriteFileReplacing(path.string(), bytes, error);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: zippack <out.zip> <staging folder> <entry>...\n";
        return 2;
    }
    const std::filesystem::path outPath = argv[1];
    const std::filesystem::path staging = argv[2];
    std::vector<std::pair<std::string, std::string>> files;
    for (int i = 3; i < argc; ++i) {
        std::string data;
        if (!ReadFile(staging / argv[i], data)) {
            std::cerr << "zippack: cannot read " << (staging / argv[i]).string() << "\n";
            return 1;
        }
        files.emplace_back(argv[i], std::move(data));
    }
    testsupport::ZipImage image;
    std::string error;
    if (!testsupport::BuildDataArchive(std::move(files), image, error)) {
        std::cerr << "zippack: " << outPath.string() << ": " << error << "\n";
        return 1;
    }
    if (!WriteReplacing(outPath, image.bytes)) {
        std::cerr << "zippack: cannot write " << outPath.string() << "\n";
        return 1;
    }
    return 0;
}
