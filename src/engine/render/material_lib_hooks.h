#pragma once
// The engine's material table as the engine root's materials service: InstallMaterialLibraryHooks installs
// the hooks through which CreateEngine makes the table with its built-in materials, a level purge frees a
// group's materials, and shutdown frees the table. Materials are stamped with the engine's current resource
// group (0 while there is no engine).
namespace engine {

class MaterialLib;
class MaterialTextureSource;

void InstallMaterialLibraryHooks();
// The engine's table (empty until the init hook runs).
MaterialLib& GetMaterialLib();
// Where the table loads textures from; null (the default) loads none. Set before the init hook so that the
// debug material gets its checkerboard.
void SetMaterialTextureSource(MaterialTextureSource* source);

}  // namespace engine
