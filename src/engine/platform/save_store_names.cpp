#include <cstring>

#include "engine/platform/save_store.h"

namespace engine {

std::string SaveStoreBase::NamedFileName(const char* name) { return std::string(name) + ".sav"; }

std::string SaveStoreBase::SetAsideFileName(const char* name) { return NamedFileName(name) + ".bad"; }

std::string SaveStoreBase::VersionFileName(const char* name, std::uint32_t version) {
    return NamedFileName(name) + ".v" + std::to_string(version);
}

bool SaveStoreBase::IsUsableName(const char* name) {
    return name != nullptr && name[0] != '\0' && std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0 &&
           std::strchr(name, '/') == nullptr;
}

}  // namespace engine
