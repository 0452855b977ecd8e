#include "engine/platform/save_store.h"

#include <cstdio>

#include "engine/platform/data_files.h"
#include "engine/platform/loose_file_resolver.h"

namespace engine {

namespace {

std::unique_ptr<std::uint8_t[]> LoadFile(const std::string& path, std::uint32_t& size, FileLoad& outcome) {
    size = 0;
    outcome = FileLoad::kMissing;
    if (path.empty()) return nullptr;
    return LoadPackedFile(WideString(path.c_str()), size, &outcome);
}

bool SaveFile(const std::string& path, const void* data, std::uint32_t size) {
    return !path.empty() && SavePackedFile(WideString(path.c_str()), data, size) == 1;
}

}  // namespace

bool SaveStore::InitUserFolder(const UserAccountLookup& lookup) {
    userName_.AssignNarrow(engine::UserName(lookup).c_str());
    folder_ = engine::UserFolder(lookup);
    if (folder_.empty()) return false;
    return CreateUserFolder(folder_);
}

std::string SaveStore::NamedPath(const char* name) const {
    return folder_.empty() || !IsUsableName(name) ? std::string() : folder_ + "/" + NamedFileName(name);
}

std::unique_ptr<std::uint8_t[]> SaveStore::LoadNamed(const char* name, std::uint32_t& size, FileLoad& outcome) {
    return LoadFile(NamedPath(name), size, outcome);
}

bool SaveStore::SaveNamed(const char* name, const void* data, std::uint32_t size) {
    return SaveFile(NamedPath(name), data, size);
}

bool SaveStore::SetAsideNamed(const char* name) {
    if (NamedPath(name).empty()) return false;
    // The file a load finds, whatever the case of its name.
    const std::string path = ResolveLooseFilePath(NamedPath(name));
    // rename replaces an older set-aside file in one step.
    const bool moved = std::rename(path.c_str(), (path + ".bad").c_str()) == 0;
    ForgetLooseFolder(folder_);
    return moved;
}

bool SaveStore::KeepNamedVersion(const char* name, std::uint32_t version) {
    const std::string path = NamedPath(name);
    if (path.empty()) return false;
    std::uint32_t size = 0;
    FileLoad outcome = FileLoad::kMissing;
    const std::unique_ptr<std::uint8_t[]> bytes = LoadFile(path, size, outcome);
    // Written whole through a temporary file, as packed as the original.
    return bytes && SaveFile(folder_ + "/" + VersionFileName(name, version), bytes.get(), size);
}

}  // namespace engine
