#include "engine/platform/path_parts.h"

#include <algorithm>

namespace engine {

namespace {

WideString Slice(const char16_t* text, std::size_t from, std::size_t to) {
    WideString out;
    if (to > from && out.Resize(to - from) && out.MutableData() != nullptr) {
        std::copy(text + from, text + to, out.MutableData());
    }
    return out;
}

}  // namespace

void SplitPath(const WideString& path, WideString* drive, WideString* folder, WideString* name,
               WideString* extension) {
    const char16_t* text = path.Data();
    const std::size_t length = path.Length();
    const std::size_t driveEnd = length >= 2 && text[1] == u':' ? 2 : 0;
    std::size_t folderEnd = driveEnd;
    for (std::size_t i = driveEnd; i < length; ++i) {
        if (text[i] == u'/' || text[i] == u'\\') folderEnd = i + 1;
    }
    std::size_t nameEnd = length;
    for (std::size_t i = length; i > folderEnd; --i) {
        if (text[i - 1] == u'.') {
            nameEnd = i - 1;
            break;
        }
    }
    if (drive != nullptr) *drive = Slice(text, 0, driveEnd);
    if (folder != nullptr) *folder = Slice(text, driveEnd, folderEnd);
    if (name != nullptr) *name = Slice(text, folderEnd, nameEnd);
    if (extension != nullptr) *extension = Slice(text, nameEnd, length);
}

WideString GetFileNamePart(const WideString& path) {
    WideString name;
    WideString extension;
    SplitPath(path, nullptr, nullptr, &name, &extension);
    name.Append(extension);
    return name;
}

WideString GetFileTitle(const WideString& path) {
    WideString name;
    SplitPath(path, nullptr, nullptr, &name, nullptr);
    return name;
}

WideString GetFolderPartNarrow(const char* path) {
    WideString folder;
    SplitPath(WideString(path), nullptr, &folder, nullptr, nullptr);
    return folder;
}

}  // namespace engine
