#pragma once
// Trophies, the movement marker, the help icon, the spanner and the sky, crater, snow, shadow and tile
// marker pictures.
#include "modelgen/model_output.h"

namespace modelgen {

void WriteMisc(ModelOutput& out);

}  // namespace modelgen
