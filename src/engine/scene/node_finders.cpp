#include "engine/scene/node_finders.h"

#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"

namespace engine {

int NameFinder::Visit(SceneNode* node, void*) {
    const bool match = whole_ ? node->GetName().Equals(text_) : node->GetName().ContainsNoCase(text_);
    if (!match) return 1;
    found_ = node;
    return 0;
}

NamePartFinder::NamePartFinder(const char* text) : text_(text != nullptr ? text : "") {}

int NamePartFinder::Visit(SceneNode* node, void*) {
    if (!node->GetName().ContainsNoCase(text_)) return 1;
    found_ = node;
    return 0;
}

MaterialNameFinder::MaterialNameFinder(const char* text, const MaterialLib& lib)
    : text_(text != nullptr ? text : ""), lib_(lib) {}

int MaterialNameFinder::Visit(SceneNode* node, void*) {
    // Get would read a handle outside the table as handle 1.
    if (node->GetMaterial() < 1 || node->GetMaterial() >= lib_.Count()) return 1;
    const MaterialDef* material = lib_.Get(node->GetMaterial());
    if (material == nullptr || !material->GetName().ContainsNoCase(text_)) return 1;
    found_ = node;
    return 0;
}

int SceneNode::VisitActive(NodeVisitFn fn, void* user) {
    if (!IsActive()) return 1;
    int result = fn(this, user);
    if (result == 0) return 0;
    for (int i = 0; i < childCount_; ++i) result = children_[i]->VisitActive(fn, user);
    return result;
}

int SceneNode::Accept(NodeVisitor& visitor, void* argument) {
    if (!IsActive()) return 1;
    int result = visitor.Visit(this, argument);
    if (result == 0) return 0;
    for (int i = 0; i < childCount_; ++i) result = children_[i]->Accept(visitor, argument);
    return result;
}

SceneNode* SceneNode::FindDescendant(const WideString& text) {
    NameFinder finder(text, true);
    Accept(finder, nullptr);
    return finder.Found();
}

SceneNode* SceneNode::FindDescendantContaining(const WideString& text) {
    NameFinder finder(text, false);
    Accept(finder, nullptr);
    return finder.Found();
}

SceneNode* SceneNode::FindByNamePart(const char* text) {
    NamePartFinder finder(text);
    Accept(finder, nullptr);
    return finder.Found();
}

SceneNode* SceneNode::FindByMaterialName(const char* text, const MaterialLib* lib) {
    MaterialNameFinder finder(text, lib != nullptr ? *lib : GetMaterialLib());
    Accept(finder, nullptr);
    return finder.Found();
}

}  // namespace engine
