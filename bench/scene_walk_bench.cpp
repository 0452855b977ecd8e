// One frame's walk of a 10,000-node scene tree six levels deep (seven children per node, filled level by
// level): the world-matrix update of the whole tree and one pre-order visit of its active nodes. The budget
// for both together is 1 ms per frame in a RelWithDebInfo build.
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/scene/scene_node.h"

namespace {

constexpr int kNodes = 10000;
constexpr int kLevels = 6;
constexpr int kFanOut = 7;

engine::SceneNode* BuildTree() {
    engine::SceneNode* root = engine::SceneNode::Init(engine::kNodeGroup, "root");
    std::vector<engine::SceneNode*> level{root};
    int count = 1;
    for (int depth = 1; depth < kLevels && count < kNodes; ++depth) {
        std::vector<engine::SceneNode*> next;
        for (engine::SceneNode* parent : level) {
            for (int i = 0; i < kFanOut && count < kNodes; ++i, ++count) {
                engine::SceneNode* child = engine::SceneNode::Init(engine::kNodeMesh, "node");
                engine::Matrix44 local;
                local.InitRotationY(static_cast<float>(count % 360));
                local.m[3][0] = static_cast<float>(i);
                child->SetLocalMatrix(local);
                parent->AddChild(child);
                next.push_back(child);
            }
        }
        level.swap(next);
    }
    return root;
}

int CountNode(engine::SceneNode*, void* user) {
    ++*static_cast<int*>(user);
    return 1;
}

void BM_UpdateAndVisit(benchmark::State& state) {
    engine::SceneNode* root = BuildTree();
    for (auto _ : state) {
        root->UpdateWorldMatrix();
        int visited = 0;
        root->VisitActive(&CountNode, &visited);
        benchmark::DoNotOptimize(visited);
        benchmark::DoNotOptimize(root->GetChild(0)->GetWorldMatrix());
    }
    root->Destroy();
}
BENCHMARK(BM_UpdateAndVisit)->Unit(benchmark::kMicrosecond);

}  // namespace
