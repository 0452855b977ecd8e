#pragma once
// What the shader sets need of the texture table and the device's texture stages: binding a texture by its
// table handle, the texture's flags and alpha kind, and the two placeholders a missing texture draws with.
// TableStageTextures is the engine's implementation.
#include <cstdint>

#include "engine/image/alpha_kind.h"

namespace engine {

class GraphicsDevice;
class Texture;

// The placeholders: a blue and red checkerboard.
constexpr std::uint32_t kCheckBlue = 0xFF0000FFu;
constexpr std::uint32_t kCheckRed = 0xFFFF0000u;
constexpr int kCheckTextureSize = 32;

class MaterialStageTextures {
public:
    virtual ~MaterialStageTextures() = default;
    // Binds the texture of a table handle on a stage.
    virtual void Bind(std::uint32_t stage, int handle) = 0;
    // The stage samples nothing.
    virtual void Unbind(std::uint32_t stage) = 0;
    // The texture's flag word and alpha kind; 0 for a handle without a texture.
    virtual std::uint32_t Flags(int handle) const = 0;
    virtual AlphaKind Alpha(int handle) const = 0;
    // The 32 x 32 checkerboard and the checker cube map, made on first use and kept; 0 when they cannot
    // be made.
    virtual int CheckTexture() = 0;
    virtual int CheckCubeMap() = 0;
};

// Over the engine's texture table and graphics device. A placeholder freed with its resource group is made
// again when next asked for.
class TableStageTextures final : public MaterialStageTextures {
public:
    explicit TableStageTextures(GraphicsDevice& device) : device_(device) {}

    void Bind(std::uint32_t stage, int handle) override;
    void Unbind(std::uint32_t stage) override;
    std::uint32_t Flags(int handle) const override;
    AlphaKind Alpha(int handle) const override;
    int CheckTexture() override;
    int CheckCubeMap() override;

private:
    struct Kept {
        int handle = 0;
        const Texture* texture = nullptr;
    };
    // The kept texture while its handle still holds it, else whatever make() gives.
    template <typename Make>
    static int KeptOrMade(Kept& kept, Make make);

    GraphicsDevice& device_;
    Kept check_;
    Kept cube_;
};

}  // namespace engine
