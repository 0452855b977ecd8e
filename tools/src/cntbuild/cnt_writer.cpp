#include "cnt_writer.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "engine/core/little_endian.h"
#include "engine/scene/scene_container.h"
#include "engine/scene/scene_node.h"
#include "mdl_builder.h"
#include "files/replace_file.h"

namespace cntbuild {
namespace {

class Bytes {
public:
    void U8(std::uint32_t v) { out.push_back(static_cast<std::uint8_t>(v)); }
    void U16(std::uint32_t v) {
        U8(v);
        U8(v >> 8);
    }
    void U32(std::uint32_t v) {
        U16(v);
        U16(v >> 16);
    }
    void F32(float f) {
        std::uint32_t v = 0;
        std::memcpy(&v, &f, 4);
        U32(v);
    }
    void Text(const std::string& s) {
        const std::size_t n = s.size() < 255 ? s.size() : 255;
        U8(static_cast<std::uint32_t>(n));
        out.insert(out.end(), s.begin(), s.begin() + static_cast<std::ptrdiff_t>(n));
    }
    void Matrix(const engine::Matrix44& m) {
        for (int r = 0; r < 4; ++r) {
            for (int c = 0; c < 3; ++c) F32(m.m[r][c]);
        }
    }
    void Zeros(std::size_t n) { out.insert(out.end(), n, 0); }
    std::vector<std::uint8_t> out;
};

void EncodeEmitter(Bytes& b, const AuthorNode& node, int version) {
    const engine::ParticleParams& p = node.emitter;
    if (version >= 8) {
        b.U16(static_cast<std::uint16_t>(node.playForward));
        b.U16(static_cast<std::uint16_t>(node.quadListMode));
    }
    for (float f : {p.quadSize, p.emissionDuration, p.particleLife, p.emissionRate, p.startSize, p.endSize,
                    p.gravity, p.drag}) {
        b.F32(f);
    }
    b.U32(static_cast<std::uint32_t>(p.colourKeyCount));
    for (int i = 0; i < p.colourKeyCount && i < engine::ParticleParams::kMaxColourKeys; ++i) b.U32(p.colourKeys[i]);
    b.U32(static_cast<std::uint32_t>(p.spinMode));
    b.F32(p.spinMin);
    for (int mode : {p.positionMode, p.directionMode, p.speedMode, p.sizeMode}) b.U32(static_cast<std::uint32_t>(mode));
    for (float f : {p.positionRadiusMin, p.positionRadiusMax, p.coneAngleMin, p.coneAngleMax, p.speedMin, p.speedMax,
                    p.extraValue}) {
        b.F32(f);
    }
    b.U32(static_cast<std::uint32_t>(p.deleteWhenFinished));
    if (version >= 9) {
        b.U32(static_cast<std::uint32_t>(p.spriteFrameCount));
        b.U32(static_cast<std::uint32_t>(p.spriteColumns));
        if (version >= 14) b.U32(static_cast<std::uint32_t>(p.spriteRows));
        b.F32(p.spriteDuration);
        b.U32(static_cast<std::uint32_t>(p.spriteFrameMode));
    }
    if (version >= 15) {
        b.F32(p.spinMax);
        b.U32(static_cast<std::uint32_t>(p.quadKind));
        b.F32(p.trailLag);
        b.F32(p.trailValue);
    }
    if (version >= 16) {
        b.F32(p.rise);
        b.Zeros(12);
    }
    b.Text(node.emitterMaterial);
    if (version < 18) b.Text("");
    b.U8(static_cast<std::uint32_t>(p.sortFlag));
    if (version < 18) b.Text("");
}

void EncodeNode(Bytes& b, const AuthorNode& node, int version) {
    b.Text(node.name);
    b.Text(node.mesh);
    b.Text(node.material);
    b.U16(static_cast<std::uint16_t>(node.type));
    b.Matrix(node.local);
    b.U16(static_cast<std::uint16_t>(node.depth));
    b.U32(node.flags);
    if (version == 0) b.Zeros(6);
    if (version >= 4) {
        b.U8(static_cast<std::uint32_t>(node.extra.size()));
        if (!node.extra.empty()) {
            b.U8(node.extraKind);
            for (float f : node.extra) b.F32(f);
        }
        b.U16(node.attachBone);
    }
    if (version >= 11) {
        b.U16(static_cast<std::uint32_t>(node.frames.size()));
        for (const engine::Matrix44& m : node.frames) b.Matrix(m);
    }
    if (version >= 13) {
        b.U16(static_cast<std::uint32_t>(node.remap.size()));
        for (std::uint16_t r : node.remap) b.U16(r);
    }
    switch (node.type) {
        case engine::kNodeSkipped: b.Zeros(engine::ContainerSkippedBytes(version)); break;
        case engine::kNodeEmitter: EncodeEmitter(b, node, version); break;
        case engine::kNodeBox:
            for (float f : {node.boxMin.x, node.boxMin.y, node.boxMin.z, node.boxMax.x, node.boxMax.y, node.boxMax.z}) {
                b.F32(f);
            }
            break;
        case engine::kNodeSpline:
            b.U32(node.splineKind);
            b.U32(static_cast<std::uint32_t>(node.knots.size()));
            if (version >= 7) b.F32(node.tension);
            for (const engine::Vec3& k : node.knots) {
                b.F32(k.x);
                b.F32(k.y);
                b.F32(k.z);
            }
            break;
        default: break;
    }
}

// Names arrive as UTF-8; the file holds them as Latin-1, one byte per character, at most 255 bytes.
bool Latin1Name(const std::string& s, const char* what, std::string& error) {
    std::string latin;
    if (!mdlbuild::Utf8ToLatin1(s, latin)) {
        error = std::string(what) + " \"" + s + "\" is not Latin-1 text";
        return false;
    }
    for (unsigned char c : latin) {
        if (c < 32) {
            error = std::string(what) + " \"" + s + "\" holds a control character";
            return false;
        }
    }
    if (latin.size() > 255) {
        error = std::string(what) + " \"" + s.substr(0, 40) + "...\" is longer than 255 bytes";
        return false;
    }
    return true;
}

std::string ToLatin1(const std::string& s) {
    std::string latin;
    mdlbuild::Utf8ToLatin1(s, latin);
    return latin;
}

bool ActionLine(const std::string& s, std::string& error) {
    const bool bad = s.empty() || s.front() == '[' || s.front() == ' ' || s.back() == ' ' ||
                     s.find("//") != std::string::npos || s.find_first_of(",\t") != std::string::npos;
    if (bad || !Latin1Name(s, "action name", error)) {
        if (error.empty()) error = "action name \"" + s + "\" cannot be written as a line of its own";
        return false;
    }
    return true;
}

bool CheckEmitter(const AuthorNode& node, const MaterialCheck& check, std::string& error) {
    const engine::ParticleParams& p = node.emitter;
    if (p.colourKeyCount < 0 || p.colourKeyCount > engine::ParticleParams::kMaxColourKeys) {
        error = "emitter \"" + node.name + "\" has a colour key count outside 0-8";
        return false;
    }
    engine::ParticleEmitter probe(nullptr);
    if (!probe.Setup(p)) {
        error = "emitter \"" + node.name + "\" has parameters the engine refuses";
        return false;
    }
    if (!Latin1Name(node.emitterMaterial, "emitter material", error)) return false;
    if (!node.emitterMaterial.empty() && !check(node.emitterMaterial)) {
        error = "emitter material \"" + node.emitterMaterial + "\" has no .MTL";
        return false;
    }
    return true;
}

bool WriteFile(const std::string& path, const void* data, std::size_t size, std::string& error) {
    return tools::WriteFileReplacing(path, data, size, error, true);
}

std::string SecondsText(float seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(seconds));
    return text;
}

}  // namespace

