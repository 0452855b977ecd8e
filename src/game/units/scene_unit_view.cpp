#include "game/units/scene_unit_view.h"

#include <cstring>

#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/animation_player.h"
#include "engine/scene/particle_emitter.h"
#include "engine/scene/scene_node.h"

namespace game {

namespace {

// Pre-order over the whole subtree, inactive nodes included.
template <typename Fn>
void ForEachNode(engine::SceneNode* node, const Fn& fn) {
    if (node == nullptr) return;
    fn(node);
    for (int i = 0; i < node->GetChildCount(); ++i) ForEachNode(node->GetChild(i), fn);
}

// The first animation player of the subtree in walk order (a composite root has none of its own).
engine::AnimationPlayer* FindPlayerBelow(engine::SceneNode* node) {
    engine::AnimationPlayer* found = nullptr;
    ForEachNode(node, [&found](engine::SceneNode* n) {
        if (found == nullptr) found = n->GetAnimationPlayer();
    });
    return found;
}

// The last active node in walk order whose name contains the text, case kept.
engine::SceneNode* FindContainingCaseKept(engine::SceneNode* node, const char* text) {
    if (node == nullptr || !node->IsActive()) return nullptr;
    engine::SceneNode* found = std::strstr(node->GetName().GetNarrow(), text) != nullptr ? node : nullptr;
    for (int i = 0; i < node->GetChildCount(); ++i) {
        if (engine::SceneNode* below = FindContainingCaseKept(node->GetChild(i), text)) found = below;
    }
    return found;
}

}  // namespace

SceneUnitView::SceneUnitView(SceneUnitViewFactory& factory) : factory_(factory) {}

SceneUnitView::~SceneUnitView() { DestroyModel(); }

bool SceneUnitView::BuildModel(const char* prototypePath, const char* compositeRootName) {
    DestroyModel();
    const engine::SceneNode* prototype = factory_.FindPrototype(prototypePath);
    if (prototype == nullptr) return false;
    engine::SceneNode* clone = prototype->Clone(true);
    if (clone == nullptr) return false;
    if (compositeRootName != nullptr) {
        engine::SceneNode* root = engine::SceneNode::Init(engine::kNodeGroup, compositeRootName);
        if (root == nullptr || !root->AddChild(clone)) {
            if (root != nullptr) root->Destroy();
            clone->Destroy();
            return false;
        }
        model_ = root;
    } else {
        model_ = clone;
    }
    prototypePath_ = prototypePath;
    player_ = FindPlayerBelow(model_);
    finished_ = false;
    return true;
}

void SceneUnitView::AttachToWorld(bool underLevelModel) {
    if (model_ == nullptr) return;
    engine::SceneNode* parent = underLevelModel ? factory_.GetLevelModelNode() : nullptr;
    if (parent == nullptr) parent = factory_.GetWorldNode();
    if (parent == nullptr || model_->GetParent() == parent) return;
    if (parent->AddChild(model_)) model_->UpdateWorldMatrix();
}

void SceneUnitView::AttachUnder(engine::SceneNode* parent) {
    if (model_ == nullptr || parent == nullptr || model_->GetParent() == parent) return;
    model_->Detach();
    if (parent->AddChild(model_)) model_->UpdateWorldMatrix();
}

void SceneUnitView::Detach() {
    if (model_ != nullptr) model_->Detach();
}

bool SceneUnitView::IsAttached() const { return model_ != nullptr && model_->GetParent() != nullptr; }

void SceneUnitView::SetLocalMatrix(const engine::Matrix44& matrix) {
    if (model_ != nullptr) model_->SetLocalMatrix(matrix);
}

engine::Matrix44 SceneUnitView::GetLocalMatrix() const {
    return model_ != nullptr ? model_->GetLocalMatrix() : engine::Matrix44{};
}

// --- Team colour ---------------------------------------------------------------------------------------------

void SceneUnitView::SetTeamMaterial(const char* materialName, std::uint32_t teamColour) {
    if (model_ == nullptr || materialName == nullptr) return;
    if (baseMaterial_ == 0) {
        const engine::SceneNode* node = model_->FindByMaterialName(materialName);
        if (node == nullptr) return;
        baseMaterial_ = node->GetMaterial();
    }
    teamMaterial_ = factory_.GetTeamMaterial(prototypePath_, baseMaterial_, teamColour);
    DeleteOwnedMaterial(tint_);
    tint_ = CloneTintedMaterial(teamMaterial_, teamColour);
    ShowMaterial(teamMaterial_);
}

void SceneUnitView::SetTint(std::uint32_t colour, bool useTint) {
    if (baseMaterial_ == 0) return;
    if (!useTint || tint_.handle == 0) {
        ShowMaterial(teamMaterial_);
        return;
    }
    if (engine::MaterialDef* tint = engine::GetMaterialLib().Get(tint_.handle)) tint->SetColour(0, colour);
    ShowMaterial(tint_.handle);
}

void SceneUnitView::ShowMaterial(int material) {
    if (model_ == nullptr || material == 0 || material == shown_) return;
    shown_ = material;
    const int base = baseMaterial_;
    ForEachNode(model_, [base, material](engine::SceneNode* node) {
        if (node->GetMaterial() == base) node->SetMaterialSwap(base, material);
    });
}

// --- Animation -----------------------------------------------------------------------------------------------

bool SceneUnitView::PlayAnimation(const char* name, bool restart) {
    if (player_ == nullptr || name == nullptr) return false;
    const engine::AnimationRecord* before = player_->GetCurrent();
    if (player_->Play(name, restart) == 0) return false;
    if (restart || player_->GetCurrent() != before) finished_ = false;
    return true;
}

const char* SceneUnitView::GetAnimationName() const {
    return player_ != nullptr ? player_->GetCurrentName().GetNarrow() : "";
}

void SceneUnitView::TakeFinished() const {
    // The player hands its flag out once; the view keeps it until another take starts.
    if (player_->TakeFinished() != 0) finished_ = true;
}

bool SceneUnitView::IsAnimationFinished() const {
    if (player_ == nullptr || player_->GetCurrent() == nullptr) return true;
    TakeFinished();
    return finished_;
}

bool SceneUnitView::IsAnimationPastEnd() const {
    if (player_ == nullptr || player_->GetCurrent() == nullptr) return true;
    // A looping take starts its time again at each wrap, so a wrap seen once counts as well.
    const bool past = player_->IsPastEnd();
    TakeFinished();
    return past || finished_;
}

// --- Placement -----------------------------------------------------------------------------------------------

void SceneUnitView::UpdateWorldMatrices() {
    if (model_ != nullptr) model_->UpdateWorldMatrix();
}

engine::Matrix44 SceneUnitView::GetWorldMatrix() const {
    return model_ != nullptr ? model_->GetWorldMatrix() : engine::Matrix44{};
}

void SceneUnitView::SetWorldMatrix(const engine::Matrix44& matrix) {
    if (model_ == nullptr) return;
    // The local matrix is made to give this world matrix, so that the model's own update later in the frame
    // (a passenger whose slot comes after its carrier's) keeps it where its carrier put it.
    engine::Matrix44 local = matrix;
    if (const engine::SceneNode* parent = model_->GetParent()) {
        engine::Matrix44 toParent;
        engine::Matrix44::InverseAffine(parent->GetWorldMatrix(), toParent);
        engine::Matrix44::MultiplyAffine(toParent, local, matrix);
    }
    model_->SetLocalMatrix(local);
    model_->SetWorldMatrix(matrix);
    for (int i = 0; i < model_->GetChildCount(); ++i) model_->GetChild(i)->UpdateWorldMatrix();
}

bool SceneUnitView::ContainsNode(const engine::SceneNode* node) const {
    if (model_ == nullptr) return false;
    for (const engine::SceneNode* n = node; n != nullptr; n = n->GetParent()) {
        if (n == model_) return true;
    }
    return false;
}

// --- Effects -------------------------------------------------------------------------------------------------

void SceneUnitView::PlayBuildEffect(const engine::Vec3& position) {
    engine::SceneNode* parent = factory_.GetExplosionsNode();
    const engine::SceneNode* prototype = factory_.FindPrototype("Particles/Combo_Unit_build");
    if (parent != nullptr && prototype != nullptr) {
        if (engine::SceneNode* effect = prototype->Clone(true)) {
            engine::Matrix44 placement;
            placement.InitRotationX(-90.0f);
            placement.SetRow(3, position);
            effect->SetLocalMatrix(placement);
            if (parent->AddChild(effect)) {
                effect->UpdateWorldMatrix();
            } else {
                effect->Destroy();
            }
        }
    }
    factory_.PlayLevelSound(35);
}

engine::SceneNode* SceneUnitView::Effect(int effect) const {
    const auto found = effects_.find(effect);
    return found != effects_.end() ? found->second : nullptr;
}

int SceneUnitView::CreateEffectNode(const char* prototype) {
    const engine::SceneNode* source = factory_.FindPrototype(prototype);
    engine::SceneNode* clone = source != nullptr ? source->Clone(true) : nullptr;
    if (clone == nullptr) return 0;
    const int handle = nextEffect_++;
    effects_.emplace(handle, clone);
    return handle;
}

void SceneUnitView::HangEffectNode(int effect, const engine::Matrix44& local) {
    engine::SceneNode* node = Effect(effect);
    if (node == nullptr || model_ == nullptr) return;
    node->SetLocalMatrix(local);
    if (node->GetParent() != model_ && !model_->AddChild(node)) return;
    node->UpdateWorldMatrix();
}

void SceneUnitView::PlaceEffectNode(int effect, const engine::Matrix44& world) {
    if (engine::SceneNode* node = Effect(effect)) node->SetWorldMatrix(world);
}

void SceneUnitView::StopEffectEmitting(int effect) {
    ForEachNode(Effect(effect), [](engine::SceneNode* node) {
        if (engine::ParticleEmitter* emitter = node->GetParticleEmitter()) emitter->StopEmitting();
    });
}

bool SceneUnitView::IsEffectFinished(int effect) const {
    bool finished = true;
    ForEachNode(Effect(effect), [&finished](engine::SceneNode* node) {
        if (const engine::ParticleEmitter* emitter = node->GetParticleEmitter()) finished = finished && emitter->IsFinished();
    });
    return finished;
}

void SceneUnitView::HangEffectInWorld(int effect, const engine::Matrix44& world) {
    engine::SceneNode* node = Effect(effect);
    engine::SceneNode* parent = factory_.GetWorldNode();
    if (node == nullptr || parent == nullptr) return;
    // The world node stands at the origin, so the world placement is the local one.
    node->SetLocalMatrix(world);
    // Hanging again restarts the emitter, as a fresh shot's flash should.
    if (!parent->AddChild(node)) return;
    node->UpdateWorldMatrix();
}

void SceneUnitView::DetachEffectNode(int effect) {
    if (engine::SceneNode* node = Effect(effect)) node->Detach();
}

// --- Parts ---------------------------------------------------------------------------------------------------

int SceneUnitView::PartHandle(engine::SceneNode* node) const {
    if (node == nullptr) return 0;
    for (std::size_t i = 0; i < parts_.size(); ++i) {
        if (parts_[i] == node) return static_cast<int>(i) + 1;
    }
    parts_.push_back(node);
    return static_cast<int>(parts_.size());
}

engine::SceneNode* SceneUnitView::Part(int part) const {
    if (part < 1 || static_cast<std::size_t>(part) > parts_.size()) return nullptr;
    return parts_[static_cast<std::size_t>(part) - 1];
}

int SceneUnitView::FindPart(const char* name) const {
    if (model_ == nullptr || name == nullptr) return 0;
    return PartHandle(model_->FindDescendant(engine::WideString(name)));
}

int SceneUnitView::FindPartContaining(const char* text) const {
    if (model_ == nullptr || text == nullptr) return 0;
    return PartHandle(FindContainingCaseKept(model_, text));
}

void SceneUnitView::ReparentPartToRoot(int part) {
    engine::SceneNode* node = Part(part);
    if (node == nullptr || node == model_ || node->GetParent() == model_) return;
    if (model_->AddChild(node)) node->UpdateWorldMatrix();
}

engine::Matrix44 SceneUnitView::GetPartLocalMatrix(int part) const {
    const engine::SceneNode* node = Part(part);
    return node != nullptr ? node->GetLocalMatrix() : engine::Matrix44{};
}

void SceneUnitView::SetPartLocalMatrix(int part, const engine::Matrix44& matrix) {
    if (engine::SceneNode* node = Part(part)) node->SetLocalMatrix(matrix);
}

engine::Matrix44 SceneUnitView::GetPartWorldMatrix(int part) const {
    const engine::SceneNode* node = Part(part);
    return node != nullptr ? node->GetWorldMatrix() : engine::Matrix44{};
}

void SceneUnitView::SetPartFlags(int part, std::uint32_t flags, bool set) {
    engine::SceneNode* node = Part(part);
    if (node == nullptr) return;
    node->SetFlags(set ? node->GetFlags() | flags : node->GetFlags() & ~flags);
}

// --- End -----------------------------------------------------------------------------------------------------

void SceneUnitView::DestroyModel() {
    // Effects first: those hung under the model would otherwise go with it and be deleted twice.
    for (auto& effect : effects_) effect.second->Destroy();
    effects_.clear();
    if (model_ != nullptr) model_->Destroy();
    model_ = nullptr;
    player_ = nullptr;
    parts_.clear();
    DeleteOwnedMaterial(tint_);
    tint_ = {};
    baseMaterial_ = 0;
    teamMaterial_ = 0;
    shown_ = 0;
    prototypePath_.clear();
}

}  // namespace game
