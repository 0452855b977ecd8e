#pragma once
// Materials: how a surface is drawn (shader set, lighting model, blend, alpha test, cull, stage textures,
// colour slots, specular, Cook-Torrance and fur-shell parameters, draw order), held in one table addressed by
// 1-based handles (0 = none).
#include <cstdint>
#include <functional>

#include "engine/core/colour.h"
#include "engine/core/wide_string.h"

namespace engine {

class MaterialLib;

// The texture services a material needs: loading by name and the width of a loaded texture. Each returns a
// 1-based texture handle, 0 when nothing was loaded.
class MaterialTextureSource {
public:
    virtual ~MaterialTextureSource() = default;
    virtual int Load(const WideString& name, int mipKind) = 0;
    virtual int LoadCubeMap(const WideString& name) = 0;
    virtual int LoadFlagged(const WideString& name) = 0;
    virtual int MakeCheckTexture(int width, int height, std::uint32_t colourA, std::uint32_t colourB) = 0;
    // Width in pixels of a loaded texture; 0 when the handle holds none.
    virtual int Width(int handle) const = 0;
};

constexpr int kMaterialStages = 6;
constexpr int kMaterialColourSlots = 4;

// Flag bits of MaterialDef::flags.
constexpr std::uint32_t kMaterialPointFilter = 0x80;
constexpr std::uint32_t kMaterialWireframe = 0x100;
constexpr std::uint32_t kMaterialBumpMap = 0x200;
constexpr std::uint32_t kMaterialFurShells = 0x2000;

class MaterialDef {
public:
    // Fills the defaults, takes the lowest empty slot of lib and records lib's current group and the handle.
    // With no free slot nothing is stored, the handle stays 0 and the result is false.
    bool Init(MaterialLib& lib, const char* name, int shaderSetIndex, int lightingModel, int alphaTestMode,
              int blendMode);
    // Empties its slot (when it has one) and frees the name.
    void Destroy();

    void SetBlendMode(int mode) { blendMode = mode; }
    void SetAlphaTestMode(int mode) { alphaTestMode = mode; }
    void SetFlags(std::uint32_t value) { flags = value; }
    void SetTexture(int stage, int handle);
    // ARGB, each component divided by 255.
    void SetColour(int slot, std::uint32_t argb);
    void SetColourF(int slot, const ColourF& colour);
    ColourF GetColourF(int slot) const;
    void SetDrawOrder(int order) { drawOrder = order; }
    void SetExtraTexture(int handle) { extraTexture = handle; }
    std::uint32_t GetFlags() const { return flags; }
    int GetIndex() const { return index; }
    int GetShaderSetIndex() const { return shaderSetIndex; }
    const WideString& GetName() const { return name; }
    int GetTexture(int stage) const;
    // 0.5 over the width of stage texture 0; 1/512 without one.
    float GetHalfTexelU() const;

    WideString name;
    int blendMode = 0;
    int alphaTestMode = 0;
    int lightingModel = 0;
    int cullMode = 3;
    int shaderSetIndex = 0;
    std::uint32_t flags = 0;
    std::uint32_t ambientColour = 0xFF808080u;
    std::uint32_t diffuseColour = 0xFFF0F0F0u;
    std::uint32_t specularColour = 0xFFFFFFFFu;
    int textures[kMaterialStages] = {};
    ColourF colours[kMaterialColourSlots] = {{1, 1, 1, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}};
    int addressModes[kMaterialStages] = {1, 1, 1, 1, 1, 1};
    float specularPower = 10.0f;
    float specularStrength = 0.3f;
    int group = 0;
    int index = 0;
    int drawOrder = 1000;
    float cookRoughness = 0.3f;
    float cookFresnel = 0.9f;
    float cookScale = 0.6f;
    int furTexture = 0;
    int furShellCount = 16;
    float furLength = 0.02f;
    float furTexScale = 1.0f;
    float uvTransform[4] = {1, 1, 0, 0};
    int extraTexture = 0;
    float storedFloat0 = 0.0f;
    int storedBytes[3] = {};
    int secondMaterial = 0;
    int alphaRef = 255;
    float storedFloat1 = 0.0f;
    float storedFloat2 = 0.0f;
    float storedFloat3 = 0.0f;

private:
    friend class MaterialLib;
    MaterialLib* lib_ = nullptr;
};

class MaterialLib {
public:
    MaterialLib() = default;
    ~MaterialLib();
    MaterialLib(const MaterialLib&) = delete;
    MaterialLib& operator=(const MaterialLib&) = delete;

    // Allocates count slots (1024 when count is 0 or less) and makes the four built-in materials in handles
    // 1-4. textures may be null: the debug material then has no texture.
    bool Init(int count, MaterialTextureSource* textures);
    // Deletes every material and the table.
    void Free();

    // The group stamped on materials made from now on comes from this source (0 without one).
    void SetGroupSource(std::function<int()> source) { groupSource_ = std::move(source); }
    int CurrentGroup() const { return groupSource_ ? groupSource_() : 0; }
    MaterialTextureSource* Textures() const { return textures_; }

    int Count() const { return count_; }
    // The number of materials held, the built-in ones included.
    int LiveCount() const;
    // The material of a handle; a handle outside 1..count-1 gives handle 1; an empty slot gives null.
    MaterialDef* Get(int handle) const;
    // Destroys and frees the material; an empty slot or a handle outside 1..count-1 does nothing.
    void DeleteMaterial(int handle);
    // Frees every material of group (-1: all).
    void PurgeResourceGroup(int group);

    int FindInGroup(const char* name, int group) const;
    int FindInGroupContaining(const char* text, int group) const;
    // Over all groups, with backslashes read as slashes on both sides.
    int FindByPath(const char* name) const;

    // A copy of every field in the current group with its own handle and the name "<base>_$$<n>"; 0 when the
    // source has no valid handle or the table is full.
    int CloneMaterial(const MaterialDef& material);
    // Out-of-range handles clone handle 1; an empty slot or a full table gives 0.
    int CloneMaterialByIndex(int handle);

    // A new material in the lowest empty slot; 0 when the table is full (the material is then freed).
    int Create(const char* name, int shaderSetIndex, int lightingModel, int alphaTestMode, int blendMode);

    int DefaultHandle() const { return defaultHandle_; }
    int DefaultWithNormalsHandle() const { return defaultWithNormalsHandle_; }
    MaterialDef* NullMaterial() const { return nullMaterial_; }
    MaterialDef* DebugMaterial() const { return debugMaterial_; }
    int CloneCounter() const { return cloneCounter_; }

private:
    friend class MaterialDef;
    // The lowest empty slot in 1..count-1, or 0.
    int FreeSlot() const;
    void ClearSlot(int handle);
    bool Place(MaterialDef* material, int handle);

    MaterialDef** slots_ = nullptr;
    int count_ = 0;
    int defaultHandle_ = 0;
    int defaultWithNormalsHandle_ = 0;
    MaterialDef* nullMaterial_ = nullptr;
    MaterialDef* debugMaterial_ = nullptr;
    int cloneCounter_ = 0;
    MaterialTextureSource* textures_ = nullptr;
    std::function<int()> groupSource_;
};

}  // namespace engine
