#pragma once
// The part lists of the generated models, read from text sources under data/Models/Parts/ so that a shape
// changes without a rebuild. One line each, blank lines and '#' comments ignored:
//   node <name> <parent|-> <tint|paint> <x> <y> <z> [<mesh>]
//                                                     a mesh node at that offset from its parent ("-": the root),
//                                                     its model written as <mesh> (default: the node's name)
//   swatch <name>                                     the colour of the shapes that follow (mesh_kit.h)
//   bone <name|none>                                  the soldier's bone that moves the shapes that follow
//   box <min xyz> <max xyz>
//   tapered <min xyz> <max xyz> <inset x> <inset z>   a box whose top face is shrunk
//   prism <from xyz> <to xyz> <radius> <sides>
//   cone <base xyz> <tip xyz> <radius> <sides>
//   hexslab <centre xyz> <radius> <y0> <y1>
//   block <8 corners xyz>                              bottom face then top face (MeshKit::Block)
//   triangle <3 corners xyz> [twosided]
//   quad <4 corners xyz> [twosided]
// Shapes belong to the node above them; a node's parent must come before it. Numbers are read as the
// generator's floats, so a value written with enough digits comes back exactly.
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/vector.h"
#include "modelgen/mesh_kit.h"

namespace modelgen {

enum class ShapeKind { kSwatch, kBone, kBox, kTapered, kPrism, kCone, kHexSlab, kBlock, kTriangle, kQuad };

struct Shape {
    ShapeKind kind = ShapeKind::kBox;
    std::vector<float> values;  // the numbers in line order (a swatch or bone holds its index, -1 no bone)
    bool twoSided = false;
};

struct PartNode {
    std::string name;
    std::string mesh;  // the name of its model file
    int parent = -1;  // index into the list; -1 the root
    int depth = 0;
    bool tinted = false;
    Vec3 position;
    std::vector<Shape> shapes;
};

// Parses a part list; on a bad line returns false with "<name>:<line>: <what>" in error.
bool ParsePartText(std::string_view text, const std::string& name, std::vector<PartNode>& nodes, std::string& error);

// Adds the node's shapes to the kit.
void AddShapes(const PartNode& node, MeshKit& kit);

}  // namespace modelgen
