#include "engine/render/texture_table.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "engine/core/wide_string.h"
#include "engine/platform/engine_root.h"
#include "engine/platform/path_parts.h"
#include "engine/image/image.h"
#include "engine/image/mip_filter.h"
#include "engine/image/pixel_format.h"
#include "engine/render/texture.h"

namespace engine {
namespace {

constexpr char kCommonFolder[] = "Common/";
constexpr const char* kFaceSuffixes[6] = {"_X", "_NX", "_Y", "_NY", "_Z", "_NZ"};

struct TableState {
    std::vector<Texture*> slots;
    sys::GpuDevice* device = nullptr;
    int copyCounter = 0;
};

TableState& State() {
    static TableState state;
    return state;
}

bool FlagsMatch(const Texture& texture, bool flagged) {
    return flagged ? (texture.flags & kTextureFlagged) != 0 : texture.flags == 0;
}

int FindByName(const char* name, int group, bool flagged) {
    if (name == nullptr) return 0;
    const WideString whole(name);
    const WideString title = GetFileTitle(whole);
    for (const WideString* wanted : {&whole, &title}) {
        for (Texture* texture : State().slots) {
            if (texture != nullptr && texture->group == group && FlagsMatch(*texture, flagged) &&
                texture->name.Equals(*wanted)) {
                return texture->handle;
            }
        }
    }
    return 0;
}

WideString CommonName(const WideString& name) { return WideString(WideString(kCommonFolder), GetFileTitle(name)); }

}  // namespace

bool TextureTable::Init(int size) {
    Free();
    State().slots.assign(static_cast<std::size_t>(size > 0 ? size : kDefaultSize), nullptr);
    return true;
}

void TextureTable::Free() {
    PurgeGroup(-1);
    State().slots.clear();
    State().slots.shrink_to_fit();
}

void TextureTable::SetDevice(sys::GpuDevice* device) { State().device = device; }
sys::GpuDevice* TextureTable::Device() { return State().device; }
int TextureTable::Size() { return static_cast<int>(State().slots.size()); }

Texture* TextureTable::Get(int handle) {
    if (handle < 1 || handle > Size()) return nullptr;
    return State().slots[static_cast<std::size_t>(handle - 1)];
}

std::uint32_t TextureTable::GetWidth(int handle) {
    const Texture* texture = Get(handle);
    return texture != nullptr ? texture->width : 0;
}

std::uint32_t TextureTable::GetHeight(int handle) {
    const Texture* texture = Get(handle);
    return texture != nullptr ? texture->height : 0;
}

AlphaKind TextureTable::GetAlphaKind(int handle) {
    const Texture* texture = Get(handle);
    return texture != nullptr ? texture->alphaKind : kAlphaOpaque;
}

void TextureTable::Release(int handle) { delete Get(handle); }

void TextureTable::PurgeGroup(int group) {
    for (Texture* texture : State().slots) {
        if (texture != nullptr && (group == -1 || texture->group == group)) delete texture;
    }
}

void TextureTable::ReleaseDefaultPool() {
    for (Texture* texture : State().slots) {
        if (texture != nullptr) texture->ReleaseIfDefaultPool(1);
    }
}

int TextureTable::LiveCount() {
    const std::vector<Texture*>& slots = State().slots;
    return static_cast<int>(std::count_if(slots.begin(), slots.end(), [](Texture* t) { return t != nullptr; }));
}

int TextureTable::FirstFreeHandle() {
    const std::vector<Texture*>& slots = State().slots;
    for (std::size_t i = 0; i < slots.size(); ++i) {
        if (slots[i] == nullptr) return static_cast<int>(i) + 1;
    }
    return 0;
}

void TextureTable::Store(int handle, Texture* texture) {
    if (handle >= 1 && handle <= Size()) State().slots[static_cast<std::size_t>(handle - 1)] = texture;
}

void TextureTable::Empty(int handle, const Texture* texture) {
    if (Get(handle) == texture) Store(handle, nullptr);
}

int& TextureTable::CopyCounter() { return State().copyCounter; }

int TextureTable::CurrentGroup() {
    const Engine* engine = GetEngine();
    return engine != nullptr ? engine->GetResourceGroup() : 0;
}

int TextureTable::FindLoaded(const char* name, int group) { return FindByName(name, group, false); }
int TextureTable::FindFlagged(const char* name, int group) { return FindByName(name, group, true); }

int TextureTable::Load(const char* name, int mipKind) {
    if (name == nullptr) return 0;
    const int group = CurrentGroup();
    if (int handle = FindLoaded(name, group)) return handle;
    if (int handle = LoadDds(name)) return handle;
    const WideString common = CommonName(WideString(name));
    const char* commonName = common.GetNarrow();
    if (int handle = FindLoaded(commonName, group)) return handle;
    if (int handle = LoadDds(commonName)) return handle;
    auto image = std::make_unique<Image>();
    if (image->Load(name) == 0 && image->LoadFromWideName(common) == 0) return 0;
    return CreateFromImage(*image, mipKind);
}

int TextureTable::LoadFlagged(const char* name) {
    const int group = CurrentGroup();
    if (FindLoaded(name, group) != 0) return 0;
    if (int handle = FindFlagged(name, group)) return handle;
    const int handle = Load(name, kMipBox);
    if (Texture* texture = Get(handle)) texture->flags = kTextureFlagged;
    return handle;
}

int TextureTable::LoadCubeMap(const char* name) {
    if (name == nullptr) return 0;
    WideString base(name);
    base.StripFaceSuffix();
    if (int handle = Load(base.GetNarrow(), kMipBox)) return handle;
    const WideString commonTitle = CommonName(base);
    std::vector<std::unique_ptr<Image>> images;
    for (const char* suffix : kFaceSuffixes) {
        auto image = std::make_unique<Image>();
        if (image->LoadFromWideName(WideString(base, suffix)) == 0 &&
            image->LoadFromWideName(WideString(commonTitle, suffix)) == 0) {
            return 0;
        }
        images.push_back(std::move(image));
    }
    const Image* faces[6];
    for (int i = 0; i < 6; ++i) faces[i] = images[static_cast<std::size_t>(i)].get();
    auto texture = std::make_unique<Texture>(base);
    if (texture->handle == 0 || texture->CreateCubeFromImages(faces, 0) == 0) return 0;
    if (texture->bytesPerPixel == 0) texture->bytesPerPixel = BytesPerPixel(texture->format);
    return texture.release()->handle;
}

int TextureTable::CreateEmpty(const char* name) {
    auto texture = std::make_unique<Texture>(WideString(name != nullptr ? name : ""));
    if (texture->handle == 0) return 0;
    return texture.release()->handle;
}

int TextureTable::CreateFromImage(const Image& image, int mipKind) {
    auto texture = std::make_unique<Texture>(image.Name());
    if (texture->handle == 0 || texture->CreateFromImage(image, mipKind) != kTextureCreated) return 0;
    if (texture->bytesPerPixel == 0) texture->bytesPerPixel = BytesPerPixel(texture->format);
    return texture.release()->handle;
}

int TextureTable::CreateCubeFromImages(const Image* const* images) {
    if (images == nullptr || images[0] == nullptr) return 0;
    auto texture = std::make_unique<Texture>(images[0]->Name());
    if (texture->handle == 0 || texture->CreateCubeFromImages(images, 1) == 0) return 0;
    if (texture->bytesPerPixel == 0) texture->bytesPerPixel = BytesPerPixel(texture->format);
    return texture.release()->handle;
}

namespace {

// An "Check" image of an 8 x 8 board of squares `square` texels wide.
std::unique_ptr<Image> CheckImage(std::uint32_t colourA, std::uint32_t colourB, std::uint32_t square) {
    auto image = std::make_unique<Image>();
    const std::uint32_t size = square * 8;
    if (!image->Create(size, size, WideString("Check"))) return nullptr;
    for (std::uint32_t y = 0; y < size; ++y) {
        std::uint8_t* row = image->Pixels() + y * image->Pitch();
        for (std::uint32_t x = 0; x < size; ++x) {
            const std::uint32_t colour = ((x / square + y / square) % 2 == 0) ? colourA : colourB;
            for (int byte = 0; byte < 4; ++byte) row[x * 4 + byte] = static_cast<std::uint8_t>(colour >> (8 * byte));
        }
    }
    AlphaKindScan scan;
    scan.Add(static_cast<std::uint8_t>(colourA >> 24));
    scan.Add(static_cast<std::uint8_t>(colourB >> 24));
    image->SetAlphaKind(scan.Kind());
    return image;
}

}  // namespace

int TextureTable::MakeCheckTexture(std::uint32_t colourA, std::uint32_t colourB, int size) {
    if (size <= 0 || size % 8 != 0) return 0;
    const std::unique_ptr<Image> image = CheckImage(colourA, colourB, static_cast<std::uint32_t>(size / 8));
    return image ? CreateFromImage(*image, kMipBox) : 0;
}

int TextureTable::MakeCheckCubeMap(std::uint32_t colourA, std::uint32_t colourB) {
    const std::unique_ptr<Image> image = CheckImage(colourA, colourB, 4);
    if (!image) return 0;
    const Image* faces[6] = {image.get(), image.get(), image.get(), image.get(), image.get(), image.get()};
    return CreateCubeFromImages(faces);
}

}  // namespace engine
