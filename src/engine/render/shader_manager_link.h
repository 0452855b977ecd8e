#pragma once
// Joins the graphics device and the two shader managers: the device's state-cache reset makes every vertex
// constant unknown and leaves no shader current in either manager, its bone palette goes through the
// constant cache, and its coloured lines use the managers' built-in shaders.
namespace engine {

class GraphicsDevice;
class ShaderConstantCache;
class ShaderTextBuffer;

void LinkShaderManagers(GraphicsDevice& device, ShaderConstantCache& vertexShaders, ShaderTextBuffer& pixelShaders);
// The device no longer reaches the managers (before they are deleted).
void UnlinkShaderManagers(GraphicsDevice& device);

}  // namespace engine
