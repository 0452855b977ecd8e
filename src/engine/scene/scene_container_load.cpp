// Loading containers through the engine: the file, the services, and the companion animation text.
#include <utility>

#include "engine/core/vector.h"
#include "engine/platform/data_files.h"
#include "engine/platform/path_parts.h"
#include "engine/platform/script_reader.h"
#include "engine/render/material_file.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/action_parser.h"
#include "engine/scene/animation_player.h"
#include "engine/scene/animation_set.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/model_generators.h"
#include "engine/scene/model_table.h"
#include "engine/scene/scene_container.h"
#include "engine/scene/scene_node.h"
#include "engine/scene/skeleton.h"

namespace engine {

WideString AnimationTextName(const WideString& name) {
    WideString drive, folder, title;
    SplitPath(name, &drive, &folder, &title, nullptr);
    title.CutAtDollarTag();
    WideString result(drive, folder);
    result.AppendNarrow("Zavic");
    result.Append(title);
    result.AppendNarrow(".TXT");
    return result;
}

void AttachContainerAnimation(SceneNode& first, const char* containerPath, const SceneContainerServices& services) {
    // A skinned model keeps its animations with its skeleton, where the node's player looks for them; any
    // other node keeps its own.
    Model* model = first.GetType() == kNodeAnimatedMesh ? first.GetModel() : nullptr;
    Skeleton* skeleton = model != nullptr ? model->skeleton.get() : nullptr;
    const bool hasSet = skeleton != nullptr ? skeleton->animationSet != nullptr : first.GetAnimationSet() != nullptr;
    if (!hasSet && services.openText) {
        std::shared_ptr<AnimationSet> set;
        std::unique_ptr<ScriptReader> reader = services.openText(AnimationTextName(first.GetName()).GetNarrow());
        if (reader == nullptr) {
            reader = services.openText(AnimationTextName(WideString(containerPath)).GetNarrow());
        }
        if (reader != nullptr) set = ActionParser::ReadFile(*reader);
        if (set != nullptr) {
            if (skeleton != nullptr) {
                skeleton->animationSet = std::move(set);
            } else {
                first.SetAnimationSet(std::move(set));
            }
        }
    }
    if (AnimationPlayer* player = first.CreateAnimationPlayer(services.timer)) player->Play("default", true);
}

SceneContainerServices EngineSceneContainerServices() {
    SceneContainerServices services;
    services.loadMaterial = [](const char* name) { return LoadMaterialFile(GetMaterialLib(), name); };
    services.loadModel = [](const char* name) { return LoadModel(name); };
    services.makeUnitBox = [](const char* name) {
        return CreateBoxModel(Aabb{{-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}}, WideString(name), 1);
    };
    services.openText = [](const char* name) -> std::unique_ptr<ScriptReader> {
        auto reader = std::make_unique<ScriptReader>();
        if (reader->Load(name) == 0) return nullptr;
        return reader;
    };
    return services;
}

SceneNode* LoadSceneContainer(const char* name) {
    WideString path(name != nullptr ? name : "");
    path.DropExtension();
    path.AppendNarrow(".CNT");
    std::size_t size = 0;
    std::unique_ptr<std::uint8_t[]> data = LoadWholeFile(path, size);
    if (data == nullptr) return nullptr;
    return ParseSceneContainer(data.get(), size, path.GetNarrow(), EngineSceneContainerServices());
}

}  // namespace engine
