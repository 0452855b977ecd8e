#pragma once
// A camera that renders a render queue into a render target: it picks the entries of both draw lists it sees,
// renders a shadow map for every enabled shadow-casting light, sorts the visible entries, draws the opaque
// ones, the skybox, the blended ones and its debug shapes. A target of the shadow kind is drawn by the
// depth-only path of the same class. The shadow view (a second SceneView) and the lights' shadow targets are
// made on the first shadow pass.
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/core/matrix.h"
#include "engine/scene/camera.h"

namespace engine {

class DrawPointerList;
class GraphicsDevice;
class LightDesc;
class MaterialManager;
class RenderQueue;
class ShaderConstantCache;
class ShaderTextBuffer;

// The services a view draws with; null members are the engine's.
struct SceneViewServices {
    GraphicsDevice* device = nullptr;
    ShaderConstantCache* vertexConstants = nullptr;
    ShaderTextBuffer* pixelConstants = nullptr;
    MaterialManager* materials = nullptr;
};

// The sky box's pixel shader: the cube map sampled along the direction from the camera (c0) to the pixel.
extern const char* const kSkyboxPixelShaderText;

class SceneView : public Camera {
public:
    static constexpr int kShadowMapSize = 2048;

    SceneView();
    ~SceneView() override;

    // The camera's set-up; no shadow view yet.
    void Init(const IntRect& viewport, float aspect, float nearDistance, float farDistance,
              const SceneViewServices& services = {});

    void Render(RenderQueue* queue, RenderTarget& target) override;
    void DrawSkybox() override;
    // The matrix into vertex registers c8 to c11.
    void SetWorldMatrix(const Matrix44& matrix) override;

    // Draws the list's entries by kind; runs of four or more equal mesh batches in one instanced draw.
    void DrawEntries(DrawPointerList& list);
    // Depth-only drawing into a shadow target: kinds 1, 4 and 8 without flag 0x800.
    void DrawDepthEntries(DrawPointerList& list);
    void RenderShadowMap();
    // 1 when at least one shadow map was rendered.
    int RenderShadowMaps();
    // Fills the list's caster pointers for the light of slot i and hands them to the shadow view as its visible
    // list of the list's kind. Spot lights (slots 1 and 2) with flag word 0 take only entries whose spheres
    // overlap their cone; otherwise every entry casts.
    static void SelectShadowCasters(int slot, const LightDesc& light, SceneView& shadowView,
                                    DrawPointerList& visible);
    DrawPointerList* GetVisibleList(int blended) const { return blended != 0 ? visibleBlended_ : visibleOpaque_; }
    // Widens near and far over the entries without flag 0x800: far to depth + radius, near to depth - radius.
    static void GetDepthRange(float& nearDistance, float& farDistance, const DrawPointerList& list);
    // The distances the directional shadow's splits cover: the depth range of the shadow-casting entries of
    // both lists (either may be null) kept within the near and far planes, or the planes themselves when no
    // entry casts. The far distance is raised to at least the near one.
    static void FitShadowRange(const DrawPointerList* opaque, const DrawPointerList* blended, float nearPlane,
                               float farPlane, float& fittedNear, float& fittedFar);

    // The split blend factor of the directional shadow (1 geometric, 0 even), 0.5 at creation.
    float GetSplitLambda() const { return splitLambda_; }
    void SetSplitLambda(float lambda) { splitLambda_ = lambda; }
    SceneView* GetShadowView() const { return shadowView_.get(); }
    // The light and shadow matrix of per-light slot i (0-4) in this frame; null when the slot is unused.
    const LightDesc* GetSlotLight(int slot) const { return slotLights_[slot]; }
    int BlendedPass() const { return blendedPass_; }
    // Counters of the last frame, for tests and the statistics overlay: shadow maps rendered.
    int ShadowMapsRendered() const { return shadowMapsRendered_; }

private:
    GraphicsDevice* Device() const;
    ShaderConstantCache* VertexConstants() const;
    ShaderTextBuffer* PixelConstants() const;
    MaterialManager* Materials() const;
    void LoadLights();
    void RenderDirectionalShadow(LightDesc& light);
    void RenderSpotShadow(int slot, LightDesc& light);
    SceneView& EnsureShadowView();

    SceneViewServices services_;
    std::unique_ptr<SceneView> shadowView_;
    RenderQueue* queue_ = nullptr;
    RenderTarget* target_ = nullptr;
    LightDesc* slotLights_[5] = {};
    Matrix44 slotMatrices_[5];
    DrawPointerList* visibleOpaque_ = nullptr;
    DrawPointerList* visibleBlended_ = nullptr;
    int blendedPass_ = 0;
    float splitLambda_ = 0.5f;
    int shadowMapsRendered_ = 0;
    std::vector<Matrix44> instanceWorlds_;
};

}  // namespace engine
