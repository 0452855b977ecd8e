# The data set: generators stage every shipped file under <build>/data/ from the sources in data/, and
# `zippack` packs the staged files into DataPC.zip beside the program. Each generator is one custom command
# with its real inputs and outputs, so touching a source reruns only its generator and the archive.
# With TINMARCH_PREBUILT_DATASET set (the sanitizer build), that archive is copied instead.

set(TINMARCH_PREBUILT_DATASET "" CACHE FILEPATH "A DataPC.zip built elsewhere, copied beside the program instead of generating it")

set(DATASET_SOURCE "${PROJECT_SOURCE_DIR}/data")
set(DATASET_STAGING "${CMAKE_BINARY_DIR}/data")
# The program's folder (the tinmarch target's runtime output folder).
set(DATASET_ARCHIVE "${CMAKE_BINARY_DIR}/DataPC.zip")
set(DATASET_ENTRIES "")

# dataset_stage(<entry...> COMMANDS <command args ; ...> DEPENDS <files or targets...>): the generator that
# writes the named staging entries ("Units/Damage.TXT").
function(dataset_stage)
  cmake_parse_arguments(S "" "" "ENTRIES;DEPENDS;COMMANDS" ${ARGN})
  set(_outputs "")
  set(_folders "")
  foreach(_entry IN LISTS S_ENTRIES)
    list(APPEND _outputs "${DATASET_STAGING}/${_entry}")
    get_filename_component(_folder "${DATASET_STAGING}/${_entry}" DIRECTORY)
    list(APPEND _folders "${_folder}")
  endforeach()
  list(REMOVE_DUPLICATES _folders)
  # Staging may have been emptied since the last configure.
  set(_commands COMMAND ${CMAKE_COMMAND} -E make_directory ${_folders})
  set(_current "")
  foreach(_word IN LISTS S_COMMANDS)
    if(_word STREQUAL "&&")
      list(APPEND _commands COMMAND ${_current})
      set(_current "")
    else()
      list(APPEND _current "${_word}")
    endif()
  endforeach()
  list(APPEND _commands COMMAND ${_current})
  add_custom_command(OUTPUT ${_outputs} ${_commands} DEPENDS ${S_DEPENDS} VERBATIM)
  set(DATASET_ENTRIES ${DATASET_ENTRIES} ${S_ENTRIES} PARENT_SCOPE)
endfunction()

# dataset_copy(<entry> [CHECK <command...>]): a source file shipped as it is, after an optional check.
function(dataset_copy entry)
  cmake_parse_arguments(C "" "" "CHECK;DEPENDS" ${ARGN})
  set(_commands "")
  if(C_CHECK)
    set(_commands ${C_CHECK} &&)
  endif()
  list(APPEND _commands ${CMAKE_COMMAND} -E copy "${DATASET_SOURCE}/${entry}" "${DATASET_STAGING}/${entry}")
  dataset_stage(ENTRIES "${entry}" COMMANDS ${_commands} DEPENDS "${DATASET_SOURCE}/${entry}" ${C_DEPENDS})
  set(DATASET_ENTRIES ${DATASET_ENTRIES} PARENT_SCOPE)
endfunction()

# dataset_map(<folder>): "<folder>/GameMap.Hex" built from "<folder>/map.txt".
function(dataset_map folder)
  set_property(GLOBAL APPEND PROPERTY DATASET_LEVEL_FOLDERS "${folder}")
  dataset_stage(ENTRIES "${folder}/GameMap.Hex"
    COMMANDS $<TARGET_FILE:hexmap> build "${DATASET_SOURCE}/${folder}/map.txt" "${DATASET_STAGING}/${folder}/GameMap.Hex"
    DEPENDS "${DATASET_SOURCE}/${folder}/map.txt" hexmap)
  set(DATASET_ENTRIES ${DATASET_ENTRIES} PARENT_SCOPE)
endfunction()

# The unit tables, refused by the data build when they fail the game's check or the balance rules.
dataset_stage(ENTRIES Units/BasicParams.TXT Units/Damage.TXT
  COMMANDS $<TARGET_FILE:unittables> check --balance "${DATASET_SOURCE}"
        && ${CMAKE_COMMAND} -E copy "${DATASET_SOURCE}/Units/BasicParams.TXT" "${DATASET_SOURCE}/Units/Damage.TXT"
           "${DATASET_STAGING}/Units"
  DEPENDS "${DATASET_SOURCE}/Units/BasicParams.TXT" "${DATASET_SOURCE}/Units/Damage.TXT" unittables)

