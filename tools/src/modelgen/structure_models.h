#pragma once
// The structure models (types 1..11, each "Structures/<Folder>/<Name>" with its "snow" node).
#include <span>

#include "modelgen/model_output.h"

namespace modelgen {

// The model paths in type order (type 1 first).
std::span<const char* const> StructureModelPaths();
// Their tint names in the same order.
std::span<const char* const> StructureTintNames();

void WriteStructures(ModelOutput& out);

}  // namespace modelgen
