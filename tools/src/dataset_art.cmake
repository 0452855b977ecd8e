# The GUI sheets and pictures drawn by `artgen` from data/Art/, and the fonts baked by `fontbake`.

# Every sheet of the cell map, drawn in one run.
set(_art "${DATASET_SOURCE}/Art")
file(GLOB _art_sources CONFIGURE_DEPENDS "${_art}/*.art")
file(STRINGS "${_art}/cells.txt" _sheet_lines REGEX "^sheet,")
# The lists below are read here, so a change to them configures again.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${_art}/cells.txt" "${_art}/pictures.art"
             "${_art}/portraits.art" "${_art}/fonts.txt")
set(_sheets "")
foreach(_line IN LISTS _sheet_lines)
  string(REGEX REPLACE "^sheet, *([^,]+),.*" "\\1" _sheet "${_line}")
  list(APPEND _sheets "${_sheet}.png")
endforeach()
dataset_stage(ENTRIES ${_sheets}
  COMMANDS $<TARGET_FILE:artgen> sheets "${_art}/cells.txt" "${_art}/palette.txt" "${_art}" "${DATASET_STAGING}"
  DEPENDS "${_art}/cells.txt" "${_art}/palette.txt" ${_art_sources} artgen)

# Each picture of the picture files ("picture <entry> <width> <height>") as "<entry>.png".
foreach(_file pictures portraits)
  file(STRINGS "${_art}/${_file}.art" _picture_lines REGEX "^picture ")
  foreach(_line IN LISTS _picture_lines)
    string(REGEX REPLACE "^picture +([^ ]+) .*" "\\1" _picture "${_line}")
    dataset_stage(ENTRIES "${_picture}.png"
      COMMANDS $<TARGET_FILE:artgen> picture "${_art}/palette.txt" "${_art}/${_file}.art" "${_picture}"
               "${DATASET_STAGING}/${_picture}.png"
      DEPENDS "${_art}/palette.txt" "${_art}/${_file}.art" artgen)
  endforeach()
endforeach()

# The fonts: a glyph sheet and metrics per line of the description.
file(STRINGS "${_art}/fonts.txt" _font_lines REGEX "^[A-Za-z]")
set(_fonts "")
foreach(_line IN LISTS _font_lines)
  string(REGEX REPLACE "^([^ ]+) .*" "\\1" _font "${_line}")
  list(APPEND _fonts "Common/${_font}.png" "Common/${_font}.RFN")
endforeach()
dataset_stage(ENTRIES ${_fonts}
  COMMANDS $<TARGET_FILE:fontbake> "${_art}/fonts.txt" "${DATASET_STAGING}/Common"
  DEPENDS "${_art}/fonts.txt" fontbake)
