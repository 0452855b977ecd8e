# The base campaign "Campaigns/standard": its campaign file, its texts through textkeys, its map picture
# through hexmap, and for each mission of the mission order the map file, mission, script and comic. The
# comic cast list ships beside it for the validator.
set(_campaign "Campaigns/standard")
set(_campaign_file "${DATASET_SOURCE}/${_campaign}/Campaign.TXT")
set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${_campaign_file}")
dataset_copy("${_campaign}/Campaign.TXT")
dataset_copy("Comic/cast.txt")
dataset_stage(ENTRIES "${_campaign}/Locale/eng.txt"
  COMMANDS $<TARGET_FILE:textkeys> --build "${DATASET_SOURCE}/${_campaign}/Locale/eng.txt"
           "${DATASET_STAGING}/${_campaign}/Locale/eng.txt"
  DEPENDS "${DATASET_SOURCE}/${_campaign}/Locale/eng.txt" textkeys)
dataset_stage(ENTRIES "${_campaign}/CampaignMap.png"
  COMMANDS $<TARGET_FILE:hexmap> campaignmap "${DATASET_SOURCE}/${_campaign}/campaignmap.txt"
           "${DATASET_SOURCE}/Art/palette.txt" "${DATASET_STAGING}/${_campaign}/CampaignMap.png"
  DEPENDS "${DATASET_SOURCE}/${_campaign}/campaignmap.txt" "${DATASET_SOURCE}/Art/palette.txt" hexmap)

# The mission folders: the lines after [MISSIONORDER] up to the first empty one.
file(STRINGS "${_campaign_file}" _lines)
set(_in_order FALSE)
foreach(_line IN LISTS _lines)
  string(STRIP "${_line}" _line)
  if(_line STREQUAL "[MISSIONORDER]")
    set(_in_order TRUE)
    continue()
  endif()
  if(NOT _in_order OR _line MATCHES "^//")
    continue()
  endif()
  if(_line STREQUAL "" OR _line MATCHES "^\\[")
    break()
  endif()
  set(_folder "${_campaign}/${_line}")
  dataset_map(${_folder})
  foreach(_file Mission.TXT Script.TXT comic.TXT)
    dataset_copy("${_folder}/${_file}")
  endforeach()
endforeach()
