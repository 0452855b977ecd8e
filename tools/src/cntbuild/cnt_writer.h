#pragma once
// The authoring path of scene containers (".CNT") and their animation texts. A tree is described as a list
// of node records in file order, each with its depth (-1 for the root, 0 for its children, and so on).
//
// EncodeContainer writes the records as given, in any version from 0 to 18, with or without the magic and
// the 8-byte wrapper; it checks nothing, so tests can also build damaged files with it. WriteContainer is
// the data set's path: it checks the tree and writes version 18 with the magic and no wrapper.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/core/matrix.h"
#include "engine/core/vector.h"
#include "engine/scene/particle_emitter.h"

namespace cntbuild {

struct AuthorNode {
    std::string name;
    std::string mesh;      // types 1 and 7: a data-relative path without extension
    std::string material;  // a data-relative path without extension; empty for none
    int type = 0;
    engine::Matrix44 local;
    int depth = 0;
    std::uint32_t flags = 0x2;
    // Extra data (version 4 and later): the kind byte and the values; the count byte is values.size().
    std::uint8_t extraKind = 0;
    std::vector<float> extra;
    std::uint16_t attachBone = 0;
    std::vector<engine::Matrix44> frames;  // version 11 and later
    std::vector<std::uint16_t> remap;      // version 13 and later
    // Type 10.
    engine::Vec3 boxMin{-0.5f, -0.5f, -0.5f};
    engine::Vec3 boxMax{0.5f, 0.5f, 0.5f};
    // Type 11.
    std::uint32_t splineKind = 1;
    float tension = 0.0f;
    std::vector<engine::Vec3> knots;
    // Type 4. The colour key count is written as given.
    engine::ParticleParams emitter;
    std::int16_t playForward = 1;
    std::int16_t quadListMode = 0;
    std::string emitterMaterial;
};

struct EncodeOptions {
    int version = 18;
    bool magic = true;    // without it the reader takes the file as version 0
    bool wrapper = false;
};

// The bytes of a container of the records. Strings longer than 255 bytes are cut.
std::vector<std::uint8_t> EncodeContainer(const std::vector<AuthorNode>& nodes, const EncodeOptions& options);

enum class EndMode { kLoop, kHold, kSpawn };

struct AuthorAction {
    std::string name;
    EndMode end = EndMode::kHold;
    std::string target;  // kSpawn: an action written before this one
    // Frame lines: first, last (inclusive) and the seconds each frame shows.
    struct Frames {
        int first = 0;
        int last = 0;
        float seconds = 0.0f;
    };
    std::vector<Frames> frames;
};

// "[ANIMATION_V1]", one "[ACTION]" section per action, "[ENDANIMATION]". Actions are written so that every
// spawn target comes before the action that names it.
std::string EncodeAnimationText(const std::vector<AuthorAction>& actions);

// Whether a material name exists in the data set (a ".MTL" file).
using MaterialCheck = std::function<bool(const std::string& name)>;

// Checks the tree for writing: 1 to 2000 records, the first of depth -1 and the rest 0 to 15, types 0, 1,
// 4, 7, 10 and 11 only, UTF-8 strings that become at most 255 Latin-1 bytes, mesh names on mesh
// nodes, materials that exist, no extra values, at most 65535 frames, remap entries and knots, colour key
// counts 0 to 8 and emitter parameters the engine accepts. Every spawn target must name an earlier action.
bool CheckContainer(const std::vector<AuthorNode>& nodes, const std::vector<AuthorAction>& actions,
                    const MaterialCheck& check, std::string& error);

// Writes the container of version 18 (every record's flags holding 0x2, names in Latin-1) to folder + path +
// ".CNT" and, when there are actions, its animation text beside it ("Zavic" + the file name + ".TXT"). path is the container's data-relative path without
// extension; the root record is named after it. Each file goes to a temporary name and is renamed. False
// with a message when the tree is refused or a file cannot be written.
bool WriteContainer(const std::string& folder, const std::string& path, std::vector<AuthorNode> nodes,
                    const std::vector<AuthorAction>& actions, const MaterialCheck& check, std::string& error);

}  // namespace cntbuild
