// Generates the data set's models: unit, structure, effect and marker models with their materials,
// textures, scene containers and animation texts.
//   modelgen <group> <data folder> <sources>   writes the group's files into the data folder (the data set's
//                                               staging folder); sources is the data/ folder of the sources
//   modelgen list <group> <sources>             prints the entries the group writes, one a line
//   modelgen --review <data folder> <out folder> <sources>
//                                               draws every unit (in the blue and the red team colours),
//                                               structure, projectile, trophy, marker and effect, and every
//                                               level model ("<folder>/Map") from above, of the data folder
//                                               on the offscreen window into contact sheets <out>/<group>.png
//   modelgen levels build|check ...             the level models (levelmodel/levels_command.h)
// Groups: units, structures, effects, misc, all. A fault in any file stops the command with status 1.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/model_table.h"
#include "levelmodel/levels_command.h"
#include "modelgen/model_groups.h"
#include "modelgen/model_output.h"
#include "modelreview/model_review.h"
#include "game/battle/structure_types.h"
#include "game/core/scene_game_view.h"
#include "game/level/help_icons.h"
#include "game/level/scene_structure_presenter.h"
#include "game/screens/result_screens.h"
#include "game/units/scene_unit_view_factory.h"
#include "game/units/unit_catalogue.h"

namespace {

int Usage() {
    std::cerr << "usage: modelgen <group> <data folder> <sources>\n"
                 "       modelgen list <group> <sources>\n"
                 "       modelgen --review <data folder> <out folder> <sources>\n"
                 "       modelgen levels build|check ...\n"
                 "groups: units structures effects misc all\n";
    return 2;
}

bool RunGroup(const std::string& group, modelgen::ModelOutput& out) {
    if (group == "all") {
        for (const modelgen::ModelGroup& each : modelgen::ModelGroups()) each.write(out);
        return true;
    }
    for (const modelgen::ModelGroup& each : modelgen::ModelGroups()) {
        if (group == each.name) {
            each.write(out);
            return true;
        }
    }
    return false;
}

std::vector<tools::ReviewGroup> ReviewGroups(const std::string& dataFolder, const std::string& dataSources) {
    std::vector<tools::ReviewGroup> groups(4);
    groups[0].name = "units";
    for (const game::UnitDescriptor& row : game::UnitCatalogue()) {
        groups[0].items.push_back({row.prototypePath, row.tintMaterialName, true});
    }
    groups[1].name = "structures";
    groups[1].fromAbove = true;
    // The structures as the game names them: its model path and its class's tint material.
    for (int type = 1; game::StructureModelPath(type) != nullptr; ++type) {
        const auto structure = game::MakeStructure(type, game::MakeHexCoord(0, 0), 1, false, nullptr, nullptr);
        groups[1].items.push_back({game::StructureModelPath(type), structure->GetTeamMaterialName(), true});
    }
    groups[2].name = "props";
    for (const std::string& path : game::SceneUnitViewFactory::PrototypePaths()) {
        if (path.rfind("Projectiles/", 0) == 0) groups[2].items.push_back({path, "", false});
    }
    for (const char* path : {game::TrophyOf(1), game::TrophyOf(2), game::TrophyOf(3), game::TrophyOf(0),
                             game::kMoveMarkerScene, game::kHelpIconModel}) {
        groups[2].items.push_back({path, "", false});
    }
    groups[3].name = "effects";
    modelgen::ModelOutput sources("", dataSources, true);
    for (const std::string& name : sources.SourceNames("Particles"))
        groups[3].items.push_back({"Particles/" + name, "", false});
    // Every level model ("<folder>/Map") the data folder holds, from above.
    tools::ReviewGroup levels{"levels", {}, true};
    std::error_code code;
    for (const auto& file : std::filesystem::recursive_directory_iterator(dataFolder, code)) {
        if (file.path().filename() != "Map.CNT") continue;
        const std::string relative =
            std::filesystem::relative(file.path(), dataFolder).replace_extension().generic_string();
        levels.items.push_back({relative, "", false});
    }
    std::sort(levels.items.begin(), levels.items.end(),
              [](const tools::ReviewItem& a, const tools::ReviewItem& b) { return a.path < b.path; });
    if (!levels.items.empty()) groups.push_back(levels);
    return groups;
}

int Report(const modelgen::ModelOutput& out) {
    for (const std::string& fault : out.Faults()) std::cerr << "modelgen: " << fault << "\n";
    return out.Faults().empty() ? 0 : 1;
}

}  // namespace

// Generates or lists the group into the data folder, between the engine tables the model builder uses.
int Generate(const std::string& group, const std::string& folder, const std::string& sources, bool listOnly) {
    engine::GetMaterialLib().Init(4096, nullptr);
    engine::ModelTable::Init(64);
    modelgen::ModelOutput out(folder, sources, listOnly);
    int status = RunGroup(group, out) ? Report(out) : Usage();
    if (listOnly && status == 0) {
        for (const std::string& entry : out.Entries()) std::cout << entry << "\n";
    }
    engine::ModelTable::Free();
    engine::GetMaterialLib().Free();
    return status;
}

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "levels") == 0) return tools::RunLevelsCommand(argc - 1, argv + 1);
    if (argc == 5 && std::strcmp(argv[1], "--review") == 0) {
        return tools::RunModelReview(argv[2], argv[3], ReviewGroups(argv[2], argv[4]));
    }
    if (argc == 4 && std::strcmp(argv[1], "list") == 0) return Generate(argv[2], "", argv[3], true);
    if (argc == 4) return Generate(argv[1], argv[2], argv[3], false);
    return Usage();
}
