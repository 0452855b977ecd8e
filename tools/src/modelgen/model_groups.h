#pragma once
// The generator groups of `modelgen`, each writing one part of the data set's models.
#include <span>

#include "modelgen/model_output.h"

namespace modelgen {

struct ModelGroup {
    const char* name;
    void (*write)(ModelOutput& out);
};

// units, structures, effects, misc.
std::span<const ModelGroup> ModelGroups();

}  // namespace modelgen
