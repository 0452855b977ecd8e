// Parses arbitrary bytes as a scene container with fake resolvers (every material and model name resolves,
// missing models become stand-in handles, one fixed animation text answers), then uses every accepted tree:
// frame matrices through the player, deep and shallow clones, and two frames of every emitter's update. A
// refused file must leave nothing behind (LeakSanitizer checks).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "engine/platform/script_reader.h"
#include "engine/scene/animation_player.h"
#include "engine/scene/particle_emitter.h"
#include "engine/scene/scene_container.h"
#include "engine/scene/scene_node.h"

namespace {

using namespace engine;

engine::ParticleClock g_clock;

const char kText[] =
    "[ANIMATION_V1]\n[ACTION]\nidle\nloop\n0-3,0.1\n[ACTION]\ndefault\nspawn,idle\n1,0.2\n[ENDANIMATION]\n";

void Use(SceneNode* node, int depth) {
    if (depth > 64) return;
    node->GetFrameMatrix();
    // Large pools are left out of the update: their cost says nothing about the reader.
    ParticleEmitter* emitter = node->GetParticleEmitter();
    if (emitter != nullptr && emitter->GetParticleCount() <= 1024) {
        emitter->SetRestart();
        for (int i = 0; i < 2; ++i) {
            ++g_clock.frame;
            emitter->UpdateOncePerFrame(node->GetWorldMatrix(), node);
        }
        emitter->IsFinished();
    }
    for (int i = 0; i < node->GetChildCount(); ++i) Use(node->GetChild(i), depth + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
    g_clock.deltaMs = 40;
    SetParticleClockSource([] { return g_clock; });
    SceneContainerServices services;
    services.loadMaterial = [](const char* name) { return name[0] != 'x' ? 3 : 0; };
    services.loadModel = [](const char* name) { return std::strlen(name) % 2 == 0 ? 5 : 0; };
    services.makeUnitBox = [](const char*) { return 6; };
    services.openText = [](const char*) {
        auto reader = std::make_unique<ScriptReader>();
        reader->LoadFromImage(reinterpret_cast<const std::uint8_t*>(kText), sizeof kText - 1, "fuzz");
        return reader;
    };
    SceneNode* root = ParseSceneContainer(input, size, "Fuzz/Tree.CNT", services);
    if (root == nullptr) return 0;
    Use(root, 0);
    SceneNode* deep = root->Clone(true);
    SceneNode* shallow = root->Clone(false);
    root->Destroy();
    if (shallow != nullptr) {
        Use(shallow, 0);
        shallow->Destroy();
    }
    if (deep != nullptr) deep->Destroy();
    return 0;
}
