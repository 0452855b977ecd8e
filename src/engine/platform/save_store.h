#pragma once
// Save storage: whole files of the player's data, each holding one packed block, named "<name>.sav"; a file
// found damaged is set aside as "<name>.sav.bad". (The saved battles live in the profile's record, so there
// are no files of their own.)
// SaveStoreBase is the interface; SaveStore keeps the files in the user folder and MemorySaveStore keeps
// them in memory.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/core/wide_string.h"
#include "engine/platform/data_files.h"
#include "engine/platform/user_folder.h"

namespace engine {

class SaveStoreBase {
public:
    SaveStoreBase() = default;
    virtual ~SaveStoreBase() = default;
    SaveStoreBase(const SaveStoreBase&) = delete;
    SaveStoreBase& operator=(const SaveStoreBase&) = delete;

    // The unpacked contents of a file and their size; null, with size 0, when the file is missing, empty
    // or does not unpack. `outcome` tells a missing (or empty) file from one that is there but cannot be
    // read or unpacked.
    virtual std::unique_ptr<std::uint8_t[]> LoadNamed(const char* name, std::uint32_t& size, FileLoad& outcome) = 0;
    // Packs the bytes and replaces the whole file. True only when all of it was written; on failure the
    // old file stays as it was.
    virtual bool SaveNamed(const char* name, const void* data, std::uint32_t size) = 0;
    // Moves "<name>.sav" to "<name>.sav.bad", replacing an older one, so that a damaged file is kept for
    // inspection but no longer loaded. True when it was moved.
    virtual bool SetAsideNamed(const char* name) = 0;
    // Copies "<name>.sav" to "<name>.sav.v<version>", replacing an older copy, so that a file of an older
    // version is kept before the first write over it. True when the copy was made.
    virtual bool KeepNamedVersion(const char* name, std::uint32_t version) = 0;

    const WideString& UserName() const { return userName_; }

    // "<name>.sav", "<name>.sav.bad" and "<name>.sav.v<version>". A name is usable when it is not empty, not
    // "." or "..", and holds no "/".
    static std::string NamedFileName(const char* name);
    static std::string SetAsideFileName(const char* name);
    static std::string VersionFileName(const char* name, std::uint32_t version);
    static bool IsUsableName(const char* name);

protected:
    WideString userName_;
};

// The save files in the user folder, each written whole through a temporary file that replaces the old one
// only once it is complete and synced.
class SaveStore final : public SaveStoreBase {
public:
    SaveStore() = default;

    // Reads the user name (the account's name, "Player" when there is none), works out the user folder from
    // the environment and creates it with its parents (mode 0700); an existing folder is fine. False when
    // there is no folder; loads then find nothing and saves fail.
    bool InitUserFolder(const UserAccountLookup& lookup = LookUpUserAccount);

    // The folder; empty before InitUserFolder found one.
    const std::string& Folder() const { return folder_; }
    // "<folder>/<name>.sav"; empty without a folder or with an unusable name.
    std::string NamedPath(const char* name) const;

    std::unique_ptr<std::uint8_t[]> LoadNamed(const char* name, std::uint32_t& size, FileLoad& outcome) override;
    bool SaveNamed(const char* name, const void* data, std::uint32_t size) override;
    bool SetAsideNamed(const char* name) override;
    bool KeepNamedVersion(const char* name, std::uint32_t version) override;

private:
    std::string folder_;
};

}  // namespace engine
