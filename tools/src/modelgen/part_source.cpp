#include "modelgen/part_source.h"

#include <cmath>
#include <sstream>

#include "modelgen/actions.h"
#include "modelgen/source_words.h"

namespace modelgen {
namespace {

struct ShapeForm {
    const char* word;
    ShapeKind kind;
    int numbers;       // the last one is a whole number of sides when `sides` is set
    bool sides;
    bool mayTwoSide;
};

constexpr ShapeForm kForms[] = {{"box", ShapeKind::kBox, 6, false, false},
                                {"tapered", ShapeKind::kTapered, 8, false, false},
                                {"prism", ShapeKind::kPrism, 8, true, false},
                                {"cone", ShapeKind::kCone, 8, true, false},
                                {"hexslab", ShapeKind::kHexSlab, 6, false, false},
                                {"block", ShapeKind::kBlock, 24, false, false},
                                {"triangle", ShapeKind::kTriangle, 9, false, true},
                                {"quad", ShapeKind::kQuad, 12, false, true}};

constexpr int kMaxSides = 64;

Vec3 At(const std::vector<float>& v, std::size_t i) { return {v[i], v[i + 1], v[i + 2]}; }

}  // namespace

bool ParsePartText(std::string_view text, const std::string& name, std::vector<PartNode>& nodes, std::string& error) {
    nodes.clear();
    std::istringstream in{std::string(text)};
    std::string line;
    int number = 0;
    const auto fail = [&](const std::string& what) {
        error = name + ":" + std::to_string(number) + ": " + what;
        return false;
    };
    while (std::getline(in, line)) {
        ++number;
        const std::vector<std::string> words = SourceWords(line);
        if (words.empty()) continue;
        const std::string& word = words[0];
        if (word == "node") {
            if (words.size() != 7 && words.size() != 8) {
                return fail("a node needs a name, a parent, tint or paint, x y z and at most a mesh name");
            }
            PartNode node;
            node.name = words[1];
            node.mesh = words.size() == 8 ? words[7] : words[1];
            for (const PartNode& other : nodes) {
                if (other.name == node.name) return fail("node \"" + node.name + "\" is named twice");
            }
            if (words[2] != "-") {
                for (std::size_t i = 0; i < nodes.size(); ++i) {
                    if (nodes[i].name == words[2]) node.parent = static_cast<int>(i);
                }
                if (node.parent < 0) return fail("unknown parent \"" + words[2] + "\"");
                node.depth = nodes[static_cast<std::size_t>(node.parent)].depth + 1;
            }
            if (words[3] != "tint" && words[3] != "paint") {
                return fail("\"" + words[3] + "\" is neither tint nor paint");
            }
            node.tinted = words[3] == "tint";
            float xyz[3];
            for (int i = 0; i < 3; ++i) {
                if (!ReadSourceFloat(words[static_cast<std::size_t>(4 + i)], xyz[i])) {
                    return fail("bad number \"" + words[static_cast<std::size_t>(4 + i)] + "\"");
                }
            }
            node.position = {xyz[0], xyz[1], xyz[2]};
            nodes.push_back(std::move(node));
            continue;
        }
        if (nodes.empty()) return fail("\"" + word + "\" before the first node");
        Shape shape;
        if (word == "swatch") {
            Swatch swatch = kTeam;
            if (words.size() != 2) return fail("a swatch needs one name");
            if (!FindSwatch(words[1], swatch)) return fail("unknown swatch \"" + words[1] + "\"");
            shape.kind = ShapeKind::kSwatch;
            shape.values.push_back(static_cast<float>(swatch));
            nodes.back().shapes.push_back(std::move(shape));
            continue;
        }
        if (word == "bone") {
            int bone = -1;
            if (words.size() != 2) return fail("a bone needs one name");
            if (words[1] != "none" && !FindBone(words[1], bone)) return fail("unknown bone \"" + words[1] + "\"");
            shape.kind = ShapeKind::kBone;
            shape.values.push_back(static_cast<float>(bone));
            nodes.back().shapes.push_back(std::move(shape));
            continue;
        }
        const ShapeForm* form = nullptr;
        for (const ShapeForm& f : kForms) {
            if (word == f.word) form = &f;
        }
        if (form == nullptr) return fail("unknown shape \"" + word + "\"");
        std::size_t count = words.size() - 1;
        if (form->mayTwoSide && count == static_cast<std::size_t>(form->numbers) + 1 && words.back() == "twosided") {
            shape.twoSided = true;
            --count;
        }
        if (count != static_cast<std::size_t>(form->numbers)) {
            return fail(std::string(form->word) + " needs " + std::to_string(form->numbers) + " numbers, not " +
                        std::to_string(count));
        }
        shape.kind = form->kind;
        for (std::size_t i = 1; i <= count; ++i) {
            float value = 0;
            if (!ReadSourceFloat(words[i], value)) return fail("bad number \"" + words[i] + "\"");
            shape.values.push_back(value);
        }
        if (form->sides) {
            const float sides = shape.values.back();
            if (sides != std::floor(sides) || sides < 3 || sides > kMaxSides) {
                return fail("sides must be a whole number from 3 to " + std::to_string(kMaxSides));
            }
        }
        nodes.back().shapes.push_back(std::move(shape));
    }
    return true;
}

void AddShapes(const PartNode& node, MeshKit& kit) {
    for (const Shape& s : node.shapes) {
        const std::vector<float>& v = s.values;
        switch (s.kind) {
            case ShapeKind::kSwatch:
                kit.SetSwatch(static_cast<Swatch>(static_cast<int>(v[0])));
                break;
            case ShapeKind::kBone:
                kit.SetBone(static_cast<int>(v[0]));
                break;
            case ShapeKind::kBox:
                kit.Box(At(v, 0), At(v, 3));
                break;
            case ShapeKind::kTapered:
                kit.Tapered(At(v, 0), At(v, 3), v[6], v[7]);
                break;
            case ShapeKind::kPrism:
                kit.Prism(At(v, 0), At(v, 3), v[6], static_cast<int>(v[7]));
                break;
            case ShapeKind::kCone:
                kit.Cone(At(v, 0), At(v, 3), v[6], static_cast<int>(v[7]));
                break;
            case ShapeKind::kHexSlab:
                kit.HexSlab(At(v, 0), v[3], v[4], v[5]);
                break;
            case ShapeKind::kBlock: {
                Vec3 corners[8];
                for (std::size_t i = 0; i < 8; ++i) corners[i] = At(v, 3 * i);
                kit.Block(corners);
                break;
            }
            case ShapeKind::kTriangle:
                kit.Triangle(At(v, 0), At(v, 3), At(v, 6), s.twoSided);
                break;
            case ShapeKind::kQuad:
                kit.Quad(At(v, 0), At(v, 3), At(v, 6), At(v, 9), s.twoSided);
                break;
        }
    }
}

}  // namespace modelgen
