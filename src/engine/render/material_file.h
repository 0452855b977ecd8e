#pragma once
// The ".MTL" material file: an optional 8-byte prefix, a version byte and the items that version carries.
#include <cstddef>
#include <cstdint>

namespace engine {

class MaterialLib;

// Lighting models run 0..4; any other value is read as 0 so that it can index the shader caches.
int SanitiseLightingModel(int model);

// Parses a whole material file into a new material called name in lib's current group. Every read is
// bounded: a file shorter than its version's items, or a string running past the end, is refused with 0 and
// the half-built material is deleted (textures it already loaded stay in their group). 0 also when the
// table is full.
int ParseMaterialFile(MaterialLib& lib, const char* name, const std::uint8_t* data, std::size_t size);

// The handle of the material called name in the current group when there is one, without reading anything;
// otherwise reads the data file name + ".MTL" and parses it. 0 when the file does not open or is refused.
int LoadMaterialFile(MaterialLib& lib, const char* name);

}  // namespace engine
