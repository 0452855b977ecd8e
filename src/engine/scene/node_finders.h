#pragma once
// The visitors behind SceneNode's finders. Each records a matching node and returns 0 so that its children
// are not searched; the walk goes on, so the node left at the end is the last match in pre-order.
#include "engine/core/wide_string.h"
#include "engine/scene/scene_node.h"

namespace engine {

class MaterialLib;

class NameFinder : public NodeVisitor {
public:
    // Whole name (equals) or any part of it (contains), without regard to case.
    NameFinder(const WideString& text, bool whole) : text_(text), whole_(whole) {}
    int Visit(SceneNode* node, void* argument) override;
    SceneNode* Found() const { return found_; }

private:
    const WideString& text_;
    bool whole_;
    SceneNode* found_ = nullptr;
};

class NamePartFinder : public NodeVisitor {
public:
    explicit NamePartFinder(const char* text);
    int Visit(SceneNode* node, void* argument) override;
    SceneNode* Found() const { return found_; }

private:
    WideString text_;
    SceneNode* found_ = nullptr;
};

class MaterialNameFinder : public NodeVisitor {
public:
    MaterialNameFinder(const char* text, const MaterialLib& lib);
    int Visit(SceneNode* node, void* argument) override;
    SceneNode* Found() const { return found_; }

private:
    WideString text_;
    const MaterialLib& lib_;
    SceneNode* found_ = nullptr;
};

}  // namespace engine
