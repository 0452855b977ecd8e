// Reads ".MTL" material files: each version carries a different subset of the item list, in one fixed order.
#include "engine/render/material_file.h"

#include "engine/core/byte_cursor.h"
#include "engine/core/little_endian.h"
#include "engine/core/wide_string.h"
#include "engine/platform/data_files.h"
#include "engine/platform/path_parts.h"
#include "engine/render/material_def.h"
#include "engine/render/shader_set_codes.h"

namespace engine {

namespace {

bool ReadU32(ByteCursor& cursor, std::uint32_t& out) {
    std::uint8_t bytes[4] = {};
    if (!cursor.ReadBytes(bytes, 4)) return false;
    out = LoadU32(bytes);
    return true;
}

// Older files number the lighting models differently.
int RemapOldLightingModel(int stored) {
    switch (stored) {
        case 2: return 1;
        case 3: return 2;
        case 8: return 2;
        case 9: return 3;
        default: return stored;
    }
}

enum class TextureKind { Stage, Extra, Fur };

// Resolves a stored texture name: the name as stored, then the material's folder + the stored file name;
// stage textures then try both as cube maps. 0 when the name is empty or nothing loads.
int ResolveTexture(MaterialTextureSource* source, const WideString& stored, const WideString& folder,
                   TextureKind kind) {
    if (source == nullptr || stored.IsEmpty()) return 0;
    const WideString local(folder, GetFileNamePart(stored));
    if (kind == TextureKind::Extra) {
        if (int h = source->LoadFlagged(stored)) return h;
        return source->LoadFlagged(local);
    }
    if (int h = source->Load(stored, 1)) return h;
    if (int h = source->Load(local, 1)) return h;
    if (kind == TextureKind::Fur) return 0;
    if (int h = source->LoadCubeMap(stored)) return h;
    return source->LoadCubeMap(local);
}

// Reads a short string into name and resolves it; false when the string runs past the end.
bool ReadTexture(ByteCursor& cursor, MaterialTextureSource* source, const WideString& folder, TextureKind kind,
                 int& handle) {
    WideString stored;
    if (!ReadShortString(cursor, stored)) return false;
    handle = ResolveTexture(source, stored, folder, kind);
    return true;
}

bool SkipShortString(ByteCursor& cursor) {
    WideString unused;
    return ReadShortString(cursor, unused);
}

// The items after the header, read into the material. False when the data ends early.
bool ReadBody(ByteCursor& c, int v, MaterialDef& m, MaterialTextureSource* source, const WideString& folder) {
    const int names = v <= 24 ? 4 : (v <= 26 ? 7 : 6);
    for (int i = 0; i < names; ++i) {
        int handle = 0;
        if (!ReadTexture(c, source, folder, TextureKind::Stage, handle)) return false;
        if (i < kMaterialStages) m.textures[i] = handle;
    }
    if (v >= 2 && !ReadTexture(c, source, folder, TextureKind::Extra, m.extraTexture)) return false;
    if (v >= 7 && v <= 14 && !SkipShortString(c)) return false;
    if (v < 29 && !SkipShortString(c)) return false;
    if (v >= 14 && !ReadTexture(c, source, folder, TextureKind::Fur, m.furTexture)) return false;
    for (ColourF& colour : m.colours) {
        ReadFloat(c, colour.r);
        ReadFloat(c, colour.g);
        ReadFloat(c, colour.b);
        ReadFloat(c, colour.a);
    }
    if (v >= 4) {
        for (int i = 0; i < names; ++i) {
            std::uint8_t mode = 0;
            ReadU8(c, mode);
            if (i < kMaterialStages) m.addressModes[i] = mode;
        }
    }
    if (v < 11) c.Skip(4);
    std::uint16_t word = 0;
    std::uint8_t byte = 0;
    std::uint32_t u32 = 0;
    if (v < 9 && ReadU16(c, word)) m.flags = word;
    if (v >= 19) {
        ReadFloat(c, m.storedFloat0);
        if (ReadU32(c, u32)) m.drawOrder = static_cast<std::int32_t>(u32);
    }
    if (v >= 21) {
        if (ReadU8(c, byte)) m.alphaTestMode = byte;
        if (ReadU8(c, byte)) m.blendMode = byte;
        if (ReadU8(c, byte)) m.cullMode = byte;
    } else {
        if (ReadU16(c, word)) m.alphaTestMode = word;
        if (ReadU8(c, byte)) m.blendMode = static_cast<std::int8_t>(byte);
    }
    if (v >= 23 && ReadU8(c, byte)) m.alphaRef = byte;
    if (ReadU32(c, u32)) m.ambientColour = u32;
    if (v >= 15) {
        if (ReadU32(c, u32)) (v >= 20 ? m.diffuseColour : m.specularColour) = u32;
    } else {
        c.Skip(4);
        m.specularColour = 0xFFFFFFFFu;
    }
    if (v >= 20 && ReadU32(c, u32)) m.specularColour = u32;
    ReadFloat(c, m.specularPower);
    if (v >= 3) {
        ReadFloat(c, m.specularStrength);
    } else {
        m.specularStrength = 1.0f;
    }
    if (v <= 16) c.Skip(20);
    if (v >= 13) {
        ReadFloat(c, m.cookFresnel);
        ReadFloat(c, m.cookRoughness);
        ReadFloat(c, m.cookScale);
    }
    if (v >= 14) {
        if (ReadU8(c, byte)) m.furShellCount = static_cast<std::int8_t>(byte);
        ReadFloat(c, m.furLength);
        ReadFloat(c, m.furTexScale);
    }
    if (v < 28) c.Skip(4);
    if (v >= 24) {
        ReadFloat(c, m.storedFloat1);
        ReadFloat(c, m.storedFloat2);
    }
    if (v >= 26) {
        for (int& stored : m.storedBytes) {
            if (ReadU8(c, byte)) stored = byte;
        }
        c.Skip(1);
        ReadFloat(c, m.storedFloat3);
    }
    return !c.Failed();
}

}  // namespace

int SanitiseLightingModel(int model) { return model >= 0 && model <= 4 ? model : 0; }

int ParseMaterialFile(MaterialLib& lib, const char* name, const std::uint8_t* data, std::size_t size) {
    if (data == nullptr) return 0;
    ByteCursor c(data, size);
    if (size >= 8 && LoadU32(data) == 4 && static_cast<std::int64_t>(LoadU32(data + 4)) ==
                                               static_cast<std::int64_t>(size) - 16) {
        c.Skip(8);
    }
    std::uint8_t version = 0;
    std::uint8_t storedModel = 0;
    if (!ReadU8(c, version) || !ReadU8(c, storedModel)) return 0;
    const int v = version;
    int model = v < 29 ? RemapOldLightingModel(storedModel) : storedModel;
    int setIndex = 0;
    if (v >= 16) {
        std::uint8_t code[8] = {};
        if (!c.ReadBytes(code, 8)) return 0;
        setIndex = FindShaderSetByCode(code);
    }
    std::uint16_t flags = 0;
    if (v >= 9 && !ReadU16(c, flags)) return 0;
    if (v < 15) {
        WideString old;
        if (!ReadShortString(c, old)) return 0;
        if (!old.IsEmpty()) {
            if (v < 9) c.Skip(4);
            if (v < 8) c.Skip(6);
            std::uint16_t raw = 0;
            if (!ReadU16(c, raw)) return 0;
            model = static_cast<std::int16_t>(raw);
        }
    }
    if (v < 18 && !SkipShortString(c)) return 0;

    const int handle = lib.Create(name, setIndex, SanitiseLightingModel(model), 0, 0);
    MaterialDef* material = handle != 0 ? lib.Get(handle) : nullptr;
    if (material == nullptr) return 0;
    material->flags = flags;
    for (int& texture : material->textures) texture = 0;
    const WideString folder = GetFolderPartNarrow(name != nullptr ? name : "");
    if (!ReadBody(c, v, *material, lib.Textures(), folder)) {
        lib.DeleteMaterial(handle);
        return 0;
    }
    return handle;
}

int LoadMaterialFile(MaterialLib& lib, const char* name) {
    if (name == nullptr) return 0;
    if (int existing = lib.FindInGroup(name, lib.CurrentGroup())) return existing;
    const auto buffer = LoadFileToByteBuffer(WideString(WideString(name), ".MTL"));
    if (buffer == nullptr) return 0;
    return ParseMaterialFile(lib, name, buffer->Data(), buffer->Size());
}

}  // namespace engine
