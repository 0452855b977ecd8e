# Bakes two fonts from a description and checks the summary and the files; then descriptions with a missing
# size, a size out of range and a missing face must each be refused.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(WRITE "${WORK}/fonts.txt" "# test fonts\nSmall ${FACES}/DejaVuSans.ttf 12\nBig ${FACES}/DejaVuSans-Bold.ttf 32 3\n")
execute_process(COMMAND "${TOOL}" --sample "AV" "${WORK}/fonts.txt" "${WORK}/out" RESULT_VARIABLE status
                OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "fontbake failed: ${err}")
endif()
if(NOT out MATCHES "Small: 256x256 sheet, glyph height [0-9]+, line spacing [0-9]+, ascender [0-9]+, sample width [0-9]+\n"
   OR NOT out MATCHES "Big: 512x512 sheet")
  message(FATAL_ERROR "unexpected summary: ${out}")
endif()
foreach(name Small Big)
  file(SIZE "${WORK}/out/${name}.RFN" size)
  # header 11 bytes, 223 cells of 8 bytes, 224 x 224 advances of 2 bytes
  if(NOT size EQUAL 102147)
    message(FATAL_ERROR "${name}.RFN has ${size} bytes")
  endif()
  if(NOT EXISTS "${WORK}/out/${name}.png" OR EXISTS "${WORK}/out/${name}.png.tmp")
    message(FATAL_ERROR "${name}.png missing or left half-written")
  endif()
endforeach()

foreach(bad "Bad ${FACES}/DejaVuSans.ttf" "Bad ${FACES}/DejaVuSans.ttf 900" "Bad ${WORK}/none.ttf 12")
  file(WRITE "${WORK}/bad.txt" "${bad}\n")
  execute_process(COMMAND "${TOOL}" "${WORK}/bad.txt" "${WORK}/out" RESULT_VARIABLE status ERROR_VARIABLE err)
  if(status EQUAL 0)
    message(FATAL_ERROR "'${bad}' was not refused")
  endif()
endforeach()
