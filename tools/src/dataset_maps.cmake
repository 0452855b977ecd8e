# Skirmish and pass-and-play maps: each folder of the list gets its map file from map.txt, the map picker's
# thumbnail drawn from that map file, and its details file.
set(_skirmish "Campaigns/Skirmish")
set(_list "${DATASET_SOURCE}/${_skirmish}/standardpassandplaymaps.TXT")
set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${_list}")
dataset_copy("${_skirmish}/standardpassandplaymaps.TXT")

file(STRINGS "${_list}" _maps)
foreach(_map IN LISTS _maps)
  string(STRIP "${_map}" _map)
  if(_map STREQUAL "" OR _map MATCHES "^//")
    continue()
  endif()
  set(_folder "${_skirmish}/${_map}")
  dataset_map(${_folder})
  dataset_copy("${_folder}/details.TXT")
  dataset_stage(ENTRIES "${_folder}/thumbnail.png"
    COMMANDS $<TARGET_FILE:hexmap> thumbnail "${DATASET_STAGING}/${_folder}/GameMap.Hex"
             "${DATASET_SOURCE}/Art/palette.txt" "${DATASET_STAGING}/${_folder}/thumbnail.png"
    DEPENDS "${DATASET_STAGING}/${_folder}/GameMap.Hex" "${DATASET_SOURCE}/Art/palette.txt" hexmap)
endforeach()