std::vector<std::uint8_t> EncodeContainer(const std::vector<AuthorNode>& nodes, const EncodeOptions& options) {
    Bytes b;
    if (options.magic) {
        b.U32(engine::kSceneContainerMagic);
        b.U8(static_cast<std::uint32_t>(options.version));
    }
    const int version = options.magic ? options.version : 0;
    b.U16(static_cast<std::uint32_t>(nodes.size()));
    for (const AuthorNode& node : nodes) EncodeNode(b, node, version);
    if (!options.wrapper) return std::move(b.out);
    Bytes wrapped;
    wrapped.U32(1);
    wrapped.U32(static_cast<std::uint32_t>(b.out.size() + 8 - 16));
    wrapped.out.insert(wrapped.out.end(), b.out.begin(), b.out.end());
    return std::move(wrapped.out);
}

std::string EncodeAnimationText(const std::vector<AuthorAction>& actions) {
    std::string text = "[ANIMATION_V1]\r\n";
    for (const AuthorAction& action : actions) {
        text += "[ACTION]\r\n" + action.name + "\r\n";
        switch (action.end) {
            case EndMode::kLoop: text += "loop\r\n"; break;
            case EndMode::kHold: text += "hold\r\n"; break;
            case EndMode::kSpawn: text += "spawn," + action.target + "\r\n"; break;
        }
        for (const AuthorAction::Frames& f : action.frames) {
            text += std::to_string(f.first);
            if (f.last != f.first) text += "-" + std::to_string(f.last);
            text += "," + SecondsText(f.seconds) + "\r\n";
        }
    }
    text += "[ENDANIMATION]\r\n";
    return text;
}

