#pragma once
// Save storage in memory, for tests and fuzzing. Files are kept by their file names ("savedata.sav",
// "savedata.sav.bad") as the unpacked bytes; it refuses what the file store refuses (no data, a size of 0 or
// one too large to pack, an unusable name) and treats an empty file as missing.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine/platform/save_store.h"

namespace engine {

class MemorySaveStore final : public SaveStoreBase {
public:
    std::unique_ptr<std::uint8_t[]> LoadNamed(const char* name, std::uint32_t& size, FileLoad& outcome) override;
    bool SaveNamed(const char* name, const void* data, std::uint32_t size) override;
    bool SetAsideNamed(const char* name) override;
    bool KeepNamedVersion(const char* name, std::uint32_t version) override;

    // The stored bytes of a file, as its contents after unpacking.
    void Put(const std::string& fileName, std::vector<std::uint8_t> bytes);
    // Null when there is no such file.
    const std::vector<std::uint8_t>* Find(const std::string& fileName) const;
    // While set, every save fails and leaves the files as they are.
    void SetFailWrites(bool fail) { failWrites_ = fail; }
    // While set, a file cannot be set aside (as on a folder that refuses the rename).
    void SetFailSetAside(bool fail) { failSetAside_ = fail; }

private:
    std::unique_ptr<std::uint8_t[]> Load(const std::string& fileName, std::uint32_t& size) const;
    bool Save(const std::string& fileName, const void* data, std::uint32_t size);

    std::map<std::string, std::vector<std::uint8_t>> files_;
    bool failWrites_ = false;
    bool failSetAside_ = false;
};

}  // namespace engine
