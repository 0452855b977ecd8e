#pragma once
// Scene containers (".CNT"): a whole node tree in little-endian records (names, transforms, types, payloads
// and baked frames), with its named animations in a companion text file. The file comes from outside, so
// the reader checks every count and length against the bytes left and refuses a file whose records do not
// fit; a refused file yields null and leaves no node behind (models and materials already loaded stay in
// their resource group, which the level's purge frees).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "engine/core/wide_string.h"

namespace engine {

class FrameTimerBase;
class ScriptReader;
class SceneNode;

constexpr std::uint32_t kSceneContainerMagic = 0xBEEF0B0Eu;
constexpr int kSceneContainerVersion = 18;
constexpr int kMaxContainerNodes = 2000;
// Depths run from -1 (the root, first record only) to 15: the parent stack holds 16 entries.
constexpr int kMaxContainerDepth = 15;

// The bytes of a type-3 record's data in a file of the version; their meaning is not known, so they are skipped.
std::size_t ContainerSkippedBytes(int version);

// What the reader asks of the outside. Each name is data-relative and without extension.
struct SceneContainerServices {
    // Material and model handles, 0 when missing.
    std::function<int(const char* name)> loadMaterial;
    std::function<int(const char* name)> loadModel;
    // A unit box model (-0.5 to 0.5) named so, standing in for a missing model; 0 when it cannot be made.
    std::function<int(const char* name)> makeUnitBox;
    // The text reader of the named file (".TXT" is added), null when it does not open.
    std::function<std::unique_ptr<ScriptReader>(const char* name)> openText;
    // The clock of the first node's animation player (null: the engine's).
    const FrameTimerBase* timer = nullptr;
};

// The engine's services: the material table's files, the model table's files and generated boxes, and the
// data-file text reader.
SceneContainerServices EngineSceneContainerServices();

// Parses a whole container loaded from containerPath (the path the root is named after and whose folder is
// the second place materials and models are looked for). The root, or null when the file is refused.
SceneNode* ParseSceneContainer(const std::uint8_t* data, std::size_t size, const char* containerPath,
                               const SceneContainerServices& services);
// Reads the data file name with its extension replaced by ".CNT" and parses it with the engine's services;
// null when it does not open or is refused.
SceneNode* LoadSceneContainer(const char* name);

// The first node's animations: unless the place its set belongs to already holds one, the animation text
// named after the node (else after the container) is read into a new set, which goes to the node's model's
// skeleton for a type-7 node with a skinned model and to the node otherwise. Then the node gets a fresh
// animation player (replacing any it had) that starts "default" when the set holds it.
void AttachContainerAnimation(SceneNode& first, const char* containerPath, const SceneContainerServices& services);

// The animation text belonging to a node or container name: its folder (separator kept), then "Zavic", then
// its file name without extension cut at the first "_$$", then ".TXT". "Units/Tank/Tank" gives
// "Units/Tank/ZavicTank.TXT".
WideString AnimationTextName(const WideString& name);

}  // namespace engine
