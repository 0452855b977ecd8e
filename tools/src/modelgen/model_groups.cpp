#include "modelgen/model_groups.h"

#include "modelgen/effect_models.h"
#include "modelgen/mesh_kit.h"
#include "modelgen/misc_models.h"
#include "modelgen/structure_models.h"
#include "modelgen/unit_models.h"

namespace modelgen {
namespace {

// The swatch texture and the plain paint come with the units; every other group's materials name them.
void Units(ModelOutput& out) {
    WriteSwatches(out);
    WriteUnits(out);
}

constexpr ModelGroup kGroups[] = {
    {"units", &Units}, {"structures", &WriteStructures}, {"effects", &WriteEffects}, {"misc", &WriteMisc}};

}  // namespace

std::span<const ModelGroup> ModelGroups() { return kGroups; }

}  // namespace modelgen
