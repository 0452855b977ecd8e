// The material record and its table: slots, built-in materials, searches, clones and group purges.
#include "engine/render/material_def.h"

#include <new>

#include "engine/image/colour_gradient.h"

namespace engine {

namespace {

char16_t FoldCase(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool EqualsNoCase(const WideString& a, const WideString& b) {
    if (a.Length() != b.Length()) return false;
    for (std::size_t i = 0; i < a.Length(); ++i) {
        if (FoldCase(a.Data()[i]) != FoldCase(b.Data()[i])) return false;
    }
    return true;
}

bool ValidStage(int stage) { return stage >= 0 && stage < kMaterialStages; }
bool ValidSlot(int slot) { return slot >= 0 && slot < kMaterialColourSlots; }

}  // namespace

bool MaterialDef::Init(MaterialLib& lib, const char* text, int setIndex, int model, int alphaTest, int blend) {
    name.AssignNarrow(text != nullptr ? text : "");
    shaderSetIndex = setIndex;
    lightingModel = model;
    alphaTestMode = alphaTest;
    blendMode = blend;
    group = lib.CurrentGroup();
    index = 0;
    const int slot = lib.FreeSlot();
    if (slot == 0) return false;
    lib_ = &lib;
    index = slot;
    lib.Place(this, slot);
    return true;
}

void MaterialDef::Destroy() {
    if (lib_ != nullptr && index > 0) lib_->ClearSlot(index);
    index = 0;
    lib_ = nullptr;
    name.Clear();
}

void MaterialDef::SetTexture(int stage, int handle) {
    if (ValidStage(stage)) textures[stage] = handle;
}

int MaterialDef::GetTexture(int stage) const { return ValidStage(stage) ? textures[stage] : 0; }

void MaterialDef::SetColour(int slot, std::uint32_t argb) {
    if (!ValidSlot(slot)) return;
    colours[slot] = ArgbToColourF(argb);
}

void MaterialDef::SetColourF(int slot, const ColourF& colour) {
    if (ValidSlot(slot)) colours[slot] = colour;
}

ColourF MaterialDef::GetColourF(int slot) const { return ValidSlot(slot) ? colours[slot] : ColourF{}; }

float MaterialDef::GetHalfTexelU() const {
    const MaterialTextureSource* source = lib_ != nullptr ? lib_->Textures() : nullptr;
    const int width = (textures[0] != 0 && source != nullptr) ? source->Width(textures[0]) : 0;
    return width > 0 ? 0.5f / static_cast<float>(width) : 1.0f / 512.0f;
}

MaterialLib::~MaterialLib() { Free(); }

bool MaterialLib::Init(int count, MaterialTextureSource* textures) {
    Free();
    count_ = count > 0 ? count : 1024;
    slots_ = new (std::nothrow) MaterialDef*[static_cast<std::size_t>(count_)]();
    if (slots_ == nullptr) {
        count_ = 0;
        return false;
    }
    textures_ = textures;
    defaultHandle_ = Create("Default", 0, 0, 0, 0);
    if (MaterialDef* m = Get(defaultHandle_)) m->SetColour(0, MakeArgb(192, 192, 192, 255));
    defaultWithNormalsHandle_ = Create("DefaultWithNormals", 0, 1, 0, 0);
    if (MaterialDef* m = Get(defaultWithNormalsHandle_)) m->SetColour(0, MakeArgb(192, 192, 192, 255));
    const int nullHandle = Create("$$$NullMat", 0, 0, 2, 3);
    nullMaterial_ = nullHandle != 0 ? slots_[nullHandle] : nullptr;
    if (nullMaterial_ != nullptr) nullMaterial_->SetColour(0, MakeArgb(128, 255, 255, 192));
    const int debugHandle = Create("$$$DebugMat", 1, 0, 0, 0);
    debugMaterial_ = debugHandle != 0 ? slots_[debugHandle] : nullptr;
    if (debugMaterial_ != nullptr && textures_ != nullptr) {
        debugMaterial_->SetTexture(0, textures_->MakeCheckTexture(1024, 1024, MakeRgb(220, 220, 220),
                                                                  MakeRgb(255, 255, 255)));
    }
    return defaultHandle_ != 0 && defaultWithNormalsHandle_ != 0 && nullMaterial_ != nullptr &&
           debugMaterial_ != nullptr;
}

void MaterialLib::Free() {
    if (slots_ != nullptr) {
        for (int i = 1; i < count_; ++i) DeleteMaterial(i);
        delete[] slots_;
    }
    slots_ = nullptr;
    count_ = 0;
    defaultHandle_ = defaultWithNormalsHandle_ = 0;
    nullMaterial_ = debugMaterial_ = nullptr;
}

int MaterialLib::LiveCount() const {
    int live = 0;
    for (int i = 0; i < count_; ++i) live += slots_[i] != nullptr ? 1 : 0;
    return live;
}

int MaterialLib::FreeSlot() const {
    for (int i = 1; i < count_; ++i) {
        if (slots_[i] == nullptr) return i;
    }
    return 0;
}

void MaterialLib::ClearSlot(int handle) {
    if (slots_ != nullptr && handle > 0 && handle < count_) slots_[handle] = nullptr;
}

bool MaterialLib::Place(MaterialDef* material, int handle) {
    if (slots_ == nullptr || handle <= 0 || handle >= count_) return false;
    slots_[handle] = material;
    return true;
}

MaterialDef* MaterialLib::Get(int handle) const {
    if (slots_ == nullptr) return nullptr;
    if (handle < 1 || handle >= count_) handle = 1;
    return slots_[handle];
}

void MaterialLib::DeleteMaterial(int handle) {
    if (slots_ == nullptr || handle < 1 || handle >= count_) return;
    MaterialDef* material = slots_[handle];
    if (material == nullptr) return;
    if (material == nullMaterial_) nullMaterial_ = nullptr;
    if (material == debugMaterial_) debugMaterial_ = nullptr;
    material->Destroy();
    slots_[handle] = nullptr;
    delete material;
}

void MaterialLib::PurgeResourceGroup(int group) {
    for (int i = 1; i < count_; ++i) {
        if (slots_[i] != nullptr && (group == -1 || slots_[i]->group == group)) DeleteMaterial(i);
    }
}

int MaterialLib::FindInGroup(const char* name, int group) const {
    const WideString wanted(name != nullptr ? name : "");
    for (int i = 1; i < count_; ++i) {
        const MaterialDef* m = slots_[i];
        if (m != nullptr && m->group == group && EqualsNoCase(m->name, wanted)) return i;
    }
    return 0;
}

int MaterialLib::FindInGroupContaining(const char* text, int group) const {
    const WideString wanted(text != nullptr ? text : "");
    for (int i = 1; i < count_; ++i) {
        const MaterialDef* m = slots_[i];
        if (m != nullptr && m->group == group && m->name.ContainsNoCase(wanted)) return i;
    }
    return 0;
}

int MaterialLib::FindByPath(const char* name) const {
    WideString wanted(name != nullptr ? name : "");
    wanted.BackslashesToSlashes();
    for (int i = 1; i < count_; ++i) {
        const MaterialDef* m = slots_[i];
        if (m == nullptr) continue;
        WideString own(m->name);
        own.BackslashesToSlashes();
        if (EqualsNoCase(own, wanted)) return i;
    }
    return 0;
}

int MaterialLib::Create(const char* name, int shaderSetIndex, int lightingModel, int alphaTestMode,
                        int blendMode) {
    auto* material = new (std::nothrow) MaterialDef;
    if (material == nullptr) return 0;
    if (!material->Init(*this, name, shaderSetIndex, lightingModel, alphaTestMode, blendMode)) {
        delete material;
        return 0;
    }
    return material->index;
}

int MaterialLib::CloneMaterial(const MaterialDef& source) {
    if (slots_ == nullptr || source.index < 1 || source.index >= count_ || slots_[source.index] == nullptr) return 0;
    const int slot = FreeSlot();
    if (slot == 0) return 0;
    auto* clone = new (std::nothrow) MaterialDef(source);
    if (clone == nullptr) return 0;
    clone->lib_ = this;
    clone->index = slot;
    clone->group = CurrentGroup();
    ++cloneCounter_;
    clone->name.SetDollarNumber(cloneCounter_);
    slots_[slot] = clone;
    return slot;
}

int MaterialLib::CloneMaterialByIndex(int handle) {
    const MaterialDef* source = Get(handle);
    return source != nullptr ? CloneMaterial(*source) : 0;
}

}  // namespace engine
