#pragma once
// The particle containers with their sprites, and the projectile models.
#include "modelgen/model_output.h"

namespace modelgen {

void WriteEffects(ModelOutput& out);

}  // namespace modelgen
