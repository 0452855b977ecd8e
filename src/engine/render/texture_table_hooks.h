#pragma once
// The texture table as the engine root's "textures" service: CreateEngine sizes the table from the
// start-up record and hands it the graphics device (whose loss then drops default-pool textures), a purge
// frees a group's textures, and shutdown frees the table.

namespace engine {

void InstallTextureTableHooks();

}  // namespace engine
