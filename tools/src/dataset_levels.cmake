# The level models: "<folder>/Map" for every level folder that has a map file (the skirmish list and the
# campaign's missions), with the assets they share, written by `modelgen levels` from the staged map files.
get_property(DATASET_LEVELS GLOBAL PROPERTY DATASET_LEVEL_FOLDERS)
set(_level_entries
    Levels/Common/Grass.png Levels/Common/Heath.png Levels/Common/Sand.png Levels/Common/Road.png
    Levels/Common/Pebbles.png Levels/Common/Forest.png Levels/Common/Rock.png Levels/Common/Dirt.png
    Levels/Common/Snow.png Levels/Common/SnowDirt.png Levels/Common/Stone.png Levels/Common/White.png
    Levels/Common/WaveNoise.png Levels/Common/Scenery.png Levels/Common/SnowScenery.png
    Levels/Common/Cliff.MTL Levels/Common/SnowCliff.MTL Levels/Common/Wall.MTL Levels/Common/SnowWall.MTL
    Levels/Common/Scenery.MTL Levels/Common/SnowScenery.MTL)
foreach(_kind Tree1 Tree2 Tree3 Crystal1 Crystal2 Crystal3 Palm1 Palm2 Palm3 Palm4 Palm5 Cactus1 Cactus2 Cactus3)
  list(APPEND _level_entries "Levels/Scenery/${_kind}.MDL")
endforeach()
set(_level_maps "")
foreach(_folder IN LISTS DATASET_LEVELS)
  foreach(_file Map.CNT Terrain.MDL Features.MDL Shade.png Land.MTL Forest.MTL Shore.MTL Road.MTL FordBed.MTL
                Hill.MTL Rock.MTL Water.MTL)
    list(APPEND _level_entries "${_folder}/${_file}")
  endforeach()
  list(APPEND _level_maps "${DATASET_STAGING}/${_folder}/GameMap.Hex")
endforeach()
if(DATASET_LEVELS)
  dataset_stage(ENTRIES ${_level_entries}
    COMMANDS $<TARGET_FILE:modelgen> levels build "${DATASET_STAGING}" "${DATASET_SOURCE}/Art/palette.txt" ${DATASET_LEVELS}
    DEPENDS ${_level_maps} "${DATASET_SOURCE}/Art/palette.txt" modelgen)
endif()

# Every level of the built archive: picks land where units stand, clicks from above give the hex aimed at,
# lines of sight meet walls and heights, and the scenery fits the decorations.
add_test(NAME levelgen_levels COMMAND modelgen levels check "${DATASET_ARCHIVE}" ${DATASET_LEVELS})
set_tests_properties(levelgen_levels PROPERTIES LABELS unit ENVIRONMENT "${TINMARCH_TEST_ENV}")
