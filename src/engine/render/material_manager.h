#pragma once
// The material manager: the nine material shader sets by index, the current LightFlags word (written after
// the per-draw light setup), and the binding of a material for a batch: its lighting constants, bump map,
// UV transform, and its set's shaders, constants and textures.
#include <cstdint>
#include <memory>

#include "engine/render/material_binder.h"
#include "engine/render/shader_set.h"
#include "engine/render/shader_set_codes.h"

namespace engine {

// Pixel registers of the lighting constants and the bump map's stage.
constexpr int kAmbientRegister = 6;
constexpr int kDiffuseRegister = 7;
constexpr int kSpecularRegister = 8;
constexpr int kSpecularValuesRegister = 9;
constexpr int kCookTValuesRegister = 10;
constexpr int kUVOffsetRegister = 30;  // vertex
constexpr int kBumpStage = 6;

class MaterialManager final : public MaterialBinder {
public:
    explicit MaterialManager(const ShaderSetServices& services);
    // Deletes the nine sets.
    ~MaterialManager() override;
    MaterialManager(const MaterialManager&) = delete;
    MaterialManager& operator=(const MaterialManager&) = delete;

    // Clears the nine entries and makes the sets in the order JUSTCOL, TEXTURE, COLOURD, FUR, DRUVLAND,
    // DRUV2LND, DRUVWATA, DRUV2WAT, BLOX, each stored at its index.
    void CreateShaderSets();

    // The material's lighting constants, its bump map on stage 6, UVOffset, then its set's variant. The set
    // comes from the material's set index (outside 0-8: set 0), the lighting model from the material's
    // (outside 0-4: 0, unlit). 0 when a shader of the variant does not build (the shaders bound before stay
    // bound), else 1.
    int BindMaterial(MaterialDef& material, const MaterialView* view, const Matrix44* matrix, bool skinned,
                     bool instanced) override;
    bool SupportsInstancing(const MaterialDef& material) const override;
    // The lowest set index whose eight-byte code equals `code`; 0 when none does.
    int FindByCode(const std::uint8_t code[8]) const;

    // The set of an index (null outside 0-8 or before CreateShaderSets), and the set a material draws with.
    ShaderSet* Set(int index) const;
    ShaderSet* SetOf(const MaterialDef& material) const;

    void SetLightFlags(std::uint32_t flags) { lightFlags_ = flags; }
    std::uint32_t LightFlags() const { return lightFlags_; }

private:
    ShaderSetServices services_;
    std::unique_ptr<ShaderSet> sets_[kShaderSetCount];
    std::uint32_t lightFlags_ = 0;
};

}  // namespace engine
