#pragma once
// Scene-container fixtures: trees written with the authoring library's encoder in any version, and the
// reader's services faked with maps of materials, models and texts.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "cnt_writer.h"
#include "engine/platform/script_reader.h"
#include "engine/scene/scene_container.h"
#include "engine/scene/scene_node.h"

namespace scenetest {

struct FakeContainerWorld {
    std::map<std::string, int> materials;
    std::map<std::string, int> models;
    std::map<std::string, std::string> texts;
    std::vector<std::string> unitBoxes;  // names asked for, in order
    std::vector<std::string> textsAsked;
    int nextUnitBox = 900;
    const engine::FrameTimerBase* timer = nullptr;

    engine::SceneContainerServices Services() {
        engine::SceneContainerServices s;
        s.loadMaterial = [this](const char* name) { return Find(materials, name); };
        s.loadModel = [this](const char* name) { return Find(models, name); };
        s.makeUnitBox = [this](const char* name) {
            unitBoxes.emplace_back(name);
            return nextUnitBox++;
        };
        s.openText = [this](const char* name) -> std::unique_ptr<engine::ScriptReader> {
            textsAsked.emplace_back(name);
            const auto it = texts.find(name);
            if (it == texts.end()) return nullptr;
            auto reader = std::make_unique<engine::ScriptReader>();
            reader->LoadFromImage(reinterpret_cast<const std::uint8_t*>(it->second.data()), it->second.size(), name);
            return reader;
        };
        s.timer = timer;
        return s;
    }
    static int Find(const std::map<std::string, int>& map, const char* name) {
        const auto it = map.find(name);
        return it != map.end() ? it->second : 0;
    }
    engine::SceneNode* Parse(const std::vector<std::uint8_t>& bytes, const char* path = "Units/Tank/Tank.CNT") {
        return engine::ParseSceneContainer(bytes.data(), bytes.size(), path, Services());
    }
};

inline cntbuild::AuthorNode Node(int depth, int type, const std::string& name) {
    cntbuild::AuthorNode node;
    node.depth = depth;
    node.type = type;
    node.name = name;
    return node;
}

inline std::vector<std::uint8_t> Encode(const std::vector<cntbuild::AuthorNode>& nodes, int version = 18,
                                        bool magic = true, bool wrapper = false) {
    return cntbuild::EncodeContainer(nodes, {version, magic, wrapper});
}

}  // namespace scenetest
