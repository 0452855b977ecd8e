// The text form of an authored mesh (documented in tools/mdlbuild.md).
#include <sstream>

#include "mdl_builder.h"

namespace mdlbuild {

bool ParseMeshText(const std::string& text, AuthorMesh& mesh, std::string& error) {
    mesh = AuthorMesh();
    std::istringstream lines(text);
    std::string line, material;
    std::uint16_t smoothing = 0;
    std::uint32_t colour = 0xFFFFFFFFu;
    int number = 0;
    auto fail = [&](const std::string& what) {
        error = "line " + std::to_string(number) + ": " + what;
        return false;
    };
    while (std::getline(lines, line)) {
        ++number;
        const std::size_t hash = line.find('#');
        if (hash != std::string::npos) line.resize(hash);
        std::istringstream in(line);
        std::string key;
        if (!(in >> key)) continue;
        if (key == "v") {
            AuthorVertex v;
            if (!(in >> v.position.x >> v.position.y >> v.position.z)) return fail("v needs x y z");
            mesh.vertices.push_back(v);
        } else if (key == "w") {
            if (mesh.vertices.empty()) return fail("w before any vertex");
            AuthorVertex& v = mesh.vertices.back();
            int i = 0, bone = 0;
            float weight = 0;
            while (in >> bone >> weight) {
                if (i == 4 || bone < 0 || bone > 255) return fail("at most four influences of bones 0-255");
                v.bones[i] = static_cast<std::uint8_t>(bone);
                v.weights[i++] = weight;
            }
            if (i == 0) return fail("w needs bone weight pairs");
        } else if (key == "material") {
            if (!(in >> material)) return fail("material needs a name or -");
            if (material == "-") material.clear();
        } else if (key == "smooth") {
            unsigned mask = 0;
            if (!(in >> mask) || mask > 0xFFFF) return fail("smooth needs a mask 0-65535");
            smoothing = static_cast<std::uint16_t>(mask);
        } else if (key == "colour") {
            std::string hex;
            if (!(in >> hex)) return fail("colour needs an ARGB hex word");
            colour = static_cast<std::uint32_t>(std::stoul(hex, nullptr, 16));
        } else if (key == "t") {
            AuthorTriangle t;
            if (!(in >> t.corners[0] >> t.corners[1] >> t.corners[2])) return fail("t needs three corners");
            for (int c = 0; c < 3; ++c) {
                if (!(in >> t.uv[c][0] >> t.uv[c][1])) return fail("t needs u v for each corner");
            }
            bool second = true;
            for (int c = 0; c < 3 && second; ++c) second = static_cast<bool>(in >> t.uv[c][2] >> t.uv[c][3]);
            if (!second) {
                for (auto& uv : t.uv) uv[2] = uv[0], uv[3] = uv[1];
            }
            t.material = material;
            t.smoothing = smoothing;
            std::fill(t.colours, t.colours + 3, colour);
            mesh.triangles.push_back(t);
        } else if (key == "bone") {
            int parent = 0;
            if (!(in >> parent)) return fail("bone needs a parent");
            mesh.boneParents.push_back(parent);
            mesh.boneFrames.emplace_back();
        } else if (key == "frame") {
            int bone = 0;
            engine::Matrix44 m;
            if (!(in >> bone) || bone < 0 || bone >= static_cast<int>(mesh.boneParents.size())) {
                return fail("frame needs an existing bone");
            }
            for (int r = 0; r < 4; ++r) {
                if (!(in >> m.m[r][0] >> m.m[r][1] >> m.m[r][2])) return fail("frame needs 12 numbers");
            }
            mesh.boneFrames[static_cast<std::size_t>(bone)].push_back(m);
        } else if (key == "boxtree") {
            mesh.boxTree = true;
        } else if (key == "octree") {
            mesh.octree = true;
            int leaf = 0;
            if (in >> leaf) mesh.octreeLeafTriangles = leaf;
        } else {
            return fail("unknown key " + key);
        }
    }
    return true;
}

}  // namespace mdlbuild
