# Builds a textured quad with a box tree and a skinned two-bone strip, which must read back; then a missing
# material, an unknown key and a texture coordinate that does not pack must each be refused.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/Props")
file(WRITE "${WORK}/Props/Crate.MTL" "")
file(WRITE "${WORK}/quad.txt" "# a crate lid\nmaterial Props/Crate\nsmooth 1\nv 0 0 0\nv 1 0 0\nv 0 0 1\nv 1 0 1\n"
                              "t 0 2 1  0 0 0 1 1 0\nt 1 2 3  1 0 0 1 1 1\nboxtree\noctree 1\n")
execute_process(COMMAND "${TOOL}" "${WORK}/quad.txt" "${WORK}/Quad.MDL" "${WORK}" RESULT_VARIABLE status
                OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT out MATCHES "reads back as 2 batches of format 4, box tree, octree")
  message(FATAL_ERROR "quad: ${status} ${out} ${err}")
endif()
if(EXISTS "${WORK}/Quad.MDL.tmp")
  message(FATAL_ERROR "the temporary file was left behind")
endif()
file(WRITE "${WORK}/strip.txt" "bone 0\nbone 1\nframe 0 1 0 0 0 1 0 0 0 1 0 0 0\nframe 0 0 1 0 -1 0 0 0 0 1 0 0 0\n"
                               "frame 1 1 0 0 0 1 0 0 0 1 0 1 0\nframe 1 1 0 0 0 1 0 0 0 1 0 2 0\n"
                               "v 0 0 0\nw 0 1\nv 1 0 0\nw 0 1\nv 0 1 0\nw 0 0.5 1 0.5\nv 1 1 0\nw 1 1\n"
                               "t 0 1 2 0 0 1 0 0 1\nt 1 3 2 1 0 1 1 0 1\n")
execute_process(COMMAND "${TOOL}" "${WORK}/strip.txt" "${WORK}/Strip.MDL" "${WORK}" RESULT_VARIABLE status
                OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT out MATCHES "2 bones; reads back as 1 batches of format 5")
  message(FATAL_ERROR "strip: ${status} ${out} ${err}")
endif()

foreach(case "material Props/Missing\nv 0 0 0\nv 1 0 0\nv 0 1 0\nt 0 1 2 0 0 1 0 0 1|no .MTL"
             "v 0 0 0\nshape 3|line 2"
             "v 0 0 0\nv 1 0 0\nv 0 1 0\nt 0 1 2 0 0 100 0 0 1|1/4095")
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 source)
  list(GET parts 1 expected)
  file(WRITE "${WORK}/bad.txt" "${source}\n")
  execute_process(COMMAND "${TOOL}" "${WORK}/bad.txt" "${WORK}/Bad.MDL" "${WORK}" RESULT_VARIABLE status ERROR_VARIABLE err)
  if(status EQUAL 0 OR NOT err MATCHES "${expected}" OR EXISTS "${WORK}/Bad.MDL")
    message(FATAL_ERROR "not refused with '${expected}': ${err}")
  endif()
endforeach()
