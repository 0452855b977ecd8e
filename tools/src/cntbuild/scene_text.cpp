#include "scene_text.h"

#include <cstdlib>
#include <sstream>
#include <utility>

namespace cntbuild {
namespace {

using engine::ParticleParams;

// The emitter fields by the name the text gives them.
const std::pair<const char*, float ParticleParams::*> kFloatFields[] = {
    {"quad-size", &ParticleParams::quadSize},
    {"duration", &ParticleParams::emissionDuration},
    {"life", &ParticleParams::particleLife},
    {"rate", &ParticleParams::emissionRate},
    {"start-size", &ParticleParams::startSize},
    {"end-size", &ParticleParams::endSize},
    {"gravity", &ParticleParams::gravity},
    {"drag", &ParticleParams::drag},
    {"radius-min", &ParticleParams::positionRadiusMin},
    {"radius-max", &ParticleParams::positionRadiusMax},
    {"cone-min", &ParticleParams::coneAngleMin},
    {"cone-max", &ParticleParams::coneAngleMax},
    {"speed-min", &ParticleParams::speedMin},
    {"speed-max", &ParticleParams::speedMax},
    {"extra", &ParticleParams::extraValue},
    {"trail-lag", &ParticleParams::trailLag},
    {"trail-value", &ParticleParams::trailValue},
    {"sprite-duration", &ParticleParams::spriteDuration},
    {"rise", &ParticleParams::rise},
    {"spin-min", &ParticleParams::spinMin},
    {"spin-max", &ParticleParams::spinMax},
};
const std::pair<const char*, std::int32_t ParticleParams::*> kIntFields[] = {
    {"quad-kind", &ParticleParams::quadKind},
    {"position-mode", &ParticleParams::positionMode},
    {"direction-mode", &ParticleParams::directionMode},
    {"speed-mode", &ParticleParams::speedMode},
    {"size-mode", &ParticleParams::sizeMode},
    {"delete-when-finished", &ParticleParams::deleteWhenFinished},
    {"sprite-frames", &ParticleParams::spriteFrameCount},
    {"sprite-columns", &ParticleParams::spriteColumns},
    {"sprite-rows", &ParticleParams::spriteRows},
    {"sprite-frame-mode", &ParticleParams::spriteFrameMode},
    {"spin-mode", &ParticleParams::spinMode},
    {"sort", &ParticleParams::sortFlag},
};

bool ReadFloats(std::istringstream& in, float* out, int n) {
    for (int i = 0; i < n; ++i) {
        if (!(in >> out[i])) return false;
    }
    return true;
}

bool ReadMatrix(std::istringstream& in, engine::Matrix44& m) {
    float v[12];
    if (!ReadFloats(in, v, 12)) return false;
    m.SetIdentity();
    for (int r = 0; r < 4; ++r) m.SetRow(r, {v[r * 3], v[r * 3 + 1], v[r * 3 + 2]});
    return true;
}

bool Rest(std::istringstream& in, std::string& out) {
    std::getline(in >> std::ws, out);
    while (!out.empty() && (out.back() == ' ' || out.back() == '\r')) out.pop_back();
    return true;
}

bool EmitterField(std::istringstream& in, ParticleParams& p) {
    std::string field;
    if (!(in >> field)) return false;
    if (field == "colours") {
        p.colourKeyCount = 0;
        std::string key;
        while (in >> key) {
            if (p.colourKeyCount == ParticleParams::kMaxColourKeys) return false;
            char* end = nullptr;
            p.colourKeys[p.colourKeyCount++] = static_cast<std::uint32_t>(std::strtoul(key.c_str(), &end, 16));
            if (*end != '\0') return false;
        }
        return true;
    }
    for (const auto& [name, member] : kFloatFields) {
        if (field == name) return static_cast<bool>(in >> (p.*member));
    }
    for (const auto& [name, member] : kIntFields) {
        if (field == name) return static_cast<bool>(in >> (p.*member));
    }
    return false;
}

// One line; false when it does not read.
bool ParseLine(const std::string& key, std::istringstream& in, std::vector<AuthorNode>& nodes,
               std::vector<AuthorAction>& actions) {
    if (key == "node") {
        AuthorNode node;
        if (!(in >> node.depth >> node.type)) return false;
        Rest(in, node.name);
        nodes.push_back(std::move(node));
        return true;
    }
    if (key == "action") {
        AuthorAction action;
        std::string end;
        if (!(in >> action.name >> end)) return false;
        if (end == "loop") {
            action.end = EndMode::kLoop;
        } else if (end == "hold") {
            action.end = EndMode::kHold;
        } else if (end == "spawn" && (in >> action.target)) {
            action.end = EndMode::kSpawn;
        } else {
            return false;
        }
        actions.push_back(std::move(action));
        return true;
    }
    if (key == "frames") {
        std::string range;
        AuthorAction::Frames f;
        if (actions.empty() || !(in >> range >> f.seconds)) return false;
        char* end = nullptr;
        f.first = static_cast<int>(std::strtol(range.c_str(), &end, 10));
        f.last = f.first;
        if (*end == '-') f.last = static_cast<int>(std::strtol(end + 1, &end, 10));
        if (*end != '\0') return false;
        actions.back().frames.push_back(f);
        return true;
    }
    if (nodes.empty()) return false;
    AuthorNode& node = nodes.back();
    if (key == "mesh") return Rest(in, node.mesh);
    if (key == "material") return Rest(in, node.material);
    if (key == "matrix") return ReadMatrix(in, node.local);
    if (key == "position") {
        float v[3];
        if (!ReadFloats(in, v, 3)) return false;
        node.local.SetTranslation(v[0], v[1], v[2]);
        return true;
    }
    if (key == "flags") return static_cast<bool>(in >> std::hex >> node.flags >> std::dec);
    if (key == "bone") return static_cast<bool>(in >> node.attachBone);
    if (key == "frame") {
        engine::Matrix44 m;
        if (!ReadMatrix(in, m)) return false;
        node.frames.push_back(m);
        return true;
    }
    if (key == "remap") {
        unsigned value = 0;
        while (in >> value) node.remap.push_back(static_cast<std::uint16_t>(value));
        return in.eof();
    }
    if (key == "box") {
        float v[6];
        if (!ReadFloats(in, v, 6)) return false;
        node.boxMin = {v[0], v[1], v[2]};
        node.boxMax = {v[3], v[4], v[5]};
        return true;
    }
    if (key == "spline") return static_cast<bool>(in >> node.splineKind >> node.tension);
    if (key == "knot") {
        float v[3];
        if (!ReadFloats(in, v, 3)) return false;
        node.knots.push_back({v[0], v[1], v[2]});
        return true;
    }
    if (key == "emit") return EmitterField(in, node.emitter);
    if (key == "emit-material") return Rest(in, node.emitterMaterial);
    if (key == "emit-play-forward") return static_cast<bool>(in >> node.playForward);
    if (key == "emit-ground") return static_cast<bool>(in >> node.quadListMode);
    return false;
}

}  // namespace

bool ParseSceneText(const std::string& text, std::vector<AuthorNode>& nodes, std::vector<AuthorAction>& actions,
                    std::string& error) {
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        const std::size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        std::istringstream in(line);
        std::string key;
        if (!(in >> key)) continue;
        if (!ParseLine(key, in, nodes, actions)) {
            error = "line " + std::to_string(number) + ": cannot read \"" + line + "\"";
            return false;
        }
    }
    return true;
}

}  // namespace cntbuild
