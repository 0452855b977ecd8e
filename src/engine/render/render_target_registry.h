#pragma once
// Every live render target, so that a device reset reaches all of them: a target joins at construction and
// leaves at destruction. The table grows as needed.
#include <vector>

namespace engine {

class RenderTarget;

void RegisterRenderTarget(RenderTarget* target);
void UnregisterRenderTarget(RenderTarget* target);
// The live targets in the order they were made.
const std::vector<RenderTarget*>& RegisteredRenderTargets();
// Forgets every target without deleting it (a new engine starts with an empty table).
void ClearRenderTargetRegistry();
// Deletes every registered target (shutdown).
void DeleteAllRenderTargets();

// The device's reset hook. Release (before the reset): the engine's "Main RT" is made when it has none, so
// that it takes part, every target releases its surfaces, and "Main RT" takes the engine's back-buffer size
// when that changed. Restore (after it): every target empties its queue and makes its surfaces again.
void ResizeRenderTargets(bool release);

}  // namespace engine
