#include "engine/scene/model_table.h"

#include <algorithm>
#include <memory>
#include <new>

#include "engine/core/byte_buffer.h"
#include "engine/platform/data_files.h"
#include "engine/platform/engine_hooks.h"
#include "engine/platform/engine_root.h"
#include "engine/platform/path_parts.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/model_generators.h"
#include "engine/scene/model_octree.h"
#include "engine/scene/model_queries.h"
#include "engine/scene/scene_node.h"

namespace engine {
namespace {

std::vector<Model*>& Slots() {
    static std::vector<Model*> slots;
    return slots;
}

bool NamesEqual(const WideString& a, const WideString& b) { return a.Equals(b); }

}  // namespace

std::function<int()>& GroupSource() {
    static std::function<int()> source;
    return source;
}

void SetModelGroupSource(std::function<int()> source) { GroupSource() = std::move(source); }

int CurrentResourceGroup() {
    if (GroupSource()) return GroupSource()();
    const Engine* engine = GetEngine();
    return engine != nullptr ? engine->GetResourceGroup() : 0;
}

bool ModelTable::Init(int size) {
    Free();
    try {
        Slots().assign(static_cast<std::size_t>(size > 0 ? size : kDefaultSize), nullptr);
    } catch (const std::bad_alloc&) {
        return false;
    }
    ClearNullCubeCache();
    return true;
}

void ModelTable::Free() {
    FreeDebugArrowNodes();
    PurgeResourceGroup(-1);
    Slots().clear();
    Slots().shrink_to_fit();
    ClearNullCubeCache();
}

void ModelTable::PurgeResourceGroup(int group) {
    std::vector<Model*>& slots = Slots();
    for (Model*& slot : slots) {
        if (slot != nullptr && (group == -1 || slot->group == group)) {
            Model* model = slot;
            slot = nullptr;
            model->handle = 0;
            model->Delete();
        }
    }
}

int ModelTable::Size() { return static_cast<int>(Slots().size()); }

int ModelTable::FreeHandle() {
    const std::vector<Model*>& slots = Slots();
    for (std::size_t i = 0; i + 1 < slots.size(); ++i) {
        if (slots[i] == nullptr) return static_cast<int>(i) + 1;
    }
    return 0;
}

void ModelTable::Set(int handle, Model* model) {
    if (handle >= 1 && handle <= Size() - 1) Slots()[static_cast<std::size_t>(handle) - 1] = model;
}

Model* ModelTable::Get(int handle) {
    if (handle < 1 || handle > Size() - 1) return nullptr;
    return Slots()[static_cast<std::size_t>(handle) - 1];
}

int ModelTable::Count() {
    const std::vector<Model*>& slots = Slots();
    return static_cast<int>(std::count_if(slots.begin(), slots.end(), [](Model* m) { return m != nullptr; }));
}

Model* GetModelByHandle(int handle) { return ModelTable::Get(handle); }

MeshModel* GetMeshModelByHandle(int handle) { return dynamic_cast<MeshModel*>(ModelTable::Get(handle)); }

int FindModel(const WideString& name, int group) {
    const int size = ModelTable::Size();
    for (int h = 1; h < size; ++h) {
        const Model* model = ModelTable::Get(h);
        if (model != nullptr && model->group == group && NamesEqual(model->name, name)) return h;
    }
    const WideString part = GetFileNamePart(name);
    for (int h = 1; h < size; ++h) {
        const Model* model = ModelTable::Get(h);
        if (model != nullptr && model->group == group && NamesEqual(model->name, part)) return h;
    }
    return 0;
}

int LoadModel(const char* name) { return LoadModel(WideString(name)); }

int LoadModel(const WideString& name) {
    const int found = FindModel(name, CurrentResourceGroup());
    if (found != 0) return found;
    std::unique_ptr<ByteBuffer> buffer = LoadFileToByteBuffer(WideString(name, ".MDL"));
    if (!buffer) return 0;
    auto* model = new (std::nothrow) MeshModel();
    if (model == nullptr) return 0;
    if (!model->Init(WideString("$$$$"), 0, 0) || !model->Enter()) {
        model->handle = 0;
        model->Delete();
        return 0;
    }
    if (!model->LoadFromBuffer(*buffer, name)) {
        model->Delete();
        return 0;
    }
    return model->handle;
}

int ListModelMaterials(int modelHandle, int* out, int capacity) {
    const Model* model = GetModelByHandle(modelHandle);
    if (model == nullptr || out == nullptr || capacity <= 0) return 0;
    std::fill(out, out + capacity, 0);
    int count = 0;
    auto add = [&](int material) {
        if (count >= capacity || std::find(out, out + count, material) != out + count) return;
        out[count++] = material;
    };
    if (model->batches && model->batches->BatchCount() > 0) {
        for (const MeshBatch& batch : model->batches->batches) add(batch.material);
    } else if (model->mesh) {
        for (const MeshTriangle& t : model->mesh->triangles) add(t.material);
    }
    return count;
}

void InstallModelTableHooks() {
    ModelHooks hooks;
    hooks.init = [](int tableSize) {
        const StartupParams& params = GetStartupParams();
        ModelQueryOptions& options = GetModelQueryOptions();
        options.flaggedMaterialQueries = params.flaggedMaterialQueries;
        options.animatedMeshPicking = params.animatedMeshPicking;
        options.cullMargin = params.cullMargin;
        return ModelTable::Init(tableSize);
    };
    hooks.createCollisionAssets = [] { return CreateCollisionVolumeAssets(); };
    hooks.purge = [](int group) { ModelTable::PurgeResourceGroup(group); };
    hooks.freeTable = [] { ModelTable::Free(); };
    hooks.freeStaticBuffers = [] { FreeStaticBuffers(); };
    hooks.clearFrameCounters = [] { ModelOctree::ClearVisitedNodeCount(); };
    InstallModelHooks(std::move(hooks));
}

}  // namespace engine
