#pragma once
// Picture files written by the engine: 32-bit TGA and 8-bit RGBA PNG from one level of pixels, and saving
// any file's bytes into the data folder through a committed write (a temporary file renamed over the
// target, so an interrupted save leaves the old file whole).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/core/wide_string.h"
#include "engine/image/surface_copy.h"

namespace engine {

// An uncompressed true-colour TGA of 32 bits per pixel, rows top first (descriptor bit 0x20 set), alpha as
// stored and 255 for X8R8G8B8. Empty when the level cannot be read.
std::vector<std::uint8_t> EncodeTga(const ConstSurfaceView& level);
// A PNG of 8-bit red, green, blue and alpha (colour type 6), not interlaced: one IDAT chunk holding the
// deflated rows, each with the filter that suits it best. Empty when the level cannot be read.
std::vector<std::uint8_t> EncodePng(const ConstSurfaceView& level);

// Writes the bytes to the data-folder path ("\" or "/" separated; an existing file is found without regard
// to case). 1 only when the file was written whole and committed.
int SaveDataFile(const WideString& relativePath, const void* data, std::size_t size);
int SaveTgaFile(const WideString& relativePath, const ConstSurfaceView& level);
int SavePngFile(const WideString& relativePath, const ConstSurfaceView& level);

}  // namespace engine
