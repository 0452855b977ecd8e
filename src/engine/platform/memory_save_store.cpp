#include "engine/platform/memory_save_store.h"

#include <cstring>
#include <new>

namespace engine {

namespace {

// The largest block the packer takes.
constexpr std::uint32_t kMaxSize = 0x7FFFFFFFu;

}  // namespace

std::unique_ptr<std::uint8_t[]> MemorySaveStore::LoadNamed(const char* name, std::uint32_t& size, FileLoad& outcome) {
    size = 0;
    outcome = FileLoad::kMissing;
    if (!IsUsableName(name)) return nullptr;
    std::unique_ptr<std::uint8_t[]> bytes = Load(NamedFileName(name), size);
    if (bytes) outcome = FileLoad::kLoaded;
    return bytes;
}

bool MemorySaveStore::SaveNamed(const char* name, const void* data, std::uint32_t size) {
    return IsUsableName(name) && Save(NamedFileName(name), data, size);
}

bool MemorySaveStore::SetAsideNamed(const char* name) {
    if (!IsUsableName(name) || failSetAside_) return false;
    auto it = files_.find(NamedFileName(name));
    if (it == files_.end()) return false;
    files_[SetAsideFileName(name)] = std::move(it->second);
    files_.erase(it);
    return true;
}

bool MemorySaveStore::KeepNamedVersion(const char* name, std::uint32_t version) {
    if (!IsUsableName(name) || failWrites_) return false;
    const std::vector<std::uint8_t>* bytes = Find(NamedFileName(name));
    if (bytes == nullptr) return false;
    files_[VersionFileName(name, version)] = *bytes;
    return true;
}

void MemorySaveStore::Put(const std::string& fileName, std::vector<std::uint8_t> bytes) {
    files_[fileName] = std::move(bytes);
}

const std::vector<std::uint8_t>* MemorySaveStore::Find(const std::string& fileName) const {
    auto it = files_.find(fileName);
    return it == files_.end() ? nullptr : &it->second;
}

std::unique_ptr<std::uint8_t[]> MemorySaveStore::Load(const std::string& fileName, std::uint32_t& size) const {
    size = 0;
    const std::vector<std::uint8_t>* bytes = Find(fileName);
    if (bytes == nullptr || bytes->empty() || bytes->size() > kMaxSize) return nullptr;
    std::unique_ptr<std::uint8_t[]> copy(new (std::nothrow) std::uint8_t[bytes->size()]);
    if (!copy) return nullptr;
    std::memcpy(copy.get(), bytes->data(), bytes->size());
    size = static_cast<std::uint32_t>(bytes->size());
    return copy;
}

bool MemorySaveStore::Save(const std::string& fileName, const void* data, std::uint32_t size) {
    if (failWrites_ || data == nullptr || size == 0 || size > kMaxSize) return false;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    files_[fileName].assign(bytes, bytes + size);
    return true;
}

}  // namespace engine
