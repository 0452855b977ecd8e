# Writes a material from a description and checks the read-back summary and the file size; then a
# description with an unknown key and one with a lighting model out of range must both be refused.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(WRITE "${WORK}/tank.txt" "# a tank hull\ncode FUR\nlighting 2\nflags 2280\ntexture0 Units/Tank.tga\n"
                              "colour0 1 0.5 0.25 1\nblend 3\norder 1200\nshells 8 0.03 2\n")
execute_process(COMMAND "${TOOL}" "${WORK}/tank.txt" "${WORK}/Tank.MTL" RESULT_VARIABLE status
                OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "mtlwrite failed: ${err}")
endif()
if(NOT out MATCHES "set FUR lighting 2 flags 0x2280 blend 3 order 1200 shells 8 \\(173 bytes\\)")
  message(FATAL_ERROR "unexpected summary: ${out}")
endif()
file(SIZE "${WORK}/Tank.MTL" size)
if(NOT size EQUAL 173)
  message(FATAL_ERROR "unexpected size ${size}")
endif()

foreach(bad "colour 1 1 1 1" "lighting 5" "code NOPE")
  file(WRITE "${WORK}/bad.txt" "code TEXTURE\n${bad}\n")
  execute_process(COMMAND "${TOOL}" "${WORK}/bad.txt" "${WORK}/bad.MTL" RESULT_VARIABLE status ERROR_VARIABLE err)
  if(status EQUAL 0 OR NOT err MATCHES "line 2")
    message(FATAL_ERROR "'${bad}' was not refused at line 2: ${err}")
  endif()
endforeach()
