#pragma once
// Render targets as the engine root's render-target service: InstallRenderTargetHooks() installs the hooks
// through which CreateEngine empties the registry and readies the targets' services (the engine's device,
// its 2D drawing, the user folder for screen dumps), Engine::GetMainRenderTarget makes "Main RT", the
// present step draws "Main RT" into the back buffer, and shutdown deletes every target. The registry is
// the device's reset hook from CreateEngine until shutdown.
#include "engine/platform/engine_hooks.h"

namespace engine {

class RenderTarget;
class TargetDrawing2D;

void InstallRenderTargetHooks();

// The engine's 2D drawing; null while there is none.
TargetDrawing2D* GetEngineDrawing2D();

// The present step's drawing: colour mask 15, nothing bound, the back buffer as target 0 over its whole size
// with the target's depth surface, the target's current colour texture drawn one to one (white, blend 0),
// stage 0 unbound.
void DrawRenderTargetIntoBackBuffer(RenderTarget& target, TargetDrawing2D& drawing);

}  // namespace engine
