#include "game/screens/picture_shelf.h"

#include "game/screens/screen_services.h"

namespace game {

std::uint32_t PictureShelf::Take(TextureLoader* loader, const std::string& name) {
    Entry& entry = entries_[name];
    if (entry.holders == 0) {
        entry.handle = loader != nullptr ? loader->Load(name.c_str()) : 0;
        if (entry.handle == 0) {
            entries_.erase(name);
            return 0;
        }
    }
    ++entry.holders;
    return entry.handle;
}

void PictureShelf::Give(TextureLoader* loader, const std::string& name) {
    auto it = entries_.find(name);
    if (it == entries_.end()) return;
    if (--it->second.holders > 0) return;
    if (loader != nullptr) loader->Release(it->second.handle);
    entries_.erase(it);
}

int PictureShelf::Holders(const std::string& name) const {
    auto it = entries_.find(name);
    return it != entries_.end() ? it->second.holders : 0;
}

PictureHolder::~PictureHolder() { LetGo(); }

std::uint32_t PictureHolder::Hold(ScreenServices& services) {
    if (handle_ != 0) return handle_;
    handle_ = services.pictures.Take(services.textures, name_);
    if (handle_ != 0) services_ = &services;
    return handle_;
}

void PictureHolder::LetGo() {
    if (handle_ == 0 || services_ == nullptr) return;
    services_->pictures.Give(services_->textures, name_);
    handle_ = 0;
    services_ = nullptr;
}

}  // namespace game
