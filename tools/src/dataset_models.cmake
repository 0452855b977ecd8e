# The models: `modelgen all` writes the unit, structure, effect and marker models with their materials,
# textures, containers and animation texts from the sources in data/Models and the palette. The entries are
# listed in modelgen_entries.txt (`modelgen list all data` writes it; the modelgen_entries test compares).
set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             "${CMAKE_CURRENT_LIST_DIR}/modelgen_entries.txt")
file(STRINGS "${CMAKE_CURRENT_LIST_DIR}/modelgen_entries.txt" MODELGEN_ENTRIES)
file(GLOB_RECURSE _model_sources CONFIGURE_DEPENDS "${DATASET_SOURCE}/Models/*.txt")
dataset_stage(ENTRIES ${MODELGEN_ENTRIES}
  COMMANDS $<TARGET_FILE:modelgen> all "${DATASET_STAGING}" "${DATASET_SOURCE}"
  DEPENDS ${_model_sources} "${DATASET_SOURCE}/Art/palette.txt" modelgen)
