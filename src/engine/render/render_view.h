#pragma once
// What a render target needs of a view: the rectangle it draws into and its depth range (a camera gives
// one), and, for a scene view, the drawing of a render queue into the target.
#include "engine/core/int_rect.h"

namespace engine {

class RenderQueue;
class RenderTarget;

class RenderView {
public:
    virtual ~RenderView() = default;
    // Pixels of the target, top-left origin.
    virtual IntRect ViewportRect() const = 0;
    virtual float MinDepth() const = 0;
    virtual float MaxDepth() const = 0;
};

class SceneRenderView : public RenderView {
public:
    // Draws the queue into the target, whose colour and depth surfaces are bound.
    virtual void Render(RenderQueue* queue, RenderTarget& target) = 0;
};

}  // namespace engine