bool CheckContainer(const std::vector<AuthorNode>& nodes, const std::vector<AuthorAction>& actions,
                    const MaterialCheck& check, std::string& error) {
    error.clear();
    if (nodes.empty() || nodes.size() > static_cast<std::size_t>(engine::kMaxContainerNodes)) {
        error = "a container holds 1 to 2000 nodes";
        return false;
    }
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const AuthorNode& node = nodes[i];
        const std::string at = "node " + std::to_string(i) + " \"" + node.name + "\": ";
        if (i == 0 ? node.depth != -1 : (node.depth < 0 || node.depth > engine::kMaxContainerDepth)) {
            error = at + (i == 0 ? "the root has depth -1" : "depths run from 0 to 15");
            return false;
        }
        const int t = node.type;
        if (t != 0 && t != 1 && t != 4 && t != 7 && t != 10 && t != 11) {
            error = at + "type " + std::to_string(t) + " is not written";
            return false;
        }
        if (!Latin1Name(node.name, "name", error) || !Latin1Name(node.mesh, "mesh name", error) ||
            !Latin1Name(node.material, "material name", error)) {
            error = at + error;
            return false;
        }
        if ((t == 1 || t == 7) && node.mesh.empty()) {
            error = at + "a mesh node needs a mesh name";
            return false;
        }
        if (!node.material.empty() && !check(node.material)) {
            error = at + "material \"" + node.material + "\" has no .MTL";
            return false;
        }
        if (!node.extra.empty()) {
            error = at + "extra values are not written";
            return false;
        }
        if (node.frames.size() > 65535 || node.remap.size() > 65535 || node.knots.size() > 65535) {
            error = at + "more than 65535 frames, remap entries or knots";
            return false;
        }
        if (t == 4 && !CheckEmitter(node, check, error)) {
            error = at + error;
            return false;
        }
    }
    for (std::size_t i = 0; i < actions.size(); ++i) {
        const AuthorAction& action = actions[i];
        if (!ActionLine(action.name, error)) return false;
        if (action.end == EndMode::kSpawn) {
            bool earlier = false;
            for (std::size_t j = 0; j < i; ++j) earlier = earlier || actions[j].name == action.target;
            if (!earlier) {
                error = "action \"" + action.name + "\" spawns \"" + action.target + "\", which is not written before it";
                return false;
            }
        }
        for (const AuthorAction::Frames& f : action.frames) {
            const bool frames = f.first >= 0 && f.last >= f.first && f.last <= 65535;
            if (!frames || !std::isfinite(f.seconds) || f.seconds < 0.0001f) {
                error = "action \"" + action.name + "\" has a frame line out of range";
                return false;
            }
        }
    }
    return true;
}

bool WriteContainer(const std::string& folder, const std::string& path, std::vector<AuthorNode> nodes,
                    const std::vector<AuthorAction>& actions, const MaterialCheck& check, std::string& error) {
    if (!nodes.empty()) nodes.front().name = path;
    for (AuthorNode& node : nodes) node.flags |= engine::kNodeActive;
    if (!CheckContainer(nodes, actions, check, error)) return false;
    for (AuthorNode& node : nodes) {
        node.name = ToLatin1(node.name);
        node.mesh = ToLatin1(node.mesh);
        node.material = ToLatin1(node.material);
        node.emitterMaterial = ToLatin1(node.emitterMaterial);
    }
    const std::string base = folder.empty() ? path : folder + "/" + path;
    const std::vector<std::uint8_t> bytes = EncodeContainer(nodes, {});
    if (!WriteFile(base + ".CNT", bytes.data(), bytes.size(), error)) return false;
    if (actions.empty()) return true;
    const std::string text = EncodeAnimationText(actions);
    const std::string name = engine::AnimationTextName(engine::WideString(base.c_str())).GetNarrow();
    return WriteFile(name, text.data(), text.size(), error);
}

}  // namespace cntbuild
