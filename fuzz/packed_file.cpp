// Arbitrary bytes as a packed file on disk ("In.sav" in a private folder, asked for by its full path, no archive
// mounted), read as the save files are. The file read must give what unpacking the same bytes in memory gives:
// the same refusal (null, size 0) or the same data. Then the bytes are saved packed to a second file, which
// must read back as exactly those bytes; an empty input saves nothing and leaves the file that was there.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/wide_string.h"
#include "engine/platform/data_files.h"
#include "engine/platform/data_folders.h"
#include "engine/platform/packed_block.h"
#include "support/temp_folder.h"

namespace {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

const testsupport::TempFolder& Folder() {
    static const testsupport::TempFolder folder;
    static const bool ready = [] {
        static constexpr char kBefore[] = "before";
        if (folder.Path().empty() || !folder.Write("Out.sav", kBefore, sizeof kBefore)) return false;
        engine::SetActiveArchiveSet(nullptr);
        return true;
    }();
    Check(ready);
    return folder;
}

// The file's bytes as they stand on disk.
std::vector<char> Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const testsupport::TempFolder& folder = Folder();
    Check(folder.Write("In.sav", data, size));

    std::uint32_t memorySize = 1;
    const std::unique_ptr<std::uint8_t[]> memory = engine::UnpackBlock(data, size, memorySize);
    std::uint32_t fileSize = 1;
    const std::unique_ptr<std::uint8_t[]> file = engine::LoadPackedFile(engine::WideString(folder.File("In.sav").c_str()), fileSize);
    Check((file != nullptr) == (memory != nullptr) && fileSize == memorySize);
    if (file != nullptr) Check(std::memcmp(file.get(), memory.get(), fileSize) == 0);

    const engine::WideString out(folder.File("Out.sav").c_str());
    const std::vector<char> before = Contents(folder.File("Out.sav"));
    const int saved = engine::SavePackedFile(out, data, static_cast<std::uint32_t>(size));
    if (size == 0) {
        Check(saved == 0 && Contents(folder.File("Out.sav")) == before);
        return 0;
    }
    std::uint32_t backSize = 0;
    const std::unique_ptr<std::uint8_t[]> back = engine::LoadPackedFile(out, backSize);
    Check(saved == 1 && back != nullptr && backSize == size && std::memcmp(back.get(), data, size) == 0);
    return 0;
}
