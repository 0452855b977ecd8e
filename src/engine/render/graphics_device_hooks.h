#pragma once
// The graphics device as the engine root's device service: InstallGraphicsDeviceHooks installs the hooks
// through which CreateEngine makes the device and its vertex declarations, the frame step presents and
// recovers it, the full-screen toggle applies display modes, a purge of all groups releases the dynamic
// vertex buffers, and shutdown deletes them all.

namespace engine {

class GraphicsDevice;
class VertexDeclSet;

void InstallGraphicsDeviceHooks();

// The engine's device and declaration set; null while there is none.
GraphicsDevice* GetGraphicsDevice();
VertexDeclSet* GetVertexDeclSet();

}  // namespace engine
