# The sounds: `sfx all` renders every effect recipe of data/Sound/sfx to "Sound/<name>.wav", every song of
# data/Sound/music to "Music/<name>.ogg" and every line of data/Sound/speech.txt to
# "Sound/DLC/<pack>/<slot>.wav" in one run (it spreads the work over the cores). The speech needs espeak-ng:
# without it the run fails and names the package, so no build ships silent packs.
set(_sound_source "${DATASET_SOURCE}/Sound")
file(GLOB _recipes CONFIGURE_DEPENDS "${_sound_source}/sfx/*.txt")
file(GLOB _songs CONFIGURE_DEPENDS "${_sound_source}/music/*.txt")
set(_speech "${_sound_source}/speech.txt")
set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${_speech}")

set(_sound_entries "")
foreach(_recipe IN LISTS _recipes)
  get_filename_component(_name "${_recipe}" NAME_WE)
  list(APPEND _sound_entries "Sound/${_name}.wav")
endforeach()
foreach(_song IN LISTS _songs)
  get_filename_component(_name "${_song}" NAME_WE)
  list(APPEND _sound_entries "Music/${_name}.ogg")
endforeach()
# Each "pack <name>" line opens a pack; its lines are the "<slot> <text>" lines that follow the settings.
file(STRINGS "${_speech}" _speech_lines)
set(_pack "")
foreach(_line IN LISTS _speech_lines)
  string(STRIP "${_line}" _line)
  if(_line MATCHES "^pack[ \t]+([^ \t]+)$")
    set(_pack "${CMAKE_MATCH_1}")
  elseif(_pack AND _line MATCHES "^((Jump|Select|Yes|Hit|Death|Congrats)[0-9]+)[ \t]")
    list(APPEND _sound_entries "Sound/DLC/${_pack}/${CMAKE_MATCH_1}.wav")
  endif()
endforeach()

dataset_stage(ENTRIES ${_sound_entries}
  COMMANDS $<TARGET_FILE:sfx> all "${DATASET_SOURCE}" "${DATASET_STAGING}"
  DEPENDS ${_recipes} ${_songs} "${_speech}" sfx)
# The sound classes the data check measures the sounds against ship with them.
dataset_copy(Sound/sounds.txt)
