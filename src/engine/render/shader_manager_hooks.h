#pragma once
// The shader managers as the engine root's shaders service: InstallShaderManagerHooks installs the hooks
// through which CreateEngine makes the ShaderConstantCache and then the ShaderTextBuffer (before the graphics
// device), and shutdown deletes the constant cache and then the text buffer (before the device). Both send
// their shaders and constants to the engine's device through one GpuShaderDevice, which the device hooks
// attach once the device exists and detach before it is deleted.
namespace engine {

class GraphicsDevice;
class ShaderConstantCache;
class ShaderTextBuffer;
struct ShaderBindCounters;

void InstallShaderManagerHooks();

// The engine's managers; null while there are none.
ShaderConstantCache* GetShaderConstantCache();
ShaderTextBuffer* GetShaderTextBuffer();
// The bind counters both managers count into.
const ShaderBindCounters& GetShaderBindCounters();

// Called by the device hooks: the managers (when they exist) send to the new device and are linked with it;
// before the device is deleted they are unlinked and send nowhere.
void AttachShaderManagersToDevice(GraphicsDevice& device);
void DetachShaderManagersFromDevice(GraphicsDevice& device);

}  // namespace engine
