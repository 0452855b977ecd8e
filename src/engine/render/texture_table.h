#pragma once
// The table of every texture: N slots, a texture's handle being its slot index + 1 (0: no texture). Loading
// by name looks for a texture of the name in the current resource group first, then reads DDS files, then
// PNG and TGA images, each also under "Common/". Main thread only.
#include <cstdint>

#include "engine/image/alpha_kind.h"

namespace sys {
class GpuDevice;
}

namespace engine {

class Image;
class Texture;
class WideString;

class TextureTable {
public:
    static constexpr int kDefaultSize = 1024;

    // Empties and sizes the table (N <= 0 gives the default); false when memory runs out.
    static bool Init(int size);
    // Destroys every texture and frees the table.
    static void Free();
    // The device textures are made on; null makes every creation fail.
    static void SetDevice(sys::GpuDevice* device);
    static sys::GpuDevice* Device();
    static int Size();
    // The number of textures held (the statistics overlay shows it).
    static int LiveCount();

    static Texture* Get(int handle);
    // 0 for an invalid handle.
    static std::uint32_t GetWidth(int handle);
    static std::uint32_t GetHeight(int handle);
    static AlphaKind GetAlphaKind(int handle);
    static void Release(int handle);
    // Destroys every texture of the group (-1: of every group).
    static void PurgeGroup(int group);
    // Drops the default-pool GPU textures of every texture (device loss).
    static void ReleaseDefaultPool();

    static int FindLoaded(const char* name, int group);
    static int FindFlagged(const char* name, int group);
    static int Load(const char* name, int mipKind);
    static int LoadFlagged(const char* name);
    static int LoadCubeMap(const char* name);
    static int LoadDds(const char* name);
    static int CreateEmpty(const char* name);
    static int CreateFromImage(const Image& image, int mipKind);
    static int CreateCubeFromImages(const Image* const* images);
    // An 8 x 8 board of size/8 squares, colourA top left; 0 unless size is a positive multiple of 8.
    static int MakeCheckTexture(std::uint32_t colourA, std::uint32_t colourB, int size);
    static int MakeCheckCubeMap(std::uint32_t colourA, std::uint32_t colourB);

    // Slot bookkeeping for Texture: the first free slot's handle (0 when full), and storing and emptying.
    static int FirstFreeHandle();
    static void Store(int handle, Texture* texture);
    static void Empty(int handle, const Texture* texture);
    // The program-wide count of texture copies.
    static int& CopyCounter();
    // The current resource group (0 without an engine).
    static int CurrentGroup();
};

}  // namespace engine
