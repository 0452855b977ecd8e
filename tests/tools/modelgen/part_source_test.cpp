// The part lists' reader: a good list gives the nodes, depths and shapes it says, and every bad line fails
// with the file and line named.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modelgen/mesh_kit.h"
#include "modelgen/part_source.h"

namespace {

using modelgen::ParsePartText;
using modelgen::PartNode;
using modelgen::ShapeKind;

TEST(PartSourceTest, ReadsNodesParentsAndShapes) {
    const std::string text =
        "# a hull and a turret with its barrel\n"
        "node Unit - tint 0 0 0\n"
        "swatch team\n"
        "box -0.19 0.07 -0.32 0.19 0.2 0.38   # the hull\n"
        "\n"
        "node turret - tint 0 0.2 0.04 turret_mesh\n"
        "tapered -0.13 0 -0.13 0.13 0.1 0.13 0.03 0.03\n"
        "node barrel turret paint 0 0.05 -0.12\n"
        "swatch gun\n"
        "prism 0 0 -0.02 0 0 0.35999998 0.012 6\n"
        "quad 0 0 0 1 0 0 1 0 1 0 0 1 twosided\n";
    std::vector<PartNode> nodes;
    std::string error;
    ASSERT_TRUE(ParsePartText(text, "tank.txt", nodes, error)) << error;
    ASSERT_EQ(nodes.size(), 3u);
    EXPECT_EQ(nodes[0].parent, -1);
    EXPECT_TRUE(nodes[0].tinted);
    EXPECT_EQ(nodes[1].mesh, "turret_mesh");
    EXPECT_EQ(nodes[2].mesh, "barrel");
    EXPECT_EQ(nodes[2].parent, 1);
    EXPECT_EQ(nodes[1].depth, 0);  // under the group root
    EXPECT_EQ(nodes[2].depth, 1);
    EXPECT_FALSE(nodes[2].tinted);
    EXPECT_EQ(nodes[1].position.y, 0.2f);
    ASSERT_EQ(nodes[2].shapes.size(), 3u);
    EXPECT_EQ(nodes[2].shapes[0].kind, ShapeKind::kSwatch);
    // Numbers come back as the floats the literals name, so a written value round-trips exactly.
    const float generated = 0.38f - 0.02f;
    EXPECT_EQ(nodes[2].shapes[1].values[5], generated);
    EXPECT_NE(nodes[2].shapes[1].values[5], 0.36f);
    EXPECT_TRUE(nodes[2].shapes[2].twoSided);

    modelgen::MeshKit kit;
    modelgen::AddShapes(nodes[2], kit);
    EXPECT_EQ(kit.TriangleCount(), 6 * 2 + 4 * 2 + 2 * 2);
}

TEST(PartSourceTest, BadLinesNameTheFileAndLine) {
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"node a - paint 0 0 0\nsphere 0 0 0 1\n", "p.txt:2: unknown shape \"sphere\""},
        {"node a - paint 0 0 0\nbox 0 0 0 1 1\n", "p.txt:2: box needs 6 numbers, not 5"},
        {"node a - paint 0 0\n",
         "p.txt:1: a node needs a name, a parent, tint or paint, x y z and at most a mesh name"},
        {"node a - paint 0 0 0\nbox 0 0 0 1 1 1x\n", "p.txt:2: bad number \"1x\""},
        {"node a - paint 0 0 0\n\nbox 0 0 0 1 nan 1\n", "p.txt:3: bad number \"nan\""},
        {"node a - paint 0 0 1e40\n", "p.txt:1: bad number \"1e40\""},
        {"node a - paint 0 0 0\nnode b c paint 0 0 0\n", "p.txt:2: unknown parent \"c\""},
        {"node b b paint 0 0 0\n", "p.txt:1: unknown parent \"b\""},
        {"node a - paint 0 0 0\nnode a - paint 0 0 0\n", "p.txt:2: node \"a\" is named twice"},
        {"node a - gold 0 0 0\n", "p.txt:1: \"gold\" is neither tint nor paint"},
        {"box 0 0 0 1 1 1\n", "p.txt:1: \"box\" before the first node"},
        {"node a - paint 0 0 0\nswatch plaid\n", "p.txt:2: unknown swatch \"plaid\""},
        {"node a - paint 0 0 0\nbone tail\n", "p.txt:2: unknown bone \"tail\""},
        {"node a - paint 0 0 0\nprism 0 0 0 0 1 0 0.1 2.5\n", "p.txt:2: sides must be a whole number from 3 to 64"},
        {"node a - paint 0 0 0\nbox 0 0 0 1 1 1 twosided\n", "p.txt:2: box needs 6 numbers, not 7"},
    };
    for (const Case& c : cases) {
        std::vector<PartNode> nodes;
        std::string error;
        EXPECT_FALSE(ParsePartText(c.text, "p.txt", nodes, error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
}

}  // namespace
