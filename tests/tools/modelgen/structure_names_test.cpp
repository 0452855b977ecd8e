// The structure models modelgen writes are the ones the game loads: each type's container under the game's
// path, and a tint material named as the structure's class looks for it.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "game/battle/hex_coord.h"
#include "game/battle/structure_types.h"
#include "game/level/scene_structure_presenter.h"
#include "modelgen/model_output.h"
#include "modelgen/structure_models.h"

namespace {

bool Holds(const std::set<std::string>& entries, const std::string& name) { return entries.count(name) != 0; }

TEST(StructureNames, ModelgenWritesEachTypesModelUnderTheGamesNameAndTint) {
    modelgen::ModelOutput out("", TINMARCH_SOURCE_DIR "/data", true);
    modelgen::WriteStructures(out);
    EXPECT_TRUE(out.Faults().empty());
    for (int type = 1; type <= 11; ++type) {
        SCOPED_TRACE(type);
        ASSERT_NE(game::StructureModelPath(type), nullptr);
        const std::string path = game::StructureModelPath(type);
        EXPECT_TRUE(Holds(out.Entries(), path + ".CNT"));
        const auto structure = game::MakeStructure(type, game::MakeHexCoord(2, 2), 1, false, nullptr, nullptr);
        ASSERT_NE(structure, nullptr);
        const std::string folder = path.substr(0, path.rfind('/') + 1);
        EXPECT_TRUE(Holds(out.Entries(), folder + structure->GetTeamMaterialName() + ".MTL"));
    }
    EXPECT_EQ(game::StructureModelPath(12), nullptr);
}

}  // namespace