# The global texts and the credits, through textkeys.
dataset_stage(ENTRIES Locale/eng.txt
  COMMANDS $<TARGET_FILE:textkeys> --build "${DATASET_SOURCE}/Locale/eng.txt" "${DATASET_STAGING}/Locale/eng.txt"
  DEPENDS "${DATASET_SOURCE}/Locale/eng.txt" textkeys)
dataset_stage(ENTRIES Credits_NoURL.TXT
  COMMANDS $<TARGET_FILE:textkeys> --credits "${DATASET_SOURCE}/Credits_NoURL.txt" "${DATASET_STAGING}/Credits_NoURL.TXT"
  DEPENDS "${DATASET_SOURCE}/Credits_NoURL.txt" textkeys)

include("${CMAKE_CURRENT_LIST_DIR}/dataset_maps.cmake" OPTIONAL)
include("${CMAKE_CURRENT_LIST_DIR}/dataset_campaign.cmake" OPTIONAL)
include("${CMAKE_CURRENT_LIST_DIR}/dataset_sounds.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/dataset_levels.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/dataset_models.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/dataset_art.cmake")

# Stand-in containers for the models data/ does not hold yet, so that start-up finds every model it needs.
include("${CMAKE_CURRENT_LIST_DIR}/standin_model_list.cmake")
set(_standins "")
foreach(_path IN LISTS STANDIN_MODELS)
  if(NOT EXISTS "${DATASET_SOURCE}/${_path}.CNT" AND NOT "${_path}.CNT" IN_LIST MODELGEN_ENTRIES)
    list(APPEND _standins "${_path}.CNT")
  endif()
endforeach()
foreach(_name IN LISTS STANDIN_EFFECTS)
  if(NOT EXISTS "${DATASET_SOURCE}/Particles/${_name}.CNT" AND NOT "Particles/${_name}.CNT" IN_LIST MODELGEN_ENTRIES)
    list(APPEND _standins "Particles/${_name}.CNT")
  endif()
endforeach()
if(_standins)
  dataset_stage(ENTRIES ${_standins}
    COMMANDS ${CMAKE_COMMAND} -DTOOL=$<TARGET_FILE:cntbuild> "-DSOURCE=${DATASET_SOURCE}" "-DDATA=${DATASET_STAGING}"
             "-DWORK=${CMAKE_BINARY_DIR}/standin_models"
             "-DGENERATED=${CMAKE_CURRENT_LIST_DIR}/modelgen_entries.txt" -P "${CMAKE_CURRENT_LIST_DIR}/standin_models.cmake"
    DEPENDS cntbuild "${CMAKE_CURRENT_LIST_DIR}/standin_models.cmake" "${CMAKE_CURRENT_LIST_DIR}/standin_model_list.cmake")
endif()

if(TINMARCH_PREBUILT_DATASET)
  add_custom_command(OUTPUT "${DATASET_ARCHIVE}"
    COMMAND ${CMAKE_COMMAND} -E copy "${TINMARCH_PREBUILT_DATASET}" "${DATASET_ARCHIVE}"
    DEPENDS "${TINMARCH_PREBUILT_DATASET}" VERBATIM)
else()
  list(REMOVE_DUPLICATES DATASET_ENTRIES)
  list(SORT DATASET_ENTRIES)
  set(_staged "")
  foreach(_entry IN LISTS DATASET_ENTRIES)
    list(APPEND _staged "${DATASET_STAGING}/${_entry}")
  endforeach()
  add_custom_command(OUTPUT "${DATASET_ARCHIVE}"
    COMMAND zippack "${DATASET_ARCHIVE}" "${DATASET_STAGING}" ${DATASET_ENTRIES}
    DEPENDS ${_staged} zippack
    COMMENT "Packing DataPC.zip" VERBATIM)
endif()
add_custom_target(dataset ALL DEPENDS "${DATASET_ARCHIVE}")
