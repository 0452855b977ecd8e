#pragma once
// The structure models (types 1..11, each "Structures/<Folder>/<Name>" with its "snow" node), written under
// the names the game loads (game::StructureModelPath) with the tint material their classes look for.
#include "modelgen/model_output.h"

namespace modelgen {

void WriteStructures(ModelOutput& out);

}  // namespace modelgen
