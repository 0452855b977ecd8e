// The structure models modelgen writes are the ones the game loads: the same path per type, and the tint
// material the structure's class looks for.
#include <gtest/gtest.h>

#include <string>

#include "game/battle/hex_coord.h"
#include "game/battle/structure_types.h"
#include "game/level/scene_structure_presenter.h"
#include "modelgen/structure_models.h"

namespace {

TEST(StructureNames, ModelgenWritesEachTypesModelUnderTheGamesNameAndTint) {
    const auto paths = modelgen::StructureModelPaths();
    const auto tints = modelgen::StructureTintNames();
    ASSERT_EQ(paths.size(), 11u);
    ASSERT_EQ(tints.size(), paths.size());
    for (int type = 1; type <= 11; ++type) {
        SCOPED_TRACE(type);
        ASSERT_NE(game::StructureModelPath(type), nullptr);
        EXPECT_EQ(std::string(paths[type - 1]), game::StructureModelPath(type));
        const auto structure = game::MakeStructure(type, game::MakeHexCoord(2, 2), 1, false, nullptr, nullptr);
        ASSERT_NE(structure, nullptr);
        EXPECT_EQ(std::string(tints[type - 1]), structure->GetTeamMaterialName());
    }
    EXPECT_EQ(game::StructureModelPath(12), nullptr);
}

}  // namespace
